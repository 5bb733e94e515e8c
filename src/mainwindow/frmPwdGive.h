#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// A password box as both password windows have it: 10 characters at most, each shown as
// "*" whatever the style.
QLineEdit* passwordBox(const QString& name, QWidget* parent);

// A new password for the gradebook, typed twice. Tag() is "OK" when a password (possibly
// empty, meaning none) was accepted, "" otherwise; the caller then reads txtPwd and
// unloads the window.
class frmPwdGive : public QDialog {
    Q_OBJECT
public:
    frmPwdGive();

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    QLabel* imaPicture;
    QLineEdit* txtPwd;
    QLineEdit* txtConfirm;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    enum Entry { Accept = 0, Retry = 1, GiveUp = 2 };
    Entry CheckPasswordEntry();
    void cmdOK_Click();

    QString m_tag;
};
