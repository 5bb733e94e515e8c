#include "BenchKit.h"

#include "LargeGradebook.h"
#include "gradebook/GradebookSchema.h"
#include "mainwindow/frmMain.h"
#include "platform/FormInstance.h"
#include "platform/db/Collations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

double sink = 0;

QString benchGradebook(int argc, char** argv) {
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/quibolet-bench.dat");
    if (!QFile::exists(path)) {
        std::printf("Generating %s...\n", qPrintable(path));
        QElapsedTimer timer;
        timer.start();
        generateGradebook(path);
        std::printf("Generated in %.1f s.\n", timer.elapsed() / 1000.0);
    }
    return path;
}

WindowBench::WindowBench(int& argc, char** argv) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_settings.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app = std::make_unique<QApplication>(argc, argv);
    path = benchGradebook(argc, argv);
    main = &platform::Form<frmMain>::get();
    main->resize(1200, 800);
    main->show();
}

WindowBench::~WindowBench() { platform::Form<frmMain>::unload(); }

Plain::Plain(const QString& path) {
    static const QByteArray key = gradebook::databasePassword().toUtf8();
    sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(h, key.constData(), int(key.size()));
    db::collation::registerOn(h);
}

Plain::~Plain() { sqlite3_close_v2(h); }

db::sqlite::Statement Plain::prepare(const char* sql) const {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(h, sql, -1, &s, nullptr) != SQLITE_OK) std::fprintf(stderr, "prepare: %s\n", sqlite3_errmsg(h));
    return db::sqlite::Statement(s);
}

void readAll(const db::sqlite::Statement& statement) {
    sqlite3_stmt* s = statement.get();
    while (sqlite3_step(s) == SQLITE_ROW) sink += sqlite3_column_int(s, 0) + sqlite3_column_bytes(s, 1);
    sqlite3_reset(s);
}

void plainOpen(const Plain& plain, std::initializer_list<const char*> properties) {
    sqlite3_exec(plain.h, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    const db::sqlite::Statement property = plain.prepare("SELECT Value FROM __Properties WHERE Name = ?");
    for (const char* name : properties) {
        sqlite3_bind_text(property.get(), 1, name, -1, SQLITE_STATIC);
        sqlite3_step(property.get());
        sink += sqlite3_column_bytes(property.get(), 0);
        sqlite3_reset(property.get());
    }
    const db::sqlite::Statement notes =
        plain.prepare("SELECT rowid, \"Note\", \"NumSérie\", \"NumElv\" FROM \"Notes\" ORDER BY rowid LIMIT 1");
    sink += sqlite3_step(notes.get());
}

PlainGrid::PlainGrid(const Plain& plain)
    : m_students(plain.prepare("SELECT * FROM \"Elèves\" WHERE \"NumClass\" = ? "
                               "ORDER BY \"Nom\" COLLATE FRSORT, \"Prénom\" COLLATE FRSORT")),
      m_series(plain.prepare("SELECT * FROM \"Séries\" WHERE \"NumClass\" = ? AND \"NumMat\" = ? "
                             "ORDER BY \"Période\", \"Date\"")),
      m_notes(plain.prepare("SELECT * FROM \"Notes\" WHERE \"NumSérie\" = ? ORDER BY \"NumElv\"")) {}

// The grades are read while the series are still being read: one read transaction for all,
// as the program's grid has.
void PlainGrid::read(int classKey, int subjectKey) {
    sqlite3_bind_int(m_students.get(), 1, classKey);
    readAll(m_students);
    sqlite3_bind_int(m_series.get(), 1, classKey);
    sqlite3_bind_int(m_series.get(), 2, subjectKey);
    while (sqlite3_step(m_series.get()) == SQLITE_ROW) {
        sqlite3_bind_int(m_notes.get(), 1, sqlite3_column_int(m_series.get(), 0));
        while (sqlite3_step(m_notes.get()) == SQLITE_ROW)
            sink += sqlite3_column_double(m_notes.get(), 0) + sqlite3_column_int(m_notes.get(), 2);
        sqlite3_reset(m_notes.get());
    }
    sqlite3_reset(m_series.get());
}

namespace {

// Mean time of one run, in microseconds.
double timeOf(int runs, const Work& work) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i) work(i);
    return timer.nsecsElapsed() / 1000.0 / runs;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Time of one run after its setup, in microseconds.
double timeOf(const Fresh& work, int run) {
    work.setup(run);
    QElapsedTimer timer;
    timer.start();
    work.run(run);
    return timer.nsecsElapsed() / 1000.0;
}

void printLine(const char* what, const std::vector<double>& a, const std::vector<double>& b) {
    const double x = median(a), y = median(b);
    std::printf("%-40s %14.1f %14.1f %8.2f\n", what, x, y, x / y);
}

}  // namespace

void printHeader() {
    std::printf("%-40s %14s %14s %8s\n", "operation (median time, microseconds)", "program", "plain SQLite", "ratio");
}

void compare(const char* what, int runs, const Work& program, const Work& plain) {
    program(0);
    plain(0);
    std::vector<double> a, b;
    for (int round = 0; round < 7; ++round) {
        a.push_back(timeOf(runs, program));
        b.push_back(timeOf(runs, plain));
    }
    printLine(what, a, b);
}

void compareFresh(const char* what, int runs, const Fresh& program, const Fresh& plain) {
    timeOf(program, 0);
    timeOf(plain, 0);
    std::vector<double> a, b;
    for (int run = 1; run <= runs; ++run) {
        a.push_back(timeOf(program, run));
        b.push_back(timeOf(plain, run));
    }
    printLine(what, a, b);
}

void copyFile(const QString& file, const QString& copy) {
    QFile::remove(copy);
    if (!QFile::copy(file, copy)) std::fprintf(stderr, "cannot copy %s\n", qPrintable(file));
}

}  // namespace bench
