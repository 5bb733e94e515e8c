#pragma once
// What the in-place editors of the grids (grades, coefficients) share: a line edit laid over
// a cell that takes digits and one decimal comma, and hears its keys as the grids' editors
// do, the key code first, then the character.
#include <functional>

class QKeyEvent;
class QLineEdit;

namespace numericeditor {

// The character filter: "." is taken as ","; a second comma is swallowed; a comma typed
// with the caret at the start gives "0," (the caret after it, the key swallowed); Backspace
// and digits pass; every other character is swallowed, Enter and Esc included (they act on
// key down).
void KeyPress(QLineEdit& box, int& KeyAscii);

using KeyDownHandler = std::function<void(int& KeyCode, int Shift)>;
using KeyPressHandler = std::function<void(int& KeyAscii)>;

// Hands a key event of the box to keyDown (which sets KeyCode to 0 once it used the key),
// then its character to keyPress, which may swallow it (0) or type another in its place.
// True when the event must go no further.
bool routeKey(QLineEdit& box, const QKeyEvent& key, const KeyDownHandler& keyDown, const KeyPressHandler& keyPress);

}  // namespace numericeditor
