#include "OleColor.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double luminance(const QColor& c) {
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

}  // namespace

QColor apart(const QColor& colour, const QColor& against, double ratio) {
    const QColor target = luminance(against) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const auto towards = [t](int from, int to) { return int(std::lround(from + (to - from) * t)); };
        const QColor c(towards(colour.red(), target.red()), towards(colour.green(), target.green()),
                       towards(colour.blue(), target.blue()));
        if (contrastRatio(c, against) >= ratio) return c;
    }
    return target;
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor oleColor(OleColor c) {
    if (!isSystemColor(c))
        return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);

    const QPalette pal = QApplication::palette();
    const QColor base = pal.color(QPalette::Base);
    // Fixed cells and frames must stand apart from editable cells; the tab bar's items
    // write window-background text on button shadow, a text that a dark palette makes dark:
    // dark text on grey reads poorly at the ratio that suits white text, so it gets 7:1.
    const QColor buttonFace = apart(pal.color(QPalette::Button), base, 1.25);
    const double shadowRatio = luminance(base) > 0.18 ? 4.5 : 7;
    switch (c & 0xFF) {
    case 0x00: return pal.color(QPalette::Button);               // scroll bars
    case 0x01: return pal.color(QPalette::Dark);                 // desktop
    case 0x02: return pal.color(QPalette::Highlight);            // active title bar
    case 0x03: return pal.color(QPalette::Mid);                  // inactive title bar
    case 0x04: return pal.color(QPalette::Window);               // menu bar
    case 0x05: return pal.color(QPalette::Base);                 // window background
    case 0x06: return pal.color(QPalette::Shadow);               // window frame
    case 0x07: return pal.color(QPalette::WindowText);           // menu text
    case 0x08: return apart(pal.color(QPalette::Text), base, 4.5);  // window text
    case 0x09: return pal.color(QPalette::HighlightedText);      // title bar text
    case 0x0A: return pal.color(QPalette::Window);               // active border
    case 0x0B: return pal.color(QPalette::Window);               // inactive border
    case 0x0C: return pal.color(QPalette::Dark);                 // application workspace
    case 0x0D: return pal.color(QPalette::Highlight);
    case 0x0E: return apart(pal.color(QPalette::HighlightedText), pal.color(QPalette::Highlight), 4.5);
    case 0x0F: return buttonFace;
    case 0x10: return apart(pal.color(QPalette::Dark), base, shadowRatio);  // button shadow
    case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);  // grey text
    case 0x12: return apart(pal.color(QPalette::ButtonText), buttonFace, 4.5);
    case 0x13: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 0x14: return pal.color(QPalette::Light);                // 3D highlight
    case 0x15: return pal.color(QPalette::Shadow);               // 3D dark shadow
    case 0x16: return pal.color(QPalette::Midlight);             // 3D light
    case 0x17: return pal.color(QPalette::ToolTipText);
    case 0x18: return pal.color(QPalette::ToolTipBase);
    default: return pal.color(QPalette::Window);
    }
}

OleColor toOleColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

}  // namespace platform
