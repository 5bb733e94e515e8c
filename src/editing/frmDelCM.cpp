#include "frmDelCM.h"

#include "ActionButtons.h"
#include "Cascades.h"
#include "controls/cTabSection.h"
#include "controls/vskTab.h"
#include "gradebook/Messages.h"
#include "mainwindow/Commands.h"
#include "platform/SystemMessage.h"
#include "VersionInfo.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QString kDeleteClass = QStringLiteral("Supprimer une classe");

}  // namespace

frmDelCM::frmDelCM() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmDelCM"));
    lblEti.append(new QLabel(QStringLiteral("Choisissez la classe que vous voulez supprimer dans la liste ci-dessous:"), this));
    lblEti[0]->setObjectName(QStringLiteral("lblEti0"));
    cboClassMat = new QComboBox(this);
    cboClassMat->setObjectName(QStringLiteral("cboClassMat"));
    cboClassMat->setEditable(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblEti[0]);
    layout->addWidget(cboClassMat);
    layout->addSpacing(8);
    cmdAction = addActionButtons(*this, *layout, {QStringLiteral("OK"), QStringLiteral("Annuler")},
                                 [this](int Index) { cmdAction_Click(Index); });
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool frmDelCM::PopulateCombo(const QString& table, commands::MainSurface& main, const db::Database& database) {
    m_main = &main;
    m_database = database;
    cboClassMat->clear();
    ::vskTab& tabs = main.tabBar();
    if (table == QLatin1String("Classes")) {
        setWindowTitle(kDeleteClass);
        if (tabs.SectionCount() == 0) {
            commands::nothingTo(main.owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de classes."),
                                QStringLiteral("Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."));
            return false;
        }
        for (int s = 1; s <= tabs.SectionCount(); ++s)
            cboClassMat->addItem(tabs.SectionAt(s).Key(), tabs.SectionAt(s).Tag().toInt());
        const cTabSection active = tabs.ActiveSection();
        cboClassMat->setCurrentIndex(active.isNull() ? 0 : active.Index() - 1);
        return true;
    }
    setWindowTitle(QStringLiteral("Supprimer une matière"));
    const QList<cascades::Entry> subjects = cascades::subjects(database);
    if (subjects.isEmpty()) {
        commands::nothingTo(main.owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de matières."),
                            QStringLiteral("Créez une ou plusieurs matières (menu Créer/Nouvelle matière)."));
        return false;
    }
    for (const cascades::Entry& subject : subjects) cboClassMat->addItem(subject.name, subject.key);
    int chosen = 0;
    if (const int current = main.currentSection(); current >= 1 && current <= tabs.SectionCount()) {
        const cTabItem item = tabs.SectionAt(current).SelectedItem();
        if (!item.isNull()) chosen = qMax(0, cboClassMat->findData(item.Tag().toInt()));
    }
    cboClassMat->setCurrentIndex(chosen);
    lblEti[0]->setText(QStringLiteral("Choisissez la matière que vous voulez supprimer dans la liste ci-dessous:"));
    return true;
}

bool frmDelCM::deletesClass() const { return windowTitle() == kDeleteClass; }

void frmDelCM::cmdAction_Click(int Index) {
    if (Index != 0) {
        reject();
        return;
    }
    const QString name = cboClassMat->currentText();
    const qint32 key = cboClassMat->currentData().toInt();
    const bool isClass = deletesClass();
    const QString question =
        isClass ? QStringLiteral("La suppression de cette classe entraînera la suppression de tous ses élèves et la "
                                 "suppression de leurs notes.")
                : QStringLiteral("La suppression de cette matière entraînera la suppression de toutes ses séries de notes.");
    const QString title = isClass ? QStringLiteral("Suppression d'une classe") : QStringLiteral("Suppression d'une matière");
    if (messages::msgBox(this, question + QStringLiteral("\nEtes-vous sûr de vouloir supprimer ") + name + QStringLiteral(" ?"),
                         4, 3, title, 2) != QLatin1String("1"))
        return;
    try {
        if (isClass)
            cascades::deleteClass(m_database, key);
        else
            cascades::deleteSubject(m_database, key);
    } catch (const db::DbError&) {
        platform::criticalMessage(this, platform::version::productName(),
                                  (isClass ? QStringLiteral("Impossible de supprimer cette classe.")
                                           : QStringLiteral("Impossible de supprimer cette matière.")) +
                                      QStringLiteral("\nLe carnet de notes n'a pas été modifié."));
        return;
    }
    RefreshAfterDelete();
    accept();
}

void frmDelCM::RefreshAfterDelete() {
    m_main->CreateSectionsAndItems();
    m_main->showFirstClassAndSubject();
}
