// Where the program keeps its files and settings.
#include "platform/Paths.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
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
        QFile ini(platform::settingsFile());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("[StartUp]"));
    }
};

QTEST_MAIN(tst_AppFiles)
#include "tst_AppFiles.moc"
