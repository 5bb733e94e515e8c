// The exchange wizards as the teacher meets them from the main window's "Exporter" and
// "Importer" buttons. The export: its refusals, its four pages and their buttons, the checks
// of the series page, cancelling, a failed write, and the result page with its comment. The
// import: the file chosen and refused or shown, the subject, the matching and its decision
// dialog, the summary, the import with its failures, and the closing.
#include "Answers.h"
#include "ExchangeTestKit.h"
#include "FileRights.h"
#include "FileTraps.h"
#include "TableDump.h"
#include "UiHelpers.h"
#include "editing/frmClasse.h"
#include "editing/frmMat.h"
#include "exchange/frmExport.h"
#include "exchange/frmExportPreview.h"
#include "exchange/frmImport.h"
#include "exchange/frmImport2.h"
#include "mainwindow/frmMain.h"
#include "platform/Desktop.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using namespace testsupport;
using platform::Form;
using platform::ModalResponder;
using platform::ModalTestScope;

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

constexpr int kImporter = 10;  // the toolbar's "Importer" button

QString state(const frmImport& w) {
    return wizardState({{w.fraImport[0], "introduction"}, {w.fraContenu, "contents"}, {w.fraMat, "subject"},
                        {w.fraImport[1], "explanation"}, {w.fraRapproch, "matching"}, {w.fraImport[2], "summary"},
                        {w.fraImport[3], "result"}},
                       w.cmdAction);
}

// The matching list: each row's three columns joined by "/".
QStringList rows(const frmImport& w) {
    QStringList lines;
    for (int i = 0; i < w.lstElèves->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = w.lstElèves->topLevelItem(i);
        lines << item->text(0) + u'/' + item->text(1) + u'/' + item->text(2);
    }
    return lines;
}

// Opens the decision of `row` with Enter, as the teacher does.
void decideWithEnter(frmImport& w, int row) {
    w.lstElèves->setCurrentItem(w.lstElèves->topLevelItem(row));
    QTest::keyClick(w.lstElèves, Qt::Key_Return);
}

// The decision dialog: checks its status line, takes option `option` and, for the first
// two, the entry `position` of its list.
ModalResponder decide(const QString& status, int option, int position = -1) {
    return [=](QWidget& w) {
        auto& d = dynamic_cast<frmImport2&>(w);
        QCOMPARE(d.lblEti[0]->text(), status);
        d.optChoix[option]->setChecked(true);
        d.cmdAction[0]->click();
        if (option == 2) return;
        QComboBox* list = option == 0 ? d.cboElève : d.cboClasse;
        list->setCurrentIndex(position);
        d.cmdAction[0]->click();
        QVERIFY(d.isHidden());
    };
}

}  // namespace

class tst_ExchangeWizards : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_files = 0;

    frmMain& open(const QString& gradebook) {
        frmMain& main = Form<frmMain>::get();
        [&] { QVERIFY(main.OpenAFile(gradebook)); }();
        return main;
    }

    // A fresh copy of the sender's file, and the receiving gradebook (its classes and
    // students taken away unless `classes`) open in the main window on "2nde B" / "Maths".
    QString m_file;
    Receiver m_receiver;

    frmMain& start(bool classes = true) {
        const QString folder = m_dir.filePath(u"A%1"_s.arg(++m_files));
        QDir().mkpath(folder);
        m_file = makeSender(folder);
        m_receiver = makeReceiver(m_dir.filePath(u"B%1.dat"_s.arg(m_files)));
        if (!classes) craft(m_receiver.gradebook, R"(DELETE FROM "Elèves"; DELETE FROM "Coefficients"; DELETE FROM "Classes")");
        frmMain& main = open(m_receiver.gradebook);
        main.vskTab_HeaderClick(1);
        main.vskTab_ItemClick(1, 2);
        return main;
    }

    // Opens m_file on the first page, which must then show its contents.
    void openFile(ModalTestScope& scope, frmImport& w) {
        scope.push(fileName(m_file));
        w.cmdAction[1]->click();
        QCOMPARE(state(w), u"contents | < Précédent | Suivant > | Annuler"_s);
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
        open(empty.path()).tooBar_ButtonClick(kExporter);
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
        frmMain& main = open(book.path());
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
            // A paste beyond what a file may carry keeps what fits.
            x.txtComment->insertPlainText(QString(exchangefile::kCommentLength, u'x'));
            x.cmdAction[1]->click();
            QVERIFY(x.isHidden());
        });
        main.tooBar_ButtonClick(kExporter);
        QCOMPARE(scope.pending(), 0);
        const QString typed = u"Bonjour,\nles notes de « Maths »."_s;
        QCOMPARE(comment(1), typed + QString(exchangefile::kCommentLength - typed.size(), u'x'));
        QCOMPARE(exchangefile::read(db::Database::OpenDatabase(exported(1), gradebook::databasePassword())).comment, comment(1));
        QCOMPARE(rawRows(exported(1), uR"(SELECT "Nom" FROM "Séries")"_s), (QStringList{u"Fractions"_s, u"Bilan"_s}));
    }

    void cancelFailureAndAnUnwritableComment() {
        GradebookBuilder book(m_dir.filePath(u"echec.dat"_s));
        const int maths = book.addSubject(u"Maths"_s), c = book.addClass(u"Quatrième"_s, u"4e"_s);
        book.addGrade(book.addSeries(c, maths, u"Puissances"_s, 20, 1, 2), book.addStudent(c, u"Roux"_s, u"Ana"_s), 11);
        book.close();
        ModalTestScope scope;
        frmMain& main = open(book.path());
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

    // The whole wizard: files refused and left as they were; the file's contents; a subject
    // created for the series, one student matched whatever the letter case, one associated
    // by hand, one rejected, one created; then the import, the file deleted, and the main
    // window on its class and subject with the new series.
    void theTeacherImportsAFile() {
        frmMain& main = start();
        const QString garbage = m_dir.filePath(u"garbage.dat"_s), damaged = m_dir.filePath(u"damaged.dat"_s),
                      unversioned = m_dir.filePath(u"unversioned.dat"_s), orphans = m_dir.filePath(u"orphans.dat"_s),
                      smallPages = m_dir.filePath(u"512.dat"_s), journaled = m_dir.filePath(u"journal.dat"_s);
        QVERIFY(writeFile(garbage, "pas une base de données"));
        for (const QString& copy : {damaged, unversioned, orphans, smallPages, journaled}) QFile::copy(m_file, copy);
        QVERIFY(rewriteFirstPage(smallPages, [](QByteArray& page) { page.replace(16, 2, QByteArray::fromHex("0200")); }));
        QVERIFY(writeFile(journaled + u"-journal"_s, journalCuttingTo(2)));
        QCOMPARE(craft(damaged, R"(UPDATE "Séries" SET "Période" = 4)"), 0);
        // Grades that name no student of the file: nothing to import, which is never a success.
        QCOMPARE(craft(orphans, R"(UPDATE "Notes" SET "NumElv" = "NumElv" + 1000)"), 0);
        QCOMPARE(craft(unversioned, R"(UPDATE "__Properties" SET "Value" = '1.2.x' WHERE "Name" = 'VersionID')"), 0);
        ModalTestScope scope;
        scope.push([&](QWidget& window) {
            auto& w = dynamic_cast<frmImport&>(window);
            QCOMPARE(state(w), u"introduction | < Précédent (off) | Suivant > | Annuler"_s);
            const QList<std::pair<QString, QString>> refused = {
                {m_receiver.gradebook, u"Vous essayez d'ouvrir un carnet de notes.\n"
                                       "Dans cette fonction, vous devez ouvrir un fichier d'exportation de notes."_s},
                {garbage, u"Impossible d'ouvrir ce fichier d'exportation de notes."_s},
                {damaged, u"Ce fichier n'est pas un fichier d'exportation de notes valide."_s},
                {orphans, u"Ce fichier n'est pas un fichier d'exportation de notes valide."_s},
                {unversioned, u"Impossible d'ouvrir ce fichier d'exportation de notes."_s},
                {smallPages, u"Impossible d'ouvrir ce fichier d'exportation de notes."_s},
                {journaled, u"Impossible d'ouvrir ce fichier d'exportation de notes."_s}};
            // Each refused, and left as it was, with its journal.
            for (const auto& [file, message] : refused) {
                const QByteArray before = fileBytes(file);
                scope.push(fileName(file));
                scope.push(systemMessage(message));
                w.cmdAction[1]->click();
                QCOMPARE(state(w), u"introduction | < Précédent (off) | Suivant > | Annuler"_s);
                QCOMPARE(fileBytes(file), before);
            }
            QCOMPARE(fileBytes(journaled + u"-journal"_s), journalCuttingTo(2));
            openFile(scope, w);
            QCOMPARE(w.lblClasse->text() + u'/' + w.lblMatière->text(), u"Seconde 2/Mathématiques"_s);
            QCOMPARE(w.lblElèves->text() + w.lblSéries->text() + w.lblNotes->text(), u"425"_s);
            QVERIFY(w.lisSéries->item(0)->text().startsWith(u"Équations du "_s));
            QCOMPARE(w.lisElèves->count(), 4);

            scope.push([](QWidget& v) {
                auto& viewer = dynamic_cast<frmExportPreview&>(v);
                QCOMPARE(viewer.windowTitle(), u"Visionneuse de Notes Export 0001.dat"_s);
                QCOMPARE(viewer.lblPrincipal->text(), u"Seconde 2 - Mathématiques"_s);
                const platform::FlexGrid& g = *viewer.flxNotes;
                QCOMPARE(g.TextMatrix(5, 1), u"13,3"_s);
                QCOMPARE(g.TextMatrix(7, 1), QString());  // no grade
                // The series' names and the students' names stay in view while the grades
                // scroll; the first grade is the current cell.
                QCOMPARE(QList<int>({g.FixedRows(), g.FixedCols(), g.Row(), g.Col()}), QList<int>({1, 1, 4, 1}));
                viewer.cmdClose->click();
            });
            w.cmdDétails->click();
            w.cmdAction[1]->click();
            QCOMPARE(state(w), u"subject | < Précédent | Suivant > | Annuler"_s);
            QCOMPARE(w.cboMat->currentText(), u"Histoire"_s);
            scope.push([](QWidget& d) {
                auto& mat = dynamic_cast<frmMat&>(d);
                mat.txtNom->setText(u"Mathématiques"_s);
                mat.cmdAction_Click(0);
                mat.cmdAction_Click(1);
            });
            scope.push([](QWidget& done) { done.close(); });  // "Création de matière effectuée."
            w.cmdMat->click();
            QCOMPARE(w.cboMat->currentText(), u"Mathématiques"_s);
            w.cmdAction[1]->click();
            w.cmdAction[1]->click();
            QCOMPARE(state(w), u"matching | < Précédent | Suivant > (off) | Annuler"_s);
            QCOMPARE(rows(w), (QStringList{u"D'Amico Léa/D'Amico Léa/2nde B"_s, u"Martin Jean/Martin Jean/1re C"_s,
                                           u"DUPONT élodie/Dupont Élodie/2nde B"_s, u"Nguyen Anh//"_s}));

            // Enter opens the decision, never the next page; "Annuler" there changes nothing.
            scope.push([](QWidget& d) { dynamic_cast<frmImport2&>(d).cmdAction[1]->click(); });
            decideWithEnter(w, 3);
            QCOMPARE(state(w), u"matching | < Précédent | Suivant > (off) | Annuler"_s);
            scope.push(decide(u"Martin Jean est associé à Martin Jean (1re C)."_s, 2));
            decideWithEnter(w, 1);
            scope.push(decide(u"D'Amico Léa est associé à D'Amico Léa (2nde B)."_s, 0, 0));
            decideWithEnter(w, 0);
            scope.push(decide(u"Nguyen Anh n'est pas encore traité."_s, 1, 1));
            decideWithEnter(w, 3);
            QCOMPARE(rows(w), (QStringList{u"D'Amico Léa/D'Amico Léa/2nde B"_s, u"Martin Jean//"_s,
                                           u"DUPONT élodie/Dupont Élodie/2nde B"_s, u"Nguyen Anh/Nguyen Anh/1re C"_s}));
            QCOMPARE(state(w), u"matching | < Précédent | Suivant > | Annuler"_s);

            // Back asks first; "Non" stays with the decisions.
            scope.push(msgBox(u"Si vous revenez à l'écran précédent"_s, u"Non"_s));
            w.cmdAction[0]->click();
            QCOMPARE(state(w), u"matching | < Précédent | Suivant > | Annuler"_s);

            w.cmdAction[1]->click();
            QCOMPARE(state(w), u"summary | < Précédent | Suivant > | Annuler"_s);
            QCOMPARE(w.lblEti[12]->text(),
                     u"La collecte des informations est terminée. Vous allez pouvoir procéder à l'importation des notes.\n\n"
                     "Celle-ci va concerner:\n\nMatière:\n    Mathématiques\n\nClasse(s):\n    2nde B\n    1re C\n\n"
                     "Nombre d'élèves: 3\n    dont 1 créé(s)\n\nNombre d'élèves rejetés: 1\n\n"
                     "Choisissez le bouton 'Suivant >' pour lancer l'importation."_s);
            w.cmdAction[1]->click();
            QCOMPARE(state(w), u"result | - | Fermer | -"_s);
            QCOMPARE(w.lblEti[13]->text(), u"Importation terminée avec succès."_s);
            QVERIFY(w.optKill[1]->isChecked());
            // Esc does nothing once "Annuler" is gone.
            QTest::keyClick(&w, Qt::Key_Escape);
            QCOMPARE(state(w), u"result | - | Fermer | -"_s);
            // The file marked, each student's decision in it.
            QCOMPARE(rawRows(m_file, uR"(SELECT "NumElvIn" FROM "Elèves" UNION ALL SELECT "Value" FROM "__Properties"
                     WHERE "Name" = 'Importé')"_s), (QStringList{QString::number(m_receiver.damico), u"0"_s,
                     QString::number(m_receiver.dupont), u"4"_s, u"1"_s}));
            w.optKill[0]->setChecked(true);
            w.cmdAction[1]->click();
        });
        main.tooBar_ButtonClick(kImporter);
        QCOMPARE(scope.pending(), 0);
        QVERIFY(!QFile::exists(m_file));
        QCOMPARE(main.lblPrincipal->text(), u"2B - Maths"_s);
        QCOMPARE(rawRows(m_receiver.gradebook, uR"(SELECT count(*) FROM "Séries" UNION ALL SELECT count(*) FROM "Notes"
                 UNION ALL SELECT count(*) FROM "Elèves")"_s), (QStringList{u"4"_s, u"4"_s, u"4"_s}));
    }

    // A file imported before, which the teacher takes all the same: a failure during its
    // import leaves the gradebook as it was and the file marked; "Réessayer" runs it all
    // again, "Annuler" gives up.
    void aFailedImportLeavesNothingBehind() {
        frmMain& main = start();
        exchangefile::setImported(openGradebook(m_file), true);
        const auto before = dumpTables(m_receiver.gradebook);
        failOn(m_receiver.gradebook, "INSERT", u"Notes"_s);
        ModalTestScope scope;
        scope.push([&](QWidget& window) {
            auto& w = dynamic_cast<frmImport&>(window);
            const QString warning = u"ATTENTION\nCe fichier d'exportation de notes a déjà été importé"_s;
            scope.push(fileName(m_file));
            scope.push(msgBox(warning, u"Annuler"_s));
            w.cmdAction[1]->click();
            QCOMPARE(state(w), u"introduction | < Précédent (off) | Suivant > | Annuler"_s);
            scope.push(fileName(m_file));
            scope.push(msgBox(warning, u"OK"_s));
            for (int page = 0; page < 4; ++page) w.cmdAction[1]->click();
            scope.push(decide(u"Nguyen Anh n'est pas encore traité."_s, 2));
            decideWithEnter(w, 3);
            w.cmdAction[1]->click();
            QCOMPARE(state(w), u"summary | < Précédent | Suivant > | Annuler"_s);
            const QString failed = u"Une erreur est survenue lors de la création des notes."_s;
            scope.push(msgBox(failed, u"Réessayer"_s));
            scope.push(msgBox(failed, u"Annuler"_s));
            scope.push(msgBox(u"L'importation des notes est annulée."_s, u"OK"_s));
            w.cmdAction[1]->click();
            QCOMPARE(w.lblEti[13]->text(), u"Echec lors de l'importation."_s);
            w.cmdAction[1]->click();
        });
        main.tooBar_ButtonClick(kImporter);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(dumpTables(m_receiver.gradebook), before);
        QCOMPARE(openGradebook(m_file).Properties(u"Importé"_s).Value(), QVariant(true));
    }

    // With no class in the gradebook, "Continuer" has nothing to answer with until
    // "Créer une classe" adds one, which is then chosen.
    void theDecisionDialogNeverAnswersStale() {
        frmMain& main = start(false);
        ModalTestScope scope;
        scope.push([&](QWidget& window) {
            auto& w = dynamic_cast<frmImport&>(window);
            openFile(scope, w);
            for (int page = 0; page < 3; ++page) w.cmdAction[1]->click();
            QCOMPARE(rows(w).first(), u"D'Amico Léa//"_s);
            scope.push([&](QWidget& d) {
                auto& dialog = dynamic_cast<frmImport2&>(d);
                dialog.optChoix[0]->setChecked(true);
                dialog.cmdAction[0]->click();
                QVERIFY(!dialog.cmdAction[0]->isEnabled());  // no student to associate with
                dialog.cmdAction[1]->click();
            });
            decideWithEnter(w, 0);
            scope.push([&](QWidget& d) {
                auto& dialog = dynamic_cast<frmImport2&>(d);
                QVERIFY(dialog.optChoix[0]->isChecked());
                dialog.optChoix[1]->setChecked(true);
                dialog.cmdAction[0]->click();
                QVERIFY(!dialog.cmdAction[0]->isEnabled());
                scope.push([](QWidget& c) {
                    auto& classe = dynamic_cast<frmClasse&>(c);
                    classe.txtNom->setText(u"Terminale <b>S</b>"_s);
                    classe.txtNomAbrégé->setText(u"TS"_s);
                    classe.cmdAction_Click(0);
                    classe.cmdAction_Click(1);
                });
                scope.push([](QWidget& done) { done.close(); });  // "Création de classe effectuée."
                dialog.cmdClass->click();
                QCOMPARE(dialog.cboClasse->currentText(), u"Terminale <b>S</b>"_s);
                dialog.cmdAction[0]->click();
            });
            decideWithEnter(w, 0);
            QCOMPARE(rows(w).first(), u"D'Amico Léa/D'Amico Léa/Terminale <b>S</b>"_s);
            w.cmdAction[2]->click();
        });
        main.tooBar_ButtonClick(kImporter);
        QCOMPARE(scope.pending(), 0);
    }

    // An exchange file that is not a file, or whose journal is not, that may not be read, or
    // that another copy of the program has open, is refused at once with a message that says
    // so, never that it is not valid; nothing waits on a FIFO. Once refused no longer, it opens.
    void aFileThatCannotBeReadSaysWhy() {
        frmMain& main = start();
        const QString cannot = u"Impossible d'ouvrir ce fichier d'exportation de notes.\n"_s;
        const QString notAFile =
            u" n'est pas un fichier que le programme peut ouvrir (c'est un dossier, un tube ou un périphérique)."_s;
        const QString pipe = m_dir.filePath(u"tube.dat"_s), journal = m_file + u"-journal"_s;
        WatchedFifo fifo(pipe), fifoJournal(journal);
        ModalTestScope scope;
        scope.push([&](QWidget& window) {
            auto& w = dynamic_cast<frmImport&>(window);
            const auto refused = [&](const QString& file, const QString& message) {
                scope.push(fileName(file));
                scope.push(systemMessage(message));
                w.cmdAction[1]->click();
                QCOMPARE(state(w), u"introduction | < Précédent (off) | Suivant > | Annuler"_s);
            };
            refused(pipe, cannot + u"Ce"_s + notAFile);
            refused(m_file, cannot + u"Le journal « %1 » qui se trouve à côté de lui"_s.arg(QFileInfo(journal).fileName())
                                + notAFile);
            QVERIFY(!fifo.hung() && !fifoJournal.hung());
            QVERIFY(QFile::remove(journal));
            {
                OtherCopy other(m_file);
                QVERIFY(other.holds());
                refused(m_file, u"Ce fichier d'exportation de notes est déjà ouvert dans une autre fenêtre de Quibolet."_s);
            }
            QVERIFY(QFile::setPermissions(m_file, {}));
            {
                FileRightsEnforced rights;
                refused(m_file, cannot + u"Vous n'avez pas le droit de lire ce fichier."_s);
            }
            QVERIFY(QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner));
            openFile(scope, w);
            w.cmdAction[2]->click();
        });
        main.tooBar_ButtonClick(kImporter);
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_ExchangeWizards)
#include "tst_ExchangeWizards.moc"
