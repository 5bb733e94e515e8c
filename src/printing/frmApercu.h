#pragma once
#include "PageRenderer.h"
#include "PageSetup.h"
#include "PrintFile.h"
#include "frmConfigImpression.h"

#include <QDialog>
#include <QVector>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QToolBar;
class QToolButton;
class cScrollBar;
namespace platform {
class TrackedTemporary;
}

// What a layout gets to lay a grid out into pages: the page setup and its geometry, the
// print choices, and a measurer whose font the layout sets before measuring.
struct LayoutInput {
    const printing::PageSetup& setup;
    const printing::PageGeometry& geometry;
    const PrintChoices& choices;
    printing::PrinterMeasurer& measurer;
};
// A layout writes the pages of one grid; false when it cannot.
using Layout = std::function<bool(const LayoutInput& input, printfile::Writer& out)>;

// The scroll geometry of the preview, in twips: the window's inner size, the height of
// the bars above the page, the page picture's size and its current top in the window.
struct ScrollRanges {
    int verticalMax = 0, verticalPage = 0, horizontalMax = 0;
};
ScrollRanges scrollRanges(int innerWidth, int innerHeight, int toolbarHeight, int pictureWidth, int pictureHeight,
                          int pictureTop);

// The preview "Aperçu avant impression": the grid named GridName laid out into a print
// file at the first showing and again after each accepted page setup, shown page by page
// at full size, and printed on the printer chosen in the print dialog. Closing it deletes
// the print file and unloads the page setup and the print choices.
// (No Q_OBJECT: moc does not take the accented name, and the window has no signals.)
class frmAperçu : public QDialog {
public:
    frmAperçu();
    ~frmAperçu() override;

    // The layout that prints the grid of that name ("flxNotes", "flxClass", "flxMoy").
    static void setLayout(const QString& gridName, Layout layout);

    QString GridName;
    // The printed grid's title, which names the print job and the PDF.
    QString DocName;
    int PageWidth = 0, PageHeight = 0;
    int MarginTop = 0, MarginBottom = 0, MarginLeft = 0, MarginRight = 0;
    QString PrintFile;
    int PageCount = 0;
    bool Activated = false;

    // Draws pages first to last: mode 0 into the preview (first and last are equal), mode 1
    // on the printer, clamped to the pages of the file.
    void Imprime(int mode, int first, int last);
    // Text fitting on the measurer of the current build.
    QString FitText(const QString& text, int width) const;
    int FitCount(const QString& text, int width) const;
    printing::FontMeasurer& measurer() { return m_measurer; }

    // The page shown: the label's Tag.
    int shownPage() const;
    // The settings the print file was built with.
    const printing::RenderSettings& renderSettings() const { return m_settings; }

    cScrollBar* msb;
    QWidget* picAperçu;
    QToolBar* tooBar;
    QVector<QToolButton*> imaNav;  // previous, next, first, last page
    QLabel* lblPage;
    QAction* mnuClose;
    QAction* mnuImprimer;
    QAction* mnuMiseEnPage;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PagePicture;
    bool CreatePrintFile();
    void SetupPage(const printing::PageSetup& setup);
    void updateScrollRanges();
    void msb_Change(int bar);
    void imaNav_Click(int index);
    void mnuImprimer_Click();
    void mnuMiseEnPage_Click();
    void Form_Unload();
    bool failBuild();

    QWidget* m_client;
    printing::FontMeasurer m_measurer;
    printing::RenderSettings m_settings;
    QPageLayout m_pageLayout;
    printfile::Reader m_file;
    QStringList m_shownRecords;
    QPrinter* m_printer = nullptr;
    std::unique_ptr<platform::TrackedTemporary> m_folder;
    int m_builds = 0;
    bool m_unloaded = false;
};
