// The main window's commands that edit classes, subjects, series and students, and the
// table of averages.
#include "mainwindow/Commands.h"

#include "frmDelCM.h"
#include "frmFusMat.h"
#include "controls/vskTab.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/SystemMessage.h"
#include "VersionInfo.h"

namespace commands {
namespace {

void averagesTable(MainSurface& main) {
    if (main.tabBar().SectionCount() == 0)
        nothingTo(main.owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de classes."),
                  QStringLiteral("Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."));
}

// Loads the dialog, prepares it and shows it when there is something to do; unloads it
// either way. A gradebook that cannot be read is said so, with nothing shown.
template <class Dialog, class Prepare>
void openPrepared(MainSurface& main, Prepare prepare) {
    Dialog& dialog = platform::Form<Dialog>::get();
    try {
        if (prepare(dialog)) platform::showModal(dialog, main.owner());
    } catch (const db::DbError&) {
        platform::criticalMessage(main.owner(), platform::version::productName(),
                                  QStringLiteral("Impossible de lire le carnet de notes."));
    }
    platform::Form<Dialog>::unload();
}

void deleteClass(MainSurface& main) {
    openPrepared<frmDelCM>(main, [&](frmDelCM& d) { return d.PopulateCombo(QStringLiteral("Classes"), main, mUtilities::gDB); });
}

void deleteSubject(MainSurface& main) {
    openPrepared<frmDelCM>(main, [&](frmDelCM& d) { return d.PopulateCombo(QStringLiteral("Matières"), main, mUtilities::gDB); });
}

void mergeSubjects(MainSurface& main) {
    openPrepared<frmFusMat>(main, [&](frmFusMat& d) { return d.PopulateFusMat(main, mUtilities::gDB); });
}

const Row kRows[] = {
    {AveragesTable, false, averagesTable},
    {DeleteClass, false, deleteClass},
    {DeleteSubject, false, deleteSubject},
    {MergeSubjects, false, mergeSubjects},
};

}  // namespace

Rows editingRows() { return kRows; }

}  // namespace commands
