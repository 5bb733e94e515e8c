#include "frmExportPreview.h"

#include "mainwindow/WindowParts.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Numbers.h"
#include "platform/Twips.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <limits>

using platform::FlexGrid;
using platform::twipsRect;

namespace {

// Students start at row 4, under the series' name, maximum mark, coefficient and a band.
constexpr int kFirstStudentRow = 4;

void select(FlexGrid& grid, int row, int col, int rowSel, int colSel) {
    grid.setRow(row);
    grid.setCol(col);
    grid.setRowSel(rowSel);
    grid.setColSel(colSel);
}

// Names and headings come from another gradebook, whose widths the file does not carry:
// a column is widened as far as its longest text needs on one line.
void fitColumns(FlexGrid& grid) {
    for (int c = 0; c < grid.Cols(); ++c)
        grid.setColWidth(c, windowparts::namesWidth(grid, c, grid.ColWidth(c), std::numeric_limits<int>::max()));
}

}  // namespace

frmExportPreview::frmExportPreview() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmExportPreview"));
    setFixedSize(twipsRect(0, 0, 8055, 6300).size());
    lblPrincipal = new QLabel(this);
    lblPrincipal->setTextFormat(Qt::PlainText);
    lblPrincipal->setAlignment(Qt::AlignCenter);
    QFont bold = lblPrincipal->font();
    bold.setBold(true);
    lblPrincipal->setFont(bold);
    lblPrincipal->setWordWrap(true);
    lblPrincipal->setGeometry(twipsRect(0, 0, 8055, 255));
    flxNotes = new FlexGrid(this);
    flxNotes->setObjectName(QStringLiteral("flxNotes"));
    flxNotes->setGeometry(twipsRect(0, 360, 8055, 5415));
    cmdClose = new QPushButton(QStringLiteral("Fermer"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(twipsRect(3300, 5880, 1455, 375));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, [this] { platform::Form<frmExportPreview>::unload(*this); });
}

void frmExportPreview::fill(const exchangefile::Contents& c, const QString& fileName) {
    setWindowTitle(QStringLiteral("Visionneuse de ") + fileName);
    lblPrincipal->setText(c.className + QStringLiteral(" - ") + c.subjectName);
    // Long names take a second line; the grid starts under it.
    const QRect heading = twipsRect(0, 0, 8055, 255), gridPlace = twipsRect(0, 360, 8055, 5415);
    const int extra = std::max(0, lblPrincipal->heightForWidth(heading.width()) - heading.height());
    lblPrincipal->setGeometry(heading.adjusted(0, 0, 0, extra));
    flxNotes->setGeometry(gridPlace.adjusted(0, extra, 0, 0));
    FlexGrid& grid = *flxNotes;
    grid.Clear();
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setCols(0);
    grid.setRows(0);
    grid.setVisible(!c.students.isEmpty());
    if (c.students.isEmpty()) return;

    grid.setCols(1);
    grid.setRows(kFirstStudentRow + int(c.students.size()));
    grid.setColWidth(0, 1800);
    grid.setTextMatrix(1, 0, QStringLiteral("Note/"));
    grid.setTextMatrix(2, 0, QStringLiteral("Coefficient"));
    select(grid, 1, 0, 2, 0);
    grid.setCellAlignment(FlexGrid::AlignRightCenter);
    QHash<qint32, int> rowOf;
    for (int i = 0; i < c.students.size(); ++i) {
        grid.setTextMatrix(kFirstStudentRow + i, 0, c.students[i].name());
        grid.setRowData(kFirstStudentRow + i, c.students[i].numElv);
        rowOf.insert(c.students[i].numElv, kFirstStudentRow + i);
    }
    grid.setRowHeight(0, 500);
    const auto fitted = qScopeGuard([&grid] { fitColumns(grid); });
    if (c.series.isEmpty()) return;

    grid.setCols(1 + int(c.series.size()));
    QHash<qint32, int> columnOf;
    for (int j = 0; j < c.series.size(); ++j) {
        const exchangefile::Series& s = c.series[j];
        grid.setColData(j + 1, s.numSerie);
        grid.setColWidth(j + 1, 600);
        grid.setTextMatrix(0, j + 1, s.nom);
        grid.setTextMatrix(1, j + 1, QString::number(s.sur));
        grid.setTextMatrix(2, j + 1, QString::number(s.coefficient));
        columnOf.insert(s.numSerie, j + 1);
    }
    for (const exchangefile::Grade& g : c.grades) {
        const int row = rowOf.value(g.numElv, -1), column = columnOf.value(g.numSerie, -1);
        if (row >= 0 && column >= 0) grid.setTextMatrix(row, column, platform::numbers::formatGrade(g.note));
    }
    // The series' headings and the students' names stay in view while the grades scroll,
    // with a band between the headings and the students.
    grid.setFixedCols(1);
    grid.setFixedRows(1);
    const int lastCol = grid.Cols() - 1;
    select(grid, 3, 0, 3, lastCol);
    grid.setCellBackColor(grid.BackColorFixed());
    grid.setCellForeColor(grid.ForeColorFixed());
    select(grid, 0, 0, 0, lastCol);
    grid.setCellAlignment(FlexGrid::AlignCenterCenter);
    grid.setCol(1);
    grid.setRow(kFirstStudentRow);
}
