#include "ExchangeFile.h"

#include "VersionInfo.h"
#include "gradebook/StoreNames.h"
#include "gradebook/mUtilities.h"
#include "platform/Leftovers.h"

#include <QDir>
#include <QSet>
#include <cmath>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchangefile {

using db::Field;
using db::FieldDef;
using db::FieldType;
using db::IndexDef;
using db::Query;
using db::Recordset;
using db::RecordsetType;
using db::TableDef;
using namespace Qt::StringLiterals;

namespace {

using namespace storenames;
const QString kPeriode = QStringLiteral("Période");

const QStringList kStudentFields = {kNumElv, QStringLiteral("Nom"), QStringLiteral("Prénom")};
const QStringList kSeriesFields = {kNumSerie, QStringLiteral("Nom"), QStringLiteral("Sur"), QStringLiteral("Coefficient"),
                                   QStringLiteral("Date"), kPeriode};
const QStringList kGradeFields = {QStringLiteral("Note"), kNumSerie, kNumElv};

// Beyond this a number is not one the program wrote: counting on from it could overflow.
constexpr int kHighestNumber = 999999999;

// Copies the current row of `from` into a new row of `to`, field by field.
void copyRow(const Recordset& from, Recordset& to, const QStringList& fields) {
    to.AddNew();
    for (const QString& f : fields) to.Fields(f).setValue(from.Fields(f).Value());
    to.Update();
}

void copyAll(Recordset&& from, Recordset& to, const QStringList& fields, QList<qint32>* keys = nullptr) {
    for (; !from.Eof(); from.MoveNext()) {
        copyRow(from, to, fields);
        if (keys) keys->append(from.Fields(fields.front()).Value().toInt());
    }
}

// An export writes under a hidden name of the folder that no numbered file can take and that
// nobody lists, held while it writes (holdName), so that what a crash left can be told from
// what a live export, of this instance or another, is writing.
const QString kHiddenPrefix = QStringLiteral(".Notes Export.");
const QString kHiddenSuffix = QStringLiteral(".tmp");
const QString kJournal = QStringLiteral("-journal");

enum class Naming { Done, Taken, Failed };

// Renames in one step, and only when the new name is free (whatever holds it: a file, a
// folder, a dangling link). Where the file system cannot rename that way, a second hard
// link made and the first removed does the same.
Naming renameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return Naming::Done;
    if (errno == EEXIST) return Naming::Taken;
    if (errno != EINVAL && errno != ENOSYS) return Naming::Failed;
    if (::link(source.constData(), target.constData()) != 0) return errno == EEXIST ? Naming::Taken : Naming::Failed;
    ::unlink(source.constData());
    return Naming::Done;
}

// Gives the written file the next number. A number that another program took since the
// count passes to the next one: no file is ever replaced.
QString giveNumber(const QString& written, const QString& folder) {
    int number = highestNumber(folder);
    for (int tries = 0; tries < 1000 && number < kHighestNumber; ++tries) {
        const QString target = folder + u'/' + fileName(++number);
        // A journal left there by an earlier file of that name would be taken for the new one's.
        struct stat journal {};
        if (::lstat(QFile::encodeName(target + kJournal).constData(), &journal) == 0) continue;
        switch (renameNoReplace(written, target)) {
        case Naming::Done: return target;
        case Naming::Taken: continue;
        case Naming::Failed: throw std::runtime_error("cannot name the exchange file " + target.toStdString());
        }
    }
    throw std::runtime_error("no free name for an exchange file in " + folder.toStdString());
}

void writeContents(const db::Database& gradebook, db::Database& file, const Selection& s) {
    for (const gradebook::PropertyDef& p : exportProperties(s.className, s.subjectName))
        file.CreateProperty(p.name, p.type, p.value);
    for (const TableDef& table : exportTables()) file.CreateTable(table);

    Recordset students = file.OpenRecordset(Query(QStringLiteral("Elèves")));
    copyAll(gradebook.OpenRecordset(Query(QStringLiteral("Elèves")).where(Field(kNumClass) == s.numClass),
                                    RecordsetType::ForwardOnly),
            students, kStudentFields);

    const auto ofClassAndSubject = Field(kNumClass) == s.numClass && Field(kNumMat) == s.numMat;
    QList<qint32> written;
    Recordset series = file.OpenRecordset(Query(QStringLiteral("Séries")));
    if (!s.series.isEmpty()) {
        for (qint32 key : s.series)
            copyAll(gradebook.OpenRecordset(Query(QStringLiteral("Séries")).where(Field(kNumSerie) == key && ofClassAndSubject),
                                            RecordsetType::ForwardOnly),
                    series, kSeriesFields, &written);
    } else {
        for (int period : s.periods)
            copyAll(gradebook.OpenRecordset(Query(QStringLiteral("Séries")).where(ofClassAndSubject && Field(kPeriode) == period),
                                            RecordsetType::ForwardOnly),
                    series, kSeriesFields, &written);
    }

    Recordset grades = file.OpenRecordset(Query(QStringLiteral("Notes")));
    for (qint32 key : written)
        copyAll(gradebook.OpenRecordset(Query(QStringLiteral("Notes")).where(Field(kNumSerie) == key),
                                        RecordsetType::ForwardOnly),
                grades, kGradeFields);
}

}  // namespace

QString fileName(int number) { return QStringLiteral("Notes Export %1.dat").arg(number, 4, 10, QChar(u'0')); }

int highestNumber(const QString& folder) {
    static const QRegularExpression numbered(QStringLiteral("^Notes Export ([0-9]+)\\.dat$"));
    int highest = 0;
    const QStringList names = QDir(folder).entryList({QStringLiteral("Notes Export *.dat")}, QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = numbered.match(name);
        if (!match.hasMatch()) continue;
        bool ok = false;
        const qint64 number = match.captured(1).toLongLong(&ok);
        if (ok && number <= kHighestNumber && number > highest) highest = int(number);
    }
    return highest;
}

QString noComment() { return QStringLiteral("Aucun commentaire"); }

QList<gradebook::PropertyDef> exportProperties(const QString& className, const QString& subjectName) {
    return {{QStringLiteral("App"), FieldType::Text, gradebook::exportApp()},
            {QStringLiteral("VersionID"), FieldType::Text, platform::version::text()},
            {QStringLiteral("Classe"), FieldType::Text, className},
            {QStringLiteral("Matière"), FieldType::Text, subjectName},
            {QStringLiteral("Commentaire"), FieldType::Memo, noComment()},
            {QStringLiteral("Importé"), FieldType::Boolean, false}};
}

QList<TableDef> exportTables() {
    const auto plain = [](const QString& name) { return IndexDef(name, {name}); };
    return {
        TableDef(QStringLiteral("Elèves"))
            .appendIndex(IndexDef(kNumElv, {kNumElv}).setPrimary())
            .appendIndex(IndexDef(QStringLiteral("NomPrénom"), {QStringLiteral("Nom"), QStringLiteral("Prénom")}))
            .appendField(FieldDef(kNumElv, FieldType::Long))
            .appendField(FieldDef(QStringLiteral("NumElvIn"), FieldType::Long))
            .appendField(FieldDef(QStringLiteral("Nom"), FieldType::Text, 50))
            .appendField(FieldDef(QStringLiteral("Prénom"), FieldType::Text, 50)),
        TableDef(QStringLiteral("Notes"))
            .appendIndex(IndexDef(QStringLiteral("NumSérieElv"), {kNumSerie, kNumElv}).setPrimary())
            .appendIndex(plain(kNumSerie))
            .appendIndex(plain(kNumElv))
            .appendField(FieldDef(QStringLiteral("Note"), FieldType::Single))
            .appendField(FieldDef(kNumSerie, FieldType::Long))
            .appendField(FieldDef(kNumElv, FieldType::Long)),
        TableDef(QStringLiteral("Séries"))
            .appendIndex(IndexDef(kNumSerie, {kNumSerie}).setPrimary())
            .appendIndex(IndexDef(QStringLiteral("PériodeDate"), {kPeriode, QStringLiteral("Date")}))
            .appendField(FieldDef(kNumSerie, FieldType::Long))
            .appendField(FieldDef(QStringLiteral("Nom"), FieldType::Text, 30))
            .appendField(FieldDef(QStringLiteral("Sur"), FieldType::Byte))
            .appendField(FieldDef(QStringLiteral("Coefficient"), FieldType::Byte))
            .appendField(FieldDef(QStringLiteral("Date"), FieldType::Date))
            .appendField(FieldDef(kPeriode, FieldType::Byte)),
    };
}

void removeInterruptedExports(const QString& folder) {
    platform::removeUnheld(folder, kHiddenPrefix, kHiddenSuffix, {kJournal});
}

QString write(const db::Database& gradebook, const Selection& selection, const QString& folder) {
    QDir().mkpath(folder);
    // What interrupted exports left goes first, with its journal, unless a live export holds it.
    removeInterruptedExports(folder);
    std::unique_ptr<QLockFile> lock;
    const QString hidden = platform::holdName(folder, kHiddenPrefix, kHiddenSuffix, lock);
    if (hidden.isEmpty()) throw std::runtime_error("cannot lock in " + folder.toStdString());
    try {
        {
            db::Database file = db::Database::CreateDatabase(hidden, gradebook::databasePassword());
            db::Transaction writing(file);
            // One read transaction: the gradebook's pages are decrypted once for all the reads.
            db::Transaction reading(gradebook);
            writeContents(gradebook, file, selection);
            reading.commit();
            writing.commit();
            file.Close();
        }
        return giveNumber(hidden, folder);
    } catch (...) {
        QFile::remove(hidden);
        QFile::remove(hidden + kJournal);
        throw;
    }
}

namespace {

[[noreturn]] void invalid(const QString& what) { throw InvalidFile(what.toStdString()); }

// Every field the program reads of a table is there, with the type it was written with,
// and holds only values of that type.
void checkTable(const db::Database& file, const TableDef& expected) {
    if (!file.hasTable(expected.Name())) invalid(u"missing table "_s + expected.Name());
    const TableDef found = file.TableDefs(expected.Name());
    for (const FieldDef& field : expected.Fields()) {
        const int at = found.fieldIndex(field.Name());
        if (at < 0 || found.Fields()[at].Type() != field.Type()) invalid(expected.Name() + u'.' + field.Name());
        if (file.MistypedCount(expected.Name(), field.Name()) > 0)
            invalid(u"value out of type in "_s + expected.Name() + u'.' + field.Name());
    }
}

qint32 key(const Recordset& rs, const QString& field) {
    const QVariant v = rs.Fields(field).Value();
    if (v.isNull()) invalid(u"empty key "_s + field);
    return v.toInt();
}

// A name as the gradebook's field holds it: not empty, within its size there.
QString name(const Recordset& rs, const QString& field, int size) {
    const QString text = rs.Fields(field).Value().toString();
    if (text.isEmpty() || mUtilities::StoredName(text).size() > size) invalid(u"bad name in "_s + field);
    return text;
}

int number(const Recordset& rs, const QString& field, int low, int high) {
    const QVariant v = rs.Fields(field).Value();
    if (v.isNull() || v.toInt() < low || v.toInt() > high) invalid(u"out of range: "_s + field);
    return v.toInt();
}

QString textProperty(const db::Database& file, const QString& property, int size) {
    const db::Property p = file.Properties(property);
    if (p.Type() != FieldType::Text && p.Type() != FieldType::Memo) invalid(u"property "_s + property);
    const QString text = p.Value().toString();
    if (size > 0 && (text.isEmpty() || text.size() > size)) invalid(u"property "_s + property);
    return text;
}

}  // namespace

Contents read(const db::Database& file) {
    for (const TableDef& table : exportTables()) checkTable(file, table);
    // One read transaction: the pages are decrypted once for all the reads.
    db::Transaction reading(file);
    Contents c;
    c.className = textProperty(file, QStringLiteral("Classe"), 50);
    c.subjectName = textProperty(file, QStringLiteral("Matière"), 50);
    c.comment = textProperty(file, QStringLiteral("Commentaire"), 0);
    if (c.comment.size() > kCommentLength) invalid(u"comment too long"_s);
    const db::Property imported = file.Properties(QStringLiteral("Importé"));
    if (imported.Type() != FieldType::Boolean) invalid(u"property Importé"_s);
    c.imported = imported.Value().toBool();

    QSet<qint32> students, series;
    for (Recordset rs = file.OpenRecordset(Query(QStringLiteral("Elèves")), RecordsetType::ForwardOnly); !rs.Eof();
         rs.MoveNext()) {
        Student s{key(rs, kNumElv), name(rs, QStringLiteral("Nom"), 50), name(rs, QStringLiteral("Prénom"), 50)};
        if (students.contains(s.numElv)) invalid(u"student twice"_s);
        students.insert(s.numElv);
        c.students.append(s);
    }
    for (Recordset rs = file.OpenRecordset(Query(QStringLiteral("Séries")), RecordsetType::ForwardOnly); !rs.Eof();
         rs.MoveNext()) {
        Series s{key(rs, kNumSerie), name(rs, QStringLiteral("Nom"), 30), number(rs, QStringLiteral("Sur"), 0, 255),
                 number(rs, QStringLiteral("Coefficient"), 0, 255), rs.Fields(QStringLiteral("Date")).Value().toDateTime(),
                 number(rs, kPeriode, 1, 3)};
        // A series without a readable date is one the gradebook holds too (it shows no date):
        // refusing it here would make a file of our own export unreadable to our import.
        if (series.contains(s.numSerie)) invalid(u"series twice"_s);
        series.insert(s.numSerie);
        c.series.append(s);
    }
    QSet<std::pair<qint32, qint32>> graded;
    for (Recordset rs = file.OpenRecordset(Query(QStringLiteral("Notes")), RecordsetType::ForwardOnly); !rs.Eof();
         rs.MoveNext()) {
        const QVariant note = rs.Fields(QStringLiteral("Note")).Value();
        Grade g{key(rs, kNumSerie), key(rs, kNumElv), note.toFloat()};
        if (note.isNull() || !std::isfinite(g.note)) invalid(u"bad grade"_s);
        // An export writes the grades of the students and series it writes, and no other.
        if (!students.contains(g.numElv) || !series.contains(g.numSerie)) invalid(u"grade of no student or series"_s);
        if (graded.contains({g.numSerie, g.numElv})) invalid(u"grade twice"_s);
        graded.insert({g.numSerie, g.numElv});
        c.grades.append(g);
    }
    reading.commit();
    return c;
}

QList<std::pair<qint32, QVariant>> readDecisions(const db::Database& file) {
    QList<std::pair<qint32, QVariant>> decisions;
    for (Recordset rs = file.OpenRecordset(Query(QStringLiteral("Elèves")), RecordsetType::ForwardOnly); !rs.Eof();
         rs.MoveNext())
        decisions.append({rs.Fields(kNumElv).Value().toInt(), rs.Fields(QStringLiteral("NumElvIn")).Value()});
    return decisions;
}

namespace {

// On the file's own connection or on the gradebook's, where it is attached.
template <typename File>
void setDecisions(const File& file, const QList<std::pair<qint32, QVariant>>& decisions) {
    for (const auto& [numElv, decision] : decisions)
        file.updateRows(Query(QStringLiteral("Elèves")).where(Field(kNumElv) == numElv),
                        {{QStringLiteral("NumElvIn"), decision}});
}

}  // namespace

bool isWhole(const db::Database& file) {
    if (mUtilities::GetFileKind(file) != 2) return false;
    read(file);
    return true;
}

void writeDecisions(const db::Database& file, const QList<std::pair<qint32, QVariant>>& decisions) {
    db::Transaction writing(file);
    setDecisions(file, decisions);
    writing.commit();
}

void writeDecisions(const db::Attachment& file, const QList<std::pair<qint32, QVariant>>& decisions) {
    setDecisions(file, decisions);
}

void setImported(const db::Database& file, bool imported) {
    file.Properties(QStringLiteral("Importé")).setValue(imported);
}

void setImported(const db::Attachment& file, bool imported) {
    file.Properties(QStringLiteral("Importé")).setValue(imported);
}

void restampVersion(const db::Database& file) {
    const int version = mUtilities::VersionNumber(file);
    if (version == 120 || version == 121) file.Properties(QStringLiteral("VersionID")).setValue(platform::version::text());
}

void setComment(const QString& path, const QString& comment) {
    db::Database file = db::Database::OpenDatabase(path, gradebook::databasePassword(), db::Integrity::CheckFirst, isWhole);
    file.Properties(QStringLiteral("Commentaire")).setValue(comment);
    file.Close();
}

}  // namespace exchangefile
