// The main window's commands that edit classes, subjects, series and students, and the
// table of averages.
#include "mainwindow/Commands.h"

#include "frmClasse.h"
#include "frmEleve.h"
#include "frmMat.h"
#include "controls/vskTab.h"
#include "gradebook/mUtilities.h"

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
}

const Row kRows[] = {
    {RenameClass, false, renameClass},
    {RenameSubject, false, renameSubject},
    {StudentList, false, studentList},
    {NewClass, false, newClass},
    {NewSubject, false, newSubject},
    {AveragesTable, false, averagesTable},
};

}  // namespace

Rows editingRows() { return kRows; }

}  // namespace commands
