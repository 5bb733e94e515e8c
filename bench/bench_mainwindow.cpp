// Times the main window's two main roads on a large gradebook, until the window has
// painted, each beside a baseline doing the same essential work the fastest obvious way:
// - opening the gradebook (checks, tab bar of every class and subject, the first grid),
//   against plain reads of the properties, the classes, the subjects and the first grid,
//   plus a QPainter drawing the texts that grid shows (no walk of the whole file: the
//   program makes that one while the grid shows);
// - the same opening followed by the verdict of that walk, which a write made as soon as
//   the grid shows waits for, against the same plain reads after SQLite's whole check;
// - showing the grid of one class and subject, against the plain reads of that grid (with
//   the best query plan the file allows) plus the same drawing.
// At any other scale than 1, opening is also timed against opening the gradebook at 1 time
// its size: what the rest of the file costs the teacher who opens it.
//
//   bench_mainwindow [--scale=0.25|1|4] [file]
#include "BenchKit.h"

#include "controls/vskTab.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"

#include <cstdio>
#include <vector>

namespace {

using bench::sink;

// The first class and subject of the generated file, and one in its middle.
constexpr int kFirstClass = 1, kFirstSubject = 1, kClassPosition = 6, kSubjectPosition = 6;

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv);
    const QString& path = window.path;
    frmMain& main = *window.main;
    bench::Plain plain(path);
    bench::PlainGrid plainGrid(plain);

    // What the first grid shows, drawn by the baseline as the program draws it.
    if (!main.OpenAFile(path)) return 1;
    bench::paintPending();
    bench::PlainCanvas canvas(*main.flxNotes);
    const QList<bench::DrawnCell> firstCells = bench::visibleCells(*main.flxNotes);

    const auto open = [&](const QString& file) {
        sink += main.OpenAFile(file);
        bench::paintPending();
    };
    const auto plainOpening = [&](bool wholeFile) {
        bench::Plain p(path);
        bench::plainOpen(p, {"App", "VersionID", "Passe", "Moyenne"}, wholeFile);
        bench::readAll(p.prepare("SELECT \"NumClass\", \"Nom\", \"Nom abrégé\" FROM \"Classes\" ORDER BY rowid"));
        bench::readAll(p.prepare("SELECT \"NumMat\", \"Nom\" FROM \"Matières\" ORDER BY rowid"));
        bench::PlainGrid(p).read(kFirstClass, kFirstSubject);
        canvas.draw(firstCells);
    };
    bench::printHeader();
    bench::compare("open the gradebook (OpenAFile), painted", 3, [&](int) { open(path); }, [&](int) { plainOpening(false); });
    bench::compare("open, then the whole-file check's verdict", 3, [&](int) {
        open(path);
        mUtilities::gDB.awaitIntegrity();
    }, [&](int) { plainOpening(true); });
    std::vector<char*> oneArgs{argv[0], const_cast<char*>("--scale=1")};
    if (const QString one = bench::benchGradebook(2, oneArgs.data()); one != path) {
        std::printf("%-44s %14s %14s %8s\n", "open, painted (median, us)", "this file", "1 time", "ratio");
        bench::compare("OpenAFile at this scale against at 1 time", 3, [&](int) { open(path); }, [&](int) { open(one); });
        open(path);
    }

    main.vskTab_HeaderClick(kClassPosition);
    main.vskTab_ItemClick(kClassPosition, kSubjectPosition);
    bench::paintPending();
    const int classKey = main.vskTab->SectionAt(kClassPosition).Tag().toInt();
    const int subjectKey = main.vskTab->SectionAt(kClassPosition).SelectedItem().Tag().toInt();
    const QList<bench::DrawnCell> cells = bench::visibleCells(*main.flxNotes);
    std::printf("(grid of %d rows and %d columns, %lld cells in view)\n", main.flxNotes->Rows(), main.flxNotes->Cols(),
                qlonglong(cells.size()));
    bench::compare("show one class and subject (ShowItem), painted", 20, [&](int) {
        main.ShowItem();
        bench::paintPending();
    }, [&](int) {
        plainGrid.read(classKey, subjectKey);
        canvas.draw(cells);
    });
    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
