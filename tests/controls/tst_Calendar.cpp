// The month calendar: how a month is laid out, how keys and the mouse move the selection,
// and the events that tell the dialog about it.
#include "controls/Calendar.h"

#include <QSignalSpy>
#include <QTest>

using namespace platform;

namespace {

QPoint centreOf(int cell) { return Calendar::DayCellRect(cell).center(); }

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
        QCOMPARE(january.FirstIndex(), 7);
        QCOMPARE(january.Day(0), 25);
        QCOMPARE(january.Day(6), 31);
        QVERIFY(!january.InMonth(6));
        QCOMPARE(january.Day(7), 1);
        QVERIFY(january.InMonth(7));

        const CalendarMonth september(2024, 9);  // begins on a Sunday
        QCOMPARE(september.FirstIndex(), 6);
        QCOMPARE(september.Day(6), 1);
        QCOMPARE(september.Title(), "septembre 2024");

        const CalendarMonth february(2021, 2);  // 28 days from a Monday
        QCOMPARE(february.FirstIndex(), 7);
        QCOMPARE(february.LastIndex(), 34);
        QCOMPARE(february.Day(34), 28);
        QCOMPARE(february.Day(35), 1);
        QCOMPARE(february.Day(41), 7);
        QVERIFY(!february.InMonth(35));
        QCOMPARE(CalendarMonth(2024, 2).Title(), "février 2024");
        QCOMPARE(CalendarMonth(2024, 2).Day(0), 29);  // January 2024 ends on day 31, 3 days shown

        const CalendarMonth first(100, 1);  // the month before is counted, not formed as a date
        QCOMPARE(first.Day(first.FirstIndex() - 1), 31);
        const CalendarMonth last(9999, 12);
        QCOMPARE(last.Day(41), 41 - last.LastIndex());
    }

    void keysMoveTheSelection() {
        Calendar c;
        QCOMPARE(c.Value(), QDate::currentDate());
        QCOMPARE((QList<OleColor>{c.BackColor(), c.ForeColor(), c.TitleBackColor(), c.TitleForeColor()}),
                 (QList<OleColor>{0xFFFFFF, 0, 0xFF0000, 0xFFFFFF}));
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
        QCOMPARE(press(Qt::Key_PageUp, Qt::ControlModifier), QDate(2014, 3, 28));
        QCOMPARE(press(Qt::Key_PageUp), QDate(2014, 2, 28));
        QCOMPARE(press(Qt::Key_Right), QDate(2014, 3, 1));  // into the next month
        QCOMPARE(press(Qt::Key_Left), QDate(2014, 2, 28));
        QCOMPARE(press(Qt::Key_Up), QDate(2014, 2, 21));
        QCOMPARE(press(Qt::Key_Down), QDate(2014, 2, 28));
        events.take();

        // Moves that would leave the date range change nothing and raise no DateChange.
        c.setValue(QDate(105, 6, 15));
        events.take();
        QCOMPARE(press(Qt::Key_PageUp, Qt::ShiftModifier), QDate(105, 6, 15));
        QCOMPARE(events.take(), (QStringList{"down 16/1", "down 33/1"}));  // Shift, then Page Up
        c.setValue(QDate(9999, 12, 31));
        QCOMPARE(press(Qt::Key_Right), QDate(9999, 12, 31));
        c.setValue(QDate(99, 12, 31));  // outside the range: ignored
        c.setValue(QDate());
        QCOMPARE(c.Value(), QDate(9999, 12, 31));

        events.take();
        QCOMPARE(press(Qt::Key_Home), QDate::currentDate());
        QCOMPARE(events.take(), (QStringList{"change(user)", "down 36/0"}));

        // Enter and Esc reach the calendar's own handlers.
        QSignalSpy keyPress(&c, &Calendar::KeyPress);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QCoreApplication::sendEvent(&c, &enter);
        QVERIFY(enter.isAccepted());
        QTest::keyPress(&c, Qt::Key_Escape);
        QCOMPARE(events.take(), (QStringList{"down 13/0", "down 27/0"}));
        QCOMPARE(keyPress.size(), 2);
        QCOMPARE(keyPress.first().at(0).toInt(), 13);
        QSignalSpy up(&c, &Calendar::KeyUp);
        QTest::keyRelease(&c, Qt::Key_Escape);
        QCOMPARE(up.size(), 1);
    }

    void mouseChoosesDaysAndMonths() {
        Calendar c;
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        EventLog events(c);
        c.setValue(QDate(2024, 2, 14));
        events.take();

        QTest::mouseClick(&c, Qt::LeftButton, {}, centreOf(0));  // 29 January, in grey
        QCOMPARE(c.Value(), QDate(2024, 1, 29));
        QCOMPARE(events.take(), (QStringList{"change(user)", "dateclick", "click"}));
        QTest::mouseClick(&c, Qt::LeftButton, {}, centreOf(cellOf(c.Value())));  // the selected day
        QCOMPARE(c.Value(), QDate(2024, 1, 29));
        QCOMPARE(events.take(), (QStringList{"change(user)", "dateclick", "click"}));
        QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(2, 2));  // the title band: the surface
        QCOMPARE(events.take(), QStringList{"click"});
        QTest::mouseClick(&c, Qt::RightButton, {}, centreOf(10));
        QCOMPARE(c.Value(), QDate(2024, 1, 29));

        QWidget* next = c.findChild<QWidget*>("imaNav1");
        QWidget* previous = c.findChild<QWidget*>("imaNav0");
        QCOMPARE(next->toolTip(), "Clic gauche: avancer d'un mois. Clic droit: avancer d'une année");
        QCOMPARE(previous->toolTip(), "Clic gauche: reculer d'un mois. Clic droit: reculer d'une année");
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(c.Value(), QDate(2024, 2, 29));
        QTest::mouseClick(next, Qt::RightButton);
        QCOMPARE(c.Value(), QDate(2025, 2, 28));
        QTest::mouseClick(next, Qt::MiddleButton);
        QCOMPARE(c.Value(), QDate(2026, 2, 28));
        QTest::mouseClick(previous, Qt::LeftButton);
        QCOMPARE(c.Value(), QDate(2026, 1, 28));
        QTest::mouseClick(previous, Qt::RightButton);
        QCOMPARE(c.Value(), QDate(2025, 1, 28));
        QCOMPARE(events.take().size(), 5);

        c.setEnabled(false);
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::mouseClick(&c, Qt::LeftButton, {}, centreOf(0));
        QCOMPARE(c.Value(), QDate(2025, 1, 28));
    }

    void paintsInTheTitleColours() {
        Calendar c;
        c.setValue(QDate(2024, 2, 14));
        const auto pixel = [&](QPoint at) { return c.grab().toImage().pixelColor(at); };
        const QRect selected = Calendar::DayCellRect(cellOf(c.Value()));
        QCOMPARE(pixel(QPoint(1, 1)), QColor(0, 0, 255));  // &HFF0000 is blue
        QCOMPARE(pixel(selected.topLeft()), QColor(0, 0, 255));
        QCOMPARE(pixel(Calendar::DayCellRect(0).topLeft()), QColor(255, 255, 255));
        c.setTitleBackColor(rgb(0, 128, 0));
        c.setBackColor(rgb(255, 255, 200));
        QCOMPARE(pixel(selected.topLeft()), QColor(0, 128, 0));
        QCOMPARE(pixel(Calendar::DayCellRect(0).topLeft()), QColor(255, 255, 200));
        c.setBorderStyle(1);  // the border takes room inside the fixed size
        QCOMPARE(c.size(), QSize(166, 153));
        QVERIFY(c.contentsRect().width() < c.width());
    }
};

QTEST_MAIN(tst_Calendar)
#include "tst_Calendar.moc"
