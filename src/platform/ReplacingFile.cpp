#include "ReplacingFile.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// Whether this process may write the file, judged with its effective rights: a read-only
// file stays read-only to a process that has given up root's rights over files.
bool writable(const QString& path) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

// A link is followed, as an opening follows it: the file it names is replaced, and the link stays.
ReplacingFile::ReplacingFile(const QString& target) : m_target(db::Database::FilePath(target)) {
    const QFileInfo info(m_target);
    if (info.exists() && (!info.isFile() || !writable(m_target))) return;
    try {
        m_replacing.emplace(m_target);
    } catch (const db::DbError&) {
        return;
    }
    m_file.emplace(info.absolutePath(), u'.' + info.fileName() + u'.', TrackedTemporary::File);
}

bool ReplacingFile::commit() {
    if (!isValid()) return false;
    // On the disk before it takes the name, so that a power cut cannot leave the target named
    // but empty; a write that the file system reports late fails here.
    QFile written(fileName());
    if (!written.open(QIODevice::ReadOnly) || ::fsync(written.handle()) != 0) return false;
    written.close();
    try {
        m_replacing->replaceWith(fileName());
    } catch (const db::DbError&) {
        return false;
    }
    return true;
}

}  // namespace platform
