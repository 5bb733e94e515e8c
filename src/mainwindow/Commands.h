#pragma once
// The main window's commands by name, and the rows that carry them out. The menu bar and
// the toolbar give command ids; the dispatcher finds the id's row in one of the tables
// below (each subsystem keeps its own in a file of its own) and runs its handler.
#include <QString>
#include <array>
#include <span>

class QWidget;
class vskTab;
namespace platform {
class FlexGrid;
}

namespace commands {

enum Command : int {
    RenameClass = 10,
    RenameSubject = 11,
    ModifySeries = 12,
    StudentList = 13,
    NewClass = 14,
    NewSubject = 15,
    NewSeries = 16,
    DeleteClass = 17,
    DeleteSubject = 18,
    DeleteSeries = 19,
    AveragesTable = 20,
    ImportGrades = 22,
    ExportGrades = 23,
    Print = 25,
    MergeSubjects = 27,
    Options = 29,
    Help = 30,
    About = 31,
    OpenGradebook = 32,
    NewGradebook = 33,
    Quit = 35,
    ExcelExport = 36,
};

// What the handlers, and the dialogs they open, may reach of the main window. The open
// gradebook itself is mUtilities::gDB, which only handlers read: they pass it on.
class MainSurface {
public:
    virtual ~MainSurface() = default;
    // The window that modal dialogs are shown over.
    virtual QWidget* owner() = 0;
    // The classes (sections: Key name, Caption short name, Tag NumClass) and subjects
    // (items: Caption name, Tag NumMat) of the open gradebook.
    virtual ::vskTab& tabBar() = 0;
    // Position (from 1) of the class section whose grid is on screen; 0 for none.
    virtual int currentSection() const = 0;
    // Rebuilds the tab bar from the gradebook; no section is shown afterwards.
    virtual void CreateSectionsAndItems() = 0;
    // Selects the class at `section`, then its subject at `item`, which shows that grid.
    virtual void selectClassAndSubject(int section, int item) = 0;
    // Fills the grid again for the class and subject on screen.
    virtual void ShowItem() = 0;
    // Hides the grid under `heading`.
    virtual void showNothing(const QString& heading) = 0;
    // After the tab bar was rebuilt: shows the first class and subject, or says under the
    // heading that there is nothing to show (no class, or no subject in the first class).
    virtual void showFirstClassAndSubject() = 0;
    // The grade grid, shown or not, and its heading.
    virtual platform::FlexGrid& gradeGrid() = 0;
    virtual QString heading() const = 0;
    // The grade grid's columns of the averages: [1] to [3] the periods (0 for a period
    // without one), [4] the general average; none for a surface without a grade grid.
    virtual std::array<qint32, 5> averagePositions() const { return {}; }
};

// One command: whether it runs while a grade is being typed (otherwise the user is told
// to finish it first), and what it does.
struct Row {
    Command id;
    bool whileTyping;
    void (*run)(MainSurface& main);
};
using Rows = std::span<const Row>;

// The rows of each subsystem: the main window's own (files, options, help, workbook),
// the editing dialogs and the table of averages, the exchange of grades, printing.
Rows mainRows();
Rows editingRows();
Rows exchangeRows();
Rows printingRows();

// The row of `id` in any table, or nullptr.
const Row* find(int id);

// Loads the main window again (hidden, its placement restored, its tab bar empty), for a
// window that took its place and gives it back.
MainSurface& loadMain();

// The message list of a command that has nothing to work on: the heading, one line.
void nothingTo(QWidget* owner, const QString& heading, const QString& line);

}  // namespace commands
