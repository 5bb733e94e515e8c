#include "frmApercu.h"

#include "Printer.h"
#include "cPrintDlg.h"
#include "controls/cScrollBar.h"
#include "frmMiseEnPage.h"
#include "platform/FormInstance.h"
#include "platform/Leftovers.h"
#include "platform/Modal.h"
#include "platform/Paths.h"
#include "platform/SystemMessage.h"
#include "platform/Twips.h"
#include "VersionInfo.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

using platform::Form;
using platform::pixelsToTwips;
using platform::twipsToPixels;

namespace {

// The page stands this far from the window's left edge and from the bars above it, and
// the picture is this much larger than the paper.
constexpr int kOffset = 200;
constexpr int kPictureMargin = 500;

std::map<QString, Layout>& layouts() {
    static std::map<QString, Layout> table;
    return table;
}

// The hourglass while the user waits.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// The page, drawn at full size: one twip of screen for one twip of paper.
class PagePicture : public QWidget {
public:
    PagePicture(frmAperçu& preview, QWidget* parent) : QWidget(parent), m_preview(preview) {
        setObjectName(QStringLiteral("picAperçu"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(1.0 / platform::kTwipsPerPixel, 1.0 / platform::kTwipsPerPixel);
        printing::drawPage(painter, m_preview.m_shownRecords, m_preview.m_settings);
    }

private:
    frmAperçu& m_preview;
};

ScrollRanges scrollRanges(int innerWidth, int innerHeight, int toolbarHeight, int pictureWidth, int pictureHeight,
                          int pictureTop) {
    ScrollRanges r;
    // A window larger than the page does not scroll at all.
    r.verticalMax = std::max(0, toolbarHeight + pictureHeight - innerHeight + 400);
    r.verticalPage = std::max(1, (innerHeight - toolbarHeight - pictureTop) / 3);
    r.horizontalMax = std::max(0, pictureWidth - innerWidth + 400);
    return r;
}

void frmAperçu::setLayout(const QString& gridName, Layout layout) { layouts()[gridName] = std::move(layout); }

frmAperçu::frmAperçu() : QDialog(nullptr, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAperçu"));
    setWindowTitle(QStringLiteral("Aperçu avant impression"));

    auto* menu = new QMenuBar(this);
    mnuClose = menu->addAction(QStringLiteral("&Fermer"));
    mnuImprimer = menu->addAction(QStringLiteral("&Imprimer"));
    mnuMiseEnPage = menu->addAction(QStringLiteral("&Mise en page"));

    tooBar = new QToolBar(this);
    tooBar->setObjectName(QStringLiteral("tooBar"));
    tooBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* print = tooBar->addAction(QIcon::fromTheme(QStringLiteral("document-print")), QStringLiteral("Imprimer"));
    tooBar->addSeparator();
    QAction* setup =
        tooBar->addAction(QIcon::fromTheme(QStringLiteral("document-page-setup")), QStringLiteral("Mise en page"));
    tooBar->addSeparator();

    auto* fraNav = new QWidget(tooBar);
    fraNav->setObjectName(QStringLiteral("fraNav"));
    auto* nav = new QHBoxLayout(fraNav);
    nav->setContentsMargins(4, 0, 4, 0);
    const QStyle::StandardPixmap icons[] = {QStyle::SP_ArrowLeft, QStyle::SP_ArrowRight, QStyle::SP_MediaSkipBackward,
                                            QStyle::SP_MediaSkipForward};
    const QString tips[] = {QStringLiteral("Page précédente"), QStringLiteral("Page suivante"),
                            QStringLiteral("Première page"), QStringLiteral("Dernière page")};
    lblPage = new QLabel(fraNav);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPage->setMinimumWidth(90);
    lblPage->setAlignment(Qt::AlignCenter);
    for (int i : {2, 0, 1, 3}) {
        if (i == 1) nav->addWidget(lblPage);
        auto* b = new QToolButton(fraNav);
        b->setIcon(style()->standardIcon(icons[i]));
        b->setToolTip(tips[i]);
        b->setAutoRaise(true);
        imaNav.resize(4);
        imaNav[i] = b;
        nav->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, i] { imaNav_Click(i); });
    }
    tooBar->addWidget(fraNav);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setAutoFillBackground(true);
    m_client->setBackgroundRole(QPalette::Dark);
    picAperçu = new PagePicture(*this, m_client);
    picAperçu->move(twipsToPixels(kOffset), twipsToPixels(kOffset));

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->setMenuBar(menu);
    main->addWidget(tooBar);
    main->addWidget(m_client, 1);

    // Keys go to the window itself (the table below), whatever was clicked last.
    for (QWidget* w : findChildren<QWidget*>()) w->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);

    msb = new cScrollBar(this);
    msb->Create(m_client);
    msb->setSmallChange(cScrollBar::Vertical, 100);
    msb->setLargeChange(cScrollBar::Vertical, 1300);
    msb->setSmallChange(cScrollBar::Horizontal, 100);
    msb->setLargeChange(cScrollBar::Horizontal, 1000);
    msb->BarVisible(cScrollBar::BothBars, true);
    for (int bar : {cScrollBar::Horizontal, cScrollBar::Vertical}) msb->bar(bar)->setFocusPolicy(Qt::NoFocus);
    connect(msb, &cScrollBar::Change, this, &frmAperçu::msb_Change);
    m_client->installEventFilter(this);

    connect(mnuClose, &QAction::triggered, this, &frmAperçu::reject);
    connect(mnuImprimer, &QAction::triggered, this, &frmAperçu::mnuImprimer_Click);
    connect(print, &QAction::triggered, this, &frmAperçu::mnuImprimer_Click);
    connect(mnuMiseEnPage, &QAction::triggered, this, &frmAperçu::mnuMiseEnPage_Click);
    connect(setup, &QAction::triggered, this, &frmAperçu::mnuMiseEnPage_Click);
    resize(900, 650);
}

frmAperçu::~frmAperçu() { Form_Unload(); }

void frmAperçu::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (Activated) return;
    Activated = true;
    const WaitCursor wait;
    if (CreatePrintFile()) Imprime(0, 1, 1);
}

bool frmAperçu::CreatePrintFile() {
    const auto layout = layouts().find(GridName);
    if (layout == layouts().end() || !layout->second) return false;
    if (!PrintFile.isEmpty()) QFile::remove(PrintFile);

    // The build reads the settings dialogs as they stand, and keeps what it read: the file
    // is always drawn with the font, colours and paper it was laid out for.
    const printing::PageSetup setup = Form<frmMiseEnPage>::get().pageSetup();
    const PrintChoices choices =
        Form<frmConfigImpression>::isLoaded() ? Form<frmConfigImpression>::get().choices() : PrintChoices{};
    SetupPage(setup);

    // A folder of our own, which no other user can enter, in a place that is the user's alone
    // rather than the shared temporary folder; the grid's names and grades in it go at the
    // next start when the program is killed.
    if (!m_folder)
        m_folder = std::make_unique<platform::TrackedTemporary>(platform::paths::privateFolder(), QString(),
                                                                platform::TrackedTemporary::PrivateFolder,
                                                                platform::TrackedTemporary::Contents::PrintFiles);
    if (!m_folder->isValid()) return failBuild();
    PrintFile = m_folder->path() + QStringLiteral("/vsk%1.tmp").arg(++m_builds);

    const printing::PageGeometry geometry = printing::pageGeometry(setup);
    printfile::Writer out;
    const LayoutInput input{setup, geometry, choices, m_measurer};
    if (!layout->second(input, out) || !out.save(PrintFile)) return failBuild();

    m_file = printfile::Reader::load(PrintFile);
    m_settings = printing::renderSettings(setup);
    m_pageLayout = printing::pageLayout(setup);
    PageCount = out.pageCount();
    return true;
}

bool frmAperçu::failBuild() {
    platform::criticalMessage(this, platform::version::productName(),
                              QStringLiteral("Impossible de créer le fichier temporaire d'impression."));
    PageCount = 0;
    // Closed once back in the event loop: the first build runs while the window is being
    // shown, before its modal loop has started.
    QMetaObject::invokeMethod(this, &frmAperçu::reject, Qt::QueuedConnection);
    return false;
}

void frmAperçu::SetupPage(const printing::PageSetup& setup) {
    const printing::PageGeometry g = printing::pageGeometry(setup);
    PageWidth = g.width;
    PageHeight = g.height;
    MarginTop = g.top;
    MarginBottom = g.bottom;
    MarginLeft = g.left;
    MarginRight = g.right;
    m_shownRecords.clear();
    picAperçu->resize(twipsToPixels(PageWidth + kPictureMargin), twipsToPixels(PageHeight + kPictureMargin));
    picAperçu->update();
    updateScrollRanges();
}

void frmAperçu::updateScrollRanges() {
    // The window's inner area is the bars above the page and the area the page moves in.
    const int toolbar = pixelsToTwips(m_client->y());
    const ScrollRanges r = scrollRanges(pixelsToTwips(m_client->width()), toolbar + pixelsToTwips(m_client->height()),
                                        toolbar, pixelsToTwips(picAperçu->width()),
                                        pixelsToTwips(picAperçu->height()), toolbar + pixelsToTwips(picAperçu->y()));
    msb->setMax(cScrollBar::Vertical, r.verticalMax);
    if (msb->Value(cScrollBar::Vertical) > r.verticalMax) msb->setValue(cScrollBar::Vertical, r.verticalMax);
    msb->setLargeChange(cScrollBar::Vertical, r.verticalPage);
    msb->setMax(cScrollBar::Horizontal, r.horizontalMax);
    if (msb->Value(cScrollBar::Horizontal) > r.horizontalMax) msb->setValue(cScrollBar::Horizontal, r.horizontalMax);
}

void frmAperçu::msb_Change(int bar) {
    if (bar == cScrollBar::Vertical)
        picAperçu->move(picAperçu->x(), twipsToPixels(kOffset - msb->Value(cScrollBar::Vertical)));
    else
        picAperçu->move(twipsToPixels(kOffset - msb->Value(cScrollBar::Horizontal)), picAperçu->y());
}

bool frmAperçu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize && !isMinimized()) updateScrollRanges();
    return QDialog::eventFilter(watched, event);
}

void frmAperçu::keyPressEvent(QKeyEvent* event) {
    const auto step = [this](int bar, int direction) {
        const int v = msb->Value(bar) + direction * msb->LargeChange(bar);
        msb->setValue(bar, std::clamp(v, 0, std::max(0, msb->Max(bar))));
    };
    switch (event->key()) {
    case Qt::Key_PageDown: step(cScrollBar::Vertical, 1); break;
    case Qt::Key_PageUp: step(cScrollBar::Vertical, -1); break;
    case Qt::Key_Right: step(cScrollBar::Horizontal, 1); break;
    case Qt::Key_Left: step(cScrollBar::Horizontal, -1); break;
    case Qt::Key_Up: imaNav_Click(0); break;
    case Qt::Key_Down: imaNav_Click(1); break;
    case Qt::Key_Home: imaNav_Click(2); break;
    case Qt::Key_End: imaNav_Click(3); break;
    default: break;  // Esc included: only the menu and the close box close the preview
    }
    event->accept();
}

int frmAperçu::shownPage() const { return lblPage->property("Tag").toInt(); }

void frmAperçu::imaNav_Click(int index) {
    if (PageCount == 0) return;
    const int page = shownPage();
    int next = page;
    switch (index) {
    case 0: next = page - 1; break;
    case 1: next = page + 1; break;
    case 2: next = 1; break;
    case 3: next = PageCount; break;
    default: return;
    }
    if (next == page || next < 1 || next > PageCount) return;
    Imprime(0, next, next);
}

void frmAperçu::Imprime(int mode, int first, int last) {
    if (PageCount == 0) return;
    first = std::clamp(first, 1, PageCount);
    last = std::clamp(last, 1, PageCount);
    if (first > last) std::swap(first, last);
    const WaitCursor wait;
    if (mode == 0) {
        lblPage->setText(QStringLiteral("%1 sur %2").arg(first).arg(PageCount));
        lblPage->setProperty("Tag", first);
        m_shownRecords = m_file.page(first);
        picAperçu->update();
        return;
    }
    QPrinter fallback(QPrinter::HighResolution);
    if (!m_printer && !printing::currentPrinterName().isEmpty()) fallback.setPrinterName(printing::currentPrinterName());
    QPrinter& printer = m_printer ? *m_printer : fallback;
    printer.setDocName(DocName);
    if (!printing::printPages(printer, m_file, first, last, m_pageLayout, m_settings))
        platform::criticalMessage(this, platform::version::productName(),
                                  QStringLiteral("L'impression n'a pas pu être lancée sur cette imprimante."));
}

QString frmAperçu::FitText(const QString& text, int width) const { return printing::fitText(m_measurer, text, width); }

int frmAperçu::FitCount(const QString& text, int width) const { return printing::fitCount(m_measurer, text, width); }

void frmAperçu::mnuMiseEnPage_Click() {
    frmMiseEnPage& setup = Form<frmMiseEnPage>::get();
    platform::showModal(setup, this);
    if (setup.Tag() == QLatin1String("OK") && CreatePrintFile()) Imprime(0, 1, 1);
}

void frmAperçu::mnuImprimer_Click() {
    if (PageCount == 0) return;
    cPrintDlg dialog;
    const QString current = printing::currentPrinterName();
    dialog.setPrinterName(current);
    // The dialog names the PDF file it proposes after the job; a slash would make a folder
    // of part of the title.
    dialog.printer().setDocName(QString(DocName).replace(u'/', u'-'));
    dialog.setDisablePrintToFile(true);
    dialog.setDisableSelection(true);
    dialog.setMinPage(1);
    dialog.setFromPage(1);
    dialog.setMaxPage(PageCount);
    dialog.setToPage(PageCount);
    if (!dialog.ShowPrint(this)) return;

    if (dialog.PrinterName() != current) {
        QMessageBox ask(QMessageBox::Warning, platform::version::productName(),
                        QStringLiteral("Vous avez changé d'imprimante. Le résultat peut ne pas être le même.\nContinuer ?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setObjectName(QStringLiteral("systemMessage"));
        ask.button(QMessageBox::Yes)->setText(QStringLiteral("&Oui"));
        ask.button(QMessageBox::No)->setText(QStringLiteral("&Non"));
        platform::showModal(ask, this);
        if (ask.clickedButton() != ask.button(QMessageBox::Yes)) return;
        if (printing::printerNames().contains(dialog.PrinterName())) printing::setCurrentPrinterName(dialog.PrinterName());
    }
    // The job goes to the dialog's own printer: the paper source chosen there is already its.
    m_printer = &dialog.printer();
    if (dialog.PrintRange() != 0)
        Imprime(1, dialog.FromPage(), dialog.ToPage());
    else
        Imprime(1, 1, PageCount);
    m_printer = nullptr;
}

void frmAperçu::done(int result) {
    Form_Unload();
    QDialog::done(result);
    Form<frmAperçu>::unload(*this);
}

void frmAperçu::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    if (!PrintFile.isEmpty()) QFile::remove(PrintFile);
    m_folder.reset();
    Form<frmMiseEnPage>::unload();
    Form<frmConfigImpression>::unload();
}
