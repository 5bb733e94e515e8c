#pragma once
#include "cTabSection.h"
#include "tabSection.h"
#include "platform/OleColor.h"

#include <QVariant>
#include <QWidget>
#include <vector>

// The vertical tab bar: a stack of sections of which only the active one is open and fills
// the free height, every other one showing its header alone. The bar passes every event of
// a section on with the section's current position first; it never changes the active
// section by itself (the owner answers HeaderClick by setting ActiveSection).
class vskTab : public QWidget {
    Q_OBJECT
public:
    // The most sections a bar is made to hold: their 17-pixel headers stacked within 32,767
    // pixels. Its owner keeps to it.
    static constexpr int kMaxSections = 32767 / tabSection::kHeaderHeight;

    explicit vskTab(QWidget* parent = nullptr);

    // Before <= 0 appends; 1..SectionCount inserts at that position. The first section
    // added becomes the active one; the others come collapsed.
    cTabSection AddSection(const QString& Caption, const QString& Key = {}, const QString& Tag = {},
                           int Before = 0);
    // An argument that is a number, or a text that reads as one, is a position; any other
    // text is a key. The ...At and ...ByKey members take one or the other only, so that a
    // section keyed "2" can be found by its key.
    void RemoveSection(const QVariant& PositionOrKey);
    void RemoveSectionAt(int Position);
    void RemoveSectionByKey(const QString& Key);
    void Clear();
    cTabSection HitTest(float Ypixel) const;
    void Refresh();

    cTabSection Section(const QVariant& PositionOrKey) const;
    cTabSection SectionAt(int Position) const;
    cTabSection SectionByKey(const QString& Key) const;
    cTabSection ActiveSection() const;
    void setActiveSection(const cTabSection& section);
    int SectionCount() const { return int(m_order.size()); }

    // 0: none; 1: a sunken frame around the bar.
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    platform::OleColor BackColor() const { return m_backColor; }
    void setBackColor(platform::OleColor color);
    bool Enabled() const { return isEnabled(); }

    // Settings of every section, those to come included.
    platform::OleColor SectionBackColor() const { return m_template.BackColor; }
    void setSectionBackColor(platform::OleColor color);
    platform::OleColor SectionForeColor() const { return m_template.ForeColor; }
    void setSectionForeColor(platform::OleColor color);
    int Disposition() const { return m_template.Disposition; }
    void setDisposition(int disposition);
    platform::OleColor LeftShadow() const { return m_template.LeftShadow; }
    void setLeftShadow(platform::OleColor color);
    platform::OleColor RightShadow() const { return m_template.RightShadow; }
    void setRightShadow(platform::OleColor color);
    bool UseMaskColor() const { return m_template.UseMaskColor; }
    void setUseMaskColor(bool use);
    platform::OleColor MaskColor() const { return m_template.MaskColor; }
    void setMaskColor(platform::OleColor color);

signals:
    void HeaderClick(int Section);
    void HeaderMouseDown(int Section, int Button, int Shift, float X, float Y);
    void HeaderMouseUp(int Section, int Button, int Shift, float X, float Y);
    void ItemClick(int Section, int Index);
    void Click(int Section);
    void DblClick(int Section);
    void MouseDown(int Section, int Button, int Shift, float X, float Y);
    void MouseUp(int Section, int Button, int Shift, float X, float Y);
    void MouseMove(int Section, int Button, int Shift, float X, float Y);
    void OnSelection(const cTabSection& Section);
    void OnItemSelection(int Section, const cTabItem& Item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    tabSection* at(int position) const { return m_order[size_t(position - 1)]; }
    int positionOf(const tabSection* section) const;
    int positionOf(const QVariant& PositionOrKey) const;
    int positionOfKey(const QString& Key) const;
    int checkedPosition(int position) const;
    void connectSection(tabSection* section);
    void unloadSection(tabSection* section);
    void layoutSections();
    template <typename Setter, typename Value>
    void applyToSections(Setter setter, Value value);

    std::vector<tabSection*> m_order;  // sections in position order
    tabSection::Settings m_template;
    int m_active = 0;
    int m_borderStyle = 0;
    platform::OleColor m_backColor = platform::sys::ButtonFace;
    bool m_busy = false;
};
