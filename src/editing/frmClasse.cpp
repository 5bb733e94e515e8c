#include "frmClasse.h"

#include "ClassEdit.h"
#include "EditingMessages.h"
#include "controls/mOffice2000.h"
#include "controls/vskTab.h"
#include "mainwindow/Commands.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTerminer = QStringLiteral("Terminer");
const QString kAnnuler = QStringLiteral("Annuler");

}  // namespace

frmClasse::frmClasse() : RecordDialog(QStringLiteral("frmClasse")) {
    setWindowTitle(QStringLiteral("Modifier une classe"));
    cboClasse = new QComboBox(fraMat[0]);
    cboClasse->setObjectName(QStringLiteral("cboClasse"));
    txtNomAbrégé = new QLineEdit(this);
    txtNomAbrégé->setObjectName(QStringLiteral("txtNomAbrégé"));
    txtNomAbrégé->setMaxLength(15);
    mOffice2000::SetEdgeStyle(txtNomAbrégé, true);

    lblEti = {editing::wrappedLabel(QStringLiteral("Choisissez la classe dont vous voulez modifier les propriétés dans la liste ci-dessous:"), fraMat[0]),
              editing::wrappedLabel(QStringLiteral("Nom de la classe (exemple: Terminale STT 3):"), this),
              editing::wrappedLabel(QStringLiteral("Nom abrégé de la classe tel qu'il apparaîtra dans la liste des classes. "
                                                   "Vous êtes limité à 15 caractères (exemple: T STT 3):"), this),
              editing::wrappedLabel(QStringLiteral("NB: pour modifier la liste des élèves d'une classe, choisissez le menu "
                                                   "Modifier/Modifier une liste d'élèves."), this),
              editing::wrappedLabel(QStringLiteral("Attribuer un nom à la nouvelle classe, ainsi qu'un nom abrégé. Choisissez "
                                                   "ensuite le bouton 'OK'. Choisissez 'Terminer' lorsque vous avez créé le "
                                                   "nombre de classes désiré."), this, true)};
    lblEti[4]->hide();

    auto* chooser = new QVBoxLayout(fraMat[0]);
    chooser->setContentsMargins(0, 0, 0, 0);
    chooser->addWidget(lblEti[0]);
    chooser->addWidget(cboClasse);
    auto* body = new QVBoxLayout;
    body->addWidget(lblEti[4]);
    body->addSpacing(8);
    body->addWidget(lblEti[1]);
    body->addWidget(txtNom);
    body->addSpacing(4);
    body->addWidget(lblEti[2]);
    body->addWidget(txtNomAbrégé);
    body->addSpacing(8);
    body->addWidget(lblEti[3]);
    arrange(body);

    // The short name is made after the buttons: without this, Tab from the name would land on
    // "OK", and the next space typed would create the class.
    editing::chainTabOrder({cboClasse, txtNom, txtNomAbrégé, cmdAction[0], cmdAction[1]});

    connect(cboClasse, &QComboBox::currentIndexChanged, this, &frmClasse::cboClasse_Click);
    connect(txtNom, &QLineEdit::textChanged, this, [this] { cmdAction[1]->setText(kAnnuler); });
    txtNom->installEventFilter(this);
}

bool frmClasse::PopulateClasse() {
    const ::vskTab& bar = m_main->tabBar();
    if (bar.SectionCount() == 0) {
        commands::nothingTo(m_main->owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de classes."),
                            QStringLiteral("Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."));
        return false;
    }
    const QSignalBlocker blocker(cboClasse);
    cboClasse->clear();
    // Each entry carries its class's key: the class is written by key, whatever its name holds.
    for (int i = 1; i <= bar.SectionCount(); ++i) cboClasse->addItem(bar.SectionAt(i).Key(), bar.SectionAt(i).Tag().toInt());
    const cTabSection active = bar.ActiveSection();
    cboClasse->setCurrentIndex(active.isNull() ? 0 : active.Index() - 1);
    cboClasse_Click();
    // Without it the dialog puts the keyboard on its default button, "OK".
    cboClasse->setFocus();
    return true;
}

void frmClasse::setCreateMode() {
    setWindowTitle(QStringLiteral("Créer une classe"));
    fraMat[0]->hide();
    lblEti[4]->show();
    txtNom->clear();
    txtNomAbrégé->clear();
    cmdAction[1]->setText(kTerminer);
    txtNom->setFocus();
}

void frmClasse::cboClasse_Click() {
    txtNom->setText(cboClasse->currentText());
    txtNomAbrégé->setText(m_main->tabBar().SectionAt(cboClasse->currentIndex() + 1).Caption());
}

void frmClasse::txtNom_LostFocus() {
    // The field holds 15 characters: a longer name is cut to fit rather than refused later.
    // A cut that ends on a space would leave it at the end of the caption.
    if (txtNomAbrégé->text().isEmpty()) txtNomAbrégé->setText(txtNom->text().left(txtNomAbrégé->maxLength()).trimmed());
}

bool frmClasse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtNom && event->type() == QEvent::FocusOut) txtNom_LostFocus();
    return QDialog::eventFilter(watched, event);
}

void frmClasse::ok() {
    const bool modify = !creating();
    if (!modify && !hasRoom(&classedit::roomRefusals, QStringLiteral("Impossible de créer une nouvelle classe."))) return;
    const classedit::Input input{txtNom->text(), txtNomAbrégé->text()};
    if (const QStringList lines = classedit::refusals(input); !lines.isEmpty()) {
        editing::showList(this, editing::refusedHeading(), lines);
        return;
    }
    try {
        if (modify)
            classedit::modify(m_db, cboClasse->currentData().toInt(), input);
        else
            m_created.append(classedit::create(m_db, input));
    } catch (const db::DbError& e) {
        if (editing::nameTaken(e))
            editing::showList(this, QStringLiteral("Le nom ou le nom abrégé est (sont) déjà attribué(s)."),
                              {QStringLiteral("Vous devez attribuer un nom et un nom abrégé uniques à chaque classe.")});
        else
            editing::writeFailed(this);
        return;
    }
    editing::RefreshMainTabs(*m_main, false);
    if (modify) {
        close();
        return;
    }
    editing::showList(this, QStringLiteral("Création de classe effectuée."), {input.name + QStringLiteral(" créée.")});
    txtNom->clear();
    txtNomAbrégé->clear();
    cmdAction[1]->setText(kTerminer);
    txtNom->setFocus();
}
