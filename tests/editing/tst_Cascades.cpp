// Deleting a class or a subject: exactly the rows that depend on it go, in every table,
// and a failure at any step leaves every table as it was.
#include "DbTestSupport.h"
#include "EditingSample.h"
#include "TableDump.h"
#include "editing/Cascades.h"

#include <memory>
#include <QTest>

using editingsample::keysOf;
using editingsample::without;
using testsupport::dumpTables;
using testsupport::Rows;

namespace {

const QString kNotes = QStringLiteral("Notes"), kSeries = QStringLiteral("Séries"), kStudents = QStringLiteral("Elèves"),
              kCoefficients = QStringLiteral("Coefficients"), kClasses = QStringLiteral("Classes"),
              kSubjects = QStringLiteral("Matières");

}  // namespace

class tst_Cascades : public QObject {
    Q_OBJECT
    std::unique_ptr<editingsample::Copies> m_copies;  // made once the application runs
    editingsample::Sample m_sample;
    QMap<QString, Rows> m_before;

    QString copy() { return m_copies->copy(); }

private slots:
    void initTestCase() {
        m_copies = std::make_unique<editingsample::Copies>();
        m_sample = m_copies->sample();
        m_before = m_copies->before();
    }

    void deletingAClassTakesExactlyWhatDependsOnIt() {
        const QString path = copy();
        const int gone = m_sample.classes[0];
        QVERIFY(cascades::deleteClass(testsupport::openGradebook(path), gone));

        QMap<QString, Rows> expected = m_before;
        const QList<int> series = keysOf(m_before[kSeries], kSeries, QStringLiteral("NumClass"), {gone});
        const QList<int> students = keysOf(m_before[kStudents], kStudents, QStringLiteral("NumClass"), {gone});
        QCOMPARE(series.size(), 8);
        QCOMPARE(students.size(), 3);
        // Its grades, and the one its student had in another class's series.
        expected[kNotes] = without(without(m_before[kNotes], kNotes, QStringLiteral("NumSérie"), series), kNotes,
                                   QStringLiteral("NumElv"), students);
        QCOMPARE(expected[kNotes].size(), m_before[kNotes].size() - 8 * 3 - 1);
        expected[kSeries] = without(m_before[kSeries], kSeries, QStringLiteral("NumClass"), {gone});
        expected[kStudents] = without(m_before[kStudents], kStudents, QStringLiteral("NumClass"), {gone});
        expected[kCoefficients] = without(m_before[kCoefficients], kCoefficients, QStringLiteral("NumClass"), {gone});
        QCOMPARE(expected[kCoefficients].size(), m_before[kCoefficients].size() - 4);
        expected[kClasses] = without(m_before[kClasses], kClasses, QStringLiteral("NumClass"), {gone});
        QCOMPARE(dumpTables(path), expected);

        // A class that is no longer there: nothing to do, nothing written.
        QVERIFY(!cascades::deleteClass(testsupport::openGradebook(path), gone));
        QCOMPARE(dumpTables(path), expected);
    }

    void deletingASubjectTakesItsSeriesInEveryClass() {
        const QString path = copy();
        const int gone = m_sample.subjects[2];  // Histoire "Géo"
        QVERIFY(cascades::deleteSubject(testsupport::openGradebook(path), gone));

        QMap<QString, Rows> expected = m_before;
        const QList<int> series = keysOf(m_before[kSeries], kSeries, QStringLiteral("NumMat"), {gone});
        QCOMPARE(series.size(), 3 * 2);
        expected[kNotes] = without(m_before[kNotes], kNotes, QStringLiteral("NumSérie"), series);
        QCOMPARE(expected[kNotes].size(), m_before[kNotes].size() - 6 * 3);
        expected[kSeries] = without(m_before[kSeries], kSeries, QStringLiteral("NumMat"), {gone});
        expected[kCoefficients] = without(m_before[kCoefficients], kCoefficients, QStringLiteral("NumMat"), {gone});
        QCOMPARE(expected[kCoefficients].size(), m_before[kCoefficients].size() - 3);
        expected[kSubjects] = without(m_before[kSubjects], kSubjects, QStringLiteral("NumMat"), {gone});
        QCOMPARE(dumpTables(path), expected);

        QVERIFY(!cascades::deleteSubject(testsupport::openGradebook(path), gone));
        QCOMPARE(dumpTables(path), expected);
    }

    void aFailureAtAnyStepLeavesEveryTableAsItWas_data() {
        QTest::addColumn<bool>("isClass");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("when");
        QTest::newRow("class: its series' grades") << true << kNotes << QStringLiteral("1");
        QTest::newRow("class: its students' grades elsewhere")
            << true << kNotes << QStringLiteral("OLD.NumSérie = %1").arg(m_sample.crossSeries);
        QTest::newRow("class: its series") << true << kSeries << QStringLiteral("1");
        QTest::newRow("class: its students") << true << kStudents << QStringLiteral("1");
        QTest::newRow("class: its coefficients") << true << kCoefficients << QStringLiteral("1");
        QTest::newRow("class: the class") << true << kClasses << QStringLiteral("1");
        QTest::newRow("subject: its grades") << false << kNotes << QStringLiteral("1");
        QTest::newRow("subject: its series in the last class")
            << false << kSeries << QStringLiteral("OLD.NumClass = %1").arg(m_sample.classes[2]);
        QTest::newRow("subject: its coefficients") << false << kCoefficients << QStringLiteral("1");
        QTest::newRow("subject: the subject") << false << kSubjects << QStringLiteral("1");
    }

    void aFailureAtAnyStepLeavesEveryTableAsItWas() {
        QFETCH(bool, isClass);
        QFETCH(QString, table);
        QFETCH(QString, when);
        const QString path = copy();
        // Opened first: the program refuses a file that already holds a trigger.
        const db::Database file = testsupport::openGradebook(path);
        testsupport::failOn(path, "DELETE", table, when);
        const int error = testsupport::dbError([&] {
            if (isClass)
                cascades::deleteClass(file, m_sample.classes[0]);
            else
                cascades::deleteSubject(file, m_sample.subjects[2]);
        });
        QVERIFY(error != -1);
        QCOMPARE(dumpTables(path), m_before);
    }
};

QTEST_MAIN(tst_Cascades)
#include "tst_Cascades.moc"
