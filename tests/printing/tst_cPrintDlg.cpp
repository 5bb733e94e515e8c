// The print dialog wrapper: the printer's settings in the codes callers give them, copies
// made by the printer or by the program, the print and setup forms answered, the choice of
// a file and the paper source set before the print form, and what the machine's printers
// lack, told or kept for ErrCodeDlg. The tests run without a print server: the machine has
// no printer, and the print dialog prints to a PDF file.
#include "printing/cPrintDlg.h"

#include "Answers.h"
#include "PrintTestKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_cPrintDlg : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void settingsReachThePrinter_data() {
        QTest::addColumn<bool>("byApp");
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("read");
        QTest::addColumn<QString>("printer");  // what it will print with
        const QString a4 = u"210x297 portrait colour 1200dpi 1"_s;
        QTest::newRow("landscape") << false << "Orientation" << 2 << 2 << "210x297 landscape colour 1200dpi 1";
        QTest::newRow("monochrome") << false << "ColorMode" << 1 << 1 << "210x297 portrait grey 1200dpi 1";
        QTest::newRow("A5") << false << "PaperSize" << 11 << 11 << "148x210 portrait colour 1200dpi 1";
        QTest::newRow("no such paper") << false << "PaperSize" << 999 << 9 << a4;
        QTest::newRow("a width of its own") << false << "PaperWidth" << 1005 << 1005 << "100.5x297 portrait colour 1200dpi 1";
        QTest::newRow("a length of its own") << false << "PaperLength" << 1500 << 1500 << "210x150 portrait colour 1200dpi 1";
        QTest::newRow("600 dpi") << false << "PrintQuality" << 600 << 600 << "210x297 portrait colour 600dpi 1";
        QTest::newRow("copies by the printer") << false << "Copies" << 3 << 3 << "210x297 portrait colour 1200dpi 3";
        QTest::newRow("copies by the program") << true << "Copies" << 3 << 3 << a4;
        QTest::newRow("collated by the printer") << false << "Collate" << 1 << 1 << a4 + u" collated"_s;
        QTest::newRow("collated by the program") << true << "Collate" << 1 << 1 << a4;
        QTest::newRow("upper tray") << false << "DefaultSource" << 1 << 1 << a4 + u" upper tray"_s;
        QTest::newRow("manual feed") << false << "DefaultSource" << 4 << 4 << a4 + u" manual feed"_s;
        QTest::newRow("cassette") << false << "DefaultSource" << 14 << 14 << a4 + u" cassette"_s;
        QTest::newRow("no such bin") << false << "DefaultSource" << 12 << 7 << a4;
    }

    void settingsReachThePrinter() {
        QFETCH(bool, byApp);
        QFETCH(QString, member);
        QFETCH(int, value);
        QFETCH(int, read);
        QFETCH(QString, printer);
        cPrintDlg d;
        d.setPaperSize(9);
        d.setCopiesAndCollateByApp(byApp);
        d.setCollate(false);
        const int flags = d.Flags();
        const QHash<QString, std::pair<void (cPrintDlg::*)(int), int (cPrintDlg::*)() const>> members{
            {u"Orientation"_s, {&cPrintDlg::setOrientation, &cPrintDlg::Orientation}},
            {u"ColorMode"_s, {&cPrintDlg::setColorMode, &cPrintDlg::ColorMode}},
            {u"PaperSize"_s, {&cPrintDlg::setPaperSize, &cPrintDlg::PaperSize}},
            {u"PaperWidth"_s, {&cPrintDlg::setPaperWidth, &cPrintDlg::PaperWidth}},
            {u"PaperLength"_s, {&cPrintDlg::setPaperLength, &cPrintDlg::PaperLength}},
            {u"PrintQuality"_s, {&cPrintDlg::setPrintQuality, &cPrintDlg::PrintQuality}},
            {u"Copies"_s, {&cPrintDlg::setCopies, &cPrintDlg::Copies}},
            {u"DefaultSource"_s, {&cPrintDlg::setDefaultSource, &cPrintDlg::DefaultSource}}};
        if (member == u"Collate"_s) {
            d.setCollate(value != 0);
            QCOMPARE(int(d.Collate()), read);
        } else {
            (d.*members[member].first)(value);
            QCOMPARE((d.*members[member].second)(), read);
        }
        QPrinter& p = d.printer();
        const QSizeF mm = p.pageLayout().pageSize().size(QPageSize::Millimeter);
        const QHash<QPrinter::PaperSource, QString> sources{{QPrinter::Auto, u""_s}, {QPrinter::Upper, u" upper tray"_s},
                                                            {QPrinter::Manual, u" manual feed"_s},
                                                            {QPrinter::Cassette, u" cassette"_s}};
        QCOMPARE(u"%1x%2 %3 %4 %5dpi %6%7%8"_s.arg(mm.width()).arg(mm.height())
                     .arg(p.pageLayout().orientation() == QPageLayout::Landscape ? "landscape" : "portrait")
                     .arg(p.colorMode() == QPrinter::Color ? "colour" : "grey").arg(p.resolution()).arg(p.copyCount())
                     .arg(p.collateCopies() ? " collated" : "").arg(sources.value(p.paperSource(), u" other"_s)),
                 printer);
        // Only the program's own collation is a flag of the dialog; a paper of its own size
        // has the number of no paper.
        QCOMPARE(d.Flags(), member == u"Collate"_s && byApp ? flags | cPrintDlg::PD_COLLATE : flags);
        if (member.startsWith(u"PaperW"_s) || member.startsWith(u"PaperL"_s)) QCOMPARE(d.PaperSize(), 256);
    }

    // The program that makes the copies itself finds its own in the dialog and gets the
    // teacher's back while the printer makes one; the printer that makes them gets them.
    // The setup form sets the paper and its orientation.
    void dialogsTakeCopiesAndSetup() {
        platform::ModalTestScope scope;
        for (const bool byApp : {true, false}) {
            cPrintDlg d;
            d.setCopiesAndCollateByApp(byApp);
            d.setCopies(3);
            d.setCollate(true);
            scope.push([&](QWidget& w) {
                auto* copies = w.findChild<QSpinBox*>(u"copies"_s);
                auto* collate = w.findChild<QCheckBox*>(u"collate"_s);
                QCOMPARE(std::pair(copies->value(), collate->isChecked()), std::pair(3, true));
                copies->setValue(2);
                collate->setChecked(false);
                testsupport::printToPdf(m_dir.filePath(u"copies.pdf"_s))(w);
            });
            QVERIFY(d.ShowPrint());
            QString text;
            QCOMPARE(std::pair(d.ErrCodeDlg(text), text), std::pair(0L, u"L'utilisateur a annulé l'opération."_s));
            QCOMPARE(std::pair(d.Copies(), d.Collate()), std::pair(2, false));
            QCOMPARE(std::pair(d.printer().copyCount(), d.printer().collateCopies()), std::pair(byApp ? 1 : 2, false));
        }
        cPrintDlg d;
        d.setPaperSize(9);
        scope.push([](QWidget& w) {
            w.findChild<QRadioButton*>(u"landscape"_s)->click();
            auto* sizes = w.findChild<QComboBox*>(u"pageSizeCombo"_s);
            sizes->setCurrentIndex(sizes->findText(u"A5"_s));
            // The form hands its choices to the printer at the end of its own loop: it runs
            // for an instant, accepted as soon as it starts.
            QMetaObject::invokeMethod(&w, "accept", Qt::QueuedConnection);
            dynamic_cast<QPageSetupDialog&>(w).exec();
        });
        QVERIFY(d.ShowSetup());
        QCOMPARE(QList<int>({d.Orientation(), d.PaperSize()}), QList<int>({2, 11}));
    }

    // Print to file follows the dialog's answer: cleared before, the PDF entry chosen sets it;
    // the dialog cancelled leaves it as it was. The paper source goes through the dialog to the
    // printer that prints. What this test cannot see is the entry the dialog opens on (the PDF
    // file when set, a printer when cleared): a machine without printers, as every test's is,
    // offers only the PDF file, and Qt gives the dialog a printer that prints to PDF either way.
    void printToFileAndPaperSourceThroughTheDialog() {
        platform::ModalTestScope scope;
        cPrintDlg d;
        d.setDefaultSource(4);
        for (const bool set : {true, false}) {
            d.setPrintToFile(set);
            scope.push([](QWidget& w) { static_cast<QDialog&>(w).reject(); });
            QVERIFY(!d.ShowPrint());
            QCOMPARE(d.PrintToFile(), set);
        }
        scope.push(testsupport::printToPdf(m_dir.filePath(u"tray.pdf"_s)));
        QVERIFY(d.ShowPrint());
        QCOMPARE(d.Flags() & cPrintDlg::PD_PRINTTOFILE, cPrintDlg::PD_PRINTTOFILE);
        QCOMPARE(std::pair(d.DefaultSource(), d.printer().paperSource()), std::pair(4, QPrinter::Manual));
        d.setPrintToFile(false);
        QCOMPARE(std::pair(d.PrintToFile(), d.Flags() & cPrintDlg::PD_PRINTTOFILE), std::pair(false, 0));
    }

    // What the printers lack is told before the dialog unless NoWarning, as at creation, and
    // kept for ErrCodeDlg when the dialog gives no printer; a dialog confirmed reads 0.
    void whatThePrintersLackIsToldOrKept() {
        platform::ModalTestScope scope;
        const auto cancel = [](QWidget& w) { static_cast<QDialog&>(w).reject(); };
        QString text;
        cPrintDlg d;
        scope.push(cancel);
        QVERIFY(!d.ShowPrint());
        QCOMPARE(std::pair(d.ErrCodeDlg(text), text), std::pair(4103L, u"Aucune imprimante trouvée."_s));
        d.setNoWarning(false);
        d.setPrinterName(u"Imprimante du couloir"_s);
        scope.push(testsupport::msgBox(u"Imprimante non trouvée"_s, u"OK"_s));
        scope.push(cancel);
        QVERIFY(!d.ShowSetup());
        QCOMPARE(std::pair(d.ErrCodeDlg(text), text), std::pair(4107L, u"Imprimante non trouvée"_s));
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_cPrintDlg)
#include "tst_cPrintDlg.moc"
