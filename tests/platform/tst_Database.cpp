// The database engine: files, passwords, properties, definitions and their rules.
#include "platform/db/Database.h"
#include "platform/db/Sqlite.h"
#include "DbTestSupport.h"

#include <QDateTime>
#include <limits>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace db;
using namespace testsupport;

class tst_Database : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void opensOnlyWithThePassword() {
        const QString file = path(u"carnet.dat"_s);
        {
            Database d = Database::CreateDatabase(file, kTestPassword);
            d.CreateProperty(u"App"_s, FieldType::Text, u"essai"_s);
            d.CreateProperty(u"Moyenne"_s, FieldType::Byte, 1);
        }
        QVERIFY(!fileBytes(file).startsWith("SQLite format 3"));
        {
            // Properties keep their type in the file, and are converted as fields are (below).
            Database d = Database::OpenDatabase(file, kTestPassword);
            QCOMPARE(d.Properties(u"App"_s).Value(), QVariant(u"essai"_s));
            d.Properties(u"moyenne"_s).setValue(u"2"_s);
            QCOMPARE(d.Properties(u"Moyenne"_s).Value(), QVariant(2));
            QCOMPARE(dbError([&] { d.Properties(u"Passe"_s); }), code(DbErrc::NoSuchProperty));
        }

        // A wrong password, a plain SQLite file written without a key, a text file, a missing
        // file (which is not created).
        const QString plain = path(u"plain.dat"_s), text = path(u"texte.dat"_s), missing = path(u"absent.dat"_s);
        QCOMPARE(rawExec(plain, {}, "CREATE TABLE t(x); INSERT INTO t VALUES (1);"), SQLITE_OK);
        QVERIFY(writeFile(text, QByteArray("Ceci n'est pas un carnet de notes.\n").repeated(200)));
        const struct { QString file, password; DbErrc error; } refused[] = {
            {file, u"730518 kovrm"_s, DbErrc::NotADatabase}, {plain, kTestPassword, DbErrc::NotADatabase},
            {text, kTestPassword, DbErrc::NotADatabase},     {missing, kTestPassword, DbErrc::CannotOpen}};
        for (const auto& r : refused)
            QCOMPARE(dbError([&] { Database::OpenDatabase(r.file, r.password); }), code(r.error));
        QVERIFY(!QFile::exists(missing));

        const QByteArray before = fileBytes(file);
        QCOMPARE(dbError([&] { Database::CreateDatabase(file, kTestPassword); }), code(DbErrc::AlreadyExists));
        QCOMPARE(fileBytes(file), before);
        const QString nowhere = path(u"nulle/part.dat"_s);
        QCOMPARE(dbError([&] { Database::CreateDatabase(nowhere, kTestPassword); }), code(DbErrc::CannotOpen));
    }

    // A file checked in the background is read at once; damage found there refuses every
    // write before anything is written.
    void writesWaitForTheCheckInTheBackground() {
        const QString file = path(u"abime.dat"_s);
        {
            Recordset rs = createTestFile(file, {notesTable(), classesTable()}).OpenRecordset(Query(u"Classes"_s));
            for (int i = 0; i < 300; ++i) addRow(rs, {{"Nom", u"Classe %1"_s.arg(i)}, {"Colonne", 1800}});
        }
        QByteArray bytes = fileBytes(file);
        bytes[bytes.size() - 100] ^= 0x5a;  // in the last page, of classes, which opening does not read
        QVERIFY(writeFile(file, bytes));
        Database d = Database::OpenDatabase(file, kTestPassword, Integrity::CheckInBackground);
        Recordset rs = d.OpenRecordset(Query(u"Notes"_s));
        QVERIFY(rs.Eof());
        QCOMPARE(dbError([&] { addRow(rs, {{"NumSérie", 1}, {"NumElv", 1}}); }), code(DbErrc::Damaged));
        QCOMPARE(dbError([&] { d.AddField(u"Classes"_s, FieldDef(u"Extra"_s, FieldType::Long)); }), code(DbErrc::Damaged));
        QCOMPARE(dbError([&] { d.awaitIntegrity(); }), code(DbErrc::Damaged));
        QCOMPARE(fileBytes(file), bytes);
    }

    // Each value is checked against its field as it is assigned, and converted as stored.
    void valuesAreCheckedAsTheyAreAssigned() {
        Database d = createTestFile(path(u"valeurs.dat"_s));
        const struct { const char* table; const char* field; QVariant value; DbErrc error; } refused[] = {
            {"Classes", "Nom", QString(51, u'x'), DbErrc::TextTooLong}, {"Notes", "Note", 1e39, DbErrc::OutOfRange},
            {"Classes", "Colonne", u"large"_s, DbErrc::TypeMismatch}, {"Classes", "Colonne", 40000, DbErrc::OutOfRange},
            {"Séries", "Date", u"2024-09-02"_s, DbErrc::TypeMismatch}, {"Séries", "Sur", 256, DbErrc::OutOfRange},
            {"Classes", "Colonne", std::numeric_limits<double>::infinity(), DbErrc::OutOfRange},
        };
        for (const auto& r : refused) {
            Recordset rs = d.OpenRecordset(Query(QString::fromUtf8(r.table)));
            rs.AddNew();
            QVERIFY2(dbError([&] { rs.Fields(QString::fromUtf8(r.field)).setValue(r.value); }) == code(r.error),
                     r.field);
        }

        // A fraction going into a byte is rounded a half to the even neighbour; a text is
        // read the French way.
        Recordset series = d.OpenRecordset(Query(u"Séries"_s));
        addRow(series, {{"Sur", 2.5}});
        addRow(series, {{"Sur", u"3,5"_s}});
        series.MoveFirst();
        QCOMPARE(series.Fields(u"Sur"_s).Value(), QVariant(2));
        QCOMPARE(series.Fields(u"Période"_s).Value(), QVariant(1));
        QCOMPARE(series.Fields(u"Date"_s).Value(), QVariant(QDateTime(QDate(2024, 9, 2), QTime(8, 30), Qt::UTC)));
        series.MoveNext();
        QCOMPARE(series.Fields(u"Sur"_s).Value(), QVariant(4));

        // The rules hold in the file itself, against a writer that skips the engine: the
        // period rule, an empty name, a grade given twice.
        for (const char* sql : {"INSERT INTO \"Séries\" (\"Période\") VALUES (7)",
                                "INSERT INTO \"Classes\" (\"Nom\", \"Colonne\") VALUES ('', 1)",
                                "INSERT INTO \"Notes\" (\"NumSérie\", \"NumElv\") VALUES (1, 1), (1, 1)"})
            QVERIFY2(rawExec(d.Name(), kTestPassword.toUtf8(), sql) != SQLITE_OK, sql);
    }

    // Keys are never reused nor set; a required field added to rows that lack it is required
    // from their next write.
    void definitionsAndTheirRules() {
        const QString file = path(u"definitions.dat"_s);
        {
            Database d = createTestFile(file, {classesTable()});
            Recordset rs = d.OpenRecordset(Query(u"Classes"_s));
            for (const char* name : {"5A", "5B", "5C", "5D"}) {
                if (rs.RecordCount() == 3)
                    rs.Delete();  // the last one, 5C
                addRow(rs, {{"Nom", QString::fromLatin1(name)}, {"Colonne", 1800}});
                rs.MoveLast();
            }
            QCOMPARE(rs.Fields(u"NumClass"_s).Value(), QVariant(4));
            rs.Edit();
            QCOMPARE(dbError([&] { rs.Fields(u"NumClass"_s).setValue(9); }), code(DbErrc::InvalidOperation));

            QCOMPARE(dbError([&] { d.CreateTable(classesTable()); }), code(DbErrc::TableExists));
            d.AddField(u"Classes"_s, FieldDef(u"Niveau"_s, FieldType::Integer).setRequired());
            QCOMPARE(dbError([&] { d.AddField(u"Classes"_s, FieldDef(u"niveau"_s, FieldType::Integer)); }),
                     code(DbErrc::FieldExists));
        }
        Recordset rs = Database::OpenDatabase(file, kTestPassword).OpenRecordset(Query(u"Classes"_s));
        QVERIFY(rs.Fields(u"Niveau"_s).Value().isNull());
        rs.Edit();
        rs.Fields(u"Nom"_s).setValue(u"4C"_s);
        QCOMPARE(dbError([&] { rs.Update(); }), code(DbErrc::RequiredMissing));
        rs.Fields(u"Niveau"_s).setValue(4);
        rs.Update();
    }

    // What a nested transaction wrote goes when it is not committed, and with the outer one
    // when that one is not, even once the nested one was committed.
    void transactionsWriteAllOrNothing() {
        Database d = createTestFile(path(u"transactions.dat"_s), {classesTable()});
        {
            Transaction outer(d);
            d.CreateTable(notesTable());
            d.AddField(u"Classes"_s, FieldDef(u"Extra"_s, FieldType::Long));
            for (const bool commit : {false, true}) {
                Transaction inner(d);
                d.CreateProperty(u"App"_s, FieldType::Text, u"x"_s);
                if (commit)
                    inner.commit();
            }
            QCOMPARE(d.PropertyNames(), QStringList{u"App"_s});
            QVERIFY(d.hasTable(u"Notes"_s));
        }
        QVERIFY(!d.hasTable(u"Notes"_s));
        QCOMPARE(d.TableDefs(u"Classes"_s).fieldIndex(u"Extra"_s), -1);
        QCOMPARE(dbError([&] { d.Properties(u"App"_s); }), code(DbErrc::NoSuchProperty));
    }
};

QTEST_MAIN(tst_Database)
#include "tst_Database.moc"
