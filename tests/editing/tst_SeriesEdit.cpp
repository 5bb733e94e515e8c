// The series' checks, their list texts and their writes, read back through a second
// connection to the file. Deletion is tested through its dialog.
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "editing/SeriesEdit.h"
#include "exchange/ImportGrades.h"
#include "gradebook/GradebookSchema.h"

#include <QTemporaryDir>
#include <QTest>
#include <ctime>

using testsupport::GradebookBuilder;
using namespace Qt::StringLiterals;

namespace {

const QString kName = u"Donnez un nom à la série de notes."_s;
const QString kSurEmpty = u"Le champ 'Note sur' doit être renseigné."_s;
const QString kSurNaN = u"Le champ 'Note sur' doit être un nombre."_s;
const QString kSurZero = u"Le champ 'Note sur' ne doit pas être égal à 0."_s;
const QString kSurRange = u"Le champ 'Note sur' doit être compris entre 1 et 255."_s;
const QString kCoefEmpty = u"Attribuez un coefficient (même nul) à la série de notes."_s;
const QString kCoefNaN = u"Le coefficient doit être un nombre."_s;
const QString kCoefRange = u"Le coefficient doit être compris entre 0 et 255."_s;
const QString kDate = u"Donnez une date à la série de notes.\n(Celle-ci est nécessaire pour ordonner les séries de "
                      u"notes à l'intérieur d'une même période)."_s;

// Every row of the series table, in key order, as "name sur coef yyyy-MM-dd hh:mm period class subject width".
QStringList seriesRows(const QString& path) {
    db::Recordset rs = testsupport::openGradebook(path).OpenRecordset(db::Query(u"Séries"_s).orderBy({u"NumSérie"_s}),
                                                                      db::RecordsetType::Snapshot);
    QStringList rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        const auto f = [&](const char* n) { return rs.Fields(QString::fromUtf8(n)).Value(); };
        rows << u"%1 %2 %3 %4 %5 %6 %7 %8"_s.arg(f("Nom").toString())
                    .arg(f("Sur").toInt())
                    .arg(f("Coefficient").toInt())
                    .arg(f("Date").toDateTime().toString(u"yyyy-MM-dd hh:mm"))
                    .arg(f("Période").toInt())
                    .arg(f("NumClass").toInt())
                    .arg(f("NumMat").toInt())
                    .arg(f("Colonne").toInt());
    }
    return rows;
}

}  // namespace

class tst_SeriesEdit : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void validation_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("lines");
        const QString date = u"14/03/2025"_s;
        QTest::newRow("valid") << QStringList{u"DS 1"_s, u"20"_s, u"1"_s, date} << QStringList();
        QTest::newRow("all empty") << QStringList{"", "", "", ""} << QStringList{kName, kSurEmpty, kCoefEmpty, kDate};
        QTest::newRow("blanks are a name") << QStringList{u"   "_s, u"1"_s, u"0"_s, u"1/9/24"_s} << QStringList();
        for (const char* zero : {"0", "00", "0,0", "0,4", "0,5"})
            QTest::addRow("sur %s", zero) << QStringList{u"DS"_s, QString::fromLatin1(zero), u"1"_s, date}
                                          << QStringList{kSurZero};
        QTest::newRow("sur 255") << QStringList{u"DS"_s, u"255"_s, u"255"_s, date} << QStringList();
        QTest::newRow("sur 0,6 is 1") << QStringList{u"DS"_s, u"0,6"_s, u"1"_s, date} << QStringList();
        QTest::newRow("past a byte") << QStringList{u"DS"_s, u"255,5"_s, u"300"_s, date} << QStringList{kSurRange, kCoefRange};
        QTest::newRow("negative") << QStringList{u"DS"_s, u"-3"_s, u"-1"_s, date} << QStringList{kSurRange, kCoefRange};
        QTest::newRow("pasted text") << QStringList{u"DS"_s, u"vingt"_s, u"1,2,3"_s, date} << QStringList{kSurNaN, kCoefNaN};
        QTest::newRow("no such day") << QStringList{u"DS"_s, u"20"_s, u"1"_s, u"31/02/2025"_s} << QStringList{kDate};
    }
    void validation() {
        QFETCH(QStringList, input);
        QFETCH(QStringList, lines);
        QCOMPARE(seriesedit::refusals({input[0], input[1], input[2], input[3]}), lines);
    }

    void listTextsAndOrder() {
        GradebookBuilder b(m_dir.filePath(u"list.dat"_s));
        const int cls = b.addClass(u"Sixième A"_s, u"6A"_s), other = b.addClass(u"Sixième B"_s, u"6B"_s);
        const int maths = b.addSubject(u"Maths"_s), french = b.addSubject(u"Français"_s);
        b.addSeries(cls, maths, u"Vingt et un caractères"_s, 20, 1, 2, QDate(2025, 1, 10));
        b.addSeries(cls, maths, u"Vingt caractères pile"_s.left(20), 10, 2, 1, QDate(2024, 11, 3));
        b.addSeries(cls, maths, u"Plus tôt en période 2"_s, 20, 1, 2, QDate(2025, 1, 9));
        b.addSeries(cls, french, u"Autre matière"_s, 20, 1, 1);
        b.addSeries(other, maths, u"Autre classe"_s, 20, 1, 1);
        b.close();

        const QList<seriesedit::Series> list = seriesedit::read(testsupport::openGradebook(b.path()), cls, maths);
        QStringList entries;
        for (const seriesedit::Series& s : list) entries << seriesedit::listEntry(s);
        QCOMPARE(entries, (QStringList{u"Vingt caractères pil du 03/11/2024 (Période 1)"_s,
                                       u"Plus tôt en pério... du 09/01/2025 (Période 2)"_s,
                                       u"Vingt et un carac... du 10/01/2025 (Période 2)"_s}));
        QCOMPARE(list[0].sur, 10);
        QCOMPARE(list[0].coefficient, 2);
        QCOMPARE(list[2].name, u"Vingt et un caractères"_s);
    }

    void writes() {
        GradebookBuilder b(m_dir.filePath(u"writes.dat"_s));
        const int cls = b.addClass(u"Sixième A"_s, u"6A"_s);
        const int maths = b.addSubject(u"Maths"_s), french = b.addSubject(u"Français"_s);
        const int kept = b.addSeries(cls, maths, u"DS"_s, 20, 1, 1, QDate(2025, 1, 10));
        b.close();
        const db::Database d = testsupport::openGradebook(b.path());

        // A decomposed "é" is stored composed; fractions are rounded as the byte fields do.
        const seriesedit::Series typed =
            seriesedit::accepted({u"Contro\u0302le e\u0301crit"_s, u"20,4"_s, u"2,5"_s, u"5/3/25"_s}, 3);
        const qint32 key = seriesedit::create(d, cls, french, typed);
        QCOMPARE(key, kept + 1);
        QCOMPARE(seriesRows(b.path()).last(),
                 u"Contrôle écrit 20 2 2025-03-05 00:00 3 %1 %2 %3"_s.arg(cls).arg(french).arg(gradebook::kNewSeriesWidth));

        // The same day keeps its time; another day is written at midnight.
        seriesedit::Series changed = seriesedit::accepted({u"DS 1"_s, u"10"_s, u"0"_s, u"10/01/2025"_s}, 2);
        changed.key = kept;
        seriesedit::modify(d, cls, maths, changed);
        QCOMPARE(seriesRows(b.path()).first(), u"DS 1 10 0 2025-01-10 08:00 2 %1 %2 600"_s.arg(cls).arg(maths));
        changed.date = QDateTime(QDate(2025, 1, 11), QTime(0, 0));
        seriesedit::modify(d, cls, maths, changed);
        QCOMPARE(seriesRows(b.path()).first(), u"DS 1 10 0 2025-01-11 00:00 2 %1 %2 600"_s.arg(cls).arg(maths));

        changed.key = 999;
        QCOMPARE(testsupport::dbError([&] { seriesedit::modify(d, cls, maths, changed); }),
                 testsupport::code(db::DbErrc::NoCurrentRecord));
        QCOMPARE(seriesRows(b.path()).size(), 2);
    }

    // A day whose midnight the clocks skip (Santiago, 8 September 2024) and a time in the hour
    // that Paris skips (30 March 2025, 02:30, as a file from elsewhere holds it) stay what they
    // are through the dialog's writes, an exchange file and its import, whatever the zone.
    void datesAreTheSameInEveryZone_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("Santiago") << QByteArray("America/Santiago");
        QTest::newRow("Paris") << QByteArray("Europe/Paris");
    }
    void datesAreTheSameInEveryZone() {
        QFETCH(QByteArray, zone);
        const auto restore = qScopeGuard([tz = qgetenv("TZ")] {
            qputenv("TZ", tz);
            tzset();
        });
        qputenv("TZ", zone);
        tzset();
        GradebookBuilder b(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".dat"_s));
        const int cls = b.addClass(u"6A"_s, u"6A"_s), maths = b.addSubject(u"Maths"_s);
        b.addStudent(cls, u"Roux"_s, u"Ana"_s);
        b.close();
        const db::Database d = testsupport::openGradebook(b.path());
        seriesedit::create(d, cls, maths, seriesedit::accepted({u"DS"_s, u"20"_s, u"1"_s, u"8/9/2024"_s}, 1));
        seriesedit::Series night = seriesedit::accepted({u"Nuit"_s, u"20"_s, u"1"_s, u"30/3/2025"_s}, 1);
        night.key = seriesedit::create(d, cls, maths, {0, u"Nuit"_s, 20, 1, QDateTime({2025, 3, 30}, {2, 30}, Qt::UTC), 1});
        seriesedit::modify(d, cls, maths, night);
        const QString file = exchangefile::write(d, {cls, maths, u"6A"_s, u"Maths"_s, {}, {1}}, b.path() + u"-export"_s);
        const exchangefile::Contents c = exchangefile::read(db::Database::OpenDatabase(file, gradebook::databasePassword()));
        importgrades::importGrades(d, c, importgrades::autoMatch(c.students, importgrades::readStudents(d)), maths);
        QStringList dates;
        for (const seriesedit::Series& s : seriesedit::read(d, cls, maths)) dates << s.date.toString(u"yyyy-MM-dd HH:mm:ss");
        QCOMPARE(dates, (QStringList{u"2024-09-08 00:00:00"_s, u"2024-09-08 00:00:00"_s, u"2025-03-30 02:30:00"_s,
                                     u"2025-03-30 02:30:00"_s}));
    }
};

QTEST_MAIN(tst_SeriesEdit)
#include "tst_SeriesEdit.moc"
