#include "Printer.h"

#include "PrintFile.h"

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
    const QString pdf = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    const QFileInfo before(pdf);
    const bool ours = !pdf.isEmpty() && !before.exists() && !before.isSymLink();
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
                  printer.printerState() != QPrinter::Aborted && (pdf.isEmpty() || wholePdf(pdf));
    }
    // Only a file this print created is ours to remove.
    if (!printed && ours && QFileInfo(pdf).isFile()) QFile::remove(pdf);
    return printed;
}

}  // namespace printing
