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

// The series whose field holds the key, with their grades: one statement per table.
void deleteSeries(const db::Database& database, const QString& field, qint32 key) {
    database.deleteRows(Query(kNotes).innerJoin(kSeries, kNumSerie, kNumSerie).where(Field(kSeries + u'.' + field) == key));
    database.deleteRows(Query(kSeries).where(Field(field) == key));
}

}  // namespace

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
    deleteSeries(database, kNumClass, numClass);
    // Grades of the class's students in other classes' series could never be shown again.
    database.deleteRows(
        Query(kNotes).innerJoin(kStudents, kNumElv, kNumElv).where(Field(kStudents + u'.' + kNumClass) == numClass));
    for (const QString& table : {kStudents, kCoefficients, kClasses}) database.deleteRows(Query(table).where(ofClass));
    transaction.commit();
    return true;
}

bool deleteSubject(const db::Database& database, qint32 numMat) {
    const Criteria ofSubject = Field(kNumMat) == numMat;
    db::Transaction transaction(database);
    if (!exists(database, kSubjects, ofSubject)) return false;
    deleteSeries(database, kNumMat, numMat);
    for (const QString& table : {kCoefficients, kSubjects}) database.deleteRows(Query(table).where(ofSubject));
    transaction.commit();
    return true;
}

}  // namespace cascades
