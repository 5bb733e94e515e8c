#include "frmPwdGive.h"

#include "gradebook/Messages.h"
#include "Pictures.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QLineEdit* passwordBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(10);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    return box;
}

frmPwdGive::frmPwdGive() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmPwdGive"));
    setWindowTitle(QStringLiteral("Mot de passe"));

    imaPicture = new QLabel(this);
    imaPicture->setPixmap(pictures::key(48));
    imaPicture->setAlignment(Qt::AlignTop);
    txtPwd = passwordBox(QStringLiteral("txtPwd"), this);
    txtConfirm = passwordBox(QStringLiteral("txtConfirm"), this);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Annuler"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(imaPicture, 0, 0, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Saisir un mot de passe..."), this), 0, 1);
    grid->addWidget(txtPwd, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("...et sa confirmation"), this), 2, 1);
    grid->addWidget(txtConfirm, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 200);
    setFixedSize(sizeHint());

    connect(cmdOK, &QPushButton::clicked, this, &frmPwdGive::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmPwdGive::Entry frmPwdGive::CheckPasswordEntry() {
    if (txtPwd->text() != txtConfirm->text())
        return messages::msgBox(this, QStringLiteral("Mot de passe et sa confirmation différents.\nRecommencer ?"), 4, 2) ==
                       QLatin1String("1")
                   ? Retry
                   : GiveUp;
    if (txtPwd->text().isEmpty())
        return messages::msgBox(this,
                         QStringLiteral("Mot de passe vide. Ceci équivaut à l'absence de mot de passe.\nConfirmer ?"),
                         4, 3) == QLatin1String("1")
                   ? Accept
                   : GiveUp;
    return Accept;
}

void frmPwdGive::cmdOK_Click() {
    switch (CheckPasswordEntry()) {
    case Retry:
        txtPwd->clear();
        txtConfirm->clear();
        txtPwd->setFocus();
        break;
    case GiveUp:
        m_tag.clear();
        reject();
        break;
    case Accept:
        m_tag = QStringLiteral("OK");
        accept();
        break;
    }
}
