// Menus built at run time: their items, and the commands that reach the owner's target.
#include "controls/cMenu.h"
#include "controls/mSubClass.h"
#include "MessageWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

using testsupport::MessageWindow;
using H = cMenu::Handle;

namespace {

// The action behind an item, found through the handle that cMenu keeps on its menus.
QAction* actionAt(H menu, int position) {
    const auto widgets = QApplication::allWidgets();
    for (QWidget* w : widgets)
        if (w->property("cMenu.handle").toInt() == menu) return w->actions().value(position);
    return nullptr;
}

QMenu* openPopup() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

void clickEntry(QWidget* menu, int position) {
    const QRect r = qobject_cast<QMenuBar*>(menu)
                        ? static_cast<QMenuBar*>(menu)->actionGeometry(menu->actions().at(position))
                        : static_cast<QMenu*>(menu)->actionGeometry(menu->actions().at(position));
    QTest::mouseClick(menu, Qt::LeftButton, {}, r.center());
}

}  // namespace

class tst_cMenu : public QObject {
    Q_OBJECT
private slots:
    void buildingBarsAndPopups() {
        MessageWindow w;
        cMenu m;
        const H bar = m.CreateNewMenu(&w);
        m.AddMenuItem(bar, "&Fichier", 1);
        m.AddMenuItem(bar, "&Ouvrir", 2);
        const H file = m.AddMenu();
        m.AddMenuItem(file, "&Ouvrir un carnet de notes existant", 32);
        m.AddMenuItem(file, "", 34);
        m.AddMenuItem(file, "&Quitter", 35);
        m.AttachSubMenu(bar, file, 1, false);
        m.ActivateMenu(bar);
        QCOMPARE(w.menuBar()->actions().size(), 2);

        QCOMPARE(m.MenuItemCount(bar), 2);
        QCOMPARE(m.MenuItemCount(file), 3);
        QCOMPARE(m.ItemIDFromPos(bar, 0), -1);  // opens a popup
        QCOMPARE(m.ItemIDFromPos(bar, 1), 2);
        QCOMPARE(m.ItemIDFromPos(bar, 5), -1);
        QCOMPARE(m.SubMenuHandle(bar, 0), file);
        QCOMPARE(m.SubMenuHandle(bar, 1), 0);
        QCOMPARE(m.Caption(bar, 35, false), "&Quitter");  // found inside the popup
        QCOMPARE(m.Caption(file, 1, true), "");
        QCOMPARE(m.Caption(file, 99, false), "");

        m.AddMenuItem(file, "&Créer", 33, 34, false);  // before the item with id 34
        m.AddMenuItem(file, "Premier", 30, 0);
        m.AddMenuItem(file, "Dernier", 36, 99);
        m.AddMenuItem(file, "Perdu", 50, 77, false);  // no item 77: nothing inserted
        QStringList captions;
        for (int i = 0; i < m.MenuItemCount(file); ++i) captions << m.Caption(file, i, true);
        QCOMPARE(captions, (QStringList{"Premier", "&Ouvrir un carnet de notes existant", "&Créer", "",
                                        "&Quitter", "Dernier"}));

        // A popup cannot be attached inside itself.
        m.AttachSubMenu(file, file, 0, true);
        QCOMPARE(m.SubMenuHandle(file, 0), 0);

        // Removing an item keeps its popup; deleting one destroys it.
        m.RemoveMenuItem(bar, 0, true);
        QCOMPARE(m.MenuItemCount(bar), 1);
        QCOMPARE(m.MenuItemCount(file), 6);
        m.AttachSubMenu(bar, file, 2, false);
        m.DeleteMenuItem(bar, 2, false);
        QCOMPARE(m.MenuItemCount(bar), 0);
        QCOMPARE(m.MenuItemCount(file), -1);
        m.DelMenu(file);  // already gone: nothing happens

        const H lone = m.AddMenu();
        m.DelMenu(lone);
        QCOMPARE(m.MenuItemCount(lone), -1);
        QCOMPARE(m.Caption(lone, 0, true), "");

        // The bar and its popups go with the window; their handles then find nothing.
        auto* gone = new MessageWindow;
        const H goneBar = m.CreateNewMenu(gone);
        const H gonePopup = m.AddMenu();
        m.AddMenuItem(goneBar, "X", 1);
        m.AttachSubMenu(goneBar, gonePopup, 0, true);
        m.ActivateMenu(goneBar);
        delete gone;
        QCOMPARE(m.MenuItemCount(goneBar), -1);
        QCOMPARE(m.MenuItemCount(gonePopup), -1);
        m.DelMenu(gonePopup);
    }

    void itemStates() {
        MessageWindow w;
        cMenu m;
        const H bar = m.CreateNewMenu(&w);
        const H p = m.AddMenu();
        m.AddMenuItem(p, "Un", 10);
        m.AddMenuItem(p, "Deux", 11, -1, true, false, false, 77);
        m.AddMenuItem(p, "", 12, -1, true, true, true);  // a checked separator
        m.AddMenuItem(p, "Quatre", 13);
        m.AddMenuItem(bar, "Menu", 1);
        m.AttachSubMenu(bar, p, 0, true);

        QVERIFY(m.Checked(p, 12, false));
        QVERIFY(actionAt(p, 2)->isSeparator());
        QVERIFY(!actionAt(p, 2)->actionGroup());  // a separator takes no radio mark
        m.setCaption(p, 2, true, "Trois");
        QCOMPARE(m.Caption(p, 12, false), "Trois");
        QVERIFY(!actionAt(p, 2)->isSeparator());

        QCOMPARE(m.itemData(p, 10, false), 0);
        QCOMPARE(m.itemData(p, 11, false), 77);
        m.setItemData(p, 10, false, 5);
        QCOMPARE(m.itemData(bar, 10, false), 5);

        m.setEnabled(p, 10, false, false);
        QVERIFY(!m.Enabled(p, 10, false));
        m.setChecked(p, 10, false, true);  // checking leaves it disabled
        QVERIFY(m.Checked(p, 10, false));
        QVERIFY(!m.Enabled(p, 10, false));
        m.setEnabled(p, 0, true, true);
        QVERIFY(m.Enabled(p, 0, true));
        m.setChecked(p, 0, true, false);
        QVERIFY(!m.Checked(p, 0, true));
        QVERIFY(!m.Enabled(p, 99, true));

        QCOMPARE(m.DefaultItem(p, false), -1);
        m.setDefaultItem(p, false, 13);
        QCOMPARE(m.DefaultItem(p, false), 13);
        QCOMPARE(m.DefaultItem(p, true), 3);
        m.setDefaultItem(p, true, 42);  // no such item: the default stays
        QCOMPARE(m.DefaultItem(p, false), 13);
        m.setEnabled(p, 13, false, false);
        QCOMPARE(m.DefaultItem(p, false), -1);  // a disabled default does not count
        m.setEnabled(p, 13, false, true);
        m.setDefaultItem(p, true, -1);
        QCOMPARE(m.DefaultItem(p, true), -1);

        m.CheckRadioItem(p, 0, 3, 1, true);
        QCOMPARE((QList<bool>{m.Checked(p, 0, true), m.Checked(p, 1, true), m.Checked(p, 2, true),
                              m.Checked(p, 3, true)}),
                 (QList<bool>{false, true, false, false}));
        QVERIFY(actionAt(p, 1)->actionGroup() && actionAt(p, 1)->actionGroup()->isExclusive());
        m.CheckRadioItem(p, 10, 13, 13, false);
        QVERIFY(m.Checked(p, 13, false));
        QVERIFY(!m.Checked(p, 11, false));
    }

    void chosenEntriesReachTheOwnersTarget() {
        MessageWindow w;
        cMenu m;
        const H bar = m.CreateNewMenu(&w);
        m.AddMenuItem(bar, "&Fichier", 1);
        m.AddMenuItem(bar, "&Ouvrir", 2);
        m.AddMenuItem(bar, "&Aide", 7);
        const H file = m.AddMenu();
        m.AddMenuItem(file, "&Quitter", 35, -1, true, true);
        m.AttachSubMenu(bar, file, 1, false);
        // One subjects popup shared by every class entry, as the "Ouvrir" menu has it.
        const H classes = m.AddMenu();
        const H subjects = m.AddMenu();
        for (int i = 1; i <= 3; ++i) m.AddMenuItem(classes, QString("Classe %1").arg(i), 100 + i);
        for (int j = 1; j <= 2; ++j) m.AddMenuItem(subjects, QString("Matière %1").arg(j), 200 + j);
        for (int i = 0; i < 3; ++i) m.AttachSubMenu(classes, subjects, i, true);
        m.AttachSubMenu(bar, classes, 2, false);
        m.ActivateMenu(bar);
        w.resize(400, 300);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        clickEntry(w.menuBar(), 0);
        QTRY_VERIFY(openPopup());
        QCOMPARE(w.messages.size(), 1);
        QCOMPARE(w.messages[0].uMsg, mSubClass::WM_INITMENUPOPUP);
        QCOMPARE(w.messages[0].wParam, qintptr(file));
        QCOMPARE(w.messages[0].lParam & 0xFFFF, qintptr(0));
        clickEntry(openPopup(), 0);
        QTRY_COMPARE(w.commands(), QList<qintptr>{35});
        QVERIFY(m.Checked(file, 35, false));  // choosing does not toggle the check

        w.messages.clear();
        clickEntry(w.menuBar(), 1);
        QTRY_VERIFY(openPopup());
        QMenu* classMenu = openPopup();
        classMenu->setActiveAction(classMenu->actions().at(2));  // opens its subjects popup
        QTRY_VERIFY(openPopup() != classMenu);
        QCOMPARE(w.messages.last().uMsg, mSubClass::WM_INITMENUPOPUP);
        QCOMPARE(w.messages.last().wParam, qintptr(subjects));
        QCOMPARE(w.messages.last().lParam & 0xFFFF, qintptr(2));  // from the third class
        clickEntry(openPopup(), 1);
        QTRY_COMPARE(w.commands(), QList<qintptr>{202});
        QTRY_VERIFY(!openPopup());

        // An entry of the bar itself without popup is a command.
        w.messages.clear();
        clickEntry(w.menuBar(), 2);
        QTRY_COMPARE(w.commands(), QList<qintptr>{7});
    }

    void trackedMenusReturnTheChoice() {
        MessageWindow w;
        w.resize(400, 300);
        w.show();
        cMenu m;
        m.CreateNewMenu(&w);
        const H p = m.AddMenu();
        m.AddMenuItem(p, "Un", 41);
        m.AddMenuItem(p, "Deux", 42);
        const QPoint centre = w.screen()->geometry().center();
        QRect shown;
        QTimer::singleShot(0, [&] {
            QMenu* menu = openPopup();
            shown = menu->geometry();
            clickEntry(menu, 1);
        });
        QCOMPARE(m.TrackMenu(p, centre.x(), centre.y(), false, 2, 1), 42);
        QCOMPARE(shown.right() + 1, centre.x());  // right edge on x
        QVERIFY(qAbs(shown.center().y() - centre.y()) <= 1);
        QCoreApplication::processEvents();
        QVERIFY(w.commands().isEmpty());  // returned, not sent

        QTimer::singleShot(0, [] { QTest::keyClick(openPopup(), Qt::Key_Escape); });
        QCOMPARE(m.TrackMenu(p, centre.x(), centre.y()), 0);
    }
};

QTEST_MAIN(tst_cMenu)
#include "tst_cMenu.moc"
