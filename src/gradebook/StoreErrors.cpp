#include "StoreErrors.h"

#include "VersionInfo.h"
#include "platform/db/DbError.h"

#include <QFileInfo>

namespace storeerrors {

namespace {

// Why the file could not be opened when its kind, its rights, its use or the temporary folder
// refused it, rather than what it holds; "" otherwise.
QString accessReason(const db::DbError& e, File file) {
    // The detail names the file refused: the one opened, or its journal beside it.
    const bool journal = e.detail().endsWith(QStringLiteral("-journal"));
    const QString theJournal =
        QStringLiteral("Le journal « %1 » qui se trouve à côté de lui").arg(QFileInfo(e.detail()).fileName());
    switch (e.code()) {
    case db::DbErrc::InUse:
        return (file == File::Gradebook ? QStringLiteral("Ce carnet de notes") : QStringLiteral("Ce fichier d'exportation de notes"))
             + QStringLiteral(" est déjà ouvert dans une autre fenêtre de %1.").arg(platform::version::productName());
    case db::DbErrc::NotAFile:
        return (journal ? theJournal : QStringLiteral("Ce"))
             + QStringLiteral(" n'est pas un fichier que le programme peut ouvrir (c'est un dossier, un tube ou un "
                              "périphérique).");
    case db::DbErrc::Unreadable:
        return journal ? QStringLiteral("Vous n'avez pas le droit de lire le journal « %1 » qui se trouve à côté de lui.")
                             .arg(QFileInfo(e.detail()).fileName())
                       : e.reason();
    case db::DbErrc::FileReadOnly:
        return journal ? theJournal + QStringLiteral(" est en lecture seule : le programme ne peut pas s'en servir pour "
                                                     "remettre le fichier en état.")
                       : e.reason();
    case db::DbErrc::Busy: return e.reason();
    case db::DbErrc::TempFolderFull:
    case db::DbErrc::TempFolderDenied:
        return QStringLiteral("Le programme doit d'abord essayer sur une copie le journal laissé à côté de lui par une "
                              "interruption, mais ")
             + (e.code() == db::DbErrc::TempFolderFull
                    ? QStringLiteral("le dossier temporaire « %1 » n'a pas assez de place libre pour cette copie.")
                    : QStringLiteral("vous n'avez pas le droit d'écrire dans le dossier temporaire « %1 »."))
                   .arg(e.detail());
    default: return {};
    }
}

// Once open, a file that no longer reads as a database has been damaged.
QString reasonOnceOpen(const db::DbError& error) {
    return error.code() == db::DbErrc::NotADatabase ? db::DbError(db::DbErrc::Damaged).reason() : error.reason();
}

}  // namespace

QString openingMessage(const std::exception& error, File file) {
    const QString cannot = file == File::Gradebook ? QStringLiteral("Impossible d'ouvrir ce carnet de notes.")
                                                   : QStringLiteral("Impossible d'ouvrir ce fichier d'exportation de notes.");
    const auto* e = dynamic_cast<const db::DbError*>(&error);
    if (e) {
        if (const QString reason = accessReason(*e, file); !reason.isEmpty())
            return e->code() == db::DbErrc::InUse ? reason : cannot + u'\n' + reason;
    }
    if (file == File::Exchange)
        return cannot;
    if (e) {
        switch (e->code()) {
        case db::DbErrc::Damaged:
        case db::DbErrc::DiskFull:
        case db::DbErrc::Io:
            return cannot + u'\n' + e->reason();
        case db::DbErrc::ForeignObject:
        case db::DbErrc::InvalidDefinition:
            return QStringLiteral("Ce fichier n'est pas un carnet de notes valide.");
        default:
            break;
        }
    }
    return cannot + QStringLiteral("\nIl ne s'agit sans doute pas d'un carnet de notes valide.");
}

QString writeMessage(const db::DbError& error) {
    return QStringLiteral("Votre saisie n'a pas pu être enregistrée dans le carnet de notes.\n") + reasonOnceOpen(error);
}

QString gridReadMessage(const db::DbError& error) {
    return QStringLiteral("Les notes de cette classe dans cette matière n'ont pas pu être lues.\n") + reasonOnceOpen(error);
}

}  // namespace storeerrors
