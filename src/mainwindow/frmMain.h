#pragma once
#include "Commands.h"
#include "GradeGrid.h"
#include "controls/IMessageTarget.h"
#include "controls/cMenu.h"
#include "controls/cSplitDDC.h"

#include <QMainWindow>
#include <optional>

class QLabel;
class QLineEdit;
class QStatusBar;
class QToolBar;
class cTabItem;
class vskTab;
namespace platform {
class FlexGrid;
}

// The work window: the classes and subjects of the open gradebook in a tab bar on the
// left, the grade grid of the class and subject chosen on the right, under a heading.
// It receives its menu commands through its own message target.
//
// Loading it (platform::Form<frmMain>::get()) restores its placement; close() unloads it
// after storing the grid's column widths and its placement. A gradebook becomes the open
// one only through OpenAFile.
class frmMain : public QMainWindow, public IMessageTarget, public commands::MainSurface {
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // Opens the gradebook and shows its first class and subject; true when it is now the
    // open gradebook. Every check is made before anything changes: on a failure (after
    // its message) the previous gradebook stays open and shown as it was. "" does nothing.
    bool OpenAFile(const QString& file);
    // The file that OpenAFile opened last, kept in the settings; "" when none.
    static QString LastFile();

    // Rebuilds the tab bar (a section per class, an item per subject in every section) and
    // the "&Ouvrir" menu from the open gradebook. No section is shown afterwards
    // (mCurrentSection 0): callers select a section and an item to show a grid.
    void CreateSectionsAndItems() override;

    // Fills the grid for section mCurrentSection and its selected item.
    void ShowItem() override;

    // What the commands reach of the window (commands::MainSurface).
    QWidget* owner() override { return this; }
    ::vskTab& tabBar() override { return *vskTab; }
    int currentSection() const override { return mCurrentSection; }
    void selectClassAndSubject(int section, int item) override;
    void showNothing(const QString& heading) override;
    void showFirstClassAndSubject() override;
    platform::FlexGrid& gradeGrid() override { return *flxNotes; }
    QString heading() const override;
    std::array<qint32, 5> averagePositions() const override { return mAveragePos; }

    // The grid columns of the averages: [1..3] the periods, [4] the general average.
    gradegrid::AveragePositions propAveragePos() const { return mAveragePos; }

    qintptr Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) override;

    // The low 16 bits of a message argument.
    static quint16 LoWord(qint32 Value) { return quint16(Value & 0xFFFF); }

    // Toolbar events: a click on button `Button` (1..19, separators included), a choice
    // of entry `Entry` (from 1) in the drop-down of button `Button`.
    void tooBar_ButtonClick(int Button);
    void tooBar_ButtonMenuClick(int Button, int Entry);

    // Grade entry: the editor over the current cell, and its commit into every selected
    // cell of the series columns. While the editor is shown (txtNote not hidden) the window
    // refuses its commands, its tab bar and its closing with WarnNoteEditMode.
    void StartNoteEdit();
    void EndNoteEdit();
    void WarnNoteEditMode();
    // What the status bar says.
    QString StatusText() const;

    // Tab-bar events, also called by the "&Ouvrir" menu.
    void vskTab_HeaderClick(int Section);
    void vskTab_ItemClick(int Section, int Index);
    void vskTab_OnItemSelection(int Section, const cTabItem& Item);

    // Position of the class section whose grid is on screen, 0 for none. Like the average
    // positions, it outlives the window: one that is loaded again still knows it.
    static inline qint16 mCurrentSection = 0;

    QToolBar* tooBar;
    ::vskTab* vskTab;
    QWidget* picSplit = nullptr;
    QLabel* lblPrincipal;
    platform::FlexGrid* flxNotes;
    QLineEdit* txtNote;
    QStatusBar* staBar;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Opening;
    struct TabModel;

    void CreateMenuBar();
    void CreateToolBar();
    void DoCommand(int Id);
    // Whether a selection or a command must wait because a grade is being typed; the user
    // is told so.
    bool EditModeRefuses();

    void flxNotes_DblClick();
    void flxNotes_KeyPress(int& KeyAscii);
    void flxNotes_GotFocus();
    void flxNotes_LeaveCell();
    void txtNote_Change();
    void txtNote_KeyDown(int& KeyCode, int Shift);
    bool currentCellEditable() const;
    void openEditor(const QString& text, bool changed);
    void setStatusText(const QString& text);

    // A gradebook that failed its check in the background, after it was shown: said as at its
    // opening and closed, nothing having been written to it; the settings offer the file
    // offered before it.
    static void integrityFailed(quint32 opening, const QString& lastFile, const db::DbError& failure);
    void closeRefusedGradebook(const QString& message, const QString& lastFile);
    // Successful openings so far: a verdict about an earlier one is no longer of use.
    static inline quint32 m_openings = 0;

    static TabModel readTabModel(const db::Database& database);
    static void syncTabBar(::vskTab& bar, const TabModel& model);
    void fillTabBar(const TabModel& model);
    // The password typed, when it is the one `passe` holds; nothing when the window was
    // closed or the password was wrong (then said).
    std::optional<QString> askPassword(const QString& passe);
    void SaveColumnWidths();

    void restorePlacement();
    void savePlacement();
    void ArrangePanes();

    static inline gradegrid::AveragePositions mAveragePos{};

    QWidget* m_client;  // the area between the menu bar and the status bar
    QLabel* m_statusText;
    // The editor's text differs from the cell's since it opened.
    bool mNoteChanged = false;
    cMenu mMenu;
    cMenu::Handle hMainMenu = 0;
    cMenu::Handle hMenuClasses = 0;
    cMenu::Handle hMenuSubjects = 0;
    qint16 mPopupPos = 0;
    cSplitDDC mSplitter;
    // The grid read while opening a gradebook, shown by the first selection.
    struct FirstGrid {
        qint32 numClass;
        qint32 numMat;
        gradegrid::GridData data;
    };
    std::optional<FirstGrid> m_firstGrid;
};
