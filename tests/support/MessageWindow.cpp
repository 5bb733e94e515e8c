#include "MessageWindow.h"

#include "controls/mSubClass.h"

namespace testsupport {

MessageWindow::MessageWindow() { mSubClass::SubclassWindow(this, this); }

MessageWindow::~MessageWindow() { mSubClass::UnsubclassWindow(this); }

qintptr MessageWindow::Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) {
    if (uMsg != mSubClass::WM_EVENT) messages.append({uMsg, wParam, lParam});
    if (answer)
        if (const auto r = answer(uMsg, wParam, lParam)) return *r;
    return mSubClass::CallOldWndProc(hWnd, uMsg, wParam, lParam);
}

QList<qintptr> MessageWindow::commands() const {
    QList<qintptr> ids;
    for (const WindowMessage& m : messages)
        if (m.uMsg == mSubClass::WM_COMMAND) ids.append(m.wParam);
    return ids;
}

}  // namespace testsupport
