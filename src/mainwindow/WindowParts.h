#pragma once
// The parts that the program's work windows (the grade table, the table of averages) share:
// the heading over a grid, the toolbar, the editor laid over a grid cell, and the splitter
// bar between the left pane and the right one.
#include <functional>

class QEvent;
class QLabel;
class QLineEdit;
class QMainWindow;
class QObject;
class QString;
class QToolBar;
class QWidget;
class cSplitDDC;
namespace platform {
class FlexGrid;
}

namespace windowparts {

// The grids' font: the application's, followed as it changes, condensed when its family has
// a condensed face of its own.
void useGridFont(platform::FlexGrid& grid);

// The lines a grid's heading may take before its column grows wider rather than its row
// taller.
inline constexpr int kHeadingLines = 3;

// The widest a column of names grows to fit its longest name: past it, a name of a hundred
// characters is rather cut than every other column pushed out of sight.
inline constexpr int kNamesWidthLimit = 4500;  // twips

// The width of column `col` of names: what its longest text needs on one line, from
// `minimum` up to `limit`.
int namesWidth(const platform::FlexGrid& grid, int col, int minimum, int limit = kNamesWidthLimit);

// A bold heading in a sunken frame.
QLabel* heading(QWidget* parent, const QString& objectName);

// The window's toolbar: fixed in place, pictures only, the texts as tool tips.
QToolBar* toolBar(QMainWindow& window);

// A hidden editor over the cells of `grid`, aligned as the figures it replaces, with an edge
// that shows which cell is being typed.
QLineEdit* cellEditor(platform::FlexGrid& grid, const QString& objectName);
// Lays the editor over the grid's current cell, shows it and gives it the focus.
void showOverCell(QLineEdit& editor, platform::FlexGrid& grid);

// The text of the window's status bar: a label of its own, since hovering a menu clears the
// status bar's passing messages.
QLabel* statusText(QMainWindow& window);

// Makes `bar` the vertical splitter bar between the panes, kept 32 pixels from either side.
void setUpSplitter(cSplitDDC& splitter, QWidget& bar);

// Drives the splitter bar `bar` of `container` from the events the window filters:
// resizing the container or moving the bar calls `arrange`. True when the event was used.
bool splitterEvent(cSplitDDC& splitter, QWidget& container, QWidget& bar, QObject* watched, QEvent* event,
                   const std::function<void()>& arrange);

}  // namespace windowparts
