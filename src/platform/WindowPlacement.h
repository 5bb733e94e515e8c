#pragma once
#include <QMargins>

class QApplication;
class QWidget;

namespace platform {

// The frame that the window manager puts around a window: its own once it has one, until
// then the title bar and borders that the style draws for one. None for a window without.
QMargins windowFrame(const QWidget& window);

// From then on every window of the program stands whole inside the available area of its
// screen, frame and title bar included: sized before it is first shown, never larger than
// that area; a main window that nothing placed opens in its middle; a window placed beyond
// its edges is brought back into it, one that stands whole stays exactly where it was put.
// The place is checked again once the window manager has framed the window.
// Installed once, with the other desktop rules (installDesktopRules).
void keepWindowsOnScreen(QApplication& application);

}  // namespace platform
