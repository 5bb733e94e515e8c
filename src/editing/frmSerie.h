#pragma once
#include "SeriesEdit.h"
#include "platform/db/Database.h"

#include <QDialog>
#include <QVector>

class Calendar;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class vskCompteur;
namespace commands {
class MainSurface;
}

// Creates series of grades, or modifies one, in two pages: the class and the subject, then
// the series' properties (and, to modify, the series). The caption chosen by the opener
// sets the mode: ModifyCaption() modifies, any other creates, one series after the other.
//
// The opener loads it, calls PopulateCombos and, when that returns true, sets the caption
// (and for creating the texts of the creation) and shows it modal; otherwise unloads it.
class frmSérie : public QDialog {
    // No Q_OBJECT: the meta-object compiler cannot read the accented name; the dialog
    // needs no signals or slots of its own.
public:
    frmSérie();

    static QString ModifyCaption();  // "Modifier une série de notes"
    static QString CreateCaption();  // "Créer une série de notes"
    bool modifyMode() const;

    // Fills the class list from the main window's tab bar and the subject list from
    // `database`, each on the class and subject on screen. False when either is empty,
    // after telling the user through the message list.
    bool PopulateCombos(commands::MainSurface& main, const db::Database& database);

    // The checks of the form, all listed at once; a valid date is rewritten dd/MM/yyyy.
    bool ValidateSeries();

    // [0] class, [1] subject, [2] series, [3] to [7] the properties' labels, [8] the text of
    // the creation, shown instead of the series' block.
    QVector<QLabel*> lblEti;
    // [0] subject, [1] class, [2] series.
    QVector<QWidget*> fraMat;
    QWidget* fraPage1;
    QWidget* fraPage2;
    QGroupBox* fraPropriétés;
    QComboBox* cboClasse;
    QComboBox* cboMat;
    QComboBox* cboSérie;
    QLineEdit* txtNom;
    QLineEdit* TxtSur;
    QLineEdit* txtCoefficient;
    QLineEdit* txtDate;
    QLabel* imaDate;
    vskCompteur* vskPériode;
    Calendar* Calendrier;
    // [0] "Suivant >" then "OK", [1] "Annuler" or "Terminer", [2] "< Précédent".
    QVector<QPushButton*> cmdAction;

    void cmdAction_Click(int Index);
    // Alt+Down in the date box, or a click on its picture.
    void OpenCalendar();

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void goToPage2();
    void showPage(int page);
    void cboSérie_Click(int entry);
    void writeSeries();
    void resetForm();
    void rewriteDate();
    void calendarDone(bool take);
    void liftDefaults(bool lifted);
    void unloadSelf();

    commands::MainSurface* m_main = nullptr;
    db::Database m_db;
    // The series listed in cboSérie, in its order.
    QList<seriesedit::Series> m_series;
};
