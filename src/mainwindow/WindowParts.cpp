#include "WindowParts.h"

#include "controls/cSplitDDC.h"
#include "platform/FlexGrid.h"
#include "platform/Twips.h"

#include <QAction>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>

namespace windowparts {

void useGridFont(platform::FlexGrid& grid) {
    // Figures and names take less room condensed, but a family without a condensed face of
    // its own would have its letters squeezed by the font engine: it keeps its width.
    QFont condensed = grid.font();
    condensed.setStretch(QFont::Condensed);
    const QFontInfo normal(grid.font()), narrow(condensed);
    if (narrow.family() == normal.family() && narrow.styleName() == normal.styleName()) return;
    // Only the stretch is set: the size and the family still come from the application.
    QFont stretch;
    stretch.setStretch(QFont::Condensed);
    grid.setFont(stretch);
}

int namesWidth(const platform::FlexGrid& grid, int col, int minimum, int limit) {
    int width = minimum;
    for (int r = 0; r < grid.Rows(); ++r) width = grid.NeededWidth(grid.TextMatrix(r, col), 1, width);
    return std::min(width, std::max(minimum, limit));
}

QLabel* heading(QWidget* parent, const QString& objectName) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setMargin(3);
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    label->setFont(bold);
    return label;
}

QToolBar* toolBar(QMainWindow& window) {
    QToolBar* bar = window.addToolBar(QStringLiteral("tooBar"));
    bar->setObjectName(QStringLiteral("tooBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setVisible(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}

QLineEdit* cellEditor(platform::FlexGrid& grid, const QString& objectName) {
    // On the grid's viewport, which paints itself whole: hiding the editor then repaints
    // only the cell under it, not the window behind.
    auto* editor = new QLineEdit(grid.viewport());
    editor->setObjectName(objectName);
    editor->setFrame(false);
    editor->setFont(grid.font());
    editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    editor->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(highlight); padding: 0 2px; }"));
    editor->hide();
    return editor;
}

void showOverCell(QLineEdit& editor, platform::FlexGrid& grid) {
    using platform::layoutX;
    using platform::layoutY;
    // Read before the editor shows: bringing the cell into view scrolls the grid.
    const QRect cell(layoutX(grid.CellLeft()), layoutY(grid.CellTop()), layoutX(grid.CellWidth()),
                     layoutY(grid.CellHeight()));
    editor.setGeometry(cell.translated(-grid.viewport()->pos()));
    editor.show();
    editor.raise();
    editor.setFocus(Qt::OtherFocusReason);
}

QLabel* statusText(QMainWindow& window) {
    QStatusBar* bar = window.statusBar();
    bar->setObjectName(QStringLiteral("staBar"));
    auto* text = new QLabel(bar);
    text->setObjectName(QStringLiteral("staBarText"));
    bar->addWidget(text, 1);
    return text;
}

void setUpSplitter(cSplitDDC& splitter, QWidget& bar) {
    splitter.setSplitObject(&bar);
    splitter.setOrientation(1);
    // The toolbar and the status bar lie outside the client area: no margin is kept for them.
    splitter.setBorder(1, 32);
    splitter.setBorder(2, 0);
    splitter.setBorder(3, 32);
    splitter.setBorder(4, 0);
}

bool splitterEvent(cSplitDDC& splitter, QWidget& container, QWidget& bar, QObject* watched, QEvent* event,
                   const std::function<void()>& arrange) {
    if (watched == &container) {
        // Only mouse events are mouse events: the pointer is read once the type is known.
        const auto at = [event] { return static_cast<QMouseEvent*>(event)->position().toPoint(); };
        switch (event->type()) {
        case QEvent::Resize:
            if (!container.window()->isMinimized()) arrange();
            break;
        case QEvent::MouseMove:
            splitter.SplitterFormMouseMove(at().x(), at().y());
            break;
        case QEvent::MouseButtonRelease:
            if (splitter.SplitterFormMouseUp(at().x(), at().y())) arrange();
            break;
        default: break;
        }
    } else if (watched == &bar && event->type() == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        splitter.SplitterMouseDown(&container, at.x(), at.y());
        return true;
    }
    return false;
}

}  // namespace windowparts
