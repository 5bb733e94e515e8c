#pragma once
#include "PageSetup.h"

#include <QDialog>
#include <QVector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

// The page setup "Mise en page". Loading it reads the settings file; "Continuer" checks the
// values, saves them and answers "OK"; "Annuler" and the close box answer "". Either way
// the dialog is only hidden: while it stays loaded its controls are the page setup that
// the preview reads, cancelled edits included.
class frmMiseEnPage : public QDialog {
    Q_OBJECT
public:
    // Reads the settings file at `settingsFile` (by default the one of the config folder).
    explicit frmMiseEnPage(const QString& settingsFile = {});

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // The page setup as the controls hold it, and the controls set from one.
    printing::PageSetup pageSetup() const;
    void showPageSetup(const printing::PageSetup& setup);

    QTabWidget* tabS;
    QVector<QWidget*> fraTab;         // [1] "Mise en page", [2] "Couleurs"; [0] unused
    QComboBox* cboSize;
    QVector<QLineEdit*> txtSize;      // width, height of the typed size
    QVector<QRadioButton*> chkOrient; // "Portrait", "Paysage"
    QVector<QLineEdit*> txtMarge;     // top, bottom, left, right
    QVector<QLabel*> lblPolice;       // font name, size in points
    QPushButton* cmdPolice;
    QComboBox* cboImprimante;
    QCheckBox* chkGrille;
    QVector<QComboBox*> cboCouleur;   // En-Têtes, Données, alternativement avec, Résultats, Grille
    QVector<QLabel*> lblCouleur;
    QVector<QPushButton*> cmdAction;  // "Continuer", "Annuler"

    quint8 CurrentTab = 1;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void tabS_Click(int index);
    void cboSize_Click();
    void cmdPolice_Click();
    void cmdAction_Click(int index);

    QString m_settingsFile;
    QString m_tag;
};
