// The scroll-bar wrapper: values moved by scroll codes, events, shown bars and their ranges.
#include "controls/cScrollBar.h"
#include "platform/VbError.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {
constexpr int V = cScrollBar::Vertical, H = cScrollBar::Horizontal;
}

class tst_cScrollBar : public QObject {
    Q_OBJECT
private slots:
    void scrollCodesClampOnlyWhatTheyMove() {
        cScrollBar s;
        QSignalSpy changes(&s, &cScrollBar::Change);
        const auto scroll = [&](int code) { s.SubClass(cScrollBar::WM_VSCROLL, code); };
        s.setSmallChange(V, 10);
        s.setLargeChange(V, 50);
        s.setValue(V, 95);
        scroll(cScrollBar::SB_LINEDOWN);
        QCOMPARE(s.Value(V), 100);
        scroll(cScrollBar::SB_LINEDOWN);
        QCOMPARE(changes.size(), 2);  // the second move changed nothing
        s.setValue(V, 30);
        scroll(cScrollBar::SB_PAGEUP);
        QCOMPARE(s.Value(V), 0);
        s.SubClass(cScrollBar::WM_HSCROLL, cScrollBar::SB_BOTTOM);
        QCOMPARE(s.Value(H), 100);
        QCOMPARE(changes.last().at(0).toInt(), H);
        // The owner's values and a lower maximum are not clamped; the next move is.
        s.setValue(V, 500);
        s.setMax(V, 40);
        QCOMPARE(s.Value(V), 500);
        scroll(cScrollBar::SB_LINEDOWN);
        QCOMPARE(s.Value(V), 40);
        QVERIFY_THROWS_EXCEPTION(platform::VbError, s.setValue(2, 1));
    }

    void userMovesOnTheBarBecomeValuesAndEvents() {
        QWidget window;
        window.resize(200, 150);
        cScrollBar s;
        s.Create(&window);
        QScrollBar* bar = s.bar(V);
        s.setMax(V, 300);
        s.setLargeChange(V, 50);
        s.setSmallChange(V, 10);
        s.BarVisible(V, true);
        QCOMPARE(bar->geometry(), QRect(200 - bar->width(), 0, bar->width(), 150));
        QCOMPARE(bar->maximum(), 300);  // the thumb is one page long over values 0 to 300
        QCOMPARE(bar->pageStep(), 50);

        QStringList events;
        connect(&s, &cScrollBar::Change, this, [&](int b) { events << QStringLiteral("Change%1").arg(b); });
        connect(&s, &cScrollBar::Scroll, this, [&](int b) { events << QStringLiteral("Scroll%1").arg(b); });
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(s.Value(V), 10);
        // A drag: each position is a change then a scroll; the release has nothing to add.
        bar->setSliderDown(true);
        bar->setSliderPosition(120);
        bar->setSliderDown(false);
        QCOMPARE(s.Value(V), 120);
        QCOMPARE(events, (QStringList{"Change1", "Change1", "Scroll1"}));
        s.setValue(V, 200);
        QCOMPARE(bar->value(), 200);
        QCOMPARE(events.size(), 4);
        // Both bars leave the corner free; one alone takes the whole side.
        s.BarVisible(cScrollBar::BothBars, true);
        QCOMPARE((QList<int>{bar->height(), s.bar(H)->width()}), (QList<int>{150 - s.bar(H)->height(), 200 - bar->width()}));
        s.BarVisible(V, false);
        QCOMPARE(s.bar(H)->width(), 200);
    }
};

QTEST_MAIN(tst_cScrollBar)
#include "tst_cScrollBar.moc"
