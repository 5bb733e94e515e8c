// The splitter drag: its margins and orientation, and where the outline and the bar go.
#include "controls/cSplitDDC.h"
#include "platform/VbError.h"

#include <QFrame>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTest>
#include <functional>

namespace {

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
        bar->setFrameShape(QFrame::Box);
        split.setSplitObject(bar);
        split.setOrientation(orientation);
        if (orientation == 2)
            bar->setGeometry(0, 150, 400, 5);
        else
            bar->setGeometry(150, 0, 5, 300);
        bar->pressed = [this](QPoint p) { split.SplitterMouseDown(this, p.x(), p.y()); };
    }
    QRect outline() const {
        const auto* band = findChild<QRubberBand*>();
        return band && band->isVisible() ? band->geometry() : QRect();
    }
    cSplitDDC split;
    Bar* bar;
    int arranged = 0;

protected:
    void mouseMoveEvent(QMouseEvent* e) override {
        split.SplitterFormMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (split.SplitterFormMouseUp(e->position().toPoint().x(), e->position().toPoint().y())) ++arranged;
    }
};

QList<int> borders(const cSplitDDC& s) { return {s.Border(1), s.Border(2), s.Border(3), s.Border(4)}; }

}  // namespace

class tst_cSplitDDC : public QObject {
    Q_OBJECT
private slots:
    void marginsAndOrientation() {
        cSplitDDC s;
        QCOMPARE(s.Orientation(), 1);
        QCOMPARE(borders(s), (QList<int>{64, 0, 64, 0}));
        for (int bad : {0, 5}) {
            try {
                s.setBorder(bad, 1);
                QFAIL("no error");
            } catch (const platform::VbError& e) {
                QCOMPARE(e.number(), 9);
                QCOMPARE(e.description(), "L'indice n'appartient pas à la sélection.");
            }
            QVERIFY_THROWS_EXCEPTION(platform::VbError, s.Border(bad));
        }
        s.setOrientation(2);  // no bar yet: the margins stay
        QCOMPARE(borders(s), (QList<int>{64, 0, 64, 0}));
        s.setBorder(2, 30);

        QFrame bar;
        bar.setFrameShape(QFrame::Box);
        s.setSplitObject(&bar);
        QCOMPARE(bar.frameShape(), QFrame::NoFrame);
        QCOMPARE(bar.cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(borders(s), (QList<int>{64, 30, 64, 0}));
        s.setOrientation(1);
        QCOMPARE(bar.cursor().shape(), Qt::SizeHorCursor);
        QCOMPARE(borders(s), (QList<int>{64, 0, 64, 0}));
        s.setOrientation(2);
        QCOMPARE(borders(s), (QList<int>{0, 64, 0, 64}));
        QVERIFY(!s.SplitterFormMouseUp(10, 10));  // no drag in progress
    }

    void draggingAVerticalBar() {
        Panes w(1);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mousePress(w.bar, Qt::LeftButton, {}, QPoint(2, 10));
        QCOMPARE(w.outline(), QRect(150, 0, 4, 300));  // around the mouse, x 152
        QCOMPARE(w.bar->x(), 150);
        QTest::mouseMove(&w, QPoint(390, 100));  // past the right margin (400 - 64)
        QCOMPARE(w.outline(), QRect(334, 0, 5, 300));
        QCOMPARE(w.bar->x(), 150);  // the bar waits for the release
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(390, 100));
        QCOMPARE(w.arranged, 1);
        QCOMPARE(w.bar->geometry(), QRect(334, 0, 5, 300));
        QVERIFY(w.outline().isNull());

        QTest::mousePress(w.bar, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseMove(&w, QPoint(10, 50));  // before the left margin
        QCOMPARE(w.outline(), QRect(62, 0, 5, 300));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(10, 50));
        QCOMPARE(w.bar->x(), 62);

        QTest::mousePress(w.bar, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseMove(&w, QPoint(200, 50));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(200, 50));
        QCOMPARE(w.bar->x(), 198);
        QCOMPARE(w.arranged, 3);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(300, 50));  // no drag: nothing
        QCOMPARE(w.arranged, 3);
        QCOMPARE(w.bar->x(), 198);
    }

    void draggingAHorizontalBar() {
        Panes w(2);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mousePress(w.bar, Qt::LeftButton, {}, QPoint(100, 2));
        QCOMPARE(w.outline(), QRect(0, 150, 400, 4));
        QTest::mouseMove(&w, QPoint(100, 236));  // exactly on the bottom margin: clamped already
        QCOMPARE(w.outline(), QRect(0, 234, 400, 5));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(100, 290));
        QCOMPARE(w.bar->geometry(), QRect(0, 234, 400, 5));
    }
};

QTEST_MAIN(tst_cSplitDDC)
#include "tst_cSplitDDC.moc"
