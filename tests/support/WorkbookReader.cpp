#include "WorkbookReader.h"

#include <QJsonDocument>
#include <QProcess>

namespace testsupport {
namespace {

// Prints the sheet names and the first sheet's cells: a text as a string, a number as
// [value, number format].
const char* const kReader = R"(
import json, sys, zipfile, xml.etree.ElementTree as ET
m = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
z = zipfile.ZipFile(sys.argv[1])
xml = lambda name: ET.fromstring(z.read(name))
sheets = [s.get('name') for s in xml('xl/workbook.xml').iter(m + 'sheet')]
strings = [''.join(t.text or '' for t in si.iter(m + 't')) for si in xml('xl/sharedStrings.xml').iter(m + 'si')] if 'xl/sharedStrings.xml' in z.namelist() else []
codes = {f.get('numFmtId'): f.get('formatCode') for f in xml('xl/styles.xml').iter(m + 'numFmt')}
formats = [codes.get(x.get('numFmtId'), '') for x in xml('xl/styles.xml').find(m + 'cellXfs').iter(m + 'xf')]
cells = {}
for c in xml('xl/worksheets/sheet1.xml').iter(m + 'c'):
    v = c.find(m + 'v').text
    cells[c.get('r')] = strings[int(v)] if c.get('t') == 's' else [float(v), formats[int(c.get('s', '0'))]]
print(json.dumps({'sheets': sheets, 'cells': cells}))
)";

}  // namespace

QJsonObject readWorkbook(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kReader), path});
    python.waitForFinished();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

}  // namespace testsupport
