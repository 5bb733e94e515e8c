// The deletion dialog as the teacher meets it: the lists, the question, the answer "&Non",
// and the main window afterwards.
#include "Answers.h"
#include "EditingSample.h"
#include "TableDump.h"
#include "UiHelpers.h"
#include "controls/frmMsgBox.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "editing/frmDelCM.h"
#include "platform/FlexGrid.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using editingsample::showMain;
using editingsample::tool;
using platform::Form;
using testsupport::dumpTables;

namespace {

QStringList entries(const QComboBox& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.itemText(i);
    return texts;
}

// The question before a deletion: checks it, then answers with the button captioned `button`.
platform::ModalResponder question(const QString& title, const QString& message, const QString& button) {
    return [=](QWidget& w) {
        auto& box = dynamic_cast<frmMsgBox&>(w);
        QCOMPARE(box.Title(), title);
        QCOMPARE(box.Message(), message);
        QCOMPARE(box.PictureType(), 4);
        QCOMPARE(box.FormType(), 3);
        testsupport::clickButton(box, button);
    };
}

QStringList sectionKeys(vskTab& tabs) {
    QStringList keys;
    for (int s = 1; s <= tabs.SectionCount(); ++s) keys << tabs.SectionAt(s).Key();
    return keys;
}

}  // namespace

class tst_frmDelCM : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString samplePath() const { return editingsample::samplePath(m_dir); }

private slots:
    void cleanup() {
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void deletingAClassAsksFirstThenShowsTheFirstClass() {
        const QString path = samplePath();
        platform::ModalTestScope scope;
        frmMain& main = showMain(path, 2, 3);
        const auto before = dumpTables(path);
        const QString message = QStringLiteral("La suppression de cette classe entraînera la suppression de tous ses élèves "
                                               "et la suppression de leurs notes.\nEtes-vous sûr de vouloir supprimer "
                                               "Cinquième \"B\" ?");
        scope.push([&](QWidget& w) {
            auto& dialog = dynamic_cast<frmDelCM&>(w);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Supprimer une classe"));
            QCOMPARE(dialog.lblEti[0]->text(),
                     QStringLiteral("Choisissez la classe que vous voulez supprimer dans la liste ci-dessous:"));
            QCOMPARE(entries(*dialog.cboClassMat),
                     QStringList({QStringLiteral("Sixième A"), QStringLiteral("Cinquième \"B\""), QStringLiteral("L'atelier")}));
            QCOMPARE(dialog.cboClassMat->currentIndex(), 1);  // the class on screen
            // "&Non", or closing the question, deletes nothing and keeps the choice.
            scope.push(question(QStringLiteral("Suppression d'une classe"), message, QStringLiteral("Non")));
            dialog.cmdAction[0]->click();
            scope.push(testsupport::msgBox(message, QString()));
            dialog.cmdAction[0]->click();
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.cboClassMat->currentIndex(), 1);
            QCOMPARE(dumpTables(path), before);
            scope.push(question(QStringLiteral("Suppression d'une classe"), message, QStringLiteral("Oui")));
            dialog.cmdAction[0]->click();
            QVERIFY(!dialog.isVisible());
        });
        tool(main, 1, 3)->trigger();
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(sectionKeys(*main.vskTab), QStringList({QStringLiteral("Sixième A"), QStringLiteral("L'atelier")}));
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A - Maths"));
        QVERIFY(main.flxNotes->isVisible());
        QCOMPARE(dumpTables(path)[QStringLiteral("Classes")].size(), 2);
        QVERIFY(!Form<frmDelCM>::isLoaded());
    }

    void deletingASubjectWithQuotesPreselectsTheOneOnScreen() {
        const QString path = samplePath();
        platform::ModalTestScope scope;
        frmMain& main = showMain(path, 3, 3);
        scope.push([&](QWidget& w) {
            auto& dialog = dynamic_cast<frmDelCM&>(w);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Supprimer une matière"));
            QCOMPARE(dialog.lblEti[0]->text(),
                     QStringLiteral("Choisissez la matière que vous voulez supprimer dans la liste ci-dessous:"));
            QCOMPARE(dialog.cboClassMat->count(), 4);
            QCOMPARE(dialog.cboClassMat->currentText(), QStringLiteral("Histoire \"Géo\""));
            scope.push(question(QStringLiteral("Suppression d'une matière"),
                                QStringLiteral("La suppression de cette matière entraînera la suppression de toutes ses "
                                               "séries de notes.\nEtes-vous sûr de vouloir supprimer Histoire \"Géo\" ?"),
                                QStringLiteral("Oui")));
            dialog.cmdAction[0]->click();
        });
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 18, 0);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(main.vskTab->SectionAt(3).ItemCount(), 3);
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A - Maths"));
        const auto after = dumpTables(path);
        for (const QStringList& subject : after[QStringLiteral("Matières")])
            QVERIFY(subject[1] != QStringLiteral("Histoire \"Géo\""));
    }
};

QTEST_MAIN(tst_frmDelCM)
#include "tst_frmDelCM.moc"
