#pragma once
// The subjects of a gradebook as the subject dialog writes them.
#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Database;
}

namespace subjectedit {

struct Subject {
    qint32 key;
    QString name;
};

// Every subject, in table order (the order of the tab bar's items).
QList<Subject> subjects(const db::Database& database);

// The line refusing one subject more to a gradebook that holds as many as a section of the
// tab bar can list; empty while there is room. Throws DbError.
QStringList roomRefusals(const db::Database& database);

// Adds the subject with a coefficient row at 1 for every class, in one transaction, and
// returns its key. Throws DbError (DuplicateKey when the name is taken), nothing written.
qint32 create(const db::Database& database, const QString& name);

// Renames the subject. Throws DbError.
void rename(const db::Database& database, qint32 numMat, const QString& name);

}  // namespace subjectedit
