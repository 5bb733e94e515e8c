#include "tooCommand.h"

#include "PointerShape.h"

#include <QMouseEvent>
#include <QPainter>
#include <QThread>

using platform::OleColor;
using platform::oleColor;

namespace {
// The sunken frame stays for 50 ms, holding the GUI thread, before the press is reported.
void holdPressedFrame(tooCommand&) { QThread::msleep(50); }

tooCommand::PressFlash& pressFlash() {
    static tooCommand::PressFlash flash = holdPressedFrame;
    return flash;
}
}  // namespace

void tooCommand::setPressFlash(PressFlash flash) {
    pressFlash() = flash ? std::move(flash) : PressFlash(holdPressedFrame);
}

tooCommand::tooCommand(QWidget* parent) : MouseEventWidget(parent) {
    refreshSurface();
}

const QPixmap& tooCommand::shownPicture() const {
    if (!m_enabled && !m_disabledPicture.isNull()) return m_disabledPicture;
    if (m_hovering && !m_hotPicture.isNull()) return m_hotPicture;
    return m_picture;
}

// The control is exactly as large as its picture, and the mask colour is replaced on what
// was drawn (picture over the back colour), as the picture's own transparency already
// shows the back colour.
void tooCommand::refreshSurface() {
    const QPixmap& shown = shownPicture();
    const QSize size = shown.isNull() ? QSize(0, 0) : shown.deviceIndependentSize().toSize();
    setFixedSize(size);

    m_surface = QImage(size, QImage::Format_RGB32);
    if (!size.isEmpty()) {
        const QColor back = oleColor(m_backColor);
        m_surface.fill(back);
        {
            QPainter p(&m_surface);
            p.drawPixmap(QRect(QPoint(0, 0), size), shown);
        }
        if (m_useMaskColor) {
            const QRgb mask = oleColor(m_maskColor).rgb();
            const QRgb backRgb = back.rgb();
            for (int y = 0; y < m_surface.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(m_surface.scanLine(y));
                for (int x = 0; x < m_surface.width(); ++x)
                    if (qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])) == mask)
                        line[x] = backRgb;
            }
        }
    }
    update();
}

void tooCommand::setPicture(const QPixmap& picture) {
    m_picture = picture;
    refreshSurface();
}

void tooCommand::setDisabledPicture(const QPixmap& picture) {
    m_disabledPicture = picture;
    refreshSurface();
}

void tooCommand::setHotPicture(const QPixmap& picture) {
    m_hotPicture = picture;
    if (m_hovering) refreshSurface();
}

void tooCommand::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled) m_hovering = false;
    QWidget::setEnabled(enabled);
    refreshSurface();
}

void tooCommand::setMouseIcon(const QPixmap& icon) {
    m_mouseIcon = icon;
    setCursor(pointerCursor(m_mousePointer, m_mouseIcon));
}

void tooCommand::setMousePointer(int pointer) {
    m_mousePointer = pointer;
    setCursor(pointerCursor(m_mousePointer, m_mouseIcon));
}

void tooCommand::setBackColor(OleColor color) {
    m_backColor = color;
    refreshSurface();
}

void tooCommand::setLeftShadow(OleColor color) {
    m_leftShadow = color;
    update();
}

void tooCommand::setRightShadow(OleColor color) {
    m_rightShadow = color;
    update();
}

void tooCommand::setUseMaskColor(bool use) {
    if (use == m_useMaskColor) return;
    m_useMaskColor = use;
    refreshSurface();
}

void tooCommand::setMaskColor(OleColor color) {
    if (color == m_maskColor) return;
    m_maskColor = color;
    refreshSurface();
}

void tooCommand::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_surface);
    if (!m_hovering && !m_flashing) return;
    // Raised: light top and left, dark bottom and right; sunken swaps the two.
    const int w = width(), h = height();
    const QColor topLeft = oleColor(m_flashing ? m_rightShadow : m_leftShadow);
    const QColor bottomRight = oleColor(m_flashing ? m_leftShadow : m_rightShadow);
    p.setPen(topLeft);
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(bottomRight);
    p.drawLine(1, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 1, w - 1, h - 1);
}

void tooCommand::endHover() {
    if (!m_hovering) return;
    m_hovering = false;
    refreshSurface();
}

void tooCommand::mouseMoveEvent(QMouseEvent* e) {
    const QPointF pos = e->position();
    if (pos.x() < 0 || pos.y() < 0 || pos.x() > width() || pos.y() > height()) {
        endHover();
    } else if (!m_hovering && m_enabled) {
        m_hovering = true;
        refreshSurface();
    }
    MouseEventWidget::mouseMoveEvent(e);
}

void tooCommand::leaveEvent(QEvent*) { endHover(); }

void tooCommand::hideEvent(QHideEvent*) { endHover(); }

void tooCommand::mousePressEvent(QMouseEvent* e) {
    m_hovering = false;
    m_flashing = true;
    refreshSurface();
    repaint();
    pressFlash()(*this);
    m_flashing = false;
    refreshSurface();
    MouseEventWidget::mousePressEvent(e);
}
