// Times the grid control against a QTableWidget doing the same work, for the widest grade
// grid (40 rows, 130 columns) and the longest list (1,000 rows, 40 columns): filling every
// cell with new texts and painting, repainting the whole view, and changing one cell until
// it has painted. The table is filled the usual way: its items made once, then setText.
// Medians of the rounds.
#include "BenchKit.h"
#include "platform/FlexGrid.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 21;
const QSize kWindow(1200, 800);

QString cellText(int r, int c, int round) { return QString::number(5 + (r * 7 + c * 3 + round) % 15) + QStringLiteral(",5"); }

// Median of kRounds, in milliseconds; each round knows its number.
double median(const std::function<void(int)>& work) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        work(i);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void print(const char* what, double ours, double table) {
    std::printf("  %-32s grid %9.3f ms, QTableWidget %9.3f ms, ratio %.2f\n", what, ours, table, ours / table);
}

void compare(int rows, int cols) {
    platform::FlexGrid grid;
    grid.resize(kWindow);
    grid.setCols(cols);
    grid.setRows(rows);
    for (int c = 0; c < cols; ++c) grid.setColWidth(c, c == 0 ? 1800 : 600);
    bench::showOnScreen(grid);

    QTableWidget table(rows, cols);
    table.resize(kWindow);
    table.verticalHeader()->setDefaultSectionSize(platform::layoutY(grid.RowHeight(0)));
    for (int c = 0; c < cols; ++c) table.setColumnWidth(c, platform::layoutX(c == 0 ? 1800 : 600));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) table.setItem(r, c, new QTableWidgetItem(cellText(r, c, 0)));
    bench::showOnScreen(table);

    const double fillOurs = median([&](int round) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) grid.setTextMatrix(r, c, cellText(r, c, round + 1));
        bench::paintPending();
    });
    const double fillTable = median([&](int round) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) table.item(r, c)->setText(cellText(r, c, round + 1));
        bench::paintPending();
    });
    const double paintOurs = median([&](int) { grid.viewport()->repaint(); });
    const double paintTable = median([&](int) { table.viewport()->repaint(); });
    const double oneOurs = median([&](int round) {
        grid.setTextMatrix(3, 3, cellText(3, 3, round + 100));
        bench::paintPending();
    });
    const double oneTable = median([&](int round) {
        table.item(3, 3)->setText(cellText(3, 3, round + 100));
        bench::paintPending();
    });

    std::printf("%d x %d cells, %dx%d pixels, median of %d\n", rows, cols, kWindow.width(), kWindow.height(), kRounds);
    print("fill every cell, painted:", fillOurs, fillTable);
    print("repaint the whole view:", paintOurs, paintTable);
    print("change one cell, painted:", oneOurs, oneTable);
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
