// The print choices: their defaults on every load, and the answers of the buttons, Enter,
// Esc and the close box.
#include "printing/frmConfigImpression.h"

#include "platform/Desktop.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using platform::Form;
using platform::ModalTestScope;

class tst_frmConfigImpression : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { platform::installDesktopRules(*qApp); }
    void answersAndChoices() {
        ModalTestScope scope;
        const auto answer = [&](const std::function<void(frmConfigImpression&)>& act) -> QString {
            frmConfigImpression& d = Form<frmConfigImpression>::get();
            d.setTag(QStringLiteral("?"));
            scope.push([&](QWidget&) { act(d); });
            platform::showModal(d);
            return d.isVisible() ? QStringLiteral("still shown") : d.Tag();
        };
        QCOMPARE(answer([](frmConfigImpression& d) { d.cmdAction[0]->click(); }), QStringLiteral("OK"));
        const PrintChoices all = Form<frmConfigImpression>::get().choices();
        QVERIFY(all.period == 4 && all.gradesAndAverages && all.general);

        QCOMPARE(answer([](frmConfigImpression& d) {
                     d.optPériode[2]->click();
                     d.optNetM[1]->click();
                     d.chkGénérale->click();
                     testsupport::typeEnterAsGnome(*d.optPériode[4]);  // on an option, on a GNOME desktop
                 }),
                 QStringLiteral("OK"));
        const PrintChoices some = Form<frmConfigImpression>::get().choices();
        QVERIFY(some.period == 2 && !some.gradesAndAverages && !some.general);
        QVERIFY(!Form<frmConfigImpression>::get().optPériode[4]->isChecked());

        QCOMPARE(answer([](frmConfigImpression& d) { testsupport::typeKey(d, Qt::Key_Escape); }), QString());
        QCOMPARE(answer([](frmConfigImpression& d) { d.cmdAction[1]->click(); }), QString());
        QCOMPARE(answer([](frmConfigImpression& d) { d.close(); }), QString());
        // Hidden, the choices stay for the layout; loaded anew, the defaults are back.
        QCOMPARE(Form<frmConfigImpression>::get().choices().period, 2);
        Form<frmConfigImpression>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const PrintChoices fresh = Form<frmConfigImpression>::get().choices();
        QVERIFY(fresh.period == 4 && fresh.gradesAndAverages && fresh.general);
    }
};

QTEST_MAIN(tst_frmConfigImpression)
#include "tst_frmConfigImpression.moc"
