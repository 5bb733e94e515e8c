// The print file and its drawing: records that carry any text, the page index read by
// position, text fitting, and a hand-written file printed to PDF and read back with
// poppler (page count and size, texts at their twips / 20 positions, colours).
#include "printing/PageRenderer.h"
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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace printfile;

using testsupport::run;

namespace {

// Every character 100 twips wide, a line break ending the measure as the printer does not.
class FakeMeasurer : public printing::TextMeasurer {
public:
    double width(const QString& text) const override { return 100.0 * text.size(); }
};

struct Word {
    QString text;
    double xMin, yMin;
    int page;
};

// The words of a PDF with their top-left corners in points, page by page.
QList<Word> words(const QString& pdf) {
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<Word> found;
    int page = 0;
    static const QRegularExpression word(QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(3);
        text.replace(QLatin1String("&amp;"), QLatin1String("&")).replace(QLatin1String("&lt;"), QLatin1String("<"));
        text.replace(QLatin1String("&gt;"), QLatin1String(">")).replace(QLatin1String("&quot;"), QLatin1String("\""));
        found.append({text, m.captured(1).toDouble(), m.captured(2).toDouble(), page});
    }
    return found;
}

const Word* findWord(const QList<Word>& all, const QString& text) {
    for (const Word& w : all)
        if (w.text == text) return &w;
    return nullptr;
}

// Page `page` of the PDF at 72 dots an inch, without smoothing, so a dot is a point.
QImage pageImage(const QString& pdf, int page, const QString& folder) {
    const QString prefix = folder + QStringLiteral("/page");
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-aa"), QStringLiteral("no"),
                                     QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-f"),
                                     QString::number(page), QStringLiteral("-l"), QString::number(page),
                                     QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// How many dots of exactly that colour lie in the rectangle (in points).
int dotsOf(const QImage& image, QRgb colour, const QRect& area) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) == (colour | 0xFF000000u);
    return n;
}

}  // namespace

class tst_PrintFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void recordsCarryAnyText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("Dupont");
        QTest::newRow("separators") << QStringLiteral("a/$12\\$34 b");
        QTest::newRow("only separators") << QStringLiteral("/$\\$/$");
        QTest::newRow("line marks") << QStringLiteral("1/2-3\\4 -/");
        QTest::newRow("ini marks") << QStringLiteral("[1]=x;y");
        QTest::newRow("unicode") << QStringLiteral("Łukasz Ørsted 李小龍 é");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("  Moyenne ");
    }
    void recordsCarryAnyText() {
        QFETCH(QString, text);
        for (QChar kind : {Title, Heading, Data, Result}) {
            const auto r = parse(textRecord(kind, text, 1134, 2268));
            QVERIFY(r);
            QCOMPARE(r->kind, kind);
            QCOMPARE(r->text, text);
            QCOMPARE(r->x, 1134);
            QCOMPARE(r->y, 2268);
        }
        // And through the file, where values lose their outer blanks.
        Writer out;
        out.add(1, textRecord(Data, text, 5, 6));
        const QString path = m_dir.filePath(QStringLiteral("codec.tmp"));
        QVERIFY(out.save(path));
        QCOMPARE(parse(Reader::load(path).page(1).value(0))->text, text);
    }

    void badRecordsAreSkippedAndLinesParse() {
        QCOMPARE(textRecord(Data, QStringLiteral("Dupont\r\nJean"), 1, 2), QStringLiteral("oDupont Jean/$1\\$2"));
        QCOMPARE(lineRecord(1134, 1701, 9000, 2000), QStringLiteral("L1134/1701-9000\\2000"));
        const auto line = parse(QStringLiteral("L1134/1701-9000\\2000"));
        QVERIFY(line);
        QCOMPARE(QList<int>({line->x, line->y, line->x2, line->y2}), QList<int>({1134, 1701, 9000, 2000}));
        for (const char* bad : {"", "x/$1\\$2", "o/$1", "oabc", "o/$-1\\$2", "o/$1\\$2a", "o\\$1/$2", "L1/2-3",
                                "L-1/2-3\\4", "L1/2-3\\4x", "o/$99999999999\\$1"})
            QVERIFY2(!parse(QString::fromLatin1(bad)), bad);
    }

    void pagesFollowTheIndexByPosition() {
        // Page sections out of order, a key repeated, a gap, an index line that lies.
        const QString path = m_dir.filePath(QStringLiteral("index.tmp"));
        testsupport::writeFile(path, "[2]\n0=N2a/$1\\$1\n1=N2b/$1\\$1\n[1]\n0=Na/$1\\$1\n0=Nrepeated/$1\\$1\n2=Nc/$1\\$1\n3=Nd/$1\\$1\n"
                "[3]\n0=Nonly/$1\\$1\n[0]\n9=2\nx=0\n3=999999999\n");
        const Reader file = Reader::load(path);
        const auto texts = [&](int p) {
            QStringList t;
            for (const QString& r : file.page(p)) t << parse(r)->text;
            return t;
        };
        QCOMPARE(texts(1), QStringList({"a", "c"}));  // keys 0 to 2: key 1 missing
        QCOMPARE(texts(2), QStringList({"2a"}));      // the second line says 0
        QCOMPARE(texts(3), QStringList({"only"}));    // an absurd count stops at what is there
        QVERIFY(file.page(4).isEmpty());
        QVERIFY(file.page(0).isEmpty());

        Writer out;
        out.add(2, QStringLiteral("Nb/$1\\$1"));
        for (int i = 0; i < 12; ++i) out.add(1, textRecord(Data, QString::number(i), i, i));
        QCOMPARE(out.pageCount(), 2);
        QVERIFY(out.save(path));
        const Reader written = Reader::load(path);
        QCOMPARE(written.page(1).size(), 12);
        QCOMPARE(written.page(1).last(), QStringLiteral("o11/$11\\$11"));
        QCOMPARE(platform::profile::section(path, QStringLiteral("0")), QStringList({"1=11", "2=0"}));
        QCOMPARE(platform::profile::sectionNames(path), QStringList({"1", "2", "0"}));

        // Under a file, no folder can be made: the save says so.
        QVERIFY(!out.save(path + QStringLiteral("/vsk2.tmp")));
    }

    void fittingMeasuresTheFirstLine() {
        const FakeMeasurer m;
        using printing::fitCount;
        using printing::fitText;
        QCOMPARE(fitText(m, QStringLiteral("Dupont"), 600), QStringLiteral("Dupont"));
        QCOMPARE(fitText(m, QStringLiteral("Dupont\r\nJean"), 600), QStringLiteral("Dupont"));
        QCOMPARE(fitText(m, QStringLiteral("Dupont\r\nJean"), 599), QStringLiteral("Du..."));
        QCOMPARE(fitText(m, QStringLiteral("Dupont"), 300), QStringLiteral("..."));
        QCOMPARE(fitText(m, QStringLiteral("Dupont"), 299), QStringLiteral("..."));
        QCOMPARE(fitText(m, QString(), 0), QString());
        QCOMPARE(fitCount(m, QStringLiteral("Dupont\nJean"), 650), 6);
        QCOMPARE(fitCount(m, QStringLiteral("Dupont"), 250), 2);
        QCOMPARE(fitCount(m, QStringLiteral("Dupont"), 99), 0);
        QCOMPARE(fitCount(m, QString(), 0), 0);
    }

    void handWrittenFilePrintsToPdf() {
        // Three pages, written as a layout would: titles, headings, data and averages in
        // the five colours, grid lines, and texts that hold the record separators.
        const QString path = m_dir.filePath(QStringLiteral("vsk1.tmp"));
        testsupport::writeFile(path, "[1]\n0=TClasse 3e B - Mathématiques/$1134\\$1134\n1=NNom/$1134\\$2000\n"
                "2=oDupont/$1134\\$2268\n3=oMartin/$1134\\$3000\n4=O12,5/$4000\\$3000\n5=oDurand/$1134\\$3800\n"
                "6=L1134/1701-9000\\2000\n"
                "[2]\n0=oBernard/$1134\\$2268\n1=oa/$b\\$c/$2000\\$4000\n2=oÉlodie/$1134\\$3000\n"
                "[3]\n0=NFin/$5000\\$8000\n"
                "[0]\n1=6\n2=2\n3=0\n");
        printing::PageSetup setup;
        setup.landscape = false;
        setup.fontSize = QStringLiteral("14");
        setup.colours = {0, 4, 5, 2, 4};  // Bleu, Rouge, Vert, Magenta, Rouge
        const Reader file = Reader::load(path);

        const QString pdf = m_dir.filePath(QStringLiteral("all.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(printing::printPages(printer, file, 1, 3, printing::pageLayout(setup), printing::renderSettings(setup)));

        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("595 x 842 pts (A4)")), qPrintable(info));

        const QList<Word> all = words(pdf);
        const Word* dupont = findWord(all, QStringLiteral("Dupont"));
        QVERIFY(dupont);
        QCOMPARE(dupont->page, 1);
        // A text's top-left corner is at its position: the glyphs sit a little inside.
        QVERIFY2(qAbs(dupont->xMin - 56.7) < 1.5 && qAbs(dupont->yMin - 113.4) < 3,
                 qPrintable(QStringLiteral("%1 %2").arg(dupont->xMin).arg(dupont->yMin)));
        const Word* odd = findWord(all, QStringLiteral("a/$b\\$c"));
        QVERIFY(odd);
        QCOMPARE(odd->page, 2);
        QVERIFY(qAbs(odd->xMin - 100) < 1.5);
        QVERIFY(findWord(all, QStringLiteral("Mathématiques")));
        QCOMPARE(findWord(all, QStringLiteral("Élodie"))->page, 2);
        QCOMPARE(findWord(all, QStringLiteral("Fin"))->page, 3);

        // Colours: heading blue, data red then green then red again after an average in
        // magenta; the line in the grid colour.
        const QImage page1 = pageImage(pdf, 1, m_dir.path());
        QVERIFY(!page1.isNull());
        const auto box = [](int x, int y) { return QRect(x / 20, y / 20, 60, 18); };
        QVERIFY(dotsOf(page1, qRgb(0, 0, 255), box(1134, 2000)) > 10);
        QVERIFY(dotsOf(page1, qRgb(0, 0, 255), box(1134, 1134)) > 10);
        QVERIFY(dotsOf(page1, qRgb(255, 0, 0), box(1134, 2268)) > 10);
        QVERIFY(dotsOf(page1, qRgb(0, 255, 0), box(1134, 3000)) > 10);
        QVERIFY(dotsOf(page1, qRgb(255, 0, 255), box(4000, 3000)) > 5);
        QVERIFY(dotsOf(page1, qRgb(255, 0, 0), box(1134, 3800)) > 10);
        QCOMPARE(dotsOf(page1, qRgb(0, 255, 0), box(1134, 3800)), 0);
        QVERIFY(dotsOf(page1, qRgb(255, 0, 0), QRect(60, 83, 390, 20)) > 100);
        // Each page starts again with the first data colour.
        QVERIFY(dotsOf(pageImage(pdf, 2, m_dir.path()), qRgb(255, 0, 0), box(1134, 2268)) > 10);

        // A range of pages is one job of that many sheets.
        const QString range = m_dir.filePath(QStringLiteral("range.pdf"));
        printer.setOutputFileName(range);
        QVERIFY(printing::printPages(printer, file, 2, 3, printing::pageLayout(setup), printing::renderSettings(setup)));
        QVERIFY(run(QStringLiteral("pdfinfo"), {range}).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
        QCOMPARE(words(range).first().text, QStringLiteral("Bernard"));

        // A PDF that cannot be written, or not to its end, is a print that failed: the cut
        // file it made is removed, /dev/full is left alone.
        const QString cut = m_dir.filePath(QStringLiteral("cut.pdf")), locked = m_dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(locked) && QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        const testsupport::FileRightsEnforced rights;  // a read-only folder, even to root
        for (const QString& path : {locked + QStringLiteral("/x.pdf"), cut, QStringLiteral("/dev/full")}) {
            printer.setOutputFileName(path);
            std::optional<testsupport::FileSizeLimit> full;
            if (path == cut) full.emplace(1000);  // a disk that fills up half-way
            QVERIFY(!printing::printPages(printer, file, 1, 1, printing::pageLayout(setup), printing::renderSettings(setup)));
        }
        QVERIFY(!QFile::exists(cut) && QFile::exists(QStringLiteral("/dev/full")));
    }
};

QTEST_MAIN(tst_PrintFile)
#include "tst_PrintFile.moc"
