#pragma once
#include "PageRenderer.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>

class QPainter;
class QPrinter;
namespace printfile {
class Reader;
}

namespace printing {

// The printers of the machine, in the system's order.
QStringList printerNames();
// The printer the program prints on: the system's default one until the page setup
// chooses another ("" when the machine has none).
QString currentPrinterName();
void setCurrentPrinterName(const QString& name);
// Whether the printer is known to the system, so that texts can be measured on it.
bool printerUsable(const QString& name);

// Scales an open painter so that one unit is one twip of its device.
void scaleToTwips(QPainter& painter);

// Draws pages first to last of the file on the printer, each on a sheet of its own, as one
// print job. False when the printer could not be opened or the job failed, a PDF file not
// written whole included; an earlier file of that name is then left as it was.
bool printPages(QPrinter& printer, const printfile::Reader& file, int first, int last, const QPageLayout& page,
                const RenderSettings& settings);

}  // namespace printing
