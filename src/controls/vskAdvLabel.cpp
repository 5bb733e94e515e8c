#include "vskAdvLabel.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

vskAdvLabel::vskAdvLabel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::NoFrame);
    m_msb.Create(this);
    m_msb.setSmallChange(cScrollBar::Vertical, 10);
    m_msb.setLargeChange(cScrollBar::Vertical, 50);
    connect(&m_msb, &cScrollBar::Change, this, [this](int bar) {
        if (bar == cScrollBar::Vertical) update();
    });
}

void vskAdvLabel::setBorderStyle(int style) {
    m_borderStyle = style;
    setFrameStyle(style == 1 ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
}

void vskAdvLabel::AddItem(const QString& text, const QPixmap& picture) { m_items.append({text, picture}); }

void vskAdvLabel::RemoveItem(int index) {
    if (index >= 1 && index <= ItemCount()) m_items.removeAt(index - 1);
}

void vskAdvLabel::ClearItem() { m_items.clear(); }

QString vskAdvLabel::ItemText(int index) const {
    return index >= 1 && index <= ItemCount() ? m_items.at(index - 1).text : QString();
}

QPixmap vskAdvLabel::ItemPict(int index) const {
    return index >= 1 && index <= ItemCount() ? m_items.at(index - 1).picture : QPixmap();
}

int vskAdvLabel::Show() {
    m_msb.BarVisible(cScrollBar::Vertical, false);

    const QRect client = contentsRect();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int width = std::max(0, client.width() - extent);
    const QColor back = platform::oleColor(m_backColor);
    const QColor fore = platform::oleColor(m_foreColor);

    // The page is drawn at the widget's resolution so that what is measured below with the
    // widget's metrics is what gets painted.
    const qreal ratio = devicePixelRatioF();
    m_page = QImage(QSize(width, std::max(0, m_size)) * ratio, QImage::Format_ARGB32_Premultiplied);
    m_page.setDevicePixelRatio(ratio);
    m_page.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    m_page.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    m_page.fill(back);

    QPainter p;
    if (!m_page.isNull()) {
        p.begin(&m_page);
        p.setPen(QPen(fore, 1));
        p.setFont(font());
    }
    const QFontMetrics metrics(font(), this);
    const int align = m_textAlignement == 1 ? Qt::AlignHCenter : m_textAlignement == 2 ? Qt::AlignRight : Qt::AlignLeft;
    const int flags = Qt::TextWordWrap | Qt::AlignTop | align;

    int y = 0;
    for (const Item& item : std::as_const(m_items)) {
        if (y > 0 && m_showSeparator) {
            if (p.isActive()) p.drawLine(m_separatorMargin, y + 10, width - 2 * m_separatorMargin, y + 10);
            y += 20;
        }
        int left = m_margin;
        int pictureHeight = 0;
        if (!item.picture.isNull()) {
            const QSize size = item.picture.deviceIndependentSize().toSize();
            pictureHeight = size.height();
            left = 2 * m_margin + size.width();
            if (p.isActive()) p.drawPixmap(QRect(QPoint(m_margin, y), size), item.picture);
        }
        QString text = item.text;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        const int textWidth = std::max(1, width - 2 * left);
        const QRect measured = metrics.boundingRect(QRect(left, y, textWidth, INT_MAX / 4), flags, text);
        if (p.isActive()) p.drawText(QRect(left, y, textWidth, measured.height()), flags, text);
        y = std::max(y + measured.height(), y + pictureHeight);
    }
    if (p.isActive()) p.end();

    m_msb.setValue(cScrollBar::Vertical, 0);
    m_rendered = y;
    setUpBar();
    update();
    return y;
}

void vskAdvLabel::setUpBar() {
    const int visible = std::min(m_rendered, m_size);
    const int height = contentsRect().height();
    if (visible > height) m_msb.setMax(cScrollBar::Vertical, visible - height);
    m_msb.BarVisible(cScrollBar::Vertical, visible > height);
}

// A list given its height once its lines are known (its window grows to them) keeps its bar
// in step with what it now shows.
void vskAdvLabel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    setUpBar();
}

void vskAdvLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect client = contentsRect();
    p.fillRect(client, platform::oleColor(m_backColor));
    if (m_page.isNull()) return;
    const qreal ratio = m_page.devicePixelRatio();
    const int top = m_msb.Value(cScrollBar::Vertical);
    const QRect source =
        QRect(0, qRound(top * ratio), m_page.width(), qRound(client.height() * ratio)).intersected(m_page.rect());
    if (source.isEmpty()) return;
    p.drawImage(QRectF(client.topLeft(), source.size() / ratio), m_page, source);
}

void vskAdvLabel::wheelEvent(QWheelEvent* event) {
    QScrollBar* bar = m_msb.bar(cScrollBar::Vertical);
    if (bar && bar->isVisible())
        QApplication::sendEvent(bar, event);
    else
        QFrame::wheelEvent(event);
}
