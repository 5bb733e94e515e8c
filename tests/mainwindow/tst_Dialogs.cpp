// The main window's own dialogs. The start-up window: its three choices, the creation of a
// gradebook with its explanation and next steps, and what stays when an attempt fails or is
// cancelled. The options: decimals written at once and the opener refreshed on closing when
// they changed; the gradebook's password set, removed or kept through frmPwdGive.
#include "Answers.h"
#include "DbTestSupport.h"
#include "UiHelpers.h"
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "gradebook/GradebookPassword.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmOptions.h"
#include "mainwindow/frmPwdGive.h"
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
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;
using platform::ModalResponder;
using platform::ModalTestScope;

namespace {

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QString lastFile() { return platform::GetSetting(u"StartUp"_s, u"File"_s); }

QVariant stored(const char* name) { return mUtilities::gDB.Properties(QString::fromLatin1(name)).Value(); }

// Shows the options as an opener does; returns how many times it was asked to refresh.
int useOptions(ModalTestScope& scope, const std::function<void(frmOptions&)>& act) {
    frmOptions& options = Form<frmOptions>::get();
    int refreshes = 0;
    QObject::connect(&options, &frmOptions::DecimalsChanged, [&] { ++refreshes; });
    scope.push([&](QWidget&) { act(options); });
    platform::showModal(options);
    return refreshes;
}

void typeAndConfirm(frmPwdGive& give, const QString& password, const QString& confirmation) {
    QTest::keyClicks(give.txtPwd, password);
    QTest::keyClicks(give.txtConfirm, confirmation);
    give.cmdOK->click();
}

}  // namespace

class tst_Dialogs : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // As the options find it: a new gradebook open, its averages shown with one decimal.
    void openNewGradebook() {
        const QString file = m_dir.filePath(u"%1.dat"_s.arg(QTest::currentTestFunction()));
        mUtilities::CreateGradebookFile(file);
        mUtilities::gDB = db::Database::OpenDatabase(file, gradebook::databasePassword());
        mUtilities::gAverageFormat = u"0.0"_s;
    }

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

    void decimalsAreWrittenAtOnceAndRefreshTheOpenerWhenChanged() {
        openNewGradebook();
        ModalTestScope scope;
        QCOMPARE(useOptions(scope, [](frmOptions& o) {
                     o.optDécimale[2]->click();
                     QCOMPARE(stored("Moyenne").toInt(), 2);
                     QCOMPARE(mUtilities::gAverageFormat, u"0.0"_s);
                     o.cmdClose->click();
                 }), 1);
        QCOMPARE(mUtilities::gAverageFormat, u"0.00"_s);
        QVERIFY(!Form<frmOptions>::isLoaded());
        // Back where it was before closing: nothing to refresh.
        QCOMPARE(useOptions(scope, [](frmOptions& o) {
                     o.optDécimale[1]->click();
                     o.optDécimale[2]->click();
                 }), 0);
        // The close box refreshes as "Fermer" does.
        QCOMPARE(useOptions(scope, [](frmOptions& o) { o.optDécimale[1]->click(); }), 1);
        QCOMPARE(mUtilities::gAverageFormat, u"0.0"_s);
        // A value other than 1 or 2 shows two decimals, and looking changes nothing.
        mUtilities::gDB.Properties(u"Moyenne"_s).setValue(3);
        QCOMPARE(useOptions(scope, [](frmOptions& o) { QVERIFY(o.optDécimale[2]->isChecked()); }), 0);
        QCOMPARE(stored("Moyenne").toInt(), 3);
    }

    void passwordIsSetOrRemovedOnlyWhenConfirmed() {
        openNewGradebook();
        ModalTestScope scope;
        const QString unprotected = u"Vous pouvez choisir de protéger ce carnet de notes par un mot de passe."_s;
        const auto passwords = [](const QString& password, const QString& confirmation) -> ModalResponder {
            return [=](QWidget& w) { typeAndConfirm(static_cast<frmPwdGive&>(w), password, confirmation); };
        };
        useOptions(scope, [&](frmOptions& o) {
            scope.push(passwords(u"Secret"_s, u"Secret"_s));
            o.cmdPasse->click();
            // The file keeps a hash of the password, never the password.
            const QVariant hash = stored("Passe");
            QVERIFY(gradebookpassword::matches(hash.toString(), u"Secret"_s));
            const QByteArray content = testsupport::decryptedContent(mUtilities::gDB.Name());
            QVERIFY(content.contains("pbkdf2-sha256$") && !content.contains("Secret"));
            QCOMPARE(o.cmdPasse->text(), u"Modifier le mot de passe"_s);
            QVERIFY(o.lblEti[1]->text().startsWith(u"Ce carnet de notes est protégé"_s));

            // Two different entries: typed again after "OK", given up after "Annuler".
            scope.push([&](QWidget& w) {
                auto& give = static_cast<frmPwdGive&>(w);
                QTest::keyClicks(give.txtPwd, u"abcdefghijkl"_s);
                QCOMPARE(give.txtPwd->displayText(), QString(10, u'*'));
                scope.push(testsupport::msgBox(u"Mot de passe et sa confirmation différents.\nRecommencer ?"_s, u"OK"_s));
                typeAndConfirm(give, {}, u"abcdefghiJ"_s);
                QVERIFY(give.isVisible() && give.txtPwd->text().isEmpty() && give.txtConfirm->text().isEmpty());
                scope.push(testsupport::msgBox(u"Mot de passe et sa confirmation différents."_s, u"Annuler"_s));
                typeAndConfirm(give, u"un"_s, u"deux"_s);
                QVERIFY(!give.isVisible());
            });
            o.cmdPasse->click();
            QCOMPARE(stored("Passe"), hash);

            for (const char* reply : {"Non", "Oui"}) {
                scope.push(passwords({}, {}));
                const QString empty = u"Mot de passe vide. Ceci équivaut à l'absence de mot de passe.\nConfirmer ?"_s;
                scope.push(testsupport::msgBox(empty, QString::fromLatin1(reply)));
                o.cmdPasse->click();
                QCOMPARE(stored("Passe"), *reply == 'N' ? hash : u"Undefined"_s);
            }
            QCOMPARE(o.lblEti[1]->text(), unprotected);

            // The no-password marker typed as a password protects nothing, and says so.
            scope.push(passwords(u"Undefined"_s, u"Undefined"_s));
            o.cmdPasse->click();
            QCOMPARE(o.lblEti[1]->text(), unprotected);
            QCOMPARE(o.cmdPasse->text(), u"Définir un mot de passe"_s);
        });
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_Dialogs)
#include "tst_Dialogs.moc"
