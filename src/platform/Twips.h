#pragma once
#include <QRect>
// Geometry that is stored (registry positions, column widths in the gradebook) stays in
// twips; everything drawn is in pixels. A normal screen has 15 twips per pixel.

namespace platform {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// A window's layout given in twips, as a rectangle in pixels.
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

}  // namespace platform
