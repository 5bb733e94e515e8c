#include "controls/cSplitDDC.h"

#include "platform/VbError.h"

#include <QFrame>
#include <QRubberBand>
#include <QWidget>

namespace {
constexpr int kVertical[4] = {64, 0, 64, 0};
constexpr int kHorizontal[4] = {0, 64, 0, 64};
}  // namespace

cSplitDDC::cSplitDDC() = default;

cSplitDDC::~cSplitDDC() {
    if (m_dragging && m_container) m_container->releaseMouse();
    delete m_outline.data();
}

QWidget* cSplitDDC::SplitObject() const { return m_split; }

void cSplitDDC::setSplitObject(QWidget* bar) {
    m_split = bar;
    if (!bar) return;
    if (auto* frame = qobject_cast<QFrame*>(bar)) frame->setFrameShape(QFrame::NoFrame);
    applyCursor();
}

int cSplitDDC::Border(int index) const {
    if (index < 1 || index > 4)
        platform::raiseSubscriptOutOfRange(QStringLiteral("cSplitDDC"));
    return m_border[index - 1];
}

void cSplitDDC::setBorder(int index, int value) {
    Border(index);  // the same check
    m_border[index - 1] = value;
}

int cSplitDDC::Orientation() const { return m_orientation; }

void cSplitDDC::setOrientation(int value) {
    m_orientation = value;
    if (!m_split) return;
    applyCursor();
    std::copy(std::begin(value == 2 ? kHorizontal : kVertical),
              std::end(value == 2 ? kHorizontal : kVertical), std::begin(m_border));
}

void cSplitDDC::applyCursor() {
    m_split->setCursor(m_orientation == 2 ? Qt::SizeVerCursor : Qt::SizeHorCursor);
}

void cSplitDDC::SplitterMouseDown(QWidget* container, int X, int Y) {
    if (!container || !m_split) return;
    m_container = container;
    container->grabMouse();
    m_bounds = container->rect();
    m_dragging = true;
    const QPoint at = container->mapFromGlobal(m_split->mapToGlobal(QPoint(X, Y)));
    SplitterFormMouseMove(at.x(), at.y());
}

// The lines the bar may reach: the container less its margins (right and bottom are the
// first pixels past the container, less the margins).
QRect cSplitDDC::limits() const {
    return QRect(QPoint(m_bounds.left() + m_border[0], m_bounds.top() + m_border[1]),
                 QPoint(m_bounds.left() + m_bounds.width() - m_border[2],
                        m_bounds.top() + m_bounds.height() - m_border[3]));
}

// The outline is 4 pixels wide around a free mouse position, and 5 from 2 pixels before a
// margin when the mouse is past it (a horizontal bar already when it is on the bottom one).
QRect cSplitDDC::outlineAt(QPoint mouse) const {
    const QRect l = limits();
    const int left = l.left(), top = l.top(), right = l.right(), bottom = l.bottom();
    const auto span = [](int at, int low, int high, bool pastHigh) {
        if (pastHigh) return std::pair{high - 2, high + 3};
        if (at < low) return std::pair{low - 2, low + 3};
        return std::pair{at - 2, at + 2};
    };
    if (m_orientation == 2) {
        const auto [from, to] = span(mouse.y(), top, bottom, mouse.y() >= bottom);
        return QRect(left, from, right - left, to - from);
    }
    const auto [from, to] = span(mouse.x(), left, right, mouse.x() > right);
    return QRect(from, top, to - from, bottom - top);
}

QPoint cSplitDDC::clamped(QPoint mouse) const {
    const QRect l = limits();
    return {qMax(l.left(), qMin(l.right(), mouse.x())), qMax(l.top(), qMin(l.bottom(), mouse.y()))};
}

void cSplitDDC::SplitterFormMouseMove(int X, int Y) {
    if (!m_dragging || !m_container) return;
    if (!m_outline) m_outline = new QRubberBand(QRubberBand::Line, m_container);
    m_outline->setGeometry(outlineAt(QPoint(X, Y)));
    m_outline->raise();
    m_outline->show();
}

bool cSplitDDC::SplitterFormMouseUp(int X, int Y) {
    if (!m_dragging) return false;
    m_dragging = false;
    if (m_outline) m_outline->hide();
    if (!m_container) return true;
    m_container->releaseMouse();
    if (!m_split) return true;
    const QPoint place = clamped(QPoint(X, Y)) - QPoint(2, 2);
    QWidget* parent = m_split->parentWidget();
    const QPoint inParent =
        !parent || parent == m_container ? place : parent->mapFromGlobal(m_container->mapToGlobal(place));
    if (m_orientation == 2)
        m_split->move(m_split->x(), inParent.y());
    else
        m_split->move(inParent.x(), m_split->y());
    return true;
}
