// Deleting a series from the main window's command: the two steps, the confirmation, the
// grades that go with the series, the grid that follows, and a failure that keeps all.
#include "Answers.h"
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "editing/frmDelSerie.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;
using testsupport::GradebookBuilder;

namespace {

// The grades as "series:student", and the series' names, in key order.
QStringList grades() {
    db::Recordset rs = mUtilities::gDB.OpenRecordset(db::Query(u"Notes"_s).orderBy({u"NumSérie"_s, u"NumElv"_s}),
                                                      db::RecordsetType::Snapshot);
    QStringList keys;
    for (; !rs.Eof(); rs.MoveNext())
        keys << u"%1:%2"_s.arg(rs.Fields(u"NumSérie"_s).Value().toInt()).arg(rs.Fields(u"NumElv"_s).Value().toInt());
    return keys;
}
QStringList seriesNames() {
    db::Recordset rs = mUtilities::gDB.OpenRecordset(db::Query(u"Séries"_s).orderBy({u"NumSérie"_s}), db::RecordsetType::Snapshot);
    QStringList names;
    for (; !rs.Eof(); rs.MoveNext()) names << rs.Fields(u"Nom"_s).Value().toString();
    return names;
}

}  // namespace

class tst_frmDelSerie : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void cleanup() {
        Form<frmDelSérie>::unload();
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void nothingToDeleteFrom() {
        GradebookBuilder b(m_dir.filePath(u"vide.dat"_s));
        b.close();
        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(b.path()));
        platform::ModalTestScope scope;
        QStringList lines;
        scope.push(testsupport::messageList(u"Impossible de supprimer une série de notes."_s, &lines));
        main.tooBar_ButtonMenuClick(3, 3);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(lines, (QStringList{u"Ce carnet de notes ne contient pas encore de classe.\n"
                                     "Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."_s,
                                     u"Ce carnet de notes ne contient pas encore de matière.\n"
                                     "Créez une ou plusieurs matières (menu Créer/Nouvelle matière)."_s}));
        QVERIFY(!Form<frmDelSérie>::isLoaded());
    }

    void deletesTheSeriesWithItsGrades() {
        GradebookBuilder b(m_dir.filePath(u"notes.dat"_s));
        const int a = b.addClass(u"Sixième A"_s, u"6A"_s);
        b.addClass(u"Sixième B"_s, u"6B"_s);
        const int maths = b.addSubject(u"Maths"_s);
        const int lea = b.addStudent(a, u"Durand"_s, u"Léa"_s), paul = b.addStudent(a, u"Martin"_s, u"Paul"_s);
        const int late = b.addSeries(a, maths, u"Plus tard"_s, 20, 1, 1, QDate(2024, 10, 9));
        const int early = b.addSeries(a, maths, u"Plus tôt"_s, 20, 1, 1, QDate(2024, 10, 2));
        for (const int s : {late, early})
            for (const int e : {lea, paul}) b.addGrade(s, e, 10);
        b.close();
        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(b.path()));
        const QStringList all = grades();

        platform::ModalTestScope scope;
        const auto run = [&](const std::function<void(frmDelSérie&)>& steps) {
            scope.push([&](QWidget& w) { steps(dynamic_cast<frmDelSérie&>(w)); });
            main.tooBar_ButtonMenuClick(3, 3);
            QCOMPARE(scope.pending(), 0);
        };
        const QString question = u"Etes-vous sûr de vouloir supprimer cette série de notes ?"_s;
        run([&](frmDelSérie& d) {
            QCOMPARE(d.windowTitle(), u"Supprimer une série de notes"_s);
            // A class without series: the dialog stays at its first step.
            d.cboClasse->setCurrentIndex(1);
            scope.push(testsupport::messageList(u"Impossible de supprimer une série de notes."_s));
            d.cmdAction[0]->click();
            QVERIFY(d.fraMat[1]->isVisible() && !d.fraMat[2]->isVisible());

            d.cboClasse->setCurrentIndex(0);
            d.cmdAction[0]->click();
            QVERIFY(!d.fraMat[0]->isVisible() && !d.fraMat[1]->isVisible() && d.fraMat[2]->isVisible());
            QCOMPARE(d.cmdAction[0]->text(), u"OK"_s);
            QCOMPARE(d.cboSérie->itemText(0), u"Plus tôt du 02/10/2024 (Période 1)"_s);
            d.cboSérie->setCurrentIndex(1);

            // "Non", or the box closed: nothing deleted, the same choice kept.
            scope.push(testsupport::msgBox(question, u"Non"_s));
            d.cmdAction[0]->click();
            scope.push(testsupport::msgBox(question, QString()));
            d.cmdAction[0]->click();
            QVERIFY(d.isVisible());
            QCOMPARE(d.cboSérie->currentIndex(), 1);
            QCOMPARE(grades(), all);

            // The gradebook refuses the series row after its grades: everything stays.
            QCOMPARE(testsupport::rawExec(b.path(), testsupport::kTestPassword.toUtf8(),
                                          "CREATE TRIGGER keep BEFORE DELETE ON \"Séries\" BEGIN SELECT RAISE(ABORT, 'x'); END"),
                     0);
            scope.push(testsupport::msgBox(question, u"Oui"_s));
            scope.push(testsupport::systemMessage(u"Impossible de supprimer cette série de notes du carnet de notes."_s));
            d.cmdAction[0]->click();
            QVERIFY(d.isVisible());
            QCOMPARE(grades(), all);
            QCOMPARE(main.flxNotes->TextMatrix(0, 2), u"Plus tard"_s);
            QCOMPARE(testsupport::rawExec(b.path(), testsupport::kTestPassword.toUtf8(), "DROP TRIGGER keep"), 0);

            scope.push(testsupport::msgBox(question, u"Oui"_s));
            d.cmdAction[0]->click();
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(seriesNames(), QStringList{u"Plus tôt"_s});
        QCOMPARE(grades(), (QStringList{u"%1:%2"_s.arg(early).arg(lea), u"%1:%2"_s.arg(early).arg(paul)}));
        // The grid on screen lost the column.
        QCOMPARE(main.flxNotes->TextMatrix(0, 2), u"Moyenne 1"_s);
    }
};

QTEST_MAIN(tst_frmDelSerie)
#include "tst_frmDelSerie.moc"
