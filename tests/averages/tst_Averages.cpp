// The averages shared by every grid: the period average and what it leaves out, the yearly
// mean and the coefficient-weighted means read from the values shown, and the grade grid
// following the same rules.
#include "averages/Averages.h"
#include "mainwindow/GradeGrid.h"
#include "platform/FlexGrid.h"

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
    void periodAverage_data() {
        QTest::addColumn<QList<Mark>>("marks");
        QTest::addColumn<QString>("oneDecimal");
        QTest::addColumn<QString>("twoDecimals");
        QTest::newRow("weighted by the series' coefficients") << QList<Mark>{{12, 20, 1}, {15, 20, 2}} << "14,0" << "14,00";
        QTest::newRow("brought to 20") << QList<Mark>{{8, 10, 1}} << "16,0" << "16,00";
        QTest::newRow("thirds") << QList<Mark>{{13, 20, 2}, {7, 10, 1}} << "13,3" << "13,33";
        QTest::newRow("no grade") << QList<Mark>{} << "" << "";
        QTest::newRow("only a coefficient 0") << QList<Mark>{{18, 20, 0}} << "" << "";
        QTest::newRow("a series out of 0 is left out") << QList<Mark>{{5, 0, 1}, {12, 20, 1}} << "12,0" << "12,00";
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
        // Period averages of 10,5 and 11 make a year of 10,75: "10,8" and "10,75".
        averages::PeriodMarks marks;
        marks[0].addGrade(10.5, 20, 1);
        marks[2].addGrade(11, 20, 1);
        QCOMPARE(averages::subjectGroup(marks, QStringLiteral("0.0")), (Group{"10,5", "", "11,0", "10,8"}));
        QCOMPARE(averages::subjectGroup(marks, QStringLiteral("0.00")), (Group{"10,50", "", "11,00", "10,75"}));

        // 12,25 is shown 12,3 with one decimal: the year averages what is shown.
        averages::PeriodMarks shown;
        shown[0].addGrade(12.25, 20, 1);
        shown[1].addGrade(12, 20, 1);
        QCOMPARE(averages::subjectGroup(shown, QStringLiteral("0.0"))[averages::kYear], QStringLiteral("12,2"));
        QCOMPARE(averages::subjectGroup(shown, QStringLiteral("0.00"))[averages::kYear], QStringLiteral("12,13"));

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

    void theGradeGridLeavesOutASeriesOutOfZero() {
        gradegrid::GridData data;
        data.nameWidth = 1800;
        data.students = {{1, QStringLiteral("Aubert Anne")}, {2, QStringLiteral("Blanc Basile")}};
        const auto series = [](qint32 key, const char* sur, int period, QHash<qint32, double> grades) {
            gradegrid::Series s;
            s.key = key;
            s.name = QStringLiteral("S%1").arg(key);
            s.sur = QString::fromLatin1(sur);
            s.coefficient = QStringLiteral("1");
            s.period = period;
            s.width = 600;
            s.grades = grades;
            return s;
        };
        data.series = {series(1, "20", 1, {{1, 12}, {2, 8}}), series(2, "0", 1, {{1, 5}, {2, 7}}),
                       series(3, "", 2, {{1, 9}})};
        platform::FlexGrid grid;
        gradegrid::AveragePositions positions{};
        gradegrid::fillGrid(grid, data, positions, QStringLiteral("0.0"));
        QCOMPARE(positions[1], 3);
        // Period 1 is the series out of 20 alone; period 2 has no scale at all.
        QCOMPARE(grid.TextMatrix(4, 3), QStringLiteral("12,0"));
        QCOMPARE(grid.TextMatrix(5, 3), QStringLiteral("8,0"));
        QCOMPARE(grid.TextMatrix(4, positions[2]), QString());
        QCOMPARE(grid.TextMatrix(4, positions[4]), QStringLiteral("12,0"));
        QCOMPARE(grid.TextMatrix(grid.Rows() - 1, 3), QStringLiteral("10,0"));
    }
};

QTEST_MAIN(tst_Averages)
#include "tst_Averages.moc"
