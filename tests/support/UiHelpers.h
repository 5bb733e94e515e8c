#pragma once
#include <QString>

class QWidget;
class QAbstractButton;

namespace testsupport {

// The visible button of a window whose text, once its '&' markers are removed, is text.
QAbstractButton* findButton(QWidget& window, const QString& text);

// Clicks that button; fails the running test when the window has none.
void clickButton(QWidget& window, const QString& text);

}  // namespace testsupport
