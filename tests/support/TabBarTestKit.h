#pragma once
#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <Qt>

class QWidget;

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

}  // namespace tabkit
