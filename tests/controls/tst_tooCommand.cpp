// The flat picture button: its size, its mask, its frames and the order of its events.
#include "controls/tooCommand.h"
#include "TabBarTestKit.h"
#include "platform/OleColor.h"

#include <QSignalSpy>
#include <QTest>

using namespace platform;

class tst_tooCommand : public QObject {
    Q_OBJECT
private slots:
    void takesItsPictureSizeAndMasksWhatWasDrawn() {
        tooCommand b;
        const OleColor green = rgb(0, 128, 0);
        b.setBackColor(green);
        b.setPicture(tabkit::picture(QSize(20, 10), Qt::red, Qt::black));
        b.resize(50, 50);
        QCOMPARE(b.size(), QSize(20, 10));
        QCOMPARE(b.shownSurface().pixelColor(2, 2), QColor(Qt::black));
        b.setUseMaskColor(true);
        QCOMPARE(b.shownSurface().pixelColor(2, 2), oleColor(green));
        QCOMPARE(b.shownSurface().pixelColor(15, 8), QColor(Qt::red));
        // A new back colour is masked in again.
        b.setBackColor(rgb(0, 0, 200));
        QCOMPARE(b.shownSurface().pixelColor(2, 2), QColor(0, 0, 200));

        // A system colour is compared through what it stands for.
        const QColor face = oleColor(sys::ButtonFace);
        b.setPicture(tabkit::picture(QSize(8, 8), face, Qt::black));
        b.setMaskColor(sys::ButtonFace);
        QCOMPARE(b.shownSurface().pixelColor(6, 6), QColor(0, 0, 200));
        QCOMPARE(b.shownSurface().pixelColor(1, 1), QColor(Qt::black));
    }

    void hoverAndPressDrawTheirFrames() {
        QWidget host;
        host.resize(100, 100);
        auto* b = new tooCommand(&host);
        b->setPicture(tabkit::picture(QSize(16, 16), Qt::white));
        b->setHotPicture(tabkit::picture(QSize(24, 24), Qt::yellow));
        b->setLeftShadow(rgb(255, 0, 0));
        b->setRightShadow(rgb(0, 0, 255));
        host.show();
        QSignalSpy moves(b, &tooCommand::MouseMove);
        QSignalSpy downs(b, &tooCommand::MouseDown);

        tabkit::move(b, QPoint(4, 5));
        QCOMPARE(b->size(), QSize(24, 24));  // the hover picture, with its size
        QImage shown = b->grab().toImage();
        QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(23, 23), QColor(Qt::blue));
        QCOMPARE(QList<QVariantList>(moves), (QList<QVariantList>{{0, 0, 4.0f, 5.0f}}));

        // Past the right edge the pointer has left: normal picture, no frame.
        tabkit::move(b, QPoint(30, 5));
        QCOMPARE(b->size(), QSize(16, 16));
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), QColor(Qt::white));

        // The press shows a sunken frame before MouseDown is raised, then wipes it.
        QImage duringFlash;
        int downsDuringFlash = -1;
        tooCommand::setPressFlash([&](tooCommand& pressed) {
            duringFlash = pressed.grab().toImage();
            downsDuringFlash = int(downs.count());
        });
        tabkit::move(b, QPoint(3, 3));
        tabkit::press(b, QPoint(3, 3), Qt::LeftButton, Qt::ShiftModifier);
        tooCommand::setPressFlash({});
        QCOMPARE(downsDuringFlash, 0);
        QCOMPARE(duringFlash.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(duringFlash.pixelColor(15, 15), QColor(Qt::red));
        QCOMPARE(QList<QVariantList>(downs), (QList<QVariantList>{{1, 1, 3.0f, 3.0f}}));
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), QColor(Qt::white));

        // Disabling while hovered ends the hover.
        tabkit::release(b, QPoint(3, 3));
        tabkit::move(b, QPoint(3, 3));
        QCOMPARE(b->size(), QSize(24, 24));
        b->setEnabled(false);
        QCOMPARE(b->size(), QSize(16, 16));
        b->setDisabledPicture(tabkit::picture(QSize(10, 10), Qt::gray));
        QCOMPARE(b->shownSurface().pixelColor(8, 8), QColor(Qt::gray));
    }
};

QTEST_MAIN(tst_tooCommand)
#include "tst_tooCommand.moc"
