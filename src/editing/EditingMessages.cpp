#include "EditingMessages.h"

#include "controls/vskTab.h"
#include "gradebook/Messages.h"
#include "mainwindow/Commands.h"
#include "mainwindow/Pictures.h"
#include "platform/SystemMessage.h"
#include "platform/db/DbError.h"
#include "VersionInfo.h"

#include <QLabel>

namespace editing {

void showList(QWidget* owner, const QString& heading, const QStringList& lines) {
    messages::messageList(owner, heading, lines, pictures::imaButton(3));
}

QString refusedHeading() { return QStringLiteral("Une ou plusieurs de vos saisies sont incorrectes."); }

bool nameTaken(const db::DbError& error) { return error.code() == db::DbErrc::DuplicateKey; }

void writeFailed(QWidget* owner) {
    showList(owner, QStringLiteral("Impossible d'enregistrer cette modification dans le carnet de notes."),
             {QStringLiteral("Le carnet de notes n'a pas été modifié.")});
}

void readFailed(QWidget* owner) {
    platform::criticalMessage(owner, platform::version::productName(), QStringLiteral("Impossible de lire le carnet de notes."));
}

void chainTabOrder(std::initializer_list<QWidget*> widgets) {
    for (auto it = widgets.begin(); it != widgets.end() && it + 1 != widgets.end(); ++it) QWidget::setTabOrder(*it, *(it + 1));
}

QLabel* wrappedLabel(const QString& text, QWidget* parent, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

void RefreshMainTabs(commands::MainSurface& main, bool firstItem) {
    ::vskTab& bar = main.tabBar();
    const int shown = main.currentSection();
    const int active = bar.ActiveSection().isNull() ? 0 : bar.ActiveSection().Index();
    int item = 0;
    if (shown >= 1 && shown <= bar.SectionCount()) {
        const cTabItem selected = bar.SectionAt(shown).SelectedItem();
        if (!selected.isNull()) item = selected.Index();
    }

    main.CreateSectionsAndItems();

    if (active == 0) {
        if (!firstItem && bar.SectionCount() >= 1) bar.setActiveSection(bar.SectionAt(1));
        return;
    }
    if (active > bar.SectionCount()) return;
    bar.setActiveSection(bar.SectionAt(active));
    if (item >= 1 && shown <= bar.SectionCount()) {
        const cTabSection section = bar.SectionAt(shown);
        if (item <= section.ItemCount()) section.setSelectedItem(section.ItemAt(item));
    } else if (item == 0 && firstItem) {
        const cTabSection section = bar.SectionAt(active);
        if (section.ItemCount() >= 1) section.setSelectedItem(section.ItemAt(1));
    }
}

}  // namespace editing
