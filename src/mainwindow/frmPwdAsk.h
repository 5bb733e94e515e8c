#pragma once
#include <QDialog>

class QLineEdit;

// Asks the password of a protected gradebook. It has no buttons: Enter answers "OK" in
// Tag, Esc or the close box leave Tag empty; the caller then reads txtPwd and unloads it.
class frmPwdAsk : public QDialog {
    Q_OBJECT
public:
    frmPwdAsk();

    QLineEdit* txtPwd;

    QString Tag() const { return m_tag; }

protected:
    // The window sees the keys before the text box.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_tag;
};
