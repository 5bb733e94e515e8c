// The splitter drag: its margins and orientation, and where the outline and the bar go.
#include "controls/cSplitDDC.h"
#include "TabBarTestKit.h"

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

QList<int> borders(const cSplitDDC& s) { return {s.Border(1), s.Border(2), s.Border(3), s.Border(4)}; }

}  // namespace

class tst_cSplitDDC : public QObject {
    Q_OBJECT
private slots:
    void marginsAndOrientation() {
        cSplitDDC s;
        QCOMPARE(tabkit::raised([&] { s.setBorder(5, 1); }),
                 tabkit::error(9, "cSplitDDC", "L'indice n'appartient pas à la sélection."));
        s.setOrientation(2);  // no bar yet: the margins stay
        QCOMPARE(borders(s), (QList<int>{64, 0, 64, 0}));
        QFrame bar;
        s.setSplitObject(&bar);
        QCOMPARE(bar.cursor().shape(), Qt::SizeVerCursor);
        s.setOrientation(2);
        QCOMPARE(borders(s), (QList<int>{0, 64, 0, 64}));
        QVERIFY(!s.SplitterFormMouseUp(10, 10));  // no drag in progress
    }

    void dragsStopAtTheMargins() {
        Panes w(1);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
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

QTEST_MAIN(tst_cSplitDDC)
#include "tst_cSplitDDC.moc"
