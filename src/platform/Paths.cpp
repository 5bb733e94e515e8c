#include "Paths.h"

#include <QCoreApplication>
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

QString helpFile() { return QCoreApplication::applicationDirPath() + QStringLiteral("/Quibolet.html"); }

}  // namespace platform::paths
