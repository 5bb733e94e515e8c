#pragma once
// Inside the engine: a file open in one copy of the program is kept from every other. The lock
// is an exclusive flock() on the file itself, taken before its journal is looked at and held
// until the connection to it is closed; it goes with the process that holds it, killed or not,
// and leaves nothing behind.
// Within the process, the file opened again (the same device and inode, by whatever path)
// shares the lock already held, which a second one would find taken. Its descriptor is closed
// only once no connection of the process uses the file: closing a descriptor of one's own on a
// file drops every POSIX lock that the process holds on it, SQLite's included.
#include <QList>
#include <QString>
#include <memory>
#include <utility>

namespace db::detail {

class FileLock {
public:
    // Throws DbError: CannotOpen for a missing file, NotAFile for anything but a regular file
    // (looked at before it is opened, and opened without waiting), Unreadable when this user
    // may not read it, InUse when another process holds the lock. A file about to be replaced
    // (`alone`) must be open nowhere: InUseHere while this process has it open, and its
    // lock is shared with no opening.
    static std::shared_ptr<FileLock> take(const QString& path, bool alone = false);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    using Id = std::pair<quint64, quint64>;  // device, inode

private:
    FileLock(Id id, int descriptor) : m_id(id), m_descriptors{descriptor} {}

    Id m_id;
    QList<int> m_descriptors;
};

}  // namespace db::detail
