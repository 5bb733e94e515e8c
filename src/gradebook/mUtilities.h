#pragma once
// The gradebook store's shared procedures and the globals of the open gradebook.
#include "platform/Dates.h"
#include "platform/db/Database.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace mUtilities {

// The open gradebook, the dynaset on its whole table "Notes" that every reader and writer
// of grades shares, and the format of averages ("0.0" or "0.00"). Empty until a gradebook
// is opened; replaced together by the next successful opening.
extern db::Database gDB;
extern db::Recordset gRsNotes;
extern QString gAverageFormat;

// The format of averages for a value of the property "Moyenne": "0.0" for 1, "0.00" for
// anything else.
QString AverageFormat(int moyenne);

// "Année " and the school year of `today`: from September on, this year and the next
// ("Année 2024-2025"), before September the previous year and this one.
QString DefaultGradebookName(const QDate& today = QDate::currentDate());

// The full path of an existing gradebook chosen in the open dialog, or "" when the user
// cancelled or named a file that does not exist (after saying so).
QString ChooseGradebookToOpen();

// Explains where a new gradebook goes, asks for its name in the save dialog (in the
// gradebook folder, named after the school year) and creates it. Returns its full path,
// or "" when the user cancelled or the creation failed.
QString ChooseNewGradebook();

// Creates a gradebook with its properties and tables, in one transaction, into a
// temporary file of the same folder that replaces `path` only once complete: a failure
// leaves any previous file as it was and no partial file. A file that a copy of the program
// has open (this one included, by whatever path) is never replaced: refused before anything
// is written, with the message that its opening would give when another copy has it. On
// success shows the next steps (see setNewGradebookNotice); on any other failure, this
// window's own gradebook included, the system box "Impossible de créer <path>.". Returns
// whether the file was created.
bool CreateGradebook(const QString& path);
// The same work without any message: throws DbError (InUse for a file open in another copy,
// InUseHere in this one) on failure.
void CreateGradebookFile(const QString& path, const QDateTime& created = platform::dates::zonelessNow());

// How the list of next steps is shown after a creation. Until a handler is set, nothing
// is shown. The heading and lines are the texts to show, in order.
using MessageListHandler = std::function<void(const QString& heading, const QStringList& lines)>;
void setNewGradebookNotice(MessageListHandler handler);

// 1 for a gradebook, 2 for an exchange file, 0 for anything else (including a file whose
// property "App" cannot be read).
quint8 GetFileKind(const db::Database& database);
// What a journal beside a file opened as a gradebook may give back, before it is rolled back:
// a gradebook with all its tables and properties, or an exchange file, which the opening
// then refuses with a message of its own (the import reads one whole before it is used).
bool IsWholeFile(const db::Database& file);

// "VersionID" without its dots, read as one 16-bit integer: 1.2.2 gives 122. Throws DbError
// when it is not one (not a number, or beyond 16 bits).
int VersionNumber(const db::Database& database);

// Makes a gradebook or exchange file usable by this version: files of 1.2.0 and 1.2.1 are
// restamped, older ones are converted after the user's consent (False when refused), newer
// ones are left as they are. A conversion is all or nothing and may be run again on a
// file that already has some of the new fields. A gradebook (not an exchange file) also
// gains the indexes of the schema it lacks, in the same transaction. Throws on any failure.
bool CheckGradebookVersion(db::Database& database);
// Its two halves, for a caller that checks more of the file between them, so that nothing
// is written to a file it refuses. The first reads "VersionID" (throwing on a text that is no
// version) and asks about a conversion when one is needed: the version number, or nullopt
// when the user refused. It writes nothing. The second brings the file of that version up to
// this one, writing nothing to a file that needs nothing.
std::optional<int> AskGradebookConversion(const db::Database& database);
void ConvertGradebook(db::Database& database, int version);

// How the conversion question is asked: given the title and the message, returns the
// answer as the message box does ("1" for OK, "2" for Annuler, "" when closed). Until a
// handler is set, conversions are refused.
using QuestionHandler = std::function<QString(const QString& title, const QString& message)>;
void setConversionQuestion(QuestionHandler handler);

// Small procedures on names, files and folders. None raises an error. Paths use "/".
QString GetFileName(const QString& path);        // after the last "/"
QString RemoveExtension(const QString& name);    // before the last "."
bool KillFile(const QString& path);              // true when the file was deleted
bool MakeDir(const QString& path);               // one level; false when it exists
QString TrimAtNull(const QString& text);         // up to the first character of code 0
QString ShortenName(const QString& text);        // 20 characters at most, "..." when cut
// A name as it enters the store: in the composed Unicode form, so that the store's unique
// rules see two names that look the same as the same name.
QString StoredName(const QString& text);
QString MakeTempFileName(const QString& prefix);  // a fresh name in the temporary folder, or ""

}  // namespace mUtilities
