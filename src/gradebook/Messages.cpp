#include "Messages.h"

#include "controls/frmMessages.h"
#include "controls/frmMsgBox.h"
#include "controls/vskAdvLabel.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

#include <QLabel>

namespace messages {

QString msgBox(QWidget* owner, const QString& message, int pictureType, int formType, const QString& title,
               int focusedButton) {
    frmMsgBox& box = platform::Form<frmMsgBox>::get();
    if (!title.isEmpty()) box.setTitle(title);
    box.setMessage(message);
    box.setPictureType(pictureType);
    box.setFormType(formType);
    if (focusedButton > 0) box.setFocusedButton(focusedButton);
    platform::showModal(box, owner);
    const QString answer = box.Tag();
    platform::Form<frmMsgBox>::unload();
    return answer;
}

void messageList(QWidget* owner, const QString& heading, const QStringList& lines, const QPixmap& picture) {
    frmMessages& list = platform::Form<frmMessages>::get();
    list.lblInfo->setText(heading);
    for (const QString& line : lines) list.vskAL->AddItem(line, picture);
    if (list.vskAL->Show() > list.vskAL->Size())
        list.lblOverFlow->setText(QStringLiteral("(Toutes les erreurs ne sont pas listées.)"));
    platform::showModal(list, owner);
}

}  // namespace messages
