#pragma once
#include "platform/OleColor.h"

#include <QDate>
#include <QFrame>

namespace CalendarParts {
class NavArrow;
}

// One month as the calendar lays it out: 6 weeks of 7 days from Monday, with day 1 in cell
// FirstIndex (1 to 7: at least one day of the previous month always shows) and the days of
// the neighbouring months around it.
class CalendarMonth {
public:
    CalendarMonth(int year, int month);

    int FirstIndex() const { return m_first; }
    int LastIndex() const { return m_first + m_days - 1; }
    // The day number that a cell (0 to 41) shows, and whether it is a day of this month.
    int Day(int cell) const;
    bool InMonth(int cell) const { return cell >= m_first && cell <= LastIndex(); }
    // "février 2024": the month's French name and the year.
    QString Title() const;

private:
    int m_year;
    int m_month;
    int m_first;
    int m_days;
    int m_daysBefore;  // length of the previous month
};

// The month calendar: a title band with the month and year between two arrows, the French
// weekday names from Monday, and 6 weeks of days in which Value, the selected date, is
// highlighted in the title colours. The mouse (days, arrows) and the keys (arrows, Page Up,
// Page Down, Home) move the selection between 1 January 100 and 31 December 9999.
class Calendar : public QFrame {
    Q_OBJECT
public:
    explicit Calendar(QWidget* parent = nullptr);

    // Text of the days of the shown month.
    platform::OleColor ForeColor() const;
    void setForeColor(platform::OleColor value);
    bool Enabled() const;  // set with QWidget::setEnabled: a disabled calendar greys its arrows
    void Refresh();
    // Title band, weekday names and the selected day's background.
    platform::OleColor TitleBackColor() const;
    void setTitleBackColor(platform::OleColor value);
    // Title text and the selected day's text.
    platform::OleColor TitleForeColor() const;
    void setTitleForeColor(platform::OleColor value);
    // 0 no border, 1 a border (three-dimensional or flat after Appearance).
    int BorderStyle() const;
    void setBorderStyle(int value);
    QDate Value() const;
    // Shows the date's month with the date selected and raises DateChange(false); a date
    // outside 1 January 100 to 31 December 9999, or no date, is ignored.
    void setValue(const QDate& value);
    int Appearance() const;
    void setAppearance(int value);
    // Background of the control, the weekday names and the days.
    platform::OleColor BackColor() const;
    void setBackColor(platform::OleColor value);

    // Where day cell 0 to 41 lies, inside the border.
    QRect DayCellRect(int cell) const;

signals:
    void DateClick();
    void DateChange(bool ByUser);
    void Click();
    void DblClick();
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, int Shift);

protected:
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    enum class Interval { Day, Month, Year };
    void MoveDate(Interval interval, int count);
    void navigate(int direction, Qt::MouseButton button);
    int selectedIndex() const;
    int cellAt(QPoint inside) const;
    bool onSurface(QPoint inside) const;
    void applyFrame();
    void layOut();
    QRect headerRect(int column) const;
    void recolour(platform::OleColor& colour, platform::OleColor value);

    platform::OleColor m_backColor = 0xFFFFFF;
    platform::OleColor m_foreColor = 0;
    platform::OleColor m_titleBackColor = 0xFF0000;
    platform::OleColor m_titleForeColor = 0xFFFFFF;
    int m_borderStyle = 0;
    int m_appearance = 1;
    QDate m_value;
    CalendarParts::NavArrow* m_nav[2];
    // Where the parts lie inside the border, from the font.
    struct {
        QRect band, title;
        int headerTop = 0, lineY = 0, daysTop = 0, cellLeft = 0;
        QSize cellSize, pitch;
    } m_parts;
    int m_pressedCell = -1;
    bool m_pressedSurface = false;
};
