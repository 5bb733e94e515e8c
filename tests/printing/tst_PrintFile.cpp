// The print file and its drawing: records that carry any text, the page index read by
// position, text fitting; the layouts of the three grids written into it, measured with
// fixed widths (centring, the columns the print choices keep, the cells' texts and places,
// breaks across and down, the headings of the class grid split over pages, grid lines, wide
// grids); and a hand-written file printed to PDF and read back with poppler (page count and
// size, texts at their twips / 20 positions, colours).
#include "printing/GridLayouts.h"
#include "printing/PageSetup.h"
#include "printing/PrintFile.h"
#include "printing/Printer.h"
#include "platform/ProfileText.h"
#include "FileRights.h"
#include "FileSizeLimit.h"
#include "PrintTestKit.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace printfile;
using namespace printing;
using namespace Qt::StringLiterals;

namespace {

// Every character 100 twips wide unless told otherwise, a line break too (the printer ends
// the measure there); lines 200 twips high, 300 in bold.
class FakeMeasurer : public PrinterMeasurer {
public:
    FakeMeasurer(std::initializer_list<std::pair<QString, double>> textWidths = {}) : widths(textWidths) {}
    QHash<QString, double> widths;
    void setFont(const QString&, double, bool bold) override { m_bold = bold; }
    double width(const QString& text) const override { return widths.value(text, 100.0 * text.size()); }
    double lineHeight() const override { return height > 0 ? height : m_bold ? 300 : 200; }
    double height = 0;  // every line this high when set

private:
    bool m_bold = false;
};

// A grid of `rows` rows whose cell (row, column) holds text(row, column).
GridSnapshot snapshot(int rows, int cols, const std::function<QString(int, int)>& text) {
    GridSnapshot s{.rows = rows, .cols = cols, .cells = {}, .colData = QVector<qint32>(cols, 0), .colWidth = {}};
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) s.cells << text(r, c);
    return s;
}

// A student's name in the names column: rows 4 to the one before the blank row.
QString student(int r, int last) { return r > 3 && r < last - 1 ? u"Eleve%1"_s.arg(r - 3) : QString(); }

// A grade grid as the main window fills it, its columns after the names given by
// `columns`: "s" a series, a digit the average of that period, "g" the general average;
// the labelled rows, the students, the class row.
GradeGridPrint gradeGrid(const QString& columns, int students) {
    GradeGridPrint g{{}, u"6A - Maths"_s};
    QStringList titles{QString()};
    QVector<qint32> keys{0};
    for (const QChar k : columns) {
        const int c = int(keys.size());
        keys << (k == u's' ? c : 0);
        titles << (k == u's' ? u"S%1"_s.arg(c) : k == u'g' ? u"Moyenne générale"_s : u"Moyenne "_s + k);
        if (k != u's') g.averagePositions[k == u'g' ? 4 : k.digitValue()] = c;
    }
    const int last = 5 + students;
    g.grid = snapshot(last + 1, int(keys.size()), [&](int r, int c) -> QString {
        if (r == 0) return titles[c];
        if (c > 0) return r == 3 || r == last - 1 ? QString() : u"%1,5"_s.arg((r + c) % 20);
        return r == 1 ? u"Note/"_s : r == 2 ? u"Coefficient"_s : r == last ? u" Moyenne"_s : student(r, last);
    });
    g.grid.colData = keys;
    return g;
}

// The class grid of the table of averages: a group of four columns per subject and the
// general group, the period columns of unticked boxes hidden.
ClassGridPrint classGrid(const QStringList& subjects, std::array<bool, 3> periods, int students) {
    const QStringList groups = subjects + QStringList{u"Moyenne générale"_s};
    const QStringList periodTitles{u"M 1"_s, u"M 2"_s, u"M 3"_s, u"An"_s};
    const int last = 5 + students;
    ClassGridPrint g{snapshot(last + 1, 1 + 4 * int(groups.size()), [&](int r, int c) -> QString {
                         if (c == 0) return r == 2 ? u"Coefficient"_s : r == last ? u"Moyenne"_s : student(r, last);
                         if (r < 2) return r == 0 ? groups[(c - 1) / 4] : periodTitles[(c - 1) % 4];
                         if (r == 2) return c % 4 == 0 ? u"2"_s : QString();
                         return r == 3 || r == last - 1 ? QString() : u"1%1,5"_s.arg(c % 10);
                     }),
                     u"Sixième A"_s, periods};
    g.grid.colWidth << 1800;
    for (int c = 1; c < g.grid.cols; ++c) g.grid.colWidth << ((c % 4 == 0 || periods[(c - 1) % 4]) ? 600 : 0);
    return g;
}

StudentGridPrint studentGrid(int subjects) {
    const QStringList headings{u"Matière"_s, u"Coefficient"_s, u"Moyenne 1"_s, u"Moyenne 2"_s, u"Moyenne 3"_s,
                               u"Moyenne générale"_s};
    const int last = subjects + 2;
    return {snapshot(last + 1, 6, [&](int r, int c) -> QString {
                if (r == 0) return headings[c];
                if (r == last) return c == 0 ? u"Moyenne"_s : u"12,5"_s;
                if (r == last - 1 || c == 4) return {};
                return c == 0 ? u"Matière%1"_s.arg(r) : u"1%1"_s.arg(c);
            }),
            u"Durand Léa"_s};
}

PageSetup a4Portrait(bool gridLines = true) {
    return {.landscape = false, .margins = {u"20"_s, u"20"_s, u"20"_s, u"20"_s}, .gridLines = gridLines};
}

// A layout's file read back: each page's records, and the index as written.
struct Laid {
    QList<QList<Record>> pages;
    QStringList index;
    PageGeometry page;

    QList<Record> all(QChar kind) const {
        QList<Record> found;
        for (const auto& p : pages)
            for (const Record& r : p)
                if (r.kind == kind) found << r;
        return found;
    }
    // The page (from 1) and record of the first text record with this text, from page `from`.
    std::pair<int, Record> find(const QString& text, int from = 1) const {
        for (int p = from; p <= pages.size(); ++p)
            for (const Record& r : pages[p - 1])
                if (r.kind != printfile::Line && r.text == text) return {p, r};
        return {0, Record{}};
    }
    // The page and x of the first text record with this text.
    std::pair<int, int> placed(const QString& text) const { return {find(text).first, find(text).second.x}; }
    // The side and top margins as laid out, and the number of pages.
    QList<int> frame() const { return {page.left, page.right, page.top, int(pages.size())}; }
    QStringList texts(int page) const {
        QStringList t;
        for (const Record& r : pages[page - 1])
            if (r.kind != printfile::Line) t << r.text;
        return t;
    }
};

template <typename Build>
Laid lay(Build build) {
    printfile::Writer out;
    const std::optional<PageGeometry> page = build(out);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"vsk1.tmp"_s);
    if (!page || !out.save(path)) return {};
    Laid laid{{}, platform::profile::section(path, u"0"_s), *page};
    const printfile::Reader file = printfile::Reader::load(path);
    for (int p = 1; p <= out.pageCount(); ++p) {
        laid.pages.append(QList<Record>());
        for (const QString& s : file.page(p))
            if (const auto r = printfile::parse(s)) laid.pages.last() << *r;
    }
    return laid;
}

Laid layNotes(const GradeGridPrint& g, const PrintChoices& choices, const PageSetup& setup, FakeMeasurer& m) {
    return lay([&](printfile::Writer& out) { return CreateFileflxNotes(g, choices, setup, m, out); });
}
Laid layClass(const ClassGridPrint& g, const PageSetup& setup, FakeMeasurer& m) {
    return lay([&](printfile::Writer& out) { return CreateFileflxClass(g, setup, m, out); });
}

// Page `page` of the PDF at 72 dots an inch, without smoothing, so a dot is a point.
QImage pageImage(const QString& pdf, int page, const QString& folder) {
    const QString prefix = folder + u"/page"_s;
    testsupport::run(u"pdftoppm"_s, {u"-r"_s, u"72"_s, u"-aa"_s, u"no"_s, u"-aaVector"_s, u"no"_s, u"-f"_s,
                                     QString::number(page), u"-l"_s, QString::number(page), u"-singlefile"_s, u"-png"_s,
                                     pdf, prefix});
    return QImage(prefix + u".png"_s).convertToFormat(QImage::Format_RGB32);
}

// The box around the dots of exactly that colour in the rectangle (in points).
QRect inked(const QImage& image, QRgb colour, const QRect& area) {
    QRect box;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) == (colour | 0xFF000000u)) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class tst_PrintFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void recordsCarryAnyText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("separators") << u"a/$12\\$34 b"_s;
        QTest::newRow("only separators") << u"/$\\$/$"_s;
        QTest::newRow("line marks") << u"1/2-3\\4 -/"_s;
        QTest::newRow("ini marks") << u"[1]=x;y"_s;
        QTest::newRow("unicode") << u"Łukasz Ørsted 李小龍 é"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << u"  Moyenne "_s;
        QTest::newRow("long") << u"T"_s + QString(1000, u'é') + u"/$1134\\$2268"_s;
    }
    void recordsCarryAnyText() {
        QFETCH(QString, text);
        for (QChar kind : {Title, Heading, Data, Result}) {
            const auto r = parse(textRecord(kind, text, 1134, 2268));
            QVERIFY(r);
            QCOMPARE(std::tuple(r->kind, r->text, r->x, r->y), std::tuple(kind, text, 1134, 2268));
        }
        // And through the file, where values lose their outer blanks.
        Writer out;
        out.add(1, textRecord(Data, text, 5, 6));
        const QString path = m_dir.filePath(u"codec.tmp"_s);
        QVERIFY(out.save(path));
        QCOMPARE(parse(Reader::load(path).page(1).value(0))->text, text);
    }

    void badRecordsAreSkippedAndLinesParse() {
        QCOMPARE(textRecord(Data, u"Dupont\r\nJean"_s, 1, 2), u"oDupont Jean/$1\\$2"_s);
        QCOMPARE(lineRecord(1134, 1701, 9000, 2000), u"L1134/1701-9000\\2000"_s);
        const auto line = parse(u"L1134/1701-9000\\2000"_s);
        QVERIFY(line);
        QCOMPARE(QList<int>({line->x, line->y, line->x2, line->y2}), QList<int>({1134, 1701, 9000, 2000}));
        for (const char* bad : {"", "x/$1\\$2", "o/$1", "oabc", "o/$-1\\$2", "o/$1\\$2a", "o\\$1/$2", "L1/2-3",
                                "L-1/2-3\\4", "L1/2-3\\4x", "o/$99999999999\\$1"})
            QVERIFY2(!parse(QString::fromLatin1(bad)), bad);
    }

    void pagesFollowTheIndexByPosition() {
        // Page sections out of order, a key repeated, a gap, an index line that lies.
        const QString path = m_dir.filePath(u"index.tmp"_s);
        testsupport::writeFile(path, "[2]\n0=N2a/$1\\$1\n1=N2b/$1\\$1\n[1]\n0=Na/$1\\$1\n0=Nrepeated/$1\\$1\n"
                                     "2=Nc/$1\\$1\n3=Nd/$1\\$1\n[3]\n0=Nonly/$1\\$1\n[0]\n9=2\nx=0\n3=999999999\n");
        const Reader file = Reader::load(path);
        QCOMPARE(file.page(1), QStringList({"Na/$1\\$1", "Nc/$1\\$1"}));  // keys 0 to 2: key 1 missing
        QCOMPARE(file.page(2), QStringList({"N2a/$1\\$1"}));           // the second line says 0
        QCOMPARE(file.page(3), QStringList({"Nonly/$1\\$1"}));         // an absurd count stops at what is there
        QVERIFY(file.page(4).isEmpty() && file.page(0).isEmpty());

        Writer out;
        out.add(2, u"Nb/$1\\$1"_s);
        for (int i = 0; i < 3000; ++i) out.add(1, textRecord(Data, QString::number(i), i, i));
        QCOMPARE(out.pageCount(), 2);
        QVERIFY(out.save(path));
        const Reader written = Reader::load(path);
        QCOMPARE(written.page(1).size(), 3000);
        QCOMPARE(written.page(1).last(), u"o2999/$2999\\$2999"_s);
        QCOMPARE(platform::profile::section(path, u"0"_s), QStringList({"1=2999", "2=0"}));
        QCOMPARE(platform::profile::sectionNames(path), QStringList({"1", "2", "0"}));

        // Under a file, no folder can be made: the save says so.
        QVERIFY(!out.save(path + u"/vsk2.tmp"_s));
    }

    void fittingMeasuresTheFirstLine() {
        const FakeMeasurer m;
        QCOMPARE(fitText(m, u"Dupont"_s, 600), u"Dupont"_s);
        QCOMPARE(fitText(m, u"Dupont\r\nJean"_s, 600), u"Dupont"_s);
        QCOMPARE(fitText(m, u"Dupont\r\nJean"_s, 599), u"Du..."_s);
        QCOMPARE(fitText(m, u"Dupont"_s, 300), u"..."_s);
        QCOMPARE(fitText(m, u"Dupont"_s, 299), u"..."_s);
        QCOMPARE(fitText(m, QString(), 0), QString());
        QCOMPARE(fitCount(m, u"Dupont\nJean"_s, 650), 6);
        QCOMPARE(fitCount(m, u"Dupont"_s, 250), 2);
        QCOMPARE(fitCount(m, u"Dupont"_s, 99), 0);
        QCOMPARE(fitCount(m, QString(), 0), 0);
    }

    void columnsOfEveryChoice_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("grades");
        QTest::addColumn<bool>("general");
        QTest::addColumn<QList<int>>("printed");
        // Averages at columns 4, 8 and 11, the general one at 12.
        const QString three = u"sss1sss2ss3g"_s;
        const QList<int> upTo11{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        QTest::newRow("all, grades, general") << three << 4 << true << true << upTo11 + QList<int>{12};
        QTest::newRow("all, averages, general") << three << 4 << false << true << QList<int>{4, 8, 11, 12};
        QTest::newRow("period 1, grades") << three << 1 << true << false << QList<int>{1, 2, 3, 4};
        QTest::newRow("period 2, grades") << three << 2 << true << false << QList<int>{5, 6, 7, 8};
        QTest::newRow("period 2, averages, general") << three << 2 << false << true << QList<int>{8, 12};
        QTest::newRow("period 3, grades, general") << three << 3 << true << true << QList<int>{9, 10, 11, 12};
        // A period without an average column: the names, and the general average if chosen.
        QTest::newRow("period 3 absent") << u"ss1s2g"_s << 3 << true << true << QList<int>{6};
        QTest::newRow("period 3 absent, no general") << u"ss1s2g"_s << 3 << false << false << QList<int>{};
        // A period without series still has its average column.
        QTest::newRow("empty period 1") << u"1ss2g"_s << 1 << true << false << QList<int>{1};
        QTest::newRow("10 grade columns") << u"sssssssss1g"_s << 4 << true << true << upTo11;
    }
    void columnsOfEveryChoice() {
        QFETCH(QString, grid);
        QFETCH(int, period);
        QFETCH(bool, grades);
        QFETCH(bool, general);
        QFETCH(QList<int>, printed);
        const GradeGridPrint g = gradeGrid(grid, 2);
        const ColumnChoice k = chooseColumns(g.grid, g.averagePositions, PrintChoices{period, grades, general});
        QList<int> columns;
        for (int i = 1; i < k.printed.size(); ++i)
            if (k.printed[i]) columns << i;
        QCOMPARE(columns, printed);
        QCOMPARE(k.count, printed.size());
    }

    void gradeGridCellsAndCentring() {
        FakeMeasurer m{{u"Unlongnom Unlongprénom"_s, 2000}, {u" Moyenne "_s, 4921}, {u" générale "_s, 4000}};
        GradeGridPrint g = gradeGrid(u"ss1g"_s, 2);
        g.grid.cells[4 * g.grid.cols] = u"Un nom bien trop long pour la colonne"_s;
        g.grid.cells[1 * g.grid.cols + 1] = u"une note bien trop large"_s;
        // One printed column: W = 2000 + 4921 + 80 = 7001, centred on A4 portrait.
        // H = 300 + 400 + 60 + 240 * 8 - 1 = 2679 on a page 16839 high.
        Laid laid = layNotes(g, PrintChoices{1, false, false}, a4Portrait(), m);
        QCOMPARE(laid.frame(), QList<int>({2453, 2453, (16839 - 2679) / 2, 1}));
        const Record title = laid.pages[0][0];
        QCOMPARE(std::tuple(title.kind, title.text, title.x, title.y),
                 std::tuple(printfile::Title, g.title, 2453, laid.page.top));

        // Labels one "o" short of the names column's edge; names shortened; no label in
        // rows 0, 3 and the one before last.
        const int rowY = laid.page.top + 300 + 40;
        const auto note = laid.find(u"Note/"_s).second;
        QCOMPARE(QPoint(note.x, note.y), QPoint(2453 + 2000 - 600, rowY + 400 + 40));
        QCOMPARE(laid.find(u" Moyenne"_s).second.x, 2453 + 2000 - 900);
        const auto name = laid.find(fitText(m, g.grid.text(4, 0), 2000));
        QVERIFY(name.second.text.endsWith(u"..."_s));
        QCOMPARE(name.second.x, 2453);
        QVERIFY(laid.find(u"Eleve2"_s).first);
        // The period average's title over its digit, centred.
        const int cell = 2453 + 2000 + 40;
        const auto digit = laid.find(u"1"_s).second;
        QCOMPARE(QPoint(digit.x, digit.y), QPoint(cell + (4921 - 300) / 2, rowY + 200));
        QCOMPARE(laid.find(u" Moyenne "_s).second.x, cell);
        // Averages are results, right-aligned flush, never shortened.
        const QList<Record> results = laid.all(printfile::Result);
        QCOMPARE(results.size(), 7);  // rows 1 to 7, the blank ones with empty texts
        QCOMPARE(results.last().x, cell + 4921 - 100 * int(results.last().text.size()));
        QCOMPARE(laid.all(printfile::Data).size(), 0);

        // A column that ends on the right margin stays on the page.
        m.widths[u" Moyenne "_s] = 7599;
        laid = layNotes(g, PrintChoices{1, false, false}, a4Portrait(), m);
        QCOMPARE(laid.frame(), QList<int>({1134, 1134, 7080, 1}));

        // Series titles fitted and centred; grades right-aligned, never shortened.
        m.widths[u" Moyenne "_s] = 650;
        m.widths[u" générale "_s] = 650;
        laid = layNotes(g, PrintChoices{4, true, true}, a4Portrait(), m);
        const auto wide = laid.find(u"une note bien trop large"_s).second;
        QCOMPARE(std::pair(wide.kind, wide.x), std::pair(printfile::Data, laid.page.left + 2040 + 650 - 2400));
        QCOMPARE(laid.find(u"S1"_s).second.x, laid.page.left + 2040 + (650 - 200) / 2);
        QCOMPARE(laid.find(u" générale "_s).second.y, laid.find(u" Moyenne "_s).second.y + 200);

        // Grid lines: every row a top edge and a left border, the last row a bottom edge
        // besides, a line after the names and after each of the 4 columns; none unasked.
        const int left = laid.page.left - 20;
        int tops = 0, borders = 0, afterCells = 0;
        const QList<Record> lines = laid.all(printfile::Line);
        for (const Record& l : lines) {
            tops += l.y == l.y2 && l.x == left;
            borders += l.x == left && l.x2 == left;
            afterCells += l.x == l.x2 && l.x != left;
        }
        QCOMPARE(QList<int>({borders, tops, afterCells}), QList<int>({g.grid.rows, g.grid.rows + 1, g.grid.rows * 5}));
        QCOMPARE(lines.last().y, lines.last().y2);
        QVERIFY(layNotes(g, PrintChoices{}, a4Portrait(false), m).all(printfile::Line).isEmpty());
    }

    void breaksAcrossAndDown() {
        // 40 series at 1000 twips, 150 students: wider and taller than any page, and more
        // than 16-bit sums allow. It is paged, not centred.
        FakeMeasurer m{{u" Moyenne "_s, 1000}, {u" générale "_s, 1000}};
        const QString series = QString(14, u's') + u'1' + QString(13, u's') + u'2' + QString(13, u's') + u"3g"_s;
        const Laid laid = layNotes(gradeGrid(series, 150), PrintChoices{}, a4Portrait(), m);
        // 7 grade columns fit beside the names, then 9 a page: 44 grade columns take 6
        // pages across. Rows 240 apart: the first band of 3 takes rows 0 to 57 below the
        // title, the next ones 60 rows each; every row of a band goes over the same pages.
        const int across = 6;
        QCOMPARE(laid.frame(), QList<int>({1134, 1134, 1134, across * 3}));
        QCOMPARE(laid.index.size(), laid.pages.size());
        for (int p = 1; p <= laid.pages.size(); ++p) {
            QVERIFY(!laid.pages[p - 1].isEmpty());
            QCOMPARE(laid.index[p - 1], u"%1=%2"_s.arg(p).arg(laid.pages[p - 1].size() - 1));
        }
        // The title on page 1 only; no names column on pages across; column titles in
        // the first band only, each page its own.
        QCOMPARE(laid.all(printfile::Title).size(), 1);
        QCOMPARE(laid.find(u"S1"_s).first, 1);
        QCOMPARE(laid.placed(u"S8"_s), std::pair(2, 1134 + (1000 - 200) / 2));
        QCOMPARE(laid.find(u"Eleve1"_s).first, 1);
        for (int p = 2; p <= across; ++p) QVERIFY(!laid.texts(p).contains(u"Eleve1"_s));
        const auto nextBand = laid.find(u"Eleve%1"_s.arg(58 - 3));
        QCOMPARE(nextBand.first, across + 1);
        QCOMPARE(nextBand.second.y, 1134);
        QVERIFY(!laid.texts(across + 1).contains(u"S1"_s));
        QCOMPARE(laid.find(u" Moyenne"_s).first, 2 * across + 1);  // the class row
        // Every page closes its part of the table with a rule under its last row, also
        // where the table goes on on the next page down.
        for (int p = 1; p <= laid.pages.size(); ++p) {
            int lastRow = 0, lowestRule = 0;
            for (const Record& r : laid.pages[p - 1]) {
                if (r.kind == printfile::Line && r.y == r.y2) lowestRule = std::max(lowestRule, r.y);
                if (r.kind != printfile::Line && r.kind != printfile::Title) lastRow = std::max(lastRow, r.y);
            }
            QCOMPARE(lowestRule, lastRow + 200 + 20);
        }
    }

    void tooWideOrTooTallCellsStandAlone() {
        // A column wider than the printable width, a row taller than the page.
        FakeMeasurer m{{u" Moyenne "_s, 12000}};
        GradeGridPrint g = gradeGrid(u"ss1g"_s, 1);
        Laid laid = layNotes(g, PrintChoices{4, true, false}, a4Portrait(), m);
        // Names, then each of the three grade columns alone on a page.
        QCOMPARE(laid.pages.size(), 4);
        QCOMPARE(laid.find(u"S2"_s).first, 3);

        FakeMeasurer tall;
        tall.height = 20000;
        laid = layNotes(g, PrintChoices{1, false, false}, a4Portrait(), tall);
        QCOMPARE(laid.pages.size(), 1 + g.grid.rows);  // the title alone on page 1
        QCOMPARE(laid.texts(1), QStringList{g.title});

        // In the class grid, each column alone on a page of its own after the names.
        m.widths[u"m00,00"_s] = 20000;
        laid = layClass(classGrid({u"Maths"_s}, {true, false, false}, 1), a4Portrait(), m);
        QCOMPARE(laid.pages.size(), 1 + 4);
        QCOMPARE(laid.find(u"Moyenne générale"_s).first, 4);

        // A bound stops a layout that would never end.
        ClassGridPrint huge{snapshot(6, 1 + 4 * 2600, [](int, int) { return u"x"_s; }), {}, {false, false, false}};
        huge.grid.colWidth.fill(600, huge.grid.cols);
        printfile::Writer out;
        QVERIFY(!CreateFileflxClass(huge, a4Portrait(), m, out));
    }

    void classGridCentringAndCells() {
        FakeMeasurer m{{u"Unlongnom Unlongprénom"_s, 2000}, {u"m00,00"_s, 650}};
        const QStringList three{u"Maths"_s, u"Français"_s, u"Histoire"_s};
        // One box ticked: 8 columns, W = 2000 + 650 * 8 + 9 * 40 = 7560; H = 300 + 20 + 240 * 8.
        Laid laid = layClass(classGrid(three, {false, true, false}, 2), a4Portrait(), m);
        const int left = 2173;
        QCOMPARE(laid.frame(), QList<int>({left, left, (16839 - 2240) / 2, 1}));
        // Hidden columns write nothing: only "M 2" and "An" under each heading.
        QVERIFY(!laid.find(u"M 1"_s).first && !laid.find(u"M 3"_s).first);
        QCOMPARE(laid.find(u"An"_s).second.x, left + 2040 + 690 + 650 - 200);
        // Year columns are results, the others data; coefficient and class labels flush
        // right one "o" short; no label on rows 0, 1, 3 and the one before last.
        QCOMPARE(laid.find(u"Coefficient"_s).second.x, left + 2000 - 1200);
        QCOMPARE(laid.find(u"Moyenne"_s).second.x, left + 2000 - 800);
        QCOMPARE(laid.all(printfile::Result).size(), 4 * 6);  // rows 2 to 7, blank ones included
        QCOMPARE(laid.all(printfile::Data).size(), 4 * 6);
        QCOMPARE(laid.find(u"Maths"_s).second.x, left + 2040);
        // Row 0 has lines at the groups' edges only.
        const int headingY = laid.find(u"Maths"_s).second.y;
        int verticals = 0;
        for (const Record& l : laid.all(printfile::Line)) verticals += l.x == l.x2 && l.y == headingY - 20;
        QCOMPARE(verticals, 1 + 1 + 4);

        // No box ticked: the year columns alone at twice the width.
        laid = layClass(classGrid(three, {false, false, false}, 2), a4Portrait(), m);
        QCOMPARE(laid.page.left, (11907 - (2000 + 1300 * 4 + 200)) / 2);
        QCOMPARE(laid.find(u"Histoire"_s).second.x, laid.page.left + 2040 + 2 * 1340);
        // Two boxes ticked: wider than the page, margins kept.
        QCOMPARE(layClass(classGrid(three, {true, true, false}, 2), a4Portrait(), m).page.left, 1134);

        // Every box ticked: two groups fit whole; of the third, three columns fit on page 1:
        // the name's first 20 characters (2030 twips of room), the rest fitted to one column
        // on page 2.
        const QString long3 = u"Sciences de la vie et de la Terre"_s;
        laid = layClass(classGrid({u"Maths"_s, u"Français"_s, long3}, {true, true, true}, 2), a4Portrait(), m);
        QCOMPARE(laid.pages.size(), 2);
        QCOMPARE(laid.placed(long3.left(20)), std::pair(1, 1134 + 2040 + 2 * 2760));
        QCOMPARE(laid.placed(long3.mid(20).left(3) + u"..."_s), std::pair(2, 1134));
        // Below it the same three columns stay on page 1 and the year column opens page 2.
        const QStringList page2 = laid.texts(2);
        QCOMPARE(page2.count(u"An"_s), 2);  // and the general group's
        QCOMPARE(page2.count(u"M 1"_s), 1);
        QCOMPARE(laid.find(u"An"_s, 2).second.x, 1134 + 650 - 200);
        QCOMPARE(laid.find(u"Moyenne générale"_s).first, 2);
    }

    void classHeadingsKeepToTheirColumns() {
        // A page that takes fewer columns than the rest of a heading needs: each page's
        // part of the heading stands over that page's columns.
        FakeMeasurer m{{u"Unlongnom Unlongprénom"_s, 2000}, {u"m00,00"_s, 2000}};
        const PageSetup small{.paper = kCustomPaper, .customWidth = u"100"_s, .customHeight = u"150"_s,
                              .landscape = false, .margins = {u"5"_s, u"5"_s, u"5"_s, u"5"_s}};
        const QString name = u"Abcdefghij"_s.repeated(7);
        const Laid laid = layClass(classGrid({name}, {true, true, true}, 1), small, m);
        // Columns at 2323 on page 1, then two a page at 283 and 2323: the name's first 20
        // characters over one column, 40 over the next two, the last 10 over the year's.
        QCOMPARE(laid.pages.size(), 5);
        const QStringList parts{name.left(20), name.mid(20, 40), name.right(10)}, below{u"M 1"_s, u"M 2"_s, u"An"_s};
        for (int p = 1; p <= 3; ++p) {
            // Each part starts where the cell below it starts, that cell's text flush right.
            const auto cell = laid.placed(below[p - 1]);
            QCOMPARE(cell.first, p);
            QCOMPARE(laid.placed(parts[p - 1]), std::pair(p, cell.second + 100 * int(below[p - 1].size()) - 2000));
        }
        QCOMPARE(laid.find(u"Moyenne générale"_s).first, 3);
    }

    void studentGridCells() {
        FakeMeasurer m{{u"Unlongnomdematière"_s, 1800}, {u" Coefficient "_s, 1000}, {u"Moyenneo"_s, 800}};
        // W = 1800 + 5 * 1000 + 240 = 7040; H = 300 + 400 + 60 + 240 * 4 - 1.
        const Laid laid = lay([&](Writer& out) { return CreateFileflxMoy(studentGrid(1), a4Portrait(), m, out); });
        QCOMPARE(laid.frame(), QList<int>({2433, 2433, (16839 - 1719) / 2, 1}));
        for (const QString& t : {u"Durand Léa"_s, u"Matière1"_s, u"Matière"_s}) QCOMPARE(laid.find(t).second.x, 2433);
        const int cell = 2433 + 1840;
        QCOMPARE(laid.find(u" Coefficient "_s).second.x, cell);
        const auto digit = laid.find(u"2"_s).second;
        const int headingY = laid.find(u" Coefficient "_s).second.y;
        QCOMPARE(QPoint(digit.x, digit.y), QPoint(cell + 2 * 1040 + (1000 - 300) / 2, headingY + 200));
        QCOMPARE(laid.find(u" générale "_s).second.x, cell + 4 * 1040);
        QCOMPARE(laid.find(u"Moyenne"_s).second.x, 2433 + 1800 - 800);
        // The blank row: framed, no name, empty values; the general average a result.
        QStringList data, results;
        for (const Record& r : laid.all(printfile::Data)) data << r.text;
        for (const Record& r : laid.all(printfile::Result)) results << r.text;
        QCOMPARE(data, QStringList({"11", "12", "13", "", "", "", "", "", "12,5", "12,5", "12,5", "12,5"}));
        QCOMPARE(results, QStringList({"15", "", "12,5"}));
    }

    void handWrittenFilePrintsToPdf() {
        // Three pages, written as a layout would: titles, headings, data and averages in
        // the five colours, grid lines, and texts that hold the record separators.
        const QString path = m_dir.filePath(u"vsk1.tmp"_s);
        testsupport::writeFile(path, "[1]\n0=TClasse 3e B - Mathématiques/$1134\\$1134\n1=NNom/$1134\\$2000\n"
                                     "2=oDupont/$1134\\$2268\n3=O12,5/$4000\\$2268\n4=oMartin/$1134\\$3000\n"
                                     "5=oDurand/$1134\\$3800\n6=L1134/1701-9000\\2000\n"
                                     "[2]\n0=oBernard/$1134\\$2268\n1=oa/$b\\$c/$2000\\$4000\n2=oÉlodie/$1134\\$3000\n"
                                     "[3]\n0=NFin/$5000\\$8000\n"
                                     "[0]\n1=6\n2=2\n3=0\n");
        // Colours Bleu, Rouge, Vert, Magenta, Rouge.
        const printing::PageSetup setup{.landscape = false, .fontSize = u"14"_s, .colours = {0, 4, 5, 2, 4}};
        const Reader file = Reader::load(path);
        const QString pdf = m_dir.filePath(u"all.pdf"_s);
        // A printer per print, as the program makes one: Qt's PDF writer keeps a failed
        // write for the printer's whole life and would fail every later print through it.
        const auto print = [&](const QString& to) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(to);
            return printing::printPages(printer, file, 1, 3, printing::pageLayout(setup),
                                        printing::renderSettings(setup));
        };
        QVERIFY(print(pdf));
        QCOMPARE(testsupport::pdfPages(pdf), 3);
        QCOMPARE(testsupport::pdfInfo(pdf, u"Page size"_s), u"595 x 842 pts (A4)"_s);
        const QStringList pages = testsupport::pdfText(pdf).split(u'\f');
        QVERIFY2(pages[0].contains(u"Classe 3e B - Mathématiques"_s) && pages[0].contains(u"Dupont"_s),
                 qPrintable(pages[0]));
        QVERIFY2(pages[1].contains(u"a/$b\\$c"_s) && pages[1].contains(u"Élodie"_s), qPrintable(pages[1]));
        QVERIFY2(pages[2].contains(u"Fin"_s), qPrintable(pages[2]));

        // Colours: heading blue; data red, an average in magenta, then data red again and
        // green by turns; the line in the grid colour. A text's top-left corner is at its
        // position: the glyphs sit a little inside, whatever the font.
        const QImage page1 = pageImage(pdf, 1, m_dir.path());
        const auto box = [](int x, int y) { return QRect(x / 20, y / 20, 60, 18); };
        const QRgb blue = qRgb(0, 0, 255), red = qRgb(255, 0, 0), green = qRgb(0, 255, 0);
        QVERIFY(!inked(page1, blue, box(1134, 2000)).isEmpty() && !inked(page1, blue, box(1134, 1134)).isEmpty());
        const QRect dupont = inked(page1, red, QRect(40, 100, 80, 30));
        QVERIFY(qAbs(dupont.left() - 56.7) < 2 && dupont.top() >= 113 && dupont.top() < 123);
        QVERIFY(!inked(page1, qRgb(255, 0, 255), box(4000, 2268)).isEmpty());
        QVERIFY(!inked(page1, red, box(1134, 3000)).isEmpty() && inked(page1, green, box(1134, 3000)).isEmpty());
        QVERIFY(!inked(page1, green, box(1134, 3800)).isEmpty());
        const QRect line = inked(page1, red, QRect(40, 70, 420, 40));  // from (56.7, 85) to (450, 100)
        QVERIFY(QRect(55, 84, 397, 17).contains(line) && line.width() > 390 && line.height() > 13);
        // Each page starts again with the first data colour.
        const QImage page2 = pageImage(pdf, 2, m_dir.path());
        QVERIFY(!inked(page2, red, box(1134, 2268)).isEmpty());
        QVERIFY(qAbs(inked(page2, green, QRect(90, 190, 100, 30)).left() - 100) < 2);

        // A PDF that cannot be written, or not to its end, is a print that failed: the cut
        // file it made is removed; an earlier file of that name and /dev/full are left alone.
        const QString cut = m_dir.filePath(u"cut.pdf"_s), locked = m_dir.filePath(u"locked"_s);
        const QByteArray earlier = testsupport::fileBytes(pdf);
        QVERIFY(QDir().mkdir(locked) && QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        const testsupport::FileRightsEnforced rights;  // a read-only folder, even to root
        for (const QString& path : {locked + u"/x.pdf"_s, cut, pdf, u"/dev/full"_s}) {
            std::optional<testsupport::FileSizeLimit> full;
            if (path == cut || path == pdf) full.emplace(1000);  // a disk that fills up half-way
            QVERIFY(!print(path));
        }
        QVERIFY(!QFile::exists(cut) && QFile::exists(u"/dev/full"_s));
        QCOMPARE(testsupport::fileBytes(pdf), earlier);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(u".all.pdf"_s), QStringList());
        // Through a link, the file it names is printed over; the link stays.
        const QString named = m_dir.filePath(u"named.pdf"_s), link = m_dir.filePath(u"link.pdf"_s);
        QVERIFY(testsupport::writeFile(named, "x") && QFile::link(named, link) && print(link));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(testsupport::pdfPages(named), 3);
    }

    // A PDF made read-only in a folder that may be written is not printed over, even by a
    // process that runs as root but has given up root's rights over files (as CI does).
    void readOnlyPdfIsNotPrintedOver() {
        const QString path = m_dir.filePath(u"title.tmp"_s), folder = m_dir.filePath(u"kept"_s);
        const QString pdf = folder + u"/kept.pdf"_s;
        QVERIFY(testsupport::writeFile(path, "[1]\n0=TTitre/$1134\\$1134\n[0]\n1=0\n") && QDir().mkdir(folder));
        QVERIFY(testsupport::writeFile(pdf, "earlier") && QFile::setPermissions(pdf, QFile::ReadOwner | QFile::ReadOther));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const printing::PageSetup setup;
        {
            const testsupport::FileRightsEnforced rights;
            QVERIFY(!printing::printPages(printer, Reader::load(path), 1, 1, printing::pageLayout(setup),
                                          printing::renderSettings(setup)));
        }
        QCOMPARE(testsupport::fileBytes(pdf), QByteArray("earlier"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"kept.pdf"_s});
    }
};

QTEST_MAIN(tst_PrintFile)
#include "tst_PrintFile.moc"
