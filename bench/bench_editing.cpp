// Times the editing dialogs' writes on a large gradebook (12 subjects, so a new class gets
// 12 coefficient rows): creating a class and adding a student, each beside the same plain
// SQLite statements in one transaction; then creating a class as the teacher waits for it,
// the tab bar rebuilt, the grid on screen shown again and all painted, beside the plain
// writes, the reads of that rebuild and that grid, and a QPainter drawing the texts of the
// tab bar and of the grid.
// It works on a copy of the gradebook, which it fills with new classes and students.
//
//   bench_editing [file]    (default: <temp>/quibolet-bench.dat, generated when missing)
#include "BenchKit.h"

#include "editing/ClassEdit.h"
#include "editing/EditingMessages.h"
#include "editing/StudentEdit.h"
#include "gradebook/mUtilities.h"
#include "controls/vskTab.h"
#include "mainwindow/frmMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using bench::sink;

// The plain creation of a class: its row, then one coefficient row per subject.
class PlainClass {
public:
    explicit PlainClass(const bench::Plain& plain)
        : m_h(plain.h),
          m_class(plain.prepare("INSERT INTO \"Classes\" (\"Nom\", \"Nom abrégé\", \"Colonne\") VALUES (?, ?, 1800)")),
          m_subjects(plain.prepare("SELECT \"NumMat\" FROM \"Matières\" ORDER BY rowid")),
          m_coefficient(plain.prepare(
              "INSERT INTO \"Coefficients\" (\"NumClass\", \"NumMat\", \"Coefficient\") VALUES (?, ?, 1)")) {}

    void create(const QByteArray& name, const QByteArray& shortName) {
        sqlite3_exec(m_h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_bind_text(m_class.get(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(m_class.get(), 2, shortName.constData(), int(shortName.size()), SQLITE_TRANSIENT);
        sqlite3_step(m_class.get());
        sqlite3_reset(m_class.get());
        const sqlite3_int64 key = sqlite3_last_insert_rowid(m_h);
        while (sqlite3_step(m_subjects.get()) == SQLITE_ROW) {
            sqlite3_bind_int64(m_coefficient.get(), 1, key);
            sqlite3_bind_int64(m_coefficient.get(), 2, sqlite3_column_int64(m_subjects.get(), 0));
            sqlite3_step(m_coefficient.get());
            sqlite3_reset(m_coefficient.get());
        }
        sqlite3_reset(m_subjects.get());
        sqlite3_exec(m_h, "COMMIT", nullptr, nullptr, nullptr);
    }

private:
    sqlite3* m_h;
    db::sqlite::Statement m_class, m_subjects, m_coefficient;
};

// Every run writes a name never used before: the runs of each round count from 0 again.
int g_next = 0;
QByteArray name(const char* prefix) { return QByteArray(prefix) + QByteArray::number(++g_next); }

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv);
    QTemporaryDir copyDir;
    const QString path = copyDir.filePath(QStringLiteral("copie.dat"));
    if (!QFile::copy(window.path, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(window.path));
        return 1;
    }
    frmMain& main = *window.main;
    if (!main.OpenAFile(path)) return 1;
    mUtilities::gDB.awaitIntegrity();  // the opening's check, done while the first grid is read
    const db::Database& file = mUtilities::gDB;
    bench::Plain plain(path);
    PlainClass plainClass(plain);

    bench::printHeader();
    // What the teacher waits for after OK: the class written, the tab bar rebuilt with its
    // selection, the window painted. The plain side writes and reads what the bar shows.
    // First, while the gradebook still has about its 30 classes (each run adds one).
    main.vskTab_HeaderClick(15);
    main.vskTab_ItemClick(15, 6);
    bench::paintPending();
    bench::PlainGrid plainGrid(plain);
    const int classKey = main.vskTab->SectionAt(15).Tag().toInt();
    const int subjectKey = main.vskTab->SectionAt(15).SelectedItem().Tag().toInt();
    bench::PlainCanvas gridCanvas(*main.flxNotes), barCanvas(*main.vskTab);
    const QList<bench::DrawnCell> gridCells = bench::visibleCells(*main.flxNotes);
    const QList<bench::DrawnCell> barCells = bench::tabBarCells(*main.vskTab);
    bench::compare("create a class, tab bar rebuilt and painted", 1, [&](int) {
        sink += classedit::create(file, {QString::fromUtf8(name("Vue ")), QString::fromUtf8(name("Vq"))});
        editing::RefreshMainTabs(main, false);
        bench::paintPending();
    }, [&](int) {
        plainClass.create(name("Vue plain "), name("VPq"));
        bench::readAll(plain.prepare("SELECT \"NumClass\", \"Nom\", \"Nom abrégé\" FROM \"Classes\" ORDER BY rowid"));
        bench::readAll(plain.prepare("SELECT \"NumMat\", \"Nom\" FROM \"Matières\" ORDER BY rowid"));
        plainGrid.read(classKey, subjectKey);
        barCanvas.draw(barCells);
        gridCanvas.draw(gridCells);
    });

    bench::compare("create a class (12 coefficient rows)", 20, [&](int) {
        sink += classedit::create(file, {QString::fromUtf8(name("Banc ")), QString::fromUtf8(name("Bq"))});
    }, [&](int) { plainClass.create(name("Plain "), name("Pq")); });

    auto student = plain.prepare("INSERT INTO \"Elèves\" (\"Nom\", \"Prénom\", \"NumClass\") VALUES (?, 'Plain', 1)");
    bench::compare("add one student", 40, [&](int) {
        sink += studentedit::add(file, 1, QString::fromUtf8(name("Elève ")), QStringLiteral("Programme")).key;
    }, [&](int) {
        const QByteArray surname = name("Elève ");
        sqlite3_exec(plain.h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_bind_text(student.get(), 1, surname.constData(), int(surname.size()), SQLITE_TRANSIENT);
        sqlite3_step(student.get());
        sqlite3_reset(student.get());
        sqlite3_exec(plain.h, "COMMIT", nullptr, nullptr, nullptr);
    });

    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
