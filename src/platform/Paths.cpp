#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::paths {

QString userFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quibolet");
}

QString notesFolder() { return userFolder() + QStringLiteral("/Notes"); }

QString exportFolder() { return userFolder() + QStringLiteral("/Export"); }

QString configFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Quibolet");
}

QString configFile() { return configFolder() + QStringLiteral("/Quibolet.cfg"); }

QString helpFile() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/Quibolet.html");
    // Installed, the executable is in <prefix>/bin and its data in <prefix>/share/quibolet.
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/quibolet/Quibolet.html");
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? QFileInfo(installed).canonicalFilePath() : beside;
}

QString privateFolder() {
    // Only as the session made it: a folder of this user's that nobody else may enter.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat info;
    if (runtime.startsWith('/') && ::lstat(runtime.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700)
        return QFile::decodeName(runtime);

    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = cache + QStringLiteral("/Quibolet");
    const QByteArray name = QFile::encodeName(folder);
    if (!QDir().mkpath(cache) || (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)) return {};
    // The program's own folder of this user's, made by hand or with wider rights: theirs alone now.
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) return {};
    const bool own = (info.st_mode & 07777) == 0700 || ::chmod(name.constData(), 0700) == 0;
    return own ? folder : QString();
}

}  // namespace platform::paths
