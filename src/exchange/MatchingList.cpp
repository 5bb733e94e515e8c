#include "MatchingList.h"

#include <QHeaderView>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The width of the widest piece of `text` that wrapping cannot break.
int unbreakable(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    int widest = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(0);
        widest = std::max(widest, int(std::ceil(line.naturalTextWidth())));
    }
    layout.endLayout();
    return widest;
}

// Cells wrap within their column's width; asked without wrapping, a cell gives the width its
// text takes on one line.
class ColumnWrap : public QStyledItemDelegate {
public:
    explicit ColumnWrap(QTreeView* view) : QStyledItemDelegate(view), m_view(view) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem inColumn(option);
        inColumn.rect = QRect(0, 0, m_view->columnWidth(index.column()), 1);
        return QStyledItemDelegate::sizeHint(inColumn, index);
    }

private:
    QTreeView* m_view;
};

// Headings wrap at their spaces too, the heading row as tall as the most wrapped of them.
class WrappingHeader : public QHeaderView {
public:
    explicit WrappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter | Qt::Alignment(Qt::TextWordWrap));
        setTextElideMode(Qt::ElideNone);
    }
    int margin() const { return style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this); }
    QSize sizeHint() const override {
        QSize size = QHeaderView::sizeHint();
        const int oneLine = size.height();
        for (int c = 0; c < count(); ++c) {
            const QRect room(0, 0, sectionSize(c) - 2 * margin(), QWIDGETSIZE_MAX);
            const QString text = model()->headerData(c, orientation()).toString();
            const int wrapped = fontMetrics().boundingRect(room, Qt::TextWordWrap, text).height();
            size.setHeight(std::max(size.height(), oneLine + wrapped - fontMetrics().height()));
        }
        return size;
    }
};

}  // namespace

MatchingList::MatchingList(QWidget* parent) : QTreeWidget(parent) {
    setHeader(new WrappingHeader(this));
    setItemDelegate(new ColumnWrap(this));
    setWordWrap(true);
    setAlternatingRowColors(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void MatchingList::fitColumns() {
    const int columns = columnCount(), room = viewport()->width();
    if (columns == 0 || room <= 0) return;
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    auto& heading = static_cast<WrappingHeader&>(*header());
    QStyleOptionViewItem oneLine;
    initViewItemOption(&oneLine);
    oneLine.features &= ~QStyleOptionViewItem::WrapText;

    // What each column needs on one line, and at the least.
    QList<int> want(columns), least(columns);
    for (int c = 0; c < columns; ++c) {
        const QString title = headerItem()->text(c);
        const int edges = 2 * heading.margin();
        want[c] = heading.fontMetrics().horizontalAdvance(title) + edges;
        least[c] = unbreakable(title, heading.font()) + edges;
        for (int r = 0; r < topLevelItemCount(); ++r) {
            const QModelIndex cell = indexFromItem(topLevelItem(r), c);
            const QString text = cell.data().toString();
            const int natural = itemDelegate()->sizeHint(oneLine, cell).width();
            want[c] = std::max(want[c], natural);
            least[c] = std::max(least[c], natural - fontMetrics().horizontalAdvance(text) + unbreakable(text, font()));
        }
    }
    const qint64 wanted = std::accumulate(want.begin(), want.end(), 0);
    const qint64 leastOf = std::accumulate(least.begin(), least.end(), 0);
    for (int c = 0; c < columns; ++c) {
        int width = want[c];
        if (wanted > room)
            width = leastOf >= room ? int(least[c] * room / leastOf)
                                    : least[c] + int((want[c] - least[c]) * (room - leastOf) / (wanted - leastOf));
        setColumnWidth(c, width);
    }
    // Rows and headings take the height their cells now need.
    doItemsLayout();
    updateGeometries();
}

void MatchingList::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    if (!m_fitting) fitColumns();
}
