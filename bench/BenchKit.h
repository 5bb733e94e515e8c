#pragma once
// What the benchmarks share: the large gradebook they read, a plain SQLite connection on it
// for the reference timings, and the way both are timed and printed.
#include "platform/db/Sqlite.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <initializer_list>
#include <memory>

class QApplication;
class frmMain;

namespace bench {

// The gradebook named on the command line, or <temp>/quibolet-bench.dat; generated when
// missing.
QString benchGradebook(int argc, char** argv);

// A program that times the main window: the user's settings kept aside (the window writes
// the last file opened there), offscreen unless told otherwise, the gradebook named on the
// command line (see benchGradebook), and the window shown at a fixed size.
class WindowBench {
public:
    WindowBench(int& argc, char** argv);
    ~WindowBench();

    QString path;
    frmMain* main = nullptr;

private:
    QTemporaryDir m_settings;
    std::unique_ptr<QApplication> m_app;
};

// A plain connection: the C API, the key, and the collations that the file's text columns
// name. Statements are prepared once by their user.
struct Plain {
    sqlite3* h = nullptr;
    explicit Plain(const QString& path);
    ~Plain();
    Plain(const Plain&) = delete;
    Plain& operator=(const Plain&) = delete;
    db::sqlite::Statement prepare(const char* sql) const;
};

// Steps through every row of a statement, then resets it.
void readAll(const db::sqlite::Statement& statement);

// What opening a gradebook reads, the plain way: the first read, which tries the key, the
// properties named, and the first row of "Notes" (the dynaset the program keeps open).
void plainOpen(const Plain& plain, std::initializer_list<const char*> properties);

// The reads of one class and subject's grade grid, with plain statements: its students,
// its series, and each series' grades.
class PlainGrid {
public:
    explicit PlainGrid(const Plain& plain);
    void read(int classKey, int subjectKey);

private:
    db::sqlite::Statement m_students, m_series, m_notes;
};

using Work = std::function<void(int run)>;

// Prints the header of the table that compare() fills.
void printHeader();
// Times both ways in turns, after a run of each to warm the caches, and prints the
// medians and their ratio: the machine's other work falls on both alike.
void compare(const char* what, int runs, const Work& program, const Work& plain);

// Work that changes the file, run on a fresh copy each time: `setup` (not timed) brings
// the copy, then `run` is timed.
struct Fresh {
    Work setup;
    Work run;
};
// Times both ways in turns, one run at a time, after a run of each to warm the caches,
// and prints the medians and their ratio.
void compareFresh(const char* what, int runs, const Fresh& program, const Fresh& plain);

// Copies the file to `copy`, replacing any file there.
void copyFile(const QString& file, const QString& copy);

// Keeps the reads from being optimised away; printed at the end.
extern double sink;

}  // namespace bench
