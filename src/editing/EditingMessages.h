#pragma once
// What the editing dialogs share: their labels, their message lists, the one message for a write that
// failed for any reason other than a name already taken, the one for a gradebook that cannot
// be read, and the rebuilding of the main window's tab bar after a class or a subject changed.
#include <QString>
#include <QStringList>

#include <initializer_list>

class QLabel;
class QWidget;
namespace commands {
class MainSurface;
}
namespace db {
class DbError;
}

namespace editing {

// The heading over the lines, each with the main window's message-line picture.
void showList(QWidget* owner, const QString& heading, const QStringList& lines);

// The heading of a list of refused entries.
QString refusedHeading();  // "Une ou plusieurs de vos saisies sont incorrectes."

// Whether the store refused a write because a unique name is already taken; any other
// failure (a full disk, a damaged or read-only file) is told apart from it.
bool nameTaken(const db::DbError& error);

// A write that failed for a reason other than a taken name: nothing was written.
void writeFailed(QWidget* owner);

// What a dialog had to read first could not be read (another program holds the file, or it
// is damaged): the system box with the critical icon.
void readFailed(QWidget* owner);

// Rebuilds the tab bar from the gradebook and selects again, by position, the section that
// was active and the subject whose grid was shown. When no subject was shown: `firstItem`
// selects the first subject of the active section (the subject dialog), otherwise nothing
// is selected; when no section was active, the first section becomes active unless
// `firstItem` (the class dialog activates it, the subject dialog leaves the bar as built).
void RefreshMainTabs(commands::MainSurface& main, bool firstItem);

// A label whose text wraps within the dialog's width.
QLabel* wrappedLabel(const QString& text, QWidget* parent, bool bold = false);

// Tab goes through `widgets` in this order, whatever order they were made in.
void chainTabOrder(std::initializer_list<QWidget*> widgets);

}  // namespace editing
