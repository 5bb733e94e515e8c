// Times the commit of a typed grade on a large gradebook, into one cell and into a
// selection of a whole class in one series, until the changed cells have painted, each
// beside a baseline: the same writes with plain prepared statements in one transaction
// (for each cell, find the grade, then change it), plus a QPainter drawing those cells.
//
//   bench_entry [--scale=0.25|1|4] [file]
#include "BenchKit.h"

#include "controls/vskTab.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"

#include <QLineEdit>
#include <cstdio>

namespace {

using bench::sink;

constexpr int kSubjectPosition = 6;
constexpr int kFirstStudentRow = 4;

// The grade written by a run: each run changes what the previous one wrote.
int gradeOf(int run) { return 5 + run % 11; }

// Finds the grade of one student in one series, then writes it: the plain way.
class PlainWrite {
public:
    explicit PlainWrite(const bench::Plain& plain)
        : m_plain(plain),
          m_find(plain.prepare("SELECT rowid FROM \"Notes\" WHERE \"NumSérie\" = ? AND \"NumElv\" = ?")),
          m_update(plain.prepare("UPDATE \"Notes\" SET \"Note\" = ? WHERE rowid = ?")),
          m_insert(plain.prepare("INSERT INTO \"Notes\" (\"Note\", \"NumSérie\", \"NumElv\") VALUES (?, ?, ?)")) {}

    void begin() { sqlite3_exec(m_plain.h, "BEGIN", nullptr, nullptr, nullptr); }
    void commit() { sqlite3_exec(m_plain.h, "COMMIT", nullptr, nullptr, nullptr); }

    void write(int series, int student, double grade) {
        sqlite3_bind_int(m_find.get(), 1, series);
        sqlite3_bind_int(m_find.get(), 2, student);
        if (sqlite3_step(m_find.get()) == SQLITE_ROW) {
            sqlite3_bind_double(m_update.get(), 1, grade);
            sqlite3_bind_int64(m_update.get(), 2, sqlite3_column_int64(m_find.get(), 0));
            sink += sqlite3_step(m_update.get());
            sqlite3_reset(m_update.get());
        } else {
            sqlite3_bind_double(m_insert.get(), 1, grade);
            sqlite3_bind_int(m_insert.get(), 2, series);
            sqlite3_bind_int(m_insert.get(), 3, student);
            sink += sqlite3_step(m_insert.get());
            sqlite3_reset(m_insert.get());
        }
        sqlite3_reset(m_find.get());
    }

private:
    const bench::Plain& m_plain;
    db::sqlite::Statement m_find, m_update, m_insert;
};

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv);
    const QString& path = window.path;
    frmMain& main = *window.main;
    if (!main.OpenAFile(path)) return 1;
    mUtilities::gDB.awaitIntegrity();  // the opening's check, done while the first grid is read
    platform::FlexGrid& grid = *main.flxNotes;
    // The largest class among the first ones, which are the same at every scale.
    int largest = 1, mostRows = 0;
    for (int section = 1; section <= qMin(8, main.vskTab->SectionCount()); ++section) {
        main.vskTab_HeaderClick(section);
        main.vskTab_ItemClick(section, kSubjectPosition);
        if (grid.Rows() > mostRows) largest = section, mostRows = grid.Rows();
    }
    main.vskTab_HeaderClick(largest);
    main.vskTab_ItemClick(largest, kSubjectPosition);
    bench::paintPending();
    const int students = grid.Rows() - kFirstStudentRow - 2;
    const int column = 1;
    const int series = grid.ColData(column);
    std::printf("(grid of %d rows and %d columns, %d students)\n", grid.Rows(), grid.Cols(), students);

    bench::Plain plain(path);
    PlainWrite plainWrite(plain);
    bench::PlainCanvas canvas(grid);
    bench::PaintCounter painted(grid.viewport());
    // The grade typed over the selection, committed as Enter does, until painted.
    const auto commit = [&](int lastRow, int run) {
        grid.setRow(kFirstStudentRow);
        grid.setCol(column);
        grid.setRowSel(lastRow);
        grid.setColSel(column);
        main.txtNote->setText(QString::number(gradeOf(run)));
        main.StartNoteEdit();
        main.EndNoteEdit();
        bench::paintPending();
    };
    const auto plainCommit = [&](int lastRow, int run) {
        plainWrite.begin();
        for (int row = kFirstStudentRow; row <= lastRow; ++row) plainWrite.write(series, grid.RowData(row), gradeOf(run));
        plainWrite.commit();
        QList<bench::DrawnCell> cells = bench::blockCells(grid, kFirstStudentRow, column, lastRow, column);
        for (bench::DrawnCell& cell : cells) cell.text = QString::number(gradeOf(run));
        canvas.draw(cells);
    };

    bench::printHeader();
    bench::compare("commit one grade (EndNoteEdit), painted", 20, [&](int run) { commit(kFirstStudentRow, run); },
                   [&](int run) { plainCommit(kFirstStudentRow, run); });
    std::printf("(%d paints, %lld pixels each)\n", painted.paints(), painted.pixels() / qMax(1, painted.paints()));
    const int lastRow = kFirstStudentRow + students - 1;
    const QByteArray label = QStringLiteral("commit a grade over %1 cells, painted").arg(students).toUtf8();
    bench::compare(label.constData(), 5, [&](int run) { commit(lastRow, run); },
                   [&](int run) { plainCommit(lastRow, run); });
    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
