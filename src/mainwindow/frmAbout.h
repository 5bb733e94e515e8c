#pragma once
#include <QDialog>
#include <QVector>

class QLabel;
class QPushButton;

// The program's name, version, description and legal notice, the user of this account,
// and the maker's mail address and web page, which open through the desktop on a click.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout();

    QLabel* imaLogo;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QLabel* lblUser;
    QVector<QLabel*> lblMail;  // [0] "Mail:", [1] the address
    QVector<QLabel*> lblWeb;   // [0] "Web:", [1] the page
    QPushButton* cmdOK;

    // The full name in an account's comment field: its first comma-separated part, or ""
    // when there is none.
    static QString UserNameFromAccount(const char* comment);

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QString GetRegisteredUser();
    void cmdOK_Click();
};
