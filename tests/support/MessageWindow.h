#pragma once
#include "controls/IMessageTarget.h"
#include "controls/mSubClass.h"

#include <QList>
#include <QMainWindow>
#include <functional>
#include <optional>

namespace testsupport {

struct WindowMessage {
    int uMsg;
    qintptr wParam;
    qintptr lParam;
};

// A main window that is its own message target, as the program's windows are: it keeps
// every message but its own events, and passes each one on to its own handling unless
// `answer` gives a result for it.
class MessageWindow : public QMainWindow, public IMessageTarget {
public:
    MessageWindow() { mSubClass::SubclassWindow(this, this); }
    ~MessageWindow() override { mSubClass::UnsubclassWindow(this); }

    qintptr Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) override {
        if (uMsg != mSubClass::WM_EVENT) messages.append({uMsg, wParam, lParam});
        if (answer)
            if (const auto r = answer(uMsg, wParam, lParam)) return *r;
        return mSubClass::CallOldWndProc(hWnd, uMsg, wParam, lParam);
    }

    QList<WindowMessage> messages;  // messages other than the window's events
    std::function<std::optional<qintptr>(int uMsg, qintptr wParam, qintptr lParam)> answer;

    // Commands (WM_COMMAND ids) received so far.
    QList<qintptr> commands() const {
        QList<qintptr> ids;
        for (const WindowMessage& m : messages)
            if (m.uMsg == mSubClass::WM_COMMAND) ids.append(m.wParam);
        return ids;
    }
};

}  // namespace testsupport
