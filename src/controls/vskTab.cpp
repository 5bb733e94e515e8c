#include "vskTab.h"

#include "TabLookup.h"
#include "platform/VbError.h"

#include <QPainter>
#include <QStyleOptionFrame>

using platform::OleColor;

namespace {
const QString kSource = QStringLiteral("vskTab");
constexpr int kBorderWidth = 2;
}  // namespace

vskTab::vskTab(QWidget* parent) : QWidget(parent) {}

// ---- positions ---------------------------------------------------------------------------

int vskTab::positionOf(const tabSection* section) const {
    for (int p = 1; p <= SectionCount(); ++p)
        if (at(p) == section) return p;
    return 0;
}

int vskTab::positionOfKey(const QString& Key) const {
    return tablookup::findKey(Key, SectionCount(), [this](int p) { return at(p)->Key(); });
}

int vskTab::positionOf(const QVariant& PositionOrKey) const {
    return tablookup::findPosition(PositionOrKey, SectionCount(), [this](int p) { return at(p)->Key(); });
}

int vskTab::checkedPosition(int position) const {
    return tablookup::checkedPosition(position, SectionCount(), kSource);
}

// ---- sections ----------------------------------------------------------------------------

// A section's events reach the owner with the position the section holds when they happen.
void vskTab::connectSection(tabSection* s) {
    using M = void (tabSection::*)(int, int, float, float);
    using B = void (vskTab::*)(int, int, int, float, float);
    const std::pair<M, B> mouse[] = {
        {&tabSection::HeaderMouseDown, &vskTab::HeaderMouseDown},
        {&tabSection::HeaderMouseUp, &vskTab::HeaderMouseUp},
        {&tabSection::MouseDown, &vskTab::MouseDown},
        {&tabSection::MouseUp, &vskTab::MouseUp},
        {&tabSection::MouseMove, &vskTab::MouseMove},
    };
    for (const auto& [from, to] : mouse)
        connect(s, from, this, [this, s, to](int button, int shift, float x, float y) {
            (this->*to)(positionOf(s), button, shift, x, y);
        });
    connect(s, &tabSection::HeaderClick, this, [this, s] { emit HeaderClick(positionOf(s)); });
    connect(s, &tabSection::Click, this, [this, s] { emit Click(positionOf(s)); });
    connect(s, &tabSection::DblClick, this, [this, s] { emit DblClick(positionOf(s)); });
    connect(s, &tabSection::ItemClick, this, [this, s](int index) { emit ItemClick(positionOf(s), index); });
    connect(s, &tabSection::OnItemSelection, this,
            [this, s](const cTabItem& item) { emit OnItemSelection(positionOf(s), item); });
}

cTabSection vskTab::AddSection(const QString& Caption, const QString& Key, const QString& Tag,
                               int Before) {
    if (!Key.isEmpty() && positionOfKey(Key) != 0) tablookup::raiseDuplicateKey(kSource);
    if (Before > SectionCount()) tablookup::raiseIndexOverflow(kSource);

    auto* s = new tabSection(this);
    s->applySettings(m_template);
    s->setCaption(Caption);
    s->setTag(Tag);
    s->setKey(Key);
    connectSection(s);
    if (m_order.empty())
        m_active = 1;
    else
        s->setReduced(true);
    if (Before >= 1) {
        m_order.insert(m_order.begin() + (Before - 1), s);
        if (m_active >= Before) ++m_active;
    } else {
        m_order.push_back(s);
    }
    s->show();
    layoutSections();
    return cTabSection(s, positionOf(s));
}

// A section may be removed from inside one of its own events, so it is deleted later.
void vskTab::unloadSection(tabSection* s) {
    disconnect(s, nullptr, this, nullptr);
    s->unload();
    s->hide();
    s->deleteLater();
}

void vskTab::RemoveSection(const QVariant& PositionOrKey) { RemoveSectionAt(positionOf(PositionOrKey)); }
void vskTab::RemoveSectionByKey(const QString& Key) { RemoveSectionAt(positionOfKey(Key)); }

void vskTab::RemoveSectionAt(int Position) {
    const int p = checkedPosition(Position);
    unloadSection(at(p));
    m_order.erase(m_order.begin() + (p - 1));
    if (m_order.empty()) {
        m_active = 0;
    } else {
        if (p < m_active) --m_active;
        // The last section, when it was the active one, hands over to the new last.
        if (m_active > SectionCount()) m_active = SectionCount();
        at(m_active)->setReduced(false);
    }
    layoutSections();
}

void vskTab::Clear() {
    for (tabSection* s : m_order) unloadSection(s);
    m_order.clear();
    m_active = 0;
    layoutSections();
}

cTabSection vskTab::Section(const QVariant& PositionOrKey) const { return SectionAt(positionOf(PositionOrKey)); }
cTabSection vskTab::SectionByKey(const QString& Key) const { return SectionAt(positionOfKey(Key)); }
cTabSection vskTab::SectionAt(int Position) const {
    const int p = checkedPosition(Position);
    return cTabSection(at(p), p);
}

cTabSection vskTab::ActiveSection() const {
    return m_active == 0 ? cTabSection() : cTabSection(at(m_active), m_active);
}

// A handle stands for the position it was made with, whichever section is there now.
void vskTab::setActiveSection(const cTabSection& section) {
    if (section.isNull()) tablookup::raiseInvalidSection(kSource);
    const int p = section.Index();
    if (p == m_active) return;
    checkedPosition(p);
    at(m_active)->setReduced(true);
    m_active = p;
    at(m_active)->setReduced(false);
    layoutSections();
    emit OnSelection(section);
}

cTabSection vskTab::HitTest(float Ypixel) const {
    for (int p = 1; p <= SectionCount(); ++p) {
        const QRect g = at(p)->geometry();
        if (Ypixel >= g.y() && Ypixel <= g.y() + g.height()) return cTabSection(at(p), p);
    }
    return {};
}

void vskTab::Refresh() { update(); }

// ---- layout ------------------------------------------------------------------------------

void vskTab::resizeEvent(QResizeEvent*) { layoutSections(); }

// The active section takes what the headers leave; when nothing is left every section,
// the active one too, shows its header alone.
void vskTab::layoutSections() {
    if (m_busy) return;
    m_busy = true;
    const QRect inner = contentsRect();
    int free = inner.height();
    for (int p = 1; p <= SectionCount(); ++p) free -= at(p)->HeaderHeight();
    int top = inner.top();
    for (int p = 1; p <= SectionCount(); ++p) {
        const int header = at(p)->HeaderHeight();
        const int height = (free > 0 && p == m_active) ? free + header : header;
        at(p)->setGeometry(inner.left(), top, inner.width(), height);
        top += at(p)->height();
    }
    m_busy = false;
}

void vskTab::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), platform::oleColor(m_backColor));
    if (m_borderStyle == 0) return;
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = kBorderWidth;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &p, this);
}

void vskTab::setBorderStyle(int style) {
    if (style == m_borderStyle) return;
    if (style != 0 && style != 1)
        throw platform::VbError(platform::kErrInvalidValue, kSource,
                                QStringLiteral("Valeur de propriété non valide."));
    m_borderStyle = style;
    const int m = style == 1 ? kBorderWidth : 0;
    setContentsMargins(m, m, m, m);
    layoutSections();
    update();
}

void vskTab::setBackColor(OleColor color) {
    m_backColor = color;
    update();
}

// ---- settings of every section -----------------------------------------------------------

template <typename Setter, typename Value>
void vskTab::applyToSections(Setter setter, Value value) {
    for (tabSection* s : m_order) (s->*setter)(value);
}

void vskTab::setSectionBackColor(OleColor color) {
    m_template.BackColor = color;
    applyToSections(&tabSection::setBackColor, color);
}

void vskTab::setSectionForeColor(OleColor color) {
    m_template.ForeColor = color;
    applyToSections(&tabSection::setForeColor, color);
}

void vskTab::setDisposition(int disposition) {
    m_template.Disposition = disposition;
    applyToSections(&tabSection::setDisposition, disposition);
}

void vskTab::setLeftShadow(OleColor color) {
    m_template.LeftShadow = color;
    applyToSections(&tabSection::setLeftShadow, color);
}

void vskTab::setRightShadow(OleColor color) {
    m_template.RightShadow = color;
    applyToSections(&tabSection::setRightShadow, color);
}

void vskTab::setUseMaskColor(bool use) {
    m_template.UseMaskColor = use;
    applyToSections(&tabSection::setUseMaskColor, use);
}

void vskTab::setMaskColor(OleColor color) {
    m_template.MaskColor = color;
    applyToSections(&tabSection::setMaskColor, color);
}
