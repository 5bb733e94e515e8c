#pragma once
// What the series dialogs do to the gradebook: the checks of a series as typed, the list of
// a class's series in a subject, and the writes, each one transaction.
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Database;
class Recordset;
}  // namespace db

namespace seriesedit {

// The form as the user typed it.
struct Input {
    QString name;
    QString sur;
    QString coefficient;
    QString date;
};

// The heading of the refusal lines.
QString refusalHeading();  // "Une ou plusieurs de vos saisies sont incorrectes."

// One line per check that fails, in the form's order; none when the series can be written.
// "Sur" must come to a whole number in 1..255 and the coefficient in 0..255 (a fraction is
// rounded as the byte fields store it, a half to the even neighbour).
QStringList refusals(const Input& input);

// A series as it is stored.
struct Series {
    qint32 key = 0;
    QString name;
    int sur = 20;
    int coefficient = 1;
    QDateTime date;
    int period = 1;
};

// The values of a form that refusals() accepts, with its period.
Series accepted(const Input& input, int period);

// The series of a class in a subject, by period, then date. Throws DbError.
QList<Series> read(const db::Database& database, qint32 numClass, qint32 numMat);

// "<name shortened> du <dd/MM/yyyy> (Période <p>)", one entry of a series list.
QString listEntry(const Series& series);

// Adds the series (its "Colonne" the width of a new series) and returns its key. Throws
// DbError, writing nothing.
qint32 create(const db::Database& database, qint32 numClass, qint32 numMat, const Series& series);

// Rewrites the series `series.key` with its class and subject. A date on the day already
// stored keeps its stored time, so that series of one day keep their order. Throws DbError
// (NoCurrentRecord when the series is gone), writing nothing.
void modify(const db::Database& database, qint32 numClass, qint32 numMat, const Series& series);

// Deletes the series and every grade of it, found through `notes` (the open dynaset on
// "Notes"), all or nothing. Throws DbError.
void remove(const db::Database& database, db::Recordset& notes, qint32 numSerie);

}  // namespace seriesedit
