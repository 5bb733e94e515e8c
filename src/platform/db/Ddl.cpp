#include "Ddl.h"

#include "Collations.h"
#include "DbError.h"
#include "Values.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

namespace db::detail {
namespace {

[[noreturn]] void invalid(const QString& what) {
    throw DbError(DbErrc::InvalidDefinition, what);
}

bool validName(const QString& name) {
    if (name.isEmpty() || name.size() > 64 || name.front().isSpace())
        return false;
    for (QChar c : name)
        if (c.unicode() < 32 || c == u'.' || c == u'!' || c == u'[' || c == u']' || c == u'`')
            return false;
    return true;
}


void validateField(const TableDef& table, const FieldDef& field) {
    const QString where = table.Name() + u'.' + field.Name();
    if (!validName(field.Name()))
        invalid(where);
    if (!knownType(field.Type()))
        invalid(where);
    if (field.Type() == FieldType::Text && (field.Size() < 1 || field.Size() > 255))
        invalid(where);
    if (field.AutoIncrement() && field.Type() != FieldType::Long)
        invalid(where);
    if (const auto& rule = field.ValidationRule();
        rule && (field.isText() || field.Type() == FieldType::Date || rule->low > rule->high))
        invalid(where);
    try {
        toFieldValue(field, field.DefaultValue());
    } catch (const DbError&) {
        invalid(where);
    }
}

const char* declaredType(const FieldDef& field) {
    switch (field.Type()) {
    case FieldType::Boolean: return "BOOLEAN";
    case FieldType::Byte: return "TINYINT";
    case FieldType::Integer: return "SMALLINT";
    case FieldType::Long: return "INTEGER";
    case FieldType::Single: return "FLOAT";
    case FieldType::Double: return "DOUBLE";
    case FieldType::Date: return "DATETIME";
    case FieldType::Text: return "VARCHAR";
    case FieldType::Memo: return "TEXT";
    }
    return "";
}

const IndexDef* primaryIndex(const TableDef& table) {
    for (const IndexDef& index : table.Indexes())
        if (index.Primary())
            return &index;
    return nullptr;
}

// The checks that keep the file's rules even against a writer that skips this engine.
QByteArray checks(const FieldDef& field, bool requiredByCheck) {
    const QByteArray f = quoteName(field.Name());
    QList<QByteArray> parts;
    switch (field.Type()) {
    case FieldType::Byte: parts << f + " BETWEEN 0 AND 255"; break;
    case FieldType::Integer: parts << f + " BETWEEN -32768 AND 32767"; break;
    case FieldType::Long:
        if (!field.AutoIncrement())
            parts << f + " BETWEEN -2147483648 AND 2147483647";
        break;
    case FieldType::Boolean: parts << f + " IN (0, 1)"; break;
    case FieldType::Text: parts << "length(" + f + ") <= " + QByteArray::number(field.Size()); break;
    default: break;
    }
    if (field.isText() && !field.AllowZeroLength())
        parts << f + " <> ''";
    if (const auto& rule = field.ValidationRule())
        parts << f + " BETWEEN " + QByteArray::number(rule->low) + " AND " + QByteArray::number(rule->high);
    if (requiredByCheck)
        parts << f + " IS NOT NULL";
    if (parts.isEmpty())
        return {};
    QByteArray sql = " CHECK(";
    for (qsizetype i = 0; i < parts.size(); ++i)
        sql += (i ? " AND " : "") + parts[i];
    return sql + ')';
}

QByteArray columnSql(const TableDef& table, const FieldDef& field, bool addedLater) {
    QByteArray sql = quoteName(field.Name()) + ' ' + declaredType(field);
    if (field.AutoIncrement())
        return sql.replace("INTEGER", "INTEGER PRIMARY KEY AUTOINCREMENT");
    const bool required = field.Required() || table.inPrimaryIndex(field.Name());
    const bool hasDefault = !field.DefaultValue().isNull();
    const bool notNull = required && (!addedLater || hasDefault);
    if (notNull)
        sql += " NOT NULL";
    if (hasDefault)
        sql += " DEFAULT " + sqlLiteral(field.Type(), toFieldValue(field, field.DefaultValue()));
    if (field.isText())
        sql += QByteArray(" COLLATE ") + collation::kCaseInsensitive;
    return sql + checks(field, required && !notNull);
}

QByteArray fieldList(const QStringList& fields) {
    QByteArray sql;
    for (const QString& f : fields)
        sql += (sql.isEmpty() ? "" : ", ") + quoteName(f);
    return sql;
}

QJsonValue jsonValue(FieldType type, const QVariant& value) {
    if (value.isNull())
        return QJsonValue::Null;
    if (type == FieldType::Date)
        return dateText(value);
    return QJsonValue::fromVariant(value);
}

// Readers of a definition as the file holds it: a value of another kind, or a number that
// is not a whole one a double holds exactly, makes the definition invalid.
qint64 integer(const QJsonValue& value, const QString& where) {
    constexpr double kExact = 9007199254740992.0;  // 2^53
    const double d = value.toDouble(std::nan(""));
    if (!value.isDouble() || !(std::fabs(d) <= kExact) || d != std::trunc(d))
        invalid(where);
    return qint64(d);
}

bool flag(const QJsonValue& value, const QString& where) {
    if (!value.isBool())
        invalid(where);
    return value.toBool();
}

QString text(const QJsonValue& value, const QString& where) {
    if (!value.isString())
        invalid(where);
    return value.toString();
}

QJsonObject object(const QJsonValue& value, const QString& where) {
    if (!value.isObject())
        invalid(where);
    return value.toObject();
}

QJsonArray array(const QJsonObject& o, const char* key, const QString& where) {
    const QJsonValue value = o.value(QLatin1StringView(key));
    if (!value.isArray())
        invalid(where);
    return value.toArray();
}

QVariant variantValue(FieldType type, const QJsonValue& value) {
    if (value.isNull() || value.isUndefined())
        return {};
    if (type == FieldType::Date)
        return dateFromText(value.toString());
    return value.toVariant();
}

}  // namespace

QByteArray indexName(const TableDef& table, const IndexDef& index) {
    // The primary key is the table's only constraint, so SQLite numbers its index 1.
    if (index.Primary())
        return quoteName(QStringLiteral("sqlite_autoindex_") + table.Name() + QStringLiteral("_1"));
    return quoteName(table.Name() + u'.' + index.Name());
}

bool knownType(FieldType type) {
    switch (type) {
    case FieldType::Boolean:
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
    case FieldType::Single:
    case FieldType::Double:
    case FieldType::Date:
    case FieldType::Text:
    case FieldType::Memo:
        return true;
    }
    return false;
}

void validateTable(const TableDef& table) {
    if (!validName(table.Name()) || table.Name().startsWith(QStringLiteral("__"))
        || table.Name().startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive))
        invalid(table.Name());
    if (table.Fields().isEmpty())
        invalid(table.Name());
    QSet<QString> names;
    for (const FieldDef& field : table.Fields()) {
        validateField(table, field);
        const QString folded = field.Name().toCaseFolded();
        if (names.contains(folded))
            invalid(table.Name() + u'.' + field.Name());
        names.insert(folded);
    }
    QSet<QString> indexNames;
    int primaries = 0;
    for (const IndexDef& index : table.Indexes()) {
        const QString where = table.Name() + u'.' + index.Name();
        if (!validName(index.Name()) || index.Fields().isEmpty() || indexNames.contains(index.Name().toCaseFolded()))
            invalid(where);
        indexNames.insert(index.Name().toCaseFolded());
        for (const QString& f : index.Fields())
            if (table.fieldIndex(f) < 0)
                invalid(where);
        primaries += index.Primary();
    }
    if (primaries > 1)
        invalid(table.Name());
    for (const FieldDef& field : table.Fields()) {
        if (!field.AutoIncrement())
            continue;
        const IndexDef* primary = primaryIndex(table);
        if (!primary || primary->Fields().size() != 1 || !sameName(primary->Fields().front(), field.Name()))
            invalid(table.Name() + u'.' + field.Name());
    }
}

void validateNewField(const TableDef& table, const FieldDef& field) {
    validateField(table, field);
    if (field.AutoIncrement())
        invalid(table.Name() + u'.' + field.Name());
    if (table.fieldIndex(field.Name()) >= 0)
        throw DbError(DbErrc::FieldExists, table.Name() + u'.' + field.Name());
}

QByteArray createTableSql(const TableDef& table) {
    QByteArray sql = "CREATE TABLE " + quoteName(table.Name()) + " (";
    for (qsizetype i = 0; i < table.Fields().size(); ++i)
        sql += (i ? ", " : "") + columnSql(table, table.Fields()[i], false);
    const IndexDef* primary = primaryIndex(table);
    const bool rowidKey = primary && table.Fields()[table.fieldIndex(primary->Fields().front())].AutoIncrement();
    if (primary && !rowidKey)
        sql += ", PRIMARY KEY (" + fieldList(primary->Fields()) + ')';
    return sql + ')';
}

QByteArray createIndexSql(const TableDef& table, const IndexDef& index) {
    return QByteArray(index.Unique() ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") + indexName(table, index) + " ON "
         + quoteName(table.Name()) + " (" + fieldList(index.Fields()) + ')';
}

QList<QByteArray> createIndexSql(const TableDef& table) {
    QList<QByteArray> result;
    for (const IndexDef& index : table.Indexes())
        if (!index.Primary())
            result << createIndexSql(table, index);
    return result;
}

QByteArray addColumnSql(const TableDef& table, const FieldDef& field) {
    return "ALTER TABLE " + quoteName(table.Name()) + " ADD COLUMN " + columnSql(table, field, true);
}

QByteArray toJson(const TableDef& table) {
    QJsonArray fields;
    for (const FieldDef& f : table.Fields()) {
        QJsonObject o{{"name", f.Name()},
                      {"type", int(f.Type())},
                      {"size", f.Size()},
                      {"autoIncrement", f.AutoIncrement()},
                      {"required", f.Required()},
                      {"allowZeroLength", f.AllowZeroLength()},
                      {"default", jsonValue(f.Type(), f.DefaultValue())}};
        if (const auto& rule = f.ValidationRule())
            o.insert("between", QJsonArray{double(rule->low), double(rule->high)});
        fields.append(o);
    }
    QJsonArray indexes;
    for (const IndexDef& i : table.Indexes())
        indexes.append(QJsonObject{{"name", i.Name()},
                                   {"fields", QJsonArray::fromStringList(i.Fields())},
                                   {"primary", i.Primary()},
                                   {"unique", i.Unique()}});
    return QJsonDocument(QJsonObject{{"fields", fields}, {"indexes", indexes}}).toJson(QJsonDocument::Compact);
}

TableDef fromJson(const QString& name, const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        invalid(name);
    const QJsonObject root = document.object();
    TableDef table(name);
    for (const QJsonValue& v : array(root, "fields", name)) {
        const QJsonObject o = object(v, name);
        const auto type = FieldType(integer(o.value("type"), name));
        const qint64 size = integer(o.value("size"), name);
        if (size < 0 || size > 255)
            invalid(name);
        FieldDef f(text(o.value("name"), name), type, int(size));
        f.setAutoIncrement(flag(o.value("autoIncrement"), name))
            .setRequired(flag(o.value("required"), name))
            .setAllowZeroLength(flag(o.value("allowZeroLength"), name));
        const QVariant def = variantValue(type, o.value("default"));
        if (!def.isNull())
            f.setDefaultValue(toFieldValue(f, def));
        if (o.contains("between")) {
            const QJsonArray b = array(o, "between", name);
            if (b.size() != 2)
                invalid(name);
            f.setValidationRule(Between{integer(b.at(0), name), integer(b.at(1), name)});
        }
        table.appendField(f);
    }
    for (const QJsonValue& v : array(root, "indexes", name)) {
        const QJsonObject o = object(v, name);
        QStringList fields;
        for (const QJsonValue& f : array(o, "fields", name))
            fields << text(f, name);
        table.appendIndex(IndexDef(text(o.value("name"), name), fields)
                              .setPrimary(flag(o.value("primary"), name))
                              .setUnique(flag(o.value("unique"), name)));
    }
    return table;
}

}  // namespace db::detail
