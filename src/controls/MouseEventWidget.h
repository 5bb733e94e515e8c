#pragma once
#include <QWidget>

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
