#include "frmMsgBox.h"

#include "platform/Twips.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <climits>

using platform::layoutTwipsX;
using platform::layoutTwipsY;
using platform::layoutX;
using platform::layoutY;

namespace {

const char* const kAnswer = "answer";

}  // namespace

MsgBoxLayout layoutMsgBox(const MsgBoxMetrics& m, const std::function<int(int)>& labelHeight) {
    MsgBoxLayout l;
    l.labelLeft = m.iconLeft + m.iconWidth + 100;
    const int rowWidth = m.buttonCount > 0 ? m.buttonCount * m.buttonWidth + (m.buttonCount - 1) * 100 : 0;
    const int widest = m.maxClientWidth > 0 ? std::max(m.maxClientWidth, m.designWidth) : INT_MAX;
    int width = m.designWidth;
    for (;;) {
        const int available = width - l.labelLeft - 100;
        // A word is never cut: a long file name widens the box as far as it may go.
        if (available <= 0 || (available < m.minLabelWidth && width + 100 <= widest)) {
            width += 100;
            continue;
        }
        l.buttonsTop = std::max(m.iconTop + m.iconHeight, m.labelTop + labelHeight(available)) + 200;
        l.clientHeight = l.buttonsTop + m.buttonHeight + 200;
        const int first = width / 2 - rowWidth / 2;
        if (first < 0) {
            // A row wider than the box keeps the same 100 from either edge as the message.
            width = rowWidth + 200;
            continue;
        }
        // A box of many lines stops widening at the screen's edge rather than running off it.
        if (3 * l.clientHeight > width && width + 100 <= widest) {
            width += 100;
            continue;
        }
        l.clientWidth = width;
        l.labelWidth = available;
        for (int i = 0; i < m.buttonCount; ++i) l.buttonLefts.append(first + i * (m.buttonWidth + 100));
        return l;
    }
}

frmMsgBox::frmMsgBox()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmMsgBox"));
    setWindowTitle(QStringLiteral("Quibolet"));

    imaIcon = new QLabel(this);
    imaIcon->setObjectName(QStringLiteral("imaIcon"));

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void frmMsgBox::setPictureType(int pictureType) {
    m_pictureType = pictureType;
    static const QStyle::StandardPixmap icons[] = {QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxWarning,
                                                   QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxQuestion};
    if (pictureType >= 1 && pictureType <= 4)
        setIcon(style()->standardIcon(icons[pictureType - 1], nullptr, this).pixmap(32, 32));
    else
        setIcon(QPixmap());
}

void frmMsgBox::CustomPicture(const QPixmap& picture) { setIcon(picture); }

void frmMsgBox::setIcon(const QPixmap& picture) {
    // Like an image control that takes the size of its picture: clearing it keeps its size.
    imaIcon->setPixmap(picture);
    if (!picture.isNull()) m_iconSize = picture.deviceIndependentSize().toSize();
}

void frmMsgBox::setMessage(const QString& message) {
    m_message = message;
    QString shown = message;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lblMessage->setText(shown);
}

void frmMsgBox::ClearAllButtons() {
    qDeleteAll(cmdAction);
    cmdAction.clear();
    m_cancel = nullptr;
    m_formType = 0;
}

void frmMsgBox::setFormType(int formType) {
    static const QStringList sets[] = {
        {QStringLiteral("OK")},
        {QStringLiteral("OK"), QStringLiteral("Annuler")},
        {QStringLiteral("&Oui"), QStringLiteral("&Non")},
        {QStringLiteral("&Oui"), QStringLiteral("&Non"), QStringLiteral("Annuler")},
        {QStringLiteral("&Réessayer"), QStringLiteral("Annuler")},
        {QStringLiteral("&Abandon"), QStringLiteral("&Réessayer"), QStringLiteral("&Ignorer")},
    };
    ClearAllButtons();
    m_formType = formType;
    if (formType >= 1 && formType <= 6) {
        const QStringList& captions = sets[formType - 1];
        for (int i = 0; i < captions.size(); ++i) addButton(captions.at(i), QString::number(i + 1));
        if (formType != 1) {
            cmdAction.first()->setDefault(true);
            m_cancel = cmdAction.last();
        }
    }
    if (m_helpContextId != 0) {
        addButton(QStringLiteral("Aide"), QString());
        cmdAction.last()->setProperty("HelpContextID", m_helpContextId);
    }
}

void frmMsgBox::addButton(const QString& caption, const QString& answer) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QStringLiteral("cmdAction%1").arg(cmdAction.size() + 1));
    button->setAutoDefault(true);
    button->setProperty(kAnswer, answer);
    button->show();
    connect(button, &QPushButton::clicked, this, [this, button] { cmdAction_Click(button); });
    cmdAction.append(button);
}

void frmMsgBox::setFocusedButton(int button) {
    if (!cmdAction.isEmpty() && button <= cmdAction.size()) m_focusedButton = button;
}

void frmMsgBox::cmdAction_Click(QPushButton* button) {
    const QString answer = button->property(kAnswer).toString();
    if (!answer.isEmpty()) {
        m_tag = answer;
        done(QDialog::Accepted);
        return;
    }
    // The help button asks for context help the way the F1 key does; the box stays open.
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : button;
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier));
}

void frmMsgBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (m_cancel) m_cancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMsgBox::setVisible(bool visible) {
    if (visible && !isVisible()) layOut();
    QDialog::setVisible(visible);
    if (!visible || cmdAction.isEmpty()) return;
    const int focused = m_focusedButton >= 1 && m_focusedButton <= cmdAction.size() ? m_focusedButton : 1;
    cmdAction.at(focused - 1)->setFocus();
}

void frmMsgBox::layOut() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    MsgBoxMetrics m;
    m.iconWidth = layoutTwipsX(m_iconSize.width());
    m.iconHeight = layoutTwipsY(m_iconSize.height());
    // The buttons share one size: the designed one, or the widest caption's in a larger font.
    int buttonWidth = layoutX(m.buttonWidth);
    for (QPushButton* b : std::as_const(cmdAction)) buttonWidth = std::max(buttonWidth, b->sizeHint().width());
    m.buttonWidth = layoutTwipsX(buttonWidth);
    m.buttonCount = int(cmdAction.size());
    if (screen) m.maxClientWidth = layoutTwipsX(screen->availableGeometry().width() - 2 * 20);
    const QFontMetrics metrics = lblMessage->fontMetrics();
    for (const QString& word : lblMessage->text().split(QRegularExpression(QStringLiteral("\\s+"))))
        m.minLabelWidth = std::max(m.minLabelWidth, layoutTwipsX(metrics.horizontalAdvance(word) + 1));

    const MsgBoxLayout l = layoutMsgBox(m, [this](int width) {
        return layoutTwipsY(lblMessage->heightForWidth(layoutX(width)));
    });

    setFixedSize(layoutX(l.clientWidth), layoutY(l.clientHeight));
    imaIcon->setGeometry(layoutX(m.iconLeft), layoutY(m.iconTop), m_iconSize.width(), m_iconSize.height());
    const int labelWidth = layoutX(l.labelWidth);
    lblMessage->setGeometry(layoutX(l.labelLeft), layoutY(m.labelTop), labelWidth,
                            lblMessage->heightForWidth(labelWidth));
    for (int i = 0; i < cmdAction.size(); ++i)
        cmdAction.at(i)->setGeometry(layoutX(l.buttonLefts.at(i)), layoutY(l.buttonsTop), buttonWidth,
                                     layoutY(m.buttonHeight));

    if (screen) {
        const QRect s = screen->geometry();
        move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    }
}
