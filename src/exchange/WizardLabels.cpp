#include "WizardLabels.h"

#include <QLabel>

namespace exchangewizard {

QLabel* label(const QString& text, QWidget* parent, const QRect& geometry, bool wrap) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(wrap);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(geometry);
    return l;
}

QLabel* boldValue(QWidget* parent, const QRect& geometry) {
    QLabel* l = label(QString(), parent, geometry, false);
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    return l;
}

}  // namespace exchangewizard
