// The gradebook file: its schema, the rules of its data model, its creation, its kind and
// version, and the conversion of a file that an older version wrote.
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "platform/Modal.h"
#include "platform/ReplacingFile.h"
#include "Answers.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "FileTraps.h"
#include "GradebookBuilder.h"
#include "PartialGradebook.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace db;
using namespace mUtilities;
using namespace testsupport;

namespace {

// Every part of a definition, as one line that QCOMPARE can show.
QString describe(const TableDef& table) {
    QStringList parts{table.Name()};
    for (const FieldDef& f : table.Fields()) {
        const std::optional<Between>& between = f.ValidationRule();
        const QString rule = between ? u"%1-%2"_s.arg(between->low).arg(between->high) : QString();
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

const QString kColonne = u"Colonne"_s;

// A file as an older version wrote it, without the column widths (nor the grid's index), with
// `seriesRows` series; `seriesWidths`: with the series' widths half there.
void makeOldFile(const QString& file, const QString& version, int seriesRows, bool seriesWidths = false,
                 bool exchange = false) {
    const QStringList missing =
        exchange ? QStringList{u"Classes"_s, kColonne} : QStringList{kColonne, u"Séries.NumClassMat"_s};
    Database d = gradebookWithout(file, missing, version, exchange ? gradebook::exportApp() : QString());
    Transaction t(d);
    if (!exchange) {
        Recordset classes = d.OpenRecordset(Query(u"Classes"_s));
        for (const QString& name : {u"6A"_s, u"5B"_s})
            addRow(classes, {{"Nom", name}, {"Nom abrégé", name}});
    }
    Recordset series = d.OpenRecordset(Query(u"Séries"_s));
    for (int i = 0; i < seriesRows; ++i)
        addRow(series, {{"Nom", u"Contrôle de mathématiques %1"_s.arg(i)},
                        {"Sur", 1}, {"Coefficient", 1}, {"NumMat", 1}, {"NumClass", 1}});
    if (seriesWidths) {
        // As a conversion that stopped half-way left it: the field is there, some rows lack it.
        d.AddField(u"Séries"_s, FieldDef(kColonne, FieldType::Integer).setRequired());
        series = d.OpenRecordset(Query(u"Séries"_s));
        series.Edit();
        series.Fields(kColonne).setValue(900);
        series.Update();
    }
    t.commit();
}

}  // namespace

class tst_GradebookFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    const QDateTime m_created = kPartialCreated;
    QStringList m_questions;

    void answer(const QString& tag) {
        mUtilities::setConversionQuestion([this, tag](const QString& title, const QString& message) {
            m_questions << title + u'|' + message;
            return tag;
        });
    }

private slots:
    void cleanup() {
        mUtilities::gRsNotes = Recordset();
        mUtilities::gDB = Database();
        mUtilities::setConversionQuestion({});
        m_questions.clear();
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
        for (int period : {0, 4, 3}) {
            series.Edit();
            series.Fields(u"Période"_s).setValue(period);
            QCOMPARE(dbError([&] { series.Update(); }), period == 3 ? -1 : code(DbErrc::ValidationRule));
        }
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
        const QString file = path(u"remplace.dat"_s);
        // What lay beside the replaced file as its journal is not taken for the new file's.
        QVERIFY(writeFile(file, "ancien carnet") && writeFile(file + u"-journal"_s, "journal de l'ancien"));
        QVERIFY(mUtilities::CreateGradebook(file));
        QCOMPARE(mUtilities::GetFileKind(openGradebook(file)), quint8(1));
        QVERIFY(!QFile::exists(file + u"-journal"_s));

        // A disk that fills up half-way leaves the previous gradebook whole, and no partial file.
        const QByteArray before = fileBytes(file);
        platform::ModalTestScope scope;
        scope.push(systemMessage(u"Impossible de créer "_s + file + u'.'));
        bool created = true;
        {
            FileSizeLimit full(8 * 1024);
            created = mUtilities::CreateGradebook(file);
        }
        QVERIFY(!created);
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(u"remplace"_s),
                 QStringList{u"remplace.dat"_s});

        // A gradebook open in any copy of the program, this one included, is never replaced
        // under its feet, by whatever name it is reached: the file stays the same file. This
        // window's own is no other window's: it is only a file that cannot be created.
        const QString link = path(u"lien.dat"_s), hardLink = path(u"autre-nom.dat"_s);
        QVERIFY(QFile::link(file, link));
        QVERIFY(::link(QFile::encodeName(file).constData(), QFile::encodeName(hardLink).constData()) == 0);
        const auto inode = [](const QString& name) {
            struct stat info {};
            return ::stat(QFile::encodeName(name).constData(), &info) == 0 ? quint64(info.st_ino) : 0;
        };
        const quint64 same = inode(file);
        const QString inUse = u"Ce carnet de notes est déjà ouvert dans une autre fenêtre de Quibolet."_s;
        const QStringList names{path(u"./remplace.dat"_s), link, hardLink};
        {
            OtherCopy other(file);
            QVERIFY(other.holds());
            for (const QString& name : names) {
                scope.push(systemMessage(inUse));
                QVERIFY2(!mUtilities::CreateGradebook(name), qPrintable(name));
            }
        }
        mUtilities::gDB = openGradebook(file);
        for (const QString& name : names) {
            scope.push(systemMessage(u"Impossible de créer "_s + name + u'.'));
            QVERIFY2(!mUtilities::CreateGradebook(name), qPrintable(name));
        }
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(inode(file), same);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(u"remplace"_s),
                 QStringList{u"remplace.dat"_s});
        scope.push(msgBox(u"Impossible de créer "_s, u"OK"_s));
        QVERIFY(!mUtilities::CreateGradebook(path(u"absent/carnet.dat"_s)));
        QCOMPARE(scope.pending(), 0);

        // A name that was free when a replacement began is taken only if it is free still: a
        // gradebook created there since, which another copy or this one holds, stays the same
        // file, against a new gradebook as against an export; one that nobody holds is replaced.
        const QString appeared = path(u"apparu.dat"_s), made = path(u".apparu.dat.nouveau"_s);
        for (const auto& [holder, refusal] : {std::pair{"autre copie", code(DbErrc::InUse)},
                                              {"cette copie", code(DbErrc::InUseHere)}, {"personne", -1}}) {
            mUtilities::gDB = Database();
            QFile::remove(appeared);
            Replacement creation(appeared);
            platform::ReplacingFile exported(appeared);
            QVERIFY(writeFile(made, "carnet") && writeFile(exported.fileName(), "classeur"));
            mUtilities::CreateGradebookFile(appeared);
            const QByteArray theirBytes = fileBytes(appeared);
            const quint64 theirInode = inode(appeared);
            std::optional<OtherCopy> other;
            if (refusal == code(DbErrc::InUse))
                QVERIFY(other.emplace(appeared).holds());
            if (refusal == code(DbErrc::InUseHere))
                mUtilities::gDB = openGradebook(appeared);
            QVERIFY2(exported.commit() == (refusal == -1), holder);
            QCOMPARE(dbError([&] { creation.replaceWith(made); }), refusal);
            QCOMPARE(fileBytes(appeared), refusal == -1 ? QByteArray("carnet") : theirBytes);
            QVERIFY2(refusal == -1 || inode(appeared) == theirInode, holder);
        }
    }

    // Names as the window title and the exchange wizard show them, the school year of a new
    // gradebook, and a file removed (never a folder).
    void namesAndFiles() {
        QCOMPARE(RemoveExtension(GetFileName(u"/home/prof/Notes/Année 2024-2025.v1.dat"_s)), u"Année 2024-2025.v1"_s);
        QCOMPARE(ShortenName(QString(20, u'é')), QString(20, u'é'));
        QCOMPARE(ShortenName(u"Contrôle de géographie"_s), u"Contrôle de géogr..."_s);
        QCOMPARE(DefaultGradebookName(QDate(2024, 8, 31)), u"Année 2023-2024"_s);
        QCOMPARE(DefaultGradebookName(QDate(2024, 9, 1)), u"Année 2024-2025"_s);
        const QString file = path(u"a.dat"_s);
        QVERIFY(writeFile(file, {}));
        QVERIFY(!KillFile(m_dir.path()));
        QVERIFY(KillFile(file) && !QFile::exists(file));
    }

    void kindsOfFile() {
        // The name must match to the letter; a file with no name at all, or closed, is no gradebook either.
        for (const auto& [app, kind] : {std::pair{gradebook::exportApp(), 2}, {u"vorsk app quibolet"_s, 0}, {{}, 0}}) {
            Database d = Database::CreateDatabase(path(u"kind%1%2.dat"_s.arg(kind).arg(app.size())),
                                                  gradebook::databasePassword());
            if (!app.isEmpty())
                d.CreateProperty(u"App"_s, FieldType::Text, app);
            QCOMPARE(GetFileKind(d), quint8(kind));
            d.Close();
            QCOMPARE(GetFileKind(d), quint8(0));
        }
    }

    // Versions up to this one are stamped with it, later ones left alone; one that is no
    // version is refused, the file left as it was.
    void versionsAreRestampedOrLeftAlone() {
        for (const auto& [version, after] : {std::pair{"1.2.1", "1.2.2"}, {"1.2.2", "1.2.2"}, {"1.10.0", "1.10.0"},
                                             {"1.2.3", "1.2.3"}, {"un.deux", ""}, {"3.27.68", ""}}) {
            const QString file = path(u"v%1.dat"_s.arg(QString::fromLatin1(version)));
            makeOldFile(file, QString::fromLatin1(version), 1, true);
            Database d = openGradebook(file);
            QCOMPARE(dbError([&] { QVERIFY(CheckGradebookVersion(d)); }) >= 0, !*after);
            QCOMPARE(openGradebook(file).Properties(u"VersionID"_s).Value().toString(),
                     QString::fromLatin1(*after ? after : version));
        }
        QVERIFY(m_questions.isEmpty());
    }

    void olderFilesAreConvertedWithConsent() {
        const QString file = path(u"ancien.dat"_s);
        makeOldFile(file, u"1.1.9"_s, 3);
        const QByteArray before = fileBytes(file);
        {
            // Until the question can be asked, nothing is converted.
            Database d = openGradebook(file);
            QVERIFY(!CheckGradebookVersion(d));
            answer(u"2"_s);
            QVERIFY(!CheckGradebookVersion(d));
        }
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(m_questions.size(), 1);
        QVERIFY(m_questions[0].contains(u"converti au format 1.2.2\n"_s));

        answer(QString());  // a box closed without a button goes on
        {
            Database d = openGradebook(file);
            QVERIFY(CheckGradebookVersion(d));
        }
        // The widths, the grid's index and the new version, every other part and row kept.
        QCOMPARE(schemaOf(openGradebook(file)), newSchema());
        QCOMPARE(columnWidths(openGradebook(file), u"Séries"_s), (QList<int>{600, 600, 600}));
        QCOMPARE(columnWidths(openGradebook(file), u"Classes"_s), (QList<int>{1800, 1800}));
        // The index itself is in the file, not only in its description: it cannot be made twice.
        QVERIFY(rawExec(file, gradebook::databasePassword().toUtf8(),
                        "CREATE INDEX \"S\xc3\xa9ries.NumClassMat\" ON \"S\xc3\xa9ries\" (\"NumClass\", \"NumMat\")") != 0);
        // Opening again asks nothing and adds nothing; a colleague's exchange file, even without
        // the index, is read as it came.
        const QString exchange = path(u"echange-ancien.dat"_s);
        gradebookWithout(exchange, {u"Séries.NumClassMat"_s}, {}, gradebook::exportApp());
        for (const QString& f : {file, exchange}) {
            const QByteArray bytes = fileBytes(f);
            Database d = openGradebook(f);
            QVERIFY(CheckGradebookVersion(d));
            QCOMPARE(fileBytes(f), bytes);
        }
        QCOMPARE(m_questions.size(), 2);
    }

    void aConversionCutShortLeavesTheFileUsable() {
        const QString file = path(u"coupure.dat"_s);
        makeOldFile(file, u"1.0.5"_s, 2000);
        answer(u"1"_s);
        const QByteArray before = fileBytes(file);
        {
            Database d = openGradebook(file);
            FileSizeLimit full(before.size() / 4);
            QVERIFY(dbError([&] { CheckGradebookVersion(d); }) >= 0);
        }
        QCOMPARE(fileBytes(file), before);
        {
            Database d = openGradebook(file);
            QVERIFY(CheckGradebookVersion(d));
        }
        QCOMPARE(columnWidths(openGradebook(file), u"Séries"_s), QList<int>(2000, 600));

        // A file that an older version left with a width field already there is converted too,
        // and so is an exchange file, which has no classes.
        const QString half = path(u"moitie.dat"_s), exchange = path(u"echange.dat"_s);
        makeOldFile(half, u"1.1.0"_s, 2, true);
        makeOldFile(exchange, u"1.1.9"_s, 2, false, true);
        for (const QString& f : {half, exchange}) {
            Database d = openGradebook(f);
            QVERIFY(CheckGradebookVersion(d));
            QCOMPARE(columnWidths(d, u"Séries"_s), (QList<int>{600, 600}));
        }
        QCOMPARE(columnWidths(openGradebook(half), u"Classes"_s), (QList<int>{1800, 1800}));
        QCOMPARE(GetFileKind(openGradebook(exchange)), quint8(2));
    }
};

QTEST_MAIN(tst_GradebookFile)
#include "tst_GradebookFile.moc"
