#include "AskBox.h"

#include "controls/frmMsgBox.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

QString askMsgBox(QWidget* owner, const QString& message, int pictureType, int formType, int focusedButton) {
    auto& box = platform::Form<frmMsgBox>::get();
    box.setMessage(message);
    box.setPictureType(pictureType);
    box.setFormType(formType);
    if (focusedButton > 0) box.setFocusedButton(focusedButton);
    platform::showModal(box, owner);
    const QString answer = box.Tag();
    platform::Form<frmMsgBox>::unload();
    return answer;
}
