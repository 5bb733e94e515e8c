#pragma once
#include "platform/OleColor.h"

#include <QFont>

// The font dialog, opened over the active window.
namespace mChooseFontDlg {

// The sizes the dialog takes when the caller sets no limits, in points.
inline constexpr int kSmallestSize = 1;
inline constexpr int kLargestSize = 512;

// Shows the dialog with `font` as its first choice. On OK, `font` is replaced by the chosen
// font and true is returned; on cancel nothing changes. The size is typed to a tenth of a
// point with a decimal comma ("10,5"; "." is taken as a comma), within minSize..maxSize when
// they are not 0, else within kSmallestSize..kLargestSize: a keystroke that would leave
// those bounds or add a second decimal is refused, and OK on a size not typed in full
// (empty, below the smallest) says so and keeps the dialog open. The dialog offers no colour:
// `colour` comes back as given. Every font can draw on screen and printer alike here, so
// the device and the two font-source flags do not narrow the list.
bool ShowFont(QFont& font, int printerDC, bool printerFontsOnly, bool screenFontsOnly, bool noEffects,
              bool allowScriptChoice, bool fixedPitchOnly, platform::OleColor& colour, int minSize, int maxSize);

}  // namespace mChooseFontDlg
