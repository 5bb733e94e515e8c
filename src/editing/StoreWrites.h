#pragma once
// Writes that the editing dialogs share: a record added or rewritten by key, and the
// coefficient rows of a new class or subject.
#include <QList>
#include <QString>
#include <QVariant>
#include <utility>

namespace db {
class Database;
}  // namespace db

namespace storewrites {

using Values = QList<std::pair<QString, QVariant>>;

// Adds a row with those values to `table` and returns its new key, the field `keyField`.
qint32 add(const db::Database& database, const QString& table, const QString& keyField, const Values& values);

// Writes the values into the row of `table` whose `keyField` is `key`, even when they are
// unchanged; NoCurrentRecord, naming the table, when another window deleted it meanwhile.
void update(const db::Database& database, const QString& table, const QString& keyField, qint32 key,
            const Values& values);

// Adds a class or a subject with its coefficient rows at 1, one per record of
// `otherTable` (whose key is `otherField`: the subjects for a new class, the classes for a
// new subject), all in one transaction; returns the new key.
qint32 addWithCoefficients(const db::Database& database, const QString& table, const QString& keyField,
                           const Values& values, const QString& otherTable, const QString& otherField);

}  // namespace storewrites
