#pragma once
#include <QPointer>
#include <QRect>

class QRubberBand;
class QWidget;

// Lets the user drag a splitter bar, a thin widget between two panes, to a new place.
// While the mouse is down the bar stays where it is and an outline follows the mouse,
// kept between the margins; on release the bar moves to the place reached and the owner
// lays its panes out again.
//
// The owner calls SplitterMouseDown from the bar's mouse press; from then on the container
// holds the mouse, and the owner calls SplitterFormMouseMove and SplitterFormMouseUp from the
// container's own mouse move and release, with the mouse position in the container.
// Positions are in pixels.
class cSplitDDC {
public:
    cSplitDDC();
    ~cSplitDDC();
    cSplitDDC(const cSplitDDC&) = delete;
    cSplitDDC& operator=(const cSplitDDC&) = delete;

    QWidget* SplitObject() const;
    // Takes the bar, removes its frame and gives it the sizing cursor of its orientation.
    void setSplitObject(QWidget* bar);

    // Margins kept free inside the container: 1 left, 2 top, 3 right, 4 bottom. Another
    // index raises the subscript-out-of-range error.
    int Border(int index) const;
    void setBorder(int index, int value);

    // 2: a horizontal bar, moved up and down; any other value: a vertical bar, moved sideways.
    // With a bar set, also gives it its cursor and resets the margins to those of the
    // orientation (64, 0, 64, 0 vertical; 0, 64, 0, 64 horizontal).
    int Orientation() const;
    void setOrientation(int value);

    // Starts a drag: X, Y is the mouse position inside the bar.
    void SplitterMouseDown(QWidget* container, int X, int Y);
    // Moves the outline to the mouse (X, Y in the container); nothing unless dragging.
    void SplitterFormMouseMove(int X, int Y);
    // Ends a drag: moves the bar to the mouse position (X, Y in the container), kept
    // between the margins. Returns false, and does nothing, when no drag was in progress.
    bool SplitterFormMouseUp(int X, int Y);

private:
    QRect limits() const;
    QRect outlineAt(QPoint mouse) const;
    QPoint clamped(QPoint mouse) const;
    void applyCursor();

    QPointer<QWidget> m_split;
    int m_border[4] = {64, 0, 64, 0};
    int m_orientation = 1;
    bool m_dragging = false;
    QPointer<QWidget> m_container;
    QRect m_bounds;
    QPointer<QRubberBand> m_outline;
};
