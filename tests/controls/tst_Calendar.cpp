// The month calendar: how a month is laid out, how keys and the mouse move the selection,
// and the events that tell the dialog about it.
#include "controls/Calendar.h"

#include <QSignalSpy>
#include <QTest>

using namespace platform;

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

}  // namespace

class tst_Calendar : public QObject {
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
};

QTEST_MAIN(tst_Calendar)
#include "tst_Calendar.moc"
