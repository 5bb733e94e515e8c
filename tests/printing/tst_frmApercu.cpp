// The preview: the page geometry of every paper, paging by keys and buttons, the build
// once per opening and after an accepted page setup only, printing all pages or a range
// to PDF, the changed-printer question, failed builds, and closing.
#include "printing/frmApercu.h"
#include "printing/frmConfigImpression.h"
#include "printing/frmMiseEnPage.h"
#include "printing/Printer.h"

#include "Answers.h"
#include "PrintTestKit.h"
#include "controls/cScrollBar.h"
#include "platform/Desktop.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"
#include "platform/Twips.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using platform::Form;
using platform::ModalTestScope;
using printing::PageSetup;

namespace {

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

int g_builds = 0;
int g_pages = 0;

// A layout of g_pages pages, each with its number in a heading and a data cell.
bool numberedPages(const LayoutInput& in, printfile::Writer& out) {
    ++g_builds;
    for (int p = 1; p <= g_pages; ++p) {
        out.add(p, printfile::textRecord(printfile::Heading, u"Page%1"_s.arg(p), in.geometry.left, in.geometry.top));
        out.add(p, printfile::textRecord(printfile::Data, u"Dupont"_s, in.geometry.left, in.geometry.top + 400));
    }
    return true;
}

// Opens the preview of `pages` pages as the print command does and hands it to `act`.
// `during` answers what the preview shows while it is being shown (a failed build).
void preview(ModalTestScope& scope, int pages, const std::function<void(frmAperçu&)>& act,
             const QString& grid = u"flxNotes"_s, const platform::ModalResponder& during = {}) {
    g_pages = pages;
    g_builds = 0;
    frmAperçu& window = Form<frmAperçu>::get();
    window.GridName = grid;
    scope.push([&](QWidget&) { act(window); });
    if (during) scope.push(during);
    platform::showModal(window);
    QCoreApplication::processEvents();
    flushDeletes();
}

}  // namespace

class tst_frmApercu : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        platform::installDesktopRules(*qApp);
        frmAperçu::setLayout(u"flxNotes"_s, numberedPages);
    }

    void init() {
        // Each preview starts from a page setup loaded and answered, as the caller leaves it.
        Form<frmMiseEnPage>::get().showPageSetup(PageSetup{.landscape = false});
    }

    void cleanup() {
        Form<frmMiseEnPage>::unload();
        Form<frmAperçu>::unload();
        flushDeletes();
    }

    void geometryOfEveryPaper() {
        PageSetup s{.customWidth = u"100"_s, .customHeight = u"150"_s, .margins = {u"20"_s, u"5"_s, u"50"_s, u"13"_s}};
        for (s.paper = 0; s.paper <= printing::kCustomPaper; ++s.paper)
            for (bool landscape : {false, true}) {
                s.landscape = landscape;
                const printing::PageGeometry g = printing::pageGeometry(s);
                QCOMPARE(QList<int>({g.top, g.bottom, g.left, g.right}), QList<int>({1134, 283, 2835, 737}));
                // A typed size is the page as it lies; the others turn in landscape. The
                // printer's sheet has the same size; Letter and Legal differ by up to 2.4 mm.
                QCOMPARE(g.width > g.height, landscape && s.paper != printing::kCustomPaper);
                const QSizeF sheet = printing::pageLayout(s).fullRect(QPageLayout::Point).size();
                QVERIFY(qAbs(sheet.width() * 20 - g.width) < 140 && qAbs(sheet.height() * 20 - g.height) < 140);
            }
    }

    void pagesByKeysButtonsAndPageSetup() {
        ModalTestScope scope;
        QString file;
        preview(scope, 7, [&](frmAperçu& w) {
            QCOMPARE(g_builds, 1);
            QCOMPARE(w.lblPage->text(), u"1 sur 7"_s);
            QCOMPARE(w.picAperçu->size(), QSize(platform::twipsToPixels(12407), platform::twipsToPixels(17339)));
            file = w.PrintFile;
            QVERIFY(QFileInfo::exists(file));
            // A folder of its own that only this user can enter, in the session's folder.
            QCOMPARE(QFileInfo(QFileInfo(file).path()).permissions() & 0x0077, QFile::Permissions());
            QCOMPARE(QFileInfo(QFileInfo(file).path()).path(), qEnvironmentVariable("XDG_RUNTIME_DIR"));

            w.Imprime(0, 3, 3);
            QCOMPARE(w.lblPage->text(), u"3 sur 7"_s);
            w.Imprime(0, 99, 99);
            QCOMPARE(w.lblPage->text(), u"7 sur 7"_s);
            const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Home, 1}, {Qt::Key_Up, 1},   {Qt::Key_Down, 2},
                                                    {Qt::Key_End, 7},  {Qt::Key_Down, 7}, {Qt::Key_Up, 6},
                                                    {Qt::Key_Escape, 6}};
            for (const auto& [key, page] : keys) {
                QTest::keyClick(&w, key);
                QCOMPARE(w.shownPage(), page);
            }
            QVERIFY(w.isVisible());
            w.imaNav[2]->click();
            QCOMPARE(w.lblPage->text(), u"1 sur 7"_s);
            w.imaNav[1]->click();
            w.imaNav[3]->click();
            w.imaNav[0]->click();
            QCOMPARE(w.shownPage(), 6);

            // Page Down moves the page up by a third of the window, Page Up never below 0.
            w.resize(800, 600);
            QCoreApplication::processEvents();
            const int step = w.msb->LargeChange(cScrollBar::Vertical);
            const int top = w.picAperçu->y();
            QTest::keyClick(&w, Qt::Key_PageDown);
            QCOMPARE(w.msb->Value(cScrollBar::Vertical), step);
            QCOMPARE(w.picAperçu->y(), top - platform::twipsToPixels(step + 200) + platform::twipsToPixels(200));
            QTest::keyClick(&w, Qt::Key_PageUp);
            QTest::keyClick(&w, Qt::Key_PageUp);
            QCOMPARE(w.msb->Value(cScrollBar::Vertical), 0);
            for (int i = 0; i < 50; ++i) QTest::keyClick(&w, Qt::Key_Right);
            QCOMPARE(w.msb->Value(cScrollBar::Horizontal), w.msb->Max(cScrollBar::Horizontal));
            QTest::keyClick(&w, Qt::Key_Left);
            QCOMPARE(w.msb->Value(cScrollBar::Horizontal), std::max(0, w.msb->Max(cScrollBar::Horizontal) - 1000));

            // Shown again after another window: not built again. After a page setup
            // cancelled, the file and its drawing stay as they were built.
            w.hide();
            w.show();
            scope.push([](QWidget& d) {
                auto& setup = static_cast<frmMiseEnPage&>(d);
                setup.lblPolice[0]->setText(u"DejaVu Serif"_s);
                setup.chkOrient[1]->setChecked(true);
                setup.cmdAction[1]->click();
            });
            w.mnuMiseEnPage->trigger();
            QCOMPARE(g_builds, 1);
            QCOMPARE(w.PrintFile, file);
            QCOMPARE(w.renderSettings().fontName, u"Arial"_s);
            QCOMPARE(w.shownPage(), 6);

            // Accepted: built again with what the dialog holds, from page 1.
            scope.push([](QWidget& d) { static_cast<frmMiseEnPage&>(d).cmdAction[0]->click(); });
            w.mnuMiseEnPage->trigger();
            QCOMPARE(g_builds, 2);
            QVERIFY(!QFileInfo::exists(file) && QFileInfo::exists(w.PrintFile));
            QCOMPARE(w.renderSettings().fontName, u"DejaVu Serif"_s);
            QCOMPARE(w.PageWidth, 16839);
            QCOMPARE(w.lblPage->text(), u"1 sur 7"_s);
            file = w.PrintFile;
            w.mnuClose->trigger();
        });
        QVERIFY(!QFileInfo::exists(QFileInfo(file).path()));
        QVERIFY(!Form<frmMiseEnPage>::isLoaded() && !Form<frmConfigImpression>::isLoaded() &&
                !Form<frmAperçu>::isLoaded());
    }

    void standsWholeOnASmallScreen() {
        // A screen as small as a 1920x1200 one at scale factor 2, smaller than the preview.
        const QRect small = QGuiApplication::screens().at(1)->availableGeometry();
        ModalTestScope scope;
        Form<frmAperçu>::get().move(small.topLeft() + QPoint(40, 40));
        preview(scope, 1, [&](frmAperçu& w) {
            QVERIFY(small.contains(w.frameGeometry()));
            w.mnuClose->trigger();
        });
    }

    void printsAllPagesOrARange() {
        ModalTestScope scope;
        const QString all = m_dir.filePath(u"all.pdf"_s), range = m_dir.filePath(u"range.pdf"_s);
        const QString no = m_dir.filePath(u"no.pdf"_s), yes = m_dir.filePath(u"yes.pdf"_s);
        const QString question = u"Vous avez changé d'imprimante. Le résultat peut ne pas être le même.\nContinuer ?"_s;
        const QString before = printing::currentPrinterName();
        preview(scope, 4, [&](frmAperçu& w) {
            scope.push(testsupport::printToPdf(all));
            w.mnuImprimer->trigger();
            scope.push([&](QWidget& d) {
                QCOMPARE(d.findChild<QSpinBox*>(u"to"_s)->maximum(), 4);  // the bounds went in
                testsupport::printToPdf(range, 2, 3)(d);
            });
            w.mnuImprimer->trigger();
            // A PDF is proposed in the program's documents folder, wherever the program started.
            scope.push([](QWidget& d) {
                QVERIFY(d.findChild<QLineEdit*>(u"filename"_s)->text().startsWith(platform::paths::userFolder() + u'/'));
                static_cast<QDialog&>(d).reject();
            });
            w.mnuImprimer->trigger();
            // A file that cannot be written is a print that failed.
            scope.push(testsupport::printToPdf(m_dir.filePath(u"no/such.pdf"_s)));
            scope.push(testsupport::systemMessage(u"L'impression n'a pas pu être lancée sur cette imprimante."_s));
            w.mnuImprimer->trigger();
            // Another printer than the current one is asked about.
            printing::setCurrentPrinterName(u"Imprimante du couloir"_s);
            for (const QString& answer : {u"Non"_s, u"Oui"_s}) {
                scope.push(testsupport::printToPdf(answer == u"Oui"_s ? yes : no));
                scope.push(testsupport::msgBox(question, answer));
                w.mnuImprimer->trigger();
            }
        });
        QCOMPARE(testsupport::pdfPages(all), 4);
        QCOMPARE(testsupport::pdfPages(range), 2);
        const QString text = testsupport::pdfText(range);
        QVERIFY2(text.contains(u"Page2"_s) && text.contains(u"Page3"_s) && text.count(u"Page"_s) == 2, qPrintable(text));
        QVERIFY(!QFileInfo::exists(no));
        QCOMPARE(testsupport::pdfPages(yes), 4);
        // A PDF file is no printer to keep for the next print.
        QCOMPARE(printing::currentPrinterName(), u"Imprimante du couloir"_s);
        printing::setCurrentPrinterName(before);
        QCOMPARE(scope.pending(), 0);
    }

    void failedBuildsAreToldAndClose() {
        ModalTestScope scope;
        const auto failure = testsupport::systemMessage(u"Impossible de créer le fichier temporaire d'impression."_s);
        // The window may be deleted while the events run: it is watched through a guard.
        const auto closes = [](frmAperçu& w) {
            QCOMPARE(w.PageCount, 0);
            const QPointer<frmAperçu> window(&w);
            QTRY_VERIFY(!window || !window->isVisible());
        };
        frmAperçu::setLayout(u"flxMoy"_s, [](const LayoutInput&, printfile::Writer&) { return false; });
        preview(scope, 1, closes, u"flxMoy"_s, failure);
        QVERIFY(!Form<frmAperçu>::isLoaded());

        // A print folder that cannot be made: neither the session's folder nor the cache is one.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), cache = qgetenv("XDG_CACHE_HOME");
        const QString blocker = m_dir.filePath(u"blocker"_s);
        testsupport::writeFile(blocker, {});
        qputenv("XDG_RUNTIME_DIR", blocker.toUtf8());
        qputenv("XDG_CACHE_HOME", blocker.toUtf8());
        preview(scope, 1, closes, u"flxNotes"_s, failure);
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("XDG_CACHE_HOME", cache);

        // A grid without a layout builds nothing and says nothing; printing has no pages.
        preview(scope, 1, [](frmAperçu& w) {
            QCOMPARE(w.PageCount, 0);
            w.mnuImprimer->trigger();
            QTest::keyClick(&w, Qt::Key_Down);
            QVERIFY(w.isVisible());
        }, u"flxClass"_s);
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_frmApercu)
#include "tst_frmApercu.moc"
