// The print file and its drawing: records that carry any text, the page index read by
// position, text fitting, and a hand-written file printed to PDF and read back with
// poppler (page count and size, texts at their twips / 20 positions, colours).
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
using namespace Qt::StringLiterals;

namespace {

// Every character 100 twips wide, a line break ending the measure as the printer does not.
class FakeMeasurer : public printing::TextMeasurer {
public:
    double width(const QString& text) const override { return 100.0 * text.size(); }
};

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
        QTest::newRow("plain") << u"Dupont"_s;
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
        using printing::fitCount;
        using printing::fitText;
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
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const auto print = [&](const QString& to) {
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
        // file it made is removed, /dev/full is left alone.
        const QString cut = m_dir.filePath(u"cut.pdf"_s), locked = m_dir.filePath(u"locked"_s);
        QVERIFY(QDir().mkdir(locked) && QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        const testsupport::FileRightsEnforced rights;  // a read-only folder, even to root
        for (const QString& path : {locked + u"/x.pdf"_s, cut, u"/dev/full"_s}) {
            std::optional<testsupport::FileSizeLimit> full;
            if (path == cut) full.emplace(1000);  // a disk that fills up half-way
            QVERIFY(!print(path));
        }
        QVERIFY(!QFile::exists(cut) && QFile::exists(u"/dev/full"_s));
    }
};

QTEST_MAIN(tst_PrintFile)
#include "tst_PrintFile.moc"
