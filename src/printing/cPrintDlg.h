#pragma once
#include <QPrinter>
#include <QString>
#include <memory>

class QWidget;

// The print dialog, prepared for one print command: a printer and page bounds go in;
// confirmation, the printer chosen (its full name), its paper source, the range and its
// first and last page come back. The printer that the dialog set up is the one to print on.
// Printing to a PDF file stays offered, whatever DisablePrintToFile says.
//
// The printer's settings are those of that printer, read and written in the codes that
// printer settings are given in: Orientation 1 portrait, 2 landscape; ColorMode 1
// monochrome, 2 colour; PaperSize the system's paper numbers (9 A4, 11 A5, 1 Letter, 256 a
// paper of its own size); PaperWidth and PaperLength in tenths of a millimetre, as the
// paper stands in portrait; PrintQuality in dots per inch; DefaultSource the system's paper
// bins (1 the upper or only tray, 4 manual feed, 7 automatic, 14 a cassette, 256 a tray of
// the printer's own). A code the printer has no meaning for leaves it as it is.
class cPrintDlg {
public:
    // The flags of the dialog's choices, as the range and the switches are kept.
    enum : int {
        PD_SELECTION = 0x1,
        PD_PAGENUMS = 0x2,
        PD_NOSELECTION = 0x4,
        PD_NOPAGENUMS = 0x8,
        PD_COLLATE = 0x10,
        PD_PRINTTOFILE = 0x20,
        PD_PRINTSETUP = 0x40,
        PD_NOWARNING = 0x80,
        PD_USEDEVMODECOPIESANDCOLLATE = 0x40000,
        PD_DISABLEPRINTTOFILE = 0x80000,
    };
    // Codes of ErrCodeDlg.
    enum : long { CDERR_CANCELLED = 0, PDERR_NODEVICES = 4103, PDERR_NODEFAULTPRN = 4104, PDERR_PRINTERNOTFOUND = 4107 };

    cPrintDlg();
    ~cPrintDlg();
    cPrintDlg(const cPrintDlg&) = delete;
    cPrintDlg& operator=(const cPrintDlg&) = delete;

    QString PrinterName() const { return m_printerName; }
    // The dialog opens on that printer when the machine has it.
    void setPrinterName(const QString& name) { m_printerName = name; }

    int PrintQuality() const { return m_printer->resolution(); }
    // A value beyond 16 bits raises an overflow error. The named qualities (draft to high,
    // negative numbers) leave the resolution as it is: the printer knows dots per inch only.
    void setPrintQuality(int quality);
    int PaperSize() const;
    void setPaperSize(int size);
    int PaperWidth() const;
    void setPaperWidth(int tenths);
    int PaperLength() const;
    void setPaperLength(int tenths);
    int ColorMode() const;
    void setColorMode(int mode);
    int Orientation() const;
    void setOrientation(int orientation);
    // Kept for the caller only: the printer has no scale of its own, pages print at full size.
    int PrintScale() const { return m_scale; }
    void setPrintScale(int percent) { m_scale = percent; }
    int DefaultSource() const;
    void setDefaultSource(int bin);

    // When the program prints the copies itself, Copies and Collate are the dialog's choices
    // and the printer makes one copy; otherwise they are the printer's settings.
    bool CopiesAndCollateByApp() const { return !(m_flags & PD_USEDEVMODECOPIESANDCOLLATE); }
    void setCopiesAndCollateByApp(bool byApp);
    int Copies() const { return CopiesAndCollateByApp() ? m_copies : m_printer->copyCount(); }
    void setCopies(int copies);
    bool Collate() const { return (m_flags & PD_COLLATE) || m_printer->collateCopies(); }
    void setCollate(bool collate);
    // Set at creation: the machine's want of printers is not told before the dialog.
    bool NoWarning() const { return m_flags & PD_NOWARNING; }
    void setNoWarning(bool on) { setFlag(PD_NOWARNING, on); }

    // 2 selection, 1 a page range, 0 all pages. Setting 1 leaves only the page range;
    // setting 2 adds the selection; anything else clears both.
    int PrintRange() const;
    void setPrintRange(int range);
    int FromPage() const { return m_fromPage; }
    void setFromPage(int page) { m_fromPage = page; }
    int ToPage() const { return m_toPage; }
    void setToPage(int page) { m_toPage = page; }
    int MinPage() const { return m_minPage; }
    void setMinPage(int page) { m_minPage = page; }
    int MaxPage() const { return m_maxPage; }
    void setMaxPage(int page) { m_maxPage = page; }
    // Whether the dialog's choice is a PDF file: set, the dialog opens on its file entry;
    // cleared, on a printer. A machine without printers has the file only.
    bool PrintToFile() const { return m_flags & PD_PRINTTOFILE; }
    void setPrintToFile(bool on) { setFlag(PD_PRINTTOFILE, on); }
    bool DisablePages() const { return m_flags & PD_NOPAGENUMS; }
    void setDisablePages(bool on) { setFlag(PD_NOPAGENUMS, on); }
    bool DisableSelection() const { return m_flags & PD_NOSELECTION; }
    void setDisableSelection(bool on) { setFlag(PD_NOSELECTION, on); }
    bool DisablePrintToFile() const { return m_flags & PD_DISABLEPRINTTOFILE; }
    void setDisablePrintToFile(bool on) { setFlag(PD_DISABLEPRINTTOFILE, on); }
    int Flags() const { return m_flags; }

    // Show the print dialog, or the setup form of the printer's paper and orientation,
    // modal over `owner`; true when the user confirmed it.
    bool ShowPrint(QWidget* owner = nullptr);
    bool ShowSetup(QWidget* owner = nullptr);
    // Why the last dialog gave no printer to print on, and its French text: the machine's
    // printers when they were wanting (none at all, no default one, the one asked for
    // missing), else 0, the user's cancel.
    long ErrCodeDlg(QString& text) const;
    static QString errorText(long code);

    QPrinter& printer() { return *m_printer; }

private:
    void setFlag(int flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }
    void setPaper(const QSizeF& millimetres);
    // The printer's part when the program makes the copies.
    void oneCopy();
    // Before a dialog: the asked printer and the program's copies on the printer, and what
    // the machine's printers lack, told unless NoWarning. After it: the program's copies
    // taken back, and the reason of a refusal kept; returns `confirmed`.
    long prepare(QWidget* owner);
    bool finish(bool confirmed, long trouble);

    std::unique_ptr<QPrinter> m_printer;
    QString m_printerName;
    int m_flags = PD_USEDEVMODECOPIESANDCOLLATE | PD_NOWARNING;
    int m_fromPage = 0, m_toPage = 0, m_minPage = 0, m_maxPage = 0;
    int m_copies = 1;
    int m_scale = 100;
    long m_error = CDERR_CANCELLED;
};
