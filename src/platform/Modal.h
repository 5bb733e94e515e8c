#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace platform {

// Every modal window of the program (its own dialogs, message boxes, file and print
// dialogs) is shown through showModal. In use it runs the window's own loop and returns
// once the window is hidden or closed. Under a ModalTestScope, it shows the window and
// hands it to the next queued responder instead, so tests answer the real, configured
// window without a nested event loop.
//
// Returns the QDialog result for a dialog (QDialog::Accepted or Rejected), else 0.
int showModal(QWidget& window, QWidget* owner = nullptr);

// The window that a modal window was shown over, or nullptr.
QWidget* modalOwner(const QWidget& window);

using ModalResponder = std::function<void(QWidget& window)>;

class ModalTestScope {
public:
    ModalTestScope();
    ~ModalTestScope();
    ModalTestScope(const ModalTestScope&) = delete;
    ModalTestScope& operator=(const ModalTestScope&) = delete;

    // Queues the answer to the next modal window.
    void push(ModalResponder responder);
    // Responders not used yet.
    int pending() const;
    // Object names (or class names when unnamed) of the modal windows shown so far.
    QStringList shown() const;
};

bool inModalTestScope();

}  // namespace platform
