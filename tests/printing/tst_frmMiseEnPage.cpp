// The page setup: its settings file (defaults, damaged values, the sixteen keys in order),
// every check of "Continuer" with its message, and the dialog's answers and boxes.
#include "printing/frmMiseEnPage.h"
#include "printing/Printer.h"

#include "controls/frmMsgBox.h"
#include "platform/Modal.h"
#include "PrintTestKit.h"
#include "UiHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using printing::PageSetup;
using platform::ModalTestScope;

using testsupport::writeFile;

namespace {

QString readFile(const QString& path) { return QString::fromUtf8(testsupport::readFile(path)); }

}  // namespace

class tst_frmMiseEnPage : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_cfg;

private slots:
    void init() { m_cfg = m_dir.filePath(QStringLiteral("%1.cfg").arg(QTest::currentTestFunction())); }

    void firstStartShowsTheDefaults() {
        frmMiseEnPage dialog(m_cfg);
        QCOMPARE(dialog.pageSetup(), PageSetup{});
        QCOMPARE(dialog.cboSize->currentText(), QStringLiteral("A4 (210 x 297 mm)"));
        QVERIFY(!dialog.txtSize[0]->isEnabled() && !dialog.txtSize[1]->isEnabled());
        QVERIFY(dialog.chkOrient[1]->isChecked());
        QCOMPARE(dialog.lblPolice[0]->text() + u' ' + dialog.lblPolice[1]->text(), QStringLiteral("Arial 10"));
        QVERIFY(dialog.chkGrille->isChecked());
        for (QComboBox* c : dialog.cboCouleur) QCOMPARE(c->currentText(), QStringLiteral("Noir"));
        QCOMPARE(dialog.cboSize->count(), 9);
        QCOMPARE(dialog.cboSize->itemText(3), QStringLiteral("A6 (105 x 148)"));
        QCOMPARE(dialog.cboCouleur[0]->itemText(0), QStringLiteral("Bleu"));
        QCOMPARE(dialog.cboImprimante->count(), printing::printerNames().size());
        QVERIFY(!QFile::exists(m_cfg));
    }

    void damagedKeysTakeTheirDefaults() {
        // Out of range, not numbers, negative: each such key at its default, the rest kept.
        writeFile(m_cfg, "[impression]\ntaille=12\nPerso1=abc\nPerso2=20000\nMargeS=-3\nMargeI=7.5\nMargeG=25x\n"
                         "Orientation=2\nFontName=\nFontSize=abc\nQuadrillage=2\nEn-Tête=9\nDonnées1=-1\nDonnées2=1.6\n");
        const PageSetup s = printing::loadPageSetup(m_cfg);
        PageSetup expected;
        expected.customHeight = QStringLiteral("20000");  // a size only "Continuer" checks, when used
        expected.margins[2] = QStringLiteral("25");
        expected.colours[2] = 2;  // 1.6 rounds to 2
        QCOMPARE(s, expected);
        for (const char* size : {"0", "-3", "1e400", "600"}) {
            writeFile(m_cfg, QByteArray("[Impression]\nFontSize=") + size + "\nTaille=2.4\n");
            QCOMPARE(printing::loadPageSetup(m_cfg).fontSize, QStringLiteral("10"));
            QCOMPARE(printing::loadPageSetup(m_cfg).paper, 2);
        }
        // Binary junk is only a file without the keys.
        QByteArray junk;
        for (int i = 0; i < 2000; ++i) junk.append(char((i * 131) % 256));
        writeFile(m_cfg, junk);
        QCOMPARE(frmMiseEnPage(m_cfg).pageSetup(), PageSetup{});
    }

    void checksInOrderWithTheirMessages_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("size");     // "width height"
        QTest::addColumn<QString>("margins");  // "top bottom left right"
        QTest::addColumn<QString>("message");
        const QString width = QStringLiteral("La largeur de page doit être comprise entre 100 et 300 mm.");
        const QString height = QStringLiteral("La hauteur de page doit être comprise entre 100 et 500 mm.");
        const QString lWidth = QStringLiteral("En orientation paysage, la largeur de page doit être comprise entre 100 et 500 mm.");
        const QString lHeight = QStringLiteral("En orientation paysage, la hauteur de page doit être comprise entre 100 et 300 mm.");
        const QString range = QStringLiteral("Les marges doivent être comprises entre 5 et 50 mm.");
        const QString sides = QStringLiteral("Les marges droite et gauche sont trop grandes.\nVeuillez les réduire.");
        const QString topBottom = QStringLiteral("Les marges spérieure et inférieure sont trop grandes.\nVeuillez les réduire.");
        const QString a6 = QStringLiteral("Les marges droite et gauche sont trop grandes.\nVeuillez les réduire pour que leur somme soient au plus égale à 45 mm.");
        QTest::newRow("portrait 300x500") << 8 << false << "300 500" << "20 20 20 20" << "";
        QTest::newRow("portrait 301 wide") << 8 << false << "301 500" << "20 20 20 20" << width;
        QTest::newRow("portrait 99 wide") << 8 << false << "99 200" << "20 20 20 20" << width;
        QTest::newRow("portrait 501 high") << 8 << false << "300 501" << "20 20 20 20" << height;
        QTest::newRow("landscape 500x300") << 8 << true << "500 300" << "20 20 20 20" << "";
        QTest::newRow("landscape 501 wide") << 8 << true << "501 300" << "20 20 20 20" << lWidth;
        QTest::newRow("landscape 301 high") << 8 << true << "500 301" << "20 20 20 20" << lHeight;
        QTest::newRow("size before margins") << 8 << true << "90 90" << "1 1 1 1" << lWidth;
        QTest::newRow("empty size box") << 8 << false << " 200" << "20 20 20 20" << width;
        QTest::newRow("margins 5 and 50") << 0 << false << "210 297" << "5 50 5 50" << "";
        QTest::newRow("margin 4") << 0 << false << "210 297" << "4 20 20 20" << range;
        QTest::newRow("margin 51") << 0 << false << "210 297" << "20 20 20 51" << range;
        QTest::newRow("margin emptied") << 0 << false << "210 297" << "20 0 20 20" << range;
        QTest::newRow("150 less 50+50") << 8 << false << "150 297" << "20 20 50 50" << "";
        QTest::newRow("range before sums") << 8 << false << "150 297" << "20 20 50 51" << range;
        QTest::newRow("100 less 26+25") << 8 << false << "100 297" << "20 20 26 25" << sides;
        QTest::newRow("100 high less 26+25") << 8 << false << "200 100" << "26 25 20 20" << topBottom;
        QTest::newRow("A6 20+25") << 3 << false << "210 297" << "50 50 20 25" << "";
        QTest::newRow("A6 20+26") << 3 << true << "210 297" << "20 20 20 26" << a6;
        QTest::newRow("A4 all 50") << 0 << true << "210 297" << "50 50 50 50" << "";
        QTest::newRow("typed size ignored off custom") << 1 << false << "1 1" << "20 20 20 20" << "";
    }
    void checksInOrderWithTheirMessages() {
        QFETCH(int, paper);
        QFETCH(bool, landscape);
        QFETCH(QString, size);
        QFETCH(QString, margins);
        QFETCH(QString, message);
        PageSetup s;
        s.paper = paper;
        s.landscape = landscape;
        s.customWidth = size.section(u' ', 0, 0);
        s.customHeight = size.section(u' ', 1, 1);
        for (int i = 0; i < 4; ++i) s.margins[i] = margins.section(u' ', i, i);
        QCOMPARE(printing::pageSetupRefusal(s), message);

        // The dialog shows that message and stays, or saves and answers "OK".
        QFile::remove(m_cfg);
        ModalTestScope scope;
        frmMiseEnPage dialog(m_cfg);
        dialog.cboImprimante->setCurrentIndex(-1);
        dialog.showPageSetup(s);
        dialog.show();
        QString shown;
        if (!message.isEmpty())
            scope.push([&](QWidget& w) {
                shown = static_cast<frmMsgBox&>(w).Message();
                QCOMPARE(static_cast<frmMsgBox&>(w).PictureType(), 3);
                testsupport::clickButton(w, QStringLiteral("OK"));
            });
        dialog.cmdAction[0]->click();
        QCOMPARE(shown, message);
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QCOMPARE(dialog.Tag(), message.isEmpty() ? QStringLiteral("OK") : QString());
        QCOMPARE(QFile::exists(m_cfg), message.isEmpty());
        if (message.isEmpty()) QCOMPARE(printing::loadPageSetup(m_cfg), s);  // what it saved, as saved
    }

    void continueSavesTheSixteenKeysAndCancelSavesNothing() {
        ModalTestScope scope;
        frmMiseEnPage dialog(m_cfg);
        dialog.cboImprimante->setCurrentIndex(-1);
        PageSetup s;
        s.paper = 8;
        s.customWidth = QStringLiteral("200");
        s.customHeight = QStringLiteral("250");
        s.landscape = false;
        s.fontName = QStringLiteral("DejaVu Sans");
        s.fontSize = QStringLiteral("10,5");
        s.gridLines = false;
        s.colours = {0, 1, 2, 4, 5};
        s.margins = {QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13")};
        dialog.showPageSetup(s);
        scope.push([&](QWidget&) { dialog.cmdAction[0]->click(); });
        platform::showModal(dialog);
        QCOMPARE(dialog.Tag(), QStringLiteral("OK"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(readFile(m_cfg), QStringLiteral("[Impression]\nTaille=8\nPerso1=200\nPerso2=250\nMargeS=10\nMargeI=11\n"
                                                 "MargeG=12\nMargeD=13\nOrientation=0\nFontName=DejaVu Sans\n"
                                                 "FontSize=10,5\nQuadrillage=0\nEn-Tête=0\nDonnées1=1\nDonnées2=2\n"
                                                 "Résultats=4\nGrille=5\n"));
        QCOMPARE(frmMiseEnPage(m_cfg).pageSetup(), s);

        // "Annuler" and the close box answer "", keep the edits on screen, save nothing.
        const QString saved = readFile(m_cfg);
        scope.push([&](QWidget&) {
            dialog.txtMarge[0]->setText(QStringLiteral("30"));
            dialog.cmdAction[1]->click();
        });
        platform::showModal(dialog);
        QCOMPARE(dialog.Tag(), QString());
        QCOMPARE(dialog.txtMarge[0]->text(), QStringLiteral("30"));
        dialog.setTag(QStringLiteral("OK"));
        scope.push([&](QWidget& w) {
            testsupport::typeKey(w, Qt::Key_Escape);  // Esc is no answer: the box still stays
            testsupport::typeKey(w, Qt::Key_Return);
            QVERIFY(w.isVisible());
            w.close();
        });
        platform::showModal(dialog);
        QCOMPARE(dialog.Tag(), QString());
        QCOMPARE(readFile(m_cfg), saved);

        // Settings that cannot be written: the answer is "OK" all the same.
        frmMiseEnPage unwritable(m_cfg + QStringLiteral("/Quibolet.cfg"));
        unwritable.cboImprimante->setCurrentIndex(-1);
        unwritable.cmdAction[0]->click();
        QCOMPARE(unwritable.Tag(), QStringLiteral("OK"));
    }

    void boxesTakeDigitsOnlyAndEmptiedMarginsBecomeZero() {
        frmMiseEnPage dialog(m_cfg);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.cboSize->setCurrentIndex(8);
        QVERIFY(dialog.txtSize[0]->isEnabled());
        for (QLineEdit* box : {dialog.txtSize[0], dialog.txtMarge[1]}) {
            box->setText(QStringLiteral("12"));
            box->setCursorPosition(2);
            QTest::keyClicks(box, QStringLiteral("a,.-: 3"));
            QCOMPARE(box->text(), QStringLiteral("123"));
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(box->text(), QStringLiteral("12"));
        }
        dialog.txtMarge[1]->setFocus();
        dialog.txtMarge[1]->clear();
        dialog.txtSize[0]->clear();
        dialog.txtSize[0]->setFocus();
        QCOMPARE(dialog.txtMarge[1]->text(), QStringLiteral("0"));
        dialog.txtMarge[2]->setFocus();
        QCOMPARE(dialog.txtSize[0]->text(), QString());
        QTRY_COMPARE(dialog.txtMarge[2]->selectedText(), QStringLiteral("20"));
    }

    void fontPrinterAndTabs() {
        ModalTestScope scope;
        frmMiseEnPage dialog(m_cfg);
        dialog.show();
        scope.push([](QWidget& w) {
            auto* fonts = qobject_cast<QFontDialog*>(&w);
            QVERIFY(fonts);
            QCOMPARE(fonts->currentFont().pointSizeF(), 10.0);
            QFont f(QStringLiteral("DejaVu Serif"));
            f.setPointSize(12);
            fonts->setCurrentFont(f);
            fonts->accept();
        });
        dialog.cmdPolice->click();
        QCOMPARE(dialog.lblPolice[0]->text(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(dialog.lblPolice[1]->text(), QStringLiteral("12"));
        scope.push([](QWidget& w) { static_cast<QDialog&>(w).reject(); });
        dialog.cmdPolice->click();
        QCOMPARE(dialog.lblPolice[1]->text(), QStringLiteral("12"));

        // A printer the system does not know: it becomes current all the same, and the
        // dialog stays.
        const QString before = printing::currentPrinterName();
        dialog.cboImprimante->addItem(QStringLiteral("Imprimante du couloir"));
        dialog.cboImprimante->setCurrentIndex(dialog.cboImprimante->count() - 1);
        scope.push([](QWidget& w) {
            QCOMPARE(static_cast<frmMsgBox&>(w).Message(), QStringLiteral("Cette imprimante ne peut pas être utilisée."));
            QCOMPARE(static_cast<frmMsgBox&>(w).PictureType(), 1);
            testsupport::clickButton(w, QStringLiteral("OK"));
        });
        dialog.cmdAction[0]->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(printing::currentPrinterName(), QStringLiteral("Imprimante du couloir"));
        printing::setCurrentPrinterName(before);

        QCOMPARE(dialog.CurrentTab, 1);
        dialog.tabS->setCurrentIndex(1);
        QCOMPARE(dialog.CurrentTab, 2);
        QVERIFY(dialog.cboCouleur[0]->isVisible() && !dialog.cboSize->isVisible());
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_frmMiseEnPage)
#include "tst_frmMiseEnPage.moc"
