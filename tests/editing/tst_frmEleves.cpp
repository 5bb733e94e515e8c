// The table of averages as the teacher uses it: opened from the main window and handed back
// on the same class and subject, the tree and its three views, the civil status kept for
// the student it belongs to, the two coefficient editors and their lock on the window, the
// export of the grid on screen, and the options' change of decimals.
#include "Answers.h"
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "GridTexts.h"
#include "UiHelpers.h"
#include "WorkbookReader.h"
#include "WorkedExample.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "editing/frmEleves.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmOptions.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "printing/frmMiseEnPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

using platform::FlexGrid;
using platform::Form;
using platform::ModalTestScope;
using testsupport::GradebookBuilder;
using testsupport::gridTexts;
using testsupport::WorkedExample;

namespace {

QTreeWidgetItem* node(frmElèves& w, const QString& key) {
    QTreeWidgetItemIterator it(w.treElv);
    for (; *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == key) return *it;
    return nullptr;
}

QVariant stored(const QString& table, const QString& keyField, int key, const QString& field) {
    db::Recordset rs = mUtilities::gDB.OpenRecordset(db::Query(table).where(db::Field(keyField) == key),
                                                      db::RecordsetType::Snapshot);
    return rs.Eof() ? QVariant() : rs.Fields(field).Value();
}

int coefficient(int cls, int mat) {
    db::Recordset rs = mUtilities::gDB.OpenRecordset(db::Query(QStringLiteral("Coefficients"))
                                                          .where(db::Field(QStringLiteral("NumClass")) == cls
                                                                 && db::Field(QStringLiteral("NumMat")) == mat),
                                                      db::RecordsetType::Snapshot);
    return rs.Fields(QStringLiteral("Coefficient")).Value().toInt();
}

const QString kWarning = QStringLiteral("Vous êtes en mode d'Edition de coefficient.\nTerminez votre saisie avant de continuer.");
const QString kRefused = QStringLiteral("Votre saisie est incorrecte.\nElle a été annulée.");

}  // namespace

class tst_frmEleves : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_book = 0;
    std::optional<WorkedExample> m_ex;
    int m_second = 0, m_third = 0, m_chloe = 0;

    // A gradebook holding the worked example, a second class with one student and grades
    // in Histoire, and a class without students; the main window shows it.
    frmMain& openMain() {
        GradebookBuilder b(m_dir.filePath(QStringLiteral("Année %1.dat").arg(++m_book)));
        m_ex.emplace(b);
        m_second = b.addClass(QStringLiteral("4e B"), QStringLiteral("4e B"));
        m_third = b.addClass(QStringLiteral("5e vide"), QStringLiteral("5e"));
        m_chloe = b.addStudent(m_second, QStringLiteral("Bernard"), QStringLiteral("Chloé"));
        b.addGrade(b.addSeries(m_second, m_ex->histoire, QStringLiteral("Carte"), 20, 1, 1), m_chloe, 15);
        b.close();
        frmMain& main = Form<frmMain>::get();
        if (!main.OpenAFile(b.path())) qFatal("cannot open the gradebook");
        main.show();
        return main;
    }

    // The main window's command "&Tableau des moyennes".
    static frmElèves& openAverages(frmMain& main) {
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 20, 0);
        frmElèves* w = Form<frmElèves>::instance();
        if (!w) qFatal("the table of averages did not open");
        return *w;
    }

private slots:
    void cleanup() {
        Form<frmElèves>::unload();
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void takesTheMainWindowsPlaceAndGivesItBack() {
        // Without a class there is nothing to show.
        {
            GradebookBuilder empty(m_dir.filePath(QStringLiteral("vide.dat")));
            empty.close();
            frmMain& main = Form<frmMain>::get();
            QVERIFY(main.OpenAFile(empty.path()));
            ModalTestScope scope;
            QStringList lines;
            scope.push(testsupport::messageList(QStringLiteral("Ce carnet de notes ne contient pas encore de classes."), &lines));
            mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 20, 0);
            QCOMPARE(lines, QStringList{QStringLiteral("Créez une ou plusieurs classes (menu Créer/Nouvelle classe).")});
            QVERIFY(!Form<frmElèves>::isLoaded());
        }

        frmMain& main = openMain();
        main.selectClassAndSubject(2, 2);
        QCOMPARE(main.heading(), QStringLiteral("4e B - Histoire"));
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
        QVERIFY(w.isVisible());
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(w.geometry(), QRect(60, 50, 1000, 640));
        QCOMPARE(w.mSavedSection, 2);
        QCOMPARE(w.mSavedItem, 2);

        // The tree: the classes in the gradebook's order, their students by name; it opens
        // on the first class.
        QCOMPARE(w.treElv->topLevelItemCount(), 3);
        QTreeWidgetItem* first = w.treElv->topLevelItem(0);
        QCOMPARE(first->data(0, Qt::UserRole).toString(), QStringLiteral("X%1").arg(m_ex->cls));
        QVERIFY(first->isExpanded());
        QCOMPARE(w.treElv->currentItem(), first);
        QCOMPARE(first->childCount(), 3);
        QCOMPARE(first->child(0)->text(0), QStringLiteral("Durand Léa"));
        QCOMPARE(first->child(1)->data(0, Qt::UserRole).toString(), QStringLiteral("Y%1").arg(m_ex->paul));
        // Other classes get their students as they open; one without shows it has none.
        QTreeWidgetItem* second = w.treElv->topLevelItem(1);
        QCOMPARE(second->childCount(), 0);
        QCOMPARE(second->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        second->setExpanded(true);
        QCOMPARE(second->childCount(), 1);
        QCOMPARE(second->child(0)->text(0), QStringLiteral("Bernard Chloé"));
        QCOMPARE(w.treElv->topLevelItem(2)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
        QVERIFY(!w.fraChoix[1]->isHidden() && !w.flxClass->isHidden() && w.flxMoy->isHidden() && w.txtEC->isHidden());
        QCOMPARE(w.lblClass->text(), QStringLiteral("3e A"));
        QCOMPARE(gridTexts(*w.flxClass), WorkedExample::classGrid(1));

        // A student, then a class without students: only its general group shows, empty.
        w.treElv->setCurrentItem(first->child(1));
        QVERIFY(w.flxClass->isHidden() && !w.flxMoy->isHidden() && !w.fraChoix[0]->isHidden());
        QCOMPARE(w.lblElève->text(), QStringLiteral("Martin Paul"));
        QCOMPARE(gridTexts(*w.flxMoy), WorkedExample::paulGrid());
        w.treElv->setCurrentItem(node(w, QStringLiteral("X%1").arg(m_third)));
        QCOMPARE(w.flxClass->Rows(), 6);
        QCOMPARE(w.flxClass->ColWidth(1), 0);
        QCOMPARE(w.flxClass->ColWidth(9), 600);

        // Back to the grade table, at this window's place, on the class and subject left.
        w.setGeometry(QRect(80, 70, 1100, 700));
        w.mnuGen_Click(0);
        QVERIFY(!Form<frmElèves>::isLoaded());
        frmMain* back = Form<frmMain>::instance();
        QVERIFY(back && back->isVisible());
        QCOMPARE(back->windowTitle(), title);
        QCOMPARE(back->geometry(), QRect(80, 70, 1100, 700));
        QCOMPARE(back->currentSection(), 2);
        QCOMPARE(back->heading(), QStringLiteral("4e B - Histoire"));
        QCOMPARE(back->gradeGrid().TextMatrix(4, 1), QStringLiteral("15"));

        // Opened while no grid is shown, it goes back to no grid; maximized, it stays so.
        back->CreateSectionsAndItems();
        back->showMaximized();
        frmElèves& again = openAverages(*back);
        QCOMPARE(again.mSavedSection, 0);
        QVERIFY(again.isMaximized());
        again.mnuGen_Click(0);
        QVERIFY(Form<frmMain>::instance()->isMaximized());
        QCOMPARE(Form<frmMain>::instance()->currentSection(), 0);
    }

    void theCivilStatusGoesToItsOwnStudent() {
        frmElèves& w = openAverages(openMain());
        w.treElv->setCurrentItem(node(w, QStringLiteral("Y%1").arg(m_ex->paul)));
        w.optChoix[1]->click();
        QVERIFY(w.flxMoy->isHidden() && !w.txtEC->isHidden());
        QCOMPARE(w.txtEC->toPlainText(), QString());

        // The tree's selection moves before the text box hears of it: the text still goes
        // to the student it was typed for.
        w.txtEC->setPlainText(QStringLiteral("Né le 12 mai 2010."));
        w.treElv->setCurrentItem(node(w, QStringLiteral("Y%1").arg(m_ex->hugo)));
        const QString elv = QStringLiteral("Elèves"), key = QStringLiteral("NumElv"), ec = QStringLiteral("EC");
        QCOMPARE(stored(elv, key, m_ex->paul, ec).toString(), QStringLiteral("Né le 12 mai 2010."));
        QVERIFY(stored(elv, key, m_ex->hugo, ec).isNull());
        QCOMPARE(w.txtEC->toPlainText(), QString());

        // Going to a class, to the averages, or closing: each saves first.
        w.txtEC->setPlainText(QStringLiteral("Interne."));
        w.treElv->setCurrentItem(node(w, QStringLiteral("X%1").arg(m_ex->cls)));
        QCOMPARE(stored(elv, key, m_ex->hugo, ec).toString(), QStringLiteral("Interne."));
        w.treElv->setCurrentItem(node(w, QStringLiteral("Y%1").arg(m_ex->paul)));
        QCOMPARE(w.txtEC->toPlainText(), QStringLiteral("Né le 12 mai 2010."));
        w.txtEC->setPlainText(QString());
        w.optChoix[0]->click();
        QVERIFY(!w.flxMoy->isHidden() && w.txtEC->isHidden());
        QVERIFY(!stored(elv, key, m_ex->paul, ec).isNull());
        QCOMPARE(stored(elv, key, m_ex->paul, ec).toString(), QString());
        w.optChoix[1]->click();
        w.txtEC->setPlainText(QStringLiteral("Délégué."));
        QVERIFY(w.close());
        QCOMPARE(stored(elv, key, m_ex->paul, ec).toString(), QStringLiteral("Délégué."));
        QVERIFY(!Form<frmElèves>::isLoaded());
    }

    void coefficientsTypedInTheStudentGrid() {
        frmElèves& w = openAverages(openMain());
        w.treElv->setCurrentItem(node(w, QStringLiteral("Y%1").arg(m_ex->paul)));
        FlexGrid& grid = *w.flxMoy;
        ModalTestScope scope;

        // A digit on a coefficient opens the editor with it, and locks the window.
        grid.setRow(2);
        grid.setCol(1);
        QTest::keyClick(&grid, Qt::Key_4);
        QVERIFY(w.coefEditing());
        QCOMPARE(w.txtCoef->text(), QStringLiteral("4"));
        QCOMPARE(w.StatusText(), QStringLiteral("Edition de coefficient"));
        QVERIFY(!w.treElv->isEnabled() && !w.tooBar->isEnabled() && !w.fraChoix[0]->isEnabled());
        for (int i = 0; i < 4; ++i) scope.push(testsupport::msgBox(kWarning, QStringLiteral("OK")));
        w.mnuGen_Click(0);
        w.mnuGen_Click(2);
        w.mnuGen_Click(3);
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
        QCOMPARE(scope.shown().last(), QStringLiteral("frmAbout"));
        QVERIFY(w.coefEditing());

        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        QVERIFY(!w.coefEditing());
        QCOMPARE(coefficient(m_ex->cls, m_ex->histoire), 4);
        QCOMPARE(gridTexts(grid)[4], (QStringList{"Moyenne", "", "12,3", "10,8", "", "11,5"}));
        QVERIFY(w.treElv->isEnabled() && w.tooBar->isEnabled() && w.fraChoix[0]->isEnabled());
        QCOMPARE(w.StatusText(), QString());
        QVERIFY(w.flxClass->Tag().isEmpty());  // the class grid is computed again

        // Several subjects selected take the same coefficient; Down commits and moves on.
        grid.setRow(1);
        grid.setCol(1);
        grid.setRowSel(2);
        grid.setColSel(2);
        QTest::keyClick(&grid, Qt::Key_5);
        QTest::keyClick(w.txtCoef, Qt::Key_Down);
        QCOMPARE(coefficient(m_ex->cls, m_ex->maths), 5);
        QCOMPARE(coefficient(m_ex->cls, m_ex->histoire), 5);
        QCOMPARE(coefficient(m_second, m_ex->maths), 1);
        QCOMPARE(grid.Row(), 2);

        // A comma first gives "0,", a second one is refused; a fraction is stored rounded
        // and shown as stored.
        QTest::keyClick(&grid, Qt::Key_Period);
        QCOMPARE(w.txtCoef->text(), QStringLiteral("0,"));
        QTest::keyClicks(w.txtCoef, QStringLiteral(",6"));
        QCOMPARE(w.txtCoef->text(), QStringLiteral("0,6"));
        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        QCOMPARE(coefficient(m_ex->cls, m_ex->histoire), 1);
        QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("1"));

        // Esc writes nothing; Enter on an unchanged value neither; an empty or too large
        // value is refused with the message list.
        QTest::keyClick(&grid, Qt::Key_7);
        QTest::keyClick(w.txtCoef, Qt::Key_Escape);
        QVERIFY(!w.coefEditing());
        QCOMPARE(coefficient(m_ex->cls, m_ex->histoire), 1);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(w.txtCoef->text(), QStringLiteral("1"));
        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        QStringList lines;
        scope.push(testsupport::messageList(kRefused, &lines));
        QTest::keyClick(&grid, Qt::Key_Return);
        w.txtCoef->clear();
        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        scope.push(testsupport::messageList(kRefused, &lines));
        QTest::keyClick(&grid, Qt::Key_3);
        QTest::keyClicks(w.txtCoef, QStringLiteral("00"));
        QTest::keyClick(w.txtCoef, Qt::Key_Return);
        QCOMPARE(lines, (QStringList{"Le coefficient d'une matière doit être renseigné.",
                                     "Le coefficient d'une matière doit être un nombre de 0 à 255."}));
        QCOMPARE(coefficient(m_ex->cls, m_ex->histoire), 1);
        QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("1"));
        QVERIFY(!w.coefEditing() && w.treElv->isEnabled());
    }

    void coefficientsTypedInTheClassGrid() {
        frmElèves& w = openAverages(openMain());
        FlexGrid& grid = *w.flxClass;
        // Only the subjects' "An" cells of the coefficient row take a coefficient.
        grid.setRow(2);
        grid.setCol(7);
        QTest::keyClick(&grid, Qt::Key_1);
        QVERIFY(!w.coefEditing());
        grid.setRow(4);
        grid.setCol(8);
        QTest::keyClick(&grid, Qt::Key_1);
        QVERIFY(!w.coefEditing());

        grid.setRow(2);
        grid.setCol(8);
        grid.setColSel(4);  // a selection: only the current cell is written
        QTest::keyClick(&grid, Qt::Key_0);
        QVERIFY(!w.fraChoix[1]->isEnabled());
        QTest::keyClick(w.txtCoefClass, Qt::Key_Up);
        QVERIFY(!w.coefEditing());
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 8);
        QCOMPARE(coefficient(m_ex->cls, m_ex->histoire), 0);
        QCOMPARE(coefficient(m_ex->cls, m_ex->maths), 3);
        QCOMPARE(gridTexts(grid)[5].mid(9), (QStringList{"12,3", "9,3", "", "10,8"}));
        QCOMPARE(gridTexts(grid)[8].mid(9), (QStringList{"12,3", "12,9", "", "12,6"}));
        QCOMPARE(gridTexts(grid)[5].mid(5, 4), (QStringList{"", "12,0", "", "12,0"}));
        QCOMPARE(grid.Tag(), QStringLiteral("X%1").arg(m_ex->cls));

        // "Pér. 2" hides the "M 2" column of every group and changes no figure.
        w.chkChoix[2]->click();
        for (int c : {2, 6, 10}) QCOMPARE(grid.ColWidth(c), 0);
        QCOMPARE(grid.TextMatrix(5, 10), QStringLiteral("9,3"));
        w.chkChoix[2]->click();
        for (int c : {2, 6, 10}) QCOMPARE(grid.ColWidth(c), 600);
    }

    void exportsTheGridOnScreen() {
        frmElèves& w = openAverages(openMain());
        w.chkChoix[2]->click();
        ModalTestScope scope;
        const QString classFile = m_dir.filePath(QStringLiteral("classe.xlsx"));
        const QString studentFile = m_dir.filePath(QStringLiteral("élève.xlsx"));
        for (const QString& file : {classFile, studentFile}) {
            scope.push(testsupport::msgBox(QStringLiteral("Le tableau actuellement affiché va être converti"), QStringLiteral("OK")));
            scope.push(testsupport::fileName(file));
            scope.push(testsupport::msgBox(QStringLiteral("Exportation au format Excel réussie"), QStringLiteral("OK")));
        }
        w.tooBar_ButtonClick(5);
        w.treElv->setCurrentItem(node(w, QStringLiteral("Y%1").arg(m_ex->paul)));
        w.mnuGen_Click(2);
        QCOMPARE(scope.pending(), 0);

        const QJsonObject byClass = testsupport::readWorkbook(classFile);
        QCOMPARE(byClass.value(QStringLiteral("sheets")).toArray(), QJsonArray{QStringLiteral("3e A")});
        const QJsonObject cells = byClass.value(QStringLiteral("cells")).toObject();
        // No "M 2" anywhere, and no empty column in its place.
        QCOMPARE(cells.value(QStringLiteral("B2")).toString(), QStringLiteral("M 1"));
        QCOMPARE(cells.value(QStringLiteral("C2")).toString(), QStringLiteral("M 3"));
        QCOMPARE(cells.value(QStringLiteral("J2")).toString(), QStringLiteral("An"));
        QVERIFY(!cells.contains(QStringLiteral("K2")));
        QCOMPARE(cells.value(QStringLiteral("A6")).toString(), QStringLiteral("Martin Paul"));
        QCOMPARE(cells.value(QStringLiteral("J6")).toArray(), (QJsonArray{11.3, QStringLiteral("0.0")}));
        QCOMPARE(cells.value(QStringLiteral("D3")).toArray(), (QJsonArray{3, QString()}));
        QCOMPARE(testsupport::unfittedColumns(byClass), QStringList());

        const QJsonObject byStudent = testsupport::readWorkbook(studentFile);
        QCOMPARE(byStudent.value(QStringLiteral("sheets")).toArray(), QJsonArray{QStringLiteral("Martin Paul")});
        const QJsonObject paul = byStudent.value(QStringLiteral("cells")).toObject();
        QCOMPARE(paul.value(QStringLiteral("F1")).toString(), QStringLiteral("Moyenne générale"));
        QCOMPARE(paul.value(QStringLiteral("A5")).toString(), QStringLiteral("Moyenne"));
        QCOMPARE(paul.value(QStringLiteral("D5")).toArray(), (QJsonArray{10.4, QStringLiteral("0.0")}));
        QCOMPARE(testsupport::unfittedColumns(byStudent), QStringList());

        // The civil status is no grid: nothing is exported.
        w.optChoix[1]->click();
        w.mnuGen_Click(2);
        QVERIFY(scope.shown().size() == 6);
    }

    void printsTheGridOnScreenThroughThePageSetup() {
        frmElèves& w = openAverages(openMain());
        ModalTestScope scope;
        const auto cancelSetup = [](QWidget& setup) { dynamic_cast<frmMiseEnPage&>(setup).cmdAction[1]->click(); };
        scope.push(cancelSetup);
        w.mnuGen_Click(1);
        w.treElv->setCurrentItem(node(w, QStringLiteral("Y%1").arg(m_ex->paul)));
        scope.push(cancelSetup);
        w.tooBar_ButtonClick(3);
        // The civil status is no grid: nothing is printed.
        w.optChoix[1]->click();
        w.mnuGen_Click(1);
        QCOMPARE(scope.shown(), (QStringList{QStringLiteral("frmMiseEnPage"), QStringLiteral("frmMiseEnPage")}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!platform::Form<frmMiseEnPage>::isLoaded());
    }

    void newDecimalsRedrawTheClassShown() {
        frmElèves& w = openAverages(openMain());
        ModalTestScope scope;
        scope.push([](QWidget& window) {
            auto& options = dynamic_cast<frmOptions&>(window);
            QCOMPARE(options.Tag(), QStringLiteral("frmElèves"));
            options.optDécimale[2]->click();
            options.cmdClose->click();
        });
        w.mnuGen_Click(3);
        QCOMPARE(gridTexts(*w.flxClass), WorkedExample::classGrid(2));
    }
};

QTEST_MAIN(tst_frmEleves)
#include "tst_frmEleves.moc"
