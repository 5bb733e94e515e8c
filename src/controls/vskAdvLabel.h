#pragma once
#include "cScrollBar.h"
#include "platform/OleColor.h"

#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QVector>

// A column of lines, each a small picture followed by word-wrapped text, with rules between
// them. Show renders every line at once into a page of fixed height (Size), which the
// vertical bar then scrolls; lines below the page are never shown.
class vskAdvLabel : public QFrame {
    Q_OBJECT
public:
    explicit vskAdvLabel(QWidget* parent = nullptr);

    int Size() const { return m_size; }
    void setSize(int pixels) { m_size = pixels; }
    platform::OleColor BackColor() const { return m_backColor; }
    void setBackColor(platform::OleColor c) { m_backColor = c; }
    platform::OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(platform::OleColor c) { m_foreColor = c; }
    QFont Font() const { return font(); }
    quint8 Margin() const { return m_margin; }
    void setMargin(quint8 pixels) { m_margin = pixels; }
    quint8 SeparatorMargin() const { return m_separatorMargin; }
    void setSeparatorMargin(quint8 pixels) { m_separatorMargin = pixels; }
    bool ShowSeparator() const { return m_showSeparator; }
    void setShowSeparator(bool show) { m_showSeparator = show; }
    // 0 no border, 1 a sunken single border.
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    // 0 left, 1 centred, 2 right.
    int TextAlignement() const { return m_textAlignement; }
    void setTextAlignement(int flags) { m_textAlignement = flags; }
    int ItemCount() const { return int(m_items.size()); }

    void AddItem(const QString& text, const QPixmap& picture = QPixmap());
    void RemoveItem(int index);
    void ClearItem();
    QString ItemText(int index) const;
    QPixmap ItemPict(int index) const;

    // Renders all lines into a new page, shows its top and returns the height of all the
    // lines in pixels, the part below Size included.
    int Show();
    // What the last Show returned: the height of all its lines.
    int renderedHeight() const { return m_rendered; }

    cScrollBar& msb() { return m_msb; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Shows the bar when the part of the page that holds lines is taller than the control.
    void setUpBar();

    struct Item {
        QString text;
        QPixmap picture;
    };

    int m_size = 2000;
    platform::OleColor m_backColor = platform::sys::ButtonFace;
    platform::OleColor m_foreColor = platform::sys::ButtonText;
    quint8 m_margin = 5;
    quint8 m_separatorMargin = 5;
    bool m_showSeparator = true;
    int m_borderStyle = 0;
    int m_textAlignement = 0;
    QVector<Item> m_items;
    QImage m_page;
    int m_rendered = 0;
    cScrollBar m_msb;
};
