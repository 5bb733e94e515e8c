#pragma once
#include "TabItemLabel.h"
#include "tooCommand.h"
#include "platform/OleColor.h"

#include <QMetaType>
#include <QPixmap>
#include <QPointer>
#include <QString>

// A handle on one item slot of a tab-bar section: it holds the slot's picture button and
// caption and forwards to them, nothing more. Every member of the bar that returns an item
// makes a new one; compare handles by Index, Key or Tag, never by identity. A handle follows
// its slot, not the contents: after an insertion or removal it shows what the slot then holds.
class cTabItem {
public:
    // The empty handle ("nothing").
    cTabItem() = default;
    bool isNull() const { return !m_bound; }

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
    cTabItem(tooCommand* button, TabItemLabel* label);

    // Raise "Dépassement d'index." once the slot is gone, or on the empty handle.
    void checkLoaded() const;
    tooCommand& button() const;
    TabItemLabel& label() const;

    QPointer<tooCommand> m_button;
    QPointer<TabItemLabel> m_label;
    bool m_bound = false;
};

Q_DECLARE_METATYPE(cTabItem)
