#pragma once
#include <QtGlobal>

class QWidget;

// An object that receives the messages of a window that mSubClass attached it to: the
// window's own events and the commands of the program's menus. A target acts on the few
// messages it cares about and returns mSubClass::CallOldWndProc for the others; a message
// that it answers itself never reaches the window's own handling.
class IMessageTarget {
public:
    IMessageTarget() = default;
    IMessageTarget(const IMessageTarget&) = delete;
    IMessageTarget& operator=(const IMessageTarget&) = delete;
    // A target that goes away first is detached from its windows, so that no window ever
    // calls a dead target.
    virtual ~IMessageTarget();

    virtual qintptr Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam);
};
