// The grid control: its contents, selection, colours, events, scrolling and painting.
#include "platform/FlexGrid.h"
#include "platform/Twips.h"
#include "platform/VbError.h"

#include <QDialog>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;
using namespace platform;

namespace {

// A grid of rows x cols whose cells hold "r:c", shown in an active dialog.
struct Shown {
    QDialog window;
    FlexGrid& g = *new FlexGrid(&window);
    Shown(int rows, int cols, QSize size = {400, 300}) {
        g.setRows(rows);
        g.setCols(cols);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) g.setTextMatrix(r, c, u"%1:%2"_s.arg(r).arg(c));
        g.resize(size);
        window.resize(size);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};

// A cell in viewport pixels, counted from the grid's origin (nothing scrolled).
QRect cell(const FlexGrid& g, int row, int col) {
    int x = 0, y = 0;
    for (int c = 0; c < col; ++c) x += layoutX(g.ColWidth(c));
    for (int r = 0; r < row; ++r) y += layoutY(g.RowHeight(r));
    return QRect(x, y, layoutX(g.ColWidth(col)), layoutY(g.RowHeight(row)));
}
QPoint centre(const FlexGrid& g, int row, int col) { return cell(g, row, col).center(); }

// Where the current cell lies in the viewport, from the members an editor is placed with.
QRect currentRect(FlexGrid& g) {
    const QPoint origin = g.viewport()->pos();
    return QRect(layoutX(g.CellLeft()) - origin.x(), layoutY(g.CellTop()) - origin.y(),
                 layoutX(g.CellWidth()), layoutY(g.CellHeight()));
}

QColor pixel(FlexGrid& g, QPoint at) { return g.viewport()->grab().toImage().pixelColor(at); }

// Presses the left button at `from`, moves to `to` and releases it there.
void drag(FlexGrid& g, QPoint from, QPoint to) {
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(g.viewport(), to);
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, to);
}

QString selection(const FlexGrid& g) {
    return u"%1,%2-%3,%4"_s.arg(g.Row()).arg(g.Col()).arg(g.RowSel()).arg(g.ColSel());
}

// Selects as the program does: Col, Row, then the other corner.
void select(FlexGrid& g, int row, int col, int rowSel, int colSel) {
    g.setCol(col);
    g.setRow(row);
    g.setColSel(colSel);
    g.setRowSel(rowSel);
}

}  // namespace

class tst_FlexGrid : public QObject {
    Q_OBJECT
private slots:
    void sizesAndContents() {
        FlexGrid g;
        g.setRows(5);
        g.setCols(4);
        g.setTextMatrix(4, 3, u"x"_s);
        g.setTextMatrix(1, 1, u"y"_s);
        g.setCols(3);  // shrinking keeps what stays, growing again brings empty cells
        g.setCols(4);
        QCOMPARE(g.TextMatrix(4, 3) + g.TextMatrix(1, 1), u"y"_s);
        g.setRows(0);  // empties the grid and lowers the fixed counts with it
        QCOMPARE(g.FixedRows(), 0);

        // The filling of a list: headings first, the fixed row set at the end.
        g.setCols(2);
        g.setRows(1);
        for (const char* name : {"Dupont", "Martin", ""}) {
            g.AddItem(QString::fromUtf8(name));
            g.setRowData(g.Rows() - 1, g.Rows() + 9);
        }
        QCOMPARE(g.Row(), 0);  // adding rows leaves the current cell alone
        g.setFixedRows(1);
        QCOMPARE(g.Row(), 1);  // and the fixed row takes it out of the headings
        g.setRow(2);
        g.RemoveItem(1);
        QCOMPARE(g.TextMatrix(1, 0) + g.TextMatrix(1, 1), u"Martin"_s);
        QCOMPARE(g.RowData(1), 12);
        QCOMPARE(g.Row(), 1);  // still on Martin

        // Clear empties the cells and drops their formatting; sizes and data stay.
        g.setColWidth(0, 2000);
        g.setCellBackColor(rgb(1, 2, 3));
        g.Clear();
        QCOMPARE(g.TextMatrix(1, 0), QString());
        QCOMPARE(g.RowData(1), 12);
        QCOMPARE(g.ColWidth(0), 2000);  // twips come back as set
        QCOMPARE(g.CellBackColor(), g.BackColor());
        QVERIFY_THROWS_EXCEPTION(VbError, g.TextMatrix(3, 0));
    }

    // Formatting fills the whole selection, whichever way it runs; Text only the current cell.
    // A cell painted as the fixed ones is a read-only band and reads their colour back; an
    // unpainted one reads BackColor, or BackColorFixed in a fixed column.
    void selectionAndFormatting() {
        FlexGrid g;
        g.setRows(6);
        g.setCols(5);
        g.setTextMatrix(3, 2, u"12,5"_s);
        QStringList left;
        connect(&g, &FlexGrid::LeaveCell, &g, [&] { left << selection(g); });
        select(g, 3, 2, 5, 0);  // the other corner may lie before the current cell
        QCOMPARE(left, QStringList({"1,1-1,1", "1,2-1,2"}));  // from code too, the cell being left
        QCOMPARE(selection(g), u"3,2-5,0"_s);
        QCOMPARE(g.Text(), u"12,5"_s);
        QVERIFY(g.BackColor() != g.BackColorFixed());

        select(g, 3, 2, 1, 0);
        g.setCellAlignment(FlexGrid::AlignRightCenter);
        g.setCellBackColor(g.BackColorFixed());
        g.setCellForeColor(g.ForeColorFixed());
        g.setText(u"t"_s);
        g.setRow(1);  // collapses the selection
        QCOMPARE(selection(g), u"1,2-1,2"_s);
        QCOMPARE(left.size(), 3);  // no LeaveCell where the cell stays
        QCOMPARE(g.CellAlignment(), int(FlexGrid::AlignRightCenter));
        QCOMPARE(g.CellBackColor(), g.BackColorFixed());
        QCOMPARE(g.CellForeColor(), g.ForeColorFixed());
        QCOMPARE(g.Text(), QString());
        QCOMPARE(g.TextMatrix(3, 2), u"t"_s);
        g.setCol(3);
        QCOMPARE(g.CellAlignment(), int(FlexGrid::AlignGeneral));
        QCOMPARE(g.CellBackColor(), g.BackColor());
        g.setRow(5);
        g.setCol(0);
        QCOMPARE(g.CellBackColor(), g.BackColorFixed());
        g.setRows(3);  // shrinking the grid under the current cell brings it back inside
        QCOMPARE(selection(g), u"2,0-2,0"_s);
    }

    void paintingShowsFixedCellsBandsSelectionAndRuns() {
        Shown s(8, 6, {800, 300});
        FlexGrid& g = s.g;
        g.Clear();
        select(g, 4, 1, 4, 5);
        g.setCellBackColor(g.BackColorFixed());  // a band across row 4
        select(g, 2, 2, 3, 3);
        const QColor base = oleColor(g.BackColor()), fixed = oleColor(g.BackColorFixed());
        QCOMPARE(pixel(g, centre(g, 1, 1)), base);
        QCOMPARE(pixel(g, centre(g, 4, 5)), fixed);  // to the last column
        QCOMPARE(pixel(g, centre(g, 3, 3)), oleColor(g.BackColorSel()));
        QCOMPARE(pixel(g, centre(g, 2, 2)), base);  // the current cell is framed, not filled

        // A theme that gives both the same colour still shows fixed cells apart.
        const QPalette saved = QApplication::palette();
        QPalette flat = saved;
        flat.setColor(QPalette::Button, flat.color(QPalette::Base));
        QApplication::setPalette(flat);
        QVERIFY(pixel(g, centre(g, 4, 5)) != pixel(g, centre(g, 1, 1)));
        QApplication::setPalette(saved);

        // Equal headings of a merged row show as one; the line that closes column c on the
        // right is looked at high in row 0, clear of text.
        g.setRowHeight(0, 600);
        const QStringList headings = {"Français", "Français", "Français", "Français", "Anglais", ""};
        for (int c = 0; c < 6; ++c) g.setTextMatrix(0, c, headings[c]);
        const auto border = [&](int c) { return QPoint(cell(g, 0, c).right(), 4); };
        g.setMergeRow(0, true);
        QVERIFY(pixel(g, border(1)) != fixed);  // without MergeCells every cell stands alone
        g.setMergeCells(true);
        QCOMPARE(pixel(g, border(1)), fixed);
        QCOMPARE(pixel(g, border(2)), fixed);
        QVERIFY(pixel(g, border(3)) != fixed);  // Français | Anglais
        QVERIFY(pixel(g, border(4)) != fixed);  // Anglais | (empty): empty texts never merge
        QVERIFY(pixel(g, border(0)) != fixed);  // the fixed column and the body stay apart
        g.setColWidth(2, 0);                    // a hidden column inside the run keeps it whole
        QCOMPARE(pixel(g, border(1)), fixed);

        // A heading too long for its two lines shows its first two, as if it were aligned on top.
        g.setColWidth(1, layoutTwipsX(g.fontMetrics().horizontalAdvance(u"Troisième"_s) + 12));
        g.setRowHeight(0, layoutTwipsY(2 * g.fontMetrics().lineSpacing() + 3));
        const auto heading = [&](const QString& text) {
            g.setTextMatrix(0, 1, text);
            // Inside the frame of the current cell.
            return g.viewport()->grab(QRect(layoutX(g.ColWidth(0)) + 3, 3, layoutX(g.ColWidth(1)) - 6, 12)).toImage();
        };
        const QImage overflowing = heading(u"Premier Second Troisième Quatrième"_s);
        select(g, 0, 1, 0, 1);
        g.setCellAlignment(FlexGrid::AlignLeftTop);
        QCOMPARE(overflowing, heading(u"Premier Second"_s));
    }

    // What a text needs: a width that holds it on its lines, never breaking a word, and a row
    // tall enough to show each cell's text wrapped at the columns' widths, a merged run as one.
    void measuresWhatItsCellsNeed() {
        FlexGrid g;
        g.setRows(2);
        g.setCols(5);
        const QFontMetricsF fm(g.font());
        const QString heading = u"Interrogation écrite de géographie"_s;
        const auto wrapped = [&](int twips) {
            return fm.boundingRect(QRectF(0, 0, layoutX(twips) - 7, 1 << 20), Qt::TextWordWrap, heading);
        };
        const int three = g.NeededWidth(heading, 3);
        QVERIFY(wrapped(three).width() <= layoutX(three) - 7);
        QVERIFY(qRound(wrapped(three).height() / fm.lineSpacing()) <= 3);
        QVERIFY(layoutX(three) - 7 >= fm.horizontalAdvance(u"géographie"_s));
        QVERIFY(g.NeededWidth(heading) > three);                // on one line
        QCOMPARE(g.NeededWidth(u"TP"_s, 3, 600), 600);         // a minimum already wide enough
        QCOMPARE(g.NeededWidth(heading, 1, 40000), 40000);

        const int oneLine = g.NeededHeight(1);
        g.setTextMatrix(0, 1, heading);
        g.setColWidth(1, three);
        QVERIFY(g.NeededHeight(0) >= layoutTwipsY(int(std::ceil(wrapped(three).height())) + 3));
        QVERIFY(g.NeededHeight(0) > oneLine);
        // Spread over four columns, as one merged cell, it needs no more than one line.
        for (int c = 1; c < 5; ++c) g.setTextMatrix(0, c, heading), g.setColWidth(c, g.NeededWidth(heading) / 4 + 15);
        QVERIFY(g.NeededHeight(0) > oneLine);
        g.setMergeCells(true);
        g.setMergeRow(0, true);
        QCOMPARE(g.NeededHeight(0), oneLine);
    }

    // Changes repaint only the cells they touch, yet what is on screen is what a whole
    // repaint draws: no stale text, selection, colour or focus frame is left behind.
    void partialRepaintsLeaveNothingStale() {
        Shown s(40, 12);
        FlexGrid& g = s.g;
        g.setMergeCells(true);
        g.setMergeRow(0, true);
        const auto check = [&](const char* step) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            const QImage shown = s.window.screen()->grabWindow(s.window.winId()).toImage().copy(
                QRect(g.mapTo(&s.window, QPoint()), g.size()));
            QVERIFY2(shown == g.grab().toImage().convertToFormat(shown.format()), step);
        };
        check("first paint");
        g.setTextMatrix(3, 2, u"un texte bien plus long que sa cellule"_s);
        g.setTextMatrix(5, 1, QString());
        check("texts");
        select(g, 4, 2, 9, 4);
        check("selection");
        g.setRow(6);
        g.setCellBackColor(rgb(255, 200, 0));
        g.setTextMatrix(0, 3, u"0:2"_s);  // joins the heading run on its left
        check("colour, merged heading");
        g.verticalScrollBar()->setValue(10);
        g.setTextMatrix(15, 1, u"12,5"_s);
        g.setTextMatrix(2, 1, u"hors de vue"_s);
        g.clearFocus();
        check("scrolled, out of view, focus lost");
    }

    void mouseEventsComeInOrder() {
        Shown s(6, 5);
        FlexGrid& g = s.g;
        select(g, 2, 2, 3, 2);
        auto* editor = new QLineEdit(&g);
        editor->show();
        editor->setFocus();
        QVERIFY(editor->hasFocus());

        QStringList log;
        connect(&g, &FlexGrid::GotFocus, &g, [&] { log << "GotFocus " + selection(g); });
        connect(&g, &FlexGrid::LeaveCell, &g, [&] { log << "LeaveCell " + selection(g); });
        connect(&g, &FlexGrid::Click, &g, [&] { log << "Click " + selection(g); });
        connect(&g, &FlexGrid::DblClick, &g, [&] { log << "DblClick " + selection(g); });
        const auto doubleClick = [&](int row, int col) {
            QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centre(g, row, col));
            QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, centre(g, row, col));
            QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, centre(g, row, col));
        };
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centre(g, 4, 3));
        // Shift+click and a drag stretch the selection from the current cell.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(g, 1, 1));
        QCOMPARE(selection(g), u"4,3-1,1"_s);
        drag(g, centre(g, 5, 4), centre(g, 3, 2));
        // A heading is not a place for the current cell; a double click there does nothing.
        doubleClick(0, 2);
        // A double click on a cell moves there first, then reports it, with no extra Click.
        doubleClick(2, 1);
        QCOMPARE(log, QStringList({"GotFocus 2,2-3,2", "LeaveCell 2,2-3,2", "Click 4,3-4,3", "Click 4,3-1,1",
                                   "LeaveCell 4,3-1,1", "Click 5,4-3,2", "Click 5,4-3,2", "LeaveCell 5,4-3,2",
                                   "Click 2,1-2,1", "DblClick 2,1-2,1"}));

        // Columns are resized by their border in a fixed row, and never hidden so.
        const int width = layoutX(g.ColWidth(1)), border = cell(g, 0, 1).right();
        drag(g, QPoint(border, 5), QPoint(border + 30, 5));
        QCOMPARE(g.ColWidth(1), layoutTwipsX(width + 30));
        drag(g, QPoint(border + 30, 5), QPoint(0, 5));
        QVERIFY(g.ColWidth(1) > 0);
        QCOMPARE(selection(g), u"2,1-2,1"_s);
        // The same border below the fixed rows is a cell, not a handle.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, QPoint(cell(g, 3, 1).right(), centre(g, 3, 1).y()));
        QCOMPARE(selection(g), u"3,1-3,1"_s);
    }

    void keysMoveSelectAndReachTheOwner() {
        Shown s(30, 12);
        FlexGrid& g = s.g;
        g.setFocus();
        QStringList log;
        connect(&g, &FlexGrid::LeaveCell, &g, [&] { log << "LeaveCell " + selection(g); });
        connect(&g, &FlexGrid::KeyDown, &g, [&](int& code, int shift) {
            log << u"KeyDown %1 %2"_s.arg(code).arg(shift);
            if (code == 46 || code == 38) code = 0;  // the owner deletes a row and keeps the key
        });
        connect(&g, &FlexGrid::KeyPress, &g, [&](int& ascii) { log << u"KeyPress %1"_s.arg(ascii); });
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Delete, Qt::Key_7})
            QTest::keyClick(&g, key);
        QCOMPARE(log,
                 QStringList({"KeyDown 40 0", "LeaveCell 1,1-1,1", "KeyDown 46 0", "KeyDown 55 0", "KeyPress 55"}));

        // A cancelled KeyDown keeps the grid from moving; hidden columns are stepped over.
        g.setColWidth(3, 0);
        const struct { Qt::Key key; Qt::KeyboardModifiers modifiers; const char* selection; } steps[] = {
            {Qt::Key_Right, Qt::ShiftModifier, "2,1-2,2"}, {Qt::Key_Right, Qt::ShiftModifier, "2,1-2,4"},
            {Qt::Key_Up, {}, "2,1-2,4"}, {Qt::Key_Right, {}, "2,2-2,2"}, {Qt::Key_Right, {}, "2,4-2,4"}};
        for (const auto& step : steps) {
            QTest::keyClick(&g, step.key, step.modifiers);
            QCOMPARE(selection(g), QString::fromLatin1(step.selection));
        }
        QCOMPARE(log.mid(5, 2), QStringList({"KeyDown 16 1", "KeyDown 39 1"}));
    }

    void scrollingKeepsFixedCellsInPlace() {
        Shown s(60, 30, {300, 200});
        FlexGrid& g = s.g;
        g.setFixedRows(2);
        g.setColWidth(0, 1500);
        g.setFocus();
        const QImage before = g.viewport()->grab().toImage();
        QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
        const QRect last = currentRect(g);
        QVERIFY(g.viewport()->rect().contains(last));
        const QRect corner(0, 0, layoutX(1500), 2 * layoutY(g.RowHeight(0)));
        QCOMPARE(g.viewport()->grab().toImage().copy(corner), before.copy(corner));

        // A click lands on the cell the geometry members describe, even scrolled.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, last.center() - QPoint(0, last.height()));
        QCOMPARE(selection(g), u"58,29-58,29"_s);
        g.setRow(1);  // moving from code does not scroll...
        g.setCol(0);
        QVERIFY(g.verticalScrollBar()->value() > 0);
        QCOMPARE(currentRect(g).topLeft(), QPoint(0, layoutY(g.RowHeight(0))));
        g.setRow(10);  // ...but placing an editor brings the cell into view
        g.setCol(5);
        QVERIFY(g.viewport()->rect().contains(currentRect(g)));
    }
};

QTEST_MAIN(tst_FlexGrid)
#include "tst_FlexGrid.moc"
