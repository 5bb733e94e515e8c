// Times the table of averages on a large gradebook, until painted:
// - opening it from the main window (the window made, the tree of classes and students,
//   the first class's averages, the main window closed), beside the direct way: plain
//   reads of what the first class's grid shows (subjects, coefficients, students, grades
//   with their series) and a QPainter drawing the texts of that grid and of the tree;
// - showing one class's averages (its grades read, every average computed, the grid filled
//   and painted) beside the same plain reads and the drawing of that grid's texts;
// - filling the tree of every class (a class's students come as it opens) beside the
//   plain reads of one class.
//
//   bench_averages [file]    (default: <temp>/quibolet-bench.dat, generated when missing)
#include "BenchKit.h"

#include "editing/frmEleves.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"

#include <QCoreApplication>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cstdio>

namespace {

using bench::sink;

constexpr int kClassPosition = 15;  // a class in the middle of the tree

// The rows of the tree in view, with their texts.
QList<bench::DrawnCell> treeCells(const QTreeWidget& tree) {
    QList<bench::DrawnCell> cells;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree), QTreeWidgetItemIterator::NotHidden); *it; ++it) {
        const QRect r = tree.visualItemRect(*it);
        if (r.isValid() && r.intersects(tree.viewport()->rect())) cells.append({r, (*it)->text(0)});
    }
    return cells;
}

// The plain reads of a class's averages: the class's coefficients and students, and its
// grades with their series, in one read transaction.
class PlainClass {
public:
    explicit PlainClass(const bench::Plain& plain)
        : m_h(plain.h),
          m_subjects(plain.prepare("SELECT \"NumMat\", \"Nom\" FROM \"Matières\" ORDER BY rowid")),
          m_coefficients(plain.prepare("SELECT \"NumMat\", \"Coefficient\" FROM \"Coefficients\" WHERE \"NumClass\" = ?")),
          m_students(plain.prepare("SELECT \"NumElv\", \"Nom\", \"Prénom\" FROM \"Elèves\" WHERE \"NumClass\" = ? "
                                   "ORDER BY \"Nom\" COLLATE FRSORT, \"Prénom\" COLLATE FRSORT")),
          m_grades(plain.prepare(
              "SELECT \"Notes\".\"NumElv\", \"Notes\".\"Note\", \"Séries\".\"NumMat\", \"Séries\".\"Période\", "
              "\"Séries\".\"Sur\", \"Séries\".\"Coefficient\" FROM \"Notes\" INNER JOIN \"Séries\" "
              "ON \"Notes\".\"NumSérie\" = \"Séries\".\"NumSérie\" WHERE \"Séries\".\"NumClass\" = ?")) {}

    void read(int classKey, bool withSubjects) {
        sqlite3_exec(m_h, "BEGIN", nullptr, nullptr, nullptr);
        if (withSubjects) bench::readAll(m_subjects);
        for (const db::sqlite::Statement* s : {&m_coefficients, &m_students}) {
            sqlite3_bind_int(s->get(), 1, classKey);
            bench::readAll(*s);
        }
        sqlite3_stmt* s = m_grades.get();
        sqlite3_bind_int(s, 1, classKey);
        while (sqlite3_step(s) == SQLITE_ROW)
            sink += sqlite3_column_int(s, 0) + sqlite3_column_double(s, 1) + sqlite3_column_int(s, 2)
                  + sqlite3_column_int(s, 3) + sqlite3_column_int(s, 4) + sqlite3_column_int(s, 5);
        sqlite3_reset(s);
        sqlite3_exec(m_h, "COMMIT", nullptr, nullptr, nullptr);
    }

private:
    sqlite3* m_h;
    db::sqlite::Statement m_subjects, m_coefficients, m_students, m_grades;
};

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv);
    const QString& path = window.path;
    if (!window.main->OpenAFile(path)) return 1;
    bench::paintPending();
    bench::Plain plain(path);
    PlainClass plainClass(plain);

    // The main window as the teacher leaves it, then the table of averages in its place.
    // The window that goes is destroyed as the event loop would destroy it, before the
    // paint.
    const auto unloaded = [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); };
    const auto backToMain = [&](int) {
        if (frmElèves* averages = platform::Form<frmElèves>::instance()) averages->mnuGen_Click(0);
        unloaded();
        bench::paintPending();
    };
    const auto openAverages = [&](int) {
        frmElèves::Open(platform::Form<frmMain>::get());
        unloaded();
        bench::paintPending();
    };
    // Until painted: what the paint leaves to do afterwards is left to the next setup.
    const auto openUntilPainted = [&](int) {
        frmElèves::Open(platform::Form<frmMain>::get());
        unloaded();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    };
    openAverages(0);
    frmElèves* opened = platform::Form<frmElèves>::instance();
    if (!opened) return 1;
    const int firstClass = opened->treElv->topLevelItem(0)->data(0, Qt::UserRole).toString().mid(1).toInt();
    bench::PlainCanvas gridCanvas(*opened->flxClass), treeCanvas(*opened->treElv->viewport());
    const QList<bench::DrawnCell> gridCells = bench::visibleCells(*opened->flxClass);
    const QList<bench::DrawnCell> treeTexts = treeCells(*opened->treElv);
    backToMain(0);

    bench::printHeader();
    bench::compareFresh("open the table of averages, painted", 15, {backToMain, openUntilPainted}, {[](int) {}, [&](int) {
        plainClass.read(firstClass, true);
        treeCanvas.draw(treeTexts);
        gridCanvas.draw(gridCells);
    }});

    openAverages(0);
    frmElèves& averages = *platform::Form<frmElèves>::instance();
    QTreeWidgetItem* node = averages.treElv->topLevelItem(kClassPosition - 1);
    const int classKey = node->data(0, Qt::UserRole).toString().mid(1).toInt();
    averages.treElv->setCurrentItem(node);
    bench::paintPending();
    const QList<bench::DrawnCell> classCells = bench::visibleCells(*averages.flxClass);
    bench::compare("show one class's averages, painted", 10, [&](int) {
        averages.flxClass->setTag(QString());  // computed again, as after a change of decimals
        averages.ActualiseElèves(node);
        bench::paintPending();
    }, [&](int) {
        plainClass.read(classKey, false);
        gridCanvas.draw(classCells);
    });
    std::printf("(grid of %d rows and %d columns)\n", averages.flxClass->Rows(), averages.flxClass->Cols());

    bench::compare("fill the tree of classes", 10, [&](int) {
        averages.FillTree();
        averages.treElv->viewport()->repaint();
        QCoreApplication::sendPostedEvents();
    }, [&](int) { plainClass.read(classKey, false); });
    std::printf("(%d classes)\n", averages.treElv->topLevelItemCount());
    std::printf("\n(checksum %g)\n", sink);
    platform::Form<frmElèves>::unload();
    return 0;
}
