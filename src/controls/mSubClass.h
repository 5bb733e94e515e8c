#pragma once
#include "controls/IMessageTarget.h"

class QEvent;
class QWidget;

// Hands every message of a window to one target object (IMessageTarget). On this
// platform the messages are the window's own events, wrapped as WM_EVENT, and the messages
// that the program sends or posts to the window itself: the menu commands (WM_COMMAND,
// WM_INITMENUPOPUP) and the scroll notifications.
namespace mSubClass {

inline constexpr int WM_COMMAND = 0x0111;
inline constexpr int WM_HSCROLL = 0x0114;
inline constexpr int WM_VSCROLL = 0x0115;
inline constexpr int WM_INITMENUPOPUP = 0x0117;
// One of the window's own events: wParam holds its type, lParam the event (WindowEvent).
inline constexpr int WM_EVENT = 0x8000;

// Attaches the target to the window: from now on every message of the window goes to the
// target's Message. A window has one target; attaching another one replaces it.
void SubclassWindow(QWidget* hWnd, IMessageTarget* target);

// Detaches the window's target; the window handles its messages alone again. Does nothing
// for a window without target.
void UnsubclassWindow(QWidget* hWnd);

// Gives a message to the window's own handling and returns its result. A window event is
// delivered to the window (1 when the window knew it, else 0; once only: another call for
// the same event returns 0). Other messages are the program's own: a window handles them
// only through its target, so their own handling does nothing and returns 0.
qintptr CallOldWndProc(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam);

// Hands a message to the window at once (to its target when it has one) and returns the
// result; 0 for no window.
qintptr SendMessage(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam);

// Queues a message for the window; it is handled once control is back in the event loop,
// and dropped if the window is gone by then.
void PostMessage(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam);

// The event that a WM_EVENT message carries, or nullptr for any other message.
QEvent* WindowEvent(int uMsg, qintptr lParam);

}  // namespace mSubClass
