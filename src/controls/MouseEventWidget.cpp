#include "MouseEventWidget.h"

#include "platform/VbKeys.h"

#include <QMouseEvent>

MouseEventWidget::MouseEventWidget(QWidget* parent) : QWidget(parent) {
    // Moves are reported without a button held too.
    setMouseTracking(true);
}

void MouseEventWidget::mousePressEvent(QMouseEvent* e) {
    m_leftPressed = e->button() == Qt::LeftButton;
    const QPointF p = e->position();
    emit MouseDown(platform::mouseButton(e->button()), platform::shiftState(e->modifiers()),
                   float(p.x()), float(p.y()));
}

void MouseEventWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPointF p = e->position();
    emit MouseMove(platform::mouseButtons(e->buttons()), platform::shiftState(e->modifiers()),
                   float(p.x()), float(p.y()));
}

void MouseEventWidget::mouseReleaseEvent(QMouseEvent* e) {
    const bool left = e->button() == Qt::LeftButton;
    const bool click = left && m_leftPressed && rect().contains(e->position().toPoint());
    if (left) m_leftPressed = false;
    const QPointF p = e->position();
    emit MouseUp(platform::mouseButton(e->button()), platform::shiftState(e->modifiers()),
                 float(p.x()), float(p.y()));
    if (click) emit Click();
}

void MouseEventWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    m_leftPressed = false;
    if (e->button() == Qt::LeftButton) emit DblClick();
}
