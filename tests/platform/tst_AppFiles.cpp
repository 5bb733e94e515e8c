// Where the program keeps its files and settings, and what it says of itself.
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "VersionInfo.h"

#include <QDir>
#include <QFile>
#include <QTest>

class tst_AppFiles : public QObject {
    Q_OBJECT
private slots:
    void foldersFollowTheUsersHome() {
        const QString home = QDir::homePath();
        QCOMPARE(platform::paths::notesFolder(), home + QStringLiteral("/Documents/Quibolet/Notes"));
        QCOMPARE(platform::paths::exportFolder(), home + QStringLiteral("/Documents/Quibolet/Export"));
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quibolet");
        QCOMPARE(platform::paths::configFolder(), config);
        QCOMPARE(platform::paths::configFile(), config + QStringLiteral("/Quibolet.cfg"));
        QVERIFY(platform::paths::helpFile().endsWith(QStringLiteral("/Quibolet.html")));
        QCOMPARE(QFileInfo(platform::paths::helpFile()).absolutePath(), QCoreApplication::applicationDirPath());
    }

    void settingsAreKeptAsTextBySection() {
        QCOMPARE(platform::GetSetting(QStringLiteral("StartUp"), QStringLiteral("File"), QStringLiteral("XXXXXXXXX.XXX")),
                 QStringLiteral("XXXXXXXXX.XXX"));
        platform::SaveSetting(QStringLiteral("StartUp"), QStringLiteral("File"), QStringLiteral("/tmp/Année 2024-2025.dat"));
        platform::SaveSetting(QStringLiteral("StartUp"), QStringLiteral("Maximized"), QStringLiteral("True"));
        platform::SaveSetting(QStringLiteral("Autre"), QStringLiteral("File"), QStringLiteral("0"));
        QCOMPARE(platform::GetSetting(QStringLiteral("StartUp"), QStringLiteral("File")),
                 QStringLiteral("/tmp/Année 2024-2025.dat"));
        QCOMPARE(platform::GetSetting(QStringLiteral("StartUp"), QStringLiteral("Maximized"), QStringLiteral("False")),
                 QStringLiteral("True"));
        QCOMPARE(platform::GetSetting(QStringLiteral("Autre"), QStringLiteral("File")), QStringLiteral("0"));
        QCOMPARE(platform::settingsFile(), platform::paths::configFolder() + QStringLiteral("/Vorsk App Quibolet.ini"));
        QFile ini(platform::settingsFile());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("[StartUp]"));
    }

    void versionComesFromTheProject() {
        // Written into every gradebook: the conversion of older files depends on it.
        QCOMPARE(platform::version::text(), QStringLiteral("1.2.2"));
    }
};

QTEST_MAIN(tst_AppFiles)
#include "tst_AppFiles.moc"
