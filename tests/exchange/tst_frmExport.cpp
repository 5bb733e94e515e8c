// The export wizard as the teacher meets it from the main window's "Exporter" button: its
// refusals, its four pages and their buttons, the checks of the series page, a failed
// write, and the result page with its comment.
#include "Answers.h"
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "UiHelpers.h"
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "exchange/frmExport.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Paths.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;
using platform::ModalTestScope;
using testsupport::GradebookBuilder;

namespace {

constexpr int kExporter = 11;  // the toolbar's "Exporter" button

// The message list: its heading and its lines; then closed.
platform::ModalResponder messageList(const QString& heading, const QStringList& lines) {
    return [=](QWidget& w) {
        auto* list = qobject_cast<frmMessages*>(&w);
        QVERIFY(list);
        QCOMPARE(list->lblInfo->text(), heading);
        QStringList shown;
        for (int i = 1; i <= list->vskAL->ItemCount(); ++i) shown << list->vskAL->ItemText(i);
        QCOMPARE(shown, lines);
        list->cmdClose->click();
    };
}

QString page(const frmExport& w) {
    if (!w.fraExport->isHidden()) return u"introduction"_s;
    if (!w.fraMat[0]->isHidden() && !w.fraMat[1]->isHidden()) return u"class and subject"_s;
    if (!w.fraMat[2]->isHidden()) return u"series"_s;
    if (!w.fraEnd->isHidden()) return u"result"_s;
    return u"none"_s;
}

// Which of "< Précédent", "Suivant >" and "Annuler" show, and which of those are enabled.
QString buttons(const frmExport& w) {
    QStringList states;
    for (QPushButton* b : w.cmdAction)
        states << (b->isHidden() ? u"-"_s : b->text() + (b->isEnabled() ? "" : " (off)"));
    return states.join(u" | "_s);
}

QStringList entries(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text() + (list.item(i)->checkState() ? " ✓" : "");
    return texts;
}

void tick(QListWidget& list, int row) { list.item(row)->setCheckState(Qt::Checked); }

const QString kCannot = u"Impossible de procéder à l'exportation de notes."_s;

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
    void cleanup() {
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir(platform::paths::exportFolder()).removeRecursively();
        QFile::remove(platform::paths::exportFolder());
    }

    void nothingToExportWithoutAClassOrASubject() {
        ModalTestScope scope;
        GradebookBuilder empty(m_dir.filePath(u"vide.dat"_s));
        empty.close();
        const QString noClass = u"Pour exporter des notes, il faut avoir défini au moins une classe.\n"
                                "Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."_s;
        const QString noSubject = u"Pour exporter des notes, il faut avoir défini au moins une matière.\n"
                                  "Créez une ou plusieurs matières (menu Créer/Nouvelle matière)."_s;
        frmMain& main = open(empty);
        scope.push(messageList(kCannot, {noClass, noSubject}));
        main.tooBar_ButtonClick(kExporter);
        QCOMPARE(scope.shown(), QStringList{u"frmMessages"_s});
        QVERIFY(!Form<frmExport>::isLoaded());

        GradebookBuilder classOnly(m_dir.filePath(u"classe.dat"_s));
        classOnly.addClass(u"Sixième A"_s, u"6A"_s);
        classOnly.close();
        open(classOnly);
        scope.push(messageList(kCannot, {noSubject}));
        main.tooBar_ButtonClick(kExporter);
        QCOMPARE(scope.pending(), 0);
        QVERIFY(!Form<frmExport>::isLoaded());
    }

    void theTeacherGoesThroughEveryPage() {
        GradebookBuilder book(m_dir.filePath(u"carnet.dat"_s));
        const int maths = book.addSubject(u"Maths"_s), art = book.addSubject(u"Arts <b>plastiques</b>"_s);
        const int first = book.addClass(u"Sixième A"_s, u"6A"_s), second = book.addClass(u"Cinquième B"_s, u"5B"_s);
        const int lea = book.addStudent(first, u"Durand"_s, u"Léa"_s);
        book.addStudent(second, u"Martin"_s, u"Paul"_s);
        const QDate d1(2024, 9, 12), d2(2024, 10, 3), d3(2025, 4, 1);
        // Added out of date order: the list follows period, then date.
        const int s2 = book.addSeries(first, maths, u"Fractions"_s, 20, 1, 1, d2);
        book.addSeries(first, maths, u"Contrôle de géométrie plane"_s, 20, 2, 1, d1);
        const int s3 = book.addSeries(first, maths, u"Bilan"_s, 10, 1, 3, d3);
        book.addGrade(s2, lea, 14.5);
        book.addGrade(s3, lea, 7);
        book.close();

        ModalTestScope scope;
        frmMain& main = open(book);
        main.vskTab_HeaderClick(2);
        main.vskTab_ItemClick(2, 2);  // the grid of "Cinquième B" in the second subject
        scope.push([&](QWidget& w) {
            auto& x = static_cast<frmExport&>(w);
            QCOMPARE(x.windowTitle(), u"Exporter des notes"_s);
            QCOMPARE(page(x), u"introduction"_s);
            QVERIFY(x.lblEti[1]->text().startsWith(u"Cette fonction vous permet d'exporter"_s));
            QCOMPARE(x.lblEti[1]->text().count(u"\n\n"_s), 2);
            QCOMPARE(buttons(x), u"< Précédent (off) | Suivant > | Annuler"_s);

            x.cmdAction[1]->click();
            QCOMPARE(page(x), u"class and subject"_s);
            QCOMPARE(x.cboClasse->currentText(), u"Cinquième B"_s);
            QCOMPARE(x.cboMat->currentText(), u"Arts <b>plastiques</b>"_s);
            QCOMPARE(buttons(x), u"< Précédent (off) | Suivant > | Annuler"_s);

            // No series for that class and subject: said so, and the page stays.
            scope.push(messageList(kCannot, {u"Cette classe n'a pas encore de série de notes dans cette matière.\n"
                                              "Créez au moins une série de notes (menu Créer/Nouvelle série de notes)."_s}));
            x.cmdAction[1]->click();
            QCOMPARE(page(x), u"class and subject"_s);
            QCOMPARE(x.lisSéries->count() + x.lisPériodes->count(), 0);

            x.cboClasse->setCurrentIndex(0);
            x.cboMat->setCurrentIndex(0);
            x.cmdAction[1]->click();
            QCOMPARE(page(x), u"series"_s);
            QCOMPARE(buttons(x), u"< Précédent | Suivant > | Annuler"_s);
            const auto day = [](QDate d) { return QLocale().toString(d, QLocale::ShortFormat); };
            QCOMPARE(entries(*x.lisSéries),
                     (QStringList{u"Contrôle de géomé... du %1 (Période 1)"_s.arg(day(d1)),
                                  u"Fractions du %1 (Période 1)"_s.arg(day(d2)), u"Bilan du %1 (Période 3)"_s.arg(day(d3))}));
            QCOMPARE(entries(*x.lisPériodes), (QStringList{u"Période 1"_s, u"Période 3"_s}));
            QVERIFY(x.optSérie[1]->isChecked());

            // A choice is needed in the list of the chosen way; ticks in the other list do
            // not count.
            tick(*x.lisSéries, 1);
            scope.push(testsupport::msgBox(u"Vous avez choisi la sélection de séries de notes par périodes entières sans "
                                            "indiquer votre sélection.\nCochez les périodes"_s, u"OK"_s));
            x.cmdAction[1]->click();
            x.optSérie[0]->click();
            tick(*x.lisPériodes, 0);
            x.lisSéries->item(1)->setCheckState(Qt::Unchecked);
            scope.push(testsupport::msgBox(u"Vous avez choisi la sélection individuelle de séries de notes sans indiquer "
                                            "votre sélection.\nCochez les séries"_s, u"OK"_s));
            x.cmdAction[1]->click();
            QCOMPARE(page(x), u"series"_s);
            QCOMPARE(entries(*x.lisPériodes), (QStringList{u"Période 1 ✓"_s, u"Période 3"_s}));

            // Back, and the lists are read again, ticks gone.
            x.cmdAction[0]->click();
            QCOMPARE(page(x), u"class and subject"_s);
            QCOMPARE(buttons(x), u"< Précédent (off) | Suivant > | Annuler"_s);
            x.cmdAction[1]->click();
            QCOMPARE(entries(*x.lisPériodes), (QStringList{u"Période 1"_s, u"Période 3"_s}));

            tick(*x.lisSéries, 2);
            tick(*x.lisSéries, 1);
            x.cmdAction[1]->click();
            QCOMPARE(page(x), u"result"_s);
            QCOMPARE(buttons(x), u"- | Terminer | -"_s);
            const QString file = platform::paths::exportFolder() + u"/Notes Export 0001.dat"_s;
            QCOMPARE(x.writtenFile(), file);
            QCOMPARE(x.lblName->text(), u"Notes Export 0001.dat"_s);
            QCOMPARE(x.lblPath->text(), platform::paths::exportFolder() + u'/');
            QCOMPARE(x.lblClasse->text(), u"Sixième A"_s);
            QCOMPARE(x.lblMat->text(), u"Maths"_s);
            QCOMPARE(x.lblSérie->text(), u"Sélection individuelle de séries de notes"_s);
            QCOMPARE(x.lblClasse->textFormat(), Qt::PlainText);
            QVERIFY(x.lblEti[10]->text().contains(
                u"(taille du fichier: %1 Ko).\n\nSi vous"_s.arg((QFileInfo(file).size() + 512) / 1024)));
            QVERIFY(x.txtComment->hasFocus() || !x.isActiveWindow());
            QCOMPARE(x.txtComment->toPlainText(), QString());

            // Esc does not leave the result page: the cancel button is gone.
            QTest::keyClick(x.txtComment, Qt::Key_Escape);
            QCOMPARE(page(x), u"result"_s);
            QTest::keyClicks(x.txtComment, u"Bonjour,"_s);
            QTest::keyClick(x.txtComment, Qt::Key_Return);
            x.txtComment->insertPlainText(u"les notes de « Maths »."_s);
            x.cmdAction[1]->click();
            QVERIFY(x.isHidden());
        });
        main.tooBar_ButtonClick(kExporter);
        QCOMPARE(scope.pending(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Form<frmExport>::isLoaded());

        db::Database file = db::Database::OpenDatabase(platform::paths::exportFolder() + u"/Notes Export 0001.dat"_s,
                                                       gradebook::databasePassword());
        QCOMPARE(file.Properties(u"Commentaire"_s).Value().toString(), u"Bonjour,\nles notes de « Maths »."_s);
        QCOMPARE(file.Properties(u"Classe"_s).Value().toString(), u"Sixième A"_s);
        db::Recordset series = file.OpenRecordset(db::Query(u"Séries"_s).orderBy({u"Période"_s}), db::RecordsetType::Snapshot);
        QCOMPARE(series.RecordCount(), 2);
        QCOMPARE(series.Fields(u"Nom"_s).Value().toString(), u"Fractions"_s);
    }

    void aFailedWriteStaysOnTheSeriesPage() {
        GradebookBuilder book(m_dir.filePath(u"echec.dat"_s));
        const int maths = book.addSubject(u"Maths"_s), c = book.addClass(u"Quatrième"_s, u"4e"_s);
        book.addGrade(book.addSeries(c, maths, u"Puissances"_s, 20, 1, 2), book.addStudent(c, u"Roux"_s, u"Ana"_s), 11);
        book.close();
        // Where the export folder should be, a file: the folder cannot be made.
        QVERIFY(QDir().mkpath(platform::paths::userFolder()));
        QVERIFY(testsupport::writeFile(platform::paths::exportFolder(), "x"));

        ModalTestScope scope;
        frmMain& main = open(book);
        scope.push([&](QWidget& w) {
            auto& x = static_cast<frmExport&>(w);
            x.cmdAction[1]->click();
            x.cmdAction[1]->click();
            tick(*x.lisPériodes, 0);
            scope.push(testsupport::systemMessage(u"Impossible de créer le fichier d'exportation."_s));
            x.cmdAction[1]->click();
            QCOMPARE(page(x), u"series"_s);
            QCOMPARE(entries(*x.lisPériodes), QStringList{u"Période 2 ✓"_s});

            // Once the folder can be made, the same choice is written; leaving the result
            // page by its close box keeps the comment of a new file.
            QVERIFY(QFile::remove(platform::paths::exportFolder()));
            x.cmdAction[1]->click();
            QCOMPARE(page(x), u"result"_s);
            QCOMPARE(x.lblSérie->text(), u"Sélection de séries de notes par périodes entières"_s);
            QTest::keyClicks(x.txtComment, u"jamais lu"_s);
            x.close();
        });
        main.tooBar_ButtonClick(kExporter);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(QDir(platform::paths::exportFolder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Notes Export 0001.dat"_s});
        db::Database file = db::Database::OpenDatabase(platform::paths::exportFolder() + u"/Notes Export 0001.dat"_s,
                                                       gradebook::databasePassword());
        QCOMPARE(file.Properties(u"Commentaire"_s).Value().toString(), u"Aucun commentaire"_s);
        QCOMPARE(mUtilities::GetFileKind(file), quint8(2));
    }
};

QTEST_MAIN(tst_frmExport)
#include "tst_frmExport.moc"
