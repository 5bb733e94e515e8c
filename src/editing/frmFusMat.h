#pragma once
#include "platform/db/Database.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace commands {
class MainSurface;
}

// Merges two subjects of the open gradebook into a new one, in two steps: an introduction
// ("Continuer"), then the two subjects and the new name ("OK"). The opener loads it, calls
// PopulateFusMat and shows it modal when that returns true; either way it unloads it
// afterwards. After a merge the main window shows its first class and subject again.
class frmFusMat : public QDialog {
    Q_OBJECT
public:
    frmFusMat();

    // Lists the subjects in both lists, the first chosen in each. False (after telling the
    // user) when the gradebook has fewer than two. Throws DbError.
    bool PopulateFusMat(commands::MainSurface& main, const db::Database& database);

    QGroupBox* fraFus;                // step 1: the introduction
    QVector<QGroupBox*> fraMat;       // step 2: [0] the two subjects, [1] the new name
    QVector<QComboBox*> cboMat;
    QLineEdit* txtNom;
    QVector<QLabel*> lblEti;          // [0] above the lists, [1] the introduction, [2] above the name
    QVector<QPushButton*> cmdAction;  // [0] "Continuer", then "OK"; [1] "Annuler"

private:
    void cmdAction_Click(int Index);
    void Merge();

    commands::MainSurface* m_main = nullptr;
    db::Database m_database;
};
