// The exchange file: its name and number, its schema and properties read back through a
// plain SQLCipher connection, what it holds for each way of choosing series, and what a
// failure leaves behind (nothing).
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "GradebookBuilder.h"
#include "exchange/ExchangeFile.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/db/Collations.h"
#include "platform/db/Sqlite.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace testsupport;

namespace {

// A plain connection on a file, with the key, past the program's engine.
class PlainFile {
public:
    explicit PlainFile(const QString& path, const QByteArray& key = gradebook::databasePassword().toUtf8()) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_h, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_key(m_h, key.constData(), int(key.size()));
        db::collation::registerOn(m_h);
    }
    ~PlainFile() { sqlite3_close_v2(m_h); }
    PlainFile(const PlainFile&) = delete;
    PlainFile& operator=(const PlainFile&) = delete;

    // Every row, its columns joined by "|" (Null as "∅"); empty when the statement fails.
    QStringList rows(const QString& sql) const {
        sqlite3_stmt* s = nullptr;
        QStringList result;
        if (sqlite3_prepare_v2(m_h, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) return result;
        const db::sqlite::Statement owner(s);
        while (sqlite3_step(s) == SQLITE_ROW) {
            QStringList columns;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                columns << (sqlite3_column_type(s, c) == SQLITE_NULL
                                ? u"∅"_s
                                : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c))));
            result << columns.join(u'|');
        }
        return result;
    }

private:
    sqlite3* m_h = nullptr;
};

// Each field as "name type/size", each index as "name(fields)" with P when primary.
QString describe(const db::TableDef& t) {
    QStringList parts;
    for (const db::FieldDef& f : t.Fields())
        parts << u"%1 %2/%3%4%5%6"_s.arg(f.Name())
                     .arg(int(f.Type()))
                     .arg(f.Size())
                     .arg(f.AutoIncrement() ? " auto" : "", f.Required() ? " required" : "",
                          f.DefaultValue().isNull() ? "" : " default");
    for (const db::IndexDef& i : t.Indexes())
        parts << i.Name() + u'(' + i.Fields().join(u',') + u')' + (i.Primary() ? "P" : "") + (i.Unique() ? "U" : "");
    return parts.join(u", "_s);
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
}

}  // namespace

class tst_ExchangeFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_gradebook;
    int m_class = 0, m_other = 0, m_maths = 0, m_french = 0;
    QList<int> m_students, m_series;  // series: p1 a, p1 b, p2 (no grade), p3 long name

    QString folder(const QString& name) const { return m_dir.filePath(name); }

    exchangefile::Selection selection() const {
        exchangefile::Selection s;
        s.numClass = m_class;
        s.numMat = m_maths;
        s.className = u"Seconde 2"_s;
        s.subjectName = u"Mathématiques"_s;
        return s;
    }

    QString writeWith(const exchangefile::Selection& s, const QString& into) {
        return exchangefile::write(openGradebook(m_gradebook), s, into);
    }

private slots:
    void initTestCase() {
        m_gradebook = m_dir.filePath(u"carnet.dat"_s);
        GradebookBuilder b(m_gradebook);
        m_maths = b.addSubject(u"Mathématiques"_s);
        m_french = b.addSubject(u"Français"_s);
        m_class = b.addClass(u"Seconde 2"_s, u"2nde2"_s);
        m_other = b.addClass(u"Terminale"_s, u"Tle"_s);
        m_students = {b.addStudent(m_class, u"D'Amico"_s, u"Léa"_s), b.addStudent(m_class, u"Martin"_s, u"Jean \"Jo\""_s),
                      b.addStudent(m_class, u"Zoé"_s, u"Ève"_s)};
        const int elsewhere = b.addStudent(m_other, u"Autre"_s, u"Élève"_s);
        m_series = {b.addSeries(m_class, m_maths, u"Équations"_s, 20, 2, 1, QDate(2024, 9, 20)),
                    b.addSeries(m_class, m_maths, u"Fonctions"_s, 10, 1, 1, QDate(2024, 9, 10)),
                    b.addSeries(m_class, m_maths, u"Vide"_s, 20, 1, 2, QDate(2024, 12, 1)),
                    b.addSeries(m_class, m_maths, u"Géométrie dans l'espace"_s, 40, 3, 3, QDate(2025, 4, 2))};
        const int french = b.addSeries(m_class, m_french, u"Dictée"_s, 20, 1, 1);
        const int otherClass = b.addSeries(m_other, m_maths, u"Autre classe"_s, 20, 1, 1);
        b.addGrade(m_series[0], m_students[0], 12.5);
        b.addGrade(m_series[0], m_students[1], 13.3);
        b.addGrade(m_series[1], m_students[2], 0);
        b.addGrade(m_series[3], m_students[0], 38.75);
        b.addGrade(french, m_students[0], 9);
        b.addGrade(otherClass, elsewhere, 11);
    }

    void namesAreNumberedAfterTheHighestPresent() {
        const QString d = folder(u"numbers"_s);
        QCOMPARE(exchangefile::highestNumber(d), 0);  // no folder yet
        QVERIFY(QDir().mkpath(d));
        QCOMPARE(exchangefile::highestNumber(d), 0);
        QCOMPARE(exchangefile::fileName(1), u"Notes Export 0001.dat"_s);
        for (const char* name : {"Notes Export 0001.dat", "Notes Export 0002.dat", "Notes Export 0005.dat",
                                 "Notes Export 12ab.dat", "Notes Export 0042.dat.bak", "Notes Export  007.dat",
                                 "notes export 0050.dat", "Notes Export 99999999999999.dat", ".Notes Export 0060.dat"})
            QVERIFY(writeFile(d + u'/' + QString::fromUtf8(name), "x"));
        QVERIFY(QDir().mkpath(d + u"/Notes Export 0070.dat"_s));  // a folder is not a file
        QCOMPARE(exchangefile::highestNumber(d), 5);
        // Gaps are not filled, but only the names present count.
        QVERIFY(QFile::remove(d + u"/Notes Export 0005.dat"_s));
        QCOMPARE(exchangefile::highestNumber(d), 2);
        // Past 9999 the numbers grow a digit and go on counting.
        QVERIFY(writeFile(d + u"/Notes Export 9999.dat"_s, "x"));
        QCOMPARE(exchangefile::fileName(exchangefile::highestNumber(d) + 1), u"Notes Export 10000.dat"_s);
        QVERIFY(writeFile(d + u"/Notes Export 10000.dat"_s, "x"));
        QCOMPARE(exchangefile::fileName(exchangefile::highestNumber(d) + 1), u"Notes Export 10001.dat"_s);

        // Written files take the next number, and a name already taken is never replaced,
        // whatever holds it: the number passes to the next free one.
        const QString e = folder(u"written"_s);
        QCOMPARE(writeWith(selection(), e), e + u"/Notes Export 0001.dat"_s);
        QVERIFY(QDir().mkpath(e + u"/Notes Export 0002.dat"_s));
        QVERIFY(::symlink("absent", QFile::encodeName(e + u"/Notes Export 0003.dat"_s).constData()) == 0);
        QCOMPARE(writeWith(selection(), e), e + u"/Notes Export 0004.dat"_s);
        QCOMPARE(QFileInfo(e + u"/Notes Export 0003.dat"_s).symLinkTarget(), e + u"/absent"_s);
        QVERIFY(!QFile::exists(e + u"/absent"_s));
        QCOMPARE(namesIn(e), (QStringList{u"Notes Export 0001.dat"_s, u"Notes Export 0002.dat"_s,
                                          u"Notes Export 0003.dat"_s, u"Notes Export 0004.dat"_s}));
    }

    void schemaAndPropertiesAreThoseOfAnExchangeFile() {
        const QString d = folder(u"schema"_s);
        const QString path = writeWith(selection(), d);

        // Through a plain connection: the properties in order, with their types.
        const PlainFile plain(path);
        QCOMPARE(plain.rows(u"SELECT Name, Type, Value FROM __Properties ORDER BY rowid"_s),
                 (QStringList{u"App|10|Vorsk App Quibolet Export"_s, u"VersionID|10|1.2.2"_s, u"Classe|10|Seconde 2"_s,
                              u"Matière|10|Mathématiques"_s, u"Commentaire|12|Aucun commentaire"_s, u"Importé|1|0"_s}));
        QCOMPARE(plain.rows(u"SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE '\\_\\_%' ESCAPE '\\' "
                            "ORDER BY rowid"_s),
                 (QStringList{u"Elèves"_s, u"Notes"_s, u"Séries"_s}));
        // Fields in order: name, declared type, not null, place in the primary key.
        const auto columns = [&](const QString& table) {
            return plain.rows(u"PRAGMA table_info(\"%1\")"_s.arg(table));
        };
        QCOMPARE(columns(u"Elèves"_s), (QStringList{u"0|NumElv|INTEGER|1|∅|1"_s, u"1|NumElvIn|INTEGER|0|∅|0"_s,
                                                    u"2|Nom|VARCHAR|0|∅|0"_s, u"3|Prénom|VARCHAR|0|∅|0"_s}));
        QCOMPARE(columns(u"Notes"_s), (QStringList{u"0|Note|FLOAT|0|∅|0"_s, u"1|NumSérie|INTEGER|1|∅|1"_s,
                                                   u"2|NumElv|INTEGER|1|∅|2"_s}));
        QCOMPARE(columns(u"Séries"_s),
                 (QStringList{u"0|NumSérie|INTEGER|1|∅|1"_s, u"1|Nom|VARCHAR|0|∅|0"_s, u"2|Sur|TINYINT|0|∅|0"_s,
                              u"3|Coefficient|TINYINT|0|∅|0"_s, u"4|Date|DATETIME|0|∅|0"_s, u"5|Période|TINYINT|0|∅|0"_s}));
        QCOMPARE(plain.rows(u"SELECT name, sql IS NULL FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Notes' "
                            "ORDER BY name"_s),
                 (QStringList{u"Notes.NumElv|0"_s, u"Notes.NumSérie|0"_s, u"sqlite_autoindex_Notes_1|1"_s}));
        QCOMPARE(plain.rows(u"PRAGMA index_info(\"Elèves.NomPrénom\")"_s), (QStringList{u"0|2|Nom"_s, u"1|3|Prénom"_s}));
        QCOMPARE(plain.rows(u"PRAGMA index_info(\"Séries.PériodeDate\")"_s), (QStringList{u"0|5|Période"_s, u"1|4|Date"_s}));
        QCOMPARE(plain.rows(u"SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql LIKE '%UNIQUE%'"_s),
                 QStringList{u"0"_s});

        // The sizes and types as the engine keeps them: those of the exchange format, and
        // no other property on any field.
        db::Database file = openGradebook(path);
        QCOMPARE(describe(file.TableDefs(u"Elèves"_s)),
                 u"NumElv 4/0, NumElvIn 4/0, Nom 10/50, Prénom 10/50, NumElv(NumElv)P, NomPrénom(Nom,Prénom)"_s);
        QCOMPARE(describe(file.TableDefs(u"Notes"_s)),
                 u"Note 6/0, NumSérie 4/0, NumElv 4/0, NumSérieElv(NumSérie,NumElv)P, NumSérie(NumSérie), NumElv(NumElv)"_s);
        QCOMPARE(describe(file.TableDefs(u"Séries"_s)),
                 u"NumSérie 4/0, Nom 10/30, Sur 2/0, Coefficient 2/0, Date 8/0, Période 2/0, NumSérie(NumSérie)P, "
                 "PériodeDate(Période,Date)"_s);
        QCOMPARE(mUtilities::GetFileKind(file), quint8(2));
        file.Close();

        // Only the database password opens it.
        QCOMPARE(PlainFile(path, "123456 abcde").rows(u"SELECT count(*) FROM sqlite_master"_s), QStringList());
        QCOMPARE(dbError([&] { db::Database::OpenDatabase(path, u"123456 abcde"_s); }), code(db::DbErrc::NotADatabase));
    }

    void contentsFollowTheChoice() {
        const auto read = [](const QString& path, const QString& sql) { return PlainFile(path).rows(sql); };
        const QString students = u"SELECT NumElv, NumElvIn, Nom, Prénom FROM Elèves ORDER BY rowid"_s;
        const QString series = u"SELECT NumSérie, Nom, Sur, Coefficient, Date, Période FROM Séries ORDER BY rowid"_s;
        const QString grades = u"SELECT NumSérie, NumElv, Note FROM Notes ORDER BY rowid"_s;
        const QStringList classStudents = {u"%1|∅|D'Amico|Léa"_s.arg(m_students[0]),
                                           u"%1|∅|Martin|Jean \"Jo\""_s.arg(m_students[1]),
                                           u"%1|∅|Zoé|Ève"_s.arg(m_students[2])};
        const QString p3 = u"%1|Géométrie dans l'espace|40|3|2025-04-02 08:00:00|3"_s.arg(m_series[3]);

        // One by one: the series given (a file lists them by key), every student of the
        // class, every grade of those series and no other.
        exchangefile::Selection individual = selection();
        individual.series = {m_series[3], m_series[0]};
        const QString one = writeWith(individual, folder(u"contents"_s));
        QCOMPARE(read(one, students), classStudents);
        QCOMPARE(read(one, series), (QStringList{u"%1|Équations|20|2|2024-09-20 08:00:00|1"_s.arg(m_series[0]), p3}));
        QCOMPARE(read(one, grades), (QStringList{u"%1|%2|38.75"_s.arg(m_series[3]).arg(m_students[0]),
                                                 u"%1|%2|12.5"_s.arg(m_series[0]).arg(m_students[0]),
                                                 u"%1|%2|13.3000001907349"_s.arg(m_series[0]).arg(m_students[1])}));

        // Whole periods: every series of each period, periods in order; a series without
        // grades is there with no grade.
        exchangefile::Selection periods = selection();
        periods.periods = {2, 3};
        const QString two = writeWith(periods, folder(u"contents"_s));
        QCOMPARE(QFileInfo(two).fileName(), u"Notes Export 0002.dat"_s);
        QCOMPARE(read(two, students), classStudents);
        QCOMPARE(read(two, series), (QStringList{u"%1|Vide|20|1|2024-12-01 08:00:00|2"_s.arg(m_series[2]), p3}));
        QCOMPARE(read(two, grades), QStringList{u"%1|%2|38.75"_s.arg(m_series[3]).arg(m_students[0])});
        periods.periods = {1};
        QCOMPARE(read(writeWith(periods, folder(u"contents"_s)), u"SELECT Nom FROM Séries ORDER BY rowid"_s),
                 (QStringList{u"Équations"_s, u"Fonctions"_s}));

        // A class without students still carries its series.
        GradebookBuilder b(m_dir.filePath(u"vide.dat"_s));
        const int c = b.addClass(u"Vide"_s, u"V"_s), m = b.addSubject(u"Art"_s);
        b.addSeries(c, m, u"Dessin"_s, 20, 1, 1);
        b.close();
        exchangefile::Selection empty{c, m, u"Vide"_s, u"Art"_s, {}, {1}};
        const QString three = exchangefile::write(openGradebook(m_dir.filePath(u"vide.dat"_s)), empty, folder(u"empty"_s));
        QCOMPARE(read(three, u"SELECT count(*) FROM Elèves"_s), QStringList{u"0"_s});
        QCOMPARE(read(three, u"SELECT Nom FROM Séries"_s), QStringList{u"Dessin"_s});

        // The comment replaces "Aucun commentaire", line breaks kept.
        exchangefile::setComment(one, u"Bonjour,\nvoici les notes.\n\nCordialement"_s);
        QCOMPARE(openGradebook(one).Properties(u"Commentaire"_s).Value().toString(),
                 u"Bonjour,\nvoici les notes.\n\nCordialement"_s);
    }

    void aFailureLeavesNoFile() {
        exchangefile::Selection all = selection();
        all.periods = {1, 2, 3};
        const QString d = folder(u"failures"_s);
        QVERIFY(QDir().mkpath(d));
        QVERIFY(writeFile(d + u"/Notes Export 0001.dat"_s, "earlier"));

        // A disk that fills up half-way: neither a numbered nor a hidden file is left, and
        // the earlier file is untouched.
        for (rlim_t limit : {rlim_t(1024), rlim_t(6 * 1024), rlim_t(12 * 1024)}) {
            db::Database gradebook = openGradebook(m_gradebook);
            FileSizeLimit full(limit);
            QVERIFY(dbError([&] { exchangefile::write(gradebook, all, d); }) >= 0);
        }
        QCOMPARE(namesIn(d), QStringList{u"Notes Export 0001.dat"_s});
        QCOMPARE(fileBytes(d + u"/Notes Export 0001.dat"_s), QByteArray("earlier"));

        // A folder that cannot be made.
        QVERIFY(writeFile(folder(u"plainfile"_s), "x"));
        QVERIFY_THROWS_EXCEPTION(std::exception, writeWith(all, folder(u"plainfile"_s)));
        QCOMPARE(fileBytes(folder(u"plainfile"_s)), QByteArray("x"));

        // The next export after the failures takes the next number.
        QCOMPARE(QFileInfo(writeWith(all, d)).fileName(), u"Notes Export 0002.dat"_s);
    }
};

QTEST_MAIN(tst_ExchangeFile)
#include "tst_ExchangeFile.moc"
