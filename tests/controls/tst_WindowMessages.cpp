// A window's messages go to its one target, and on to the window only when the target passes
// them on; the menus built at run time send their commands there.
#include "controls/cMenu.h"
#include "controls/mSubClass.h"
#include "MessageWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <stdexcept>

using namespace mSubClass;
using testsupport::MessageWindow;
using Answer = std::optional<qintptr>;
using H = cMenu::Handle;

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

QMenu* openPopup() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

void clickEntry(QWidget* menu, int position) {
    QAction* a = menu->actions().at(position);
    const QRect r = qobject_cast<QMenuBar*>(menu) ? static_cast<QMenuBar*>(menu)->actionGeometry(a)
                                                  : static_cast<QMenu*>(menu)->actionGeometry(a);
    QTest::mouseClick(menu, Qt::LeftButton, {}, r.center());
}

}  // namespace

class tst_WindowMessages : public QObject {
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

        // Sent messages return the target's answer; posted ones arrive later.
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

        SubclassWindow(&w, &w);
        w.answer = [](int uMsg, qintptr wParam, qintptr) -> Answer {
            if (uMsg == WM_COMMAND || wParam == QEvent::KeyPress) throw std::runtime_error("target");
            return std::nullopt;
        };
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("target"));
        QCOMPARE(SendMessage(&w, WM_COMMAND, 1, 0), qintptr(0));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("target"));
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 2);  // the event the target failed on still reached the window

        w.answer = [&](int uMsg, qintptr wParam, qintptr lParam) -> Answer {
            UnsubclassWindow(&w);  // as a window does that unloads from one of its events
            return CallOldWndProc(&w, uMsg, wParam, lParam);
        };
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(w.keys, 3);
    }

    // A popup never goes inside itself; the bar and its popups go with the window, and their
    // handles then find nothing.
    void menusGoWithTheirWindow() {
        cMenu m;
        auto* w = new MessageWindow;
        const H bar = m.CreateNewMenu(w);
        const H popup = m.AddMenu();
        m.AddMenuItem(bar, "X", 1);
        m.AddMenuItem(popup, "Y", 2);
        m.AttachSubMenu(popup, popup, 0, true);
        QCOMPARE(m.SubMenuHandle(popup, 0), 0);
        m.AttachSubMenu(bar, popup, 0, true);
        m.ActivateMenu(bar);
        QCOMPARE(m.SubMenuHandle(bar, 0), popup);
        delete w;
        QCOMPARE(m.MenuItemCount(popup), -1);
        m.DelMenu(popup);
    }

    void chosenEntriesReachTheOwnersTarget() {
        MessageWindow w;
        cMenu m;
        const H bar = m.CreateNewMenu(&w);
        m.AddMenuItem(bar, "&Fichier", 1);
        m.AddMenuItem(bar, "&Ouvrir", 2);
        m.AddMenuItem(bar, "&Aide", 7);
        const H file = m.AddMenu();
        m.AddMenuItem(file, "&Quitter", 35);
        m.AttachSubMenu(bar, file, 1, false);
        // One subjects popup shared by every class entry.
        const H classes = m.AddMenu();
        const H subjects = m.AddMenu();
        for (int i = 1; i <= 3; ++i) m.AddMenuItem(classes, QString("Classe %1").arg(i), 100 + i);
        for (int j = 1; j <= 2; ++j) m.AddMenuItem(subjects, QString("Matière %1").arg(j), 200 + j);
        for (int i = 0; i < 3; ++i) m.AttachSubMenu(classes, subjects, i, true);
        m.AttachSubMenu(bar, classes, 2, false);
        m.ActivateMenu(bar);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        clickEntry(w.menuBar(), 0);
        QTRY_VERIFY(openPopup());
        QCOMPARE(w.messages.size(), 1);
        QCOMPARE((QList<qintptr>{w.messages[0].uMsg, w.messages[0].wParam}), (QList<qintptr>{WM_INITMENUPOPUP, qintptr(file)}));
        clickEntry(openPopup(), 0);
        QTRY_COMPARE(w.commands(), QList<qintptr>{35});

        clickEntry(w.menuBar(), 1);
        QTRY_VERIFY(openPopup());
        QMenu* classMenu = openPopup();
        classMenu->setActiveAction(classMenu->actions().at(2));  // opens the subjects popup
        QTRY_VERIFY(openPopup() != classMenu);
        QCOMPARE(w.messages.last().wParam, qintptr(subjects));
        QCOMPARE(w.messages.last().lParam & 0xFFFF, qintptr(2));  // opened from the third class
        clickEntry(openPopup(), 1);
        QTRY_COMPARE(w.commands(), (QList<qintptr>{35, 202}));

        clickEntry(w.menuBar(), 2);  // an entry of the bar itself
        QTRY_COMPARE(w.commands(), (QList<qintptr>{35, 202, 7}));
    }
};

QTEST_MAIN(tst_WindowMessages)
#include "tst_WindowMessages.moc"
