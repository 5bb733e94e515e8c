#pragma once
// Inside the engine: how a value of each field type is checked, bound and read back.
#include "Schema.h"
#include "Sqlite.h"

#include <QDateTime>
#include <QStringView>
#include <QVariant>

namespace db::detail {

// Dates are stored as text, to the second, of no time zone: what the user gave is what
// every reader gets back, wherever and whenever it reads.
inline constexpr QStringView kDateFormat = u"yyyy-MM-dd HH:mm:ss";

// A date value (QDateTime or QDate, of any zone: its own fields count) as stored, and back;
// DbError TypeMismatch for another value, and an invalid date for a text of another form.
QString dateText(const QVariant& value);
QDateTime dateFromText(const QString& text);

// The value as the field stores it (bool, int, float, double, QDateTime of no zone or
// QString; Null stays Null), or DbError TypeMismatch, OutOfRange or TextTooLong. A number
// going into an integer field is rounded a half to the even neighbour; a text going into a
// number field is read with the French convention.
QVariant toFieldValue(const FieldDef& field, const QVariant& value);

// The same for a value looked for in criteria: no range or size is checked, since a value
// that the field cannot hold simply matches nothing.
QVariant toCriteriaValue(FieldType type, const QVariant& value);

void bindValue(sqlite3_stmt* stmt, int index, FieldType type, const QVariant& value);
QVariant columnValue(sqlite3_stmt* stmt, int index, FieldType type);

// Equality of two stored values of one type, as criteria compare them.
bool sameValue(FieldType type, const QVariant& a, const QVariant& b);

// A stored value written as an SQL literal, for the defaults of a table's definition.
QByteArray sqlLiteral(FieldType type, const QVariant& value);

QByteArray quoteName(const QString& name);

}  // namespace db::detail
