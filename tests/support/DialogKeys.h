#pragma once
#include <Qt>

class QWidget;

namespace testsupport {

// Activates a shown window and types one key into its focused widget, as the user would.
bool typeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

}  // namespace testsupport
