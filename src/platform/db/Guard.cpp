#include "Guard.h"

#include "DbError.h"
#include "FileChecks.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <utility>

namespace db::detail {

struct FileGuard::Vfs {
    sqlite3_vfs vfs;  // first: SQLite hands this back
    FileGuard* guard;
};

namespace {

constexpr int kFileTypes = SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_TEMP_DB | SQLITE_OPEN_TRANSIENT_DB | SQLITE_OPEN_MAIN_JOURNAL
                         | SQLITE_OPEN_TEMP_JOURNAL | SQLITE_OPEN_SUBJOURNAL | SQLITE_OPEN_MASTER_JOURNAL | SQLITE_OPEN_WAL;

sqlite3_vfs* systemVfs() {
    static sqlite3_vfs* const vfs = sqlite3_vfs_find(nullptr);
    return vfs;
}

int aligned(int size) { return (size + 7) & ~7; }

// What the guard keeps of each file lies after the system's own file structure, in the
// space that the guard's VFS asks for.
struct GuardedFile {
    sqlite3_io_methods methods;  // the system file's own, some of them wrapped
    const sqlite3_io_methods* system;
    FileGuard* guard;
    int type;
    const char* name;  // SQLite's, kept until the file is closed
};

GuardedFile& guarded(sqlite3_file* file) {
    return *reinterpret_cast<GuardedFile*>(reinterpret_cast<char*>(file) + aligned(systemVfs()->szOsFile));
}

FileGuard& guardOf(sqlite3_vfs* vfs) { return *reinterpret_cast<FileGuard::Vfs*>(vfs)->guard; }

QByteArray digestOf(sqlite3_file* file, const sqlite3_io_methods* methods, QIODevice* copy) {
    sqlite3_int64 size = 0;
    if (methods->xFileSize(file, &size) != SQLITE_OK)
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray chunk;
    for (sqlite3_int64 offset = 0; offset < size; offset += chunk.size()) {
        chunk.resize(int(std::min<sqlite3_int64>(size - offset, 1 << 16)));
        if (methods->xRead(file, chunk.data(), int(chunk.size()), offset) != SQLITE_OK)
            return {};
        hash.addData(chunk);
        if (copy && copy->write(chunk) != chunk.size())
            return {};
    }
    return hash.result();
}

bool endsWith(const QByteArray& name, const char* suffix) { return name.endsWith(suffix); }

int guardedRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    const GuardedFile& g = guarded(file);
    // The whole-file check's walk heeds neither sqlite3_interrupt() nor a progress handler:
    // a failed read is what ends it at once.
    if (g.guard->stopped())
        return SQLITE_IOERR_READ;
    const int rc = g.system->xRead(file, buffer, amount, offset);
    sqlite3_int64 size = 0;
    if (rc == SQLITE_OK && g.type == SQLITE_OPEN_MAIN_DB && offset == 0 && amount >= kPageSize
        && (g.system->xFileSize(file, &size) != SQLITE_OK
            || !g.guard->firstPageReadable(static_cast<const unsigned char*>(buffer), (size + kPageSize - 1) / kPageSize))) {
        // SQLCipher still decrypts the buffer: zeros, which it takes for a page past the end.
        std::memset(buffer, 0, size_t(amount));
        return SQLITE_CORRUPT;
    }
    return rc;
}

int guardedClose(sqlite3_file* file) {
    const GuardedFile& g = guarded(file);
    if (g.type == SQLITE_OPEN_MAIN_DB)
        g.guard->closed(QByteArray(g.name));
    return g.system->xClose(file);
}

int guardedOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    sqlite3_vfs* system = systemVfs();
    file->pMethods = nullptr;
    if ((flags & SQLITE_OPEN_WAL) || (name && kindAt(name) == PathKind::Other))
        return SQLITE_CANTOPEN;
    const int rc = system->xOpen(system, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods)
        return rc;
    FileGuard& guard = guardOf(vfs);
    GuardedFile& g = guarded(file);
    g.system = file->pMethods;
    g.methods = *file->pMethods;
    // Neither shared memory (a WAL's) nor memory mapping, which would read past xRead.
    g.methods.iVersion = 1;
    g.methods.xRead = guardedRead;
    g.methods.xClose = guardedClose;
    g.guard = &guard;
    g.type = flags & kFileTypes;
    g.name = name;
    file->pMethods = &g.methods;

    const QByteArray fileName(name ? name : "");
    // A journal opened to be written to, and not created, is one to roll back.
    if (g.type == SQLITE_OPEN_MAIN_JOURNAL && (flags & SQLITE_OPEN_READWRITE) && !(flags & SQLITE_OPEN_CREATE)
        && !guard.mayRollBack(fileName, file)) {
        g.system->xClose(file);
        file->pMethods = nullptr;
        return kForeignJournal;
    }
    guard.opened(fileName, g.type, flags, file);
    return SQLITE_OK;
}

int guardedDelete(sqlite3_vfs* vfs, const char* name, int syncDir) {
    const QByteArray fileName(name);
    // A WAL that SQLite would remove beside an empty file is said to be gone already.
    if (endsWith(fileName, "-wal"))
        return SQLITE_IOERR_DELETE_NOENT;
    if (!guardOf(vfs).mayDelete(fileName))
        return SQLITE_IOERR_DELETE;
    return systemVfs()->xDelete(systemVfs(), name, syncDir);
}

int guardedAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    if (endsWith(QByteArray(name), "-wal")) {
        *result = 0;
        return SQLITE_OK;
    }
    return systemVfs()->xAccess(systemVfs(), name, flags, result);
}

}  // namespace

FileGuard::FileGuard(FileKey key, const std::atomic<bool>* stopped)
    : m_key(std::move(key)), m_stopped(stopped), m_vfs(std::make_unique<Vfs>()) {
    if (m_key.keys)
        m_keys.append(*m_key.keys);
    m_name = "quibolet-" + QByteArray::number(quintptr(this), 16);
    sqlite3_vfs& v = m_vfs->vfs;
    v = *systemVfs();
    v.zName = m_name.constData();
    v.szOsFile = aligned(v.szOsFile) + int(sizeof(GuardedFile));
    v.xOpen = guardedOpen;
    v.xDelete = guardedDelete;
    v.xAccess = guardedAccess;
    v.pNext = nullptr;
    m_vfs->guard = this;
    sqlite3_vfs_register(&v, 0);
}

FileGuard::~FileGuard() { sqlite3_vfs_unregister(&m_vfs->vfs); }

void FileGuard::knowKeys(const CipherKeys& keys) {
    if (std::none_of(m_keys.cbegin(), m_keys.cend(), [&](const CipherKeys& k) { return k.salt == keys.salt; }))
        m_keys.append(keys);
}

bool FileGuard::firstPageReadable(const unsigned char* page, qint64 filePages) {
    if (m_key.password.isEmpty())
        return true;
    const QByteArray salt(reinterpret_cast<const char*>(page), kSaltSize);
    auto known = std::find_if(m_keys.cbegin(), m_keys.cend(), [&](const CipherKeys& k) { return k.salt == salt; });
    if (known == m_keys.cend()) {
        // Nothing is thrown through SQLite: a page whose keys cannot be drawn is not read.
        try {
            m_keys.append(deriveKeys(m_key.password, salt));
        } catch (const DbError&) {
            return false;
        }
        known = std::prev(m_keys.cend());
    }
    return checkFirstPage(*known, page, filePages) != FirstPage::Refused;
}

bool FileGuard::mayRollBack(const QByteArray& journal, sqlite3_file* file) {
    // What a commit that failed half-way left of the connection's own writing.
    if (m_journals.contains(journal))
        return true;
    const std::optional<Replay> replay = std::exchange(m_replay, std::nullopt);
    if (!replay || !endsWith(journal, "-journal"))
        return false;
    sqlite3_file* database = m_files.value(journal.chopped(qsizetype(sizeof("-journal") - 1)));
    if (!database)
        return false;
    // SQLite holds the file for itself by now: neither can change before it is rolled back.
    const QByteArray fileDigest = digestOf(database, guarded(database).system, nullptr);
    if (fileDigest.isEmpty() || fileDigest != replay->file || digestOf(file, guarded(file).system, nullptr) != replay->journal)
        return false;
    if (!replay->superJournal.isEmpty())
        m_superJournals.insert(replay->superJournal);
    return true;
}

void FileGuard::opened(const QByteArray& name, int type, int flags, sqlite3_file* file) {
    if (type == SQLITE_OPEN_MAIN_DB)
        m_files.insert(name, file);
    else if (type == SQLITE_OPEN_MAIN_JOURNAL && (flags & SQLITE_OPEN_READWRITE))
        m_journals.insert(name);
    else if (type == SQLITE_OPEN_MASTER_JOURNAL && (flags & SQLITE_OPEN_CREATE))
        m_superJournals.insert(name);
}

void FileGuard::closed(const QByteArray& name) { m_files.remove(name); }

bool FileGuard::mayDelete(const QByteArray& name) {
    return m_journals.remove(name) || m_superJournals.remove(name);
}

bool isSuperJournalName(const QByteArray& name) {
    static const char pattern[] = "-mjHHHHHH9HH";
    const qsizetype length = sizeof(pattern) - 1;
    if (name.size() <= length)
        return false;
    const QByteArray tail = name.right(length);
    for (qsizetype i = 0; i < length; ++i) {
        const char c = tail[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (pattern[i] == 'H' ? !hex : c != pattern[i])
            return false;
    }
    return true;
}

SystemFile::SystemFile(const QString& path, bool journal) : m_name(QFile::encodeName(path)) {
    sqlite3_vfs* system = systemVfs();
    m_storage = std::make_unique<char[]>(size_t(system->szOsFile));
    auto* file = reinterpret_cast<sqlite3_file*>(m_storage.get());
    int out = 0;
    const int flags = SQLITE_OPEN_READONLY | (journal ? SQLITE_OPEN_MAIN_JOURNAL : SQLITE_OPEN_MAIN_DB);
    m_open = kindAt(m_name) != PathKind::Other && system->xOpen(system, m_name.constData(), file, flags, &out) == SQLITE_OK
          && file->pMethods;
}

SystemFile::~SystemFile() {
    auto* file = reinterpret_cast<sqlite3_file*>(m_storage.get());
    if (m_open)
        file->pMethods->xClose(file);
}

QByteArray SystemFile::read(qint64 offset, int size) const {
    if (!m_open)
        return {};
    auto* file = reinterpret_cast<sqlite3_file*>(m_storage.get());
    sqlite3_int64 fileSize = 0;
    if (file->pMethods->xFileSize(file, &fileSize) != SQLITE_OK || offset >= fileSize)
        return {};
    QByteArray bytes(int(std::min<sqlite3_int64>(size, fileSize - offset)), '\0');
    if (file->pMethods->xRead(file, bytes.data(), int(bytes.size()), offset) != SQLITE_OK)
        return {};
    return bytes;
}

QByteArray SystemFile::digest(QIODevice* copy) const {
    auto* file = reinterpret_cast<sqlite3_file*>(m_storage.get());
    return m_open ? digestOf(file, file->pMethods, copy) : QByteArray();
}

}  // namespace db::detail
