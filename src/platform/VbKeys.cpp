#include "VbKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

int keyCode(int k, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return (keypad ? key::Numpad0 : key::Key0) + (k - Qt::Key_0);
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return key::A + (k - Qt::Key_A);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return key::F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return key::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return key::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return key::Return;
    case Qt::Key_Shift: return key::Shift;
    case Qt::Key_Control: return key::Control;
    case Qt::Key_Alt: return key::Menu;
    case Qt::Key_Escape: return key::Escape;
    case Qt::Key_Space: return key::Space;
    case Qt::Key_PageUp: return key::PageUp;
    case Qt::Key_PageDown: return key::PageDown;
    case Qt::Key_End: return key::End;
    case Qt::Key_Home: return key::Home;
    case Qt::Key_Left: return key::Left;
    case Qt::Key_Up: return key::Up;
    case Qt::Key_Right: return key::Right;
    case Qt::Key_Down: return key::Down;
    case Qt::Key_Insert: return key::Insert;
    case Qt::Key_Delete: return key::Delete;
    case Qt::Key_Asterisk: return keypad ? key::Multiply : 0;
    case Qt::Key_Plus: return keypad ? key::Add : 187;
    case Qt::Key_Minus: return keypad ? key::Subtract : 189;
    case Qt::Key_Slash: return keypad ? key::Divide : 191;
    case Qt::Key_Period: return keypad ? key::Decimal : 190;
    case Qt::Key_Comma: return 188;
    default: return 0;
    }
}

int keyCode(const QKeyEvent& e) { return keyCode(e.key(), e.modifiers()); }

int keyAscii(const QKeyEvent& e) {
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    default: break;
    }
    const QString t = e.text();
    if (t.isEmpty() || !t.at(0).isPrint()) return 0;
    return t.at(0).unicode();
}

int shiftState(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m.testFlag(Qt::ShiftModifier)) s |= shift::Shift;
    if (m.testFlag(Qt::ControlModifier)) s |= shift::Ctrl;
    if (m.testFlag(Qt::AltModifier)) s |= shift::Alt;
    return s;
}

int mouseButton(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return button::Left;
    case Qt::RightButton: return button::Right;
    case Qt::MiddleButton: return button::Middle;
    default: return 0;
    }
}

int mouseButtons(Qt::MouseButtons b) {
    int r = 0;
    if (b.testFlag(Qt::LeftButton)) r |= button::Left;
    if (b.testFlag(Qt::RightButton)) r |= button::Right;
    if (b.testFlag(Qt::MiddleButton)) r |= button::Middle;
    return r;
}

Qt::Key qtKey(int code) {
    if (code >= key::Key0 && code <= key::Key9) return Qt::Key(Qt::Key_0 + (code - key::Key0));
    if (code >= key::Numpad0 && code <= key::Numpad9) return Qt::Key(Qt::Key_0 + (code - key::Numpad0));
    if (code >= key::A && code <= key::Z) return Qt::Key(Qt::Key_A + (code - key::A));
    if (code >= key::F1 && code <= key::F12) return Qt::Key(Qt::Key_F1 + (code - key::F1));
    switch (code) {
    case key::Back: return Qt::Key_Backspace;
    case key::Tab: return Qt::Key_Tab;
    case key::Return: return Qt::Key_Return;
    case key::Shift: return Qt::Key_Shift;
    case key::Control: return Qt::Key_Control;
    case key::Menu: return Qt::Key_Alt;
    case key::Escape: return Qt::Key_Escape;
    case key::Space: return Qt::Key_Space;
    case key::PageUp: return Qt::Key_PageUp;
    case key::PageDown: return Qt::Key_PageDown;
    case key::End: return Qt::Key_End;
    case key::Home: return Qt::Key_Home;
    case key::Left: return Qt::Key_Left;
    case key::Up: return Qt::Key_Up;
    case key::Right: return Qt::Key_Right;
    case key::Down: return Qt::Key_Down;
    case key::Insert: return Qt::Key_Insert;
    case key::Delete: return Qt::Key_Delete;
    case 188: return Qt::Key_Comma;
    case 190: return Qt::Key_Period;
    default: return Qt::Key_unknown;
    }
}

}  // namespace platform
