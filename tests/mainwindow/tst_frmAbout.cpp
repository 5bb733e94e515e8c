// The about window: its texts, the user line, and the links that open through the desktop.
#include "mainwindow/frmAbout.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/ShellOpen.h"
#include "DialogKeys.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using platform::Form;

class tst_frmAbout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setShellOpenHandler({}); }

    void showsTheProgramAndTheUser() {
        frmAbout& about = Form<frmAbout>::get();
        QCOMPARE(about.windowTitle(), QStringLiteral("A propos de"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Quibolet"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.2.2"));
        QCOMPARE(about.lblDescription->text(), QStringLiteral("Carnet de notes pour enseignants."));
        QVERIFY(!about.lblDisclaimer->text().isEmpty());
        QCOMPARE(about.lblMail[0]->text(), QStringLiteral("Mail:"));
        QCOMPARE(about.lblWeb[0]->text(), QStringLiteral("Web:"));

        // The account's full name, without the room and telephone that may follow it.
        QCOMPARE(frmAbout::UserNameFromAccount("Jeanne Dupont,Salle 12,,"), QStringLiteral("Jeanne Dupont"));
        QCOMPARE(frmAbout::UserNameFromAccount("Éloïse Martin"), QStringLiteral("Éloïse Martin"));
        QCOMPARE(frmAbout::UserNameFromAccount(",,,"), QString());
        QCOMPARE(frmAbout::UserNameFromAccount(nullptr), QString());

        // Esc, as the OK button does, unloads the window.
        platform::ModalTestScope scope;
        scope.push([](QWidget& w) { QVERIFY(testsupport::typeKey(w, Qt::Key_Escape)); });
        platform::showModal(about);
        QVERIFY(!Form<frmAbout>::isLoaded());
    }

    void linksOpenTheAddressAndThePageOnly() {
        QStringList opened;
        platform::setShellOpenHandler([&](const QString& target) {
            opened << target;
            return false;  // a link that cannot open fails silently: no modal window appears
        });
        platform::ModalTestScope scope;
        frmAbout about;
        about.show();
        for (QLabel* label : {about.lblMail[0], about.lblWeb[0], about.lblMail[1], about.lblWeb[1]})
            QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(opened, (QStringList{QStringLiteral("mailto:") + about.lblMail[1]->text(), about.lblWeb[1]->text()}));
        QVERIFY(about.lblWeb[1]->text().startsWith(QLatin1String("https://")));
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
