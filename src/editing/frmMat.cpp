#include "frmMat.h"

#include "EditingMessages.h"
#include "SubjectEdit.h"
#include "controls/vskTab.h"
#include "mainwindow/Commands.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNameRule = QStringLiteral("Le nom d'une matière doit être renseigné et unique.");

}  // namespace

frmMat::frmMat() : RecordDialog(QStringLiteral("frmMat")) {
    setWindowTitle(QStringLiteral("Renommer une matière"));
    cboMat = new QComboBox(fraMat[0]);
    cboMat->setObjectName(QStringLiteral("cboMat"));

    lblEti = {editing::wrappedLabel(QStringLiteral("Choisissez la matière à renommer dans la liste ci-dessous:"), fraMat[0]),
              editing::wrappedLabel(QStringLiteral("Saisissez le nouveau nom à attribuer à cette matière "
                                                   "(exemple: Histoire ou Mathématiques etc...): "), this),
              editing::wrappedLabel(QStringLiteral("Après avoir saisi un nom pour la nouvelle matière, choisissez le bouton "
                                                   "'OK'. Choisissez 'Terminer' quand vous avez créé le nombre de matières "
                                                   "désiré."), this, true)};
    lblEti[2]->hide();

    auto* chooser = new QVBoxLayout(fraMat[0]);
    chooser->setContentsMargins(0, 0, 0, 0);
    chooser->addWidget(lblEti[0]);
    chooser->addWidget(cboMat);
    auto* body = new QVBoxLayout;
    body->addWidget(lblEti[2]);
    body->addSpacing(8);
    body->addWidget(lblEti[1]);
    body->addWidget(txtNom);
    arrange(body);
    editing::chainTabOrder({cboMat, txtNom, cmdAction[0], cmdAction[1]});
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
    cboMat->setFocus();  // rather than the default button, "OK"
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

void frmMat::ok() {
    const bool renaming = !creating();
    if (renaming && txtNom->text() == cboMat->currentText()) {
        close();
        return;
    }
    if (!renaming && !hasRoom(&subjectedit::roomRefusals, QStringLiteral("Impossible de créer une nouvelle matière."))) return;
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
