#pragma once
#include "platform/OleColor.h"

#include <QAbstractScrollArea>
#include <QString>
#include <vector>

namespace platform {

// The grid of every table of the program: a rectangle of text cells whose first rows and
// columns may be fixed (headings that stay in view while the rest scrolls), painted by us.
//
// Conventions:
// - Rows and columns count from 0, the fixed ones first. Sizes are in layout twips
//   (platform/Twips.h); a column of width 0 (a row of height 0) is hidden.
// - Row()/Col() is the current cell, RowSel()/ColSel() the opposite corner of the selection,
//   on either side of it. Setting Row or Col collapses the selection onto the current cell.
// - Colours are OLE colours. A cell reads back the colour it was painted with; an unpainted
//   cell reads back BackColorFixed in the fixed area and BackColor elsewhere. Callers tell
//   editable cells from read-only ones by comparing CellBackColor() with BackColorFixed(),
//   so the two defaults are different values whatever colours the theme gives them.
// - Invalid arguments raise VbError (kErrOutOfRange for an index, kErrInvalidValue for a
//   value), with the grid's object name as source.
//
// Events are signals; KeyPress and KeyDown pass their code by reference, so a handler
// connected directly (the default within the GUI thread; never queued) may set it to 0:
// KeyAscii 0 swallows the character, KeyCode 0 cancels the grid's own handling of the key.
// Order of events:
// - a click that gives the grid the focus emits GotFocus before anything moves, so that
//   Row, Col, RowSel and ColSel still name the cells an editor was opened on;
// - LeaveCell comes before the current cell changes (from the user or from code), while
//   Row and Col still name the cell being left; then the cell moves;
// - Click comes on the release of the left button; DblClick comes only for a cell of the
//   body, after the double click has made it the current cell (and no Click follows it).
// A key that neither the grid (arrows, pages, Home, End, with Shift to select, Ctrl to go
// to the edge) nor a handler used goes on to the window, as in any Qt widget.
class FlexGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Values of CellAlignment.
    enum Alignment : int {
        AlignLeftTop = 0, AlignLeftCenter, AlignLeftBottom,
        AlignCenterTop, AlignCenterCenter, AlignCenterBottom,
        AlignRightTop, AlignRightCenter, AlignRightBottom,
        AlignGeneral  // text on the left, numbers on the right, vertically centred
    };

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // Counts, settable at any time; 0 empties the grid. Lowering Rows (Cols) below
    // FixedRows (FixedCols) lowers those too; FixedRows may not exceed Rows.
    int Rows() const { return int(m_rows.size()); }
    void setRows(int rows);
    // Whether a grid of that many rows and columns can be laid out; setRows and setCols
    // refuse a count beyond it.
    static bool Holds(qint64 rows, qint64 cols);
    int Cols() const { return int(m_cols.size()); }
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int rows);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int cols);

    // Current cell and selection. Moving the current cell from code emits LeaveCell but
    // neither scrolls nor touches any text.
    int Row() const { return m_row; }
    void setRow(int row);
    int Col() const { return m_col; }
    void setCol(int col);
    int RowSel() const { return m_rowSel; }
    void setRowSel(int row);
    int ColSel() const { return m_colSel; }
    void setColSel(int col);

    // Text of the current cell (only that cell, whatever the selection), of any cell.
    QString Text() const;
    void setText(const QString& text);
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Appends a row whose first cell holds text.
    void AddItem(const QString& text);
    // Removes a row that is not fixed; the rows below move up.
    void RemoveItem(int row);
    // Empties every cell and drops its formatting; counts, sizes and data stay.
    void Clear();

    // A 32-bit value per row and per column for the caller, 0 until set.
    qint32 RowData(int row) const;
    void setRowData(int row, qint32 value);
    qint32 ColData(int col) const;
    void setColData(int col, qint32 value);

    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);

    // What a cell needs to show its text whole, in the grid's font and with the room a cell
    // keeps around its text, in twips. NeededWidth: the width of a column that shows `text`
    // on at most `lines` lines, wrapped at its spaces as a row tall enough wraps it (a word
    // is never broken); never less than `minimum`. NeededHeight: the height of row `row`
    // that shows each of its texts at the columns' present widths, a merged run as one
    // cell; never less than a row of the font's own height.
    int NeededWidth(const QString& text, int lines = 1, int minimum = 0) const;
    int NeededHeight(int row) const;

    // Formatting of the current cell; the setters apply to every cell of the selection.
    OleColor CellBackColor() const;
    void setCellBackColor(OleColor color);
    OleColor CellForeColor() const;
    void setCellForeColor(OleColor color);
    int CellAlignment() const;
    void setCellAlignment(int alignment);

    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    OleColor BackColorFixed() const { return m_backColorFixed; }
    void setBackColorFixed(OleColor color);
    OleColor ForeColorFixed() const { return m_foreColorFixed; }
    void setForeColorFixed(OleColor color);
    OleColor BackColorSel() const { return m_backColorSel; }
    void setBackColorSel(OleColor color);
    OleColor ForeColorSel() const { return m_foreColorSel; }
    void setForeColorSel(OleColor color);

    // Rectangle of the current cell in twips, measured from the grid's own top-left corner
    // (its border included): an editor child of the grid goes at layoutX(CellLeft()),
    // layoutY(CellTop()).
    // Reading any of them first scrolls the current cell into view.
    int CellLeft();
    int CellTop();
    int CellWidth();
    int CellHeight();

    // With MergeCells on, adjacent cells of a row whose MergeRow flag is set and that hold
    // the same non-empty text show as one cell. Both are off until set.
    bool MergeCells() const { return m_mergeCells; }
    void setMergeCells(bool merge);
    bool MergeRow(int row) const;
    void setMergeRow(int row, bool merge);

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // The container's members, in twips where they are sizes.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    bool Visible() const { return !isHidden(); }
    bool Enabled() const { return isEnabled(); }
    void SetFocus();

signals:
    void GotFocus();
    void Click();
    void DblClick();
    void LeaveCell();
    void KeyDown(int& KeyCode, int Shift);
    void KeyPress(int& KeyAscii);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    static constexpr OleColor kNoColor = 0xFFFFFFFFu;  // a cell that was never painted
    struct Cell {
        QString text;
        OleColor back = kNoColor;
        OleColor fore = kNoColor;
        qint8 alignment = -1;  // never set: AlignGeneral
        // The text's width in the grid's font (-1: to be measured) and whether it reads
        // as a number, kept by the painter.
        mutable int advance = -1;
        mutable bool number = false;
    };
    struct RowInfo {
        std::vector<Cell> cells;
        int height = -1;  // twips; -1 follows the font
        qint32 data = 0;
        bool merge = false;
    };
    struct ColInfo {
        int width;  // twips
        qint32 data = 0;
    };
    // One visible row or column of a paint: its index and its span in viewport pixels.
    struct Band {
        int index;
        int pos;
        int size;
    };
    class Painter;

    // Validation
    [[noreturn]] void fail(int number, const QString& description) const;
    void checkRow(int row) const;
    void checkCol(int col) const;
    void checkCount(int rows, int cols) const;
    void checkColor(OleColor color) const;
    void setColor(OleColor& member, OleColor color);
    Cell& cell(int row, int col) { return m_rows[size_t(row)].cells[size_t(col)]; }
    const Cell& cell(int row, int col) const { return m_rows[size_t(row)].cells[size_t(col)]; }
    bool isFixed(int row, int col) const { return row < m_fixedRows || col < m_fixedCols; }
    // The last column of the run of equal texts that a merging row shows from `col` on.
    int mergedRunEnd(int row, int col) const;
    template <typename F> void forEachSelected(F&& f);

    // Geometry, in viewport pixels
    struct Axis;
    Axis rowAxis() const;
    Axis colAxis() const;
    int colPx(int col) const;
    int rowPx(int row) const;
    void updateScrollBars();
    // Repaints: the whole view, or only the part of a block of cells (and of the runs of
    // merged cells it touches) that shows.
    void updateAll();
    void updateCells(int row1, int col1, int row2, int col2);
    struct Selection {
        int row, col, rowSel, colSel;
    };
    Selection selection() const;
    void selectionChanged(const Selection& before);
    void setCellText(int row, int col, const QString& text);
    void ensureVisible(int row, int col);
    void clampCurrentCell();
    void structureChanged();

    // User actions
    void moveCurrent(int row, int col);  // LeaveCell, move, collapse
    void extendSelection(int row, int col);
    bool navigate(int keyCode, int shift);
    int resizeHandleAt(const QPoint& pos) const;
    void pressAt(const QPoint& pos, bool extend);
    void dragTo(const QPoint& pos);

    std::vector<RowInfo> m_rows;
    std::vector<ColInfo> m_cols;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;

    OleColor m_backColor;
    OleColor m_foreColor;
    OleColor m_backColorFixed;
    OleColor m_foreColorFixed;
    OleColor m_backColorSel;
    OleColor m_foreColorSel;
    OleColor m_gridColor;
    bool m_mergeCells = false;
    QString m_tag;
    int m_defaultRowHeight = 0;  // pixels, from the font

    enum class Drag { None, Select, Resize };
    Drag m_drag = Drag::None;
    int m_resizeCol = -1;
    bool m_swallowClick = false;
    bool m_updatingScrollBars = false;
    bool m_allDirty = false;  // a repaint of the whole view is on its way
};

}  // namespace platform
