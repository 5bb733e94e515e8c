#pragma once

class QApplication;

namespace platform {

// What stays the same on every desktop, whatever its platform theme and palette: Enter
// reaches the window's default button wherever the focus is but on a push button (which then
// presses itself), check boxes and option buttons stand out from what they are drawn on, and
// every window stands whole on its screen (keepWindowsOnScreen).
void installDesktopRules(QApplication& application);

}  // namespace platform
