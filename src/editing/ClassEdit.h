#pragma once
// The classes of a gradebook as the class dialog writes them.
#include <QString>
#include <QStringList>

namespace db {
class Database;
}

namespace classedit {

struct Input {
    QString name, shortName;
};

// Lines for the message list, name first; empty when both are given ("" only is missing).
QStringList refusals(const Input& input);

// The line refusing one class more to a gradebook that holds as many as the tab bar can
// show, each class a section of it; empty while there is room. Throws DbError.
QStringList roomRefusals(const db::Database& database);

// Adds the class with a coefficient row at 1 for every subject, in one transaction, and
// returns its key. Throws DbError (DuplicateKey when a name or short name is taken) with
// nothing written.
qint32 create(const db::Database& database, const Input& input);

// Writes the name and the short name of the class, even when unchanged. Throws DbError.
void modify(const db::Database& database, qint32 numClass, const Input& input);

}  // namespace classedit
