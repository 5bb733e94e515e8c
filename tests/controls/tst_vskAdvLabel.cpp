// The item list: where lines, pictures and rules are drawn, the height it reports, scrolling.
#include "controls/vskAdvLabel.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using platform::rgb;

namespace {

const QString kLine = QStringLiteral("La note de l'élève Dupont n'est pas comprise entre 0 et la note maximale de la série.");

struct Fixture {
    vskAdvLabel list;
    int width = 0;  // the page width: the control less the bar's room
    Fixture(int w = 300, int h = 200) {
        list.resize(w, h);
        list.setBackColor(rgb(255, 255, 255));
        list.setForeColor(rgb(255, 0, 0));
        width = w - list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
    }
    int textHeight(const QString& text, int left) const {
        return QFontMetrics(list.font(), &list)
            .boundingRect(QRect(left, 0, width - 2 * left, 100000), Qt::TextWordWrap, text)
            .height();
    }
    QImage shot() { return list.grab().toImage(); }
};

bool isRed(const QImage& img, int x, int y) { return img.pixelColor(x, y) == QColor(255, 0, 0); }

// Leftmost and rightmost columns drawn in rows [top, bottom), columns [left, right).
QPair<int, int> inkColumns(const QImage& img, int top, int bottom, int right, int left = 0) {
    int first = -1, last = -1;
    for (int x = left; x < right; ++x)
        for (int y = top; y < bottom; ++y)
            if (img.pixelColor(x, y) != QColor(255, 255, 255)) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

QPixmap square(int side) {
    QPixmap p(side, side);
    p.fill(Qt::blue);
    return p;
}

}  // namespace

class tst_vskAdvLabel : public QObject {
    Q_OBJECT
private slots:
    void linesRulesAndPicturesStackDownThePage() {
        Fixture f;
        QCOMPARE(f.list.Show(), 0);
        QVERIFY(!f.list.msb().bar(cScrollBar::Vertical)->isVisibleTo(&f.list));

        // One line without picture starts at the margin, with no rule above it.
        f.list.AddItem(kLine);
        const int h1 = f.textHeight(kLine, 5);
        QCOMPARE(f.list.Show(), h1);
        QImage img = f.shot();
        QCOMPARE(inkColumns(img, 0, h1, f.width).first, 5);
        QVERIFY(!isRed(img, 20, 0));

        // A second line: a rule 10 under the first, the line 20 under it.
        f.list.AddItem(QStringLiteral("Deuxième ligne"));
        const int h2 = f.textHeight(QStringLiteral("Deuxième ligne"), 5);
        QCOMPARE(f.list.Show(), h1 + 20 + h2);
        img = f.shot();
        QVERIFY(isRed(img, 5, h1 + 10));
        QVERIFY(isRed(img, f.width - 10, h1 + 10));
        QVERIFY(!isRed(img, f.width - 9, h1 + 10));
        QVERIFY(!isRed(img, 4, h1 + 10));

        // A picture taller than its text pushes the next line under it, and moves its text
        // right of it.
        f.list.ClearItem();
        f.list.AddItem(QStringLiteral("Court"), square(40));
        f.list.AddItem(QStringLiteral("Suite"));
        QCOMPARE(f.list.Show(), 40 + 20 + f.textHeight(QStringLiteral("Suite"), 5));
        img = f.shot();
        QCOMPARE(img.pixelColor(5, 0), QColor(Qt::blue));
        QCOMPARE(img.pixelColor(44, 39), QColor(Qt::blue));
        QCOMPARE(img.pixelColor(45, 0), QColor(Qt::white));
        const int text = inkColumns(img, 0, 40, f.width, 45).first;
        QVERIFY(text >= 50 && text < 53);

        // Without rules the lines touch.
        f.list.setShowSeparator(false);
        QCOMPARE(f.list.Show(), 40 + f.textHeight(QStringLiteral("Suite"), 5));
    }

    void alignmentAndLineBreaks() {
        Fixture f;
        f.list.setTextAlignement(2);
        f.list.AddItem(QStringLiteral("Fin"));
        const int h = f.list.Show();
        const auto ink = inkColumns(f.shot(), 0, h, f.width);
        QVERIFY(ink.second <= f.width - 5 && ink.second > f.width - 12);
        f.list.setTextAlignement(0);
        f.list.ClearItem();
        f.list.AddItem(QStringLiteral("Un\r\nDeux\r\nTrois"));
        QCOMPARE(f.list.Show(), 3 * QFontMetrics(f.list.font(), &f.list).lineSpacing());
    }

    void linesBelowThePageAreCountedButNeverShown() {
        Fixture f(300, 60);
        f.list.setSize(100);
        for (int i = 0; i < 8; ++i) f.list.AddItem(kLine);
        const int total = f.list.Show();
        QVERIFY(total > 100);
        cScrollBar& msb = f.list.msb();
        QScrollBar* bar = msb.bar(cScrollBar::Vertical);
        QVERIFY(bar->isVisibleTo(&f.list));
        QCOMPARE(msb.Max(cScrollBar::Vertical), 100 - 60);
        QCOMPARE(bar->maximum(), 40);

        // Scrolling shows a lower part of the page; a new Show starts at the top again.
        const QImage top = f.shot();
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(msb.Value(cScrollBar::Vertical), 40);
        QVERIFY(f.shot() != top);
        QCOMPARE(f.list.Show(), total);
        QCOMPARE(msb.Value(cScrollBar::Vertical), 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(f.shot(), top);

        // Fewer lines: the bar goes away.
        f.list.ClearItem();
        f.list.AddItem(QStringLiteral("Seule"));
        f.list.Show();
        QVERIFY(!bar->isVisibleTo(&f.list));
    }

    void removingAndReadingItems() {
        vskAdvLabel list;
        QCOMPARE(list.ItemText(1), QString());
        list.AddItem(QStringLiteral("a"));
        list.RemoveItem(1);
        QCOMPARE(list.ItemCount(), 0);
        list.AddItem(QStringLiteral("a"), square(8));
        list.AddItem(QStringLiteral("b"));
        list.AddItem(QStringLiteral("c"), square(4));
        list.RemoveItem(2);
        QCOMPARE(list.ItemCount(), 2);
        QCOMPARE(list.ItemText(2), QStringLiteral("c"));
        QCOMPARE(list.ItemPict(2).width(), 4);
        list.RemoveItem(5);
        list.RemoveItem(0);
        QCOMPARE(list.ItemCount(), 2);
        QCOMPARE(list.ItemText(0), QString());
        QVERIFY(list.ItemPict(3).isNull());
        list.ClearItem();
        QCOMPARE(list.ItemCount(), 0);
    }
};

QTEST_MAIN(tst_vskAdvLabel)
#include "tst_vskAdvLabel.moc"
