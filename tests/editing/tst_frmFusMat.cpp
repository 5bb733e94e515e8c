// The merging dialog as the teacher meets it: its two steps, each refusal, the report, and
// the main window shown again from the open gradebook without its password asked again.
#include "Answers.h"
#include "DbTestSupport.h"
#include "EditingSample.h"
#include "TableDump.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "editing/frmFusMat.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using editingsample::showMain;
using editingsample::tool;
using platform::Form;
using testsupport::dumpTables;
using testsupport::messageList;

namespace {

QStringList itemCaptions(const cTabSection& section) {
    QStringList captions;
    for (int i = 1; i <= section.ItemCount(); ++i) captions << section.ItemAt(i).Caption();
    return captions;
}

}  // namespace

class tst_frmFusMat : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString samplePath() const { return editingsample::samplePath(m_dir); }

private slots:
    void cleanup() {
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void mergingStepByStepOnAProtectedGradebook() {
        const QString path = samplePath();
        {
            db::Database file = testsupport::openGradebook(path);
            file.Properties(QStringLiteral("Passe")).setValue(QStringLiteral("Secret"));
        }
        platform::ModalTestScope scope;
        scope.push(testsupport::password(QStringLiteral("Secret")));
        frmMain& main = showMain(path, 2, 2);
        QStringList report;
        scope.push([&](QWidget& w) {
            auto& dialog = dynamic_cast<frmFusMat&>(w);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Fusionner des matières"));
            QVERIFY(dialog.fraFus->isVisible() && !dialog.fraMat[0]->isVisible() && !dialog.fraMat[1]->isVisible());
            QVERIFY(dialog.lblEti[1]->text().startsWith(QStringLiteral("Cette fonction vous permet de fusionner")));
            QCOMPARE(dialog.cmdAction[0]->text(), QStringLiteral("Continuer"));
            dialog.cmdAction[0]->click();
            QVERIFY(!dialog.fraFus->isVisible() && dialog.fraMat[0]->isVisible() && dialog.fraMat[1]->isVisible());
            QCOMPARE(dialog.cmdAction[0]->text(), QStringLiteral("OK"));
            QCOMPARE(dialog.cboMat[0]->currentText(), QStringLiteral("Maths"));
            QCOMPARE(dialog.cboMat[1]->count(), 4);
            QCOMPARE(dialog.txtNom->maxLength(), 50);

            scope.push(messageList(QStringLiteral("Impossible de continuer.")));
            dialog.cmdAction[0]->click();
            dialog.cboMat[1]->setCurrentIndex(1);
            scope.push(messageList(QStringLiteral("Vous n'avez pas saisi un nom de matière valide.")));
            dialog.cmdAction[0]->click();
            dialog.txtNom->setText(QStringLiteral("HISTOIRE \"GÉO\""));
            scope.push(messageList(QStringLiteral("Ce nom de matière est déjà attribué.")));
            dialog.cmdAction[0]->click();
            QVERIFY(dialog.isVisible());
            dialog.txtNom->setText(QStringLiteral("Mathématiques"));
            scope.push(messageList(QStringLiteral("Fusion terminée."), &report));
            dialog.cmdAction[0]->click();
            QVERIFY(!dialog.isVisible());
        });
        tool(main, 13)->trigger();
        QCOMPARE(scope.pending(), 0);  // and no password asked: it would have been unanswered
        QCOMPARE(report, QStringList({QStringLiteral("Les matières Maths et Géométrie ont été fusionnées sous le nom Mathématiques."),
                                      QStringLiteral("Veuillez noter que le coefficient de cette matière a été ramené à 1 "
                                                     "pour toutes les classes.")}));
        for (int s = 1; s <= 3; ++s)
            QCOMPARE(itemCaptions(main.vskTab->SectionAt(s)),
                     QStringList({QStringLiteral("Histoire \"Géo\""), QStringLiteral("L'anglais"), QStringLiteral("Mathématiques")}));
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A - Histoire \"Géo\""));
        main.selectClassAndSubject(2, 3);
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("5e \"B\" - Mathématiques"));
        QVERIFY(!Form<frmFusMat>::isLoaded());
    }

    void aFailedMergeSaysSoAndChangesNothing() {
        const QString path = samplePath();
        const auto before = dumpTables(path);
        platform::ModalTestScope scope;
        frmMain& main = showMain(path, 2, 2);
        // Once open: the program refuses a file that already holds a trigger.
        testsupport::failOn(path, "UPDATE", QStringLiteral("Séries"));
        scope.push([&](QWidget& w) {
            auto& dialog = dynamic_cast<frmFusMat&>(w);
            dialog.cmdAction[0]->click();
            dialog.cboMat[1]->setCurrentIndex(1);
            dialog.txtNom->setText(QStringLiteral("Mathématiques"));
            scope.push(testsupport::systemMessage(
                QStringLiteral("Impossible de fusionner ces matières.\nLe carnet de notes n'a pas été modifié.")));
            dialog.cmdAction[0]->click();
            QVERIFY(dialog.isVisible());
            dialog.cmdAction[1]->click();
        });
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 27, 0);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(dumpTables(path), before);
        QCOMPARE(itemCaptions(main.vskTab->SectionAt(1)).size(), 4);
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("5e \"B\" - Géométrie"));
    }
};

QTEST_MAIN(tst_frmFusMat)
#include "tst_frmFusMat.moc"
