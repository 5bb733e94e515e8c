#include "RecordDialog.h"

#include "mainwindow/Commands.h"
#include "controls/mOffice2000.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace editing {

RecordDialog::RecordDialog(const QString& objectName) : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(objectName);
    fraMat = {new QFrame(this)};
    fraMat[0]->setObjectName(QStringLiteral("fraMat0"));
    txtNom = new QLineEdit(this);
    txtNom->setObjectName(QStringLiteral("txtNom"));
    txtNom->setMaxLength(50);
    mOffice2000::SetEdgeStyle(txtNom, true);
    cmdAction = {new QPushButton(QStringLiteral("OK"), this), new QPushButton(QStringLiteral("Annuler"), this)};
    for (int i = 0; i < cmdAction.size(); ++i) {
        cmdAction[i]->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
    cmdAction[0]->setDefault(true);
}

void RecordDialog::arrange(QVBoxLayout* body) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAction[0]);
    buttons->addWidget(cmdAction[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraMat[0]);
    layout->addLayout(body);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedWidth(440);
}

bool RecordDialog::creating() const { return fraMat[0]->isHidden(); }

void RecordDialog::cmdAction_Click(int Index) {
    if (Index == 0)
        ok();
    else
        close();
}

QWidget* RecordDialog::mainOwner(commands::MainSurface& main) { return main.owner(); }

void RecordDialog::prepare(const db::Database& database, commands::MainSurface& main) {
    m_db = database;
    m_main = &main;
    m_created.clear();
}

void RecordDialog::fitHeight() {
    if (QLayout* box = layout(); box && box->hasHeightForWidth()) resize(width(), box->totalHeightForWidth(width()));
}

}  // namespace editing
