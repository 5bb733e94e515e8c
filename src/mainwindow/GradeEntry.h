#pragma once
// What a grade typed into the grade grid does to the gradebook: the text is written into
// every cell of the selection that takes one, at once, and each cell then shows what was
// stored. Rows "Note/" and "Coefficient" go to their series, student rows to the grades.
#include <QString>
#include <QStringList>

namespace db {
class Database;
class Recordset;
}  // namespace db
namespace platform {
class FlexGrid;
}

namespace gradeentry {

// The heading of the list of refused cells.
QString refusalHeading();

// The text as it is written: a "0" before a leading comma, no trailing comma (",5" is
// "0,5", "15," is "15").
QString NormaliseEntry(const QString& text);

// Writes the text into the selection: series columns only, from Col towards ColSel and in
// each from Row towards RowSel; rows "Note/" and "Coefficient" into the column's series
// (read through `database`), student rows into "Notes" through `notes`, an empty text
// deleting the grade, all in one transaction. A cell whose value is refused keeps its text
// and gives one line of the list returned, in the order of the walk. A failure of the file
// itself (locked, read-only, damaged, disk full) writes nothing of the selection: every
// cell shows its text from before and the DbError is thrown. Averages are not touched.
QStringList CommitSelection(platform::FlexGrid& grid, const QString& text, const db::Database& database,
                            db::Recordset& notes);


}  // namespace gradeentry
