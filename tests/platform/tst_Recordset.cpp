// Recordsets of the database engine: moving, finding, adding, editing and deleting rows.
#include "platform/db/Database.h"
#include "DbTestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace db;
using testsupport::code;
using testsupport::dbError;

namespace {

const QString kPassword = QStringLiteral("730518 KovRM");

// Students with a unique name pair, and grades keyed by series and student.
Database makeFile(const QString& file) {
    Database d = Database::CreateDatabase(file, kPassword);
    d.CreateTable(TableDef(QStringLiteral("Elèves"))
                      .appendField(FieldDef(QStringLiteral("NumElv"), FieldType::Long).setAutoIncrement())
                      .appendField(FieldDef(QStringLiteral("Nom"), FieldType::Text, 50).setRequired())
                      .appendField(FieldDef(QStringLiteral("Prénom"), FieldType::Text, 50).setRequired())
                      .appendField(FieldDef(QStringLiteral("NumClass"), FieldType::Long).setRequired())
                      .appendIndex(IndexDef(QStringLiteral("NumElv"), {QStringLiteral("NumElv")}).setPrimary())
                      .appendIndex(IndexDef(QStringLiteral("NumClass"), {QStringLiteral("NumClass")}))
                      .appendIndex(IndexDef(QStringLiteral("NomPrénom"), {QStringLiteral("Nom"), QStringLiteral("Prénom")})
                                       .setUnique()));
    d.CreateTable(TableDef(QStringLiteral("Classes"))
                      .appendField(FieldDef(QStringLiteral("NumClass"), FieldType::Long).setAutoIncrement())
                      .appendField(FieldDef(QStringLiteral("Nom"), FieldType::Text, 50).setRequired())
                      .appendIndex(IndexDef(QStringLiteral("NumClass"), {QStringLiteral("NumClass")}).setPrimary()));
    d.CreateTable(TableDef(QStringLiteral("Notes"))
                      .appendField(FieldDef(QStringLiteral("Note"), FieldType::Single).setRequired().setDefaultValue(0))
                      .appendField(FieldDef(QStringLiteral("NumSérie"), FieldType::Long).setRequired())
                      .appendField(FieldDef(QStringLiteral("NumElv"), FieldType::Long).setRequired())
                      .appendIndex(IndexDef(QStringLiteral("NumSérieElv"),
                                            {QStringLiteral("NumSérie"), QStringLiteral("NumElv")})
                                       .setPrimary())
                      .appendIndex(IndexDef(QStringLiteral("NumSérie"), {QStringLiteral("NumSérie")}))
                      .appendIndex(IndexDef(QStringLiteral("NumElv"), {QStringLiteral("NumElv")})));
    return d;
}

void addStudent(Recordset& rs, const QString& name, const QString& first, int classKey) {
    rs.AddNew();
    rs.Fields(QStringLiteral("Nom")).setValue(name);
    rs.Fields(QStringLiteral("Prénom")).setValue(first);
    rs.Fields(QStringLiteral("NumClass")).setValue(classKey);
    rs.Update();
}

void addNote(Recordset& rs, int series, int student, double note) {
    rs.AddNew();
    rs.Fields(QStringLiteral("NumSérie")).setValue(series);
    rs.Fields(QStringLiteral("NumElv")).setValue(student);
    rs.Fields(QStringLiteral("Note")).setValue(note);
    rs.Update();
}

QStringList names(Recordset rs) {
    QStringList result;
    for (; !rs.Eof(); rs.MoveNext())
        result << rs.Fields(QStringLiteral("Nom")).Value().toString();
    return result;
}

Criteria grade(int series, int student) {
    return Field(QStringLiteral("NumSérie")) == series && Field(QStringLiteral("NumElv")) == student;
}

}  // namespace

class tst_Recordset : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    Database m_db;

private slots:
    void init() { m_db = makeFile(m_dir.filePath(QStringLiteral("f%1.dat").arg(++m_files))); }
    void cleanup() { m_db = Database(); }

    void navigationOfEveryKind() {
        for (RecordsetType type : {RecordsetType::Dynaset, RecordsetType::Snapshot, RecordsetType::ForwardOnly}) {
            Recordset empty = m_db.OpenRecordset(Query(QStringLiteral("Elèves")), type);
            QCOMPARE(empty.RecordCount(), 0);
            QVERIFY(empty.Eof());
            QCOMPARE(empty.AbsolutePosition(), -1);
            QCOMPARE(dbError([&] { empty.MoveFirst(); }), code(DbErrc::NoCurrentRecord));
            QCOMPARE(dbError([&] { empty.MoveNext(); }), code(DbErrc::NoCurrentRecord));
            QCOMPARE(dbError([&] { empty.Fields(QStringLiteral("Nom")).Value(); }), code(DbErrc::NoCurrentRecord));
        }
        Recordset students = m_db.OpenRecordset(Query(QStringLiteral("Elèves")));
        addStudent(students, QStringLiteral("Martin"), QStringLiteral("Léa"), 1);
        addStudent(students, QStringLiteral("Durand"), QStringLiteral("Paul"), 2);
        addStudent(students, QStringLiteral("Bernard"), QStringLiteral("Zoé"), 1);

        for (RecordsetType type : {RecordsetType::Dynaset, RecordsetType::Snapshot, RecordsetType::ForwardOnly}) {
            // Table order is the order in which rows were added.
            QCOMPARE(names(m_db.OpenRecordset(Query(QStringLiteral("Elèves")), type)),
                     (QStringList{"Martin", "Durand", "Bernard"}));
            Recordset sorted = m_db.OpenRecordset(Query(QStringLiteral("Elèves")).orderBy({QStringLiteral("Nom")}), type);
            QCOMPARE(sorted.RecordCount(), 3);
            QCOMPARE(sorted.AbsolutePosition(), 0);
            sorted.setAbsolutePosition(2);
            QCOMPARE(sorted.Fields(QStringLiteral("Nom")).Value(), QVariant(QStringLiteral("Martin")));
            QCOMPARE(sorted.AbsolutePosition(), 2);
            QCOMPARE(dbError([&] { sorted.setAbsolutePosition(3); }), code(DbErrc::OutOfRange));
            sorted.MoveNext();
            QVERIFY(sorted.Eof());
            QCOMPARE(sorted.AbsolutePosition(), -1);
            if (type == RecordsetType::ForwardOnly) {
                QCOMPARE(dbError([&] { sorted.MoveFirst(); }), code(DbErrc::InvalidOperation));
            } else {
                sorted.MoveFirst();
                QCOMPARE(sorted.Fields(QStringLiteral("Nom")).Value(), QVariant(QStringLiteral("Bernard")));
                sorted.MoveLast();
                QCOMPARE(sorted.RecordCount(), 3);
            }
        }
        Recordset ofClass = m_db.OpenRecordset(
            Query(QStringLiteral("Elèves")).where(Field(QStringLiteral("NumClass")) == 1).orderBy({QStringLiteral("Nom")}),
            RecordsetType::Snapshot);
        QCOMPARE(names(std::move(ofClass)), (QStringList{"Bernard", "Martin"}));
        QCOMPARE(dbError([&] { m_db.OpenRecordset(Query(QStringLiteral("Elèves")).orderBy({QStringLiteral("Age")})); }),
                 code(DbErrc::NoSuchField));
        QCOMPARE(dbError([&] { students.Fields(QStringLiteral("Age")); }), code(DbErrc::NoSuchField));
        QCOMPARE(dbError([&] { m_db.OpenRecordset(Query(QStringLiteral("Profs"))); }), code(DbErrc::NoSuchTable));
    }

    void findsOnEveryKind() {
        Recordset notes = m_db.OpenRecordset(Query(QStringLiteral("Notes")));
        for (int series = 1; series <= 3; ++series)
            for (int student = 1; student <= 4; ++student)
                addNote(notes, series, student, series * 10 + student);

        const Query queries[] = {Query(QStringLiteral("Notes")),
                                 Query(QStringLiteral("Notes")).orderBy({QStringLiteral("NumElv")})};
        for (const Query& query : queries)
            for (RecordsetType type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
                Recordset rs = m_db.OpenRecordset(query, type);
                rs.MoveLast();
                rs.FindFirst(grade(2, 3));
                QVERIFY(!rs.NoMatch());
                QCOMPARE(rs.Fields(QStringLiteral("Note")).Value().toDouble(), 23.0);
                const int at = rs.AbsolutePosition();
                // No match leaves the current row where it was.
                rs.FindFirst(grade(2, 9));
                QVERIFY(rs.NoMatch());
                QCOMPARE(rs.AbsolutePosition(), at);
                QCOMPARE(rs.Fields(QStringLiteral("Note")).Value().toDouble(), 23.0);

                QList<int> found;
                for (rs.FindFirst(Field(QStringLiteral("NumElv")) == 2); !rs.NoMatch();
                     rs.FindNext(Field(QStringLiteral("NumElv")) == 2))
                    found << rs.Fields(QStringLiteral("NumSérie")).Value().toInt();
                QCOMPARE(found, (QList<int>{1, 2, 3}));
                // A text that reads as a number finds the number; one that does not is refused.
                rs.FindFirst(Field(QStringLiteral("NumSérie")) == QStringLiteral("3"));
                QVERIFY(!rs.NoMatch());
                QCOMPARE(dbError([&] { rs.FindFirst(Field(QStringLiteral("NumSérie")) == QStringLiteral("trois")); }),
                         code(DbErrc::TypeMismatch));
                QCOMPARE(dbError([&] { rs.FindFirst(Field(QStringLiteral("Age")) == 3); }), code(DbErrc::NoSuchField));
            }
    }

    // The dynaset kept open on the whole table of grades must not read the table to find one.
    void findsOnTheWholeTableUseItsIndexes() {
        Recordset notes = m_db.OpenRecordset(Query(QStringLiteral("Notes")));
        {
            Transaction t(m_db);
            for (int series = 1; series <= 100; ++series)
                for (int student = 1; student <= 40; ++student)
                    addNote(notes, series, student, 10);
            t.commit();
        }
        const quint64 before = m_db.fullScanSteps();
        notes.FindFirst(grade(77, 31));
        QVERIFY(!notes.NoMatch());
        notes.FindNext(grade(77, 31));
        QVERIFY(notes.NoMatch());
        notes.FindFirst(Field(QStringLiteral("NumSérie")) == 50);
        notes.FindNext(Field(QStringLiteral("NumSérie")) == 50);
        QCOMPARE(notes.Fields(QStringLiteral("NumElv")).Value(), QVariant(2));
        notes.FindFirst(Field(QStringLiteral("NumElv")) == 40);
        QCOMPARE(notes.Fields(QStringLiteral("NumSérie")).Value(), QVariant(1));
        notes.Edit();
        notes.Fields(QStringLiteral("Note")).setValue(12.5);
        notes.Update();
        notes.Delete();
        QCOMPARE(m_db.fullScanSteps(), before);
    }

    void editsAndDeletesAreSeenAtOnce() {
        Recordset notes = m_db.OpenRecordset(Query(QStringLiteral("Notes")));
        addNote(notes, 1, 1, 8);
        QVERIFY(notes.Eof());  // opened empty: adding a row does not move
        notes.MoveFirst();
        addNote(notes, 1, 2, 9);
        QCOMPARE(notes.Fields(QStringLiteral("NumElv")).Value(), QVariant(1));
        addNote(notes, 2, 1, 10);
        addNote(notes, 1, 3, 11);
        QCOMPARE(notes.RecordCount(), 4);
        notes.MoveLast();
        QCOMPARE(notes.Fields(QStringLiteral("NumElv")).Value(), QVariant(3));

        // Delete every grade of series 1, as the deletion of a series does.
        for (notes.FindFirst(Field(QStringLiteral("NumSérie")) == 1); !notes.NoMatch();
             notes.FindNext(Field(QStringLiteral("NumSérie")) == 1)) {
            notes.Delete();
            QCOMPARE(dbError([&] { notes.Fields(QStringLiteral("Note")).Value(); }), code(DbErrc::NoCurrentRecord));
            QCOMPARE(notes.AbsolutePosition(), -1);
            QVERIFY(!notes.Eof());
        }
        QCOMPARE(notes.RecordCount(), 1);
        QCOMPARE(m_db.OpenRecordset(Query(QStringLiteral("Notes")), RecordsetType::Snapshot).RecordCount(), 1);

        notes.FindFirst(grade(2, 1));
        notes.Edit();
        notes.Fields(QStringLiteral("Note")).setValue(QStringLiteral("12,3"));
        QCOMPARE(notes.Fields(QStringLiteral("Note")).Value().toFloat(), 12.3f);
        notes.Update();
        QCOMPARE(dbError([&] { notes.Update(); }), code(DbErrc::UpdateWithoutEdit));
        QCOMPARE(dbError([&] { notes.Fields(QStringLiteral("Note")).setValue(1); }), code(DbErrc::UpdateWithoutEdit));
        Recordset copy = m_db.OpenRecordset(Query(QStringLiteral("Notes")), RecordsetType::Snapshot);
        QCOMPARE(copy.Fields(QStringLiteral("Note")).Value().toFloat(), 12.3f);
        QCOMPARE(dbError([&] { copy.Edit(); }), code(DbErrc::ReadOnly));
        QCOMPARE(dbError([&] { copy.AddNew(); }), code(DbErrc::ReadOnly));
        QCOMPARE(dbError([&] { copy.Delete(); }), code(DbErrc::ReadOnly));

        // A refused row stays pending and nothing is written; a move drops it.
        notes.AddNew();
        notes.Fields(QStringLiteral("NumSérie")).setValue(2);
        notes.Fields(QStringLiteral("NumElv")).setValue(1);
        QCOMPARE(dbError([&] { notes.Update(); }), code(DbErrc::DuplicateKey));
        notes.Fields(QStringLiteral("NumElv")).setValue(5);
        notes.Update();
        QCOMPARE(notes.RecordCount(), 2);
        notes.AddNew();
        notes.Fields(QStringLiteral("NumSérie")).setValue(9);
        notes.MoveFirst();
        QCOMPARE(dbError([&] { notes.Update(); }), code(DbErrc::UpdateWithoutEdit));
        QCOMPARE(notes.RecordCount(), 2);
    }

    void aSortedDynasetKeepsNewRowsLast() {
        Recordset students =
            m_db.OpenRecordset(Query(QStringLiteral("Elèves")).orderBy({QStringLiteral("Nom"), QStringLiteral("Prénom")}));
        addStudent(students, QStringLiteral("Martin"), QStringLiteral("Léa"), 1);
        addStudent(students, QStringLiteral("Bernard"), QStringLiteral("Zoé"), 1);
        students.MoveLast();
        QCOMPARE(students.Fields(QStringLiteral("Nom")).Value(), QVariant(QStringLiteral("Bernard")));
        QCOMPARE(students.Fields(QStringLiteral("NumElv")).Value(), QVariant(2));

        Recordset reopened =
            m_db.OpenRecordset(Query(QStringLiteral("Elèves")).orderBy({QStringLiteral("Nom"), QStringLiteral("Prénom")}));
        QCOMPARE(reopened.Fields(QStringLiteral("Nom")).Value(), QVariant(QStringLiteral("Bernard")));
        addStudent(reopened, QStringLiteral("Abel"), QStringLiteral("Jean"), 1);
        reopened.MoveLast();
        QCOMPARE(reopened.Fields(QStringLiteral("Nom")).Value(), QVariant(QStringLiteral("Abel")));
        QCOMPARE(reopened.AbsolutePosition(), 2);
        reopened.MoveFirst();
        reopened.Delete();  // Bernard
        reopened.MoveNext();
        QCOMPARE(reopened.Fields(QStringLiteral("Nom")).Value(), QVariant(QStringLiteral("Martin")));
        QCOMPARE(reopened.RecordCount(), 2);
        // Rows deleted through another recordset are skipped.
        students.FindFirst(Field(QStringLiteral("Nom")) == QStringLiteral("Martin"));
        students.Delete();
        reopened.MoveFirst();
        QCOMPARE(reopened.Fields(QStringLiteral("Nom")).Value(), QVariant(QStringLiteral("Abel")));
    }

    void namesAreJustNames() {
        Recordset students = m_db.OpenRecordset(Query(QStringLiteral("Elèves")));
        const QStringList awkward = {QStringLiteral("O'Neil"), QStringLiteral("Le \"Grand\""), QStringLiteral("100%"),
                                     QStringLiteral("a_b"), QStringLiteral("C:\\x"), QStringLiteral("x' OR '1'='1")};
        for (const QString& name : awkward)
            addStudent(students, name, QStringLiteral("P"), 1);
        addStudent(students, QStringLiteral("Dupont"), QStringLiteral("Éric"), 1);
        addStudent(students, QStringLiteral("Eric"), QStringLiteral("Jean"), 1);
        addStudent(students, QStringLiteral("Éric"), QStringLiteral("Jean"), 1);

        for (RecordsetType type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
            Recordset rs = m_db.OpenRecordset(Query(QStringLiteral("Elèves")), type);
            for (const QString& name : awkward) {
                rs.FindFirst(Field(QStringLiteral("Nom")) == name);
                QVERIFY2(!rs.NoMatch(), qPrintable(name));
                QCOMPARE(rs.Fields(QStringLiteral("Nom")).Value().toString(), name);
            }
            rs.FindFirst(Field(QStringLiteral("Nom")) == QStringLiteral("100_"));
            QVERIFY(rs.NoMatch());
            rs.FindFirst(Field(QStringLiteral("Nom")) == QStringLiteral("DUPONT") &&
                         Field(QStringLiteral("Prénom")) == QStringLiteral("éric"));
            QVERIFY(!rs.NoMatch());
            rs.FindFirst(Field(QStringLiteral("Nom")) == QStringLiteral("dupont") &&
                         Field(QStringLiteral("Prénom")) == QStringLiteral("Eric"));
            QVERIFY(rs.NoMatch());
        }
        QCOMPARE(dbError([&] { addStudent(students, QStringLiteral("dupont"), QStringLiteral("ÉRIC"), 2); }),
                 code(DbErrc::DuplicateKey));
        addStudent(students, QStringLiteral("Dupont"), QStringLiteral("Eric"), 2);
        Recordset one = m_db.OpenRecordset(
            Query(QStringLiteral("Elèves")).where(Field(QStringLiteral("Nom")) == QStringLiteral("o'neil")),
            RecordsetType::Snapshot);
        QCOMPARE(one.RecordCount(), 1);
    }

    void textsSortInFrenchOrder() {
        Recordset students = m_db.OpenRecordset(Query(QStringLiteral("Elèves")));
        int n = 0;
        for (const char* name : {"Zoé", "Martin", "Éric", "dupont", "Durand", "Dupont", "Émile", "Eric"})
            addStudent(students, QString::fromUtf8(name), QString::number(++n), 1);
        const QStringList sorted = names(m_db.OpenRecordset(
            Query(QStringLiteral("Elèves")).orderBy({QStringLiteral("Nom"), QStringLiteral("Prénom")}),
            RecordsetType::Snapshot));
        QCOMPARE(sorted, (QStringList{"dupont", "Dupont", "Durand", "Émile", "Eric", "Éric", "Martin", "Zoé"}));
    }

    void joinsReadFieldsOfBothTables() {
        Recordset classes = m_db.OpenRecordset(Query(QStringLiteral("Classes")));
        for (const char* name : {"6A", "5B"}) {
            classes.AddNew();
            classes.Fields(QStringLiteral("Nom")).setValue(QString::fromLatin1(name));
            classes.Update();
        }
        Recordset students = m_db.OpenRecordset(Query(QStringLiteral("Elèves")));
        addStudent(students, QStringLiteral("Martin"), QStringLiteral("Léa"), 2);
        addStudent(students, QStringLiteral("Bernard"), QStringLiteral("Zoé"), 1);
        addStudent(students, QStringLiteral("Sans"), QStringLiteral("Classe"), 7);

        const Query query = Query(QStringLiteral("Elèves"))
                                .innerJoin(QStringLiteral("Classes"), QStringLiteral("NumClass"), QStringLiteral("NumClass"))
                                .select({QStringLiteral("Elèves.Nom"), QStringLiteral("Elèves.Prénom"),
                                         QStringLiteral("Elèves.NumElv"), QStringLiteral("Classes.Nom")})
                                .orderBy({QStringLiteral("Elèves.Nom"), QStringLiteral("Elèves.Prénom")});
        Recordset rs = m_db.OpenRecordset(query, RecordsetType::Snapshot);
        QCOMPARE(rs.RecordCount(), 2);
        QCOMPARE(rs.FieldCount(), 4);
        QCOMPARE(rs.Fields(QStringLiteral("Elèves.Nom")).Value(), QVariant(QStringLiteral("Bernard")));
        QCOMPARE(rs.Fields(QStringLiteral("Prénom")).Value(), QVariant(QStringLiteral("Zoé")));
        QCOMPARE(rs.Fields(QStringLiteral("Classes.Nom")).Value(), QVariant(QStringLiteral("6A")));
        QCOMPARE(dbError([&] { rs.Fields(QStringLiteral("Nom")); }), code(DbErrc::NoSuchField));
        rs.FindFirst(Field(QStringLiteral("Classes.Nom")) == QStringLiteral("5b"));
        QCOMPARE(rs.Fields(QStringLiteral("NumElv")).Value(), QVariant(1));
        QCOMPARE(dbError([&] { m_db.OpenRecordset(query, RecordsetType::Dynaset); }), code(DbErrc::InvalidOperation));
    }
};

QTEST_MAIN(tst_Recordset)
#include "tst_Recordset.moc"
