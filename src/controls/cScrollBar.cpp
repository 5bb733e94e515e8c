#include "cScrollBar.h"

#include "platform/VbError.h"

#include <QEvent>
#include <QFrame>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

namespace {

int clampedStep(int value, qint64 step, int limit, bool up) {
    const qint64 next = qint64(value) + (up ? step : -step);
    return up ? int(std::min<qint64>(next, limit)) : int(std::max<qint64>(next, limit));
}

}  // namespace

cScrollBar::cScrollBar(QObject* parent) : QObject(parent) {}

cScrollBar::~cScrollBar() { detach(); }

cScrollBar::Bar& cScrollBar::at(int bar) {
    if (bar < 0 || bar > 1)
        platform::raiseSubscriptOutOfRange(QStringLiteral("cScrollBar"));
    return m_bars[bar];
}

const cScrollBar::Bar& cScrollBar::at(int bar) const { return const_cast<cScrollBar*>(this)->at(bar); }

bool cScrollBar::shown(int bar) const { return m_barType == BothBars || m_barType == bar; }

QScrollBar* cScrollBar::bar(int bar) const { return at(bar).widget.data(); }

int cScrollBar::Min(int bar) const { return at(bar).min; }
int cScrollBar::Max(int bar) const { return at(bar).max; }
int cScrollBar::LargeChange(int bar) const { return at(bar).largeChange; }
int cScrollBar::SmallChange(int bar) const { return at(bar).smallChange; }
int cScrollBar::Enabled(int bar) const { return at(bar).enabled; }
int cScrollBar::Value(int bar) const { return at(bar).value; }

void cScrollBar::setMin(int bar, int value) {
    at(bar).min = value;
    mirror(bar);
}

void cScrollBar::setMax(int bar, int value) {
    // A value now above the new maximum stays where it is: only scroll moves clamp.
    at(bar).max = value;
    mirror(bar);
}

void cScrollBar::setLargeChange(int bar, int value) {
    at(bar).largeChange = value;
    mirror(bar);
}

void cScrollBar::setSmallChange(int bar, int value) {
    at(bar).smallChange = value;
    mirror(bar);
}

void cScrollBar::setEnabled(int bar, int flags) {
    Bar& b = at(bar);
    if (b.enabled == flags) return;
    b.enabled = flags;
    // Qt cannot disable one arrow alone; only "both disabled" greys the bar.
    if (b.widget) b.widget->setEnabled(flags != 3);
}

void cScrollBar::setValue(int bar, int value) {
    Bar& b = at(bar);
    if (b.value == value) return;
    b.value = value;
    mirror(bar);
    report(bar, false);
}

platform::OleColor cScrollBar::BackColor(int bar) const {
    at(bar);
    return 0;
}

void cScrollBar::setBackColor(int bar, platform::OleColor) { at(bar); }

void cScrollBar::BarVisible(int bar, bool visible) {
    if (bar == NoBar) {
        bar = BothBars;
        visible = !visible;
    }
    for (int i = 0; i < 2; ++i)
        if ((bar == i || bar == BothBars) && m_bars[i].widget) m_bars[i].widget->setVisible(visible);

    bool h = shown(Horizontal), v = shown(Vertical);
    if (bar == Horizontal || bar == BothBars) h = visible;
    if (bar == Vertical || bar == BothBars) v = visible;
    m_barType = h && v ? BothBars : h ? Horizontal : v ? Vertical : NoBar;
    if (visible)
        for (int i = 0; i < 2; ++i)
            if (shown(i)) mirror(i);
    placeBars();
}

void cScrollBar::mirror(int bar) {
    Bar& b = m_bars[bar];
    if (!b.widget) return;
    const QSignalBlocker block(b.widget);
    // Qt's maximum is the highest value, the page not included.
    b.widget->setRange(b.min, std::max(b.min, b.max));
    b.widget->setPageStep(std::max(1, b.largeChange));
    b.widget->setSingleStep(std::max(1, b.smallChange));
    b.widget->setValue(b.value);
}

void cScrollBar::report(int bar, bool thumbDrag) {
    Bar& b = m_bars[bar];
    if (thumbDrag) emit Scroll(bar);
    if (b.value == b.lastReported) return;
    if (!thumbDrag) emit Change(bar);
    b.lastReported = b.value;
}

void cScrollBar::SubClass(int message, int wParam) {
    const int bar = message == WM_HSCROLL ? Horizontal : Vertical;
    const Bar& b = m_bars[bar];
    switch (wParam & 0xFFFF) {
    case SB_LINEUP: setValue(bar, clampedStep(b.value, b.smallChange, b.min, false)); break;
    case SB_LINEDOWN: setValue(bar, clampedStep(b.value, b.smallChange, b.max, true)); break;
    case SB_PAGEUP: setValue(bar, clampedStep(b.value, b.largeChange, b.min, false)); break;
    case SB_PAGEDOWN: setValue(bar, clampedStep(b.value, b.largeChange, b.max, true)); break;
    case SB_THUMBTRACK:
        setValue(bar, b.widget ? b.widget->sliderPosition() : b.value);
        report(bar, true);
        break;
    case SB_TOP: setValue(bar, b.min); break;
    case SB_BOTTOM: setValue(bar, b.max); break;
    case SB_ENDSCROLL: report(bar, false); break;
    default: break;
    }
}

void cScrollBar::onAction(int bar, int action) {
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    default: return;
    }
    SubClass(bar == Horizontal ? WM_HSCROLL : WM_VSCROLL, code);
    // The bar applies its slider position once this signal returns: make it ours.
    if (QScrollBar* w = m_bars[bar].widget) w->setSliderPosition(m_bars[bar].value);
}

void cScrollBar::Create(QWidget* window) {
    detach();
    m_window = window;
    if (!window) return;
    for (int i = 0; i < 2; ++i) {
        auto* w = new QScrollBar(i == Horizontal ? Qt::Horizontal : Qt::Vertical, window);
        w->setObjectName(i == Horizontal ? QStringLiteral("hScroll") : QStringLiteral("vScroll"));
        w->setContextMenuPolicy(Qt::NoContextMenu);
        w->hide();
        m_bars[i].widget = w;
        connect(w, &QAbstractSlider::actionTriggered, this, [this, i](int action) { onAction(i, action); });
        connect(w, &QAbstractSlider::sliderReleased, this,
                [this, i] { SubClass(i == Horizontal ? WM_HSCROLL : WM_VSCROLL, SB_ENDSCROLL); });
        // Any other way the bar moves still ends up as our value.
        connect(w, &QAbstractSlider::valueChanged, this, [this, i](int v) {
            if (v != m_bars[i].value) setValue(i, v);
        });
        mirror(i);
    }
    window->installEventFilter(this);
    placeBars();
}

void cScrollBar::detach() {
    if (m_window) m_window->removeEventFilter(this);
    for (Bar& b : m_bars) {
        delete b.widget.data();
        b.widget = nullptr;
    }
    m_window = nullptr;
}

bool cScrollBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Resize) placeBars();
    return false;
}

void cScrollBar::placeBars() {
    if (!m_window) return;
    const auto* frame = qobject_cast<QFrame*>(m_window.data());
    const QRect r = frame ? frame->contentsRect() : m_window->rect();
    const int extent = m_window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_window);
    const bool h = shown(Horizontal), v = shown(Vertical);
    if (QScrollBar* w = m_bars[Vertical].widget)
        w->setGeometry(r.right() + 1 - extent, r.top(), extent, r.height() - (h ? extent : 0));
    if (QScrollBar* w = m_bars[Horizontal].widget)
        w->setGeometry(r.left(), r.bottom() + 1 - extent, r.width() - (v ? extent : 0), extent);
}
