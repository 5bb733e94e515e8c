#include "mOffice2000.h"

#include <QFrame>

namespace mOffice2000 {

void SetEdgeStyle(QWidget* window, bool staticEdge) {
    if (!window) return;
    if (auto* frame = qobject_cast<QFrame*>(window)) {
        frame->setFrameStyle(staticEdge ? (QFrame::Panel | QFrame::Sunken) : (QFrame::StyledPanel | QFrame::Sunken));
        frame->setLineWidth(staticEdge ? 1 : 2);
        return;
    }
    // Line edits draw their own frame: the thin edge is a border of their own.
    window->setStyleSheet(staticEdge ? QStringLiteral("border: 1px solid; border-color: palette(mid) "
                                                      "palette(light) palette(light) palette(mid);")
                                     : QString());
}

}  // namespace mOffice2000
