// The main window's commands that edit classes, subjects, series and students, and the
// table of averages.
#include "mainwindow/Commands.h"

#include "EditingMessages.h"
#include "frmClasse.h"
#include "frmDelCM.h"
#include "frmDelSerie.h"
#include "frmEleve.h"
#include "frmEleves.h"
#include "frmFusMat.h"
#include "frmMat.h"
#include "frmSerie.h"
#include "controls/vskTab.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

#include <QLabel>
#include <functional>

namespace commands {
namespace {

void renameClass(MainSurface& main) { frmClasse::ShowModify(mUtilities::gDB, main); }
void newClass(MainSurface& main) { frmClasse::ShowCreate(mUtilities::gDB, main, main.owner()); }
void renameSubject(MainSurface& main) { frmMat::ShowRename(mUtilities::gDB, main); }
void newSubject(MainSurface& main) { frmMat::ShowCreate(mUtilities::gDB, main, main.owner()); }

void studentList(MainSurface& main) { frmElève::ShowList(mUtilities::gDB, mUtilities::gRsNotes, main); }

void averagesTable(MainSurface& main) {
    if (main.tabBar().SectionCount() == 0)
        nothingTo(main.owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de classes."),
                  QStringLiteral("Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."));
    else
        frmElèves::Open(main);
}

// Loads the dialog, prepares it and shows it (after `setUp`) when there is something to do;
// unloads it either way. A gradebook that cannot be read is said so, with nothing shown.
template <class Dialog, class Prepare>
void openPrepared(MainSurface& main, Prepare prepare, const std::function<void(Dialog&)>& setUp = {}) {
    Dialog& dialog = platform::Form<Dialog>::get();
    try {
        if (prepare(dialog)) {
            if (setUp) setUp(dialog);
            platform::showModal(dialog, main.owner());
        }
    } catch (const db::DbError&) {
        editing::readFailed(main.owner());
    }
    platform::Form<Dialog>::unload();
}

void series(MainSurface& main, bool create) {
    openPrepared<frmSérie>(
        main, [&](frmSérie& d) { return d.PopulateCombos(main, mUtilities::gDB); },
        [create](frmSérie& d) {
            if (!create) {
                d.setWindowTitle(frmSérie::ModifyCaption());
                return;
            }
            d.setWindowTitle(frmSérie::CreateCaption());
            d.lblEti[1]->setText(QStringLiteral("Choisissez la matière pour laquelle vous voulez créer une série de notes:"));
            d.lblEti[0]->setText(QStringLiteral("Choisissez la classe pour laquelle vous voulez créer une série de notes:"));
            d.fraMat[2]->hide();
            d.lblEti[8]->show();
        });
}

void modifySeries(MainSurface& main) { series(main, false); }
void newSeries(MainSurface& main) { series(main, true); }

void deleteSeries(MainSurface& main) {
    openPrepared<frmDelSérie>(
        main, [&](frmDelSérie& d) { return d.PopulateCombos(main, mUtilities::gDB, mUtilities::gRsNotes); });
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
    {RenameClass, false, renameClass},
    {RenameSubject, false, renameSubject},
    {StudentList, false, studentList},
    {NewClass, false, newClass},
    {NewSubject, false, newSubject},
    {ModifySeries, false, modifySeries},
    {NewSeries, false, newSeries},
    {DeleteSeries, false, deleteSeries},
    {AveragesTable, false, averagesTable},
    {DeleteClass, false, deleteClass},
    {DeleteSubject, false, deleteSubject},
    {MergeSubjects, false, mergeSubjects},
};

}  // namespace

Rows editingRows() { return kRows; }

}  // namespace commands
