#pragma once
#include "RecordDialog.h"

class QComboBox;

// Creates classes, or changes the name and short name of one. In create mode (its class
// chooser hidden) it stays open for the next class until "Terminer" or "Annuler" closes it.
class frmClasse : public editing::RecordDialog {
    Q_OBJECT
public:
    frmClasse();

    // Shows the dialog in create mode over `over` until the user closes it, rebuilding the
    // main window's tab bar after each class; returns the keys of the classes created.
    static QList<qint32> ShowCreate(const db::Database& database, commands::MainSurface& main, QWidget* over) {
        return showCreate<frmClasse>(database, main, over);
    }
    // Lets the user choose a class and change it, when the gradebook has one.
    static void ShowModify(const db::Database& database, commands::MainSurface& main) {
        showChange<frmClasse>(database, main, QStringLiteral("Modifier une classe"), &frmClasse::PopulateClasse);
    }

    // Fills the class chooser from the tab bar and selects the active class; false after
    // telling the user that there is no class.
    bool PopulateClasse();
    void setCreateMode();

    QComboBox* cboClasse;
    QLineEdit* txtNomAbrégé;
    // lblEti: [0] chooser, [1] name, [2] short name, [3] note, [4] create hint

    void txtNom_LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ok() override;

private:
    void cboClasse_Click();
};
