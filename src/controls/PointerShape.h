#pragma once
#include <QCursor>
#include <QPixmap>

// The mouse pointer of the program's own controls is a number (0 = the default pointer,
// 99 = the control's own MouseIcon); this turns it into the cursor to show.
QCursor pointerCursor(int MousePointer, const QPixmap& MouseIcon);
