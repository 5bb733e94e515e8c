#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// Definitions of tables, fields and indexes, as the program describes its files.
namespace db {

// The numbers are those the files of the original program used for its types.
enum class FieldType { Boolean = 1, Byte = 2, Integer = 3, Long = 4, Single = 6, Double = 7, Date = 8, Text = 10, Memo = 12 };

// A validation rule "BETWEEN low AND high".
struct Between {
    qint64 low = 0;
    qint64 high = 0;
    friend bool operator==(const Between&, const Between&) = default;
};

class FieldDef {
public:
    FieldDef() = default;
    // size: the most characters a Text field holds (1 to 255); ignored for other types.
    FieldDef(QString name, FieldType type, int size = 0);

    const QString& Name() const { return m_name; }
    FieldType Type() const { return m_type; }
    int Size() const { return m_size; }

    // A Long key that the engine numbers itself, 1 for the first row, never reusing a
    // number, even a deleted one's. It must be the only field of the table's primary index.
    bool AutoIncrement() const { return m_autoIncrement; }
    FieldDef& setAutoIncrement(bool on = true);
    // Null refused.
    bool Required() const { return m_required; }
    FieldDef& setRequired(bool on = true);
    // "" accepted in a Text or Memo field; off unless set.
    bool AllowZeroLength() const { return m_allowZeroLength; }
    FieldDef& setAllowZeroLength(bool on = true);
    // The value a new row starts with; Null (an invalid QVariant) for none.
    const QVariant& DefaultValue() const { return m_default; }
    FieldDef& setDefaultValue(const QVariant& value);
    const std::optional<Between>& ValidationRule() const { return m_rule; }
    FieldDef& setValidationRule(Between rule);

    bool isText() const { return m_type == FieldType::Text || m_type == FieldType::Memo; }

private:
    QString m_name;
    FieldType m_type = FieldType::Long;
    int m_size = 0;
    bool m_autoIncrement = false;
    bool m_required = false;
    bool m_allowZeroLength = false;
    QVariant m_default;
    std::optional<Between> m_rule;
};

// Indexes are ascending. A primary index is unique and refuses Null in its fields.
class IndexDef {
public:
    IndexDef() = default;
    IndexDef(QString name, QStringList fields);

    const QString& Name() const { return m_name; }
    const QStringList& Fields() const { return m_fields; }
    bool Primary() const { return m_primary; }
    IndexDef& setPrimary(bool on = true);
    bool Unique() const { return m_unique; }
    IndexDef& setUnique(bool on = true);

private:
    QString m_name;
    QStringList m_fields;
    bool m_primary = false;
    bool m_unique = false;
};

class TableDef {
public:
    TableDef() = default;
    explicit TableDef(QString name);

    const QString& Name() const { return m_name; }
    const QList<FieldDef>& Fields() const { return m_fields; }
    const QList<IndexDef>& Indexes() const { return m_indexes; }
    TableDef& appendField(const FieldDef& field);
    TableDef& appendIndex(const IndexDef& index);

    // Position of a field, whatever its letter case; -1 when there is none.
    int fieldIndex(const QString& name) const;
    // Whether the field belongs to the primary index.
    bool inPrimaryIndex(const QString& field) const;

private:
    QString m_name;
    QList<FieldDef> m_fields;
    QList<IndexDef> m_indexes;
};

// Names compare whatever their letter case, as the original engine's did.
bool sameName(const QString& a, const QString& b);

}  // namespace db
