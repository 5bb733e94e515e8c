// The main window's commands that edit classes, subjects, series and students, and the
// table of averages.
#include "mainwindow/Commands.h"
#include "frmEleves.h"

#include "controls/vskTab.h"

namespace commands {
namespace {

void averagesTable(MainSurface& main) {
    if (main.tabBar().SectionCount() == 0)
        nothingTo(main.owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de classes."),
                  QStringLiteral("Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."));
    else
        frmElèves::Open(main);
}

const Row kRows[] = {
    {AveragesTable, false, averagesTable},
};

}  // namespace

Rows editingRows() { return kRows; }

}  // namespace commands
