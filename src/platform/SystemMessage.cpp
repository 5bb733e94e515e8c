#include "SystemMessage.h"

#include "Modal.h"

#include <QMessageBox>

namespace platform {

void criticalMessage(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("systemMessage"));
    showModal(box, owner);
}

}  // namespace platform
