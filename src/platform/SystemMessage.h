#pragma once
#include <QString>

class QWidget;

namespace platform {

// The system message box with the critical icon and a single OK button, through which
// file-level failures are reported. Shown through showModal.
void criticalMessage(QWidget* owner, const QString& title, const QString& text);

// The same box with the warning icon.
void warningMessage(QWidget* owner, const QString& title, const QString& text);

// The same box with no icon.
void plainMessage(QWidget* owner, const QString& title, const QString& text);

}  // namespace platform
