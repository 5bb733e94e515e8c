#pragma once
#include "AveragesTable.h"
#include "controls/cSplitDDC.h"

#include <QMainWindow>
#include <QPointer>
#include <QVector>
#include <optional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
namespace commands {
class MainSurface;
}
namespace platform {
class FlexGrid;
}

// The table of averages: it takes the main window's place while the teacher looks at the
// averages. On the left the classes with their students; on the right, for a class, the
// class grid flxClass, and for a student, either his averages flxMoy or his civil status
// txtEC. The subjects' coefficients of a class are typed in either grid.
//
// Open() loads it over the main window, which is unloaded; "&Tableau de notes" loads the
// main window again on the same class and subject and unloads this one; closing it by its
// close box ends the program.
class frmElèves : public QMainWindow {
public:
    frmElèves();
    ~frmElèves() override;

    // Loads the window in place of the main window and shows the first class. False (after
    // saying why) when the gradebook cannot be read: the main window then stays.
    static bool Open(commands::MainSurface& main);

    // Fills the tree with the classes, anew; a class's students come when it opens. Returns
    // the name of the student that will take the most room in it. Throws DbError.
    QString FillTree();

    // Shows a node again as a click on it does; "" in flxClass's Tag first makes a class
    // grid be computed again.
    void ActualiseElèves(QTreeWidgetItem* Node);

    // Menu and toolbar commands: 0 back to the grade table, 1 print, 2 workbook export,
    // 3 options; help 0 help file, 1 about. Toolbar buttons 1, 3, 5, 7 and 9.
    void mnuGen_Click(int Index);
    void mnuAide_Click(int Index);
    void tooBar_ButtonClick(int Button);
    void WarnCoefEditMode();

    void optChoix_Click(int Index);
    void chkChoix_Click(int Index);

    void ShowClassAverages(QTreeWidgetItem* Node);
    // Both leave a civil-status text on screen first, as leaveEtatCivil() does; when the
    // teacher keeps it, nothing changes.
    void ShowStudentAverages(QTreeWidgetItem* Node);
    void ShowEtatCivil(QTreeWidgetItem* Node);
    // Writes a changed civil-status text to the student whose text it is. False, after saying
    // why, when it could not be written: the text stays in the box, still marked as changed.
    bool SaveEtatCivil();
    void ExportToExcel();

    // The coefficient editors over flxMoy (txtCoef) and flxClass (txtCoefClass).
    void StartCoefEdit();
    void EndCoefEdit();
    void StartCoefClassEdit();
    void EndCoefClassEdit();
    bool coefEditing() const;

    QString StatusText() const;

    // What the window shows the main window again with: the class section and its subject
    // item (positions from 1; 0 for none) on screen when the window was opened.
    qint16 mSavedSection = 0;
    qint16 mSavedItem = 0;
    bool mCoefChanged = false;
    bool mEtatCivilChanged = false;

    QTreeWidget* treElv;
    QWidget* picSplit;
    QVector<QGroupBox*> fraChoix;      // [0] student, [1] class
    QVector<QRadioButton*> optChoix;   // [0] "Moyennes", [1] "Etat-civil"
    QVector<QCheckBox*> chkChoix;      // [1..3] "Pér. 1" to "Pér. 3"; [0] unused
    QLabel* lblClass;
    QLabel* lblElève;
    platform::FlexGrid* flxClass;
    platform::FlexGrid* flxMoy;
    QPlainTextEdit* txtEC;
    QLineEdit* txtCoef;
    QLineEdit* txtCoefClass;
    QToolBar* tooBar;
    QStatusBar* staBar;
    QVector<QAction*> mnuGen;  // [0..3]; [4] is the "&?" menu
    QVector<QAction*> mnuAide;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the tree and lays the grids out; throws DbError.
    void load(commands::MainSurface& main);
    void treElv_NodeClick(QTreeWidgetItem* Node, QTreeWidgetItem* previous);
    void treElv_Collapse(QTreeWidgetItem* Node);
    void addStudents(QTreeWidgetItem* node);
    // False when the teacher kept a civil-status text that could not be written: nothing
    // else is shown.
    bool showNode(QTreeWidgetItem* Node);
    // Puts the tree's selection back on `node` without showing it again.
    void keepNode(QTreeWidgetItem* node);
    QTreeWidgetItem* nodeOf(const QString& key) const;

    void grid_DblClick(bool cls);
    void grid_KeyPress(bool cls, int& KeyAscii);
    void grid_Commit(bool cls);
    void coef_KeyDown(bool cls, int& KeyCode);
    bool editableCell(bool cls) const;
    void openCoefEditor(bool cls, const QString& text, bool changed);
    void startCoefEditing(bool cls);
    void endCoefEditing(bool cls);
    // The coefficient typed, checked; nothing (after the message list) when refused.
    std::optional<int> typedCoefficient(QLineEdit& editor);
    // Before a changed civil-status text leaves the screen: writes it, and when that fails
    // asks whether to drop it. False when the teacher keeps it.
    bool leaveEtatCivil();
    // The text's write; the failure when it could not be written.
    std::optional<db::DbError> writeEtatCivil();
    // Writes the text as its box loses the focus; a failure is told once that event is over.
    void txtEC_LostFocus();
    // Says that the gradebook cannot be read, the first time only.
    void readFailed();
    // Says that a write failed, and why: every time.
    void writeFailed(const db::DbError& error);

    void setStatusText(const QString& text);
    void ArrangePanes();

    QList<averagestable::Entry> m_subjects;
    // The class and the student on the right, as they were when shown.
    qint32 m_class = 0;
    qint32 m_student = 0;
    // The student whose civil status txtEC holds; nothing when it holds none.
    std::optional<qint32> m_civilStatusOf;
    bool m_readFailureTold = false;
    // The text's write as the box lost the focus failed, and is yet to be told.
    std::optional<db::DbError> m_lostFocusFailure;

    QWidget* m_client;
    QLabel* m_statusText;
    // The main window this one replaced, destroyed once this one has painted.
    QPointer<QWidget> m_destroyOnPaint;
    cSplitDDC mSplitter;
};
