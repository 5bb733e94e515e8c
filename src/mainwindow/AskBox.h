#pragma once
#include <QString>

class QWidget;

// Shows the program's message box modal over `owner` and returns its answer: "1", "2" or
// "3" for the button pressed, "" when it was closed without one. PictureType and FormType
// are those of frmMsgBox; focusedButton 0 leaves the box's default.
QString askMsgBox(QWidget* owner, const QString& message, int pictureType, int formType, int focusedButton = 0);
