#pragma once
#include "platform/db/Database.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
namespace commands {
class MainSurface;
}
namespace platform {
class FlexGrid;
}

// The student list of one class, in two steps: the class is chosen, then its students are
// edited in a grid through two boxes laid over the current row (name and first name). The
// last row of the grid is blank and stands for a new student; Delete removes a student and
// their grades. However it is closed, the main grid is shown again once the list changed,
// so that no grade can be typed for a student who is gone.
//
// No Q_OBJECT: moc cannot write an accented class name, and the dialog declares no signal.
class frmElève : public QDialog {
public:
    frmElève();

    // Shows the dialog over the main window when the gradebook has a class. `notes` is the
    // dynaset on the table "Notes" through which grades are deleted.
    static void ShowList(const db::Database& database, db::Recordset& notes, commands::MainSurface& main);

    // Fills the class chooser from the tab bar and selects the active class; false after
    // telling the user that there is no class.
    bool PopulateClasse();

    QComboBox* cboClasse;
    platform::FlexGrid* flxElèves;
    QLineEdit* txtNom;
    QLineEdit* txtPrénom;
    QVector<QLabel*> lblEti;  // [0] the chooser's label, [1] the grid's help
    QVector<QPushButton*> cmdAction;  // [0] Suivant > / < Précédent, [1] Annuler / Terminer
    bool mListChanged = false;

    void cmdAction_Click(int Index);
    // Starts editing the current row: from its texts, or from one typed letter.
    void StartStudentEdit();
    void EndStudentEdit();
    void CancelStudentEdit();
    bool editing() const;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepare(const db::Database& database, db::Recordset& notes, commands::MainSurface& main);
    void showPage(int page);
    void nextPage();
    // Each column as wide as its longest name, the grid scrolling past its room.
    void fitColumns();
    void flxElèves_KeyPress(int& KeyAscii);
    void flxElèves_KeyDown(int& KeyCode, int Shift);
    void boxKeyDown(int& KeyCode, int Shift);
    void openEditor(const QString& name, const QString& firstName);
    void deleteStudent();
    void idle();
    void RefreshMainIfChanged();
    qint32 numClass() const;

    db::Database m_db;
    db::Recordset* m_notes = nullptr;
    commands::MainSurface* m_main = nullptr;
    QLabel* m_chooserLabel;
    int m_page = 1;
};
