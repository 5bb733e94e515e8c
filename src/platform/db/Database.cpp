#include "Database.h"

#include "Connection.h"
#include "Ddl.h"
#include "FileChecks.h"
#include "FileLock.h"
#include "Guard.h"
#include "Journal.h"
#include "Values.h"
#include "Verify.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace db {

using detail::Connection;
using detail::Use;

namespace {

// The definition used to check a property's value: texts of a property hold up to 255
// characters, as the original engine's did.
FieldDef propertyField(const QString& name, FieldType type) {
    return FieldDef(name, type, 255).setAllowZeroLength();
}

// The name under which an Attachment opens its file on the host's connection.
constexpr char kAttached[] = "attached";

Use::Caching caching(const QByteArray& schema) { return schema.isEmpty() ? Use::Caching::Kept : Use::Caching::Once; }

// The connection to the file, past every check of the engine.
std::shared_ptr<Connection> openChecked(const QString& path, const detail::FileKey& key, Integrity integrity,
                                        const detail::Replay* replay) {
    auto connection = Connection::open(path, key, false, replay);
    const bool first = integrity == Integrity::CheckFirst;
    if (first)
        detail::checkIntegrity(connection->handle(), path);
    connection->loadCatalogue();
    // Started as early as it can, so that it runs while the checks below are made.
    if (!first)
        connection->verifyInBackground();
    detail::checkProperties(*connection);
    detail::checkSchema(*connection);
    return connection;
}

// Whether SQLite would take the journal for one to roll back: its first byte is not 0 (SQLite
// writes its header last), or it cannot be read.
bool mayBeHot(const QString& journal) {
    if (!QFileInfo::exists(journal))
        return false;
    const detail::SystemFile file(journal, true);
    const QByteArray first = file.read(0, 1);
    return !file.isOpen() || (!first.isEmpty() && first[0] != '\0');
}

// Copies the file into the temporary folder and returns the digest of what was copied.
QByteArray copyOf(const QString& from, const QString& to, bool journal) {
    detail::TemporaryCopy copy(to);
    if (!copy.open())
        throw detail::tempFolderFailure();
    const QByteArray digest = detail::SystemFile(from, journal).digest(&copy);
    if (!copy.finish())
        throw detail::tempFolderFailure();
    if (digest.isEmpty())
        throw DbError(DbErrc::Io, from);
    return digest;
}

QByteArray writtenCopy(const QString& to, const QByteArray& bytes) {
    detail::TemporaryCopy copy(to);
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.finish())
        throw detail::tempFolderFailure();
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Whether SQLite failed to read what it had to read, rather than to write.
bool readFailed(const DbError& e) {
    const int rc = e.engineCode();
    return rc == SQLITE_IOERR_READ || rc == SQLITE_IOERR_SHORT_READ;
}

// A journal left beside a file (by a crash in the middle of a commit, or come from anywhere)
// changes the file as soon as SQLite reads it: it is rolled back. So it is judged first, then
// rolled back on copies of both in a folder of our own, the copy checked whole and judged by
// `accepts`: the file is refused, itself and its journal left as they are, unless the
// journal is the file's own and what it gives passes. What is returned lets the real journal
// be rolled back, only if it is still the same beside the same file.
std::optional<detail::Replay> tryJournal(const QString& path, const detail::FileKey& key,
                                         const std::function<void(std::shared_ptr<Connection>)>& accepts) {
    const QString journalPath = path + QStringLiteral("-journal");
    if (!mayBeHot(journalPath))
        return std::nullopt;
    const std::optional<detail::Journal> journal = detail::readJournal(journalPath, path, key);
    // SQLite plays back a journal that names a super-journal only while that one is there, and
    // the copy's journal names none: the trial neither reads nor deletes it.
    const detail::SuperJournal super = !journal || journal->superJournal.isEmpty()
                                         ? detail::SuperJournal::Present
                                         : detail::findSuperJournal(journal->superJournal, journalPath);
    if (!journal || super == detail::SuperJournal::Unusable)
        throw DbError(DbErrc::Damaged, path);
    const QTemporaryDir folder;
    if (!folder.isValid())
        throw detail::tempFolderFailure();
    const QString copy = folder.filePath(QStringLiteral("copy.dat"));
    const QByteArray fileDigest = copyOf(path, copy, false);
    detail::Replay tried{fileDigest, {}, {}};
    if (super == detail::SuperJournal::Present)
        tried.journal = writtenCopy(copy + QStringLiteral("-journal"), detail::withoutSuperJournal(*journal));
    try {
        accepts(openChecked(copy, key, Integrity::CheckFirst, &tried));
        // Every record of the journal, played or not, holds what the rollback gives: one that
        // SQLite skipped and that would change the file was hidden from it.
        if (super == detail::SuperJournal::Present && !detail::agreesWith(*journal, copy, key))
            throw DbError(DbErrc::Damaged, path);
    } catch (const DbError& e) {
        switch (e.code()) {
        case DbErrc::NotADatabase:
        case DbErrc::Damaged:
        case DbErrc::InvalidDefinition:
        case DbErrc::ForeignObject: throw DbError(DbErrc::Damaged, path);
        // The trial writes nowhere but in its own folder: what fails to be written is there.
        case DbErrc::DiskFull: throw detail::tempFolderFailure();
        case DbErrc::Io: throw readFailed(e) ? DbError(DbErrc::Io, path) : detail::tempFolderFailure();
        default: throw DbError(e.code(), path);
        }
    } catch (const std::exception&) {
        throw DbError(DbErrc::Damaged, path);
    }
    // SQLite deletes the super-journal that it plays a journal of, once no journal needs it: only
    // one that was checked.
    return detail::Replay{fileDigest, QCryptographicHash::hash(journal->bytes, QCryptographicHash::Sha256),
                          super == detail::SuperJournal::Present ? journal->superJournal : QByteArray()};
}

}  // namespace

Property::Property(std::shared_ptr<Connection> connection, QByteArray schema, QString name, FieldType type)
    : m_connection(std::move(connection)), m_schema(std::move(schema)), m_name(std::move(name)), m_type(type) {}

QByteArray Property::table() const {
    return (m_schema.isEmpty() ? QByteArray() : m_schema + '.') + detail::kPropertiesTable;
}

Property Property::find(std::shared_ptr<Connection> connection, const QByteArray& schema, const QString& name) {
    Property found(std::move(connection), schema, name, FieldType::Text);
    Use read(*found.m_connection, "SELECT Name, Type FROM " + found.table() + " WHERE Name = ?", caching(schema));
    detail::bindValue(read.get(), 1, FieldType::Text, name);
    if (!read.step())
        throw DbError(DbErrc::NoSuchProperty, name);
    found.m_name = detail::columnValue(read.get(), 0, FieldType::Text).toString();
    found.m_type = FieldType(sqlite3_column_int(read.get(), 1));
    return found;
}

QVariant Property::Value() const {
    Use read(*m_connection, "SELECT Value FROM " + table() + " WHERE Name = ?", caching(m_schema));
    detail::bindValue(read.get(), 1, FieldType::Text, m_name);
    if (!read.step())
        throw DbError(DbErrc::NoSuchProperty, m_name);
    return detail::columnValue(read.get(), 0, m_type);
}

void Property::setValue(const QVariant& value) {
    const QVariant stored = detail::toFieldValue(propertyField(m_name, m_type), value);
    Use write(*m_connection, "UPDATE " + table() + " SET Value = ? WHERE Name = ?", caching(m_schema));
    detail::bindValue(write.get(), 1, m_type, stored);
    detail::bindValue(write.get(), 2, FieldType::Text, m_name);
    write.step();
    if (sqlite3_changes(m_connection->handle()) == 0)
        throw DbError(DbErrc::NoSuchProperty, m_name);
}

Database::Database(std::shared_ptr<Connection> connection) : m_connection(std::move(connection)) {}

Database Database::CreateDatabase(const QString& path, const QString& password) {
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        throw DbError(DbErrc::AlreadyExists, path);
    try {
        auto connection = Connection::open(path, detail::keyForNewFile(password.toUtf8()), true);
        connection->control("BEGIN");
        connection->createEngineTables();
        connection->control("COMMIT");
        return Database(std::move(connection));
    } catch (const DbError&) {
        // Whatever was written is ours: the path was free.
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw;
    }
}

namespace {

// What keeps the file at `path` from every opening until it is replaced; nothing when nothing
// there could be opened (no file, a folder, a file this user may not read): no file of the
// engine's.
std::shared_ptr<detail::FileLock> keptFromOpenings(const QString& path) {
    try {
        return detail::FileLock::take(path, true);
    } catch (const DbError& e) {
        if (e.code() == DbErrc::InUse || e.code() == DbErrc::InUseHere)
            throw;
        return {};
    }
}

// Gives the file at `made` the name `target` only if nothing stands there, not even a link:
// false, nothing changed, when something does. DbError Io when the name cannot be given.
bool placedIfFree(const QByteArray& made, const QByteArray& target) {
    const char* from = made.constData();
    const char* to = target.constData();
    int rc = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system that renames only over what stands there (NFS): a second name, which is
        // never given over anything either, then the first one dropped. Where a file has no
        // second name (a virtual machine's shared folder), a look just before the rename.
        rc = ::link(from, to);
        if (rc == 0) {
            ::unlink(from);
        } else if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS) {
            if (detail::kindAt(target, nullptr, false) != detail::PathKind::Nothing)
                return false;
            rc = std::rename(from, to);
        }
    }
    if (rc == 0)
        return true;
    if (errno == EEXIST)
        return false;
    throw DbError(DbErrc::Io, QFile::decodeName(target));
}

}  // namespace

Replacement::Replacement(const QString& target) : m_target(target), m_lock(keptFromOpenings(target)) {}

Replacement::~Replacement() = default;

void Replacement::replaceWith(const QString& made) {
    const QByteArray file = QFile::encodeName(made);
    const QByteArray target = QFile::encodeName(m_target);
    // A name that was free when the replacement began is taken only if it is free still: a file
    // put there since (a gradebook that another copy created and opened) is one that stands
    // there, replaced only once kept from every opening.
    if (m_lock || !placedIfFree(file, target)) {
        if (!m_lock)
            m_lock = keptFromOpenings(m_target);
        if (std::rename(file.constData(), target.constData()) != 0)
            throw DbError(DbErrc::Io, m_target);
    }
    // What lay beside the replaced file as its journal (an interrupted commit's) would be taken
    // for the new file's, which would be refused for it. Only once the new file is in place: a
    // failure before leaves the replaced file whole, with what rolls it back.
    ::unlink((target + "-journal").constData());
}

QString Database::FilePath(const QString& name) {
    const QString resolved = QFileInfo(name).canonicalFilePath();
    return resolved.isEmpty() ? name : resolved;
}

Database Database::OpenDatabase(const QString& name, const QString& password, Integrity integrity,
                                const Expectation& expected) {
    // One file, however it is reached: by its own path, past every link, the lock, the journal
    // beside it and SQLite, which looks for that journal beside the link's target, meet the same.
    const QString path = FilePath(name);
    // Before anything of the file or of its journal is read.
    std::shared_ptr<detail::FileLock> lock = detail::FileLock::take(path);
    detail::checkJournal(path + QStringLiteral("-journal"));
    const detail::FileKey key = detail::keyForFile(path, password.toUtf8());
    const std::optional<detail::Replay> replay = tryJournal(path, key, [&](std::shared_ptr<Connection> trial) {
        const Database copy(std::move(trial));
        if (expected && !expected(copy))
            throw DbError(DbErrc::Damaged, path);
    });
    std::shared_ptr<Connection> connection = openChecked(path, key, integrity, replay ? &*replay : nullptr);
    connection->holdLock(std::move(lock));
    connection->setName(name);
    detail::removeStaleSuperJournals(path);
    return Database(std::move(connection));
}

void Database::awaitIntegrity() const { connection().awaitVerdict(); }

void Database::onIntegrityFailure(QObject* context, std::function<void(const DbError&)> failed) const {
    connection().onVerificationFailure(context, std::move(failed));
}

bool Database::isOpen() const { return m_connection && m_connection->isOpen(); }

QString Database::Name() const { return m_connection ? m_connection->name() : QString(); }

void Database::Close() {
    if (m_connection)
        m_connection->close();
}

Connection& Database::connection() const {
    if (!m_connection)
        throw DbError(DbErrc::Closed);
    m_connection->handle();  // throws once closed
    return *m_connection;
}

Property Database::Properties(const QString& name) const {
    if (!connection().hasEngineTables())
        throw DbError(DbErrc::NoSuchProperty, name);
    return Property::find(m_connection, {}, name);
}

QStringList Database::PropertyNames() const {
    Connection& c = connection();
    QStringList names;
    if (!c.hasEngineTables())
        return names;
    Use read(c, "SELECT Name FROM " + QByteArray(detail::kPropertiesTable) + " ORDER BY rowid");
    while (read.step())
        names << detail::columnValue(read.get(), 0, FieldType::Text).toString();
    return names;
}

void Database::CreateProperty(const QString& name, FieldType type, const QVariant& value) {
    Connection& c = connection();
    if (name.trimmed().isEmpty())
        throw DbError(DbErrc::InvalidDefinition, name);
    const QVariant stored = detail::toFieldValue(propertyField(name, type), value);
    if (PropertyNames().contains(name, Qt::CaseInsensitive))
        throw DbError(DbErrc::PropertyExists, name);
    Transaction transaction(*this);
    c.createEngineTables();
    {
        Use write(c, "INSERT INTO " + QByteArray(detail::kPropertiesTable) + " (Name, Type, Value) VALUES (?, ?, ?)");
        detail::bindValue(write.get(), 1, FieldType::Text, name);
        sqlite3_bind_int(write.get(), 2, int(type));
        detail::bindValue(write.get(), 3, type, stored);
        write.step();
    }
    transaction.commit();
}

void Database::CreateTable(const TableDef& table) {
    Connection& c = connection();
    detail::validateTable(table);
    if (c.findTable(table.Name()))
        throw DbError(DbErrc::TableExists, table.Name());
    Transaction transaction(*this);
    c.createEngineTables();
    c.execute(detail::createTableSql(table));
    for (const QByteArray& sql : detail::createIndexSql(table))
        c.execute(sql);
    c.storeTable(table, true);
    transaction.commit();
}

void Database::AddField(const QString& tableName, const FieldDef& field) {
    Connection& c = connection();
    TableDef table = c.table(tableName);
    detail::validateNewField(table, field);
    Transaction transaction(*this);
    c.execute(detail::addColumnSql(table, field));
    table.appendField(field);
    c.storeTable(table, false);
    transaction.commit();
}

void Database::CreateIndex(const QString& tableName, const IndexDef& index) {
    Connection& c = connection();
    TableDef table = c.table(tableName);
    table.appendIndex(index);
    detail::validateTable(table);
    // A primary key is part of the table as it was built.
    if (index.Primary())
        throw DbError(DbErrc::InvalidDefinition, table.Name() + u'.' + index.Name());
    Transaction transaction(*this);
    c.execute(detail::createIndexSql(table, index));
    c.storeTable(table, false);
    transaction.commit();
}

QStringList Database::TableNames() const {
    QStringList names;
    for (const TableDef& t : connection().tables())
        names << t.Name();
    return names;
}

bool Database::hasTable(const QString& name) const { return connection().findTable(name) != nullptr; }

TableDef Database::TableDefs(const QString& name) const { return connection().table(name); }

Recordset Database::OpenRecordset(const Query& query, RecordsetType type) const {
    connection();
    return Recordset(m_connection, query, type);
}

qint64 Database::deleteRows(const Query& query) const { return detail::deleteRows(connection(), query); }

qint64 Database::updateRows(const Query& query, const QList<Criteria::Term>& values) const {
    return detail::updateRows(connection(), query, values);
}

quint64 Database::fullScanSteps() const { return connection().fullScanSteps(); }

Transaction::Transaction(const Database& database) : m_connection(database.m_connection) {
    Connection& c = database.connection();
    m_name = "tx" + QByteArray::number(++c.savepointDepth);
    m_catalogueWrites = c.catalogueWrites();
    try {
        c.control("SAVEPOINT " + m_name);
    } catch (...) {
        --c.savepointDepth;
        throw;
    }
}

void Transaction::commit() {
    if (m_done)
        return;
    m_connection->control("RELEASE " + m_name);
    m_done = true;
    --m_connection->savepointDepth;
}

Transaction::~Transaction() {
    if (m_done || !m_connection->isOpen())
        return;
    sqlite3* h = m_connection->handle();
    if (--m_connection->savepointDepth == 0) {
        // The whole transaction goes. Rolled back to its savepoint and then released, it
        // would be committed with the pages it had changed restored: the same content,
        // written again, the file's bytes changed for nothing.
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(h, ("ROLLBACK TO " + m_name).constData(), nullptr, nullptr, nullptr);
        sqlite3_exec(h, ("RELEASE " + m_name).constData(), nullptr, nullptr, nullptr);
    }
    // Tables created or changed inside are gone again. A read, or a write of rows alone,
    // leaves the definitions as they were: reading them again would cost each grid shown.
    if (m_connection->catalogueWrites() == m_catalogueWrites)
        return;
    try {
        m_connection->loadCatalogue();
    } catch (const DbError&) {
    }
}

namespace {

void detach(Connection& host) {
    sqlite3_exec(host.handle(), ("DETACH DATABASE " + QByteArray(kAttached)).constData(), nullptr, nullptr, nullptr);
}

}  // namespace

Attachment::Attachment(const Database& host, const Database& file)
    : m_host(host.m_connection), m_file(file.m_connection) {
    Connection& h = host.connection();
    const QString path = file.connection().path();
    if (!sqlite3_get_autocommit(h.handle()))
        throw DbError(DbErrc::InvalidOperation, path);
    // Neither file can be in WAL mode: its header would have been refused. A journal to roll
    // back beside the file is another program's, since the file's own connection leaves none
    // behind it when idle: the attaching would find it unchecked.
    if (mayBeHot(path + QStringLiteral("-journal")))
        throw DbError(DbErrc::Busy, path);
    // Attaching a path where no file is any longer would make a new one.
    if (!QFileInfo(path).isFile())
        throw DbError(DbErrc::CannotOpen, path);
    // With the keys that its own connection drew: neither SQLCipher nor the host's guard
    // spends the derivation again.
    h.knowKeys(m_file->key());
    {
        Use attach(h, "ATTACH DATABASE ? AS " + QByteArray(kAttached) + " KEY ?", Use::Caching::Once);
        detail::bindValue(attach.get(), 1, FieldType::Text, path);
        const QByteArray key = m_file->key().sqlcipherKey();
        sqlite3_bind_text(attach.get(), 2, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        attach.step();
    }
    try {
        // The key is only tried by the first read.
        Use probe(h, "SELECT count(*) FROM " + QByteArray(kAttached) + ".sqlite_master", Use::Caching::Once);
        probe.step();
        if (sqlite3_db_readonly(h.handle(), kAttached) == 1)
            throw DbError(DbErrc::FileReadOnly, path);
    } catch (...) {
        detach(h);
        throw;
    }
}

Attachment::~Attachment() {
    if (m_host->isOpen())
        detach(*m_host);
}

Property Attachment::Properties(const QString& name) const {
    if (!m_file->hasEngineTables())
        throw DbError(DbErrc::NoSuchProperty, name);
    return Property::find(m_host, kAttached, name);
}

qint64 Attachment::updateRows(const Query& query, const QList<Criteria::Term>& values) const {
    return detail::updateRows(*m_file, *m_host, kAttached, query, values);
}

}  // namespace db
