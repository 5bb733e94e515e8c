// Where the program keeps its files and settings.
#include "platform/Paths.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_AppFiles : public QObject {
    Q_OBJECT
private slots:
    void foldersFollowTheUsersHome() {
        QCOMPARE(platform::paths::notesFolder(), QDir::homePath() + u"/Documents/Quibolet/Notes"_s);
        QCOMPARE(platform::paths::configFile(), qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Quibolet/Quibolet.cfg"_s);
    }

    void settingsAreKeptAsTextBySection() {
        QCOMPARE(platform::GetSetting(u"StartUp"_s, u"File"_s, u"XXXXXXXXX.XXX"_s), u"XXXXXXXXX.XXX"_s);
        platform::SaveSetting(u"StartUp"_s, u"File"_s, u"/tmp/Année 2024-2025.dat"_s);
        platform::SaveSetting(u"StartUp"_s, u"Maximized"_s, u"True"_s);
        platform::SaveSetting(u"Autre"_s, u"File"_s, u"0"_s);
        QCOMPARE(platform::GetSetting(u"StartUp"_s, u"File"_s), u"/tmp/Année 2024-2025.dat"_s);
        QCOMPARE(platform::GetSetting(u"StartUp"_s, u"Maximized"_s, u"False"_s), u"True"_s);
        QCOMPARE(platform::GetSetting(u"Autre"_s, u"File"_s), u"0"_s);
        QCOMPARE(platform::settingsFile(), platform::paths::configFolder() + u"/Vorsk App Quibolet.ini"_s);
        platform::flushSettings();
        QFile ini(platform::settingsFile());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("[StartUp]"));

        // Saving does not wait for the file, here held by another writer.
        QLockFile held(platform::settingsFile() + u".lock"_s);
        QVERIFY(held.lock());
        platform::SaveSetting(u"Autre"_s, u"File"_s, u"1"_s);
        QCOMPARE(platform::GetSetting(u"Autre"_s, u"File"_s), u"1"_s);
        held.unlock();
        platform::flushSettings();
        ini.close();
        QVERIFY(ini.open(QIODevice::ReadOnly) && ini.readAll().contains("File=1"));
    }
};

QTEST_MAIN(tst_AppFiles)
#include "tst_AppFiles.moc"
