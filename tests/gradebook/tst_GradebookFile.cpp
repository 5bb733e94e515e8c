// The gradebook file: its schema, the rules of its data model, and its creation.
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/Modal.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "GradebookBuilder.h"
#include "PartialGradebook.h"
#include "UiHelpers.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace db;
using namespace testsupport;

namespace {

// Every part of a definition, as one line that QCOMPARE can show.
QString describe(const TableDef& table) {
    QStringList parts{table.Name()};
    for (const FieldDef& f : table.Fields()) {
        const QString rule = f.ValidationRule() ? u"%1-%2"_s.arg(f.ValidationRule()->low).arg(f.ValidationRule()->high) : u""_s;
        parts << u"%1 %2/%3 %4%5%6 =%7 %8"_s.arg(f.Name(), QString::number(int(f.Type())), QString::number(f.Size()),
                                                 QString::number(f.AutoIncrement()), QString::number(f.Required()),
                                                 QString::number(f.AllowZeroLength()), f.DefaultValue().toString(), rule);
    }
    for (const IndexDef& i : table.Indexes())
        parts << i.Name() + u'(' + i.Fields().join(u',') + u')' + (i.Primary() ? "P" : "") + (i.Unique() ? "U" : "");
    return parts.join(u", "_s);
}

// The file's properties and the definitions of its tables, one line each.
QStringList schemaOf(const Database& d) {
    QStringList lines;
    for (const QString& name : d.PropertyNames())
        lines << name + u'=' + d.Properties(name).Value().toString();
    for (const QString& table : d.TableNames())
        lines << describe(d.TableDefs(table));
    return lines;
}

// Those of a new gradebook, as the program states them, dated the day it was made.
QStringList newSchema() {
    QStringList lines{"App=Vorsk App Quibolet", "VersionID=1.2.2", "Passe=Undefined", "Moyenne=1"};
    for (const TableDef& table : gradebook::gradebookTables(kPartialCreated))
        lines << describe(table);
    return lines;
}

// A value that each field accepts; texts and numbers differ from row to row.
QVariant validValue(const FieldDef& f, int row) {
    const QHash<FieldType, QVariant> values = {
        {FieldType::Text, u"T%1"_s.arg(row)}, {FieldType::Memo, u"Né le 1er mai"_s}, {FieldType::Long, row},
        {FieldType::Byte, 2}, {FieldType::Integer, 600}, {FieldType::Single, 12.5},
        {FieldType::Date, QDateTime(QDate(2024, 10, 1), QTime(9, 0))}};
    return values.value(f.Type());
}

}  // namespace

class tst_GradebookFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    const QDateTime m_created = kPartialCreated;

private slots:
    void cleanup() {
        mUtilities::gRsNotes = Recordset();
        mUtilities::gDB = Database();
        mUtilities::setNewGradebookNotice({});
    }

    void aNewGradebookHoldsExactlyTheSchema() {
        const QString file = path(u"Année 2024-2025.dat"_s);
        mUtilities::CreateGradebookFile(file, m_created);
        Database d = openGradebook(file);
        QCOMPARE(schemaOf(d), newSchema());
        for (const QString& table : d.TableNames())
            QCOMPARE(rowCount(d, table), 0);
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(u".tmp"_s).isEmpty());
    }

    // Every required field, every text that refuses "", every unique index and the period
    // rule refuse a bad row, and nothing is written.
    void everyRuleRefusesABadRow() {
        const QString file = path(u"regles.dat"_s);
        mUtilities::CreateGradebookFile(file, m_created);
        Database d = openGradebook(file);
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
        addRow(series, {{"Nom", name}, {"Sur", 1}, {"Coefficient", 1}, {"NumMat", 1}, {"NumClass", 1}, {"Colonne", 1}});
    }

    // A name typed with a combining accent is stored composed: the unique rules then see the
    // name that the eye sees, and it reads back equal to the same name typed precomposed.
    void namesThatLookAlikeAreOneName() {
        const QString decomposed = u"e\u0301cole"_s, composed = u"\u00e9cole"_s;
        testsupport::GradebookBuilder b(path(u"noms.dat"_s));
        const int cls = b.addClass(decomposed, u"6"_s + decomposed);
        QCOMPARE(dbError([&] { b.addClass(composed, u"autre"_s); }), code(DbErrc::DuplicateKey));
        QCOMPARE(dbError([&] { b.addClass(u"autre"_s, u"6"_s + composed); }), code(DbErrc::DuplicateKey));
        b.addSubject(u"Franc\u0327ais"_s);
        QCOMPARE(dbError([&] { b.addSubject(u"Français"_s); }), code(DbErrc::DuplicateKey));
        b.addStudent(cls, u"Zoe\u0301"_s, decomposed);
        QCOMPARE(dbError([&] { b.addStudent(cls, u"Zoé"_s, composed); }), code(DbErrc::DuplicateKey));
        b.addSeries(cls, 1, u"Dicte\u0301e"_s, 20, 1, 1);
        b.close();

        Database d = openGradebook(b.path());
        QStringList names;
        for (const auto& [table, field] : {std::pair{"Classes", "Nom"}, {"Classes", "Nom abrégé"}, {"Matières", "Nom"},
                                           {"Elèves", "Nom"}, {"Elèves", "Prénom"}, {"Séries", "Nom"}}) {
            Recordset rs = d.OpenRecordset(Query(QString::fromUtf8(table)), RecordsetType::Snapshot);
            names << rs.Fields(QString::fromUtf8(field)).Value().toString();
        }
        QCOMPARE(names, (QStringList{composed, u"6"_s + composed, u"Français"_s, u"Zoé"_s, composed, u"Dictée"_s}));
    }

    void creationReplacesAFileOnlyOnceComplete() {
        QString notice;
        mUtilities::setNewGradebookNotice([&](const QString& heading, const QStringList&) { notice = heading; });
        const QString file = path(u"remplace.dat"_s);
        QVERIFY(writeFile(file, "ancien carnet"));
        QVERIFY(mUtilities::CreateGradebook(file));
        QCOMPARE(notice, u"Nouveau carnet de notes créé."_s);
        QCOMPARE(mUtilities::GetFileKind(openGradebook(file)), quint8(1));

        // A disk that fills up half-way leaves the previous gradebook whole, and no partial file.
        const QByteArray before = fileBytes(file);
        platform::ModalTestScope scope;
        QString message;
        scope.push([&](QWidget& w) {
            message = qobject_cast<QMessageBox*>(&w)->text();
            clickButton(w, u"OK"_s);
        });
        bool created = true;
        {
            FileSizeLimit full(8 * 1024);
            created = mUtilities::CreateGradebook(file);
        }
        QVERIFY(!created);
        QCOMPARE(message, u"Impossible de créer "_s + file + u'.');
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(u"remplace"_s),
                 QStringList{u"remplace.dat"_s});

        // The open gradebook is never replaced under the program's feet.
        mUtilities::gDB = openGradebook(file);
        scope.push([&](QWidget& w) { clickButton(w, u"OK"_s); });
        QVERIFY(!mUtilities::CreateGradebook(path(u"./remplace.dat"_s)));
        QCOMPARE(fileBytes(file), before);
        scope.push([&](QWidget& w) { clickButton(w, u"OK"_s); });
        QVERIFY(!mUtilities::CreateGradebook(path(u"absent/carnet.dat"_s)));
        QCOMPARE(scope.pending(), 0);
    }

    // A gradebook written before the grid's index joined the schema gains it on opening
    // and keeps every table, field, index, property and row; a colleague's exchange file
    // is read as it came.
    void anOlderGradebookGainsTheGridIndex() {
        const auto check = [](const QString& file) {
            Database d = openGradebook(file);
            return mUtilities::CheckGradebookVersion(d);
        };
        const auto withoutIndex = [&](const QString& file, const QString& app) {
            Database d = gradebookWithout(file, {u"Séries.NumClassMat"_s}, {}, app);
            Recordset series = d.OpenRecordset(Query(u"Séries"_s));
            addRow(series, {{"Nom", u"Dictée"_s}, {"Sur", 10}, {"Coefficient", 2}, {"NumMat", 1}, {"NumClass", 1}, {"Colonne", 600}});
        };
        const QString exchange = path(u"echange-ancien.dat"_s), file = path(u"sans-index.dat"_s);
        withoutIndex(exchange, gradebook::exportApp());
        const QByteArray exchangeBytes = fileBytes(exchange);
        QVERIFY(check(exchange));
        QCOMPARE(fileBytes(exchange), exchangeBytes);

        withoutIndex(file, gradebook::gradebookApp());
        QVERIFY(check(file));
        {
            Database d = openGradebook(file);
            QCOMPARE(schemaOf(d), newSchema());
            Recordset series = d.OpenRecordset(Query(u"Séries"_s), RecordsetType::Snapshot);
            QCOMPARE(series.RecordCount(), 1);
            QCOMPARE(series.Fields(u"Nom"_s).Value().toString() + series.Fields(u"Sur"_s).Value().toString(), u"Dictée10"_s);
        }
        // The index itself is in the file, not only in its description: it cannot be made twice.
        QVERIFY(rawExec(file, gradebook::databasePassword().toUtf8(),
                        "CREATE INDEX \"S\xc3\xa9ries.NumClassMat\" ON \"S\xc3\xa9ries\" (\"NumClass\", \"NumMat\")") != 0);
        // Opening again adds nothing more.
        const QByteArray after = fileBytes(file);
        QVERIFY(check(file));
        QCOMPARE(fileBytes(file), after);
    }
};

QTEST_MAIN(tst_GradebookFile)
#include "tst_GradebookFile.moc"
