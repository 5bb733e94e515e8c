#include "SubjectEdit.h"

#include "StoreWrites.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Database.h"

namespace subjectedit {

using db::Field;
using db::Query;

QList<Subject> subjects(const db::Database& database) {
    QList<Subject> list;
    db::Recordset rows = database.OpenRecordset(Query(QStringLiteral("Matières")), db::RecordsetType::ForwardOnly);
    for (; !rows.Eof(); rows.MoveNext())
        list.append({rows.Fields(QStringLiteral("NumMat")).Value().toInt(), rows.Fields(QStringLiteral("Nom")).Value().toString()});
    return list;
}

qint32 create(const db::Database& database, const QString& name) {
    db::Transaction transaction(database);
    db::Recordset rows = database.OpenRecordset(Query(QStringLiteral("Matières")));
    rows.AddNew();
    rows.Fields(QStringLiteral("Nom")).setValue(mUtilities::StoredName(name));
    rows.Update();
    rows.MoveLast();
    const qint32 numMat = rows.Fields(QStringLiteral("NumMat")).Value().toInt();
    storewrites::addCoefficients(database, QStringLiteral("Classes"), QStringLiteral("NumClass"), QStringLiteral("NumMat"),
                                 numMat);
    transaction.commit();
    return numMat;
}

void rename(const db::Database& database, qint32 numMat, const QString& name) {
    db::Transaction transaction(database);
    db::Recordset rows =
        database.OpenRecordset(Query(QStringLiteral("Matières")).where(Field(QStringLiteral("NumMat")) == numMat));
    storewrites::edit(rows, QStringLiteral("Matières"));
    rows.Fields(QStringLiteral("Nom")).setValue(mUtilities::StoredName(name));
    rows.Update();
    transaction.commit();
}

}  // namespace subjectedit
