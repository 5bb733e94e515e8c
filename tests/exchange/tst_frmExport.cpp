// The export wizard as the teacher meets it from the main window's "Exporter" button: its
// refusals, its four pages and their buttons, the checks of the series page, cancelling, a
// failed write, and the result page with its comment.
#include "Answers.h"
#include "ExchangeTestKit.h"
#include "UiHelpers.h"
#include "exchange/frmExport.h"
#include "mainwindow/frmMain.h"
#include "platform/Desktop.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;
using platform::ModalTestScope;
using namespace testsupport;

namespace {

constexpr int kExporter = 11;  // the toolbar's "Exporter" button
const QString kCannot = u"Impossible de procéder à l'exportation de notes."_s;

QString state(const frmExport& w) {
    return wizardState({{w.fraExport, "introduction"}, {w.fraMat[0], "class and subject"}, {w.fraMat[2], "series"},
                        {w.fraEnd, "result"}},
                       w.cmdAction);
}

QStringList entries(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text() + (list.item(i)->checkState() ? " ✓" : "");
    return texts;
}

void tick(QListWidget& list, int row, bool on = true) { list.item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked); }

QString exported(int number) { return platform::paths::exportFolder() + u"/Notes Export 000%1.dat"_s.arg(number); }

QString comment(int number) {
    return rawRows(exported(number), uR"(SELECT "Value" FROM "__Properties" WHERE "Name" = 'Commentaire')"_s).value(0);
}

}  // namespace

class tst_frmExport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    frmMain& open(const GradebookBuilder& book) {
        frmMain& main = Form<frmMain>::get();
        [&] { QVERIFY(main.OpenAFile(book.path())); }();
        return main;
    }

private slots:
    void initTestCase() { platform::installDesktopRules(*qApp); }
    void cleanup() {
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir(platform::paths::exportFolder()).removeRecursively();
    }

    void nothingToExportWithoutAClassOrASubject() {
        GradebookBuilder empty(m_dir.filePath(u"vide.dat"_s));
        empty.close();
        ModalTestScope scope;
        QStringList lines;
        scope.push(messageList(kCannot, &lines));
        open(empty).tooBar_ButtonClick(kExporter);
        QCOMPARE(lines, (QStringList{u"Pour exporter des notes, il faut avoir défini au moins une classe.\n"
                                     "Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."_s,
                                     u"Pour exporter des notes, il faut avoir défini au moins une matière.\n"
                                     "Créez une ou plusieurs matières (menu Créer/Nouvelle matière)."_s}));
    }

    void theTeacherGoesThroughEveryPage() {
        GradebookBuilder book(m_dir.filePath(u"carnet.dat"_s));
        const int maths = book.addSubject(u"Maths"_s);
        book.addSubject(u"Arts <b>plastiques</b>"_s);
        const int first = book.addClass(u"Sixième A"_s, u"6A"_s);
        book.addStudent(book.addClass(u"Cinquième B"_s, u"5B"_s), u"Martin"_s, u"Paul"_s);
        const int lea = book.addStudent(first, u"Durand"_s, u"Léa"_s);
        book.addGrade(book.addSeries(first, maths, u"Fractions"_s, 20, 1, 1, QDate(2024, 10, 3)), lea, 14.5);  // listed by date
        book.addSeries(first, maths, u"Contrôle de géométrie plane"_s, 20, 2, 1, QDate(2024, 9, 12));
        book.addSeries(first, maths, u"Bilan"_s, 10, 1, 3, QDate(2025, 4, 1));
        book.close();

        ModalTestScope scope;
        frmMain& main = open(book);
        main.vskTab_HeaderClick(2);
        main.vskTab_ItemClick(2, 2);  // "Cinquième B" in the second subject on screen
        scope.push([&](QWidget& w) {
            auto& x = static_cast<frmExport&>(w);
            QCOMPARE(state(x), u"introduction | < Précédent (off) | Suivant > | Annuler"_s);
            x.cmdAction[1]->click();
            QCOMPARE(state(x), u"class and subject | < Précédent (off) | Suivant > | Annuler"_s);
            QCOMPARE(x.cboClasse->currentText() + u'/' + x.cboMat->currentText(), u"Cinquième B/Arts <b>plastiques</b>"_s);
            QStringList lines;
            scope.push(messageList(kCannot, &lines));
            x.cmdAction[1]->click();
            QCOMPARE(lines, QStringList{u"Cette classe n'a pas encore de série de notes dans cette matière.\n"
                                        "Créez au moins une série de notes (menu Créer/Nouvelle série de notes)."_s});
            QCOMPARE(state(x), u"class and subject | < Précédent (off) | Suivant > | Annuler"_s);

            x.cboClasse->setCurrentIndex(0);
            x.cboMat->setCurrentIndex(0);
            QVERIFY(typeEnterAsGnome(*x.cboMat));  // "Suivant >", even on a GNOME desktop
            QCOMPARE(state(x), u"series | < Précédent | Suivant > | Annuler"_s);
            // Dates in the French form whatever the system's locale, as everywhere else.
            QCOMPARE(entries(*x.lisSéries),
                     (QStringList{u"Contrôle de géomé... du 12/09/2024 (Période 1)"_s,
                                  u"Fractions du 03/10/2024 (Période 1)"_s, u"Bilan du 01/04/2025 (Période 3)"_s}));
            QCOMPARE(entries(*x.lisPériodes), (QStringList{u"Période 1"_s, u"Période 3"_s}));
            QVERIFY(x.optSérie[1]->isChecked());

            // A tick is needed in the list of the chosen way; the other list does not count.
            tick(*x.lisSéries, 1);
            scope.push(msgBox(u"Vous avez choisi la sélection de séries de notes par périodes entières sans "
                                            "indiquer votre sélection.\nCochez les périodes"_s, u"OK"_s));
            x.cmdAction[1]->click();
            x.optSérie[0]->click();
            tick(*x.lisSéries, 1, false);
            tick(*x.lisPériodes, 0);
            scope.push(msgBox(u"Vous avez choisi la sélection individuelle de séries de notes sans indiquer "
                                            "votre sélection.\nCochez les séries"_s, u"OK"_s));
            x.cmdAction[1]->click();
            QCOMPARE(state(x), u"series | < Précédent | Suivant > | Annuler"_s);

            // Back, and the lists are read again, ticks gone.
            x.cmdAction[0]->click();
            QCOMPARE(state(x), u"class and subject | < Précédent (off) | Suivant > | Annuler"_s);
            x.cmdAction[1]->click();
            QCOMPARE(entries(*x.lisPériodes), (QStringList{u"Période 1"_s, u"Période 3"_s}));

            tick(*x.lisSéries, 2);
            tick(*x.lisSéries, 1);
            x.cmdAction[1]->click();
            QCOMPARE(state(x), u"result | - | Terminer | -"_s);
            QCOMPARE(x.writtenFile(), exported(1));
            QCOMPARE(QStringList({x.lblName->text(), x.lblPath->text(), x.lblClasse->text(), x.lblMat->text(), x.lblSérie->text()}),
                     (QStringList{u"Notes Export 0001.dat"_s, platform::paths::exportFolder() + u'/', u"Sixième A"_s,
                                  u"Maths"_s, u"Sélection individuelle de séries de notes"_s}));
            QVERIFY(x.lblEti[10]->text().contains(u"(taille du fichier: %1 Ko).\n\nSi vous"_s.arg((QFileInfo(exported(1)).size() + 512) / 1024)));

            // Esc does not leave the result page, whose cancel button is gone.
            QTest::keyClick(x.txtComment, Qt::Key_Escape);
            QCOMPARE(state(x), u"result | - | Terminer | -"_s);
            QTest::keyClicks(x.txtComment, u"Bonjour,"_s);
            QTest::keyClick(x.txtComment, Qt::Key_Return);
            x.txtComment->insertPlainText(u"les notes de « Maths »."_s);
            x.cmdAction[1]->click();
            QVERIFY(x.isHidden());
        });
        main.tooBar_ButtonClick(kExporter);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(comment(1), u"Bonjour,\nles notes de « Maths »."_s);
        QCOMPARE(rawRows(exported(1), uR"(SELECT "Nom" FROM "Séries")"_s), (QStringList{u"Fractions"_s, u"Bilan"_s}));
    }

    void cancelFailureAndAnUnwritableComment() {
        GradebookBuilder book(m_dir.filePath(u"echec.dat"_s));
        const int maths = book.addSubject(u"Maths"_s), c = book.addClass(u"Quatrième"_s, u"4e"_s);
        book.addGrade(book.addSeries(c, maths, u"Puissances"_s, 20, 1, 2), book.addStudent(c, u"Roux"_s, u"Ana"_s), 11);
        book.close();
        ModalTestScope scope;
        frmMain& main = open(book);
        const auto run = [&](const std::function<void(frmExport&)>& onSeriesPage) {
            scope.push([&](QWidget& w) {
                auto& x = static_cast<frmExport&>(w);
                x.cmdAction[1]->click();
                x.cmdAction[1]->click();
                tick(*x.lisPériodes, 0);
                onSeriesPage(x);
                QVERIFY(x.isHidden());
            });
            main.tooBar_ButtonClick(kExporter);
            QCOMPARE(scope.pending(), 0);
        };
        // Esc cancels, nothing written.
        run([](frmExport& x) { QTest::keyClick(&x, Qt::Key_Escape); });
        QVERIFY(!QFileInfo::exists(platform::paths::exportFolder()));

        // A failed write (a file stands where the folder should be) keeps the series page
        // and its ticks; once the folder can be made the same choice is written. Leaving
        // the result page by its close box keeps the comment of a new file.
        QVERIFY(QDir().mkpath(platform::paths::userFolder()));
        QVERIFY(writeFile(platform::paths::exportFolder(), "x"));
        run([&](frmExport& x) {
            scope.push(systemMessage(u"Impossible de créer le fichier d'exportation."_s));
            x.cmdAction[1]->click();
            QCOMPARE(state(x), u"series | < Précédent | Suivant > | Annuler"_s);
            QCOMPARE(entries(*x.lisPériodes), QStringList{u"Période 2 ✓"_s});
            QVERIFY(QFile::remove(platform::paths::exportFolder()));
            x.cmdAction[1]->click();
            QCOMPARE(x.lblSérie->text(), u"Sélection de séries de notes par périodes entières"_s);
            QTest::keyClicks(x.txtComment, u"jamais lu"_s);
            x.close();
        });
        QCOMPARE(comment(1), u"Aucun commentaire"_s);

        // The file taken away before "Terminer": the comment cannot be kept, which is said,
        // and the wizard closes all the same.
        run([&](frmExport& x) {
            x.cmdAction[1]->click();
            QVERIFY(writeFile(x.writtenFile(), "plus une base"));
            x.txtComment->setPlainText(u"Bonne réception"_s);
            scope.push(systemMessage(u"Impossible d'enregistrer le commentaire dans le fichier d'exportation."_s));
            x.cmdAction[1]->click();
        });
    }
};

QTEST_MAIN(tst_frmExport)
#include "tst_frmExport.moc"
