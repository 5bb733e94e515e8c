#include "Twips.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>

namespace platform {
namespace {

// The font the layouts were drawn for: the 8-point Windows interface sans at 96 dpi. Its
// average character, measured as dialog units measure it (the letters "A" to "Z" and "a"
// to "z", over 52), is 6 pixels wide, and its line 13 pixels high.
constexpr double kDesignCharWidth = 6.0;
constexpr double kDesignLineHeight = 13.0;

struct Scale {
    QFont font;  // the application font it was measured on
    double x = 1;
    double y = 1;
};

// How much wider (x) and taller (y) the application's font is than the design's, measured
// the first time and again whenever that font changes. A font smaller than the design keeps
// the designed sizes: the layouts hold pictures drawn in pixels.
const Scale& scale() {
    static Scale s;
    static bool measured = false;
    if (!qGuiApp) return s;
    const QFont font = QGuiApplication::font();
    if (!measured || font != s.font) {
        const QFontMetricsF metrics(font);
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        s = {font, std::max(1.0, metrics.horizontalAdvance(alphabet) / 52 / kDesignCharWidth),
             std::max(1.0, metrics.height() / kDesignLineHeight)};
        measured = true;
    }
    return s;
}

int toPixels(int twips, double scale) { return qRound(twips * scale / kTwipsPerPixel); }
int toTwips(int pixels, double scale) { return qRound(pixels * kTwipsPerPixel / scale); }

}  // namespace

int layoutX(int twips) { return toPixels(twips, scale().x); }
int layoutY(int twips) { return toPixels(twips, scale().y); }
int layoutTwipsX(int pixels) { return toTwips(pixels, scale().x); }
int layoutTwipsY(int pixels) { return toTwips(pixels, scale().y); }

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(layoutX(left), layoutY(top), layoutX(width), layoutY(height));
}

}  // namespace platform
