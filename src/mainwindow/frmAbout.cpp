#include "frmAbout.h"

#include "Pictures.h"
#include "VersionInfo.h"
#include "controls/mShellExecute.h"
#include "platform/FormInstance.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

QLabel* label(const QString& text, const QString& name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

frmAbout::frmAbout() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    namespace version = platform::version;
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("A propos de"));

    imaLogo = new QLabel(this);
    imaLogo->setPixmap(pictures::logo(64));
    imaLogo->setAlignment(Qt::AlignTop);
    lblTitle = label(version::productName(), QStringLiteral("lblTitle"), this);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = label(QStringLiteral("Version ") + version::text(), QStringLiteral("lblVersion"), this);
    lblDescription = label(version::description(), QStringLiteral("lblDescription"), this);
    lblUser = label(GetRegisteredUser(), QStringLiteral("lblUser"), this);
    lblMail = {label(QStringLiteral("Mail:"), QStringLiteral("lblMail0"), this),
               label(version::supportMail(), QStringLiteral("lblMail1"), this)};
    lblWeb = {label(QStringLiteral("Web:"), QStringLiteral("lblWeb0"), this),
              label(version::webAddress(), QStringLiteral("lblWeb1"), this)};
    lblDisclaimer = label(version::legalNotice(), QStringLiteral("lblDisclaimer"), this);
    for (QLabel* link : {lblMail[1], lblWeb[1]}) {
        link->setCursor(Qt::PointingHandCursor);
        QPalette palette = link->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
        link->setPalette(palette);
        link->installEventFilter(this);
    }
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addWidget(lblDescription);
    text->addSpacing(8);
    text->addWidget(separator(this));
    text->addWidget(lblUser);
    auto* links = new QGridLayout;
    links->addWidget(lblMail[0], 0, 0);
    links->addWidget(lblMail[1], 0, 1);
    links->addWidget(lblWeb[0], 1, 0);
    links->addWidget(lblWeb[1], 1, 1);
    links->setColumnStretch(1, 1);
    text->addLayout(links);
    text->addWidget(separator(this));
    text->addWidget(lblDisclaimer);
    auto* top = new QHBoxLayout;
    top->addWidget(imaLogo, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(bottom);
    setFixedWidth(420);
    setFixedHeight(heightForWidth(420) > 0 ? heightForWidth(420) : sizeHint().height());
}

QString frmAbout::UserNameFromAccount(const char* comment) {
    if (!comment) return {};
    return QString::fromLocal8Bit(comment).section(QLatin1Char(','), 0, 0).trimmed();
}

QString frmAbout::GetRegisteredUser() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
    return UserNameFromAccount(found->pw_gecos);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* link = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton && link->rect().contains(mouse->position().toPoint())) {
            // The address alone, without a blank after the scheme, so that the mail
            // program receives it as it reads.
            const QString target =
                link == lblMail[1] ? QStringLiteral("mailto:") + link->text() : link->text();
            mShellExecute::RunShellExecute(target, QStringLiteral("open"), {}, {}, 1, nullptr, false);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::reject() { cmdOK_Click(); }

void frmAbout::cmdOK_Click() {
    platform::Form<frmAbout>::unload(*this);
}
