#include "DbError.h"

namespace db {
namespace {

QString describe(DbErrc code) {
    switch (code) {
    case DbErrc::CannotOpen: return QStringLiteral("Impossible d'ouvrir le fichier.");
    case DbErrc::NotADatabase:
        return QStringLiteral("Ce fichier n'est pas une base de données ou son mot de passe est différent.");
    case DbErrc::AlreadyExists: return QStringLiteral("Le fichier existe déjà.");
    case DbErrc::Closed: return QStringLiteral("La base de données ou le jeu d'enregistrements est fermé.");
    case DbErrc::NoSuchProperty: return QStringLiteral("Propriété introuvable.");
    case DbErrc::PropertyExists: return QStringLiteral("La propriété existe déjà.");
    case DbErrc::NoSuchTable: return QStringLiteral("Table introuvable.");
    case DbErrc::TableExists: return QStringLiteral("La table existe déjà.");
    case DbErrc::NoSuchField: return QStringLiteral("Champ introuvable.");
    case DbErrc::FieldExists: return QStringLiteral("Le champ existe déjà.");
    case DbErrc::InvalidDefinition: return QStringLiteral("Définition non valide.");
    case DbErrc::NoCurrentRecord: return QStringLiteral("Aucun enregistrement en cours.");
    case DbErrc::ReadOnly: return QStringLiteral("Ce jeu d'enregistrements n'est pas modifiable.");
    case DbErrc::UpdateWithoutEdit: return QStringLiteral("Mise à jour sans ajout ni modification en cours.");
    case DbErrc::InvalidOperation: return QStringLiteral("Opération non valide.");
    case DbErrc::DuplicateKey:
        return QStringLiteral("Cette valeur existe déjà dans un index qui n'accepte pas les doublons.");
    case DbErrc::RequiredMissing: return QStringLiteral("Un champ obligatoire n'est pas renseigné.");
    case DbErrc::EmptyText: return QStringLiteral("Un champ texte ne peut pas être vide.");
    case DbErrc::ValidationRule: return QStringLiteral("La valeur ne respecte pas la règle de validation.");
    case DbErrc::TypeMismatch: return QStringLiteral("Type de données incompatible.");
    case DbErrc::OutOfRange: return QStringLiteral("Valeur hors limites.");
    case DbErrc::TextTooLong: return QStringLiteral("Texte trop long pour ce champ.");
    case DbErrc::FileReadOnly: return QStringLiteral("Le fichier ou son dossier est en lecture seule.");
    case DbErrc::Busy: return QStringLiteral("Le fichier est utilisé par un autre programme.");
    case DbErrc::Damaged: return QStringLiteral("Le fichier est endommagé.");
    case DbErrc::DiskFull: return QStringLiteral("Le disque est plein.");
    case DbErrc::Io: return QStringLiteral("Le disque n'a pas pu lire ou écrire le fichier.");
    case DbErrc::NotAFile:
        return QStringLiteral("Ce n'est pas un fichier que le programme peut ouvrir (un dossier, un tube ou un périphérique).");
    case DbErrc::Unreadable: return QStringLiteral("Vous n'avez pas le droit de lire ce fichier.");
    case DbErrc::InUse: return QStringLiteral("Le fichier est déjà ouvert dans une autre copie du programme.");
    case DbErrc::InUseHere: return QStringLiteral("Le fichier est ouvert dans ce programme.");
    case DbErrc::TempFolderFull: return QStringLiteral("Le dossier temporaire n'a plus assez de place libre.");
    case DbErrc::TempFolderDenied: return QStringLiteral("Le dossier temporaire ne peut pas être écrit.");
    case DbErrc::ForeignObject:
        return QStringLiteral("Le fichier contient des tables ou des index que le programme n'a pas créés.");
    case DbErrc::Engine: return QStringLiteral("Erreur de la base de données.");
    }
    return {};
}

std::string message(DbErrc code, const QString& detail) {
    QString text = describe(code);
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    return text.toStdString();
}

}  // namespace

DbError::DbError(DbErrc code, const QString& detail, int engineCode)
    : std::runtime_error(message(code, detail)), m_code(code), m_detail(detail), m_engineCode(engineCode) {}

QString DbError::reason() const { return describe(m_code); }

bool DbError::concernsValue() const {
    switch (m_code) {
    case DbErrc::DuplicateKey:
    case DbErrc::RequiredMissing:
    case DbErrc::EmptyText:
    case DbErrc::ValidationRule:
    case DbErrc::TypeMismatch:
    case DbErrc::OutOfRange:
    case DbErrc::TextTooLong:
        return true;
    default:
        return false;
    }
}

}  // namespace db
