#include "frmMat.h"

#include "EditingMessages.h"
#include "SubjectEdit.h"
#include "controls/mOffice2000.h"
#include "controls/vskTab.h"
#include "mainwindow/Commands.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNameRule = QStringLiteral("Le nom d'une matière doit être renseigné et unique.");

}  // namespace

frmMat::frmMat() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmMat"));
    setWindowTitle(QStringLiteral("Renommer une matière"));

    fraMat = {new QFrame(this)};
    fraMat[0]->setObjectName(QStringLiteral("fraMat0"));
    cboMat = new QComboBox(fraMat[0]);
    cboMat->setObjectName(QStringLiteral("cboMat"));
    txtNom = new QLineEdit(this);
    txtNom->setObjectName(QStringLiteral("txtNom"));
    txtNom->setMaxLength(50);
    mOffice2000::SetEdgeStyle(txtNom, true);

    lblEti = {editing::wrappedLabel(QStringLiteral("Choisissez la matière à renommer dans la liste ci-dessous:"), fraMat[0]),
              editing::wrappedLabel(QStringLiteral("Saisissez le nouveau nom à attribuer à cette matière "
                                     "(exemple: Histoire ou Mathématiques etc...): "), this),
              editing::wrappedLabel(QStringLiteral("Après avoir saisi un nom pour la nouvelle matière, choisissez le bouton 'OK'. "
                                     "Choisissez 'Terminer' quand vous avez créé le nombre de matières désiré."), this, true)};
    lblEti[2]->hide();

    cmdAction = {new QPushButton(QStringLiteral("OK"), this), new QPushButton(QStringLiteral("Annuler"), this)};
    cmdAction[0]->setObjectName(QStringLiteral("cmdAction0"));
    cmdAction[1]->setObjectName(QStringLiteral("cmdAction1"));
    cmdAction[0]->setDefault(true);

    auto* chooser = new QVBoxLayout(fraMat[0]);
    chooser->setContentsMargins(0, 0, 0, 0);
    chooser->addWidget(lblEti[0]);
    chooser->addWidget(cboMat);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAction[0]);
    buttons->addWidget(cmdAction[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraMat[0]);
    layout->addWidget(lblEti[2]);
    layout->addSpacing(8);
    layout->addWidget(lblEti[1]);
    layout->addWidget(txtNom);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedWidth(440);

    for (int i = 0; i < cmdAction.size(); ++i)
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
}

QList<qint32> frmMat::ShowCreate(const db::Database& database, commands::MainSurface& main, QWidget* over) {
    frmMat& dialog = platform::Form<frmMat>::get();
    dialog.prepare(database, main);
    dialog.setCreateMode();
    editing::fitHeight(dialog);
    platform::showModal(dialog, over);
    const QList<qint32> created = dialog.m_created;
    platform::Form<frmMat>::unload();
    return created;
}

void frmMat::ShowRename(const db::Database& database, commands::MainSurface& main) {
    frmMat& dialog = platform::Form<frmMat>::get();
    dialog.prepare(database, main);
    if (dialog.PopulateMat()) {
        dialog.setWindowTitle(QStringLiteral("Renommer une matière"));
        editing::fitHeight(dialog);
        platform::showModal(dialog, main.owner());
    }
    platform::Form<frmMat>::unload();
}

void frmMat::prepare(const db::Database& database, commands::MainSurface& main) {
    m_db = database;
    m_main = &main;
    m_created.clear();
}

bool frmMat::PopulateMat() {
    const QList<subjectedit::Subject> subjects = subjectedit::subjects(m_db);
    if (subjects.isEmpty()) {
        commands::nothingTo(m_main->owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de matières."),
                            QStringLiteral("Créez une ou plusieurs matières (menu Créer/Nouvelle matière)."));
        return false;
    }
    cboMat->clear();
    // Each entry carries its subject's key: the subject is renamed by key, whatever its name holds.
    for (const subjectedit::Subject& s : subjects) cboMat->addItem(s.name, s.key);
    int shown = 0;
    const ::vskTab& bar = m_main->tabBar();
    if (const int n = m_main->currentSection(); n >= 1 && n <= bar.SectionCount())
        if (const cTabItem item = bar.SectionAt(n).SelectedItem(); !item.isNull())
            shown = qMax(0, cboMat->findData(item.Tag().toInt()));
    cboMat->setCurrentIndex(shown);
    return true;
}

void frmMat::setCreateMode() {
    setWindowTitle(QStringLiteral("Créer une matière"));
    fraMat[0]->hide();
    lblEti[1]->setText(QStringLiteral("Saisissez le nom qui sera attribué à cette nouvelle matière "
                                      "(exemple: Histoire ou Mathématiques etc...):"));
    lblEti[2]->show();
    txtNom->clear();
    cmdAction[1]->setText(QStringLiteral("Terminer"));
    txtNom->setFocus();
}

void frmMat::cmdAction_Click(int Index) {
    if (Index == 0)
        ok();
    else
        close();
}

void frmMat::ok() {
    const bool renaming = !fraMat[0]->isHidden();
    if (renaming && txtNom->text() == cboMat->currentText()) {
        close();
        return;
    }
    if (txtNom->text().isEmpty()) {
        editing::showList(this, QStringLiteral("Vous n'avez pas saisi un nom de matière valide."), {kNameRule});
        return;
    }
    if (renaming)
        rename();
    else
        create();
}

void frmMat::rename() {
    try {
        subjectedit::rename(m_db, cboMat->currentData().toInt(), txtNom->text());
    } catch (const db::DbError& e) {
        refused(e);
        return;
    }
    editing::RefreshMainTabs(*m_main, true);
    close();
}

void frmMat::create() {
    const QString name = txtNom->text();
    try {
        m_created.append(subjectedit::create(m_db, name));
    } catch (const db::DbError& e) {
        refused(e);
        return;
    }
    editing::RefreshMainTabs(*m_main, true);
    editing::showList(this, QStringLiteral("Création de matière effectuée."), {name + QStringLiteral(" créée.")});
    txtNom->clear();
    cmdAction[1]->setText(QStringLiteral("Terminer"));
    txtNom->setFocus();
}

void frmMat::refused(const db::DbError& error) {
    if (editing::nameTaken(error))
        editing::showList(this, QStringLiteral("Ce nom de matière est déjà attribué."), {kNameRule});
    else
        editing::writeFailed(this);
}
