#pragma once
// The codes that the event arguments of the program's controls carry: key codes are the
// virtual-key codes of the original platform, KeyAscii the character code, Shift and
// Button bit masks.
class QKeyEvent;
class QMouseEvent;
#include <Qt>

namespace platform {

namespace key {
inline constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18,
                     Escape = 27, Space = 32, PageUp = 33, PageDown = 34, End = 35, Home = 36,
                     Left = 37, Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46,
                     Key0 = 48, Key9 = 57, A = 65, Z = 90, Numpad0 = 96, Numpad9 = 105,
                     Multiply = 106, Add = 107, Subtract = 109, Decimal = 110, Divide = 111,
                     F1 = 112, F12 = 123;
}

namespace shift {
inline constexpr int Shift = 1, Ctrl = 2, Alt = 4;
}

namespace button {
inline constexpr int Left = 1, Right = 2, Middle = 4;
}

// Key code of a key event (0 when the key has none).
int keyCode(const QKeyEvent& e);
int keyCode(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Character code of a key event: 13 Enter, 27 Esc, 8 Backspace, else the first character
// typed (0 when none).
int keyAscii(const QKeyEvent& e);

int shiftState(Qt::KeyboardModifiers modifiers);
int mouseButton(Qt::MouseButton b);
int mouseButtons(Qt::MouseButtons b);

// The Qt key of a key code, for tests and for synthesised events.
Qt::Key qtKey(int keyCode);

}  // namespace platform
