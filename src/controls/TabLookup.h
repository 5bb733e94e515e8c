#pragma once
#include <QString>
#include <QVariant>
#include <optional>

// Shared by the tab bar and its sections: how an argument that may be a position or a key
// is read, and the errors both raise (each under its own name as source).
namespace tablookup {

// The position an argument stands for when it is a number or a text that reads as one
// (so a key made only of digits is taken as a position); nothing when it is a key.
std::optional<int> numericPosition(const QVariant& positionOrKey);

// The first position 1..count whose key, keyAt(position), equals key exactly; 0 when none.
template <typename KeyAt>
int findKey(const QString& key, int count, KeyAt keyAt) {
    for (int p = 1; p <= count; ++p)
        if (keyAt(p) == key) return p;
    return 0;
}

// The position an argument stands for: itself when it reads as a number, else that of its key.
template <typename KeyAt>
int findPosition(const QVariant& positionOrKey, int count, KeyAt keyAt) {
    if (const auto position = numericPosition(positionOrKey)) return *position;
    return findKey(positionOrKey.toString(), count, keyAt);
}

// The position when it lies within 1..count; otherwise "Dépassement d'index." from source.
int checkedPosition(int position, int count, const QString& source);

[[noreturn]] void raiseDuplicateKey(const QString& source);
[[noreturn]] void raiseIndexOverflow(const QString& source);
// A section handle that is empty or whose section is gone.
[[noreturn]] void raiseInvalidSection(const QString& source);

}  // namespace tablookup
