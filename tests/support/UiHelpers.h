#pragma once
#include <QString>
#include <Qt>

class QWidget;

namespace testsupport {

// Clicks the visible button of a window whose text, once its '&' markers are removed, is
// text; fails the running test when the window has none.
void clickButton(QWidget& window, const QString& text);

// Activates a shown window and types one key into its focused widget, as the user would.
bool typeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Types Enter into a control as on a GNOME or GTK desktop, whose platform theme has Enter press
// a focused button, open a focused drop-down list and press the group box around them, each of
// which then keeps the key.
bool typeEnterAsGnome(QWidget& control);

}  // namespace testsupport
