#pragma once
#include "platform/Workbook.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QWidget;
namespace platform {
class FlexGrid;
}

// The export of a grid on screen to a spreadsheet workbook, as its cells read.
namespace mExcelExport {

// Rows of cell texts: cells[r][c] goes to the sheet's row r + 1, column c + 1.
using Cells = QVector<QStringList>;

// Every cell of the grid, fixed rows and columns included, as displayed.
Cells GridTexts(const platform::FlexGrid& grid);

// The headings that the grid shows over several columns, in `cells` taken from it: each run
// of equal texts in a row that the grid merges.
QList<platform::Span> GridSpans(const platform::FlexGrid& grid, const Cells& cells);

// The whole command, over `owner`: asks first, lets the user choose the file, writes a
// workbook of one sheet named `sheetName` (or "Feuil1" when a spreadsheet would refuse
// that name), each of `spans` as one cell, and says how it went. Nothing is written when
// the user cancels; the open gradebook is never a target.
void ExportToExcel(const Cells& cells, const QString& sheetName, QWidget* owner,
                   const QList<platform::Span>& spans = {});

// The same for every cell of a grid, the sheet named after the grid's heading.
void ExportToExcel(const platform::FlexGrid& grid, const QString& heading, QWidget* owner);

}  // namespace mExcelExport
