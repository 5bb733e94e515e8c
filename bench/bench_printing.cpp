// Times printing a 20-page print file to PDF (reading the file, then drawing every record
// of every page) beside the same texts and lines drawn straight from memory with QPainter
// into a PDF: the least any printing of these pages can cost.
#include "BenchKit.h"
#include "printing/PageSetup.h"
#include "printing/PrintFile.h"
#include "printing/Printer.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kPages = 20, kRows = 35, kCols = 14;

struct Cell {
    QString text;
    int x, y;
};
struct Page {
    QList<Cell> texts;
    QList<QLine> lines;
};

// A grade grid as a layout lays it out: a title, column headings, names, grades and
// averages, and the grid lines, on A4 landscape.
QList<Page> pages() {
    QList<Page> all;
    for (int p = 0; p < kPages; ++p) {
        Page page;
        page.texts.append({QStringLiteral("3e B - Mathématiques, page %1").arg(p + 1), 1134, 1134});
        for (int c = 1; c < kCols; ++c) page.texts.append({QStringLiteral("Série %1").arg(c), 1134 + 1800 + c * 900, 1600});
        for (int r = 0; r < kRows; ++r) {
            const int y = 2000 + r * 260;
            page.texts.append({QStringLiteral("Élève%1 Prénom%2").arg(p * kRows + r).arg(r), 1134, y});
            for (int c = 1; c < kCols; ++c)
                page.texts.append({QString::number(5 + (r * 7 + c * 3) % 15) + QStringLiteral(",5"), 1134 + 1800 + c * 900, y});
            page.lines.append(QLine(1134, y - 20, 15700, y - 20));
        }
        for (int c = 0; c <= kCols; ++c) page.lines.append(QLine(2934 + c * 900 - 40, 1580, 2934 + c * 900 - 40, 11200));
        all.append(page);
    }
    return all;
}

void writeFile(const QList<Page>& all, const QString& path) {
    printfile::Writer out;
    for (int p = 0; p < all.size(); ++p) {
        for (const Cell& c : all[p].texts)
            out.add(p + 1, printfile::textRecord(c.x == 1134 && c.y == 1134 ? printfile::Title : printfile::Data, c.text, c.x, c.y));
        for (const QLine& l : all[p].lines) out.add(p + 1, printfile::lineRecord(l.x1(), l.y1(), l.x2(), l.y2()));
    }
    if (!out.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void pdfPrinter(QPrinter& printer, const QString& path, const QPageLayout& page) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setFullPage(true);
    printer.setPageLayout(page);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QList<Page> all = pages();
    const QString file = dir.filePath(QStringLiteral("vsk1.tmp"));
    writeFile(all, file);

    printing::PageSetup setup;
    const QPageLayout page = printing::pageLayout(setup);
    const printing::RenderSettings settings = printing::renderSettings(setup);

    const auto program = [&](int) {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath(QStringLiteral("program.pdf")), page);
        printing::printPages(printer, printfile::Reader::load(file), 1, kPages, page, settings);
    };
    const auto plain = [&](int) {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath(QStringLiteral("plain.pdf")), page);
        QPainter painter(&printer);
        painter.scale(printer.resolution() / 1440.0, printer.resolution() / 1440.0);
        const QFont font = printing::printFont(settings.fontName, settings.fontSize);
        const QFont bold = printing::printFont(settings.fontName, settings.fontSize, true);
        const qreal ascent = QFontMetricsF(font, &printer).ascent();
        QPen pen(Qt::black);
        pen.setCosmetic(true);
        for (int p = 0; p < all.size(); ++p) {
            if (p > 0) printer.newPage();
            for (const Cell& c : all[p].texts) {
                painter.setFont(c.y == 1134 ? bold : font);
                painter.setPen(Qt::black);
                painter.drawText(QPointF(c.x, c.y + ascent), c.text);
            }
            painter.setPen(pen);
            for (const QLine& l : all[p].lines) painter.drawLine(l);
        }
    };
    std::printf("%-40s %14s %14s %8s\n", "operation (median time, microseconds)", "program", "plain QPainter", "ratio");
    bench::compare("print 20 pages to PDF", 1, program, plain);
    return 0;
}
