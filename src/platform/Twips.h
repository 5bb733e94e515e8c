#pragma once
#include <QRect>
// Geometry that is stored (registry positions, column widths in the gradebook) stays in
// twips; everything drawn is in pixels. Twips measure two different things here:
// - paper, and places on the screen (the main window's placement): 15 twips a pixel,
//   whatever the font;
// - the layouts of the windows and the widths of the grids' columns, designed for the
//   Windows interface font of their time. They follow the application's font, as dialog
//   units do, so that a wider or taller font gets the room its texts need.

namespace platform {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// Layout twips in pixels, across (widths, lefts) and down (heights, tops), and back.
// Pixels turned into twips and back are the pixels they were.
int layoutX(int twips);
int layoutY(int twips);
int layoutTwipsX(int pixels);
int layoutTwipsY(int pixels);

// A window's layout given in twips, as a rectangle in pixels.
QRect twipsRect(int left, int top, int width, int height);
inline QSize twipsSize(int width, int height) { return QSize(layoutX(width), layoutY(height)); }

}  // namespace platform
