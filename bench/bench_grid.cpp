// Times the grid control against a QTableWidget doing the same work: filling a grid cell by
// cell, then repainting it whole, for the widest grade grid (40 rows, 130 columns) and the
// longest list (1,000 rows, 40 columns).
#include "platform/FlexGrid.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableWidget>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRounds = 20;
const QSize kWindow(1200, 800);

QString cellText(int r, int c) { return QString::number(5 + (r * 7 + c * 3) % 15) + QStringLiteral(",5"); }

// Best of kRounds, in milliseconds: the least disturbed run.
double best(const std::function<void()>& work) {
    double least = 1e300;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        least = std::min(least, t.nsecsElapsed() / 1e6);
    }
    return least;
}

void compare(int rows, int cols) {
    platform::FlexGrid grid;
    grid.resize(kWindow);
    grid.setCols(cols);
    grid.setRows(rows);
    for (int c = 0; c < cols; ++c) grid.setColWidth(c, c == 0 ? 1800 : 600);
    grid.show();

    QTableWidget table(rows, cols);
    table.resize(kWindow);
    table.verticalHeader()->setDefaultSectionSize(platform::twipsToPixels(grid.RowHeight(0)));
    for (int c = 0; c < cols; ++c) table.setColumnWidth(c, c == 0 ? 120 : 40);
    table.show();
    QApplication::processEvents();

    const double fillOurs = best([&] {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) grid.setTextMatrix(r, c, cellText(r, c));
        QApplication::processEvents();
    });
    const double fillTable = best([&] {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) table.setItem(r, c, new QTableWidgetItem(cellText(r, c)));
        QApplication::processEvents();
    });
    const double paintOurs = best([&] { grid.viewport()->repaint(); });
    const double paintTable = best([&] { table.viewport()->repaint(); });

    std::printf("%d x %d cells, %dx%d pixels, best of %d\n", rows, cols, kWindow.width(), kWindow.height(),
                kRounds);
    std::printf("  fill cell by cell: grid %8.3f ms, QTableWidget %8.3f ms, ratio %.2f\n", fillOurs, fillTable,
                fillOurs / fillTable);
    std::printf("  full repaint:      grid %8.3f ms, QTableWidget %8.3f ms, ratio %.2f\n", paintOurs, paintTable,
                paintOurs / paintTable);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("ratio = grid / QTableWidget (below 1: the grid is faster)\n");
    compare(40, 130);
    compare(1000, 40);
    return 0;
}
