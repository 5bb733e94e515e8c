#pragma once
// What the table of averages reads from the gradebook and writes into it: the classes with
// their students, the subjects, one class's grades brought together per student, subject
// and period, a student's civil status, and the subjects' coefficients of a class.
#include "averages/Averages.h"
#include "platform/db/Database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace averagestable {

struct Entry {
    qint32 key = 0;
    QString name;  // a student's is "Nom Prénom"
};

struct TreeClass {
    Entry entry;
    QStringList students;  // their names, in no particular order
};

// The classes in the gradebook's order, each with the names of its students. Throws
// DbError.
QList<TreeClass> readTree(const db::Database& database);
// A class's students, by name, then first name. Throws DbError.
QList<Entry> readStudents(const db::Database& database, qint32 numClass);

// The subjects in the gradebook's order. Throws DbError.
QList<Entry> readSubjects(const db::Database& database);

// The coefficient a class gives a subject when the gradebook holds none for the pair: the
// one every new pair gets.
inline constexpr int kDefaultCoefficient = 1;

struct ClassData {
    QList<Entry> students;        // by name, then first name; only one when asked for one
    std::vector<double> coefficients;  // per subject, in the order of the subjects given
    averages::ClassMarks marks;   // [student][subject]
};

// One class's coefficients and grades, for the subjects given (in that order): one query
// per table. With `onlyStudent`, the marks of that student of the class alone. A grade is
// taken as the number the grade grid shows for it, so that both windows agree. Throws
// DbError.
ClassData readClass(const db::Database& database, qint32 numClass, const QList<Entry>& subjects,
                    std::optional<qint32> onlyStudent = std::nullopt);

// The civil-status text of a student ("" when none was ever written). Throws DbError.
QString readCivilStatus(const db::Database& database, qint32 numElv);
// Writes it; a student who is gone is left alone. Throws DbError.
void saveCivilStatus(const db::Database& database, qint32 numElv, const QString& text);

// A coefficient as typed: a number, rounded to a whole number (a half to the even
// neighbour, as a byte field takes a number), from 0 to 255. Nothing for anything else.
std::optional<int> parseCoefficient(const QString& text);

// The heading and the lines that refuse a typed coefficient; no line when it is valid.
QString coefficientHeading();
QStringList coefficientRefusals(const QString& text);

// Writes the class's coefficient of each subject, in one transaction; a pair that has no
// row yet gets one. Throws DbError, having written nothing.
void writeCoefficient(const db::Database& database, qint32 numClass, const QList<qint32>& subjects, int coefficient);

}  // namespace averagestable
