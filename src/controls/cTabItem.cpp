#include "cTabItem.h"

#include "TabLookup.h"
#include "tabSection.h"

namespace {
const QString kSource = QStringLiteral("tabSection");
}

cTabItem::cTabItem(tabSection* section, int index) : m_section(section), m_index(index) {}

tabSection& cTabItem::section() const {
    if (!m_section || !m_section->holds(m_index)) tablookup::raiseIndexOverflow(kSource);
    return *m_section;
}

template <typename Field, typename Value>
void cTabItem::change(Field field, const Value& value) const {
    section().changeContent(m_index, [&](tabSection::ItemContent& c) { c.*field = value; });
}

QString cTabItem::Caption() const { return section().content(m_index).caption; }
void cTabItem::setCaption(const QString& caption) const { change(&tabSection::ItemContent::caption, caption); }
QPixmap cTabItem::Picture() const { return section().content(m_index).picture; }
void cTabItem::setPicture(const QPixmap& picture) const { change(&tabSection::ItemContent::picture, picture); }
QPixmap cTabItem::HotPicture() const { return section().content(m_index).hotPicture; }
void cTabItem::setHotPicture(const QPixmap& picture) const { change(&tabSection::ItemContent::hotPicture, picture); }
QString cTabItem::Tag() const { return section().content(m_index).tag; }
void cTabItem::setTag(const QString& tag) const { change(&tabSection::ItemContent::tag, tag); }
QString cTabItem::Key() const { return section().content(m_index).key; }
int cTabItem::Index() const {
    if (isNull()) return 0;
    section();  // raises once the slot is gone
    return m_index;
}
bool cTabItem::UseMaskColor() const { return section().slotMask(m_index).use; }
void cTabItem::setUseMaskColor(bool use) const {
    tabSection& s = section();
    s.setSlotMask(m_index, {use, s.slotMask(m_index).color});
}
platform::OleColor cTabItem::MaskColor() const { return section().slotMask(m_index).color; }
void cTabItem::setMaskColor(platform::OleColor color) const {
    tabSection& s = section();
    s.setSlotMask(m_index, {s.slotMask(m_index).use, color});
}
