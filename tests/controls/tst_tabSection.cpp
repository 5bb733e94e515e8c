// One section of the tab bar: where its items go, how it scrolls, its members and errors,
// and the events its mouse raises.
#include "controls/tabSection.h"
#include "TabBarTestKit.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace platform;
using tabkit::itemButton;
using tabkit::itemLabel;

namespace {
const QPixmap& icon() {
    static const QPixmap pm = tabkit::picture(QSize(32, 32), Qt::white, Qt::black);
    return pm;
}

const QString kOverflow = tabkit::error(kErrOutOfRange, "tabSection", "Dépassement d'index.");
const QString kDuplicate = tabkit::error(kErrInvalidValue, "tabSection", "Valeur dupliquée de Key.");

QStringList captions(const tabSection& s) {
    QStringList out;
    for (int i = 1; i <= s.ItemCount(); ++i) out << s.ItemAt(i).Caption();
    return out;
}
}  // namespace

class tst_tabSection : public QObject {
    Q_OBJECT
    std::unique_ptr<tabSection> s;

    void fill(int n) {
        for (int i = 1; i <= n; ++i)
            s->AddItem(QStringLiteral("Matière %1").arg(i), icon(), {}, QString::number(i));
    }

private slots:
    void initTestCase() { tooCommand::setPressFlash([](tooCommand&) {}); }
    void init() {
        s = std::make_unique<tabSection>();
        s->resize(200, 400);
        s->show();
    }
    void cleanup() { s.reset(); }

    void itemsAreLaidOutUnderTheHeader() {
        fill(3);
        const int lh = itemLabel(*s, 1)->height();
        QCOMPARE(itemButton(*s, 1)->geometry(), QRect(84, 22, 32, 32));
        QCOMPARE(itemLabel(*s, 1)->pos(), QPoint(100 - itemLabel(*s, 1)->width() / 2, 22 + 32 + 5));
        QCOMPARE(itemButton(*s, 2)->y(), 59 + lh + 15);
        // Picture at the left, caption centred on it.
        s->setDisposition(1);
        QCOMPARE(itemButton(*s, 2)->pos(), QPoint(10, 22 + 32 + 15));
        QCOMPARE(itemLabel(*s, 2)->pos(), QPoint(47, 69 + 16 - lh / 2));
        // A resize, or a longer caption given through a handle, centres the items again.
        s->setDisposition(0);
        s->resize(300, 400);
        QCOMPARE(itemButton(*s, 3)->x(), 150 - 16);
        s->ItemAt(2).setCaption(QStringLiteral("Sciences de la vie et de la Terre"));
        QCOMPARE(itemLabel(*s, 2)->x() + itemLabel(*s, 2)->width() / 2, 150);
        // A caption wider than the section wraps, and the items under it follow its height.
        s->resize(150, 400);
        QVERIFY(itemLabel(*s, 2)->width() <= 150 && itemLabel(*s, 2)->height() > lh);
        QCOMPARE(itemButton(*s, 3)->y(), itemLabel(*s, 2)->geometry().bottom() + 16);
        s->ItemAt(2).setCaption(QStringLiteral("SVT"));
        QCOMPARE(itemButton(*s, 3)->y(), itemLabel(*s, 2)->geometry().bottom() + 16);
    }

    void arrowsScrollOneItemAtATime() {
        s->resize(200, 250);
        fill(10);
        s->ItemAt(4).setCaption(QStringLiteral("Sciences de la vie et de la Terre, option"));  // two lines
        QWidget* up = tabkit::arrow(*s, true);
        QWidget* down = tabkit::arrow(*s, false);
        QVERIFY(down->isVisible() && !up->isVisible());
        const int pitch = 32 + itemLabel(*s, 1)->height() + 20;
        const int secondTop = itemButton(*s, 2)->y();
        QSignalSpy clicks(s.get(), &tabSection::Click);
        tabkit::click(down, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);  // an arrow is part of the section's surface
        QVERIFY(!itemButton(*s, 1)->isVisible() && up->isVisible());
        QCOMPARE(itemButton(*s, 2)->y(), secondTop - pitch);

        // Scrolling stops with the last item on top.
        for (int i = 0; i < 20; ++i) tabkit::click(down, QPoint(5, 5));
        QCOMPARE(itemButton(*s, 10)->y(), 22);
        QVERIFY(!down->isVisible());
        s->EnsureVisible(3);
        QCOMPARE(s->FirstShownIndex(), 3);
        s->EnsureVisibleAt(10);
        QVERIFY(itemLabel(*s, 10)->geometry().bottom() < s->height());

        // Removing items while scrolled keeps an item on show, and scrolling back still works.
        while (s->FirstShownIndex() < 10) tabkit::click(down, QPoint(5, 5));
        s->RemoveItemAt(10);
        s->RemoveItemAt(9);
        QCOMPARE(itemButton(*s, 8)->y(), 22);
        tabkit::click(up, QPoint(5, 5));
        QCOMPARE(itemButton(*s, 7)->y(), 22);
        s->Rearrange();  // laying out again shows everything from the top
        QVERIFY(itemButton(*s, 1)->isVisible() && !up->isVisible());
    }

    void selectionFollowsItsItem() {
        s->AddItem(QStringLiteral("a"), icon(), QStringLiteral("ka"), QStringLiteral("ta"));
        s->AddItem(QStringLiteral("b"), icon());
        s->AddItem(QStringLiteral("c"), icon());
        QSignalSpy selections(s.get(), &tabSection::OnItemSelection);
        s->setSelectedItem(s->ItemAt(2));
        s->setSelectedItem(s->ItemAt(2));  // no change: no event
        QCOMPARE(selections.count(), 1);
        QCOMPARE(selections[0][0].value<cTabItem>().Index(), 2);
        itemButton(*s, 1)->setHotPicture(icon());

        // Inserting moves the contents, the hover picture and the highlight along.
        s->AddItem(QStringLiteral("new"), icon(), QStringLiteral("kn"), {}, 1);
        QCOMPARE(captions(*s), QStringList({"new", "a", "b", "c"}));
        QCOMPARE(s->ItemAt(2).Key() + s->ItemAt(2).Tag(), QStringLiteral("kata"));
        QVERIFY(s->ItemAt(1).HotPicture().isNull() && !s->ItemAt(2).HotPicture().isNull());
        QCOMPARE(s->SelectedItem().Caption(), QStringLiteral("b"));
        QCOMPARE(itemLabel(*s, 3)->BackColor(), s->ForeColor());  // colours swapped

        // Removing above the selection keeps the same item selected; removing it clears the
        // selection; neither raises an event.
        s->RemoveItem(QStringLiteral("ka"));
        QCOMPARE(s->SelectedItem().Index(), 2);
        QCOMPARE(itemLabel(*s, 2)->BackColor(), s->ForeColor());
        s->RemoveItem(2);
        QVERIFY(s->SelectedItem().isNull());
        QCOMPARE(itemLabel(*s, 2)->BackColor(), s->BackColor());
        QCOMPARE(selections.count(), 1);
        s->setSelectedItem(s->ItemAt(1));
        s->setSelectedItem(cTabItem());
        QCOMPARE(selections.count(), 3);
        QVERIFY(selections[2][0].value<cTabItem>().isNull());

        // A handle follows its slot; once the slot is gone it refuses to work.
        const cTabItem last = s->ItemAt(2);
        s->RemoveItemAt(1);
        QCOMPARE(tabkit::raised([&] { last.Caption(); }), kOverflow);
    }

    // The number-or-key rule is shared with the bar, whose tests go through it in full.
    void lookupsAndErrors() {
        fill(3);
        s->AddItem(QStringLiteral("clé"), icon(), QStringLiteral("2"));
        QCOMPARE(s->Item(QStringLiteral(" 2 ")).Caption(), QStringLiteral("Matière 2"));
        QCOMPARE(s->ItemByKey(QStringLiteral("2")).Index(), 4);
        QCOMPARE(tabkit::raised([&] { s->AddItem(QStringLiteral("y"), icon(), QStringLiteral("2")); }), kDuplicate);
        QCOMPARE(tabkit::raised([&] { s->AddItem(QStringLiteral("y"), icon(), {}, {}, 5); }), kOverflow);
        QCOMPARE(tabkit::raised([&] { s->EnsureVisibleByKey(QStringLiteral("absent")); }), kOverflow);
        s->AddItem(QStringLiteral("z"), icon(), {}, {}, -4);  // a negative Before appends
        QCOMPARE(captions(*s).last(), QStringLiteral("z"));
    }

    void mouseOnHeaderBackgroundAndItems() {
        fill(3);
        QSignalSpy headerDowns(s.get(), &tabSection::HeaderMouseDown),
            headerClicks(s.get(), &tabSection::HeaderClick), headerUps(s.get(), &tabSection::HeaderMouseUp),
            downs(s.get(), &tabSection::MouseDown), ups(s.get(), &tabSection::MouseUp),
            clicks(s.get(), &tabSection::Click), doubles(s.get(), &tabSection::DblClick),
            moves(s.get(), &tabSection::MouseMove), itemClicks(s.get(), &tabSection::ItemClick);

        const auto counts = [](std::initializer_list<const QSignalSpy*> spies) {
            QList<qsizetype> out;
            for (const QSignalSpy* spy : spies) out << spy->count();
            return out;
        };

        // The header zone reaches below the drawn header, to y 22; a right click is no click.
        tabkit::click(s.get(), QPoint(5, 22));
        QCOMPARE(headerDowns[0], QVariantList({1, 0, 5.0f, 22.0f}));
        QCOMPARE(counts({&headerClicks, &headerUps, &downs}), (QList<qsizetype>{1, 1, 0}));
        tabkit::click(s.get(), QPoint(5, 23));
        tabkit::click(s.get(), QPoint(5, 300), Qt::RightButton);
        tabkit::click(s.get(), QPoint(5, 5), Qt::RightButton);
        QCOMPARE(counts({&downs, &clicks, &ups, &headerDowns, &headerClicks}), (QList<qsizetype>{2, 1, 2, 2, 1}));

        // Items report in the section's coordinates and never select by themselves.
        TabItemLabel* label = itemLabel(*s, 2);
        tabkit::click(label, QPoint(3, 4));
        QCOMPARE(downs.last(), QVariantList({1, 0, float(label->x() + 3), float(label->y() + 4)}));
        QCOMPARE(itemClicks.last()[0].toInt(), 2);
        QVERIFY(s->SelectedItem().isNull());
        tooCommand* button = itemButton(*s, 3);
        tabkit::move(button, QPoint(7, 8));
        QCOMPARE(moves.last(), QVariantList({0, 0, float(button->x() + 7), float(button->y() + 8)}));
        tabkit::click(button, QPoint(7, 8), Qt::RightButton);
        tabkit::click(button, QPoint(7, 8));
        QCOMPARE(itemClicks.count(), 2);
        QCOMPARE(itemClicks.last()[0].toInt(), 3);

        // Double clicks reach the owner from the background only; the second press of one
        // is no press and makes no click.
        tabkit::doubleClick(button, QPoint(3, 4));
        QCOMPARE(counts({&doubles, &itemClicks, &downs}), (QList<qsizetype>{0, 3, 6}));
        tabkit::doubleClick(s.get(), QPoint(5, 300));
        QCOMPARE(doubles.count(), 1);

        // HitTest finds the item under a point, never one scrolled out above.
        const QPoint centre = itemButton(*s, 2)->geometry().center();
        QCOMPARE(s->HitTest(centre.x(), centre.y()).Index(), 2);
        QVERIFY(s->HitTest(2, 300).isNull());
        s->resize(200, 120);
        tabkit::click(tabkit::arrow(*s, false), QPoint(5, 5));
        QCOMPARE(s->HitTest(100, 30).Index(), 2);
    }
};

QTEST_MAIN(tst_tabSection)
#include "tst_tabSection.moc"
