#include "controls/vskCompteur.h"

#include "controls/MouseEventWidget.h"
#include "controls/PointerShape.h"

#include "platform/Twips.h"
#include "platform/VbError.h"
#include "platform/VbKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOption>

using namespace platform;

namespace vskCompteurParts {

// The text box. It is read-only, so that nothing but the counter's own key handling
// changes its text (no paste, drop or undo), and it draws its caret itself, since a
// read-only line edit hides it and the counter's keys act at the caret.
class Text : public QLineEdit {
public:
    explicit Text(QWidget* parent) : QLineEdit(parent) {
        setObjectName(QStringLiteral("Text1"));
        setReadOnly(true);
        setContextMenuPolicy(Qt::NoContextMenu);
    }
    bool flatBorder = false;

protected:
    void focusInEvent(QFocusEvent* e) override {
        QLineEdit::focusInEvent(e);
        selectAll();
    }
    void paintEvent(QPaintEvent* e) override {
        QLineEdit::paintEvent(e);
        QPainter p(this);
        if (flatBorder) {
            p.setPen(oleColor(sys::WindowFrame));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
        if (hasFocus() && !hasSelectedText()) {
            const QRect c = cursorRect();
            p.setPen(palette().color(QPalette::Text));
            p.drawLine(c.center().x(), c.top(), c.center().x(), c.bottom());
        }
    }
};

// An arrow button without caption: a small triangle pointing left or right, 4 by 7 pixels in
// the layouts' design font and growing with the font as the buttons do. It is black on a light
// button and light on a dark one.
class Button : public QAbstractButton {
public:
    Button(QWidget* parent, bool right) : QAbstractButton(parent), m_right(right) {
        setObjectName(right ? QStringLiteral("cmdAction1") : QStringLiteral("cmdAction0"));
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionButton opt;
        opt.initFrom(this);
        if (isDown()) opt.state |= QStyle::State_Sunken;
        else opt.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &p, this);
        const QColor ink = isEnabled() ? oleColor(sys::ButtonText) : palette().color(QPalette::Disabled, QPalette::ButtonText);
        const int shift = isDown() ? 1 : 0;
        const int k = layoutY(45);  // half the arrow's height
        const int x = (width() - k - 1) / 2 + shift;
        const int y = (height() - 2 * k - 1) / 2 + shift;
        const QPolygon arrow = m_right ? QPolygon({QPoint(x, y), QPoint(x + k, y + k), QPoint(x, y + 2 * k)})
                                       : QPolygon({QPoint(x + k, y), QPoint(x, y + k), QPoint(x + k, y + 2 * k)});
        p.setPen(ink);
        p.setBrush(ink);
        p.drawPolygon(arrow);
    }

private:
    bool m_right;
};

}  // namespace vskCompteurParts

namespace {

// One text line of the layout's font.
int boxHeight() { return layoutY(285); }

VbError invalid(const char* text) {
    return VbError(kErrInvalidValue, QStringLiteral("vskCompteur"), QString::fromUtf8(text));
}

// The number that a text reads as: its leading whole number, 0 when it has none. Digits
// beyond any bound saturate, so that a long text reads as out of range, never wraps.
qint64 leadingNumber(const QString& text) {
    int i = 0;
    while (i < text.size() && text.at(i).isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) negative = text.at(i++) == u'-';
    qint64 n = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        n = qMin<qint64>(n * 10 + (text.at(i).unicode() - u'0'), Q_INT64_C(1) << 40);
    return negative ? -n : n;
}

}  // namespace

vskCompteur::vskCompteur(QWidget* parent)
    : QWidget(parent), m_text(new vskCompteurParts::Text(this)),
      m_buttons{new vskCompteurParts::Button(this, false), new vskCompteurParts::Button(this, true)} {
    setFixedHeight(boxHeight());
    resize(width(), boxHeight());
    setFocusProxy(m_text);
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &vskCompteur::Change);
    connect(m_buttons[0], &QAbstractButton::clicked, this, [this] { step(-1); });
    connect(m_buttons[1], &QAbstractButton::clicked, this, [this] { step(+1); });
    showValue();
    applyColors();
    applyBorder();
}

// --- appearance -------------------------------------------------------------------------

OleColor vskCompteur::BackColor() const { return m_backColor; }
void vskCompteur::setBackColor(OleColor value) {
    m_backColor = value;
    applyColors();
}
OleColor vskCompteur::ForeColor() const { return m_foreColor; }
void vskCompteur::setForeColor(OleColor value) {
    m_foreColor = value;
    applyColors();
}
bool vskCompteur::Enabled() const { return isEnabled(); }
QFont vskCompteur::Font() const { return m_text->font(); }
int vskCompteur::BorderStyle() const { return m_borderStyle; }
void vskCompteur::setBorderStyle(int value) {
    m_borderStyle = value;
    applyBorder();
}
void vskCompteur::Refresh() {
    update();
    m_text->update();
}
int vskCompteur::Appearance() const { return m_appearance; }
void vskCompteur::setAppearance(int value) {
    m_appearance = value;
    applyBorder();
}

void vskCompteur::setTextFont(const std::function<void(QFont&)>& change) {
    QFont f = m_text->font();
    change(f);
    m_text->setFont(f);
}
bool vskCompteur::FontUnderline() const { return m_text->font().underline(); }
void vskCompteur::setFontUnderline(bool value) { setTextFont([=](QFont& f) { f.setUnderline(value); }); }
bool vskCompteur::FontStrikethru() const { return m_text->font().strikeOut(); }
void vskCompteur::setFontStrikethru(bool value) { setTextFont([=](QFont& f) { f.setStrikeOut(value); }); }
double vskCompteur::FontSize() const { return m_text->font().pointSizeF(); }
void vskCompteur::setFontSize(double value) {
    if (value > 0) setTextFont([=](QFont& f) { f.setPointSizeF(value); });
}
QString vskCompteur::FontName() const { return m_text->font().family(); }
void vskCompteur::setFontName(const QString& value) { setTextFont([&](QFont& f) { f.setFamily(value); }); }
bool vskCompteur::FontItalic() const { return m_text->font().italic(); }
void vskCompteur::setFontItalic(bool value) { setTextFont([=](QFont& f) { f.setItalic(value); }); }
bool vskCompteur::FontBold() const { return m_text->font().bold(); }
void vskCompteur::setFontBold(bool value) { setTextFont([=](QFont& f) { f.setBold(value); }); }

int vskCompteur::MaxLength() const { return m_maxLength; }
void vskCompteur::setMaxLength(int value) { m_maxLength = value; }
int vskCompteur::MousePointer() const { return m_mousePointer; }
void vskCompteur::setMousePointer(int value) {
    m_mousePointer = value;
    if (value == 0)
        unsetCursor();
    else
        setCursor(pointerCursor(value, m_mouseIcon));
}
QPixmap vskCompteur::MouseIcon() const { return m_mouseIcon; }
void vskCompteur::setMouseIcon(const QPixmap& value) {
    m_mouseIcon = value;
    setMousePointer(m_mousePointer);
}
QString vskCompteur::ToolTipText() const { return toolTip(); }
void vskCompteur::setToolTipText(const QString& value) { setToolTip(value); }

void vskCompteur::applyColors() {
    QPalette pal = m_text->palette();
    const QColor text = oleColor(isEnabled() ? m_foreColor : sys::GrayText);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Text, text);
        pal.setColor(group, QPalette::Base, oleColor(m_backColor));
    }
    m_text->setPalette(pal);
}

void vskCompteur::applyBorder() {
    m_text->setFrame(m_borderStyle != 0 && m_appearance != 0);
    m_text->flatBorder = m_borderStyle != 0 && m_appearance == 0;
    m_text->update();
}

// --- selection ----------------------------------------------------------------------------

int vskCompteur::SelStart() const {
    return m_text->hasSelectedText() ? m_text->selectionStart() : m_text->cursorPosition();
}
void vskCompteur::setSelStart(int value) { m_text->setCursorPosition(value); }
int vskCompteur::SelLength() const { return m_text->selectionLength(); }
void vskCompteur::setSelLength(int value) { m_text->setSelection(SelStart(), value); }
QString vskCompteur::SelText() const { return m_text->selectedText(); }
void vskCompteur::setSelText(const QString& value) {
    const QString t = m_text->text();
    const int s = SelStart();
    tryText(t.left(s) + value + t.mid(s + SelLength()));
}

// --- the number ---------------------------------------------------------------------------

int vskCompteur::Min() const { return m_min; }
void vskCompteur::setMin(int value) {
    if (value < 0) throw invalid("La propriété Min doit être supérieure ou égale à 0");
    if (value >= m_max) throw invalid("La propriété Min doit être inférieure à la propriété Max");
    m_min = value;
    m_value = value;
    showValue();
}

int vskCompteur::Max() const { return m_max; }
void vskCompteur::setMax(int value) {
    if (value < 1) throw invalid("La propriété Max doit être supérieure à 0");
    if (value <= m_min) throw invalid("La propriété Min doit être inférieure à la propriété Max");
    m_max = value;
    if (m_value > value) {
        m_value = value;
        showValue();
    }
}

int vskCompteur::Pas() const { return m_pas; }
void vskCompteur::setPas(int value) { m_pas = value; }

int vskCompteur::Value() const { return m_value; }
void vskCompteur::setValue(int value) {
    if (value < m_min || value > m_max)
        throw VbError(kErrOutOfRange, QStringLiteral("vskCompteur"),
                      QStringLiteral("Value doit être supérieure ou égale à Min et inférieure ou égale à Max"));
    m_value = value;
    showValue();
}

bool vskCompteur::TrySetValue(qint64 candidate) {
    if (candidate < m_min || candidate > m_max) return false;
    m_value = int(candidate);
    showValue();
    return true;
}

// An empty text stands for Min.
bool vskCompteur::tryText(QString text) {
    if (text.isEmpty()) text = QString::number(m_min);
    return TrySetValue(leadingNumber(text));
}

// Writing the text puts the caret at its start, as the original text box does; callers
// then place it.
void vskCompteur::showValue() {
    m_text->setText(QString::number(m_value));
    m_text->setCursorPosition(0);
}

void vskCompteur::step(int direction) {
    TrySetValue(qint64(m_value) + qint64(direction) * m_pas);
    m_text->setFocus(Qt::OtherFocusReason);
    m_text->selectAll();
}

// --- keys -----------------------------------------------------------------------------------

// Delete erases the character after the caret, Backspace the one before it, or either the
// selection; the caret then steps back one place, whether the number was accepted or not.
void vskCompteur::eraseKey(bool forward) {
    const QString t = m_text->text();
    const int s = SelStart();
    const int l = SelLength();
    if (l >= 1)
        tryText(t.left(s) + t.mid(s + l));
    else if (forward && s < t.size())
        tryText(t.left(s) + t.mid(s + 1));
    else if (!forward && s >= 1)
        tryText(t.left(s - 1) + t.mid(s));
    else
        return;
    if (s > 0) m_text->setCursorPosition(s - 1);
}

// A digit that would take the number out of its bounds is tried alone.
void vskCompteur::digitKey(int digit) {
    const QString t = m_text->text();
    const int s = SelStart();
    if (TrySetValue(leadingNumber(t.left(s) + QChar(u'0' + digit) + t.mid(s + SelLength()))))
        m_text->setCursorPosition(qMin(s + 1, int(m_text->text().size())));
    else if (TrySetValue(digit))
        m_text->setCursorPosition(1);
}

bool vskCompteur::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (watched != m_text || !isEnabled() ||
        (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (type == QEvent::ShortcutOverride) {
        // The keys that edit the number are the counter's, whatever shortcuts the window has.
        const int ascii = keyAscii(*k);
        if (keyCode(*k) != key::Delete && ascii != 8 && (ascii < '0' || ascii > '9')) return false;
        k->accept();
        return true;
    }
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) return false;  // focus moves on
    const int code = keyCode(*k);
    const int shift = shiftState(k->modifiers());
    if (type == QEvent::KeyRelease) {
        if (!k->isAutoRepeat()) emit KeyUp(code, shift);
        return false;
    }
    if (code == key::Delete) {
        eraseKey(true);
        emit KeyDown(code, shift);
        return true;
    }
    emit KeyDown(code, shift);
    const int ascii = keyAscii(*k);
    // Keys without a character move the caret; Enter and Esc belong to the dialog's buttons.
    if (ascii == 0 || ascii == 13 || ascii == 27) return false;
    if (ascii == 8)
        eraseKey(false);
    else if (ascii >= '0' && ascii <= '9')
        digitKey(ascii - '0');
    emit KeyPress(ascii);
    return true;
}

// --- geometry and the control's own surface ---------------------------------------------------

// The control is always one text line high; the buttons sit side by side in the right end
// of the box, 2 pixels from its top and right edges.
QSize vskCompteur::sizeHint() const { return twipsSize(1200, 285); }

void vskCompteur::resizeEvent(QResizeEvent*) {
    const int w = width();
    const int buttonWidth = layoutX(200), h = height();
    m_text->setGeometry(0, 0, w, h);
    m_text->setTextMargins(0, 0, 2 * buttonWidth + 2, 0);
    m_buttons[0]->setGeometry(w - 2 * buttonWidth - 2, 2, buttonWidth, h - 4);
    m_buttons[1]->setGeometry(w - buttonWidth - 2, 2, buttonWidth, h - 4);
}

void vskCompteur::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::PaletteChange) applyColors();
    QWidget::changeEvent(e);
}

void vskCompteur::mousePressEvent(QMouseEvent* e) { emitMouse(this, &vskCompteur::MouseDown, *e); }
void vskCompteur::mouseMoveEvent(QMouseEvent* e) { emitMouse(this, &vskCompteur::MouseMove, *e); }
void vskCompteur::mouseReleaseEvent(QMouseEvent* e) {
    emitMouse(this, &vskCompteur::MouseUp, *e);
    if (rect().contains(e->position().toPoint())) emit Click();
}
void vskCompteur::mouseDoubleClickEvent(QMouseEvent*) { emit DblClick(); }
