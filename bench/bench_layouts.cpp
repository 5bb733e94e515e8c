// Times laying out the grade grid of 35 students and 40 series, and the class averages of
// 12 subjects, into a print file (copying the grid, measuring every text on the printer
// font, writing the file) beside drawing the same pages to PDF: laying out must cost less
// than the drawing that follows it.
#include "BenchKit.h"
#include "platform/FlexGrid.h"
#include "printing/GridLayouts.h"
#include "printing/PageSetup.h"
#include "printing/Printer.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QString grade(int r, int c) { return QStringLiteral("%1,%2").arg(5 + (r * 7 + c * 3) % 15).arg((r + c) % 2 * 5); }

// The grade grid as the main window fills it: 40 series over three periods, each period
// followed by its average, the general average last.
printing::GradeGridPrint gradeGrid(platform::FlexGrid& grid) {
    printing::GradeGridPrint print;
    print.title = QStringLiteral("3e B - Mathématiques");
    const int series[3] = {14, 13, 13};
    grid.setCols(1 + 40 + 3 + 1);
    grid.setRows(4 + 35 + 2);
    int c = 1;
    for (int p = 0; p < 3; ++p) {
        for (int s = 0; s < series[p]; ++s, ++c) {
            grid.setColData(c, c);
            grid.setTextMatrix(0, c, QStringLiteral("Contrôle %1").arg(c));
            grid.setTextMatrix(1, c, QStringLiteral("20"));
            grid.setTextMatrix(2, c, QStringLiteral("1"));
        }
        grid.setTextMatrix(0, c, QStringLiteral("Moyenne %1").arg(p + 1));
        print.averagePositions[p + 1] = c++;
    }
    grid.setTextMatrix(0, c, QStringLiteral("Moyenne générale"));
    print.averagePositions[4] = c;
    grid.setTextMatrix(1, 0, QStringLiteral("Note/"));
    grid.setTextMatrix(2, 0, QStringLiteral("Coefficient"));
    for (int r = 4; r < grid.Rows() - 2; ++r) {
        grid.setTextMatrix(r, 0, QStringLiteral("Élève%1 Prénom%1").arg(r - 3));
        for (int k = 1; k < grid.Cols(); ++k) grid.setTextMatrix(r, k, grade(r, k));
    }
    grid.setTextMatrix(grid.Rows() - 1, 0, QStringLiteral(" Moyenne"));
    for (int k = 1; k < grid.Cols(); ++k) grid.setTextMatrix(grid.Rows() - 1, k, grade(0, k));
    return print;
}

// The class averages: 12 subjects and the general group, every period shown.
printing::ClassGridPrint classGrid(platform::FlexGrid& grid) {
    printing::ClassGridPrint print;
    print.title = QStringLiteral("Troisième B");
    grid.setCols(1 + 4 * 13);
    grid.setRows(4 + 35 + 2);
    for (int c = 1; c < grid.Cols(); ++c) {
        const int group = (c - 1) / 4;
        grid.setColWidth(c, 600);
        grid.setTextMatrix(0, c, group < 12 ? QStringLiteral("Matière numéro %1").arg(group + 1) : QStringLiteral("Moyenne générale"));
        grid.setTextMatrix(1, c, QStringList{QStringLiteral("M 1"), QStringLiteral("M 2"), QStringLiteral("M 3"),
                                             QStringLiteral("An")}[(c - 1) % 4]);
        for (int r = 4; r < grid.Rows(); ++r)
            if (r != grid.Rows() - 2) grid.setTextMatrix(r, c, grade(r, c));
    }
    grid.setTextMatrix(2, 0, QStringLiteral("Coefficient"));
    for (int r = 4; r < grid.Rows() - 2; ++r) grid.setTextMatrix(r, 0, QStringLiteral("Élève%1 Prénom%1").arg(r - 3));
    grid.setTextMatrix(grid.Rows() - 1, 0, QStringLiteral("Moyenne"));
    return print;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const printing::PageSetup setup;  // A4 landscape, Arial 10, grid lines
    const QPageLayout page = printing::pageLayout(setup);
    const printing::RenderSettings settings = printing::renderSettings(setup);
    const QString file = dir.filePath(QStringLiteral("vsk1.tmp"));

    platform::FlexGrid notesGrid, classesGrid;
    const printing::GradeGridPrint notes = gradeGrid(notesGrid);
    const printing::ClassGridPrint classes = classGrid(classesGrid);
    int pages = 0;

    const auto layNotes = [&](int) {
        printing::GradeGridPrint what{printing::snapshotOf(notesGrid), notes.title, notes.averagePositions};
        printing::FontMeasurer measurer;
        printfile::Writer out;
        if (!printing::CreateFileflxNotes(what, PrintChoices{}, setup, measurer, out) || !out.save(file))
            std::fprintf(stderr, "layout failed\n");
        pages = out.pageCount();
    };
    const auto layClasses = [&](int) {
        printing::ClassGridPrint what{printing::snapshotOf(classesGrid), classes.title, classes.periodsShown};
        printing::FontMeasurer measurer;
        printfile::Writer out;
        if (!printing::CreateFileflxClass(what, setup, measurer, out) || !out.save(file))
            std::fprintf(stderr, "layout failed\n");
        pages = out.pageCount();
    };
    // The drawing of the file just laid out, every page, to PDF.
    const auto render = [&](int) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("pages.pdf")));
        const printfile::Reader read = printfile::Reader::load(file);
        printing::printPages(printer, read, 1, pages, page, settings);
    };

    std::printf("%-40s %14s %14s %8s\n", "operation (median time, microseconds)", "layout", "drawing", "ratio");
    layNotes(0);
    bench::compare("grade grid 35 x 40 series", 3, layNotes, render);
    std::printf("  (%d pages)\n", pages);
    layClasses(0);
    bench::compare("class averages, 12 subjects", 3, layClasses, render);
    std::printf("  (%d pages)\n", pages);
    return 0;
}
