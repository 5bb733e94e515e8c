// The vertical tab bar and its parts: the flat picture button, one section's items, scrolling
// and mouse events, and the stack of sections with one open, passing events on with positions.
#include "controls/vskTab.h"
#include "TabBarTestKit.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace platform;
using tabkit::itemButton;
using tabkit::itemLabel;

namespace {
QPixmap icon() { return tabkit::picture(QSize(32, 32), Qt::white, Qt::black); }
// The errors as a section and as the bar raise them.
const QString kBarOverflow = tabkit::error(kErrOutOfRange, "vskTab", "Dépassement d'index.");
const QString kBarInvalid = tabkit::error(kErrOutOfRange, "vskTab", "Section non valide.");
}  // namespace

class tst_vskTab : public QObject {
    Q_OBJECT
    std::unique_ptr<tabSection> s;  // a section on its own, 200 x 400
    std::unique_ptr<vskTab> bar;    // an empty bar, 150 x 300

    void fillSection(int n) {
        for (int i = 1; i <= n; ++i) s->AddItem(QStringLiteral("Matière %1").arg(i), icon(), {}, QString::number(i));
    }
    void fillBar(int n) {
        for (int i = 1; i <= n; ++i) bar->AddSection(QStringLiteral("C%1").arg(i), QStringLiteral("k%1").arg(i));
    }
    tabSection* widget(int position) const {
        for (auto* w : bar->findChildren<tabSection*>())
            if (!w->isUnloaded() && w->Caption() == bar->SectionAt(position).Caption()) return w;
        return nullptr;
    }
    // Each section's caption and height, from the top.
    QStringList stack() const {
        QStringList out;
        for (int p = 1; p <= bar->SectionCount(); ++p)
            out << QStringLiteral("%1 %2").arg(bar->SectionAt(p).Caption()).arg(widget(p)->height());
        return out;
    }

private slots:
    void initTestCase() { tooCommand::setPressFlash([](tooCommand&) {}); }
    void init() {
        s = std::make_unique<tabSection>();
        s->resize(200, 400);
        s->show();
        bar = std::make_unique<vskTab>();
        bar->resize(150, 300);
        bar->show();
    }
    void cleanup() {
        s.reset();
        bar.reset();
    }

    void buttonHoverAndPressDrawTheirFrames() {
        QWidget host;
        host.resize(100, 100);
        auto* b = new tooCommand(&host);
        b->setPicture(tabkit::picture(QSize(16, 16), Qt::white));
        b->setHotPicture(tabkit::picture(QSize(24, 24), Qt::yellow));
        b->setLeftShadow(rgb(255, 0, 0));
        b->setRightShadow(rgb(0, 0, 255));
        host.show();
        b->resize(50, 50);
        QCOMPARE(b->size(), QSize(16, 16));  // the size of its picture
        QSignalSpy downs(b, &tooCommand::MouseDown);
        const auto corners = [](const QImage& shown, int far) {
            return QList<QColor>{shown.pixelColor(0, 0), shown.pixelColor(far, far)};
        };

        tabkit::move(b, QPoint(4, 5));
        QCOMPARE(b->size(), QSize(24, 24));  // the hover picture, with its size
        QCOMPARE(corners(b->grab().toImage(), 23), (QList<QColor>{Qt::red, Qt::blue}));
        // Past the right edge the pointer has left: normal picture, no frame.
        tabkit::move(b, QPoint(30, 5));
        QCOMPARE(corners(b->grab().toImage(), 15), (QList<QColor>{Qt::white, Qt::white}));

        // The press shows a sunken frame before MouseDown is raised, then wipes it.
        QImage duringFlash;
        int downsDuringFlash = -1;
        tooCommand::setPressFlash([&](tooCommand& pressed) {
            duringFlash = pressed.grab().toImage();
            downsDuringFlash = int(downs.count());
        });
        tabkit::move(b, QPoint(3, 3));
        tabkit::press(b, QPoint(3, 3), Qt::LeftButton, Qt::ShiftModifier);
        tooCommand::setPressFlash([](tooCommand&) {});
        QCOMPARE(downsDuringFlash, 0);
        QCOMPARE(corners(duringFlash, 15), (QList<QColor>{Qt::blue, Qt::red}));
        QCOMPARE(QList<QVariantList>(downs), (QList<QVariantList>{{1, 1, 3.0f, 3.0f}}));
        QCOMPARE(b->grab().toImage().pixelColor(0, 0), QColor(Qt::white));

        // Disabling while hovered ends the hover.
        tabkit::release(b, QPoint(3, 3));
        tabkit::move(b, QPoint(3, 3));
        QCOMPARE(b->size(), QSize(24, 24));
        b->setEnabled(false);
        QCOMPARE(b->size(), QSize(16, 16));
    }

    void sectionItemsAreLaidOutUnderTheHeader() {
        fillSection(3);
        const int lh = itemLabel(*s, 1)->height();
        QCOMPARE(itemButton(*s, 1)->geometry(), QRect(84, 22, 32, 32));
        QCOMPARE(itemLabel(*s, 1)->pos(), QPoint(100 - itemLabel(*s, 1)->width() / 2, 22 + 32 + 5));
        QCOMPARE(itemButton(*s, 2)->y(), 59 + lh + 15);
        // A resize, or a longer caption given through a handle, centres the items again.
        s->resize(300, 400);
        QCOMPARE(itemButton(*s, 3)->x(), 150 - 16);
        s->ItemAt(2).setCaption("Sciences de la vie et de la Terre");
        QCOMPARE(itemLabel(*s, 2)->x() + itemLabel(*s, 2)->width() / 2, 150);
        // A caption wider than the section wraps, and the items under it follow its height.
        s->resize(150, 400);
        QVERIFY(itemLabel(*s, 2)->width() <= 150 && itemLabel(*s, 2)->height() > lh);
        QCOMPARE(itemButton(*s, 3)->y(), itemLabel(*s, 2)->geometry().bottom() + 16);
        s->ItemAt(2).setCaption("SVT");
        QCOMPARE(itemButton(*s, 3)->y(), itemLabel(*s, 2)->geometry().bottom() + 16);
    }

    void sectionArrowsScrollOneItemAtATime() {
        s->resize(200, 250);
        fillSection(10);
        s->ItemAt(4).setCaption("Sciences de la vie et de la Terre, option");  // two lines
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
        s->EnsureVisibleAt(3);
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
    }

    // A section makes the widgets of the items that come into view, not of the others: a
    // thousand items cost what one screen of them does, collapsed sections nothing.
    void sectionMakesOnlyTheItemsInView() {
        fillSection(1000);
        const auto made = [](const QWidget& w) { return w.findChildren<TabItemLabel*>().size(); };
        // No item is less than 20 pixels high.
        QVERIFY(made(*s) >= 1 && made(*s) * 20 <= s->height());
        s->EnsureVisibleAt(1000);
        QVERIFY(itemLabel(*s, 1000)->isVisible() && itemLabel(*s, 1000)->geometry().bottom() < s->height());
        QVERIFY(made(*s) * 10 <= s->height());  // the first screen and the last
        QCOMPARE(s->ItemAt(500).Caption(), "Matière 500");

        // Sections given one list each hold it as their own.
        fillBar(2);
        const tabSection::Items items = {{"Maths", {}, "1", icon(), {}}, {"Français", "fr", "2", icon(), {}}};
        for (int p = 1; p <= 2; ++p) bar->SectionAt(p).setItems(items);
        bar->SectionAt(2).ItemAt(1).setCaption("Mathématiques");
        QCOMPARE(bar->SectionAt(1).ItemAt(1).Caption() + bar->SectionAt(2).ItemAt(1).Caption(), "MathsMathématiques");
        QCOMPARE(made(*widget(1)), 2);
        QCOMPARE(made(*widget(2)), 0);
        QCOMPARE(tabkit::raised([&] { bar->SectionAt(1).setItems(items + items); }),
                 tabkit::error(kErrInvalidValue, "tabSection", "Valeur dupliquée de Key."));
        QCOMPARE(bar->SectionAt(1).ItemCount(), 2);
    }

    void sectionSelectionFollowsItsItem() {
        fillSection(3);
        QSignalSpy selections(s.get(), &tabSection::OnItemSelection);
        s->setSelectedItem(s->ItemAt(2));
        s->setSelectedItem(s->ItemAt(2));  // no change: no event
        QCOMPARE(selections.count(), 1);
        QCOMPARE(selections[0][0].value<cTabItem>().Index(), 2);
        QCOMPARE(itemLabel(*s, 2)->BackColor(), s->ForeColor());  // colours swapped

        // Removing above the selection keeps the same item selected; removing it clears the
        // selection; neither raises an event.
        s->RemoveItemAt(1);
        QCOMPARE(s->SelectedItem().Caption(), "Matière 2");
        QCOMPARE(itemLabel(*s, 1)->BackColor(), s->ForeColor());
        s->RemoveItemAt(1);
        QVERIFY(s->SelectedItem().isNull());
        QCOMPARE(itemLabel(*s, 1)->BackColor(), s->BackColor());
        QCOMPARE(selections.count(), 1);
        s->setSelectedItem(s->ItemAt(1));
        s->setSelectedItem(cTabItem());
        QCOMPARE(selections.count(), 3);
        QVERIFY(selections[2][0].value<cTabItem>().isNull());

        // A handle follows its slot; once the slot is gone it refuses to work.
        const cTabItem last = s->ItemAt(1);
        s->RemoveItemAt(1);
        QCOMPARE(tabkit::raised([&] { last.Caption(); }), tabkit::error(kErrOutOfRange, "tabSection", "Dépassement d'index."));
    }

    void sectionMouseOnHeaderBackgroundAndItems() {
        fillSection(3);
        QSignalSpy headerDowns(s.get(), &tabSection::HeaderMouseDown),
            headerClicks(s.get(), &tabSection::HeaderClick), headerUps(s.get(), &tabSection::HeaderMouseUp),
            downs(s.get(), &tabSection::MouseDown), ups(s.get(), &tabSection::MouseUp),
            clicks(s.get(), &tabSection::Click), doubles(s.get(), &tabSection::DblClick),
            itemClicks(s.get(), &tabSection::ItemClick);
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
        QVERIFY(s->SelectedItem().isNull());
        tooCommand* button = itemButton(*s, 3);
        tabkit::click(button, QPoint(7, 8), Qt::RightButton);
        tabkit::click(button, QPoint(7, 8));
        QCOMPARE(QList<QVariantList>(itemClicks), (QList<QVariantList>{{2}, {3}}));

        // Double clicks reach the owner from the background only; the second press of one
        // is no press and makes no click.
        tabkit::doubleClick(button, QPoint(3, 4));
        QCOMPARE(counts({&doubles, &itemClicks, &downs}), (QList<qsizetype>{0, 3, 6}));
        tabkit::doubleClick(s.get(), QPoint(5, 300));
        QCOMPARE(doubles.count(), 1);
    }

    void barOpensOnlyTheActiveSection() {
        QSignalSpy selections(bar.get(), &vskTab::OnSelection);
        fillBar(4);
        QCOMPARE(selections.count(), 0);
        QCOMPARE(stack(), QStringList({"C1 249", "C2 17", "C3 17", "C4 17"}));
        bar->setActiveSection(bar->Section(3));
        QCOMPARE(stack(), QStringList({"C1 17", "C2 17", "C3 249", "C4 17"}));
        bar->setActiveSection(bar->Section(3));  // already open: no event
        QCOMPARE(selections.count(), 1);
        QCOMPARE(selections[0][0].value<cTabSection>().Index(), 3);

        // Too short for the open section: headers only.
        bar->resize(150, 60);
        QCOMPARE(stack(), QStringList({"C1 17", "C2 17", "C3 17", "C4 17"}));
    }

    void barInsertingAndRemovingKeepTheActiveSection() {
        fillBar(3);
        bar->AddSection("top", {}, {}, 1);
        QCOMPARE(stack(), QStringList({"top 17", "C1 249", "C2 17", "C3 17"}));

        // A handle keeps the position it was made with.
        const cTabSection second = bar->Section(2);
        bar->AddSection("new", {}, {}, 1);
        QSignalSpy selections(bar.get(), &vskTab::OnSelection);
        bar->setActiveSection(second);
        QCOMPARE(bar->ActiveSection().Caption(), "top");
        QCOMPARE(selections.count(), 1);

        // Removing the active section opens the one that takes its place, without an event.
        bar->RemoveSection(2);
        QCOMPARE(stack(), QStringList({"new 17", "C1 249", "C2 17", "C3 17"}));
        // The last one, active, hands over to the new last.
        bar->setActiveSection(bar->Section(4));
        bar->RemoveSectionAt(4);
        QCOMPARE(stack(), QStringList({"new 17", "C1 17", "C2 266"}));
        QCOMPARE(selections.count(), 2);

        // Removing above the active section keeps it active.
        bar->RemoveSection(1);
        QCOMPARE(bar->ActiveSection().Caption(), "C2");
        const cTabSection gone = bar->Section(1);
        bar->RemoveSection(1);
        bar->RemoveSection(1);
        QVERIFY(bar->ActiveSection().isNull());
        QCOMPARE(tabkit::raised([&] { gone.Caption(); }), kBarInvalid);
        bar->AddSection("again");
        QCOMPARE(stack(), QStringList({"again 300"}));
    }

    void barRefusals() {
        fillBar(3);
        QCOMPARE(tabkit::raised([&] { bar->AddSection("x", "k2"); }),
                 tabkit::error(kErrInvalidValue, "vskTab", "Valeur dupliquée de Key."));
        bar->AddSection("Sans clé");
        bar->AddSection("Sans clé non plus");  // empty keys may repeat
        QCOMPARE(tabkit::raised([&] { bar->AddSection("x", {}, {}, 6); }), kBarOverflow);
        QCOMPARE(tabkit::raised([&] { bar->SectionAt(0); }), kBarOverflow);
        QCOMPARE(tabkit::raised([&] { bar->setActiveSection(cTabSection()); }), kBarInvalid);
        const cTabSection fifth = bar->SectionAt(5);
        bar->RemoveSectionAt(5);
        QCOMPARE(tabkit::raised([&] { bar->setActiveSection(fifth); }), kBarOverflow);
        QCOMPARE(bar->ActiveSection().Index(), 1);
    }

    void barEventsCarryTheSectionPosition() {
        fillBar(4);
        for (int p = 1; p <= 4; ++p)
            for (int i = 1; i <= 3; ++i) bar->Section(p).AddItem(QStringLiteral("M%1").arg(i), icon());
        bar->setActiveSection(bar->Section(3));
        QSignalSpy downs(bar.get(), &vskTab::MouseDown), headers(bar.get(), &vskTab::HeaderClick),
            items(bar.get(), &vskTab::ItemClick), clicks(bar.get(), &vskTab::Click),
            itemSelections(bar.get(), &vskTab::OnItemSelection);

        tabkit::press(widget(3), QPoint(5, 40), Qt::RightButton);
        QCOMPARE(QList<QVariantList>(downs), (QList<QVariantList>{{3, 2, 0, 5.0f, 40.0f}}));
        QCOMPARE(clicks.count(), 0);

        // An owner that opens the section whose header was clicked, as the main window does.
        connect(bar.get(), &vskTab::HeaderClick, this, [&](int position) { bar->setActiveSection(bar->SectionAt(position)); });
        tabkit::click(widget(4), QPoint(5, 5));
        QCOMPARE(QList<QVariantList>(headers), (QList<QVariantList>{{4}}));
        QCOMPARE(bar->ActiveSection().Index(), 4);

        // Positions are those of the moment of the event.
        bar->AddSection("top", {}, {}, 1);
        tabSection* fifth = widget(5);
        tabkit::click(itemLabel(*fifth, 2), QPoint(2, 2));
        QCOMPARE(QList<QVariantList>(items), (QList<QVariantList>{{5, 2}}));
        bar->SectionAt(5).setSelectedItem(bar->SectionAt(5).ItemAt(2));
        QCOMPARE(itemSelections.count(), 1);
        QCOMPARE(QString::number(itemSelections[0][0].toInt()) + itemSelections[0][1].value<cTabItem>().Caption(), "5M2");

        // An owner may remove the section from inside its own event.
        connect(bar.get(), &vskTab::Click, this, [&](int position) { bar->RemoveSectionAt(position); });
        tabkit::click(fifth, QPoint(5, 200));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(bar->SectionCount(), 4);
        QCOMPARE(bar->ActiveSection().Caption(), "C3");
    }
};

QTEST_MAIN(tst_vskTab)
#include "tst_vskTab.moc"
