// Centring the file and font dialogs over the active window.
#include "controls/mDialogHook.h"

#include <QDialog>
#include <QTest>

class tst_mDialogHook : public QObject {
    Q_OBJECT
private slots:
    void dialogsAreCentredButNeverPushedOffScreen() {
        using mDialogHook::CentredPosition;
        const QRect active(100, 50, 600, 400);
        QCOMPARE(CentredPosition(QRect(0, 0, 200, 100), active), QPoint(300, 200));
        // Odd differences are truncated toward zero.
        QCOMPARE(CentredPosition(QRect(0, 0, 201, 101), active), QPoint(299, 199));
        // Larger than the active window: left of and above it, but not past the origin.
        QCOMPARE(CentredPosition(QRect(0, 0, 700, 500), active), QPoint(50, 0));
        QCOMPARE(CentredPosition(QRect(0, 0, 900, 300), QRect(20, 10, 300, 200)), QPoint(0, 0));
        // A window wholly off to the left or top moves nothing.
        QCOMPARE(CentredPosition(QRect(0, 0, 10, 10), QRect(-300, 10, 300, 200)), std::nullopt);
        QCOMPARE(CentredPosition(QRect(0, 0, 10, 10), QRect(10, -200, 300, 200)), std::nullopt);
    }

    void hookMovesTheDialogOverTheActiveWindow() {
        QDialog dialog;
        dialog.resize(120, 80);
        dialog.move(3, 4);
        mDialogHook::CenterDialogHook(dialog);  // no active window: left where it is
        QCOMPARE(dialog.pos(), QPoint(3, 4));

        QWidget main;
        main.setGeometry(200, 150, 500, 400);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        mDialogHook::CenterDialogHook(dialog);
        const QRect frame = main.frameGeometry();
        QCOMPARE(dialog.frameGeometry().center(), frame.center());
    }
};

QTEST_MAIN(tst_mDialogHook)
#include "tst_mDialogHook.moc"
