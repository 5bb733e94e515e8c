#pragma once
#include <QString>
#include <QVariant>
#include <optional>

// Shared by the tab bar and its sections: how an argument that may be a position or a key
// is read, and the errors both raise (each under its own name as source).
namespace tablookup {

inline const QString kDuplicateKey = QStringLiteral("Valeur dupliquée de Key.");
inline const QString kIndexOverflow = QStringLiteral("Dépassement d'index.");
inline const QString kInvalidSection = QStringLiteral("Section non valide.");

// The position an argument stands for when it is a number or a text that reads as one
// (so a key made only of digits is taken as a position); nothing when it is a key.
std::optional<int> numericPosition(const QVariant& positionOrKey);

[[noreturn]] void raiseDuplicateKey(const QString& source);
[[noreturn]] void raiseIndexOverflow(const QString& source);

}  // namespace tablookup
