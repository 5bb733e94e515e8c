#pragma once
#include "platform/OleColor.h"

#include <QPixmap>
#include <QWidget>
#include <functional>

class QLineEdit;

namespace vskCompteurParts {
class Text;
class Button;
}  // namespace vskCompteurParts

// The numeric up/down control: a one-line box showing a whole number between Min and Max,
// with a decreasing and an increasing arrow button inside its right end. The user cannot
// type freely: Delete, Backspace and the digits turn the text into a candidate number, and
// the text changes only when that number lies within the bounds.
class vskCompteur : public QWidget {
    Q_OBJECT
public:
    explicit vskCompteur(QWidget* parent = nullptr);

    platform::OleColor BackColor() const;
    void setBackColor(platform::OleColor value);
    // Colour of the text while enabled; a disabled counter shows grey text.
    platform::OleColor ForeColor() const;
    void setForeColor(platform::OleColor value);
    bool Enabled() const;  // set with QWidget::setEnabled
    QFont Font() const;    // set with QWidget::setFont
    // 0 no border, 1 single border.
    int BorderStyle() const;
    void setBorderStyle(int value);
    void Refresh();
    // 0 flat, 1 three-dimensional.
    int Appearance() const;
    void setAppearance(int value);
    bool FontUnderline() const;
    void setFontUnderline(bool value);
    bool FontStrikethru() const;
    void setFontStrikethru(bool value);
    double FontSize() const;
    void setFontSize(double value);
    QString FontName() const;
    void setFontName(const QString& value);
    bool FontItalic() const;
    void setFontItalic(bool value);
    bool FontBold() const;
    void setFontBold(bool value);
    // Kept for the caller; the text is only ever written by the control itself, which
    // this limit does not bind (0: no limit).
    int MaxLength() const;
    void setMaxLength(int value);
    // The cursor over the control's own surface: the platform's pointer numbers (0 default,
    // 1 arrow, 2 cross, 3 I-beam, 5 and 15 size all, 6 to 9 sizing, 10 up arrow, 11
    // hourglass, 12 no drop, 13 arrow and hourglass, 14 arrow and question mark, 99 MouseIcon).
    int MousePointer() const;
    void setMousePointer(int value);
    QPixmap MouseIcon() const;
    void setMouseIcon(const QPixmap& value);
    QString SelText() const;
    // Replaces the selection as typing does: the text changes only when the number it then
    // reads lies within the bounds.
    void setSelText(const QString& value);
    int SelStart() const;
    void setSelStart(int value);
    int SelLength() const;
    void setSelLength(int value);
    QString ToolTipText() const;
    void setToolTipText(const QString& value);

    // Lower bound, 0 or more and below Max. Setting it also sets Value to it.
    int Min() const;
    void setMin(int value);
    // Upper bound, 1 or more and above Min; Value comes down to it when above.
    int Max() const;
    void setMax(int value);
    // Step of the buttons; any value.
    int Pas() const;
    void setPas(int value);
    // Between Min and Max.
    int Value() const;
    void setValue(int value);

    QSize sizeHint() const override;

signals:
    void Click();
    void DblClick();
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    bool TrySetValue(qint64 candidate);
    bool tryText(QString text);
    void showValue();
    void eraseKey(bool forward);
    void digitKey(int digit);
    void step(int direction);
    void applyColors();
    void applyBorder();
    void setTextFont(const std::function<void(QFont&)>& change);

    vskCompteurParts::Text* m_text;
    vskCompteurParts::Button* m_buttons[2];
    int m_value = 0;
    int m_min = 0;
    int m_max = 100;
    int m_pas = 1;
    platform::OleColor m_foreColor = platform::sys::WindowText;
    platform::OleColor m_backColor = platform::sys::WindowBackground;
    int m_borderStyle = 1;
    int m_appearance = 1;
    int m_maxLength = 0;
    int m_mousePointer = 0;
    QPixmap m_mouseIcon;
};
