// Linked into every test executable: however a test is run (through ctest, by hand, under a
// debugger), it works in a throw-away home of its own, offscreen, with the fusion style, a
// fixed locale and time zone, and sees none of the machine's printers. Nothing of the
// user's files, screen, language or print queues can then change a result or be changed.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace {

QTemporaryDir* home = nullptr;

void removeHome() { delete home; }

// Before main, so before Qt reads any of it: the platform and style when the application
// starts, the locale when it calls setlocale, the folders when a path is first asked for,
// the print server when printing support first asks for queues.
void isolate() {
    home = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/quibolet-test.XXXXXX"));
    if (!home->isValid()) qFatal("No temporary home for the test: %s", qPrintable(home->errorString()));
    std::atexit(removeHome);
    const QDir dir(home->path());
    const auto folder = [&dir](const char* name) {
        dir.mkpath(QString::fromLatin1(name));
        return QFile::encodeName(dir.filePath(QString::fromLatin1(name)));
    };
    qputenv("HOME", QFile::encodeName(home->path()));
    qputenv("XDG_CONFIG_HOME", folder("config"));
    qputenv("XDG_DATA_HOME", folder("data"));
    qputenv("XDG_CACHE_HOME", folder("cache"));
    qputenv("XDG_RUNTIME_DIR", folder("runtime"));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    folder("Documents");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_STYLE_OVERRIDE", "fusion");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    qputenv("TZ", "Europe/Paris");
    // A print server at a path that cannot exist has no queue and no default printer.
    qputenv("CUPS_SERVER", "/dev/null/no-print-server");
    // Offscreen, on the same screens on every machine: a desktop of 1920x1200 and, to its
    // right, one as small as that desktop is at a scale factor of 2.
    const QString screens = dir.filePath(QStringLiteral("screens.json"));
    QFile config(screens);
    if (!config.open(QIODevice::WriteOnly)
        || config.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1200},
                                        {"name": "small", "x": 1920, "y": 0, "width": 960, "height": 600}]})")
               < 0)
        qFatal("No screens for the test: %s", qPrintable(config.errorString()));
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
}

}  // namespace

Q_CONSTRUCTOR_FUNCTION(isolate)
