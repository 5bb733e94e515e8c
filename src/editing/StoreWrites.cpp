#include "StoreWrites.h"

#include "platform/db/Database.h"

namespace storewrites {

namespace {

void setValues(const db::Recordset& rows, const Values& values) {
    for (const auto& [field, value] : values) rows.Fields(field).setValue(value);
}

}  // namespace

qint32 add(const db::Database& database, const QString& table, const QString& keyField, const Values& values) {
    db::Recordset rows = database.OpenRecordset(db::Query(table));
    rows.AddNew();
    setValues(rows, values);
    rows.Update();
    rows.MoveLast();
    return rows.Fields(keyField).Value().toInt();
}

void update(const db::Database& database, const QString& table, const QString& keyField, qint32 key,
            const Values& values) {
    db::Recordset rows = database.OpenRecordset(db::Query(table).where(db::Field(keyField) == key));
    if (rows.Eof()) throw db::DbError(db::DbErrc::NoCurrentRecord, table);
    rows.Edit();
    setValues(rows, values);
    rows.Update();
}

qint32 addWithCoefficients(const db::Database& database, const QString& table, const QString& keyField,
                           const Values& values, const QString& otherTable, const QString& otherField) {
    db::Transaction transaction(database);
    const qint32 key = add(database, table, keyField, values);
    db::Recordset others = database.OpenRecordset(db::Query(otherTable), db::RecordsetType::ForwardOnly);
    db::Recordset coefficients = database.OpenRecordset(db::Query(QStringLiteral("Coefficients")));
    for (; !others.Eof(); others.MoveNext()) {
        coefficients.AddNew();
        setValues(coefficients, {{keyField, key},
                                 {otherField, others.Fields(otherField).Value()},
                                 {QStringLiteral("Coefficient"), 1}});
        coefficients.Update();
    }
    transaction.commit();
    return key;
}

}  // namespace storewrites
