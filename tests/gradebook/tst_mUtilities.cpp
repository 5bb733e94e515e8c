// The shared procedures of the gradebook store: names and files, kinds of file, versions.
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace db;
using namespace mUtilities;
using testsupport::code;
using testsupport::dbError;

namespace {

const QString kColonne = QStringLiteral("Colonne");

// A file as an older version wrote it, without the column widths, with `seriesRows` series;
// `seriesWidths`: with the series' widths half there.
void makeOldFile(const QString& file, const QString& version, int seriesRows, bool seriesWidths = false,
                 bool exchange = false) {
    Database d = Database::CreateDatabase(file, gradebook::databasePassword());
    d.CreateProperty(QStringLiteral("App"), FieldType::Text, exchange ? gradebook::exportApp() : gradebook::gradebookApp());
    d.CreateProperty(QStringLiteral("VersionID"), FieldType::Text, version);
    for (TableDef table : gradebook::gradebookTables(QDateTime::currentDateTime())) {
        if (exchange && table.Name() != u"Séries")
            continue;
        TableDef old(table.Name());
        for (const FieldDef& f : table.Fields())
            if (f.Name() != kColonne)
                old.appendField(f);
        for (const IndexDef& i : table.Indexes())
            old.appendIndex(i);
        d.CreateTable(old);
    }
    Transaction t(d);
    if (!exchange) {
        Recordset classes = d.OpenRecordset(Query(QStringLiteral("Classes")));
        for (const char* name : {"6A", "5B"}) {
            classes.AddNew();
            classes.Fields(QStringLiteral("Nom")).setValue(QString::fromLatin1(name));
            classes.Fields(QStringLiteral("Nom abrégé")).setValue(QString::fromLatin1(name));
            classes.Update();
        }
    }
    Recordset series = d.OpenRecordset(Query(QStringLiteral("Séries")));
    for (int i = 0; i < seriesRows; ++i) {
        series.AddNew();
        series.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("Contrôle de mathématiques %1").arg(i));
        for (const char* f : {"Sur", "Coefficient", "NumMat", "NumClass"})
            series.Fields(QString::fromLatin1(f)).setValue(1);
        series.Update();
    }
    if (seriesWidths) {
        // As a conversion that stopped half-way left it: the field is there, some rows lack it.
        d.AddField(QStringLiteral("Séries"), FieldDef(kColonne, FieldType::Integer).setRequired());
        series = d.OpenRecordset(Query(QStringLiteral("Séries")));
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

    Database open(const QString& file) const { return Database::OpenDatabase(file, gradebook::databasePassword()); }
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

    void namesAndFiles() {
        QCOMPARE(GetFileName(QStringLiteral("/home/prof/Notes/Année 2024-2025.dat")), QStringLiteral("Année 2024-2025.dat"));
        QCOMPARE(GetFileName(QStringLiteral("carnet.dat")), QStringLiteral("carnet.dat"));
        QCOMPARE(GetFileName(QStringLiteral("/home/prof/")), QString());
        QCOMPARE(RemoveExtension(QStringLiteral("Année 2024-2025.dat")), QStringLiteral("Année 2024-2025"));
        QCOMPARE(RemoveExtension(QStringLiteral("v1.2.dat")), QStringLiteral("v1.2"));
        QCOMPARE(RemoveExtension(QStringLiteral("carnet")), QStringLiteral("carnet"));
        QCOMPARE(RemoveExtension(QStringLiteral(".dat")), QString());
        QCOMPARE(TrimAtNull(QStringLiteral("abc") + QChar(u'\0') + QStringLiteral("def")), QStringLiteral("abc"));
        QCOMPARE(TrimAtNull(QStringLiteral("abc")), QStringLiteral("abc"));
        QCOMPARE(ShortenName(QString(20, u'é')), QString(20, u'é'));
        QCOMPARE(ShortenName(QStringLiteral("Contrôle de géographie")), QStringLiteral("Contrôle de géogr..."));
        QCOMPARE(ShortenName(QString(21, u'x')).size(), 20);

        const QString folder = path(QStringLiteral("Notes"));
        QVERIFY(MakeDir(folder));
        QVERIFY(!MakeDir(folder));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!MakeDir(path(QStringLiteral("absent/Notes"))));
        const QString file = folder + QStringLiteral("/a.dat");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(!KillFile(folder));
        QVERIFY(KillFile(file));
        QVERIFY(!KillFile(file));
        QVERIFY(QFileInfo(folder).isDir());

        const QString temp = MakeTempFileName(QStringLiteral("vsk"));
        QVERIFY(GetFileName(temp).startsWith(QStringLiteral("vsk")));
        QCOMPARE(QFileInfo(temp).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        QVERIFY(!QFile::exists(temp));
        QVERIFY(MakeTempFileName(QStringLiteral("vsk")) != temp);
    }

    void defaultNameFollowsTheSchoolYear() {
        QCOMPARE(DefaultGradebookName(QDate(2024, 8, 31)), QStringLiteral("Année 2023-2024"));
        QCOMPARE(DefaultGradebookName(QDate(2024, 9, 1)), QStringLiteral("Année 2024-2025"));
        QCOMPARE(DefaultGradebookName(QDate(2024, 12, 31)), QStringLiteral("Année 2024-2025"));
        QCOMPARE(DefaultGradebookName(QDate(2025, 1, 1)), QStringLiteral("Année 2024-2025"));
        QCOMPARE(DefaultGradebookName(QDate(999, 10, 1)), QStringLiteral("Année 999-1000"));
    }

    void kindsOfFile() {
        const QString book = path(QStringLiteral("kind.dat"));
        CreateGradebookFile(book);
        QCOMPARE(GetFileKind(open(book)), quint8(1));
        for (const auto& [app, kind] : {std::pair{gradebook::exportApp(), 2}, {QStringLiteral("vorsk app quibolet"), 0},
                                        {QStringLiteral("Autre"), 0}}) {
            const QString file = path(QStringLiteral("kind%1.dat").arg(kind) + app.left(1));
            Database d = Database::CreateDatabase(file, gradebook::databasePassword());
            d.CreateProperty(QStringLiteral("App"), FieldType::Text, app);
            QCOMPARE(GetFileKind(d), quint8(kind));
        }
        const QString bare = path(QStringLiteral("sans-app.dat"));
        QCOMPARE(GetFileKind(Database::CreateDatabase(bare, gradebook::databasePassword())), quint8(0));
        Database closed = open(book);
        closed.Close();
        QCOMPARE(GetFileKind(closed), quint8(0));
        QCOMPARE(GetFileKind(Database()), quint8(0));
    }

    void versionsAreRestampedOrLeftAlone() {
        for (const auto& [version, after] : {std::pair{"1.2.0", "1.2.2"}, {"1.2.1", "1.2.2"}, {"1.2.2", "1.2.2"},
                                             {"1.10.0", "1.10.0"}, {"1.2.3", "1.2.3"}}) {
            const QString file = path(QStringLiteral("v%1.dat").arg(QString::fromLatin1(version)));
            makeOldFile(file, QString::fromLatin1(version), 1, true);
            Database d = open(file);
            QVERIFY(CheckGradebookVersion(d));
            QCOMPARE(open(file).Properties(QStringLiteral("VersionID")).Value().toString(), QString::fromLatin1(after));
        }
        QVERIFY(m_questions.isEmpty());
        for (const char* bad : {"un.deux", "", "3.27.68"}) {
            const QString file = path(QStringLiteral("bad%1.dat").arg(qHash(QByteArray(bad))));
            makeOldFile(file, QString::fromLatin1(bad), 1, true);
            Database d = open(file);
            QVERIFY(dbError([&] { CheckGradebookVersion(d); }) >= 0);
        }
    }

    void olderFilesAreConvertedWithConsent() {
        const QString file = path(QStringLiteral("ancien.dat"));
        makeOldFile(file, QStringLiteral("1.1.9"), 3);
        const QByteArray before = testsupport::fileBytes(file);
        {
            // Until the question can be asked, nothing is converted.
            Database d = open(file);
            QVERIFY(!CheckGradebookVersion(d));
            answer(QStringLiteral("2"));
            QVERIFY(!CheckGradebookVersion(d));
        }
        QCOMPARE(testsupport::fileBytes(file), before);
        QCOMPARE(m_questions.size(), 1);
        QCOMPARE(m_questions[0],
                 QStringLiteral("Quibolet|Le carnet de notes que vous tentez d'ouvrir a été créé avec une version "
                                "antérieure.\nIl va être converti au format 1.2.2\nCette conversion ne modifiera pas "
                                "vos données.\nSi vous souhaitez tout de même faire une copie de sauvegarde de ce "
                                "fichier, choisissez Annuler et effectuez d'abord cette copie."));

        answer(QString());  // a box closed without a button goes on
        {
            Database d = open(file);
            QVERIFY(CheckGradebookVersion(d));
        }
        Database d = open(file);
        QCOMPARE(d.Properties(QStringLiteral("VersionID")).Value(), QVariant(QStringLiteral("1.2.2")));
        QCOMPARE(widths(d, QStringLiteral("Séries")), (QList<int>{600, 600, 600}));
        QCOMPARE(widths(d, QStringLiteral("Classes")), (QList<int>{1800, 1800}));
        QVERIFY(d.TableDefs(QStringLiteral("Classes")).Fields().last().Required());
        QVERIFY(CheckGradebookVersion(d));
        QCOMPARE(m_questions.size(), 2);
    }

    void aConversionCutShortLeavesTheFileUsable() {
        const QString file = path(QStringLiteral("coupure.dat"));
        makeOldFile(file, QStringLiteral("1.0.5"), 2000);
        answer(QStringLiteral("1"));
        {
            Database d = open(file);
            const qint64 size = QFileInfo(file).size();
            testsupport::FileSizeLimit full(size / 4);
            QVERIFY(dbError([&] { CheckGradebookVersion(d); }) >= 0);
        }
        {
            Database d = open(file);
            QCOMPARE(d.Properties(QStringLiteral("VersionID")).Value(), QVariant(QStringLiteral("1.0.5")));
            QCOMPARE(d.TableDefs(QStringLiteral("Séries")).fieldIndex(kColonne), -1);
            QCOMPARE(d.OpenRecordset(Query(QStringLiteral("Séries")), RecordsetType::Snapshot).RecordCount(), 2000);
            QVERIFY(CheckGradebookVersion(d));
        }
        QCOMPARE(widths(open(file), QStringLiteral("Séries")), QList<int>(2000, 600));

        // A file that an older version left with a width field already there is converted too,
        // and so is an exchange file, which has no classes.
        const QString half = path(QStringLiteral("moitie.dat"));
        makeOldFile(half, QStringLiteral("1.1.0"), 2, true);
        Database d = open(half);
        QVERIFY(CheckGradebookVersion(d));
        QCOMPARE(widths(d, QStringLiteral("Séries")), (QList<int>{600, 600}));
        QCOMPARE(widths(d, QStringLiteral("Classes")), (QList<int>{1800, 1800}));

        const QString exchange = path(QStringLiteral("echange.dat"));
        makeOldFile(exchange, QStringLiteral("1.1.9"), 2, false, true);
        Database e = open(exchange);
        QVERIFY(CheckGradebookVersion(e));
        QCOMPARE(GetFileKind(e), quint8(2));
        QCOMPARE(widths(e, QStringLiteral("Séries")), (QList<int>{600, 600}));
    }
};

QTEST_MAIN(tst_mUtilities)
#include "tst_mUtilities.moc"
