#include "BenchKit.h"

#include "LargeGradebook.h"
#include "controls/TabItemLabel.h"
#include "controls/tabSection.h"
#include "controls/tooCommand.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookSchema.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Twips.h"
#include "platform/db/Collations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

double sink = 0;

QString benchGradebook(int argc, char** argv) {
    GradebookSize size;
    QString path;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QStringLiteral("--scale="))) size.scale = arg.mid(8).toDouble();
        else path = arg;
    }
    if (size.scale <= 0) size.scale = 1;
    if (path.isEmpty()) path = QDir::tempPath() + QStringLiteral("/quibolet-bench-%1.dat").arg(size.scale);
    if (!QFile::exists(path)) {
        std::printf("Generating %s (%d classes)...\n", qPrintable(path), size.classes());
        QElapsedTimer timer;
        timer.start();
        generateGradebook(path, size);
        std::printf("Generated in %.1f s.\n", timer.elapsed() / 1000.0);
    }
    std::printf("%s\n", qPrintable(path));
    return path;
}

QString wideGradebook(int argc, char** argv, int subjects) {
    constexpr int kClasses = 300;
    QString path = argc > 1 ? QString::fromLocal8Bit(argv[argc - 1]) : QString();
    if (path.isEmpty() || path.startsWith(QStringLiteral("--")))
        path = QDir::tempPath() + QStringLiteral("/quibolet-bench-%1x%2.dat").arg(kClasses).arg(subjects);
    if (!QFile::exists(path)) {
        std::printf("Generating %s (%d classes, %d subjects)...\n", qPrintable(path), kClasses, subjects);
        generateWideGradebook(path, kClasses, subjects);
    }
    std::printf("%s\n", qPrintable(path));
    return path;
}

WindowBench::WindowBench(int& argc, char** argv, QString (*gradebook)(int, char**)) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_settings.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app = std::make_unique<QApplication>(argc, argv);
    path = gradebook(argc, argv);
    main = &platform::Form<frmMain>::get();
    main->resize(1200, 800);
    showOnScreen(*main);
}

WindowBench::~WindowBench() { platform::Form<frmMain>::unload(); }

void showOnScreen(QWidget& window) {
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    paintPending();
}

void paintPending() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

struct PaintCounter::Filter : QObject {
    int paints = 0;
    qint64 pixels = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) pixels += qint64(r.width()) * r.height();
        }
        return false;
    }
};

PaintCounter::PaintCounter(QWidget* widget) : m_filter(std::make_unique<Filter>()) {
    widget->installEventFilter(m_filter.get());
}
PaintCounter::~PaintCounter() = default;
int PaintCounter::paints() const { return m_filter->paints; }
qint64 PaintCounter::pixels() const { return m_filter->pixels; }

Plain::Plain(const QString& path, bool create) {
    static const QByteArray key = gradebook::databasePassword().toUtf8();
    sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0), nullptr);
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

void plainOpen(const Plain& plain, std::initializer_list<const char*> properties, bool wholeFile) {
    sqlite3_exec(plain.h, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    // The checks of a file from outside: its schema and table definitions read to be compared
    // with what the program makes, and SQLite's whole check (every page, every index against
    // its table).
    if (wholeFile) readAll(plain.prepare("PRAGMA integrity_check(1)"));
    for (const char* sql : {"SELECT type, name, tbl_name, sql FROM sqlite_master", "SELECT Name, Definition FROM __TableDefs",
                            "SELECT Name, Type, Value FROM __Properties"})
        readAll(plain.prepare(sql));
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
    : m_plain(plain),
      m_class(plain.prepare("SELECT \"Colonne\" FROM \"Classes\" WHERE \"NumClass\" = ?")),
      m_students(plain.prepare("SELECT \"NumElv\", \"Nom\", \"Prénom\" FROM \"Elèves\" WHERE \"NumClass\" = ? "
                               "ORDER BY \"Nom\" COLLATE FRSORT, \"Prénom\" COLLATE FRSORT")),
      m_series(plain.prepare("SELECT \"NumSérie\", \"Nom\", \"Sur\", \"Coefficient\", \"Période\", \"Colonne\" "
                             "FROM \"Séries\" WHERE \"NumClass\" = ? AND \"NumMat\" = ? ORDER BY \"Période\", \"Date\"")),
      m_notes(plain.prepare("SELECT \"NumElv\", \"Note\" FROM \"Notes\" WHERE \"NumSérie\" = ?")) {}

void PlainGrid::read(int classKey, int subjectKey) {
    // One read transaction: SQLCipher decrypts each page once for all the statements.
    sqlite3_exec(m_plain.h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_bind_int(m_class.get(), 1, classKey);
    readAll(m_class);
    sqlite3_bind_int(m_students.get(), 1, classKey);
    readAll(m_students);
    sqlite3_bind_int(m_series.get(), 1, classKey);
    sqlite3_bind_int(m_series.get(), 2, subjectKey);
    while (sqlite3_step(m_series.get()) == SQLITE_ROW) {
        sqlite3_bind_int(m_notes.get(), 1, sqlite3_column_int(m_series.get(), 0));
        while (sqlite3_step(m_notes.get()) == SQLITE_ROW)
            sink += sqlite3_column_double(m_notes.get(), 1) + sqlite3_column_int(m_notes.get(), 0);
        sqlite3_reset(m_notes.get());
    }
    sqlite3_reset(m_series.get());
    sqlite3_exec(m_plain.h, "COMMIT", nullptr, nullptr, nullptr);
}

namespace {

// Pixel edges of a grid's rows (columns) from its top (left), as far as `limit`.
std::vector<int> edges(const platform::FlexGrid& grid, bool rows, int count, int limit) {
    std::vector<int> out{0};
    for (int i = 0; i < count && out.back() < limit; ++i)
        out.push_back(out.back() + (rows ? platform::layoutY(grid.RowHeight(i)) : platform::layoutX(grid.ColWidth(i))));
    return out;
}

}  // namespace

QList<DrawnCell> blockCells(const platform::FlexGrid& grid, int row1, int col1, int row2, int col2) {
    const std::vector<int> ys = edges(grid, true, std::max(row1, row2) + 1, INT_MAX);
    const std::vector<int> xs = edges(grid, false, std::max(col1, col2) + 1, INT_MAX);
    QList<DrawnCell> cells;
    for (int r = std::min(row1, row2); r <= std::max(row1, row2); ++r)
        for (int c = std::min(col1, col2); c <= std::max(col1, col2); ++c)
            cells.append({QRect(xs[size_t(c)], ys[size_t(r)], xs[size_t(c) + 1] - xs[size_t(c)], ys[size_t(r) + 1] - ys[size_t(r)]),
                          grid.TextMatrix(r, c)});
    return cells;
}

QList<DrawnCell> visibleCells(const platform::FlexGrid& grid) {
    const QSize view = grid.viewport()->size();
    const std::vector<int> ys = edges(grid, true, grid.Rows(), view.height());
    const std::vector<int> xs = edges(grid, false, grid.Cols(), view.width());
    return blockCells(grid, 0, 0, int(ys.size()) - 2, int(xs.size()) - 2);
}

QList<DrawnCell> tabBarCells(const vskTab& bar) {
    QList<DrawnCell> cells;
    for (const tabSection* section : bar.findChildren<tabSection*>(Qt::FindDirectChildrenOnly)) {
        if (section->isHidden()) continue;
        const QPoint at = section->pos();
        cells.append({QRect(at, QSize(section->width(), tabSection::kHeaderHeight)), section->Caption()});
        if (section->Reduced()) continue;
        for (const QWidget* item : section->findChildren<QWidget*>()) {
            const bool shown = !item->isHidden() && item->y() < section->height();
            if (!shown || !(qobject_cast<const TabItemLabel*>(item) || qobject_cast<const tooCommand*>(item))) continue;
            const auto* label = qobject_cast<const TabItemLabel*>(item);
            cells.append({item->geometry().translated(at), label ? label->Caption() : QString()});
        }
    }
    return cells;
}

PlainCanvas::PlainCanvas(const platform::FlexGrid& grid)
    : m_image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied), m_font(grid.font()) {
    m_image.fill(Qt::white);
}

PlainCanvas::PlainCanvas(const QWidget& widget)
    : m_image(widget.size(), QImage::Format_ARGB32_Premultiplied), m_font(widget.font()) {
    m_image.fill(Qt::white);
}

void PlainCanvas::draw(const QList<DrawnCell>& cells) {
    QPainter p(&m_image);
    p.setFont(m_font);
    for (const DrawnCell& cell : cells) {
        p.fillRect(cell.rect, Qt::white);
        p.setPen(Qt::lightGray);
        p.drawLine(cell.rect.topRight(), cell.rect.bottomRight());
        p.drawLine(cell.rect.bottomLeft(), cell.rect.bottomRight());
        p.setPen(Qt::black);
        p.drawText(cell.rect.adjusted(3, 1, -4, -2), Qt::AlignRight | Qt::AlignVCenter, cell.text);
    }
}

namespace {

// Mean time of one run, in microseconds.
double timeOf(int runs, const Work& work, int& next) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i) work(next++);
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
    std::printf("%-44s %14.1f %14.1f %8.2f\n", what, x, y, x / y);
    std::fflush(stdout);
}

}  // namespace

void printHeader() {
    std::printf("%-44s %14s %14s %8s\n", "operation (median time, microseconds)", "program", "baseline", "ratio");
}

void compare(const char* what, int runs, const Work& program, const Work& baseline) {
    int a0 = 0, b0 = 0;
    program(a0++);
    baseline(b0++);
    std::vector<double> a, b;
    for (int round = 0; round < 7; ++round) {
        a.push_back(timeOf(runs, program, a0));
        b.push_back(timeOf(runs, baseline, b0));
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
