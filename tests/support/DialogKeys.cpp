#include "DialogKeys.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace testsupport {

bool typeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &window) target = &window;
    QTest::keyClick(target, key, modifiers);
    return true;
}

}  // namespace testsupport
