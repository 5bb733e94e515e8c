#include "mChooseFontDlg.h"

#include "mDialogHook.h"
#include "platform/Modal.h"
#include "platform/Numbers.h"
#include "platform/SystemMessage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalBlocker>
#include <QValidator>
#include <optional>

namespace mChooseFontDlg {
namespace {

// The stock size box takes whole points read in the user's locale, so "10,5" and "10.5"
// lost their separator and came out as 105. This one takes tenths with the program's
// decimal comma; no leading zero, so that the box never holds "0" itself (see FontDialog).
class SizeValidator : public QValidator {
public:
    SizeValidator(int smallest, int largest, QObject* parent)
        : QValidator(parent), m_smallest(smallest), m_largest(largest) {}

    State validate(QString& input, int&) const override {
        input.replace(u'.', u',');
        static const QRegularExpression shape(
            QRegularExpression::anchoredPattern(QStringLiteral("([1-9][0-9]*)?(,[0-9]?)?")));
        if (!shape.match(input).hasMatch()) return Invalid;
        const std::optional<double> points = platform::numbers::parse(input);
        if (!points) return Intermediate;  // "" or ","
        if (*points > m_largest) return Invalid;
        return *points < m_smallest ? Intermediate : Acceptable;
    }

private:
    int m_smallest, m_largest;
};

// The stock dialog with that size box. The dialog keeps a whole size of its own, which it
// takes from the box's text (0 for "10,5"), writes back into the box when the family or the
// style changes, and gives its sample, which is the font chosen. After each change it makes,
// the size typed goes back into the box and into the sample; a size it writes that is not 0
// is a new one (a size picked in its list, a font set on it) and is kept.
class FontDialog : public QFontDialog {
public:
    FontDialog(QWidget* owner, int smallest, int largest)
        : QFontDialog(owner), m_smallest(smallest), m_largest(largest) {
        setObjectName(QStringLiteral("mChooseFontDlg"));
        setOption(QFontDialog::DontUseNativeDialog);
        for (QLineEdit* box : findChildren<QLineEdit*>())
            if (qobject_cast<const QIntValidator*>(box->validator())) m_sizeBox = box;
        m_sample = findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"));
        m_sample->installEventFilter(this);
        fitSample();
        m_sizeBox->setValidator(new SizeValidator(smallest, largest, m_sizeBox));
        connect(m_sizeBox, &QLineEdit::textChanged, this, &FontDialog::keepSize);
        connect(this, &QFontDialog::currentFontChanged, this, &FontDialog::keepSize);
    }

    void choose(const QFont& font) {
        setCurrentFont(font);
        m_sizeBox->setText(platform::numbers::formatToTenth(font.pointSizeF()));
    }

    // The size in the box, when it is one the dialog takes.
    std::optional<double> size() const {
        return m_sizeBox->hasAcceptableInput() ? platform::numbers::parse(m_sizeBox->text()) : std::nullopt;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_sample && event->type() == QEvent::FontChange) fitSample();
        return QFontDialog::eventFilter(watched, event);
    }

    void done(int result) override {
        if (result == Accepted && !size()) {
            platform::warningMessage(this, windowTitle(),
                                     QStringLiteral("La taille doit être comprise entre %1 et %2 points.")
                                         .arg(m_smallest)
                                         .arg(m_largest));
            m_sizeBox->setFocus();
            m_sizeBox->selectAll();
            return;
        }
        QFontDialog::done(result);
    }

private:
    // The stock sample ignores its size hint and takes the height of the rows it shares with
    // the effects: with them hidden, it is squashed to an empty strip. It asks for one line of
    // the font chosen, up to a third of the screen, so that the buttons stay on the screen
    // whatever size is typed.
    void fitSample() {
        int line = m_sample->sizeHint().height();
        if (const QScreen* screen = m_sample->screen()) line = qMin(line, screen->availableGeometry().height() / 3);
        m_sample->setMinimumHeight(line);
    }

    void keepSize() {
        if (m_sizeBox->text() == QLatin1String("0")) {
            const QSignalBlocker quiet(m_sizeBox);
            m_sizeBox->setText(m_size);
        }
        m_size = m_sizeBox->text();
        if (const std::optional<double> points = size(); points && m_sample->font().pointSizeF() != *points) {
            QFont font = m_sample->font();
            font.setPointSizeF(*points);
            m_sample->setFont(font);
        }
    }

    QLineEdit* m_sizeBox = nullptr;
    QLineEdit* m_sample = nullptr;
    QString m_size;  // the box's text before the dialog wrote into it
    int m_smallest, m_largest;
};

}  // namespace

bool ShowFont(QFont& font, int, bool, bool, bool noEffects, bool allowScriptChoice, bool fixedPitchOnly,
              platform::OleColor&, int minSize, int maxSize) {
    QWidget* owner = QApplication::activeWindow();
    FontDialog dialog(owner, minSize > 0 ? minSize : kSmallestSize, maxSize > 0 ? maxSize : kLargestSize);
    if (fixedPitchOnly) dialog.setOption(QFontDialog::MonospacedFonts);
    dialog.choose(font);
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
    chosen.setPointSizeF(*dialog.size());
    font = chosen;
    return true;
}

}  // namespace mChooseFontDlg
