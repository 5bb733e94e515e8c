// The layouts of the three grids, measured with fixed widths: centring, the columns the
// print choices keep, the cells' texts and places, breaks across and down, the headings
// of the class grid split over pages, grid lines, the page index, and wide grids.
#include "printing/GridLayouts.h"

#include "printing/CINIFile.h"
#include "printing/PrintFile.h"

#include <QHash>
#include <QTemporaryDir>
#include <QTest>

using namespace printing;
using printfile::Record;

namespace {

// Every character 100 twips wide unless told otherwise; lines 200 twips high, 300 in bold.
class FakeMeasurer : public PrinterMeasurer {
public:
    QHash<QString, double> widths;
    void setFont(const QString&, double, bool bold) override { m_bold = bold; }
    double width(const QString& text) const override { return widths.value(text, 100.0 * text.size()); }
    double lineHeight() const override { return m_bold ? 300 : 200; }

private:
    bool m_bold = false;
};

// A grade grid as the main window fills it: series columns then the average of each
// period, the general average last; the labelled rows, the students, the class row.
GradeGridPrint gradeGrid(const QList<int>& seriesPerPeriod, int students) {
    GradeGridPrint g;
    g.title = QStringLiteral("6A - Maths");
    QStringList titles{QString()};
    QVector<qint32> keys{0};
    for (int p = 0; p < seriesPerPeriod.size(); ++p) {
        for (int s = 0; s < seriesPerPeriod[p]; ++s) {
            titles << QStringLiteral("S%1").arg(keys.size());
            keys << keys.size();
        }
        titles << QStringLiteral("Moyenne %1").arg(p + 1);
        keys << 0;
        g.averagePositions[p + 1] = keys.size() - 1;
    }
    titles << QStringLiteral("Moyenne générale");
    keys << 0;
    g.averagePositions[4] = keys.size() - 1;
    GridSnapshot& s = g.grid;
    s.cols = keys.size();
    s.rows = 6 + students;
    s.colData = keys;
    s.colWidth.fill(800, s.cols);
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.cols; ++c) {
            QString t;
            if (r == 0) t = titles[c];
            else if (c == 0 && r == 1) t = QStringLiteral("Note/");
            else if (c == 0 && r == 2) t = QStringLiteral("Coefficient");
            else if (c == 0 && r == s.rows - 1) t = QStringLiteral(" Moyenne");
            else if (c == 0 && r > 3 && r < s.rows - 2) t = QStringLiteral("Eleve%1").arg(r - 3);
            else if (r > 0 && r != 3 && r != s.rows - 2) t = QStringLiteral("%1,5").arg((r + c) % 20);
            s.cells << t;
        }
    return g;
}

// The class grid of the table of averages: a group of four columns per subject and the
// general group, the period columns of unticked boxes hidden.
ClassGridPrint classGrid(const QStringList& subjects, std::array<bool, 3> periods, int students) {
    ClassGridPrint g;
    g.title = QStringLiteral("Sixième A");
    g.periodsShown = periods;
    GridSnapshot& s = g.grid;
    QStringList groups = subjects;
    groups << QStringLiteral("Moyenne générale");
    s.cols = 1 + 4 * int(groups.size());
    s.rows = 6 + students;
    s.colData.fill(0, s.cols);
    s.colWidth << 1800;
    for (int c = 1; c < s.cols; ++c) s.colWidth << ((c % 4 == 0 || periods[(c - 1) % 4]) ? 600 : 0);
    const QStringList periodTitles{QStringLiteral("M 1"), QStringLiteral("M 2"), QStringLiteral("M 3"), QStringLiteral("An")};
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.cols; ++c) {
            QString t;
            if (c > 0 && r == 0) t = groups[(c - 1) / 4];
            else if (c > 0 && r == 1) t = periodTitles[(c - 1) % 4];
            else if (c == 0 && r == 2) t = QStringLiteral("Coefficient");
            else if (c == 0 && r == s.rows - 1) t = QStringLiteral("Moyenne");
            else if (c == 0 && r > 3 && r < s.rows - 2) t = QStringLiteral("Eleve%1").arg(r - 3);
            else if (c > 0 && r == 2 && c % 4 == 0) t = QStringLiteral("2");
            else if (c > 0 && r > 3 && r != s.rows - 2) t = QStringLiteral("1%1,5").arg(c % 10);
            s.cells << t;
        }
    return g;
}

StudentGridPrint studentGrid(int subjects) {
    StudentGridPrint g;
    g.title = QStringLiteral("Durand Léa");
    GridSnapshot& s = g.grid;
    s.cols = 6;
    s.rows = subjects + 3;
    s.colData.fill(0, 6);
    s.colWidth.fill(1000, 6);
    const QStringList headings{QStringLiteral("Matière"), QStringLiteral("Coefficient"), QStringLiteral("Moyenne 1"),
                               QStringLiteral("Moyenne 2"), QStringLiteral("Moyenne 3"), QStringLiteral("Moyenne générale")};
    for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < 6; ++c) {
            QString t;
            if (r == 0) t = headings[c];
            else if (r == s.rows - 1) t = c == 0 ? QStringLiteral("Moyenne") : QStringLiteral("12,5");
            else if (r < s.rows - 2) t = c == 0 ? QStringLiteral("Matière%1").arg(r) : c == 4 ? QString() : QStringLiteral("1%1").arg(c);
            s.cells << t;
        }
    return g;
}

const QString g_title = QStringLiteral("Sixième A");

PageSetup a4Portrait(bool gridLines = true) {
    PageSetup s;
    s.landscape = false;
    s.margins = {QStringLiteral("20"), QStringLiteral("20"), QStringLiteral("20"), QStringLiteral("20")};
    s.gridLines = gridLines;
    return s;
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
    if (!page) return {};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vsk1.tmp"));
    if (!out.save(path)) return {};
    Laid laid;
    laid.page = *page;
    const printfile::Reader file = printfile::Reader::load(path);
    for (int p = 1; p <= out.pageCount(); ++p) {
        QList<Record> records;
        for (const QString& s : file.page(p))
            if (const auto r = printfile::parse(s)) records << *r;
        laid.pages << records;
    }
    CINIFile ini;
    ini.setFile(path);
    ini.setSection(QStringLiteral("0"));
    ini.enumSectionKeysAndValues(laid.index);
    return laid;
}

Laid layNotes(const GradeGridPrint& g, const PrintChoices& choices, const PageSetup& setup, FakeMeasurer& m) {
    return lay([&](printfile::Writer& out) { return CreateFileflxNotes(g, choices, setup, m, out); });
}
Laid layClass(const ClassGridPrint& g, const PageSetup& setup, FakeMeasurer& m) {
    return lay([&](printfile::Writer& out) { return CreateFileflxClass(g, setup, m, out); });
}
Laid layMoy(const StudentGridPrint& g, const PageSetup& setup, FakeMeasurer& m) {
    return lay([&](printfile::Writer& out) { return CreateFileflxMoy(g, setup, m, out); });
}

QList<int> printedColumns(const ColumnChoice& k) {
    QList<int> c;
    for (int i = 1; i < k.printed.size(); ++i)
        if (k.printed[i]) c << i;
    return c;
}

}  // namespace

class tst_GridLayouts : public QObject {
    Q_OBJECT

private slots:
    void columnsOfEveryChoice_data() {
        QTest::addColumn<QList<int>>("series");
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("grades");
        QTest::addColumn<bool>("general");
        QTest::addColumn<QList<int>>("printed");
        QTest::addColumn<int>("count");
        // Averages at columns 4, 8 and 11, the general one at 12.
        const QList<int> three{3, 3, 2};
        QTest::newRow("all, grades") << three << 4 << true << false << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11} << 11;
        QTest::newRow("all, grades, general") << three << 4 << true << true
                                              << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12} << 12;
        QTest::newRow("all, averages") << three << 4 << false << false << QList<int>{4, 8, 11} << 3;
        QTest::newRow("all, averages, general") << three << 4 << false << true << QList<int>{4, 8, 11, 12} << 4;
        QTest::newRow("period 1, grades") << three << 1 << true << false << QList<int>{1, 2, 3, 4} << 4;
        QTest::newRow("period 1, averages") << three << 1 << false << false << QList<int>{4} << 1;
        QTest::newRow("period 2, grades") << three << 2 << true << false << QList<int>{5, 6, 7, 8} << 4;
        QTest::newRow("period 2, averages, general") << three << 2 << false << true << QList<int>{8, 12} << 2;
        QTest::newRow("period 3, grades, general") << three << 3 << true << true << QList<int>{9, 10, 11, 12} << 4;
        // A period without an average column: the names, and the general average if chosen.
        QTest::newRow("period 3 absent") << QList<int>{2, 1} << 3 << true << true << QList<int>{6} << 1;
        QTest::newRow("period 3 absent, no general") << QList<int>{2, 1} << 3 << false << false << QList<int>{} << 0;
        // A period without series still has its average column.
        QTest::newRow("empty period 1") << QList<int>{0, 2} << 1 << true << false << QList<int>{1} << 1;
        QTest::newRow("10 grade columns") << QList<int>{9} << 4 << true << true << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11} << 11;
    }
    void columnsOfEveryChoice() {
        QFETCH(QList<int>, series);
        QFETCH(int, period);
        QFETCH(bool, grades);
        QFETCH(bool, general);
        QFETCH(QList<int>, printed);
        QFETCH(int, count);
        const GradeGridPrint g = gradeGrid(series, 2);
        const ColumnChoice k = chooseColumns(g.grid, g.averagePositions, PrintChoices{period, grades, general});
        QCOMPARE(printedColumns(k), printed);
        QCOMPARE(k.count, count);
    }

    void gradeGridCellsAndCentring() {
        FakeMeasurer m;
        m.widths[QStringLiteral("Unlongnom Unlongprénom")] = 2000;
        m.widths[QStringLiteral(" Moyenne ")] = 4921;
        m.widths[QStringLiteral(" générale ")] = 4000;
        GradeGridPrint g = gradeGrid({2}, 2);
        g.grid.cells[4 * g.grid.cols] = QStringLiteral("Un nom bien trop long pour la colonne");
        g.grid.cells[1 * g.grid.cols + 1] = QStringLiteral("une note bien trop large");
        // One printed column: W = 2000 + 4921 + 80 = 7001, centred on A4 portrait.
        Laid laid = layNotes(g, PrintChoices{1, false, false}, a4Portrait(), m);
        QCOMPARE(laid.page.left, 2453);
        QCOMPARE(laid.page.right, 2453);
        // H = 300 + 400 + 60 + 240 * 8 - 1 = 2679 on a page 16839 high.
        QCOMPARE(laid.page.top, (16839 - 2679) / 2);
        QCOMPARE(laid.pages.size(), 1);
        const Record title = laid.pages[0][0];
        QCOMPARE(title.kind, printfile::Title);
        QCOMPARE(title.text, g.title);
        QCOMPARE(QPoint(title.x, title.y), QPoint(2453, laid.page.top));

        // Labels one "o" short of the names column's edge; names shortened; no label in
        // rows 0, 3 and the one before last.
        const int rowY = laid.page.top + 300 + 40;
        const auto note = laid.find(QStringLiteral("Note/")).second;
        QCOMPARE(QPoint(note.x, note.y), QPoint(2453 + 2000 - 600, rowY + 400 + 40));
        QCOMPARE(laid.find(QStringLiteral(" Moyenne")).second.x, 2453 + 2000 - 900);
        const auto name = laid.find(fitText(m, g.grid.text(4, 0), 2000));
        QVERIFY(name.second.text.endsWith(QStringLiteral("...")));
        QCOMPARE(name.second.x, 2453);
        QVERIFY(laid.find(QStringLiteral("Eleve2")).first);
        // The period average's title over its digit, centred.
        const int cell = 2453 + 2000 + 40;
        const auto digit = laid.find(QStringLiteral("1")).second;
        QCOMPARE(QPoint(digit.x, digit.y), QPoint(cell + (4921 - 300) / 2, rowY + 200));
        QCOMPARE(laid.find(QStringLiteral(" Moyenne ")).second.x, cell);
        // Averages are results, right-aligned flush, never shortened.
        const QList<Record> results = laid.all(printfile::Result);
        QCOMPARE(results.size(), 7);  // rows 1 to 7, the blank ones with empty texts
        QCOMPARE(results.last().x, cell + 4921 - 100 * int(results.last().text.size()));
        QCOMPARE(laid.all(printfile::Data).size(), 0);

        // With the printable width just filled, the margins stay.
        m.widths[QStringLiteral(" Moyenne ")] = 7559;
        laid = layNotes(g, PrintChoices{1, false, false}, a4Portrait(), m);
        QCOMPARE(laid.page.left, 1134);

        // Series titles fitted and centred; grades right-aligned, never shortened.
        m.widths[QStringLiteral(" Moyenne ")] = 650;
        m.widths[QStringLiteral(" générale ")] = 650;
        laid = layNotes(g, PrintChoices{4, true, true}, a4Portrait(), m);
        const auto wide = laid.find(QStringLiteral("une note bien trop large")).second;
        QCOMPARE(wide.kind, printfile::Data);
        QCOMPARE(wide.x, laid.page.left + 2040 + 650 - 2400);
        QCOMPARE(laid.find(QStringLiteral("S1")).second.x, laid.page.left + 2040 + (650 - 200) / 2);
        const auto general = laid.find(QStringLiteral(" générale ")).second;
        QCOMPARE(general.y, laid.find(QStringLiteral(" Moyenne ")).second.y + 200);
    }

    void gridLinesAndIndex() {
        FakeMeasurer m;
        const GradeGridPrint g = gradeGrid({2, 1}, 3);
        Laid laid = layNotes(g, PrintChoices{}, a4Portrait(false), m);
        QVERIFY(laid.all(printfile::Line).isEmpty());
        QCOMPARE(laid.index, QStringList{QStringLiteral("1=%1").arg(laid.pages[0].size() - 1)});

        laid = layNotes(g, PrintChoices{}, a4Portrait(), m);
        const int left = laid.page.left - 20;
        int tops = 0, borders = 0, bottoms = 0;
        const QList<Record> lines = laid.all(printfile::Line);
        for (const Record& l : lines) {
            if (l.y == l.y2 && l.x == left) ++tops;
            if (l.x == left && l.x2 == left) ++borders;
        }
        // Every row a top edge and a left border; the last row a bottom edge besides.
        QCOMPARE(borders, g.grid.rows);
        QCOMPARE(tops, g.grid.rows + 1);
        const Record& lastLine = lines.last();
        QCOMPARE(lastLine.y, lastLine.y2);
        // A line after the names and after each of the 6 grade columns, in every row.
        for (const Record& l : lines)
            if (l.x == l.x2 && l.x != left) ++bottoms;
        QCOMPARE(bottoms, g.grid.rows * 7);
    }

    void breaksAcrossAndDown() {
        // 40 series at 1000 twips, 150 students: wider and taller than any page, and more
        // than 16-bit sums allow. It is paged, not centred.
        FakeMeasurer m;
        m.widths[QStringLiteral(" Moyenne ")] = 1000;
        m.widths[QStringLiteral(" générale ")] = 1000;
        const GradeGridPrint g = gradeGrid({14, 13, 13}, 150);
        const PageSetup setup = a4Portrait();
        const Laid laid = layNotes(g, PrintChoices{}, setup, m);
        QCOMPARE(laid.page.left, 1134);
        QCOMPARE(laid.page.top, 1134);
        // 7 grade columns fit beside the names, then 9 a page: 44 grade columns take 6
        // pages across. Rows 240 apart: the first band takes rows 0 to 57 below the title,
        // the next ones 60 rows each.
        const int across = 1 + (44 - 7 + 8) / 9;
        QCOMPARE(across, 6);
        const int bands = 3;  // 156 rows
        QCOMPARE(laid.pages.size(), across * bands);
        QCOMPARE(laid.index.size(), laid.pages.size());
        for (int p = 1; p <= laid.pages.size(); ++p)
            QCOMPARE(laid.index[p - 1], QStringLiteral("%1=%2").arg(p).arg(laid.pages[p - 1].size() - 1));

        // The title on page 1 only; no names column on pages across; column titles in
        // the first band only, each page its own.
        QCOMPARE(laid.all(printfile::Title).size(), 1);
        QCOMPARE(laid.find(QStringLiteral("S1")).first, 1);
        QCOMPARE(laid.find(QStringLiteral("S8")).first, 2);
        QCOMPARE(laid.find(QStringLiteral("S8")).second.x, 1134 + (1000 - 200) / 2);
        QCOMPARE(laid.find(QStringLiteral("Eleve1")).first, 1);
        for (int p = 2; p <= across; ++p) QVERIFY(!laid.texts(p).contains(QStringLiteral("Eleve1")));
        const int secondBand = across + 1;
        const auto nextBand = laid.find(QStringLiteral("Eleve%1").arg(58 - 3));
        QCOMPARE(nextBand.first, secondBand);
        QCOMPARE(nextBand.second.y, 1134);
        QVERIFY(!laid.texts(secondBand).contains(QStringLiteral("S1")));
        // Every row of a band goes over the same pages.
        for (int p = 1; p <= laid.pages.size(); ++p) QVERIFY(!laid.pages[p - 1].isEmpty());
        QCOMPARE(laid.find(QStringLiteral(" Moyenne")).first, 2 * across + 1);  // the class row
    }

    void tooWideOrTooTallCellsStandAlone() {
        // A column wider than the printable width, a row taller than the page.
        FakeMeasurer m;
        m.widths[QStringLiteral(" Moyenne ")] = 12000;
        GradeGridPrint g = gradeGrid({2}, 1);
        Laid laid = layNotes(g, PrintChoices{4, true, false}, a4Portrait(), m);
        // Names, then each of the three grade columns alone on a page.
        QCOMPARE(laid.pages.size(), 4);
        QCOMPARE(laid.find(QStringLiteral("S2")).first, 3);

        PageSetup setup = a4Portrait();
        setup.fontSize = QStringLiteral("10");
        class Tall : public FakeMeasurer {
        public:
            double lineHeight() const override { return 20000; }
        } tall;
        laid = layNotes(g, PrintChoices{1, false, false}, setup, tall);
        QCOMPARE(laid.pages.size(), 1 + g.grid.rows);  // the title alone on page 1
        QCOMPARE(laid.texts(1), QStringList{g.title});
    }

    void classGridCentringAndCells() {
        FakeMeasurer m;
        m.widths[QStringLiteral("Unlongnom Unlongprénom")] = 2000;
        m.widths[QStringLiteral("m00,00")] = 650;
        const QStringList three{QStringLiteral("Maths"), QStringLiteral("Français"), QStringLiteral("Histoire")};
        // One box ticked: 8 columns, W = 2000 + 650 * 8 + 9 * 40 = 7560.
        Laid laid = layClass(classGrid(three, {false, true, false}, 2), a4Portrait(), m);
        QCOMPARE(laid.page.left, 2173);
        QCOMPARE(laid.page.right, 2173);
        // H = 300 + 20 + 240 * 8.
        QCOMPARE(laid.page.top, (16839 - 2240) / 2);
        QCOMPARE(laid.pages.size(), 1);
        // Hidden columns write nothing: only "M 2" and "An" under each heading.
        QVERIFY(!laid.find(QStringLiteral("M 1")).first && !laid.find(QStringLiteral("M 3")).first);
        const auto an = laid.find(QStringLiteral("An")).second;
        QCOMPARE(an.x, 2173 + 2040 + 690 + 650 - 200);
        // Year columns are results, the others data; coefficient and class labels flush
        // right one "o" short; no label on rows 0, 1, 3 and the one before last.
        const int left = 2173;
        QCOMPARE(laid.find(QStringLiteral("Coefficient")).second.x, left + 2000 - 1200);
        QCOMPARE(laid.find(QStringLiteral("Moyenne")).second.x, left + 2000 - 800);
        QCOMPARE(laid.all(printfile::Result).size(), 4 * 6);  // rows 2 to 7, blank ones included
        QCOMPARE(laid.all(printfile::Data).size(), 4 * 6);
        QCOMPARE(laid.find(QStringLiteral("Maths")).second.x, left + 2040);
        // Row 0 has lines at the groups' edges only.
        const int headingY = laid.find(QStringLiteral("Maths")).second.y;
        int verticals = 0;
        for (const Record& l : laid.all(printfile::Line))
            if (l.x == l.x2 && l.y == headingY - 20) ++verticals;
        QCOMPARE(verticals, 1 + 1 + 4);

        // No box ticked: the year columns alone at twice the width.
        laid = layClass(classGrid(three, {false, false, false}, 2), a4Portrait(), m);
        QCOMPARE(laid.page.left, (11907 - (2000 + 1300 * 4 + 200)) / 2);
        QCOMPARE(laid.find(QStringLiteral("Histoire")).second.x, laid.page.left + 2040 + 2 * 1340);
        // Two boxes ticked: wider than the page, margins kept.
        laid = layClass(classGrid(three, {true, true, false}, 2), a4Portrait(), m);
        QCOMPARE(laid.page.left, 1134);
    }

    void classHeadingSplitAcrossPages() {
        FakeMeasurer m;
        m.widths[QStringLiteral("Unlongnom Unlongprénom")] = 2000;
        m.widths[QStringLiteral("m00,00")] = 650;
        const QString long3 = QStringLiteral("Sciences de la vie et de la Terre");
        const Laid laid = layClass(classGrid({QStringLiteral("Maths"), QStringLiteral("Français"), long3},
                                             {true, true, true}, 2),
                                   a4Portrait(), m);
        // Two groups fit whole; of the third, three columns fit on page 1: the name's first
        // 20 characters (2030 twips of room), the rest fitted to one column on page 2.
        QCOMPARE(laid.find(QStringLiteral("Maths")).second.x, 1134 + 2040);
        const auto first = laid.find(long3.left(20));
        QCOMPARE(first.first, 1);
        QCOMPARE(first.second.x, 1134 + 2040 + 2 * 2760);
        const auto rest = laid.find(long3.mid(20).left(3) + QStringLiteral("..."));
        QCOMPARE(rest.first, 2);
        QCOMPARE(rest.second.x, 1134);
        // Below it the same three columns stay on page 1 and the year column opens page 2.
        const QStringList page2 = laid.texts(2);
        QCOMPARE(page2.count(QStringLiteral("An")), 2);  // and the general group's
        QCOMPARE(page2.count(QStringLiteral("M 1")), 1);
        QCOMPARE(laid.find(QStringLiteral("An"), 2).second.x, 1134 + 650 - 200);
        QCOMPARE(laid.find(QStringLiteral("Moyenne générale")).first, 2);
        QCOMPARE(laid.pages.size(), 2);
    }

    void classHeadingsKeepToTheirColumns() {
        // A page that takes fewer columns than the rest of a heading needs: each page's
        // part of the heading stands over that page's columns.
        FakeMeasurer m;
        m.widths[QStringLiteral("Unlongnom Unlongprénom")] = 2000;
        m.widths[QStringLiteral("m00,00")] = 2000;
        PageSetup small = a4Portrait();
        small.paper = kCustomPaper;
        small.customWidth = QStringLiteral("100");
        small.customHeight = QStringLiteral("150");
        small.margins = {QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("5")};
        const QString name = QStringLiteral("Abcdefghij").repeated(7);
        const Laid laid = layClass(classGrid({name}, {true, true, true}, 1), small, m);
        // Columns at 2323 on page 1, then two a page at 283 and 2323: the name's first 20
        // characters over one column, 40 over the next two, the last 10 over the year's.
        QCOMPARE(laid.pages.size(), 5);
        const int headingY = laid.find(g_title).second.y + 300 + 40;
        QString joined;
        for (int p = 1; p <= 3; ++p) {
            const QString below = p == 1 ? QStringLiteral("M 1") : p == 2 ? QStringLiteral("M 2") : QStringLiteral("An");
            const auto cell = laid.find(below);
            QCOMPARE(cell.first, p);
            const int cellX = cell.second.x + 100 * int(below.size()) - 2000;
            const auto heading = std::find_if(laid.pages[p - 1].begin(), laid.pages[p - 1].end(), [&](const Record& r) {
                return r.kind == printfile::Heading && r.y == headingY;
            });
            QVERIFY(heading != laid.pages[p - 1].end());
            QCOMPARE(heading->x, cellX);
            joined += heading->text;
        }
        QCOMPARE(joined, name);
        QCOMPARE(laid.find(QStringLiteral("Moyenne générale")).first, 3);
    }

    void headingWiderThanAnyPageStillAdvances() {
        FakeMeasurer m;
        m.widths[QStringLiteral("m00,00")] = 20000;
        const Laid laid = layClass(classGrid({QStringLiteral("Maths")}, {true, false, false}, 1), a4Portrait(), m);
        // The names, then each column alone on a page of its own.
        QCOMPARE(laid.pages.size(), 1 + 4);
        QCOMPARE(laid.find(QStringLiteral("Moyenne générale")).first, 4);

        // A bound stops a layout that would never end.
        ClassGridPrint huge = classGrid({}, {false, false, false}, 0);
        GridSnapshot& s = huge.grid;
        s.cols = 1 + 4 * 2600;
        s.colWidth.fill(600, s.cols);
        s.colData.fill(0, s.cols);
        s.cells = QStringList(s.rows * s.cols, QStringLiteral("x"));
        printfile::Writer out;
        QVERIFY(!CreateFileflxClass(huge, a4Portrait(), m, out));
    }

    void studentGridCells() {
        FakeMeasurer m;
        m.widths[QStringLiteral("Unlongnomdematière")] = 1800;
        m.widths[QStringLiteral(" Coefficient ")] = 1000;
        m.widths[QStringLiteral("Moyenneo")] = 800;
        Laid laid = layMoy(studentGrid(1), a4Portrait(), m);
        // W = 1800 + 5 * 1000 + 240 = 7040; H = 300 + 400 + 60 + 240 * 4 - 1.
        QCOMPARE(laid.page.left, 2433);
        QCOMPARE(laid.page.top, (16839 - 1719) / 2);
        QCOMPARE(laid.pages.size(), 1);
        const QList<Record>& page = laid.pages[0];
        QCOMPARE(page[0].kind, printfile::Title);
        QCOMPARE(page[0].text, QStringLiteral("Durand Léa"));
        QCOMPARE(page[0].x, 2433);
        QCOMPARE(laid.find(QStringLiteral("Matière1")).second.x, 2433);
        QCOMPARE(laid.find(QStringLiteral("Matière")).second.x, 2433);  // cell (0, 0)
        const int cell = 2433 + 1840;
        QCOMPARE(laid.find(QStringLiteral(" Coefficient ")).second.x, cell);
        const auto digit = laid.find(QStringLiteral("2")).second;
        QCOMPARE(digit.x, cell + 2 * 1040 + (1000 - 300) / 2);
        QCOMPARE(digit.y, laid.find(QStringLiteral(" Coefficient ")).second.y + 200);
        QCOMPARE(laid.find(QStringLiteral(" générale ")).second.x, cell + 4 * 1040);
        const auto label = laid.find(QStringLiteral("Moyenne")).second;
        QCOMPARE(label.x, 2433 + 1800 - 800);
        // The blank row: framed, no name, empty values; the general average a result.
        int emptyData = 0, emptyResults = 0;
        for (const Record& r : page) {
            if (r.kind == printfile::Data && r.text.isEmpty()) ++emptyData;
            if (r.kind == printfile::Result && r.text.isEmpty()) ++emptyResults;
        }
        QCOMPARE(emptyData, 4 + 1);  // the blank row, and the subject's empty third period
        QCOMPARE(emptyResults, 1);
        QCOMPARE(laid.all(printfile::Result).size(), 3);

        // A page too narrow for the six columns goes on across, headings included.
        PageSetup narrow = a4Portrait();
        narrow.paper = 3;  // A6
        laid = layMoy(studentGrid(30), narrow, m);
        QCOMPARE(laid.page.left, 1134);
        QVERIFY(laid.pages.size() >= 4);
        // Names and coefficients on the first page, three periods on the next, then the
        // general average.
        QCOMPARE(laid.find(QStringLiteral(" Moyenne ")).first, 2);
        QCOMPARE(laid.find(QStringLiteral(" générale ")).first, 3);
        QCOMPARE(laid.find(QStringLiteral(" générale ")).second.x, 1134);
    }
};

QTEST_MAIN(tst_GridLayouts)
#include "tst_GridLayouts.moc"
