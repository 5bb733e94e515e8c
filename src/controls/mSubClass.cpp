#include "controls/mSubClass.h"

#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QWidget>
#include <exception>
#include <optional>

namespace {

// A message of the program's own, travelling to its window as an event.
class MessageEvent : public QEvent {
public:
    MessageEvent(int msg, qintptr w, qintptr l) : QEvent(eventType()), uMsg(msg), wParam(w), lParam(l) {}
    static QEvent::Type eventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    int uMsg;
    qintptr wParam;
    qintptr lParam;
    qintptr result = 0;
};

// A window event on its way through a target; CallOldWndProc delivers it at most once.
struct PendingEvent {
    QObject* window;
    QEvent* event;
    bool delivered;
};

QList<PendingEvent*>& pendingEvents() {
    static QList<PendingEvent*> list;
    return list;
}

// The target must never let an error out into the event loop; a failed call counts as
// "not answered".
std::optional<qintptr> callTarget(IMessageTarget* target, QWidget* hWnd, int uMsg, qintptr wParam,
                                  qintptr lParam) {
    try {
        return target->Message(hWnd, uMsg, wParam, lParam);
    } catch (const std::exception& e) {
        qWarning("message %d of %s: %s", uMsg, qPrintable(hWnd->objectName()), e.what());
    } catch (...) {
        qWarning("message %d of %s failed", uMsg, qPrintable(hWnd->objectName()));
    }
    return std::nullopt;
}

// The hook that a subclassed window carries as a child: it holds the whole state of the
// subclassing, and goes away with the window.
class Hook : public QObject {
    Q_OBJECT
public:
    Hook(QWidget* window, IMessageTarget* target) : QObject(window), target(target) {
        all().append(this);
        window->installEventFilter(this);
    }
    ~Hook() override { all().removeOne(this); }

    static QList<Hook*>& all() {
        static QList<Hook*> hooks;
        return hooks;
    }
    static Hook* of(const QWidget* window) {
        return window ? window->findChild<Hook*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    }

    IMessageTarget* target;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != parent() || !target) return false;
        auto* hWnd = static_cast<QWidget*>(watched);
        if (e->type() == MessageEvent::eventType()) {
            auto* m = static_cast<MessageEvent*>(e);
            m->result = callTarget(target, hWnd, m->uMsg, m->wParam, m->lParam).value_or(0);
            return true;
        }
        if (e->type() == QEvent::DeferredDelete) return false;  // object machinery, not a message

        // From here on `this` may be gone: the target may detach or destroy the window.
        PendingEvent pending{watched, e, false};
        pendingEvents().append(&pending);
        const bool answered = callTarget(target, hWnd, mSubClass::WM_EVENT, e->type(),
                                         reinterpret_cast<qintptr>(e)).has_value();
        pendingEvents().removeOne(&pending);
        // A target that failed before passing the event on leaves it to the window.
        return answered || pending.delivered;
    }
};

}  // namespace

IMessageTarget::~IMessageTarget() {
    for (Hook* hook : Hook::all())
        if (hook->target == this) hook->target = nullptr;
}

qintptr IMessageTarget::Message(QWidget*, int, qintptr, qintptr) { return 0; }

namespace mSubClass {

void SubclassWindow(QWidget* hWnd, IMessageTarget* target) {
    if (!hWnd) return;
    if (Hook* hook = Hook::of(hWnd))
        hook->target = target;
    else
        new Hook(hWnd, target);
}

void UnsubclassWindow(QWidget* hWnd) { delete Hook::of(hWnd); }

qintptr CallOldWndProc(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) {
    if (!hWnd || uMsg != WM_EVENT) return 0;
    const auto& list = pendingEvents();
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        PendingEvent* p = *it;
        if (p->window != hWnd || p->event != reinterpret_cast<QEvent*>(lParam)) continue;
        if (p->delivered) return 0;
        p->delivered = true;
        return static_cast<QObject*>(hWnd)->event(p->event) ? 1 : 0;
    }
    return 0;
}

qintptr SendMessage(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) {
    if (!hWnd) return 0;
    MessageEvent e(uMsg, wParam, lParam);
    QCoreApplication::sendEvent(hWnd, &e);
    return e.result;
}

void PostMessage(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) {
    if (hWnd) QCoreApplication::postEvent(hWnd, new MessageEvent(uMsg, wParam, lParam));
}

QEvent* WindowEvent(int uMsg, qintptr lParam) {
    return uMsg == WM_EVENT ? reinterpret_cast<QEvent*>(lParam) : nullptr;
}

}  // namespace mSubClass

#include "mSubClass.moc"
