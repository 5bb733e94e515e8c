#include "tabSection.h"

#include "PointerShape.h"
#include "TabItemLabel.h"
#include "TabLookup.h"
#include "tooCommand.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <QStyleOptionButton>
#include <algorithm>

using platform::OleColor;
using platform::oleColor;

namespace {

const QString kSource = QStringLiteral("tabSection");

// The two scroll arrows: a small raised button with a black triangle.
class ScrollArrow : public MouseEventWidget {
public:
    ScrollArrow(bool up, QWidget* parent) : MouseEventWidget(parent), m_up(up) {
        setFixedSize(kSize, kSize);
        setObjectName(up ? QStringLiteral("imaUp") : QStringLiteral("imaDown"));
        hide();
    }
    static constexpr int kSize = 12;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, oleColor(platform::sys::ButtonFace));
        p.setPen(oleColor(platform::sys::Highlight3D));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(oleColor(platform::sys::DarkShadow3D));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        const QPolygon triangle =
            m_up ? QPolygon({QPoint(6, 3), QPoint(10, 8), QPoint(2, 8)})
                 : QPolygon({QPoint(2, 4), QPoint(10, 4), QPoint(6, 9)});
        p.drawPolygon(triangle);
    }

private:
    bool m_up;
};

}  // namespace

tabSection::tabSection(QWidget* parent)
    : QWidget(parent), m_headerHeight(std::max(kHeaderHeight, fontMetrics().height() + 3)) {
    setMouseTracking(true);
    m_imaUp = new ScrollArrow(true, this);
    m_imaDown = new ScrollArrow(false, this);
    // Until the section is tall enough to place it at its bottom, the down arrow waits
    // below the header, where a collapsed section does not show it.
    m_imaDown->move(0, itemsTop());
    connect(m_imaDown, &MouseEventWidget::Click, this, [this] {
        scroll(1);
        emit Click();
    });
    connect(m_imaUp, &MouseEventWidget::Click, this, [this] {
        scroll(-1);
        emit Click();
    });
}

// ---- items -------------------------------------------------------------------------------

std::array<MouseEventWidget*, 2> tabSection::Slot::widgets() const { return {button, label}; }

cTabItem tabSection::handle(int index) const { return cTabItem(const_cast<tabSection*>(this), index); }

int tabSection::indexOfKey(const QString& Key) const {
    return tablookup::findKey(Key, ItemCount(), [this](int i) { return content(i).key; });
}

int tabSection::indexOf(const QVariant& IndexOrKey) const {
    return tablookup::findPosition(IndexOrKey, ItemCount(), [this](int i) { return content(i).key; });
}

int tabSection::checkedIndex(int index) const {
    return tablookup::checkedPosition(index, ItemCount(), kSource);
}

tabSection::SlotMask tabSection::slotMask(int index) const {
    return m_slotMasks.value(index, {m_settings.UseMaskColor, m_settings.MaskColor});
}

void tabSection::setSlotMask(int index, const SlotMask& mask) {
    m_slotMasks.insert(index, mask);
    if (size_t(index) <= m_slots.size() && m_slots[size_t(index - 1)].button) {
        tooCommand* button = m_slots[size_t(index - 1)].button;
        button->setUseMaskColor(mask.use);
        button->setMaskColor(mask.color);
    }
}

// The widgets of a slot, made as copies of the section's settings when it first comes into view.
void tabSection::makeSlot(int index) {
    if (m_slots.size() < size_t(index)) m_slots.resize(size_t(index));
    Slot& made = m_slots[size_t(index - 1)];
    if (made.button) return;
    auto* button = new tooCommand(this);
    button->setObjectName(QStringLiteral("tooCommand1_%1").arg(index));
    button->setBackColor(m_settings.BackColor);
    button->setLeftShadow(m_settings.LeftShadow);
    button->setRightShadow(m_settings.RightShadow);
    const SlotMask mask = slotMask(index);
    button->setUseMaskColor(mask.use);
    button->setMaskColor(mask.color);
    auto* label = new TabItemLabel(this);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    made = {button, label};

    // Item events reach the owner in the section's own coordinates.
    for (MouseEventWidget* w : made.widgets()) {
        connect(w, &MouseEventWidget::MouseDown, this, [this, w](int b, int s, float x, float y) {
            emit MouseDown(b, s, x + w->x(), y + w->y());
        });
        connect(w, &MouseEventWidget::MouseUp, this, [this, w](int b, int s, float x, float y) {
            emit MouseUp(b, s, x + w->x(), y + w->y());
        });
        connect(w, &MouseEventWidget::MouseMove, this, [this, w](int b, int s, float x, float y) {
            emit MouseMove(b, s, x + w->x(), y + w->y());
        });
        connect(w, &MouseEventWidget::Click, this, [this, index] { emit ItemClick(index); });
    }
    m_imaUp->raise();
    m_imaDown->raise();
}

// Slots from `index` on are unloaded: their handles stop working. Their widgets may be the
// very ones whose event is being handled (an owner removing the item it was told about), so
// they are deleted later, and disowned at once.
void tabSection::unloadSlotsFrom(int index) {
    for (auto it = m_slotMasks.begin(); it != m_slotMasks.end();)
        it = it.key() >= index ? m_slotMasks.erase(it) : std::next(it);
    while (m_slots.size() >= size_t(index)) {
        const Slot s = m_slots.back();
        m_slots.pop_back();
        if (!s.button) continue;
        for (QWidget* w : s.widgets()) {
            disconnect(w, nullptr, this, nullptr);
            w->setObjectName(QString());
            w->hide();
            w->deleteLater();
        }
    }
}

// The selected caption has the section's colours swapped.
void tabSection::paintCaption(int index) {
    if (size_t(index) > m_slots.size() || !m_slots[size_t(index - 1)].label) return;
    TabItemLabel* label = m_slots[size_t(index - 1)].label;
    if (index == m_selected)
        label->setColors(m_settings.ForeColor, m_settings.BackColor);
    else
        label->setColors(m_settings.BackColor, m_settings.ForeColor);
}

cTabItem tabSection::AddItem(const QString& Text, const QPixmap& Pict, const QString& Key,
                             const QString& Tag, int Before) {
    if (!Key.isEmpty() && indexOfKey(Key) != 0) tablookup::raiseDuplicateKey(kSource);
    if (Before > ItemCount()) tablookup::raiseIndexOverflow(kSource);

    // A new item has no hover picture of its own, whichever slot it lands in.
    const ItemContent added{Text, Key, Tag, Pict, {}};
    int target = ItemCount() + 1;
    if (Before >= 1) {
        target = Before;
        m_items.insert(Before - 1, added);
        if (m_selected >= Before) ++m_selected;
    } else {
        m_items.append(added);
    }
    placeItems();
    return handle(target);
}

void tabSection::setItems(const Items& items) {
    QSet<QString> keys;
    for (const ItemContent& c : items) {
        if (c.key.isEmpty()) continue;
        if (keys.contains(c.key)) tablookup::raiseDuplicateKey(kSource);
        keys.insert(c.key);
    }
    unloadSlotsFrom(int(items.size()) + 1);
    m_items = items;
    m_selected = 0;
    m_firstShown = 1;
    placeItems();
}

void tabSection::RemoveItem(const QVariant& IndexOrKey) { RemoveItemAt(indexOf(IndexOrKey)); }
void tabSection::RemoveItemByKey(const QString& Key) { RemoveItemAt(indexOfKey(Key)); }

void tabSection::RemoveItemAt(int Index) {
    const int index = checkedIndex(Index);
    if (index == m_selected)
        m_selected = 0;
    else if (m_selected > index)
        --m_selected;
    m_items.removeAt(index - 1);
    unloadSlotsFrom(ItemCount() + 1);
    // Slots keep their places; but when the removed item was the only one left on show,
    // the list scrolls back so that the last item shows rather than an empty area.
    m_firstShown = std::max(1, std::min(m_firstShown, ItemCount()));
    placeItems();
}

void tabSection::Clear() { setItems({}); }

cTabItem tabSection::Item(const QVariant& IndexOrKey) const { return ItemAt(indexOf(IndexOrKey)); }
cTabItem tabSection::ItemAt(int Index) const { return handle(checkedIndex(Index)); }
cTabItem tabSection::ItemByKey(const QString& Key) const { return ItemAt(indexOfKey(Key)); }

cTabItem tabSection::SelectedItem() const {
    return m_selected == 0 ? cTabItem() : handle(m_selected);
}

void tabSection::setSelectedItem(const cTabItem& item) {
    const int index = item.isNull() ? 0 : item.Index();
    if (index == m_selected) return;
    if (index > ItemCount() || index < 0) tablookup::raiseIndexOverflow(kSource);
    const int previous = m_selected;
    m_selected = index;
    if (previous != 0) paintCaption(previous);
    if (index != 0) paintCaption(index);
    emit OnItemSelection(item);
}

// Items scrolled out above keep the place of the top item: only items on show count.
cTabItem tabSection::HitTest(float Xpixel, float Ypixel) const {
    // In a bar the point comes in the bar's coordinates.
    if (parentWidget() && parentWidget()->inherits("vskTab")) Ypixel -= float(y());
    const auto within = [&](const QRect& g) {
        return Xpixel >= g.x() && Xpixel <= g.x() + g.width() && Ypixel >= g.y() && Ypixel <= g.y() + g.height();
    };
    for (int i = m_firstShown, top = itemsTop(); i <= ItemCount(); ++i) {
        const Place place = placeOf(i, top);
        if (within(place.picture) || within(place.caption)) return handle(i);
        // A caption is never above its picture in disposition 0: nothing further down holds the point.
        if (m_settings.Disposition == 0 && place.next > Ypixel) break;
        top = place.next;
    }
    return {};
}

// ---- layout and scrolling ----------------------------------------------------------------

QSize tabSection::pictureSize(int index) const {
    const QPixmap& picture = content(index).picture;
    return picture.isNull() ? QSize(0, 0) : picture.deviceIndependentSize().toSize();
}

// Captions wrap to the section's width.
QSize tabSection::captionSize(int index) const {
    if (m_measuredWidth != width()) {
        m_captionSizes.clear();
        m_measuredWidth = width();
    }
    const QString& caption = content(index).caption;
    auto it = m_captionSizes.constFind(caption);
    if (it == m_captionSizes.cend()) it = m_captionSizes.insert(caption, TabItemLabel::sizeFor(font(), caption, width()));
    return *it;
}

// Disposition 0: the picture centred, the caption centred under it. Otherwise the picture at
// the left, the caption to its right, centred on the picture's height.
tabSection::Place tabSection::placeOf(int index, int top) const {
    const QSize p = pictureSize(index), l = captionSize(index);
    const int w = width();
    Place place;
    if (m_settings.Disposition == 0) {
        place.picture = QRect(QPoint(w / 2 - p.width() / 2, top), p);
        place.caption = QRect(QPoint(w / 2 - l.width() / 2, top + p.height() + 5), l);
        place.bottom = place.caption.y() + l.height();
    } else {
        place.picture = QRect(QPoint(10, top), p);
        place.caption = QRect(QPoint(p.width() + 15, top + p.height() / 2 - l.height() / 2), l);
        place.bottom = top + p.height();
    }
    place.next = (m_settings.Disposition == 0 ? place.bottom : top + p.height()) + 15;
    return place;
}

// From the top of an item to the top of the next. Captions may wrap onto several lines, so
// each item has its own.
int tabSection::pitch(int index) const { return placeOf(index, 0).next; }

void tabSection::showSlot(int index, const Place& place) {
    makeSlot(index);
    const Slot& s = m_slots[size_t(index - 1)];
    const ItemContent& c = content(index);
    if (s.button->Picture().cacheKey() != c.picture.cacheKey()) s.button->setPicture(c.picture);
    if (s.button->HotPicture().cacheKey() != c.hotPicture.cacheKey()) s.button->setHotPicture(c.hotPicture);
    s.label->setRoom(width());
    s.label->setCaption(c.caption);
    paintCaption(index);
    s.button->move(place.picture.topLeft());
    s.label->move(place.caption.topLeft());
    s.button->show();
    s.label->show();
}

// Shows the items in view where they stand, making their widgets as they come into view;
// every other widget made is hidden: above the first shown where it was when it scrolled
// out, below the section's bottom where nothing of it shows.
void tabSection::placeItems() {
    int last = m_firstShown - 1;
    for (int i = m_firstShown, top = itemsTop(); i <= ItemCount() && top < height(); ++i) {
        const Place place = placeOf(i, top);
        showSlot(i, place);
        top = place.next;
        last = i;
    }
    for (int i = 1; i <= int(m_slots.size()); ++i) {
        const Slot& s = m_slots[size_t(i - 1)];
        if (s.button && (i < m_firstShown || i > last))
            for (QWidget* w : s.widgets()) w->hide();
    }
    updateArrows();
}

// Whether the last item ends below the section's bottom.
bool tabSection::lastItemBelow() const {
    for (int i = m_firstShown, top = itemsTop(); i <= ItemCount(); ++i) {
        if (top > height()) return true;
        const Place place = placeOf(i, top);
        if (i == ItemCount()) return place.bottom > height();
        top = place.next;
    }
    return false;
}

void tabSection::updateArrows() {
    if (ItemCount() == 0) {
        m_imaUp->hide();
        m_imaDown->hide();
        return;
    }
    m_imaUp->setVisible(m_firstShown >= 2);
    m_imaDown->setVisible(lastItemBelow());
}

// Scrolling stops with the last item at the top: the first item shown is always an item.
void tabSection::scroll(int step) {
    m_firstShown = std::clamp(m_firstShown + step, 1, std::max(1, ItemCount()));
    placeItems();
}

void tabSection::EnsureVisible(const QVariant& IndexOrKey) { EnsureVisibleAt(indexOf(IndexOrKey)); }
void tabSection::EnsureVisibleByKey(const QString& Key) { EnsureVisibleAt(indexOfKey(Key)); }

// Scrolls back until the item is the first shown, or forward until its bottom is within the
// section; an item taller than the section stops at the top rather than scrolling past it.
void tabSection::EnsureVisibleAt(int Index) {
    const int index = checkedIndex(Index);
    if (index < m_firstShown) {
        m_firstShown = index;
    } else if (index > m_firstShown) {
        // The first item shown for which it ends within the section, counted up from it.
        int first = index;
        for (int bottom = placeOf(index, itemsTop()).bottom;
             first > m_firstShown && bottom + pitch(first - 1) <= height(); --first)
            bottom += pitch(first - 1);
        m_firstShown = first;
    }
    placeItems();
}

void tabSection::Rearrange() { setDisposition(m_settings.Disposition); }

void tabSection::setDisposition(int disposition) {
    m_settings.Disposition = disposition;
    if (ItemCount() == 0) return;
    m_firstShown = 1;
    placeItems();
}

void tabSection::resizeEvent(QResizeEvent*) { runResizeHandler(); }

void tabSection::changeEvent(QEvent* event) {
    // Captions and headers follow a new font.
    if (event->type() == QEvent::FontChange) {
        m_headerHeight = std::max(kHeaderHeight, fontMetrics().height() + 3);
        m_measuredWidth = -1;
        if (!m_reduced) placeItems();
    }
    QWidget::changeEvent(event);
}

void tabSection::runResizeHandler() {
    if (m_busy) return;
    m_busy = true;
    if (m_reduced) {
        resize(width(), HeaderHeight());
        update();
        m_busy = false;
        return;
    }
    const int w = width(), h = height();
    m_imaUp->move(w - m_imaUp->width() - 5, itemsTop());
    if (h - m_imaDown->height() - 5 > HeaderHeight())
        m_imaDown->move(w - m_imaDown->width() - 5, h - m_imaDown->height() - 5);
    placeItems();
    update();
    m_busy = false;
}

void tabSection::setReduced(bool reduced) {
    if (reduced == m_reduced) return;
    m_reduced = reduced;
    if (reduced) runResizeHandler();
}

// ---- appearance --------------------------------------------------------------------------

void tabSection::setBackColor(OleColor color) {
    m_settings.BackColor = color;
    applyToButtons(&tooCommand::setBackColor, color);
    for (int i = 1; i <= int(m_slots.size()); ++i) paintCaption(i);
    update();
}

void tabSection::setForeColor(OleColor color) {
    m_settings.ForeColor = color;
    for (int i = 1; i <= int(m_slots.size()); ++i) paintCaption(i);
}

// Items not yet in view take the section's settings when their button is made.
template <typename Setter, typename Value>
void tabSection::applyToButtons(Setter setter, Value value) {
    for (const Slot& s : m_slots)
        if (s.button) (s.button->*setter)(value);
}

void tabSection::setLeftShadow(OleColor color) {
    m_settings.LeftShadow = color;
    applyToButtons(&tooCommand::setLeftShadow, color);
}

void tabSection::setRightShadow(OleColor color) {
    m_settings.RightShadow = color;
    applyToButtons(&tooCommand::setRightShadow, color);
}

// The mask settings reach every item's button, those set through an item handle too.
void tabSection::setUseMaskColor(bool use) {
    m_settings.UseMaskColor = use;
    for (SlotMask& mask : m_slotMasks) mask.use = use;
    applyToButtons(&tooCommand::setUseMaskColor, use);
}

void tabSection::setMaskColor(OleColor color) {
    m_settings.MaskColor = color;
    for (SlotMask& mask : m_slotMasks) mask.color = color;
    applyToButtons(&tooCommand::setMaskColor, color);
}

void tabSection::applySettings(const Settings& settings) {
    setBackColor(settings.BackColor);
    setForeColor(settings.ForeColor);
    setLeftShadow(settings.LeftShadow);
    setRightShadow(settings.RightShadow);
    setUseMaskColor(settings.UseMaskColor);
    setMaskColor(settings.MaskColor);
    setDisposition(settings.Disposition);
}

void tabSection::setCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void tabSection::setMouseIcon(const QPixmap& icon) {
    m_mouseIcon = icon;
    setCursor(pointerCursor(m_mousePointer, m_mouseIcon));
}

void tabSection::setMousePointer(int pointer) {
    m_mousePointer = pointer;
    setCursor(pointerCursor(m_mousePointer, m_mouseIcon));
}

void tabSection::Refresh() { update(); }

void tabSection::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), oleColor(m_settings.BackColor));

    QStyleOptionButton header;
    header.initFrom(this);
    header.rect = QRect(0, 0, width(), HeaderHeight());
    header.state |= QStyle::State_Raised;
    header.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    style()->drawControl(QStyle::CE_PushButtonBevel, &header, &p, this);
    p.setPen(palette().color(QPalette::ButtonText));
    const QRect text = header.rect.adjusted(3, 0, -3, 0);
    p.drawText(text, Qt::AlignCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(m_caption, Qt::ElideRight, text.width()));
}

// ---- mouse on the background -------------------------------------------------------------

// Presses report at once (a click on the header or the list is its press, left button only);
// the header zone reaches a little below the drawn header.
void tabSection::mousePressEvent(QMouseEvent* e) {
    const bool left = e->button() == Qt::LeftButton;
    if (e->position().y() < headerZone()) {
        emitMouse(this, &tabSection::HeaderMouseDown, *e);
        if (left) emit HeaderClick();
    } else {
        emitMouse(this, &tabSection::MouseDown, *e);
        if (left) emit Click();
    }
}

void tabSection::mouseReleaseEvent(QMouseEvent* e) {
    if (e->position().y() < headerZone())
        emitMouse(this, &tabSection::HeaderMouseUp, *e);
    else
        emitMouse(this, &tabSection::MouseUp, *e);
}

void tabSection::mouseMoveEvent(QMouseEvent* e) { emitMouse(this, &tabSection::MouseMove, *e); }

void tabSection::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit DblClick();
}
