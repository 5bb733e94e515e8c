#include "Connection.h"

#include "Collations.h"
#include "Ddl.h"
#include "EngineVersion.h"
#include "FileChecks.h"
#include "FileLock.h"
#include "Guard.h"
#include "Values.h"
#include "Verification.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace db::detail {

namespace {

// Whether this process may create the journal beside the file, judged with its effective
// rights (a read-only mount included).
bool folderWritable(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace

std::shared_ptr<Connection> Connection::open(const QString& path, const FileKey& fileKey, bool create,
                                             const Replay* replay) {
    // Neither a file read nor one written in a format that the engine's checks do not know.
    if (!cipherVersionSupported())
        throw DbError(DbErrc::Engine, unsupportedCipherMessage());
    auto guard = std::make_unique<FileGuard>(fileKey);
    if (replay)
        guard->acceptReplay(*replay);
    const char* vfs = guard->vfsName();
    std::shared_ptr<Connection> connection(new Connection(path, fileKey, std::move(guard)));
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &connection->m_handle, flags, vfs);
    sqlite3* handle = connection->m_handle;
    if (rc != SQLITE_OK)
        throw DbError(DbErrc::CannotOpen, path);
    // SQLite quietly opens a file it cannot write for reading only; every write would then
    // fail. Said before the first read, which may already write (rolling back a journal).
    if (sqlite3_db_readonly(handle, "main") == 1 || !folderWritable(path))
        throw DbError(DbErrc::FileReadOnly, path);
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, 2000);
    // An empty password means a file without encryption.
    const QByteArray key = fileKey.sqlcipherKey();
    if ((!key.isEmpty() && sqlite3_key(handle, key.constData(), int(key.size())) != SQLITE_OK)
        || !collation::registerOn(handle))
        throw DbError(DbErrc::Engine, path);
    // The key is only tried by the first read of the file.
    const int probe = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (probe == SQLITE_OK)
        return connection;
    // What is known of the file is said; any other failure is the general one.
    const int known[] = {SQLITE_NOTADB, SQLITE_BUSY, SQLITE_LOCKED, SQLITE_CORRUPT};
    // A journal that the guard refuses as the file opens leaves the file refused as damaged.
    if (std::find(std::begin(known), std::end(known), probe & 0xff) != std::end(known))
        connection->raise(probe & 0xff);
    throw DbError(DbErrc::CannotOpen, path);
}

Connection::Connection(QString path, FileKey key, std::unique_ptr<FileGuard> guard)
    : m_path(std::move(path)), m_key(std::move(key)), m_guard(std::move(guard)) {}

Connection::~Connection() { close(); }

void Connection::knowKeys(const FileKey& key) {
    if (key.keys)
        m_guard->knowKeys(*key.keys);
}

void Connection::close() {
    m_verification.reset();
    for (sqlite3_stmt* stmt : std::as_const(m_cache))
        sqlite3_finalize(stmt);
    m_cache.clear();
    if (m_handle)
        sqlite3_close_v2(m_handle);
    m_handle = nullptr;
    m_lock.reset();
}

sqlite3* Connection::handle() const {
    if (!m_handle)
        throw DbError(DbErrc::Closed, m_path);
    return m_handle;
}

sqlite3_stmt* Connection::statement(const QByteArray& sql) {
    if (sqlite3_stmt* cached = m_cache.value(sql))
        return cached;
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(handle(), sql.constData(), int(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        raise(rc);
    m_cache.insert(sql, stmt);
    return stmt;
}

void Connection::execute(const QByteArray& sql) {
    if (m_verdictPending)
        awaitVerdict();
    control(sql);
}

void Connection::control(const QByteArray& sql) {
    const int rc = sqlite3_exec(handle(), sql.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        raise(rc);
}

void Connection::verifyInBackground() {
    m_verification = std::make_unique<Verification>(m_path, m_key);
    m_verdictPending = true;
}

void Connection::awaitVerdict() {
    if (!m_verification)
        return;
    m_verification->await();
    m_verdictPending = false;
}

void Connection::onVerificationFailure(QObject* context, std::function<void(const DbError&)> failed) {
    if (m_verification)
        m_verification->onFailure(context, std::move(failed));
}

void Connection::raise(int rc) const { detail::raise(m_handle, m_path, rc); }

void raise(sqlite3* handle, const QString& path, int rc) {
    const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString();
    switch (rc) {
    case kForeignJournal:
        throw DbError(DbErrc::Busy, path);
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        throw DbError(DbErrc::DuplicateKey, message);
    case SQLITE_CONSTRAINT_NOTNULL:
        throw DbError(DbErrc::RequiredMissing, message);
    case SQLITE_CONSTRAINT_CHECK:
        throw DbError(DbErrc::ValidationRule, message);
    default:
        break;
    }
    // Failures of the file, the disk or another program, by SQLite's primary code.
    static const std::pair<int, DbErrc> kFileFailures[] = {
        {SQLITE_NOTADB, DbErrc::NotADatabase}, {SQLITE_BUSY, DbErrc::Busy},       {SQLITE_LOCKED, DbErrc::Busy},
        {SQLITE_READONLY, DbErrc::FileReadOnly}, {SQLITE_PERM, DbErrc::FileReadOnly}, {SQLITE_CORRUPT, DbErrc::Damaged},
        {SQLITE_FULL, DbErrc::DiskFull},       {SQLITE_IOERR, DbErrc::Io}};
    for (const auto& [code, errc] : kFileFailures)
        if ((rc & 0xff) == code)
            throw DbError(errc, path, rc);
    // Writing needs a journal beside the file: its folder was made read-only, or is gone.
    if ((rc & 0xff) == SQLITE_CANTOPEN)
        throw DbError(QFileInfo(path).absoluteDir().exists() ? DbErrc::FileReadOnly : DbErrc::Io, path);
    throw DbError(DbErrc::Engine, message);
}

const TableDef* Connection::findTable(const QString& name) const {
    for (const TableDef& t : m_tables)
        if (t.Name() == name)
            return &t;
    for (const TableDef& t : m_tables)
        if (sameName(t.Name(), name))
            return &t;
    return nullptr;
}

const TableDef& Connection::table(const QString& name) const {
    if (const TableDef* t = findTable(name))
        return *t;
    throw DbError(DbErrc::NoSuchTable, name);
}

void Connection::loadCatalogue() {
    m_tables.clear();
    {
        Use exists(*this, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('"
                              + QByteArray(kPropertiesTable) + "', '" + kTableDefsTable + "')");
        exists.step();
        m_engineTables = sqlite3_column_int(exists.get(), 0) == 2;
    }
    if (!m_engineTables)
        return;
    Use read(*this, "SELECT Name, Definition FROM " + QByteArray(kTableDefsTable) + " ORDER BY rowid");
    while (read.step()) {
        const QString name = columnValue(read.get(), 0, FieldType::Text).toString();
        const QByteArray json(reinterpret_cast<const char*>(sqlite3_column_text(read.get(), 1)),
                              sqlite3_column_bytes(read.get(), 1));
        // The definitions come from the file: one that this engine would not have built is
        // refused whole, whatever rule of a field it breaks.
        try {
            TableDef table = fromJson(name, json);
            validateTable(table);
            if (findTable(name))
                throw DbError(DbErrc::InvalidDefinition, name);
            m_tables.append(std::move(table));
        } catch (const DbError&) {
            m_tables.clear();
            throw DbError(DbErrc::InvalidDefinition, name);
        }
    }
}

QList<QByteArray> engineTablesSql() {
    return {"CREATE TABLE IF NOT EXISTS " + QByteArray(kPropertiesTable)
                + " (Name TEXT PRIMARY KEY COLLATE NOCASE, Type INTEGER NOT NULL, Value)",
            "CREATE TABLE IF NOT EXISTS " + QByteArray(kTableDefsTable)
                + " (Name TEXT PRIMARY KEY COLLATE NOCASE, Definition TEXT NOT NULL)"};
}

void Connection::createEngineTables() {
    ++m_catalogueWrites;
    for (const QByteArray& sql : engineTablesSql())
        execute(sql);
    m_engineTables = true;
}

void Connection::storeTable(const TableDef& table, bool isNew) {
    ++m_catalogueWrites;
    {
        Use write(*this, isNew ? "INSERT INTO " + QByteArray(kTableDefsTable) + " (Definition, Name) VALUES (?, ?)"
                               : "UPDATE " + QByteArray(kTableDefsTable) + " SET Definition = ? WHERE Name = ?");
        const QByteArray json = toJson(table);
        sqlite3_bind_text(write.get(), 1, json.constData(), int(json.size()), SQLITE_TRANSIENT);
        bindValue(write.get(), 2, FieldType::Text, table.Name());
        write.step();
    }
    if (isNew) {
        m_tables.append(table);
        return;
    }
    for (TableDef& t : m_tables)
        if (sameName(t.Name(), table.Name()))
            t = table;
}

Use::Use(Connection& connection, const QByteArray& sql, Caching caching) : m_connection(connection) {
    if (caching == Caching::Kept) {
        m_stmt = connection.statement(sql);
        return;
    }
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(connection.handle(), sql.constData(), int(sql.size()), &stmt, nullptr);
    m_once = sqlite::Statement(stmt);
    if (rc != SQLITE_OK)
        connection.raise(rc);
    m_stmt = stmt;
}

Use::~Use() {
    m_connection.addFullScanSteps(quint64(sqlite3_stmt_status(m_stmt, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1)));
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Use::step() {
    if (m_connection.verdictPending() && !sqlite3_stmt_readonly(m_stmt))
        m_connection.awaitVerdict();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_connection.raise(rc);
}

}  // namespace db::detail
