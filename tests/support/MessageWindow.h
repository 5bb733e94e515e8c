#pragma once
#include "controls/IMessageTarget.h"

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
    MessageWindow();
    ~MessageWindow() override;

    qintptr Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) override;

    QList<WindowMessage> messages;  // messages other than the window's events
    std::function<std::optional<qintptr>(int uMsg, qintptr wParam, qintptr lParam)> answer;

    // Commands (WM_COMMAND ids) received so far.
    QList<qintptr> commands() const;
};

}  // namespace testsupport
