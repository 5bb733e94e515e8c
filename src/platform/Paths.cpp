#include "Paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

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

}  // namespace platform::paths
