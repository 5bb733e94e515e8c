#include "Schema.h"

namespace db {

FieldDef::FieldDef(QString name, FieldType type, int size) : m_name(std::move(name)), m_type(type), m_size(size) {}

FieldDef& FieldDef::setAutoIncrement(bool on) {
    m_autoIncrement = on;
    return *this;
}
FieldDef& FieldDef::setRequired(bool on) {
    m_required = on;
    return *this;
}
FieldDef& FieldDef::setAllowZeroLength(bool on) {
    m_allowZeroLength = on;
    return *this;
}
FieldDef& FieldDef::setDefaultValue(const QVariant& value) {
    m_default = value;
    return *this;
}
FieldDef& FieldDef::setValidationRule(Between rule) {
    m_rule = rule;
    return *this;
}

IndexDef::IndexDef(QString name, QStringList fields) : m_name(std::move(name)), m_fields(std::move(fields)) {}

IndexDef& IndexDef::setPrimary(bool on) {
    m_primary = on;
    return *this;
}
IndexDef& IndexDef::setUnique(bool on) {
    m_unique = on;
    return *this;
}

TableDef::TableDef(QString name) : m_name(std::move(name)) {}

TableDef& TableDef::appendField(const FieldDef& field) {
    m_fields.append(field);
    return *this;
}
TableDef& TableDef::appendIndex(const IndexDef& index) {
    m_indexes.append(index);
    return *this;
}

int TableDef::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (sameName(m_fields[i].Name(), name))
            return i;
    return -1;
}

bool TableDef::inPrimaryIndex(const QString& field) const {
    for (const IndexDef& index : m_indexes)
        if (index.Primary())
            for (const QString& f : index.Fields())
                if (sameName(f, field))
                    return true;
    return false;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace db
