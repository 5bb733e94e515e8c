// The shared procedures of the gradebook store: names and files, kinds of file, versions.
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "PartialGradebook.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace db;
using namespace mUtilities;
using namespace testsupport;

namespace {

const QString kColonne = u"Colonne"_s;

// A file as an older version wrote it, without the column widths, with `seriesRows` series;
// `seriesWidths`: with the series' widths half there.
void makeOldFile(const QString& file, const QString& version, int seriesRows, bool seriesWidths = false,
                 bool exchange = false) {
    Database d = gradebookWithout(file, exchange ? QStringList{u"Classes"_s, kColonne} : QStringList{kColonne}, version,
                                  exchange ? gradebook::exportApp() : QString());
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

QList<int> widths(const Database& d, const QString& table) {
    QList<int> result;
    Recordset rs = d.OpenRecordset(Query(table), RecordsetType::Snapshot);
    for (; !rs.Eof(); rs.MoveNext())
        result << rs.Fields(kColonne).Value().toInt();
    return result;
}

}  // namespace

class tst_mUtilities : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList m_questions;

    void answer(const QString& tag) {
        setConversionQuestion([this, tag](const QString& title, const QString& message) {
            m_questions << title + u'|' + message;
            return tag;
        });
    }

private slots:
    void cleanup() {
        setConversionQuestion({});
        m_questions.clear();
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
        const QString book = path(u"kind.dat"_s);
        CreateGradebookFile(book);
        QCOMPARE(GetFileKind(openGradebook(book)), quint8(1));
        // The name must match to the letter; a file with no name at all is no gradebook either.
        for (const auto& [app, kind] : {std::pair{gradebook::exportApp(), 2}, {u"vorsk app quibolet"_s, 0}, {{}, 0}}) {
            Database d = Database::CreateDatabase(path(u"kind%1%2.dat"_s.arg(kind).arg(app.size())),
                                                  gradebook::databasePassword());
            if (!app.isEmpty())
                d.CreateProperty(u"App"_s, FieldType::Text, app);
            QCOMPARE(GetFileKind(d), quint8(kind));
        }
        Database closed = openGradebook(book);
        closed.Close();
        QCOMPARE(GetFileKind(closed), quint8(0));
    }

    void versionsAreRestampedOrLeftAlone() {
        for (const auto& [version, after] :
             {std::pair{"1.2.1", "1.2.2"}, {"1.2.2", "1.2.2"}, {"1.10.0", "1.10.0"}, {"1.2.3", "1.2.3"}}) {
            const QString file = path(u"v%1.dat"_s.arg(QString::fromLatin1(version)));
            makeOldFile(file, QString::fromLatin1(version), 1, true);
            Database d = openGradebook(file);
            QVERIFY(CheckGradebookVersion(d));
            QCOMPARE(openGradebook(file).Properties(u"VersionID"_s).Value().toString(), QString::fromLatin1(after));
        }
        QVERIFY(m_questions.isEmpty());
        for (const char* bad : {"un.deux", "3.27.68"}) {
            const QString file = path(u"bad%1.dat"_s.arg(qHash(QByteArray(bad))));
            makeOldFile(file, QString::fromLatin1(bad), 1, true);
            Database d = openGradebook(file);
            QVERIFY(dbError([&] { CheckGradebookVersion(d); }) >= 0);
        }
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
        QVERIFY(m_questions[0].startsWith(u"Quibolet|Le carnet de notes que vous tentez d'ouvrir"_s));
        QVERIFY(m_questions[0].contains(u"converti au format 1.2.2\n"_s));

        answer(QString());  // a box closed without a button goes on
        {
            Database d = openGradebook(file);
            QVERIFY(CheckGradebookVersion(d));
        }
        Database d = openGradebook(file);
        QCOMPARE(d.Properties(u"VersionID"_s).Value(), QVariant(u"1.2.2"_s));
        QCOMPARE(widths(d, u"Séries"_s), (QList<int>{600, 600, 600}));
        QCOMPARE(widths(d, u"Classes"_s), (QList<int>{1800, 1800}));
        QVERIFY(d.TableDefs(u"Classes"_s).Fields().last().Required());
        QVERIFY(CheckGradebookVersion(d));
        QCOMPARE(m_questions.size(), 2);
    }

    void aConversionCutShortLeavesTheFileUsable() {
        const QString file = path(u"coupure.dat"_s);
        makeOldFile(file, u"1.0.5"_s, 2000);
        answer(u"1"_s);
        {
            Database d = openGradebook(file);
            FileSizeLimit full(QFileInfo(file).size() / 4);
            QVERIFY(dbError([&] { CheckGradebookVersion(d); }) >= 0);
        }
        {
            Database d = openGradebook(file);
            QCOMPARE(d.Properties(u"VersionID"_s).Value(), QVariant(u"1.0.5"_s));
            QCOMPARE(d.TableDefs(u"Séries"_s).fieldIndex(kColonne), -1);
            QCOMPARE(rowCount(d, u"Séries"_s), 2000);
            QVERIFY(CheckGradebookVersion(d));
        }
        QCOMPARE(widths(openGradebook(file), u"Séries"_s), QList<int>(2000, 600));

        // A file that an older version left with a width field already there is converted too,
        // and so is an exchange file, which has no classes.
        const QString half = path(u"moitie.dat"_s), exchange = path(u"echange.dat"_s);
        makeOldFile(half, u"1.1.0"_s, 2, true);
        makeOldFile(exchange, u"1.1.9"_s, 2, false, true);
        for (const QString& f : {half, exchange}) {
            Database d = openGradebook(f);
            QVERIFY(CheckGradebookVersion(d));
            QCOMPARE(widths(d, u"Séries"_s), (QList<int>{600, 600}));
        }
        QCOMPARE(widths(openGradebook(half), u"Classes"_s), (QList<int>{1800, 1800}));
        QCOMPARE(GetFileKind(openGradebook(exchange)), quint8(2));
    }
};

QTEST_MAIN(tst_mUtilities)
#include "tst_mUtilities.moc"
