#pragma once
#include "MouseEventWidget.h"
#include "platform/OleColor.h"

// The caption of one item of a tab-bar section: its text sized to fit, in the section's
// colours (swapped when the item is selected). A caption wider than the room its section
// gives it wraps onto more lines.
class TabItemLabel : public MouseEventWidget {
    Q_OBJECT
public:
    explicit TabItemLabel(QWidget* parent);

    // The size a caption takes in that font within `room` pixels (0: on one line, however wide).
    static QSize sizeFor(const QFont& font, const QString& caption, int room);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The width the caption may take; 0 leaves it on one line, however wide.
    void setRoom(int width);

    platform::OleColor BackColor() const { return m_back; }
    platform::OleColor ForeColor() const { return m_fore; }
    void setColors(platform::OleColor back, platform::OleColor fore);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitToCaption();

    QString m_caption;
    int m_room = 0;
    platform::OleColor m_back = platform::sys::ButtonShadow;
    platform::OleColor m_fore = platform::sys::WindowBackground;
};
