#include "SystemMessage.h"

#include "Modal.h"

#include <QMessageBox>

namespace platform {

namespace {

void systemMessage(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("systemMessage"));
    showModal(box, owner);
}

}  // namespace

void criticalMessage(QWidget* owner, const QString& title, const QString& text) {
    systemMessage(owner, QMessageBox::Critical, title, text);
}

void warningMessage(QWidget* owner, const QString& title, const QString& text) {
    systemMessage(owner, QMessageBox::Warning, title, text);
}

void plainMessage(QWidget* owner, const QString& title, const QString& text) {
    systemMessage(owner, QMessageBox::NoIcon, title, text);
}

}  // namespace platform
