// The scroll-bar wrapper: values moved by scroll codes, events, shown bars and their ranges.
#include "controls/cScrollBar.h"
#include "platform/VbError.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {
constexpr int V = cScrollBar::Vertical, H = cScrollBar::Horizontal;

void vscroll(cScrollBar& s, int code) { s.SubClass(cScrollBar::WM_VSCROLL, code); }
}  // namespace

class tst_cScrollBar : public QObject {
    Q_OBJECT
private slots:
    void scrollCodesMoveTheValueWithinTheLimits() {
        cScrollBar s;
        QSignalSpy changes(&s, &cScrollBar::Change);
        s.setSmallChange(V, 10);
        s.setLargeChange(V, 50);
        s.setValue(V, 95);
        QCOMPARE(changes.size(), 1);
        vscroll(s, cScrollBar::SB_LINEDOWN);
        QCOMPARE(s.Value(V), 100);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.last().at(0).toInt(), V);
        vscroll(s, cScrollBar::SB_LINEDOWN);
        QCOMPARE(s.Value(V), 100);
        QCOMPARE(changes.size(), 2);

        s.setValue(V, 30);
        vscroll(s, cScrollBar::SB_PAGEUP);
        QCOMPARE(s.Value(V), 0);
        vscroll(s, cScrollBar::SB_LINEUP);
        QCOMPARE(s.Value(V), 0);
        vscroll(s, cScrollBar::SB_PAGEDOWN);
        QCOMPARE(s.Value(V), 50);
        vscroll(s, cScrollBar::SB_BOTTOM);
        QCOMPARE(s.Value(V), 100);
        vscroll(s, cScrollBar::SB_TOP);
        QCOMPARE(s.Value(V), 0);
        const int before = changes.size();
        vscroll(s, cScrollBar::SB_THUMBPOSITION);
        vscroll(s, cScrollBar::SB_ENDSCROLL);
        vscroll(s, 99);
        QCOMPARE(changes.size(), before);

        // The horizontal bar has values of its own.
        s.setMin(H, 10);
        s.SubClass(cScrollBar::WM_HSCROLL, cScrollBar::SB_TOP);
        QCOMPARE(s.Value(H), 10);
        QCOMPARE(s.Value(V), 0);
        QCOMPARE(changes.last().at(0).toInt(), H);

        // Only scroll codes clamp: a value set by the owner, or a lower maximum, stays put.
        s.setValue(V, 500);
        QCOMPARE(s.Value(V), 500);
        s.setMax(V, 40);
        QCOMPARE(s.Value(V), 500);
        vscroll(s, cScrollBar::SB_LINEDOWN);
        QCOMPARE(s.Value(V), 40);
    }

    void barsFollowTheWrapperAndReportUserMoves() {
        QWidget window;
        window.resize(200, 150);
        cScrollBar s;
        s.Create(&window);
        QScrollBar* bar = s.bar(V);
        QVERIFY(bar && !bar->isVisibleTo(&window));
        s.setMax(V, 300);
        s.setLargeChange(V, 50);
        s.setSmallChange(V, 10);
        s.BarVisible(V, true);
        QVERIFY(bar->isVisibleTo(&window));
        QCOMPARE(bar->geometry().right(), window.width() - 1);
        QCOMPARE(bar->height(), window.height());
        // The thumb is one page long over values 0 to 300.
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 300);
        QCOMPARE(bar->pageStep(), 50);

        QStringList events;
        connect(&s, &cScrollBar::Change, this, [&](int b) { events << QStringLiteral("Change%1").arg(b); });
        connect(&s, &cScrollBar::Scroll, this, [&](int b) { events << QStringLiteral("Scroll%1").arg(b); });

        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(s.Value(V), 10);
        QCOMPARE(bar->value(), 10);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(s.Value(V), 60);
        QCOMPARE(events, (QStringList{"Change1", "Change1"}));

        // A thumb drag: every new position is a change then a scroll, and the release finds
        // nothing left to report.
        events.clear();
        bar->setSliderDown(true);
        bar->setSliderPosition(120);
        bar->setSliderPosition(150);
        bar->setSliderDown(false);
        QCOMPARE(s.Value(V), 150);
        QCOMPARE(bar->value(), 150);
        QCOMPARE(events, (QStringList{"Change1", "Scroll1", "Change1", "Scroll1"}));

        // The owner's value shows on the bar without being reported back as a user move.
        events.clear();
        s.setValue(V, 200);
        QCOMPARE(bar->value(), 200);
        QCOMPARE(events, QStringList{"Change1"});
        s.setEnabled(V, 3);
        QVERIFY(!bar->isEnabled());
        s.setEnabled(V, 1);
        QVERIFY(bar->isEnabled());
        QCOMPARE(s.Enabled(V), 1);
    }

    void barTypeTracksWhichBarsAreShown() {
        QWidget window;
        window.resize(200, 150);
        cScrollBar s;
        s.Create(&window);
        QCOMPARE(s.BarType(), 2);
        s.BarVisible(V, true);
        QCOMPARE(s.BarType(), 1);
        s.BarVisible(H, true);
        QCOMPARE(s.BarType(), 3);
        // Both shown: they share the corner.
        QCOMPARE(s.bar(V)->height(), window.height() - s.bar(H)->height());
        s.BarVisible(V, false);
        QCOMPARE(s.BarType(), 0);
        s.BarVisible(H, false);
        QCOMPARE(s.BarType(), 2);
        // Bar 2 stands for "no bar": showing it hides both, hiding it shows both.
        s.BarVisible(cScrollBar::NoBar, false);
        QCOMPARE(s.BarType(), 3);
        QVERIFY(s.bar(H)->isVisibleTo(&window) && s.bar(V)->isVisibleTo(&window));
        s.BarVisible(cScrollBar::NoBar, true);
        QCOMPARE(s.BarType(), 2);
        QVERIFY(!s.bar(H)->isVisibleTo(&window) && !s.bar(V)->isVisibleTo(&window));

        // Attaching again replaces the previous bars.
        s.Create(&window);
        QCOMPARE(window.findChildren<QScrollBar*>().size(), 2);
    }

    void barNumbersOutsideZeroAndOneAreRefused() {
        cScrollBar s;
        for (int bar : {-1, 2}) {
            try {
                s.setValue(bar, 1);
                QFAIL("no error");
            } catch (const platform::VbError& e) {
                QCOMPARE(e.number(), 9);
                QCOMPARE(e.source(), QStringLiteral("cScrollBar"));
                QCOMPARE(e.description(), QStringLiteral("L'indice n'appartient pas à la sélection."));
            }
        }
        QVERIFY_THROWS_EXCEPTION(platform::VbError, s.Max(3));
        // Qt bars have no flat look: the style is only kept.
        s.setStyle(1);
        QCOMPARE(s.Style(), 1);
        s.setBackColor(V, 0xFF);
        QCOMPARE(s.BackColor(V), 0u);
    }
};

QTEST_MAIN(tst_cScrollBar)
#include "tst_cScrollBar.moc"
