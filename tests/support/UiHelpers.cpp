#include "UiHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

namespace testsupport {
namespace {

class GnomeEnter : public QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Return) return false;
        if (auto* button = qobject_cast<QAbstractButton*>(watched)) button->click();
        else if (auto* list = qobject_cast<QComboBox*>(watched)) list->showPopup();
        else if (!qobject_cast<QGroupBox*>(watched)) return false;
        return true;
    }
};

}  // namespace

void clickButton(QWidget& window, const QString& text) {
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
        if (b->isVisible() && QString(b->text()).remove(u'&') == text) return b->click();
    QTest::qFail(qPrintable(QStringLiteral("no button \"%1\"").arg(text)), __FILE__, __LINE__);
}

bool typeKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &window) target = &window;
    QTest::keyClick(target, key, modifiers);
    return true;
}

bool typeEnterAsGnome(QWidget& control) {
    control.setFocus();
    GnomeEnter gnome;
    for (QWidget* w = &control; !w->isWindow(); w = w->parentWidget()) w->installEventFilter(&gnome);
    return typeKey(*control.window(), Qt::Key_Return);
}

}  // namespace testsupport
