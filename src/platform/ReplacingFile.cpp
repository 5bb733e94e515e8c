#include "ReplacingFile.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// What a file created by the user's programs would get: a temporary file is made private.
void giveUsualPermissions(const QString& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(path).constData(), 0666 & ~mask);
}

// Whether this process may write the file, judged with its effective rights: a read-only
// file stays read-only to a process that has given up root's rights over files.
bool writable(const QString& path) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

// A link is followed: the file it names is replaced, and the link stays.
QString followed(const QString& target) {
    const QFileInfo info(target);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

}  // namespace

ReplacingFile::ReplacingFile(const QString& target)
    : m_target(followed(target)),
      m_file(QFileInfo(m_target).absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(QFileInfo(m_target).fileName()))) {
    const QFileInfo info(m_target);
    if (info.exists() && (!info.isFile() || !writable(m_target))) return;
    if (!m_file.open()) return;
    m_file.close();
    giveUsualPermissions(m_file.fileName());
    m_valid = true;
}

bool ReplacingFile::commit() {
    if (!m_valid) return false;
    // On the disk before it takes the name, so that a power cut cannot leave the target named
    // but empty; a write that the file system reports late fails here.
    QFile written(m_file.fileName());
    if (!written.open(QIODevice::ReadOnly) || ::fsync(written.handle()) != 0) return false;
    written.close();
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
        return false;
    m_file.setAutoRemove(false);
    return true;
}

}  // namespace platform
