#include "cTabItem.h"

#include "TabLookup.h"

namespace {
const QString kSource = QStringLiteral("tabSection");
}

cTabItem::cTabItem(tooCommand* button, TabItemLabel* label)
    : m_button(button), m_label(label), m_bound(true) {}

void cTabItem::checkLoaded() const {
    if (!m_button || !m_label || m_label->Index() == 0) tablookup::raiseIndexOverflow(kSource);
}

tooCommand& cTabItem::button() const {
    checkLoaded();
    return *m_button;
}

TabItemLabel& cTabItem::label() const {
    checkLoaded();
    return *m_label;
}

QString cTabItem::Caption() const { return label().Caption(); }
void cTabItem::setCaption(const QString& caption) const { label().setCaption(caption); }
QPixmap cTabItem::Picture() const { return button().Picture(); }
void cTabItem::setPicture(const QPixmap& picture) const { button().setPicture(picture); }
QPixmap cTabItem::HotPicture() const { return button().HotPicture(); }
void cTabItem::setHotPicture(const QPixmap& picture) const { button().setHotPicture(picture); }
QString cTabItem::Tag() const { return button().Tag(); }
void cTabItem::setTag(const QString& tag) const { button().setTag(tag); }
QString cTabItem::Key() const { return label().Tag(); }
int cTabItem::Index() const { return m_bound ? label().Index() : 0; }
bool cTabItem::UseMaskColor() const { return button().UseMaskColor(); }
void cTabItem::setUseMaskColor(bool use) const { button().setUseMaskColor(use); }
platform::OleColor cTabItem::MaskColor() const { return button().MaskColor(); }
void cTabItem::setMaskColor(platform::OleColor color) const { button().setMaskColor(color); }
