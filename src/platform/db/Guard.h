#pragma once
// Inside the engine: what SQLite may do to a file of the program and to what lies beside it,
// held where SQLite reaches the disk, in a VFS of each connection's own laid over the
// system's. A file may come from anywhere, and so may what lies beside it.
// - The first page of a file is checked before SQLCipher decrypts it (checkFirstPage): one
//   whose header asks for what SQLCipher cannot read safely fails to read, as damaged.
// - A rollback journal is rolled back only when it is the connection's own (a commit that
//   failed half-way) or the one accepted (acceptReplay), byte for byte, beside the file it
//   was accepted with, byte for byte: one that copies of both showed to give a sound file.
//   Any other one is left where it is, and the file is not read (SQLITE_CORRUPT).
// - A WAL is never seen, nor its shared memory: the program writes none, so one beside its
//   file is not its own.
// - SQLite deletes through it only the journals that it wrote or rolled back, and the
//   super-journals that it made, or that the journal accepted named.
// - Once told to stop, every read fails (Verification).
#include "Cipher.h"
#include "Sqlite.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <atomic>
#include <memory>
#include <optional>

class QIODevice;

namespace db::detail {

// The SHA-256 of a file and of its journal, as they were tried, and the super-journal that the
// journal names, as it was checked.
struct Replay {
    QByteArray file, journal;
    QByteArray superJournal;
};

class FileGuard {
public:
    // `stopped`, where given, outlives the guard.
    explicit FileGuard(FileKey key, const std::atomic<bool>* stopped = nullptr);
    ~FileGuard();
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;

    // The name to open files with (sqlite3_open_v2); registered as long as the guard lives,
    // which must be as long as a connection uses it.
    const char* vfsName() const { return m_name.constData(); }
    // The one journal that may be rolled back, once, beside the one file.
    void acceptReplay(const Replay& replay) { m_replay = replay; }
    // The keys of another file that the connection opens (an attached one), known already.
    void knowKeys(const CipherKeys& keys);

    // For the VFS.
    struct Vfs;
    bool stopped() const { return m_stopped && m_stopped->load(); }
    bool firstPageReadable(const unsigned char* page, qint64 filePages);
    bool mayRollBack(const QByteArray& journal, sqlite3_file* file);
    void opened(const QByteArray& name, int type, int flags, sqlite3_file* file);
    void closed(const QByteArray& name);
    bool mayDelete(const QByteArray& name);

private:
    FileKey m_key;
    QList<CipherKeys> m_keys;  // by salt
    const std::atomic<bool>* m_stopped;
    std::optional<Replay> m_replay;
    QHash<QByteArray, sqlite3_file*> m_files;  // the databases open through it, by name
    QSet<QByteArray> m_journals;               // those it may delete
    QSet<QByteArray> m_superJournals;          // the same
    QByteArray m_name;
    std::unique_ptr<Vfs> m_vfs;
};

// Whether the name is one that SQLite gives a super-journal: its main file's, then "-mj" and
// nine hex digits, the seventh a 9.
bool isSuperJournalName(const QByteArray& name);

// A file read through SQLite's own layer of the system, which keeps the locks that this
// process's connections hold on it: closing a descriptor of one's own on a file drops every
// POSIX lock that the process holds on it.
class SystemFile {
public:
    explicit SystemFile(const QString& path, bool journal = false);
    ~SystemFile();
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    bool isOpen() const { return m_open; }
    // What there is of it, up to size bytes; empty when it cannot be read.
    QByteArray read(qint64 offset, int size) const;
    // The SHA-256 of its bytes, written meanwhile to `copy` where given; empty when it could not
    // be read or copied whole.
    QByteArray digest(QIODevice* copy = nullptr) const;

private:
    QByteArray m_name;
    std::unique_ptr<char[]> m_storage;
    bool m_open = false;
};

}  // namespace db::detail
