#include "NumericEditor.h"

#include "platform/VbKeys.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace numericeditor {

void KeyPress(QLineEdit& box, int& KeyAscii) {
    if (KeyAscii == ',' || KeyAscii == '.') {
        if (box.text().contains(u',')) {
            KeyAscii = 0;
        } else if (box.cursorPosition() == 0) {
            box.setText(QStringLiteral("0,"));
            box.setCursorPosition(2);
            KeyAscii = 0;
        } else {
            KeyAscii = ',';
        }
    } else if (KeyAscii != platform::key::Back && (KeyAscii < '0' || KeyAscii > '9')) {
        KeyAscii = 0;
    }
}

bool routeKey(QLineEdit& box, const QKeyEvent& key, const KeyDownHandler& keyDown, const KeyPressHandler& keyPress) {
    if (int code = platform::keyCode(key)) {
        keyDown(code, platform::shiftState(key.modifiers()));
        if (code == 0) return true;
    }
    const int typed = platform::keyAscii(key);
    if (typed == 0) return false;
    int ascii = typed;
    keyPress(ascii);
    if (ascii == typed) return false;
    if (ascii != 0) box.insert(QString(QChar(ascii)));
    return true;
}

}  // namespace numericeditor
