#include "EnterKey.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace platform {
namespace {

// Controls that let Enter go by under the default platform theme. The GNOME one (and so the
// GTK one) lists Enter among the keys that press a focused button, open a focused drop-down
// list and press a group box, which then keep it: the window's "OK" would never be reached.
bool passesEnterOn(const QObject* control) {
    if (const auto* push = qobject_cast<const QPushButton*>(control)) return !push->autoDefault() && !push->isDefault();
    if (qobject_cast<const QAbstractButton*>(control)) return true;
    const auto* list = qobject_cast<const QComboBox*>(control);
    return list && !list->isEditable();
}

class EnterKeyRule : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !passesEnterOn(watched)) return false;
        // Straight to the window, past the group boxes around the control.
        if (QWidget* window = static_cast<QWidget*>(watched)->window(); window != watched)
            QCoreApplication::sendEvent(window, event);
        return true;
    }
};

}  // namespace

void installEnterKeyRule(QCoreApplication& application) {
    const QString name = QStringLiteral("EnterKeyRule");
    if (application.findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) return;
    auto* rule = new EnterKeyRule(&application);
    rule->setObjectName(name);
    application.installEventFilter(rule);
}

}  // namespace platform
