#include "UiHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QWidget>

namespace testsupport {

QAbstractButton* findButton(QWidget& window, const QString& text) {
    const auto buttons = window.findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons) {
        QString t = b->text();
        t.remove(QLatin1Char('&'));
        if (t == text && b->isVisible()) return b;
    }
    return nullptr;
}

void clickButton(QWidget& window, const QString& text) {
    QAbstractButton* b = findButton(window, text);
    if (!b) {
        QTest::qFail(qPrintable(QStringLiteral("no button \"%1\"").arg(text)), __FILE__, __LINE__);
        return;
    }
    b->click();
}

bool typeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &window) target = &window;
    QTest::keyClick(target, key, modifiers);
    return true;
}

}  // namespace testsupport
