// The options window: decimals written at once and the opener refreshed on closing; the
// gradebook's password set, changed, removed or left as it was through frmPwdGive.
#include "mainwindow/frmOptions.h"
#include "mainwindow/frmPwdGive.h"
#include "controls/frmMsgBox.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using platform::Form;
using platform::ModalResponder;
using platform::ModalTestScope;

namespace {

QVariant stored(const char* property) { return mUtilities::gDB.Properties(QString::fromLatin1(property)).Value(); }

// Shows the options as the main window does and lets `act` use them; returns how many
// times the opener was asked to refresh.
int useOptions(ModalTestScope& scope, const std::function<void(frmOptions&)>& act) {
    frmOptions& options = Form<frmOptions>::get();
    options.setTag(QStringLiteral("frmMain"));
    int refreshes = 0;
    QObject::connect(&options, &frmOptions::DecimalsChanged, [&] { ++refreshes; });
    scope.push([&](QWidget&) { act(options); });
    platform::showModal(options);
    return refreshes;
}

ModalResponder typePasswords(const QString& password, const QString& confirmation) {
    return [=](QWidget& w) {
        auto& give = static_cast<frmPwdGive&>(w);
        QTest::keyClicks(give.txtPwd, password);
        QTest::keyClicks(give.txtConfirm, confirmation);
        give.cmdOK->click();
    };
}

ModalResponder answer(const QString& message, const QString& button) {
    return [=](QWidget& w) {
        QCOMPARE(static_cast<frmMsgBox&>(w).Message(), message);
        testsupport::clickButton(w, button);
    };
}

const QString kEmptyQuestion = QStringLiteral("Mot de passe vide. Ceci équivaut à l'absence de mot de passe.\nConfirmer ?");
const QString kMismatch = QStringLiteral("Mot de passe et sa confirmation différents.\nRecommencer ?");
const QString kProtected = QStringLiteral("Ce carnet de notes est protégé par un mot de passe. Vous pouvez modifier ce "
                                          "mot de passe ou le supprimer en donnant un mot de passe vide.");
const QString kUnprotected = QStringLiteral("Vous pouvez choisir de protéger ce carnet de notes par un mot de passe.");

}  // namespace

class tst_frmOptions : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init() {
        const QString file = m_dir.filePath(QStringLiteral("%1.dat").arg(QTest::currentTestFunction()));
        mUtilities::CreateGradebookFile(file);
        mUtilities::gDB = db::Database::OpenDatabase(file, gradebook::databasePassword());
        mUtilities::gAverageFormat = QStringLiteral("0.0");
    }

    void decimalsAreWrittenAtOnceAndRefreshTheOpenerWhenChanged() {
        ModalTestScope scope;
        // Chosen and closed with "Fermer": in the file before closing, on screen after.
        int refreshes = useOptions(scope, [](frmOptions& o) {
            QVERIFY(o.optDécimale[1]->isChecked());
            o.optDécimale[2]->click();
            QCOMPARE(stored("Moyenne").toInt(), 2);
            QCOMPARE(mUtilities::gAverageFormat, QStringLiteral("0.0"));
            o.cmdClose->click();
        });
        QCOMPARE(refreshes, 1);
        QCOMPARE(mUtilities::gAverageFormat, QStringLiteral("0.00"));
        QVERIFY(!Form<frmOptions>::isLoaded());

        // Back to where it was before closing: nothing to refresh.
        refreshes = useOptions(scope, [](frmOptions& o) {
            o.optDécimale[1]->click();
            o.optDécimale[2]->click();
            o.close();
        });
        QCOMPARE(refreshes, 0);

        // The close box refreshes as "Fermer" does.
        refreshes = useOptions(scope, [](frmOptions& o) {
            o.optDécimale[1]->click();
            o.close();
        });
        QCOMPARE(refreshes, 1);
        QCOMPARE(mUtilities::gAverageFormat, QStringLiteral("0.0"));
        QVERIFY(!Form<frmOptions>::isLoaded());

        // A value that is neither 1 nor 2 reads as two decimals; looking changes nothing.
        mUtilities::gDB.Properties(QStringLiteral("Moyenne")).setValue(3);
        refreshes = useOptions(scope, [](frmOptions& o) {
            QVERIFY(o.optDécimale[2]->isChecked());
            o.close();
        });
        QCOMPARE(refreshes, 0);
        QCOMPARE(stored("Moyenne").toInt(), 3);
        QCOMPARE(scope.pending(), 0);
    }

    void passwordIsSetChangedOrRemovedOnlyWhenConfirmed() {
        ModalTestScope scope;
        useOptions(scope, [&](frmOptions& o) {
            o.tabS->setCurrentIndex(1);
            QCOMPARE(o.mCurrentTab, quint8(2));
            QCOMPARE(o.lblEti[1]->text(), kUnprotected);
            QCOMPARE(o.cmdPasse->text(), QStringLiteral("Définir un mot de passe"));

            // Exactly as typed, letter case kept.
            scope.push(typePasswords(QStringLiteral("Secret"), QStringLiteral("Secret")));
            o.cmdPasse->click();
            QCOMPARE(stored("Passe").toString(), QStringLiteral("Secret"));
            QCOMPARE(o.lblEti[1]->text(), kProtected);
            QCOMPARE(o.cmdPasse->text(), QStringLiteral("Modifier le mot de passe"));
            QVERIFY(!Form<frmPwdGive>::isLoaded());

            // An empty password not confirmed leaves the protection.
            scope.push(typePasswords({}, {}));
            scope.push(answer(kEmptyQuestion, QStringLiteral("Non")));
            o.cmdPasse->click();
            QCOMPARE(stored("Passe").toString(), QStringLiteral("Secret"));

            // Cancelled: unchanged.
            scope.push([](QWidget& w) {
                QTest::keyClicks(static_cast<frmPwdGive&>(w).txtPwd, QStringLiteral("Autre"));
                testsupport::clickButton(w, QStringLiteral("Annuler"));
            });
            o.cmdPasse->click();
            QCOMPARE(stored("Passe").toString(), QStringLiteral("Secret"));

            // Confirmed empty: no protection.
            scope.push(typePasswords({}, {}));
            scope.push(answer(kEmptyQuestion, QStringLiteral("Oui")));
            o.cmdPasse->click();
            QCOMPARE(stored("Passe").toString(), QStringLiteral("Undefined"));
            QCOMPARE(o.lblEti[1]->text(), kUnprotected);

            // The no-password marker typed as a password protects nothing, and says so.
            scope.push(typePasswords(QStringLiteral("Undefined"), QStringLiteral("Undefined")));
            o.cmdPasse->click();
            QCOMPARE(stored("Passe").toString(), QStringLiteral("Undefined"));
            QCOMPARE(o.lblEti[1]->text(), kUnprotected);
            QCOMPARE(o.cmdPasse->text(), QStringLiteral("Définir un mot de passe"));
            o.cmdClose->click();
        });
        QCOMPARE(scope.pending(), 0);
    }

    void differentEntriesAreTypedAgainOrGiveUp() {
        ModalTestScope scope;
        frmPwdGive give;
        QTest::keyClicks(give.txtPwd, QStringLiteral("abcdefghijkl"));
        QCOMPARE(give.txtPwd->text(), QStringLiteral("abcdefghij"));
        QCOMPARE(give.txtPwd->displayText(), QString(10, u'*'));
        QTest::keyClicks(give.txtConfirm, QStringLiteral("abcdefghiJ"));

        scope.push([&](QWidget& w) {
            QVERIFY(give.isVisible());
            scope.push(answer(kMismatch, QStringLiteral("OK")));
            give.cmdOK->click();
            QVERIFY(give.txtPwd->text().isEmpty() && give.txtConfirm->text().isEmpty());
            QVERIFY(give.isVisible());

            QTest::keyClicks(give.txtPwd, QStringLiteral("un"));
            QTest::keyClicks(give.txtConfirm, QStringLiteral("deux"));
            scope.push(answer(kMismatch, QStringLiteral("Annuler")));
            give.cmdOK->click();
            QVERIFY(!w.isVisible());
        });
        platform::showModal(give);
        QCOMPARE(give.Tag(), QString());
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_frmOptions)
#include "tst_frmOptions.moc"
