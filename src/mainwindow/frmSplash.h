#pragma once
#include <QDialog>
#include <QString>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The first window of the program: its name and version, and three ways to get a
// gradebook open (the last one, a new one, another one). It closes once one is open.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    frmSplash();

    QLabel* lblProductName;
    QLabel* lblCompanyProduct;
    QLabel* imgLogo;
    QLabel* lblVersion;
    QLabel* lblCopyright;
    QLabel* lblDescription;
    QGroupBox* fraChoix;
    std::vector<QRadioButton*> optChoix;  // 0 the last file, 1 create, 2 open another
    std::vector<QPushButton*> cmdAction;  // 0 "OK", 1 "Annuler"

    // The last gradebook opened, from the settings.
    QString mLastFile;

    void cmdAction_Click(int Index);

    void reject() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int offerLastFile(const QString& caption);
    void quit();
};
