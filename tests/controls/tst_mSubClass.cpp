// A window's messages go to its one target, and on to the window only when the target
// passes them on.
#include "controls/mSubClass.h"
#include "MessageWindow.h"

#include <QKeyEvent>
#include <QTest>
#include <stdexcept>

using namespace mSubClass;
using testsupport::MessageWindow;

namespace {

class KeyCountingWindow : public MessageWindow {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

class OtherTarget : public IMessageTarget {
public:
    QList<int> seen;
    qintptr Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) override {
        if (uMsg != WM_EVENT) seen.append(int(wParam));
        return CallOldWndProc(hWnd, uMsg, wParam, lParam);
    }
};

}  // namespace

class tst_mSubClass : public QObject {
    Q_OBJECT
private slots:
    void windowEventsPassThroughTheTarget() {
        KeyCountingWindow w;
        QEvent* seen = nullptr;
        w.answer = [&](int uMsg, qintptr wParam, qintptr lParam) -> std::optional<qintptr> {
            if (wParam == QEvent::KeyPress) seen = WindowEvent(uMsg, lParam);
            return std::nullopt;
        };
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 1);  // delivered once, by the target
        QVERIFY(w.eventTypes.contains(QEvent::KeyPress));
        QVERIFY(seen);
        QVERIFY(!WindowEvent(WM_COMMAND, reinterpret_cast<qintptr>(seen)));

        // A target that passes an event on twice delivers it once.
        w.answer = [&](int uMsg, qintptr wParam, qintptr lParam) -> std::optional<qintptr> {
            if (wParam == QEvent::KeyPress) CallOldWndProc(&w, uMsg, wParam, lParam);
            return std::nullopt;
        };
        QTest::keyClick(&w, Qt::Key_B);
        QCOMPARE(w.keys, 2);

        // A target that answers an event itself keeps it from the window.
        w.answer = [](int uMsg, qintptr wParam, qintptr) -> std::optional<qintptr> {
            if (uMsg == WM_EVENT && wParam == QEvent::KeyPress) return 0;
            return std::nullopt;
        };
        QTest::keyClick(&w, Qt::Key_C);
        QCOMPARE(w.keys, 2);
    }

    void sentAndPostedMessagesReachTheTarget() {
        MessageWindow w;
        w.answer = [](int uMsg, qintptr wParam, qintptr) -> std::optional<qintptr> {
            if (uMsg == WM_COMMAND) return wParam * 2;
            return std::nullopt;
        };
        QCOMPARE(SendMessage(&w, WM_COMMAND, 21, 0), qintptr(42));
        QCOMPARE(SendMessage(&w, WM_INITMENUPOPUP, 5, 3), qintptr(0));  // passed on: nothing there
        QCOMPARE(w.messages.size(), 2);
        QCOMPARE(w.messages[1].lParam, qintptr(3));

        PostMessage(&w, WM_COMMAND, 35, 0);
        QCOMPARE(w.commands(), QList<qintptr>{21});
        QCoreApplication::processEvents();
        QCOMPARE(w.commands(), (QList<qintptr>{21, 35}));

        auto* gone = new MessageWindow;
        PostMessage(gone, WM_COMMAND, 1, 0);
        delete gone;
        QCoreApplication::processEvents();
        QCOMPARE(SendMessage(nullptr, WM_COMMAND, 1, 0), qintptr(0));
    }

    void detachingAndReplacingTheTarget() {
        KeyCountingWindow w;
        OtherTarget other;
        SubclassWindow(&w, &other);  // one target per window: this one replaces the first
        SendMessage(&w, WM_COMMAND, 7, 0);
        QVERIFY(w.messages.isEmpty());
        QCOMPARE(other.seen, QList<int>{7});

        UnsubclassWindow(&w);
        UnsubclassWindow(&w);
        QCOMPARE(SendMessage(&w, WM_COMMAND, 8, 0), qintptr(0));
        QCOMPARE(other.seen, QList<int>{7});
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 1);
        QVERIFY(w.eventTypes.isEmpty());

        // A target that goes away first leaves a window that works alone.
        auto* shortLived = new OtherTarget;
        SubclassWindow(&w, shortLived);
        delete shortLived;
        QCOMPARE(SendMessage(&w, WM_COMMAND, 9, 0), qintptr(0));
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 2);
    }

    void aFailingTargetLeavesTheWindowWorking() {
        KeyCountingWindow w;
        w.answer = [](int uMsg, qintptr wParam, qintptr) -> std::optional<qintptr> {
            if (uMsg == WM_COMMAND || wParam == QEvent::KeyPress) throw std::runtime_error("target");
            return std::nullopt;
        };
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("target"));
        QCOMPARE(SendMessage(&w, WM_COMMAND, 1, 0), qintptr(0));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("target"));
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 1);  // the window handled the event the target failed on

        // Detaching from inside a message is safe, and the message still goes on.
        w.answer = [&](int uMsg, qintptr wParam, qintptr lParam) -> std::optional<qintptr> {
            if (wParam == QEvent::KeyPress) {
                UnsubclassWindow(&w);
                return CallOldWndProc(&w, uMsg, wParam, lParam);
            }
            return std::nullopt;
        };
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 2);
        QCOMPARE(SendMessage(&w, WM_COMMAND, 2, 0), qintptr(0));
        QCOMPARE(w.commands(), QList<qintptr>{1});
    }
};

QTEST_MAIN(tst_mSubClass)
#include "tst_mSubClass.moc"
