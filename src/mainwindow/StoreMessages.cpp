#include "StoreMessages.h"

#include "Pictures.h"
#include "gradebook/Messages.h"
#include "gradebook/mUtilities.h"

#include <QApplication>

void connectStoreMessages() {
    mUtilities::setConversionQuestion([](const QString& title, const QString& message) {
        return messages::msgBox(QApplication::activeWindow(), message, 3, 2, title);
    });
    mUtilities::setNewGradebookNotice([](const QString& heading, const QStringList& lines) {
        messages::messageList(QApplication::activeWindow(), heading, lines, pictures::imaButton(3));
    });
}
