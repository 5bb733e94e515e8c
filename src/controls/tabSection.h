#pragma once
#include "cTabItem.h"
#include "platform/OleColor.h"

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QVariant>
#include <QWidget>
#include <array>
#include <vector>

class MouseEventWidget;
class tooCommand;
class TabItemLabel;

// One section of the vertical tab bar: a header drawn as a push button, and below it a
// column of items (a picture button with its caption) that scrolls with two small arrows.
// The section never selects an item by itself: a click only reports ItemClick, and the owner
// sets SelectedItem. Items are reached through cTabItem handles, made afresh by each call.
//
// An item is its content; its picture button and caption are made when the item first comes
// into view, so that a section of hundreds of items costs what it shows, and a collapsed one
// nearly nothing. Where the items stand follows from their sizes, from the first one shown.
class tabSection : public QWidget {
    Q_OBJECT
public:
    // What every section of a bar shares; a bar gives its own to each section it adds.
    struct Settings {
        platform::OleColor BackColor = platform::sys::ButtonShadow;
        platform::OleColor ForeColor = platform::sys::WindowBackground;
        platform::OleColor LeftShadow = platform::sys::ButtonFace;
        platform::OleColor RightShadow = platform::sys::DarkShadow3D;
        bool UseMaskColor = false;
        platform::OleColor MaskColor = 0;
        int Disposition = 0;
    };

    // What an item holds. Insertions and removals move contents from slot to slot.
    struct ItemContent {
        QString caption;
        QString key;  // "" for none
        QString tag;
        QPixmap picture;
        QPixmap hotPicture;
    };
    // Sections given one list share it until one of them changes its items.
    using Items = QList<ItemContent>;

    // The most items a section is made to hold: positions are 16-bit. Its owner keeps to it.
    static constexpr int kMaxItems = 32767;

    // The header is 17 pixels high, or as high as a larger font needs. The items start 5
    // pixels below it; presses down to 6 pixels below it count as on the header.
    static constexpr int kHeaderHeight = 17;
    int HeaderHeight() const { return m_headerHeight; }
    int itemsTop() const { return HeaderHeight() + 5; }
    int headerZone() const { return HeaderHeight() + 6; }

    explicit tabSection(QWidget* parent = nullptr);

    // Before <= 0 appends; 1..ItemCount inserts at that position.
    cTabItem AddItem(const QString& Text, const QPixmap& Pict = {}, const QString& Key = {},
                     const QString& Tag = {}, int Before = 0);
    // Every item replaced by these at once, as Clear then AddItem of each would leave them
    // (no selection, nothing scrolled, no event); the slots that remain keep their handles.
    void setItems(const Items& items);
    // An argument that is a number, or a text that reads as one, is a position; any other
    // text is a key. The ...At and ...ByKey members take one or the other only.
    void RemoveItem(const QVariant& IndexOrKey);
    void RemoveItemAt(int Index);
    void RemoveItemByKey(const QString& Key);
    void Clear();
    void EnsureVisible(const QVariant& IndexOrKey);
    void EnsureVisibleAt(int Index);
    void EnsureVisibleByKey(const QString& Key);
    cTabItem Item(const QVariant& IndexOrKey) const;
    cTabItem ItemAt(int Index) const;
    cTabItem ItemByKey(const QString& Key) const;
    // The item under a point of the section (of the bar, vertically, when in a bar).
    cTabItem HitTest(float Xpixel, float Ypixel) const;
    void Rearrange();
    void Refresh();

    int ItemCount() const { return int(m_items.size()); }

    platform::OleColor BackColor() const { return m_settings.BackColor; }
    void setBackColor(platform::OleColor color);
    platform::OleColor ForeColor() const { return m_settings.ForeColor; }
    void setForeColor(platform::OleColor color);
    platform::OleColor LeftShadow() const { return m_settings.LeftShadow; }
    void setLeftShadow(platform::OleColor color);
    platform::OleColor RightShadow() const { return m_settings.RightShadow; }
    void setRightShadow(platform::OleColor color);
    bool UseMaskColor() const { return m_settings.UseMaskColor; }
    void setUseMaskColor(bool use);
    platform::OleColor MaskColor() const { return m_settings.MaskColor; }
    void setMaskColor(platform::OleColor color);
    int Disposition() const { return m_settings.Disposition; }
    void setDisposition(int disposition);
    void applySettings(const Settings& settings);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool Reduced() const { return m_reduced; }
    void setReduced(bool reduced);
    cTabItem SelectedItem() const;
    void setSelectedItem(const cTabItem& item);
    QPixmap MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap& icon);
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    QString Key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }
    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // The topmost item shown (1 when nothing is scrolled).
    int FirstShownIndex() const { return m_firstShown; }

    // Set by the bar when it removes the section, so that handles on it stop working.
    bool isUnloaded() const { return m_unloaded; }
    void unload() { m_unloaded = true; }

signals:
    void HeaderClick();
    void HeaderMouseDown(int Button, int Shift, float X, float Y);
    void HeaderMouseUp(int Button, int Shift, float X, float Y);
    void Click();
    void DblClick();
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void ItemClick(int Index);
    void OnItemSelection(const cTabItem& Item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class cTabItem;

    // The widgets of an item slot, once it has come into view.
    struct Slot {
        tooCommand* button = nullptr;
        TabItemLabel* label = nullptr;
        std::array<MouseEventWidget*, 2> widgets() const;
    };
    // The mask of a slot's button set through an item handle rather than the section.
    struct SlotMask {
        bool use;
        platform::OleColor color;
    };
    // Where an item stands when the one above it ends at `top`.
    struct Place {
        QRect picture, caption;
        int bottom;  // the caption's bottom in disposition 0, the picture's otherwise
        int next;    // the top of the item under it
    };

    // For cTabItem: the content of item `index` (which must exist), and its changes.
    bool holds(int index) const { return !m_unloaded && index >= 1 && index <= ItemCount(); }
    const ItemContent& content(int index) const { return m_items[index - 1]; }
    template <typename Change>
    void changeContent(int index, Change change) {
        change(m_items[index - 1]);
        placeItems();
    }
    SlotMask slotMask(int index) const;
    void setSlotMask(int index, const SlotMask& mask);

    cTabItem handle(int index) const;
    int indexOf(const QVariant& IndexOrKey) const;
    int indexOfKey(const QString& Key) const;
    int checkedIndex(int index) const;

    QSize pictureSize(int index) const;
    QSize captionSize(int index) const;
    Place placeOf(int index, int top) const;
    int pitch(int index) const;
    void makeSlot(int index);
    void unloadSlotsFrom(int index);
    void showSlot(int index, const Place& place);
    void paintCaption(int index);
    void placeItems();
    bool lastItemBelow() const;
    void updateArrows();
    void scroll(int step);
    void runResizeHandler();
    template <typename Setter, typename Value>
    void applyToButtons(Setter setter, Value value);

    Settings m_settings;
    QString m_caption;
    QString m_key;
    QString m_tag;
    QPixmap m_mouseIcon;
    int m_mousePointer = 0;
    bool m_reduced = false;
    int m_selected = 0;
    int m_firstShown = 1;
    bool m_busy = false;
    bool m_unloaded = false;
    int m_headerHeight = kHeaderHeight;  // follows the font: the bar asks for it at every layout
    Items m_items;
    std::vector<Slot> m_slots;  // by index - 1, as far as the last slot made
    QHash<int, SlotMask> m_slotMasks;
    // Caption sizes measured at the width and font they were measured in.
    mutable QHash<QString, QSize> m_captionSizes;
    mutable int m_measuredWidth = -1;
    MouseEventWidget* m_imaUp;
    MouseEventWidget* m_imaDown;
};
