#pragma once
#include "platform/VbKeys.h"

#include <QMouseEvent>
#include <QWidget>

// Emits a MouseDown, MouseMove or MouseUp signal of `sender` with the arguments the program's
// controls give these events: the button code (for a move, those of the buttons held), the
// shift state and the position in pixels.
template <typename Sender>
void emitMouse(Sender* sender, void (Sender::*signal)(int, int, float, float), const QMouseEvent& e) {
    const int button = e.type() == QEvent::MouseMove ? platform::mouseButtons(e.buttons())
                                                     : platform::mouseButton(e.button());
    const QPointF p = e.position();
    (sender->*signal)(button, platform::shiftState(e.modifiers()), float(p.x()), float(p.y()));
}

// A widget that reports its mouse as the program's controls do: MouseDown, MouseMove and
// MouseUp with the button codes, the shift state and the position in pixels; Click when the
// left button is pressed and released over it; DblClick in place of the second press of a
// double click (which makes no MouseDown and no Click).
class MouseEventWidget : public QWidget {
    Q_OBJECT
public:
    explicit MouseEventWidget(QWidget* parent = nullptr);

signals:
    void Click();
    void DblClick();
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_leftPressed = false;
};
