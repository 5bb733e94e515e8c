// The main window's commands: its menu bar, its toolbar and the one dispatcher both lead to.
#include "frmMain.h"
#include "Commands.h"

#include "Pictures.h"
#include "WindowParts.h"
#include "frmAbout.h"
#include "frmOptions.h"
#include "mExcelExport.h"
#include "controls/mShellExecute.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "gradebook/Messages.h"
#include "gradebook/mUtilities.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Paths.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <initializer_list>

namespace {

struct MenuEntry {
    int id;
    const char16_t* caption;  // empty for a separator
};

struct MenuPopup {
    int barId;
    std::initializer_list<MenuEntry> entries;
};

// The bar, then its popups in the order they are attached ("&Ouvrir" is filled with the
// classes of the open gradebook).
const MenuEntry kBar[] = {{1, u"&Fichier"}, {2, u"&Ouvrir"},    {3, u"&Modifier"}, {4, u"&Créer"},
                          {5, u"&Supprimer"}, {6, u"O&utils"}, {7, u"&?"}};
const MenuPopup kPopups[] = {
    {3, {{10, u"Renommer une &classe"}, {11, u"Renommer une &matière"}, {12, u"Modifier une &série de notes"},
         {13, u"Modifier une &liste d'élèves"}}},
    {4, {{14, u"Nouvelle &classe"}, {15, u"Nouvelle &matière"}, {16, u"Nouvelle &série de notes"}}},
    {5, {{17, u"une &classe"}, {18, u"une &matière"}, {19, u"une &série de notes"}}},
    {6, {{20, u"&Tableau des moyennes"}, {21, u""}, {22, u"&Importer des notes"}, {23, u"&Exporter des notes"},
         {24, u""}, {25, u"I&mprimer"}, {26, u""}, {27, u"&Fusionner des matières"}, {28, u""},
         {36, u"Exporter au format E&xcel"}, {37, u""}, {29, u"&Options"}}},
    {7, {{30, u"&Aide sur Quibolet"}, {31, u"A &propos de..."}}},
    {1, {{32, u"&Ouvrir un carnet de notes existant"}, {33, u"&Créer un nouveau carnet de notes"}, {34, u""},
         {35, u"&Quitter"}}},
};

// The toolbar's buttons by position (from 1): text and command; a separator has no text,
// a button with a drop-down no command of its own.
struct ToolButton {
    const char16_t* text;
    int command;
};
constexpr int kToolButtons = 19;
const ToolButton kTools[kToolButtons] = {
    {u"Classe", 0},
    {u"Matière", 0},
    {u"Série de notes", 0},
    {u"Liste d'élèves", commands::StudentList},
    {nullptr, 0},
    {u"Tableau des moyennes", commands::AveragesTable},
    {nullptr, 0},
    {u"Imprimer", commands::Print},
    {nullptr, 0},
    {u"Importer", commands::ImportGrades},
    {u"Exporter", commands::ExportGrades},
    {nullptr, 0},
    {u"Fusionner des matières", commands::MergeSubjects},
    {nullptr, 0},
    {u"Exporter au format Excel", commands::ExcelExport},
    {nullptr, 0},
    {u"Options", commands::Options},
    {nullptr, 0},
    {u"Aide", commands::Help}};

// The drop-downs of buttons 1 to 3: add, rename, delete.
struct DropDownEntry {
    const char16_t* text;
    int command;
};
const DropDownEntry kDropDowns[3][3] = {
    {{u"Ajouter une classe", commands::NewClass},
     {u"Renommer une classe", commands::RenameClass},
     {u"Supprimer une classe", commands::DeleteClass}},
    {{u"Ajouter une matière", commands::NewSubject},
     {u"Renommer une matière", commands::RenameSubject},
     {u"Supprimer une matière", commands::DeleteSubject}},
    {{u"Créer une série de notes", commands::NewSeries},
     {u"Modifier une série de notes", commands::ModifySeries},
     {u"Supprimer une série de notes", commands::DeleteSeries}},
};

QString text(const char16_t* s) { return QStringView(s).toString(); }

using namespace commands;

void options(MainSurface& surface) {
    auto& main = static_cast<frmMain&>(surface);
    frmOptions& options = platform::Form<frmOptions>::get();
    options.setTag(QStringLiteral("frmMain"));
    QObject::connect(&options, &frmOptions::DecimalsChanged, &main, [&main] {
        if (main.currentSection() >= 1) main.ShowItem();
    });
    platform::showModal(options, &main);  // it unloads itself when closed
}

void help(MainSurface&) {
    mShellExecute::RunShellExecute(platform::paths::helpFile(), QStringLiteral("open"), {}, {}, 10, nullptr, false);
}

void about(MainSurface& main) { platform::showModal(platform::Form<frmAbout>::get(), main.owner()); }  // unloads itself

void openGradebook(MainSurface& main) { static_cast<frmMain&>(main).OpenAFile(mUtilities::ChooseGradebookToOpen()); }
void newGradebook(MainSurface& main) { static_cast<frmMain&>(main).OpenAFile(mUtilities::ChooseNewGradebook()); }
void quit(MainSurface& main) { main.owner()->close(); }

void excelExport(MainSurface& main) {
    if (!main.gradeGrid().isHidden())
        mExcelExport::ExportToExcel(main.gradeGrid(), main.heading(), main.owner());
    else
        nothingTo(main.owner(), QStringLiteral("Il n'y a aucune donnée à exporter."),
                  QStringLiteral("La liste d'élèves de cette classe est vide."));
}

const Row kMainRows[] = {
    {Options, false, options},           {Help, true, help}, {About, true, about},
    {OpenGradebook, false, openGradebook}, {NewGradebook, false, newGradebook}, {Quit, false, quit},
    {ExcelExport, false, excelExport},
};

}  // namespace

namespace commands {

Rows mainRows() { return kMainRows; }

const Row* find(int id) {
    for (const Rows rows : {mainRows(), editingRows(), exchangeRows(), printingRows()})
        for (const Row& row : rows)
            if (row.id == id) return &row;
    return nullptr;
}

MainSurface& loadMain() { return platform::Form<frmMain>::get(); }

void nothingTo(QWidget* owner, const QString& heading, const QString& line) {
    messages::messageList(owner, heading, {line}, pictures::imaButton(3));
}

}  // namespace commands

void frmMain::CreateMenuBar() {
    hMainMenu = mMenu.CreateNewMenu(this);
    for (const MenuEntry& e : kBar) mMenu.AddMenuItem(hMainMenu, text(e.caption), e.id);
    for (const MenuPopup& popup : kPopups) {
        const cMenu::Handle menu = mMenu.AddMenu();
        for (const MenuEntry& e : popup.entries) mMenu.AddMenuItem(menu, text(e.caption), e.id);
        mMenu.AttachSubMenu(hMainMenu, menu, popup.barId, false);
    }
    mMenu.ActivateMenu(hMainMenu);
}

void frmMain::CreateToolBar() {
    tooBar = windowparts::toolBar(*this);
    for (int b = 1; b <= kToolButtons; ++b) {
        const ToolButton& tool = kTools[b - 1];
        if (!tool.text) {
            tooBar->addSeparator();
            continue;
        }
        QAction* action = tooBar->addAction(QIcon(pictures::toolButton(b)), text(tool.text));
        action->setObjectName(QStringLiteral("tooBar_%1").arg(b));
        connect(action, &QAction::triggered, this, [this, b] { tooBar_ButtonClick(b); });
        if (b > 3) continue;
        auto* menu = new QMenu(this);
        for (int e = 1; e <= 3; ++e)
            connect(menu->addAction(text(kDropDowns[b - 1][e - 1].text)), &QAction::triggered, this,
                    [this, b, e] { tooBar_ButtonMenuClick(b, e); });
        auto* button = qobject_cast<QToolButton*>(tooBar->widgetForAction(action));
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void frmMain::tooBar_ButtonClick(int Button) {
    if (Button >= 1 && Button <= kToolButtons && kTools[Button - 1].command != 0) DoCommand(kTools[Button - 1].command);
}

void frmMain::tooBar_ButtonMenuClick(int Button, int Entry) {
    if (Button >= 1 && Button <= 3 && Entry >= 1 && Entry <= 3) DoCommand(kDropDowns[Button - 1][Entry - 1].command);
}

qintptr frmMain::Message(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam) {
    if (uMsg == mSubClass::WM_COMMAND && lParam == 0) {
        const int id = LoWord(qint32(wParam));
        if (id <= 100) {
            DoCommand(id);
        } else if (!EditModeRefuses()) {
            if (id <= 200 || hMenuSubjects == 0) {
                // Class entries give a command only when there is no subject to open under
                // them, so every id above 100 is then a class, however many there are.
                vskTab_HeaderClick(id - 100);
            } else {
                // The class is the entry whose subjects popup opened last.
                vskTab_HeaderClick(mPopupPos + 1);
                vskTab_ItemClick(mPopupPos + 1, id - 200);
            }
        }
        return 0;
    }
    if (uMsg == mSubClass::WM_INITMENUPOPUP) {
        mPopupPos = qint16(LoWord(qint32(lParam)));
        return 0;
    }
    return mSubClass::CallOldWndProc(hWnd, uMsg, wParam, lParam);
}

void frmMain::DoCommand(int Id) {
    const Row* row = commands::find(Id);
    if (!(row && row->whileTyping) && EditModeRefuses()) return;
    // A gradebook refused once shown leaves none open: what remains is to open or make
    // another, the help, and the end.
    static constexpr int kWithoutGradebook[] = {OpenGradebook, NewGradebook, Help, About, Quit};
    if (!mUtilities::gDB.isOpen() && !std::ranges::count(kWithoutGradebook, Id)) return;
    if (row) row->run(*this);
}

bool frmMain::EditModeRefuses() {
    if (txtNote->isHidden()) return false;
    WarnNoteEditMode();
    return true;
}

void frmMain::WarnNoteEditMode() {
    messages::msgBox(this,
                     QStringLiteral("Vous êtes en mode d'Edition de notes.\nTerminez votre saisie avant de continuer.\n\n"
                                    "(Echap (ou ESC) pour l'annuler, Entrée (ou Return) pour la valider.)"),
                     3, 1);
}
