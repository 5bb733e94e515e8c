// The grid control: its contents, selection, colours, events, scrolling and painting.
#include "platform/FlexGrid.h"
#include "platform/Twips.h"
#include "platform/VbError.h"

#include <QDialog>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

using namespace platform;

namespace {

// A grid of rows x cols whose cells hold "r:c", shown in an active dialog.
struct Shown {
    QDialog window;
    FlexGrid* grid;
    Shown(int rows, int cols, QSize size = {400, 300}) : grid(new FlexGrid(&window)) {
        grid->setRows(rows);
        grid->setCols(cols);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) grid->setTextMatrix(r, c, QStringLiteral("%1:%2").arg(r).arg(c));
        grid->setGeometry(QRect(QPoint(0, 0), size));
        window.resize(size);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};

// Centre of a cell in viewport pixels, counted from the grid's origin (nothing scrolled).
QPoint centre(const FlexGrid& g, int row, int col) {
    int x = 0, y = 0;
    for (int c = 0; c < col; ++c) x += layoutX(g.ColWidth(c));
    for (int r = 0; r < row; ++r) y += layoutY(g.RowHeight(r));
    return {x + layoutX(g.ColWidth(col)) / 2, y + layoutY(g.RowHeight(row)) / 2};
}

// Where the current cell lies in the viewport, from the members an editor is placed with.
QRect currentRect(FlexGrid& g) {
    const QPoint origin = g.viewport()->pos();
    return QRect(layoutX(g.CellLeft()) - origin.x(), layoutY(g.CellTop()) - origin.y(),
                 layoutX(g.CellWidth()), layoutY(g.CellHeight()));
}

QColor pixel(FlexGrid& g, QPoint at) { return g.viewport()->grab().toImage().pixelColor(at); }

// The error number a call raises, 0 when it raises none.
template <typename F> int errorOf(F&& f) {
    try { f(); } catch (const VbError& e) { return e.number(); }
    return 0;
}

QString selection(const FlexGrid& g) {
    return QStringLiteral("%1,%2-%3,%4").arg(g.Row()).arg(g.Col()).arg(g.RowSel()).arg(g.ColSel());
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
        g.setTextMatrix(4, 3, QStringLiteral("x"));
        g.setTextMatrix(1, 1, QStringLiteral("y"));
        g.setCols(3);  // shrinking keeps what stays, growing again brings empty cells
        g.setCols(4);
        QCOMPARE(g.TextMatrix(4, 3) + g.TextMatrix(1, 1), QStringLiteral("y"));

        // 0 empties the grid and lowers the fixed counts with it.
        g.setRows(0);
        QCOMPARE(g.FixedRows(), 0);
        QCOMPARE(errorOf([&] { g.setFixedRows(1); }), kErrInvalidValue);
        QCOMPARE(errorOf([&] { g.setRows(100'000'000); }), kErrInvalidValue);

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
        QCOMPARE(g.Rows(), 3);
        QCOMPARE(g.TextMatrix(1, 0) + g.TextMatrix(1, 1), QStringLiteral("Martin"));
        QCOMPARE(g.RowData(1), 12);
        QCOMPARE(g.Row(), 1);  // still on Martin
        QCOMPARE(errorOf([&] { g.RemoveItem(0); }), kErrInvalidValue);

        // Clear empties the cells and drops their formatting; sizes and data stay.
        g.setColWidth(0, 2000);
        g.setCellBackColor(rgb(1, 2, 3));
        g.Clear();
        QCOMPARE(g.TextMatrix(1, 0), QString());
        QCOMPARE(g.RowData(1), 12);
        QCOMPARE(g.ColWidth(0), 2000);  // twips come back as set
        QCOMPARE(g.CellBackColor(), g.BackColor());
        QCOMPARE(errorOf([&] { g.TextMatrix(3, 0); }), kErrOutOfRange);
    }

    void selectionAndCurrentCell() {
        FlexGrid g;
        g.setRows(6);
        g.setCols(5);
        g.setTextMatrix(3, 2, QStringLiteral("12,5"));
        QStringList left;
        connect(&g, &FlexGrid::LeaveCell, &g, [&] { left << QStringLiteral("%1,%2").arg(g.Row()).arg(g.Col()); });

        // The other corner may lie before the current cell; moving touches no text.
        select(g, 3, 2, 5, 0);
        QCOMPARE(left, QStringList({"1,1", "1,2"}));  // each time the cell being left
        QCOMPARE(selection(g), QStringLiteral("3,2-5,0"));
        QCOMPARE(g.Text(), QStringLiteral("12,5"));
        g.setRow(3);
        QCOMPARE(left.size(), 2);  // same row: no LeaveCell, but the selection collapses
        QCOMPARE(selection(g), QStringLiteral("3,2-3,2"));

        // Formatting fills the whole selection, whichever way it runs; Text only the current cell.
        select(g, 3, 2, 1, 0);
        g.setCellAlignment(FlexGrid::AlignRightCenter);
        g.setText(QStringLiteral("t"));
        select(g, 1, 0, 1, 0);
        QCOMPARE(g.CellAlignment(), int(FlexGrid::AlignRightCenter));
        QCOMPARE(g.Text(), QString());
        g.setCol(3);
        QCOMPARE(g.CellAlignment(), int(FlexGrid::AlignGeneral));
        QCOMPARE(g.TextMatrix(3, 2), QStringLiteral("t"));
        QCOMPARE(errorOf([&] { g.setColSel(-1); }), kErrOutOfRange);

        // Shrinking the grid under the current cell brings it back inside.
        g.setRow(5);
        g.setRows(3);
        QCOMPARE(selection(g), QStringLiteral("2,3-2,3"));
    }

    void coloursAndTheirReadBack() {
        FlexGrid g;
        g.setRows(5);
        g.setCols(4);
        QVERIFY(g.BackColor() != g.BackColorFixed());

        select(g, 2, 3, 2, 1);
        QCOMPARE(g.CellBackColor(), g.BackColor());  // never painted: editable
        QCOMPARE(g.CellForeColor(), sys::WindowText);
        g.setCellBackColor(g.BackColorFixed());
        g.setCellForeColor(g.ForeColorFixed());
        g.setCol(1);
        QCOMPARE(g.CellBackColor(), g.BackColorFixed());  // a band: read-only
        QCOMPARE(g.CellForeColor(), g.ForeColorFixed());
        g.setCol(0);
        QCOMPARE(g.CellBackColor(), g.BackColorFixed());  // a fixed cell reads its own colour

        // An unpainted cell follows BackColor; a painted one keeps its colour.
        g.setBackColor(rgb(250, 250, 200));
        select(g, 3, 2, 3, 2);
        QCOMPARE(g.CellBackColor(), rgb(250, 250, 200));
        g.setRow(2);
        QCOMPARE(g.CellBackColor(), sys::ButtonFace);
        QCOMPARE(errorOf([&] { g.setBackColorFixed(0x80000100u); }), kErrInvalidValue);
    }

    void paintingShowsFixedCellsBandsAndSelection() {
        Shown s(8, 6);
        FlexGrid& g = *s.grid;
        select(g, 4, 1, 4, 5);
        g.setCellBackColor(g.BackColorFixed());  // a band across row 4
        select(g, 2, 2, 3, 3);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 6; ++c) g.setTextMatrix(r, c, QString());

        const QColor base = oleColor(g.BackColor()), fixed = oleColor(g.BackColorFixed());
        QCOMPARE(pixel(g, centre(g, 1, 1)), base);
        QCOMPARE(pixel(g, centre(g, 4, 3)), fixed);
        QCOMPARE(pixel(g, centre(g, 3, 3)), oleColor(g.BackColorSel()));
        QCOMPARE(pixel(g, centre(g, 2, 2)), base);  // the current cell is framed, not filled

        // A theme that gives both the same colour still shows fixed cells apart.
        const QPalette saved = QApplication::palette();
        QPalette flat = saved;
        flat.setColor(QPalette::Button, flat.color(QPalette::Base));
        QApplication::setPalette(flat);
        QVERIFY(pixel(g, centre(g, 4, 3)) != pixel(g, centre(g, 1, 1)));
        QApplication::setPalette(saved);

        // A heading too long for its two lines shows its first two, as if it were aligned on top.
        g.setColWidth(1, layoutTwipsX(g.fontMetrics().horizontalAdvance(QStringLiteral("Troisième")) + 12));
        g.setRowHeight(0, layoutTwipsY(2 * g.fontMetrics().lineSpacing() + 3));
        const auto heading = [&](const QString& text) {
            g.setTextMatrix(0, 1, text);
            // Inside the frame of the current cell.
            return g.viewport()->grab(QRect(layoutX(g.ColWidth(0)) + 3, 3, layoutX(g.ColWidth(1)) - 6, 12)).toImage();
        };
        const QImage overflowing = heading(QStringLiteral("Premier Second Troisième Quatrième"));
        select(g, 0, 1, 0, 1);
        g.setCellAlignment(FlexGrid::AlignLeftTop);
        QCOMPARE(overflowing, heading(QStringLiteral("Premier Second")));
    }

    // Changes repaint only the cells they touch, yet what is on screen is what a whole
    // repaint draws: no stale text, selection, colour or focus frame is left behind.
    void partialRepaintsLeaveNothingStale() {
        Shown s(40, 12);
        FlexGrid& g = *s.grid;
        g.setMergeCells(true);
        g.setMergeRow(0, true);
        QScreen* screen = s.window.screen();
        const auto onScreen = [&] {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            return screen->grabWindow(s.window.winId()).toImage().copy(QRect(g.mapTo(&s.window, QPoint()), g.size()));
        };
        const auto check = [&](const char* step) {
            const QImage shown = onScreen();
            QVERIFY2(shown == g.grab().toImage().convertToFormat(shown.format()), step);
        };
        check("first paint");
        g.setTextMatrix(3, 2, QStringLiteral("un texte bien plus long que sa cellule"));
        g.setTextMatrix(5, 1, QString());
        check("texts");
        g.setRow(4);
        g.setCol(2);
        g.setRowSel(9);
        g.setColSel(4);
        check("selection");
        g.setRow(6);
        g.setCellBackColor(rgb(255, 200, 0));
        g.setTextMatrix(0, 3, QStringLiteral("0:2"));  // joins the heading run on its left
        check("colour, merged heading");
        g.verticalScrollBar()->setValue(10);
        g.setTextMatrix(15, 1, QStringLiteral("12,5"));
        g.setTextMatrix(2, 1, QStringLiteral("hors de vue"));
        g.clearFocus();
        check("scrolled, out of view, focus lost");
    }

    void mergedRowsShowOneHeadingPerRun() {
        Shown s(4, 6);
        FlexGrid& g = *s.grid;
        g.setRowHeight(0, 600);
        for (int c = 0; c < 6; ++c) g.setTextMatrix(0, c, QString());
        for (int c : {0, 1, 2, 3}) g.setTextMatrix(0, c, QStringLiteral("Français"));
        g.setTextMatrix(0, 4, QStringLiteral("Anglais"));
        const QColor fixed = oleColor(g.BackColorFixed());
        // A point of the line that closes column c on the right, high in row 0, clear of text.
        const auto border = [&](int c) {
            int x = -1;
            for (int i = 0; i <= c; ++i) x += layoutX(g.ColWidth(i));
            return QPoint(x, 4);
        };
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
    }

    void clickEventsComeInOrder() {
        Shown s(6, 5);
        FlexGrid& g = *s.grid;
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

        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centre(g, 4, 3));
        QCOMPARE(log, QStringList({"GotFocus 2,2-3,2", "LeaveCell 2,2-3,2", "Click 4,3-4,3"}));

        // Shift+click and a drag stretch the selection from the current cell.
        log.clear();
        QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(g, 1, 1));
        QCOMPARE(selection(g), QStringLiteral("4,3-1,1"));
        QTest::mousePress(g.viewport(), Qt::LeftButton, {}, centre(g, 5, 4));
        QTest::mouseMove(g.viewport(), centre(g, 3, 2));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, centre(g, 3, 2));
        QCOMPARE(selection(g), QStringLiteral("5,4-3,2"));
        QCOMPARE(log, QStringList({"Click 4,3-1,1", "LeaveCell 4,3-1,1", "Click 5,4-3,2"}));

        // A heading is not a place for the current cell; a double click there does nothing.
        log.clear();
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centre(g, 0, 2));
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, centre(g, 0, 2));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, centre(g, 0, 2));
        QCOMPARE(log, QStringList({"Click 5,4-3,2"}));
        QCOMPARE(selection(g), QStringLiteral("5,4-3,2"));

        // A double click on a cell moves there first, then reports it, with no extra Click.
        log.clear();
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, centre(g, 2, 1));
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, centre(g, 2, 1));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, centre(g, 2, 1));
        QCOMPARE(log, QStringList({"LeaveCell 5,4-3,2", "Click 2,1-2,1", "DblClick 2,1-2,1"}));
    }

    void keysMoveSelectAndReachTheOwner() {
        Shown s(30, 12);
        FlexGrid& g = *s.grid;
        g.setFocus();
        QStringList log;
        connect(&g, &FlexGrid::LeaveCell, &g, [&] { log << "LeaveCell " + selection(g); });
        connect(&g, &FlexGrid::KeyDown, &g, [&](int& code, int shift) {
            log << QStringLiteral("KeyDown %1 %2").arg(code).arg(shift);
            if (code == 46) code = 0;  // the owner deletes a row and keeps the key
        });
        bool swallow = false;
        connect(&g, &FlexGrid::KeyPress, &g, [&](int& ascii) {
            log << QStringLiteral("KeyPress %1").arg(ascii);
            if (swallow) ascii = 0;
        });

        QTest::keyClick(&g, Qt::Key_Down);
        QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(selection(g), QStringLiteral("2,1-2,3"));
        QTest::keyClick(&g, Qt::Key_Delete);
        QTest::keyClick(&g, Qt::Key_7);
        QCOMPARE(log, QStringList({"KeyDown 40 0", "LeaveCell 1,1-1,1", "KeyDown 16 1", "KeyDown 39 1",
                                   "KeyDown 16 1", "KeyDown 39 1", "KeyDown 46 0", "KeyDown 55 0", "KeyPress 55"}));

        // A cancelled KeyDown keeps the grid from moving; hidden columns are stepped over.
        connect(&g, &FlexGrid::KeyDown, &g, [&](int& code, int) { if (code == 38) code = 0; });
        g.setColWidth(3, 0);
        const struct { Qt::Key key; Qt::KeyboardModifiers modifiers; const char* selection; } steps[] = {
            {Qt::Key_Up, {}, "2,1-2,3"},           {Qt::Key_Right, {}, "2,2-2,2"},
            {Qt::Key_Right, {}, "2,4-2,4"},        {Qt::Key_Home, {}, "2,1-2,1"},
            {Qt::Key_End, {}, "2,11-2,11"},        {Qt::Key_End, Qt::ControlModifier, "29,11-29,11"},
            {Qt::Key_Home, Qt::ControlModifier, "1,1-1,1"}, {Qt::Key_Left, {}, "1,1-1,1"},
            {Qt::Key_Down, Qt::ControlModifier, "29,1-29,1"},
        };
        for (const auto& step : steps) {
            QTest::keyClick(&g, step.key, step.modifiers);
            QCOMPARE(selection(g), QString::fromLatin1(step.selection));
        }
        QTest::keyClick(&g, Qt::Key_PageUp);
        QVERIFY(g.Row() < 29 && g.Row() > 1);

        // A swallowed key stops at the grid; one left alone goes on: Esc closes the dialog.
        swallow = true;
        QTest::keyClick(&g, Qt::Key_Escape);
        QVERIFY(s.window.isVisible());
        swallow = false;
        QTest::keyClick(&g, Qt::Key_Escape);
        QVERIFY(!s.window.isVisible());
    }

    void scrollingKeepsFixedCellsInPlace() {
        Shown s(60, 30, {300, 200});
        FlexGrid& g = *s.grid;
        g.setFixedRows(2);
        g.setColWidth(0, 1500);
        g.setFocus();
        const QImage before = g.viewport()->grab().toImage();

        QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
        const QRect last = currentRect(g);
        QVERIFY(g.viewport()->rect().contains(last));
        const QImage after = g.viewport()->grab().toImage();
        const QRect corner(0, 0, layoutX(1500), 2 * layoutY(g.RowHeight(0)));
        QCOMPARE(after.copy(corner), before.copy(corner));

        // A click lands on the cell the geometry members describe, even scrolled.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, last.center() - QPoint(0, last.height()));
        QCOMPARE(selection(g), QStringLiteral("58,29-58,29"));
        g.setRow(1);  // moving from code does not scroll...
        g.setCol(0);
        QVERIFY(g.verticalScrollBar()->value() > 0);
        QCOMPARE(currentRect(g).topLeft(), QPoint(0, layoutY(g.RowHeight(0))));
        g.setRow(10);  // ...but placing an editor brings the cell into view
        g.setCol(5);
        QVERIFY(g.viewport()->rect().contains(currentRect(g)));

        // Dragging past the right and bottom edges stretches the selection and scrolls.
        const QRect start = currentRect(g);
        const int top = g.verticalScrollBar()->value(), left = g.horizontalScrollBar()->value();
        QTest::mousePress(g.viewport(), Qt::LeftButton, {}, start.center());
        for (int i = 0; i < 3; ++i) QTest::mouseMove(g.viewport(), g.viewport()->rect().bottomRight() + QPoint(5, 5));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, g.viewport()->rect().bottomRight());
        QCOMPARE(g.verticalScrollBar()->value(), top + 3);
        QCOMPARE(g.horizontalScrollBar()->value(), left + 3);
        QVERIFY(g.RowSel() > 10 && g.ColSel() > 5);
    }

    void columnsAreResizedByTheirBorderInAFixedRow() {
        Shown s(5, 5);
        FlexGrid& g = *s.grid;
        const int width = layoutX(g.ColWidth(1));
        const int border = layoutX(g.ColWidth(0)) + width - 1;
        QTest::mousePress(g.viewport(), Qt::LeftButton, {}, QPoint(border, 5));
        QTest::mouseMove(g.viewport(), QPoint(border + 30, 5));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, QPoint(border + 30, 5));
        QCOMPARE(g.ColWidth(1), layoutTwipsX(width + 30));
        QCOMPARE(selection(g), QStringLiteral("1,1-1,1"));

        // Dragged all the way left, a column stays wide enough to be found again.
        QTest::mousePress(g.viewport(), Qt::LeftButton, {}, QPoint(border + 30, 5));
        QTest::mouseMove(g.viewport(), QPoint(0, 5));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, QPoint(0, 5));
        QVERIFY(g.ColWidth(1) > 0);

        // The same border below the fixed rows is a cell, not a handle.
        const QPoint edge(layoutX(g.ColWidth(0)) + layoutX(g.ColWidth(1)) - 1, centre(g, 3, 1).y());
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, edge);
        QCOMPARE(selection(g), QStringLiteral("3,1-3,1"));
    }
};

QTEST_MAIN(tst_FlexGrid)
#include "tst_FlexGrid.moc"
