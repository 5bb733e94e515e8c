#include "cPrintDlg.h"

#include "platform/Modal.h"
#include "platform/Paths.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace {

// For as long as it lives, the working folder is `folder`, made when missing.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& folder) : m_previous(QDir::currentPath()) {
        QDir().mkpath(folder);
        QDir::setCurrent(folder);
    }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    QString m_previous;
};

}  // namespace

cPrintDlg::cPrintDlg() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    m_printerName = m_printer->printerName();
}

cPrintDlg::~cPrintDlg() = default;

int cPrintDlg::PrintRange() const { return m_flags & PD_SELECTION ? 2 : m_flags & PD_PAGENUMS ? 1 : 0; }

void cPrintDlg::setPrintRange(int range) {
    if (range == 1) {
        m_flags = (m_flags | PD_PAGENUMS) & ~PD_SELECTION;
    } else if (range == 2) {
        m_flags |= PD_SELECTION;
    } else {
        m_flags &= ~(PD_SELECTION | PD_PAGENUMS);
    }
}

bool cPrintDlg::ShowPrint(QWidget* owner) {
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    if (printers.contains(m_printerName)) m_printer->setPrinterName(m_printerName);
    const QPrinter::PrintRange ranges[] = {QPrinter::AllPages, QPrinter::PageRange, QPrinter::Selection};
    m_printer->setPrintRange(ranges[PrintRange()]);
    if (m_fromPage >= 1 && m_toPage >= m_fromPage) m_printer->setFromTo(m_fromPage, m_toPage);

    // The dialog proposes its PDF file in the working folder (in the home folder when that
    // lies elsewhere), which is wherever the program was started from: it proposes the
    // program's documents folder, where its other files go, instead.
    const WorkingFolder documents(platform::paths::userFolder());
    QPrintDialog dialog(m_printer.get(), owner);
    dialog.setObjectName(QStringLiteral("cPrintDlg"));
    dialog.setMinMax(m_minPage, m_maxPage);
    if (m_fromPage >= 1 && m_toPage >= m_fromPage) dialog.setFromTo(m_fromPage, m_toPage);
    // The dialog's file output is a PDF, the usual way to keep or send a printout, not the
    // printer-language file that DisablePrintToFile withdraws: it stays offered.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, !DisableSelection());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, !DisablePages());
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);

    if (platform::showModal(dialog, owner) != QDialog::Accepted) {
        m_error = CDERR_CANCELLED;
        return false;
    }
    m_printerName = m_printer->printerName();
    const bool toFile = m_printer->outputFormat() == QPrinter::PdfFormat;
    setFlag(PD_PRINTTOFILE, toFile);
    switch (m_printer->printRange()) {
    case QPrinter::PageRange:
        setPrintRange(1);
        m_fromPage = m_printer->fromPage();
        m_toPage = m_printer->toPage();
        break;
    case QPrinter::Selection: setPrintRange(2); break;
    default: setPrintRange(0); break;
    }
    return true;
}

QString cPrintDlg::errorText(long code) {
    switch (code) {
    case CDERR_CANCELLED: return QStringLiteral("L'utilisateur a annulé l'opération.");
    case PDERR_NODEVICES: return QStringLiteral("Aucune imprimante trouvée.");
    case PDERR_NODEFAULTPRN: return QStringLiteral("Il n'y a pas d'imprimante par défaut.");
    case PDERR_PRINTERNOTFOUND: return QStringLiteral("Imprimante non trouvée");
    default: return QStringLiteral("Impossible d'ouvrir la fenêtre de configuration d'impression.");
    }
}

long cPrintDlg::ErrCodeDlg(QString& text) const {
    text = errorText(m_error);
    return m_error;
}
