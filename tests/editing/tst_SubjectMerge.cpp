// Merging two subjects: the checks before anything is written, what the merge leaves in
// every table, the averages it keeps, and a failure at any step.
#include "DbTestSupport.h"
#include "EditingSample.h"
#include "TableDump.h"
#include "editing/SubjectMerge.h"
#include "mainwindow/GradeGrid.h"
#include "platform/FlexGrid.h"

#include <memory>
#include <QTest>

using editingsample::column;
using editingsample::keysOf;
using editingsample::without;
using testsupport::dumpTables;
using testsupport::Rows;

namespace {

const QString kNotes = QStringLiteral("Notes"), kSeries = QStringLiteral("Séries"),
              kCoefficients = QStringLiteral("Coefficients"), kSubjects = QStringLiteral("Matières");

// Every student's general average and the class's, as the grade grid shows them (the
// band between them left out).
QStringList averages(const db::Database& file, int numClass, int numMat) {
    platform::FlexGrid grid;
    gradegrid::AveragePositions positions{};
    gradegrid::fillGrid(grid, gradegrid::readGrid(file, numClass, numMat), positions, QStringLiteral("0.00"));
    QStringList texts;
    for (int row = gradegrid::kFirstStudentRow; row < grid.Rows(); ++row)
        if (row != grid.Rows() - 2) texts << grid.TextMatrix(row, positions[gradegrid::kGeneralAverage]);
    return texts;
}

}  // namespace

class tst_SubjectMerge : public QObject {
    Q_OBJECT
    std::unique_ptr<editingsample::Copies> m_copies;  // made once the application runs
    editingsample::Sample m_sample;
    QMap<QString, Rows> m_before;
    QString m_base;

    QString copy() { return m_copies->copy(); }
    subjectmerge::Input input(const QString& name) const { return {m_sample.subjects[0], m_sample.subjects[1], name}; }

private slots:
    void initTestCase() {
        m_copies = std::make_unique<editingsample::Copies>();
        m_sample = m_copies->sample();
        m_before = m_copies->before();
        m_base = m_copies->base();
    }

    void checksCompareNamesAsTheGradebookDoes() {
        const db::Database file = testsupport::openGradebook(m_base);
        const auto heading = [&](const subjectmerge::Input& in) {
            const auto refusal = subjectmerge::refusal(file, in);
            return refusal ? refusal->heading : QString();
        };
        QCOMPARE(heading({m_sample.subjects[1], m_sample.subjects[1], QStringLiteral("X")}),
                 QStringLiteral("Impossible de continuer."));
        QCOMPARE(subjectmerge::refusal(file, {m_sample.subjects[1], m_sample.subjects[1], {}})->focus,
                 subjectmerge::Refusal::Lists);
        QCOMPARE(heading(input({})), QStringLiteral("Vous n'avez pas saisi un nom de matière valide."));
        QCOMPARE(subjectmerge::refusal(file, input({}))->line,
                 QStringLiteral("Veuillez saisir un nom pour la matière résultante."));
        const QString taken = QStringLiteral("Ce nom de matière est déjà attribué.");
        for (const char* name : {"Histoire \"Géo\"", "histoire \"GÉO\"", "L'ANGLAIS"})
            QCOMPARE(heading(input(QString::fromUtf8(name))), taken);
        // A name written in decomposed form is the same name once stored.
        QCOMPARE(heading(input(QStringLiteral("Histoire \"Ge\u0301o\""))), taken);
        // The two merged subjects' own names are free, in any case; accents make a new name.
        for (const char* name : {"Maths", "GÉOMÉTRIE", "Histoire \"Geo\"", "Sciences \"exactes\""})
            QCOMPARE(heading(input(QString::fromUtf8(name))), QString());
        QCOMPARE(dumpTables(m_base), m_before);
    }

    void mergeMovesTheSeriesOfBothAndResetsTheCoefficients_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("a new name") << QStringLiteral("Mathématiques \"générales\"");
        QTest::newRow("the name of one of the two") << QStringLiteral("géométrie");
    }

    void mergeMovesTheSeriesOfBothAndResetsTheCoefficients() {
        QFETCH(QString, name);
        const QString path = copy();
        const int m1 = m_sample.subjects[0], m2 = m_sample.subjects[1];
        const int merged = subjectmerge::merge(testsupport::openGradebook(path), input(name));
        QVERIFY(merged > m_sample.subjects.last());

        QMap<QString, Rows> expected = m_before;
        expected[kSubjects] = without(m_before[kSubjects], kSubjects, QStringLiteral("NumMat"), {m1, m2});
        expected[kSubjects] << QStringList{QString::number(merged), name};
        expected[kCoefficients] = without(m_before[kCoefficients], kCoefficients, QStringLiteral("NumMat"), {m1, m2});
        for (const int numClass : m_sample.classes)
            expected[kCoefficients] << QStringList{QString::number(numClass), QString::number(merged), QStringLiteral("1")};
        const int numMat = column(kSeries, QStringLiteral("NumMat"));
        for (QStringList& row : expected[kSeries])
            if (row[numMat].toInt() == m1 || row[numMat].toInt() == m2) row[numMat] = QString::number(merged);
        const QMap<QString, Rows> after = dumpTables(path);
        QCOMPARE(after, expected);
        QCOMPARE(keysOf(after[kSeries], kSeries, QStringLiteral("NumMat"), {merged}).size(),
                 keysOf(m_before[kSeries], kSeries, QStringLiteral("NumMat"), {m1}).size() +
                     keysOf(m_before[kSeries], kSeries, QStringLiteral("NumMat"), {m2}).size());
        QCOMPARE(after[kNotes], m_before[kNotes]);
    }

    // With the same coefficients, a student's average in the merged subject is the mean of
    // his averages in the two, and nothing else moves.
    void mergeKeepsTheAveragesOfEveryClass() {
        const QString path = copy();
        QMap<int, QStringList> expected, others;
        {
            const db::Database file = testsupport::openGradebook(path);
            for (const int numClass : m_sample.classes) {
                const QStringList a = averages(file, numClass, m_sample.subjects[0]);
                const QStringList b = averages(file, numClass, m_sample.subjects[1]);
                QCOMPARE(a.size(), b.size());
                const auto value = [](QString text) { return text.replace(u',', u'.').toDouble(); };
                for (int i = 0; i < a.size(); ++i)
                    expected[numClass] << QString::number((value(a[i]) + value(b[i])) / 2, 'f', 2).replace(u'.', u',');
                for (int m = 2; m < m_sample.subjects.size(); ++m)
                    others[numClass] << averages(file, numClass, m_sample.subjects[m]);
            }
        }
        const db::Database file = testsupport::openGradebook(path);
        const int merged = subjectmerge::merge(file, input(QStringLiteral("Mathématiques")));
        for (const int numClass : m_sample.classes) {
            QCOMPARE(averages(file, numClass, merged), expected[numClass]);
            QStringList now;
            for (int m = 2; m < m_sample.subjects.size(); ++m) now << averages(file, numClass, m_sample.subjects[m]);
            QCOMPARE(now, others[numClass]);
        }
    }

    void aFailureAtAnyStepLeavesEveryTableAsItWas_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("when");
        const QString m1 = QString::number(m_sample.subjects[0]), m2 = QString::number(m_sample.subjects[1]);
        QTest::newRow("deleting the first subject") << "DELETE" << kSubjects << "OLD.NumMat = " + m1;
        QTest::newRow("deleting the second subject") << "DELETE" << kSubjects << "OLD.NumMat = " + m2;
        QTest::newRow("adding the new subject") << "INSERT" << kSubjects << "1";
        QTest::newRow("the first's coefficients") << "DELETE" << kCoefficients << "OLD.NumMat = " + m1;
        QTest::newRow("the second's coefficients") << "DELETE" << kCoefficients << "OLD.NumMat = " + m2;
        QTest::newRow("the last new coefficient")
            << "INSERT" << kCoefficients << "NEW.NumClass = " + QString::number(m_sample.classes.last());
        QTest::newRow("the first's series") << "UPDATE" << kSeries << "OLD.NumMat = " + m1;
        QTest::newRow("the second's last series")
            << "UPDATE" << kSeries << "OLD.NumMat = " + m2 + " AND OLD.NumClass = " + QString::number(m_sample.classes.last());
        // A name that the check did not see taken (another program added it since).
        QTest::newRow("a name the store refuses") << "" << QString() << QString();
    }

    void aFailureAtAnyStepLeavesEveryTableAsItWas() {
        QFETCH(QString, event);
        QFETCH(QString, table);
        QFETCH(QString, when);
        const QString path = copy();
        if (!event.isEmpty()) testsupport::failOn(path, event.toLatin1().constData(), table, when);
        const QString name = event.isEmpty() ? QStringLiteral("l'anglais") : QStringLiteral("Mathématiques");
        QVERIFY(testsupport::dbError([&] { subjectmerge::merge(testsupport::openGradebook(path), input(name)); }) != -1);
        QCOMPARE(dumpTables(path), m_before);
    }

    void aSubjectGoneBeforeTheMergeStopsItBeforeAnyWrite() {
        const QString path = copy();
        const subjectmerge::Input gone{m_sample.subjects[0], m_sample.subjects.last() + 1, QStringLiteral("X")};
        QCOMPARE(testsupport::dbError([&] { subjectmerge::merge(testsupport::openGradebook(path), gone); }),
                 testsupport::code(db::DbErrc::NoCurrentRecord));
        QCOMPARE(dumpTables(path), m_before);
    }
};

QTEST_MAIN(tst_SubjectMerge)
#include "tst_SubjectMerge.moc"
