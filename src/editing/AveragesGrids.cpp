#include "AveragesGrids.h"

#include "mainwindow/WindowParts.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "platform/Twips.h"

namespace {

using platform::FlexGrid;
using platform::OleColor;
using averages::Group;

// Selects a block of cells and paints it.
void paint(FlexGrid& grid, int row, int col, int rowSel, int colSel, OleColor back, OleColor fore) {
    grid.setCol(col);
    grid.setRow(row);
    grid.setColSel(colSel);
    grid.setRowSel(rowSel);
    grid.setCellBackColor(back);
    grid.setCellForeColor(fore);
}

void paintFixed(FlexGrid& grid, int row, int col, int rowSel, int colSel) {
    paint(grid, row, col, rowSel, colSel, grid.BackColorFixed(), grid.ForeColorFixed());
}

void align(FlexGrid& grid, int row, int col, int rowSel, int colSel, int alignment) {
    grid.setCol(col);
    grid.setRow(row);
    grid.setColSel(colSel);
    grid.setRowSel(rowSel);
    grid.setCellAlignment(alignment);
}

// One repaint once the work is done rather than one per cell.
class Batch {
public:
    explicit Batch(FlexGrid& grid) : m_grid(grid) { grid.setUpdatesEnabled(false); }
    ~Batch() { m_grid.setUpdatesEnabled(true); }

private:
    FlexGrid& m_grid;
};

// Empties the grid down to `rows` rows of `cols` columns, the first `fixedRows` and the
// names column fixed.
void reshape(FlexGrid& grid, int rows, int cols, int fixedRows) {
    grid.setFixedRows(0);
    grid.setFixedCols(0);
    grid.setRows(rows);
    grid.setCols(cols);
    grid.setColWidth(0, classgrid::kNameWidth);
    grid.setFixedRows(fixedRows);
    grid.setFixedCols(1);
}

const QString kMoyenne = QStringLiteral("Moyenne");
const QString kGeneral = QStringLiteral("Moyenne générale");

}  // namespace

// ---- class grid ------------------------------------------------------------------------------

namespace classgrid {

int subjectCount(const FlexGrid& grid) { return grid.Cols() < 5 ? 0 : (grid.Cols() - 5) / 4; }

void build(FlexGrid& grid, const QList<averagestable::Entry>& subjects) {
    const Batch batch(grid);
    reshape(grid, 2, 1, 2);
    if (subjects.isEmpty()) return;
    const int n = int(subjects.size());
    grid.setCols(4 * n + 5);
    static const QString kPeriods[4] = {QStringLiteral("M 1"), QStringLiteral("M 2"), QStringLiteral("M 3"),
                                        QStringLiteral("An")};
    for (int g = 0; g <= n; ++g)
        for (int q = 0; q < 4; ++q) {
            const int c = groupStart(g) + q;
            grid.setTextMatrix(0, c, g < n ? subjects[g].name : kGeneral);
            grid.setTextMatrix(1, c, kPeriods[q]);
            grid.setColData(c, g < n ? subjects[g].key : 0);
            grid.setColWidth(c, kColumnWidth);
        }
    grid.setMergeCells(true);
    grid.setMergeRow(0, true);
    align(grid, 0, 1, 1, grid.Cols() - 1, FlexGrid::AlignCenterCenter);
}

void fill(FlexGrid& grid, const averagestable::ClassData& data, const averages::ClassTable& table,
          const Periods& periods) {
    const int n = subjectCount(grid);
    if (n == 0) return;
    const Batch batch(grid);
    const int students = int(data.students.size());
    const int rows = kFirstStudentRow + students + 2;
    // Rows 0 and 1 keep their headings; the others are made anew.
    grid.setRows(2);
    grid.setRows(rows);
    grid.setTextMatrix(kCoefficientRow, 0, QStringLiteral("Coefficient"));
    for (int m = 0; m < n; ++m)
        grid.setTextMatrix(kCoefficientRow, groupStart(m) + averages::kYear,
                           QString::number(m < int(data.coefficients.size()) ? data.coefficients[size_t(m)] : 0));
    for (int s = 0; s < students; ++s) {
        const int r = kFirstStudentRow + s;
        grid.setTextMatrix(r, 0, data.students[s].name);
        grid.setRowData(r, data.students[s].key);
        for (int g = 0; g <= n; ++g)
            for (int q = 0; q < 4; ++q) grid.setTextMatrix(r, groupStart(g) + q, table.rows[size_t(s)][size_t(g)][size_t(q)]);
    }
    for (int g = 0; g <= n; ++g)
        for (int q = 0; q < 4; ++q) grid.setTextMatrix(rows - 1, groupStart(g) + q, table.bottom[size_t(g)][size_t(q)]);
    grid.setTextMatrix(rows - 1, 0, kMoyenne);
    align(grid, rows - 1, 0, rows - 1, 0, FlexGrid::AlignRightCenter);
    grid.setColWidth(0, windowparts::namesWidth(grid, 0, kNameWidth));

    // Colours: the figures read-only, the years highlighted, and in the coefficient row
    // only the subjects' "An" cells in the normal colour: the cells a coefficient is typed in.
    const int last = grid.Cols() - 1;
    paintFixed(grid, 3, 1, rows - 1, last);
    for (int g = 0; g <= n; ++g) {
        const int an = groupStart(g) + averages::kYear;
        paint(grid, kFirstStudentRow, an, rows - 1, an, grid.BackColorSel(), grid.ForeColorSel());
        paintFixed(grid, kCoefficientRow, groupStart(g), kCoefficientRow, g < n ? an - 1 : an);
    }
    grid.setCol(groupStart(0) + averages::kYear);
    grid.setRow(kCoefficientRow);
    applyWidths(grid, periods);
}

void ComputeClassGeneralAverages(FlexGrid& grid, const QString& format) {
    const int n = subjectCount(grid);
    if (n == 0 || grid.Rows() < kFirstStudentRow + 3) return;
    std::vector<double> coefficients;
    for (int m = 0; m < n; ++m)
        coefficients.push_back(
            platform::numbers::parse(grid.TextMatrix(kCoefficientRow, groupStart(m) + averages::kYear)).value_or(0));
    const int general = groupStart(n);
    std::vector<Group> subjects(static_cast<size_t>(n)), rows;
    for (int r = kFirstStudentRow; r <= grid.Rows() - 3; ++r) {
        for (int m = 0; m < n; ++m)
            for (int q = 0; q < 4; ++q) subjects[size_t(m)][size_t(q)] = grid.TextMatrix(r, groupStart(m) + q);
        rows.push_back(averages::weightedGroup(subjects, coefficients, format));
        for (int q = 0; q < 4; ++q) grid.setTextMatrix(r, general + q, rows.back()[size_t(q)]);
    }
    const Group bottom = averages::columnMeans(rows, format);
    for (int q = 0; q < 4; ++q) grid.setTextMatrix(grid.Rows() - 1, general + q, bottom[size_t(q)]);
}

void applyWidths(FlexGrid& grid, const Periods& periods) {
    const int n = subjectCount(grid);
    if (n == 0) return;
    for (int g = 0; g <= n; ++g) {
        const bool hasAverage = g == n || !grid.TextMatrix(grid.Rows() - 1, groupStart(g) + averages::kYear).isEmpty();
        const auto shown = [&](int q) { return hasAverage && (q == averages::kYear || periods[size_t(q)]); };
        int count = 0;
        for (int q = 0; q < 4; ++q) count += shown(q);
        if (count == 0) {
            for (int q = 0; q < 4; ++q) grid.setColWidth(groupStart(g) + q, 0);
            continue;
        }
        // The columns shown share what the group's name needs on its lines, in whole pixels
        // so that together they give it all.
        const int need = grid.NeededWidth(grid.TextMatrix(0, groupStart(g)), windowparts::kHeadingLines, count * kColumnWidth);
        const int width = need <= count * kColumnWidth
                              ? kColumnWidth
                              : platform::layoutTwipsX((platform::layoutX(need) + count - 1) / count);
        for (int q = 0; q < 4; ++q) grid.setColWidth(groupStart(g) + q, shown(q) ? width : 0);
    }
    grid.setRowHeight(0, grid.NeededHeight(0));
}

mExcelExport::Cells visibleCells(const FlexGrid& grid) {
    mExcelExport::Cells cells;
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.Cols(); ++c)
            if (c == 0 || grid.ColWidth(c) >= 1) row << grid.TextMatrix(r, c);
        cells << row;
    }
    return cells;
}

}  // namespace classgrid

// ---- student grid ----------------------------------------------------------------------------

namespace studentgrid {

void build(FlexGrid& grid, const QList<averagestable::Entry>& subjects) {
    const Batch batch(grid);
    reshape(grid, 2, 6, 1);
    const QString headings[6] = {QString(), QStringLiteral("Coefficient"), QStringLiteral("Moyenne 1"),
                                 QStringLiteral("Moyenne 2"), QStringLiteral("Moyenne 3"), kGeneral};
    for (int c = 0; c < 6; ++c) grid.setTextMatrix(0, c, headings[c]);
    for (int c = 1; c <= 5; ++c)
        grid.setColWidth(c, grid.NeededWidth(headings[c], windowparts::kHeadingLines, kColumnWidth));
    grid.setRowHeight(0, std::max(kHeadingHeight, grid.NeededHeight(0)));
    align(grid, 0, 1, 0, 5, FlexGrid::AlignCenterCenter);
    if (subjects.isEmpty()) return;

    const int n = int(subjects.size());
    grid.setRows(n + 3);
    for (int m = 0; m < n; ++m) {
        grid.setTextMatrix(m + 1, 0, subjects[m].name);
        grid.setRowData(m + 1, subjects[m].key);
    }
    grid.setTextMatrix(n + 2, 0, kMoyenne);
    align(grid, n + 2, 0, n + 2, 0, FlexGrid::AlignRightCenter);
    grid.setColWidth(0, windowparts::namesWidth(grid, 0, classgrid::kNameWidth));
    paintFixed(grid, 1, 2, n + 2, 5);
    paintFixed(grid, n + 1, 1, n + 2, 5);
    grid.setCol(kCoefficientCol);
    grid.setRow(1);
}

void fill(FlexGrid& grid, const averagestable::ClassData& data, const QString& format) {
    const int n = grid.Rows() - 3;
    if (n < 1) return;
    const Batch batch(grid);
    for (int m = 0; m < n; ++m) {
        const int r = m + 1;
        grid.setTextMatrix(r, kCoefficientCol,
                           m < int(data.coefficients.size()) ? QString::number(data.coefficients[size_t(m)]) : QString());
        const Group group = data.students.isEmpty() || m >= data.marks.subjects
                                ? Group{}
                                : averages::subjectGroup(data.marks.at(0, m), format);
        for (int q = 0; q < 4; ++q) grid.setTextMatrix(r, 2 + q, group[size_t(q)]);
    }
    ComputeStudentMeanRow(grid, format);
}

void ComputeStudentMeanRow(FlexGrid& grid, const QString& format) {
    const int n = grid.Rows() - 3;
    if (n < 1) return;
    std::vector<Group> subjects(static_cast<size_t>(n));
    std::vector<double> coefficients;
    for (int m = 0; m < n; ++m) {
        const int r = m + 1;
        coefficients.push_back(platform::numbers::parse(grid.TextMatrix(r, kCoefficientCol)).value_or(0));
        for (int q = 0; q < 4; ++q) subjects[size_t(m)][size_t(q)] = grid.TextMatrix(r, 2 + q);
    }
    const Group bottom = averages::weightedGroup(subjects, coefficients, format);
    for (int q = 0; q < 4; ++q) grid.setTextMatrix(n + 2, 2 + q, bottom[size_t(q)]);
}

}  // namespace studentgrid
