#include "Modal.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <deque>

namespace platform {
namespace {

struct TestState {
    std::deque<ModalResponder> responders;
    QStringList shown;
};
TestState* g_test = nullptr;

const char* const kOwnerProperty = "_quibolet_modal_owner";

// Ends a local loop when a plain window is hidden or destroyed.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget& w, QEventLoop& loop) : m_loop(loop) { w.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Hide || e->type() == QEvent::Destroy) m_loop.quit();
        return false;
    }

private:
    QEventLoop& m_loop;
};

QString describe(const QWidget& w) {
    return w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className()) : w.objectName();
}

}  // namespace

int showModal(QWidget& window, QWidget* owner) {
    window.setProperty(kOwnerProperty, QVariant::fromValue(static_cast<QObject*>(owner)));
    window.setWindowModality(Qt::ApplicationModal);
    auto* dialog = qobject_cast<QDialog*>(&window);

    if (g_test) {
        g_test->shown << describe(window);
        if (g_test->responders.empty())
            qFatal("Unexpected modal window: %s \"%s\"", qPrintable(describe(window)),
                   qPrintable(window.windowTitle()));
        ModalResponder responder = std::move(g_test->responders.front());
        g_test->responders.pop_front();
        QPointer<QWidget> guard(&window);
        if (dialog) dialog->setResult(QDialog::Rejected);
        window.show();
        responder(window);
        if (guard && guard->isVisible()) guard->close();  // as the close box would
        if (guard && guard->isVisible()) guard->hide();
        return (guard && dialog) ? dialog->result() : 0;
    }

    if (dialog) return dialog->exec();

    QPointer<QWidget> guard(&window);
    QEventLoop loop;
    HideWatcher watcher(window, loop);
    window.show();
    if (window.isVisible()) loop.exec(QEventLoop::DialogExec);
    return 0;
}

QWidget* modalOwner(const QWidget& window) {
    return qobject_cast<QWidget*>(window.property(kOwnerProperty).value<QObject*>());
}

ModalTestScope::ModalTestScope() {
    Q_ASSERT(!g_test);
    g_test = new TestState;
}

ModalTestScope::~ModalTestScope() {
    delete g_test;
    g_test = nullptr;
}

void ModalTestScope::push(ModalResponder responder) { g_test->responders.push_back(std::move(responder)); }
int ModalTestScope::pending() const { return static_cast<int>(g_test->responders.size()); }
QStringList ModalTestScope::shown() const { return g_test->shown; }

bool inModalTestScope() { return g_test != nullptr; }

}  // namespace platform
