// Linked into every test executable: however a test is run (through ctest, by hand, under a
// debugger), it sees none of the machine's printers. The print dialog, the page setup and
// the printer a preview starts on would otherwise follow the machine's print queues.
#include <QByteArray>
#include <QtGlobal>

namespace {

// Before main, so before Qt's printing support first asks CUPS: a print server at a path
// that cannot exist has no queue and no default printer.
void hidePrinters() { qputenv("CUPS_SERVER", "/dev/null/no-print-server"); }

}  // namespace

Q_CONSTRUCTOR_FUNCTION(hidePrinters)
