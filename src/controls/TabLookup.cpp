#include "TabLookup.h"

#include "platform/VbError.h"

#include <climits>
#include <cmath>

namespace tablookup {

namespace {
// Whole positions, rounded half to even as the original's implicit conversion did; far out
// of range values are kept out of range rather than wrapped.
int toPosition(double v) {
    if (!std::isfinite(v)) return INT_MIN;
    const double r = std::nearbyint(v);
    if (r > INT_MAX) return INT_MAX;
    if (r < INT_MIN) return INT_MIN;
    return static_cast<int>(r);
}
}  // namespace

std::optional<int> numericPosition(const QVariant& positionOrKey) {
    switch (positionOrKey.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return toPosition(positionOrKey.toDouble());
    default: break;
    }
    const QString text = positionOrKey.toString().trimmed();
    if (text.isEmpty()) return std::nullopt;
    // Either decimal mark reads, as the French teacher may type one or the other.
    bool ok = false;
    double v = text.toDouble(&ok);
    if (!ok && text.count(QLatin1Char(',')) == 1)
        v = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok) return std::nullopt;
    return toPosition(v);
}

int checkedPosition(int position, int count, const QString& source) {
    if (position < 1 || position > count) raiseIndexOverflow(source);
    return position;
}

void raiseDuplicateKey(const QString& source) {
    throw platform::VbError(platform::kErrInvalidValue, source, QStringLiteral("Valeur dupliquée de Key."));
}

void raiseIndexOverflow(const QString& source) {
    throw platform::VbError(platform::kErrOutOfRange, source, QStringLiteral("Dépassement d'index."));
}

void raiseInvalidSection(const QString& source) {
    throw platform::VbError(platform::kErrOutOfRange, source, QStringLiteral("Section non valide."));
}

}  // namespace tablookup
