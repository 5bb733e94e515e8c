// The preview: the page geometry of every paper, the scroll steps, paging by keys and
// buttons, the build once per opening and after an accepted page setup only, printing all
// pages or a range to PDF, the changed-printer question, failed builds, and closing.
#include "printing/frmApercu.h"
#include "printing/frmMiseEnPage.h"
#include "printing/Printer.h"

#include "PrintTestKit.h"
#include "UiHelpers.h"
#include "controls/cScrollBar.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using platform::Form;
using platform::ModalTestScope;
using printing::PageSetup;

namespace {

int g_builds = 0;
int g_pages = 0;

// A layout of g_pages pages, each with its number in a heading and a data cell.
bool numberedPages(const LayoutInput& in, printfile::Writer& out) {
    ++g_builds;
    for (int p = 1; p <= g_pages; ++p) {
        out.add(p, printfile::textRecord(printfile::Heading, QStringLiteral("Page%1").arg(p), in.geometry.left, in.geometry.top));
        out.add(p, printfile::textRecord(printfile::Data, QStringLiteral("Dupont"), in.geometry.left, in.geometry.top + 400));
    }
    return true;
}

// Answers the system message box with the critical icon, which must say `text`.
platform::ModalResponder critical(const QString& text) {
    return [text](QWidget& d) {
        auto* box = qobject_cast<QMessageBox*>(&d);
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        testsupport::clickButton(d, QStringLiteral("OK"));
    };
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Opens the preview of `pages` pages as the print command does and hands it to `act`.
// `during` answers what the preview shows while it is being shown (a failed build).
void preview(ModalTestScope& scope, int pages, const std::function<void(frmAperçu&)>& act,
             const QString& grid = QStringLiteral("flxNotes"), const platform::ModalResponder& during = {}) {
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
    void initTestCase() { frmAperçu::setLayout(QStringLiteral("flxNotes"), numberedPages); }

    void init() {
        // Each preview starts from a page setup loaded and answered, as the caller leaves it.
        frmMiseEnPage& setup = Form<frmMiseEnPage>::get();
        PageSetup s;
        s.landscape = false;
        setup.showPageSetup(s);
    }

    void cleanup() {
        Form<frmMiseEnPage>::unload();
        Form<frmAperçu>::unload();
        flushDeletes();
    }

    void geometryOfEveryPaper_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        const int sizes[8][2] = {{11907, 16839}, {16839, 23814}, {8391, 11907}, {5953, 8391},
                                 {14571, 20638}, {10319, 14571}, {12303, 15932}, {12303, 20298}};
        for (int p = 0; p < 8; ++p) QTest::addRow("paper %d", p) << p << sizes[p][0] << sizes[p][1];
        QTest::addRow("custom 100 x 150") << 8 << 5670 << 8505;
    }
    void geometryOfEveryPaper() {
        QFETCH(int, paper);
        QFETCH(int, width);
        QFETCH(int, height);
        PageSetup s;
        s.paper = paper;
        s.customWidth = QStringLiteral("100");
        s.customHeight = QStringLiteral("150");
        s.margins = {QStringLiteral("20"), QStringLiteral("5"), QStringLiteral("50"), QStringLiteral("13")};
        for (bool landscape : {false, true}) {
            s.landscape = landscape;
            const printing::PageGeometry g = printing::pageGeometry(s);
            // A typed size is the page as it lies; the others turn in landscape.
            const bool turned = landscape && paper != printing::kCustomPaper;
            QCOMPARE(g.width, turned ? height : width);
            QCOMPARE(g.height, turned ? width : height);
            QCOMPARE(QList<int>({g.top, g.bottom, g.left, g.right}), QList<int>({1134, 283, 2835, 737}));
            // The printer's sheet has the same shape; Letter and Legal differ by up to 2.4 mm.
            const QSizeF sheet = printing::pageLayout(s).fullRect(QPageLayout::Point).size();
            QVERIFY(qAbs(sheet.width() * 20 - g.width) < 140 && qAbs(sheet.height() * 20 - g.height) < 140);
        }
    }

    void scrollStepsFollowTheWindow() {
        const ScrollRanges r = scrollRanges(9000, 8000, 400, 12407, 17339, 600);
        QCOMPARE(r.verticalPage, 2333);
        QCOMPARE(r.verticalMax, 400 + 17339 - 8000 + 400);
        QCOMPARE(r.horizontalMax, 12407 - 9000 + 400);
        const ScrollRanges big = scrollRanges(30000, 30000, 400, 12407, 17339, 600);
        QCOMPARE(big.verticalMax, 0);
        QCOMPARE(big.horizontalMax, 0);
    }

    void pagesByKeysAndButtons() {
        ModalTestScope scope;
        QString file;
        preview(scope, 7, [&](frmAperçu& w) {
            QCOMPARE(g_builds, 1);
            QCOMPARE(w.PageCount, 7);
            QCOMPARE(w.lblPage->text(), QStringLiteral("1 sur 7"));
            QCOMPARE(w.PageWidth, 11907);
            QCOMPARE(w.picAperçu->size(), QSize(platform::twipsToPixels(12407), platform::twipsToPixels(17339)));
            file = w.PrintFile;
            QVERIFY(QFileInfo::exists(file));
            // A folder of its own that only this user can enter.
            QCOMPARE(QFileInfo(QFileInfo(file).path()).permissions() & 0x0077, QFile::Permissions());

            w.Imprime(0, 3, 3);
            QCOMPARE(w.lblPage->text(), QStringLiteral("3 sur 7"));
            QCOMPARE(w.shownPage(), 3);
            w.Imprime(0, 99, 99);
            QCOMPARE(w.lblPage->text(), QStringLiteral("7 sur 7"));
            const auto key = [&](Qt::Key k) {
                QTest::keyClick(&w, k);
                return w.shownPage();
            };
            QCOMPARE(key(Qt::Key_Home), 1);
            QCOMPARE(key(Qt::Key_Up), 1);
            QCOMPARE(key(Qt::Key_Down), 2);
            QCOMPARE(key(Qt::Key_End), 7);
            QCOMPARE(key(Qt::Key_Down), 7);
            QCOMPARE(key(Qt::Key_Up), 6);
            QCOMPARE(key(Qt::Key_Escape), 6);
            QVERIFY(w.isVisible());
            w.imaNav[2]->click();
            QCOMPARE(w.lblPage->text(), QStringLiteral("1 sur 7"));
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

            // Shown again after another window: not built again.
            w.hide();
            w.show();
            QCOMPARE(g_builds, 1);
            w.mnuClose->trigger();
        });
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!QFileInfo::exists(QFileInfo(file).path()));
        QVERIFY(!Form<frmMiseEnPage>::isLoaded());
        QVERIFY(!Form<frmConfigImpression>::isLoaded());
        QVERIFY(!Form<frmAperçu>::isLoaded());
    }

    void pageSetupRebuildsOnlyWhenAccepted() {
        ModalTestScope scope;
        preview(scope, 2, [&](frmAperçu& w) {
            const QString first = w.PrintFile;
            w.Imprime(0, 2, 2);
            // Cancelled: the file and its drawing stay as they were built.
            scope.push([](QWidget& d) {
                auto& setup = static_cast<frmMiseEnPage&>(d);
                setup.lblPolice[0]->setText(QStringLiteral("DejaVu Serif"));
                setup.chkOrient[1]->setChecked(true);
                setup.cmdAction[1]->click();
            });
            w.mnuMiseEnPage->trigger();
            QCOMPARE(g_builds, 1);
            QCOMPARE(w.PrintFile, first);
            QCOMPARE(w.renderSettings().fontName, QStringLiteral("Arial"));
            QCOMPARE(w.shownPage(), 2);

            // Accepted: built again with what the dialog holds, from page 1.
            scope.push([](QWidget& d) { static_cast<frmMiseEnPage&>(d).cmdAction[0]->click(); });
            w.mnuMiseEnPage->trigger();
            QCOMPARE(g_builds, 2);
            QVERIFY(!QFileInfo::exists(first));
            QVERIFY(QFileInfo::exists(w.PrintFile));
            QCOMPARE(w.renderSettings().fontName, QStringLiteral("DejaVu Serif"));
            QCOMPARE(w.PageWidth, 16839);
            QCOMPARE(w.lblPage->text(), QStringLiteral("1 sur 2"));
        });
    }

    void printsAllPagesOrARange() {
        ModalTestScope scope;
        const QString all = m_dir.filePath(QStringLiteral("all.pdf"));
        const QString range = m_dir.filePath(QStringLiteral("range.pdf"));
        preview(scope, 4, [&](frmAperçu& w) {
            scope.push(testsupport::printToPdf(all));
            w.mnuImprimer->trigger();
            scope.push(testsupport::printToPdf(range, 2, 3));
            w.mnuImprimer->trigger();
            scope.push([](QWidget& d) { static_cast<QDialog&>(d).reject(); });
            w.mnuImprimer->trigger();
            // A file that is not written, at once or to its end, is a print that failed.
            for (const QString& path : {m_dir.filePath(QStringLiteral("no/such.pdf")), QStringLiteral("/dev/full")}) {
                scope.push(testsupport::printToPdf(path));
                scope.push(critical(QStringLiteral("L'impression n'a pas pu être lancée sur cette imprimante.")));
                w.mnuImprimer->trigger();
            }
        });
        QCOMPARE(testsupport::pdfPages(all), 4);
        QCOMPARE(testsupport::pdfPages(range), 2);
        const QString text = testsupport::pdfText(range);
        QVERIFY2(text.contains(QStringLiteral("Page2")) && text.contains(QStringLiteral("Page3")) &&
                     !text.contains(QStringLiteral("Page1")) && !text.contains(QStringLiteral("Page4")),
                 qPrintable(text));
        QCOMPARE(scope.pending(), 0);
    }

    void changedPrinterIsAskedAbout() {
        ModalTestScope scope;
        const QString before = printing::currentPrinterName();
        printing::setCurrentPrinterName(QStringLiteral("Imprimante du couloir"));
        const QString no = m_dir.filePath(QStringLiteral("no.pdf"));
        const QString yes = m_dir.filePath(QStringLiteral("yes.pdf"));
        const auto answer = [](const char* button) {
            return [button](QWidget& d) {
                auto* box = qobject_cast<QMessageBox*>(&d);
                QVERIFY(box);
                QCOMPARE(box->text(),
                         QStringLiteral("Vous avez changé d'imprimante. Le résultat peut ne pas être le même.\nContinuer ?"));
                testsupport::clickButton(d, QString::fromUtf8(button));
            };
        };
        preview(scope, 1, [&](frmAperçu& w) {
            scope.push(testsupport::printToPdf(no));
            scope.push(answer("Non"));
            w.mnuImprimer->trigger();
            scope.push(testsupport::printToPdf(yes));
            scope.push(answer("Oui"));
            w.mnuImprimer->trigger();
        });
        QVERIFY(!QFileInfo::exists(no));
        QCOMPARE(testsupport::pdfPages(yes), 1);
        // A PDF file is no printer to keep for the next print.
        QCOMPARE(printing::currentPrinterName(), QStringLiteral("Imprimante du couloir"));
        printing::setCurrentPrinterName(before);
    }

    void failedBuildsAreToldAndClose() {
        ModalTestScope scope;
        const auto failure = critical(QStringLiteral("Impossible de créer le fichier temporaire d'impression."));
        frmAperçu::setLayout(QStringLiteral("flxMoy"), [](const LayoutInput&, printfile::Writer&) { return false; });
        // The window may be deleted while the events run: it is watched through a guard.
        preview(scope, 1, [](frmAperçu& w) {
            const QPointer<frmAperçu> window(&w);
            QTRY_VERIFY(!window || !window->isVisible());
        }, QStringLiteral("flxMoy"), failure);
        QVERIFY(!Form<frmAperçu>::isLoaded());

        // A temporary folder that cannot be made.
        const QByteArray tmp = qgetenv("TMPDIR");
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("TMPDIR", blocker.fileName().toUtf8());
        preview(scope, 1, [](frmAperçu& w) {
            QCOMPARE(w.PageCount, 0);
            const QPointer<frmAperçu> window(&w);
            QTRY_VERIFY(!window || !window->isVisible());
        }, QStringLiteral("flxNotes"), failure);
        qputenv("TMPDIR", tmp);

        // A grid without a layout builds nothing and says nothing; printing has no pages.
        preview(scope, 1, [](frmAperçu& w) {
            QCOMPARE(w.PageCount, 0);
            w.mnuImprimer->trigger();
            QTest::keyClick(&w, Qt::Key_Down);
            QVERIFY(w.isVisible());
        }, QStringLiteral("flxClass"));
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_frmApercu)
#include "tst_frmApercu.moc"
