#pragma once
#include "platform/db/Database.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
namespace commands {
class MainSurface;
}

// "Importation de notes": the decision about one student of an exchange file, to
// associate with a student of the gradebook, to create in a class (which may be created
// here), or to reject. Pages: the choice, then the list it needs. It is hidden, not
// unloaded, after each answer, and keeps its choice and list selections for the next.
class frmImport2 : public QDialog {
    Q_OBJECT
public:
    frmImport2();

    enum class Answer { Cancelled, Associate, Create, Reject };

    // The gradebook and main window whose classes "Créer une classe" adds to.
    void prepare(const db::Database& database, commands::MainSurface& main);
    // Fills the class list from the tab bar's sections (text the class name, data its key).
    void fillClasses();
    // Shows the dialog over `owner` with the status line, from its first page; the answer
    // is always the one given this time ("" when cancelled).
    Answer ask(QWidget* owner, const QString& status);
    // The position chosen in cboElève or cboClasse.
    int position() const { return m_position; }

    QVector<QLabel*> lblEti;  // [0] status line, [1] note under the class list
    QGroupBox* fraOpt;
    QGroupBox* fraChoix;
    QGroupBox* fraCréation;
    QVector<QRadioButton*> optChoix;
    QComboBox* cboElève;
    QComboBox* cboClasse;
    QPushButton* cmdClass;
    QVector<QPushButton*> cmdAction;  // [0] Continuer, [1] Annuler

    void reject() override;

private:
    void cmdAction_Click(int Index);
    void cmdClass_Click();
    void answer(Answer answer, int position);
    void showPage(QWidget* page);
    void place(int extra);
    void fitWidth();

    db::Database m_db;
    commands::MainSurface* m_main = nullptr;
    Answer m_answer = Answer::Cancelled;
    int m_position = -1;
};
