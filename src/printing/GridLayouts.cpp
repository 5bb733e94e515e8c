#include "GridLayouts.h"

#include "platform/FlexGrid.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace printing {
namespace {

constexpr int kGap = 40;       // between two columns, two rows, the title and the table
constexpr int kHalfGap = 20;   // grid lines run in the middle of the gaps

const QString kTwoLineHeading = QStringLiteral(" Moyenne \r\n générale ");
const QString kMoyenne = QStringLiteral(" Moyenne ");
const QString kGenerale = QStringLiteral(" générale ");

struct TooManyPages {};

// The printer's measures, each taken to the nearest whole twip. A text of several lines
// is as wide as its widest line and as high as all of them.
class Measures {
public:
    Measures(PrinterMeasurer& m, const PageSetup& setup) : m_measurer(m), m_font(renderSettings(setup)) {
        setBold(false);
    }
    void setBold(bool bold) { m_measurer.setFont(m_font.fontName, m_font.fontSize, bold); }
    int width(const QString& text) const {
        double widest = 0;
        for (const QString& line : lines(text)) widest = std::max(widest, m_measurer.width(line));
        return nearest(widest);
    }
    int height(const QString& text) const { return nearest(m_measurer.lineHeight() * double(lines(text).size())); }
    QString fit(const QString& text, int width) const { return fitText(m_measurer, text, width); }
    int fitCount(const QString& text, int width) const { return printing::fitCount(m_measurer, text, width); }
    // X of a text centred in a cell, the halving truncated.
    int centred(int x, int cellWidth, const QString& measured) const { return x + (cellWidth - width(measured)) / 2; }
    // X of a text flush with the right edge of a cell.
    int right(int x, int cellWidth, const QString& measured) const { return x + cellWidth - width(measured); }

private:
    static int nearest(double v) { return int(std::nearbyint(v)); }  // halves to even
    static QStringList lines(const QString& text) {
        static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
        return text.split(breaks);
    }

    PrinterMeasurer& m_measurer;
    RenderSettings m_font;
};

// The frame the three layouts share: the page box, the writing position, the pages of
// the current band of rows, and the grid lines around the cells.
class PageFrame {
public:
    PageFrame(printfile::Writer& out, const PageGeometry& page, bool gridLines)
        : m_out(out), m_page(page), m_gridLines(gridLines) {}

    const PageGeometry& page() const { return m_page; }
    int x = 0, y = 0;

    // A table narrower than the printable width gets equal side margins, one lower than
    // the printable height equal top and bottom margins; a larger one is paged.
    void centreAcross(qint64 tableWidth) {
        if (tableWidth < m_page.width - m_page.right - m_page.left)
            m_page.left = m_page.right = int((m_page.width - tableWidth) / 2);
    }
    void centreDown(qint64 tableHeight) {
        if (tableHeight < m_page.height - m_page.top - m_page.bottom)
            m_page.top = m_page.bottom = int((m_page.height - tableHeight) / 2);
    }

    // The title on page 1, at the table's top-left corner.
    void title(const QString& text, int titleHeight) {
        m_rowPage = m_lastPage = m_highest = 1;
        m_out.open(1);
        x = m_page.left;
        y = m_page.top;
        this->text(printfile::Title, text, x, y);
        y += titleHeight + kGap;
    }

    // A row that does not fit below the previous one starts a band on a new page.
    void startRow(int height, bool lastRow) {
        m_rowHeight = height;
        m_lastRow = lastRow;
        x = m_page.left;
        if (y + height > m_page.height - m_page.bottom) {
            y = m_page.top;
            m_rowPage = newPage();
        }
        m_lastPage = m_rowPage;
    }
    void endRow() {
        closeSegment();
        y += m_rowHeight + kGap;
    }

    bool overflowsAcross(int width) const { return x + width > m_page.width - m_page.right; }
    // The row goes on on the next page across, at the same height.
    void breakAcross(bool withBottom = true) {
        if (withBottom)
            closeSegment();
        else
            topLine();
        x = m_page.left;
        m_lastPage = std::max(m_lastPage + 1, 1);
        if (m_lastPage > m_highest) newPage();
        leftBorder();
    }
    bool atLeftMargin() const { return x <= m_page.left; }

    void text(QChar kind, const QString& text, int tx, int ty) {
        m_out.add(m_lastPage, printfile::textRecord(kind, text, std::max(0, tx), std::max(0, ty)));
    }
    void leftBorder() {
        line(m_page.left - kHalfGap, y - kHalfGap, m_page.left - kHalfGap, y + m_rowHeight + kHalfGap);
    }
    void lineAfterCell() { line(x - kHalfGap, y - kHalfGap, x - kHalfGap, y + m_rowHeight + kHalfGap); }
    void topLine() { line(m_page.left - kHalfGap, y - kHalfGap, x - kHalfGap, y - kHalfGap); }

private:
    // The top line of the row's part on this page, and its bottom line under the table's
    // last row or the page's.
    void closeSegment() {
        topLine();
        if (m_lastRow || y + 2 * m_rowHeight + kGap > m_page.height - m_page.bottom)
            line(m_page.left - kHalfGap, y + m_rowHeight + kHalfGap, x - kHalfGap, y + m_rowHeight + kHalfGap);
    }
    // The page after every page used so far.
    int newPage() {
        if (m_highest >= kMaxPrintPages) throw TooManyPages{};
        m_out.open(++m_highest);
        return m_lastPage = m_highest;
    }
    void line(int x1, int y1, int x2, int y2) {
        if (m_gridLines)
            m_out.add(m_lastPage, printfile::lineRecord(std::max(0, x1), std::max(0, y1), std::max(0, x2), std::max(0, y2)));
    }

    printfile::Writer& m_out;
    PageGeometry m_page;
    bool m_gridLines;
    int m_rowHeight = 0;
    bool m_lastRow = false;
    int m_rowPage = 1, m_lastPage = 1, m_highest = 1;
};

// The names column of a row: the left border, its text, and the line after it.
void namesCell(PageFrame& f, int nameWidth, const std::optional<QString>& rightAligned,
               const std::optional<QString>& leftAligned, const Measures& m) {
    f.leftBorder();
    if (rightAligned) f.text(printfile::Heading, *rightAligned, f.x + nameWidth - m.width(*rightAligned + u'o'), f.y);
    if (leftAligned) f.text(printfile::Heading, m.fit(*leftAligned, nameWidth), f.x, f.y);
    f.x += nameWidth + kGap;
    f.lineAfterCell();
}

// Two centred heading lines in a cell of a heading row.
void twoHeadingLines(PageFrame& f, int cellWidth, const QString& second, const QString& measuredSecond,
                     int secondY, const Measures& m) {
    f.text(printfile::Heading, kMoyenne, m.centred(f.x, cellWidth, kMoyenne), f.y);
    f.text(printfile::Heading, second, m.centred(f.x, cellWidth, measuredSecond), secondY);
}

// The measures of a table of equal value columns under a heading row of two lines: the
// grade grid and a student's grid.
struct EqualColumns {
    int nameWidth = 0, colWidth = 0, lineHeight = 0, headerHeight = 0;
    QVector<bool> printed;  // by grid column
};

// Centres such a table down when it fits on one page; returns the title's height.
int centreDown(PageFrame& f, Measures& m, const EqualColumns& t, int rows) {
    m.setBold(true);
    const int titleHeight = m.height(QStringLiteral("Hauteur du titre"));
    m.setBold(false);
    f.centreDown(qint64(titleHeight) + t.headerHeight + 60 + qint64(t.lineHeight + kGap) * rows - 1);
    return titleHeight;
}

// What a row's names cell shows: a label flush right, or a name fitted from the left.
struct Label {
    std::optional<QString> right, left;
};

// The rows of such a table, each printed column going on on the next page across when it
// does not fit; `cell`(row, column, row height) writes a cell's texts at the frame's x, y.
template <typename LabelOf, typename Cell>
void walkEqualColumns(PageFrame& f, const GridSnapshot& grid, const Measures& m, const EqualColumns& t,
                      LabelOf&& labelOf, Cell&& cell) {
    for (int r = 0; r < grid.rows; ++r) {
        const int rowHeight = r == 0 ? t.headerHeight : t.lineHeight;
        f.startRow(rowHeight, r == grid.rows - 1);
        const Label label = labelOf(r);
        namesCell(f, t.nameWidth, label.right, label.left, m);
        for (int c = 1; c < grid.cols; ++c) {
            if (!t.printed.value(c)) continue;
            if (f.overflowsAcross(t.colWidth)) f.breakAcross();
            cell(r, c, rowHeight);
            f.x += t.colWidth + kGap;
            f.lineAfterCell();
        }
        f.endRow();
    }
}

template <typename Layout>
std::optional<PageGeometry> guarded(Layout&& layout) {
    try {
        return layout();
    } catch (const TooManyPages&) {
        return std::nullopt;
    }
}

}  // namespace

QString GridSnapshot::text(int row, int col) const {
    if (row < 0 || row >= rows || col < 0 || col >= cols) return {};
    return cells.value(row * cols + col);
}

GridSnapshot snapshotOf(const platform::FlexGrid& grid) {
    GridSnapshot s;
    s.rows = grid.Rows();
    s.cols = grid.Cols();
    s.cells.reserve(s.rows * s.cols);
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.cols; ++c) s.cells << grid.TextMatrix(r, c);
    for (int c = 0; c < s.cols; ++c) {
        s.colData << grid.ColData(c);
        s.colWidth << grid.ColWidth(c);
    }
    return s;
}

ColumnChoice chooseColumns(const GridSnapshot& grid, const std::array<qint32, 5>& pos, const PrintChoices& choices) {
    ColumnChoice k;
    const int generalColumn = grid.cols - 1;
    if (choices.period < 1 || choices.period > 3) {
        k.first = 1;
        k.last = grid.cols - 2;
        if (choices.gradesAndAverages)
            k.count = std::max(0, grid.cols - 2);
        else
            k.count = int(std::count_if(pos.begin() + 1, pos.begin() + 4, [](qint32 p) { return p > 0; }));
    } else if (const int p = choices.period; pos[p] > 0) {
        k.first = p == 1 ? 1 : pos[p - 1] + 1;
        k.last = pos[p];
        k.count = choices.gradesAndAverages ? k.last - k.first + 1 : 1;
    }
    if (choices.general) ++k.count;
    k.printed.fill(false, std::max(0, grid.cols));
    if (grid.cols > 0) k.printed[0] = true;
    for (int c = 1; c < generalColumn; ++c)
        k.printed[c] = c >= k.first && c <= k.last && (choices.gradesAndAverages || grid.colData.value(c) == 0);
    if (generalColumn >= 1) k.printed[generalColumn] = choices.general;
    return k;
}

std::optional<PageGeometry> CreateFileflxNotes(const GradeGridPrint& in, const PrintChoices& choices,
                                               const PageSetup& setup, PrinterMeasurer& measurer,
                                               printfile::Writer& out) {
    return guarded([&]() -> PageGeometry {
        const GridSnapshot& grid = in.grid;
        Measures m(measurer, setup);
        EqualColumns t;
        t.nameWidth = m.width(QStringLiteral("Unlongnom Unlongprénom"));
        t.colWidth = m.width(kTwoLineHeading);
        t.lineHeight = m.height(QStringLiteral("Hauteur d'une ligne"));
        t.headerHeight = m.height(kTwoLineHeading);
        const ColumnChoice columns = chooseColumns(grid, in.averagePositions, choices);
        t.printed = columns.printed;

        PageFrame f(out, pageGeometry(setup), setup.gridLines);
        const qint64 n = columns.count;
        f.centreAcross(t.nameWidth + t.colWidth * n + (n + 1) * kGap);
        f.title(in.title, centreDown(f, m, t, grid.rows));
        const int last = grid.rows - 1;
        const auto label = [&](int r) -> Label {
            if (r == 1 || r == 2 || r == last) return {grid.text(r, 0), std::nullopt};
            if (r == 0 || r == 3 || r == last - 1) return {};
            return {std::nullopt, grid.text(r, 0)};
        };
        walkEqualColumns(f, grid, m, t, label, [&](int r, int c, int rowHeight) {
            const bool average = grid.colData.value(c) == 0;
            if (r > 0) {
                const QString text = grid.text(r, c);
                f.text(average ? printfile::Result : printfile::Data, text, m.right(f.x, t.colWidth, text), f.y);
            } else if (c == grid.cols - 1) {
                twoHeadingLines(f, t.colWidth, kGenerale, kGenerale, f.y + rowHeight / 2, m);
            } else if (average) {
                const auto* p = std::find(in.averagePositions.begin() + 1, in.averagePositions.begin() + 4, c);
                const QString digit = QString::number(p - in.averagePositions.begin());
                if (p == in.averagePositions.begin() + 4)
                    f.text(printfile::Heading, kMoyenne, m.centred(f.x, t.colWidth, kMoyenne), f.y);
                else
                    twoHeadingLines(f, t.colWidth, digit, u' ' + digit + u' ', f.y + rowHeight / 2, m);
            } else {
                const QString title = m.fit(grid.text(0, c), t.colWidth);
                f.text(printfile::Heading, title, m.centred(f.x, t.colWidth, title), f.y);
            }
        });
        return f.page();
    });
}

std::optional<PageGeometry> CreateFileflxClass(const ClassGridPrint& in, const PageSetup& setup,
                                               PrinterMeasurer& measurer, printfile::Writer& out) {
    return guarded([&]() -> PageGeometry {
        const GridSnapshot& grid = in.grid;
        Measures m(measurer, setup);
        const int nameWidth = m.width(QStringLiteral("Unlongnom Unlongprénom"));
        const int lineHeight = m.height(QStringLiteral("Hauteur d'une ligne"));
        int gradeWidth = m.width(QStringLiteral("m00,00"));
        qint64 printedColumns = 0;
        for (int c = 1; c < grid.cols; ++c)
            if (grid.colWidth.value(c) > 0) ++printedColumns;
        const int span = 1 + int(std::count(in.periodsShown.begin(), in.periodsShown.end(), true));
        // A group of the year column alone gives its heading two widths of room.
        if (span == 1) gradeWidth *= 2;
        const int step = gradeWidth + kGap;
        const auto groupWidth = [&](int columns) { return columns * gradeWidth + (columns - 1) * kGap; };

        PageFrame f(out, pageGeometry(setup), setup.gridLines);
        f.centreAcross(nameWidth + gradeWidth * printedColumns + (printedColumns + 1) * kGap);
        m.setBold(true);
        const int titleHeight = m.height(QStringLiteral("Hauteur du titre"));
        m.setBold(false);
        f.centreDown(qint64(titleHeight) + 20 + qint64(lineHeight + kGap) * grid.rows);
        const int rightEdge = f.page().width - f.page().right;

        // The subject's name over its group's columns. A group cut by the page's edge has
        // the name's first characters over the columns that fit and the rest over the
        // others on the next pages, fitted again on each; a page that takes none of the
        // group's columns though empty still takes one.
        const auto groupHeading = [&](QString name) {
            for (int left = span;;) {
                int cut = 0;
                for (int end = f.x + groupWidth(left); cut < left && end > rightEdge; end -= step) ++cut;
                if (cut == 0) {
                    f.text(printfile::Heading, m.fit(name, groupWidth(left)), f.x, f.y);
                    f.x += left * step;
                    return;
                }
                if (cut >= left) {
                    if (!f.atLeftMargin()) {
                        f.breakAcross(false);
                        continue;
                    }
                    if (left == 1) {
                        f.text(printfile::Heading, m.fit(name, gradeWidth), f.x, f.y);
                        f.x += step;
                        return;
                    }
                    cut = left - 1;
                }
                const int k = m.fitCount(name, groupWidth(left - cut));
                f.text(printfile::Heading, name.left(k), f.x, f.y);
                f.x += (left - cut) * step;
                f.breakAcross(false);
                name = name.mid(k);
                left = cut;
            }
        };

        f.title(in.title, titleHeight);
        const int last = grid.rows - 1;
        for (int r = 0; r < grid.rows; ++r) {
            f.startRow(lineHeight, r == last);
            const bool labelled = r == 2 || r == last;
            const bool blank = r == 0 || r == 1 || r == 3 || r == last - 1;
            namesCell(f, nameWidth, labelled ? std::optional(grid.text(r, 0)) : std::nullopt,
                      !labelled && !blank ? std::optional(grid.text(r, 0)) : std::nullopt, m);
            int inGroup = 0;
            for (int c = 1; c < grid.cols; ++c) {
                if (grid.colWidth.value(c) <= 0) continue;
                const QString t = grid.text(r, c);
                if (r == 0) {
                    if (++inGroup == 1) groupHeading(t);
                    if (inGroup >= span) {
                        inGroup = 0;
                        f.lineAfterCell();
                    }
                    continue;
                }
                if (r == 1) {
                    if (f.overflowsAcross(gradeWidth)) f.breakAcross(false);
                    f.text(printfile::Heading, m.fit(t, gradeWidth), m.right(f.x, gradeWidth, t), f.y);
                } else {
                    if (f.overflowsAcross(gradeWidth)) f.breakAcross();
                    f.text(c % 4 == 0 ? printfile::Result : printfile::Data, t, m.right(f.x, gradeWidth, t), f.y);
                }
                f.x += step;
                f.lineAfterCell();
            }
            f.endRow();
        }
        return f.page();
    });
}

std::optional<PageGeometry> CreateFileflxMoy(const StudentGridPrint& in, const PageSetup& setup,
                                             PrinterMeasurer& measurer, printfile::Writer& out) {
    return guarded([&]() -> PageGeometry {
        const GridSnapshot& grid = in.grid;
        Measures m(measurer, setup);
        const QString coefficient = QStringLiteral(" Coefficient ");
        EqualColumns t;
        t.nameWidth = m.width(QStringLiteral("Unlongnomdematière"));
        t.colWidth = m.width(coefficient);
        t.lineHeight = m.height(QStringLiteral("Hauteur d'une ligne"));
        t.headerHeight = m.height(kTwoLineHeading);
        t.printed.fill(true, grid.cols);

        PageFrame f(out, pageGeometry(setup), setup.gridLines);
        // Always the six columns of a student's table.
        f.centreAcross(t.nameWidth + 5 * qint64(t.colWidth) + 240);
        f.title(in.title, centreDown(f, m, t, grid.rows));
        const int last = grid.rows - 1;
        const auto label = [&](int r) -> Label {
            if (r == last) return {QStringLiteral("Moyenne"), std::nullopt};
            if (r == last - 1) return {};
            return {std::nullopt, grid.text(r, 0)};
        };
        walkEqualColumns(f, grid, m, t, label, [&](int r, int c, int) {
            if (r > 0) {
                const QString text = grid.text(r, c);
                f.text(c == grid.cols - 1 ? printfile::Result : printfile::Data, text, m.right(f.x, t.colWidth, text), f.y);
                return;
            }
            const int secondY = f.y + t.headerHeight / 2;
            if (c == 1) {
                f.text(printfile::Heading, coefficient, m.centred(f.x, t.colWidth, coefficient), f.y);
            } else if (c == grid.cols - 1) {
                twoHeadingLines(f, t.colWidth, kGenerale, kGenerale, secondY, m);
            } else {
                const QString period = QString::number(c - 1);
                twoHeadingLines(f, t.colWidth, period, u' ' + period + u' ', secondY, m);
            }
        });
        return f.page();
    });
}

}  // namespace printing
