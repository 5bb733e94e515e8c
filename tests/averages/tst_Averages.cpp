// The averages shared by every grid: the period average and what it leaves out, the yearly
// mean and the coefficient-weighted means read from the values shown, and the grade grid
// following the same rules.
#include "averages/Averages.h"
#include "mainwindow/GradeGrid.h"
#include "platform/FlexGrid.h"
#include "GridTexts.h"

#include <QTest>

using averages::Group;
using averages::Mean;

namespace {

struct Mark {
    double grade, sur, coefficient;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Mark>)

class tst_Averages : public QObject {
    Q_OBJECT

private slots:
    // The grade grid below meets the other rules: coefficients, scales brought to 20, a series
    // out of 0 or of coefficient 0 left out, no grade.
    void periodAverage_data() {
        QTest::addColumn<QList<Mark>>("marks");
        QTest::addColumn<QString>("oneDecimal");
        QTest::addColumn<QString>("twoDecimals");
        QTest::newRow("thirds") << QList<Mark>{{13, 20, 2}, {7, 10, 1}} << "13,3" << "13,33";
        QTest::newRow("only series out of 0") << QList<Mark>{{5, 0, 3}} << "" << "";
        QTest::newRow("a half rounds away from zero") << QList<Mark>{{12.25, 20, 1}} << "12,3" << "12,25";
    }
    void periodAverage() {
        QFETCH(QList<Mark>, marks);
        QFETCH(QString, oneDecimal);
        QFETCH(QString, twoDecimals);
        Mean period;
        for (const Mark& m : marks) period.addGrade(m.grade, m.sur, m.coefficient);
        QCOMPARE(period.shown(QStringLiteral("0.0")), oneDecimal);
        QCOMPARE(period.shown(QStringLiteral("0.00")), twoDecimals);
    }

    void higherLevelsReadTheLevelBelowAsShown() {
        // Periods of 12,25 and 12: with one decimal the year averages the 12,3 and 12,0 shown, 12,2
        // where the exact 12,125 gives 12,1; with two, 12,125 rounds its half up.
        averages::PeriodMarks marks;
        marks[0].addGrade(12.25, 20, 1);
        marks[2].addGrade(12, 20, 1);
        QCOMPARE(averages::subjectGroup(marks, QStringLiteral("0.0")), (Group{"12,3", "", "12,0", "12,2"}));
        QCOMPARE(averages::subjectGroup(marks, QStringLiteral("0.00")), (Group{"12,25", "", "12,00", "12,13"}));

        // Subjects weighted by their coefficients: an empty cell and a coefficient 0 count
        // for nothing, and with nothing left the cell is empty.
        const Group maths{"12,3", "9,3", "", "10,8"}, histoire{"", "12,0", "", "12,0"}, dessin{"18,0", "", "", "18,0"};
        const std::vector<Group> subjects{maths, histoire, dessin};
        QCOMPARE(averages::weightedGroup(subjects, std::vector<double>{3, 2, 0}, QStringLiteral("0.0")),
                 (Group{"12,3", "10,4", "", "11,3"}));
        QCOMPARE(averages::weightedGroup(subjects, std::vector<double>{0, 0, 0}, QStringLiteral("0.0")), Group{});
        QCOMPARE(averages::weightedGroup({}, {}, QStringLiteral("0.0")), Group{});

        // The class average of a column is the plain mean of its shown cells.
        const std::vector<Group> rows{{"13,3"}, {"12,3"}, {"11,4"}, {""}};
        QCOMPARE(averages::columnMeans(rows, QStringLiteral("0.0"))[0], QStringLiteral("12,3"));
        QCOMPARE(averages::columnMeans(rows, QStringLiteral("0.0"))[1], QString());
    }

    // The grade grid follows the same rules, with one decimal and with two: a series out of 0
    // or of coefficient 0 weighs nothing, the general average reads the periods' as shown.
    void theGradeGridFollowsTheSameRules() {
        gradegrid::GridData data;
        data.students = {{1, "Aubert Anne"}, {2, "Blanc Basile"}, {3, "Colin Céline"}, {4, "Dumas Denis"}};
        data.series = {{1, "A", "20", "1", 1, 600, {{1, 12}, {3, 10.5}, {4, 16}}}, {2, "B", "20", "2", 1, 600, {{1, 15}}},
                       {3, "Y", "0", "1", 1, 600, {{4, 5}}}, {4, "C", "10", "1", 2, 600, {{1, 8}, {3, 5.5}}},
                       {5, "D", "40", "1", 2, 600, {{1, 25}}}, {6, "Z", "20", "0", 2, 600, {{4, 18}}}};
        platform::FlexGrid grid;
        gradegrid::AveragePositions positions{};
        gradegrid::fillGrid(grid, data, positions, QStringLiteral("0.0"));
        QCOMPARE(positions, (gradegrid::AveragePositions{0, 4, 8, 0, 9}));
        const QList<QStringList> rows = testsupport::gridTexts(grid);
        QCOMPARE(rows[0], (QStringList{"", "A", "B", "Y", "Moyenne 1", "C", "D", "Z", "Moyenne 2", "Moyenne générale"}));
        // Period 2 is 14,25, shown 14,3: the general average is 14,2 where the exact 14,125 gives 14,1.
        QCOMPARE(rows[4], (QStringList{"Aubert Anne", "12", "15", "", "14,0", "8", "25", "", "14,3", "14,2"}));
        QCOMPARE(rows[5], (QStringList{"Blanc Basile", "", "", "", "", "", "", "", "", ""}));
        QCOMPARE(rows[6], (QStringList{"Colin Céline", "10,5", "", "", "10,5", "5,5", "", "", "11,0", "10,8"}));
        QCOMPARE(rows[7], (QStringList{"Dumas Denis", "16", "", "5", "16,0", "", "", "18", "", "16,0"}));
        QCOMPARE(rows[9], (QStringList{" Moyenne", "12,8", "15,0", "5,0", "13,5", "6,8", "25,0", "18,0", "12,7", "13,7"}));
        gradegrid::fillGrid(grid, data, positions, QStringLiteral("0.00"));
        QCOMPARE(testsupport::gridTexts(grid)[4].mid(4), (QStringList{"14,00", "8", "25", "", "14,25", "14,13"}));
        QCOMPARE(grid.TextMatrix(6, 9), QStringLiteral("10,75"));
        QCOMPARE(grid.TextMatrix(9, 9), QStringLiteral("13,63"));
    }
};

QTEST_MAIN(tst_Averages)
#include "tst_Averages.moc"
