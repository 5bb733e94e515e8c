#include "WorkbookReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>

namespace testsupport {
namespace {

// Prints the sheet names, the first sheet's cells (a text as a string, a number as
// [value, number format]) and the widths of its columns that have one.
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
    v = c.find(m + 'v').text
    cells[c.get('r')] = strings[int(v)] if c.get('t') == 's' else [float(v), formats[int(c.get('s', '0'))]]
letters = lambda n: letters((n - 1) // 26) + chr(65 + (n - 1) % 26) if n else ''
widths = {letters(n): float(c.get('width')) for c in sheet.iter(m + 'col') for n in range(int(c.get('min')), int(c.get('max')) + 1)}
print(json.dumps({'sheets': sheets, 'cells': cells, 'widths': widths}))
)";

}  // namespace

QJsonObject readWorkbook(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kReader), path});
    python.waitForFinished();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QStringList unfittedColumns(const QJsonObject& book) {
    QMap<QString, qsizetype> longest;
    const QJsonObject cells = book.value(QStringLiteral("cells")).toObject();
    for (auto cell = cells.begin(); cell != cells.end(); ++cell) {
        const QJsonArray number = cell.value().toArray();  // [value, "0.00"]
        const QString shown = cell.value().isString()
                                  ? cell.value().toString()
                                  : QString::number(number.at(0).toDouble(), 'f', qMax(0, int(number.at(1).toString().size()) - 2));
        const QString column = cell.key().left(cell.key().indexOf(QRegularExpression(QStringLiteral("[0-9]"))));
        longest[column] = qMax(longest.value(column), shown.size());
    }
    QStringList unfitted;
    const QJsonObject widths = book.value(QStringLiteral("widths")).toObject();
    for (auto column = longest.begin(); column != longest.end(); ++column) {
        const double needed = double(qMin<qsizetype>(column.value(), 60)), width = widths.value(column.key()).toDouble();
        if (width <= needed || width > needed * 1.5 + 2) unfitted << column.key();
    }
    return unfitted;
}

}  // namespace testsupport
