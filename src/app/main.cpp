#include "exchange/ExchangeFile.h"
#include "mainwindow/Pictures.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmSplash.h"
#include "platform/FormInstance.h"
#include "platform/GuardedApplication.h"
#include "platform/Leftovers.h"
#include "platform/Paths.h"
#include "platform/SystemMessage.h"
#include "platform/db/EngineVersion.h"
#include "VersionInfo.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
    db::startEngine();
    platform::GuardedApplication app(argc, argv);
    // The display name is left unset: set, the desktop adds it to every window's title,
    // which already reads as it should ("Carnet de notes - ...", "Quibolet - Messages").
    QApplication::setApplicationName(platform::version::productName());
    QApplication::setWindowIcon(pictures::logo(64));
    // Desktops group the program's windows under its menu entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("quibolet"));

    // What a killed run left (a print folder, a file half-written beside a PDF or a workbook,
    // an export's hidden file of names and grades) goes before anything else is made.
    platform::removeKilledRunsLeftovers();
    exchangefile::removeInterruptedExports(platform::paths::exportFolder());

    // The stock dialogs (files, colours, fonts, printing) speak French like the program.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    if (!db::cipherVersionSupported()) {
        platform::criticalMessage(nullptr, platform::version::productName(), db::unsupportedCipherMessage());
        return 1;
    }

    // The program ends when the start-up window goes without a main window on screen,
    // and when the main window goes.
    const auto quitWithoutWindow = [] {
        const frmMain* main = platform::Form<frmMain>::instance();
        if (!main || !main->isVisible()) QApplication::quit();
    };
    frmSplash& splash = platform::Form<frmSplash>::get();
    QObject::connect(&splash, &QObject::destroyed, &app, quitWithoutWindow, Qt::QueuedConnection);
    splash.show();
    return app.exec();
}
