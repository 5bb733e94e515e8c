#include "Cascades.h"

#include "gradebook/StoreNames.h"
#include "platform/db/Database.h"

namespace cascades {
namespace {

using db::Criteria;
using db::Field;
using db::Query;
using db::RecordsetType;

using namespace storenames;

bool exists(const db::Database& database, const QString& table, const Criteria& criteria) {
    return !database.OpenRecordset(Query(table).where(criteria), RecordsetType::ForwardOnly).Eof();
}

// The keys of the rows that match, read before any of them is deleted.
QList<qint32> keys(const db::Database& database, const QString& table, const QString& keyField,
                   const Criteria& criteria) {
    QList<qint32> found;
    db::Recordset rs = database.OpenRecordset(Query(table).where(criteria).select({keyField}), RecordsetType::ForwardOnly);
    for (; !rs.Eof(); rs.MoveNext()) found.append(rs.Fields(keyField).Value().toInt());
    return found;
}

// The series that match, each with its grades.
void deleteSeries(const db::Database& database, const Criteria& criteria) {
    for (const qint32 numSerie : keys(database, kSeries, kNumSerie, criteria))
        deleteRows(database, kNotes, Field(kNumSerie) == numSerie);
    deleteRows(database, kSeries, criteria);
}

}  // namespace

void deleteRows(const db::Database& database, const QString& table, const Criteria& criteria) {
    db::Recordset rs = database.OpenRecordset(Query(table).where(criteria));
    for (; !rs.Eof(); rs.MoveNext()) rs.Delete();
}

QList<Entry> subjects(const db::Database& database) {
    QList<Entry> list;
    db::Recordset rs = database.OpenRecordset(Query(kSubjects), RecordsetType::ForwardOnly);
    for (; !rs.Eof(); rs.MoveNext())
        list.append({rs.Fields(kNumMat).Value().toInt(), rs.Fields(QStringLiteral("Nom")).Value().toString()});
    return list;
}

bool deleteClass(const db::Database& database, qint32 numClass) {
    const Criteria ofClass = Field(kNumClass) == numClass;
    db::Transaction transaction(database);
    if (!exists(database, kClasses, ofClass)) return false;
    deleteSeries(database, ofClass);
    // Grades of the class's students in other classes' series could never be shown again.
    for (const qint32 numElv : keys(database, kStudents, kNumElv, ofClass))
        deleteRows(database, kNotes, Field(kNumElv) == numElv);
    deleteRows(database, kStudents, ofClass);
    deleteRows(database, kCoefficients, ofClass);
    deleteRows(database, kClasses, ofClass);
    transaction.commit();
    return true;
}

bool deleteSubject(const db::Database& database, qint32 numMat) {
    const Criteria ofSubject = Field(kNumMat) == numMat;
    db::Transaction transaction(database);
    if (!exists(database, kSubjects, ofSubject)) return false;
    deleteSeries(database, ofSubject);
    deleteRows(database, kCoefficients, ofSubject);
    deleteRows(database, kSubjects, ofSubject);
    transaction.commit();
    return true;
}

}  // namespace cascades
