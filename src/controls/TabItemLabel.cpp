#include "TabItemLabel.h"

#include <QEvent>
#include <QPainter>

namespace {
// A little room either side, so that the selected caption's swapped colours frame the text.
constexpr int kPadding = 2;
}

TabItemLabel::TabItemLabel(int index, QWidget* parent) : MouseEventWidget(parent), m_index(index) {
    fitToCaption();
}

void TabItemLabel::fitToCaption() {
    const QFontMetrics fm(font());
    const QSize size(m_caption.isEmpty() ? 0 : fm.horizontalAdvance(m_caption) + 2 * kPadding,
                     fm.height());
    if (size == this->size()) return;
    resize(size);
    emit Resized();
}

void TabItemLabel::setCaption(const QString& caption) {
    m_caption = caption;
    fitToCaption();
    update();
}

void TabItemLabel::setColors(platform::OleColor back, platform::OleColor fore) {
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
    p.drawText(rect().adjusted(kPadding, 0, -kPadding, 0), Qt::AlignCenter | Qt::TextSingleLine,
               m_caption);
}
