#pragma once
#include "MouseEventWidget.h"
#include "platform/OleColor.h"

// The caption of one item of a tab-bar section: its text sized to fit, in the section's
// colours (swapped when the item is selected). Its Tag holds the item's key. A caption
// wider than the room its section gives it wraps onto more lines.
class TabItemLabel : public MouseEventWidget {
    Q_OBJECT
public:
    TabItemLabel(int index, QWidget* parent);

    // The item slot this caption belongs to (1-based); 0 once the slot is unloaded.
    int Index() const { return m_index; }
    void unload() { m_index = 0; }

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The width the caption may take; 0 leaves it on one line, however wide.
    void setRoom(int width);
    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    platform::OleColor BackColor() const { return m_back; }
    platform::OleColor ForeColor() const { return m_fore; }
    void setColors(platform::OleColor back, platform::OleColor fore);

signals:
    // The caption changed its size, so that its owner may place it again.
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitToCaption();

    int m_index;
    QString m_caption;
    QString m_tag;
    int m_room = 0;
    platform::OleColor m_back = platform::sys::ButtonShadow;
    platform::OleColor m_fore = platform::sys::WindowBackground;
};
