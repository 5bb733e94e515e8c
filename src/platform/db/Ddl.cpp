#include "Ddl.h"

#include "Collations.h"
#include "DbError.h"
#include "Values.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

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
    if (field.ValidationRule() && (field.isText() || field.Type() == FieldType::Date))
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

QByteArray indexName(const TableDef& table, const IndexDef& index) {
    return quoteName(table.Name() + u'.' + index.Name());
}

QJsonValue jsonValue(FieldType type, const QVariant& value) {
    if (value.isNull())
        return QJsonValue::Null;
    if (type == FieldType::Date)
        return value.toDateTime().toString(kDateFormat);
    return QJsonValue::fromVariant(value);
}

QVariant variantValue(FieldType type, const QJsonValue& value) {
    if (value.isNull() || value.isUndefined())
        return {};
    if (type == FieldType::Date)
        return QDateTime::fromString(value.toString(), kDateFormat);
    return value.toVariant();
}

}  // namespace

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
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    TableDef table(name);
    for (const QJsonValue& v : root.value("fields").toArray()) {
        const QJsonObject o = v.toObject();
        const auto type = FieldType(o.value("type").toInt());
        FieldDef f(o.value("name").toString(), type, o.value("size").toInt());
        f.setAutoIncrement(o.value("autoIncrement").toBool())
            .setRequired(o.value("required").toBool())
            .setAllowZeroLength(o.value("allowZeroLength").toBool());
        const QVariant def = variantValue(type, o.value("default"));
        if (!def.isNull())
            f.setDefaultValue(toFieldValue(f, def));
        if (o.contains("between")) {
            const QJsonArray b = o.value("between").toArray();
            f.setValidationRule(Between{qint64(b.at(0).toDouble()), qint64(b.at(1).toDouble())});
        }
        table.appendField(f);
    }
    for (const QJsonValue& v : root.value("indexes").toArray()) {
        const QJsonObject o = v.toObject();
        QStringList fields;
        for (const QJsonValue& f : o.value("fields").toArray())
            fields << f.toString();
        table.appendIndex(IndexDef(o.value("name").toString(), fields)
                              .setPrimary(o.value("primary").toBool())
                              .setUnique(o.value("unique").toBool()));
    }
    return table;
}

}  // namespace db::detail
