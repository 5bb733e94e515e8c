#pragma once
#include "platform/Modal.h"

#include <QString>
#include <QStringList>

// Answers to the modal windows of the start-up and main windows, for ModalTestScope::push.
namespace testsupport {

// The system box (critical icon): checks its text, then presses OK.
platform::ModalResponder systemMessage(const QString& text);

// The program's message box, or a system one: checks that its message begins with `start`,
// then presses the button captioned `button` ("" closes it without a button).
platform::ModalResponder msgBox(const QString& start, const QString& button);


// The password window: types the password, then Enter (or Esc when `escape`).
platform::ModalResponder password(const QString& typed, bool escape = false);

// A file dialog: types the name into it (or keeps its proposal when empty) and accepts; the
// dialog must then be gone (a refused name keeps it open).
platform::ModalResponder fileName(const QString& name);

// The message list: checks its heading, keeps its lines in `lines` when given, closes it.
platform::ModalResponder messageList(const QString& heading, QStringList* lines = nullptr);

}  // namespace testsupport
