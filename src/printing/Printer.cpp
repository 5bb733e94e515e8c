#include "Printer.h"

#include "PrintFile.h"
#include "platform/ReplacingFile.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <optional>

namespace printing {
namespace {

std::optional<QString>& chosenPrinter() {
    static std::optional<QString> name;
    return name;
}

// Whether a PDF file was written to its end: a regular file from its header to its trailer.
bool wholePdf(const QString& path) {
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly) || !f.read(5).startsWith("%PDF-")) return false;
    f.seek(std::max<qint64>(0, f.size() - 64));
    return f.readAll().contains("%%EOF");
}

}  // namespace

QStringList printerNames() { return QPrinterInfo::availablePrinterNames(); }

QString currentPrinterName() {
    if (!chosenPrinter()) chosenPrinter() = QPrinterInfo::defaultPrinterName();
    return *chosenPrinter();
}

void setCurrentPrinterName(const QString& name) { chosenPrinter() = name; }

bool printerUsable(const QString& name) { return !name.isEmpty() && !QPrinterInfo::printerInfo(name).isNull(); }

void scaleToTwips(QPainter& painter) {
    const QPaintDevice* device = painter.device();
    painter.scale(device->logicalDpiX() / 1440.0, device->logicalDpiY() / 1440.0);
}

bool printPages(QPrinter& printer, const printfile::Reader& file, int first, int last, const QPageLayout& page,
                const RenderSettings& settings) {
    printer.setFullPage(true);
    printer.setPageLayout(page);
    printer.setColorMode(QPrinter::Color);
    // A PDF is written beside its file and takes its place once whole: an earlier file of
    // that name stays as it was when the print fails.
    const QString target = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    std::optional<platform::ReplacingFile> pdf;
    if (!target.isEmpty()) {
        pdf.emplace(target);
        if (!pdf->isValid()) return false;
        printer.setOutputFileName(pdf->fileName());
    }
    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        scaleToTwips(painter);
        for (int p = first; p <= last; ++p) {
            if (p > first) printer.newPage();
            drawPage(painter, file.page(p), settings);
        }
        // The PDF writer reports no failed write: a full disk leaves an empty or cut file,
        // which would pass for the printout.
        printed = painter.end() && printer.printerState() != QPrinter::Error &&
                  printer.printerState() != QPrinter::Aborted && (!pdf || (wholePdf(pdf->fileName()) && pdf->commit()));
    }
    if (pdf) printer.setOutputFileName(target);
    return printed;
}

}  // namespace printing
