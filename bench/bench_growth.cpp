// Times how showing one grid grows with the rest of the file: the same class and subject
// read (readGrid), laid out (fillGrid) and painted in a grid on screen, from the generated
// gradebook at 4 times and at 1 times its size. The first eight classes are the same at
// every scale, so both sides show the same grid: the ratio is what the other classes cost.
//
//   bench_growth [--scale=4]    (the larger scale; the smaller one is 1)
#include "BenchKit.h"

#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/GradeGrid.h"
#include "platform/FlexGrid.h"

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <vector>

namespace {

constexpr int kClass = 6, kSubject = 6;

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QByteArray large = "--scale=4";
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).startsWith("--scale=")) large = argv[i];
    std::vector<char*> oneArgs{argv[0], const_cast<char*>("--scale=1")};
    std::vector<char*> largeArgs{argv[0], large.data()};
    const db::Database small = db::Database::OpenDatabase(bench::benchGradebook(2, oneArgs.data()), gradebook::databasePassword());
    db::Database big = db::Database::OpenDatabase(bench::benchGradebook(2, largeArgs.data()), gradebook::databasePassword());
    // Older files gain the grid's index as they open in the program.
    mUtilities::CheckGradebookVersion(big);

    platform::FlexGrid grid;
    grid.resize(1000, 700);
    bench::showOnScreen(grid);
    gradegrid::AveragePositions positions{};
    const auto show = [&](const db::Database& file) {
        gradegrid::fillGrid(grid, gradegrid::readGrid(file, kClass, kSubject), positions, QStringLiteral("0.0"));
        bench::paintPending();
    };
    show(small);
    std::printf("(grid of %d rows and %d columns)\n", grid.Rows(), grid.Cols());
    std::printf("%-44s %14s %14s %8s\n", "show one grid, painted (median, us)", large.mid(8).append(" times").constData(),
                "1 time", "ratio");
    bench::compare("readGrid + fillGrid + paint", 20, [&](int) { show(big); }, [&](int) { show(small); });
    return 0;
}
