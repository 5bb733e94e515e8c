// The exchange file: its number, its schema and properties read back through a plain
// SQLCipher connection, what it holds for each way of choosing series, and what a failure
// leaves behind (nothing).
#include "ExchangeTestKit.h"
#include "FileSizeLimit.h"
#include "gradebook/mUtilities.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace testsupport;

namespace {

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
}

}  // namespace

class tst_ExchangeFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_gradebook;
    QList<int> m_students, m_series;  // series: two in period 1, one without grades in 2, one in 3

    QString folder(const QString& name) const { return m_dir.filePath(name); }
    QString writeWith(const QList<int>& series, const QList<int>& periods, const QString& into) {
        const exchangefile::Selection s{1, 1, u"Seconde 2"_s, u"Mathématiques"_s, series, periods};
        return exchangefile::write(openGradebook(m_gradebook), s, into);
    }

private slots:
    void initTestCase() {
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
        QFile lockLeft(hidden.arg(u"b"_s) + u".lock"_s);
        QVERIFY(lockLeft.open(QIODevice::WriteOnly) &&
                lockLeft.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1), QFileDevice::FileModificationTime));
        lockLeft.close();
        QLockFile live(hidden.arg(u"c"_s) + u".lock"_s);
        QVERIFY(live.tryLock(0));
        QCOMPARE(QFileInfo(writeWith({}, {1, 2, 3}, d)).fileName(), u"Notes Export 0002.dat"_s);
        QCOMPARE(namesIn(d), (QStringList{u".Notes Export.0000000c.tmp"_s, u".Notes Export.0000000c.tmp-journal"_s,
                                          u".Notes Export.0000000c.tmp.lock"_s, u"Notes Export 0001.dat"_s,
                                          u"Notes Export 0002.dat"_s}));
    }
};

QTEST_MAIN(tst_ExchangeFile)
#include "tst_ExchangeFile.moc"
