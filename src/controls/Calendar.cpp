#include "controls/Calendar.h"

#include "platform/VbKeys.h"

#include <QKeyEvent>
#include <QPainter>

using namespace platform;

namespace {

const QDate kFirstDate(100, 1, 1);
const QDate kLastDate(9999, 12, 31);
constexpr OleColor kGrey = 0x808080;

// Fixed texts: the locale's short day names carry a full stop, and the title does not
// follow the user's locale.
const char* const kWeekdays[7] = {"lun", "mar", "mer", "jeu", "ven", "sam", "dim"};
const char* const kMonths[12] = {"janvier", "février", "mars",      "avril",   "mai",      "juin",
                                 "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};

// The month arrows' pictures.
constexpr QSize kNavSize(20, 15);

int daysIn(int year, int month) { return QDate(year, month, 1).daysInMonth(); }

}  // namespace

namespace CalendarParts {

// A month arrow: black, or grey while the calendar is disabled.
class NavArrow : public QWidget {
    Q_OBJECT
public:
    NavArrow(QWidget* parent, bool forward) : QWidget(parent), m_forward(forward) {
        setObjectName(forward ? QStringLiteral("imaNav1") : QStringLiteral("imaNav0"));
        setFixedSize(kNavSize);
        setToolTip(forward ? QStringLiteral("Clic gauche: avancer d'un mois. Clic droit: avancer d'une année")
                           : QStringLiteral("Clic gauche: reculer d'un mois. Clic droit: reculer d'une année"));
    }

signals:
    void pressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* e) override { emit pressed(e->button()); }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor ink = isEnabled() ? QColor(Qt::black) : oleColor(kGrey);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        const qreal cx = width() / 2.0, cy = height() / 2.0;
        const qreal tip = m_forward ? cx + 4 : cx - 4, back = m_forward ? cx - 3 : cx + 3;
        p.drawPolygon(QPolygonF({QPointF(tip, cy), QPointF(back, cy - 6), QPointF(back, cy + 6)}));
    }

private:
    bool m_forward;
};

}  // namespace CalendarParts

// --- the month ---------------------------------------------------------------------------

CalendarMonth::CalendarMonth(int year, int month) : m_year(year), m_month(month) {
    // Day 1 on a Monday goes to the second row, so that a day of the previous month shows.
    const int weekday = QDate(year, month, 1).dayOfWeek();  // Monday 1 .. Sunday 7
    m_first = weekday == 1 ? 7 : weekday - 1;
    m_days = daysIn(year, month);
    // December before January 100 is counted as a number, never formed as a date.
    m_daysBefore = month == 1 ? 31 : daysIn(year, month - 1);
}

int CalendarMonth::Day(int cell) const {
    if (cell < m_first) return m_daysBefore - (m_first - 1 - cell);
    if (cell <= LastIndex()) return cell - m_first + 1;
    return cell - LastIndex();
}

QString CalendarMonth::Title() const {
    return QString::fromUtf8(kMonths[m_month - 1]) + u' ' + QString::number(m_year);
}

// --- the control -------------------------------------------------------------------------

Calendar::Calendar(QWidget* parent)
    : QFrame(parent), m_value(QDate::currentDate()),
      m_nav{new CalendarParts::NavArrow(this, false), new CalendarParts::NavArrow(this, true)} {
    setFocusPolicy(Qt::StrongFocus);
    for (int i = 0; i < 2; ++i)
        connect(m_nav[i], &CalendarParts::NavArrow::pressed, this,
                [this, i](Qt::MouseButton b) { navigate(i == 0 ? -1 : 1, b); });
    applyFrame();
}

void Calendar::recolour(OleColor& colour, OleColor value) {
    colour = value;
    update();
}

OleColor Calendar::ForeColor() const { return m_foreColor; }
void Calendar::setForeColor(OleColor value) { recolour(m_foreColor, value); }
bool Calendar::Enabled() const { return isEnabled(); }
void Calendar::Refresh() { repaint(); }
OleColor Calendar::TitleBackColor() const { return m_titleBackColor; }
void Calendar::setTitleBackColor(OleColor value) { recolour(m_titleBackColor, value); }
OleColor Calendar::TitleForeColor() const { return m_titleForeColor; }
void Calendar::setTitleForeColor(OleColor value) { recolour(m_titleForeColor, value); }
int Calendar::BorderStyle() const { return m_borderStyle; }
void Calendar::setBorderStyle(int value) {
    m_borderStyle = value;
    applyFrame();
}
int Calendar::Appearance() const { return m_appearance; }
void Calendar::setAppearance(int value) {
    m_appearance = value;
    applyFrame();
}
OleColor Calendar::BackColor() const { return m_backColor; }
void Calendar::setBackColor(OleColor value) { recolour(m_backColor, value); }

QDate Calendar::Value() const { return m_value; }
void Calendar::setValue(const QDate& value) {
    if (!value.isValid() || value < kFirstDate || value > kLastDate) return;
    m_value = value;
    update();
    emit DateChange(false);
}

QRect Calendar::DayCellRect(int cell) const {
    return QRect(QPoint(m_parts.cellLeft + m_parts.pitch.width() * (cell % 7),
                        m_parts.daysTop + m_parts.pitch.height() * (cell / 7)),
                 m_parts.cellSize);
}

QRect Calendar::headerRect(int column) const {
    return QRect(QPoint(m_parts.cellLeft + m_parts.pitch.width() * column, m_parts.headerTop), m_parts.cellSize);
}

// A three-dimensional border is sunken and 2 pixels wide, a flat one a single line; the
// control keeps its size and its content shrinks, as with a window border.
void Calendar::applyFrame() {
    if (m_borderStyle == 0)
        setFrameStyle(QFrame::NoFrame);
    else if (m_appearance == 0)
        setFrameStyle(QFrame::Box | QFrame::Plain);
    else
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(m_borderStyle != 0 && m_appearance != 0 ? 2 : 1);
    layOut();
}

// The parts are sized from the font, so that every weekday name and day number fits its cell
// and the longest title its band, whatever the desktop's font and scale; the control's size
// follows, its border included.
void Calendar::layOut() {
    const QFontMetrics metrics(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics titleMetrics(bold);
    int widest = 0;
    for (const char* name : kWeekdays) widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(name)));
    for (int day = 10; day <= 31; ++day) widest = std::max(widest, metrics.horizontalAdvance(QString::number(day)));
    int title = 0;
    for (const char* name : kMonths)
        title = std::max(title, titleMetrics.horizontalAdvance(QString::fromUtf8(name) + QStringLiteral(" 0000")));

    const int pad = std::max(2, metrics.averageCharWidth() / 2);
    const int navRoom = 2 * pad + kNavSize.width();  // an arrow and its margins, on each side
    const int cellWidth = widest + 2 * pad;
    const int pitch = std::max(cellWidth + pad, (title + 2 * navRoom + 6) / 7);
    const int width = 7 * pitch;
    const int band = titleMetrics.height() + metrics.height();
    const int headerTop = band + 2;
    m_parts.cellLeft = (pitch - cellWidth) / 2;
    m_parts.cellSize = QSize(cellWidth, metrics.height() + 2);
    m_parts.pitch = QSize(pitch, metrics.height() + 4);
    m_parts.band = QRect(0, 0, width, band);
    m_parts.title = QRect(navRoom, (band - titleMetrics.height()) / 2, width - 2 * navRoom, titleMetrics.height());
    m_parts.headerTop = headerTop;
    m_parts.lineY = headerTop + metrics.height() + 1;
    m_parts.daysTop = m_parts.lineY + 3;
    const int height = m_parts.daysTop + 6 * m_parts.pitch.height() + 2;

    const int navTop = (band - kNavSize.height()) / 2;
    m_nav[0]->move(contentsRect().topLeft() + QPoint(pad, navTop));
    m_nav[1]->move(contentsRect().topLeft() + QPoint(width - pad - kNavSize.width(), navTop));
    const QMargins frame = contentsMargins() + QMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
    setFixedSize(width + frame.left() + frame.right(), height + frame.top() + frame.bottom());
    update();
}

void Calendar::changeEvent(QEvent* e) {
    QFrame::changeEvent(e);
    if (e->type() == QEvent::FontChange) layOut();
}

int Calendar::selectedIndex() const {
    return CalendarMonth(m_value.year(), m_value.month()).FirstIndex() + m_value.day() - 1;
}

// Moves the selection by days, months or years (a month or a year later keeps the day,
// at most the last day of the month); a move that leaves the date range does nothing.
void Calendar::MoveDate(Interval interval, int count) {
    const QDate moved = interval == Interval::Day     ? m_value.addDays(count)
                        : interval == Interval::Month ? m_value.addMonths(count)
                                                      : m_value.addYears(count);
    if (!moved.isValid() || moved < kFirstDate || moved > kLastDate) return;
    m_value = moved;
    update();
    emit DateChange(true);
}

void Calendar::navigate(int direction, Qt::MouseButton button) {
    if (!isEnabled()) return;
    MoveDate(button == Qt::LeftButton ? Interval::Month : Interval::Year, direction);
}

// --- mouse --------------------------------------------------------------------------------------

int Calendar::cellAt(QPoint inside) const {
    for (int i = 0; i < 42; ++i)
        if (DayCellRect(i).contains(inside)) return i;
    return -1;
}

// The control's own surface: what the day cells, the title and the weekday names leave.
bool Calendar::onSurface(QPoint inside) const {
    if (!QRect(QPoint(0, 0), contentsRect().size()).contains(inside) || cellAt(inside) >= 0 ||
        m_parts.title.contains(inside))
        return false;
    for (int c = 0; c < 7; ++c)
        if (headerRect(c).contains(inside)) return false;
    return true;
}

void Calendar::mousePressEvent(QMouseEvent* e) {
    // Shown as a drop-down, the calendar hears presses anywhere: one outside closes it.
    if (!rect().contains(e->position().toPoint())) return QFrame::mousePressEvent(e);
    const QPoint inside = e->position().toPoint() - contentsRect().topLeft();
    const bool left = e->button() == Qt::LeftButton;
    m_pressedCell = left ? cellAt(inside) : -1;
    m_pressedSurface = left && onSurface(inside);
}

// A day is chosen by a click: pressed and released on the same cell.
void Calendar::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint inside = e->position().toPoint() - contentsRect().topLeft();
    const int pressed = std::exchange(m_pressedCell, -1);
    const bool surface = std::exchange(m_pressedSurface, false);
    if (e->button() != Qt::LeftButton) return;
    if (pressed >= 0 && cellAt(inside) == pressed) {
        MoveDate(Interval::Day, pressed - selectedIndex());
        emit DateClick();
        emit Click();
    } else if (surface && onSurface(inside)) {
        emit Click();
    }
}

void Calendar::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint inside = e->position().toPoint() - contentsRect().topLeft();
    m_pressedCell = -1;
    m_pressedSurface = false;
    if (e->button() == Qt::LeftButton && onSurface(inside)) emit DblClick();
}

// --- keys ---------------------------------------------------------------------------------------

void Calendar::keyPressEvent(QKeyEvent* e) {
    const int code = keyCode(*e);
    const int shift = shiftState(e->modifiers());
    const auto page = [&](int direction) {
        if (shift == shift::Shift)
            MoveDate(Interval::Year, 10 * direction);
        else if (shift == shift::Ctrl)
            MoveDate(Interval::Year, direction);
        else
            MoveDate(Interval::Month, direction);
    };
    switch (code) {
    case key::Left: MoveDate(Interval::Day, -1); break;
    case key::Right: MoveDate(Interval::Day, 1); break;
    case key::Up: MoveDate(Interval::Day, -7); break;
    case key::Down: MoveDate(Interval::Day, 7); break;
    case key::PageUp: page(-1); break;
    case key::PageDown: page(1); break;
    case key::Home:
        m_value = QDate::currentDate();
        update();
        emit DateChange(true);
        break;
    default: break;
    }
    // Enter and Esc too are the calendar's while it has the focus.
    e->accept();
    emit KeyDown(code, shift);
    if (const int ascii = keyAscii(*e)) emit KeyPress(ascii);
}

void Calendar::keyReleaseEvent(QKeyEvent* e) {
    if (!e->isAutoRepeat()) emit KeyUp(keyCode(*e), shiftState(e->modifiers()));
}

// The title is underlined while the calendar has the focus.
void Calendar::focusInEvent(QFocusEvent* e) {
    QFrame::focusInEvent(e);
    update();
}
void Calendar::focusOutEvent(QFocusEvent* e) {
    QFrame::focusOutEvent(e);
    update();
}

// --- painting ------------------------------------------------------------------------------------

void Calendar::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRect content = contentsRect();
    p.setClipRect(content);
    p.translate(content.topLeft());
    p.fillRect(QRect(QPoint(0, 0), content.size()), oleColor(m_backColor));
    p.fillRect(m_parts.band, oleColor(m_titleBackColor));

    const CalendarMonth month(m_value.year(), m_value.month());
    QFont title = font();
    title.setBold(true);
    title.setUnderline(hasFocus());
    p.setFont(title);
    p.setPen(oleColor(m_titleForeColor));
    p.drawText(m_parts.title, Qt::AlignCenter, month.Title());

    p.setFont(font());
    p.setPen(oleColor(m_titleBackColor));
    const int align = Qt::AlignCenter;
    for (int c = 0; c < 7; ++c) p.drawText(headerRect(c), align, QString::fromLatin1(kWeekdays[c]));
    p.setPen(oleColor(m_foreColor));
    p.drawLine(m_parts.cellLeft, m_parts.lineY, m_parts.band.width() - m_parts.cellLeft, m_parts.lineY);

    const int selected = selectedIndex();
    for (int i = 0; i < 42; ++i) {
        const QRect cell = DayCellRect(i);
        OleColor ink = month.InMonth(i) ? m_foreColor : kGrey;
        if (i == selected) {
            p.fillRect(cell, oleColor(m_titleBackColor));
            ink = m_titleForeColor;
        }
        p.setPen(oleColor(ink));
        p.drawText(cell, align, QString::number(month.Day(i)));
    }
}

#include "Calendar.moc"
