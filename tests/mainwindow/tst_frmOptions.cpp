// The options window: decimals written at once and the opener refreshed on closing when they
// changed; the gradebook's password set, removed or kept through frmPwdGive.
#include "mainwindow/frmOptions.h"
#include "mainwindow/frmPwdGive.h"
#include "Answers.h"
#include "DbTestSupport.h"
#include "gradebook/GradebookPassword.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

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

class tst_frmOptions : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init() {
        const QString file = m_dir.filePath(u"%1.dat"_s.arg(QTest::currentTestFunction()));
        mUtilities::CreateGradebookFile(file);
        mUtilities::gDB = db::Database::OpenDatabase(file, gradebook::databasePassword());
        mUtilities::gAverageFormat = u"0.0"_s;
    }

    void decimalsAreWrittenAtOnceAndRefreshTheOpenerWhenChanged() {
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
                scope.push(testsupport::msgBox(u"Mot de passe vide. Ceci équivaut à l'absence de mot de passe.\nConfirmer ?"_s,
                                               QString::fromLatin1(reply)));
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

QTEST_MAIN(tst_frmOptions)
#include "tst_frmOptions.moc"
