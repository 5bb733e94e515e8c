#include "frmMessages.h"

#include "vskAdvLabel.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <climits>

using platform::twipsRect;

namespace {

// The designed places, in twips; the list and what lies under it move with the heading and
// with the lines.
constexpr int kWidth = 4680, kHeight = 5520;
const QRect kInfo(720, 120, 3885, 915);
const QRect kList(120, 1320, 4455, 3015);
const QRect kOverFlow(120, 4560, 4365, 315);
const QRect kClose(1613, 5040, 1455, 375);
constexpr int kHeadingGap = 120;  // as the window's margins

QRect layoutRect(const QRect& twips) { return twipsRect(twips.x(), twips.y(), twips.width(), twips.height()); }

QLabel* boldLabel(QWidget* parent, const QRect& geometry) {
    auto* label = new QLabel(parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

}  // namespace

frmMessages::frmMessages() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmMessages"));
    setWindowTitle(QStringLiteral("Quibolet - Messages"));
    setFixedSize(platform::twipsSize(kWidth, kHeight));

    m_icon = new QLabel(this);
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    m_icon->setGeometry(twipsRect(120, 120, 480, 480));

    lblInfo = boldLabel(this, layoutRect(kInfo));
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    vskAL = new vskAdvLabel(this);
    vskAL->setObjectName(QStringLiteral("vskAL"));
    vskAL->setGeometry(layoutRect(kList));
    vskAL->setSeparatorMargin(16);
    // Button face, the list's colour, is the dialogs' own background on the original platform:
    // the lines sit on the window, and no edge of a box cuts the first one.
    vskAL->setBackColor(platform::toOleColor(palette().color(QPalette::Window)));
    vskAL->setForeColor(platform::sys::ButtonText);

    lblOverFlow = boldLabel(this, layoutRect(kOverFlow));
    lblOverFlow->setObjectName(QStringLiteral("lblOverFlow"));

    cmdClose = new QPushButton(QStringLiteral("Fermer"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(layoutRect(kClose));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &frmMessages::unloadSelf);
}

void frmMessages::reject() { unloadSelf(); }

void frmMessages::setVisible(bool visible) {
    // Fitted before it shows, so that it is placed at its final size.
    if (visible) fitToLines();
    QDialog::setVisible(visible);
}

void frmMessages::fitToLines() {
    // The heading beside the icon, centred on it when it is shorter; the list right under both.
    const QRect info = layoutRect(kInfo);
    lblInfo->setGeometry(info.x(), m_icon->y(), info.width(),
                         std::max(lblInfo->heightForWidth(info.width()), m_icon->height()));
    const int top = lblInfo->geometry().bottom() + 1 + platform::layoutY(kHeadingGap);

    // The list as tall as its lines, never shorter than designed; its bar shows only when the
    // screen has no room for them all.
    const QRect list = layoutRect(kList);
    const int below = platform::layoutY(kHeight) - list.bottom() - 1;
    const QWidget* owner = platform::modalOwner(*this);
    const QScreen* screen = owner ? owner->screen() : this->screen();
    const QMargins margins = platform::windowFrame(*this);
    const int frame = margins.top() + margins.bottom();
    const int room = screen ? screen->availableGeometry().height() - frame - top - below : INT_MAX;
    const int lines = std::min(vskAL->renderedHeight(), vskAL->Size());
    vskAL->setGeometry(list.x(), top, list.width(), std::max(0, std::min(std::max(list.height(), lines), room)));

    const int shift = vskAL->geometry().bottom() - list.bottom();
    lblOverFlow->setGeometry(layoutRect(kOverFlow).translated(0, shift));
    cmdClose->setGeometry(layoutRect(kClose).translated(0, shift));
    setFixedSize(platform::layoutX(kWidth), platform::layoutY(kHeight) + shift);
}

void frmMessages::unloadSelf() { platform::Form<frmMessages>::unload(*this); }
