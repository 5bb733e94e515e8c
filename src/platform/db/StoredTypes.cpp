// How many stored values of a field are not of the field's type. SQLite keeps whatever a
// writer put into a column; the engine's own writes never mix types, others' may.
#include "Connection.h"
#include "Database.h"
#include "Values.h"

namespace db {

namespace {

// The condition a stored value of the field's type fails: another storage class, or an
// integer out of the type's range (which reading would cut to the type).
QByteArray foreign(FieldType type, const QByteArray& name) {
    const QByteArray notInteger = "typeof(" + name + ") <> 'integer' OR " + name;
    switch (type) {
    case FieldType::Single:
    case FieldType::Double: return "typeof(" + name + ") NOT IN ('real', 'integer')";
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Date: return "typeof(" + name + ") <> 'text'";
    case FieldType::Boolean: return notInteger + " NOT IN (0, 1)";
    case FieldType::Byte: return notInteger + " NOT BETWEEN 0 AND 255";
    case FieldType::Integer: return notInteger + " NOT BETWEEN -32768 AND 32767";
    case FieldType::Long: break;
    }
    return notInteger + " NOT BETWEEN -2147483648 AND 2147483647";
}

}  // namespace

qint64 Database::MistypedCount(const QString& table, const QString& field) const {
    detail::Connection& c = connection();
    const TableDef& def = c.table(table);
    const int column = def.fieldIndex(field);
    if (column < 0) throw DbError(DbErrc::NoSuchField, table + u'.' + field);
    const QByteArray name = detail::quoteName(def.Fields()[column].Name());
    detail::Use count(c, "SELECT count(*) FROM " + detail::quoteName(def.Name()) + " WHERE " + name + " IS NOT NULL AND ("
                             + foreign(def.Fields()[column].Type(), name) + ')');
    count.step();
    return sqlite3_column_int64(count.get(), 0);
}

}  // namespace db
