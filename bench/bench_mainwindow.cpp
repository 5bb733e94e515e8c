// Times the main window's two main roads on a large gradebook, each beside the same reads
// done with plain prepared SQLite statements on the same file: opening the gradebook
// (checks, tab bar of every class and subject, the first grid), and showing the grid of
// one class and subject.
//
//   bench_mainwindow [file]    (default: <temp>/quibolet-bench.dat, generated when missing)
#include "BenchKit.h"

#include "controls/vskTab.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

using bench::sink;

// The first class and subject of the generated file, and one in its middle.
constexpr int kFirstClass = 1, kFirstSubject = 1, kClassPosition = 15, kSubjectPosition = 6;

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv);
    const QString& path = window.path;
    frmMain& main = *window.main;
    bench::Plain plain(path);
    bench::PlainGrid plainGrid(plain);

    bench::printHeader();
    // Each run of the program ends with the events it posted handled (the old tab bar
    // deleted, the window laid out and painted), as the user's next action would find it.
    const auto settle = [] { QCoreApplication::sendPostedEvents(); };
    bench::compare("open the gradebook (OpenAFile)", 3, [&](int) {
        sink += main.OpenAFile(path);
        settle();
    }, [&](int) {
        bench::Plain p(path);
        bench::plainOpen(p, {"App", "VersionID", "Passe", "Moyenne"});
        bench::readAll(p.prepare("SELECT \"NumClass\", \"Nom\", \"Nom abrégé\" FROM \"Classes\" ORDER BY rowid"));
        bench::readAll(p.prepare("SELECT \"NumMat\", \"Nom\" FROM \"Matières\" ORDER BY rowid"));
        bench::PlainGrid(p).read(kFirstClass, kFirstSubject);
    });

    main.vskTab_HeaderClick(kClassPosition);
    main.vskTab_ItemClick(kClassPosition, kSubjectPosition);
    const int classKey = main.vskTab->SectionAt(kClassPosition).Tag().toInt();
    const int subjectKey = main.vskTab->SectionAt(kClassPosition).SelectedItem().Tag().toInt();
    std::printf("(grid of %d rows and %d columns)\n", main.flxNotes->Rows(), main.flxNotes->Cols());
    bench::compare("show one class and subject (ShowItem)", 20, [&](int) {
        main.ShowItem();
        settle();
    },
                   [&](int) { plainGrid.read(classKey, subjectKey); });
    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
