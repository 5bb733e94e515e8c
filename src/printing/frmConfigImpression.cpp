#include "frmConfigImpression.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

frmConfigImpression::frmConfigImpression() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmConfigImpression"));
    setWindowTitle(QStringLiteral("Eléments à imprimer"));
    auto* main = new QVBoxLayout(this);
    main->addWidget(new QLabel(QStringLiteral("Que souhaitez-vous imprimer ?"), this));

    auto* periods = new QButtonGroup(this);
    optPériode.append(nullptr);
    for (int i = 1; i <= 4; ++i) {
        optPériode.append(new QRadioButton(
            i < 4 ? QStringLiteral("Période %1 seulement").arg(i) : QStringLiteral("Toutes les périodes"), this));
        optPériode[i]->setObjectName(QStringLiteral("optPériode%1").arg(i));
        periods->addButton(optPériode[i]);
        main->addWidget(optPériode[i]);
    }
    main->addWidget(separator(this));
    auto* content = new QButtonGroup(this);
    optNetM = {new QRadioButton(QStringLiteral("Notes et Moyennes"), this),
               new QRadioButton(QStringLiteral("Moyennes seulement"), this)};
    for (int i = 0; i < 2; ++i) {
        optNetM[i]->setObjectName(QStringLiteral("optNetM%1").arg(i));
        content->addButton(optNetM[i]);
        main->addWidget(optNetM[i]);
    }
    main->addWidget(separator(this));
    chkGénérale = new QCheckBox(QStringLiteral("Moyenne générale"), this);
    chkGénérale->setObjectName(QStringLiteral("chkGénérale"));
    main->addWidget(chkGénérale);

    cmdAction = {new QPushButton(QStringLiteral("Continuer"), this), new QPushButton(QStringLiteral("Annuler"), this)};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        cmdAction[i]->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        buttons->addWidget(cmdAction[i]);
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
    // Enter presses "Continuer"; Esc reaches reject, as "Annuler" does.
    cmdAction[0]->setDefault(true);
    main->addLayout(buttons);

    // Wide enough for the caption to show whole.
    setFixedSize(std::max(300, sizeHint().width()), sizeHint().height());

    optPériode[4]->setChecked(true);
    optNetM[0]->setChecked(true);
    chkGénérale->setChecked(true);
}

PrintChoices frmConfigImpression::choices() const {
    PrintChoices c;
    for (int i = 1; i <= 4; ++i)
        if (optPériode[i]->isChecked()) c.period = i;
    c.gradesAndAverages = optNetM[0]->isChecked();
    c.general = chkGénérale->isChecked();
    return c;
}

void frmConfigImpression::cmdAction_Click(int index) {
    if (index != 0) {
        reject();
        return;
    }
    m_tag = QStringLiteral("OK");
    QDialog::accept();
}

void frmConfigImpression::reject() {
    m_tag.clear();
    QDialog::reject();
}
