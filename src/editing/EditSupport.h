#pragma once
// What the editing dialogs share: the class and subject lists, whose entries carry their
// record's key, so that a choice names its record whatever its name holds and whatever the
// order of the tab bar; the refresh of the main grid; the report of a failed store.
#include "SeriesEdit.h"

#include <QList>
#include <QtGlobal>
#include <optional>

class QComboBox;
class QString;
class QWidget;

namespace commands {
class MainSurface;
}
namespace db {
class Database;
}

namespace editsupport {

// The classes of the main window's tab bar, in its order; the active one is chosen, else
// the first. False when there is none.
bool fillClasses(QComboBox& list, commands::MainSurface& main);

// The gradebook's subjects in table order; the one whose grid is on screen is chosen, else
// the first. False when there is none. Throws DbError.
bool fillSubjects(QComboBox& list, const db::Database& database, commands::MainSurface& main);

// The key of the chosen entry; 0 when none is chosen.
qint32 chosenKey(const QComboBox& list);

// Lists in `list` the series of the class in the subject, by period then date, each entry
// carrying its key, and returns them. When there is none, or the gradebook cannot be read,
// tells the user (the message list under `noSeriesHeading`) and returns nothing.
std::optional<QList<seriesedit::Series>> fillSeries(QComboBox& list, QWidget* owner, const db::Database& database,
                                                    qint32 numClass, qint32 numMat, const QString& noSeriesHeading);

// Fills the main window's grid again when it shows that class and subject.
void RefreshMainIfShown(commands::MainSurface& main, qint32 numClass, qint32 numMat);

// Tells the user that the gradebook could not be read or written (the system box with the
// critical icon).
void storeFailure(QWidget* owner, const QString& text);

}  // namespace editsupport
