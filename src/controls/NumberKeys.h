#pragma once

class QKeyEvent;
class QLineEdit;

// The key filter of the boxes where a number is typed with a decimal comma (grades,
// maximum marks, coefficients).
namespace numberkeys {

// Lets digits and Backspace through; "," or "." becomes a "," unless the box already holds
// one, and at the start of the box turns the whole text into "0,"; everything else is
// discarded (0), Enter and Esc included, which act on key down.
void FilterNumberKey(QLineEdit& box, int& KeyAscii);

// Types a character key into the box through FilterNumberKey; true when the event was
// dealt with (the box must not see it), false when the box takes it as it is (Enter and
// Esc, which go on to the window's default and cancel buttons).
bool TypeFiltered(QLineEdit& box, const QKeyEvent& key);

}  // namespace numberkeys
