#pragma once
// Inside the engine: from a table's definition to the SQL that builds it, and the
// definition as the file keeps it.
#include "Schema.h"

#include <QByteArray>
#include <QList>

namespace db::detail {

// One of the field types the engine knows.
bool knownType(FieldType type);

// Refuses what the engine cannot build (DbError InvalidDefinition).
void validateTable(const TableDef& table);
void validateNewField(const TableDef& table, const FieldDef& field);

QByteArray createTableSql(const TableDef& table);
// The quoted name of the index in the file (a primary key on an auto-increment field is
// the row id itself and has none).
QByteArray indexName(const TableDef& table, const IndexDef& index);
QList<QByteArray> createIndexSql(const TableDef& table);
QByteArray createIndexSql(const TableDef& table, const IndexDef& index);
// ALTER TABLE ... ADD COLUMN. SQLite cannot add a NOT NULL column without a default, so a
// required field added to a table is refused Null by a check instead.
QByteArray addColumnSql(const TableDef& table, const FieldDef& field);

QByteArray toJson(const TableDef& table);
TableDef fromJson(const QString& name, const QByteArray& json);

}  // namespace db::detail
