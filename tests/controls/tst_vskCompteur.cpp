// The numeric counter: its bounds and errors, the keys and buttons that change it, its events.
#include "controls/vskCompteur.h"
#include "TabBarTestKit.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <climits>

using namespace platform;
using tabkit::raised;

namespace {

QLineEdit* text(vskCompteur& c) { return c.findChild<QLineEdit*>("Text1"); }

QString invalid(const char* description) { return tabkit::error(kErrInvalidValue, "vskCompteur", description); }

// A counter with bounds, value and the caret (or a selection) placed in its text.
void prepare(vskCompteur& c, int min, int max, int value, int selStart, int selLength = 0) {
    c.setMin(0);
    c.setMax(max);
    c.setMin(min);
    c.setValue(value);
    c.setSelStart(selStart);
    if (selLength) c.setSelLength(selLength);
}

}  // namespace

class tst_vskCompteur : public QObject {
    Q_OBJECT
private slots:
    void boundsValueAndErrors() {
        vskCompteur c;
        QSignalSpy change(&c, &vskCompteur::Change);
        c.setValue(3);
        c.setValue(3);
        QCOMPARE(text(c)->text(), "3");
        QCOMPARE(change.size(), 1);  // the same text again raises no Change

        const QString minBelowMax = invalid("La propriété Min doit être inférieure à la propriété Max");
        QCOMPARE(raised([&] { c.setMax(0); }), invalid("La propriété Max doit être supérieure à 0"));
        QCOMPARE(raised([&] { c.setMin(-1); }), invalid("La propriété Min doit être supérieure ou égale à 0"));
        QCOMPARE(raised([&] { c.setMin(100); }), minBelowMax);
        QCOMPARE(raised([&] { c.setValue(101); }),
                 tabkit::error(kErrOutOfRange, "vskCompteur", "Value doit être supérieure ou égale à Min et inférieure ou égale à Max"));
        QCOMPARE((QList<int>{c.Min(), c.Max(), c.Value()}), (QList<int>{0, 100, 3}));
        c.setMax(5);
        QCOMPARE(c.Value(), 3);
        c.setMin(2);  // Min also sets the value
        QCOMPARE(c.Value(), 2);
        QCOMPARE(raised([&] { c.setMax(2); }), minBelowMax);
        c.setValue(5);
        c.setMax(4);
        QCOMPARE(text(c)->text(), "4");
    }

    void keysChangeTheNumberWithinItsBounds() {
        // Bounds, value and caret (-1: the whole text selected); the key; the text and caret after
        // (-1: not looked at).
        struct Case { int min, max, value, caret; Qt::Key key; QString after; int caretAfter; };
        const Case cases[] = {
            {1, 3, 2, -1, Qt::Key_5, "2", -1},                          // "5", and the digit alone, out of range
            {1, 3, 2, 1, Qt::Key_0, "2", -1},                           // "20" and "0" both refused
            {1, 3, 2, 1, Qt::Key_3, "3", 1},                            // "23" too large, "3" alone fits
            {1, 3, 3, 1, Qt::Key_Backspace, "1", -1},                   // empty stands for Min
            {0, 100, 45, 1, Qt::Key_Delete, "4", 0},
            {0, 100, 45, 0, Qt::Key_A, "45", -1},
            {0, 1000, 45, 0, Qt::Key_1, "145", 1},
            {10, 32767, 32767, 5, Qt::Key_9, "32767", -1},              // past the bounds: refused, never wrapped
            {10, INT_MAX, INT_MAX, 10, Qt::Key_9, "2147483647", -1},    // past any integer
        };
        vskCompteur c;
        for (const Case& k : cases) {
            prepare(c, k.min, k.max, k.value, qMax(k.caret, 0), k.caret < 0 ? 1 : 0);
            QTest::keyClick(text(c), k.key);
            QCOMPARE(text(c)->text(), k.after);
            if (k.caretAfter >= 0) QCOMPARE(text(c)->cursorPosition(), k.caretAfter);
        }

        // KeyPress carries the character, KeyDown the key code; a refused key raises no Change.
        QSignalSpy change(&c, &vskCompteur::Change), press(&c, &vskCompteur::KeyPress), down(&c, &vskCompteur::KeyDown);
        c.setSelStart(0);
        QTest::keyClick(text(c), Qt::Key_A);
        QTest::keyClick(text(c), Qt::Key_Backspace);  // nothing before the caret
        QCOMPARE(change.size(), 0);
        QCOMPARE((QList<int>{press[0][0].toInt(), press[1][0].toInt(), down[1][0].toInt()}), (QList<int>{'a', 8, 8}));
    }

    void buttonsStepWithinTheBounds() {
        QWidget window;
        auto* c = new vskCompteur(&window);
        c->setGeometry(10, 10, 120, 19);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* minus = c->findChild<QAbstractButton*>("cmdAction0");
        auto* plus = c->findChild<QAbstractButton*>("cmdAction1");

        prepare(*c, 1, 3, 2, 0);
        QSignalSpy change(c, &vskCompteur::Change);
        plus->click();
        plus->click();  // at Max: no change, no wrapping
        QCOMPARE(c->Value(), 3);
        QCOMPARE(change.size(), 1);
        QVERIFY(text(*c)->hasFocus());
        QCOMPARE(text(*c)->selectedText(), "3");
        for (int i = 0; i < 3; ++i) minus->click();
        QCOMPARE(c->Value(), 1);
    }
};

QTEST_MAIN(tst_vskCompteur)
#include "tst_vskCompteur.moc"
