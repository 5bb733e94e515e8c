#include "frmFusMat.h"

#include "ActionButtons.h"
#include "Cascades.h"
#include "SubjectMerge.h"
#include "controls/mOffice2000.h"
#include "gradebook/Messages.h"
#include "mainwindow/Commands.h"
#include "mainwindow/Pictures.h"
#include "platform/SystemMessage.h"
#include "VersionInfo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kContinue = QStringLiteral("Continuer");

QLabel* wrapped(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    // A wrapped text takes the height its width gives it only at a width of its own.
    label->setFixedWidth(420);
    return label;
}

QGroupBox* frame(const QString& name, QWidget* parent) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(name);
    return box;
}

void listMessage(QWidget* owner, const QString& heading, const QStringList& lines) {
    messages::messageList(owner, heading, lines, pictures::imaButton(3));
}

}  // namespace

frmFusMat::frmFusMat() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmFusMat"));
    setWindowTitle(QStringLiteral("Fusionner des matières"));

    lblEti.append(wrapped(QStringLiteral("Choisissez les deux matières à fusionner dans les deux listes ci-dessous:"),
                          QStringLiteral("lblEti0"), this));
    lblEti.append(wrapped(
        QStringLiteral("Cette fonction vous permet de fusionner deux matières en une seule.\n"
                       "Vous pourriez par exemple avoir choisi de scinder votre discipline en plusieurs sous-matières"
                       " et vouloir ensuite les regrouper pour n'obtenir qu'une seule moyenne.\n"
                       "Notez cependant que cette fusion est irréversible (les matières fusionnées n'existeront plus)"
                       ", et qu'elle concerne toutes les classes.\n\n"
                       "Si vous souhaitez conserver les matières distinctes, vous pouvez créer un second carnet de "
                       "notes, y importer les notes des matières à fusionner, et procéder à la fusion dans ce carnet."),
        QStringLiteral("lblEti1"), this));
    lblEti.append(wrapped(QStringLiteral("Saisissez le nom à attribuer à la nouvelle matière (il peut s'agir du nom "
                                         "d'une des deux matières sélectionnées): "),
                          QStringLiteral("lblEti2"), this));

    fraFus = frame(QStringLiteral("fraFus"), this);
    (new QVBoxLayout(fraFus))->addWidget(lblEti[1]);

    fraMat = {frame(QStringLiteral("fraMat0"), this), frame(QStringLiteral("fraMat1"), this)};
    auto* lists = new QVBoxLayout(fraMat[0]);
    lists->addWidget(lblEti[0]);
    for (int i = 0; i < 2; ++i) {
        auto* list = new QComboBox(fraMat[0]);
        list->setObjectName(QStringLiteral("cboMat%1").arg(i));
        list->setEditable(false);
        lists->addWidget(list);
        cboMat.append(list);
    }
    txtNom = new QLineEdit(fraMat[1]);
    txtNom->setObjectName(QStringLiteral("txtNom"));
    txtNom->setMaxLength(50);  // the width of the subject's name in the gradebook
    mOffice2000::SetEdgeStyle(txtNom, true);
    auto* name = new QVBoxLayout(fraMat[1]);
    name->addWidget(lblEti[2]);
    name->addWidget(txtNom);
    fraMat[0]->hide();
    fraMat[1]->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraFus);
    layout->addWidget(fraMat[0]);
    layout->addWidget(fraMat[1]);
    cmdAction = addActionButtons(*this, *layout, {kContinue, QStringLiteral("Annuler")},
                                 [this](int Index) { cmdAction_Click(Index); });
    // The window fits each step.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool frmFusMat::PopulateFusMat(commands::MainSurface& main, const db::Database& database) {
    m_main = &main;
    m_database = database;
    const QList<cascades::Entry> subjects = cascades::subjects(database);
    if (subjects.size() < 2) {
        commands::nothingTo(main.owner(),
                            QStringLiteral("Ce carnet de notes contient %1 matière(s).").arg(subjects.size()),
                            QStringLiteral("Pour fusionner deux matières, il faut au moins...deux matières !"));
        return false;
    }
    for (QComboBox* list : cboMat) {
        list->clear();
        for (const cascades::Entry& subject : subjects) list->addItem(subject.name, subject.key);
        list->setCurrentIndex(0);
    }
    return true;
}

void frmFusMat::cmdAction_Click(int Index) {
    if (Index != 0) {
        reject();
        return;
    }
    if (cmdAction[0]->text() == kContinue) {
        fraFus->hide();
        fraMat[0]->show();
        fraMat[1]->show();
        cboMat[0]->setFocus();
        cmdAction[0]->setText(QStringLiteral("OK"));
        return;
    }
    Merge();
}

void frmFusMat::Merge() {
    const subjectmerge::Input input{cboMat[0]->currentData().toInt(), cboMat[1]->currentData().toInt(), txtNom->text()};
    try {
        if (const auto refusal = subjectmerge::refusal(m_database, input)) {
            listMessage(this, refusal->heading, {refusal->line});
            if (refusal->focus == subjectmerge::Refusal::Lists) cboMat[0]->setFocus();
            if (refusal->focus == subjectmerge::Refusal::Name) txtNom->setFocus();
            return;
        }
        subjectmerge::merge(m_database, input);
    } catch (const db::DbError&) {
        platform::criticalMessage(this, platform::version::productName(),
                                  QStringLiteral("Impossible de fusionner ces matières.\nLe carnet de notes n'a pas été modifié."));
        return;
    }
    listMessage(this, QStringLiteral("Fusion terminée."),
                subjectmerge::report(cboMat[0]->currentText(), cboMat[1]->currentText(), txtNom->text()));
    m_main->CreateSectionsAndItems();
    m_main->showFirstClassAndSubject();
    accept();
}
