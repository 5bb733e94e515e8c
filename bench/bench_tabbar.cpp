// Times opening a gradebook of many classes and subjects (300 and 500, as a whole school's
// timetable may give one teacher), until the main window has painted, beside plain reads of
// its properties, classes, subjects and first grid and a QPainter drawing the texts that the
// tab bar and that grid show; then the same opening with 2,003 subjects against 500, which
// should cost the teacher nothing more; then showing the last subject of the last class.
//
//   bench_tabbar [file]    (default: <temp>/quibolet-bench-300x500.dat, generated when missing)
#include "BenchKit.h"

#include "controls/vskTab.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"

#include <cstdio>
#include <vector>

namespace {

using bench::sink;

// What a widget shows of cells: those that lie within it.
QList<bench::DrawnCell> inView(const QList<bench::DrawnCell>& cells, const QWidget& widget) {
    QList<bench::DrawnCell> shown;
    for (const bench::DrawnCell& cell : cells)
        if (cell.rect.intersects(widget.rect())) shown.append(cell);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv, [](int c, char** v) { return bench::wideGradebook(c, v); });
    const QString& path = window.path;
    frmMain& main = *window.main;
    std::vector<char*> noArgs{argv[0]};
    const QString more = bench::wideGradebook(1, noArgs.data(), 2003);

    if (!main.OpenAFile(path)) return 1;
    bench::paintPending();
    std::printf("(%d classes, %d subjects; %lld widgets in the tab bar)\n", main.vskTab->SectionCount(),
                main.vskTab->SectionAt(1).ItemCount(), qlonglong(main.vskTab->findChildren<QWidget*>().size()));
    bench::PlainCanvas gridCanvas(*main.flxNotes), barCanvas(*main.vskTab);
    const QList<bench::DrawnCell> gridCells = bench::visibleCells(*main.flxNotes);
    const QList<bench::DrawnCell> barCells = inView(bench::tabBarCells(*main.vskTab), *main.vskTab);

    const auto open = [&](const QString& file) {
        sink += main.OpenAFile(file);
        bench::paintPending();
    };
    bench::printHeader();
    bench::compare("open 300 classes, 500 subjects, painted", 3, [&](int) { open(path); }, [&](int) {
        bench::Plain p(path);
        bench::plainOpen(p, {"App", "VersionID", "Passe", "Moyenne"});
        bench::readAll(p.prepare("SELECT \"NumClass\", \"Nom\", \"Nom abrégé\" FROM \"Classes\" ORDER BY rowid"));
        bench::readAll(p.prepare("SELECT \"NumMat\", \"Nom\" FROM \"Matières\" ORDER BY rowid"));
        bench::PlainGrid(p).read(1, 1);
        barCanvas.draw(barCells);
        gridCanvas.draw(gridCells);
    });
    std::printf("%-44s %14s %14s %8s\n", "open, painted (median, us)", "2,003", "500", "ratio");
    bench::compare("OpenAFile of 2,003 subjects against 500", 3, [&](int) { open(more); }, [&](int) { open(path); });

    const int last = main.vskTab->SectionCount();
    const int lastSubject = main.vskTab->SectionAt(last).ItemCount();
    bench::Plain plain(path);
    bench::PlainGrid plainGrid(plain);
    const int classKey = main.vskTab->SectionAt(last).Tag().toInt();
    const int subjectKey = main.vskTab->SectionAt(last).ItemAt(lastSubject).Tag().toInt();
    const auto showLast = [&] {
        main.selectClassAndSubject(last, lastSubject);
        bench::paintPending();
    };
    showLast();
    const QList<bench::DrawnCell> lastCells = inView(bench::tabBarCells(*main.vskTab), *main.vskTab);
    std::printf("%-44s %14s %14s %8s\n", "operation (median time, microseconds)", "program", "baseline", "ratio");
    bench::compare("show the last subject of the last class", 20, [&](int) {
        main.selectClassAndSubject(1, 1);
        showLast();
    }, [&](int) {
        plainGrid.read(1, 1);
        plainGrid.read(classKey, subjectKey);
        barCanvas.draw(barCells);
        barCanvas.draw(lastCells);
    });
    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
