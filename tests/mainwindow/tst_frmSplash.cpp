// The start-up window: its three choices, the creation of a gradebook with its explanation
// and next steps, and what stays when an attempt fails or is cancelled.
#include "Answers.h"
#include "UiHelpers.h"
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmSplash.h"
#include "platform/Desktop.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;

namespace {

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QString lastFile() { return platform::GetSetting(u"StartUp"_s, u"File"_s); }

}  // namespace

class tst_frmSplash : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { platform::installDesktopRules(*qApp); }
    void cleanup() {
        Form<frmSplash>::unload();
        Form<frmMain>::unload();
        settle();
    }

    void createsOpensAndOffersTheLastFile() {
        platform::ModalTestScope scope;
        frmSplash* splash = &Form<frmSplash>::get();
        QVERIFY(splash->optChoix[0]->isHidden());  // no last file yet
        QVERIFY(splash->optChoix[1]->isChecked());

        const QString folder = platform::paths::notesFolder();
        const QString name = mUtilities::DefaultGradebookName();
        const QString created = folder + u'/' + name + u".dat"_s;
        // Cancelling the explanation creates nothing and keeps the window.
        scope.push(testsupport::msgBox(u"L'étape suivante"_s, u"Annuler"_s));
        splash->cmdAction_Click(0);
        QVERIFY(Form<frmSplash>::isLoaded() && splash->optChoix[1]->isChecked());

        scope.push(testsupport::msgBox(u"L'étape suivante va vous permettre de créer un nouveau carnet de notes.\n"
                                       "Par défaut, l'application vous propose l'emplacement suivant:\n          "_s
                                           + folder + u"\net le nom suivant:\n          "_s + name,
                                       u"OK"_s));
        scope.push([&](QWidget& w) {
            QCOMPARE(w.findChild<QLineEdit*>(u"fileNameEdit"_s)->text(), name);
            testsupport::fileName(QString())(w);
        });
        scope.push([](QWidget& w) {
            auto* list = qobject_cast<frmMessages*>(&w);
            QVERIFY(list);
            QCOMPARE(list->lblInfo->text(), u"Nouveau carnet de notes créé."_s);
            QCOMPARE(list->vskAL->ItemCount(), 7);
            QVERIFY(!list->vskAL->ItemPict(1).isNull());
            list->reject();
        });
        splash->cmdAction_Click(0);
        settle();
        QVERIFY(!Form<frmSplash>::isLoaded());
        QVERIFY(QFileInfo(created).isFile());
        frmMain* main = Form<frmMain>::instance();
        QVERIFY(main && main->isVisible());
        QCOMPARE(main->windowTitle(), u"Carnet de notes - "_s + name);
        QCOMPARE(lastFile(), created);
        main->close();
        settle();

        // The next start offers the last file, and Enter opens it, even on another choice and a
        // GNOME desktop.
        splash = &Form<frmSplash>::get();
        QCOMPARE(splash->optChoix[0]->text(), u"Ouvrir "_s + name);
        QVERIFY(!splash->optChoix[0]->isHidden() && splash->optChoix[0]->isChecked());
        splash->show();
        QVERIFY(testsupport::typeEnterAsGnome(*splash->optChoix[1]));
        settle();
        QVERIFY(!Form<frmSplash>::isLoaded());
        QVERIFY(Form<frmMain>::instance()->isVisible());
        QCOMPARE(scope.pending(), 0);
    }

    void failedAttemptsKeepTheWindowAndItsChoice() {
        // As on a first run: no folder of gradebooks yet; the open dialog starts where it will be.
        QDir(platform::paths::userFolder()).removeRecursively();
        platform::ModalTestScope scope;
        frmSplash& splash = Form<frmSplash>::get();
        splash.optChoix[2]->setChecked(true);
        scope.push([&](QWidget& w) {
            QCOMPARE(static_cast<QFileDialog&>(w).directory().absolutePath(), platform::paths::notesFolder());
            testsupport::fileName(m_dir.filePath(u"absent.dat"_s))(w);
        });
        scope.push(testsupport::msgBox(u"Ce carnet de notes n'existe pas.\nPour le créer, choisissez"_s, u"OK"_s));
        splash.cmdAction_Click(0);
        QVERIFY(Form<frmSplash>::isLoaded() && splash.optChoix[2]->isChecked());
        QVERIFY(!Form<frmMain>::instance()->isVisible());

        // "Annuler" takes the hidden main window along, so that nothing keeps the program alive.
        splash.cmdAction_Click(1);
        settle();
        QVERIFY(!Form<frmSplash>::isLoaded() && !Form<frmMain>::isLoaded());
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_frmSplash)
#include "tst_frmSplash.moc"
