#pragma once
#include <QPixmap>
#include <QString>
#include <QStringList>

class QWidget;

// The two ways the program talks to the user: a question or notice in the program's own
// message box, and a list of lines in the message-list window. Both are modal.
namespace messages {

// Shows the message box (pictureType 1 error, 2 warning, 3 information, 4 question;
// formType the set of buttons) and returns its answer: "1", "2" or "3" for the button
// pressed, "" when it was closed without one. An empty title keeps the program's name.
QString msgBox(QWidget* owner, const QString& message, int pictureType, int formType,
               const QString& title = {}, int focusedButton = 0);

// Shows the heading over the lines, each with the picture, and a note when they do not
// all fit.
void messageList(QWidget* owner, const QString& heading, const QStringList& lines, const QPixmap& picture);

}  // namespace messages
