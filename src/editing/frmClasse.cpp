#include "frmClasse.h"

#include "ClassEdit.h"
#include "EditingMessages.h"
#include "controls/mOffice2000.h"
#include "controls/vskTab.h"
#include "mainwindow/Commands.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTerminer = QStringLiteral("Terminer");
const QString kAnnuler = QStringLiteral("Annuler");

}  // namespace

frmClasse::frmClasse() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmClasse"));
    setWindowTitle(QStringLiteral("Modifier une classe"));

    fraMat = {new QFrame(this)};
    fraMat[0]->setObjectName(QStringLiteral("fraMat0"));
    cboClasse = new QComboBox(fraMat[0]);
    cboClasse->setObjectName(QStringLiteral("cboClasse"));
    txtNom = new QLineEdit(this);
    txtNom->setObjectName(QStringLiteral("txtNom"));
    txtNom->setMaxLength(50);
    txtNomAbrégé = new QLineEdit(this);
    txtNomAbrégé->setObjectName(QStringLiteral("txtNomAbrégé"));
    txtNomAbrégé->setMaxLength(15);
    mOffice2000::SetEdgeStyle(txtNom, true);
    mOffice2000::SetEdgeStyle(txtNomAbrégé, true);

    lblEti = {editing::wrappedLabel(QStringLiteral("Choisissez la classe dont vous voulez modifier les propriétés dans la liste ci-dessous:"), fraMat[0]),
              editing::wrappedLabel(QStringLiteral("Nom de la classe (exemple: Terminale STT 3):"), this),
              editing::wrappedLabel(QStringLiteral("Nom abrégé de la classe tel qu'il apparaîtra dans la liste des classes. "
                                     "Vous êtes limité à 15 caractères (exemple: T STT 3):"), this),
              editing::wrappedLabel(QStringLiteral("NB: pour modifier la liste des élèves d'une classe, choisissez le menu "
                                     "Modifier/Modifier une liste d'élèves."), this),
              editing::wrappedLabel(QStringLiteral("Attribuer un nom à la nouvelle classe, ainsi qu'un nom abrégé. Choisissez ensuite le "
                                     "bouton 'OK'. Choisissez 'Terminer' lorsque vous avez créé le nombre de classes désiré."),
                      this, true)};
    lblEti[4]->hide();

    cmdAction = {new QPushButton(QStringLiteral("OK"), this), new QPushButton(kAnnuler, this)};
    cmdAction[0]->setObjectName(QStringLiteral("cmdAction0"));
    cmdAction[1]->setObjectName(QStringLiteral("cmdAction1"));
    cmdAction[0]->setDefault(true);

    auto* chooser = new QVBoxLayout(fraMat[0]);
    chooser->setContentsMargins(0, 0, 0, 0);
    chooser->addWidget(lblEti[0]);
    chooser->addWidget(cboClasse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAction[0]);
    buttons->addWidget(cmdAction[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraMat[0]);
    layout->addWidget(lblEti[4]);
    layout->addSpacing(8);
    layout->addWidget(lblEti[1]);
    layout->addWidget(txtNom);
    layout->addSpacing(4);
    layout->addWidget(lblEti[2]);
    layout->addWidget(txtNomAbrégé);
    layout->addSpacing(8);
    layout->addWidget(lblEti[3]);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedWidth(440);

    connect(cboClasse, &QComboBox::currentIndexChanged, this, &frmClasse::cboClasse_Click);
    connect(txtNom, &QLineEdit::textChanged, this, [this] { cmdAction[1]->setText(kAnnuler); });
    txtNom->installEventFilter(this);
    for (int i = 0; i < cmdAction.size(); ++i)
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
}

QList<qint32> frmClasse::ShowCreate(const db::Database& database, commands::MainSurface& main, QWidget* over) {
    frmClasse& dialog = platform::Form<frmClasse>::get();
    dialog.prepare(database, main);
    dialog.setCreateMode();
    editing::fitHeight(dialog);
    platform::showModal(dialog, over);
    const QList<qint32> created = dialog.m_created;
    platform::Form<frmClasse>::unload();
    return created;
}

void frmClasse::ShowModify(const db::Database& database, commands::MainSurface& main) {
    frmClasse& dialog = platform::Form<frmClasse>::get();
    dialog.prepare(database, main);
    if (dialog.PopulateClasse()) {
        dialog.setWindowTitle(QStringLiteral("Modifier une classe"));
        editing::fitHeight(dialog);
        platform::showModal(dialog, main.owner());
    }
    platform::Form<frmClasse>::unload();
}

void frmClasse::prepare(const db::Database& database, commands::MainSurface& main) {
    m_db = database;
    m_main = &main;
    m_created.clear();
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
    if (txtNomAbrégé->text().isEmpty()) txtNomAbrégé->setText(txtNom->text().left(txtNomAbrégé->maxLength()));
}

bool frmClasse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtNom && event->type() == QEvent::FocusOut) txtNom_LostFocus();
    return QDialog::eventFilter(watched, event);
}

void frmClasse::cmdAction_Click(int Index) {
    if (Index == 0)
        ok();
    else
        close();
}

void frmClasse::ok() {
    const classedit::Input input{txtNom->text(), txtNomAbrégé->text()};
    if (const QStringList lines = classedit::refusals(input); !lines.isEmpty()) {
        editing::showList(this, editing::refusedHeading(), lines);
        return;
    }
    const bool modify = !fraMat[0]->isHidden();
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
