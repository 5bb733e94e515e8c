// Centring the file and font dialogs over the active window.
#include "controls/mDialogHook.h"

#include <QTest>

class tst_mDialogHook : public QObject {
    Q_OBJECT
private slots:
    void dialogsAreCentredButNeverPushedOffScreen() {
        using mDialogHook::CentredPosition;
        const QRect active(100, 50, 600, 400);
        QCOMPARE(CentredPosition(QRect(0, 0, 201, 101), active), QPoint(299, 199));
        QCOMPARE(CentredPosition(QRect(0, 0, 700, 500), active), QPoint(50, 0));
        QCOMPARE(CentredPosition(QRect(0, 0, 900, 300), QRect(20, 10, 300, 200)), QPoint(0, 0));
        QCOMPARE(CentredPosition(QRect(0, 0, 10, 10), QRect(-300, 10, 300, 200)), std::nullopt);
    }
};

QTEST_MAIN(tst_mDialogHook)
#include "tst_mDialogHook.moc"
