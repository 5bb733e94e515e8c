#include "RecordDialog.h"

#include "mainwindow/Commands.h"
#include "controls/mOffice2000.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

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
}

bool RecordDialog::creating() const { return fraMat[0]->isHidden(); }

bool RecordDialog::hasRoom(QStringList (*refusals)(const db::Database&), const QString& heading) {
    QStringList lines;
    try {
        lines = refusals(m_db);
    } catch (const db::DbError&) {
        readFailed(this);
        return false;
    }
    if (!lines.isEmpty()) showList(this, heading, lines);
    return lines.isEmpty();
}

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

void RecordDialog::fitSize() {
    // The designed width in the layouts' units, which follow the font, or more when a name of
    // the list needs it; the wrapped texts then take the height they need.
    QLayout* box = layout();
    const int width = std::max(platform::layoutX(6600), box->minimumSize().width());
    setFixedSize(width, box->hasHeightForWidth() ? box->totalHeightForWidth(width) : box->sizeHint().height());
}

}  // namespace editing
