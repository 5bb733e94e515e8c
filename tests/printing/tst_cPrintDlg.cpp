// The print dialog wrapper: its range flags, its error texts, and what it reads back from
// Qt's print dialog (range, pages, printer) once confirmed or cancelled.
#include "printing/cPrintDlg.h"

#include "PrintTestKit.h"
#include "platform/Modal.h"

#include <QPrintDialog>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using platform::ModalTestScope;

class tst_cPrintDlg : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void rangeFlagsAndErrorTexts() {
        cPrintDlg d;
        QCOMPARE(d.PrintRange(), 0);
        d.setPrintRange(2);
        d.setPrintRange(1);
        QCOMPARE(d.Flags() & (cPrintDlg::PD_PAGENUMS | cPrintDlg::PD_SELECTION), int(cPrintDlg::PD_PAGENUMS));
        QCOMPARE(d.PrintRange(), 1);
        d.setPrintRange(2);
        QCOMPARE(d.Flags() & (cPrintDlg::PD_PAGENUMS | cPrintDlg::PD_SELECTION),
                 int(cPrintDlg::PD_PAGENUMS | cPrintDlg::PD_SELECTION));
        QCOMPARE(d.PrintRange(), 2);
        d.setPrintRange(7);
        QCOMPARE(d.PrintRange(), 0);
        d.setDisablePrintToFile(true);
        d.setDisableSelection(true);
        QVERIFY(d.DisablePrintToFile() && d.DisableSelection() && !d.DisablePages());
        d.setDisableSelection(false);
        QVERIFY(!d.DisableSelection());

        const std::pair<long, const char*> texts[] = {
            {0, "L'utilisateur a annulé l'opération."},
            {4103, "Aucune imprimante trouvée."},
            {4104, "Il n'y a pas d'imprimante par défaut."},
            {4107, "Imprimante non trouvée"},
            {12, "Impossible d'ouvrir la fenêtre de configuration d'impression."},
        };
        for (const auto& [code, text] : texts) QCOMPARE(cPrintDlg::errorText(code), QString::fromUtf8(text));
        QString text;
        QCOMPARE(d.ErrCodeDlg(text), 0L);
        QCOMPARE(text, QString::fromUtf8(texts[0].second));
    }

    void choicesComeBackFromTheDialog() {
        ModalTestScope scope;
        const auto prepared = [](cPrintDlg& d) {
            d.setDisablePrintToFile(true);
            d.setDisableSelection(true);
            d.setMinPage(1);
            d.setFromPage(1);
            d.setMaxPage(5);
            d.setToPage(5);
        };
        {
            cPrintDlg d;
            prepared(d);
            const QString pdf = m_dir.filePath(QStringLiteral("range.pdf"));
            scope.push([&](QWidget& w) {
                // The bounds went in; the PDF file is offered, whatever the printers.
                QCOMPARE(w.findChild<QSpinBox*>(QStringLiteral("to"))->maximum(), 5);
                testsupport::printToPdf(pdf, 2, 4)(w);
            });
            QVERIFY(d.ShowPrint());
            QCOMPARE(d.PrintRange(), 1);
            QCOMPARE(d.FromPage(), 2);
            QCOMPARE(d.ToPage(), 4);
            QVERIFY(d.PrintToFile());
            QCOMPARE(d.printer().outputFileName(), pdf);
            QCOMPARE(d.PrinterName(), d.printer().printerName());
        }
        {
            cPrintDlg d;
            prepared(d);
            scope.push(testsupport::printToPdf(m_dir.filePath(QStringLiteral("all.pdf"))));
            QVERIFY(d.ShowPrint());
            QCOMPARE(d.PrintRange(), 0);
        }
        {
            cPrintDlg d;
            prepared(d);
            scope.push([](QWidget& w) { static_cast<QDialog&>(w).reject(); });
            QVERIFY(!d.ShowPrint());
            QString text;
            QCOMPARE(d.ErrCodeDlg(text), 0L);
        }
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_cPrintDlg)
#include "tst_cPrintDlg.moc"
