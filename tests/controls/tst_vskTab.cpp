// The vertical tab bar: the stack of sections with one open, its members and errors, and the
// events it passes on with the section's position.
#include "controls/vskTab.h"
#include "TabBarTestKit.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace platform;

namespace {
const QString kOverflow = tabkit::error(kErrOutOfRange, "vskTab", "Dépassement d'index.");
const QString kDuplicate = tabkit::error(kErrInvalidValue, "vskTab", "Valeur dupliquée de Key.");
const QString kInvalid = tabkit::error(kErrOutOfRange, "vskTab", "Section non valide.");
}  // namespace

class tst_vskTab : public QObject {
    Q_OBJECT
    std::unique_ptr<vskTab> bar;

    tabSection* widget(int position) const {
        for (auto* s : bar->findChildren<tabSection*>())
            if (!s->isUnloaded() && s->Caption() == bar->SectionAt(position).Caption()) return s;
        return nullptr;
    }
    QList<int> heights() const {
        QList<int> out;
        for (int p = 1; p <= bar->SectionCount(); ++p) out << widget(p)->height();
        return out;
    }
    QStringList captions() const {
        QStringList out;
        for (int p = 1; p <= bar->SectionCount(); ++p) out << bar->SectionAt(p).Caption();
        return out;
    }
    void fill(int n) {
        for (int i = 1; i <= n; ++i) bar->AddSection(QStringLiteral("C%1").arg(i), QStringLiteral("k%1").arg(i));
    }

private slots:
    void initTestCase() { tooCommand::setPressFlash([](tooCommand&) {}); }
    void init() {
        bar = std::make_unique<vskTab>();
        bar->resize(150, 300);
        bar->show();
    }
    void cleanup() { bar.reset(); }

    void onlyTheActiveSectionIsOpen() {
        QSignalSpy selections(bar.get(), &vskTab::OnSelection);
        fill(4);
        QCOMPARE(selections.count(), 0);
        QCOMPARE(bar->ActiveSection().Index(), 1);
        QCOMPARE(heights(), QList<int>({249, 17, 17, 17}));

        bar->setActiveSection(bar->Section(3));
        QCOMPARE(heights(), QList<int>({17, 17, 249, 17}));
        bar->setActiveSection(bar->Section(3));  // already open: no event
        QCOMPARE(selections.count(), 1);
        QCOMPARE(selections[0][0].value<cTabSection>().Index(), 3);

        // Too short for the open section: headers only.
        bar->resize(150, 60);
        QCOMPARE(heights(), QList<int>({17, 17, 17, 17}));
        bar->resize(150, 500);
        QCOMPARE(heights(), QList<int>({17, 17, 449, 17}));

        // The upper section wins on the boundary pixel.
        QCOMPARE(bar->HitTest(34).Index(), 2);
        QCOMPARE(bar->HitTest(35).Index(), 3);
        QVERIFY(bar->HitTest(600).isNull());

        bar->setBorderStyle(1);
        QCOMPARE(widget(1)->geometry(), QRect(2, 2, 146, 17));
        QCOMPARE(widget(3)->height(), 500 - 4 - 68 + 17);
        QCOMPARE(tabkit::raised([&] { bar->setBorderStyle(3); }),
                 tabkit::error(kErrInvalidValue, "vskTab", "Valeur de propriété non valide."));
    }

    void insertingAndRemovingKeepTheActiveSection() {
        fill(3);
        bar->AddSection(QStringLiteral("top"), {}, {}, 1);
        QCOMPARE(captions(), QStringList({"top", "C1", "C2", "C3"}));
        QCOMPARE(bar->ActiveSection().Caption(), QStringLiteral("C1"));
        QCOMPARE(heights(), QList<int>({17, 249, 17, 17}));

        // A handle keeps the position it was made with.
        const cTabSection second = bar->Section(2);
        bar->AddSection(QStringLiteral("new"), {}, {}, 1);
        QCOMPARE(second.Index(), 2);
        QSignalSpy selections(bar.get(), &vskTab::OnSelection);
        bar->setActiveSection(second);
        QCOMPARE(bar->ActiveSection().Caption(), QStringLiteral("top"));
        QCOMPARE(selections.count(), 1);

        // Removing the active section opens the one that takes its place, without an event.
        bar->RemoveSection(2);
        QCOMPARE(bar->ActiveSection().Caption(), QStringLiteral("C1"));
        QCOMPARE(widget(2)->height(), 300 - 68 + 17);
        // The last one, active, hands over to the new last.
        bar->setActiveSection(bar->Section(4));
        bar->RemoveSectionByKey(QStringLiteral("k3"));
        QCOMPARE(captions(), QStringList({"new", "C1", "C2"}));
        QCOMPARE(bar->ActiveSection().Index(), 3);
        QCOMPARE(heights(), QList<int>({17, 17, 266}));
        QCOMPARE(selections.count(), 2);

        // Removing above the active section keeps it active.
        bar->RemoveSection(1);
        QCOMPARE(bar->ActiveSection().Caption(), QStringLiteral("C2"));
        const cTabSection gone = bar->Section(1);
        bar->RemoveSection(1);
        bar->RemoveSection(1);
        QVERIFY(bar->ActiveSection().isNull());
        QCOMPARE(tabkit::raised([&] { gone.Caption(); }), kInvalid);
        bar->AddSection(QStringLiteral("again"));
        QCOMPARE(heights(), QList<int>({300}));
    }

    void lookupsAndErrors() {
        bar->AddSection(QStringLiteral("Trois"), QStringLiteral("3"));
        bar->AddSection(QStringLiteral("Deux"), QStringLiteral("2"), QStringLiteral("12"));
        bar->AddSection(QStringLiteral("Autre"), QStringLiteral("autre"));
        bar->AddSection(QStringLiteral("Sans clé"));
        bar->AddSection(QStringLiteral("Sans clé non plus"));  // empty keys may repeat

        QCOMPARE(bar->Section(QStringLiteral("3")).Caption(), QStringLiteral("Autre"));
        QCOMPARE(bar->Section(QStringLiteral("autre")).Index(), 3);
        QCOMPARE(bar->SectionByKey(QStringLiteral("3")).Caption(), QStringLiteral("Trois"));
        QCOMPARE(bar->SectionByKey(QStringLiteral("2")).Tag(), QStringLiteral("12"));

        QCOMPARE(tabkit::raised([&] { bar->AddSection(QStringLiteral("x"), QStringLiteral("autre")); }), kDuplicate);
        QCOMPARE(tabkit::raised([&] { bar->AddSection(QStringLiteral("x"), {}, {}, 6); }), kOverflow);
        QCOMPARE(tabkit::raised([&] { bar->Section(QStringLiteral("absent")); }), kOverflow);
        QCOMPARE(tabkit::raised([&] { bar->SectionAt(0); }), kOverflow);
        QCOMPARE(tabkit::raised([&] { bar->RemoveSection(6); }), kOverflow);
        QCOMPARE(tabkit::raised([&] { bar->RemoveSectionByKey(QStringLiteral("absent")); }), kOverflow);
        QCOMPARE(tabkit::raised([&] { bar->setActiveSection(cTabSection()); }), kInvalid);
        const cTabSection fifth = bar->Section(5);
        bar->RemoveSection(5);
        QCOMPARE(tabkit::raised([&] { bar->setActiveSection(fifth); }), kOverflow);
        QCOMPARE(bar->SectionCount(), 4);
        QCOMPARE(bar->ActiveSection().Index(), 1);
    }

    void settingsReachEverySection() {
        fill(2);
        bar->RemoveSection(1);
        bar->setSectionBackColor(rgb(1, 2, 3));
        bar->setSectionForeColor(rgb(4, 5, 6));
        bar->setDisposition(1);
        bar->setUseMaskColor(true);
        bar->AddSection(QStringLiteral("later"));
        for (const cTabSection& section : {bar->Section(1), bar->Section(2)})
            QVERIFY(section.BackColor() == rgb(1, 2, 3) && section.ForeColor() == rgb(4, 5, 6) && section.Disposition() == 1);
        const cTabItem item = bar->Section(2).AddItem(QStringLiteral("Maths"), tabkit::picture(QSize(8, 8), Qt::red));
        QVERIFY(item.UseMaskColor());
        QCOMPARE(tabkit::itemLabel(*widget(2), 1)->BackColor(), rgb(1, 2, 3));
    }

    void eventsCarryTheSectionPosition() {
        fill(4);
        const QPixmap pm = tabkit::picture(QSize(32, 32), Qt::white);
        for (int p = 1; p <= 4; ++p)
            for (int i = 1; i <= 3; ++i) bar->Section(p).AddItem(QStringLiteral("M%1").arg(i), pm);
        bar->setActiveSection(bar->Section(3));
        QSignalSpy downs(bar.get(), &vskTab::MouseDown), headers(bar.get(), &vskTab::HeaderClick),
            headerDowns(bar.get(), &vskTab::HeaderMouseDown), items(bar.get(), &vskTab::ItemClick),
            clicks(bar.get(), &vskTab::Click), itemSelections(bar.get(), &vskTab::OnItemSelection);

        tabkit::press(widget(3), QPoint(5, 40), Qt::RightButton);
        QCOMPARE(QList<QVariantList>(downs), (QList<QVariantList>{{3, 2, 0, 5.0f, 40.0f}}));
        QCOMPARE(clicks.count(), 0);

        // An owner that opens the section whose header was clicked, as the main window does.
        connect(bar.get(), &vskTab::HeaderClick, this, [&](int position) {
            bar->setActiveSection(bar->SectionAt(position));
        });
        tabkit::click(widget(4), QPoint(5, 5));
        QCOMPARE(QList<QVariantList>(headers), (QList<QVariantList>{{4}}));
        QCOMPARE(headerDowns[0], QVariantList({4, 1, 0, 5.0f, 5.0f}));
        QCOMPARE(bar->ActiveSection().Index(), 4);

        // Positions are those of the moment of the event.
        bar->AddSection(QStringLiteral("top"), {}, {}, 1);
        tabSection* fifth = widget(5);
        tabkit::click(tabkit::itemLabel(*fifth, 2), QPoint(2, 2));
        QCOMPARE(QList<QVariantList>(items), (QList<QVariantList>{{5, 2}}));

        bar->Section(5).setSelectedItem(bar->Section(5).Item(2));
        QCOMPARE(itemSelections.count(), 1);
        QCOMPARE(itemSelections[0][0].toInt(), 5);
        QCOMPARE(itemSelections[0][1].value<cTabItem>().Caption(), QStringLiteral("M2"));

        // A bar-wide HitTest of a section takes the bar's vertical coordinate.
        const QRect picture = tabkit::itemButton(*fifth, 1)->geometry();
        QCOMPARE(bar->Section(5).HitTest(picture.center().x(), fifth->y() + picture.center().y()).Index(), 1);

        // An owner may remove the section from inside its own event.
        connect(bar.get(), &vskTab::Click, this, [&](int position) { bar->RemoveSectionAt(position); });
        tabkit::click(fifth, QPoint(5, 200));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(bar->SectionCount(), 4);
        QCOMPARE(bar->ActiveSection().Caption(), QStringLiteral("C3"));
    }
};

QTEST_MAIN(tst_vskTab)
#include "tst_vskTab.moc"
