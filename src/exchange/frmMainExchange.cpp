// The main window's commands that exchange series of grades with other gradebooks.
#include "mainwindow/Commands.h"

#include "frmExport.h"
#include "frmImport.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

namespace commands {
namespace {

void exportGrades(MainSurface& main) {
    frmExport& wizard = platform::Form<frmExport>::get();
    if (wizard.PopulateClassMat(main, mUtilities::gDB)) platform::showModal(wizard, main.owner());
    platform::Form<frmExport>::unload();  // when it has not unloaded itself
}

void importGrades(MainSurface& main) {
    frmImport& wizard = platform::Form<frmImport>::get();
    wizard.prepare(mUtilities::gDB, main);
    platform::showModal(wizard, main.owner());
    platform::Form<frmImport>::unload();  // when it has not unloaded itself
}

const Row kRows[] = {
    {ImportGrades, false, importGrades},
    {ExportGrades, false, exportGrades},
};

}  // namespace

Rows exchangeRows() { return kRows; }

}  // namespace commands
