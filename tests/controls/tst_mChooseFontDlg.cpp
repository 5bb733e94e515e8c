// The font dialog: what it offers, and the font it gives back.
#include "controls/mChooseFontDlg.h"
#include "platform/Modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QPushButton>
#include <QTest>

using platform::ModalTestScope;

namespace {

void press(QWidget& w, QDialogButtonBox::ButtonRole role) {
    for (QDialogButtonBox* box : w.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* b : box->buttons())
            if (box->buttonRole(b) == role) return b->click();
    QFAIL("no such button");
}

bool effectsShown(QWidget& w) {
    for (QCheckBox* c : w.findChildren<QCheckBox*>())
        if (c->isVisible()) return true;
    return false;
}

}  // namespace

class tst_mChooseFontDlg : public QObject {
    Q_OBJECT
private slots:
    void pageSetupChoiceReplacesTheFont() {
        ModalTestScope scope;
        QFont font(QStringLiteral("DejaVu Sans"), 10);
        font.setUnderline(true);
        const QFont given = font;
        platform::OleColor colour = 0x123456;
        scope.push([](QWidget& w) {
            auto* dialog = qobject_cast<QFontDialog*>(&w);
            QVERIFY(dialog);
            QVERIFY(dialog->testOption(QFontDialog::DontUseNativeDialog));
            QVERIFY(!dialog->testOption(QFontDialog::MonospacedFonts));
            QCOMPARE(dialog->currentFont().family(), QStringLiteral("DejaVu Sans"));
            // No effects and no choice of script.
            QVERIFY(!effectsShown(w));
            const auto combos = w.findChildren<QComboBox*>();
            QVERIFY(!combos.isEmpty());
            for (QComboBox* c : combos) QVERIFY(!c->isEnabled());
            QFont chosen(QStringLiteral("DejaVu Serif"));
            chosen.setPointSize(14);
            chosen.setBold(true);
            dialog->setCurrentFont(chosen);
            press(w, QDialogButtonBox::AcceptRole);
        });
        QVERIFY(mChooseFontDlg::ShowFont(font, 0, false, false, true, false, false, colour, 0, 0));
        QCOMPARE(font.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(font.pointSizeF(), 14.0);
        QVERIFY(font.bold());
        QVERIFY(font.underline());  // kept: the effects were not offered
        QCOMPARE(colour, 0x123456u);

        // Cancel changes nothing.
        font = given;
        scope.push([](QWidget& w) {
            qobject_cast<QFontDialog*>(&w)->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 20));
            press(w, QDialogButtonBox::RejectRole);
        });
        QVERIFY(!mChooseFontDlg::ShowFont(font, 0, false, false, true, false, false, colour, 0, 0));
        QCOMPARE(font, given);
    }

    void optionsNarrowWhatIsOffered() {
        ModalTestScope scope;
        QFont font(QStringLiteral("DejaVu Sans Mono"), 12);
        platform::OleColor colour = 0;
        scope.push([](QWidget& w) {
            auto* dialog = qobject_cast<QFontDialog*>(&w);
            QVERIFY(dialog->testOption(QFontDialog::MonospacedFonts));
            QVERIFY(effectsShown(w));
            for (QComboBox* c : w.findChildren<QComboBox*>()) QVERIFY(c->isEnabled());
            dialog->setCurrentFont(QFont(QStringLiteral("DejaVu Sans Mono"), 48));
            press(w, QDialogButtonBox::AcceptRole);
        });
        // Sizes beyond the limits come back within them.
        QVERIFY(mChooseFontDlg::ShowFont(font, 0, false, false, false, true, true, colour, 8, 24));
        QCOMPARE(font.pointSizeF(), 24.0);
    }
};

QTEST_MAIN(tst_mChooseFontDlg)
#include "tst_mChooseFontDlg.moc"
