// A window's own scroll bars and splitter: the scroll-bar wrapper (values moved by scroll
// codes, events, shown bars and their ranges) and the splitter drag (its margins in both
// orientations, where the outline and the bar go).
#include "controls/cScrollBar.h"
#include "controls/cSplitDDC.h"

#include <QFrame>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <functional>

namespace {

constexpr int V = cScrollBar::Vertical, H = cScrollBar::Horizontal;

class Bar : public QFrame {
public:
    std::function<void(QPoint)> pressed;

protected:
    void mousePressEvent(QMouseEvent* e) override { pressed(e->position().toPoint()); }
};

// A window wired to its splitter as the program's windows are.
class Panes : public QWidget {
public:
    explicit Panes(int orientation) {
        resize(400, 300);
        bar = new Bar;
        bar->setParent(this);
        bar->setGeometry(orientation == 2 ? QRect(0, 150, 400, 5) : QRect(150, 0, 5, 300));
        split.setSplitObject(bar);
        split.setOrientation(orientation);
        bar->pressed = [this](QPoint p) { split.SplitterMouseDown(this, p.x(), p.y()); };
        show();
    }
    QRect outline() const {
        const auto* band = findChild<QRubberBand*>();
        return band && band->isVisible() ? band->geometry() : QRect();
    }
    cSplitDDC split;
    Bar* bar;
    int arranged = 0;

protected:
    void mouseMoveEvent(QMouseEvent* e) override { split.SplitterFormMouseMove(e->position().x(), e->position().y()); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (split.SplitterFormMouseUp(e->position().x(), e->position().y())) ++arranged;
    }
};

}  // namespace

class tst_ScrollBarsAndSplitter : public QObject {
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

    void dragsStopAtTheMargins() {
        Panes w(1);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.bar->cursor().shape(), Qt::SizeHorCursor);
        QTest::mousePress(w.bar, Qt::LeftButton, {}, QPoint(2, 10));
        QCOMPARE(w.outline(), QRect(150, 0, 4, 300));  // around the mouse, x 152
        QTest::mouseMove(&w, QPoint(390, 100));         // past the right margin (400 - 64)
        QCOMPARE(w.outline(), QRect(334, 0, 5, 300));
        QCOMPARE(w.bar->x(), 150);  // the bar waits for the release
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(390, 100));
        QCOMPARE(w.bar->geometry(), QRect(334, 0, 5, 300));
        QVERIFY(w.outline().isNull());
        QTest::mousePress(w.bar, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(10, 50));  // before the left margin
        QCOMPARE(w.bar->x(), 62);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(300, 50));  // no drag: nothing moves
        QCOMPARE(w.bar->x(), 62);
        QCOMPARE(w.arranged, 2);

        Panes h(2);
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        QTest::mousePress(h.bar, Qt::LeftButton, {}, QPoint(100, 2));
        QTest::mouseMove(&h, QPoint(100, 236));  // exactly on the bottom margin: clamped already
        QCOMPARE(h.outline(), QRect(0, 234, 400, 5));
        QTest::mouseRelease(&h, Qt::LeftButton, {}, QPoint(100, 290));
        QCOMPARE(h.bar->geometry(), QRect(0, 234, 400, 5));
    }
};

QTEST_MAIN(tst_ScrollBarsAndSplitter)
#include "tst_ScrollBarsAndSplitter.moc"
