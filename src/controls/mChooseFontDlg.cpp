#include "mChooseFontDlg.h"

#include "mDialogHook.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <cmath>

namespace mChooseFontDlg {

bool ShowFont(QFont& font, int, bool, bool, bool noEffects, bool allowScriptChoice, bool fixedPitchOnly,
              platform::OleColor&, int minSize, int maxSize) {
    QWidget* owner = QApplication::activeWindow();
    QFontDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("mChooseFontDlg"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (fixedPitchOnly) dialog.setOption(QFontDialog::MonospacedFonts);
    dialog.setCurrentFont(font);
    // The effects are the group that holds the underline and strike-out boxes; the only
    // list box of the dialog is the choice of script.
    if (noEffects)
        for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
            if (!group->findChildren<QCheckBox*>().isEmpty()) group->hide();
    if (!allowScriptChoice)
        for (QComboBox* combo : dialog.findChildren<QComboBox*>()) combo->setEnabled(false);
    mDialogHook::CenterDialogHook(dialog);

    if (platform::showModal(dialog, owner) != QDialog::Accepted) return false;
    QFont chosen = dialog.selectedFont();
    if (noEffects) {
        // Effects that were not offered cannot have been changed.
        chosen.setUnderline(font.underline());
        chosen.setStrikeOut(font.strikeOut());
    }
    double size = chosen.pointSizeF();
    if (minSize > 0 && size < minSize) size = minSize;
    if (maxSize > 0 && size > maxSize) size = maxSize;
    if (size > 0) chosen.setPointSizeF(std::round(size * 10) / 10);
    font = chosen;
    return true;
}

}  // namespace mChooseFontDlg
