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

// A painter over a new picture of `size` pixels that draws on a 32-unit square.
struct Canvas {
    QPixmap pixmap;
    QPainter p;
    explicit Canvas(int size) : pixmap(blank(size)), p(&pixmap) {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
    }
    QPixmap done() {
        p.end();
        return pixmap;
    }
};

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

// A subject: a green notebook.
void drawSubject(QPainter& p) { drawNotebook(p, QRectF(0, 0, 32, 32), QColor(60, 140, 80)); }

QPen outline(const QColor& c, qreal width = 1.2) { return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A person seen from the front: head and shoulders, centred on x.
void drawPerson(QPainter& p, qreal x, qreal top, qreal scale, const QColor& colour) {
    p.setPen(outline(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawEllipse(QPointF(x, top + 4 * scale), 4 * scale, 4 * scale);
    QPainterPath body;
    body.moveTo(x - 7 * scale, top + 18 * scale);
    body.cubicTo(x - 7 * scale, top + 8 * scale, x + 7 * scale, top + 8 * scale, x + 7 * scale, top + 18 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

// A class: two pupils behind a third.
void drawPupils(QPainter& p, const QColor& back, const QColor& front) {
    drawPerson(p, 9, 6, 0.85, back);
    drawPerson(p, 23, 6, 0.85, back);
    drawPerson(p, 16, 10, 1.1, front);
}

// A sheet of paper with its corner folded, and ruled lines.
void drawSheet(QPainter& p, const QRectF& r, const QColor& lines) {
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - 6, r.top());
    sheet.lineTo(r.right(), r.top() + 6);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(outline(QColor(110, 110, 110)));
    p.setBrush(QColor(252, 252, 248));
    p.drawPath(sheet);
    p.setPen(outline(lines, 1.4));
    for (qreal y = r.top() + 8; y < r.bottom() - 2; y += 4) p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

// An open tray, and an arrow going into it (down) or out of it (up).
void drawTrayArrow(QPainter& p, bool into, const QColor& arrow) {
    p.setPen(outline(QColor(70, 70, 80)));
    p.setBrush(QColor(190, 195, 205));
    QPainterPath tray;
    tray.moveTo(3, 20);
    tray.lineTo(9, 20);
    tray.lineTo(11, 24);
    tray.lineTo(21, 24);
    tray.lineTo(23, 20);
    tray.lineTo(29, 20);
    tray.lineTo(29, 29);
    tray.lineTo(3, 29);
    tray.closeSubpath();
    p.drawPath(tray);
    QPainterPath shaft;
    const qreal tip = into ? 21 : 2, base = into ? 2 : 21, head = into ? 13 : 10;
    shaft.moveTo(16, tip);
    shaft.lineTo(24, head);
    shaft.lineTo(19.5, head);
    shaft.lineTo(19.5, base);
    shaft.lineTo(12.5, base);
    shaft.lineTo(12.5, head);
    shaft.lineTo(8, head);
    shaft.closeSubpath();
    p.setPen(outline(arrow.darker(150)));
    p.setBrush(arrow);
    p.drawPath(shaft);
}

// A text in bold, centred in r.
void drawLetters(QPainter& p, const QRectF& r, const QString& text, const QColor& colour, qreal pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(int(pixelSize));
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

// A blue disc over the whole square, for a white sign on it.
void drawDisc(QPainter& p, qreal penWidth) {
    p.setPen(outline(QColor(30, 70, 140), penWidth));
    p.setBrush(QColor(70, 130, 210));
    p.drawEllipse(QRectF(2, 2, 28, 28));
}

// "15/20" on the notebook's label, drawn as strokes so that it needs no font; the
// installed icon (resources/quibolet.svg) draws the same strokes. Too small for digits, a
// picture shows a bold tick instead.
void drawGrade(QPainter& p, int size) {
    QPainterPath grade;
    if (size < 32) {
        grade.moveTo(14.0, 11.5);
        grade.lineTo(17.0, 14.0);
        grade.lineTo(23.5, 9.0);
        p.setPen(outline(QColor(190, 30, 30), 2.2));
        p.drawPath(grade);
        return;
    }
    grade.moveTo(12.4, 10.0);  // 1
    grade.lineTo(13.6, 9.0);
    grade.lineTo(13.6, 14.0);
    grade.moveTo(17.5, 9.0);  // 5
    grade.lineTo(15.1, 9.0);
    grade.lineTo(15.0, 11.2);
    grade.lineTo(16.4, 11.2);
    grade.quadTo(17.6, 11.2, 17.6, 12.6);
    grade.quadTo(17.6, 14.0, 16.3, 14.0);
    grade.lineTo(15.0, 14.0);
    grade.moveTo(18.5, 14.2);  // /
    grade.lineTo(20.1, 8.8);
    grade.moveTo(21.0, 10.2);  // 2
    grade.quadTo(21.0, 9.0, 22.2, 9.0);
    grade.quadTo(23.4, 9.0, 23.4, 10.2);
    grade.quadTo(23.4, 11.3, 21.0, 14.0);
    grade.lineTo(23.6, 14.0);
    grade.addEllipse(QPointF(25.6, 11.5), 1.15, 2.5);  // 0
    p.setPen(outline(QColor(190, 30, 30), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(grade);
}

}  // namespace

QPixmap logo(int size) {
    Canvas c(size);
    drawNotebook(c.p, QRectF(0, 0, 32, 32), QColor(40, 90, 160));
    drawGrade(c.p, size);
    return c.done();
}

QPixmap imaButton(int index) {
    switch (index) {
    case 2: {
        Canvas c(32);
        drawSubject(c.p);
        return c.done();
    }
    case 3: {  // a line of the message list: a white arrow on a disc
        Canvas c(16);
        drawDisc(c.p, 2);
        QPainterPath arrow;
        arrow.moveTo(12, 9);
        arrow.lineTo(23, 16);
        arrow.lineTo(12, 23);
        arrow.closeSubpath();
        c.p.setPen(Qt::NoPen);
        c.p.setBrush(Qt::white);
        c.p.drawPath(arrow);
        return c.done();
    }
    default:
        return {};
    }
}

QPixmap imaTre(int index) {
    // The selected pictures are the same figures in the deeper colour of a selection.
    const bool selected = index == 2 || index == 4;
    const QColor front = selected ? QColor(20, 60, 140) : QColor(40, 90, 170);
    Canvas c(32);
    switch (index) {
    case 1:
    case 2:
        drawPupils(c.p, selected ? QColor(90, 125, 185) : QColor(120, 150, 200), front);
        return c.done();
    case 3:
    case 4:
        drawPerson(c.p, 16, 4, 1.5, selected ? QColor(200, 120, 30) : QColor(230, 160, 60));
        return c.done();
    case 5:
        return imaButton(3);
    default:
        return {};
    }
}

QPixmap toolButton(int button) {
    constexpr int kSize = 48;
    Canvas c(kSize);
    QPainter& p = c.p;
    switch (button) {
    case 1:  // a class: pupils
        drawPupils(p, QColor(120, 150, 200), QColor(40, 90, 170));
        break;
    case 2:
        drawSubject(p);
        break;
    case 3:  // a series of grades: a sheet with a grade on it
        drawSheet(p, QRectF(5, 2, 22, 28), QColor(170, 190, 220));
        drawLetters(p, QRectF(7, 14, 18, 12), QStringLiteral("15"), QColor(190, 30, 30), 11);
        break;
    case 4: {  // the list of students: a clipboard
        p.setPen(outline(QColor(110, 75, 35)));
        p.setBrush(QColor(180, 130, 70));
        p.drawRoundedRect(QRectF(4, 3, 24, 28), 2, 2);
        drawSheet(p, QRectF(7, 7, 18, 22), QColor(170, 190, 220));
        p.setPen(outline(QColor(70, 70, 70)));
        p.setBrush(QColor(200, 200, 205));
        p.drawRoundedRect(QRectF(11, 1.5, 10, 4), 1, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 170));
        for (qreal y = 14; y < 28; y += 4) p.drawEllipse(QPointF(10.5, y + 1), 1.3, 1.3);
        break;
    }
    case 6: {  // the table of averages: a table under its heading row
        p.setPen(outline(QColor(80, 80, 90)));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 5, 28, 22));
        p.setBrush(QColor(60, 110, 190));
        p.drawRect(QRectF(2, 5, 28, 6));
        p.setPen(outline(QColor(150, 150, 160), 1));
        for (qreal y : {16.0, 21.5}) p.drawLine(QPointF(2, y), QPointF(30, y));
        for (qreal x : {12.0, 21.0}) p.drawLine(QPointF(x, 11), QPointF(x, 27));
        break;
    }
    case 8: {  // printing: a printer with its paper
        p.setPen(outline(QColor(90, 90, 90)));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(150, 155, 165));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 19, 16, 10));
        p.setPen(outline(QColor(170, 170, 170), 1));
        for (qreal y : {22.5, 25.5}) p.drawLine(QPointF(10, y), QPointF(22, y));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 200, 80));
        p.drawEllipse(QPointF(25, 15), 1.3, 1.3);
        break;
    }
    case 10:  // importing grades
        drawTrayArrow(p, true, QColor(60, 160, 70));
        break;
    case 11:  // exporting grades
        drawTrayArrow(p, false, QColor(230, 140, 30));
        break;
    case 13: {  // merging subjects: two notebooks into one
        drawNotebook(p, QRectF(0, 0, 16, 16), QColor(60, 140, 80));
        drawNotebook(p, QRectF(16, 0, 16, 16), QColor(40, 90, 170));
        drawNotebook(p, QRectF(8, 16, 16, 16), QColor(60, 120, 130));
        p.setPen(outline(QColor(200, 60, 40), 1.8));
        p.drawLine(QPointF(8, 15), QPointF(12, 18));
        p.drawLine(QPointF(24, 15), QPointF(20, 18));
        break;
    }
    case 15: {  // a workbook: a green sheet with cells and its letter
        p.setPen(outline(QColor(20, 90, 50)));
        p.setBrush(QColor(235, 245, 235));
        p.drawRect(QRectF(10, 4, 20, 24));
        p.setPen(outline(QColor(120, 170, 130), 1));
        for (qreal y = 10; y < 28; y += 6) p.drawLine(QPointF(10, y), QPointF(30, y));
        p.drawLine(QPointF(20, 4), QPointF(20, 28));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 120, 65));
        p.drawRoundedRect(QRectF(2, 8, 16, 16), 2, 2);
        drawLetters(p, QRectF(2, 8, 16, 16), QStringLiteral("X"), Qt::white, 12);
        break;
    }
    case 17: {  // options: a gear
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 115, 125));
        p.translate(16, 16);
        for (int i = 0; i < 8; ++i) {
            p.drawRoundedRect(QRectF(-2.5, -14, 5, 8), 1, 1);
            p.rotate(45);
        }
        p.setPen(outline(QColor(70, 75, 85)));
        p.drawEllipse(QPointF(0, 0), 10, 10);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), 4, 4);
        break;
    }
    case 19:  // help: a question mark on a disc
        drawDisc(p, 1.2);
        drawLetters(p, QRectF(2, 2, 28, 28), QStringLiteral("?"), Qt::white, 20);
        break;
    default:
        return {};
    }
    return c.done();
}

QPixmap key(int size) {
    Canvas c(size);
    c.p.setPen(QPen(QColor(140, 100, 20), 1.2));
    c.p.setBrush(QColor(230, 185, 60));
    c.p.drawEllipse(QRectF(2, 9, 13, 13));
    c.p.drawRect(QRectF(14, 14, 16, 3.5));
    c.p.drawRect(QRectF(23, 17, 3, 5));
    c.p.drawRect(QRectF(27, 17, 3, 4));
    c.p.setBrush(Qt::white);
    c.p.drawEllipse(QRectF(5.5, 12.5, 5, 5));
    return c.done();
}

}  // namespace pictures
