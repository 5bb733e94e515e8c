#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace pictures {
namespace {

// A square transparent picture drawn by `draw(painter, size)`.
template <class Draw>
QPixmap drawn(int size, Draw draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, qreal(size));
    }
    return pixmap;
}

}  // namespace

QPixmap padlock(int size) {
    return drawn(size, [](QPainter& p, qreal s) {
        // The shackle, then the body over its feet.
        p.setPen(QPen(QColor(120, 120, 130), s * 0.1));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(s * 0.28, s * 0.08, s * 0.44, s * 0.5), 0, 180 * 16);
        p.drawLine(QPointF(s * 0.28, s * 0.33), QPointF(s * 0.28, s * 0.48));
        p.drawLine(QPointF(s * 0.72, s * 0.33), QPointF(s * 0.72, s * 0.48));
        QLinearGradient gold(0, s * 0.45, 0, s * 0.95);
        gold.setColorAt(0, QColor(250, 210, 90));
        gold.setColorAt(1, QColor(200, 150, 30));
        p.setPen(QPen(QColor(150, 110, 20), s * 0.03));
        p.setBrush(gold);
        p.drawRoundedRect(QRectF(s * 0.15, s * 0.45, s * 0.7, s * 0.5), s * 0.06, s * 0.06);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 50, 10));
        p.drawEllipse(QPointF(s * 0.5, s * 0.64), s * 0.06, s * 0.06);
        p.drawRect(QRectF(s * 0.47, s * 0.66, s * 0.06, s * 0.16));
    });
}

QPixmap gradebook(int size) {
    return drawn(size, [](QPainter& p, qreal s) {
        // A bound book seen from the front, with ruled lines and a red mark.
        p.setPen(QPen(QColor(30, 60, 120), s * 0.03));
        p.setBrush(QColor(60, 100, 180));
        p.drawRoundedRect(QRectF(s * 0.12, s * 0.06, s * 0.76, s * 0.88), s * 0.05, s * 0.05);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        const QRectF page(s * 0.24, s * 0.12, s * 0.58, s * 0.76);
        p.drawRect(page);
        p.setPen(QPen(QColor(150, 180, 220), qMax(1.0, s * 0.02)));
        for (int i = 1; i <= 5; ++i) {
            const qreal y = page.top() + page.height() * i / 6.0;
            p.drawLine(QPointF(page.left() + s * 0.04, y), QPointF(page.right() - s * 0.04, y));
        }
        p.setPen(QPen(QColor(200, 30, 30), qMax(1.0, s * 0.05), Qt::SolidLine, Qt::RoundCap));
        QPainterPath tick;
        tick.moveTo(page.left() + page.width() * 0.25, page.top() + page.height() * 0.55);
        tick.lineTo(page.left() + page.width() * 0.45, page.top() + page.height() * 0.75);
        tick.lineTo(page.left() + page.width() * 0.8, page.top() + page.height() * 0.3);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    });
}

}  // namespace pictures
