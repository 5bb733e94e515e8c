#pragma once
// What deleting a class or a subject takes along. The gradebook keeps no relations between
// its tables, so every row that depends on the deleted one is found and deleted here; each
// deletion is one transaction, so that a failure half-way leaves the gradebook as it was.
#include <QList>
#include <QString>

namespace db {
class Database;
}

namespace cascades {

// A class or a subject as the dialogs list it: its key and its name.
struct Entry {
    qint32 key = 0;
    QString name;
};

// The subjects in table order (the order of the items of every tab-bar section).
QList<Entry> subjects(const db::Database& database);

// Deletes the class with its series and their grades, its students with every grade they
// hold (in its own series or in another class's, where an import may have put them), and
// its coefficients. False when there is no such class: nothing is written. Throws DbError,
// with nothing written.
bool deleteClass(const db::Database& database, qint32 numClass);

// Deletes the subject with its series in every class and their grades, and its
// coefficients. False when there is no such subject: nothing is written. Throws DbError,
// with nothing written.
bool deleteSubject(const db::Database& database, qint32 numMat);

}  // namespace cascades
