#include "TabBarTestKit.h"

#include "controls/TabItemLabel.h"
#include "controls/tabSection.h"
#include "controls/tooCommand.h"
#include "platform/VbError.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace tabkit {

QPixmap picture(QSize size, QColor fill, QColor corner) {
    QPixmap pm(size);
    pm.fill(fill);
    QPainter p(&pm);
    p.fillRect(QRect(QPoint(0, 0), size / 2), corner);
    return pm;
}

namespace {
void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
          Qt::KeyboardModifiers modifiers) {
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, modifiers);
    QApplication::sendEvent(w, &e);
}
}  // namespace

void press(QWidget* w, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    send(w, QEvent::MouseButtonPress, at, button, button, modifiers);
}

void release(QWidget* w, QPoint at, Qt::MouseButton button) {
    send(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton, Qt::NoModifier);
}

void click(QWidget* w, QPoint at, Qt::MouseButton button) {
    press(w, at, button);
    release(w, at, button);
}

void doubleClick(QWidget* w, QPoint at) {
    click(w, at);
    send(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    release(w, at);
}

void move(QWidget* w, QPoint at, Qt::MouseButtons held) {
    send(w, QEvent::MouseMove, at, Qt::NoButton, held, Qt::NoModifier);
}

QString error(int number, const QString& source, const QString& text) {
    return QStringLiteral("%1 %2: %3").arg(number).arg(source, text);
}

QString raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::VbError& e) {
        return error(e.number(), e.source(), e.description());
    }
    return QStringLiteral("nothing");
}

tooCommand* itemButton(const tabSection& s, int i) {
    return s.findChild<tooCommand*>(QStringLiteral("tooCommand1_%1").arg(i));
}

TabItemLabel* itemLabel(const tabSection& s, int i) {
    return s.findChild<TabItemLabel*>(QStringLiteral("Label1_%1").arg(i));
}

QWidget* arrow(const tabSection& s, bool up) {
    return s.findChild<QWidget*>(up ? QStringLiteral("imaUp") : QStringLiteral("imaDown"));
}

}  // namespace tabkit
