#pragma once
#include "platform/db/Database.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

struct sqlite3;

namespace testsupport {

// The DbError code that `action` throws, as an int (so that QCOMPARE can print it);
// -1 when it throws nothing.
template <typename Action>
int dbError(Action&& action) {
    try {
        action();
    } catch (const db::DbError& e) {
        return int(e.code());
    }
    return -1;
}

inline int code(db::DbErrc c) { return int(c); }

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline int rowCount(const db::Database& d, const QString& table) {
    return d.OpenRecordset(db::Query(table), db::RecordsetType::Snapshot).RecordCount();
}

inline const QString kTestPassword = QStringLiteral("730518 KovRM");

// The file opened through SQLite alone, with the program's collations, past every check of
// the engine and past a trigger that keeps the program from opening it; an empty key for a
// file written without one. `olderComparison`: texts compare as an older engine compared them,
// letter case aside but code unit by code unit, so that a combining accent differs from the
// same accent precomposed.
using RawFile = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;
RawFile rawOpen(const QString& path, const QByteArray& key, bool olderComparison = false);
// Runs sql on it. The SQLite result code.
int rawExec(const QString& path, const QByteArray& key, const char* sql, bool olderComparison = false);
// Runs each line of `steps` on a connection of its own, as rawExec: the first failure, or SQLITE_OK.
int rawExecSteps(const QString& path, const QByteArray& key, const QByteArray& steps, bool olderComparison = false);
// Steps for rawExecSteps: `sql` run while `index` leaves out the rows where `exempt` holds, so
// that the index misses what `sql` does to them (a row added, a key changed) as after a
// damaged page, while every definition of the file reads as before.
QByteArray behindIndex(const char* index, const char* exempt, const QByteArray& sql);

// Everything a gradebook holds (tables, indexes, properties), decrypted with the key anyone
// can read and exported as a plain SQLite file: what whoever has the file can read in it.
QByteArray decryptedContent(const QString& path);

// Changes the header of the file's first page as whoever holds the key can: `change` gets
// the page decrypted, which is then encrypted again under its own IV and signed, so that it
// reads as one that SQLCipher wrote. False when the file could not be rewritten.
bool rewriteFirstPage(const QString& path, const std::function<void(QByteArray& page)>& change);

// A rollback journal of SQLite's with no page in it, beside a file of more pages: rolled
// back, it cuts the file to `pages` pages.
QByteArray journalCuttingTo(quint32 pages);

// Adds one row: the named fields take the values, the others their defaults.
void addRow(db::Recordset& rs, std::initializer_list<std::pair<const char*, QVariant>> values);

// The gradebook at path, opened as the program opens it.
db::Database openGradebook(const QString& path);

// Small tables shaped like a gradebook's: classes with a unique name, students with a
// unique name pair, series with defaults and the period rule, grades keyed by series and
// student.
db::TableDef classesTable();
db::TableDef studentsTable();
db::TableDef seriesTable();
db::TableDef notesTable();
// A new file at path with the given tables, all four by default.
db::Database createTestFile(const QString& path, const QList<db::TableDef>& tables = {classesTable(), studentsTable(),
                                                                                       seriesTable(), notesTable()});

// The column widths ("Colonne") that the rows of a gradebook's table keep, in the order of their keys.
inline QList<int> columnWidths(const db::Database& d, const QString& table) {
    QList<int> widths;
    for (db::Recordset rs = d.OpenRecordset(db::Query(table), db::RecordsetType::Snapshot); !rs.Eof(); rs.MoveNext())
        widths << rs.Fields(QStringLiteral("Colonne")).Value().toInt();
    return widths;
}

}  // namespace testsupport
