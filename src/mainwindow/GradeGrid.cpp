#include "GradeGrid.h"

#include "WindowParts.h"
#include "averages/Averages.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/StoreNames.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"

#include <QScopeGuard>
#include <optional>
#include <vector>

namespace gradegrid {
namespace {

using db::Field;
using db::Query;
using db::RecordsetType;
using platform::FlexGrid;
namespace numbers = platform::numbers;

using namespace storenames;
const QString kColonne = QStringLiteral("Colonne");

// "Colonne" is a 16-bit field; a width read from an odd file must still be one the grid takes.
int widthInField(int twips) { return qBound(0, twips, 32767); }

// The width a column shows at. One still at the width it was created with grows to what its
// texts need: the students' names on one line, a series' heading on up to three lines. Any
// other width was set by the teacher and is his.
int shownWidth(const FlexGrid& grid, int col, int stored) {
    if (col == 0) return stored == gradebook::kNewClassWidth ? windowparts::namesWidth(grid, 0, stored) : stored;
    if (stored != gradebook::kNewSeriesWidth) return stored;
    return grid.NeededWidth(grid.TextMatrix(0, col), windowparts::kHeadingLines, stored);
}

QString byteText(const QVariant& value) { return value.isNull() ? QString() : QString::number(value.toInt()); }

// Selects a block of cells and paints it in the grid's fixed colours.
void paintFixed(FlexGrid& grid, int row, int col, int rowSel, int colSel) {
    grid.setCol(col);
    grid.setRow(row);
    grid.setColSel(colSel);
    grid.setRowSel(rowSel);
    grid.setCellBackColor(grid.BackColorFixed());
    grid.setCellForeColor(grid.ForeColorFixed());
}

void centreHeader(FlexGrid& grid) {
    grid.setCol(0);
    grid.setRow(0);
    grid.setColSel(grid.Cols() - 1);
    grid.setRowSel(0);
    grid.setCellAlignment(FlexGrid::AlignCenterCenter);
}

void alignRight(FlexGrid& grid, int row) {
    grid.setCol(0);
    grid.setRow(row);
    grid.setCellAlignment(FlexGrid::AlignRightCenter);
}

std::optional<double> number(const FlexGrid& grid, int row, int col) {
    return numbers::parse(grid.TextMatrix(row, col));
}

int lastStudentRow(const FlexGrid& grid) { return grid.Rows() - 3; }

void layOut(FlexGrid& grid, const GridData& data, AveragePositions& positions, const QString& format) {
    positions.fill(0);
    grid.Clear();
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setCols(0);
    grid.setRows(0);
    if (data.students.isEmpty()) return;

    const int studentCount = int(data.students.size());
    const int rows = studentCount + kFirstStudentRow + 2;
    grid.setCols(1);
    grid.setRows(rows);
    grid.setTextMatrix(kSurRow, 0, QStringLiteral("Note/"));
    grid.setTextMatrix(kCoefficientRow, 0, QStringLiteral("Coefficient"));
    for (int i = 0; i < studentCount; ++i) {
        grid.setTextMatrix(kFirstStudentRow + i, 0, data.students[i].name);
        grid.setRowData(kFirstStudentRow + i, data.students[i].key);
    }
    grid.setTextMatrix(rows - 1, 0, QStringLiteral(" Moyenne"));
    grid.setColWidth(0, shownWidth(grid, 0, data.nameWidth));
    for (int row : {kSurRow, kCoefficientRow, rows - 1}) alignRight(grid, row);

    if (data.series.isEmpty()) {
        AddAverageColumn(grid, positions, kGeneralAverage);
        centreHeader(grid);
        grid.setFixedCols(1);
        grid.setFixedRows(1);
        return;
    }

    // Every period up to the last one used has its average column, even without series.
    QHash<double, QString> texts;
    int period = data.series.first().period;
    for (int p = 1; p < period; ++p) AddAverageColumn(grid, positions, p);
    for (const Series& s : data.series) {
        if (s.period != period) {
            for (int p = period; p < s.period; ++p) AddAverageColumn(grid, positions, p);
            period = s.period;
        }
        const int c = grid.Cols();
        grid.setCols(c + 1);
        grid.setColData(c, s.key);
        grid.setTextMatrix(0, c, s.name);
        grid.setColWidth(c, shownWidth(grid, c, s.width));
        grid.setTextMatrix(kSurRow, c, s.sur);
        grid.setTextMatrix(kCoefficientRow, c, s.coefficient);
        for (int i = 0; i < studentCount; ++i) {
            const auto grade = s.grades.constFind(data.students[i].key);
            if (grade == s.grades.cend()) continue;
            // A class's grades take few distinct values: each is formatted once.
            auto shown = texts.constFind(*grade);
            if (shown == texts.cend()) shown = texts.insert(*grade, numbers::formatGrade(*grade));
            grid.setTextMatrix(kFirstStudentRow + i, c, *shown);
        }
    }
    AddAverageColumn(grid, positions, period);
    AddAverageColumn(grid, positions, kGeneralAverage);

    grid.setFixedCols(1);
    grid.setFixedRows(1);
    const int lastCol = grid.Cols() - 1;
    for (int row : {kFirstStudentRow - 1, rows - 2, rows - 1}) paintFixed(grid, row, 0, row, lastCol);
    centreHeader(grid);
    grid.setCol(1);
    grid.setRow(kFirstStudentRow);
    ComputeAverages(grid, positions, format);
}


}  // namespace

GridData readGrid(const db::Database& database, qint32 numClass, qint32 numMat) {
    // One read transaction: the encrypted file's pages are then decrypted once for all.
    db::Transaction reading(database);
    GridData data;
    db::Recordset classes =
        database.OpenRecordset(Query(QStringLiteral("Classes")).where(Field(kNumClass) == numClass), RecordsetType::Snapshot);
    if (classes.Eof()) return data;
    data.nameWidth = widthInField(classes.Fields(kColonne).Value().toInt());

    db::Recordset students = database.OpenRecordset(Query(QStringLiteral("Elèves"))
                                                        .where(Field(kNumClass) == numClass)
                                                        .orderBy({QStringLiteral("Nom"), QStringLiteral("Prénom")})
                                                        .select({kNumElv, QStringLiteral("Nom"), QStringLiteral("Prénom")}),
                                                    RecordsetType::ForwardOnly);
    const db::RecordField studentKey = students.Fields(kNumElv), surname = students.Fields(QStringLiteral("Nom")),
                          firstName = students.Fields(QStringLiteral("Prénom"));
    for (; !students.Eof(); students.MoveNext())
        data.students.append({studentKey.Value().toInt(), surname.Value().toString() + u' ' + firstName.Value().toString()});
    if (data.students.isEmpty()) return data;

    db::Recordset series = database.OpenRecordset(Query(QStringLiteral("Séries"))
                                                      .where(Field(kNumClass) == numClass && Field(kNumMat) == numMat)
                                                      .orderBy({QStringLiteral("Période"), QStringLiteral("Date")})
                                                      .select({kNumSerie, QStringLiteral("Nom"), QStringLiteral("Sur"),
                                                               QStringLiteral("Coefficient"), QStringLiteral("Période"), kColonne}),
                                                  RecordsetType::ForwardOnly);
    const db::RecordField seriesKey = series.Fields(kNumSerie), name = series.Fields(QStringLiteral("Nom")),
                          sur = series.Fields(QStringLiteral("Sur")), coefficient = series.Fields(QStringLiteral("Coefficient")),
                          period = series.Fields(QStringLiteral("Période")), width = series.Fields(kColonne);
    for (; !series.Eof(); series.MoveNext()) {
        Series s;
        s.key = seriesKey.Value().toInt();
        s.name = name.Value().toString();
        s.sur = byteText(sur.Value());
        s.coefficient = byteText(coefficient.Value());
        s.period = qBound(1, period.Value().toInt(), 3);
        s.width = widthInField(width.Value().toInt());
        db::Recordset notes = database.OpenRecordset(
            Query(QStringLiteral("Notes")).where(Field(kNumSerie) == s.key).select({kNumElv, QStringLiteral("Note")}),
            RecordsetType::ForwardOnly);
        const db::RecordField student = notes.Fields(kNumElv), grade = notes.Fields(QStringLiteral("Note"));
        for (; !notes.Eof(); notes.MoveNext()) s.grades.insert(student.Value().toInt(), grade.Value().toDouble());
        data.series.append(std::move(s));
        // No teacher's class comes near what a grid can hold: a file that asks for more is
        // refused as it is read, not left to fail once shown.
        if (!FlexGrid::Holds(data.students.size() + kFirstStudentRow + 2, data.series.size() + 5))
            throw db::DbError(db::DbErrc::Damaged, QStringLiteral("Séries"));
    }
    return data;
}

void AddAverageColumn(FlexGrid& grid, AveragePositions& positions, int period) {
    const int c = grid.Cols();
    grid.setCols(c + 1);
    grid.setColData(c, 0);
    paintFixed(grid, 0, c, grid.Rows() - 1, c);
    const QString heading =
        period == kGeneralAverage ? QStringLiteral("Moyenne générale") : QStringLiteral("Moyenne %1").arg(period);
    grid.setTextMatrix(0, c, heading);
    grid.setColWidth(c, grid.NeededWidth(heading, windowparts::kHeadingLines, kAverageColumnWidth));
    positions[size_t(period)] = c;
}

void fillGrid(FlexGrid& grid, const GridData& data, AveragePositions& positions, const QString& format) {
    {
        // One repaint at the end rather than one per cell; turned back on whatever happens,
        // or the grid's place would keep its last picture.
        grid.setUpdatesEnabled(false);
        const auto updatesBack = qScopeGuard([&grid] { grid.setUpdatesEnabled(true); });
        layOut(grid, data, positions, format);
        // The headings' row grows to show them whole at their columns' widths.
        if (grid.Rows() > 0) grid.setRowHeight(0, std::max(kHeaderHeight, grid.NeededHeight(0)));
    }
    // Shown or hidden only with its updates on: a grid hidden while they are off does not
    // have its place repainted, and the window keeps showing the class it held before.
    grid.setVisible(!data.students.isEmpty());
}

void ComputeStudentAverages(FlexGrid& grid, const AveragePositions& positions, const QString& format) {
    const int last = lastStudentRow(grid);
    for (int p = 1; p <= 3; ++p) {
        const int averageCol = positions[size_t(p)];
        if (averageCol < 1) continue;
        const int first = p == 1 ? 1 : positions[size_t(p - 1)] + 1;
        struct Scale {
            double sur, coefficient;
        };
        std::vector<Scale> scales;
        for (int c = first; c < averageCol; ++c)
            // A series without a scale weighs nothing, as one out of 0 does.
            scales.push_back({number(grid, kSurRow, c).value_or(0), number(grid, kCoefficientRow, c).value_or(0)});
        for (int r = kFirstStudentRow; r <= last; ++r) {
            averages::Mean period;
            for (int c = first; c < averageCol; ++c) {
                const QString text = grid.TextMatrix(r, c);
                if (text.isEmpty()) continue;
                const Scale& scale = scales[size_t(c - first)];
                if (const auto grade = numbers::parse(text)) period.addGrade(*grade, scale.sur, scale.coefficient);
            }
            grid.setTextMatrix(r, averageCol, period.shown(format));
        }
    }

    const int generalCol = positions[kGeneralAverage];
    if (generalCol < 1) return;
    for (int r = kFirstStudentRow; r <= last; ++r) {
        averages::Mean general;
        for (int p = 1; p <= 3; ++p)
            if (const int c = positions[size_t(p)]; c > 0) general.addShown(grid.TextMatrix(r, c));
        grid.setTextMatrix(r, generalCol, general.shown(format));
    }
}

void ComputeColumnAverage(FlexGrid& grid, int column, const QString& format) {
    const int last = lastStudentRow(grid);
    if (last < kFirstStudentRow) return;
    averages::Mean mean;
    for (int r = kFirstStudentRow; r <= last; ++r) mean.addShown(grid.TextMatrix(r, column));
    grid.setTextMatrix(grid.Rows() - 1, column, mean.shown(format));
}

void ComputeAverages(FlexGrid& grid, const AveragePositions& positions, const QString& format) {
    ComputeStudentAverages(grid, positions, format);
    for (int c = 1; c < grid.Cols(); ++c) ComputeColumnAverage(grid, c, format);
}

void saveColumnWidths(const db::Database& database, const FlexGrid& grid, qint32 numClass) {
    if (grid.Cols() < 1) return;
    db::Transaction writing(database);
    // Writes the column's width into the row found, unless the row already gives it: a
    // column that grew to its texts keeps the width it was created with, to fit them again
    // in another font.
    const auto store = [&grid](db::Recordset& rs, const db::Criteria& row, int col) {
        rs.FindFirst(row);
        if (rs.NoMatch()) return;
        const int twips = widthInField(grid.ColWidth(col));
        const QVariant stored = rs.Fields(kColonne).Value();
        if (!stored.isNull() && shownWidth(grid, col, stored.toInt()) == twips) return;
        rs.Edit();
        rs.Fields(kColonne).setValue(twips);
        rs.Update();
    };
    try {
        db::Recordset classes = database.OpenRecordset(Query(QStringLiteral("Classes")));
        store(classes, Field(kNumClass) == numClass, 0);
        if (grid.Cols() > 1) {
            db::Recordset series = database.OpenRecordset(Query(QStringLiteral("Séries")));
            for (int c = 1; c < grid.Cols(); ++c)
                if (grid.ColData(c) > 0) store(series, Field(kNumSerie) == grid.ColData(c), c);
        }
    } catch (const db::DbError&) {
        // What was written before the failure stays.
    }
    writing.commit();
}

}  // namespace gradegrid
