#include "cPrintDlg.h"

#include "Printer.h"
#include "VersionInfo.h"
#include "platform/Modal.h"
#include "platform/Paths.h"
#include "platform/SystemMessage.h"
#include "platform/VbError.h"

#include <QDir>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace {

constexpr int kPortrait = 1, kLandscape = 2;
constexpr int kMonochrome = 1, kColour = 2;

struct Bin {
    int code;
    QPrinter::PaperSource source;
};
constexpr Bin kBins[] = {
    {1, QPrinter::Upper},          {2, QPrinter::Lower},          {3, QPrinter::Middle},
    {4, QPrinter::Manual},         {5, QPrinter::Envelope},       {6, QPrinter::EnvelopeManual},
    {7, QPrinter::Auto},           {8, QPrinter::Tractor},        {9, QPrinter::SmallFormat},
    {10, QPrinter::LargeFormat},   {11, QPrinter::LargeCapacity}, {14, QPrinter::Cassette},
    {15, QPrinter::FormSource},    {256, QPrinter::CustomSource},
};

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

void cPrintDlg::setPrintQuality(int quality) {
    if (quality < -32768 || quality > 32767)
        throw platform::VbError(platform::kErrOverflow, QStringLiteral("cPrintDlg"), QStringLiteral("Dépassement de capacité"));
    if (quality > 0) m_printer->setResolution(quality);
}

int cPrintDlg::PaperSize() const { return m_printer->pageLayout().pageSize().windowsId(); }

void cPrintDlg::setPaperSize(int size) {
    // A paper of its own size is given by its width and length.
    if (const QPageSize::PageSizeId id = QPageSize::id(size); id != QPageSize::Custom) m_printer->setPageSize(QPageSize(id));
}

int cPrintDlg::PaperWidth() const {
    return qRound(m_printer->pageLayout().pageSize().size(QPageSize::Millimeter).width() * 10);
}

void cPrintDlg::setPaperWidth(int tenths) { setPaper(QSizeF(tenths / 10.0, PaperLength() / 10.0)); }

int cPrintDlg::PaperLength() const {
    return qRound(m_printer->pageLayout().pageSize().size(QPageSize::Millimeter).height() * 10);
}

void cPrintDlg::setPaperLength(int tenths) { setPaper(QSizeF(PaperWidth() / 10.0, tenths / 10.0)); }

void cPrintDlg::setPaper(const QSizeF& millimetres) {
    if (!millimetres.isEmpty()) m_printer->setPageSize(QPageSize(millimetres, QPageSize::Millimeter));
}

int cPrintDlg::ColorMode() const { return m_printer->colorMode() == QPrinter::Color ? kColour : kMonochrome; }

void cPrintDlg::setColorMode(int mode) {
    if (mode == kMonochrome || mode == kColour) m_printer->setColorMode(mode == kColour ? QPrinter::Color : QPrinter::GrayScale);
}

int cPrintDlg::Orientation() const {
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
}

void cPrintDlg::setOrientation(int orientation) {
    if (orientation == kPortrait || orientation == kLandscape)
        m_printer->setPageOrientation(orientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int cPrintDlg::DefaultSource() const {
    for (const Bin& bin : kBins)
        if (bin.source == m_printer->paperSource()) return bin.code;
    return 0;
}

void cPrintDlg::setDefaultSource(int code) {
    for (const Bin& bin : kBins)
        if (bin.code == code) m_printer->setPaperSource(bin.source);
}

void cPrintDlg::setCopiesAndCollateByApp(bool byApp) {
    setFlag(PD_USEDEVMODECOPIESANDCOLLATE, !byApp);
    if (byApp) oneCopy();
}

void cPrintDlg::oneCopy() {
    m_printer->setCopyCount(1);
    m_printer->setCollateCopies(false);
}

void cPrintDlg::setCopies(int copies) {
    if (CopiesAndCollateByApp())
        m_copies = copies;
    else
        m_printer->setCopyCount(copies);
}

void cPrintDlg::setCollate(bool collate) {
    if (CopiesAndCollateByApp())
        setFlag(PD_COLLATE, collate);
    else
        m_printer->setCollateCopies(collate);
}

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

long cPrintDlg::prepare(QWidget* owner) {
    const QStringList printers = printing::printerNames();
    long trouble = CDERR_CANCELLED;
    if (!m_printerName.isEmpty() && !printers.contains(m_printerName))
        trouble = PDERR_PRINTERNOTFOUND;
    else if (printers.isEmpty())
        trouble = PDERR_NODEVICES;
    else if (m_printerName.isEmpty() && QPrinterInfo::defaultPrinterName().isEmpty())
        trouble = PDERR_NODEFAULTPRN;
    // The dialog still opens, on another printer or on a PDF file.
    if (trouble != CDERR_CANCELLED && !NoWarning())
        platform::warningMessage(owner, platform::version::productName(), errorText(trouble));
    if (printers.contains(m_printerName)) m_printer->setPrinterName(m_printerName);
    if (CopiesAndCollateByApp()) {
        m_printer->setCopyCount(std::max(1, m_copies));
        m_printer->setCollateCopies(m_flags & PD_COLLATE);
    }
    return trouble;
}

bool cPrintDlg::finish(bool confirmed, long trouble) {
    if (CopiesAndCollateByApp()) {
        if (confirmed) {
            m_copies = m_printer->copyCount();
            setFlag(PD_COLLATE, m_printer->collateCopies());
        }
        oneCopy();
    }
    m_error = confirmed ? CDERR_CANCELLED : trouble;
    return confirmed;
}

bool cPrintDlg::ShowPrint(QWidget* owner) {
    setFlag(PD_PRINTSETUP, false);
    // The dialog opens on the printer's output: a printer, the one named when the machine
    // has it, or the PDF file.
    if (!PrintToFile()) m_printer->setOutputFormat(QPrinter::NativeFormat);
    const long trouble = prepare(owner);
    if (PrintToFile()) m_printer->setOutputFormat(QPrinter::PdfFormat);
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

    if (!finish(platform::showModal(dialog, owner) == QDialog::Accepted, trouble)) return false;
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

bool cPrintDlg::ShowSetup(QWidget* owner) {
    setFlag(PD_PRINTSETUP, true);
    const long trouble = prepare(owner);
    QPageSetupDialog dialog(m_printer.get(), owner);
    dialog.setObjectName(QStringLiteral("cPrintDlg"));
    return finish(platform::showModal(dialog, owner) == QDialog::Accepted, trouble);
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
