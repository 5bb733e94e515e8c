#include "ActionButtons.h"

#include <QBoxLayout>
#include <QPushButton>

QVector<QPushButton*> addActionButtons(QWidget& dialog, QBoxLayout& layout, const QStringList& captions,
                                       const std::function<void(int Index)>& click) {
    QVector<QPushButton*> buttons;
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (const QString& caption : captions) {
        auto* button = new QPushButton(caption, &dialog);
        const int index = int(buttons.size());
        button->setObjectName(QStringLiteral("cmdAction%1").arg(index));
        QObject::connect(button, &QPushButton::clicked, &dialog, [click, index] { click(index); });
        row->addWidget(button);
        buttons.append(button);
    }
    buttons.first()->setDefault(true);
    layout.addLayout(row);
    return buttons;
}
