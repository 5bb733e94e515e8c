#pragma once
#include "DbTestSupport.h"  // fileBytes, writeFile
#include "platform/Modal.h"

#include <QRectF>
#include <QString>
#include <QStringList>

namespace testsupport {

// Answers the print dialog: prints to the PDF file `pdf` (whatever printers the machine
// has), pages `from` to `to` when from is not 0, otherwise all pages.
platform::ModalResponder printToPdf(const QString& pdf, int from = 0, int to = 0);

// A field of a PDF's information ("Title"), and its number of pages; "" and 0 when it
// cannot be read.
QString pdfInfo(const QString& pdf, const QString& field);
int pdfPages(const QString& pdf);
// Its text, pages separated by form feeds.
QString pdfText(const QString& pdf);
// The box, in points, of the first word `word` printed on it; empty when there is none.
QRectF pdfWordBox(const QString& pdf, const QString& word);

// The standard output of a program, "" when it fails.
QString run(const QString& program, const QStringList& args);

}  // namespace testsupport
