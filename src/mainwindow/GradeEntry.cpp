#include "GradeEntry.h"

#include "GradeGrid.h"
#include "gradebook/StoreNames.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"

#include <cfloat>
#include <optional>

namespace gradeentry {
namespace {

using db::Field;
using platform::FlexGrid;
namespace numbers = platform::numbers;

using namespace storenames;

QString refusal(const QString& series, const QString& reason) {
    return QStringLiteral("Série de notes: ") + series + QStringLiteral("\n   ") + reason;
}

QString invalidValue(const QString& series) {
    return refusal(series, QStringLiteral("Vous avez saisi une valeur non valide."));
}

// The whole number that a byte field would store, or nothing when it cannot hold the text.
std::optional<int> byteValue(const QString& text) {
    const std::optional<double> value = numbers::parse(text);
    if (!value) return std::nullopt;
    const double rounded = numbers::roundHalfEven(*value);
    if (rounded < 0 || rounded > 255) return std::nullopt;
    return int(rounded);
}

// A grade is what the entry box lets through: a number that is not negative and that a
// single-precision field can hold.
std::optional<float> gradeValue(const QString& text) {
    const std::optional<double> value = numbers::parse(text);
    if (!value || *value < 0 || *value > FLT_MAX) return std::nullopt;
    return float(*value);
}

// The cells a commit changed, with the texts they showed before: when the store fails,
// the grid shows again what the gradebook still holds.
class ShownCells {
public:
    explicit ShownCells(FlexGrid& grid) : m_grid(grid) {}
    void set(int row, int col, const QString& text) {
        m_before.append({row, col, m_grid.TextMatrix(row, col)});
        m_grid.setTextMatrix(row, col, text);
    }
    void restore() {
        for (auto it = m_before.crbegin(); it != m_before.crend(); ++it) m_grid.setTextMatrix(it->row, it->col, it->text);
    }

private:
    struct Before {
        int row, col;
        QString text;
    };
    FlexGrid& m_grid;
    QList<Before> m_before;
};

// Writes one student's grade (an empty text deletes it) and shows what was stored.
// Throws DbError when the store fails.
void writeGrade(ShownCells& shown, const FlexGrid& grid, int row, int col, const QString& text,
                std::optional<float> grade, db::Recordset& notes, QStringList& refused) {
    if (!text.isEmpty() && !grade) {
        refused << invalidValue(grid.TextMatrix(0, col));
        return;
    }
    try {
        notes.FindFirst(Field(kNumSerie) == grid.ColData(col) && Field(QStringLiteral("NumElv")) == grid.RowData(row));
        if (text.isEmpty()) {
            if (!notes.NoMatch()) notes.Delete();
            shown.set(row, col, QString());
            return;
        }
        if (notes.NoMatch()) {
            notes.AddNew();
            notes.Fields(kNumSerie).setValue(grid.ColData(col));
            notes.Fields(QStringLiteral("NumElv")).setValue(grid.RowData(row));
        } else {
            notes.Edit();
        }
        notes.Fields(QStringLiteral("Note")).setValue(*grade);
        notes.Update();
        shown.set(row, col, numbers::formatGrade(*grade));
    } catch (const db::DbError& e) {
        // The cell keeps the grade that the gradebook still holds.
        if (!e.concernsValue()) throw;
        refused << invalidValue(grid.TextMatrix(0, col));
    }
}

// "Sur" and "Coefficient" of the column's series; false when the series is gone or a
// value is refused (with its line). Throws DbError when the file fails.
bool writeScale(ShownCells& shown, const FlexGrid& grid, int Column, const QString& Sur, const QString& Coefficient,
                const db::Database& database, QStringList& refused) {
    const std::optional<int> sur = byteValue(Sur), coefficient = byteValue(Coefficient);
    if (!sur || !coefficient) {
        refused << invalidValue(grid.TextMatrix(0, Column));
        return false;
    }
    try {
        db::Recordset series = database.OpenRecordset(db::Query(QStringLiteral("Séries")));
        series.FindFirst(Field(kNumSerie) == grid.ColData(Column));
        if (series.NoMatch()) return false;
        series.Edit();
        series.Fields(QStringLiteral("Sur")).setValue(*sur);
        series.Fields(QStringLiteral("Coefficient")).setValue(*coefficient);
        series.Update();
    } catch (const db::DbError& e) {
        if (!e.concernsValue()) throw;
        refused << invalidValue(grid.TextMatrix(0, Column));
        return false;
    }
    shown.set(gradegrid::kSurRow, Column, QString::number(*sur));
    shown.set(gradegrid::kCoefficientRow, Column, QString::number(*coefficient));
    return true;
}

}  // namespace

QString refusalHeading() {
    return QStringLiteral("Une ou plusieurs de vos saisies sont incorrectes.\nElles ont été annulées.");
}

QString NormaliseEntry(const QString& text) {
    QString t = text;
    if (t.startsWith(u',')) t.prepend(u'0');
    if (t.endsWith(u',')) t.chop(1);
    return t;
}

QStringList CommitSelection(FlexGrid& grid, const QString& text, const db::Database& database, db::Recordset& notes) {
    const QString t = NormaliseEntry(text);
    const std::optional<float> grade = gradeValue(t);
    const int rowStep = grid.Row() <= grid.RowSel() ? 1 : -1;
    const int colStep = grid.Col() <= grid.ColSel() ? 1 : -1;
    const int bottomBand = grid.Rows() - 2;
    QStringList refused;
    ShownCells shown(grid);
    // One transaction for the whole selection: one write to the disk, and a failure of the
    // store leaves none of it written.
    try {
        db::Transaction writing(database);
        for (int c = grid.Col();; c += colStep) {
            if (grid.ColData(c) >= 1) {
                const QString name = grid.TextMatrix(0, c);
                for (int r = grid.Row();; r += rowStep) {
                    if (r == gradegrid::kSurRow) {
                        if (t.isEmpty() || byteValue(t) == 0)
                            refused << refusal(name, QStringLiteral("'Note/' doit être renseigné et non nul."));
                        else
                            writeScale(shown, grid, c, t, grid.TextMatrix(gradegrid::kCoefficientRow, c), database, refused);
                    } else if (r == gradegrid::kCoefficientRow) {
                        if (t.isEmpty())
                            refused << refusal(name, QStringLiteral("'Coefficient' doit être renseigné."));
                        else
                            writeScale(shown, grid, c, grid.TextMatrix(gradegrid::kSurRow, c), t, database, refused);
                    } else if (r >= gradegrid::kFirstStudentRow && r < bottomBand) {
                        writeGrade(shown, grid, r, c, t, grade, notes, refused);
                    }
                    if (r == grid.RowSel()) break;
                }
            }
            if (c == grid.ColSel()) break;
        }
        writing.commit();
    } catch (const db::DbError&) {
        shown.restore();
        throw;
    }
    return refused;
}

}  // namespace gradeentry
