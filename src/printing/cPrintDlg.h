#pragma once
#include <QPrinter>
#include <QString>
#include <memory>

class QWidget;

// The print dialog, prepared for one print command: a printer and page bounds go in;
// confirmation, the printer chosen (its full name), its paper source, the range and its
// first and last page come back. The printer that the dialog set up is the one to print on.
// Printing to a PDF file stays offered, whatever DisablePrintToFile says.
class cPrintDlg {
public:
    // The flags of the dialog's choices, as the range and the switches are kept.
    enum : int {
        PD_SELECTION = 0x1,
        PD_PAGENUMS = 0x2,
        PD_NOSELECTION = 0x4,
        PD_NOPAGENUMS = 0x8,
        PD_PRINTTOFILE = 0x20,
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
    int DefaultSource() const { return m_printer->paperSource(); }

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
    bool PrintToFile() const { return m_flags & PD_PRINTTOFILE; }
    bool DisablePages() const { return m_flags & PD_NOPAGENUMS; }
    void setDisablePages(bool on) { setFlag(PD_NOPAGENUMS, on); }
    bool DisableSelection() const { return m_flags & PD_NOSELECTION; }
    void setDisableSelection(bool on) { setFlag(PD_NOSELECTION, on); }
    bool DisablePrintToFile() const { return m_flags & PD_DISABLEPRINTTOFILE; }
    void setDisablePrintToFile(bool on) { setFlag(PD_DISABLEPRINTTOFILE, on); }
    int Flags() const { return m_flags; }

    // Shows the dialog modal over `owner`; true when the user confirmed it.
    bool ShowPrint(QWidget* owner = nullptr);
    // The code of the last failure (0 after a cancel) and its French text.
    long ErrCodeDlg(QString& text) const;
    static QString errorText(long code);

    QPrinter& printer() { return *m_printer; }

private:
    void setFlag(int flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }

    std::unique_ptr<QPrinter> m_printer;
    QString m_printerName;
    int m_flags = 0;
    int m_fromPage = 0, m_toPage = 0, m_minPage = 0, m_maxPage = 0;
    long m_error = CDERR_CANCELLED;
};
