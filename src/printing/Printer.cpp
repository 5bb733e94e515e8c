#include "Printer.h"

#include "PrintFile.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <optional>

namespace printing {
namespace {

std::optional<QString>& chosenPrinter() {
    static std::optional<QString> name;
    return name;
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
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    scaleToTwips(painter);
    for (int p = first; p <= last; ++p) {
        if (p > first) printer.newPage();
        drawPage(painter, file.page(p), settings);
    }
    return painter.end();
}

}  // namespace printing
