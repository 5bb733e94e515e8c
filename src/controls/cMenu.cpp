#include "controls/cMenu.h"

#include "controls/mSubClass.h"

#include <QAction>
#include <QActionGroup>
#include <QHash>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// Properties of our own kept on the menu widgets and their actions.
constexpr char kHandle[] = "cMenu.handle";
constexpr char kItemData[] = "cMenu.itemData";
constexpr char kChecked[] = "cMenu.checked";
constexpr char kRadio[] = "cMenu.radio";
constexpr char kDefault[] = "cMenu.default";

// The table of live menus: a menu's record goes with the menu, while a handle outlives its
// menu (the window may be gone), so a dead handle simply finds nothing.
struct MenuRecord {
    QPointer<QWidget> menu;
    QPointer<QWidget> owner;
};

QHash<cMenu::Handle, MenuRecord>& menus() {
    static QHash<cMenu::Handle, MenuRecord> table;
    return table;
}

int g_tracking = 0;  // while TrackMenu waits, a choice is returned instead of posted

cMenu::Handle registerMenu(QWidget* menu, QWidget* owner) {
    static cMenu::Handle last = 0;
    const cMenu::Handle h = ++last;
    menus().insert(h, {menu, owner});
    menu->setProperty(kHandle, h);
    // Menus come and go with every gradebook opened: their records must not pile up.
    QObject::connect(menu, &QObject::destroyed, [h] { menus().remove(h); });
    return h;
}

QWidget* menuOf(cMenu::Handle h) {
    const auto it = menus().constFind(h);
    return it == menus().cend() ? nullptr : it->menu.data();
}

cMenu::Handle handleOf(const QWidget* menu) { return menu ? menu->property(kHandle).toInt() : 0; }

qint32 idOf(const QAction* a) { return a->data().toInt(); }

bool isWithin(const QObject* o, const QObject* ancestor) {
    for (; o; o = o->parent())
        if (o == ancestor) return true;
    return false;
}

// Finds an item by position in the menu, or by id in the menu and its popups; an item
// that opens a popup matches its id only when nothing inside the popup does. `container`
// receives the menu that holds the item.
QAction* findItem(QWidget* menu, qint32 item, bool byPosition, QWidget** container = nullptr,
                  int depth = 0) {
    if (!menu) return nullptr;
    const QList<QAction*> actions = menu->actions();
    if (byPosition) {
        if (item < 0 || item >= actions.size()) return nullptr;
        if (container) *container = menu;
        return actions.at(item);
    }
    if (depth > 16) return nullptr;
    QAction* fallback = nullptr;
    for (QAction* a : actions) {
        if (QMenu* sub = a->menu()) {
            if (QAction* found = findItem(sub, item, false, container, depth + 1)) return found;
            if (!fallback && idOf(a) == item) fallback = a;
        } else if (idOf(a) == item) {
            if (container) *container = menu;
            return a;
        }
    }
    if (fallback && container) *container = menu;
    return fallback;
}

// Qt toggles a checkable action when it is chosen; a menu item keeps the check that the
// program gave it, so the action shows the stored state again after every choice.
void applyCheck(QAction* a, bool checked) {
    a->setProperty(kChecked, checked);
    a->setCheckable(checked);
    a->setChecked(checked);
    if (a->property(kRadio).toBool()) {
        if (!a->actionGroup()) {
            auto* group = new QActionGroup(a);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            group->addAction(a);
        }
    } else if (a->actionGroup()) {
        a->setActionGroup(nullptr);
    }
}

void itemChosen(QAction* a, cMenu::Handle menu) {
    applyCheck(a, a->property(kChecked).toBool());
    if (g_tracking) return;
    mSubClass::PostMessage(menus().value(menu).owner, mSubClass::WM_COMMAND, idOf(a), 0);
}

// Tells the owner which popup opens and from which position of its parent menu; several
// entries may share one popup, so the parent's active entry tells which one opened it.
void popupOpening(cMenu::Handle h) {
    const MenuRecord rec = menus().value(h);
    if (!rec.menu) return;
    int position = 0;
    for (const MenuRecord& r : std::as_const(menus())) {
        QAction* active = nullptr;
        if (auto* m = qobject_cast<QMenu*>(r.menu.data()))
            active = m->activeAction();
        else if (auto* b = qobject_cast<QMenuBar*>(r.menu.data()))
            active = b->activeAction();
        if (active && active->menu() == rec.menu) {
            position = r.menu->actions().indexOf(active);
            break;
        }
    }
    mSubClass::SendMessage(rec.owner, mSubClass::WM_INITMENUPOPUP, h, position & 0xFFFF);
}

QAction* defaultAction(const QWidget* menu) {
    for (QAction* a : menu->actions())
        if (a->property(kDefault).toBool()) return a;
    return nullptr;
}

}  // namespace

cMenu::Handle cMenu::CreateNewMenu(QWidget* owner) {
    m_owner = owner;
    return registerMenu(new QMenuBar, owner);
}

void cMenu::ActivateMenu(Handle menu) {
    auto* bar = qobject_cast<QMenuBar*>(menuOf(menu));
    if (!bar || !m_owner) return;
    menus()[menu].owner = m_owner;
    if (auto* window = qobject_cast<QMainWindow*>(m_owner.data())) {
        window->setMenuBar(bar);
        return;
    }
    bar->setParent(m_owner);
    if (m_owner->layout()) m_owner->layout()->setMenuBar(bar);
    bar->show();
}

void cMenu::AddMenuItem(Handle menu, const QString& caption, qint32 id, qint32 position,
                        bool byPosition, bool checked, bool radioCheck, qint32 itemData, bool, bool) {
    QWidget* container = menuOf(menu);
    if (!container) return;
    QAction* before = nullptr;
    if (byPosition) {
        before = container->actions().value(position);
    } else {
        before = findItem(container, position, false, &container);
        if (!before) return;
    }
    auto* a = new QAction(container);
    a->setData(id);
    if (caption.isEmpty())
        a->setSeparator(true);
    else
        a->setText(caption);
    a->setProperty(kRadio, checked && radioCheck && !caption.isEmpty());
    if (itemData != 0) a->setProperty(kItemData, itemData);
    applyCheck(a, checked);
    const Handle holder = handleOf(container);
    QObject::connect(a, &QAction::triggered, a, [a, holder] { itemChosen(a, holder); });
    container->insertAction(before, a);
}

void cMenu::RemoveMenuItem(Handle menu, qint32 item, bool byPosition) {
    QWidget* container = nullptr;
    QAction* a = findItem(menuOf(menu), item, byPosition, &container);
    if (!a) return;
    // The popup stays alive for the caller, even when its parent menu goes.
    if (QMenu* sub = a->menu(); sub && sub->parent() == container) {
        const auto actions = container->actions();
        const bool shared = std::any_of(actions.cbegin(), actions.cend(),
                                        [&](QAction* o) { return o != a && o->menu() == sub; });
        if (!shared) sub->setParent(nullptr, sub->windowFlags());
    }
    container->removeAction(a);
    delete a;
}

void cMenu::DeleteMenuItem(Handle menu, qint32 item, bool byPosition) {
    QWidget* container = nullptr;
    QAction* a = findItem(menuOf(menu), item, byPosition, &container);
    if (!a) return;
    if (QMenu* sub = a->menu()) DelMenu(handleOf(sub));
    container->removeAction(a);
    delete a;
}

bool cMenu::Enabled(Handle menu, qint32 item, bool byPosition) const {
    const QAction* a = findItem(menuOf(menu), item, byPosition);
    return a && a->isEnabled();
}

void cMenu::setEnabled(Handle menu, qint32 item, bool byPosition, bool value) {
    if (QAction* a = findItem(menuOf(menu), item, byPosition)) a->setEnabled(value);
}

qint32 cMenu::MenuItemCount(Handle menu) const {
    const QWidget* w = menuOf(menu);
    return w ? w->actions().size() : -1;
}

bool cMenu::Checked(Handle menu, qint32 item, bool byPosition) const {
    const QAction* a = findItem(menuOf(menu), item, byPosition);
    return a && a->property(kChecked).toBool();
}

void cMenu::setChecked(Handle menu, qint32 item, bool byPosition, bool value) {
    if (QAction* a = findItem(menuOf(menu), item, byPosition)) applyCheck(a, value);
}

QString cMenu::Caption(Handle menu, qint32 item, bool byPosition) const {
    const QAction* a = findItem(menuOf(menu), item, byPosition);
    return a && !a->isSeparator() ? a->text() : QString();
}

void cMenu::setCaption(Handle menu, qint32 item, bool byPosition, const QString& text) {
    if (QAction* a = findItem(menuOf(menu), item, byPosition)) {
        a->setSeparator(false);
        a->setText(text);
    }
}

qint32 cMenu::DefaultItem(Handle menu, bool byPosition) const {
    const QWidget* w = menuOf(menu);
    const QAction* a = w ? defaultAction(w) : nullptr;
    if (!a || !a->isEnabled()) return -1;
    return byPosition ? w->actions().indexOf(a) : idOf(a);
}

void cMenu::setDefaultItem(Handle menu, bool byPosition, qint32 item) {
    QWidget* w = menuOf(menu);
    if (!w) return;
    const QList<QAction*> actions = w->actions();
    QAction* chosen = nullptr;
    if (item != -1) {
        if (byPosition) {
            chosen = actions.value(item);
        } else {
            const auto it = std::find_if(actions.cbegin(), actions.cend(),
                                         [item](QAction* a) { return idOf(a) == item; });
            chosen = it == actions.cend() ? nullptr : *it;
        }
        if (!chosen) return;
    }
    for (QAction* a : actions) a->setProperty(kDefault, a == chosen);
    if (auto* popup = qobject_cast<QMenu*>(w)) popup->setDefaultAction(chosen);
}

qint32 cMenu::itemData(Handle menu, qint32 item, bool byPosition) const {
    const QAction* a = findItem(menuOf(menu), item, byPosition);
    return a ? a->property(kItemData).toInt() : 0;
}

void cMenu::setItemData(Handle menu, qint32 item, bool byPosition, qint32 value) {
    if (QAction* a = findItem(menuOf(menu), item, byPosition)) a->setProperty(kItemData, value);
}

qint32 cMenu::ItemIDFromPos(Handle menu, qint32 position) const {
    const QAction* a = findItem(menuOf(menu), position, true);
    return a && !a->menu() ? idOf(a) : -1;
}

cMenu::Handle cMenu::SubMenuHandle(Handle menu, qint32 position) const {
    const QAction* a = findItem(menuOf(menu), position, true);
    return a ? handleOf(a->menu()) : 0;
}

cMenu::Handle cMenu::AddMenu() {
    auto* popup = new QMenu;
    const Handle h = registerMenu(popup, m_owner);
    QObject::connect(popup, &QMenu::aboutToShow, popup, [h] { popupOpening(h); });
    return h;
}

void cMenu::DelMenu(Handle menu) {
    QWidget* w = menuOf(menu);
    if (!w) return;
    // Entries elsewhere that open this menu, or one of its popups, lose their popup.
    for (const MenuRecord& r : std::as_const(menus())) {
        if (!r.menu) continue;
        for (QAction* a : r.menu->actions())
            if (a->menu() && isWithin(a->menu(), w)) a->setMenu(static_cast<QMenu*>(nullptr));
    }
    delete w;
}

void cMenu::AttachSubMenu(Handle menu, Handle popup, qint32 item, bool byPosition) {
    QWidget* container = nullptr;
    QAction* a = findItem(menuOf(menu), item, byPosition, &container);
    auto* sub = qobject_cast<QMenu*>(menuOf(popup));
    if (!a || !sub || isWithin(container, sub)) return;
    a->setMenu(sub);
    // Attached popups go with the menu that holds them, and so with the window.
    if (sub->parent() != container) sub->setParent(container, sub->windowFlags());
    if (QWidget* owner = menus().value(handleOf(container)).owner) menus()[popup].owner = owner;
}

void cMenu::CheckRadioItem(Handle menu, qint32 first, qint32 last, qint32 check, bool byPosition) {
    QWidget* container = menuOf(menu);
    if (!container) return;
    if (!byPosition) {
        QWidget* holder = nullptr;
        QAction* a = findItem(container, first, false, &holder);
        QAction* b = findItem(container, last, false, &container);
        if (!a || !b || holder != container) return;
        QAction* c = findItem(container, check, false);
        const auto actions = container->actions();
        first = actions.indexOf(a);
        last = actions.indexOf(b);
        check = c ? actions.indexOf(c) : -1;
    }
    const QList<QAction*> actions = container->actions();
    for (qint32 i = qMax(first, 0); i <= last && i < actions.size(); ++i) {
        QAction* a = actions.at(i);
        if (i == check) a->setProperty(kRadio, true);
        applyCheck(a, i == check);
    }
}

qint32 cMenu::TrackMenu(Handle menu, int x, int y, bool, int horizontalAlignment,
                        int verticalAlignment) {
    auto* popup = qobject_cast<QMenu*>(menuOf(menu));
    if (!popup) return 0;
    if (m_owner) menus()[menu].owner = m_owner;
    const QSize size = popup->sizeHint();
    QPoint at(x, y);
    if (horizontalAlignment == 1) at.rx() -= size.width() / 2;
    else if (horizontalAlignment == 2) at.rx() -= size.width();
    if (verticalAlignment == 1) at.ry() -= size.height() / 2;
    else if (verticalAlignment == 2) at.ry() -= size.height();
    ++g_tracking;
    const QPointer<QAction> chosen = popup->exec(at);
    --g_tracking;
    return chosen && !chosen->isSeparator() ? idOf(chosen) : 0;
}
