// The database engine: files, passwords, properties, definitions and their rules.
#include "platform/db/Database.h"
#include "platform/db/Sqlite.h"
#include "DbTestSupport.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

using namespace db;
using testsupport::code;
using testsupport::dbError;

namespace {

const QString kPassword = QStringLiteral("730518 KovRM");

TableDef classesTable() {
    return TableDef(QStringLiteral("Classes"))
        .appendField(FieldDef(QStringLiteral("NumClass"), FieldType::Long).setAutoIncrement())
        .appendField(FieldDef(QStringLiteral("Nom"), FieldType::Text, 50).setRequired().setAllowZeroLength(false))
        .appendField(FieldDef(QStringLiteral("Colonne"), FieldType::Integer).setRequired())
        .appendIndex(IndexDef(QStringLiteral("NumClass"), {QStringLiteral("NumClass")}).setPrimary())
        .appendIndex(IndexDef(QStringLiteral("Nom"), {QStringLiteral("Nom")}).setUnique());
}

TableDef seriesTable() {
    return TableDef(QStringLiteral("Séries"))
        .appendField(FieldDef(QStringLiteral("NumSérie"), FieldType::Long).setAutoIncrement())
        .appendField(FieldDef(QStringLiteral("Sur"), FieldType::Byte).setRequired().setDefaultValue(0))
        .appendField(FieldDef(QStringLiteral("Période"), FieldType::Byte)
                         .setRequired()
                         .setDefaultValue(1)
                         .setValidationRule(Between{1, 3}))
        .appendField(FieldDef(QStringLiteral("Date"), FieldType::Date).setRequired().setDefaultValue(
            QDateTime(QDate(2024, 9, 2), QTime(8, 30))))
        .appendField(FieldDef(QStringLiteral("EC"), FieldType::Memo).setAllowZeroLength())
        .appendIndex(IndexDef(QStringLiteral("NumSérie"), {QStringLiteral("NumSérie")}).setPrimary())
        .appendIndex(IndexDef(QStringLiteral("PériodeDate"), {QStringLiteral("Période"), QStringLiteral("Date")}));
}

TableDef notesTable() {
    return TableDef(QStringLiteral("Notes"))
        .appendField(FieldDef(QStringLiteral("Note"), FieldType::Single).setRequired().setDefaultValue(0))
        .appendField(FieldDef(QStringLiteral("NumSérie"), FieldType::Long).setRequired())
        .appendField(FieldDef(QStringLiteral("NumElv"), FieldType::Long).setRequired())
        .appendIndex(IndexDef(QStringLiteral("NumSérieElv"), {QStringLiteral("NumSérie"), QStringLiteral("NumElv")})
                         .setPrimary());
}

int rowCount(const Database& database, const QString& table) {
    return database.OpenRecordset(Query(table), RecordsetType::Snapshot).RecordCount();
}

}  // namespace

class tst_Database : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void opensOnlyWithThePassword() {
        const QString file = path(QStringLiteral("carnet.dat"));
        {
            Database created = Database::CreateDatabase(file, kPassword);
            created.CreateProperty(QStringLiteral("App"), FieldType::Text, QStringLiteral("essai"));
        }
        QVERIFY(!testsupport::fileBytes(file).startsWith("SQLite format 3"));
        QCOMPARE(Database::OpenDatabase(file, kPassword).Properties(QStringLiteral("App")).Value(),
                 QVariant(QStringLiteral("essai")));

        QCOMPARE(dbError([&] { Database::OpenDatabase(file, QStringLiteral("730518 kovrm")); }),
                 code(DbErrc::NotADatabase));
        QCOMPARE(dbError([&] { Database::OpenDatabase(file, QString()); }), code(DbErrc::NotADatabase));

        // A plain SQLite file, written without a key.
        const QString plain = path(QStringLiteral("plain.dat"));
        {
            sqlite3* h = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(plain).constData(), &h), SQLITE_OK);
            QCOMPARE(sqlite3_exec(h, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(h);
        }
        QVERIFY(testsupport::fileBytes(plain).startsWith("SQLite format 3"));
        QCOMPARE(dbError([&] { Database::OpenDatabase(plain, kPassword); }), code(DbErrc::NotADatabase));

        const QString text = path(QStringLiteral("texte.dat"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("Ceci n'est pas un carnet de notes.\n").repeated(200));
        f.close();
        QCOMPARE(dbError([&] { Database::OpenDatabase(text, kPassword); }), code(DbErrc::NotADatabase));

        const QString missing = path(QStringLiteral("absent.dat"));
        QCOMPARE(dbError([&] { Database::OpenDatabase(missing, kPassword); }), code(DbErrc::CannotOpen));
        QVERIFY(!QFile::exists(missing));

        const QByteArray before = testsupport::fileBytes(file);
        QCOMPARE(dbError([&] { Database::CreateDatabase(file, kPassword); }), code(DbErrc::AlreadyExists));
        QCOMPARE(testsupport::fileBytes(file), before);
        QCOMPARE(dbError([&] { Database::CreateDatabase(path(QStringLiteral("nulle/part.dat")), kPassword); }),
                 code(DbErrc::CannotOpen));
    }

    void propertiesKeepTheirOrderAndType() {
        const QString file = path(QStringLiteral("proprietes.dat"));
        {
            Database d = Database::CreateDatabase(file, kPassword);
            d.CreateProperty(QStringLiteral("App"), FieldType::Text, QStringLiteral("Vorsk"));
            d.CreateProperty(QStringLiteral("Moyenne"), FieldType::Byte, 1);
            d.CreateProperty(QStringLiteral("Commentaire"), FieldType::Memo, QString(300, u'x'));
            d.CreateProperty(QStringLiteral("Importé"), FieldType::Boolean, false);
            QCOMPARE(dbError([&] { d.CreateProperty(QStringLiteral("app"), FieldType::Text, QStringLiteral("x")); }),
                     code(DbErrc::PropertyExists));
            QCOMPARE(dbError([&] { d.CreateProperty(QStringLiteral("Long"), FieldType::Text, QString(256, u'x')); }),
                     code(DbErrc::TextTooLong));
        }
        Database d = Database::OpenDatabase(file, kPassword);
        QCOMPARE(d.PropertyNames(), (QStringList{"App", "Moyenne", "Commentaire", "Importé"}));
        Property moyenne = d.Properties(QStringLiteral("moyenne"));
        QCOMPARE(moyenne.Type(), FieldType::Byte);
        QCOMPARE(moyenne.Value(), QVariant(1));
        moyenne.setValue(2);
        QCOMPARE(dbError([&] { moyenne.setValue(256); }), code(DbErrc::OutOfRange));
        QCOMPARE(dbError([&] { moyenne.setValue(QStringLiteral("deux")); }), code(DbErrc::TypeMismatch));
        QCOMPARE(d.Properties(QStringLiteral("Moyenne")).Value(), QVariant(2));
        QCOMPARE(d.Properties(QStringLiteral("Importé")).Value(), QVariant(false));
        QCOMPARE(d.Properties(QStringLiteral("Commentaire")).Value().toString().size(), 300);
        QCOMPARE(dbError([&] { d.Properties(QStringLiteral("Passe")); }), code(DbErrc::NoSuchProperty));
    }

    void rulesRefuseBadRowsAndWriteNothing() {
        Database d = Database::CreateDatabase(path(QStringLiteral("regles.dat")), kPassword);
        d.CreateTable(classesTable());
        d.CreateTable(seriesTable());
        d.CreateTable(notesTable());
        Recordset classes = d.OpenRecordset(Query(QStringLiteral("Classes")));
        auto addClass = [&](const QVariant& name, const QVariant& width) {
            classes.AddNew();
            if (!name.isNull())
                classes.Fields(QStringLiteral("Nom")).setValue(name);
            if (!width.isNull())
                classes.Fields(QStringLiteral("Colonne")).setValue(width);
            classes.Update();
        };
        addClass(QStringLiteral("6A"), 1800);
        QCOMPARE(dbError([&] { addClass(QStringLiteral("6a"), 1800); }), code(DbErrc::DuplicateKey));
        QCOMPARE(dbError([&] { addClass(QStringLiteral("6B"), QVariant()); }), code(DbErrc::RequiredMissing));
        QCOMPARE(dbError([&] { addClass(QVariant(), 1800); }), code(DbErrc::RequiredMissing));
        QCOMPARE(dbError([&] { addClass(QString(), 1800); }), code(DbErrc::EmptyText));
        QCOMPARE(dbError([&] { addClass(QString(51, u'x'), 1800); }), code(DbErrc::TextTooLong));
        QCOMPARE(dbError([&] { addClass(QStringLiteral("6C"), 40000); }), code(DbErrc::OutOfRange));
        QCOMPARE(dbError([&] { addClass(QStringLiteral("6D"), QStringLiteral("large")); }), code(DbErrc::TypeMismatch));
        QCOMPARE(rowCount(d, QStringLiteral("Classes")), 1);

        Recordset series = d.OpenRecordset(Query(QStringLiteral("Séries")));
        auto addSeries = [&](const QVariant& period, const QVariant& outOf) {
            series.AddNew();
            series.Fields(QStringLiteral("Période")).setValue(period);
            series.Fields(QStringLiteral("Sur")).setValue(outOf);
            series.Update();
        };
        QCOMPARE(dbError([&] { addSeries(0, 20); }), code(DbErrc::ValidationRule));
        QCOMPARE(dbError([&] { addSeries(4, 20); }), code(DbErrc::ValidationRule));
        QCOMPARE(dbError([&] { addSeries(1, 256); }), code(DbErrc::OutOfRange));
        QCOMPARE(dbError([&] { addSeries(1, -1); }), code(DbErrc::OutOfRange));
        QCOMPARE(rowCount(d, QStringLiteral("Séries")), 0);
        // A fraction going into a byte is rounded a half to the even neighbour.
        addSeries(3, 2.5);
        addSeries(QStringLiteral("2"), QStringLiteral("3,5"));
        series.MoveFirst();
        QCOMPARE(series.Fields(QStringLiteral("Sur")).Value(), QVariant(2));
        QCOMPARE(series.Fields(QStringLiteral("Date")).Value(), QVariant(QDateTime(QDate(2024, 9, 2), QTime(8, 30))));
        QVERIFY(series.Fields(QStringLiteral("EC")).Value().isNull());
        series.MoveNext();
        QCOMPARE(series.Fields(QStringLiteral("Sur")).Value(), QVariant(4));
        QCOMPARE(series.Fields(QStringLiteral("Période")).Value(), QVariant(2));

        Recordset notes = d.OpenRecordset(Query(QStringLiteral("Notes")));
        auto addNote = [&](int serie, int student, const QVariant& note) {
            notes.AddNew();
            notes.Fields(QStringLiteral("NumSérie")).setValue(serie);
            notes.Fields(QStringLiteral("NumElv")).setValue(student);
            notes.Fields(QStringLiteral("Note")).setValue(note);
            notes.Update();
        };
        addNote(1, 1, 12.3);
        QCOMPARE(dbError([&] { addNote(1, 1, 15); }), code(DbErrc::DuplicateKey));
        QCOMPARE(dbError([&] { addNote(1, 2, 1e39); }), code(DbErrc::OutOfRange));
        QCOMPARE(rowCount(d, QStringLiteral("Notes")), 1);
        notes.MoveFirst();
        QCOMPARE(notes.Fields(QStringLiteral("Note")).Value().toDouble(), double(12.3f));

        // The rules hold in the file itself, against a writer that skips the engine.
        sqlite3* raw = nullptr;
        sqlite3_open(QFile::encodeName(d.Name()).constData(), &raw);
        sqlite3_key(raw, "730518 KovRM", 12);
        QVERIFY(sqlite3_exec(raw, "INSERT INTO \"Séries\" (\"Période\") VALUES (7)", nullptr, nullptr, nullptr)
                != SQLITE_OK);
        sqlite3_close(raw);
    }

    void autoIncrementKeysAreNeverReused() {
        Database d = Database::CreateDatabase(path(QStringLiteral("cles.dat")), kPassword);
        d.CreateTable(classesTable());
        Recordset rs = d.OpenRecordset(Query(QStringLiteral("Classes")));
        for (const char* name : {"5A", "5B", "5C"}) {
            rs.AddNew();
            rs.Fields(QStringLiteral("Nom")).setValue(QString::fromLatin1(name));
            rs.Fields(QStringLiteral("Colonne")).setValue(1800);
            rs.Update();
            rs.MoveLast();
        }
        QCOMPARE(rs.Fields(QStringLiteral("NumClass")).Value(), QVariant(3));
        QCOMPARE(dbError([&] {
                     rs.Edit();
                     rs.Fields(QStringLiteral("NumClass")).setValue(9);
                 }),
                 code(DbErrc::InvalidOperation));
        rs.Delete();
        rs.AddNew();
        rs.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("5D"));
        rs.Fields(QStringLiteral("Colonne")).setValue(1800);
        rs.Update();
        rs.MoveLast();
        QCOMPARE(rs.Fields(QStringLiteral("NumClass")).Value(), QVariant(4));
    }

    void definitionsAreKeptAndChecked() {
        const QString file = path(QStringLiteral("definitions.dat"));
        {
            Database d = Database::CreateDatabase(file, kPassword);
            d.CreateTable(classesTable());
            d.CreateTable(seriesTable());
            QCOMPARE(dbError([&] { d.CreateTable(classesTable()); }), code(DbErrc::TableExists));
            TableDef badKey = TableDef(QStringLiteral("X")).appendField(
                FieldDef(QStringLiteral("N"), FieldType::Long).setAutoIncrement());
            QCOMPARE(dbError([&] { d.CreateTable(badKey); }), code(DbErrc::InvalidDefinition));
            TableDef badSize =
                TableDef(QStringLiteral("Y")).appendField(FieldDef(QStringLiteral("T"), FieldType::Text, 0));
            QCOMPARE(dbError([&] { d.CreateTable(badSize); }), code(DbErrc::InvalidDefinition));
            TableDef twice = TableDef(QStringLiteral("Z"))
                                 .appendField(FieldDef(QStringLiteral("A"), FieldType::Long))
                                 .appendField(FieldDef(QStringLiteral("a"), FieldType::Long));
            QCOMPARE(dbError([&] { d.CreateTable(twice); }), code(DbErrc::InvalidDefinition));
            TableDef hidden =
                TableDef(QStringLiteral("__Properties")).appendField(FieldDef(QStringLiteral("A"), FieldType::Long));
            QCOMPARE(dbError([&] { d.CreateTable(hidden); }), code(DbErrc::InvalidDefinition));
        }
        Database d = Database::OpenDatabase(file, kPassword);
        QCOMPARE(d.TableNames(), (QStringList{"Classes", "Séries"}));
        const TableDef series = d.TableDefs(QStringLiteral("séries"));
        const TableDef expected = seriesTable();
        QCOMPARE(series.Fields().size(), expected.Fields().size());
        for (int i = 0; i < series.Fields().size(); ++i) {
            const FieldDef& a = series.Fields()[i];
            const FieldDef& b = expected.Fields()[i];
            QCOMPARE(a.Name(), b.Name());
            QCOMPARE(a.Type(), b.Type());
            QCOMPARE(a.Required(), b.Required());
            QCOMPARE(a.AllowZeroLength(), b.AllowZeroLength());
            QCOMPARE(a.AutoIncrement(), b.AutoIncrement());
            QCOMPARE(a.DefaultValue(), b.DefaultValue());
            QCOMPARE(a.ValidationRule().has_value(), b.ValidationRule().has_value());
        }
        QCOMPARE(series.Indexes().size(), 2);
        QCOMPARE(series.Indexes()[1].Fields(), (QStringList{"Période", "Date"}));
        QVERIFY(series.Indexes()[0].Primary());
        QCOMPARE(dbError([&] { d.TableDefs(QStringLiteral("Absente")); }), code(DbErrc::NoSuchTable));
    }

    void addsARequiredFieldToATableWithRows() {
        const QString file = path(QStringLiteral("ajout.dat"));
        {
            Database d = Database::CreateDatabase(file, kPassword);
            d.CreateTable(TableDef(QStringLiteral("Classes"))
                              .appendField(FieldDef(QStringLiteral("NumClass"), FieldType::Long).setAutoIncrement())
                              .appendField(FieldDef(QStringLiteral("Nom"), FieldType::Text, 50).setRequired())
                              .appendIndex(IndexDef(QStringLiteral("NumClass"), {QStringLiteral("NumClass")}).setPrimary()));
            Recordset rs = d.OpenRecordset(Query(QStringLiteral("Classes")));
            for (const char* name : {"4A", "4B"}) {
                rs.AddNew();
                rs.Fields(QStringLiteral("Nom")).setValue(QString::fromLatin1(name));
                rs.Update();
            }
            d.AddField(QStringLiteral("Classes"), FieldDef(QStringLiteral("Colonne"), FieldType::Integer).setRequired());
            QCOMPARE(dbError([&] {
                         d.AddField(QStringLiteral("Classes"), FieldDef(QStringLiteral("colonne"), FieldType::Integer));
                     }),
                     code(DbErrc::FieldExists));
        }
        Database d = Database::OpenDatabase(file, kPassword);
        Recordset rs = d.OpenRecordset(Query(QStringLiteral("Classes")));
        QVERIFY(rs.Fields(QStringLiteral("Colonne")).Value().isNull());
        // A row still lacking the new required field cannot be written back as it is.
        rs.Edit();
        rs.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("4C"));
        QCOMPARE(dbError([&] { rs.Update(); }), code(DbErrc::RequiredMissing));
        rs.Fields(QStringLiteral("Colonne")).setValue(1800);
        rs.Update();
        QCOMPARE(rs.Fields(QStringLiteral("Colonne")).Value(), QVariant(1800));
        rs.AddNew();
        rs.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("4D"));
        QCOMPARE(dbError([&] { rs.Update(); }), code(DbErrc::RequiredMissing));
        QCOMPARE(rowCount(d, QStringLiteral("Classes")), 2);
    }

    void transactionsWriteAllOrNothing() {
        Database d = Database::CreateDatabase(path(QStringLiteral("transactions.dat")), kPassword);
        d.CreateTable(classesTable());
        {
            Transaction outer(d);
            d.CreateTable(notesTable());
            d.AddField(QStringLiteral("Classes"), FieldDef(QStringLiteral("Extra"), FieldType::Long));
            {
                Transaction inner(d);
                d.CreateProperty(QStringLiteral("App"), FieldType::Text, QStringLiteral("x"));
                inner.commit();
            }
            QVERIFY(d.hasTable(QStringLiteral("Notes")));
        }
        QVERIFY(!d.hasTable(QStringLiteral("Notes")));
        QCOMPARE(d.TableDefs(QStringLiteral("Classes")).fieldIndex(QStringLiteral("Extra")), -1);
        QCOMPARE(dbError([&] { d.Properties(QStringLiteral("App")); }), code(DbErrc::NoSuchProperty));
        {
            Transaction t(d);
            d.CreateTable(notesTable());
            t.commit();
        }
        QVERIFY(d.hasTable(QStringLiteral("Notes")));
    }

    void closingEndsEveryRecordset() {
        Database d = Database::CreateDatabase(path(QStringLiteral("fermeture.dat")), kPassword);
        d.CreateTable(classesTable());
        Recordset kept = d.OpenRecordset(Query(QStringLiteral("Classes")));
        {
            // A recordset keeps its connection when the handle it came from goes.
            Database copy = d;
            d = Database();
            Recordset rs = copy.OpenRecordset(Query(QStringLiteral("Classes")));
            QCOMPARE(rs.RecordCount(), 0);
        }
        QCOMPARE(kept.RecordCount(), 0);
        Recordset other;
        QCOMPARE(dbError([&] { other.MoveNext(); }), code(DbErrc::Closed));
        other = Database::OpenDatabase(path(QStringLiteral("fermeture.dat")), kPassword)
                    .OpenRecordset(Query(QStringLiteral("Classes")));
        Database again = Database::OpenDatabase(path(QStringLiteral("fermeture.dat")), kPassword);
        Recordset rs = again.OpenRecordset(Query(QStringLiteral("Classes")));
        again.Close();
        QVERIFY(!rs.isOpen());
        QCOMPARE(dbError([&] { rs.RecordCount(); }), code(DbErrc::Closed));
        QCOMPARE(other.RecordCount(), 0);
    }
};

QTEST_MAIN(tst_Database)
#include "tst_Database.moc"
