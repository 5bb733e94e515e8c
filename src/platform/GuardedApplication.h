#pragma once
#include <QApplication>

namespace platform {

// The application object of the program: an error that no window caught stops at this
// last guard, is shown in one French box, and the program goes on. Its keys and check boxes
// follow the same rules on every desktop (installDesktopRules).
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace platform
