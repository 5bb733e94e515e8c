// The font dialog: what it offers, and the font it gives back.
#include "controls/mChooseFontDlg.h"
#include "platform/Modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QTest>

class tst_mChooseFontDlg : public QObject {
    Q_OBJECT
private slots:
    void pageSetupChoiceReplacesTheFont() {
        platform::ModalTestScope scope;
        QFont font(QStringLiteral("DejaVu Sans"), 10);
        font.setUnderline(true);
        platform::OleColor colour = 0x123456;
        const auto choose = [](int size, bool ok) {
            return [size, ok](QWidget& w) {
                for (QCheckBox* c : w.findChildren<QCheckBox*>()) QVERIFY(!c->isVisible());  // no effects
                for (QComboBox* c : w.findChildren<QComboBox*>()) QVERIFY(!c->isEnabled());  // no script
                auto* dialog = qobject_cast<QFontDialog*>(&w);
                dialog->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), size, QFont::Bold));
                ok ? dialog->accept() : dialog->reject();
            };
        };
        scope.push(choose(14, true));
        QVERIFY(mChooseFontDlg::ShowFont(font, 0, false, false, true, false, false, colour, 0, 0));
        QCOMPARE(font.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(font.pointSizeF(), 14.0);
        QVERIFY(font.bold() && font.underline());  // effects not offered are kept
        QCOMPARE(colour, 0x123456u);

        const QFont before = font;
        scope.push(choose(20, false));
        QVERIFY(!mChooseFontDlg::ShowFont(font, 0, false, false, true, false, false, colour, 0, 0));
        QCOMPARE(font, before);
    }
};

QTEST_MAIN(tst_mChooseFontDlg)
#include "tst_mChooseFontDlg.moc"
