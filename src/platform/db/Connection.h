#pragma once
// Inside the engine: one open SQLCipher connection, its statements and the definitions of
// its tables. Database handles and recordsets share it; it closes when the last goes.
#include "Cipher.h"
#include "DbError.h"
#include "Query.h"
#include "Schema.h"
#include "Sqlite.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QObject;

namespace db::detail {

inline constexpr char kPropertiesTable[] = "__Properties";
inline constexpr char kTableDefsTable[] = "__TableDefs";

// What builds the engine's own tables of properties and table definitions.
QList<QByteArray> engineTablesSql();

class FileGuard;
class FileLock;
class Verification;
struct Replay;

// Throws the DbError that an SQLite result code stands for.
[[noreturn]] void raise(sqlite3* handle, const QString& path, int rc);

class Connection {
public:
    // Opens (or creates) the file and checks the key: a wrong key, a plain SQLite file and
    // a file that is no database all fail here with NotADatabase; one whose header SQLCipher
    // cannot read safely with Damaged (FileGuard). A journal beside the file is rolled back
    // as it is read only when it is `replay`'s; with any other, the file fails with Damaged.
    static std::shared_ptr<Connection> open(const QString& path, const FileKey& key, bool create,
                                            const Replay* replay = nullptr);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void close();
    // Kept until the connection is closed, and no longer.
    void holdLock(std::shared_ptr<FileLock> lock) { m_lock = std::move(lock); }
    bool isOpen() const { return m_handle != nullptr; }
    // The file's own path, which SQLite opened.
    const QString& path() const { return m_path; }
    // The name it was opened by (a link to it, say), for whoever opened it; its path by default.
    const QString& name() const { return m_name.isEmpty() ? m_path : m_name; }
    void setName(const QString& name) { m_name = name; }
    // What the file was opened with.
    const FileKey& key() const { return m_key; }
    // The keys of a file that this connection is to open too (attach), drawn already.
    void knowKeys(const FileKey& key);
    sqlite3* handle() const;

    // A prepared statement kept for the connection's life; run it through Use.
    sqlite3_stmt* statement(const QByteArray& sql);
    // Runs SQL that returns no rows, outside the cache. As a write, it waits for the verdict
    // of the whole-file check first (awaitVerdict).
    void execute(const QByteArray& sql);
    // Begins, ends or undoes a transaction or a savepoint, which writes nothing of itself.
    void control(const QByteArray& sql);
    [[noreturn]] void raise(int rc) const;

    // Starts the whole-file check of the file on a connection of its own (Verification).
    void verifyInBackground();
    // Whether writes must still wait for that check's verdict.
    bool verdictPending() const { return m_verdictPending; }
    // Waits for the verdict (at once when the file was checked as it opened); throws the
    // DbError of a file that failed the check, so that nothing is written to it.
    void awaitVerdict();
    // See Verification::onFailure; nothing happens for a file checked as it opened.
    void onVerificationFailure(QObject* context, std::function<void(const DbError&)> failed);

    // Definitions of the tables, in the order they were created.
    const QList<TableDef>& tables() const { return m_tables; }
    const TableDef* findTable(const QString& name) const;
    const TableDef& table(const QString& name) const;  // NoSuchTable
    void loadCatalogue();
    void storeTable(const TableDef& table, bool isNew);
    bool hasEngineTables() const { return m_engineTables; }
    void createEngineTables();
    // Counts the writes of definitions, so that a rollback reads them again only when it
    // may have undone one.
    quint64 catalogueWrites() const { return m_catalogueWrites; }

    quint64 fullScanSteps() const { return m_fullScans; }
    void addFullScanSteps(quint64 steps) { m_fullScans += steps; }
    int savepointDepth = 0;

private:
    Connection(QString path, FileKey key, std::unique_ptr<FileGuard> guard);

    sqlite3* m_handle = nullptr;
    QString m_path;
    QString m_name;
    FileKey m_key;
    std::unique_ptr<FileGuard> m_guard;  // as long as the handle, even once closed
    std::shared_ptr<FileLock> m_lock;
    QList<TableDef> m_tables;
    bool m_engineTables = false;
    quint64 m_catalogueWrites = 0;
    QHash<QByteArray, sqlite3_stmt*> m_cache;
    quint64 m_fullScans = 0;
    std::unique_ptr<Verification> m_verification;
    bool m_verdictPending = false;
};

// One run of a statement, cached unless `Once`. Leaves it reset, so that no statement keeps
// a read transaction open between two calls of the engine.
class Use {
public:
    // Once: prepared for this run and finalized after it. A statement that names an attached
    // file must not outlive the attachment.
    enum class Caching { Kept, Once };

    Use(Connection& connection, const QByteArray& sql, Caching caching = Caching::Kept);
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    ~Use();

    sqlite3_stmt* get() const { return m_stmt; }
    // True on a row, false when done; any error is raised.
    bool step();

private:
    Connection& m_connection;
    sqlite::Statement m_once;
    sqlite3_stmt* m_stmt;
};

// Writes of every row that a query selects, each one statement (Recordset.cpp, where
// queries are read); the number of rows written. Throw DbError.
qint64 deleteRows(Connection& connection, const Query& query);
qint64 updateRows(Connection& connection, const Query& query, const QList<Criteria::Term>& values);
// The same on the file attached to `connection` as `schema`, whose definitions `catalogue`
// holds; a query of one table.
qint64 updateRows(const Connection& catalogue, Connection& connection, const QByteArray& schema, const Query& query,
                  const QList<Criteria::Term>& values);

}  // namespace db::detail
