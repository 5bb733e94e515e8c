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

// Creates classes, or changes the name and short name of one. Its mode is the visibility
// of its class chooser fraMat[0]: shown to modify, hidden to create. In create mode it
// stays open for the next class until "Terminer" (or "Annuler") closes it.
class frmClasse : public QDialog {
    Q_OBJECT
public:
    frmClasse();

    // Shows the dialog in create mode over `over` until the user closes it, rebuilding the
    // main window's tab bar after each class; returns the keys of the classes created.
    static QList<qint32> ShowCreate(const db::Database& database, commands::MainSurface& main, QWidget* over);
    // Lets the user choose a class and change it, when the gradebook has one.
    static void ShowModify(const db::Database& database, commands::MainSurface& main);

    // Fills the class chooser from the tab bar and selects the active class; false after
    // telling the user that there is no class.
    bool PopulateClasse();
    void setCreateMode();

    QVector<QFrame*> fraMat;  // [0] the class chooser
    QComboBox* cboClasse;
    QLineEdit* txtNom;
    QLineEdit* txtNomAbrégé;
    QVector<QLabel*> lblEti;  // [0] chooser, [1] name, [2] short name, [3] note, [4] create hint
    QVector<QPushButton*> cmdAction;  // [0] OK, [1] Annuler / Terminer

    void cmdAction_Click(int Index);
    void txtNom_LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepare(const db::Database& database, commands::MainSurface& main);
    void cboClasse_Click();
    void ok();

    db::Database m_db;
    commands::MainSurface* m_main = nullptr;
    QList<qint32> m_created;
};
