#pragma once
#include "controls/TabItemLabel.h"
#include "controls/tabSection.h"
#include "controls/tooCommand.h"
#include "platform/VbError.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <functional>

// Helpers for the tests of the tab bar and its picture buttons; the error helpers serve any control.
namespace tabkit {

// A picture of that size in one colour, with its top-left quarter in a second colour.
inline QPixmap picture(QSize size, QColor fill, QColor corner = Qt::transparent) {
    QPixmap pm(size);
    pm.fill(fill);
    QPainter(&pm).fillRect(QRect(QPoint(0, 0), size / 2), corner);
    return pm;
}

// Mouse events delivered straight to a widget, at a point in its own pixels.
inline void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, modifiers);
    QApplication::sendEvent(w, &e);
}
inline void press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    send(w, QEvent::MouseButtonPress, at, button, button, modifiers);
}
inline void release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    send(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}
inline void click(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    press(w, at, button);
    release(w, at, button);
}
inline void doubleClick(QWidget* w, QPoint at) {
    click(w, at);
    send(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    release(w, at);
}
inline void move(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
    send(w, QEvent::MouseMove, at, Qt::NoButton, held);
}

// What a call raised, as "number source: text", or "nothing".
inline QString error(int number, const QString& source, const QString& text) {
    return QStringLiteral("%1 %2: %3").arg(number).arg(source, text);
}
inline QString raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::VbError& e) {
        return error(e.number(), e.source(), e.description());
    }
    return QStringLiteral("nothing");
}

// The widgets of item slot i of a section and its scroll arrows.
inline tooCommand* itemButton(const tabSection& s, int i) {
    return s.findChild<tooCommand*>(QStringLiteral("tooCommand1_%1").arg(i));
}
inline TabItemLabel* itemLabel(const tabSection& s, int i) {
    return s.findChild<TabItemLabel*>(QStringLiteral("Label1_%1").arg(i));
}
inline QWidget* arrow(const tabSection& s, bool up) {
    return s.findChild<QWidget*>(up ? QStringLiteral("imaUp") : QStringLiteral("imaDown"));
}

}  // namespace tabkit
