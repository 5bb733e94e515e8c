#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pictures {
namespace {

QPixmap blank(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    return p;
}

// A closed notebook seen from the front, its spiral on the left; `cover` colours it.
void drawNotebook(QPainter& p, const QRectF& r, const QColor& cover) {
    const qreal unit = r.width() / 32.0;
    QLinearGradient shade(r.topLeft(), r.bottomRight());
    shade.setColorAt(0, cover.lighter(130));
    shade.setColorAt(1, cover.darker(120));
    p.setPen(QPen(cover.darker(170), unit));
    p.setBrush(shade);
    p.drawRoundedRect(r.adjusted(unit * 4, unit, -unit, -unit), unit * 2, unit * 2);
    // The label on the cover.
    p.setPen(QPen(QColor(120, 120, 120), unit * 0.6));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(r.left() + unit * 10, r.top() + unit * 7, unit * 18, unit * 9));
    // The spiral.
    p.setPen(QPen(QColor(90, 90, 90), unit * 1.2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        const qreal y = r.top() + unit * (5 + i * 4.4);
        p.drawArc(QRectF(r.left() + unit * 1.5, y, unit * 5, unit * 2.6), 30 * 16, 300 * 16);
    }
}

}  // namespace

QPixmap logo(int size) {
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size, size);
    drawNotebook(p, r, QColor(40, 90, 160));
    const qreal unit = size / 32.0;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qMax(6, int(unit * 5.2)));
    p.setFont(font);
    p.setPen(QColor(190, 30, 30));
    p.drawText(QRectF(unit * 10, unit * 7, unit * 18, unit * 9), Qt::AlignCenter, QStringLiteral("15/20"));
    return pixmap;
}

QPixmap imaButton(int index) {
    switch (index) {
    case 2: {  // a subject: a small green notebook
        QPixmap pixmap = blank(32);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        drawNotebook(p, QRectF(0, 0, 32, 32), QColor(60, 140, 80));
        return pixmap;
    }
    case 3: {  // a line of the message list: a blue arrow in a disc
        QPixmap pixmap = blank(16);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(30, 70, 140), 1));
        p.setBrush(QColor(70, 130, 210));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        QPainterPath arrow;
        arrow.moveTo(6, 4.5);
        arrow.lineTo(11.5, 8);
        arrow.lineTo(6, 11.5);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        return pixmap;
    }
    default:
        return {};
    }
}

QPixmap key(int size) {
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 32.0;
    p.setPen(QPen(QColor(140, 100, 20), unit * 1.2));
    p.setBrush(QColor(230, 185, 60));
    p.drawEllipse(QRectF(unit * 2, unit * 9, unit * 13, unit * 13));
    p.drawRect(QRectF(unit * 14, unit * 14, unit * 16, unit * 3.5));
    p.drawRect(QRectF(unit * 23, unit * 17, unit * 3, unit * 5));
    p.drawRect(QRectF(unit * 27, unit * 17, unit * 3, unit * 4));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(unit * 5.5, unit * 12.5, unit * 5, unit * 5));
    return pixmap;
}

}  // namespace pictures
