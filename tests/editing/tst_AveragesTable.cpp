// What the table of averages reads and writes, and its two grids laid out from it: the
// worked example cell by cell with one and two decimals, the coefficient edits after it, the
// widths and the export of visible columns, the rules for odd stores (a series out of 0, a
// missing coefficient row), typed coefficients, and the civil status.
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "GridTexts.h"
#include "WorkedExample.h"
#include "editing/AveragesGrids.h"
#include "editing/AveragesTable.h"
#include "gradebook/GradebookSchema.h"
#include "mainwindow/GradeGrid.h"
#include "platform/FlexGrid.h"

#include <QTemporaryDir>
#include <QTest>

using platform::FlexGrid;
using testsupport::GradebookBuilder;
using testsupport::gridTexts;
using testsupport::WorkedExample;

namespace {

QStringList widths(const FlexGrid& g) {
    QStringList w;
    for (int c = 0; c < g.Cols(); ++c) w << QString::number(g.ColWidth(c));
    return w;
}

// The class grid of a class, laid out as the window lays it out.
void showClass(FlexGrid& grid, const db::Database& book, int cls, const QString& format,
               const classgrid::Periods& periods = {true, true, true}) {
    const QList<averagestable::Entry> subjects = averagestable::readSubjects(book);
    classgrid::build(grid, subjects);
    const averagestable::ClassData data = averagestable::readClass(book, cls, subjects);
    classgrid::fill(grid, data, averages::classTable(data.marks, data.coefficients, format), periods);
}

void showStudent(FlexGrid& grid, const db::Database& book, int cls, int student, const QString& format) {
    const QList<averagestable::Entry> subjects = averagestable::readSubjects(book);
    studentgrid::build(grid, subjects);
    studentgrid::fill(grid, averagestable::readClass(book, cls, subjects, student), format);
}

int storedCoefficient(const db::Database& book, int cls, int mat) {
    db::Recordset rs = book.OpenRecordset(db::Query(QStringLiteral("Coefficients"))
                                              .where(db::Field(QStringLiteral("NumClass")) == cls
                                                     && db::Field(QStringLiteral("NumMat")) == mat),
                                          db::RecordsetType::Snapshot);
    return rs.Eof() ? -1 : rs.Fields(QStringLiteral("Coefficient")).Value().toInt();
}

void deleteCoefficient(const db::Database& book, int cls, int mat) {
    db::Recordset rs = book.OpenRecordset(db::Query(QStringLiteral("Coefficients")));
    rs.FindFirst(db::Field(QStringLiteral("NumClass")) == cls && db::Field(QStringLiteral("NumMat")) == mat);
    rs.Delete();
}

}  // namespace

class tst_AveragesTable : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void workedExampleCellByCell() {
        GradebookBuilder b(path("exemple.dat"));
        const WorkedExample ex(b);
        b.close();
        const db::Database book = testsupport::openGradebook(b.path());

        for (int decimals : {1, 2}) {
            const QString format = decimals == 1 ? QStringLiteral("0.0") : QStringLiteral("0.00");
            FlexGrid grid;
            showClass(grid, book, ex.cls, format);
            QCOMPARE(gridTexts(grid), WorkedExample::classGrid(decimals));
            QCOMPARE(grid.RowData(5), ex.paul);
            QCOMPARE(grid.ColData(5), ex.histoire);
        }

        FlexGrid grid;
        showClass(grid, book, ex.cls, QStringLiteral("0.0"));
        QCOMPARE(widths(grid), QStringList{"1800"} + QStringList(12, QStringLiteral("600")));
        // The only cells in the normal colour are the subjects' coefficients.
        QStringList editable;
        for (int r = 0; r < grid.Rows(); ++r)
            for (int c = 0; c < grid.Cols(); ++c) {
                grid.setRow(r);
                grid.setCol(c);
                if (grid.CellBackColor() == grid.BackColor()) editable << QStringLiteral("%1,%2").arg(r).arg(c);
            }
        QCOMPARE(editable, (QStringList{"2,4", "2,8"}));

        // A coefficient typed in the class grid: Histoire 2 → 0 changes the general group
        // and its class averages, nothing else.
        const QList<QStringList> before = gridTexts(grid);
        grid.setTextMatrix(2, 8, QStringLiteral("0"));
        classgrid::ComputeClassGeneralAverages(grid, QStringLiteral("0.0"));
        const QList<QStringList> after = gridTexts(grid);
        const QStringList general[] = {{"13,3", "13,3", "", "13,3"}, {"12,3", "9,3", "", "10,8"},
                                       {"11,4", "16,0", "", "13,7"}, {"", "", "", ""}, {"12,3", "12,9", "", "12,6"}};
        for (int r = 4; r <= 8; ++r) {
            QCOMPARE(after[r].mid(9), general[r - 4]);
            QCOMPARE(after[r].mid(0, 9), before[r].mid(0, 9));
        }
        grid.setTextMatrix(2, 4, QStringLiteral("0"));
        classgrid::ComputeClassGeneralAverages(grid, QStringLiteral("0.0"));
        for (int r = 4; r <= 8; ++r) QCOMPARE(gridTexts(grid)[r].mid(9), QStringList(4, QString()));

        // Martin Paul's own grid; Léa's and Hugo's bottom rows are their general groups.
        FlexGrid student;
        showStudent(student, book, ex.cls, ex.paul, QStringLiteral("0.0"));
        QCOMPARE(gridTexts(student), WorkedExample::paulGrid());
        QCOMPARE(student.RowData(2), ex.histoire);
        for (const auto& [key, row] : {std::pair{ex.lea, 4}, std::pair{ex.hugo, 6}}) {
            showStudent(student, book, ex.cls, key, QStringLiteral("0.0"));
            QCOMPARE(gridTexts(student)[4].mid(2), WorkedExample::classGrid(1)[row].mid(9));
        }

        // A coefficient typed in the student grid: the weighted row follows.
        showStudent(student, book, ex.cls, ex.paul, QStringLiteral("0.0"));
        student.setTextMatrix(2, 1, QStringLiteral("0"));
        studentgrid::ComputeStudentMeanRow(student, QStringLiteral("0.0"));
        QCOMPARE(gridTexts(student)[4], (QStringList{"Moyenne", "", "12,3", "9,3", "", "10,8"}));

        // The grade grid of 3e A / Maths agrees with the table.
        gradegrid::GridData data = gradegrid::readGrid(book, ex.cls, ex.maths);
        FlexGrid grades;
        gradegrid::AveragePositions positions{};
        gradegrid::fillGrid(grades, data, positions, QStringLiteral("0.0"));
        QCOMPARE(grades.TextMatrix(4, positions[1]), QStringLiteral("13,3"));
        QCOMPARE(grades.TextMatrix(4, positions[2]), QStringLiteral("13,3"));
        QCOMPARE(grades.TextMatrix(4, positions[3]), QString());
        QCOMPARE(grades.TextMatrix(4, positions[4]), QStringLiteral("13,3"));
        QCOMPARE(grades.TextMatrix(grades.Rows() - 1, 1), QStringLiteral("12,1"));
    }

    void widthsAndTheVisibleColumnsExported() {
        GradebookBuilder b(path("largeurs.dat"));
        const WorkedExample ex(b);
        const int empty = b.addClass(QStringLiteral("4e B"), QStringLiteral("4e B"));
        const int dessin = b.addSubject(QStringLiteral("Dessin"));
        // Series, but no grade in the class: the subject is hidden.
        b.addSeries(ex.cls, dessin, QStringLiteral("Croquis"), 20, 1, 1);
        b.close();
        const db::Database book = testsupport::openGradebook(b.path());

        FlexGrid grid;
        showClass(grid, book, ex.cls, QStringLiteral("0.0"), {true, false, true});
        QCOMPARE(grid.Cols(), 17);
        QCOMPARE(widths(grid), (QStringList{"1800", "600", "0", "600", "600", "600", "0", "600", "600", "0", "0", "0",
                                            "0", "600", "0", "600", "600"}));
        // Hiding a period changes no figure.
        QCOMPARE(grid.TextMatrix(8, 16), QStringLiteral("12,0"));
        const mExcelExport::Cells cells = classgrid::visibleCells(grid);
        QCOMPARE(cells.size(), 9);
        QCOMPARE(cells[1], (QStringList{"", "M 1", "M 3", "An", "M 1", "M 3", "An", "M 1", "M 3", "An"}));
        QCOMPARE(cells[5], (QStringList{"Martin Paul", "12,3", "", "10,8", "", "", "12,0", "12,3", "", "11,3"}));

        // A class without students: every subject hidden, the general group shown empty.
        showClass(grid, book, empty, QStringLiteral("0.0"));
        QCOMPARE(grid.Rows(), 6);
        QCOMPARE(gridTexts(grid)[5], QStringList{"Moyenne"} + QStringList(16, QString()));
        QCOMPARE(widths(grid).mid(1, 12), QStringList(12, QStringLiteral("0")));
        QCOMPARE(widths(grid).mid(13), QStringList(4, QStringLiteral("600")));
        QCOMPARE(classgrid::visibleCells(grid)[0], (QStringList{"", "Moyenne générale", "Moyenne générale",
                                                                "Moyenne générale", "Moyenne générale"}));

        // A gradebook without subjects lays nothing out and computes nothing.
        GradebookBuilder bare(path("sans matières.dat"));
        const int cls = bare.addClass(QStringLiteral("6e"), QStringLiteral("6e"));
        const int pupil = bare.addStudent(cls, QStringLiteral("Roux"), QStringLiteral("Iris"));
        bare.close();
        const db::Database bareBook = testsupport::openGradebook(bare.path());
        FlexGrid none;
        showClass(none, bareBook, cls, QStringLiteral("0.0"));
        QCOMPARE(none.Cols(), 1);
        QCOMPARE(none.Rows(), 2);
        showStudent(none, bareBook, cls, pupil, QStringLiteral("0.0"));
        QCOMPARE(none.Rows(), 2);
    }

    void oddStoresReadSoundly() {
        GradebookBuilder b(path("bizarre.dat"));
        const int cls = b.addClass(QStringLiteral("5e C"), QStringLiteral("5e C"));
        const int other = b.addClass(QStringLiteral("5e D"), QStringLiteral("5e D"));
        const int anglais = b.addSubject(QStringLiteral("Anglais"));
        const int sport = b.addSubject(QStringLiteral("Sport"));
        b.setCoefficient(cls, sport, 4);
        const int zoe = b.addStudent(cls, QStringLiteral("Zidane"), QStringLiteral("Zoé"));
        const int ali = b.addStudent(cls, QStringLiteral("Abbas"), QStringLiteral("Ali"));
        const int elsewhere = b.addStudent(other, QStringLiteral("Bernard"), QStringLiteral("Eva"));
        const int good = b.addSeries(cls, anglais, QStringLiteral("Oral"), 20, 1, 1);
        const int outOfZero = b.addSeries(cls, anglais, QStringLiteral("Faute"), 0, 1, 1);
        const int run = b.addSeries(cls, sport, QStringLiteral("Course"), 10, 1, 2);
        const int otherSeries = b.addSeries(other, anglais, QStringLiteral("Oral"), 20, 1, 1);
        b.addGrade(good, zoe, 14);
        b.addGrade(outOfZero, zoe, 3);
        b.addGrade(outOfZero, ali, 3);
        b.addGrade(run, zoe, 8);
        b.addGrade(otherSeries, elsewhere, 2);
        // A grade of a student of another class in this class's series counts nowhere.
        b.addGrade(good, elsewhere, 20);
        b.close();
        const db::Database book = testsupport::openGradebook(b.path());
        deleteCoefficient(book, cls, anglais);

        const QList<averagestable::Entry> subjects = averagestable::readSubjects(book);
        const quint64 scans = book.fullScanSteps();
        const averagestable::ClassData data = averagestable::readClass(book, cls, subjects);
        // A class is read through the indexes: no table is scanned whole.
        QCOMPARE(book.fullScanSteps(), scans);
        QCOMPARE(data.students.size(), 2);
        QCOMPARE(data.students[0].name, QStringLiteral("Abbas Ali"));
        // The missing row counts as a new pair's coefficient.
        QCOMPARE(data.coefficients, (std::vector<double>{1, 4}));
        const averages::ClassTable table = averages::classTable(data.marks, data.coefficients, QStringLiteral("0.0"));
        QCOMPARE(table.rows[0][0], averages::Group{});  // only a grade out of 0
        QCOMPARE(table.rows[1][0], (averages::Group{"14,0", "", "", "14,0"}));
        QCOMPARE(table.rows[1][1], (averages::Group{"", "16,0", "", "16,0"}));
        QCOMPARE(table.rows[1][2], (averages::Group{"14,0", "16,0", "", "15,6"}));

        // Writing a coefficient by key inserts the missing row; the others are updated.
        const int rowsBefore = testsupport::rowCount(book, QStringLiteral("Coefficients"));
        averagestable::writeCoefficient(book, cls, {anglais, sport}, 7);
        QCOMPARE(testsupport::rowCount(book, QStringLiteral("Coefficients")), rowsBefore + 1);
        QCOMPARE(storedCoefficient(book, cls, anglais), 7);
        QCOMPARE(storedCoefficient(book, cls, sport), 7);
        QCOMPARE(storedCoefficient(book, other, anglais), 1);
    }

    void typedCoefficients_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");  // -1: refused
        QTest::addColumn<QString>("refusal");
        const QString range = QStringLiteral("Le coefficient d'une matière doit être un nombre de 0 à 255.");
        QTest::newRow("whole") << "2" << 2 << "";
        QTest::newRow("a half goes to the even 2") << "2,5" << 2 << "";
        QTest::newRow("a half goes to the even 4") << "3,5" << 4 << "";
        QTest::newRow("below a half") << "0,4" << 0 << "";
        QTest::newRow("a point") << "1.6" << 2 << "";
        QTest::newRow("the largest") << "255,4" << 255 << "";
        QTest::newRow("rounded past the largest") << "255,5" << -1 << range;
        QTest::newRow("too large") << "300" << -1 << range;
        QTest::newRow("negative") << "-1" << -1 << range;
        QTest::newRow("no number") << "deux" << -1 << range;
        QTest::newRow("empty") << "" << -1 << "Le coefficient d'une matière doit être renseigné.";
    }
    void typedCoefficients() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QFETCH(QString, refusal);
        const std::optional<int> value = averagestable::parseCoefficient(typed);
        QCOMPARE(value.value_or(-1), stored);
        QCOMPARE(averagestable::coefficientRefusals(typed), refusal.isEmpty() ? QStringList{} : QStringList{refusal});
    }

    void treeAndCivilStatus() {
        GradebookBuilder b(path("état civil.dat"));
        const int second = b.addClass(QStringLiteral("Terminale"), QStringLiteral("Tle"));
        const int first = b.addClass(QStringLiteral("Seconde"), QStringLiteral("2de"));
        const int emile = b.addStudent(first, QStringLiteral("Zola"), QStringLiteral("Emile"));
        const int eve = b.addStudent(first, QStringLiteral("Élie"), QStringLiteral("Ève"));
        b.close();
        const db::Database book = testsupport::openGradebook(b.path());

        const QList<averagestable::TreeClass> tree = averagestable::readTree(book);
        QCOMPARE(tree.size(), 2);
        QCOMPARE(tree[0].entry.key, second);  // the gradebook's order
        QVERIFY(!tree[0].hasStudents && tree[1].hasStudents);
        const QList<averagestable::Entry> students = averagestable::readStudents(book, first);
        QCOMPARE(students.size(), 2);
        QCOMPARE(students[0].name, QStringLiteral("Élie Ève"));  // French order
        QCOMPARE(students[1].key, emile);

        const auto stored = [&](int student) {
            db::Recordset rs = book.OpenRecordset(
                db::Query(QStringLiteral("Elèves")).where(db::Field(QStringLiteral("NumElv")) == student),
                db::RecordsetType::Snapshot);
            return rs.Fields(QStringLiteral("EC")).Value();
        };
        QVERIFY(stored(eve).isNull());
        QCOMPARE(averagestable::readCivilStatus(book, eve), QString());
        averagestable::saveCivilStatus(book, eve, QStringLiteral("Née le 3 mars.\nDemi-pensionnaire."));
        QCOMPARE(averagestable::readCivilStatus(book, eve), QStringLiteral("Née le 3 mars.\nDemi-pensionnaire."));
        // An emptied text is kept as an empty text.
        averagestable::saveCivilStatus(book, eve, QString());
        QVERIFY(!stored(eve).isNull());
        QCOMPARE(stored(eve).toString(), QString());
        QVERIFY(stored(emile).isNull());
        // A student who is gone is left alone.
        averagestable::saveCivilStatus(book, 9999, QStringLiteral("personne"));
        QCOMPARE(testsupport::rowCount(book, QStringLiteral("Elèves")), 2);
    }
};

QTEST_MAIN(tst_AveragesTable)
#include "tst_AveragesTable.moc"
