#include "platform/GuardedApplication.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quibolet"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quibolet"));
    return 0;
}
