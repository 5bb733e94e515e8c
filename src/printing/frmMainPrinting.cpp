// The print commands: the grade grid from the main window, the averages grids from the
// table of averages. Each asks for the page setup (and, for the grade grid, what to
// print), then shows the preview, which lays a copy of the grid out into pages.
#include "PrintCommands.h"

#include "GridLayouts.h"
#include "frmApercu.h"
#include "frmConfigImpression.h"
#include "frmMiseEnPage.h"
#include "mainwindow/Commands.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

using platform::Form;

namespace printing {
namespace {

// Wraps a layout of a grid copied now for the preview, which lays it out at its first
// showing and again after each accepted page setup.
template <typename Build>
Layout layoutOf(Build build) {
    return [build](const LayoutInput& in, printfile::Writer& out) {
        return build(in, out).has_value();
    };
}

void showPreview(const QString& gridName, const QString& title, Layout layout) {
    frmAperçu::setLayout(gridName, std::move(layout));
    frmAperçu& preview = Form<frmAperçu>::get();
    preview.GridName = gridName;
    preview.DocName = title;
    platform::showModal(preview);  // it unloads itself and both settings dialogs
}

// The page setup, asked first; false (and unloaded) when the user cancels it.
bool pageSetupAccepted(QWidget* owner) {
    frmMiseEnPage& setup = Form<frmMiseEnPage>::get();
    platform::showModal(setup, owner);
    if (!setup.Tag().isEmpty()) return true;
    Form<frmMiseEnPage>::unload();
    return false;
}

}  // namespace

void printAveragesGrid(QWidget* owner, const QString& gridName, const platform::FlexGrid& grid, const QString& title,
                       std::array<bool, 3> periodsShown) {
    if (!pageSetupAccepted(owner)) return;
    if (gridName == QLatin1String("flxClass")) {
        const ClassGridPrint what{snapshotOf(grid), title, periodsShown};
        showPreview(gridName, title, layoutOf([what](const LayoutInput& in, printfile::Writer& out) {
                        return CreateFileflxClass(what, in.setup, in.measurer, out);
                    }));
    } else {
        const StudentGridPrint what{snapshotOf(grid), title};
        showPreview(QStringLiteral("flxMoy"), title, layoutOf([what](const LayoutInput& in, printfile::Writer& out) {
                        return CreateFileflxMoy(what, in.setup, in.measurer, out);
                    }));
    }
}

}  // namespace printing

namespace commands {
namespace {

void print(MainSurface& main) {
    using namespace printing;
    if (main.gradeGrid().isHidden()) {
        nothingTo(main.owner(), QStringLiteral("Il n'y a aucune donnée à imprimer."),
                  QStringLiteral("La liste d'élèves de cette classe est vide."));
        return;
    }
    if (!pageSetupAccepted(main.owner())) return;
    frmConfigImpression& choices = Form<frmConfigImpression>::get();
    platform::showModal(choices, main.owner());
    if (choices.Tag().isEmpty()) {
        Form<frmConfigImpression>::unload();
        Form<frmMiseEnPage>::unload();
        return;
    }
    const GradeGridPrint what{snapshotOf(main.gradeGrid()), main.heading(), main.averagePositions()};
    showPreview(QStringLiteral("flxNotes"), what.title, layoutOf([what](const LayoutInput& in, printfile::Writer& out) {
                    return CreateFileflxNotes(what, in.choices, in.setup, in.measurer, out);
                }));
}

const Row kRows[] = {
    {Print, false, print},
};

}  // namespace

Rows printingRows() { return kRows; }

}  // namespace commands
