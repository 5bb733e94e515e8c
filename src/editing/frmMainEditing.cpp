// The main window's commands that edit classes, subjects, series and students, and the
// table of averages.
#include "mainwindow/Commands.h"
#include "frmEleves.h"

#include "frmClasse.h"
#include "frmDelSerie.h"
#include "frmEleve.h"
#include "frmMat.h"
#include "frmSerie.h"
#include "controls/vskTab.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

#include <QLabel>

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

// Loads the dialog and prepares it; shows it when the preparation found something to work
// on, after `setUp`. The dialog unloads itself when it closes.
template <class Dialog, class Prepare, class SetUp>
void openDialog(MainSurface& main, Prepare prepare, SetUp setUp) {
    Dialog& dialog = platform::Form<Dialog>::get();
    if (!prepare(dialog)) {
        platform::Form<Dialog>::unload();
        return;
    }
    setUp(dialog);
    platform::showModal(dialog, main.owner());
}

void series(MainSurface& main, bool create) {
    openDialog<frmSérie>(
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
    openDialog<frmDelSérie>(
        main, [&](frmDelSérie& d) { return d.PopulateCombos(main, mUtilities::gDB, mUtilities::gRsNotes); },
        [](frmDelSérie&) {});
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
};

}  // namespace

Rows editingRows() { return kRows; }

}  // namespace commands
