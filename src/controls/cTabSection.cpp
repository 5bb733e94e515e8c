#include "cTabSection.h"

#include "TabLookup.h"
#include "tabSection.h"

using platform::OleColor;

cTabSection::cTabSection(tabSection* section, int position)
    : m_section(section), m_position(position), m_bound(true) {}

tabSection& cTabSection::section() const {
    if (!m_section || m_section->isUnloaded()) tablookup::raiseInvalidSection(QStringLiteral("vskTab"));
    return *m_section;
}

cTabItem cTabSection::AddItem(const QString& Text, const QPixmap& Pict, const QString& Key,
                              const QString& Tag, int Before) const {
    return section().AddItem(Text, Pict, Key, Tag, Before);
}
void cTabSection::setItems(const tabSection::Items& items) const { section().setItems(items); }
void cTabSection::RemoveItem(const QVariant& IndexOrKey) const { section().RemoveItem(IndexOrKey); }
void cTabSection::RemoveItemAt(int Index) const { section().RemoveItemAt(Index); }
void cTabSection::RemoveItemByKey(const QString& Key) const { section().RemoveItemByKey(Key); }
void cTabSection::Clear() const { section().Clear(); }
int cTabSection::ItemCount() const { return section().ItemCount(); }
OleColor cTabSection::BackColor() const { return section().BackColor(); }
void cTabSection::setBackColor(OleColor color) const { section().setBackColor(color); }
OleColor cTabSection::ForeColor() const { return section().ForeColor(); }
void cTabSection::setForeColor(OleColor color) const { section().setForeColor(color); }
OleColor cTabSection::LeftShadow() const { return section().LeftShadow(); }
void cTabSection::setLeftShadow(OleColor color) const { section().setLeftShadow(color); }
OleColor cTabSection::RightShadow() const { return section().RightShadow(); }
void cTabSection::setRightShadow(OleColor color) const { section().setRightShadow(color); }
bool cTabSection::UseMaskColor() const { return section().UseMaskColor(); }
void cTabSection::setUseMaskColor(bool use) const { section().setUseMaskColor(use); }
OleColor cTabSection::MaskColor() const { return section().MaskColor(); }
void cTabSection::setMaskColor(OleColor color) const { section().setMaskColor(color); }
QString cTabSection::Caption() const { return section().Caption(); }
void cTabSection::setCaption(const QString& caption) const { section().setCaption(caption); }
QString cTabSection::Tag() const { return section().Tag(); }
void cTabSection::setTag(const QString& tag) const { section().setTag(tag); }
QString cTabSection::Key() const { return section().Key(); }
int cTabSection::Disposition() const { return section().Disposition(); }
void cTabSection::setDisposition(int disposition) const { section().setDisposition(disposition); }
void cTabSection::EnsureVisible(const QVariant& IndexOrKey) const { section().EnsureVisible(IndexOrKey); }
void cTabSection::EnsureVisibleAt(int Index) const { section().EnsureVisibleAt(Index); }
void cTabSection::EnsureVisibleByKey(const QString& Key) const { section().EnsureVisibleByKey(Key); }
cTabItem cTabSection::SelectedItem() const { return section().SelectedItem(); }
void cTabSection::setSelectedItem(const cTabItem& item) const { section().setSelectedItem(item); }
QPixmap cTabSection::MouseIcon() const { return section().MouseIcon(); }
void cTabSection::setMouseIcon(const QPixmap& icon) const { section().setMouseIcon(icon); }
int cTabSection::MousePointer() const { return section().MousePointer(); }
void cTabSection::setMousePointer(int pointer) const { section().setMousePointer(pointer); }
cTabItem cTabSection::Item(const QVariant& IndexOrKey) const { return section().Item(IndexOrKey); }
cTabItem cTabSection::ItemAt(int Index) const { return section().ItemAt(Index); }
cTabItem cTabSection::ItemByKey(const QString& Key) const { return section().ItemByKey(Key); }
cTabItem cTabSection::HitTest(float Xpixel, float Ypixel) const { return section().HitTest(Xpixel, Ypixel); }
void cTabSection::Rearrange() const { section().Rearrange(); }
