#include "StoreErrors.h"

#include "platform/db/DbError.h"

namespace storeerrors {

QString openingMessage(const std::exception& error) {
    const QString cannot = QStringLiteral("Impossible d'ouvrir ce carnet de notes.\n");
    if (const auto* e = dynamic_cast<const db::DbError*>(&error)) {
        switch (e->code()) {
        case db::DbErrc::FileReadOnly:
        case db::DbErrc::Busy:
        case db::DbErrc::Damaged:
        case db::DbErrc::DiskFull:
        case db::DbErrc::Io:
            return cannot + e->reason();
        case db::DbErrc::ForeignObject:
        case db::DbErrc::InvalidDefinition:
            return QStringLiteral("Ce fichier n'est pas un carnet de notes valide.");
        default:
            break;
        }
    }
    return cannot + QStringLiteral("Il ne s'agit sans doute pas d'un carnet de notes valide.");
}

QString writeMessage(const db::DbError& error) {
    // Once open, a file that no longer reads as a database has been damaged.
    const QString reason = error.code() == db::DbErrc::NotADatabase ? db::DbError(db::DbErrc::Damaged).reason()
                                                                     : error.reason();
    return QStringLiteral("Votre saisie n'a pas pu être enregistrée dans le carnet de notes.\n") + reason;
}

}  // namespace storeerrors
