#pragma once
#include <QString>
#include <Qt>

class QWidget;
class QAbstractButton;

namespace testsupport {

// The visible button of a window whose text, once its '&' markers are removed, is text.
QAbstractButton* findButton(QWidget& window, const QString& text);

// Clicks that button; fails the running test when the window has none.
void clickButton(QWidget& window, const QString& text);

// Activates a shown window and types one key into its focused widget, as the user would.
bool typeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

}  // namespace testsupport
