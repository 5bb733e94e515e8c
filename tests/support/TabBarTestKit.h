#pragma once
#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <Qt>
#include <functional>

class QWidget;
class tabSection;
class tooCommand;
class TabItemLabel;

// Helpers for the tests of the tab bar and its picture buttons.
namespace tabkit {

// A picture of that size in one colour, with its top-left quarter in a second colour.
QPixmap picture(QSize size, QColor fill, QColor corner = Qt::transparent);

// Mouse events delivered straight to a widget, at a point in its own pixels.
void press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void click(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void doubleClick(QWidget* w, QPoint at);
void move(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::NoButton);

// What a call raised, as "number source: text", or "nothing".
QString raised(const std::function<void()>& call);
QString error(int number, const QString& source, const QString& text);

// The widgets of item slot i of a section and its scroll arrows.
tooCommand* itemButton(const tabSection& s, int i);
TabItemLabel* itemLabel(const tabSection& s, int i);
QWidget* arrow(const tabSection& s, bool up);

}  // namespace tabkit
