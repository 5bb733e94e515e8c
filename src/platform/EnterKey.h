#pragma once

class QCoreApplication;

namespace platform {

// Enter belongs to the window, which hands it to its default button, wherever the focus is
// but on a push button (which then presses itself), whatever the desktop's platform theme.
void installEnterKeyRule(QCoreApplication& application);

}  // namespace platform
