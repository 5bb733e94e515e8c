#pragma once
#include "platform/db/Database.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;
class QPushButton;
namespace commands {
class MainSurface;
}

// Deletes a series of grades with its grades, in two steps: the class and the subject,
// then the series, deleted after a confirmation. There is no way back to the first step.
//
// The opener loads it, calls PopulateCombos and shows it modal when that returns true;
// otherwise unloads it.
class frmDelSérie : public QDialog {
    // No Q_OBJECT: the meta-object compiler cannot read the accented name; the dialog
    // needs no signals or slots of its own.
public:
    frmDelSérie();

    // Fills the class list from the main window's tab bar and the subject list from
    // `database`; `notes` is the open dynaset on "Notes" through which grades are deleted.
    // False when either list is empty, after telling the user through the message list.
    bool PopulateCombos(commands::MainSurface& main, const db::Database& database, db::Recordset& notes);

    // [0] subject, [1] class, [2] series.
    QVector<QWidget*> fraMat;
    QVector<QLabel*> lblEti;
    QComboBox* cboClasse;
    QComboBox* cboMat;
    QComboBox* cboSérie;
    // [0] "Suivant >" then "OK", [1] "Annuler".
    QVector<QPushButton*> cmdAction;

    void cmdAction_Click(int Index);
    void reject() override;

private:
    void goToStep2();
    void deleteSeries();
    void unloadSelf();

    commands::MainSurface* m_main = nullptr;
    db::Database m_db;
    db::Recordset* m_notes = nullptr;
};
