#include "Values.h"

#include "Collations.h"
#include "DbError.h"
#include "platform/Dates.h"
#include "platform/Numbers.h"

#include <QDateTime>
#include <QHash>
#include <cfloat>
#include <cmath>

namespace db::detail {
namespace {

namespace dates = platform::dates;

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QChar;
}

double toNumber(const QVariant& v, const QString& field) {
    if (isNumber(v))
        return v.toDouble();
    if (isText(v))
        if (const auto parsed = platform::numbers::parse(v.toString()))
            return *parsed;
    throw DbError(DbErrc::TypeMismatch, field);
}

struct Range {
    double low;
    double high;
};

Range integerRange(FieldType type) {
    switch (type) {
    case FieldType::Byte: return {0, 255};
    case FieldType::Integer: return {-32768, 32767};
    default: return {-2147483648.0, 2147483647.0};
    }
}

// A date as the field stores it: its own date and time of day, to the second, of no zone.
QDateTime toDateTime(const QVariant& v, const QString& field) {
    if (v.typeId() == QMetaType::QDate)
        return dates::zoneless(v.toDate());
    if (v.typeId() != QMetaType::QDateTime)
        throw DbError(DbErrc::TypeMismatch, field);
    const QDateTime d = v.toDateTime();
    return dates::zoneless(d.date(), QTime(d.time().hour(), d.time().minute(), d.time().second()));
}

// Parsing is slow, and a grid reads the same few series dates again and again.
QDateTime readDate(const char* text, int size) {
    thread_local QHash<QByteArray, QDateTime> seen;
    const QByteArray key(text, size);
    if (const auto it = seen.constFind(key); it != seen.cend())
        return *it;
    if (seen.size() > 4096)
        seen.clear();
    const QDateTime date = dateFromText(QString::fromUtf8(key));
    seen.insert(key, date);
    return date;
}

}  // namespace

QString dateText(const QVariant& value) { return toDateTime(value, {}).toString(kDateFormat); }

QDateTime dateFromText(const QString& text) {
    // Field by field: the text names no zone, so the local one has no say in it.
    const QDate date = QDate::fromString(text.left(10), u"yyyy-MM-dd");
    const QTime time = QTime::fromString(text.mid(10), u" HH:mm:ss");
    return date.isValid() && time.isValid() ? dates::zoneless(date, time) : QDateTime();
}

QVariant toFieldValue(const FieldDef& field, const QVariant& value) {
    if (value.isNull() && !isText(value))
        return {};
    const QString& name = field.Name();
    const FieldType type = field.Type();
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo: {
        if (!isText(value))
            throw DbError(DbErrc::TypeMismatch, name);
        const QString text = value.toString();
        if (type == FieldType::Text && text.size() > field.Size())
            throw DbError(DbErrc::TextTooLong, name);
        return text;
    }
    case FieldType::Boolean:
        if (!isNumber(value))
            throw DbError(DbErrc::TypeMismatch, name);
        return value.toDouble() != 0;
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long: {
        const double number = toNumber(value, name);
        const Range range = integerRange(type);
        const double rounded = platform::numbers::roundHalfEven(number);
        if (!std::isfinite(number) || rounded < range.low || rounded > range.high)
            throw DbError(DbErrc::OutOfRange, name);
        return int(rounded);
    }
    case FieldType::Single: {
        const double number = toNumber(value, name);
        if (!std::isfinite(number) || std::fabs(number) > FLT_MAX)
            throw DbError(DbErrc::OutOfRange, name);
        return float(number);
    }
    case FieldType::Double: {
        const double number = toNumber(value, name);
        if (!std::isfinite(number))
            throw DbError(DbErrc::OutOfRange, name);
        return number;
    }
    case FieldType::Date:
        return toDateTime(value, name);
    }
    throw DbError(DbErrc::TypeMismatch, name);
}

QVariant toCriteriaValue(FieldType type, const QVariant& value) {
    if (value.isNull() && !isText(value))
        return {};
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        if (!isText(value))
            throw DbError(DbErrc::TypeMismatch);
        return value.toString();
    case FieldType::Boolean:
        return toNumber(value, {}) != 0;
    case FieldType::Single:
        return float(toNumber(value, {}));
    case FieldType::Date:
        return toDateTime(value, {});
    default:
        return toNumber(value, {});
    }
}

void bindValue(sqlite3_stmt* stmt, int index, FieldType type, const QVariant& value) {
    if (value.isNull() && !isText(value)) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return;
    }
    case FieldType::Date: {
        const QByteArray text = dateText(value).toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case FieldType::Single:
    case FieldType::Double:
        sqlite3_bind_double(stmt, index, value.toDouble());
        return;
    default: {
        // Criteria may look for a fraction in an integer field: bind it as it is.
        const double number = value.toDouble();
        if (value.typeId() == QMetaType::Double && number != std::floor(number))
            sqlite3_bind_double(stmt, index, number);
        else
            sqlite3_bind_int64(stmt, index, value.toLongLong());
        return;
    }
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int index, FieldType type) {
    if (sqlite3_column_type(stmt, index) == SQLITE_NULL)
        return {};
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, index)),
                                 sqlite3_column_bytes(stmt, index));
    case FieldType::Date:
        return readDate(reinterpret_cast<const char*>(sqlite3_column_text(stmt, index)),
                        sqlite3_column_bytes(stmt, index));
    case FieldType::Single:
        return float(sqlite3_column_double(stmt, index));
    case FieldType::Double:
        return sqlite3_column_double(stmt, index);
    case FieldType::Boolean:
        return sqlite3_column_int64(stmt, index) != 0;
    default:
        return int(sqlite3_column_int64(stmt, index));
    }
}

bool sameValue(FieldType type, const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return false;
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        return collation::compareCaseInsensitive(a.toString(), b.toString()) == 0;
    case FieldType::Date:
        return a.toDateTime() == b.toDateTime();
    case FieldType::Boolean:
        return a.toBool() == b.toBool();
    default:
        return a.toDouble() == b.toDouble();
    }
}

QByteArray sqlLiteral(FieldType type, const QVariant& value) {
    if (value.isNull() && !isText(value))
        return "NULL";
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Date: {
        QString text = type == FieldType::Date ? dateText(value) : value.toString();
        text.replace(u'\'', QStringLiteral("''"));
        return '\'' + text.toUtf8() + '\'';
    }
    case FieldType::Single:
    case FieldType::Double:
        return QByteArray::number(value.toDouble(), 'g', 17);
    case FieldType::Boolean:
        return value.toBool() ? "1" : "0";
    default:
        return QByteArray::number(value.toLongLong());
    }
}

QByteArray quoteName(const QString& name) {
    QByteArray quoted = name.toUtf8();
    quoted.replace("\"", "\"\"");
    quoted.prepend('"');
    quoted.append('"');
    return quoted;
}

}  // namespace db::detail
