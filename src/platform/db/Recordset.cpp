#include "Recordset.h"

#include "Collations.h"
#include "Connection.h"
#include "Values.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>
#include <algorithm>
#include <optional>

namespace db {

using detail::Connection;
using detail::Use;
using detail::quoteName;

namespace {

struct Column {
    QString name;   // as the recordset names it
    QString table;  // the table it comes from
    FieldDef def;
    bool required = false;  // required, or part of the primary index
    QByteArray sql;         // how a statement names it
};

struct Row {
    qint64 rowid = 0;
    QList<QVariant> values;
};

// A criteria term, its field found and its value converted to the field's type.
struct Bound {
    int column;  // in the recordset; -1 for a field that it does not show
    FieldType type;
    QVariant value;
};

// What every navigator reads through.
struct Source {
    std::shared_ptr<Connection> connection;
    QList<Column> columns;
    QByteArray table;   // quoted name of the one table of a dynaset
    QByteArray select;  // "SELECT rowid, <fields> FROM <table> " of a dynaset

    Connection& conn() const {
        connection->handle();  // Closed once the database was closed
        return *connection;
    }

    Row read(sqlite3_stmt* stmt, int first) const {
        Row row;
        row.rowid = first ? sqlite3_column_int64(stmt, 0) : 0;
        row.values.reserve(columns.size());
        for (int i = 0; i < columns.size(); ++i)
            row.values.append(detail::columnValue(stmt, first + i, columns[i].def.Type()));
        return row;
    }

    void bind(sqlite3_stmt* stmt, const QList<Bound>& terms, int from = 1) const {
        for (int i = 0; i < terms.size(); ++i)
            detail::bindValue(stmt, from + i, terms[i].type, terms[i].value);
    }

    // The first row of a query on the dynaset's table, its parameters bound by `bindAll`.
    template <typename Binder>
    std::optional<Row> one(const QByteArray& tail, Binder bindAll) const {
        Use use(conn(), select + tail);
        bindAll(use.get());
        if (!use.step())
            return std::nullopt;
        return read(use.get(), 1);
    }

    qint64 count(const QByteArray& sql, qint64 parameter = 0) const {
        Use use(conn(), sql);
        if (sqlite3_bind_parameter_count(use.get()) > 0)
            sqlite3_bind_int64(use.get(), 1, parameter);
        use.step();
        return sqlite3_column_int64(use.get(), 0);
    }

    QByteArray criteriaSql(const QList<Bound>& terms) const {
        QByteArray sql;
        for (const Bound& t : terms)
            sql += (sql.isEmpty() ? "" : " AND ") + columns[t.column].sql + " = ?";
        return sql;
    }
};

// Moves over the rows of a recordset and holds the row it stands on. A move returns
// whether it landed on a row; one that finds nothing does not move, except next(), which
// stands past the end after the last row.
class Navigator {
public:
    virtual ~Navigator() = default;
    virtual bool first() = 0;
    virtual bool last() = 0;
    virtual bool next() = 0;
    virtual bool find(const QList<Bound>& terms, bool fromStart) = 0;
    virtual bool at(int position) = 0;
    virtual int count() = 0;
    virtual int position() = 0;
    virtual qint64 rowid() const = 0;
    virtual const QVariant& value(int column) const = 0;
    // After the row was written through the recordset.
    virtual void setValue(int, const QVariant&) {}
    virtual void added(qint64) {}
    virtual void deletedCurrent() {}
};

// A dynaset on a whole table in table order follows the table itself, so that the
// recordset kept open on a large table costs nothing to open and its finds use the
// table's indexes. Rows added by anyone come last, since row ids only grow.
class LiveNavigator : public Navigator {
public:
    explicit LiveNavigator(const Source& source) : m_source(source) {}

    bool first() override { return land(m_source.one("ORDER BY rowid LIMIT 1", [](auto) {})); }
    bool last() override { return land(m_source.one("ORDER BY rowid DESC LIMIT 1", [](auto) {})); }
    bool next() override {
        return land(m_source.one("WHERE rowid > ? ORDER BY rowid LIMIT 1",
                                 [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 1, m_row.rowid); }));
    }
    bool find(const QList<Bound>& terms, bool fromStart) override {
        QByteArray key(1, fromStart ? 'f' : 'n');
        for (const Bound& t : terms)
            key += char(t.column);
        QByteArray& tail = m_findSql[key];
        if (tail.isEmpty()) {
            const QByteArray where = m_source.criteriaSql(terms);
            tail = "WHERE " + (where.isEmpty() ? QByteArray("1") : where) + (fromStart ? "" : " AND rowid > ?")
                 + " ORDER BY rowid LIMIT 1";
        }
        return land(m_source.one(tail, [&](sqlite3_stmt* s) {
            m_source.bind(s, terms);
            if (!fromStart)
                sqlite3_bind_int64(s, int(terms.size()) + 1, m_row.rowid);
        }));
    }
    bool at(int position) override {
        return land(m_source.one("ORDER BY rowid LIMIT 1 OFFSET ?",
                                 [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 1, position); }));
    }
    int count() override { return int(m_source.count("SELECT count(*) FROM " + m_source.table)); }
    int position() override {
        return int(m_source.count("SELECT count(*) FROM " + m_source.table + " WHERE rowid < ?", m_row.rowid));
    }
    qint64 rowid() const override { return m_row.rowid; }
    const QVariant& value(int column) const override { return m_row.values[column]; }
    void setValue(int column, const QVariant& value) override { m_row.values[column] = value; }

private:
    bool land(std::optional<Row> row) {
        if (row)
            m_row = std::move(*row);
        return row.has_value();
    }

    const Source& m_source;
    Row m_row;
    QHash<QByteArray, QByteArray> m_findSql;
};

// Any other dynaset keeps the row ids it had when opened, in its order, and reads each
// row when it lands on it. Rows added through it are appended.
class KeysetNavigator : public Navigator {
public:
    KeysetNavigator(const Source& source, const QByteArray& where, const QList<Bound>& terms, const QByteArray& order)
        : m_source(source) {
        Use use(source.conn(), "SELECT rowid FROM " + source.table + (where.isEmpty() ? "" : " WHERE " + where)
                                   + " ORDER BY " + order);
        source.bind(use.get(), terms);
        while (use.step())
            m_keys.append(sqlite3_column_int64(use.get(), 0));
        m_gone.resize(m_keys.size());
    }

    bool first() override { return forward(0); }
    bool last() override {
        for (int slot = int(m_keys.size()) - 1; slot >= 0; --slot)
            if (load(slot))
                return true;
        return false;
    }
    bool next() override {
        if (forward(m_slot + 1))
            return true;
        m_slot = int(m_keys.size());
        return false;
    }
    bool find(const QList<Bound>& terms, bool fromStart) override {
        const QByteArray where = m_source.criteriaSql(terms);
        Use use(m_source.conn(), "SELECT rowid FROM " + m_source.table + (where.isEmpty() ? "" : " WHERE " + where));
        m_source.bind(use.get(), terms);
        QSet<qint64> matches;
        while (use.step())
            matches.insert(sqlite3_column_int64(use.get(), 0));
        for (int slot = fromStart ? 0 : m_slot + 1; slot < m_keys.size(); ++slot)
            if (!m_gone[slot] && matches.contains(m_keys[slot]))
                return load(slot);
        return false;
    }
    bool at(int position) override {
        for (int slot = 0; slot < m_keys.size(); ++slot)
            if (!m_gone[slot] && position-- == 0)
                return load(slot);
        return false;
    }
    int count() override { return int(m_gone.count(false)); }
    int position() override { return int(std::count(m_gone.begin(), m_gone.begin() + m_slot, false)); }
    qint64 rowid() const override { return m_row.rowid; }
    const QVariant& value(int column) const override { return m_row.values[column]; }
    void setValue(int column, const QVariant& value) override { m_row.values[column] = value; }
    void added(qint64 rowid) override {
        m_keys.append(rowid);
        m_gone.append(false);
    }
    void deletedCurrent() override { m_gone[m_slot] = true; }

private:
    bool forward(int from) {
        for (int slot = from; slot < m_keys.size(); ++slot)
            if (load(slot))
                return true;
        return false;
    }

    // Lands on a slot; a row deleted since (by another recordset) is skipped.
    bool load(int slot) {
        if (m_gone[slot])
            return false;
        auto row = m_source.one("WHERE rowid = ?", [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 1, m_keys[slot]); });
        if (!row) {
            m_gone[slot] = true;
            return false;
        }
        m_row = std::move(*row);
        m_slot = slot;
        return true;
    }

    const Source& m_source;
    QList<qint64> m_keys;
    QList<bool> m_gone;
    Row m_row;
    int m_slot = -1;
};

// Snapshots and forward-only recordsets hold a copy of their rows' values, one after the
// other.
class CopyNavigator : public Navigator {
public:
    CopyNavigator(const Source& source, const QByteArray& sql, const QList<Bound>& terms, bool forwardOnly)
        : m_width(int(source.columns.size())), m_forwardOnly(forwardOnly) {
        Use use(source.conn(), sql);
        source.bind(use.get(), terms);
        while (use.step()) {
            for (int i = 0; i < m_width; ++i)
                m_values.append(detail::columnValue(use.get(), i, source.columns[i].def.Type()));
            ++m_count;
        }
    }

    bool first() override { return go(0); }
    bool last() override { return go(m_count - 1); }
    bool next() override {
        if (go(m_pos + 1))
            return true;
        m_pos = m_count;
        return false;
    }
    bool find(const QList<Bound>& terms, bool fromStart) override {
        for (int row = fromStart ? 0 : m_pos + 1; row < m_count; ++row) {
            const bool match = std::all_of(terms.begin(), terms.end(), [&](const Bound& t) {
                return detail::sameValue(t.type, m_values[row * m_width + t.column], t.value);
            });
            if (match)
                return go(row);
        }
        return false;
    }
    bool at(int position) override { return go(position); }
    int count() override { return m_count; }
    int position() override { return m_pos; }
    qint64 rowid() const override { return 0; }
    const QVariant& value(int column) const override { return m_values[m_pos * m_width + column]; }

private:
    bool go(int row) {
        if (row < 0 || row >= m_count)
            return false;
        if (m_forwardOnly && row < m_pos)
            throw DbError(DbErrc::InvalidOperation);
        m_pos = row;
        return true;
    }

    QList<QVariant> m_values;
    int m_width;
    int m_count = 0;
    int m_pos = -1;
    bool m_forwardOnly;
};

// Finds the fields a query names among its tables.
class Resolver {
public:
    // The definitions stay put while a recordset is being built.
    Resolver(const Connection& connection, const Query& query) {
        m_tables.append(&connection.table(query.table()));
        for (const Query::Join& join : query.joins())
            m_tables.append(&connection.table(join.table));
    }

    struct Ref {
        int table;
        int field;
    };

    Ref resolve(const QString& name) const { return resolveIn(name, 0, int(m_tables.size())); }
    Ref resolveIn(const QString& name, int from, int to) const {
        const qsizetype dot = name.indexOf(u'.');
        const QString tableName = dot < 0 ? QString() : name.left(dot);
        const QString fieldName = dot < 0 ? name : name.mid(dot + 1);
        std::optional<Ref> found;
        for (int t = from; t < to; ++t) {
            if (!tableName.isEmpty() && !sameName(m_tables[t]->Name(), tableName))
                continue;
            const int f = m_tables[t]->fieldIndex(fieldName);
            if (f < 0)
                continue;
            if (found)
                throw DbError(DbErrc::NoSuchField, name);  // ambiguous
            found = Ref{t, f};
        }
        if (!found)
            throw DbError(DbErrc::NoSuchField, name);
        return *found;
    }

    const TableDef& table(const Ref& ref) const { return *m_tables[ref.table]; }
    const FieldDef& field(const Ref& ref) const { return m_tables[ref.table]->Fields()[ref.field]; }
    QByteArray sql(const Ref& ref) const {
        const QByteArray field = quoteName(this->field(ref).Name());
        return m_tables.size() == 1 ? field : quoteName(table(ref).Name()) + '.' + field;
    }
    QByteArray rowids() const {
        if (m_tables.size() == 1)
            return "rowid";
        QByteArray sql;
        for (const TableDef* t : m_tables)
            sql += (sql.isEmpty() ? "" : ", ") + quoteName(t->Name()) + ".rowid";
        return sql;
    }
    int tableCount() const { return int(m_tables.size()); }
    const TableDef& tableAt(int t) const { return *m_tables[t]; }

private:
    QVarLengthArray<const TableDef*, 2> m_tables;
};

// "<table> INNER JOIN <table> ON ..." of a query.
QByteArray fromSql(const Resolver& resolver, const Query& query) {
    QByteArray from = quoteName(resolver.tableAt(0).Name());
    for (int j = 0; j < query.joins().size(); ++j) {
        const Query::Join& join = query.joins()[j];
        const auto left = resolver.resolveIn(join.leftField, 0, j + 1);
        const auto right = resolver.resolveIn(join.rightField, j + 1, j + 2);
        from += " INNER JOIN " + quoteName(resolver.tableAt(j + 1).Name()) + " ON " + resolver.sql(left) + " = "
              + resolver.sql(right);
    }
    return from;
}

// The criteria as "<field> = ? AND ...", with the values to bind in that order.
void whereSql(const Resolver& resolver, const Criteria& criteria, QByteArray& where, QList<Bound>& terms) {
    for (const Criteria::Term& t : criteria.terms()) {
        const auto ref = resolver.resolve(t.field);
        const FieldType type = resolver.field(ref).Type();
        where += (where.isEmpty() ? "" : " AND ") + resolver.sql(ref) + " = ?";
        terms.append(Bound{-1, type, detail::toCriteriaValue(type, t.value)});
    }
}

// What a row may not hold, as Update checks it: Null in a required field, an empty text
// where none is allowed, a number outside the field's rule.
void checkValue(const QString& table, const FieldDef& field, bool required, const QVariant& v) {
    if (v.isNull()) {
        if (required)
            throw DbError(DbErrc::RequiredMissing, table + u'.' + field.Name());
        return;
    }
    if (field.isText() && !field.AllowZeroLength() && v.toString().isEmpty())
        throw DbError(DbErrc::EmptyText, table + u'.' + field.Name());
    if (const auto& rule = field.ValidationRule(); rule && (v.toDouble() < rule->low || v.toDouble() > rule->high))
        throw DbError(DbErrc::ValidationRule, table + u'.' + field.Name());
}

Column makeColumn(const Resolver& resolver, const Resolver::Ref& ref) {
    const TableDef& table = resolver.table(ref);
    const FieldDef& field = resolver.field(ref);
    return Column{field.Name(), table.Name(), field, field.Required() || table.inPrimaryIndex(field.Name()),
                  resolver.sql(ref)};
}

}  // namespace

struct Recordset::Impl {
    enum class State { OnRow, AtEnd, Deleted };
    enum class Pending { None, Adding, Editing };

    RecordsetType type;
    Source source;
    std::unique_ptr<Navigator> nav;
    State state = State::AtEnd;
    bool noMatch = false;
    Pending pending = Pending::None;
    QList<QVariant> buffer;
    QList<bool> changed;

    Connection& conn() const { return source.conn(); }

    int column(const QString& name) const {
        // A handful of fields: comparing beats hashing.
        const auto& columns = source.columns;
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].name == name)
                return i;
        for (int i = 0; i < columns.size(); ++i)
            if (sameName(columns[i].name, name))
                return i;
        const qsizetype dot = name.indexOf(u'.');
        std::optional<int> found;
        for (int i = 0; i < columns.size(); ++i) {
            const bool match = dot < 0 ? sameName(columns[i].def.Name(), name)
                                       : sameName(columns[i].table, name.left(dot))
                                             && sameName(columns[i].def.Name(), name.mid(dot + 1));
            if (match && found)
                throw DbError(DbErrc::NoSuchField, name);
            if (match)
                found = i;
        }
        if (!found)
            throw DbError(DbErrc::NoSuchField, name);
        return *found;
    }

    QList<Bound> bind(const Criteria& criteria) const {
        QList<Bound> terms;
        terms.reserve(criteria.terms().size());
        for (const Criteria::Term& t : criteria.terms()) {
            const int c = column(t.field);
            const FieldType type = source.columns[c].def.Type();
            terms.append(Bound{c, type, detail::toCriteriaValue(type, t.value)});
        }
        return terms;
    }

    // Follows a move: on a row, or where it was.
    bool landed(bool onRow) {
        if (onRow)
            state = State::OnRow;
        return onRow;
    }

    void dropPending() { pending = Pending::None; }

    void requireWritable() const {
        if (type != RecordsetType::Dynaset)
            throw DbError(DbErrc::ReadOnly);
    }

    void requireCurrent() const {
        if (state != State::OnRow)
            throw DbError(DbErrc::NoCurrentRecord);
    }

    QVariant value(int c) const {
        if (pending == Pending::Adding || (pending == Pending::Editing && changed[c]))
            return buffer[c];
        requireCurrent();
        return nav->value(c);
    }

    void checkRow() const {
        for (int i = 0; i < source.columns.size(); ++i) {
            const Column& c = source.columns[i];
            if (c.def.AutoIncrement())
                continue;
            checkValue(c.table, c.def, c.required, value(i));
        }
    }

    void insert() {
        QByteArray names, marks;
        QList<Bound> values;
        for (int i = 0; i < source.columns.size(); ++i) {
            if (source.columns[i].def.AutoIncrement())
                continue;
            names += (names.isEmpty() ? "" : ", ") + source.columns[i].sql;
            marks += marks.isEmpty() ? "?" : ", ?";
            values.append(Bound{i, source.columns[i].def.Type(), buffer[i]});
        }
        Connection& c = conn();
        {
            Use use(c, "INSERT INTO " + source.table + " (" + names + ") VALUES (" + marks + ')');
            source.bind(use.get(), values);
            use.step();
        }
        nav->added(sqlite3_last_insert_rowid(c.handle()));
    }

    void write() {
        QByteArray set;
        QList<Bound> values;
        for (int i = 0; i < source.columns.size(); ++i) {
            if (!changed[i])
                continue;
            set += (set.isEmpty() ? "" : ", ") + source.columns[i].sql + " = ?";
            values.append(Bound{i, source.columns[i].def.Type(), buffer[i]});
        }
        if (values.isEmpty())
            return;
        Connection& c = conn();
        {
            Use use(c, "UPDATE " + source.table + " SET " + set + " WHERE rowid = ?");
            source.bind(use.get(), values);
            sqlite3_bind_int64(use.get(), int(values.size()) + 1, nav->rowid());
            use.step();
        }
        if (sqlite3_changes(c.handle()) == 0)
            throw DbError(DbErrc::NoCurrentRecord);
        for (const Bound& b : values)
            nav->setValue(b.column, b.value);
    }
};

Recordset::Recordset() = default;
Recordset::Recordset(Recordset&& other) noexcept = default;
Recordset& Recordset::operator=(Recordset&& other) noexcept = default;
Recordset::~Recordset() = default;

Recordset::Recordset(std::shared_ptr<Connection> connection, const Query& query, RecordsetType type)
    : d(std::make_unique<Impl>()) {
    d->type = type;
    Source& source = d->source;
    source.connection = connection;
    const Resolver resolver(*connection, query);
    const bool joined = !query.joins().isEmpty();
    if (type == RecordsetType::Dynaset && (joined || !query.fields().isEmpty()))
        throw DbError(DbErrc::InvalidOperation, query.table());

    if (query.fields().isEmpty()) {
        for (int t = 0; t < resolver.tableCount(); ++t)
            for (int f = 0; f < resolver.tableAt(t).Fields().size(); ++f)
                source.columns.append(makeColumn(resolver, {t, f}));
    } else {
        for (const QString& name : query.fields())
            source.columns.append(makeColumn(resolver, resolver.resolve(name)));
    }
    // A field's bare name, unless two tables give the same one.
    if (joined) {
        for (Column& c : source.columns) {
            const auto same = std::count_if(source.columns.begin(), source.columns.end(),
                                            [&](const Column& o) { return sameName(o.def.Name(), c.def.Name()); });
            if (same > 1)
                c.name = c.table + u'.' + c.def.Name();
        }
    }

    const QByteArray from = fromSql(resolver, query);
    QByteArray where;
    QList<Bound> whereTerms;
    whereSql(resolver, query.criteria(), where, whereTerms);
    QByteArray order;
    for (const QString& name : query.order()) {
        const auto ref = resolver.resolve(name);
        order += resolver.sql(ref);
        if (resolver.field(ref).isText())
            order += QByteArray(" COLLATE ") + collation::kFrenchOrder;
        order += ", ";
    }
    order += resolver.rowids();

    if (type == RecordsetType::Dynaset) {
        source.table = from;
        QByteArray fields;
        for (const Column& c : source.columns)
            fields += ", " + c.sql;
        source.select = "SELECT rowid" + fields + " FROM " + from + ' ';
        if (where.isEmpty() && query.order().isEmpty())
            d->nav = std::make_unique<LiveNavigator>(source);
        else
            d->nav = std::make_unique<KeysetNavigator>(source, where, whereTerms, order);
    } else {
        QByteArray fields;
        for (const Column& c : source.columns)
            fields += (fields.isEmpty() ? "" : ", ") + c.sql;
        const bool sorted = !query.anyOrder() || !query.order().isEmpty();
        const QByteArray sql = "SELECT " + fields + " FROM " + from + (where.isEmpty() ? "" : " WHERE " + where)
                             + (sorted ? " ORDER BY " + order : QByteArray());
        d->nav = std::make_unique<CopyNavigator>(source, sql, whereTerms, type == RecordsetType::ForwardOnly);
    }
    d->landed(d->nav->first());
}

Recordset::Impl& Recordset::impl() const {
    if (!d)
        throw DbError(DbErrc::Closed);
    d->conn();
    return *d;
}

bool Recordset::isOpen() const { return d && d->source.connection->isOpen(); }

RecordsetType Recordset::Type() const { return impl().type; }

bool Recordset::Eof() const { return impl().state == Impl::State::AtEnd; }

void Recordset::MoveFirst() {
    Impl& i = impl();
    i.dropPending();
    if (!i.landed(i.nav->first()))
        throw DbError(DbErrc::NoCurrentRecord);
}

void Recordset::MoveNext() {
    Impl& i = impl();
    i.dropPending();
    if (i.state == Impl::State::AtEnd)
        throw DbError(DbErrc::NoCurrentRecord);
    if (!i.landed(i.nav->next()))
        i.state = Impl::State::AtEnd;
}

void Recordset::MoveLast() {
    Impl& i = impl();
    i.dropPending();
    if (!i.landed(i.nav->last()))
        throw DbError(DbErrc::NoCurrentRecord);
}

int Recordset::RecordCount() const { return impl().nav->count(); }

int Recordset::AbsolutePosition() const {
    Impl& i = impl();
    return i.state == Impl::State::OnRow ? i.nav->position() : -1;
}

void Recordset::setAbsolutePosition(int position) {
    Impl& i = impl();
    i.dropPending();
    if (position < 0 || !i.landed(i.nav->at(position)))
        throw DbError(DbErrc::OutOfRange, QString::number(position));
}

void Recordset::FindFirst(const Criteria& criteria) {
    Impl& i = impl();
    i.dropPending();
    i.noMatch = !i.landed(i.nav->find(i.bind(criteria), true));
}

void Recordset::FindNext(const Criteria& criteria) {
    Impl& i = impl();
    i.dropPending();
    i.noMatch = !i.landed(i.nav->find(i.bind(criteria), false));
}

bool Recordset::NoMatch() const { return impl().noMatch; }

void Recordset::AddNew() {
    Impl& i = impl();
    i.requireWritable();
    i.buffer.clear();
    for (const Column& c : i.source.columns)
        i.buffer.append(c.def.DefaultValue());
    i.changed = QList<bool>(i.source.columns.size(), false);
    i.pending = Impl::Pending::Adding;
}

void Recordset::Edit() {
    Impl& i = impl();
    i.requireWritable();
    i.dropPending();
    i.requireCurrent();
    i.buffer.clear();
    for (int c = 0; c < i.source.columns.size(); ++c)
        i.buffer.append(i.nav->value(c));
    i.changed = QList<bool>(i.source.columns.size(), false);
    i.pending = Impl::Pending::Editing;
}

void Recordset::Update() {
    Impl& i = impl();
    if (i.pending == Impl::Pending::None)
        throw DbError(DbErrc::UpdateWithoutEdit);
    i.checkRow();
    if (i.pending == Impl::Pending::Adding)
        i.insert();
    else
        i.write();
    i.pending = Impl::Pending::None;
}

void Recordset::Delete() {
    Impl& i = impl();
    i.requireWritable();
    i.dropPending();
    i.requireCurrent();
    Connection& c = i.conn();
    {
        Use use(c, "DELETE FROM " + i.source.table + " WHERE rowid = ?");
        sqlite3_bind_int64(use.get(), 1, i.nav->rowid());
        use.step();
    }
    if (sqlite3_changes(c.handle()) == 0)
        throw DbError(DbErrc::NoCurrentRecord);
    i.nav->deletedCurrent();
    i.state = Impl::State::Deleted;
}

void Recordset::Close() { d.reset(); }

RecordField Recordset::Fields(const QString& name) const { return RecordField(*this, impl().column(name)); }

QString RecordField::Name() const { return m_recordset->impl().source.columns[m_column].name; }

FieldType RecordField::Type() const { return m_recordset->impl().source.columns[m_column].def.Type(); }

int RecordField::Size() const { return m_recordset->impl().source.columns[m_column].def.Size(); }

QVariant RecordField::Value() const { return m_recordset->impl().value(m_column); }

void RecordField::setValue(const QVariant& value) const {
    Recordset::Impl& i = m_recordset->impl();
    if (i.pending == Recordset::Impl::Pending::None)
        throw DbError(DbErrc::UpdateWithoutEdit);
    const FieldDef& def = i.source.columns[m_column].def;
    if (def.AutoIncrement())
        throw DbError(DbErrc::InvalidOperation, def.Name());
    i.buffer[m_column] = detail::toFieldValue(def, value);
    i.changed[m_column] = true;
}

namespace detail {

namespace {

// The rows of the query's first table that the query selects: its criteria, applied
// through its joins when it has some.
struct Target {
    QByteArray table;
    QByteArray where;  // " WHERE ..." or nothing
    QList<Bound> terms;
};

// `schema`: the name of the attached file that holds the table, or empty for the file of
// the connection.
Target target(const Resolver& resolver, const Query& query, const QByteArray& schema = {}) {
    if (!schema.isEmpty() && !query.joins().isEmpty())
        throw DbError(DbErrc::InvalidOperation, query.table());
    Target t{(schema.isEmpty() ? QByteArray() : schema + '.') + quoteName(resolver.tableAt(0).Name()), {}, {}};
    QByteArray where;
    whereSql(resolver, query.criteria(), where, t.terms);
    if (!query.joins().isEmpty())
        t.where = " WHERE rowid IN (SELECT " + t.table + ".rowid FROM " + fromSql(resolver, query)
                + (where.isEmpty() ? "" : " WHERE " + where) + ')';
    else if (!where.isEmpty())
        t.where = " WHERE " + where;
    return t;
}

qint64 run(Connection& connection, const QByteArray& sql, const QList<Bound>& values,
           Use::Caching caching = Use::Caching::Kept) {
    {
        Use use(connection, sql, caching);
        for (int i = 0; i < values.size(); ++i)
            bindValue(use.get(), i + 1, values[i].type, values[i].value);
        use.step();
    }
    return sqlite3_changes(connection.handle());
}

}  // namespace

qint64 deleteRows(Connection& connection, const Query& query) {
    const Target t = target(Resolver(connection, query), query);
    return run(connection, "DELETE FROM " + t.table + t.where, t.terms);
}

qint64 updateRows(Connection& connection, const Query& query, const QList<Criteria::Term>& values) {
    return updateRows(connection, connection, {}, query, values);
}

qint64 updateRows(const Connection& catalogue, Connection& connection, const QByteArray& schema, const Query& query,
                  const QList<Criteria::Term>& values) {
    const Resolver resolver(catalogue, query);
    const TableDef& table = resolver.tableAt(0);
    QByteArray set;
    QList<Bound> bound;
    for (const Criteria::Term& v : values) {
        const Resolver::Ref ref = resolver.resolveIn(v.field, 0, 1);
        const FieldDef& field = resolver.field(ref);
        if (field.AutoIncrement())
            throw DbError(DbErrc::InvalidOperation, field.Name());
        const QVariant stored = toFieldValue(field, v.value);
        checkValue(table.Name(), field, field.Required() || table.inPrimaryIndex(field.Name()), stored);
        set += (set.isEmpty() ? "" : ", ") + quoteName(field.Name()) + " = ?";
        bound.append(Bound{-1, field.Type(), stored});
    }
    const Target t = target(resolver, query, schema);
    if (set.isEmpty())
        return 0;
    return run(connection, "UPDATE " + t.table + " SET " + set + t.where, bound + t.terms,
               schema.isEmpty() ? Use::Caching::Kept : Use::Caching::Once);
}

}  // namespace detail

}  // namespace db
