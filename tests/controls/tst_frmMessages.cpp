// The message list window: the callers' protocol, its layout, and closing that discards the lines.
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "DialogKeys.h"
#include "UiHelpers.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using platform::Form;
using platform::ModalTestScope;

namespace {

QPixmap linePicture() {
    QPixmap p(16, 16);
    p.fill(Qt::darkRed);
    return p;
}

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class tst_frmMessages : public QObject {
    Q_OBJECT
private slots:
    void listIsFilledShownAndClosed() {
        ModalTestScope scope;
        frmMessages& f = Form<frmMessages>::get();
        f.lblInfo->setText(QStringLiteral("Une ou plusieurs de vos saisies sont incorrectes."));
        for (int i = 1; i <= 20; ++i)
            f.vskAL->AddItem(QStringLiteral("Ligne %1 : la note saisie n'est pas comprise entre 0 et 20.").arg(i),
                             linePicture());
        const int height = f.vskAL->Show();
        QVERIFY(height > f.vskAL->height() && height < f.vskAL->Size());

        scope.push([&](QWidget& w) {
            QCOMPARE(&w, static_cast<QWidget*>(&f));
            QCOMPARE(w.windowTitle(), QStringLiteral("Quibolet - Messages"));
            QCOMPARE(w.size(), QSize(312, 368));
            QCOMPARE(f.vskAL->geometry(), QRect(8, 88, 297, 201));
            QVERIFY(f.lblInfo->font().bold());
            // The heading fits its label.
            QVERIFY(f.lblInfo->heightForWidth(f.lblInfo->width()) <= f.lblInfo->height());
            QScrollBar* bar = f.vskAL->msb().bar(cScrollBar::Vertical);
            QVERIFY(bar->isVisible());
            QCOMPARE(bar->maximum(), height - f.vskAL->height());
            QCOMPARE(f.lblOverFlow->text(), QString());
            testsupport::clickButton(w, QStringLiteral("Fermer"));
        });
        platform::showModal(f);
        QVERIFY(!Form<frmMessages>::isLoaded());
        settle();
        QCOMPARE(Form<frmMessages>::get().vskAL->ItemCount(), 0);
        Form<frmMessages>::unload();
    }

    void everyWayOfClosingDiscardsTheLines() {
        ModalTestScope scope;
        for (int way = 0; way < 2; ++way) {
            frmMessages& f = Form<frmMessages>::get();
            f.vskAL->AddItem(QStringLiteral("Ligne"));
            f.vskAL->Show();
            scope.push([&, way](QWidget& w) {
                if (way == 0)
                    QVERIFY(testsupport::typeKey(w, Qt::Key_Escape));
                else
                    w.close();
            });
            platform::showModal(f);
            QVERIFY(!Form<frmMessages>::isLoaded());
            settle();
        }
        // Unloaded without being shown: the next caller starts empty too.
        Form<frmMessages>::get().vskAL->AddItem(QStringLiteral("Ligne"));
        Form<frmMessages>::unload();
        settle();
        QCOMPARE(Form<frmMessages>::get().vskAL->ItemCount(), 0);
        Form<frmMessages>::unload();
        settle();
    }

    void moreLinesThanThePageReportTheirFullHeight() {
        frmMessages& f = Form<frmMessages>::get();
        for (int i = 0; i < 120; ++i) f.vskAL->AddItem(QStringLiteral("Élève %1 : note refusée.").arg(i), linePicture());
        const int height = f.vskAL->Show();
        QVERIFY(height > f.vskAL->Size());
        QCOMPARE(f.vskAL->msb().Max(cScrollBar::Vertical), f.vskAL->Size() - f.vskAL->height());
        Form<frmMessages>::unload();
        settle();
    }
};

QTEST_MAIN(tst_frmMessages)
#include "tst_frmMessages.moc"
