#pragma once
#include "PageRenderer.h"
#include "PageSetup.h"
#include "PrintFile.h"
#include "frmConfigImpression.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <optional>

namespace platform {
class FlexGrid;
}

// The layouts of the three printable grids: each cuts a copy of its grid into pages and
// writes every text and grid line, already placed in twips on the paper, into a print
// file. They measure texts with the measurer they are given, so that what they write
// follows from the grid, the page setup and the measures alone.
namespace printing {

// What a layout reads of a grid: its texts, and the key and width of each column.
struct GridSnapshot {
    int rows = 0, cols = 0;
    QStringList cells;  // row by row
    QVector<qint32> colData;
    QVector<int> colWidth;  // twips; 0 for a hidden column

    QString text(int row, int col) const;
};
GridSnapshot snapshotOf(const platform::FlexGrid& grid);

// The grade grid: its heading as title, and the grid columns of the averages ([1] to [3]
// the periods, 0 for a period without one; [4] the general average).
struct GradeGridPrint {
    GridSnapshot grid;
    QString title;
    std::array<qint32, 5> averagePositions{};
};

// The class averages: the class as title, and which period columns the table shows.
struct ClassGridPrint {
    GridSnapshot grid;
    QString title;
    std::array<bool, 3> periodsShown{true, true, true};
};

// One student's averages: the student as title.
struct StudentGridPrint {
    GridSnapshot grid;
    QString title;
};

// The grade columns the print choices keep: columns first to last of the periods (count
// of them printed, the general average included when chosen).
struct ColumnChoice {
    int first = 0, last = 0, count = 0;
    QVector<bool> printed;  // by grid column; the names column always
};
ColumnChoice chooseColumns(const GridSnapshot& grid, const std::array<qint32, 5>& averagePositions,
                           const PrintChoices& choices);

// Each writes the pages of its grid into `out` and returns the page as laid out (the
// margins centre a table smaller than the printable area); nothing when the layout would
// run beyond any sensible number of pages.
std::optional<PageGeometry> CreateFileflxNotes(const GradeGridPrint& grid, const PrintChoices& choices,
                                               const PageSetup& setup, PrinterMeasurer& measurer,
                                               printfile::Writer& out);
std::optional<PageGeometry> CreateFileflxClass(const ClassGridPrint& grid, const PageSetup& setup,
                                               PrinterMeasurer& measurer, printfile::Writer& out);
std::optional<PageGeometry> CreateFileflxMoy(const StudentGridPrint& grid, const PageSetup& setup,
                                             PrinterMeasurer& measurer, printfile::Writer& out);

// More pages than any grid of a gradebook needs: a layout that gets there is stopped.
inline constexpr int kMaxPrintPages = 10000;

}  // namespace printing
