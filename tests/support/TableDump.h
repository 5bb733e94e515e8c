#pragma once
#include <QMap>
#include <QString>
#include <QStringList>

namespace testsupport {

// Every row of every table of the file, read through a connection of its own: table name
// -> its rows in table order, each the texts of its fields in their order. Two dumps are
// equal exactly when the tables hold the same rows.
using Rows = QList<QStringList>;
QMap<QString, Rows> dumpTables(const QString& path);

// Makes the next change of `table` (`event`: "INSERT", "UPDATE" or "DELETE") fail when the
// row matches `when` (SQL over NEW or OLD; "1" for any row), as a damaged or locked file
// would, through a trigger written by a connection of its own.
void failOn(const QString& path, const char* event, const QString& table, const QString& when = QStringLiteral("1"));
// The same for a trigger's whole condition, such as "BEFORE INSERT ON Coefficients WHEN
// NEW.NumMat = 2".
void injectFailure(const QString& path, const QString& when);
// Removes from the file every failure injected into it.
void dropFailures(const QString& path);

}  // namespace testsupport
