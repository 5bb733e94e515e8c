#include "StoreWrites.h"

#include "platform/db/Database.h"

namespace storewrites {

void addCoefficients(const db::Database& database, const QString& otherTable, const QString& otherField,
                     const QString& newField, qint32 newKey) {
    db::Recordset others = database.OpenRecordset(db::Query(otherTable), db::RecordsetType::ForwardOnly);
    db::Recordset coefficients = database.OpenRecordset(db::Query(QStringLiteral("Coefficients")));
    for (; !others.Eof(); others.MoveNext()) {
        coefficients.AddNew();
        coefficients.Fields(newField).setValue(newKey);
        coefficients.Fields(otherField).setValue(others.Fields(otherField).Value());
        coefficients.Fields(QStringLiteral("Coefficient")).setValue(1);
        coefficients.Update();
    }
}

void edit(db::Recordset& rows, const QString& table) {
    // Another window may have deleted the record since the list was filled.
    if (rows.Eof()) throw db::DbError(db::DbErrc::NoCurrentRecord, table);
    rows.Edit();
}

}  // namespace storewrites
