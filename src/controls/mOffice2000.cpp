#include "mOffice2000.h"

#include "platform/OleColor.h"

#include <QApplication>
#include <QFrame>
#include <QPalette>

namespace mOffice2000 {

void SetEdgeStyle(QWidget* window, bool staticEdge) {
    if (!window) return;
    if (!staticEdge) {
        if (auto* frame = qobject_cast<QFrame*>(window)) frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        window->setStyleSheet(QString());
        return;
    }
    // The thin edge is one flat line on all four sides. A sunken one draws its bottom and right
    // sides in the palette's lightest shade, made for grey dialogs: on a light window they
    // vanish. Its shade stands apart from both the window and the box's field, light or dark.
    // It is the box's alone: its scroll bars and viewport keep their own looks.
    const QPalette palette = QApplication::palette();
    const QColor edge = platform::apart(platform::apart(palette.color(QPalette::Mid), palette.color(QPalette::Base), 3),
                                        palette.color(QPalette::Window), 3);
    const QString type = qobject_cast<QFrame*>(window) ? QStringLiteral("QFrame") : QStringLiteral("QLineEdit");
    window->setStyleSheet(QStringLiteral("%1 { border: 1px solid %2; }").arg(type, edge.name()));
}

}  // namespace mOffice2000
