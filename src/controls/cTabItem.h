#pragma once
#include "platform/OleColor.h"

#include <QMetaType>
#include <QPixmap>
#include <QPointer>
#include <QString>

class tabSection;

// A handle on one item slot of a tab-bar section: it holds the section and the slot's
// position and forwards to them, nothing more. Every member of the bar that returns an item
// makes a new one; compare handles by Index, Key or Tag, never by identity. A handle follows
// its slot, not the contents: after an insertion or removal it shows what the slot then holds.
class cTabItem {
public:
    // The empty handle ("nothing").
    cTabItem() = default;
    bool isNull() const { return m_index == 0; }

    QString Caption() const;
    void setCaption(const QString& caption) const;
    QPixmap Picture() const;
    void setPicture(const QPixmap& picture) const;
    QPixmap HotPicture() const;
    void setHotPicture(const QPixmap& picture) const;
    QString Tag() const;
    void setTag(const QString& tag) const;
    QString Key() const;
    // The item's position in its section; 0 for the empty handle.
    int Index() const;
    bool UseMaskColor() const;
    void setUseMaskColor(bool use) const;
    platform::OleColor MaskColor() const;
    void setMaskColor(platform::OleColor color) const;

private:
    friend class tabSection;
    cTabItem(tabSection* section, int index);

    // The section, when the slot is still loaded; otherwise "Dépassement d'index.", as on
    // the empty handle.
    tabSection& section() const;
    // Sets one field of the slot's content, which the section then shows.
    template <typename Field, typename Value>
    void change(Field field, const Value& value) const;

    QPointer<tabSection> m_section;
    int m_index = 0;
};

Q_DECLARE_METATYPE(cTabItem)
