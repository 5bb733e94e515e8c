// The message list window: the callers' protocol, and closing that discards the lines.
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>

using platform::Form;

class tst_frmMessages : public QObject {
    Q_OBJECT
private slots:
    void listIsFilledShownAndClosed() {
        platform::ModalTestScope scope;
        const QList<std::function<void(QWidget&)>> ways = {
            [](QWidget& w) { testsupport::clickButton(w, QStringLiteral("Fermer")); },
            [](QWidget& w) { QVERIFY(testsupport::typeKey(w, Qt::Key_Escape)); },
            [](QWidget& w) { w.close(); }};
        for (const auto& close : ways) {
            frmMessages& f = Form<frmMessages>::get();
            QCOMPARE(f.vskAL->ItemCount(), 0);  // each use starts empty
            f.lblInfo->setText(QStringLiteral("Une ou plusieurs de vos saisies sont incorrectes."));
            for (int i = 1; i <= 20; ++i) f.vskAL->AddItem(QStringLiteral("Ligne %1 : note refusée.").arg(i));
            const int height = f.vskAL->Show();
            scope.push([&](QWidget& w) {
                QVERIFY(f.lblInfo->heightForWidth(f.lblInfo->width()) <= f.lblInfo->height());
                QCOMPARE(f.vskAL->msb().bar(cScrollBar::Vertical)->maximum(), height - f.vskAL->height());
                QCOMPARE(f.vskAL->grab().toImage().pixelColor(0, 0), f.palette().color(QPalette::Window));
                close(w);
            });
            platform::showModal(f);
            QVERIFY(!Form<frmMessages>::isLoaded());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
};

QTEST_MAIN(tst_frmMessages)
#include "tst_frmMessages.moc"
