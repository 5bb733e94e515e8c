#include "FileChecks.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db::detail {

namespace {

using OpenCall = int (*)(const char*, int, int);
OpenCall systemOpen = nullptr;

// Opens as SQLite asked, without waiting on a FIFO (O_NONBLOCK), then refuses one (and a
// socket). A folder is let through: SQLite opens the folder of a file to sync it.
int openWithoutWaiting(const char* path, int flags, int mode) {
    const int fd = systemOpen(path, flags | O_NONBLOCK, mode);
    if (fd < 0)
        return fd;
    struct stat st {};
    if (fstat(fd, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))) {
        ::close(fd);
        errno = ENXIO;
        return -1;
    }
    if (!(flags & O_NONBLOCK))
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool allowed(const QByteArray& path, int rights) { return faccessat(AT_FDCWD, path.constData(), rights, AT_EACCESS) == 0; }

}  // namespace

PathKind kindAt(const QByteArray& path, struct stat* info, bool followLinks) {
    struct stat st {};
    const int rc = followLinks ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st);
    if (info)
        *info = st;
    if (rc != 0)
        return PathKind::Nothing;
    return S_ISREG(st.st_mode) ? PathKind::File : PathKind::Other;
}

void checkJournal(const QString& journal) {
    const QByteArray name = QFile::encodeName(journal);
    const PathKind kind = kindAt(name);
    if (kind == PathKind::Nothing)
        return;
    if (kind == PathKind::Other)
        throw DbError(DbErrc::NotAFile, journal);
    if (!allowed(name, R_OK))
        throw DbError(DbErrc::Unreadable, journal);
    if (!allowed(name, W_OK))
        throw DbError(DbErrc::FileReadOnly, journal);
}

DbError tempFolderFailure() {
    const QString path = QDir::toNativeSeparators(QDir::tempPath());
    return DbError(allowed(QFile::encodeName(path), W_OK | X_OK) ? DbErrc::TempFolderFull : DbErrc::TempFolderDenied, path);
}

qint64 TemporaryCopy::writeData(const char* data, qint64 size) {
    const qint64 written = QFile::writeData(data, size);
    m_writeFailed = m_writeFailed || written != size;
    return written;
}

bool TemporaryCopy::finish() {
    close();
    return !m_writeFailed && error() == QFileDevice::NoError;
}

void refuseWaits() {
    sqlite3_vfs* system = sqlite3_vfs_find(nullptr);
    if (system && system->iVersion >= 3 && system->xGetSystemCall && !systemOpen) {
        systemOpen = reinterpret_cast<OpenCall>(system->xGetSystemCall(system, "open"));
        if (systemOpen)
            system->xSetSystemCall(system, "open", reinterpret_cast<sqlite3_syscall_ptr>(openWithoutWaiting));
    }
}

}  // namespace db::detail
