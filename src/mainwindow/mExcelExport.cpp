#include "mExcelExport.h"

#include "gradebook/Messages.h"
#include "controls/cOpenSaveFile.h"
#include "gradebook/mUtilities.h"
#include "platform/FlexGrid.h"
#include "platform/Paths.h"
#include "platform/SystemMessage.h"
#include "VersionInfo.h"
#include "platform/Workbook.h"

#include <QDir>
#include <QFileInfo>

namespace mExcelExport {
namespace {

void failure(QWidget* owner, const QString& text) { platform::plainMessage(owner, platform::version::productName(), text); }

}  // namespace

Cells GridTexts(const platform::FlexGrid& grid) {
    Cells cells;
    cells.reserve(grid.Rows());
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList row;
        row.reserve(grid.Cols());
        for (int c = 0; c < grid.Cols(); ++c) row << grid.TextMatrix(r, c);
        cells << row;
    }
    return cells;
}

QList<platform::Span> GridSpans(const platform::FlexGrid& grid, const Cells& cells) {
    QList<platform::Span> spans;
    if (!grid.MergeCells()) return spans;
    for (int r = 0; r < cells.size() && r < grid.Rows(); ++r) {
        if (!grid.MergeRow(r)) continue;
        const QStringList& row = cells.at(r);
        for (int first = 0; first < row.size();) {
            int last = first;
            while (!row.at(first).isEmpty() && last + 1 < row.size() && row.at(last + 1) == row.at(first)) ++last;
            if (last > first) spans.append({r, first, last});
            first = last + 1;
        }
    }
    return spans;
}

void ExportToExcel(const Cells& cells, const QString& sheetName, QWidget* owner,
                   const QList<platform::Span>& spans) {
    // Only an explicit "OK" goes on: a question closed without an answer is a cancel.
    if (messages::msgBox(owner, QStringLiteral("Le tableau actuellement affiché va être converti en un fichier Excel.\nContinuer ?"),
                  4, 2) != QLatin1String("1"))
        return;

    cOpenSaveFile dialog;
    dialog.setHwndOwner(owner);
    dialog.setAllowMultiSelect(false);
    dialog.setFilter(QStringLiteral("Classeur Excel (*.xlsx)|*.xlsx"));
    dialog.setDefaultExt(QStringLiteral("xlsx"));
    dialog.setOverWritePrompt(true);
    const QString folder = platform::paths::userFolder();
    QDir().mkpath(folder);
    dialog.setInitDir(folder);
    if (!dialog.ShowSave()) return;
    const QString path = dialog.FileName();

    // A gradebook open here or in another copy of the program is never written over.
    const QString failed = QStringLiteral("L'exportation au format Excel a échoué.");
    try {
        platform::writeWorkbook(path, platform::isValidSheetName(sheetName) ? sheetName : QStringLiteral("Feuil1"),
                                cells, spans);
    } catch (const platform::WorkbookUnavailable&) {
        failure(owner, QStringLiteral("Impossible d'exporter au format Excel."));
        return;
    } catch (const platform::WorkbookError&) {
        failure(owner, failed);
        return;
    }
    messages::msgBox(owner, QStringLiteral("Exportation au format Excel réussie, sous le fichier:\n") + path, 3, 1);
}

void ExportToExcel(const platform::FlexGrid& grid, const QString& heading, QWidget* owner) {
    const Cells cells = GridTexts(grid);
    ExportToExcel(cells, heading, owner, GridSpans(grid, cells));
}

}  // namespace mExcelExport
