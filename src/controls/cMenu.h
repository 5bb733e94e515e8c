#pragma once
#include <QPointer>
#include <QString>
#include <QtGlobal>

class QWidget;

// Menu bars and popup menus built at run time and addressed by handles that the caller
// keeps. A chosen entry is posted to the owner window as WM_COMMAND with its command id
// in wParam and 0 in lParam; a popup about to open sends WM_INITMENUPOPUP to the owner
// with its own handle in wParam and, in the low word of lParam, the position of the entry
// that opened it (both through mSubClass, so they reach the window's target).
//
// Items are addressed by zero-based position (byPosition true) or by command id (false; a
// search by id looks into the popups as well). A handle whose menu is gone, or an item
// that does not exist, is ignored: getters then answer false, "" or 0.
class cMenu {
public:
    using Handle = qint32;  // 0 is no menu

    // Stores the owner window and returns a new, empty menu bar for it.
    Handle CreateNewMenu(QWidget* owner);
    // Shows the bar on the owner window.
    void ActivateMenu(Handle menu);

    // Inserts an item before the item at position (or with that id); a position out of the
    // menu appends. An empty caption makes a separator. Qt menus have no columns:
    // newColumn and columnBar are accepted and have no effect.
    void AddMenuItem(Handle menu, const QString& caption, qint32 id, qint32 position = -1,
                     bool byPosition = true, bool checked = false, bool radioCheck = false,
                     qint32 itemData = 0, bool newColumn = false, bool columnBar = false);
    // Takes the item out; a popup attached to it survives (release it with DelMenu).
    void RemoveMenuItem(Handle menu, qint32 item, bool byPosition);
    // Takes the item out and destroys the popup attached to it.
    void DeleteMenuItem(Handle menu, qint32 item, bool byPosition);

    bool Enabled(Handle menu, qint32 item, bool byPosition) const;
    void setEnabled(Handle menu, qint32 item, bool byPosition, bool value);
    // Number of items, -1 for a handle without menu.
    qint32 MenuItemCount(Handle menu) const;
    bool Checked(Handle menu, qint32 item, bool byPosition) const;
    void setChecked(Handle menu, qint32 item, bool byPosition, bool value);
    QString Caption(Handle menu, qint32 item, bool byPosition) const;
    void setCaption(Handle menu, qint32 item, bool byPosition, const QString& text);
    // The default (bold) item: its id, or its position when byPosition; -1 when there is
    // none or it is disabled. setDefaultItem with -1 removes it.
    qint32 DefaultItem(Handle menu, bool byPosition) const;
    void setDefaultItem(Handle menu, bool byPosition, qint32 item);
    qint32 itemData(Handle menu, qint32 item, bool byPosition) const;
    void setItemData(Handle menu, qint32 item, bool byPosition, qint32 value);
    // Id of the item at position; -1 for an item that opens a popup or no item.
    qint32 ItemIDFromPos(Handle menu, qint32 position) const;
    // Popup attached to the item at position; 0 for none.
    Handle SubMenuHandle(Handle menu, qint32 position) const;

    // A new, empty popup, owned by the caller until it is attached.
    Handle AddMenu();
    // Destroys a menu with its popups.
    void DelMenu(Handle menu);
    // Makes popup the submenu of an item; one popup may serve several items. A popup is
    // never attached inside itself.
    void AttachSubMenu(Handle menu, Handle popup, qint32 item, bool byPosition);
    // Checks item `check` with a radio mark and unchecks the others of first..last.
    void CheckRadioItem(Handle menu, qint32 first, qint32 last, qint32 check, bool byPosition);
    // Shows a popup at (x, y) in screen pixels and waits for the choice; returns the id of
    // the chosen item, 0 when the menu was dismissed. The choice is not sent to the owner.
    // horizontalAlignment 1 centres the menu on x, 2 puts its right edge there; likewise
    // verticalAlignment with y and the bottom edge. Qt menus take either mouse button, so
    // rightButton has no effect.
    qint32 TrackMenu(Handle menu, int x, int y, bool rightButton = false, int horizontalAlignment = 0,
                     int verticalAlignment = 0);

private:
    QPointer<QWidget> m_owner;
};
