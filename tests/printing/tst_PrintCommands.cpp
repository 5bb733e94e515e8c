// The main window's print command: with nothing to print, with each of its dialogs
// cancelled, then a grade grid of 40 series printed to PDF; the print choices' defaults and
// answers. The table of averages' grids are printed from its window.
#include "Answers.h"
#include "GradebookBuilder.h"
#include "PrintTestKit.h"
#include "mainwindow/frmMain.h"
#include "platform/FormInstance.h"
#include "printing/frmApercu.h"
#include "printing/frmConfigImpression.h"
#include "printing/frmMiseEnPage.h"
#include "platform/Desktop.h"
#include "UiHelpers.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;
using platform::ModalTestScope;

namespace {

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

bool noPrintWindowLoaded() {
    return !Form<frmMiseEnPage>::isLoaded() && !Form<frmConfigImpression>::isLoaded() && !Form<frmAperçu>::isLoaded();
}

// Clicks a button of the page setup or the print choices.
platform::ModalResponder press(const QString& button) {
    return [button](QWidget& w) { testsupport::clickButton(w, button); };
}
const QString ok = u"Continuer"_s, cancel = u"Annuler"_s;

// The preview: keeps its page count, prints all its pages to `pdf` and closes.
platform::ModalResponder printAll(ModalTestScope& scope, const QString& pdf, int* pages) {
    return [&scope, pdf, pages](QWidget& w) {
        auto& preview = dynamic_cast<frmAperçu&>(w);
        *pages = preview.PageCount;
        scope.push(testsupport::printToPdf(pdf));
        preview.mnuImprimer->trigger();
        preview.mnuClose->trigger();
    };
}

}  // namespace

class tst_PrintCommands : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    frmMain* m_main = nullptr;
    int m_files = 0;

    void openGradebook(int series, int students) {
        testsupport::GradebookBuilder b(m_dir.filePath(u"%1-%2.dat"_s.arg(QTest::currentTestFunction()).arg(++m_files)));
        const int c = b.addClass(u"Sixième A"_s, u"6A"_s);
        const int m = b.addSubject(u"Mathématiques"_s);
        QList<int> pupils;
        for (int i = 0; i < students; ++i) pupils << b.addStudent(c, u"Élève%1"_s.arg(i + 1, 2, 10, QChar(u'0')), u"Léa"_s);
        for (int s = 0; s < series; ++s) {
            const int key = b.addSeries(c, m, u"Devoir %1"_s.arg(s + 1), 20, 1, 1 + s * 3 / series);
            // A few grades are enough for every average column to show one.
            if (s % 10 == 0)
                for (int i = 0; i < pupils.size(); ++i) b.addGrade(key, pupils[i], 8 + (s + i) % 12);
        }
        b.close();
        m_main = &Form<frmMain>::get();
        QVERIFY(m_main->OpenAFile(b.path()));
    }

private slots:
    void initTestCase() { platform::installDesktopRules(*qApp); }
    void cleanup() {
        Form<frmAperçu>::unload();
        Form<frmMiseEnPage>::unload();
        Form<frmConfigImpression>::unload();
        Form<frmMain>::unload();
        flushDeletes();
    }

    void gradeGridNothingCancelsOrPrinted() {
        openGradebook(2, 0);
        ModalTestScope scope;
        QStringList lines;
        scope.push(testsupport::messageList(u"Il n'y a aucune donnée à imprimer."_s, &lines));
        m_main->tooBar_ButtonClick(8);
        QCOMPARE(lines, QStringList{u"La liste d'élèves de cette classe est vide."_s});
        QVERIFY(noPrintWindowLoaded());
        cleanup();

        // Then a grid of 40 series: each dialog cancelled, then printed.
        openGradebook(40, 12);
        const QString pdf = m_dir.filePath(u"notes.pdf"_s);
        int pages = 0;
        const QList<QList<platform::ModalResponder>> runs{
            {press(cancel)}, {press(ok), press(cancel)}, {press(ok), press(ok), printAll(scope, pdf, &pages)}};
        for (const auto& run : runs) {
            for (const auto& answer : run) scope.push(answer);
            m_main->tooBar_ButtonClick(8);
            flushDeletes();
            QVERIFY(noPrintWindowLoaded());
        }
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(scope.shown().mid(1, 6), (QStringList{u"frmMiseEnPage"_s, u"frmMiseEnPage"_s, u"frmConfigImpression"_s,
                                                       u"frmMiseEnPage"_s, u"frmConfigImpression"_s, u"frmAperçu"_s}));
        // 43 grade columns on A4 landscape take several pages across.
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(testsupport::pdfPages(pdf), pages);
        QCOMPARE(testsupport::pdfInfo(pdf, u"Title"_s), u"6A - Mathématiques"_s);  // the print job's name
        const QStringList text = testsupport::pdfText(pdf).split(u'\f');
        for (const QString& t : {u"6A - Mathématiques"_s, u"Élève01 Léa"_s, u"Coefficient"_s, u"Devoir 1"_s})
            QVERIFY2(text[0].contains(t), qPrintable(t));
        QVERIFY(text[pages - 1].contains(u"générale"_s));
    }

    void printChoicesAndAnswers() {
        ModalTestScope scope;
        const auto answer = [&](const std::function<void(frmConfigImpression&)>& act) -> QString {
            frmConfigImpression& d = Form<frmConfigImpression>::get();
            d.setTag(u"?"_s);
            scope.push([&](QWidget&) { act(d); });
            platform::showModal(d);
            return d.isVisible() ? u"still shown"_s : d.Tag();
        };
        const auto choices = [] {
            const PrintChoices c = Form<frmConfigImpression>::get().choices();
            return std::tuple(c.period, c.gradesAndAverages, c.general);
        };
        QCOMPARE(answer([](frmConfigImpression& d) { d.cmdAction[0]->click(); }), u"OK"_s);
        QCOMPARE(choices(), std::tuple(4, true, true));
        QCOMPARE(answer([](frmConfigImpression& d) {
                     d.optPériode[2]->click();
                     d.optNetM[1]->click();
                     d.chkGénérale->click();
                     testsupport::typeEnterAsGnome(*d.optPériode[4]);  // on an option, on a GNOME desktop
                 }),
                 u"OK"_s);
        QCOMPARE(choices(), std::tuple(2, false, false));
        QVERIFY(!Form<frmConfigImpression>::get().optPériode[4]->isChecked());
        QCOMPARE(answer([](frmConfigImpression& d) { testsupport::typeKey(d, Qt::Key_Escape); }), QString());
        QCOMPARE(answer([](frmConfigImpression& d) { d.cmdAction[1]->click(); }), QString());
        QCOMPARE(answer([](frmConfigImpression& d) { d.close(); }), QString());
        // Hidden, the choices stay for the layout.
        QCOMPARE(std::get<0>(choices()), 2);
    }
};

QTEST_MAIN(tst_PrintCommands)
#include "tst_PrintCommands.moc"
