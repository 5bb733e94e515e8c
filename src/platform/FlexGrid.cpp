#include "platform/FlexGrid.h"

#include "platform/Numbers.h"
#include "platform/Twips.h"
#include "platform/VbError.h"
#include "platform/VbKeys.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace platform {

namespace {

constexpr int kDefaultColWidth = 960;        // twips
constexpr int kMaxCells = 2'000'000;         // beyond that a count is a mistake, not a grid
constexpr int kTextMargin = 3;               // pixels between the text and the cell's edge
constexpr int kResizeGrip = 3;               // pixels either side of a column border
constexpr int kMinUserWidth = 8;             // a drag never hides a column: it could not be found again

// The box a cell's text is drawn in: inside the margins, the grid lines and a pixel above;
// and the pixels it leaves out across and down.
QRect textBox(const QRect& cell) { return cell.adjusted(kTextMargin, 1, -kTextMargin - 1, -2); }
constexpr int kTextRoomX = 2 * kTextMargin + 1, kTextRoomY = 3;

int textFlags(int alignment, bool number) {
    if (alignment == FlexGrid::AlignGeneral)
        alignment = number ? FlexGrid::AlignRightCenter : FlexGrid::AlignLeftCenter;
    static constexpr std::array<int, 3> horizontal{Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr std::array<int, 3> vertical{Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[size_t(alignment / 3)] | vertical[size_t(alignment % 3)];
}

}  // namespace

// One direction of the grid, its rows or its columns: the same geometry serves both.
// Scroll bars count whole rows (columns): their value is the number scrolled past the fixed ones.
struct FlexGrid::Axis {
    const FlexGrid& g;
    bool rows;

    int count() const { return rows ? g.Rows() : g.Cols(); }
    int fixed() const { return rows ? g.m_fixedRows : g.m_fixedCols; }
    int px(int i) const { return rows ? g.rowPx(i) : g.colPx(i); }
    QScrollBar* bar() const { return rows ? g.verticalScrollBar() : g.horizontalScrollBar(); }
    int extent() const { return rows ? g.viewport()->height() : g.viewport()->width(); }
    int first() const { return std::min(fixed() + bar()->value(), std::max(count() - 1, fixed())); }

    int fixedPx() const {
        int size = 0;
        for (int i = 0; i < fixed(); ++i) size += px(i);
        return size;
    }

    // Viewport position of an index; negative for what is scrolled out before the view.
    int pos(int index) const {
        if (index < fixed()) {
            int at = 0;
            for (int i = 0; i < index; ++i) at += px(i);
            return at;
        }
        int at = fixedPx();
        const int start = first();
        for (int i = start; i < index; ++i) at += px(i);
        for (int i = index; i < start; ++i) at -= px(i);
        return at;
    }

    // The viewport pixels [from, to) that the indexes lo..hi cover, from >= to when none
    // shows. The walk stops at the edge of the view: a far row costs no more than a near one.
    std::pair<int, int> cover(int lo, int hi) const {
        const int limit = extent();
        int from = limit, to = 0, at = 0;
        const auto take = [&](int i) {
            if (i >= lo && i <= hi && px(i) > 0) from = std::min(from, at), to = std::max(to, at + px(i));
            at += px(i);
        };
        for (int i = 0; i < fixed() && at < limit; ++i) take(i);
        at = fixedPx();
        for (int i = first(); i < count() && i <= hi && at < limit; ++i) take(i);
        return {from, std::min(to, limit)};
    }

    // The shown indexes in view, fixed ones first.
    std::vector<Band> visible() const {
        std::vector<Band> out;
        const int limit = extent();
        int at = 0;
        const auto add = [&](int i) {
            if (const int size = px(i); size > 0) out.push_back({i, at, size}), at += size;
        };
        for (int i = 0; i < fixed() && at < limit; ++i) add(i);
        for (int i = first(); i < count() && at < limit; ++i) add(i);
        return out;
    }

    int at(int p) const {
        for (const Band& b : visible())
            if (p >= b.pos && p < b.pos + b.size) return b.index;
        return -1;
    }

    // The next shown index of the body from `from`, going by step; `from` when there is none.
    int next(int from, int step) const {
        for (int i = from + step; i >= fixed() && i < count(); i += step)
            if (px(i) > 0) return i;
        return from;
    }

    int lastFullyVisible() const {
        const int room = extent() - fixedPx();
        int used = 0, last = first();
        for (int i = first(); i < count() && (used += px(i)) <= room; ++i) last = i;
        return last;
    }

    // The first index of the view that shows index at its far end (or as near as it goes).
    int startShowingLast(int index) const {
        const int room = extent() - fixedPx();
        int start = index, used = px(index);
        while (start - 1 >= fixed() && used + px(start - 1) <= room) used += px(--start);
        return start;
    }

    void updateBar() const {
        const int last = count() > fixed() ? startShowingLast(count() - 1) : fixed();
        bar()->setRange(0, last - fixed());
        bar()->setPageStep(std::max(1, count() - last));
    }

    // Scrolls an index of the body in: to the start of the view when it lies before it, to
    // the end when it lies after it.
    void bringIn(int index) const {
        if (index < fixed() || index >= count()) return;
        if (index < first()) bar()->setValue(index - fixed());
        else if (index > lastFullyVisible()) bar()->setValue(startShowingLast(index) - fixed());
    }
};

FlexGrid::Axis FlexGrid::rowAxis() const { return {*this, true}; }
FlexGrid::Axis FlexGrid::colAxis() const { return {*this, false}; }

// One paint of the viewport: the colours it resolved and the regions it clips to.
class FlexGrid::Painter {
public:
    Painter(FlexGrid& grid, QPaintEvent* event)
        : g(grid), p(grid.viewport()), fm(grid.fontMetrics()), lineSpacing(fm.lineSpacing()),
          damaged(event->region()), damagedBounds(event->rect()) {
        const QSize vp = g.viewport()->size();
        fw = std::min(g.colAxis().fixedPx(), vp.width());
        fh = std::min(g.rowAxis().fixedPx(), vp.height());
        w = vp.width();
        h = vp.height();
        p.fillRect(event->rect(), color(g.m_backColor));  // beyond the last row and column
        fixedFill = color(g.m_backColorFixed);
        // The fixed colour is what tells read-only cells apart: never let a theme make it
        // look like the normal background.
        if (g.m_backColorFixed != g.m_backColor && fixedFill == color(g.m_backColor))
            fixedFill = fixedFill.darker(112);
        light = color(sys::Highlight3D);
        dark = color(sys::ButtonShadow);
        lines = color(g.m_gridColor);
    }

    void run() {
        const auto rows = g.rowAxis().visible();
        const auto cols = g.colAxis().visible();
        const auto splitRows = std::find_if(rows.begin(), rows.end(),
                                            [&](const Band& b) { return b.index >= g.m_fixedRows; });
        const auto splitCols = std::find_if(cols.begin(), cols.end(),
                                            [&](const Band& b) { return b.index >= g.m_fixedCols; });
        const std::vector<Band> fixedRows(rows.begin(), splitRows), scrollRows(splitRows, rows.end());
        const std::vector<Band> fixedCols(cols.begin(), splitCols), scrollCols(splitCols, cols.end());
        region(regionRect(false, false), scrollRows, scrollCols, g.m_fixedCols);
        region(regionRect(false, true), scrollRows, fixedCols, 0);
        region(regionRect(true, false), fixedRows, scrollCols, g.m_fixedCols);
        region(regionRect(true, true), fixedRows, fixedCols, 0);
        focusFrame(rows, cols);
    }

private:
    QRect regionRect(bool fixedRow, bool fixedCol) const {
        return QRect(QPoint(fixedCol ? 0 : fw, fixedRow ? 0 : fh),
                     QPoint((fixedCol ? fw : w) - 1, (fixedRow ? fh : h) - 1));
    }

    QColor color(OleColor c) {
        if (!isSystemColor(c)) return oleColor(c);
        const size_t index = c & 0xFF;
        if (index >= system.size()) return oleColor(c);
        if (!system[index]) system[index] = oleColor(c);
        return *system[index];
    }

    void region(const QRect& clip, const std::vector<Band>& rows, const std::vector<Band>& cols, int firstCol) {
        if (clip.isEmpty() || rows.empty() || cols.empty() || !clip.intersects(damagedBounds)) return;
        p.setClipRect(clip);
        for (const Band& rb : rows) {
            // Only what the damaged area covers is laid out and drawn.
            if (rb.pos >= damagedBounds.bottom() + 1 || rb.pos + rb.size <= damagedBounds.top()) continue;
            const int r = rb.index;
            const bool merging = g.m_mergeCells && g.m_rows[size_t(r)].merge;
            for (size_t i = 0; i < cols.size(); ++i) {
                const Band& cb = cols[i];
                QRect rect(cb.pos, rb.pos, cb.size, rb.size);
                int first = cb.index;
                const QString& text = g.cell(r, first).text;
                if (merging && !text.isEmpty()) {
                    // A run may begin left of the view and end right of it; it is drawn once,
                    // with the formatting of its first cell.
                    const int last = g.mergedRunEnd(r, first);
                    int left = cb.pos, right = cb.pos + cb.size;
                    while (first > firstCol && g.cell(r, first - 1).text == text) left -= g.colPx(--first);
                    for (int c = cb.index + 1; c <= last; ++c) right += g.colPx(c);
                    rect = QRect(left, rb.pos, right - left, rb.size);
                    while (i + 1 < cols.size() && cols[i + 1].index <= last) ++i;
                }
                if (!damaged.intersects(rect)) continue;
                cell(r, first, rect);
            }
        }
    }

    void cell(int r, int c, const QRect& rect) {
        const Cell& k = g.cell(r, c);
        const bool fixed = g.isFixed(r, c);
        const bool current = r == g.m_row && c == g.m_col;
        const bool selected = !fixed && !current
            && r >= std::min(g.m_row, g.m_rowSel) && r <= std::max(g.m_row, g.m_rowSel)
            && c >= std::min(g.m_col, g.m_colSel) && c <= std::max(g.m_col, g.m_colSel);

        OleColor back = k.back != kNoColor ? k.back : fixed ? g.m_backColorFixed : g.m_backColor;
        OleColor fore = k.fore != kNoColor ? k.fore : fixed ? g.m_foreColorFixed : g.m_foreColor;
        if (selected) {
            back = g.m_backColorSel;
            fore = g.m_foreColorSel;
        }
        p.fillRect(rect, back == g.m_backColorFixed ? fixedFill : color(back));

        if (!k.text.isEmpty()) {
            const QRect box = textBox(rect);
            // What the text's layout needs is measured once, until the text or the font changes.
            if (k.advance < 0) {
                k.advance = fm.horizontalAdvance(k.text);
                k.number = numbers::parse(k.text).has_value();
            }
            int flags = textFlags(k.alignment < 0 ? int(AlignGeneral) : int(k.alignment), k.number);
            if (k.advance > box.width()) {
                // A row made tall enough for two lines (a heading) wraps what does not fit;
                // what still overflows shows its beginning rather than its middle, across
                // and down.
                if (box.height() >= 2 * lineSpacing) flags |= Qt::TextWordWrap;
                const QRect needed = fm.boundingRect(box, flags, k.text);
                if (needed.width() > box.width()) flags = (flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
                if (needed.height() > box.height()) flags = (flags & ~Qt::AlignVertical_Mask) | Qt::AlignTop;
            }
            p.setPen(color(fore));
            p.drawText(box, flags, k.text);
        }

        if (fixed) {
            // Raised edge: light above and on the left, shadow below and on the right.
            p.setPen(light);
            p.drawLine(rect.topLeft(), rect.topRight());
            p.drawLine(rect.topLeft(), rect.bottomLeft());
            p.setPen(dark);
        } else {
            p.setPen(lines);
        }
        p.drawLine(rect.topRight(), rect.bottomRight());
        p.drawLine(rect.bottomLeft(), rect.bottomRight());
    }

    void focusFrame(const std::vector<Band>& rows, const std::vector<Band>& cols) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const Band& b) { return b.index == g.m_row; });
        const auto col = std::find_if(cols.begin(), cols.end(), [&](const Band& b) { return b.index == g.m_col; });
        if (row == rows.end() || col == cols.end()) return;  // out of view (or hidden)
        const QRect rect(col->pos, row->pos, col->size, row->size);
        p.setClipRect(regionRect(g.m_row < g.m_fixedRows, g.m_col < g.m_fixedCols));
        p.setBrush(Qt::NoBrush);
        if (g.hasFocus()) {
            p.setPen(QPen(color(sys::WindowText), 2));
            p.drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
        } else {
            p.setPen(QPen(color(sys::WindowText), 1, Qt::DotLine));
            p.drawRect(rect.adjusted(1, 1, -2, -2));
        }
    }

    FlexGrid& g;
    QPainter p;
    const QFontMetrics fm;
    const int lineSpacing;
    const QRegion damaged;
    const QRect damagedBounds;
    std::array<std::optional<QColor>, 0x19> system;
    QColor fixedFill, light, dark, lines;
    int fw, fh, w, h;
};

FlexGrid::FlexGrid(QWidget* parent)
    : QAbstractScrollArea(parent),
      m_backColor(sys::WindowBackground),
      m_foreColor(sys::WindowText),
      m_backColorFixed(sys::ButtonFace),
      m_foreColorFixed(sys::ButtonText),
      m_backColorSel(sys::Highlight),
      m_foreColorSel(sys::HighlightText),
      m_gridColor(rgb(192, 192, 192)) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    m_defaultRowHeight = fontMetrics().height() + 4;
    // The shape of a new grid: one fixed row and column around one cell.
    setCols(2);
    setRows(2);
    setFixedRows(1);
    setFixedCols(1);
}

FlexGrid::~FlexGrid() = default;

// ---- validation ------------------------------------------------------------------------

void FlexGrid::fail(int number, const QString& description) const {
    throw VbError(number, objectName().isEmpty() ? QStringLiteral("FlexGrid") : objectName(), description);
}

void FlexGrid::checkRow(int row) const {
    if (row < 0 || row >= Rows()) fail(kErrOutOfRange, QStringLiteral("Numéro de ligne non valide."));
}

void FlexGrid::checkCol(int col) const {
    if (col < 0 || col >= Cols()) fail(kErrOutOfRange, QStringLiteral("Numéro de colonne non valide."));
}

bool FlexGrid::Holds(qint64 rows, qint64 cols) {
    return rows >= 0 && cols >= 0 && rows <= kMaxCells && cols <= kMaxCells
        && std::max<qint64>(rows, 1) * std::max<qint64>(cols, 1) <= kMaxCells;
}

void FlexGrid::checkCount(int rows, int cols) const {
    if (!Holds(rows, cols))
        fail(kErrInvalidValue, QStringLiteral("Nombre de lignes ou de colonnes non valide."));
}

void FlexGrid::checkColor(OleColor color) const {
    const bool valid = isSystemColor(color) ? (color & 0x7FFFFF00u) == 0 && (color & 0xFF) <= 0x18
                                            : color <= 0x00FFFFFFu;
    if (!valid) fail(kErrInvalidValue, QStringLiteral("Couleur non valide."));
}

template <typename F> void FlexGrid::forEachSelected(F&& f) {
    if (Rows() == 0 || Cols() == 0) return;
    for (int r = std::min(m_row, m_rowSel); r <= std::max(m_row, m_rowSel); ++r)
        for (int c = std::min(m_col, m_colSel); c <= std::max(m_col, m_colSel); ++c)
            f(cell(r, c));
    updateCells(m_row, m_col, m_rowSel, m_colSel);
}

// ---- counts ----------------------------------------------------------------------------

void FlexGrid::setRows(int rows) {
    checkCount(rows, Cols());
    m_rows.resize(size_t(rows));
    for (RowInfo& info : m_rows)
        if (info.cells.size() != m_cols.size()) info.cells.resize(m_cols.size(), Cell{});
    m_fixedRows = std::min(m_fixedRows, rows);
    structureChanged();
}

void FlexGrid::setCols(int cols) {
    checkCount(Rows(), cols);
    m_cols.resize(size_t(cols), ColInfo{kDefaultColWidth, 0});
    for (RowInfo& info : m_rows) info.cells.resize(size_t(cols), Cell{});
    m_fixedCols = std::min(m_fixedCols, cols);
    structureChanged();
}

void FlexGrid::setFixedRows(int rows) {
    if (rows < 0 || rows > Rows())
        fail(kErrInvalidValue, QStringLiteral("Nombre de lignes fixes non valide."));
    m_fixedRows = rows;
    // The current cell never stays under new headings while a cell of the body exists.
    if (m_row < rows && Rows() > rows) {
        m_row = m_rowSel = rows;
        m_colSel = m_col;
    }
    structureChanged();
}

void FlexGrid::setFixedCols(int cols) {
    if (cols < 0 || cols > Cols())
        fail(kErrInvalidValue, QStringLiteral("Nombre de colonnes fixes non valide."));
    m_fixedCols = cols;
    if (m_col < cols && Cols() > cols) {
        m_col = m_colSel = cols;
        m_rowSel = m_row;
    }
    structureChanged();
}

void FlexGrid::clampCurrentCell() {
    const int lastRow = std::max(Rows() - 1, 0), lastCol = std::max(Cols() - 1, 0);
    m_row = std::clamp(m_row, 0, lastRow);
    m_rowSel = std::clamp(m_rowSel, 0, lastRow);
    m_col = std::clamp(m_col, 0, lastCol);
    m_colSel = std::clamp(m_colSel, 0, lastCol);
}

void FlexGrid::structureChanged() {
    clampCurrentCell();
    updateScrollBars();
    updateAll();
}

// ---- current cell and selection --------------------------------------------------------

void FlexGrid::setRow(int row) {
    checkRow(row);
    if (row != m_row) {
        emit LeaveCell();
    }
    const Selection before = selection();
    if (row < Rows()) m_row = row;  // the handler may have shrunk the grid
    m_rowSel = m_row;
    m_colSel = m_col;
    selectionChanged(before);
}

void FlexGrid::setCol(int col) {
    checkCol(col);
    if (col != m_col) {
        emit LeaveCell();
    }
    const Selection before = selection();
    if (col < Cols()) m_col = col;
    m_rowSel = m_row;
    m_colSel = m_col;
    selectionChanged(before);
}

void FlexGrid::setRowSel(int row) {
    checkRow(row);
    const Selection before = selection();
    m_rowSel = row;
    selectionChanged(before);
}

void FlexGrid::setColSel(int col) {
    checkCol(col);
    const Selection before = selection();
    m_colSel = col;
    selectionChanged(before);
}

// ---- contents --------------------------------------------------------------------------

QString FlexGrid::Text() const {
    if (Rows() == 0 || Cols() == 0) return {};
    return cell(m_row, m_col).text;
}

void FlexGrid::setText(const QString& text) {
    if (Rows() == 0 || Cols() == 0) fail(kErrOutOfRange, QStringLiteral("La grille n'a aucune cellule."));
    setCellText(m_row, m_col, text);
}

QString FlexGrid::TextMatrix(int row, int col) const {
    checkRow(row);
    checkCol(col);
    return cell(row, col).text;
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    checkRow(row);
    checkCol(col);
    setCellText(row, col, text);
}

void FlexGrid::setCellText(int row, int col, const QString& text) {
    QString& shown = cell(row, col).text;
    // Averages are set again after every grade, mostly to what they were.
    if (shown == text) return;
    shown = text;
    cell(row, col).advance = -1;
    updateCells(row, col, row, col);
}

void FlexGrid::AddItem(const QString& text) {
    checkCount(Rows() + 1, Cols());
    RowInfo& info = m_rows.emplace_back();
    info.cells.resize(m_cols.size(), Cell{});
    if (!info.cells.empty()) info.cells.front().text = text;
    structureChanged();
}

void FlexGrid::RemoveItem(int row) {
    checkRow(row);
    if (row < m_fixedRows) fail(kErrInvalidValue, QStringLiteral("Une ligne fixe ne peut pas être supprimée."));
    m_rows.erase(m_rows.begin() + row);
    if (m_row > row) --m_row;
    m_rowSel = m_row;
    m_colSel = m_col;
    structureChanged();
}

void FlexGrid::Clear() {
    for (RowInfo& info : m_rows)
        for (Cell& k : info.cells) k = Cell{};
    updateAll();
}

qint32 FlexGrid::RowData(int row) const {
    checkRow(row);
    return m_rows[size_t(row)].data;
}

void FlexGrid::setRowData(int row, qint32 value) {
    checkRow(row);
    m_rows[size_t(row)].data = value;
}

qint32 FlexGrid::ColData(int col) const {
    checkCol(col);
    return m_cols[size_t(col)].data;
}

void FlexGrid::setColData(int col, qint32 value) {
    checkCol(col);
    m_cols[size_t(col)].data = value;
}

int FlexGrid::ColWidth(int col) const {
    checkCol(col);
    return m_cols[size_t(col)].width;
}

void FlexGrid::setColWidth(int col, int twips) {
    checkCol(col);
    if (twips < 0) fail(kErrInvalidValue, QStringLiteral("Largeur de colonne non valide."));
    m_cols[size_t(col)].width = twips;
    updateScrollBars();
    updateAll();
}

int FlexGrid::RowHeight(int row) const {
    checkRow(row);
    const int h = m_rows[size_t(row)].height;
    return h < 0 ? layoutTwipsY(m_defaultRowHeight) : h;
}

void FlexGrid::setRowHeight(int row, int twips) {
    checkRow(row);
    if (twips < 0) fail(kErrInvalidValue, QStringLiteral("Hauteur de ligne non valide."));
    m_rows[size_t(row)].height = twips;
    updateScrollBars();
    updateAll();
}

int FlexGrid::mergedRunEnd(int row, int col) const {
    const int last = col < m_fixedCols ? m_fixedCols - 1 : Cols() - 1;
    const QString& text = cell(row, col).text;
    int end = col;
    if (m_mergeCells && m_rows[size_t(row)].merge && !text.isEmpty())
        while (end < last && cell(row, end + 1).text == text) ++end;
    return end;
}

// Measured to the fraction of a pixel and rounded up, as the text is laid out when drawn.
int FlexGrid::NeededWidth(const QString& text, int lines, int minimum) const {
    const QFontMetricsF fm(font());
    const int room = std::max(0, layoutX(minimum) - kTextRoomX - 1);
    const int oneLine = int(std::ceil(fm.horizontalAdvance(text)));
    if (oneLine <= room) return minimum;
    // The narrowest width at which the wrapped text keeps within its lines, no word reaching
    // past the edge; at least the minimum's room, which is tried first.
    const auto fits = [&](int width) {
        const QRectF need = fm.boundingRect(QRectF(0, 0, width, 1 << 20), Qt::TextWordWrap, text);
        return need.width() <= width && qRound(need.height() / fm.lineSpacing()) <= lines;
    };
    if (lines <= 1) return layoutTwipsX(oneLine + kTextRoomX + 1);
    if (room > 0 && fits(room)) return minimum;
    int lo = std::max(room + 1, oneLine / lines), px = oneLine;
    while (lo < px) {
        const int mid = (lo + px) / 2;
        if (fits(mid)) px = mid;
        else lo = mid + 1;
    }
    return std::max(minimum, layoutTwipsX(px + kTextRoomX + 1));
}

int FlexGrid::NeededHeight(int row) const {
    checkRow(row);
    const QFontMetricsF fm(font());
    // A cell wraps only once its text has two lines' height.
    const int twoLines = 2 * fontMetrics().lineSpacing();
    int px = m_defaultRowHeight;
    for (int c = 0; c < Cols(); ++c) {
        const QString& text = cell(row, c).text;
        const int last = mergedRunEnd(row, c);
        int width = 0;
        for (int i = c; i <= last; ++i) width += colPx(i);
        c = last;
        const int room = width - kTextRoomX;
        if (text.isEmpty() || room <= 0 || fm.horizontalAdvance(text) <= room) continue;
        const QRectF need = fm.boundingRect(QRectF(0, 0, room, 1 << 20), Qt::TextWordWrap, text);
        px = std::max(px, std::max(int(std::ceil(need.height())), twoLines) + kTextRoomY);
    }
    return layoutTwipsY(px);
}

// ---- formatting ------------------------------------------------------------------------

OleColor FlexGrid::CellBackColor() const {
    if (Rows() == 0 || Cols() == 0) return m_backColor;
    const Cell& k = cell(m_row, m_col);
    if (k.back != kNoColor) return k.back;
    return isFixed(m_row, m_col) ? m_backColorFixed : m_backColor;
}

void FlexGrid::setCellBackColor(OleColor color) {
    checkColor(color);
    forEachSelected([color](Cell& k) { k.back = color; });
}

OleColor FlexGrid::CellForeColor() const {
    if (Rows() == 0 || Cols() == 0) return m_foreColor;
    const Cell& k = cell(m_row, m_col);
    if (k.fore != kNoColor) return k.fore;
    return isFixed(m_row, m_col) ? m_foreColorFixed : m_foreColor;
}

void FlexGrid::setCellForeColor(OleColor color) {
    checkColor(color);
    forEachSelected([color](Cell& k) { k.fore = color; });
}

int FlexGrid::CellAlignment() const {
    if (Rows() == 0 || Cols() == 0) return AlignGeneral;
    const int a = cell(m_row, m_col).alignment;
    return a < 0 ? AlignGeneral : a;
}

void FlexGrid::setCellAlignment(int alignment) {
    if (alignment < AlignLeftTop || alignment > AlignGeneral)
        fail(kErrInvalidValue, QStringLiteral("Alignement non valide."));
    forEachSelected([alignment](Cell& k) { k.alignment = qint8(alignment); });
}

void FlexGrid::setColor(OleColor& member, OleColor color) {
    checkColor(color);
    member = color;
    updateAll();
}

void FlexGrid::setBackColor(OleColor color) { setColor(m_backColor, color); }
void FlexGrid::setBackColorFixed(OleColor color) { setColor(m_backColorFixed, color); }
void FlexGrid::setForeColorFixed(OleColor color) { setColor(m_foreColorFixed, color); }
void FlexGrid::setBackColorSel(OleColor color) { setColor(m_backColorSel, color); }
void FlexGrid::setForeColorSel(OleColor color) { setColor(m_foreColorSel, color); }

bool FlexGrid::MergeRow(int row) const {
    checkRow(row);
    return m_rows[size_t(row)].merge;
}

void FlexGrid::setMergeRow(int row, bool merge) {
    checkRow(row);
    m_rows[size_t(row)].merge = merge;
    updateAll();
}

void FlexGrid::setMergeCells(bool merge) {
    m_mergeCells = merge;
    updateAll();
}

// ---- geometry --------------------------------------------------------------------------

int FlexGrid::colPx(int col) const { return layoutX(m_cols[size_t(col)].width); }

int FlexGrid::rowPx(int row) const {
    const int h = m_rows[size_t(row)].height;
    return h < 0 ? m_defaultRowHeight : layoutY(h);
}

void FlexGrid::updateScrollBars() {
    if (m_updatingScrollBars) return;
    m_updatingScrollBars = true;
    rowAxis().updateBar();
    colAxis().updateBar();
    m_updatingScrollBars = false;
}

void FlexGrid::ensureVisible(int row, int col) {
    rowAxis().bringIn(row);
    colAxis().bringIn(col);
}

int FlexGrid::CellLeft() {
    if (Rows() == 0 || Cols() == 0) return 0;
    ensureVisible(m_row, m_col);
    return layoutTwipsX(viewport()->pos().x() + colAxis().pos(m_col));
}

int FlexGrid::CellTop() {
    if (Rows() == 0 || Cols() == 0) return 0;
    ensureVisible(m_row, m_col);
    return layoutTwipsY(viewport()->pos().y() + rowAxis().pos(m_row));
}

int FlexGrid::CellWidth() {
    if (Rows() == 0 || Cols() == 0) return 0;
    ensureVisible(m_row, m_col);
    return layoutTwipsX(colPx(m_col));
}

int FlexGrid::CellHeight() {
    if (Rows() == 0 || Cols() == 0) return 0;
    ensureVisible(m_row, m_col);
    return layoutTwipsY(rowPx(m_row));
}

int FlexGrid::Left() const { return layoutTwipsX(x()); }
int FlexGrid::Top() const { return layoutTwipsY(y()); }
int FlexGrid::Width() const { return layoutTwipsX(width()); }
int FlexGrid::Height() const { return layoutTwipsY(height()); }
void FlexGrid::SetFocus() { setFocus(Qt::OtherFocusReason); }

// ---- painting and widget events --------------------------------------------------------

void FlexGrid::paintEvent(QPaintEvent* event) {
    m_allDirty = false;
    Painter(*this, event).run();
}

void FlexGrid::updateAll() {
    // Until it is painted, the cells need not be updated one by one.
    if (isVisible() && viewport()->updatesEnabled()) m_allDirty = true;
    viewport()->update();
}

void FlexGrid::updateCells(int row1, int col1, int row2, int col2) {
    if (m_allDirty || !isVisible() || !viewport()->updatesEnabled() || Rows() == 0 || Cols() == 0) return;
    const int top = std::min(row1, row2), bottom = std::max(row1, row2);
    int left = std::min(col1, col2), right = std::max(col1, col2);
    if (m_mergeCells)
        for (int r = top; r <= bottom; ++r)
            if (m_rows[size_t(r)].merge) {
                // A run of equal texts may now begin or end elsewhere in the row.
                left = 0;
                right = Cols() - 1;
                break;
            }
    const auto [y0, y1] = rowAxis().cover(top, bottom);
    if (y0 >= y1) return;
    const auto [x0, x1] = colAxis().cover(left, right);
    if (x0 >= x1) return;
    viewport()->update(QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)));
}

FlexGrid::Selection FlexGrid::selection() const { return {m_row, m_col, m_rowSel, m_colSel}; }

void FlexGrid::selectionChanged(const Selection& before) {
    const Selection now = selection();
    if (before.row == now.row && before.col == now.col && before.rowSel == now.rowSel && before.colSel == now.colSel)
        return;
    updateCells(before.row, before.col, before.rowSel, before.colSel);
    updateCells(now.row, now.col, now.rowSel, now.colSel);
}

void FlexGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void FlexGrid::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        for (RowInfo& info : m_rows)
            for (Cell& k : info.cells) k.advance = -1;
        m_defaultRowHeight = fontMetrics().height() + 4;
        updateScrollBars();
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        updateAll();
}

void FlexGrid::scrollContentsBy(int, int) { updateAll(); }

bool FlexGrid::viewportEvent(QEvent* event) {
    // An editor shown or hidden over a cell asks the viewport for a new layout, which lays
    // the scroll bars out again and repaints them and the window under them. Nothing of
    // the grid's layout depends on the viewport's children.
    if (event->type() == QEvent::LayoutRequest) return true;
    return QAbstractScrollArea::viewportEvent(event);
}

// The base classes would repaint the whole widget, scroll bars and the window under them
// included, at each focus change: only the focus frame of the current cell changes.
void FlexGrid::focusInEvent(QFocusEvent* event) {
    event->accept();
    updateCells(m_row, m_col, m_row, m_col);
    emit GotFocus();
}

void FlexGrid::focusOutEvent(QFocusEvent* event) {
    event->accept();
    updateCells(m_row, m_col, m_row, m_col);
}

// ---- user actions ----------------------------------------------------------------------

void FlexGrid::moveCurrent(int row, int col) {
    if (row != m_row || col != m_col) {
        emit LeaveCell();
        if (row >= Rows() || col >= Cols()) return;  // the handler changed the grid
    }
    const Selection before = selection();
    m_row = row;
    m_col = col;
    m_rowSel = m_row;
    m_colSel = m_col;
    ensureVisible(m_row, m_col);
    selectionChanged(before);
}

void FlexGrid::extendSelection(int row, int col) {
    const Selection before = selection();
    m_rowSel = row;
    m_colSel = col;
    ensureVisible(row, col);
    selectionChanged(before);
}

bool FlexGrid::navigate(int code, int shift) {
    switch (code) {
    case key::Up: case key::Down: case key::Left: case key::Right:
    case key::PageUp: case key::PageDown: case key::Home: case key::End: break;
    default: return false;
    }
    if (Rows() <= m_fixedRows || Cols() <= m_fixedCols) return true;
    const bool ctrl = shift & shift::Ctrl, extend = shift & shift::Shift;
    int r = std::max(extend ? m_rowSel : m_row, m_fixedRows);
    int c = std::max(extend ? m_colSel : m_col, m_fixedCols);
    const Axis rows = rowAxis(), cols = colAxis();
    const int firstRow = rows.next(m_fixedRows - 1, 1), lastRow = rows.next(Rows(), -1);
    const int firstCol = cols.next(m_fixedCols - 1, 1), lastCol = cols.next(Cols(), -1);
    const auto page = [&](int step) {
        const int count = std::max(1, rows.lastFullyVisible() - rows.first());
        for (int i = 0; i < count; ++i) r = rows.next(r, step);
    };
    switch (code) {
    case key::Up: r = ctrl ? firstRow : rows.next(r, -1); break;
    case key::Down: r = ctrl ? lastRow : rows.next(r, 1); break;
    case key::Left: c = ctrl ? firstCol : cols.next(c, -1); break;
    case key::Right: c = ctrl ? lastCol : cols.next(c, 1); break;
    case key::PageUp: ctrl ? void(r = firstRow) : page(-1); break;
    case key::PageDown: ctrl ? void(r = lastRow) : page(1); break;
    case key::Home: c = firstCol; if (ctrl) r = firstRow; break;
    case key::End: c = lastCol; if (ctrl) r = lastRow; break;
    }
    // Every row (column) of the body may be hidden: then there is nowhere to go.
    if (r < m_fixedRows || r >= Rows() || c < m_fixedCols || c >= Cols()) return true;
    if (extend) extendSelection(r, c);
    else moveCurrent(r, c);
    return true;
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    bool used = false;
    if (int code = keyCode(*event)) {
        emit KeyDown(code, shiftState(event->modifiers()));
        used = code == 0 || navigate(code, shiftState(event->modifiers()));
    }
    if (int ascii = keyAscii(*event)) {
        emit KeyPress(ascii);
        used = used || ascii == 0;
    }
    // What neither the grid nor its owner took goes on to the window (Esc to a dialog).
    event->setAccepted(used);
}

int FlexGrid::resizeHandleAt(const QPoint& pos) const {
    if (pos.y() < 0 || pos.y() >= std::min(rowAxis().fixedPx(), viewport()->height())) return -1;
    int best = -1, distance = kResizeGrip + 1;
    for (const Band& b : colAxis().visible()) {
        if (const int d = std::abs(pos.x() - (b.pos + b.size - 1)); d < distance) {
            best = b.index;
            distance = d;
        }
    }
    return best;
}

void FlexGrid::pressAt(const QPoint& pos, bool extend) {
    const int r = rowAxis().at(pos.y()), c = colAxis().at(pos.x());
    if (r < 0 || c < 0 || isFixed(r, c)) return;
    if (extend) extendSelection(r, c);
    else moveCurrent(r, c);
    m_drag = Drag::Select;
}

void FlexGrid::dragTo(const QPoint& pos) {
    if (Rows() <= m_fixedRows || Cols() <= m_fixedCols) return;
    // Past an edge of the body the selection grows by one row (column) and the grid scrolls.
    const auto target = [](const Axis& a, int p) {
        if (p < a.fixedPx()) return a.next(a.first(), -1);
        if (p >= a.extent()) return a.next(a.lastFullyVisible(), 1);
        const int i = a.at(p);
        return i >= 0 ? i : a.next(a.count(), -1);
    };
    const int r = std::clamp(target(rowAxis(), pos.y()), m_fixedRows, Rows() - 1);
    const int c = std::clamp(target(colAxis(), pos.x()), m_fixedCols, Cols() - 1);
    if (r != m_rowSel || c != m_colSel) extendSelection(r, c);
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    m_swallowClick = false;
    if (const int col = resizeHandleAt(pos); col >= 0) {
        m_drag = Drag::Resize;
        m_resizeCol = col;
        return;
    }
    pressAt(pos, event->modifiers().testFlag(Qt::ShiftModifier));
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_drag == Drag::Resize) {
        setColWidth(m_resizeCol, layoutTwipsX(std::max(kMinUserWidth, pos.x() - colAxis().pos(m_resizeCol) + 1)));
    } else if (m_drag == Drag::Select) {
        dragTo(pos);
    } else if (resizeHandleAt(pos) >= 0) {
        viewport()->setCursor(Qt::SplitHCursor);
    } else {
        viewport()->unsetCursor();
    }
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_drag = Drag::None;
    if (!m_swallowClick) emit Click();
    m_swallowClick = false;
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_swallowClick = true;
    const QPoint pos = event->position().toPoint();
    if (resizeHandleAt(pos) >= 0) return;
    const int r = rowAxis().at(pos.y()), c = colAxis().at(pos.x());
    // A double click on a heading must not act on the current cell somewhere else.
    if (r < 0 || c < 0 || isFixed(r, c)) return;
    moveCurrent(r, c);
    emit DblClick();
}

}  // namespace platform
