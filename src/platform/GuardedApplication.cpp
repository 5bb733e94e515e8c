#include "GuardedApplication.h"

#include "Desktop.h"
#include "SystemMessage.h"
#include "VbError.h"

#include <QTimer>

namespace platform {
namespace {

void report(const QString& detail) {
    // Shown once control is back in the loop: the event that failed may have left a
    // window half-way through its own handler.
    QTimer::singleShot(0, [detail] {
        criticalMessage(nullptr, QStringLiteral("Quibolet"),
                        QStringLiteral("Une erreur inattendue s'est produite :\n%1").arg(detail));
    });
}

}  // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) { installDesktopRules(*this); }

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const VbError& e) {
        report(QStringLiteral("%1 (%2)").arg(e.description()).arg(e.number()));
    } catch (const std::exception& e) {
        report(QString::fromUtf8(e.what()));
    } catch (...) {
        report(QStringLiteral("erreur inconnue"));
    }
    return false;
}

}  // namespace platform
