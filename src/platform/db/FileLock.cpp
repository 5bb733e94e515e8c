#include "FileLock.h"

#include "DbError.h"
#include "FileChecks.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db::detail {

namespace {

QBasicMutex heldMutex;

// The locks that the process holds, by file. Never destroyed: a database kept in a global is
// closed as the program exits, after what is destroyed.
QHash<FileLock::Id, std::weak_ptr<FileLock>>& held() {
    static auto* const locks = new QHash<FileLock::Id, std::weak_ptr<FileLock>>;
    return *locks;
}

FileLock::Id idOf(const struct stat& st) { return {quint64(st.st_dev), quint64(st.st_ino)}; }

DbErrc openFailure(int error) {
    switch (error) {
    case EACCES:
    case EPERM: return DbErrc::Unreadable;
    case ELOOP:  // a link put in the file's place since it was looked at
    case ENXIO:
    case ENODEV:
    case EISDIR: return DbErrc::NotAFile;
    default: return DbErrc::CannotOpen;
    }
}

}  // namespace

std::shared_ptr<FileLock> FileLock::take(const QString& path, bool alone) {
    const QByteArray name = QFile::encodeName(path);
    struct stat seen {};
    switch (kindAt(name, &seen)) {
    case PathKind::Nothing: throw DbError(errno == EACCES ? DbErrc::Unreadable : DbErrc::CannotOpen, path);
    case PathKind::Other: throw DbError(DbErrc::NotAFile, path);
    case PathKind::File: break;
    }

    const QMutexLocker locker(&heldMutex);
    // Looked up before anything is opened: a descriptor of the file opened here could not be
    // closed again while the process has the file open.
    if (std::shared_ptr<FileLock> lock = held().value(idOf(seen)).lock()) {
        if (alone)
            throw DbError(DbErrc::InUseHere, path);
        return lock;
    }
    // The file's own path, past any link to it, so that a link put there since is not followed.
    const QByteArray target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    const int fd = ::open(target.isEmpty() ? name.constData() : target.constData(),
                          O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        throw DbError(openFailure(errno), path);
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        throw DbError(DbErrc::NotAFile, path);
    }
    const Id id = idOf(opened);
    // Another file of the process's put in its place meanwhile: the descriptor stays open with
    // that file's lock.
    if (std::shared_ptr<FileLock> lock = held().value(id).lock()) {
        lock->m_descriptors.append(fd);
        if (alone)
            throw DbError(DbErrc::InUseHere, path);
        return lock;
    }
    int rc;
    while ((rc = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    // A file system that keeps no such locks opens the file unlocked, as before.
    if (rc != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        throw DbError(DbErrc::InUse, path);
    }
    std::shared_ptr<FileLock> lock(new FileLock(id, fd));
    if (!alone)
        held().insert(id, lock);
    return lock;
}

FileLock::~FileLock() {
    const QMutexLocker locker(&heldMutex);
    const auto entry = held().constFind(m_id);
    if (entry != held().cend() && entry->expired())
        held().erase(entry);
    for (const int fd : std::as_const(m_descriptors))
        ::close(fd);
}

}  // namespace db::detail
