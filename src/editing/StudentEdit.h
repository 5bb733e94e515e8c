#pragma once
// The students of a class as the student list dialog writes them.
#include <QList>
#include <QStringList>
#include <QString>

namespace db {
class Database;
class Recordset;
}  // namespace db

namespace studentedit {

struct Student {
    qint32 key = 0;
    QString name, firstName;
};

// The text with its leading and trailing blanks removed and an upper-case letter first and
// after every blank or hyphen; the second of two separators in a row is kept as it is and
// does not raise what follows it. Nothing is ever lowered: "mcDONALD" gives "McDONALD".
QString CapitalizeName(const QString& text);

// The class's students ordered by name, then first name.
QList<Student> students(const db::Database& database, qint32 numClass);

// The lines refusing an empty name or first name.
QStringList refusals(const QString& name, const QString& firstName);
// The line and its explanation when a student of that name already exists.
QString duplicate(const QString& name, const QString& firstName);

// Adds a student to the class; returns the student as stored. Throws DbError
// (DuplicateKey when a student of any class has that name and first name).
Student add(const db::Database& database, qint32 numClass, const QString& name, const QString& firstName);

// Rewrites the name and first name, even when unchanged; returns them as stored.
Student update(const db::Database& database, qint32 numElv, const QString& name, const QString& firstName);

// Deletes the student and every grade of theirs (through `notes`, the dynaset on the
// table "Notes"), in one transaction. Throws DbError, nothing deleted.
void remove(const db::Database& database, db::Recordset& notes, qint32 numElv);

}  // namespace studentedit
