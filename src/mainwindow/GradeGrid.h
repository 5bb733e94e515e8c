#pragma once
// The grade grid of one class and one subject: what it reads from the gradebook, how it is
// laid out, its averages, and the column widths it writes back.
//
// Layout, R rows and C columns once filled (n students):
//   row 0 the series' names, row 1 "Note/" (their "Sur"), row 2 their "Coefficient",
//   row 3 a band, rows 4..n+3 the students, row R-2 a band, row R-1 the class averages;
//   column 0 the students' names, then each period's series followed by that period's
//   average column, and last the general average.
#include "platform/db/Database.h"

#include <QHash>
#include <QList>
#include <QString>
#include <array>

namespace platform {
class FlexGrid;
}

namespace gradegrid {

inline constexpr int kSurRow = 1;
inline constexpr int kCoefficientRow = 2;
inline constexpr int kFirstStudentRow = 4;
inline constexpr int kAverageColumnWidth = 800;  // twips, at least
inline constexpr int kHeaderHeight = 500;        // twips, at least
inline constexpr int kGeneralAverage = 4;        // the "period" of the general average

// The column of each period's average (1..3) and of the general average (4); 0 when the
// column is absent. Element 0 is not used.
using AveragePositions = std::array<qint32, 5>;

struct Student {
    qint32 key = 0;
    QString name;  // "Nom Prénom"
};

struct Series {
    qint32 key = 0;
    QString name;
    QString sur;          // as the grid shows it
    QString coefficient;  // as the grid shows it
    int period = 1;
    int width = 0;                   // twips
    QHash<qint32, double> grades;    // by student key
};

struct GridData {
    int nameWidth = 0;  // twips
    QList<Student> students;
    QList<Series> series;
};

// Reads the class's students (by name, then first name), its series in the subject (by
// period, then date) and their grades. Throws DbError.
GridData readGrid(const db::Database& database, qint32 numClass, qint32 numMat);

// Lays the data out in the grid and computes every average; with no student the grid is
// emptied and hidden. The names column and a series column still at the width they were
// created with grow to show their texts, and the headings' row to show every heading whole.
void fillGrid(platform::FlexGrid& grid, const GridData& data, AveragePositions& positions, const QString& format);

// Appends the average column of a period (1..3) or the general average (4), painted in
// the fixed colours over every row and as wide as its heading needs, and records its
// position.
void AddAverageColumn(platform::FlexGrid& grid, AveragePositions& positions, int period);

// Every student's period averages, from the grid's texts, then the general average from
// the period averages as shown. A period average is empty when the student has no grade
// that weighs in it; a series out of 0 is left out, as it is in the table of averages.
void ComputeStudentAverages(platform::FlexGrid& grid, const AveragePositions& positions, const QString& format);

// The class average of one column: the mean of the students' texts in it, empty when none.
void ComputeColumnAverage(platform::FlexGrid& grid, int column, const QString& format);

// Every student's averages, then the class average of every column.
void ComputeAverages(platform::FlexGrid& grid, const AveragePositions& positions, const QString& format);

// Writes the width of the names column into the class and those of the series columns
// into their series, in twips kept within the 16-bit field; a column the layout grew to its
// texts keeps the width it was created with. Stops at the first failure, keeping what it
// wrote.
void saveColumnWidths(const db::Database& database, const platform::FlexGrid& grid, qint32 numClass);

}  // namespace gradegrid
