#pragma once
// What the benchmarks share: the large gradebook they read, a plain SQLite connection on it
// for the baselines, the plain drawing of grid texts, and the way both are timed and printed.
#include "platform/db/Sqlite.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <initializer_list>
#include <memory>

class QApplication;
class QWidget;
class frmMain;
class vskTab;
namespace platform {
class FlexGrid;
}

namespace bench {

// The gradebook the command line names: `[--scale=S] [file]`, S being 0.25, 1 (the
// default) or 4 times the design's gradebook; the file defaults to
// <temp>/quibolet-bench-S.dat, generated when missing.
QString benchGradebook(int argc, char** argv);

// The gradebook the command line names: `[file]`, defaulting to a gradebook of 300 classes
// and `subjects` subjects, <temp>/quibolet-bench-300x<subjects>.dat, generated when missing.
QString wideGradebook(int argc, char** argv, int subjects = 500);

// A program that times the main window: the user's settings kept aside (the window writes
// the last file opened there), offscreen unless told otherwise, the gradebook of the
// command line, and the window shown at a fixed size and on screen, so that it paints.
class WindowBench {
public:
    WindowBench(int& argc, char** argv, QString (*gradebook)(int, char**) = benchGradebook);
    ~WindowBench();

    QString path;
    frmMain* main = nullptr;

private:
    QTemporaryDir m_settings;
    std::unique_ptr<QApplication> m_app;
};

// Shows the window and waits until it is on screen: a window that is not exposed does not
// paint, and its paints would not be timed.
void showOnScreen(QWidget& window);

// Handles every pending event, the repaints they asked for included: what the user waits
// for before seeing the result of an action.
void paintPending();

// Counts the paints of a widget and the area they covered.
class PaintCounter {
public:
    explicit PaintCounter(QWidget* widget);
    ~PaintCounter();
    int paints() const;
    qint64 pixels() const;

private:
    struct Filter;
    std::unique_ptr<Filter> m_filter;
};

// A plain connection: the C API, the key, and the collations that the file's text columns
// name. Statements are prepared once by their user.
struct Plain {
    sqlite3* h = nullptr;
    // `create`: a new file is made when there is none.
    explicit Plain(const QString& path, bool create = false);
    ~Plain();
    Plain(const Plain&) = delete;
    Plain& operator=(const Plain&) = delete;
    db::sqlite::Statement prepare(const char* sql) const;
};

// Steps through every row of a statement, then resets it.
void readAll(const db::sqlite::Statement& statement);

// What opening a gradebook reads, the plain way: the first read, which tries the key, the
// checks of the file (its schema and definitions read, and with `wholeFile` SQLite's whole
// integrity check, which reads every page and every index), the properties named, and the
// first row of "Notes" (the dynaset the program keeps open).
void plainOpen(const Plain& plain, std::initializer_list<const char*> properties, bool wholeFile = false);

// The reads of one class and subject's grade grid, with plain statements, in one read
// transaction: its students, its series (SQLite picks the best index the file has), and
// each series' grades.
class PlainGrid {
public:
    explicit PlainGrid(const Plain& plain);
    void read(int classKey, int subjectKey);

private:
    const Plain& m_plain;
    db::sqlite::Statement m_class, m_students, m_series, m_notes;
};

// Texts at places: what a grid shows of its cells.
struct DrawnCell {
    QRect rect;  // in the grid's viewport
    QString text;
};

// The cells of a grid in view (its top-left corner, not scrolled), with their texts.
QList<DrawnCell> visibleCells(const platform::FlexGrid& grid);
// The cells of a block, with their texts.
QList<DrawnCell> blockCells(const platform::FlexGrid& grid, int row1, int col1, int row2, int col2);
// What a tab bar shows, in its own pixels: every section's header with its caption, and the
// picture (a cell without text) and caption of each item of the open section in view.
QList<DrawnCell> tabBarCells(const vskTab& bar);

// Draws texts the plain way: a QPainter on an image of the grid's viewport, each cell
// filled, edged and its text drawn in the grid's font.
class PlainCanvas {
public:
    explicit PlainCanvas(const platform::FlexGrid& grid);
    // An image of the widget's size, in its font.
    explicit PlainCanvas(const QWidget& widget);
    void draw(const QList<DrawnCell>& cells);

private:
    QImage m_image;
    QFont m_font;
};

using Work = std::function<void(int run)>;

// Prints the header of the table that compare() fills.
void printHeader();
// Times both ways in turns, after a run of each to warm the caches, and prints the
// medians of rounds of `runs` runs and their ratio: the machine's other work falls on
// both alike.
void compare(const char* what, int runs, const Work& program, const Work& baseline);

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
