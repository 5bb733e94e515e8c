#include "Verify.h"

#include "Collations.h"
#include "Connection.h"
#include "Ddl.h"
#include "Values.h"

#include <QStringList>

namespace db::detail {
namespace {

// A database in memory where the engine's statements rebuild what the file should hold.
class Scratch {
public:
    Scratch() {
        if (sqlite3_open_v2(":memory:", &m_handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK
            || !collation::registerOn(m_handle))
            throw DbError(DbErrc::Engine);
    }
    ~Scratch() { sqlite3_close_v2(m_handle); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    sqlite3* handle() const { return m_handle; }
    bool run(const QByteArray& sql) const {
        return sqlite3_exec(m_handle, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

private:
    sqlite3* m_handle = nullptr;
};

sqlite::Statement prepare(sqlite3* handle, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return sqlite::Statement();
    }
    return sqlite::Statement(stmt);
}

QString columnText(sqlite3_stmt* stmt, int column) {
    return columnValue(stmt, column, FieldType::Text).toString();
}

// Every object of a schema as one line: its type, name, table and statement.
QStringList objects(sqlite3* handle, int& rc) {
    QStringList lines;
    const sqlite::Statement read = prepare(handle, "SELECT type, name, tbl_name, sql FROM sqlite_master");
    if (!read.get()) {
        rc = sqlite3_errcode(handle);
        return lines;
    }
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
        QStringList parts;
        for (int c = 0; c < 4; ++c)
            parts << (sqlite3_column_type(read.get(), c) == SQLITE_NULL ? QStringLiteral("<null>")
                                                                           : columnText(read.get(), c));
        lines << parts.join(QChar(u'\x1f'));
    }
    lines.sort();
    return lines;
}

QString tableSql(sqlite3* handle, const QString& table) {
    const sqlite::Statement read = prepare(handle, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?");
    if (!read.get())
        return {};
    bindValue(read.get(), 1, FieldType::Text, table);
    return sqlite3_step(read.get()) == SQLITE_ROW ? columnText(read.get(), 0) : QString();
}

[[noreturn]] void foreign(const QString& what) {
    throw DbError(DbErrc::ForeignObject, what);
}

// Builds the table in the scratch database as the engine would have: created with its
// first fields, the others added one by one, as a conversion does. Which fields came later
// is not recorded, so each split is tried from "none" on; the first that gives the file's
// own statement wins.
bool rebuild(const Scratch& scratch, const TableDef& table, const QString& fileSql) {
    const QList<FieldDef>& fields = table.Fields();
    for (qsizetype first = fields.size(); first >= 1; --first) {
        TableDef built(table.Name());
        for (qsizetype i = 0; i < first; ++i)
            built.appendField(fields[i]);
        for (const IndexDef& index : table.Indexes())
            built.appendIndex(index);
        try {
            validateTable(built);
        } catch (const DbError&) {
            continue;
        }
        if (!scratch.run("SAVEPOINT rebuild"))
            throw DbError(DbErrc::Engine);
        bool ok = scratch.run(createTableSql(built));
        for (qsizetype i = first; ok && i < fields.size(); ++i) {
            ok = scratch.run(addColumnSql(built, fields[i]));
            built.appendField(fields[i]);
        }
        if (ok && tableSql(scratch.handle(), table.Name()) == fileSql) {
            for (const QByteArray& sql : createIndexSql(table))
                if (!scratch.run(sql))
                    foreign(table.Name());
            scratch.run("RELEASE rebuild");
            return true;
        }
        scratch.run("ROLLBACK TO rebuild");
        scratch.run("RELEASE rebuild");
    }
    return false;
}

void failOn(sqlite3* handle, const QString& path, int rc) {
    switch (rc & 0xff) {
    case SQLITE_DONE:
    case SQLITE_OK: return;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: throw DbError(DbErrc::Damaged, path);
    default: raise(handle, path, rc);
    }
}

}  // namespace

void checkIntegrity(sqlite3* handle, const QString& path) {
    const sqlite::Statement check = prepare(handle, "PRAGMA integrity_check(1)");
    if (!check.get())
        failOn(handle, path, sqlite3_errcode(handle));
    const int rc = sqlite3_step(check.get());
    if (rc == SQLITE_ROW) {
        if (columnText(check.get(), 0) != u"ok")
            throw DbError(DbErrc::Damaged, path);
        return;
    }
    failOn(handle, path, rc);
}

void checkProperties(Connection& connection) {
    if (!connection.hasEngineTables())
        return;
    Use read(connection, "SELECT Name, Type, Value, typeof(Value) FROM " + QByteArray(kPropertiesTable));
    while (read.step()) {
        sqlite3_stmt* stmt = read.get();
        const QString name = columnText(stmt, 0);
        const auto type = FieldType(sqlite3_column_int64(stmt, 1));
        const FieldDef field = FieldDef(name, type, 255).setAllowZeroLength();
        const QByteArray storage(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        const bool number = storage == "integer" || storage == "real";
        try {
            if (name.isEmpty() || sqlite3_column_type(stmt, 1) != SQLITE_INTEGER || !knownType(type))
                throw DbError(DbErrc::InvalidDefinition, name);
            if (storage == "null")
                continue;
            if (field.isText() || type == FieldType::Date) {
                if (storage != "text")
                    throw DbError(DbErrc::InvalidDefinition, name);
                if (type != FieldType::Date)
                    toFieldValue(field, columnText(stmt, 2));
            } else if (!number) {
                throw DbError(DbErrc::InvalidDefinition, name);
            } else {
                toFieldValue(field, sqlite3_column_double(stmt, 2));
            }
        } catch (const DbError&) {
            throw DbError(DbErrc::InvalidDefinition, name);
        }
    }
}

void checkSchema(Connection& connection) {
    const Scratch scratch;
    if (connection.hasEngineTables())
        for (const QByteArray& sql : engineTablesSql())
            if (!scratch.run(sql))
                throw DbError(DbErrc::Engine);
    for (const TableDef& table : connection.tables()) {
        const QString fileSql = tableSql(connection.handle(), table.Name());
        if (fileSql.isEmpty() || !rebuild(scratch, table, fileSql))
            foreign(table.Name());
    }
    int rc = SQLITE_OK;
    const QStringList found = objects(connection.handle(), rc);
    failOn(connection.handle(), connection.path(), rc);
    const QStringList expected = objects(scratch.handle(), rc);
    if (rc != SQLITE_DONE)
        throw DbError(DbErrc::Engine);
    if (found != expected)
        foreign(connection.path());
}

}  // namespace db::detail
