#pragma once
#include "RecordDialog.h"

class QComboBox;

// Creates subjects, or renames one. In create mode (its subject chooser hidden) it stays
// open for the next subject until "Terminer" closes it.
class frmMat : public editing::RecordDialog {
    Q_OBJECT
public:
    frmMat();

    // Shows the dialog in create mode over `over` until the user closes it, rebuilding the
    // main window's tab bar after each subject; returns the keys of the subjects created.
    static QList<qint32> ShowCreate(const db::Database& database, commands::MainSurface& main, QWidget* over) {
        return showCreate<frmMat>(database, main, over);
    }
    // Lets the user choose a subject and rename it, when the gradebook has one.
    static void ShowRename(const db::Database& database, commands::MainSurface& main) {
        showChange<frmMat>(database, main, QStringLiteral("Renommer une matière"), &frmMat::PopulateMat);
    }

    // Fills the subject chooser and selects the subject on screen; false after telling the
    // user that there is no subject. Throws DbError.
    bool PopulateMat();
    void setCreateMode();

    QComboBox* cboMat;
    // lblEti: [0] chooser, [1] name, [2] create hint

protected:
    void ok() override;

private:
    void rename();
    void create();
    void refused(const db::DbError& error);
};
