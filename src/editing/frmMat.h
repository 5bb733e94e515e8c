#pragma once
#include "platform/db/Database.h"

#include <QDialog>
#include <QList>
#include <QVector>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
namespace commands {
class MainSurface;
}

// Creates subjects, or renames one. Its mode is the visibility of its subject chooser
// fraMat[0]: shown to rename, hidden to create. In create mode it stays open for the next
// subject until "Terminer" closes it.
class frmMat : public QDialog {
    Q_OBJECT
public:
    frmMat();

    // Shows the dialog in create mode over `over` until the user closes it, rebuilding the
    // main window's tab bar after each subject; returns the keys of the subjects created.
    static QList<qint32> ShowCreate(const db::Database& database, commands::MainSurface& main, QWidget* over);
    // Lets the user choose a subject and rename it, when the gradebook has one.
    static void ShowRename(const db::Database& database, commands::MainSurface& main);

    // Fills the subject chooser and selects the subject on screen; false after telling the
    // user that there is no subject.
    bool PopulateMat();
    void setCreateMode();

    QVector<QFrame*> fraMat;  // [0] the subject chooser
    QComboBox* cboMat;
    QLineEdit* txtNom;
    QVector<QLabel*> lblEti;  // [0] chooser, [1] name, [2] create hint
    QVector<QPushButton*> cmdAction;  // [0] OK, [1] Annuler / Terminer

    void cmdAction_Click(int Index);

private:
    void prepare(const db::Database& database, commands::MainSurface& main);
    void ok();
    void rename();
    void create();
    void refused(const db::DbError& error);

    db::Database m_db;
    commands::MainSurface* m_main = nullptr;
    QList<qint32> m_created;
};
