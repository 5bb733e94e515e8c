#pragma once
// Merging two subjects into a new one for every class: the two subjects go, the new one
// takes their series (grades and all) and a coefficient of 1 in every class.
#include <QString>
#include <QStringList>
#include <optional>

namespace db {
class Database;
}

namespace subjectmerge {

struct Input {
    qint32 first = 0;   // NumMat of the two subjects
    qint32 second = 0;
    QString name;       // of the new subject, as typed
};

// Why a merge cannot go on, and which choice the user should correct.
struct Refusal {
    enum Focus { Lists, Name, Unchanged };
    Focus focus;
    QString heading;
    QString line;
};

// The first check that fails: the same subject twice, no name, a name that the gradebook
// already gives to a third subject (compared as the gradebook compares names, letter case
// aside). The two merged subjects' own names are free. Throws DbError.
std::optional<Refusal> refusal(const db::Database& database, const Input& input);

// Merges the two subjects, both found by key before anything is written, in one
// transaction. Returns the new subject's key. Throws DbError (NoCurrentRecord when either
// subject is gone, DuplicateKey when the name is taken) with nothing written.
qint32 merge(const db::Database& database, const Input& input);

// The lines of the report that follows a merge.
QStringList report(const QString& first, const QString& second, const QString& name);

}  // namespace subjectmerge
