#pragma once
// The exchange file: some series of grades of one class in one subject, with every
// student of the class and every grade of those series, carried from one gradebook to
// another. Class and subject travel as names; every key is the sending gradebook's own.
// No widget here: the export wizard chooses, this module writes.
#include "gradebook/GradebookSchema.h"
#include "platform/db/Database.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <stdexcept>

namespace exchangefile {

// "Notes Export " and the number, at least four digits, and ".dat".
QString fileName(int number);
// The highest number among the names "Notes Export <digits>.dat" of the folder; 0 when it
// has none (or does not exist).
int highestNumber(const QString& folder);

// "App", "VersionID", "Classe", "Matière", "Commentaire" and "Importé", in the order they
// are created, with their values in a new file.
QList<gradebook::PropertyDef> exportProperties(const QString& className, const QString& subjectName);
// "Elèves", "Notes" and "Séries", in the order they are created.
QList<db::TableDef> exportTables();

// What goes into a file. The series are those of `series` (keys, in that order) when it is
// not empty, otherwise every series of the class and subject in each of `periods`, period
// after period.
struct Selection {
    qint32 numClass = 0;
    qint32 numMat = 0;
    QString className;
    QString subjectName;
    QList<qint32> series;
    QList<int> periods;
};

// Writes the file into `folder` (made when missing) under the next free number and returns
// its full path. The file is written whole under a hidden name, then given its number
// without ever replacing a file: a number taken meanwhile passes to the next. Throws
// DbError or std::runtime_error, and then leaves nothing behind. Hidden files that
// interrupted exports left in the folder, and that no live export holds, are removed first.
QString write(const db::Database& gradebook, const Selection& selection, const QString& folder);

// Removes from `folder` the hidden files, with their journals and locks, that interrupted
// exports left and that no live export holds: only this user's files of that name, never a
// folder or what a link of that name points to.
void removeInterruptedExports(const QString& folder);

// Replaces the file's comment (its property "Commentaire"). Throws DbError.
void setComment(const QString& path, const QString& comment);

// The text of the property "Commentaire" of a new file.
QString noComment();  // "Aucun commentaire"
// The longest comment a file carries, in characters: the import lays it out whole, and a
// long run without a space takes a time that grows with the square of its length.
constexpr int kCommentLength = 4000;

// What a received file holds, read whole and checked once when it is opened: from then
// on nothing of it needs to be trusted again. Rows come in table order.
struct Student {
    qint32 numElv = 0;
    QString nom;
    QString prénom;
    QString name() const { return nom + u' ' + prénom; }  // "Nom Prénom"
};
struct Series {
    qint32 numSerie = 0;
    QString nom;
    int sur = 0;
    int coefficient = 0;
    QDateTime date;
    int period = 0;
};
struct Grade {
    qint32 numSerie = 0;
    qint32 numElv = 0;
    float note = 0;
};
struct Contents {
    QString className;
    QString subjectName;
    QString comment;
    bool imported = false;
    QList<Student> students;
    QList<Series> series;
    QList<Grade> grades;
};

// A file that opens but is not a sound exchange file: a table or field missing or of
// another type, a value its field cannot hold, a value that the gradebook's own field could
// not hold (a period out of 1 to 3, an empty or over-long name, a grade that is not a finite
// number, a missing date), a key given twice, a grade of a student or a series that the file
// does not hold. Whatever a gradebook holds passes: a series out of 0 comes in as it is,
// and the averages leave it out there as they do everywhere.
// what() says which, for the developer; the user is told that the file is not a valid
// exchange file.
class InvalidFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads and checks an open exchange file without writing to it. Throws InvalidFile, or
// DbError when the engine fails.
Contents read(const db::Database& file);
// Whether the file is an exchange file that read() takes: what a journal beside one must
// give back before it is rolled back. Throws as read() does.
bool isWhole(const db::Database& file);

// The decision about each student, by the student's "NumElv": Null not yet treated, a
// gradebook "NumElv", 0 rejected, minus a "NumClass" to create. Written in one transaction;
// students not named keep theirs. Throws DbError.
void writeDecisions(const db::Database& file, const QList<std::pair<qint32, QVariant>>& decisions);
// Sets the file's "Importé". Throws DbError.
void setImported(const db::Database& file, bool imported);
// The same two on the file attached to a gradebook's connection, inside the gradebook's
// transaction.
void writeDecisions(const db::Attachment& file, const QList<std::pair<qint32, QVariant>>& decisions);
void setImported(const db::Attachment& file, bool imported);
// The decisions as the file holds them, by "NumElv" (for tests and for a second look).
QList<std::pair<qint32, QVariant>> readDecisions(const db::Database& file);

// The version check of a gradebook without its conversion: files written by 1.2.0 and 1.2.1
// are stamped with this version, other versions are left as they are (an exchange file has
// nothing a gradebook's conversion would add). Throws DbError, writing nothing, when
// "VersionID" is not a version number.
void restampVersion(const db::Database& file);

}  // namespace exchangefile
