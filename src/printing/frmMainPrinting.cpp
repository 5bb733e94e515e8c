// The main window's command that prints the grade grid.
#include "mainwindow/Commands.h"

#include "platform/FlexGrid.h"

namespace commands {
namespace {

void print(MainSurface& main) {
    if (main.gradeGrid().isHidden())
        nothingTo(main.owner(), QStringLiteral("Il n'y a aucune donnée à imprimer."),
                  QStringLiteral("La liste d'élèves de cette classe est vide."));
}

const Row kRows[] = {
    {Print, false, print},
};

}  // namespace

Rows printingRows() { return kRows; }

}  // namespace commands
