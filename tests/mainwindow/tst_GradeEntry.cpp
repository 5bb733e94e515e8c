// Grades typed into the main window's grid: what the entry box lets through, which keys and
// clicks commit where, and what lands in the file, read back through a second connection.
#include "GradebookBuilder.h"
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "gradebook/GradebookSchema.h"
#include "mainwindow/GradeEntry.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using platform::FlexGrid;
using platform::Form;

namespace {

// Columns of the test grid: names, S1, S2, "Moyenne 1", "Moyenne générale".
constexpr int kS1 = 1, kS2 = 2, kAverage1 = 3;

// The lines of the refusal list, which is closed once read.
platform::ModalResponder refusals(QStringList& lines) {
    return [&lines](QWidget& w) {
        auto* list = qobject_cast<frmMessages*>(&w);
        QVERIFY(list);
        QCOMPARE(list->lblInfo->text(), gradeentry::refusalHeading());
        for (int i = 1; i <= list->vskAL->ItemCount(); ++i) lines << list->vskAL->ItemText(i);
        list->close();
    };
}

QString invalid(const char* series) {
    return QStringLiteral("Série de notes: %1\n   Vous avez saisi une valeur non valide.").arg(QLatin1String(series));
}

}  // namespace

class tst_GradeEntry : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;
    int m_s1 = 0, m_s2 = 0;
    QList<int> m_students;  // in grid order, from row 4
    frmMain* m_main = nullptr;

    FlexGrid& grid() { return *m_main->flxNotes; }
    QLineEdit& editor() { return *m_main->txtNote; }

    // What the file holds, through a connection of its own.
    QVariant stored(const QString& table, const QString& field, const db::Criteria& where) {
        db::Database second = db::Database::OpenDatabase(m_path, gradebook::databasePassword());
        db::Recordset rs = second.OpenRecordset(db::Query(table).where(where), db::RecordsetType::Snapshot);
        return rs.Eof() ? QVariant() : rs.Fields(field).Value();
    }
    QVariant grade(int series, int row) {
        return stored(QStringLiteral("Notes"), QStringLiteral("Note"),
                      db::Field(QStringLiteral("NumSérie")) == series &&
                          db::Field(QStringLiteral("NumElv")) == m_students.at(row - 4));
    }
    QVariant scale(int series, const char* field) {
        return stored(QStringLiteral("Séries"), QString::fromLatin1(field), db::Field(QStringLiteral("NumSérie")) == series);
    }

    void keys(std::initializer_list<Qt::Key> list) {
        for (Qt::Key k : list) QTest::keyClick(QApplication::focusWidget(), k);
    }
    void select(int row, int col, int rowSel = -1, int colSel = -1) {
        grid().setRow(row);
        grid().setCol(col);
        grid().setRowSel(rowSel < 0 ? row : rowSel);
        grid().setColSel(colSel < 0 ? col : colSel);
    }
    // Where a cell lies in the grid's viewport (the current cell moves there).
    QPoint cellCentre(int row, int col) {
        select(row, col);
        const QPoint topLeft(grid().CellLeft() / 15, grid().CellTop() / 15);
        return topLeft - grid().viewport()->pos() + QPoint(grid().CellWidth() / 30, grid().CellHeight() / 30);
    }

private slots:
    void init() {
        m_path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QStringLiteral(".dat"));
        testsupport::GradebookBuilder b(m_path);
        const int cls = b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6A"));
        const int maths = b.addSubject(QStringLiteral("Maths"));
        m_students.clear();
        for (const char* name : {"Aubert", "Blanc", "Colin"}) m_students << b.addStudent(cls, QLatin1String(name), QStringLiteral("A"));
        for (int i = 0; i < 30; ++i) m_students << b.addStudent(cls, QStringLiteral("Zed%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Z"));
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
        if (m_main) m_main->txtNote->hide();
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void entryFilterKeysAndFocus() {
        platform::ModalTestScope scope;
        select(4, kS2);
        keys({Qt::Key_1});
        QVERIFY(!editor().isHidden());
        QCOMPARE(m_main->StatusText(), QStringLiteral("Edition de notes"));
        // Letters and signs are refused, "." is a comma, and there is only one.
        keys({Qt::Key_A, Qt::Key_Minus, Qt::Key_Period, Qt::Key_Comma, Qt::Key_5, Qt::Key_Home, Qt::Key_Comma});
        QCOMPARE(editor().text(), QStringLiteral("1,5"));
        // A comma typed at the start makes "0,".
        keys({Qt::Key_End, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Comma, Qt::Key_5});
        QCOMPARE(editor().text(), QStringLiteral("0,5"));
        keys({Qt::Key_Return});
        QVERIFY(editor().isHidden());
        QVERIFY(grid().hasFocus());
        QCOMPARE(m_main->StatusText(), QString());
        QCOMPARE(grid().TextMatrix(4, kS2), QStringLiteral("0,5"));
        QCOMPARE(grade(m_s2, 4).toDouble(), 0.5);

        // Down commits "15," as 15, then moves; the commit lands on the cell left.
        keys({Qt::Key_1, Qt::Key_5, Qt::Key_Comma, Qt::Key_Down});
        QCOMPARE(grade(m_s2, 4).toDouble(), 15.0);
        QCOMPARE(grid().TextMatrix(4, kS2), QStringLiteral("15"));
        QCOMPARE(grid().Row(), 5);
        // Enter, then Enter without typing, writes and recomputes nothing.
        grid().setTextMatrix(5, kAverage1, QStringLiteral("stale"));
        keys({Qt::Key_Return});
        QVERIFY(!editor().isHidden());
        keys({Qt::Key_Return});
        QCOMPARE(grid().TextMatrix(5, kAverage1), QStringLiteral("stale"));
        // Esc writes nothing.
        keys({Qt::Key_9, Qt::Key_Escape});
        QVERIFY(editor().isHidden());
        QCOMPARE(grid().TextMatrix(5, kS2), QString());
        QVERIFY(grade(m_s2, 5).isNull());
        // Up on row 1 commits and stays there.
        select(1, kS2);
        keys({Qt::Key_4, Qt::Key_0, Qt::Key_Up});
        QCOMPARE(scale(m_s2, "Sur").toInt(), 40);
        QCOMPARE(grid().Row(), 1);

        // A click on another cell commits on the cell that was typed, then moves.
        const QPoint other = cellCentre(5, kS1);
        select(6, kS2);
        keys({Qt::Key_7});
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, other);
        QCOMPARE(grade(m_s2, 6).toDouble(), 7.0);
        QCOMPARE(grid().TextMatrix(5, kS1), QStringLiteral("8"));
        QCOMPARE(std::pair(grid().Row(), grid().Col()), std::pair(5, kS1));
        // A double click opens the box on the cell's text.
        QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, cellCentre(4, kS1));
        QCOMPARE(editor().text(), QStringLiteral("12"));
        keys({Qt::Key_Escape});
        // Scrolling the grid under the box takes what was typed.
        select(4, kS1);
        keys({Qt::Key_3});
        QVERIFY(grid().verticalScrollBar()->maximum() > 0);
        grid().verticalScrollBar()->setValue(grid().verticalScrollBar()->maximum());
        QVERIFY(editor().isHidden());
        QCOMPARE(grade(m_s1, 4).toDouble(), 3.0);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(scope.shown(), QStringList());
    }

    void commitsOverTheSelection() {
        platform::ModalTestScope scope;
        // Three students in both series and the period's average: only the series take it.
        select(4, kS1, 6, kAverage1);
        keys({Qt::Key_1, Qt::Key_0, Qt::Key_Return});
        for (int row = 4; row <= 6; ++row) {
            QCOMPARE(grade(m_s1, row).toDouble(), 10.0);
            QCOMPARE(grade(m_s2, row).toDouble(), 10.0);
            QCOMPARE(grid().TextMatrix(row, kAverage1), QStringLiteral("10,0"));
        }
        // From a student up to "Note/": the students, then "Coefficient" and "Sur".
        select(5, kS2, 1, kS2);
        keys({Qt::Key_2, Qt::Key_0, Qt::Key_Return});
        QCOMPARE(grade(m_s2, 5).toDouble(), 20.0);
        QCOMPARE(grade(m_s2, 4).toDouble(), 20.0);
        QCOMPARE(scale(m_s2, "Sur").toInt(), 20);
        QCOMPARE(scale(m_s2, "Coefficient").toInt(), 20);
        // Scales are whole numbers: the cell shows what was stored.
        select(1, kS1);
        keys({Qt::Key_0, Qt::Key_Comma, Qt::Key_6, Qt::Key_Return});
        QCOMPARE(scale(m_s1, "Sur").toInt(), 1);
        QCOMPARE(grid().TextMatrix(1, kS1), QStringLiteral("1"));
        // Emptying a grade deletes it.
        select(4, kS1);
        keys({Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Return});
        QVERIFY(grade(m_s1, 4).isNull());
        QCOMPARE(grid().TextMatrix(4, kS1), QString());

        // Refusals: one line per cell, in the order of the walk, and nothing written.
        QStringList lines;
        scope.push(refusals(lines));
        select(1, kS1, 2, kS2);
        keys({Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Return});
        const QString noScale = QStringLiteral("Série de notes: S%1\n   'Note/' doit être renseigné et non nul.");
        const QString noCoefficient = QStringLiteral("Série de notes: S%1\n   'Coefficient' doit être renseigné.");
        QCOMPARE(lines, (QStringList{noScale.arg(1), noCoefficient.arg(1), noScale.arg(2), noCoefficient.arg(2)}));
        QCOMPARE(grid().TextMatrix(2, kS2), QStringLiteral("20"));
        lines.clear();
        scope.push(refusals(lines));
        select(1, kS1);
        keys({Qt::Key_3, Qt::Key_0, Qt::Key_0, Qt::Key_Return});
        scope.push(refusals(lines));
        select(5, kS1);
        keys({Qt::Key_1});
        for (int i = 0; i < 45; ++i) keys({Qt::Key_0});  // beyond single precision
        keys({Qt::Key_Return});
        QCOMPARE(lines, (QStringList{invalid("S1"), invalid("S1")}));
        QCOMPARE(scale(m_s1, "Sur").toInt(), 1);
        QCOMPARE(grade(m_s1, 5).toDouble(), 10.0);
        QCOMPARE(grid().TextMatrix(5, kS1), QStringLiteral("10"));

        // A write that fails (the file locked by another writer) keeps the stored grade shown.
        lines.clear();
        scope.push(refusals(lines));
        {
            db::Database other = db::Database::OpenDatabase(m_path, gradebook::databasePassword());
            db::Transaction lock(other);
            other.Properties(QStringLiteral("Moyenne")).setValue(1);
            select(6, kS1);
            keys({Qt::Key_1, Qt::Key_1, Qt::Key_Return});
        }
        QCOMPARE(lines, QStringList{invalid("S1")});
        QCOMPARE(grid().TextMatrix(6, kS1), QStringLiteral("10"));
        QCOMPARE(grade(m_s1, 6).toDouble(), 10.0);
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_GradeEntry)
#include "tst_GradeEntry.moc"
