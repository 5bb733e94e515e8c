#include "Query.h"

namespace db {

Criteria::Criteria(QString field, QVariant value) {
    m_terms.append(Term{std::move(field), std::move(value)});
}

Criteria Criteria::operator&&(const Criteria& other) const {
    Criteria both = *this;
    both.m_terms.append(other.m_terms);
    return both;
}

Query::Query(QString table) : m_table(std::move(table)) {}

Query& Query::where(const Criteria& criteria) {
    m_where = criteria;
    return *this;
}

Query& Query::orderBy(const QStringList& fields) {
    m_order = fields;
    return *this;
}

Query& Query::innerJoin(const QString& table, const QString& leftField, const QString& rightField) {
    m_joins.append(Join{table, leftField, rightField});
    return *this;
}

Query& Query::select(const QStringList& fields) {
    m_select = fields;
    return *this;
}

Query& Query::inAnyOrder() {
    m_anyOrder = true;
    return *this;
}

}  // namespace db
