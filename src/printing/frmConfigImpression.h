#pragma once
#include <QDialog>
#include <QVector>

class QCheckBox;
class QPushButton;
class QRadioButton;

// What part of the grade grid goes on paper.
struct PrintChoices {
    int period = 4;  // 1 to 3: that period only; 4: all periods
    bool gradesAndAverages = true;
    bool general = true;  // the general average column
};

// The print choices "Eléments à imprimer", asked after the page setup when the grade grid
// is printed. "Continuer" (Enter) answers "OK", "Annuler" (Esc) and the close box "";
// either way the dialog is only hidden and its choices stay for the preview. Nothing is
// remembered from one print to the next.
class frmConfigImpression : public QDialog {
    Q_OBJECT
public:
    frmConfigImpression();

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    PrintChoices choices() const;

    QVector<QRadioButton*> optPériode;  // [1] to [3] one period, [4] all; [0] unused
    QVector<QRadioButton*> optNetM;     // [0] grades and averages, [1] averages only
    QCheckBox* chkGénérale;
    QVector<QPushButton*> cmdAction;    // "Continuer", "Annuler"

    void reject() override;

private:
    void cmdAction_Click(int index);

    QString m_tag;
};
