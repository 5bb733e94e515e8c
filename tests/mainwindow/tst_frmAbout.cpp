// The about window: version, user line, links opened through the desktop, Esc.
#include "mainwindow/frmAbout.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/ShellOpen.h"
#include "UiHelpers.h"

#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_frmAbout : public QObject {
    Q_OBJECT
private slots:
    void showsTheProgramAndOpensOnlyTheLinks() {
        QCOMPARE(frmAbout::UserNameFromAccount("Jeanne Dupont,Salle 12,,"), u"Jeanne Dupont"_s);
        QCOMPARE(frmAbout::UserNameFromAccount(",,,"), QString());
        QCOMPARE(frmAbout::UserNameFromAccount(nullptr), QString());

        QStringList opened;
        platform::setShellOpenHandler([&](const QString& target) {
            opened << target;
            return false;  // fails silently: no modal window may appear
        });
        platform::ModalTestScope scope;
        frmAbout& about = platform::Form<frmAbout>::get();
        scope.push([&](QWidget& w) {
            for (QLabel* label : {about.lblMail[0], about.lblWeb[0], about.lblMail[1], about.lblWeb[1]})
                QTest::mouseClick(label, Qt::LeftButton);
            QVERIFY(testsupport::typeKey(w, Qt::Key_Escape));
        });
        const QStringList expected{u"mailto:"_s + about.lblMail[1]->text(), about.lblWeb[1]->text()};
        platform::showModal(about);
        QCOMPARE(opened, expected);
        QVERIFY(!platform::Form<frmAbout>::isLoaded());
        platform::setShellOpenHandler({});
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
