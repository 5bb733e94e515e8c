// What a killed run made goes at the next start, and only that: whatever stands at its name
// since, or is linked from there, stays. The program's temporary folders are the user's alone.
#include "platform/Leftovers.h"
#include "platform/Paths.h"
#include "platform/Workbook.h"
#include "DbTestSupport.h"
#include "FileTraps.h"
#include "OtherRun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace platform;
using testsupport::fileBytes;
using testsupport::OtherRun;
using testsupport::writeFile;

namespace {

constexpr auto kPrintFiles = TrackedTemporary::Contents::PrintFiles;

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

int mode(const QString& path) {
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

}  // namespace

class tst_Leftovers : public QObject {
    Q_OBJECT
private slots:
    // Another's folder at a noted name, a link to precious files there, links in the folder
    // made: nothing is followed, and what the run did not make stays.
    void whatStandsThereSinceStays() {
        const QTemporaryDir dir;
        const QString precious = dir.filePath(u"précieux"_s), elsewhere = dir.filePath(u"ailleurs"_s);
        QVERIFY(QDir().mkdir(precious) && QDir().mkdir(elsewhere));
        for (const QString& name : {u"vsk1.tmp"_s, u"notes.txt"_s}) QVERIFY(writeFile(precious + u'/' + name, "précieux"));
        OtherRun run([&](const OtherRun::Tell& tell) {
            const TrackedTemporary replaced(dir.path(), {}, TrackedTemporary::PrivateFolder, kPrintFiles),
                linked(dir.path(), {}, TrackedTemporary::PrivateFolder, kPrintFiles),
                made(dir.path(), {}, TrackedTemporary::PrivateFolder, kPrintFiles),
                file(dir.path(), u".notes.pdf."_s, TrackedTemporary::File);
            tell({replaced.path(), linked.path(), made.path(), file.path()});
        });
        QCOMPARE(run.made.size(), 4);
        run.kill();
        const QString &replaced = run.made[0], &linked = run.made[1], &made = run.made[2], &file = run.made[3];
        // Made elsewhere first, so that they cannot take the inodes of what they replace.
        QVERIFY(writeFile(elsewhere + u"/vsk1.tmp"_s, "autre") && QFile::link(precious, elsewhere + u"/vsk2.tmp"_s));
        QVERIFY(QDir().rmdir(replaced) && QDir().rename(elsewhere, replaced));
        QVERIFY(QDir().rmdir(linked) && QFile::link(precious, linked));
        QVERIFY(writeFile(made + u"/vsk1.tmp"_s, "notes") &&
                QFile::link(precious + u"/vsk1.tmp"_s, made + u"/vsk2.tmp"_s) &&
                QFile::link(precious, made + u"/vsk3.tmp"_s) && QFile::link(precious, made + u"/sous-dossier"_s));
        QVERIFY(QDir().mkdir(file + u".autre"_s) && writeFile(file + u".autre/vsk1.tmp"_s, "autre") &&
                QFile::remove(file) && QDir().rename(file + u".autre"_s, file));
        // Notes of an earlier version say nothing of what they noted: only a file of this user's
        // goes, or the print files of a print folder, and the folder once nothing else is left.
        const QString notes = paths::configFolder() + u"/En cours/"_s, old = dir.filePath(u"quibolet-0123abcd"_s),
                      oldFile = dir.filePath(u".a.pdf.quibolet-0123abce"_s),
                      oldEmptied = dir.filePath(u"quibolet-0123abcf"_s);
        for (const QString& folder : {old, oldEmptied})
            QVERIFY(QDir().mkpath(folder) && writeFile(folder + u"/vsk1.tmp"_s, "notes") &&
                    writeFile(folder + u"/vsk2.tmp.Ab12Cd"_s, "notes") && QDir().mkpath(notes) &&
                    QFile::link(folder, notes + folder.right(8)));
        QVERIFY(writeFile(old + u"/notes.txt"_s, "notes") &&
                QFile::link(precious + u"/vsk1.tmp"_s, old + u"/vsk3.tmp"_s));
        QVERIFY(writeFile(oldFile, "pdf") && QFile::link(oldFile, notes + u"0123abce"_s));

        removeKilledRunsLeftovers();
        QCOMPARE(namesIn(precious), (QStringList{u"notes.txt"_s, u"vsk1.tmp"_s}));
        QCOMPARE(fileBytes(precious + u"/vsk1.tmp"_s), QByteArray("précieux"));
        QCOMPARE(namesIn(replaced), (QStringList{u"vsk1.tmp"_s, u"vsk2.tmp"_s}));
        QVERIFY(QFileInfo(linked).isSymLink());
        QCOMPARE(namesIn(made), (QStringList{u"sous-dossier"_s, u"vsk2.tmp"_s, u"vsk3.tmp"_s}));
        QCOMPARE(namesIn(file), QStringList{u"vsk1.tmp"_s});
        QCOMPARE(namesIn(old), (QStringList{u"notes.txt"_s, u"vsk3.tmp"_s}));
        QVERIFY(!QFileInfo::exists(oldEmptied) && !QFileInfo::exists(oldFile));
        QCOMPARE(namesIn(notes), QStringList());
    }

    // A note is read without waiting on what stands at its name or its lock's, and names the
    // kind of files that go with its folder: a pattern, or another kind, lets none of them go.
    // The notes of the version that kept patterns name them by the patterns it wrote.
    void aNoteNamesWhatGoesWithItsFolder() {
        const QTemporaryDir dir;
        const QString notes = paths::configFolder() + u"/En cours/"_s;
        QVERIFY(QDir().mkpath(notes));
        testsupport::WatchedFifo fifo(notes + u"0123abd0"_s);
        QVERIFY(fifo.made());
        for (const auto& [contents, left] :
             {std::pair{u".*"_s, QStringList{u"vsk1.tmp"_s}}, {u"library-parts"_s, QStringList{u"vsk1.tmp"_s}},
              {u"^vsk[0-9]+\\.tmp(\\.[A-Za-z0-9]{6})?$"_s, QStringList()}}) {
            OtherRun run([&](const OtherRun::Tell& tell) {
                const TrackedTemporary made(dir.path(), {}, TrackedTemporary::PrivateFolder, kPrintFiles);
                tell({made.path()});
            });
            QCOMPARE(run.made.size(), 1);
            run.kill();
            QVERIFY(writeFile(run.made[0] + u"/vsk1.tmp"_s, "notes"));
            for (const QString& name : QDir(notes).entryList({u"????????"_s}, QDir::Files)) {
                QByteArray note = fileBytes(notes + name);
                const QByteArray named = "\ncontents=" + contents.toUtf8().toPercentEncoding() + '\n';
                QVERIFY(note.contains("\ncontents=print-files\n"));
                QVERIFY(writeFile(notes + name, note.replace("\ncontents=print-files\n", named)));
            }
            removeKilledRunsLeftovers();
            QCOMPARE(namesIn(run.made[0]), left);
            QCOMPARE(QFileInfo::exists(run.made[0]), !left.isEmpty());
        }
        QVERIFY(!fifo.hung());
        QCOMPARE(namesIn(notes), QStringList());
        // Nor on what stands at the second name of a note's lock: that note stays.
        testsupport::WatchedFifo removal(notes + u"0123abd1.lock.rmlock"_s);
        QVERIFY(removal.made() && writeFile(notes + u"0123abd1"_s, "kind=file\n"));
        removeKilledRunsLeftovers();
        QVERIFY(!removal.hung());
        QVERIFY(QFile::remove(notes + u"0123abd1"_s) && QFile::remove(notes + u"0123abd1.lock.rmlock"_s));
    }

    // The session's folder when it is the user's alone, else the cache's, made so; the
    // workbook writer's parts leave nothing there nor beside the workbook.
    void temporariesAreTheUsersAlone() {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + u"/Quibolet"_s;
        QCOMPARE(paths::privateFolder(), runtime);
        QVERIFY(QDir().mkpath(cache) && ::chmod(QFile::encodeName(cache).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0755) == 0);
        const QString fallback = paths::privateFolder();
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0700) == 0);
        QCOMPARE(fallback, cache);
        QCOMPARE(mode(cache), 0700);

        const QTemporaryDir dir;
        writeWorkbook(dir.filePath(u"classe.xlsx"_s), u"Feuil1"_s, {{u"Nom"_s, u"12,5"_s}});
        QCOMPARE(namesIn(dir.path()), QStringList{u"classe.xlsx"_s});
        QCOMPARE(namesIn(runtime), QStringList());
    }
};

QTEST_MAIN(tst_Leftovers)
#include "tst_Leftovers.moc"
