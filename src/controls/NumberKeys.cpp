#include "NumberKeys.h"

#include "platform/VbKeys.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace numberkeys {

void FilterNumberKey(QLineEdit& box, int& KeyAscii) {
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

bool TypeFiltered(QLineEdit& box, const QKeyEvent& key) {
    const int typed = platform::keyAscii(key);
    // Enter and Esc go on to the box's window: its default and cancel buttons.
    if (typed == 0 || typed == platform::key::Return || typed == platform::key::Escape) return false;
    int ascii = typed;
    FilterNumberKey(box, ascii);
    if (ascii == typed) return false;
    if (ascii != 0) box.insert(QString(QChar(ascii)));
    return true;
}

}  // namespace numberkeys
