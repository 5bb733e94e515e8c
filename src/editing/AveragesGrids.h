#pragma once
// The two grids of the table of averages: how they are laid out, filled and recomputed.
//
// Class grid, n subjects (Cols = 4n + 5):
//   column 0 the row headings; subject k owns columns 4k-3..4k ("M 1", "M 2", "M 3",
//   "An"), its name merged over them in row 0 and its NumMat in their ColData; the last
//   four columns are the group "Moyenne générale".
//   Row 2 "Coefficient" holds each subject's coefficient in its "An" column (the only
//   cells of the grid that keep the normal background: the editable ones); row 3 a band;
//   rows 4..Rows-3 the students (RowData NumElv); row Rows-2 a band; row Rows-1
//   "Moyenne", the class average of every column.
// Student grid, n subjects (Rows = n + 3):
//   row 0 the headings; rows 1..n the subjects (RowData NumMat): the class's coefficient
//   in column 1 (editable), the periods' averages in columns 2 to 4, the year in column 5;
//   row n+1 a band; row n+2 "Moyenne", the subjects weighted by their coefficients.
#include "AveragesTable.h"
#include "mainwindow/mExcelExport.h"

#include <array>

namespace platform {
class FlexGrid;
}

namespace classgrid {

inline constexpr int kCoefficientRow = 2;
inline constexpr int kFirstStudentRow = 4;
inline constexpr int kNameWidth = 1800;    // twips, at least
inline constexpr int kColumnWidth = 600;   // twips, at least

// Which of "Pér. 1" to "Pér. 3" are ticked.
using Periods = std::array<bool, 3>;

// The headings of every subject's group and of the general group; nothing without subjects.
void build(platform::FlexGrid& grid, const QList<averagestable::Entry>& subjects);

// The subject groups in the grid (0 before any is built).
int subjectCount(const platform::FlexGrid& grid);
// The first column of group g (from 0; the general group is subjectCount()).
inline int groupStart(int group) { return 4 * group + 1; }

// Lays out a class's rows, coefficients and figures, then the widths.
void fill(platform::FlexGrid& grid, const averagestable::ClassData& data, const averages::ClassTable& table,
          const Periods& periods);

// The general group of every student and its class averages, from the subjects' cells and
// the coefficients as shown.
void ComputeClassGeneralAverages(platform::FlexGrid& grid, const QString& format);

// Widths: a subject group without any yearly average in the class is hidden, and so is
// the column of each period not ticked; the columns shown widen to give the group's name
// room, and the headings' row grows to show it whole.
void applyWidths(platform::FlexGrid& grid, const Periods& periods);

// The rows of cells to export: every row, its visible columns only, moved left together.
mExcelExport::Cells visibleCells(const platform::FlexGrid& grid);

}  // namespace classgrid

namespace studentgrid {

inline constexpr int kCoefficientCol = 1;
inline constexpr int kColumnWidth = 1100;   // twips, at least
inline constexpr int kHeadingHeight = 500;  // twips, at least

// The headings and one row per subject; nothing without subjects.
void build(platform::FlexGrid& grid, const QList<averagestable::Entry>& subjects);

// Shows the one student of `data`.
void fill(platform::FlexGrid& grid, const averagestable::ClassData& data, const QString& format);

// The bottom row: the subjects' shown values weighted by the coefficients of column 1.
void ComputeStudentMeanRow(platform::FlexGrid& grid, const QString& format);

}  // namespace studentgrid
