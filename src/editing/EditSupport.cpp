#include "EditSupport.h"

#include "controls/vskTab.h"
#include "gradebook/Messages.h"
#include "mainwindow/Pictures.h"
#include "mainwindow/Commands.h"
#include "platform/SystemMessage.h"
#include "platform/db/Database.h"
#include "VersionInfo.h"

#include <QComboBox>

namespace editsupport {
namespace {

// The class and subject of the grid on screen; nulls when none is shown.
std::pair<cTabSection, cTabItem> shown(commands::MainSurface& main) {
    const int current = main.currentSection();
    if (current < 1 || current > main.tabBar().SectionCount()) return {};
    const cTabSection section = main.tabBar().SectionAt(current);
    return {section, section.SelectedItem()};
}

}  // namespace

bool fillClasses(QComboBox& list, commands::MainSurface& main) {
    list.clear();
    const vskTab& bar = main.tabBar();
    for (int s = 1; s <= bar.SectionCount(); ++s) {
        const cTabSection section = bar.SectionAt(s);
        list.addItem(section.Key(), section.Tag().toInt());
    }
    const cTabSection active = bar.ActiveSection();
    list.setCurrentIndex(list.count() == 0 ? -1 : active.isNull() ? 0 : active.Index() - 1);
    return list.count() > 0;
}

bool fillSubjects(QComboBox& list, const db::Database& database, commands::MainSurface& main) {
    list.clear();
    db::Recordset rs = database.OpenRecordset(db::Query(QStringLiteral("Matières")), db::RecordsetType::ForwardOnly);
    for (; !rs.Eof(); rs.MoveNext())
        list.addItem(rs.Fields(QStringLiteral("Nom")).Value().toString(), rs.Fields(QStringLiteral("NumMat")).Value().toInt());
    const cTabItem item = shown(main).second;
    const int onScreen = item.isNull() ? -1 : list.findData(item.Tag().toInt());
    list.setCurrentIndex(list.count() == 0 ? -1 : qMax(0, onScreen));
    return list.count() > 0;
}

qint32 chosenKey(const QComboBox& list) { return list.currentIndex() < 0 ? 0 : list.currentData().toInt(); }

std::optional<QList<seriesedit::Series>> fillSeries(QComboBox& list, QWidget* owner, const db::Database& database,
                                                    qint32 numClass, qint32 numMat, const QString& noSeriesHeading) {
    QList<seriesedit::Series> series;
    try {
        series = seriesedit::read(database, numClass, numMat);
    } catch (const db::DbError&) {
        storeFailure(owner, QStringLiteral("Impossible de lire les séries de notes de ce carnet de notes."));
        return std::nullopt;
    }
    if (series.isEmpty()) {
        messages::messageList(owner, noSeriesHeading,
                              {QStringLiteral("Cette classe n'a pas encore de série de notes dans cette matière.\n"
                                              "Créez au moins une série de notes (menu Créer/Nouvelle série de notes).")},
                              pictures::imaButton(3));
        return std::nullopt;
    }
    const QSignalBlocker blocker(list);
    list.clear();
    for (const seriesedit::Series& s : series) list.addItem(seriesedit::listEntry(s), s.key);
    list.setCurrentIndex(0);
    return series;
}

void RefreshMainIfShown(commands::MainSurface& main, qint32 numClass, qint32 numMat) {
    const auto [section, item] = shown(main);
    if (!item.isNull() && section.Tag().toInt() == numClass && item.Tag().toInt() == numMat) main.ShowItem();
}

void storeFailure(QWidget* owner, const QString& text) {
    platform::criticalMessage(owner, platform::version::productName(), text);
}

}  // namespace editsupport
