#include "frmSplash.h"

#include "Pictures.h"
#include "StoreMessages.h"
#include "frmMain.h"
#include "gradebook/mUtilities.h"
#include "platform/FormInstance.h"
#include "platform/Twips.h"
#include "VersionInfo.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextLayout>
#include <algorithm>

using platform::twipsRect;

namespace {

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry, qreal scale = 1, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    QFont font = l->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    l->setFont(font);
    l->setGeometry(geometry);
    return l;
}

}  // namespace

frmSplash::frmSplash() : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(twipsRect(0, 0, 7200, 4500).size());
    setWindowIcon(pictures::logo(64));
    connectStoreMessages();

    imgLogo = new QLabel(this);
    imgLogo->setPixmap(pictures::logo(96));
    imgLogo->setGeometry(twipsRect(300, 300, 1440, 1440));
    lblProductName = label(this, platform::version::productName(), twipsRect(1950, 240, 4950, 660), 2.2, true);
    lblCompanyProduct = label(this, platform::version::companyName(), twipsRect(1950, 900, 4950, 300));
    lblVersion = label(this, QStringLiteral("Version ") + platform::version::text(), twipsRect(1950, 1230, 4950, 300));
    lblDescription = label(this, platform::version::description(), twipsRect(1950, 1530, 4950, 300), 1, true);
    lblCopyright = label(this, platform::version::legalNotice(), twipsRect(300, 4080, 3900, 300), 0.9);

    fraChoix = new QGroupBox(this);
    fraChoix->setGeometry(twipsRect(300, 1950, 6600, 1500));
    optChoix = {new QRadioButton(fraChoix),
                new QRadioButton(QStringLiteral("Créer un nouveau carnet de notes"), fraChoix),
                new QRadioButton(QStringLiteral("Ouvrir un carnet de notes existant"), fraChoix)};
    for (int i = 0; i < 3; ++i) {
        optChoix[i]->setObjectName(QStringLiteral("optChoix_%1").arg(i));
        optChoix[i]->setGeometry(twipsRect(240, 150 + i * 420, 6120, 330));
    }
    optChoix[0]->hide();
    optChoix[1]->setChecked(true);

    cmdAction = {new QPushButton(QStringLiteral("OK"), this), new QPushButton(QStringLiteral("Annuler"), this)};
    for (int i = 0; i < 2; ++i) {
        cmdAction[i]->setObjectName(QStringLiteral("cmdAction_%1").arg(i));
        cmdAction[i]->setGeometry(twipsRect(4350 + i * 1350, 3990, 1215, 375));
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
    cmdAction[0]->setDefault(true);

    mLastFile = frmMain::LastFile();
    if (QFileInfo(mLastFile).isFile()) {
        const int extra = offerLastFile(QStringLiteral("Ouvrir ") + mUtilities::RemoveExtension(mUtilities::GetFileName(mLastFile)));
        optChoix[0]->show();
        optChoix[0]->setChecked(true);
        // What lies under the first choice moves down by the lines it took.
        optChoix[0]->resize(optChoix[0]->width(), optChoix[0]->height() + extra);
        fraChoix->resize(fraChoix->width(), fraChoix->height() + extra);
        for (QWidget* below : std::initializer_list<QWidget*>{optChoix[1], optChoix[2], lblCopyright, cmdAction[0], cmdAction[1]})
            below->move(below->x(), below->y() + extra);
        setFixedSize(width(), height() + extra);
    }
}

// A gradebook's name may be longer than a line of the frame: it takes the lines it needs
// while the screen has room for the window to grow, and the last line it gets ends in "…"
// when the name goes on. Returns how much taller the choice has become.
int frmSplash::offerLastFile(const QString& caption) {
    QRadioButton& option = *optChoix[0];
    const QFontMetrics metrics = option.fontMetrics();
    option.setText(caption);
    // The room for the text: the button less its dot and the gap after it.
    const int room = option.width() - (option.sizeHint().width() - metrics.size(Qt::TextShowMnemonic, caption).width());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int spare = screen ? screen->availableGeometry().height() - height() : 0;
    const int most = 1 + std::max(0, spare) / metrics.lineSpacing();

    QStringList lines;
    QTextLayout layout(caption, option.font());
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrap);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        if (lines.size() + 1 == most && line.textStart() + line.textLength() < caption.size()) {
            lines << metrics.elidedText(caption.mid(line.textStart()), Qt::ElideRight, room);
            break;
        }
        lines << caption.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    // An "&" in the name is a letter, not the mark of a shortcut.
    option.setText(lines.join(u'\n').replace(u'&', QStringLiteral("&&")));
    return std::max(0, option.sizeHint().height() - option.height());
}

void frmSplash::cmdAction_Click(int Index) {
    if (Index == 1) {
        quit();
        return;
    }
    frmMain& main = platform::Form<frmMain>::get();
    QString file;
    if (optChoix[0]->isChecked())
        file = mLastFile;
    else if (optChoix[1]->isChecked())
        file = mUtilities::ChooseNewGradebook();
    else
        file = mUtilities::ChooseGradebookToOpen();
    if (main.OpenAFile(file)) {
        main.show();
        platform::Form<frmSplash>::unload();
    }
}

// Esc answers as "Annuler".
void frmSplash::reject() { quit(); }

// A click on the background closes the window, and with it the program: a main window
// loaded by a failed attempt stays hidden and must not keep the program alive.
void frmSplash::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) quit();
}

// With no caption the window draws its own edge.
void frmSplash::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

void frmSplash::quit() {
    if (frmMain* main = platform::Form<frmMain>::instance()) main->close();
    platform::Form<frmSplash>::unload();
}
