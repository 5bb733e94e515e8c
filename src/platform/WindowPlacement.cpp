#include "WindowPlacement.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace platform {
namespace {

// Windows and dialogs; menus, drop-down lists and tips place themselves.
bool isTopWindow(const QWidget& widget) {
    const Qt::WindowType type = widget.windowType();
    return widget.isWindow() && (type == Qt::Window || type == Qt::Dialog)
        && !widget.testAttribute(Qt::WA_DontShowOnScreen);
}

bool hasFrame(const QWidget& window) { return !(window.windowFlags() & Qt::FramelessWindowHint); }

// How a window comes to its place.
enum class Placing {
    Given,   // the program put it there: a stored placement, a place over another window
    Middle,  // a main window that nothing placed: left to the window manager, it may land
             // anywhere, part of it beyond the screen's edge; it goes to the middle instead
    Landed,  // a dialog that nothing placed: Qt or the window manager puts it over its
             // owner, and its place is checked where it lands
};

Placing placingOf(const QWidget& window) {
    if (window.testAttribute(Qt::WA_Moved)) return Placing::Given;
    return window.windowType() == Qt::Dialog ? Placing::Landed : Placing::Middle;
}

// The screen a window stands on: the one that holds most of it. One that goes to the middle
// opens where the user is, on the screen of the window in use or under the pointer; one whose
// place lies on no screen (a screen gone since) comes back to its own.
QScreen* screenOf(const QWidget& window, const QRect& framed, Placing placing) {
    if (placing != Placing::Middle) {
        QScreen* most = nullptr;
        qint64 largest = 0;
        for (QScreen* screen : QGuiApplication::screens()) {
            const QRect common = screen->geometry() & framed;
            if (const qint64 size = qint64(common.width()) * common.height(); size > largest) {
                largest = size;
                most = screen;
            }
        }
        if (most) return most;
    } else if (const QWidget* active = QApplication::activeWindow(); active && active != &window) {
        return active->screen();
    } else if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
        return screen;
    }
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

// `window` (a window's own rectangle, without its frame) moved, and made smaller where it
// must, so that with `frame` around it it stands whole inside `area`. A rectangle that
// already stands whole there comes back as it is.
QRect fitInside(const QRect& window, const QMargins& frame, const QRect& area) {
    if (area.contains(window.marginsAdded(frame))) return window;
    const QRect inner = area.marginsRemoved(frame);
    const QSize size = window.size().boundedTo(inner.size()).expandedTo(QSize(1, 1));
    const auto within = [](int from, int at, int length, int room) {
        return std::max(from, std::min(at, from + room - length));
    };
    return QRect(within(inner.left(), window.left(), size.width(), inner.width()),
                 within(inner.top(), window.top(), size.height(), inner.height()), size.width(), size.height());
}

// Where a window is asked to stand. Kept until the window manager has framed the window, so
// that its real frame is measured against what was asked and not against where the frame
// assumed meanwhile put it.
struct Request {
    QRect wanted;
    Placing placing = Placing::Given;
    QPointer<QScreen> screen;
};

Request requestOf(const QWidget& window, Placing placing) {
    return {window.geometry(), placing, screenOf(window, window.geometry().marginsAdded(windowFrame(window)), placing)};
}

// Places the window as asked, whole on the screen with its frame. Only its size for one
// that has not landed yet.
void place(QWidget& window, const Request& request) {
    if (!request.screen) return;
    const QMargins frame = windowFrame(window);
    const QRect area = request.screen->availableGeometry();
    QRect rect = request.wanted;
    if (request.placing == Placing::Middle) {
        QRect framed = rect.marginsAdded(frame);
        framed.moveCenter(area.center());
        rect = framed.marginsRemoved(frame);
    }
    const QRect fitted = fitInside(rect, frame, area);
    // A window laid out larger than the screen gives up its least size rather than its
    // title bar: it can still be moved, and closed.
    if (fitted.size() != window.size()) {
        window.setMinimumSize(window.minimumSize().boundedTo(fitted.size()));
        window.resize(fitted.size());
    }
    if (request.placing != Placing::Landed && fitted.topLeft() != window.geometry().topLeft())
        window.setGeometry(fitted);
}

class PlacementRule : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
            // Before the window is mapped, so that it opens where it stays. Shown again by
            // the window system (after being minimized), it stays where the user left it.
            if (auto* window = qobject_cast<QWidget*>(watched); window && !event->spontaneous() && isTopWindow(*window))
                shown(*window);
            break;
        case QEvent::Expose:
            // On the screen: the window has the window manager's frame, which may be smaller
            // or larger than the style's, and stands where it landed.
            if (const auto found = m_pending.constFind(watched); found != m_pending.cend()) {
                QWidget* window = found->first;
                if (!window || window->windowHandle() != watched) {
                    m_pending.erase(found);
                } else if (!hasFrame(*window) || !window->windowHandle()->frameMargins().isNull()) {
                    const Request request =
                        found->second.placing == Placing::Landed ? requestOf(*window, Placing::Given) : found->second;
                    m_pending.erase(found);
                    place(*window, request);
                }
            }
            break;
        case QEvent::Hide:
            if (auto* window = qobject_cast<QWidget*>(watched); window && window->isWindow())
                m_pending.remove(window->windowHandle());
            break;
        default: break;
        }
        return false;
    }

private:
    void shown(QWidget& window) {
        if (window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
        const Request request = requestOf(window, placingOf(window));
        place(window, request);
        QWindow* handle = window.windowHandle();
        if (handle && (request.placing == Placing::Landed || (hasFrame(window) && handle->frameMargins().isNull())))
            m_pending.insert(handle, {&window, request});
    }

    // Windows shown, not yet framed by the window manager or not yet landed.
    QHash<const QObject*, std::pair<QPointer<QWidget>, Request>> m_pending;
};

}  // namespace

QMargins windowFrame(const QWidget& window) {
    if (!hasFrame(window)) return {};
    if (const QWindow* handle = window.windowHandle(); handle && !handle->frameMargins().isNull())
        return handle->frameMargins();
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &window);
    return {border, style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window) + border, border, border};
}

void keepWindowsOnScreen(QApplication& application) { application.installEventFilter(new PlacementRule(&application)); }

}  // namespace platform
