#include "mShellExecute.h"

#include "platform/ShellOpen.h"
#include "platform/SystemMessage.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace mShellExecute {
namespace {

enum : int {
    kOutOfMemory = 0, kFileNotFound = 2, kPathNotFound = 3, kAccessDenied = 5, kNoAssociation = 31
};

int open(const QString& file, const QString& operation, const QString& folder) {
    if (!operation.isEmpty() && operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return kNoAssociation;
    const QString target = file.trimmed();
    if (target.isEmpty()) return kFileNotFound;
    static const QRegularExpression address(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (address.match(target).hasMatch()) return platform::shellOpen(target) ? kShellOk : kNoAssociation;

    const QFileInfo info(QDir::isRelativePath(target) && !folder.isEmpty() ? QDir(folder).filePath(target) : target);
    if (!info.exists()) return info.absoluteDir().exists() ? kFileNotFound : kPathNotFound;
    if (!info.isReadable()) return kAccessDenied;
    return platform::shellOpen(info.absoluteFilePath()) ? kShellOk : kNoAssociation;
}

}  // namespace

QString ErrorText(int code) {
    switch (code) {
    case kOutOfMemory:
    case 8: return QStringLiteral("Mémoire insuffisante.");
    case kFileNotFound: return QStringLiteral("Fichier non trouvé.");
    case kPathNotFound: return QStringLiteral("Erreur dans le chemin.");
    case kAccessDenied: return QStringLiteral("Accès au fichier refusé.");
    case 11: return QStringLiteral("Erreur lors de l'ouverture du fichier.");
    case 26: return QStringLiteral("Violation de partage.");
    case 27: return QStringLiteral("Ce type de fichier n'a pas d'association valide.");
    case 28: return QStringLiteral("Délai d'attente dépassé.");
    case 29: return QStringLiteral("Erreur dans la transaction DDE.");
    case 30: return QStringLiteral("L'application demandée est occupée.");
    case kNoAssociation: return QStringLiteral("Aucune application n'est associée à ce type de fichier.");
    case 32: return QStringLiteral("Une DLL requise n'a pas été trouvée.");
    default: return QStringLiteral("Une erreur est survenue pendant l'ouverture du fichier.");
    }
}

int RunShellExecute(const QString& file, const QString& operation, const QString& parameters,
                    const QString& folder, int showCommand, QWidget* owner, bool showErrors) {
    const int code = open(file, operation, folder);
    if (showErrors && code <= 32) platform::criticalMessage(owner, QStringLiteral("Quibolet"), ErrorText(code));
    return code;
}

}  // namespace mShellExecute
