// Linked into every test executable: however a test is run (through ctest, by hand, under a
// debugger), it works in a throw-away home of its own, offscreen, with the fusion style, a
// fixed locale and time zone, and sees none of the machine's printers and only the fonts
// that scripts/install-deps installs. Nothing of the user's files, screen, language, fonts
// or print queues can then change a result or be changed. The database engine is started as
// the program starts it.
#include "platform/db/EngineVersion.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <utility>

namespace {

QTemporaryDir* home = nullptr;

void removeHome() { delete home; }

// Only the DejaVu fonts that the install brings, with the rules that Debian's fontconfig
// and those fonts enable by default: a font or a rule installed by hand on the machine
// (a font of other widths, a local preference) can neither make a test pass nor fail.
// The machine's cache is read where it is still valid; a cache of our own takes the rest.
QByteArray fontConfiguration(const QString& cache) {
    QByteArray text = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                      "<fontconfig>\n<dir>/usr/share/fonts/truetype/dejavu</dir>\n<cachedir>" +
                      cache.toHtmlEscaped().toUtf8() + "</cachedir>\n<cachedir>/var/cache/fontconfig</cachedir>\n";
    // The spellings of the generic families that Qt and older programs ask for.
    for (const auto& [alias, family] : {std::pair{"mono", "monospace"}, {"sans serif", "sans-serif"}, {"sans", "sans-serif"}})
        text += QByteArray("<match target=\"pattern\"><test qual=\"any\" name=\"family\"><string>") + alias +
                "</string></test><edit name=\"family\" mode=\"assign\" binding=\"same\"><string>" + family +
                "</string></edit></match>\n";
    static const char* const rules[] = {
        "10-hinting-slight", "10-scale-bitmap-fonts", "10-yes-antialias", "11-lcdfilter-default",
        "20-unhint-small-dejavu-lgc-sans-mono", "20-unhint-small-dejavu-lgc-sans", "20-unhint-small-dejavu-lgc-serif",
        "20-unhint-small-dejavu-sans-mono", "20-unhint-small-dejavu-sans", "20-unhint-small-dejavu-serif",
        "20-unhint-small-vera", "30-metric-aliases", "40-nonlatin", "45-generic", "45-latin", "48-spacing",
        "49-sansserif", "57-dejavu-sans-mono", "57-dejavu-sans", "57-dejavu-serif", "58-dejavu-lgc-sans-mono",
        "58-dejavu-lgc-sans", "58-dejavu-lgc-serif", "60-generic", "60-latin", "65-fonts-persian", "65-nonlatin",
        "69-unifont", "70-no-bitmaps", "80-delicious", "90-synthetic"};
    for (const char* rule : rules)
        text += QByteArray("<include ignore_missing=\"yes\">/etc/fonts/conf.d/") + rule + ".conf</include>\n";
    return text + "</fontconfig>\n";
}

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
    // A file of the home, written whole or the test goes no further.
    const auto written = [&dir](const char* name, const QByteArray& text) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush())
            qFatal("No %s for the test: %s", name, qPrintable(file.errorString()));
        return QFile::encodeName(file.fileName());
    };
    qputenv("FONTCONFIG_FILE", written("fonts.conf", fontConfiguration(QFile::decodeName(folder("cache/fontconfig")))));
    // Offscreen, on the same screens on every machine: a desktop of 1920x1200 and, to its
    // right, one as small as that desktop is at a scale factor of 2.
    qputenv("QT_QPA_PLATFORM",
            "offscreen:configfile=" +
                written("screens.json", R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1200},
                                        {"name": "small", "x": 1920, "y": 0, "width": 960, "height": 600}]})"));
    // A scale or resolution the user chose for the desktop would change every size measured.
    for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_ENABLE_HIGHDPI_SCALING",
                             "QT_USE_PHYSICAL_DPI", "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_QPA_PLATFORMTHEME"})
        qunsetenv(name);
    qputenv("QT_STYLE_OVERRIDE", "fusion");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    qputenv("TZ", "Europe/Paris");
    // A print server at a path that cannot exist has no queue and no default printer.
    qputenv("CUPS_SERVER", "/dev/null/no-print-server");
    db::startEngine();
}

}  // namespace

Q_CONSTRUCTOR_FUNCTION(isolate)
