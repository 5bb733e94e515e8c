#pragma once
#include <QColor>
#include <cstdint>

namespace platform {

// Colours of the program's own controls are OLE colours: either 0x00BBGGRR, or, with the
// high bit set, the index of a system colour in the low byte.
using OleColor = std::uint32_t;

namespace sys {
inline constexpr OleColor ScrollBars = 0x80000000u;
inline constexpr OleColor Desktop = 0x80000001u;
inline constexpr OleColor ActiveTitleBar = 0x80000002u;
inline constexpr OleColor InactiveTitleBar = 0x80000003u;
inline constexpr OleColor MenuBar = 0x80000004u;
inline constexpr OleColor WindowBackground = 0x80000005u;
inline constexpr OleColor WindowFrame = 0x80000006u;
inline constexpr OleColor MenuText = 0x80000007u;
inline constexpr OleColor WindowText = 0x80000008u;
inline constexpr OleColor TitleBarText = 0x80000009u;
inline constexpr OleColor ActiveBorder = 0x8000000Au;
inline constexpr OleColor InactiveBorder = 0x8000000Bu;
inline constexpr OleColor ApplicationWorkspace = 0x8000000Cu;
inline constexpr OleColor Highlight = 0x8000000Du;
inline constexpr OleColor HighlightText = 0x8000000Eu;
inline constexpr OleColor ButtonFace = 0x8000000Fu;
inline constexpr OleColor ButtonShadow = 0x80000010u;
inline constexpr OleColor GrayText = 0x80000011u;
inline constexpr OleColor ButtonText = 0x80000012u;
inline constexpr OleColor InactiveCaptionText = 0x80000013u;
inline constexpr OleColor Highlight3D = 0x80000014u;
inline constexpr OleColor DarkShadow3D = 0x80000015u;
inline constexpr OleColor Light3D = 0x80000016u;
inline constexpr OleColor InfoText = 0x80000017u;
inline constexpr OleColor InfoBackground = 0x80000018u;
}  // namespace sys

inline constexpr bool isSystemColor(OleColor c) { return (c & 0x80000000u) != 0; }

// An RGB value in OLE order: rgb(255, 0, 0) is red, 0x0000FF.
constexpr OleColor rgb(int r, int g, int b) {
    return static_cast<OleColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Translates an OLE colour into the colour to draw with; system colours follow the
// application's palette.
QColor oleColor(OleColor c);

// `colour`, moved towards black or white (away from `against`) until it stands apart from it
// by `ratio`: the pairs the controls draw stay readable under light and dark palettes alike,
// and a palette that already separates them is left as it is.
QColor apart(const QColor& colour, const QColor& against, double ratio);

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white), by their
// relative luminance.
double contrastRatio(const QColor& a, const QColor& b);

// The OLE value of a plain colour.
OleColor toOleColor(const QColor& c);

}  // namespace platform
