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
using testsupport::code;
using testsupport::dbError;
using testsupport::rowCount;

namespace {

using testsupport::classesTable;
using testsupport::notesTable;
const QString kPassword = testsupport::kTestPassword;

}  // namespace

class tst_Database : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void opensOnlyWithThePassword() {
        const QString file = path(u"carnet.dat"_s);
        {
            Database created = Database::CreateDatabase(file, kPassword);
            created.CreateProperty(u"App"_s, FieldType::Text, u"essai"_s);
        }
        QVERIFY(!testsupport::fileBytes(file).startsWith("SQLite format 3"));
        QCOMPARE(Database::OpenDatabase(file, kPassword).Properties(u"App"_s).Value(), QVariant(u"essai"_s));

        QCOMPARE(dbError([&] { Database::OpenDatabase(file, u"730518 kovrm"_s); }), code(DbErrc::NotADatabase));
        QCOMPARE(dbError([&] { Database::OpenDatabase(file, QString()); }), code(DbErrc::NotADatabase));

        // A plain SQLite file, written without a key.
        const QString plain = path(u"plain.dat"_s);
        {
            sqlite3* h = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(plain).constData(), &h), SQLITE_OK);
            QCOMPARE(sqlite3_exec(h, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(h);
        }
        QVERIFY(testsupport::fileBytes(plain).startsWith("SQLite format 3"));
        QCOMPARE(dbError([&] { Database::OpenDatabase(plain, kPassword); }), code(DbErrc::NotADatabase));

        const QString text = path(u"texte.dat"_s);
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("Ceci n'est pas un carnet de notes.\n").repeated(200));
        f.close();
        QCOMPARE(dbError([&] { Database::OpenDatabase(text, kPassword); }), code(DbErrc::NotADatabase));

        const QString missing = path(u"absent.dat"_s);
        QCOMPARE(dbError([&] { Database::OpenDatabase(missing, kPassword); }), code(DbErrc::CannotOpen));
        QVERIFY(!QFile::exists(missing));

        const QByteArray before = testsupport::fileBytes(file);
        QCOMPARE(dbError([&] { Database::CreateDatabase(file, kPassword); }), code(DbErrc::AlreadyExists));
        QCOMPARE(testsupport::fileBytes(file), before);
        QCOMPARE(dbError([&] { Database::CreateDatabase(path(u"nulle/part.dat"_s), kPassword); }),
                 code(DbErrc::CannotOpen));
    }

    void propertiesKeepTheirOrderAndType() {
        const QString file = path(u"proprietes.dat"_s);
        {
            Database d = Database::CreateDatabase(file, kPassword);
            d.CreateProperty(u"App"_s, FieldType::Text, u"Vorsk"_s);
            d.CreateProperty(u"Moyenne"_s, FieldType::Byte, 1);
            d.CreateProperty(u"Commentaire"_s, FieldType::Memo, QString(300, u'x'));
            d.CreateProperty(u"Importé"_s, FieldType::Boolean, false);
            QCOMPARE(dbError([&] { d.CreateProperty(u"app"_s, FieldType::Text, u"x"_s); }),
                     code(DbErrc::PropertyExists));
            QCOMPARE(dbError([&] { d.CreateProperty(u"Long"_s, FieldType::Text, QString(256, u'x')); }),
                     code(DbErrc::TextTooLong));
        }
        Database d = Database::OpenDatabase(file, kPassword);
        QCOMPARE(d.PropertyNames(), (QStringList{"App", "Moyenne", "Commentaire", "Importé"}));
        Property moyenne = d.Properties(u"moyenne"_s);
        QCOMPARE(moyenne.Type(), FieldType::Byte);
        QCOMPARE(moyenne.Value(), QVariant(1));
        moyenne.setValue(2);
        QCOMPARE(dbError([&] { moyenne.setValue(256); }), code(DbErrc::OutOfRange));
        QCOMPARE(dbError([&] { moyenne.setValue(u"deux"_s); }), code(DbErrc::TypeMismatch));
        QCOMPARE(d.Properties(u"Moyenne"_s).Value(), QVariant(2));
        QCOMPARE(d.Properties(u"Importé"_s).Value(), QVariant(false));
        QCOMPARE(d.Properties(u"Commentaire"_s).Value().toString().size(), 300);
        QCOMPARE(dbError([&] { d.Properties(u"Passe"_s); }), code(DbErrc::NoSuchProperty));
    }

    // Each value is checked against its field as it is assigned, and converted as stored.
    void valuesAreCheckedAsTheyAreAssigned() {
        Database d = testsupport::createTestFile(path(u"valeurs.dat"_s));
        Recordset classes = d.OpenRecordset(Query(u"Classes"_s));
        classes.AddNew();
        auto assign = [&](Recordset& rs, const char* field, const QVariant& v) {
            return dbError([&] { rs.Fields(QString::fromUtf8(field)).setValue(v); });
        };
        QCOMPARE(assign(classes, "Nom", QString(51, u'x')), code(DbErrc::TextTooLong));
        QCOMPARE(assign(classes, "Nom", 12), code(DbErrc::TypeMismatch));
        QCOMPARE(assign(classes, "Colonne", 40000), code(DbErrc::OutOfRange));
        QCOMPARE(assign(classes, "Colonne", u"large"_s), code(DbErrc::TypeMismatch));
        QCOMPARE(assign(classes, "Colonne", std::numeric_limits<double>::infinity()), code(DbErrc::OutOfRange));

        Recordset series = d.OpenRecordset(Query(u"Séries"_s));
        series.AddNew();
        QCOMPARE(assign(series, "Sur", 256), code(DbErrc::OutOfRange));
        QCOMPARE(assign(series, "Sur", -1), code(DbErrc::OutOfRange));
        QCOMPARE(assign(series, "Date", u"2024-09-02"_s), code(DbErrc::TypeMismatch));
        // A fraction going into a byte is rounded a half to the even neighbour; a text is
        // read the French way.
        series.Fields(u"Sur"_s).setValue(2.5);
        series.Update();
        series.AddNew();
        series.Fields(u"Sur"_s).setValue(u"3,5"_s);
        series.Update();
        series.MoveFirst();
        QCOMPARE(series.Fields(u"Sur"_s).Value(), QVariant(2));
        QCOMPARE(series.Fields(u"Période"_s).Value(), QVariant(1));
        QCOMPARE(series.Fields(u"Date"_s).Value(), QVariant(QDateTime(QDate(2024, 9, 2), QTime(8, 30))));
        QVERIFY(series.Fields(u"EC"_s).Value().isNull());
        series.MoveNext();
        QCOMPARE(series.Fields(u"Sur"_s).Value(), QVariant(4));

        Recordset notes = d.OpenRecordset(Query(u"Notes"_s));
        notes.AddNew();
        QCOMPARE(assign(notes, "Note", 1e39), code(DbErrc::OutOfRange));
        notes.Fields(u"Note"_s).setValue(12.3);
        notes.Fields(u"NumSérie"_s).setValue(1);
        notes.Fields(u"NumElv"_s).setValue(1);
        notes.Update();
        notes.MoveFirst();
        QCOMPARE(notes.Fields(u"Note"_s).Value().toDouble(), double(12.3f));

        // The rules hold in the file itself, against a writer that skips the engine.
        sqlite3* raw = nullptr;
        sqlite3_open(QFile::encodeName(d.Name()).constData(), &raw);
        sqlite3_key(raw, "730518 KovRM", 12);
        for (const char* sql : {"INSERT INTO \"Séries\" (\"Période\") VALUES (7)",
                                "INSERT INTO \"Classes\" (\"Nom\", \"Colonne\") VALUES ('', 1)",
                                "INSERT INTO \"Notes\" (\"NumSérie\", \"NumElv\") VALUES (1, 1)"})
            QVERIFY2(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) != SQLITE_OK, sql);
        sqlite3_close(raw);
    }

    void autoIncrementKeysAreNeverReused() {
        Database d = Database::CreateDatabase(path(u"cles.dat"_s), kPassword);
        d.CreateTable(classesTable());
        Recordset rs = d.OpenRecordset(Query(u"Classes"_s));
        for (const char* name : {"5A", "5B", "5C", "5D"}) {
            if (rs.RecordCount() == 3)
                rs.Delete();  // the last one, 5C
            rs.AddNew();
            rs.Fields(u"Nom"_s).setValue(QString::fromLatin1(name));
            rs.Fields(u"Colonne"_s).setValue(1800);
            rs.Update();
            rs.MoveLast();
        }
        QCOMPARE(rs.Fields(u"NumClass"_s).Value(), QVariant(4));
        rs.Edit();
        QCOMPARE(dbError([&] { rs.Fields(u"NumClass"_s).setValue(9); }), code(DbErrc::InvalidOperation));
    }

    void badDefinitionsAreRefused() {
        Database d = Database::CreateDatabase(path(u"definitions.dat"_s), kPassword);
        d.CreateTable(classesTable());
        QCOMPARE(dbError([&] { d.CreateTable(classesTable()); }), code(DbErrc::TableExists));
        const TableDef bad[] = {
            // An auto-increment key outside the primary index.
            TableDef(u"X"_s).appendField(FieldDef(u"N"_s, FieldType::Long).setAutoIncrement()),
            TableDef(u"Y"_s).appendField(FieldDef(u"T"_s, FieldType::Text, 0)),
            TableDef(u"Z"_s)
                .appendField(FieldDef(u"A"_s, FieldType::Long))
                .appendField(FieldDef(u"a"_s, FieldType::Long)),
            TableDef(u"__Properties"_s).appendField(FieldDef(u"A"_s, FieldType::Long)),
            TableDef(u"W"_s).appendField(FieldDef(u"A"_s, FieldType::Byte).setDefaultValue(300)),
            TableDef(u"V"_s).appendField(FieldDef(u"A"_s, FieldType::Long)).appendIndex(IndexDef(u"I"_s, {u"B"_s})),
        };
        for (const TableDef& table : bad)
            QVERIFY2(dbError([&] { d.CreateTable(table); }) == code(DbErrc::InvalidDefinition),
                     qPrintable(table.Name()));
        QCOMPARE(d.TableNames(), QStringList{u"Classes"_s});
        QCOMPARE(dbError([&] { d.TableDefs(u"Absente"_s); }), code(DbErrc::NoSuchTable));
    }

    void addsARequiredFieldToATableWithRows() {
        const QString file = path(u"ajout.dat"_s);
        {
            Database d = Database::CreateDatabase(file, kPassword);
            d.CreateTable(TableDef(u"Classes"_s)
                              .appendField(FieldDef(u"NumClass"_s, FieldType::Long).setAutoIncrement())
                              .appendField(FieldDef(u"Nom"_s, FieldType::Text, 50).setRequired())
                              .appendIndex(IndexDef(u"NumClass"_s, {u"NumClass"_s}).setPrimary()));
            Recordset rs = d.OpenRecordset(Query(u"Classes"_s));
            for (const char* name : {"4A", "4B"}) {
                rs.AddNew();
                rs.Fields(u"Nom"_s).setValue(QString::fromLatin1(name));
                rs.Update();
            }
            d.AddField(u"Classes"_s, FieldDef(u"Colonne"_s, FieldType::Integer).setRequired());
            QCOMPARE(dbError([&] { d.AddField(u"Classes"_s, FieldDef(u"colonne"_s, FieldType::Integer)); }),
                     code(DbErrc::FieldExists));
        }
        Database d = Database::OpenDatabase(file, kPassword);
        Recordset rs = d.OpenRecordset(Query(u"Classes"_s));
        QVERIFY(rs.Fields(u"Colonne"_s).Value().isNull());
        // A row still lacking the new required field cannot be written back as it is.
        rs.Edit();
        rs.Fields(u"Nom"_s).setValue(u"4C"_s);
        QCOMPARE(dbError([&] { rs.Update(); }), code(DbErrc::RequiredMissing));
        rs.Fields(u"Colonne"_s).setValue(1800);
        rs.Update();
        QCOMPARE(rs.Fields(u"Colonne"_s).Value(), QVariant(1800));
        rs.AddNew();
        rs.Fields(u"Nom"_s).setValue(u"4D"_s);
        QCOMPARE(dbError([&] { rs.Update(); }), code(DbErrc::RequiredMissing));
        QCOMPARE(rowCount(d, u"Classes"_s), 2);
    }

    void transactionsWriteAllOrNothing() {
        Database d = Database::CreateDatabase(path(u"transactions.dat"_s), kPassword);
        d.CreateTable(classesTable());
        {
            Transaction outer(d);
            d.CreateTable(notesTable());
            d.AddField(u"Classes"_s, FieldDef(u"Extra"_s, FieldType::Long));
            {
                Transaction inner(d);
                d.CreateProperty(u"App"_s, FieldType::Text, u"x"_s);
                inner.commit();
            }
            QVERIFY(d.hasTable(u"Notes"_s));
        }
        QVERIFY(!d.hasTable(u"Notes"_s));
        QCOMPARE(d.TableDefs(u"Classes"_s).fieldIndex(u"Extra"_s), -1);
        QCOMPARE(dbError([&] { d.Properties(u"App"_s); }), code(DbErrc::NoSuchProperty));
        {
            Transaction t(d);
            d.CreateTable(notesTable());
            t.commit();
        }
        QVERIFY(d.hasTable(u"Notes"_s));
    }

    void closingEndsEveryRecordset() {
        const QString file = path(u"fermeture.dat"_s);
        Database d = Database::CreateDatabase(file, kPassword);
        d.CreateTable(classesTable());
        // A recordset keeps its connection when the handle it came from goes.
        Recordset kept = d.OpenRecordset(Query(u"Classes"_s));
        d = Database();
        QCOMPARE(kept.RecordCount(), 0);
        Recordset none;
        QCOMPARE(dbError([&] { none.MoveNext(); }), code(DbErrc::Closed));

        Database again = Database::OpenDatabase(file, kPassword);
        Recordset rs = again.OpenRecordset(Query(u"Classes"_s));
        again.Close();
        QVERIFY(!rs.isOpen());
        QCOMPARE(dbError([&] { rs.RecordCount(); }), code(DbErrc::Closed));
        QCOMPARE(dbError([&] { again.TableNames(); }), code(DbErrc::Closed));
        QCOMPARE(kept.RecordCount(), 0);
    }
};

QTEST_MAIN(tst_Database)
#include "tst_Database.moc"
