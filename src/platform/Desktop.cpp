#include "Desktop.h"

#include "OleColor.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace platform {
namespace {

// Controls that let Enter go by under the default platform theme. The GNOME one (and so the
// GTK one) lists Enter among the keys that press a focused button, open a focused drop-down
// list and press a group box, which then keep it: the window's "OK" would never be reached.
bool passesEnterOn(const QObject* control) {
    if (const auto* push = qobject_cast<const QPushButton*>(control)) return !push->autoDefault() && !push->isDefault();
    if (qobject_cast<const QAbstractButton*>(control)) return true;
    const auto* list = qobject_cast<const QComboBox*>(control);
    return list && !list->isEditable();
}

class EnterKeyRule : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !passesEnterOn(watched)) return false;
        // Straight to the window, past the group boxes around the control.
        if (QWidget* window = static_cast<QWidget*>(watched)->window(); window != watched)
            QCoreApplication::sendEvent(window, event);
        return true;
    }
};

// Fusion outlines check boxes and option buttons in a shade of the window colour and marks a
// chosen option with a half-transparent dot: under a dark palette the empty boxes vanish into
// the lists and the dot is faint. These are drawn here in colours taken apart from both the
// window and the field; other styles draw their own.
// Fusion also sizes them, and the room around a button's caption, in fixed pixels: under a
// larger desktop font the boxes stay small beside their texts and the captions fill their
// buttons to the edges. Here they grow with the font, as the windows' layouts do.
class IndicatorStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        const int size = QProxyStyle::pixelMetric(metric, option, widget);
        if (!fusion()) return size;
        switch (metric) {
        // Square, as tall as the font makes a line.
        case PM_IndicatorWidth:
        case PM_ExclusiveIndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorHeight: return layoutY(pixelsToTwips(size));
        default: return size;
        }
    }

    // A caption keeps an average character clear of either edge of its button, and Fusion's
    // least width of a button with a caption, 80 pixels, follows the font.
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override {
        QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (type != CT_PushButton || !fusion() || !button || button->text.isEmpty()) return size;
        QStyleOptionButton framed(*button);
        framed.rect = QRect(QPoint(), size);
        const int edges = size.width() - subElementRect(SE_PushButtonContents, &framed, widget).width();
        const int clear = contents.width() + 2 * button->fontMetrics.averageCharWidth() + edges;
        size.setWidth(std::max({size.width(), clear, layoutX(pixelsToTwips(80))}));
        return size;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const bool radio = element == PE_IndicatorRadioButton;
        if ((!radio && element != PE_IndicatorCheckBox) || !fusion())
            return QProxyStyle::drawPrimitive(element, option, painter, widget);

        // A disabled one keeps the palette's greyed text for its frame and mark.
        const QPalette& palette = option->palette;
        const QColor field = palette.color(QPalette::Base), window = palette.color(QPalette::Window);
        const bool enabled = option->state & State_Enabled;
        const bool focused = option->state & State_HasFocus && option->state & State_KeyboardFocusChange;
        const QColor ink = enabled ? apart(palette.color(QPalette::Text), field, 7) : palette.color(QPalette::Text);
        const QColor edge = !enabled ? ink
                            : focused ? palette.color(QPalette::Highlight)
                                      : apart(apart(palette.color(QPalette::Mid), field, 4.5), window, 4.5);
        const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal unit = box.width() / 14;

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(edge, 1));
        painter->setBrush(field);
        if (radio) {
            painter->drawEllipse(box);
            if (option->state & State_On) {
                painter->setPen(Qt::NoPen);
                painter->setBrush(ink);
                painter->drawEllipse(box.center(), 3.5 * unit, 3.5 * unit);
            }
        } else {
            painter->drawRoundedRect(box, unit, unit);
            painter->setPen(QPen(ink, 2 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->setBrush(Qt::NoBrush);
            const QPointF o = box.topLeft();
            if (option->state & State_On)
                painter->drawPolyline(QPolygonF({o + QPointF(3.5, 7) * unit, o + QPointF(6, 9.5) * unit,
                                                 o + QPointF(10.5, 4.5) * unit}));
            else if (option->state & State_NoChange)
                painter->drawLine(o + QPointF(4, 7) * unit, o + QPointF(10, 7) * unit);
        }
        painter->restore();
    }

private:
    bool fusion() const { return baseStyle()->name() == QLatin1String("fusion"); }
};

}  // namespace

void installDesktopRules(QApplication& application) {
    const QString name = QStringLiteral("EnterKeyRule");
    if (application.findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) return;
    auto* rule = new EnterKeyRule(&application);
    rule->setObjectName(name);
    application.installEventFilter(rule);
    keepWindowsOnScreen(application);
    QApplication::setStyle(new IndicatorStyle(QStyleFactory::create(QApplication::style()->name())));
}

}  // namespace platform
