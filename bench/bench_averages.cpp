// Times the table of averages on a large gradebook: showing one class's averages (its
// grades read, every average computed, the grid filled and painted) beside one plain query
// reading the same grades with their series; and filling the tree of every class and
// student beside that same query.
//
//   bench_averages [file]    (default: <temp>/quibolet-bench.dat, generated when missing)
#include "BenchKit.h"

#include "editing/frmEleves.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"

#include <QCoreApplication>
#include <QTreeWidget>
#include <cstdio>

namespace {

using bench::sink;

constexpr int kClassPosition = 15;  // a class in the middle of the tree

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv);
    const QString& path = window.path;
    if (!window.main->OpenAFile(path)) return 1;
    if (!frmElèves::Open(*window.main)) return 1;
    frmElèves& averages = *platform::Form<frmElèves>::instance();
    averages.resize(1200, 800);
    const auto settle = [] { QCoreApplication::sendPostedEvents(); };
    settle();

    bench::Plain plain(path);
    const db::sqlite::Statement grades = plain.prepare(
        "SELECT \"Notes\".\"NumElv\", \"Notes\".\"Note\", \"Séries\".\"NumMat\", \"Séries\".\"Période\", "
        "\"Séries\".\"Sur\", \"Séries\".\"Coefficient\" FROM \"Notes\" INNER JOIN \"Séries\" "
        "ON \"Notes\".\"NumSérie\" = \"Séries\".\"NumSérie\" WHERE \"Séries\".\"NumClass\" = ?");
    QTreeWidgetItem* node = averages.treElv->topLevelItem(kClassPosition - 1);
    const int classKey = node->data(0, Qt::UserRole).toString().mid(1).toInt();
    const auto query = [&](int) {
        sqlite3_bind_int(grades.get(), 1, classKey);
        sqlite3_stmt* s = grades.get();
        // One read transaction, as the program's.
        sqlite3_exec(plain.h, "BEGIN", nullptr, nullptr, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            sink += sqlite3_column_int(s, 0) + sqlite3_column_double(s, 1) + sqlite3_column_int(s, 2)
                  + sqlite3_column_int(s, 3) + sqlite3_column_int(s, 4) + sqlite3_column_int(s, 5);
        sqlite3_reset(s);
        sqlite3_exec(plain.h, "COMMIT", nullptr, nullptr, nullptr);
    };

    bench::printHeader();
    bench::compare("show one class's averages", 10, [&](int) {
        averages.flxClass->setTag(QString());  // computed again, as after a change of decimals
        averages.ActualiseElèves(node);
        averages.flxClass->viewport()->repaint();
        settle();
    }, query);
    std::printf("(grid of %d rows and %d columns)\n", averages.flxClass->Rows(), averages.flxClass->Cols());

    bench::compare("fill the tree of classes and students", 10, [&](int) {
        averages.FillTree();
        averages.treElv->viewport()->repaint();
        settle();
    }, query);
    int students = 0;
    for (int c = 0; c < averages.treElv->topLevelItemCount(); ++c) students += averages.treElv->topLevelItem(c)->childCount();
    std::printf("(%d classes, %d students)\n", averages.treElv->topLevelItemCount(), students);
    std::printf("\n(checksum %g)\n", sink);
    platform::Form<frmElèves>::unload();
    return 0;
}
