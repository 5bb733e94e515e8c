// The table of averages: what it reads and writes and its two grids laid out from it (the
// worked example cell by cell, odd stores, typed coefficients, the civil status); then the
// window in the main window's place, its tree, its coefficient editors and their lock, its
// export and printing of the grid on screen, and the options' change of decimals.
#include "EditingTestKit.h"
#include "FileRights.h"
#include "FileSizeLimit.h"
#include "GridTexts.h"
#include "WorkbookReader.h"
#include "WorkedExample.h"
#include "controls/mSubClass.h"
#include "editing/AveragesGrids.h"
#include "editing/AveragesTable.h"
#include "editing/frmEleves.h"
#include "mainwindow/frmOptions.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "printing/frmApercu.h"
#include "printing/frmMiseEnPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QToolBar>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using platform::FlexGrid;
using platform::Form;
using platform::ModalTestScope;
using namespace editkit;
using namespace testsupport;

namespace {

const QString kWarning = u"Vous êtes en mode d'Edition de coefficient.\nTerminez votre saisie avant de continuer."_s;
const QString kRefused = u"Votre saisie est incorrecte.\nElle a été annulée."_s;

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

QTreeWidgetItem* node(frmElèves& w, const QString& key) {
    for (QTreeWidgetItemIterator it(w.treElv); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == key) return *it;
    return nullptr;
}

}  // namespace

class tst_AveragesTable : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;
    std::optional<WorkedExample> m_ex;

    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // A gradebook holding the worked example, a second class with one student and grades
    // in Histoire, and a class without students; the main window shows it.
    frmMain& openMain() {
        GradebookBuilder b(m_dir.filePath(u"Année %1.dat"_s.arg(QTest::currentTestFunction())));
        m_ex.emplace(b);
        const int second = b.addClass(u"4e B"_s, u"4e B"_s), chloe = b.addStudent(second, u"Bernard"_s, u"Chloé"_s);
        b.addClass(u"5e vide"_s, u"5e"_s);
        b.addGrade(b.addSeries(second, m_ex->histoire, u"Carte"_s, 20, 1, 1), chloe, 15);
        b.close();
        m_path = b.path();
        return editkit::openMain(m_path);
    }

    // The main window's command "&Tableau des moyennes".
    static frmElèves& openAverages(frmMain& main) {
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 20, 0);
        frmElèves* w = Form<frmElèves>::instance();
        if (!w) qFatal("the table of averages did not open");
        return *w;
    }
    // The civil status of every student, in key order: Paul, Hugo, Léa, Chloé.
    QStringList civilStatus() const { return editkit::fields(m_path, u"Elèves"_s, {u"EC"_s}); }
    // The coefficients in key order: 3e A's Maths and Histoire, then 4e B's, then 5e's.
    QStringList coefficients() const { return editkit::fields(m_path, u"Coefficients"_s, {u"Coefficient"_s}); }

private slots:
    void cleanup() { editkit::unloadAll<frmElèves>(); }

    void workedExampleCellByCell() {
        GradebookBuilder b(path("exemple.dat"));
        const WorkedExample ex(b);
        b.close();
        const db::Database book = testsupport::openGradebook(b.path());

        FlexGrid grid;
        for (const QString& format : {u"0.00"_s, u"0.0"_s}) {
            showClass(grid, book, ex.cls, format);
            QCOMPARE(gridTexts(grid), WorkedExample::classGrid(format.size() - 2));
            QVERIFY(grid.RowData(5) == ex.paul && grid.ColData(5) == ex.histoire);
        }
        QCOMPARE(widths(grid), QStringList{"1800"} + QStringList(12, u"600"_s));
        // A coefficient typed in the class grid: Histoire 2 → 0 changes the general group
        // and its class averages, nothing else.
        const QList<QStringList> before = gridTexts(grid);
        grid.setTextMatrix(2, 8, u"0"_s);
        classgrid::ComputeClassGeneralAverages(grid, u"0.0"_s);
        const QList<QStringList> after = gridTexts(grid);
        const QStringList general[] = {{"13,3", "13,3", "", "13,3"}, {"12,3", "9,3", "", "10,8"},
                                       {"11,4", "16,0", "", "13,7"}, {"", "", "", ""}, {"12,3", "12,9", "", "12,6"}};
        for (int r = 4; r <= 8; ++r) {
            QCOMPARE(after[r].mid(9), general[r - 4]);
            QCOMPARE(after[r].mid(0, 9), before[r].mid(0, 9));
        }
        grid.setTextMatrix(2, 4, u"0"_s);
        classgrid::ComputeClassGeneralAverages(grid, u"0.0"_s);
        for (int r = 4; r <= 8; ++r) QCOMPARE(gridTexts(grid)[r].mid(9), QStringList(4, QString()));

        // Martin Paul's own grid; Léa's and Hugo's bottom rows are their general groups.
        FlexGrid student;
        showStudent(student, book, ex.cls, ex.paul, u"0.0"_s);
        QCOMPARE(gridTexts(student), WorkedExample::paulGrid());
        QCOMPARE(student.RowData(2), ex.histoire);
        for (const auto& [key, row] : {std::pair{ex.lea, 4}, std::pair{ex.hugo, 6}}) {
            showStudent(student, book, ex.cls, key, u"0.0"_s);
            QCOMPARE(gridTexts(student)[4].mid(2), WorkedExample::classGrid(1)[row].mid(9));
        }

    }

    void widthsAndTheVisibleColumnsExported() {
        GradebookBuilder b(path("largeurs.dat"));
        const WorkedExample ex(b);
        const int empty = b.addClass(u"4e B"_s, u"4e B"_s);
        const int dessin = b.addSubject(u"Dessin"_s);
        // Series, but no grade in the class: the subject is hidden.
        b.addSeries(ex.cls, dessin, u"Croquis"_s, 20, 1, 1);
        b.close();
        const db::Database book = testsupport::openGradebook(b.path());

        FlexGrid grid;
        showClass(grid, book, ex.cls, u"0.0"_s, {true, false, true});
        QCOMPARE(grid.Cols(), 17);
        QCOMPARE(widths(grid), (QStringList{"1800", "600", "0", "600", "600", "600", "0", "600", "600", "0", "0", "0",
                                            "0", "600", "0", "600", "600"}));
        // Hiding a period changes no figure.
        QCOMPARE(grid.TextMatrix(8, 16), u"12,0"_s);
        const mExcelExport::Cells cells = classgrid::visibleCells(grid);
        QCOMPARE(cells.size(), 9);
        QCOMPARE(cells[1], (QStringList{"", "M 1", "M 3", "An", "M 1", "M 3", "An", "M 1", "M 3", "An"}));
        QCOMPARE(cells[5], (QStringList{"Martin Paul", "12,3", "", "10,8", "", "", "12,0", "12,3", "", "11,3"}));

        // A class without students: every subject hidden, the general group shown empty.
        showClass(grid, book, empty, u"0.0"_s);
        QCOMPARE(grid.Rows(), 6);
        QCOMPARE(gridTexts(grid)[5], QStringList{"Moyenne"} + QStringList(16, QString()));
        QCOMPARE(widths(grid), QStringList{"1800"} + QStringList(12, u"0"_s) + QStringList(4, u"600"_s));
        QCOMPARE(classgrid::visibleCells(grid)[0], QStringList{""} + QStringList(4, u"Moyenne générale"_s));

        // A gradebook without subjects lays nothing out and computes nothing.
        GradebookBuilder bare(path("sans matières.dat"));
        const int cls = bare.addClass(u"6e"_s, u"6e"_s), pupil = bare.addStudent(cls, u"Roux"_s, u"Iris"_s);
        bare.close();
        const db::Database bareBook = testsupport::openGradebook(bare.path());
        FlexGrid none;
        showClass(none, bareBook, cls, u"0.0"_s);
        QVERIFY(none.Cols() == 1 && none.Rows() == 2);
        showStudent(none, bareBook, cls, pupil, u"0.0"_s);
        QCOMPARE(none.Rows(), 2);
    }

    void oddStoresReadSoundly() {
        GradebookBuilder b(path("bizarre.dat"));
        const int cls = b.addClass(u"5e C"_s, u"5e C"_s), other = b.addClass(u"5e D"_s, u"5e D"_s);
        const int anglais = b.addSubject(u"Anglais"_s), sport = b.addSubject(u"Sport"_s);
        b.setCoefficient(cls, sport, 4);
        const int zoe = b.addStudent(cls, u"Zidane"_s, u"Zoé"_s), ali = b.addStudent(cls, u"Abbas"_s, u"Ali"_s);
        const int elsewhere = b.addStudent(other, u"Bernard"_s, u"Eva"_s);
        const int good = b.addSeries(cls, anglais, u"Oral"_s, 20, 1, 1), outOfZero = b.addSeries(cls, anglais, u"Faute"_s, 0, 1, 1);
        const int run = b.addSeries(cls, sport, u"Course"_s, 10, 1, 2), jump = b.addSeries(cls, sport, u"Saut"_s, 20, 1, 3);
        const int otherSeries = b.addSeries(other, anglais, u"Oral"_s, 20, 1, 1);
        // The last: a grade of a student of another class in this class's series counts nowhere.
        for (const auto& [series, student, grade] :
             {std::tuple{good, zoe, 14.0}, {outOfZero, zoe, 3.0}, {outOfZero, ali, 3.0}, {run, zoe, 8.0},
              {jump, ali, 12.45}, {otherSeries, elsewhere, 2.0}, {good, elsewhere, 20.0}})
            b.addGrade(series, student, grade);
        b.close();
        // A pair without its coefficient row.
        const QString missing = u"DELETE FROM Coefficients WHERE NumClass = %1 AND NumMat = %2"_s.arg(cls).arg(anglais);
        QCOMPARE(testsupport::rawExec(b.path(), gradebook::databasePassword().toUtf8(), missing.toUtf8().constData()), 0);
        const db::Database book = testsupport::openGradebook(b.path());

        const QList<averagestable::Entry> subjects = averagestable::readSubjects(book);
        const quint64 scans = book.fullScanSteps();
        const averagestable::ClassData data = averagestable::readClass(book, cls, subjects);
        // A class is read through the indexes: no table is scanned whole.
        QCOMPARE(book.fullScanSteps(), scans);
        QVERIFY(data.students.size() == 2 && data.students[0].name == u"Abbas Ali"_s);
        // The missing row counts as a new pair's coefficient.
        QCOMPARE(data.coefficients, (std::vector<double>{1, 4}));
        const averages::ClassTable table = averages::classTable(data.marks, data.coefficients, u"0.0"_s);
        QCOMPARE(table.rows[0][0], averages::Group{});  // only a grade out of 0
        // The 12,45 stored in single precision (12,4499...) counts as the grade grid shows it.
        QCOMPARE(table.rows[0][1], (averages::Group{"", "", "12,5", "12,5"}));
        QCOMPARE(table.rows[1][0], (averages::Group{"14,0", "", "", "14,0"}));
        QCOMPARE(table.rows[1][1], (averages::Group{"", "16,0", "", "16,0"}));
        QCOMPARE(table.rows[1][2], (averages::Group{"14,0", "16,0", "", "15,6"}));

        // Writing a coefficient by key updates the rows there are and inserts the missing one.
        averagestable::writeCoefficient(book, cls, {anglais, sport}, 7);
        const auto row = [](int numClass, int numMat, int coefficient) {
            return u"%1 %2 %3"_s.arg(numClass).arg(numMat).arg(coefficient);
        };
        QCOMPARE(editkit::fields(b.path(), u"Coefficients"_s, {u"NumClass"_s, u"NumMat"_s, u"Coefficient"_s}),
                 (QStringList{row(other, anglais, 1), row(cls, sport, 7), row(other, sport, 1), row(cls, anglais, 7)}));
    }

    void typedCoefficients_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");  // -1: refused
        QTest::addColumn<QString>("refusal");
        const QString range = u"Le coefficient d'une matière doit être un nombre de 0 à 255."_s;
        QTest::newRow("whole") << "2" << 2 << "";
        QTest::newRow("a half goes to the even 2") << "2,5" << 2 << "";
        QTest::newRow("a half goes to the even 4") << "3,5" << 4 << "";
        QTest::newRow("below a half") << "0,4" << 0 << "";
        QTest::newRow("a point") << "1.6" << 2 << "";
        QTest::newRow("the largest") << "255,4" << 255 << "";
        QTest::newRow("rounded past the largest") << "255,5" << -1 << range;
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
        const int second = b.addClass(u"Terminale"_s, u"Tle"_s);
        const int first = b.addClass(u"Seconde"_s, u"2de"_s);
        const int emile = b.addStudent(first, u"Zola"_s, u"Emile"_s);
        const int eve = b.addStudent(first, u"Élie"_s, u"Ève"_s);
        b.close();
        const db::Database book = testsupport::openGradebook(b.path());
        // Classes in the gradebook's order, students in French order.
        QCOMPARE(averagestable::readTree(book)[0].entry.key, second);
        QCOMPARE(averagestable::readStudents(book, first)[0].key, eve);
        const auto stored = [&](int student) {
            db::Recordset rs = book.OpenRecordset(db::Query(u"Elèves"_s).where(db::Field(u"NumElv"_s) == student));
            return rs.Fields(u"EC"_s).Value();
        };
        QVERIFY(stored(eve).isNull());
        QCOMPARE(averagestable::readCivilStatus(book, eve), QString());
        averagestable::saveCivilStatus(book, eve, u"Née le 3 mars.\nDemi-pensionnaire."_s);
        QCOMPARE(averagestable::readCivilStatus(book, eve), u"Née le 3 mars.\nDemi-pensionnaire."_s);
        // An emptied text is kept as an empty text.
        averagestable::saveCivilStatus(book, eve, QString());
        QVERIFY(!stored(eve).isNull() && stored(eve).toString().isEmpty() && stored(emile).isNull());
        // A student who is gone is left alone.
        averagestable::saveCivilStatus(book, 9999, u"personne"_s);
        QCOMPARE(testsupport::rowCount(book, u"Elèves"_s), 2);
    }

    void takesTheMainWindowsPlaceAndGivesItBack() {
        frmMain& main = openMain();
        main.selectClassAndSubject(2, 2);  // 4e B - Histoire
        main.setGeometry(QRect(60, 50, 1000, 640));
        const QString title = main.windowTitle();
        const QPointer<frmMain> left = &main;
        frmElèves& w = openAverages(main);

        QVERIFY(!Form<frmMain>::isLoaded());
        // The main window is destroyed once this one has painted, not before.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(left && left->isHidden());
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(!left);
        QVERIFY(w.isVisible() && w.windowTitle() == title);
        QCOMPARE(w.geometry(), QRect(60, 50, 1000, 640));

        // The tree: the classes in the gradebook's order, their students by name; it opens
        // on the first class.
        QTreeWidgetItem* first = w.treElv->topLevelItem(0);
        QCOMPARE(first->data(0, Qt::UserRole).toString(), u"X%1"_s.arg(m_ex->cls));
        QVERIFY(w.treElv->topLevelItemCount() == 3 && first->childCount() == 3);
        QVERIFY(first->isExpanded() && w.treElv->currentItem() == first);
        QCOMPARE(first->child(1)->data(0, Qt::UserRole).toString(), u"Y%1"_s.arg(m_ex->paul));
        // Other classes get their students as they open; one without shows it has none.
        QTreeWidgetItem* second = w.treElv->topLevelItem(1);
        QVERIFY(second->childCount() == 0 && second->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator);
        second->setExpanded(true);
        QCOMPARE(second->child(0)->text(0), u"Bernard Chloé"_s);
        QCOMPARE(w.treElv->topLevelItem(2)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
        QVERIFY(!w.fraChoix[1]->isHidden() && !w.flxClass->isHidden() && w.flxMoy->isHidden() && w.txtEC->isHidden());

        // A student shows his own grid.
        w.treElv->setCurrentItem(first->child(1));
        QVERIFY(w.flxClass->isHidden() && !w.flxMoy->isHidden() && !w.fraChoix[0]->isHidden());
        QCOMPARE(w.lblElève->text(), u"Martin Paul"_s);
        QCOMPARE(gridTexts(*w.flxMoy), WorkedExample::paulGrid());
        // Collapsing his class hides him: the class takes the selection and shows its grid,
        // which the commands then act on.
        w.treElv->collapseItem(first);
        QVERIFY(w.treElv->currentItem() == first && first->isSelected());
        QVERIFY(!w.flxClass->isHidden() && w.flxMoy->isHidden() && !w.fraChoix[1]->isHidden() && w.fraChoix[0]->isHidden());
        QCOMPARE(w.lblClass->text(), first->text(0));

        // Back to the grade table, at this window's place, on the class and subject left.
        w.setGeometry(QRect(80, 70, 1100, 700));
        w.mnuGen_Click(0);
        QVERIFY(!Form<frmElèves>::isLoaded());
        frmMain* back = Form<frmMain>::instance();
        QVERIFY(back && back->isVisible() && back->windowTitle() == title);
        QCOMPARE(back->geometry(), QRect(80, 70, 1100, 700));
        QCOMPARE(back->heading(), u"4e B - Histoire"_s);
        QCOMPARE(back->gradeGrid().TextMatrix(4, 1), u"15"_s);

        // Opened while no grid is shown, it goes back to no grid; maximized, it stays so.
        back->CreateSectionsAndItems();
        back->showMaximized();
        frmElèves& again = openAverages(*back);
        QVERIFY(again.mSavedSection == 0 && again.isMaximized());
        again.mnuGen_Click(0);
        QVERIFY(Form<frmMain>::instance()->isMaximized() && Form<frmMain>::instance()->currentSection() == 0);
    }

    void theCivilStatusGoesToItsOwnStudent() {
        frmElèves& w = openAverages(openMain());
        w.treElv->setCurrentItem(node(w, u"Y%1"_s.arg(m_ex->paul)));
        w.optChoix[1]->click();
        QVERIFY(w.flxMoy->isHidden() && !w.txtEC->isHidden() && w.txtEC->toPlainText().isEmpty());

        // The tree's selection moves before the text box hears of it: the text still goes
        // to the student it was typed for.
        w.txtEC->setPlainText(u"Né le 12 mai 2010."_s);
        w.treElv->setCurrentItem(node(w, u"Y%1"_s.arg(m_ex->hugo)));
        QCOMPARE(civilStatus(), (QStringList{u"Né le 12 mai 2010."_s, "", "", ""}));
        QVERIFY(w.txtEC->toPlainText().isEmpty());

        // Going to a class, to the averages, or closing: each saves first.
        w.txtEC->setPlainText(u"Interne."_s);
        w.treElv->setCurrentItem(node(w, u"X%1"_s.arg(m_ex->cls)));
        QCOMPARE(civilStatus(), (QStringList{u"Né le 12 mai 2010."_s, u"Interne."_s, "", ""}));
        w.treElv->setCurrentItem(node(w, u"Y%1"_s.arg(m_ex->paul)));
        QCOMPARE(w.txtEC->toPlainText(), u"Né le 12 mai 2010."_s);
        w.txtEC->setPlainText(u"Délégué."_s);
        w.optChoix[0]->click();
        QVERIFY(!w.flxMoy->isHidden() && w.txtEC->isHidden());
        QCOMPARE(civilStatus()[0], u"Délégué."_s);
        w.optChoix[1]->click();
        w.txtEC->setPlainText(QString());
        QVERIFY(w.close());
        QVERIFY(civilStatus()[0].isEmpty() && !Form<frmElèves>::isLoaded());
    }

    void coefficientsTypedInTheStudentGrid() {
        frmElèves& w = openAverages(openMain());
        w.treElv->setCurrentItem(node(w, u"Y%1"_s.arg(m_ex->paul)));
        FlexGrid& grid = *w.flxMoy;
        ModalTestScope scope;

        // A digit on a coefficient opens the editor with it, and locks the window.
        grid.setRow(2);
        grid.setCol(1);
        QTest::keyClick(&grid, Qt::Key_4);
        QVERIFY(w.coefEditing() && w.txtCoef->text() == u"4"_s);
        QCOMPARE(w.StatusText(), u"Edition de coefficient"_s);
        QVERIFY(!w.treElv->isEnabled() && !w.tooBar->isEnabled() && !w.fraChoix[0]->isEnabled());
        for (int i = 0; i < 4; ++i) scope.push(testsupport::msgBox(kWarning, u"OK"_s));
        for (const int command : {0, 2, 3}) w.mnuGen_Click(command);
        QVERIFY(!w.close());
        QCOMPARE(scope.pending(), 0);
        QVERIFY(w.isVisible() && Form<frmElèves>::isLoaded());
        // Help and about are not refused.
        const QString help = platform::paths::helpFile();  // looked for beside the program
        const bool made = !QFile::exists(help) && QFile(help).open(QIODevice::WriteOnly);
        const auto restore = qScopeGuard([&] {
            if (made) QFile::remove(help);
            platform::setShellOpenHandler({});
        });
        QStringList opened;
        platform::setShellOpenHandler([&](const QString& target) { return opened << target, true; });
        w.mnuAide_Click(0);
        QCOMPARE(opened, QStringList{help});
        scope.push([](QWidget& about) { about.close(); });
        w.mnuAide_Click(1);
        QCOMPARE(scope.shown().last(), u"frmAbout"_s);
        QVERIFY(w.coefEditing());

        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        QVERIFY(!w.coefEditing());
        QCOMPARE(coefficients()[1], u"4"_s);
        QCOMPARE(gridTexts(grid)[4], (QStringList{"Moyenne", "", "12,3", "10,8", "", "11,5"}));
        QVERIFY(w.treElv->isEnabled() && w.tooBar->isEnabled() && w.fraChoix[0]->isEnabled() && w.StatusText().isEmpty());
        QVERIFY(w.flxClass->Tag().isEmpty());  // the class grid is computed again

        // Several subjects selected take the same coefficient; Down commits and moves on.
        grid.setRow(1);
        grid.setCol(1);
        grid.setRowSel(2);
        grid.setColSel(2);
        QTest::keyClick(&grid, Qt::Key_5);
        QTest::keyClick(w.txtCoef, Qt::Key_Down);
        QCOMPARE(coefficients(), (QStringList{"5", "5", "1", "1", "1", "1"}));
        QCOMPARE(grid.Row(), 2);

        // A comma first gives "0,", a second one is refused; a fraction is stored rounded
        // and shown as stored.
        QTest::keyClick(&grid, Qt::Key_Period);
        QCOMPARE(w.txtCoef->text(), u"0,"_s);
        QTest::keyClicks(w.txtCoef, u",6"_s);
        QCOMPARE(w.txtCoef->text(), u"0,6"_s);
        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        QVERIFY(coefficients()[1] == u"1"_s && grid.TextMatrix(2, 1) == u"1"_s);

        // Esc writes nothing; Enter on an unchanged value neither; an empty or too large
        // value is refused with the message list.
        QTest::keyClick(&grid, Qt::Key_7);
        QTest::keyClick(w.txtCoef, Qt::Key_Escape);
        QVERIFY(!w.coefEditing());
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(w.txtCoef->text(), u"1"_s);
        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        for (const QString& typed : {QString(), u"300"_s}) {
            scope.push(testsupport::messageList(kRefused));
            QTest::keyClick(&grid, Qt::Key_Return);
            w.txtCoef->setText(typed);
            QTest::keyClick(w.txtCoef, Qt::Key_Return);
        }
        QCOMPARE(scope.pending(), 0);
        QVERIFY(coefficients()[1] == u"1"_s && grid.TextMatrix(2, 1) == u"1"_s);
        QVERIFY(!w.coefEditing() && w.treElv->isEnabled());
    }

    void coefficientsTypedInTheClassGrid() {
        frmElèves& w = openAverages(openMain());
        FlexGrid& grid = *w.flxClass;
        // Only the subjects' "An" cells of the coefficient row take a coefficient.
        for (const auto& [row, col] : {std::pair{2, 7}, std::pair{4, 8}}) {
            grid.setRow(row);
            grid.setCol(col);
            QTest::keyClick(&grid, Qt::Key_1);
            QVERIFY(!w.coefEditing());
        }
        grid.setRow(2);
        grid.setCol(8);
        grid.setColSel(4);  // a selection: only the current cell is written
        QTest::keyClick(&grid, Qt::Key_0);
        QVERIFY(!w.fraChoix[1]->isEnabled());
        QTest::keyClick(w.txtCoefClass, Qt::Key_Up);
        QVERIFY(!w.coefEditing() && grid.Row() == 2 && grid.Col() == 8);
        QCOMPARE(coefficients(), (QStringList{"3", "0", "1", "1", "1", "1"}));
        QCOMPARE(gridTexts(grid)[5].mid(9), (QStringList{"12,3", "9,3", "", "10,8"}));
        QCOMPARE(grid.Tag(), u"X%1"_s.arg(m_ex->cls));

        // "Pér. 2" hides the "M 2" column of every group, and shows it again.
        w.chkChoix[2]->click();
        for (int c : {2, 6, 10}) QCOMPARE(grid.ColWidth(c), 0);
        w.chkChoix[2]->click();
        for (int c : {2, 6, 10}) QCOMPARE(grid.ColWidth(c), 600);

        // Two decimals chosen in the options redraw the class shown: Paul's general averages
        // are his Maths ones.
        ModalTestScope scope;
        scope.push([](QWidget& window) {
            auto& options = dynamic_cast<frmOptions&>(window);
            QCOMPARE(options.Tag(), u"frmElèves"_s);
            options.optDécimale[2]->click();
            options.cmdClose->click();
        });
        w.mnuGen_Click(3);
        const QStringList paul = WorkedExample::classGrid(2)[5];
        QCOMPARE(gridTexts(grid)[5], paul.mid(0, 9) + paul.mid(1, 4));
    }

    // A file found damaged as the table reads it, before the check of the whole file has
    // spoken: every class and student browsed fails, and the teacher is told once. Its writes
    // fail once the check has spoken, and are told each time.
    void aDamagedFileIsToldOnce() {
        GradebookBuilder b(path("abîmé.dat"));
        m_ex.emplace(b);
        b.addStudent(b.addClass(u"4e B"_s, u"4e B"_s), u"Bernard"_s, u"Chloé"_s);
        b.close();
        // The index the coefficients are read through leads nowhere, as a damaged page leaves it.
        QCOMPARE(rawExecSteps(b.path(), gradebook::databasePassword().toUtf8(),
                              "PRAGMA writable_schema = 1; "
                              "UPDATE sqlite_master SET rootpage = 100000 WHERE name = 'Coefficients.NumClass'"),
                 0);
        std::optional<ModalTestScope> scope(std::in_place);
        for (int i = 0; i < 10; ++i) scope->push(systemMessage(u"Impossible de lire le carnet de notes."_s));
        frmElèves& w = openAverages(editkit::openMain(b.path()));
        for (int c = 0; c < w.treElv->topLevelItemCount(); ++c) {
            QTreeWidgetItem* cls = w.treElv->topLevelItem(c);
            w.treElv->setCurrentItem(cls);
            cls->setExpanded(true);
            for (int s = 0; s < cls->childCount(); ++s) w.treElv->setCurrentItem(cls->child(s));
        }
        QCOMPARE(scope->pending(), 9);
        QVERIFY(w.flxMoy->isHidden());

        // The civil status typed is kept, the window with it, until the teacher drops it.
        scope.emplace();
        const QByteArray bytes = fileBytes(b.path());
        w.optChoix[1]->click();
        w.txtEC->setPlainText(u"Externe."_s);
        const QString unsaved = u"Votre saisie n'a pas pu être enregistrée dans le carnet de notes.\nLe fichier est endommagé."_s;
        scope->push(msgBox(unsaved, u"Non"_s));
        scope->push(msgBox(unsaved, u"Oui"_s));
        QVERIFY(!w.close());
        QVERIFY(w.isVisible() && w.txtEC->toPlainText() == u"Externe."_s);
        QVERIFY(w.close());
        QVERIFY(scope->pending() == 0 && !Form<frmElèves>::isLoaded());
        QCOMPARE(fileBytes(b.path()), bytes);
    }

    // On a read-only file, then on a full disk, each failed write is told as it fails: a
    // coefficient stays as it was, a civil status stays on screen with its student, whatever
    // leaves it, until it can be written.
    void everyFailedWriteIsTold() {
        frmElèves& w = openAverages(openMain());
        QTreeWidgetItem* cls = node(w, u"X%1"_s.arg(m_ex->cls));
        QTreeWidgetItem* paul = node(w, u"Y%1"_s.arg(m_ex->paul));
        QTreeWidgetItem* hugo = node(w, u"Y%1"_s.arg(m_ex->hugo));
        const QStringList stored = coefficients();
        const QString unsaved = u"Votre saisie n'a pas pu être enregistrée dans le carnet de notes.\n"_s;
        const QStringList texts = {u"Né le 12 mai 2010."_s, u"Interne."_s};
        const QString folder = QFileInfo(m_path).absolutePath();
        ModalTestScope scope;
        for (const bool full : {false, true}) {
            w.treElv->setCurrentItem(cls);
            w.optChoix[0]->click();
            {
                std::optional<FileRightsEnforced> rights;
                std::optional<FileSizeLimit> disk;
                if (full) {
                    disk.emplace(1024);
                } else {
                    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
                    rights.emplace();
                }
                const auto restore = qScopeGuard(
                    [&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
                // Histoire's coefficient, typed in the class grid, then in Paul's.
                for (const auto& [grid, editor, col] : {std::tuple{w.flxClass, w.txtCoefClass, 8}, {w.flxMoy, w.txtCoef, 1}}) {
                    if (grid == w.flxMoy) w.treElv->setCurrentItem(paul);
                    scope.push(msgBox(unsaved, u"OK"_s));
                    grid->setRow(2);
                    grid->setCol(col);
                    QTest::keyClick(grid, Qt::Key_4);
                    QTest::keyClick(editor, Qt::Key_Return);
                    QCOMPARE(grid->TextMatrix(2, col), u"2"_s);
                }

                w.optChoix[1]->click();
                w.txtEC->setPlainText(texts[full]);
                for (int i = 0; i < 4; ++i) scope.push(msgBox(unsaved, u"Non"_s));
                if (full) {  // by a click, which takes the focus from the text (one message says it all) and
                             // selects the row it pressed after the question
                    w.activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(&w));
                    w.txtEC->setFocus();
                    QTest::mouseClick(w.treElv->viewport(), Qt::LeftButton, {}, w.treElv->visualItemRect(hugo).center());
                    QCoreApplication::sendPostedEvents(&w, QEvent::MetaCall);
                } else {
                    w.treElv->setCurrentItem(hugo);
                }
                QCOMPARE(w.treElv->selectedItems(), QList<QTreeWidgetItem*>{paul});
                w.optChoix[0]->click();
                QVERIFY(!w.close());
                w.mnuGen_Click(0);
                if (full) {  // the text losing the focus to another window is written, and told
                    w.txtEC->setFocus();
                    QWidget other;
                    other.show();
                    other.activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(&other));
                    scope.push(msgBox(unsaved, u"OK"_s));
                    QCoreApplication::sendPostedEvents(&w, QEvent::MetaCall);
                }
                QCOMPARE(scope.pending(), 0);
                QCOMPARE(scope.shown().size(), full ? 13 : 6);
                QVERIFY(Form<frmElèves>::isLoaded() && w.isVisible() && w.treElv->currentItem() == paul);
                QVERIFY(!w.txtEC->isHidden() && w.optChoix[1]->isChecked() && w.lblElève->text() == paul->text(0));
                QCOMPARE(w.txtEC->toPlainText(), texts[full]);
            }
            QCOMPARE(coefficients(), stored);
            QCOMPARE(civilStatus()[0], full ? texts[0] : QString());
        }
        w.treElv->setCurrentItem(hugo);
        QCOMPARE(civilStatus()[0], texts[1]);
    }

    void exportsAndPrintsTheGridOnScreen() {
        frmElèves& w = openAverages(openMain());
        w.chkChoix[2]->click();
        ModalTestScope scope;
        QStringList printed;
        const QString classFile = m_dir.filePath(u"classe.xlsx"_s), studentFile = m_dir.filePath(u"élève.xlsx"_s);
        for (const QString& file : {classFile, studentFile}) {
            scope.push(testsupport::msgBox(u"Le tableau actuellement affiché va être converti"_s, u"OK"_s));
            scope.push(testsupport::fileName(file));
            scope.push(testsupport::msgBox(u"Exportation au format Excel réussie"_s, u"OK"_s));
            // Printed through the page setup: the texts of the preview's pages.
            scope.push([](QWidget& setup) { dynamic_cast<frmMiseEnPage&>(setup).cmdAction[0]->click(); });
            scope.push([&printed](QWidget& w) {
                auto& preview = dynamic_cast<frmAperçu&>(w);
                printed << QString();
                for (int p = 1; p <= preview.PageCount; ++p)
                    for (const QString& record : printfile::Reader::load(preview.PrintFile).page(p))
                        printed.last() += printfile::parse(record).value_or(printfile::Record{}).text + u'|';
                preview.mnuClose->trigger();
            });
        }
        w.tooBar_ButtonClick(5);
        w.mnuGen_Click(1);
        w.treElv->setCurrentItem(node(w, u"Y%1"_s.arg(m_ex->paul)));
        w.mnuGen_Click(2);
        w.tooBar_ButtonClick(3);
        QCOMPARE(scope.pending(), 0);

        const QJsonObject byClass = testsupport::readWorkbook(classFile);
        QCOMPARE(byClass.value(u"sheets"_s).toArray(), QJsonArray{u"3e A"_s});
        const QJsonObject cells = byClass.value(u"cells"_s).toObject();
        // The visible columns only: no "M 2", and no empty column in its place.
        QVERIFY(cells.value(u"J2"_s).toString() == u"An"_s && !cells.contains(u"K2"_s));
        QCOMPARE(cells.value(u"J6"_s).toArray(), (QJsonArray{11.3, u"0.0"_s}));
        QCOMPARE(cells.value(u"D3"_s).toArray(), (QJsonArray{3, QString()}));
        // Each subject's name over its columns, which it does not widen each.
        QCOMPARE(byClass.value(u"merged"_s).toArray(), (QJsonArray{u"B1:D1"_s, u"E1:G1"_s, u"H1:J1"_s}));
        QCOMPARE(cells.value(u"H1"_s).toString(), u"Moyenne générale"_s);
        QCOMPARE(testsupport::unfittedColumns(byClass), QStringList());

        const QJsonObject byStudent = testsupport::readWorkbook(studentFile);
        QCOMPARE(byStudent.value(u"sheets"_s).toArray(), QJsonArray{u"Martin Paul"_s});
        const QJsonObject paul = byStudent.value(u"cells"_s).toObject();
        QCOMPARE(paul.value(u"D5"_s).toArray(), (QJsonArray{10.4, u"0.0"_s}));
        QCOMPARE(testsupport::unfittedColumns(byStudent), QStringList());
        // Printed, likewise: the grid's title, the visible columns only.
        QVERIFY2(printed[0].startsWith(u"3e A|"_s) && printed[0].contains(u"|M 1|"_s) && !printed[0].contains(u"|M 2|"_s),
                 qPrintable(printed[0]));
        QVERIFY2(printed[1].startsWith(u"Martin Paul|"_s) && printed[1].contains(u"|10,4|"_s), qPrintable(printed[1]));

        // The civil status is no grid: nothing is exported or printed.
        w.optChoix[1]->click();
        w.mnuGen_Click(2);
        w.mnuGen_Click(1);
        QCOMPARE(scope.shown().size(), 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Form<frmMiseEnPage>::isLoaded());
    }
};

QTEST_MAIN(tst_AveragesTable)
#include "tst_AveragesTable.moc"
