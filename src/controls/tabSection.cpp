#include "tabSection.h"

#include "PointerShape.h"
#include "TabItemLabel.h"
#include "TabLookup.h"
#include "tooCommand.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

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

tabSection::tabSection(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    m_imaUp = new ScrollArrow(true, this);
    m_imaDown = new ScrollArrow(false, this);
    // Until the section is tall enough to place it at its bottom, the down arrow waits
    // below the header, where a collapsed section does not show it.
    m_imaDown->move(0, itemsTop());
    connect(m_imaDown, &MouseEventWidget::Click, this, [this] {
        scrollForward();
        emit Click();
    });
    connect(m_imaUp, &MouseEventWidget::Click, this, [this] {
        scrollBack();
        emit Click();
    });
}

// ---- items -------------------------------------------------------------------------------

std::array<MouseEventWidget*, 2> tabSection::Slot::widgets() const { return {button, label}; }

cTabItem tabSection::handle(int index) const {
    const Slot& s = slot(index);
    return cTabItem(s.button, s.label);
}

QString tabSection::keyAt(int index) const { return slot(index).label->Tag(); }

int tabSection::indexOfKey(const QString& Key) const {
    return tablookup::findKey(Key, ItemCount(), [this](int i) { return keyAt(i); });
}

int tabSection::indexOf(const QVariant& IndexOrKey) const {
    return tablookup::findPosition(IndexOrKey, ItemCount(), [this](int i) { return keyAt(i); });
}

int tabSection::checkedIndex(int index) const {
    return tablookup::checkedPosition(index, ItemCount(), kSource);
}

void tabSection::loadSlot() {
    const int index = ItemCount() + 1;
    auto* button = new tooCommand(this);
    button->setObjectName(QStringLiteral("tooCommand1_%1").arg(index));
    button->setBackColor(m_settings.BackColor);
    button->setLeftShadow(m_settings.LeftShadow);
    button->setRightShadow(m_settings.RightShadow);
    button->setUseMaskColor(m_settings.UseMaskColor);
    button->setMaskColor(m_settings.MaskColor);
    button->hide();
    auto* label = new TabItemLabel(index, this);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    label->setRoom(m_captionRoom);
    label->setColors(m_settings.BackColor, m_settings.ForeColor);
    label->hide();

    // Item events reach the owner in the section's own coordinates.
    const Slot loaded{button, label};
    for (MouseEventWidget* w : loaded.widgets()) {
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
    connect(label, &TabItemLabel::Resized, this, [this, index] {
        // The section's resize lays every item out itself.
        if (m_busy || index > ItemCount() || m_settings.Disposition != 0) return;
        centreSlot(index);
        // A caption that now takes more or fewer lines moves the items under it.
        if (index < ItemCount() && slot(index + 1).button->y() != slot(index).label->geometry().bottom() + 1 + 15)
            restack();
    });
    m_slots.push_back(loaded);
    m_imaUp->raise();
    m_imaDown->raise();
}

// The slot's widgets may be the very ones whose event is being handled (an owner removing
// the item it was told about), so they are deleted later, and disowned at once.
void tabSection::unloadLastSlot() {
    const Slot s = m_slots.back();
    m_slots.pop_back();
    for (QWidget* w : s.widgets()) {
        disconnect(w, nullptr, this, nullptr);
        w->setObjectName(QString());
        w->hide();
        w->deleteLater();
    }
    s.label->unload();
}

void tabSection::copyContent(int to, int from) {
    const Slot& t = slot(to);
    const Slot& f = slot(from);
    t.button->setPicture(f.button->Picture());
    t.button->setHotPicture(f.button->HotPicture());
    t.button->setTag(f.button->Tag());
    t.label->setCaption(f.label->Caption());
    t.label->setTag(f.label->Tag());
    if (m_settings.Disposition == 0) centreSlot(to);
}

void tabSection::paintCaption(int index, bool selected) {
    if (selected)
        slot(index).label->setColors(m_settings.ForeColor, m_settings.BackColor);
    else
        slot(index).label->setColors(m_settings.BackColor, m_settings.ForeColor);
}

cTabItem tabSection::AddItem(const QString& Text, const QPixmap& Pict, const QString& Key,
                             const QString& Tag, int Before) {
    if (!Key.isEmpty() && indexOfKey(Key) != 0) tablookup::raiseDuplicateKey(kSource);
    if (Before > ItemCount()) tablookup::raiseIndexOverflow(kSource);

    loadSlot();
    const int last = ItemCount();
    const int target = Before >= 1 ? Before : last;
    bool restoreSelection = false;
    if (Before >= 1) {
        if (m_selected >= Before) {
            paintCaption(m_selected, false);
            restoreSelection = true;
        }
        for (int i = last; i > Before; --i) copyContent(i, i - 1);
    }
    const Slot& s = slot(target);
    s.button->setPicture(Pict);
    // A new item has no hover picture of its own, whichever slot it lands in.
    s.button->setHotPicture({});
    s.button->setTag(Tag);
    s.label->setCaption(Text);
    s.label->setTag(Key);
    if (restoreSelection) paintCaption(++m_selected, true);

    layoutSlot(last);
    updateArrows();
    return handle(target);
}

void tabSection::RemoveItem(const QVariant& IndexOrKey) { RemoveItemAt(indexOf(IndexOrKey)); }
void tabSection::RemoveItemByKey(const QString& Key) { RemoveItemAt(indexOfKey(Key)); }

void tabSection::RemoveItemAt(int Index) {
    const int index = checkedIndex(Index);
    bool restoreSelection = false;
    if (index == m_selected) {
        paintCaption(m_selected, false);
        m_selected = 0;
    } else if (m_selected > index) {
        paintCaption(m_selected, false);
        restoreSelection = true;
    }
    for (int i = index + 1; i <= ItemCount(); ++i) copyContent(i - 1, i);
    unloadLastSlot();
    if (restoreSelection) paintCaption(--m_selected, true);

    // Slots keep their places; but when the removed item was the only one left on show,
    // the list scrolls back so that the last item shows rather than an empty area.
    if (ItemCount() == 0) m_firstShown = 1;
    while (m_firstShown > ItemCount() && m_firstShown > 1) scrollBack();
    updateArrows();
}

void tabSection::Clear() {
    while (!m_slots.empty()) unloadLastSlot();
    m_selected = 0;
    m_firstShown = 1;
    updateArrows();
}

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
    if (m_selected != 0) paintCaption(m_selected, false);
    if (index != 0) paintCaption(index, true);
    m_selected = index;
    emit OnItemSelection(item);
}

cTabItem tabSection::HitTest(float Xpixel, float Ypixel) const {
    // In a bar the point comes in the bar's coordinates.
    if (parentWidget() && parentWidget()->inherits("vskTab")) Ypixel -= float(y());
    // Items scrolled out above keep the place of the top item: only items on show count.
    for (int i = m_firstShown; i <= ItemCount(); ++i) {
        for (const QWidget* w : slot(i).widgets()) {
            const QRect g = w->geometry();
            if (Xpixel >= g.x() && Xpixel <= g.x() + g.width() && Ypixel >= g.y() &&
                Ypixel <= g.y() + g.height())
                return handle(i);
        }
    }
    return {};
}

// ---- layout and scrolling ----------------------------------------------------------------

int tabSection::HeaderHeight() const { return std::max(kHeaderHeight, fontMetrics().height() + 3); }

void tabSection::layoutSlot(int index) {
    const Slot& s = slot(index);
    tooCommand* p = s.button;
    TabItemLabel* l = s.label;
    const int w = width();
    if (m_settings.Disposition == 0) {
        const int top = index == 1 ? itemsTop() : slot(index - 1).label->geometry().bottom() + 1 + 15;
        p->move(w / 2 - p->width() / 2, top);
        l->move(w / 2 - l->width() / 2, top + p->height() + 5);
    } else {
        const int top = index == 1 ? itemsTop() : slot(index - 1).button->geometry().bottom() + 1 + 15;
        p->move(10, top);
        l->move(p->width() + 15, top + p->height() / 2 - l->height() / 2);
    }
    p->show();
    l->show();
}

void tabSection::centreSlot(int index) {
    const int w = width();
    for (QWidget* c : slot(index).widgets())
        c->move(w / 2 - c->width() / 2, c->y());
}

void tabSection::layoutAll() {
    for (int i = 1; i <= ItemCount(); ++i) layoutSlot(i);
    m_firstShown = 1;
    updateArrows();
}

int tabSection::itemBottom(int index) const {
    const QWidget* w = slot(index).widgets()[m_settings.Disposition == 0 ? 1 : 0];
    return w->y() + w->height();
}

// From the top of an item to the top of the next. Captions may wrap onto several lines, so
// each item has its own.
int tabSection::scrollPitch(int index) const {
    const int picture = slot(index).button->height();
    return m_settings.Disposition == 0 ? picture + slot(index).label->height() + 5 + 15 : picture + 15;
}

// Captions wrap to the section's width; when that changes their heights, the items are
// laid out again, scrolled as they were.
void tabSection::fitCaptions() {
    if (width() == m_captionRoom) return;
    m_captionRoom = width();
    bool resized = false;
    for (int i = 1; i <= ItemCount(); ++i) {
        TabItemLabel* label = slot(i).label;
        const int height = label->height();
        label->setRoom(m_captionRoom);
        resized = resized || label->height() != height;
    }
    if (resized) restack();
}

// Lays every item out again, scrolled as they were.
void tabSection::restack() {
    const int first = m_firstShown;
    layoutAll();
    while (m_firstShown < first) scrollForward();
}

// Scrolling stops with the last item at the top: the first item shown is always an item.
void tabSection::scrollForward() {
    if (m_firstShown >= ItemCount()) return;
    const int pitch = scrollPitch(m_firstShown);
    for (QWidget* w : slot(m_firstShown).widgets()) w->hide();
    ++m_firstShown;
    for (int i = m_firstShown; i <= ItemCount(); ++i)
        for (QWidget* w : slot(i).widgets()) w->move(w->x(), w->y() - pitch);
    updateArrows();
}

void tabSection::scrollBack() {
    if (m_firstShown <= 1) return;
    const int pitch = scrollPitch(m_firstShown - 1);
    for (int i = m_firstShown; i <= ItemCount(); ++i)
        for (QWidget* w : slot(i).widgets()) w->move(w->x(), w->y() + pitch);
    --m_firstShown;
    for (QWidget* w : slot(m_firstShown).widgets()) w->show();
    updateArrows();
}

void tabSection::updateArrows() {
    if (ItemCount() == 0) {
        m_imaUp->hide();
        m_imaDown->hide();
        return;
    }
    m_imaUp->setVisible(m_firstShown >= 2);
    m_imaDown->setVisible(itemBottom(ItemCount()) > height());
}

void tabSection::EnsureVisible(const QVariant& IndexOrKey) { EnsureVisibleAt(indexOf(IndexOrKey)); }
void tabSection::EnsureVisibleByKey(const QString& Key) { EnsureVisibleAt(indexOfKey(Key)); }

void tabSection::EnsureVisibleAt(int Index) {
    const int index = checkedIndex(Index);
    while (index < m_firstShown) scrollBack();
    // An item taller than the section stops at the top rather than scrolling past it.
    while (itemBottom(index) > height() && m_firstShown < index) scrollForward();
}

void tabSection::Rearrange() { setDisposition(m_settings.Disposition); }

void tabSection::setDisposition(int disposition) {
    m_settings.Disposition = disposition;
    if (ItemCount() > 0) layoutAll();
}

void tabSection::resizeEvent(QResizeEvent*) { runResizeHandler(); }

void tabSection::runResizeHandler() {
    if (m_busy) return;
    m_busy = true;
    if (m_reduced) {
        resize(width(), HeaderHeight());
        update();
        m_busy = false;
        return;
    }
    fitCaptions();
    const int w = width(), h = height();
    m_imaUp->move(w - m_imaUp->width() - 5, itemsTop());
    if (h - m_imaDown->height() - 5 > HeaderHeight())
        m_imaDown->move(w - m_imaDown->width() - 5, h - m_imaDown->height() - 5);
    if (m_settings.Disposition == 0)
        for (int i = 1; i <= ItemCount(); ++i) centreSlot(i);
    updateArrows();
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
    for (int i = 1; i <= ItemCount(); ++i) {
        slot(i).button->setBackColor(color);
        paintCaption(i, i == m_selected);
    }
    update();
}

void tabSection::setForeColor(OleColor color) {
    m_settings.ForeColor = color;
    for (int i = 1; i <= ItemCount(); ++i) paintCaption(i, i == m_selected);
}

template <typename Setter, typename Value>
void tabSection::applyToButtons(Setter setter, Value value) {
    for (const Slot& s : m_slots) (s.button->*setter)(value);
}

void tabSection::setLeftShadow(OleColor color) {
    m_settings.LeftShadow = color;
    applyToButtons(&tooCommand::setLeftShadow, color);
}

void tabSection::setRightShadow(OleColor color) {
    m_settings.RightShadow = color;
    applyToButtons(&tooCommand::setRightShadow, color);
}

void tabSection::setUseMaskColor(bool use) {
    m_settings.UseMaskColor = use;
    applyToButtons(&tooCommand::setUseMaskColor, use);
}

void tabSection::setMaskColor(OleColor color) {
    m_settings.MaskColor = color;
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
