#include "PageRenderer.h"

#include "PrintFile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>

namespace printing {
namespace {

QString firstLine(const QString& text) {
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end);
}

}  // namespace

QFont printFont(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPixelSize(std::max(1, int(std::lround(points * 20))));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::ForceOutline);
    return font;
}

void drawPage(QPainter& painter, const QStringList& records, const RenderSettings& settings) {
    const QFont plain = printFont(settings.fontName, settings.fontSize);
    const QFont bold = printFont(settings.fontName, settings.fontSize, true);
    const qreal plainAscent = QFontMetricsF(plain, painter.device()).ascent();
    const qreal boldAscent = QFontMetricsF(bold, painter.device()).ascent();
    QPen linePen(settings.colours[4]);
    linePen.setCosmetic(true);
    linePen.setWidth(0);

    bool second = false;  // the next data cell takes the second data colour
    for (const QString& value : records) {
        const auto r = printfile::parse(value);
        if (!r) continue;
        if (r->kind == printfile::Line) {
            painter.setPen(linePen);
            painter.drawLine(QPointF(r->x, r->y), QPointF(r->x2, r->y2));
            continue;
        }
        int colour = 0;
        if (r->kind == printfile::Data) {
            colour = second ? 2 : 1;
            second = !second;
        } else if (r->kind == printfile::Result) {
            colour = 3;
            second = false;
        }
        const bool title = r->kind == printfile::Title;
        painter.setFont(title ? bold : plain);
        painter.setPen(settings.colours[colour]);
        painter.drawText(QPointF(r->x, r->y + (title ? boldAscent : plainAscent)), r->text);
    }
}

void FontMeasurer::setFont(const QString& family, double points, bool bold) {
    m_font = printFont(family, points, bold);
    m_metrics = QFontMetricsF(m_font);
}

double FontMeasurer::width(const QString& text) const { return m_metrics.horizontalAdvance(text); }

double FontMeasurer::lineHeight() const { return m_metrics.lineSpacing(); }

QString fitText(const TextMeasurer& measurer, const QString& text, int width) {
    const QString s = firstLine(text);
    QString candidate = s;
    for (qsizetype n = s.size(); measurer.width(candidate) > width;) {
        if (n == 0) return QStringLiteral("...");
        --n;
        candidate = s.left(n) + QStringLiteral("...");
    }
    return candidate;
}

int fitCount(const TextMeasurer& measurer, const QString& text, int width) {
    const QString s = firstLine(text);
    qsizetype n = s.size();
    while (n > 0 && measurer.width(s.left(n)) > width) --n;
    return int(n);
}

}  // namespace printing
