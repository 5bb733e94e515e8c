#pragma once
#include "cTabItem.h"
#include "tabSection.h"
#include "platform/OleColor.h"

#include <QMetaType>
#include <QPixmap>
#include <QPointer>
#include <QVariant>

// A handle on one section of the vertical tab bar. It keeps the section's position as it
// was when the handle was made (Index does not follow later insertions or removals) and
// forwards every other member to the section. Compare handles by Index, Key or Tag.
class cTabSection {
public:
    // The empty handle ("nothing").
    cTabSection() = default;
    bool isNull() const { return !m_bound; }

    int Index() const { return m_position; }

    cTabItem AddItem(const QString& Text, const QPixmap& Pict = {}, const QString& Key = {},
                     const QString& Tag = {}, int Before = 0) const;
    void setItems(const tabSection::Items& items) const;
    void RemoveItem(const QVariant& IndexOrKey) const;
    void RemoveItemAt(int Index) const;
    void RemoveItemByKey(const QString& Key) const;
    void Clear() const;
    int ItemCount() const;
    platform::OleColor BackColor() const;
    void setBackColor(platform::OleColor color) const;
    platform::OleColor ForeColor() const;
    void setForeColor(platform::OleColor color) const;
    platform::OleColor LeftShadow() const;
    void setLeftShadow(platform::OleColor color) const;
    platform::OleColor RightShadow() const;
    void setRightShadow(platform::OleColor color) const;
    bool UseMaskColor() const;
    void setUseMaskColor(bool use) const;
    platform::OleColor MaskColor() const;
    void setMaskColor(platform::OleColor color) const;
    QString Caption() const;
    void setCaption(const QString& caption) const;
    QString Tag() const;
    void setTag(const QString& tag) const;
    // Read only: the bar sets a section's key when it adds it.
    QString Key() const;
    int Disposition() const;
    void setDisposition(int disposition) const;
    void EnsureVisible(const QVariant& IndexOrKey) const;
    void EnsureVisibleAt(int Index) const;
    void EnsureVisibleByKey(const QString& Key) const;
    cTabItem SelectedItem() const;
    void setSelectedItem(const cTabItem& item) const;
    QPixmap MouseIcon() const;
    void setMouseIcon(const QPixmap& icon) const;
    int MousePointer() const;
    void setMousePointer(int pointer) const;
    cTabItem Item(const QVariant& IndexOrKey) const;
    cTabItem ItemAt(int Index) const;
    cTabItem ItemByKey(const QString& Key) const;
    cTabItem HitTest(float Xpixel, float Ypixel) const;
    void Rearrange() const;

private:
    friend class vskTab;
    cTabSection(tabSection* section, int position);

    // Raises "Section non valide." once the section is removed, or on the empty handle.
    tabSection& section() const;

    QPointer<tabSection> m_section;
    int m_position = 0;
    bool m_bound = false;
};

Q_DECLARE_METATYPE(cTabSection)
