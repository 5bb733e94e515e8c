#include "frmImport2.h"

#include "controls/vskTab.h"
#include "editing/frmClasse.h"
#include "mainwindow/Commands.h"
#include "platform/Modal.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

using platform::twipsRect;

frmImport2::frmImport2() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmImport2"));
    setWindowTitle(QStringLiteral("Importation de notes"));

    auto* status = new QLabel(this);
    status->setTextFormat(Qt::PlainText);  // names from the file
    status->setWordWrap(true);
    lblEti = {status, nullptr};

    fraOpt = new QGroupBox(QStringLiteral("Que souhaitez vous faire ?"), this);
    const QStringList options = {QStringLiteral("Choisir vous-même une association pour cet élève"),
                                 QStringLiteral("Créer cet élève dans votre carnet de notes"),
                                 QStringLiteral("Rejeter cet élève de l'importation")};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(options[i], fraOpt);
        option->setObjectName(QStringLiteral("optChoix%1").arg(i));
        option->setGeometry(twipsRect(240, 360 + i * 480, 5500, 360));
        optChoix.append(option);
    }
    optChoix[0]->setChecked(true);

    fraChoix = new QGroupBox(QStringLiteral("Choisir un élève à associer dans la liste"), this);
    fraChoix->hide();
    cboElève = new QComboBox(fraChoix);
    cboElève->setObjectName(QStringLiteral("cboElève"));
    cboElève->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    fraCréation = new QGroupBox(QStringLiteral("Créer le nouvel élève dans la classe:"), this);
    fraCréation->hide();
    cboClasse = new QComboBox(fraCréation);
    cboClasse->setObjectName(QStringLiteral("cboClasse"));
    cboClasse->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmdClass = new QPushButton(QStringLiteral("Créer une classe"), fraCréation);
    cmdClass->setObjectName(QStringLiteral("cmdClass"));
    cmdClass->setAutoDefault(false);
    connect(cmdClass, &QPushButton::clicked, this, [this] { cmdClass_Click(); });
    lblEti[1] = new QLabel(QStringLiteral("(Si la classe souhaitée ne figure pas dans la liste, ou si votre carnet de notes ne "
                                          "contient pas encore de classe, choisissez le bouton 'Créer une classe'.)"),
                           fraCréation);
    lblEti[1]->setWordWrap(true);

    const QStringList captions = {QStringLiteral("Continuer"), QStringLiteral("Annuler")};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        cmdAction.append(button);
    }
    // "Continuer" on a page whose list is empty would have nothing to answer with.
    connect(cboElève, &QComboBox::currentIndexChanged, this, [this] { showPage(fraChoix->isHidden() ? nullptr : fraChoix); });
    connect(cboClasse, &QComboBox::currentIndexChanged, this,
            [this] { showPage(fraCréation->isHidden() ? nullptr : fraCréation); });
    place(0);
}

// The designed places, `extra` pixels wider: the frames, the lists and the lines across them
// widen, the list of classes pushes its button along, the buttons below stay centred.
void frmImport2::place(int extra) {
    const auto wider = [extra](int left, int top, int width, int height) {
        return twipsRect(left, top, width, height).adjusted(0, 0, extra, 0);
    };
    setFixedSize(wider(0, 0, 6120, 3795).size());
    // Two names and a class make the line long: it may take two, down to the frames.
    lblEti[0]->setGeometry(wider(120, 120, 5895, 600));
    fraOpt->setGeometry(wider(120, 720, 5895, 1935));
    fraChoix->setGeometry(wider(120, 720, 5895, 1575));
    cboElève->setGeometry(wider(240, 480, 5415, 375));
    fraCréation->setGeometry(wider(120, 720, 5895, 2175));
    cboClasse->setGeometry(wider(240, 420, 3255, 375));
    cmdClass->setGeometry(twipsRect(3720, 420, 1935, 375).translated(extra, 0));
    lblEti[1]->setGeometry(wider(240, 1000, 5415, 900));
    for (int i = 0; i < 2; ++i)
        cmdAction[i]->setGeometry(twipsRect(i ? 3480 : 1320, 3240, 1455, 375).translated(extra / 2, 0));
}

// Wide enough for the longest entry of either list, within twice the designed width.
void frmImport2::fitWidth() {
    place(0);
    const int lack = std::max(cboElève->sizeHint().width() - cboElève->width(),
                              cboClasse->sizeHint().width() - cboClasse->width());
    place(std::clamp(lack, 0, width()));
}

void frmImport2::prepare(const db::Database& database, commands::MainSurface& main) {
    m_db = database;
    m_main = &main;
}

void frmImport2::fillClasses() {
    cboClasse->clear();
    if (!m_main) return;
    vskTab& tabs = m_main->tabBar();
    for (int i = 1; i <= tabs.SectionCount(); ++i) cboClasse->addItem(tabs.SectionAt(i).Key(), tabs.SectionAt(i).Tag().toInt());
    if (cboClasse->count() > 0) cboClasse->setCurrentIndex(0);
}

frmImport2::Answer frmImport2::ask(QWidget* owner, const QString& status) {
    m_answer = Answer::Cancelled;
    m_position = -1;
    lblEti[0]->setText(status);
    fitWidth();
    showPage(fraOpt);
    platform::showModal(*this, owner);
    return m_answer;
}

// `page` becomes the one shown (nullptr keeps the one on show); "Continuer" is offered
// only where there is something to choose.
void frmImport2::showPage(QWidget* page) {
    if (page) {
        for (QWidget* p : {static_cast<QWidget*>(fraOpt), static_cast<QWidget*>(fraChoix), static_cast<QWidget*>(fraCréation)})
            p->setVisible(p == page);
    }
    const QComboBox* list = !fraChoix->isHidden() ? cboElève : !fraCréation->isHidden() ? cboClasse : nullptr;
    cmdAction[0]->setEnabled(!list || list->currentIndex() >= 0);
}

void frmImport2::cmdAction_Click(int Index) {
    if (Index != 0) {
        answer(Answer::Cancelled, -1);
    } else if (!fraOpt->isHidden()) {
        if (optChoix[0]->isChecked()) {
            showPage(fraChoix);
            cboElève->setFocus();
        } else if (optChoix[1]->isChecked()) {
            showPage(fraCréation);
            cboClasse->setFocus();
        } else {
            answer(Answer::Reject, -1);
        }
    } else if (!fraChoix->isHidden()) {
        if (cboElève->currentIndex() >= 0) answer(Answer::Associate, cboElève->currentIndex());
    } else if (cboClasse->currentIndex() >= 0) {
        answer(Answer::Create, cboClasse->currentIndex());
    }
}

void frmImport2::answer(Answer answer, int position) {
    m_answer = answer;
    m_position = position;
    showPage(fraOpt);
    hide();
}

void frmImport2::reject() { answer(Answer::Cancelled, -1); }

void frmImport2::cmdClass_Click() {
    if (!m_main) return;
    const int count = cboClasse->count(), selected = cboClasse->currentIndex();
    frmClasse::ShowCreate(m_db, *m_main, this);
    fillClasses();
    fitWidth();
    cboClasse->setCurrentIndex(cboClasse->count() > count ? cboClasse->count() - 1 : selected);
    cboClasse->setFocus();
}
