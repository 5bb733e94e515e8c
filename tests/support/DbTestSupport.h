#pragma once
#include "platform/db/Database.h"

#include <QByteArray>
#include <QFile>
#include <QString>

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

inline int rowCount(const db::Database& d, const QString& table) {
    return d.OpenRecordset(db::Query(table), db::RecordsetType::Snapshot).RecordCount();
}

inline const QString kTestPassword = QStringLiteral("730518 KovRM");

// Small tables shaped like a gradebook's: classes with a unique name, students with a
// unique name pair, series with defaults and the period rule, grades keyed by series and
// student.
db::TableDef classesTable();
db::TableDef studentsTable();
db::TableDef seriesTable();
db::TableDef notesTable();
// A new file at path with the four tables.
db::Database createTestFile(const QString& path);

}  // namespace testsupport
