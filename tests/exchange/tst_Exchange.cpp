// The exchange file and the import without their windows: the file's number, its schema and
// properties read back through a plain SQLCipher connection, what it holds for each way of
// choosing series, what a failed write leaves behind (nothing); a received file read and
// checked, students matched and named, the plan checked, and the import itself, whole or not
// at all.
#include "ExchangeTestKit.h"
#include "FileSizeLimit.h"
#include "FileTraps.h"
#include "TableDump.h"
#include "VersionInfo.h"
#include "exchange/ImportGrades.h"
#include "gradebook/mUtilities.h"

#include <QDir>
#include <QLockFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cfloat>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace testsupport;
using importgrades::Decision;
using importgrades::GradebookStudent;
using importgrades::Match;

namespace {

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
}

// Students of a file from "Surname First names", keyed from 1.
QList<exchangefile::Student> fileStudents(const QStringList& names) {
    QList<exchangefile::Student> students;
    for (const QString& n : names) students.append({qint32(students.size() + 1), n.section(u' ', 0, 0), n.section(u' ', 1)});
    return students;
}

// The same in a gradebook's class "6e A", keyed from 100.
QList<GradebookStudent> gradebookStudents(const QStringList& names) {
    QList<GradebookStudent> students;
    for (const exchangefile::Student& s : fileStudents(names)) students.append({s.numElv + 99, s.nom, s.prénom, 1, u"6e A"_s});
    return students;
}

exchangefile::Contents readFile(const QString& path) { return exchangefile::read(openGradebook(path)); }

// Each grade of each series of a class in a subject, with its student, or the series alone:
// what the teacher sees of them, whatever the keys.
QStringList seriesOf(const QString& path, int numClass, int numMat) {
    QStringList rows = rawRows(path, uR"(SELECT s."Nom", "Sur", "Coefficient", datetime("Date"), "Période", e."Nom", "Prénom", "Note"
        FROM "Séries" s LEFT JOIN "Notes" USING ("NumSérie") LEFT JOIN "Elèves" e USING ("NumElv")
        WHERE s."NumClass" = %1 AND "NumMat" = %2)"_s.arg(numClass).arg(numMat));
    rows.sort();
    return rows;
}

// Kills the process at once, as a kill or a power cut would, the files left as they are, as
// a connection writes a row into its own table "Notes": a grade into the gradebook.
int crashAtFirstGrade(sqlite3* h, const char**, const sqlite3_api_routines*) {
    sqlite3_update_hook(
        h,
        [](void*, int op, const char* db, const char* table, sqlite3_int64) {
            if (op == SQLITE_INSERT && qstrcmp(db, "main") == 0 && qstrcmp(table, "Notes") == 0) ::raise(SIGKILL);
        },
        nullptr);
    return SQLITE_OK;
}

// A gradebook of values at the edges of what its fields hold, picked at random (seeded).
void edgeGradebook(const QString& path) {
    QRandomGenerator random(20261208);
    const auto pick = [&]<typename T>(std::initializer_list<T> values) {
        return values.begin()[random.bounded(int(values.size()))];
    };
    GradebookBuilder b(path);
    const QList<int> subjects = {b.addSubject(QString(50, u'M')), b.addSubject(u" "_s)};
    const QList<int> classes = {b.addClass(QString(50, u'C'), u"C"_s), b.addClass(u" "_s, QString(15, u'c'))};
    const QStringList names[] = {{QString(50, u'N'), QString(50, u'P')}, {u" "_s, u" "_s}, {u"Ødegård"_s, u"É"_s}};
    for (int c = 0; c < classes.size(); ++c) {
        QList<int> students;
        for (const QStringList& name : names)  // names unique in the gradebook, of 50 letters still
            students << b.addStudent(classes[c], c ? name[0].left(49) + u'x' : name[0], name[1]);
        for (int m : subjects)
            for (int k = 3 + random.bounded(3); k > 0; --k) {
                const int series = b.addSeries(classes[c], m, pick({QString(30, u'S'), u"é"_s, u" "_s}), pick({0, 1, 20, 255}),
                                               pick({0, 1, 255}), 1 + random.bounded(3),
                                               pick({QDate(100, 1, 1), QDate(2024, 9, 2), QDate(9999, 12, 31)}));
                for (int student : students)
                    if (random.bounded(4))
                        b.addGrade(series, student, pick({0.0, -1.5, 13.3, 1e-30, 0.25, double(FLT_MAX), double(-FLT_MAX)}));
            }
    }
    b.close();
    craft(path, R"(UPDATE "Séries" SET "Date" = 'hier' WHERE rowid % 4 = 0)");  // a date no one can read
}

}  // namespace

class tst_Exchange : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_gradebook;  // written from by the tests of the file
    QList<int> m_students, m_series;  // series: two in period 1, one without grades in 2, one in 3
    QString m_sender;  // the exchange file the tests of the import receive
    int m_copies = 0;

    QString folder(const QString& name) const { return m_dir.filePath(name); }
    QString writeWith(const QList<int>& series, const QList<int>& periods, const QString& into) {
        const exchangefile::Selection s{1, 1, u"Seconde 2"_s, u"Mathématiques"_s, series, periods};
        return exchangefile::write(openGradebook(m_gradebook), s, into);
    }
    QString copyOf(const QString& path) {
        const QString copy = folder(u"copy%1.dat"_s.arg(++m_copies));
        QFile::copy(path, copy);
        return copy;
    }
    Receiver receiver() { return makeReceiver(folder(u"B%1.dat"_s.arg(++m_copies))); }

private slots:
    void initTestCase() {
        m_sender = makeSender(m_dir.path());
        m_gradebook = m_dir.filePath(u"carnet.dat"_s);
        GradebookBuilder b(m_gradebook);
        const int maths = b.addSubject(u"Mathématiques"_s), french = b.addSubject(u"Français"_s);
        const int c = b.addClass(u"Seconde 2"_s, u"2nde2"_s), other = b.addClass(u"Terminale"_s, u"Tle"_s);
        m_students = {b.addStudent(c, u"D'Amico"_s, u"Léa"_s), b.addStudent(c, u"Martin"_s, u"Jean \"Jo\""_s)};
        m_series = {b.addSeries(c, maths, u"Équations"_s, 20, 2, 1, QDate(2024, 9, 20)),
                    b.addSeries(c, maths, u"Fonctions"_s, 10, 1, 1, QDate(2024, 9, 10)),
                    b.addSeries(c, maths, u"Vide"_s, 20, 1, 2, QDate(2024, 12, 1)),
                    b.addSeries(c, maths, u"Géométrie dans l'espace"_s, 40, 3, 3, QDate(2025, 4, 2))};
        b.addGrade(m_series[0], m_students[0], 12.5);
        b.addGrade(m_series[0], m_students[1], 13.3);
        b.addGrade(m_series[3], m_students[0], 38.75);
        // Neither another subject's grades nor another class's students go out.
        b.addGrade(b.addSeries(c, french, u"Dictée"_s, 20, 1, 1), m_students[0], 9);
        b.addGrade(b.addSeries(other, maths, u"Autre"_s, 20, 1, 1), b.addStudent(other, u"Roux"_s, u"Ana"_s), 11);
    }

    void namesAreNumberedAfterTheHighestPresent() {
        const QString d = folder(u"numbers"_s);
        QCOMPARE(exchangefile::highestNumber(d), 0);  // no folder yet
        for (const char* name : {"Notes Export 0001.dat", "Notes Export 0002.dat", "Notes Export 0005.dat",
                                 "Notes Export 12ab.dat", "Notes Export 0042.dat.bak", "notes export 0050.dat",
                                 "Notes Export 99999999999999.dat", ".Notes Export 0060.dat"})
            QVERIFY(QDir().mkpath(d) && writeFile(d + u'/' + QString::fromUtf8(name), "x"));
        QVERIFY(QDir().mkpath(d + u"/Notes Export 0070.dat"_s));  // a folder is not a file
        QCOMPARE(exchangefile::highestNumber(d), 5);
        QVERIFY(writeFile(d + u"/Notes Export 10000.dat"_s, "x"));
        QCOMPARE(exchangefile::fileName(exchangefile::highestNumber(d) + 1), u"Notes Export 10001.dat"_s);

        // A written file takes the next number; a name already taken, by whatever, is never
        // replaced: the number passes to the next free one.
        const QString e = folder(u"written"_s);
        QCOMPARE(writeWith({}, {1}, e), e + u"/Notes Export 0001.dat"_s);
        QVERIFY(QDir().mkpath(e + u"/Notes Export 0002.dat"_s));
        QVERIFY(::symlink("absent", QFile::encodeName(e + u"/Notes Export 0003.dat"_s).constData()) == 0);
        QCOMPARE(writeWith({}, {1}, e), e + u"/Notes Export 0004.dat"_s);
        QVERIFY(!QFile::exists(e + u"/absent"_s));
        QCOMPARE(namesIn(e).size(), 4);
        // Nor is a name whose journal an earlier file left: it would be taken for the new file's.
        QVERIFY(writeFile(e + u"/Notes Export 0005.dat-journal"_s, "x"));
        QCOMPARE(writeWith({}, {1}, e), e + u"/Notes Export 0006.dat"_s);
    }

    void schemaAndPropertiesAreThoseOfAnExchangeFile() {
        const QString path = writeWith({}, {1}, folder(u"schema"_s));
        QCOMPARE(rawRows(path, u"SELECT Name, Type, Value FROM __Properties ORDER BY rowid"_s),
                 (QStringList{u"App|10|Vorsk App Quibolet Export"_s, u"VersionID|10|1.2.2"_s, u"Classe|10|Seconde 2"_s,
                              u"Matière|10|Mathématiques"_s, u"Commentaire|12|Aucun commentaire"_s, u"Importé|1|0"_s}));
        // Tables in order; each field's position, name, type, not-null flag and place in the
        // primary key; the other indexes, none unique.
        QCOMPARE(rawRows(path, u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE '\\_\\_%' "
                                 "ESCAPE '\\' ORDER BY rowid"_s),
                 (QStringList{u"Elèves"_s, u"Notes"_s, u"Séries"_s}));
        const auto columns = [&](const char* table) {
            QStringList c = rawRows(path, u"PRAGMA table_info(\"%1\")"_s.arg(QString::fromUtf8(table)));
            return c.replaceInStrings(u"|∅|"_s, u"|"_s).join(u", "_s);
        };
        QCOMPARE(columns("Elèves"), u"0|NumElv|INTEGER|1|1, 1|NumElvIn|INTEGER|0|0, 2|Nom|VARCHAR|0|0, 3|Prénom|VARCHAR|0|0"_s);
        QCOMPARE(columns("Notes"), u"0|Note|FLOAT|0|0, 1|NumSérie|INTEGER|1|1, 2|NumElv|INTEGER|1|2"_s);
        QCOMPARE(columns("Séries"), u"0|NumSérie|INTEGER|1|1, 1|Nom|VARCHAR|0|0, 2|Sur|TINYINT|0|0, "
                                    "3|Coefficient|TINYINT|0|0, 4|Date|DATETIME|0|0, 5|Période|TINYINT|0|0"_s);
        QCOMPARE(rawRows(path, u"SELECT name, sql LIKE '%UNIQUE%' FROM sqlite_master WHERE type = 'index' "
                                 "AND sql IS NOT NULL ORDER BY name"_s),
                 (QStringList{u"Elèves.NomPrénom|0"_s, u"Notes.NumElv|0"_s, u"Notes.NumSérie|0"_s, u"Séries.PériodeDate|0"_s}));
        QCOMPARE(rawRows(path, u"PRAGMA index_info(\"Séries.PériodeDate\")"_s), (QStringList{u"0|5|Période"_s, u"1|4|Date"_s}));

        // The sizes of the texts, and no other property on any field, as the engine keeps them.
        const db::Database file = openGradebook(path);
        QStringList fields;
        for (const QString& table : file.TableNames()) {
            // Held by name: the loop would otherwise walk the fields of a destroyed temporary.
            const db::TableDef def = file.TableDefs(table);
            for (const db::FieldDef& f : def.Fields())
                if (f.Size() || f.AutoIncrement() || f.Required() || f.AllowZeroLength() || !f.DefaultValue().isNull())
                    fields << u"%1.%2 %3"_s.arg(table, f.Name()).arg(f.Size());
        }
        QCOMPARE(fields, (QStringList{u"Elèves.Nom 50"_s, u"Elèves.Prénom 50"_s, u"Séries.Nom 30"_s}));
        QCOMPARE(mUtilities::GetFileKind(file), quint8(2));
        // Only the database password opens it.
        QCOMPARE(rawRows(path, u"SELECT count(*) FROM sqlite_master"_s, "123456 abcde"), QStringList());
    }

    void contentsFollowTheChoice() {
        const QString students = u"SELECT NumElv, NumElvIn, Nom, Prénom FROM Elèves ORDER BY rowid"_s;
        const QString series = u"SELECT NumSérie, Nom, Sur, Coefficient, Date, Période FROM Séries ORDER BY rowid"_s;
        const QString grades = u"SELECT NumSérie, NumElv, Note FROM Notes ORDER BY rowid"_s;
        const QStringList classStudents = {u"%1|∅|D'Amico|Léa"_s.arg(m_students[0]),
                                           u"%1|∅|Martin|Jean \"Jo\""_s.arg(m_students[1])};
        const QString p3 = u"%1|Géométrie dans l'espace|40|3|2025-04-02 08:00:00|3"_s.arg(m_series[3]);

        // One by one: the series given, every student of the class, their grades only.
        const QString one = writeWith({m_series[3], m_series[0]}, {}, folder(u"contents"_s));
        QCOMPARE(rawRows(one, students), classStudents);
        QCOMPARE(rawRows(one, series), (QStringList{u"%1|Équations|20|2|2024-09-20 08:00:00|1"_s.arg(m_series[0]), p3}));
        QCOMPARE(rawRows(one, grades), (QStringList{u"%1|%2|38.75"_s.arg(m_series[3]).arg(m_students[0]),
                                                      u"%1|%2|12.5"_s.arg(m_series[0]).arg(m_students[0]),
                                                      u"%1|%2|13.3000001907349"_s.arg(m_series[0]).arg(m_students[1])}));
        // Whole periods: every series of each; one without grades comes without grades.
        const QString two = writeWith({}, {2, 3}, folder(u"contents"_s));
        QCOMPARE(rawRows(two, students), classStudents);
        QCOMPARE(rawRows(two, series), (QStringList{u"%1|Vide|20|1|2024-12-01 08:00:00|2"_s.arg(m_series[2]), p3}));
        QCOMPARE(rawRows(two, grades), QStringList{u"%1|%2|38.75"_s.arg(m_series[3]).arg(m_students[0])});
    }

    void aFailureLeavesNoFile() {
        const QString d = folder(u"failures"_s);
        QVERIFY(QDir().mkpath(d) && writeFile(d + u"/Notes Export 0001.dat"_s, "earlier"));
        // A disk that fills up at different moments of the write: neither a numbered nor a
        // hidden file is left, and the earlier file is untouched.
        for (rlim_t limit : {rlim_t(1024), rlim_t(6 * 1024), rlim_t(12 * 1024)}) {
            const db::Database gradebook = openGradebook(m_gradebook);
            FileSizeLimit full(limit);
            QVERIFY_THROWS_EXCEPTION(std::exception, exchangefile::write(gradebook, {1, 1, u"C"_s, u"M"_s, {}, {1, 2, 3}}, d));
        }
        QCOMPARE(namesIn(d), QStringList{u"Notes Export 0001.dat"_s});
        QCOMPARE(fileBytes(d + u"/Notes Export 0001.dat"_s), QByteArray("earlier"));
        // A folder that cannot be made.
        QVERIFY(writeFile(folder(u"plainfile"_s), "x"));
        QVERIFY_THROWS_EXCEPTION(std::exception, writeWith({}, {1}, folder(u"plainfile"_s)));
        // What crashed exports left, without a lock or with one that nobody holds any more, goes
        // with the next export; what a live export holds stays. That export takes the next number.
        const QString hidden = d + u"/.Notes Export.0000000%1.tmp"_s;
        for (const QString& suffix : {u""_s, u"-journal"_s})
            for (const QString& which : {u"a"_s, u"b"_s, u"c"_s}) QVERIFY(writeFile(hidden.arg(which) + suffix, "x"));
        // A kill while an export removed another's stale lock leaves the lock of that removal.
        for (const QString& stale : {hidden.arg(u"b"_s) + u".lock"_s, hidden.arg(u"d"_s) + u".lock.rmlock"_s}) {
            QFile lockLeft(stale);
            QVERIFY(lockLeft.open(QIODevice::WriteOnly) &&
                    lockLeft.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1), QFileDevice::FileModificationTime));
        }
        QLockFile live(hidden.arg(u"c"_s) + u".lock"_s);
        QVERIFY(live.tryLock(0));
        // Only files: a folder of that name stays, and links of that name to files elsewhere,
        // those files with them.
        const QString precious = folder(u"ailleurs"_s) + u"/précieux"_s;
        QVERIFY(QDir().mkpath(hidden.arg(u"e"_s)) && writeFile(hidden.arg(u"e"_s) + u"/notes"_s, "x") &&
                QDir().mkpath(folder(u"ailleurs"_s)) && writeFile(precious, "précieux"));
        for (const QString& suffix : {u""_s, u"-journal"_s}) QVERIFY(QFile::link(precious, hidden.arg(u"f"_s) + suffix));
        QCOMPARE(QFileInfo(writeWith({}, {1, 2, 3}, d)).fileName(), u"Notes Export 0002.dat"_s);
        const QStringList others{u".Notes Export.0000000e.tmp"_s, u".Notes Export.0000000f.tmp"_s,
                                 u".Notes Export.0000000f.tmp-journal"_s, u"Notes Export 0001.dat"_s,
                                 u"Notes Export 0002.dat"_s};
        QCOMPARE(namesIn(d), QStringList({u".Notes Export.0000000c.tmp"_s, u".Notes Export.0000000c.tmp-journal"_s,
                                          u".Notes Export.0000000c.tmp.lock"_s}) + others);
        QCOMPARE(namesIn(hidden.arg(u"e"_s)), QStringList{u"notes"_s});
        QCOMPARE(fileBytes(precious), QByteArray("précieux"));
        // Its export killed, what it held goes at the next start, before any export.
        live.unlock();
        exchangefile::removeInterruptedExports(d);
        QCOMPARE(namesIn(d), others);
        // An export killed between making its lock and writing in it leaves the lock empty: what
        // it held goes at the next start however young the lock, unless a live process holds it.
        QStringList held;
        for (const QString& which : {u"1"_s, u"2"_s})
            for (const QString& suffix : {u""_s, u"-journal"_s, u".lock"_s}) {
                QVERIFY(writeFile(hidden.arg(which) + suffix, suffix == u".lock"_s ? "" : "x"));
                if (which == u"2"_s) held << QFileInfo(hidden.arg(which) + suffix).fileName();
            }
        OtherCopy holder(hidden.arg(u"2"_s) + u".lock"_s);
        QVERIFY(holder.holds());
        exchangefile::removeInterruptedExports(d);
        held += others;
        held.sort();
        QCOMPARE(namesIn(d), held);
        holder.kill();
        exchangefile::removeInterruptedExports(d);
        QCOMPARE(namesIn(d), others);
        // A FIFO at a lock's name is no run's lock: not waited on, and what it names stays.
        WatchedFifo fifo(hidden.arg(u"3"_s) + u".lock"_s);
        QVERIFY(fifo.made() && writeFile(hidden.arg(u"3"_s), "x"));
        exchangefile::removeInterruptedExports(d);
        QVERIFY(!fifo.hung());
        QVERIFY(QFile::exists(hidden.arg(u"3"_s)));
        // Nor at the lock's second name, which the removal of a stale lock reads, whatever the
        // lock: none, an empty one, a killed run's long stale.
        WatchedFifo none(hidden.arg(u"4"_s) + u".lock.rmlock"_s), empty(hidden.arg(u"5"_s) + u".lock.rmlock"_s),
            stale(hidden.arg(u"6"_s) + u".lock.rmlock"_s);
        const QString old = folder(u"ailleurs/ancien"_s);
        for (const QString& path : {hidden.arg(u"6"_s) + u".lock"_s, old}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1 &&
                    file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1), QFileDevice::FileModificationTime));
        }
        for (const QString& which : {u"4"_s, u"5"_s, u"6"_s}) QVERIFY(writeFile(hidden.arg(which), "x"));
        QVERIFY(none.made() && empty.made() && stale.made() && writeFile(hidden.arg(u"5"_s) + u".lock"_s, ""));
        exchangefile::removeInterruptedExports(d);
        QVERIFY(!none.hung() && !empty.hung() && !stale.hung());
        for (const QString& which : {u"4"_s, u"5"_s, u"6"_s}) QVERIFY(QFile::exists(hidden.arg(which)));
        // In a folder that others write to, another user's files stay, its lock among them, and
        // its link at a lock's second name, with what that lock holds.
        const QString link = hidden.arg(u"8"_s) + u".lock.rmlock"_s;
        const QStringList theirs{hidden.arg(u"7"_s), hidden.arg(u"7"_s) + u"-journal"_s, hidden.arg(u"7"_s) + u".lock"_s};
        for (const QString& path : theirs) QVERIFY(writeFile(path, path.endsWith(u"lock"_s) ? "" : "x"));
        QVERIFY(writeFile(hidden.arg(u"8"_s), "x") && QFile::link(old, link));
        for (const QString& path : theirs + QStringList{link})
            if (::lchown(QFile::encodeName(path).constData(), ::geteuid() + 1, gid_t(-1)) != 0)
                QSKIP("Only root gives a file to another user");
        exchangefile::removeInterruptedExports(d);
        for (const QString& path : theirs + QStringList{link, hidden.arg(u"8"_s)}) QVERIFY(QFileInfo::exists(path));
    }

    // A file of 1.2.0 is stamped with this version; an older one is left as it is, never
    // converted like a gradebook.
    void versionsOfAFile() {
        for (const auto& [written, after] : {std::pair(u"1.2.0"_s, platform::version::text()), std::pair(u"1.1.5"_s, u"1.1.5"_s)}) {
            const db::Database f = openGradebook(copyOf(m_sender));
            f.Properties(u"VersionID"_s).setValue(written);
            exchangefile::restampVersion(f);
            QCOMPARE(f.Properties(u"VersionID"_s).Value().toString(), after);
            QCOMPARE(f.TableDefs(u"Séries"_s).fieldIndex(u"Colonne"_s), -1);
        }
    }

    void refusesDamagedFiles_data() {
        QTest::addColumn<QByteArray>("sql");
        // Each row named by the damage it does.
        for (const char* sql : {R"(UPDATE "Séries" SET "Période" = 4)", R"(UPDATE "Séries" SET "Période" = 0)",
                                R"(UPDATE "Séries" SET "Sur" = 300)", R"(UPDATE "Séries" SET "Sur" = 'vingt')",
                                R"(UPDATE "Elèves" SET "Nom" = '' WHERE "Prénom" = 'Jean')", R"(UPDATE "Elèves" SET "Nom" = NULL)",
                                R"(UPDATE "Elèves" SET "Nom" = printf('%.60c', 'x'))",
                                R"(UPDATE "Séries" SET "Nom" = printf('%.31c', 'x'))", R"(UPDATE "Notes" SET "Note" = 1e39)",
                                R"(UPDATE "Notes" SET "Note" = NULL)", R"(UPDATE "Notes" SET "Note" = 'douze')",
                                R"(UPDATE "Notes" SET "NumElv" = 'x' WHERE "Note" = 0)",
                                R"(UPDATE "Elèves" SET "NumElv" = 4294967297 WHERE rowid = 1)",
                                R"(UPDATE "Notes" SET "NumSérie" = 1.5 WHERE rowid = 1)", R"(DROP TABLE "Notes")",
                                R"(DELETE FROM "__Properties" WHERE "Name" = 'Importé')",
                                R"(UPDATE "__Properties" SET "Value" = '' WHERE "Name" = 'Classe')",
                                R"(UPDATE "__Properties" SET "Value" = printf('%.4001c', 'x') WHERE "Name" = 'Commentaire')",
                                // Grades of a student or of a series that the file does not hold.
                                R"(DELETE FROM "Elèves" WHERE "Nom" = 'Nguyen')", R"(DELETE FROM "Séries" WHERE rowid = 2)"})
            QTest::newRow(sql) << QByteArray(sql);
        // As a damaged page leaves it: a series moved to another period, its index not told.
        QTest::newRow("a series moved behind its index")
            << behindIndex("Séries.PériodeDate", "rowid = 1", "UPDATE Séries SET Période = 1 + Période % 3 WHERE rowid = 1");
    }

    // A damaged file is refused as it is opened, and reading it writes nothing to it.
    void refusesDamagedFiles() {
        QFETCH(QByteArray, sql);
        const QString path = copyOf(m_sender);
        QCOMPARE(craft(path, sql), 0);
        const QByteArray before = fileBytes(path);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, readFile(path));
        QCOMPARE(fileBytes(path), before);
    }

    // Each file student's decision as the file keeps it, the student and the class; untreated
    // without any.
    void matchesByNameOverEveryClass() {
        const auto students = gradebookStudents({u"Dupont Élodie"_s, u"Le Gall Anne"_s, u"Martin Jean Paul"_s,
                                                 u"O'Brien Seán"_s, u"Elodie Muller"_s});
        const auto file = fileStudents({u"DUPONT ÉLODIE"_s, u"Le Gall Anne"_s, u"Martin Jean"_s, u"o'brien SEÁN"_s,
                                        u"Elodie Müller"_s, u"Dupont Elodie"_s});
        const QList<Decision> d = importgrades::autoMatch(file, students);
        QStringList found;
        for (const Decision& one : d)
            found << u"%1/%2/%3"_s.arg(one.numElvIn().isNull() ? u"∅"_s : one.numElvIn().toString(), one.name(), one.className);
        // A first name of one word more is another student; accents count.
        QCOMPARE(found, (QStringList{u"100/Dupont Élodie/6e A"_s, u"101/Le Gall Anne/6e A"_s, u"∅//"_s,
                                     u"103/O'Brien Seán/6e A"_s, u"∅//"_s, u"∅//"_s}));
        QCOMPARE(importgrades::processed(d), 3);
    }

    void createdStudentsGetFreeNames() {
        QStringList taken = {u"Nguyen Anh"_s, u"NGUYEN ANH2"_s};
        const auto file = fileStudents({u"Nguyen Anh"_s, u"Nguyen Anh"_s, u"Petit Léo"_s});
        QList<Decision> d(3);
        const auto name = [&](int self) {
            const importgrades::NewName n = importgrades::freeName(file, self, gradebookStudents(taken), d);
            return n.name() + (n.changed ? u" (changed)"_s : u""_s);
        };
        QCOMPARE(name(0), u"Nguyen Anh3 (changed)"_s);
        d[0] = importgrades::create(importgrades::freeName(file, 0, gradebookStudents(taken), d), 1, u"6e A"_s);
        // The other student of that name, marked for creation too, does not take the same;
        // deciding again for the same student keeps the name it had.
        QCOMPARE(name(1), u"Nguyen Anh4 (changed)"_s);
        QCOMPARE(name(0), u"Nguyen Anh3 (changed)"_s);
        QCOMPARE(name(2), u"Petit Léo"_s);
        // Far more than a byte could count.
        for (int n = 3; n <= 300; ++n) taken << u"Nguyen Anh%1"_s.arg(n);
        QCOMPARE(name(1), u"Nguyen Anh301 (changed)"_s);
    }

    void progressAndSummaryTexts() {
        QCOMPARE(importgrades::progressText(1, 4),
                 u"1 élève(s) traité(s) sur 4\nIndiquez au programme ce que vous souhaitez pour le(s) 3 élève(s) "
                 "restant(s). Pour celà, mettre le nom de l'élève en surbrillance puis taper 'Entrée'; ou double-clic "
                 "sur le nom."_s);
        QCOMPARE(importgrades::progressText(4, 4),
                 u"Les 4 élèves du fichier d'exportation sont traités.\nVous pouvez procéder à l'importation, ou modifier "
                 "certaines associations. Pour celà, mettre le nom de l'élève en surbrillance puis taper 'Entrée'; ou "
                 "double-clic sur le nom."_s);
        const importgrades::Summary none = importgrades::summarize({importgrades::reject(), importgrades::reject()});
        QVERIFY(importgrades::nothingToImport(none));
        QCOMPARE(importgrades::summaryText(none, u"Maths"_s),
                 u"La collecte des informations est terminée.\n\nVous avez rejeté tous les élèves du fichier.\n\n"
                 "Il n'y a donc rien à importer."_s);
    }

    // A plan that cannot be imported as it stands is refused before anything is written.
    void refusesUnsoundPlans() {
        const Receiver r = receiver();
        const db::Database b = openGradebook(r.gradebook);
        const auto students = importgrades::readStudents(b);
        const auto file = fileStudents({u"Un a"_s, u"Deux b"_s, u"Trois c"_s, u"Quatre d"_s, u"Cinq e"_s});
        const GradebookStudent gone{999, u"Absent"_s, u"Paul"_s, r.classB, u"2nde B"_s};
        const QList<Decision> plan = {importgrades::associate(students[0]), importgrades::associate(students[0]),
                                      importgrades::associate(gone),
                                      importgrades::create({u"Neuf"_s, u"x"_s, false}, 777, u"Disparue"_s), {}};
        QCOMPARE(importgrades::refusals(b, file, plan),
                 (QStringList{u"Un a et Deux b sont associés au même élève de votre carnet de notes: D'Amico Léa."_s,
                              u"L'élève Absent Paul, associé à Trois c, ne figure plus dans votre carnet de notes."_s,
                              u"La classe Disparue, choisie pour créer Quatre d, n'existe plus."_s,
                              u"Cinq e n'est pas encore traité."_s}));
        const QList<Decision> names = {importgrades::create({u"martin"_s, u"JEAN"_s, false}, r.classB, u"2nde B"_s),
                                       importgrades::create({u"Neuf"_s, u"x"_s, false}, r.classB, u"2nde B"_s),
                                       importgrades::create({u"neuf"_s, u"X"_s, false}, r.classC, u"1re C"_s)};
        QCOMPARE(importgrades::refusals(b, file.mid(0, 3), names),
                 (QStringList{u"Le nom martin JEAN, choisi pour créer Un a, est déjà utilisé pour désigner un élève."_s,
                              u"Deux b et Trois c seraient tous deux créés sous le nom neuf X."_s}));
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("table");  // where a failure comes first, if anywhere
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("importedBefore");
        QTest::newRow("no failure") << QString() << 0 << -1 << false;
        QTest::newRow("new student") << u"Elèves"_s << 3 << int(importgrades::Failure::Students) << false;
        QTest::newRow("first series") << u"Séries"_s << 0 << int(importgrades::Failure::Grades) << false;
        QTest::newRow("last series") << u"Séries"_s << 3 << int(importgrades::Failure::Grades) << false;
        QTest::newRow("first grade") << u"Notes"_s << 0 << int(importgrades::Failure::Grades) << false;
        QTest::newRow("last grade") << u"Notes"_s << 3 << int(importgrades::Failure::Grades) << false;
        QTest::newRow("file imported before") << u"Notes"_s << 3 << int(importgrades::Failure::Grades) << true;
        QTest::newRow("marking the file") << u"__Properties"_s << 0 << int(importgrades::Failure::Marking) << false;
    }

    // A exports, B imports with an association by name, one across letter case, one
    // rejection and one creation. A failure at any step leaves B and the file as they were;
    // once its cause is gone, running it again imports exactly what the plan says, once.
    void roundTrip() {
        QFETCH(QString, table);
        QFETCH(int, after);
        QFETCH(int, step);
        QFETCH(bool, importedBefore);
        const Receiver r = receiver();
        const QString file = copyOf(m_sender);
        const db::Database b = openGradebook(r.gradebook);
        const db::Database f = openGradebook(file);
        const exchangefile::Contents c = exchangefile::read(f);
        const QList<GradebookStudent> students = importgrades::readStudents(b);
        QList<Decision> plan = importgrades::autoMatch(c.students, students);
        plan[1] = importgrades::reject();
        plan[3] = importgrades::create(importgrades::freeName(c.students, 3, students, plan), r.classC, u"1re C"_s);
        QVERIFY(importgrades::refusals(b, c.students, plan).isEmpty());
        if (!table.isEmpty()) {
            const auto before = dumpTables(r.gradebook);
            const auto decisions = exchangefile::readDecisions(f);
            exchangefile::setImported(f, importedBefore);
            // The row after `after` rows added is refused, whichever step adds it; in the
            // file, its mark.
            const bool inFile = table.startsWith(u"__"_s);
            const QString target = inFile ? file : r.gradebook;
            failOn(target, inFile ? "UPDATE" : "INSERT", table, u"(SELECT count(*) FROM \"%1\") >= %2"_s.arg(table).arg(after));
            int failedAt = -1;
            try {
                importgrades::importMarked(b, f, c, plan, r.maths);
            } catch (const importgrades::Failure& failure) {
                failedAt = failure.step();
            }
            QCOMPARE(failedAt, step);
            QCOMPARE(dumpTables(r.gradebook), before);
            QCOMPARE(f.Properties(u"Importé"_s).Value(), QVariant(importedBefore));
            QCOMPARE(exchangefile::readDecisions(f), decisions);
            dropFailures(target);
        }
        importgrades::importMarked(b, f, c, plan, r.maths);
        QCOMPARE(tableRows(r.gradebook, u"Elèves"_s).last(), u"4|Nguyen|Anh|%1|∅"_s.arg(r.classC));
        // Each file series once in each class reached, in file order: 2nde B first.
        QCOMPARE(tableRows(r.gradebook, u"Séries"_s),
                 (QStringList{u"1|Équations|20|2|2024-09-20 08:00:00|1|%1|%2|600"_s.arg(r.maths).arg(r.classB),
                              u"2|Équations|20|2|2024-09-20 08:00:00|1|%1|%2|600"_s.arg(r.maths).arg(r.classC),
                              u"3|Fonctions|10|1|2024-12-10 08:00:00|2|%1|%2|600"_s.arg(r.maths).arg(r.classB),
                              u"4|Fonctions|10|1|2024-12-10 08:00:00|2|%1|%2|600"_s.arg(r.maths).arg(r.classC)}));
        QCOMPARE(tableRows(r.gradebook, u"Notes"_s),
                 (QStringList{u"12.5|1|%1"_s.arg(r.damico), u"8.0|1|%1"_s.arg(r.dupont), u"15.0|3|%1"_s.arg(r.damico),
                              u"0.0|4|4"_s}));
        QCOMPARE(f.Properties(u"Importé"_s).Value(), QVariant(true));
        QCOMPARE(exchangefile::readDecisions(f).at(3), (std::pair<qint32, QVariant>(4, 4)));
    }

    // The program killed in the middle of an import: at its first grade, the file marked and
    // series written; as the journal that commits both files is written, before their
    // journals name it; or in the commit, the moment both name it and it is about to go. Once
    // they are opened again by the program, the gradebook and the file are as they were, the
    // file unmarked, never marked with nothing imported, and no journal of the commit left
    // behind. (Committed, both are written: roundTrip.) At the first grade, SQLite has
    // written nothing to either file yet: that row shows only that nothing is kept.
    void aKillDuringAnImportLeavesBothFilesAsTheyWere_data() {
        QTest::addColumn<int>("kill");
        QTest::newRow("at the first grade") << 0;
        QTest::newRow("as the commit's journal is written") << 1;
        QTest::newRow("in the commit") << 2;
    }

    void aKillDuringAnImportLeavesBothFilesAsTheyWere() {
        QFETCH(int, kill);
        const Receiver r = receiver();
        const QString file = copyOf(m_sender);
        const auto before = dumpTables(r.gradebook);
        const pid_t child = ::fork();
        if (child == 0) {
            // Nothing is added to the files: a connection that removed it afterwards would roll
            // back the journal itself, before the program could show that it does.
            if (kill == 0) sqlite3_auto_extension(reinterpret_cast<void (*)()>(crashAtFirstGrade));
            // The system's own file layer, under every other, kills as the journal that commits
            // both files is made sure of (the files' journals do not name it yet), or at its
            // removal: the commit's last step before it holds.
            static int (*systemDelete)(sqlite3_vfs*, const char*, int) = nullptr;
            static int (*systemOpen)(sqlite3_vfs*, const char*, sqlite3_file*, int, int*) = nullptr;
            static sqlite3_io_methods killedAtSync;
            sqlite3_vfs* system = sqlite3_vfs_find("unix");
            systemDelete = system->xDelete;
            systemOpen = system->xOpen;
            system->xDelete = [](sqlite3_vfs* vfs, const char* name, int sync) {
                if (QByteArray(name).contains("-mj")) ::raise(SIGKILL);
                return systemDelete(vfs, name, sync);
            };
            if (kill == 1)
                system->xOpen = [](sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* out) {
                    const int rc = systemOpen(vfs, name, f, flags, out);
                    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MASTER_JOURNAL)) {
                        killedAtSync = *f->pMethods;
                        killedAtSync.xSync = [](sqlite3_file*, int) -> int { ::raise(SIGKILL); return SQLITE_IOERR; };
                        f->pMethods = &killedAtSync;
                    }
                    return rc;
                };
            try {
                const db::Database b = openGradebook(r.gradebook), f = openGradebook(file);
                const exchangefile::Contents c = exchangefile::read(f);
                importgrades::importMarked(b, f, c, importgrades::autoMatch(c.students, importgrades::readStudents(b)),
                                           r.maths);
            } catch (...) {
            }
            ::_exit(1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        const QFileInfo gradebook(r.gradebook);
        if (kill > 0)  // killed where meant, the journal that commits both still there
            QCOMPARE(gradebook.dir().entryList({gradebook.fileName() + u"-mj*"_s}).size(), 1);
        else  // killed while SQLite still held every change in its cache: no journal to roll back
            QVERIFY(!fileBytes(r.gradebook + u"-journal"_s).startsWith("\xd9\xd5\x05\xf9"));
        // Opened by the program first: what the kill left is rolled back there, not refused.
        QCOMPARE(dbError([&] { openGradebook(r.gradebook); }), -1);
        QCOMPARE(dbError([&] { openGradebook(file); }), -1);
        QCOMPARE(gradebook.dir().entryList({gradebook.fileName() + u"-mj*"_s}), QStringList());
        QCOMPARE(dumpTables(r.gradebook), before);
        QCOMPARE(rawRows(file, uR"(SELECT "Value" FROM "__Properties" WHERE "Name" = 'Importé')"_s), QStringList{u"0"_s});
    }

    // A journal that appeared beside the file after it was opened and checked, which the
    // attaching to the gradebook would play back unchecked, stops the import before anything
    // is written, and stays as it was.
    void anUncheckedJournalStopsTheImport() {
        const Receiver r = receiver();
        const QString file = copyOf(m_sender), journal = file + u"-journal"_s;
        const auto before = dumpTables(r.gradebook);
        const db::Database b = openGradebook(r.gradebook), f = openGradebook(file);
        const exchangefile::Contents c = exchangefile::read(f);
        const QByteArray stray = QByteArray("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7") + QByteArray(1024, 'j');
        QVERIFY(writeFile(journal, stray));
        int step = -1;
        try {
            importgrades::importMarked(b, f, c, importgrades::autoMatch(c.students, importgrades::readStudents(b)),
                                       r.maths);
        } catch (const importgrades::Failure& failure) {
            step = failure.step();
        }
        QCOMPARE(step, int(importgrades::Failure::Marking));
        QCOMPARE(fileBytes(journal), stray);
        QCOMPARE(dumpTables(r.gradebook), before);
    }

    // Whatever a gradebook holds, its exchange file passes the import's checks and comes in
    // exactly: every class and subject of a gradebook of values at the edges, exported whole
    // and imported into a new gradebook, shows there the same series and grades.
    void whatIsExportedIsImportedExactly() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"G.dat"_s);
        edgeGradebook(path);
        const db::Database g = openGradebook(path);
        int files = 0;
        for (const QString& c : rawRows(path, uR"(SELECT "NumClass", "Nom" FROM "Classes")"_s))
            for (const QString& m : rawRows(path, uR"(SELECT "NumMat", "Nom" FROM "Matières")"_s)) {
                const int numClass = c.section(u'|', 0, 0).toInt(), numMat = m.section(u'|', 0, 0).toInt();
                const QStringList sent = seriesOf(path, numClass, numMat);
                if (sent.isEmpty()) continue;
                const exchangefile::Selection whole{numClass, numMat, c.section(u'|', 1, 1), m.section(u'|', 1, 1), {}, {1, 2, 3}};
                const QString file = exchangefile::write(g, whole, dir.filePath(u"Export"_s));
                const exchangefile::Contents contents = readFile(file);
                const Receiver r = makeReceiver(dir.filePath(u"R%1.dat"_s.arg(++files)));
                QList<Decision> plan;
                for (int i = 0; i < contents.students.size(); ++i)
                    plan << importgrades::create(importgrades::freeName(contents.students, i, {}, plan), r.classC, u"1re C"_s);
                importgrades::importGrades(openGradebook(r.gradebook), contents, plan, r.maths);
                QCOMPARE(seriesOf(r.gradebook, r.classC, r.maths), sent);
            }
        QVERIFY(files > 3);
    }

    // Files with values changed at random: each is refused or imported soundly, and a refused
    // one leaves the gradebook as it was.
    void mutatedFilesAreRefusedOrImportedSoundly() {
        QRandomGenerator random(20261207);
        const Receiver r = receiver();
        const char* columns[] = {R"("Elèves" SET "NumElv")", R"("Elèves" SET "Nom")", R"("Elèves" SET "Prénom")",
                                 R"("Séries" SET "NumSérie")", R"("Séries" SET "Sur")", R"("Séries" SET "Période")",
                                 R"("Séries" SET "Date")", R"("Séries" SET "Coefficient")", R"("Séries" SET "Nom")",
                                 R"("Notes" SET "Note")", R"("Notes" SET "NumElv")", R"("Notes" SET "NumSérie")"};
        const char* values[] = {"NULL", "''", "'x'", "0", "-1", "4", "256", "3.5", "1e300", "-1e300", "'1'",
                                "x'00'", "9999999999", "printf('%.70c', 'z')"};
        int refused = 0, imported = 0;
        const db::Database b = openGradebook(r.gradebook);
        auto before = dumpTables(r.gradebook);
        for (int round = 0; round < 20; ++round) {
            const QString path = copyOf(m_sender);
            for (int k = 1 + random.bounded(3); k > 0; --k)
                craft(path, QByteArray("UPDATE ") + columns[random.bounded(int(std::size(columns)))] + " = "
                                + values[random.bounded(int(std::size(values)))] + " WHERE rowid = " + QByteArray::number(1 + random.bounded(3)));
            exchangefile::Contents c;
            try {
                c = readFile(path);
            } catch (const std::exception&) {
                ++refused;
                continue;
            }
            QList<Decision> plan = importgrades::autoMatch(c.students, importgrades::readStudents(b));
            for (Decision& d : plan)
                if (d.state == Match::Untreated) d = importgrades::reject();
            try {
                importgrades::importGrades(b, c, plan, r.maths);
                ++imported;
                before = dumpTables(r.gradebook);
            } catch (const importgrades::Failure&) {
                QCOMPARE(dumpTables(r.gradebook), before);
            }
        }
        // Every series and grade of B is whole: a period, a maximum mark, a finite grade.
        QCOMPARE(rawRows(r.gradebook, uR"(SELECT count(*) FROM "Séries" WHERE NOT ("Sur" BETWEEN 0 AND 255 AND "Période"
                 BETWEEN 1 AND 3) UNION ALL SELECT count(*) FROM "Notes" WHERE NOT abs("Note") < 1e39)"_s),
                 (QStringList{u"0"_s, u"0"_s}));
        QVERIFY(refused > 0);
        QVERIFY(imported > 0);
    }
};

QTEST_GUILESS_MAIN(tst_Exchange)
#include "tst_Exchange.moc"
