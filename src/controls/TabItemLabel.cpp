#include "TabItemLabel.h"

#include <QEvent>
#include <QPainter>
#include <cmath>

namespace {
// A little room either side, so that the selected caption's swapped colours frame the text.
constexpr int kPadding = 2;
constexpr int kFlags = Qt::AlignCenter | Qt::TextWordWrap;
}

TabItemLabel::TabItemLabel(QWidget* parent) : MouseEventWidget(parent) { fitToCaption(); }

QSize TabItemLabel::sizeFor(const QFont& font, const QString& caption, int room) {
    // Measured to the fraction of a pixel and rounded up, so that the text drawn in the
    // label breaks where it was measured.
    const QFontMetricsF fm(font);
    QSizeF text(fm.horizontalAdvance(caption), fm.height());
    if (room > 2 * kPadding && text.width() + 2 * kPadding > room)
        text = fm.boundingRect(QRectF(0, 0, room - 2 * kPadding, 0), kFlags, caption).size();
    const int width = caption.isEmpty() ? 0 : int(std::ceil(text.width())) + 2 * kPadding;
    return QSize(width, int(std::ceil(text.height())));
}

void TabItemLabel::fitToCaption() { resize(sizeFor(font(), m_caption, m_room)); }

void TabItemLabel::setCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    fitToCaption();
    update();
}

void TabItemLabel::setRoom(int width) {
    if (width == m_room) return;
    m_room = width;
    fitToCaption();
    update();
}

void TabItemLabel::setColors(platform::OleColor back, platform::OleColor fore) {
    if (back == m_back && fore == m_fore) return;
    m_back = back;
    m_fore = fore;
    update();
}

void TabItemLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) fitToCaption();
    MouseEventWidget::changeEvent(event);
}

void TabItemLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), platform::oleColor(m_back));
    p.setPen(platform::oleColor(m_fore));
    // Names are shown as typed: an '&' in a subject's name is a character, not a mnemonic.
    p.drawText(rect().adjusted(kPadding, 0, -kPadding, 0), kFlags, m_caption);
}
