// Grades typed into the main window's grid, read back from the file through a second
// connection, and the window's commands, refused while a grade is being typed.
#include "Answers.h"
#include "DbTestSupport.h"
#include "FileRights.h"
#include "GradebookBuilder.h"
#include "controls/frmMessages.h"
#include "controls/mSubClass.h"
#include "gradebook/GradebookSchema.h"
#include "UiHelpers.h"
#include "mainwindow/GradeEntry.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;
using platform::Form;

namespace {

constexpr int kS1 = 1, kS2 = 2, kAverage1 = 3;  // columns of the test grid

using testsupport::messageList;

const QString kUnsaved = u"Votre saisie n'a pas pu être enregistrée dans le carnet de notes.\n"_s;

QString refusal(int series, const char* reason) { return u"Série de notes: S%1\n   %2"_s.arg(series).arg(reason); }

}  // namespace

class tst_GradeEntry : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;
    int m_s1 = 0, m_s2 = 0;
    QList<int> m_students;  // in grid order, from row 4
    frmMain* m_main = nullptr;
    platform::FlexGrid& grid() { return *m_main->flxNotes; }
    QLineEdit& editor() { return *m_main->txtNote; }

    QVariant stored(const QString& table, const char* field, const db::Criteria& where) {
        db::Database second = db::Database::OpenDatabase(m_path, gradebook::databasePassword());
        db::Recordset rs = second.OpenRecordset(db::Query(table).where(where), db::RecordsetType::Snapshot);
        return rs.Eof() ? QVariant() : rs.Fields(QString::fromLatin1(field)).Value();
    }
    // The grade in the file and the cell's text, as "12|12" ("|" for none).
    QString grade(int row, int col) {
        const QVariant v = stored(u"Notes"_s, "Note", db::Field(u"NumSérie"_s) == (col == kS1 ? m_s1 : m_s2) &&
                                                          db::Field(u"NumElv"_s) == m_students[row - 4]);
        return (v.isNull() ? QString() : QString::number(v.toDouble())) + u'|' + grid().TextMatrix(row, col);
    }
    int scale(int series, const char* field) {
        return stored(u"Séries"_s, field, db::Field(u"NumSérie"_s) == series).toInt();
    }
    void keys(std::initializer_list<Qt::Key> list) {
        for (Qt::Key k : list) QTest::keyClick(QApplication::focusWidget(), k);
    }
    // Types `text` over the selection from (row, col) to (rowSel, colSel), then Enter.
    void enter(const QString& text, int row, int col, int rowSel = -1, int colSel = -1) {
        select(row, col, rowSel, colSel);
        for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        keys({Qt::Key_Return});
    }
    void select(int row, int col, int rowSel = -1, int colSel = -1) {
        grid().setRow(row);
        grid().setCol(col);
        grid().setRowSel(rowSel < 0 ? row : rowSel);
        grid().setColSel(colSel < 0 ? col : colSel);
    }
    QPoint cellCentre(int row, int col) {  // in the viewport; the current cell moves there
        select(row, col);
        using platform::layoutX, platform::layoutY;
        const QPoint corner(layoutX(grid().CellLeft()), layoutY(grid().CellTop()));
        return corner - grid().viewport()->pos() + QPoint(layoutX(grid().CellWidth()) / 2, layoutY(grid().CellHeight()) / 2);
    }
    QAction* tool(int button, int entry = 0) {
        QAction* a = m_main->tooBar->actions().at(button - 1);
        return entry ? qobject_cast<QToolButton*>(m_main->tooBar->widgetForAction(a))->menu()->actions().at(entry - 1) : a;
    }

private slots:
    void init() {
        m_path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u".dat"_s);
        testsupport::GradebookBuilder b(m_path);
        const int cls = b.addClass(u"Sixième A"_s, u"6A"_s);
        const int maths = b.addSubject(u"Maths"_s);
        m_students.clear();
        for (int i = 0; i < 33; ++i) m_students << b.addStudent(cls, u"Nom%1"_s.arg(i, 2, 10, QLatin1Char('0')), u"P"_s);
        m_s1 = b.addSeries(cls, maths, u"S1"_s, 20, 1, 1);
        m_s2 = b.addSeries(cls, maths, u"S2"_s, 20, 2, 1);
        b.addGrade(m_s1, m_students[0], 12);
        b.addGrade(m_s1, m_students[1], 8);
        b.close();
        m_main = &Form<frmMain>::get();
        QVERIFY(m_main->OpenAFile(m_path));
        m_main->resize(700, 420);
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
        grid().SetFocus();
    }
    void cleanup() {
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void entryFilterKeysAndFocus() {
        platform::ModalTestScope scope;
        select(4, kS2);
        keys({Qt::Key_1});
        QCOMPARE(m_main->StatusText(), u"Edition de notes"_s);
        // Letters and signs refused, "." is a comma, one comma only; a comma at the start makes "0,".
        keys({Qt::Key_A, Qt::Key_Minus, Qt::Key_Period, Qt::Key_Comma, Qt::Key_5});
        QCOMPARE(editor().text(), u"1,5"_s);
        keys({Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Comma, Qt::Key_5, Qt::Key_Return});
        QVERIFY(editor().isHidden() && grid().hasFocus() && m_main->StatusText().isEmpty());
        QCOMPARE(grade(4, kS2), u"0.5|0,5"_s);
        // Down commits "15," as 15 on the cell left, then moves.
        keys({Qt::Key_1, Qt::Key_5, Qt::Key_Comma, Qt::Key_Down});
        QCOMPARE(grade(4, kS2), u"15|15"_s);
        QCOMPARE(grid().Row(), 5);
        // Esc writes nothing.
        keys({Qt::Key_9, Qt::Key_Escape});
        QCOMPARE(grade(5, kS2), u"|"_s);
        // Up on row 1 commits and stays.
        select(1, kS2);
        keys({Qt::Key_4, Qt::Key_0, Qt::Key_Up});
        QCOMPARE(scale(m_s2, "Sur"), 40);
        QCOMPARE(grid().Row(), 1);
        // A click on another cell commits on the cell typed, then moves.
        const QPoint other = cellCentre(5, kS1);
        select(6, kS2);
        keys({Qt::Key_7});
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, other);
        QCOMPARE(grade(6, kS2) + grade(5, kS1), u"7|78|8"_s);
        QCOMPARE(grid().Row(), 5);
        // Scrolling the grid under the box takes what was typed.
        QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, cellCentre(4, kS1));
        keys({Qt::Key_3});
        grid().verticalScrollBar()->setValue(grid().verticalScrollBar()->maximum());
        QVERIFY(editor().isHidden());
        QCOMPARE(grade(4, kS1), u"123|123"_s);
    }

    void commitsOverTheSelection() {
        platform::ModalTestScope scope;
        // Three students over both series and the period's average: only the series take it.
        enter(u"10"_s, 4, kS1, 6, kAverage1);
        for (int row = 4; row <= 6; ++row)
            QCOMPARE(grade(row, kS1) + grade(row, kS2) + grid().TextMatrix(row, kAverage1), u"10|1010|1010,0"_s);
        // From a student up to "Note/": row 3 skipped, "Coefficient" and "Sur" written.
        enter(u"20"_s, 5, kS2, 1, kS2);
        QCOMPARE(grade(4, kS2), u"20|20"_s);
        QCOMPARE(scale(m_s2, "Sur") + scale(m_s2, "Coefficient"), 40);
        // Scales are bytes: the cell shows what was stored.
        enter(u"0,6"_s, 1, kS1);
        QCOMPARE(scale(m_s1, "Sur"), 1);
        QCOMPARE(grid().TextMatrix(1, kS1), u"1"_s);
        // Emptying a grade deletes it.
        select(4, kS1);
        keys({Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Return});
        QCOMPARE(grade(4, kS1), u"|"_s);

        // Refused cells: one line each in the order of the walk, the old values kept.
        QStringList lines;
        const auto refusals = [&] { scope.push(messageList(gradeentry::refusalHeading(), &lines)); };
        refusals();
        select(1, kS1, 2, kS2);
        keys({Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Return});
        refusals();
        enter(u"300"_s, 1, kS1);  // "Note/" past a byte
        refusals();
        enter(u"1"_s + QString(45, u'0'), 5, kS1);  // past single precision
        {  // a write that fails because another program holds the file: the file is blamed,
           // not the value, and the cells keep what they showed
            db::Database other = db::Database::OpenDatabase(m_path, gradebook::databasePassword());
            db::Transaction lock(other);
            other.Properties(u"Moyenne"_s).setValue(1);
            scope.push(testsupport::systemMessage(kUnsaved + u"Le fichier est utilisé par un autre programme."_s));
            enter(u"11"_s, 6, kS1, 4, kS1);
            QCOMPARE(scope.pending(), 0);
        }
        {  // the gradebook's folder made read-only while it is open: no journal can be written
            const QString folder = QFileInfo(m_path).absolutePath();
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            const auto restore = qScopeGuard([&] {
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            });
            testsupport::FileRightsEnforced rights;
            scope.push(testsupport::systemMessage(kUnsaved + u"Le fichier ou son dossier est en lecture seule."_s));
            enter(u"11"_s, 6, kS1);
            QCOMPARE(scope.pending(), 0);
        }
        const char* invalid = "Vous avez saisi une valeur non valide.";
        QCOMPARE(lines, (QStringList{refusal(1, "'Note/' doit être renseigné et non nul."),
                                     refusal(1, "'Coefficient' doit être renseigné."),
                                     refusal(2, "'Note/' doit être renseigné et non nul."),
                                     refusal(2, "'Coefficient' doit être renseigné."), refusal(1, invalid),
                                     refusal(1, invalid)}));
        QCOMPARE(scale(m_s1, "Sur") + scale(m_s2, "Coefficient"), 21);
        QCOMPARE(grade(5, kS1) + grade(6, kS1), u"10|1010|10"_s);
    }

    // A store that fails part-way through a selection leaves the file and the grid as they
    // were, refused cells included; once it works again the whole selection is written.
    void aFailedStoreUndoesTheWholeSelection() {
        platform::ModalTestScope scope;
        QStringList lines;
        const auto snapshot = [&] {
            QString all = QString::number(scale(m_s1, "Sur")) + u'/' + QString::number(scale(m_s1, "Coefficient")) + u' '
                        + grid().TextMatrix(1, kS1) + u'/' + grid().TextMatrix(2, kS1);
            for (int row = 4; row <= 9; ++row) all += u' ' + grade(row, kS1) + u' ' + grade(row, kS2);
            return all + u' ' + grid().TextMatrix(grid().Rows() - 1, kS1);
        };
        const QString before = snapshot();
        // The fourth student's grade cannot be stored, for a reason that is not its value:
        // by then the series and three grades (two changed, one new) were written.
        const QByteArray key = gradebook::databasePassword().toUtf8();
        const QByteArray trigger = "CREATE TRIGGER refuse BEFORE INSERT ON \"Notes\" WHEN NEW.\"NumElv\" = "
                                 + QByteArray::number(m_students[3]) + " BEGIN INSERT INTO \"Absente\" VALUES (1); END";
        QCOMPARE(testsupport::rawExec(m_path, key, trigger.constData()), 0);
        scope.push(testsupport::msgBox(kUnsaved, {}));
        enter(u"9"_s, 1, kS1, 9, kS1);
        QCOMPARE(scope.pending(), 0);
        QVERIFY(lines.isEmpty());
        // A file holding a trigger does not open: it goes before the file is read back.
        QCOMPARE(testsupport::rawExec(m_path, key, "DROP TRIGGER refuse"), 0);
        QCOMPARE(snapshot(), before);

        // Refused cells are still listed and skipped when the store works.
        scope.push(messageList(gradeentry::refusalHeading(), &lines));
        enter(u"0"_s, 1, kS1, 9, kS1);
        QCOMPARE(lines, QStringList{refusal(1, "'Note/' doit être renseigné et non nul.")});
        QCOMPARE(snapshot(), u"20/0 20/0 0|0 | 0|0 | 0|0 | 0|0 | 0|0 | 0|0 | 0,0"_s);
    }

    void commandsAndTheEditModeGuard() {
        const auto cleanUp = qScopeGuard([] { platform::setShellOpenHandler({}); });
        QStringList opened, links;
        platform::setShellOpenHandler([&](const QString& target) {
            opened << target;
            return target == platform::paths::helpFile();  // the links fail, silently
        });
        platform::ModalTestScope scope;
        keys({Qt::Key_5});
        const auto refused = [&](const std::function<void()>& command) {
            scope.push(testsupport::msgBox(u"Vous êtes en mode d'Edition de notes."_s, u"OK"_s));
            command();
            QCOMPARE(scope.pending(), 0);
            QVERIFY(!editor().isHidden() && editor().text() == u"5" && m_main->lblPrincipal->text() == u"6A - Maths");
        };
        for (int id = 10; id <= 36; ++id)
            if (id != 30 && id != 31) refused([&] { mSubClass::SendMessage(m_main, mSubClass::WM_COMMAND, id, 0); });
        refused([&] { mSubClass::SendMessage(m_main, mSubClass::WM_COMMAND, 101, 0); });  // a class of "&Ouvrir"
        refused([&] { m_main->vskTab_HeaderClick(1); });
        for (QAction* action : {tool(4), tool(17), tool(2, 3)}) refused([&] { action->trigger(); });
        refused([&] { QVERIFY(!m_main->close()); });
        // About and help leave the grade as it is. The about window opens its two links through the
        // desktop, not their captions, and Esc closes it.
        QCOMPARE(frmAbout::UserNameFromAccount("Jeanne Dupont,Salle 12,,"), u"Jeanne Dupont"_s);
        QCOMPARE(frmAbout::UserNameFromAccount(",,,") + frmAbout::UserNameFromAccount(nullptr), QString());
        scope.push([&](QWidget& w) {
            auto& about = static_cast<frmAbout&>(w);
            for (QLabel* label : {about.lblMail[0], about.lblWeb[0], about.lblMail[1], about.lblWeb[1]})
                QTest::mouseClick(label, Qt::LeftButton);
            links = {u"mailto:"_s + about.lblMail[1]->text(), about.lblWeb[1]->text()};
            QVERIFY(testsupport::typeKey(w, Qt::Key_Escape));
        });
        mSubClass::SendMessage(m_main, mSubClass::WM_COMMAND, 31, 0);
        QVERIFY(!Form<frmAbout>::isLoaded());
        tool(19)->trigger();
        QCOMPARE(opened, links + QStringList{platform::paths::helpFile()});
        QVERIFY(!editor().isHidden() && editor().text() == u"5");
        QTest::keyClick(&editor(), Qt::Key_Escape);

        // Commands from the menu bar and the toolbar, on a gradebook with nothing to show: each
        // says why it cannot go on, or opens its window.
        testsupport::GradebookBuilder empty(m_dir.filePath(u"vide.dat"_s));
        empty.close();
        QVERIFY(m_main->OpenAFile(empty.path()));
        const auto menuEntry = [&](const char* caption) {
            for (QAction* bar : m_main->menuBar()->actions())
                for (QAction* a : bar->menu() ? bar->menu()->actions() : QList<QAction*>())
                    if (a->text() == QString::fromUtf8(caption)) return a;
            return static_cast<QAction*>(nullptr);
        };
        const QString noClass = u"Ce carnet de notes ne contient pas encore de classes."_s,
                      noSubject = u"Ce carnet de notes ne contient pas encore de matières."_s,
                      noExcel = u"Il n'y a aucune donnée à exporter."_s,
                      noSeries = u"Impossible de créer ou de modifier une série de notes."_s;
        const QList<std::pair<QAction*, QString>> commands = {
            {menuEntry("&Tableau des moyennes"), noClass}, {tool(6), noClass}, {tool(4), noClass}, {tool(1, 3), noClass},
            {menuEntry("Exporter au format E&xcel"), noExcel}, {tool(15), noExcel}, {tool(1, 2), noClass},
            {tool(2, 2), noSubject}, {tool(2, 3), noSubject}, {tool(3, 1), noSeries}, {tool(3, 2), noSeries},
            {tool(13), u"Ce carnet de notes contient 0 matière(s)."_s}, {tool(1, 1), u"frmClasse"_s},
            {tool(3, 3), u"Impossible de supprimer une série de notes."_s}, {tool(2, 1), u"frmMat"_s},
            {tool(10), u"frmImport"_s}};
        for (const auto& [action, expected] : commands) {
            scope.push([expected](QWidget& w) {
                auto* list = qobject_cast<frmMessages*>(&w);
                QCOMPARE(list ? list->lblInfo->text() : w.objectName(), expected);
                w.close();
            });
            action->trigger();
            QCoreApplication::sendPostedEvents();  // menu commands are posted
            QCOMPARE(scope.pending(), 0);
        }
        // The main part of a drop-down button does nothing.
        for (int button : {1, 2, 3}) tool(button)->trigger();
        QCOMPARE(scope.pending(), 0);
        QVERIFY(m_main->close());
    }
};

QTEST_MAIN(tst_GradeEntry)
#include "tst_GradeEntry.moc"
