#include "SeriesEdit.h"

#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/Dates.h"
#include "platform/Numbers.h"
#include "platform/db/Database.h"

#include <optional>

namespace seriesedit {
namespace {

using db::Field;
using db::Query;
namespace numbers = platform::numbers;

const QString kTable = QStringLiteral("Séries");
const QString kKey = QStringLiteral("NumSérie");

// What a byte field stores of a number typed with a comma: the whole number, a half going
// to the even neighbour. Nothing when the text is not a number.
std::optional<double> wholeNumber(const QString& text) {
    const std::optional<double> value = numbers::parse(text);
    if (!value) return std::nullopt;
    return numbers::roundHalfEven(*value);
}

// Sur and the coefficient are bytes: a value the field cannot hold is refused here, since
// the box lets any number of digits through and a paste passes its key filter.
void checkByte(const QString& text, double low, const QString& empty, const QString& notNumber,
               const QString& zero, const QString& range, QStringList& lines) {
    if (text.isEmpty()) {
        lines << empty;
        return;
    }
    const std::optional<double> value = wholeNumber(text);
    if (!value)
        lines << notNumber;
    else if (*value == 0 && !zero.isEmpty())
        lines << zero;
    else if (*value < low || *value > 255)
        lines << range;
}

void write(db::Recordset& rs, qint32 numClass, qint32 numMat, const Series& series, const QDateTime& date) {
    rs.Fields(QStringLiteral("Nom")).setValue(series.name);
    rs.Fields(QStringLiteral("Sur")).setValue(series.sur);
    rs.Fields(QStringLiteral("Coefficient")).setValue(series.coefficient);
    rs.Fields(QStringLiteral("Date")).setValue(date);
    rs.Fields(QStringLiteral("Période")).setValue(series.period);
    rs.Fields(QStringLiteral("NumClass")).setValue(numClass);
    rs.Fields(QStringLiteral("NumMat")).setValue(numMat);
}

}  // namespace

QString refusalHeading() { return QStringLiteral("Une ou plusieurs de vos saisies sont incorrectes."); }

QStringList refusals(const Input& input) {
    QStringList lines;
    // Names are not trimmed: a name of blanks is a name.
    if (input.name.isEmpty()) lines << QStringLiteral("Donnez un nom à la série de notes.");
    checkByte(input.sur, 1, QStringLiteral("Le champ 'Note sur' doit être renseigné."),
              QStringLiteral("Le champ 'Note sur' doit être un nombre."),
              QStringLiteral("Le champ 'Note sur' ne doit pas être égal à 0."),
              QStringLiteral("Le champ 'Note sur' doit être compris entre 1 et 255."), lines);
    checkByte(input.coefficient, 0, QStringLiteral("Attribuez un coefficient (même nul) à la série de notes."),
              QStringLiteral("Le coefficient doit être un nombre."), QString(),
              QStringLiteral("Le coefficient doit être compris entre 0 et 255."), lines);
    if (!platform::dates::parseShortDate(input.date))
        lines << QStringLiteral("Donnez une date à la série de notes.\n"
                                "(Celle-ci est nécessaire pour ordonner les séries de notes "
                                "à l'intérieur d'une même période).");
    return lines;
}

Series accepted(const Input& input, int period) {
    Series s;
    s.name = mUtilities::StoredName(input.name);
    s.sur = int(wholeNumber(input.sur).value_or(0));
    s.coefficient = int(wholeNumber(input.coefficient).value_or(0));
    s.date = platform::dates::zoneless(platform::dates::parseShortDate(input.date).value_or(QDate()));
    s.period = period;
    return s;
}

QList<Series> read(const db::Database& database, qint32 numClass, qint32 numMat) {
    db::Recordset rs = database.OpenRecordset(Query(kTable)
                                                  .where(Field(QStringLiteral("NumClass")) == numClass &&
                                                         Field(QStringLiteral("NumMat")) == numMat)
                                                  .orderBy({QStringLiteral("Période"), QStringLiteral("Date")}),
                                              db::RecordsetType::Snapshot);
    QList<Series> list;
    for (; !rs.Eof(); rs.MoveNext())
        list.append({rs.Fields(kKey).Value().toInt(), rs.Fields(QStringLiteral("Nom")).Value().toString(),
                     rs.Fields(QStringLiteral("Sur")).Value().toInt(),
                     rs.Fields(QStringLiteral("Coefficient")).Value().toInt(),
                     rs.Fields(QStringLiteral("Date")).Value().toDateTime(),
                     rs.Fields(QStringLiteral("Période")).Value().toInt()});
    return list;
}

QString listEntry(const Series& series) {
    return mUtilities::ShortenName(series.name) + QStringLiteral(" du ") +
           platform::dates::formatShortDate(series.date.date()) + QStringLiteral(" (Période ") +
           QString::number(series.period) + u')';
}

qint32 create(const db::Database& database, qint32 numClass, qint32 numMat, const Series& series) {
    db::Transaction transaction(database);
    db::Recordset rs = database.OpenRecordset(Query(kTable));
    rs.AddNew();
    write(rs, numClass, numMat, series, series.date);
    rs.Fields(QStringLiteral("Colonne")).setValue(gradebook::kNewSeriesWidth);
    rs.Update();
    rs.MoveLast();
    const qint32 key = rs.Fields(kKey).Value().toInt();
    transaction.commit();
    return key;
}

void modify(const db::Database& database, qint32 numClass, qint32 numMat, const Series& series) {
    db::Transaction transaction(database);
    db::Recordset rs = database.OpenRecordset(Query(kTable).where(Field(kKey) == series.key));
    const QDateTime stored = rs.Fields(QStringLiteral("Date")).Value().toDateTime();  // NoCurrentRecord when gone
    rs.Edit();
    write(rs, numClass, numMat, series, stored.date() == series.date.date() ? stored : series.date);
    rs.Update();
    transaction.commit();
}

void remove(const db::Database& database, db::Recordset& notes, qint32 numSerie) {
    db::Transaction transaction(database);
    const db::Criteria grades = Field(kKey) == numSerie;
    for (notes.FindFirst(grades); !notes.NoMatch(); notes.FindFirst(grades)) notes.Delete();
    db::Recordset series = database.OpenRecordset(Query(kTable).where(Field(kKey) == numSerie));
    if (!series.Eof()) series.Delete();
    transaction.commit();
}

}  // namespace seriesedit
