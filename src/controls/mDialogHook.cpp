#include "mDialogHook.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

namespace mDialogHook {

std::optional<QPoint> CentredPosition(const QRect& dialog, const QRect& active) {
    if (active.x() + active.width() <= 0 || active.y() + active.height() <= 0) return std::nullopt;
    const int x = active.x() + (active.width() - dialog.width()) / 2;
    const int y = active.y() + (active.height() - dialog.height()) / 2;
    return QPoint(std::max(0, x), std::max(0, y));
}

void CenterDialogHook(QWidget& dialog) {
    QWidget* active = QApplication::activeWindow();
    if (!active || active == &dialog) return;
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();
    if (const auto pos = CentredPosition(dialog.frameGeometry(), active->frameGeometry())) dialog.move(*pos);
}

}  // namespace mDialogHook
