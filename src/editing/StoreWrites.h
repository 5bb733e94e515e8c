#pragma once
// Writes that the class and subject dialogs share.
#include <QString>

namespace db {
class Database;
class Recordset;
}  // namespace db

namespace storewrites {

// Adds a "Coefficients" row at 1 pairing the new record (`newField` = `newKey`) with
// every row of `otherTable`, whose key is `otherField`: a new class gets one per subject,
// a new subject one per class.
void addCoefficients(const db::Database& database, const QString& otherTable, const QString& otherField,
                     const QString& newField, qint32 newKey);

// Starts editing the one row of `rows`; NoCurrentRecord, naming `table`, when it is gone.
void edit(db::Recordset& rows, const QString& table);

}  // namespace storewrites
