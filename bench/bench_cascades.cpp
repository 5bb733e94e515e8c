// Times deleting a class and merging two subjects on a large gradebook, until the main
// window shows its first class and subject again and has painted, beside the same deletions
// and updates done with plain SQLite statements in one transaction, followed by the reads
// that show the tab bar and the first grid and a QPainter drawing their texts. Each run
// works on a fresh copy of the file.
//
//   bench_cascades [file]    (default: <temp>/quibolet-bench.dat, generated when missing)
#include "BenchKit.h"

#include "controls/vskTab.h"
#include "editing/Cascades.h"
#include "editing/SubjectMerge.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using bench::Plain;
using bench::sink;

constexpr int kClass = 15, kSubject1 = 3, kSubject2 = 4;

void exec(const Plain& plain, const char* sql, std::initializer_list<qint64> values) {
    const db::sqlite::Statement s = plain.prepare(sql);
    int i = 0;
    for (const qint64 v : values) sqlite3_bind_int64(s.get(), ++i, v);
    if (sqlite3_step(s.get()) != SQLITE_DONE) std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(plain.h));
}

// What the main window reads to show itself again: the classes, the subjects, the first grid.
void plainRefresh(const Plain& plain) {
    bench::readAll(plain.prepare("SELECT \"NumClass\", \"Nom\", \"Nom abrégé\" FROM \"Classes\" ORDER BY rowid"));
    bench::readAll(plain.prepare("SELECT \"NumMat\", \"Nom\" FROM \"Matières\" ORDER BY rowid"));
    bench::PlainGrid(plain).read(1, 1);
}

}  // namespace

int main(int argc, char** argv) {
    bench::WindowBench window(argc, argv);
    frmMain& main = *window.main;
    QTemporaryDir work;
    const auto copyName = [&](const char* way, int run) {
        return work.filePath(QStringLiteral("%1-%2.dat").arg(QLatin1String(way)).arg(run));
    };
    // What the first grid shows, drawn by the baseline as the program draws it.
    main.OpenAFile(window.path);
    bench::paintPending();
    bench::PlainCanvas canvas(*main.flxNotes), barCanvas(*main.vskTab);
    const QList<bench::DrawnCell> firstCells = bench::visibleCells(*main.flxNotes);
    const QList<bench::DrawnCell> barCells = bench::tabBarCells(*main.vskTab);
    // The program opens a fresh copy as the teacher had it; the copy before is let go.
    const auto openCopy = [&](int run) {
        bench::copyFile(window.path, copyName("program", run));
        main.OpenAFile(copyName("program", run));
        // The whole-file check runs while the teacher reads the first grid; a write made
        // before its verdict would wait for it, which is the opening's cost, not the cascade's.
        mUtilities::gDB.awaitIntegrity();
        main.selectClassAndSubject(kClass, kSubject1);
        bench::paintPending();
        QFile::remove(copyName("program", run - 1));
    };
    std::unique_ptr<Plain> plain;
    const auto plainCopy = [&](int run) {
        bench::copyFile(window.path, copyName("plain", run));
        plain = std::make_unique<Plain>(copyName("plain", run));
        // Opened as the program's copy is: the key derived and the schema read.
        bench::readAll(plain->prepare("SELECT count(*) FROM sqlite_master"));
        QFile::remove(copyName("plain", run - 1));
    };
    const auto showFirst = [&] {
        main.CreateSectionsAndItems();
        main.showFirstClassAndSubject();
        bench::paintPending();
    };
    const auto plainShowFirst = [&](const Plain& p) {
        plainRefresh(p);
        barCanvas.draw(barCells);
        canvas.draw(firstCells);
    };

    bench::printHeader();
    bench::compareFresh("delete a class", 11, {openCopy, [&](int) {
        sink += cascades::deleteClass(mUtilities::gDB, kClass);
        showFirst();
    }}, {plainCopy, [&](int) {
        const Plain& p = *plain;
        exec(p, "BEGIN", {});
        exec(p, "DELETE FROM \"Notes\" WHERE \"NumSérie\" IN (SELECT \"NumSérie\" FROM \"Séries\" WHERE \"NumClass\" = ?)", {kClass});
        exec(p, "DELETE FROM \"Notes\" WHERE \"NumElv\" IN (SELECT \"NumElv\" FROM \"Elèves\" WHERE \"NumClass\" = ?)", {kClass});
        for (const char* table : {"Séries", "Elèves", "Coefficients", "Classes"})
            exec(p, QByteArray("DELETE FROM \"").append(table).append("\" WHERE \"NumClass\" = ?").constData(), {kClass});
        exec(p, "COMMIT", {});
        plainShowFirst(p);
    }});

    bench::compareFresh("merge two subjects", 11, {openCopy, [&](int) {
        const subjectmerge::Input input{kSubject1, kSubject2, QStringLiteral("Fusion")};
        if (!subjectmerge::refusal(mUtilities::gDB, input)) sink += subjectmerge::merge(mUtilities::gDB, input);
        showFirst();
    }}, {plainCopy, [&](int) {
        const Plain& p = *plain;
        exec(p, "BEGIN", {});
        const db::sqlite::Statement taken = p.prepare("SELECT \"NumMat\" FROM \"Matières\" WHERE \"Nom\" = 'Fusion'");
        bench::readAll(taken);
        exec(p, "DELETE FROM \"Matières\" WHERE \"NumMat\" IN (?, ?)", {kSubject1, kSubject2});
        exec(p, "INSERT INTO \"Matières\" (\"Nom\") VALUES ('Fusion')", {});
        const qint64 merged = sqlite3_last_insert_rowid(p.h);
        exec(p, "DELETE FROM \"Coefficients\" WHERE \"NumMat\" IN (?, ?)", {kSubject1, kSubject2});
        exec(p, "INSERT INTO \"Coefficients\" (\"NumClass\", \"NumMat\", \"Coefficient\") "
                "SELECT \"NumClass\", ?, 1 FROM \"Classes\" ORDER BY rowid", {merged});
        exec(p, "UPDATE \"Séries\" SET \"NumMat\" = ? WHERE \"NumMat\" IN (?, ?)", {merged, kSubject1, kSubject2});
        exec(p, "COMMIT", {});
        plainShowFirst(p);
    }});
    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
