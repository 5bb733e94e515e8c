#include "WorkbookReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSet>
#include <QProcess>

namespace testsupport {
namespace {

// Prints the sheet names, the first sheet's cells (a text as a string, a number as
// [value, number format]; a blank cell, as of a merged range, left out), the widths of its
// columns that have one and its merged ranges ("B1:D1").
const char* const kReader = R"(
import json, sys, zipfile, xml.etree.ElementTree as ET
m = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
z = zipfile.ZipFile(sys.argv[1])
xml = lambda name: ET.fromstring(z.read(name))
sheets = [s.get('name') for s in xml('xl/workbook.xml').iter(m + 'sheet')]
strings = [''.join(t.text or '' for t in si.iter(m + 't')) for si in xml('xl/sharedStrings.xml').iter(m + 'si')] if 'xl/sharedStrings.xml' in z.namelist() else []
codes = {f.get('numFmtId'): f.get('formatCode') for f in xml('xl/styles.xml').iter(m + 'numFmt')}
formats = [codes.get(x.get('numFmtId'), '') for x in xml('xl/styles.xml').find(m + 'cellXfs').iter(m + 'xf')]
sheet = xml('xl/worksheets/sheet1.xml')
cells = {}
for c in sheet.iter(m + 'c'):
    if c.find(m + 'v') is None: continue
    v = c.find(m + 'v').text
    cells[c.get('r')] = strings[int(v)] if c.get('t') == 's' else [float(v), formats[int(c.get('s', '0'))]]
letters = lambda n: letters((n - 1) // 26) + chr(65 + (n - 1) % 26) if n else ''
widths = {letters(n): float(c.get('width')) for c in sheet.iter(m + 'col') for n in range(int(c.get('min')), int(c.get('max')) + 1)}
merged = [r.get('ref') for r in sheet.iter(m + 'mergeCell')]
print(json.dumps({'sheets': sheets, 'cells': cells, 'widths': widths, 'merged': merged}))
)";

// The column of a cell ("AB12" is 28), and a column's letters.
int columnNumber(const QString& cell) {
    int n = 0;
    for (int i = 0; i < cell.size() && cell.at(i).isUpper(); ++i) n = n * 26 + (cell.at(i).unicode() - u'A' + 1);
    return n;
}
QString columnLetters(int n) {
    QString letters;
    for (; n > 0; n = (n - 1) / 26) letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

}  // namespace

QJsonObject readWorkbook(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kReader), path});
    python.waitForFinished();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QStringList unfittedColumns(const QJsonObject& book) {
    const QJsonObject widths = book.value(QStringLiteral("widths")).toObject();
    const QJsonObject cells = book.value(QStringLiteral("cells")).toObject();
    const auto shown = [](const QJsonValue& cell) {
        const QJsonArray number = cell.toArray();  // [value, "0.00"]
        const QString text = cell.isString() ? cell.toString()
                                             : QString::number(number.at(0).toDouble(), 'f', qMax(0, int(number.at(1).toString().size()) - 2));
        return double(qMin<qsizetype>(text.size(), 60));
    };
    QMap<QString, QString> merged;  // the first cell of each merged range, and the range
    for (const QJsonValue range : book.value(QStringLiteral("merged")).toArray())
        merged.insert(range.toString().section(u':', 0, 0), range.toString());
    QMap<int, double> longest;  // by column, merged headings left out
    for (auto cell = cells.begin(); cell != cells.end(); ++cell)
        if (!merged.contains(cell.key()))
            longest[columnNumber(cell.key())] = qMax(longest.value(columnNumber(cell.key())), shown(cell.value()));

    QStringList unfitted;
    QSet<int> shared;  // columns under a merged heading, which may widen them
    for (const QString& range : std::as_const(merged)) {
        double width = 0, holds = 0;
        for (int c = columnNumber(range.section(u':', 0, 0)); c <= columnNumber(range.section(u':', 1)); ++c) {
            width += widths.value(columnLetters(c)).toDouble();
            holds += longest.value(c);
            shared << c;
        }
        const double heading = shown(cells.value(range.section(u':', 0, 0)));
        if (width <= heading || width > qMax(heading, holds) * 1.5 + 2) unfitted << range;
    }
    for (auto column = longest.begin(); column != longest.end(); ++column) {
        const double width = widths.value(columnLetters(column.key())).toDouble();
        if (width <= column.value() || (!shared.contains(column.key()) && width > column.value() * 1.5 + 2))
            unfitted << columnLetters(column.key());
    }
    return unfitted;
}

}  // namespace testsupport
