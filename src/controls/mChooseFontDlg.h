#pragma once
#include "platform/OleColor.h"

#include <QFont>

// The font dialog, opened over the active window.
namespace mChooseFontDlg {

// Shows the dialog with `font` as its first choice. On OK, `font` is replaced by the chosen
// font (its size to a tenth of a point, kept within minSize..maxSize when they are not 0)
// and true is returned; on cancel nothing changes. The dialog offers no colour: `colour`
// comes back as given. Every font can draw on screen and printer alike here, so the device
// and the two font-source flags do not narrow the list.
bool ShowFont(QFont& font, int printerDC, bool printerFontsOnly, bool screenFontsOnly, bool noEffects,
              bool allowScriptChoice, bool fixedPitchOnly, platform::OleColor& colour, int minSize, int maxSize);

}  // namespace mChooseFontDlg
