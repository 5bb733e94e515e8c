#pragma once
#include <QDialog>
#include <QVector>

class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

// The options of the open gradebook: the decimals of averages and the gradebook's own
// password. Every change is written into the gradebook at once; closing the window (by
// "Fermer", Esc or its close box) only brings the screen up to date and unloads it.
//
// The opener writes its own name into Tag ("frmMain" or "frmElèves") and connects
// DecimalsChanged to its refresh before showing the window modal.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    frmOptions();

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    QTabWidget* tabS;
    QVector<QWidget*> fraOptions;         // [1] decimals, [2] password; [0] unused
    QVector<QLabel*> lblEti;              // [0] decimals, [1] password state
    QVector<QRadioButton*> optDécimale;   // index = number of decimals; [0] unused
    QPushButton* cmdPasse;
    QPushButton* cmdClose;

    quint8 mOldMoyenne = 0;

    void reject() override;

signals:
    // The decimals of averages differ from those at load; mUtilities::gAverageFormat has
    // been set to match. Emitted while the window closes.
    void DecimalsChanged();

private:
    void optDécimale_Click(int decimals);
    void cmdPasse_Click();
    void cmdClose_Click();
    void showPasswordState();

    QString m_tag;
};
