#pragma once
#include "platform/OleColor.h"

#include <QObject>
#include <QPointer>
#include <array>

class QScrollBar;
class QWidget;

// Drives the horizontal (0) and vertical (1) scroll bars of a window: their range, page and
// position live here, each bar reports one value, and moves arrive as the classic scroll
// codes, either from the bars themselves or handed over by the owner through SubClass.
class cScrollBar : public QObject {
    Q_OBJECT
public:
    enum { Horizontal = 0, Vertical = 1, NoBar = 2, BothBars = 3 };
    // Messages and scroll codes that SubClass takes.
    enum { WM_HSCROLL = 276, WM_VSCROLL = 277 };
    enum {
        SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4,
        SB_THUMBTRACK = 5, SB_TOP = 6, SB_BOTTOM = 7, SB_ENDSCROLL = 8
    };

    explicit cScrollBar(QObject* parent = nullptr);
    ~cScrollBar() override;

    int BarType() const { return m_barType; }
    void BarVisible(int bar, bool visible);

    int Min(int bar) const;
    void setMin(int bar, int value);
    int Max(int bar) const;
    void setMax(int bar, int value);
    int LargeChange(int bar) const;
    void setLargeChange(int bar, int value);
    int SmallChange(int bar) const;
    void setSmallChange(int bar, int value);
    // Arrow flags: 0 both arrows enabled, 1 left/up disabled, 2 right/down disabled, 3 both.
    int Enabled(int bar) const;
    void setEnabled(int bar, int flags);
    int Value(int bar) const;
    void setValue(int bar, int value);
    // Qt bars have no flat look: the style is kept and the colour reads as 0.
    int Style() const { return m_style; }
    void setStyle(int value) { m_style = value; }
    platform::OleColor BackColor(int bar) const;
    void setBackColor(int bar, platform::OleColor colour);

    // Handles one scroll message (WM_HSCROLL or WM_VSCROLL) whose low word is the code.
    void SubClass(int message, int wParam);

    // Attaches to a window: its two bars are laid along its right and bottom edges and
    // stay hidden until BarVisible shows them.
    void Create(QWidget* window);

    // The Qt bar behind a bar number (nullptr when not attached).
    QScrollBar* bar(int bar) const;

signals:
    void Scroll(int bar);
    void Change(int bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Bar {
        int min = 0, max = 100, largeChange = 1, smallChange = 1, enabled = 0, value = 0;
        int lastReported = 0;
        QPointer<QScrollBar> widget;
    };

    Bar& at(int bar);
    const Bar& at(int bar) const;
    bool shown(int bar) const;
    void mirror(int bar);
    void report(int bar, bool thumbDrag);
    void onAction(int bar, int action);
    void placeBars();
    void detach();

    std::array<Bar, 2> m_bars;
    int m_barType = NoBar;
    int m_style = 2;
    QPointer<QWidget> m_window;
};
