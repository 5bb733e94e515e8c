// Grades typed into the main window's grid, read back from the file through a second
// connection, and the window's commands, refused while a grade is being typed.
#include "Answers.h"
#include "DbTestSupport.h"
#include "FileRights.h"
#include "GradebookBuilder.h"
#include "controls/frmMessages.h"
#include "controls/mSubClass.h"
#include "controls/vskAdvLabel.h"
#include "gradebook/GradebookSchema.h"
#include "mainwindow/GradeEntry.h"
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
#include <QMessageBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using platform::Form;

namespace {

constexpr int kS1 = 1, kS2 = 2, kAverage1 = 3;  // columns of the test grid

using testsupport::messageList;

QString refusal(int series, const char* reason) { return QStringLiteral("Série de notes: S%1\n   %2").arg(series).arg(reason); }

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
        const QVariant v = stored(QStringLiteral("Notes"), "Note",
                                  db::Field(QStringLiteral("NumSérie")) == (col == kS1 ? m_s1 : m_s2) &&
                                      db::Field(QStringLiteral("NumElv")) == m_students[row - 4]);
        return (v.isNull() ? QString() : QString::number(v.toDouble())) + u'|' + grid().TextMatrix(row, col);
    }
    int scale(int series, const char* field) {
        return stored(QStringLiteral("Séries"), field, db::Field(QStringLiteral("NumSérie")) == series).toInt();
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
        m_path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QStringLiteral(".dat"));
        testsupport::GradebookBuilder b(m_path);
        const int cls = b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6A"));
        const int maths = b.addSubject(QStringLiteral("Maths"));
        m_students.clear();
        for (int i = 0; i < 33; ++i) m_students << b.addStudent(cls, QStringLiteral("Nom%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("P"));
        m_s1 = b.addSeries(cls, maths, QStringLiteral("S1"), 20, 1, 1);
        m_s2 = b.addSeries(cls, maths, QStringLiteral("S2"), 20, 2, 1);
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
        QCOMPARE(m_main->StatusText(), QStringLiteral("Edition de notes"));
        // Letters and signs refused, "." is a comma, one comma only; a comma at the start makes "0,".
        keys({Qt::Key_A, Qt::Key_Minus, Qt::Key_Period, Qt::Key_Comma, Qt::Key_5});
        QCOMPARE(editor().text(), QStringLiteral("1,5"));
        keys({Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Comma, Qt::Key_5, Qt::Key_Return});
        QVERIFY(editor().isHidden() && grid().hasFocus() && m_main->StatusText().isEmpty());
        QCOMPARE(grade(4, kS2), QStringLiteral("0.5|0,5"));
        // Down commits "15," as 15 on the cell left, then moves.
        keys({Qt::Key_1, Qt::Key_5, Qt::Key_Comma, Qt::Key_Down});
        QCOMPARE(grade(4, kS2), QStringLiteral("15|15"));
        QCOMPARE(grid().Row(), 5);
        // Esc writes nothing.
        keys({Qt::Key_9, Qt::Key_Escape});
        QCOMPARE(grade(5, kS2), QStringLiteral("|"));
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
        QCOMPARE(grade(6, kS2) + grade(5, kS1), QStringLiteral("7|78|8"));
        QCOMPARE(grid().Row(), 5);
        // Scrolling the grid under the box takes what was typed.
        QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, cellCentre(4, kS1));
        keys({Qt::Key_3});
        grid().verticalScrollBar()->setValue(grid().verticalScrollBar()->maximum());
        QVERIFY(editor().isHidden());
        QCOMPARE(grade(4, kS1), QStringLiteral("123|123"));
    }

    void commitsOverTheSelection() {
        platform::ModalTestScope scope;
        // Three students over both series and the period's average: only the series take it.
        enter(QStringLiteral("10"), 4, kS1, 6, kAverage1);
        for (int row = 4; row <= 6; ++row)
            QCOMPARE(grade(row, kS1) + grade(row, kS2) + grid().TextMatrix(row, kAverage1), QStringLiteral("10|1010|1010,0"));
        // From a student up to "Note/": row 3 skipped, "Coefficient" and "Sur" written.
        enter(QStringLiteral("20"), 5, kS2, 1, kS2);
        QCOMPARE(grade(4, kS2), QStringLiteral("20|20"));
        QCOMPARE(scale(m_s2, "Sur") + scale(m_s2, "Coefficient"), 40);
        // Scales are bytes: the cell shows what was stored.
        enter(QStringLiteral("0,6"), 1, kS1);
        QCOMPARE(scale(m_s1, "Sur"), 1);
        QCOMPARE(grid().TextMatrix(1, kS1), QStringLiteral("1"));
        // Emptying a grade deletes it.
        select(4, kS1);
        keys({Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Return});
        QCOMPARE(grade(4, kS1), QStringLiteral("|"));

        // Refused cells: one line each in the order of the walk, the old values kept.
        QStringList lines;
        const auto refusals = [&] { scope.push(messageList(gradeentry::refusalHeading(), &lines)); };
        refusals();
        select(1, kS1, 2, kS2);
        keys({Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Return});
        refusals();
        enter(QStringLiteral("300"), 1, kS1);  // "Note/" past a byte
        refusals();
        enter(QStringLiteral("1") + QString(45, u'0'), 5, kS1);  // past single precision
        {  // a write that fails because another program holds the file: the file is blamed,
           // not the value, and the cells keep what they showed
            db::Database other = db::Database::OpenDatabase(m_path, gradebook::databasePassword());
            db::Transaction lock(other);
            other.Properties(QStringLiteral("Moyenne")).setValue(1);
            scope.push(testsupport::systemMessage(QStringLiteral("Votre saisie n'a pas pu être enregistrée dans le "
                                                                 "carnet de notes.\nLe fichier est utilisé par un "
                                                                 "autre programme.")));
            enter(QStringLiteral("11"), 6, kS1, 4, kS1);
            QCOMPARE(scope.pending(), 0);
        }
        {  // the gradebook's folder made read-only while it is open: no journal can be written
            const QString folder = QFileInfo(m_path).absolutePath();
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            const auto restore = qScopeGuard([&] {
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            });
            testsupport::FileRightsEnforced rights;
            scope.push(testsupport::systemMessage(QStringLiteral("Votre saisie n'a pas pu être enregistrée dans le "
                                                                 "carnet de notes.\nLe fichier ou son dossier est en "
                                                                 "lecture seule.")));
            enter(QStringLiteral("11"), 6, kS1);
            QCOMPARE(scope.pending(), 0);
        }
        const char* invalid = "Vous avez saisi une valeur non valide.";
        QCOMPARE(lines, (QStringList{refusal(1, "'Note/' doit être renseigné et non nul."),
                                     refusal(1, "'Coefficient' doit être renseigné."),
                                     refusal(2, "'Note/' doit être renseigné et non nul."),
                                     refusal(2, "'Coefficient' doit être renseigné."), refusal(1, invalid),
                                     refusal(1, invalid)}));
        QCOMPARE(scale(m_s1, "Sur") + scale(m_s2, "Coefficient"), 21);
        QCOMPARE(grade(5, kS1) + grade(6, kS1), QStringLiteral("10|1010|10"));
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
        QString said;
        scope.push([&said](QWidget& box) {
            said = static_cast<QMessageBox&>(box).text();
            box.close();
        });
        enter(QStringLiteral("9"), 1, kS1, 9, kS1);
        QVERIFY2(said.startsWith(QStringLiteral("Votre saisie n'a pas pu être enregistrée dans le carnet de notes.\n")),
                 qPrintable(said));
        QCOMPARE(scope.pending(), 0);
        QVERIFY(lines.isEmpty());
        // A file holding a trigger does not open: it goes before the file is read back.
        QCOMPARE(testsupport::rawExec(m_path, key, "DROP TRIGGER refuse"), 0);
        QCOMPARE(snapshot(), before);

        // Refused cells are still listed and skipped when the store works.
        scope.push(messageList(gradeentry::refusalHeading(), &lines));
        enter(QStringLiteral("0"), 1, kS1, 9, kS1);
        QCOMPARE(lines, QStringList{refusal(1, "'Note/' doit être renseigné et non nul.")});
        QCOMPARE(snapshot(), QStringLiteral("20/0 20/0 0|0 | 0|0 | 0|0 | 0|0 | 0|0 | 0|0 | 0,0"));
    }

    void commandsAndTheEditModeGuard() {
        const QString help = platform::paths::helpFile();  // looked for beside the program
        const bool made = !QFile::exists(help) && QFile(help).open(QIODevice::WriteOnly);
        const auto cleanUp = qScopeGuard([&] {
            if (made) QFile::remove(help);
            platform::setShellOpenHandler({});
        });
        QStringList opened;
        platform::setShellOpenHandler([&](const QString& target) { return opened << target, true; });
        platform::ModalTestScope scope;
        keys({Qt::Key_5});
        const auto refused = [&](const std::function<void()>& command) {
            scope.push(testsupport::msgBox(QStringLiteral("Vous êtes en mode d'Edition de notes."), QStringLiteral("OK")));
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
        // Help and about leave the grade as it is.
        scope.push([](QWidget& w) { w.close(); });
        mSubClass::SendMessage(m_main, mSubClass::WM_COMMAND, 31, 0);
        tool(19)->trigger();
        QCOMPARE(scope.shown().last(), QStringLiteral("frmAbout"));
        QCOMPARE(opened, QStringList{help});
        keys({Qt::Key_Escape});

        // Commands from the menu bar and the toolbar, on a gradebook with nothing to show.
        testsupport::GradebookBuilder empty(m_dir.filePath(QStringLiteral("vide.dat")));
        empty.close();
        QVERIFY(m_main->OpenAFile(empty.path()));
        const auto menuEntry = [&](const QString& caption) {
            for (QAction* bar : m_main->menuBar()->actions())
                for (QAction* a : bar->menu() ? bar->menu()->actions() : QList<QAction*>())
                    if (a->text() == caption) return a;
            return static_cast<QAction*>(nullptr);
        };
        const QList<std::tuple<const char*, int, platform::ModalResponder>> commands = {
            {"&Tableau des moyennes", 6, messageList(QStringLiteral("Ce carnet de notes ne contient pas encore de classes."))},
            {"I&mprimer", 8, messageList(QStringLiteral("Il n'y a aucune donnée à imprimer."))},
            {"&Exporter des notes", 11, messageList(QStringLiteral("Impossible de procéder à l'exportation de notes."))},
            {"Exporter au format E&xcel", 15, messageList(QStringLiteral("Il n'y a aucune donnée à exporter."))}};
        for (const auto& [caption, button, answer] : commands) {
            scope.push(answer);
            scope.push(answer);
            menuEntry(QString::fromUtf8(caption))->trigger();
            QCoreApplication::sendPostedEvents();  // menu commands are posted
            tool(button)->trigger();
            QCOMPARE(scope.pending(), 0);
        }
        // The student list and the renaming of a class or a subject say there is none; adding
        // one opens its dialog.
        const QString noClass = QStringLiteral("Ce carnet de notes ne contient pas encore de classes.");
        for (QAction* action : {tool(4), tool(1, 2)}) {
            scope.push(messageList(noClass));
            action->trigger();
        }
        scope.push(messageList(QStringLiteral("Ce carnet de notes ne contient pas encore de matières.")));
        tool(2, 2)->trigger();
        for (int button : {1, 2}) {
            scope.push([](QWidget& w) { w.close(); });
            tool(button, 1)->trigger();
        }
        // Nothing to delete, nothing to merge.
        scope.push(messageList(QStringLiteral("Ce carnet de notes ne contient pas encore de classes.")));
        tool(1, 3)->trigger();
        scope.push(messageList(QStringLiteral("Ce carnet de notes ne contient pas encore de matières.")));
        tool(2, 3)->trigger();
        scope.push(messageList(QStringLiteral("Ce carnet de notes contient 0 matière(s).")));
        tool(13)->trigger();
        QCOMPARE(scope.pending(), 0);
        // "Importer" opens its wizard.
        scope.push([](QWidget& w) {
            QCOMPARE(w.objectName(), QStringLiteral("frmImport"));
            w.close();
        });
        tool(10)->trigger();
        // The main part of a drop-down button does nothing.
        for (int button : {1, 2, 3}) tool(button)->trigger();
        QCOMPARE(scope.pending(), 0);
        // The series: there is no class or subject to make one for.
        for (const char* heading : {"Impossible de créer ou de modifier une série de notes.",
                                    "Impossible de créer ou de modifier une série de notes.",
                                    "Impossible de supprimer une série de notes."})
            scope.push(messageList(QString::fromUtf8(heading)));
        for (int entry = 1; entry <= 3; ++entry) tool(3, entry)->trigger();
        QCOMPARE(scope.pending(), 0);
        QVERIFY(m_main->close());
    }
};

QTEST_MAIN(tst_GradeEntry)
#include "tst_GradeEntry.moc"
