// The gradebook file: its schema, the rules of its data model, and its creation.
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/Modal.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "UiHelpers.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace db;
using testsupport::code;
using testsupport::dbError;
using testsupport::rowCount;

namespace {

QString describe(const TableDef& table) {
    QStringList fields;
    for (const FieldDef& f : table.Fields()) {
        static const QHash<FieldType, QString> types = {{FieldType::Long, "Long"}, {FieldType::Integer, "Integer"},
                                                        {FieldType::Byte, "Byte"}, {FieldType::Single, "Single"},
                                                        {FieldType::Date, "Date"}, {FieldType::Text, "Text"},
                                                        {FieldType::Memo, "Memo"}};
        QString d = f.Name() + u':' + types.value(f.Type()) +
                    (f.Type() == FieldType::Text ? QString::number(f.Size()) : QString());
        if (f.AutoIncrement())
            d += u'+';
        if (f.Required())
            d += u'*';
        if (f.isText() && !f.AllowZeroLength())
            d += u'!';
        if (!f.DefaultValue().isNull())
            d += u'=' + f.DefaultValue().toString();
        if (f.ValidationRule())
            d += u"{%1-%2}"_s.arg(f.ValidationRule()->low).arg(f.ValidationRule()->high);
        fields << d;
    }
    QStringList indexes;
    for (const IndexDef& i : table.Indexes())
        indexes << i.Name() + u'(' + i.Fields().join(u',') + u')' + (i.Primary() ? "P" : "") + (i.Unique() ? "U" : "");
    return table.Name() + u": "_s + fields.join(u", "_s) + u" / "_s + indexes.join(u", "_s);
}

// A value that each field accepts; texts and numbers differ from row to row.
QVariant validValue(const FieldDef& f, int row) {
    switch (f.Type()) {
        case FieldType::Text:
            return u"T%1"_s.arg(row);
        case FieldType::Memo:
            return u"Né le 1er mai"_s;
        case FieldType::Long:
            return row;
        case FieldType::Byte:
            return 2;
        case FieldType::Integer:
            return 600;
        case FieldType::Single:
            return 12.5;
        case FieldType::Date:
            return QDateTime(QDate(2024, 10, 1), QTime(9, 0));
        default:
            return {};
    }
}

}  // namespace

class tst_GradebookFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    const QDateTime m_created{QDate(2024, 9, 2), QTime(8, 30)};

private slots:
    void cleanup() {
        mUtilities::gRsNotes = Recordset();
        mUtilities::gDB = Database();
        mUtilities::setNewGradebookNotice({});
    }

    void aNewGradebookHoldsExactlyTheSchema() {
        const QString file = path(u"Année 2024-2025.dat"_s);
        mUtilities::CreateGradebookFile(file, m_created);
        QCOMPARE(dbError([&] { Database::OpenDatabase(file, u"730518 KovRM "_s); }), code(DbErrc::NotADatabase));
        Database d = Database::OpenDatabase(file, gradebook::databasePassword());

        QCOMPARE(d.PropertyNames(), (QStringList{"App", "VersionID", "Passe", "Moyenne"}));
        QCOMPARE(d.Properties(u"App"_s).Value(), QVariant(u"Vorsk App Quibolet"_s));
        QCOMPARE(d.Properties(u"VersionID"_s).Value(), QVariant(u"1.2.2"_s));
        QCOMPARE(d.Properties(u"Passe"_s).Value(), QVariant(u"Undefined"_s));
        QCOMPARE(d.Properties(u"Moyenne"_s).Type(), FieldType::Byte);
        QCOMPARE(d.Properties(u"Moyenne"_s).Value(), QVariant(1));

        QCOMPARE(d.TableNames(), (QStringList{"Classes", "Coefficients", "Elèves", "Matières", "Notes", "Séries"}));
        QStringList schema;
        for (const QString& t : d.TableNames())
            schema << describe(d.TableDefs(t));
        const QStringList expected = {
            "Classes: NumClass:Long+, Nom:Text50*!, Nom abrégé:Text15*!, Colonne:Integer* / NumClass(NumClass)P, "
            "Nom(Nom)U, Nom abrégé(Nom abrégé)U",
            "Coefficients: NumClass:Long*, NumMat:Long*, Coefficient:Byte*=1 / NumClassMat(NumClass,NumMat)P, "
            "NumClass(NumClass), NumMat(NumMat)",
            "Elèves: NumElv:Long+, Nom:Text50*!, Prénom:Text50*!, NumClass:Long*, EC:Memo / NumElv(NumElv)P, "
            "NumClass(NumClass), NomPrénom(Nom,Prénom)U",
            "Matières: NumMat:Long+, Nom:Text50*! / NumMat(NumMat)P, Nom(Nom)U",
            "Notes: Note:Single*=0, NumSérie:Long*, NumElv:Long* / NumSérieElv(NumSérie,NumElv)P, "
            "NumSérie(NumSérie), NumElv(NumElv)",
            "Séries: NumSérie:Long+, Nom:Text30*!, Sur:Byte*=0, Coefficient:Byte*=0, "
            "Date:Date*=2024-09-02T08:30:00.000, "
            "Période:Byte*=1{1-3}, NumMat:Long*, NumClass:Long*, Colonne:Integer* / NumSérie(NumSérie)P, "
            "PériodeDate(Période,Date), NumClass(NumClass), NumMat(NumMat)"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(schema[i], expected[i]);
        for (const QString& t : d.TableNames())
            QCOMPARE(rowCount(d, t), 0);
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(u".tmp"_s).isEmpty());
    }

    // Every required field, every text that refuses "", every unique index and the period
    // rule refuse a bad row, and nothing is written.
    void everyRuleRefusesABadRow() {
        const QString file = path(u"regles.dat"_s);
        mUtilities::CreateGradebookFile(file, m_created);
        Database d = Database::OpenDatabase(file, gradebook::databasePassword());
        int row = 0;
        for (const TableDef& table : gradebook::gradebookTables(m_created)) {
            Recordset rs = d.OpenRecordset(Query(table.Name()));
            auto add = [&](int breaking, const QVariant& bad) {
                ++row;
                rs.AddNew();
                for (int f = 0; f < table.Fields().size(); ++f)
                    if (!table.Fields()[f].AutoIncrement())
                        rs.Fields(table.Fields()[f].Name())
                            .setValue(f == breaking ? bad : validValue(table.Fields()[f], row));
            };
            add(-1, {});
            rs.Update();
            rs.MoveFirst();
            QVariantList first;
            for (const FieldDef& f : table.Fields())
                first << rs.Fields(f.Name()).Value();
            for (int f = 0; f < table.Fields().size(); ++f) {
                const FieldDef& field = table.Fields()[f];
                const QString what = table.Name() + u'.' + field.Name();
                if (field.Required() && !field.AutoIncrement()) {
                    add(f, QVariant());
                    QVERIFY2(dbError([&] { rs.Update(); }) == code(DbErrc::RequiredMissing), qPrintable(what));
                }
                if (field.isText() && !field.AllowZeroLength()) {
                    add(f, QString());
                    QVERIFY2(dbError([&] { rs.Update(); }) == code(DbErrc::EmptyText), qPrintable(what));
                }
            }
            for (const IndexDef& index : table.Indexes()) {
                const bool autoKey = table.Fields()[table.fieldIndex(index.Fields()[0])].AutoIncrement();
                if ((!index.Primary() && !index.Unique()) || autoKey)
                    continue;
                // The same values as the first row, letter case changed.
                add(-1, {});
                for (const QString& field : index.Fields()) {
                    const QVariant v = first[table.fieldIndex(field)];
                    rs.Fields(field).setValue(v.typeId() == QMetaType::QString ? v.toString().toLower() : v);
                }
                QVERIFY2(dbError([&] { rs.Update(); }) == code(DbErrc::DuplicateKey),
                         qPrintable(table.Name() + u'.' + index.Name()));
            }
            QCOMPARE(rowCount(d, table.Name()), 1);
        }
        Recordset series = d.OpenRecordset(Query(u"Séries"_s));
        series.MoveFirst();
        for (int period : {0, 4}) {
            series.Edit();
            series.Fields(u"Période"_s).setValue(period);
            QCOMPARE(dbError([&] { series.Update(); }), code(DbErrc::ValidationRule));
        }
        series.Edit();
        series.Fields(u"Période"_s).setValue(3);
        series.Update();
        // Series names may repeat.
        const QString name = series.Fields(u"Nom"_s).Value().toString();
        series.AddNew();
        for (const char* f : {"Sur", "Coefficient", "NumMat", "NumClass", "Colonne"})
            series.Fields(QString::fromLatin1(f)).setValue(1);
        series.Fields(u"Nom"_s).setValue(name);
        series.Update();
    }

    void creationReplacesAFileOnlyOnceComplete() {
        QString notice;
        QStringList lines;
        mUtilities::setNewGradebookNotice([&](const QString& heading, const QStringList& l) {
            notice = heading;
            lines = l;
        });
        const QString file = path(u"remplace.dat"_s);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("ancien carnet");
        old.close();
        QVERIFY(mUtilities::CreateGradebook(file));
        QCOMPARE(notice, u"Nouveau carnet de notes créé."_s);
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[5], QStringLiteral("Vous pouvez protéger l'accès à ce carnet de notes par un mot de passe "
                                          "(menu Outils/Options)."));
        QCOMPARE(mUtilities::GetFileKind(Database::OpenDatabase(file, gradebook::databasePassword())), quint8(1));

        // A disk that fills up half-way leaves the previous gradebook whole, and no partial file.
        const QByteArray before = testsupport::fileBytes(file);
        platform::ModalTestScope scope;
        QString message;
        scope.push([&](QWidget& w) {
            message = qobject_cast<QMessageBox*>(&w)->text();
            testsupport::clickButton(w, u"OK"_s);
        });
        bool created = true;
        {
            testsupport::FileSizeLimit full(8 * 1024);
            created = mUtilities::CreateGradebook(file);
        }
        QVERIFY(!created);
        QCOMPARE(message, u"Impossible de créer "_s + file + u'.');
        QCOMPARE(testsupport::fileBytes(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(u"remplace"_s),
                 QStringList{u"remplace.dat"_s});

        // The open gradebook is never replaced under the program's feet.
        mUtilities::gDB = Database::OpenDatabase(file, gradebook::databasePassword());
        scope.push([&](QWidget& w) { testsupport::clickButton(w, u"OK"_s); });
        QVERIFY(!mUtilities::CreateGradebook(path(u"./remplace.dat"_s)));
        QCOMPARE(testsupport::fileBytes(file), before);
        scope.push([&](QWidget& w) { testsupport::clickButton(w, u"OK"_s); });
        QVERIFY(!mUtilities::CreateGradebook(path(u"absent/carnet.dat"_s)));
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_GradebookFile)
#include "tst_GradebookFile.moc"
