// The series dialog's controls: the month calendar (how a month is laid out, how keys and the
// mouse move the selection, the events that tell the dialog about it) and the numeric counter
// (its bounds and errors, the keys and buttons that change it, its events).
#include "controls/Calendar.h"
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

QPoint centreOf(const Calendar& c, int cell) { return c.DayCellRect(cell).center(); }

int cellOf(const QDate& d) { return CalendarMonth(d.year(), d.month()).FirstIndex() + d.day() - 1; }

// Records the order in which the calendar's events arrive.
struct EventLog {
    explicit EventLog(Calendar& c) {
        QObject::connect(&c, &Calendar::DateChange, [this](bool byUser) { log << (byUser ? "change(user)" : "change"); });
        QObject::connect(&c, &Calendar::DateClick, [this] { log << "dateclick"; });
        QObject::connect(&c, &Calendar::Click, [this] { log << "click"; });
        QObject::connect(&c, &Calendar::KeyDown, [this](int code, int shift) { log << QString("down %1/%2").arg(code).arg(shift); });
    }
    QStringList take() { return std::exchange(log, {}); }
    QStringList log;
};

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

class tst_CalendarAndCounter : public QObject {
    Q_OBJECT
private slots:
    void monthsAreLaidOutFromMonday() {
        const CalendarMonth january(2024, 1);  // begins on a Monday: a whole week before it
        QCOMPARE((QList<int>{january.FirstIndex(), january.Day(0), january.Day(6), january.Day(7)}), (QList<int>{7, 25, 31, 1}));
        QCOMPARE(CalendarMonth(2024, 9).FirstIndex(), 6);  // begins on a Sunday
        const CalendarMonth february(2021, 2);             // 28 days from a Monday
        QCOMPARE((QList<int>{february.LastIndex(), february.Day(35), february.Day(41)}), (QList<int>{34, 1, 7}));
        QCOMPARE(CalendarMonth(2024, 2).Title(), "février 2024");
        const CalendarMonth first(100, 1);  // the month before is counted, not formed as a date
        QCOMPARE(first.Day(first.FirstIndex() - 1), 31);
    }

    void keysMoveTheSelection() {
        Calendar c;
        EventLog events(c);
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods = {}) {
            QTest::keyPress(&c, key, mods);
            return c.Value();
        };

        c.setValue(QDate(2023, 1, 31));
        QCOMPARE(events.take(), QStringList{"change"});
        QCOMPARE(press(Qt::Key_PageDown), QDate(2023, 2, 28));
        QCOMPARE(events.take(), (QStringList{"change(user)", "down 34/0"}));
        c.setValue(QDate(2024, 1, 31));
        QCOMPARE(press(Qt::Key_PageDown), QDate(2024, 2, 29));
        QCOMPARE(press(Qt::Key_PageDown, Qt::ControlModifier), QDate(2025, 2, 28));
        QCOMPARE(press(Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier), QDate(2025, 3, 28));
        QCOMPARE(press(Qt::Key_PageUp, Qt::ShiftModifier), QDate(2015, 3, 28));
        c.setValue(QDate(2014, 2, 28));
        QCOMPARE(press(Qt::Key_Right), QDate(2014, 3, 1));  // into the next month

        // Moves that would leave the date range change nothing and raise no DateChange.
        c.setValue(QDate(105, 6, 15));
        events.take();
        QCOMPARE(press(Qt::Key_PageUp, Qt::ShiftModifier), QDate(105, 6, 15));
        QCOMPARE(events.take(), (QStringList{"down 16/1", "down 33/1"}));  // Shift, then Page Up
        c.setValue(QDate(9999, 12, 31));
        QCOMPARE(press(Qt::Key_Right), QDate(9999, 12, 31));
        c.setValue(QDate(99, 12, 31));  // outside the range: ignored
        QCOMPARE(c.Value(), QDate(9999, 12, 31));

        events.take();
        QCOMPARE(press(Qt::Key_Home), QDate::currentDate());
        QCOMPARE(events.take(), (QStringList{"change(user)", "down 36/0"}));

        // Enter and Esc reach the calendar's own handlers, and Enter stops there.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QCoreApplication::sendEvent(&c, &enter);
        QVERIFY(enter.isAccepted());
        QTest::keyPress(&c, Qt::Key_Escape);
        QCOMPARE(events.take(), (QStringList{"down 13/0", "down 27/0"}));
    }

    void mouseChoosesDaysAndMonths() {
        Calendar c;
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        EventLog events(c);
        c.setValue(QDate(2024, 2, 14));
        events.take();
        // The selected day in the title colour, &HFF0000: blue.
        const QImage shown = c.grab().toImage();
        QCOMPARE(shown.pixelColor(c.DayCellRect(cellOf(c.Value())).topLeft()), QColor(0, 0, 255));
        QCOMPARE(shown.pixelColor(c.DayCellRect(0).topLeft()), QColor(255, 255, 255));

        QTest::mouseClick(&c, Qt::LeftButton, {}, centreOf(c, 0));  // 29 January, in grey
        QCOMPARE(c.Value(), QDate(2024, 1, 29));
        QTest::mouseClick(&c, Qt::LeftButton, {}, centreOf(c, cellOf(c.Value())));  // the selected day
        QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(2, 2));                    // the title band: the surface
        QTest::mouseClick(&c, Qt::RightButton, {}, centreOf(c, 10));
        QCOMPARE(c.Value(), QDate(2024, 1, 29));
        QCOMPARE(events.take(), (QStringList{"change(user)", "dateclick", "click", "change(user)", "dateclick", "click", "click"}));

        QWidget* next = c.findChild<QWidget*>("imaNav1");
        QWidget* previous = c.findChild<QWidget*>("imaNav0");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(c.Value(), QDate(2024, 2, 29));
        QTest::mouseClick(next, Qt::RightButton);
        QCOMPARE(c.Value(), QDate(2025, 2, 28));
        QTest::mouseClick(next, Qt::MiddleButton);
        QCOMPARE(c.Value(), QDate(2026, 2, 28));
        QTest::mouseClick(previous, Qt::LeftButton);
        QTest::mouseClick(previous, Qt::RightButton);
        QCOMPARE(c.Value(), QDate(2025, 1, 28));
    }

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

QTEST_MAIN(tst_CalendarAndCounter)
#include "tst_CalendarAndCounter.moc"
