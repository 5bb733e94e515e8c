#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// What a recordset reads and what a find looks for, as typed values. Every value is bound
// as a parameter: a name holding " ' % _ or \ is just a name.
//
//   db::Query("Elèves").where(db::Field("NumClass") == 3).orderBy({"Nom", "Prénom"})
//   rs.FindFirst(db::Field("NumSérie") == s && db::Field("NumElv") == e)
namespace db {

// Equalities joined by AND. A text compares whatever its letter case; Null equals nothing.
class Criteria {
public:
    struct Term {
        QString field;
        QVariant value;
    };

    Criteria() = default;  // every row
    Criteria(QString field, QVariant value);

    Criteria operator&&(const Criteria& other) const;
    const QList<Term>& terms() const { return m_terms; }
    bool isEmpty() const { return m_terms.isEmpty(); }

private:
    QList<Term> m_terms;
};

// A field named in criteria: "Nom", or "Classes.Nom" in a query that joins two tables.
struct Field {
    explicit Field(QString fieldName) : name(std::move(fieldName)) {}
    Criteria operator==(const QVariant& value) const { return Criteria(name, value); }
    QString name;
};

// One table, or two joined on equal fields; every row in table order (the order rows were
// added) unless sorted. Texts sort in French order.
class Query {
public:
    struct Join {
        QString table;
        QString leftField;   // in the first table
        QString rightField;  // in the joined table
    };

    Query(QString table);  // NOLINT: a table name is a query of the whole table

    Query& where(const Criteria& criteria);
    Query& orderBy(const QStringList& fields);
    // INNER JOIN table ON <first table>.leftField = table.rightField (read-only recordsets).
    Query& innerJoin(const QString& table, const QString& leftField, const QString& rightField);
    // The fields to read, "Table.Field" or a bare name; all fields of every table when empty.
    Query& select(const QStringList& fields);
    // The rows in whatever order the engine finds them fastest, for a read that only adds
    // them up: a snapshot or forward-only recordset with no sort then skips sorting them.
    Query& inAnyOrder();

    const QString& table() const { return m_table; }
    const Criteria& criteria() const { return m_where; }
    const QStringList& order() const { return m_order; }
    const QList<Join>& joins() const { return m_joins; }
    const QStringList& fields() const { return m_select; }
    bool anyOrder() const { return m_anyOrder; }

private:
    QString m_table;
    Criteria m_where;
    QStringList m_order;
    QList<Join> m_joins;
    QStringList m_select;
    bool m_anyOrder = false;
};

}  // namespace db
