#include "frmMessages.h"

#include "vskAdvLabel.h"
#include "platform/FormInstance.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

using platform::twipsRect;

namespace {

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
    setFixedSize(twipsRect(0, 0, 4680, 5520).size());

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icon->setGeometry(twipsRect(120, 120, 480, 480));

    lblInfo = boldLabel(this, twipsRect(720, 120, 3885, 915));
    lblInfo->setObjectName(QStringLiteral("lblInfo"));

    vskAL = new vskAdvLabel(this);
    vskAL->setObjectName(QStringLiteral("vskAL"));
    vskAL->setGeometry(twipsRect(120, 1320, 4455, 3015));
    vskAL->setSeparatorMargin(16);
    // Button face, the list's colour, is the dialogs' own background on the original platform:
    // the lines sit on the window, and no edge of a box cuts the first one.
    vskAL->setBackColor(platform::toOleColor(palette().color(QPalette::Window)));
    vskAL->setForeColor(platform::sys::ButtonText);

    lblOverFlow = boldLabel(this, twipsRect(120, 4560, 4365, 315));
    lblOverFlow->setObjectName(QStringLiteral("lblOverFlow"));

    cmdClose = new QPushButton(QStringLiteral("Fermer"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(twipsRect(1613, 5040, 1455, 375));
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &frmMessages::unloadSelf);
}

void frmMessages::reject() { unloadSelf(); }

void frmMessages::unloadSelf() { platform::Form<frmMessages>::unload(*this); }
