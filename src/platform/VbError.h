#pragma once
#include <QString>
#include <stdexcept>

namespace platform {

// The error that the program's own controls raise: a number, the control's name as its
// source and a French description. Callers inside event handlers catch it; nothing lets
// it cross Qt's event loop.
class VbError : public std::runtime_error {
public:
    VbError(int number, QString source, QString description)
        : std::runtime_error(description.toStdString()),
          m_number(number), m_source(std::move(source)), m_description(std::move(description)) {}

    int number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_source;
    QString m_description;
};

inline constexpr int vbObjectError = static_cast<int>(0x80040000u);
inline constexpr int kErrInvalidValue = vbObjectError + 513;  // -2147220991
inline constexpr int kErrOutOfRange = vbObjectError + 514;    // -2147220990
// The runtime's own errors: a number too large for its type, an index outside an array.
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrSubscriptOutOfRange = 9;

// The runtime's error for an index outside a control's fixed array.
[[noreturn]] inline void raiseSubscriptOutOfRange(const QString& source) {
    throw VbError(kErrSubscriptOutOfRange, source, QStringLiteral("L'indice n'appartient pas à la sélection."));
}

}  // namespace platform
