#pragma once
#include "platform/db/DbError.h"

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

}  // namespace testsupport
