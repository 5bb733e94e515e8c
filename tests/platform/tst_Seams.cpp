// The small seams every window stands on: French text to number or date and back whatever
// the user's locale, the roundings of grades, averages and bytes, colours, modal display,
// window instances, the user's folders and settings, and what a killed run leaves.
#include "platform/Dates.h"
#include "platform/FormInstance.h"
#include "platform/Leftovers.h"
#include "platform/Modal.h"
#include "platform/Numbers.h"
#include "platform/OleColor.h"
#include "platform/Paths.h"
#include "platform/ReplacingFile.h"
#include "platform/Settings.h"
#include "DbTestSupport.h"
#include "OtherRun.h"
#include "UiHelpers.h"

#include <QDialog>
#include <QDir>
#include <QLocale>
#include <QLockFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;
using namespace platform;
using namespace platform::numbers;

namespace {

// Another run of the program, writing a PDF in `folder` with a print folder in `temp` that
// holds a print file and one that a kill cut short.
testsupport::OtherRun printingRun(const QString& folder, const QString& temp) {
    return testsupport::OtherRun([&](const testsupport::OtherRun::Tell& tell) {
        const ReplacingFile pdf(folder + u"/notes.pdf"_s);
        const TrackedTemporary print(temp, {}, TrackedTemporary::PrivateFolder, TrackedTemporary::Contents::PrintFiles);
        for (const QString& name : {u"/vsk1.tmp"_s, u"/vsk2.tmp.Ab12Cd"_s})
            testsupport::writeFile(print.path() + name, "notes");
        tell({pdf.fileName(), print.path()});
    });
}

bool allExist(const QStringList& paths) {
    return std::all_of(paths.begin(), paths.end(), [](const QString& p) { return QFileInfo::exists(p); });
}

}  // namespace

class tst_Seams : public QObject {
    Q_OBJECT
private slots:
    void readsFrenchNumbersAndDatesWhateverTheLocale() {
        // A "." locale once read "12,5" as 125.
        const QDate today(2025, 3, 14);
        for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::French)}) {
            QLocale::setDefault(locale);
            for (const auto& [text, value] : {std::pair{"12,5", 12.5}, {"12.5", 12.5}, {",5", 0.5}, {"-3,25", -3.25}})
                QCOMPARE(parse(QString::fromLatin1(text)), std::optional<double>(value));
            QCOMPARE(dates::formatShortDate(QDate(2025, 3, 5)), u"05/03/2025"_s);
            const struct { const char* text; QDate date; } good[] = {
                {"5/3/2025", {2025, 3, 5}},  {" 05-03-25 ", {2025, 3, 5}}, {"5.3.1999", {1999, 3, 5}},
                {"1/9/30", {1930, 9, 1}},    {"1/9/29", {2029, 9, 1}},     {"29/2/2024", {2024, 2, 29}},
                {"12/10", {2025, 10, 12}},   {"1/1/100", {100, 1, 1}},
            };
            for (const auto& g : good)
                QCOMPARE(dates::parseShortDate(QString::fromLatin1(g.text), today), std::optional(g.date));
        }
        QLocale::setDefault(QLocale::c());
        for (const char* bad : {"", ",", "-", "1,2,3", "1 234,5", "12a", "1e5", "--1", "1-", "٣"})
            QVERIFY2(!parse(QString::fromUtf8(bad)), bad);
        QVERIFY(!parse(QString(400, u'9')));
        for (const char* bad : {"", "abc", "31/02/2025", "29/2/2025", "5/3-2025", "13/13/2025", "1/1/99999", "1/1/0099",
                                "5/3/2025 10:00", "2025-03-05"})
            QVERIFY2(!dates::parseShortDate(QString::fromLatin1(bad), today), bad);
    }

    // Grades show with up to seven digits. Averages round a half away from zero on the
    // decimal value shown, not on its binary neighbour; bytes round a half to the even
    // neighbour.
    void rounding() {
        QCOMPARE(formatGrade(15) + u' ' + formatGrade(double(12.3f)) + u' ' + formatGrade(double(19.99f)),
                 u"15 12,3 19,99"_s);
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        const struct { double value; int decimals; const char* shown; } averages[] = {
            {(10.1 + 10.2) / 2, 1, "10,2"}, {14.125, 2, "14,13"}, {14, 1, "14,0"}, {99.995, 2, "100,00"},
            {-2.25, 1, "-2,3"}, {-0.01, 1, "0,0"}, {2.5, 0, "3"}, {nan, 1, ""}, {inf, 1, ""},
            {1e20, 1, "100000000000000000000,0"},
        };
        for (const auto& a : averages)
            QCOMPARE(formatAverage(a.value, a.decimals), QString::fromLatin1(a.shown));
        QCOMPARE(formatAverage(16.0 / 3, u"0.0"_s), u"5,3"_s);
        for (const auto& [value, rounded] : {std::pair{2.5, 2.0}, {3.5, 4.0}, {-2.5, -2.0}, {255.5, 256.0}})
            QCOMPARE(roundHalfEven(value), rounded);
    }

    void coloursFollowTheOriginalPlatform() {
        QCOMPARE(oleColor(0xFF0000), QColor(0, 0, 255));
        QCOMPARE(toOleColor(QColor(10, 20, 30)), rgb(10, 20, 30));
        QCOMPARE(oleColor(sys::WindowBackground), QApplication::palette().color(QPalette::Base));
    }

    // A window is one instance until unloaded, then destroyed; a modal window is answered by
    // the responder queued for it.
    void formsAndModalWindows() {
        ModalTestScope scope;
        QDialog& p = Form<QDialog>::get();
        QCOMPARE(&Form<QDialog>::get(), &p);
        connect(new QPushButton(u"&Oui"_s, &p), &QPushButton::clicked, &p, &QDialog::accept);
        bool destroyed = false;
        connect(&p, &QObject::destroyed, this, [&] { destroyed = true; });
        scope.push([](QWidget& w) { testsupport::clickButton(w, u"Oui"_s); });
        QCOMPARE(showModal(p), int(QDialog::Accepted));
        Form<QDialog>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(destroyed);
    }

    void foldersAndSettingsFollowTheUsersHome() {
        QCOMPARE(paths::notesFolder(), QDir::homePath() + u"/Documents/Quibolet/Notes"_s);
        QCOMPARE(paths::configFile(), qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Quibolet/Quibolet.cfg"_s);
        QCOMPARE(settingsFile(), paths::configFolder() + u"/Vorsk App Quibolet.ini"_s);

        SaveSetting(u"StartUp"_s, u"File"_s, u"/tmp/Année 2024-2025.dat"_s);
        QCOMPARE(GetSetting(u"StartUp"_s, u"File"_s), u"/tmp/Année 2024-2025.dat"_s);
        flushSettings();
        // Saving does not wait for the file, here held by another writer.
        QLockFile held(settingsFile() + u".lock"_s);
        QVERIFY(held.lock());
        SaveSetting(u"Autre"_s, u"File"_s, u"1"_s);
        QCOMPARE(GetSetting(u"Autre"_s, u"File"_s), u"1"_s);
        held.unlock();
        flushSettings();
        const QByteArray text = testsupport::fileBytes(settingsFile());
        QVERIFY2(text.contains("[StartUp]") && text.contains("[Autre]\nFile=1"), text.constData());
    }

    // A run killed while it prints leaves its print folder, and the file it was writing beside
    // a PDF; the next start removes them, but never while their run lives, and a file on a
    // disk that is not there (a USB stick taken out) waits for a start that finds it.
    void killedRunsLeaveNothingAfterTheNextStart() {
        const QTemporaryDir dir;
        const QString stick = dir.filePath(u"stick"_s), away = dir.filePath(u"away"_s);
        QVERIFY(QDir().mkdir(stick));
        testsupport::OtherRun run = printingRun(stick, dir.path());
        QCOMPARE(run.made.size(), 2);
        QVERIFY(allExist(run.made));
        removeKilledRunsLeftovers();
        QVERIFY(allExist(run.made));

        run.kill();
        QVERIFY(allExist(run.made) && QDir().rename(stick, away));
        removeKilledRunsLeftovers();
        QVERIFY(!QFileInfo::exists(run.made[1]));
        QVERIFY(QDir().rename(away, stick) && QFileInfo::exists(run.made[0]));
        removeKilledRunsLeftovers();
        QCOMPARE(QDir(stick).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_MAIN(tst_Seams)
#include "tst_Seams.moc"
