#include "MouseEventWidget.h"

MouseEventWidget::MouseEventWidget(QWidget* parent) : QWidget(parent) {
    // Moves are reported without a button held too.
    setMouseTracking(true);
}

void MouseEventWidget::mousePressEvent(QMouseEvent* e) {
    m_leftPressed = e->button() == Qt::LeftButton;
    emitMouse(this, &MouseEventWidget::MouseDown, *e);
}

void MouseEventWidget::mouseMoveEvent(QMouseEvent* e) { emitMouse(this, &MouseEventWidget::MouseMove, *e); }

void MouseEventWidget::mouseReleaseEvent(QMouseEvent* e) {
    const bool left = e->button() == Qt::LeftButton;
    const bool click = left && m_leftPressed && rect().contains(e->position().toPoint());
    if (left) m_leftPressed = false;
    emitMouse(this, &MouseEventWidget::MouseUp, *e);
    if (click) emit Click();
}

void MouseEventWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    m_leftPressed = false;
    if (e->button() == Qt::LeftButton) emit DblClick();
}
