// A window's messages go to its one target, and on to the window only when the target
// passes them on.
#include "controls/mSubClass.h"
#include "MessageWindow.h"

#include <QKeyEvent>
#include <QTest>
#include <stdexcept>

using namespace mSubClass;
using testsupport::MessageWindow;
using Answer = std::optional<qintptr>;

namespace {

class KeyCountingWindow : public MessageWindow {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

class OtherTarget : public IMessageTarget {
public:
    QList<qintptr> seen;
    qintptr Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) override {
        if (uMsg != WM_EVENT) seen.append(wParam);
        return CallOldWndProc(hWnd, uMsg, wParam, lParam);
    }
};

}  // namespace

class tst_mSubClass : public QObject {
    Q_OBJECT
private slots:
    void eventsReachTheWindowOnlyThroughTheTarget() {
        KeyCountingWindow w;
        w.answer = [&](int uMsg, qintptr wParam, qintptr lParam) -> Answer {
            if (wParam == QEvent::KeyPress) {
                if (WindowEvent(uMsg, lParam)->type() != QEvent::KeyPress) return 0;
                CallOldWndProc(&w, uMsg, wParam, lParam);  // passed on twice, delivered once
            }
            return std::nullopt;
        };
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 1);
        w.answer = [](int uMsg, qintptr wParam, qintptr) -> Answer {
            return uMsg == WM_EVENT && wParam == QEvent::KeyPress ? Answer(0) : std::nullopt;
        };
        QTest::keyClick(&w, Qt::Key_C);  // answered by the target: the window never sees it
        QCOMPARE(w.keys, 1);
    }

    void sentAndPostedMessagesReachTheTarget() {
        MessageWindow w;
        w.answer = [](int uMsg, qintptr wParam, qintptr) { return uMsg == WM_COMMAND ? Answer(wParam * 2) : std::nullopt; };
        QCOMPARE(SendMessage(&w, WM_COMMAND, 21, 0), qintptr(42));
        QCOMPARE(SendMessage(&w, WM_INITMENUPOPUP, 5, 3), qintptr(0));
        PostMessage(&w, WM_COMMAND, 35, 0);
        QCOMPARE(w.commands(), QList<qintptr>{21});
        QCoreApplication::processEvents();
        QCOMPARE(w.commands(), (QList<qintptr>{21, 35}));
    }

    void detachingReplacingAndFailingTargets() {
        KeyCountingWindow w;
        OtherTarget other;
        SubclassWindow(&w, &other);  // replaces the window's own target
        SendMessage(&w, WM_COMMAND, 7, 0);
        QVERIFY(w.messages.isEmpty());
        QCOMPARE(other.seen, QList<qintptr>{7});
        UnsubclassWindow(&w);
        UnsubclassWindow(&w);
        SendMessage(&w, WM_COMMAND, 8, 0);
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(other.seen, QList<qintptr>{7});
        QCOMPARE(w.keys, 1);

        auto* shortLived = new OtherTarget;  // gone before the window: the window works alone
        SubclassWindow(&w, shortLived);
        delete shortLived;
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 2);

        SubclassWindow(&w, &w);
        w.answer = [](int uMsg, qintptr wParam, qintptr) -> Answer {
            if (uMsg == WM_COMMAND || wParam == QEvent::KeyPress) throw std::runtime_error("target");
            return std::nullopt;
        };
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("target"));
        QCOMPARE(SendMessage(&w, WM_COMMAND, 1, 0), qintptr(0));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("target"));
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 3);  // the event the target failed on still reached the window

        w.answer = [&](int uMsg, qintptr wParam, qintptr lParam) -> Answer {
            UnsubclassWindow(&w);  // as a window does that unloads from one of its events
            return CallOldWndProc(&w, uMsg, wParam, lParam);
        };
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 4);
    }
};

QTEST_MAIN(tst_mSubClass)
#include "tst_mSubClass.moc"
