#pragma once
#include <QPoint>
#include <QRect>
#include <optional>

class QWidget;

// The file and font dialogs open centred over the program's active window.
namespace mDialogHook {

// Top-left corner that centres a dialog over the active window, never left of or above the
// screen's origin; none when the active window lies wholly off screen to the left or top.
std::optional<QPoint> CentredPosition(const QRect& dialog, const QRect& active);

// Moves a dialog that is about to be shown over the active window (unless there is none).
void CenterDialogHook(QWidget& dialog);

}  // namespace mDialogHook
