#include "frmMain.h"

#include "GradeEntry.h"
#include "Pictures.h"
#include "StoreMessages.h"
#include "WindowParts.h"
#include "frmPwdAsk.h"
#include "controls/NumberKeys.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookPassword.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/Messages.h"
#include "gradebook/StoreErrors.h"
#include "gradebook/mUtilities.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Settings.h"
#include "platform/SystemMessage.h"
#include "platform/Twips.h"
#include "platform/VbKeys.h"
#include "VersionInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

using platform::pixelsToTwips;
using platform::twipsToPixels;

const QString kStartUp = QStringLiteral("StartUp");
const QString kLastFile = QStringLiteral("File");
constexpr int kSplitWidth = 4;     // pixels
constexpr int kHeadingHeight = 28;  // pixels, at least: more when the font needs it
constexpr int kDesignWidth = 15000, kDesignHeight = 10500;  // twips

// A number stored as text in the settings; 0 for anything else.
int settingTwips(const QString& key, const QString& defaultValue) {
    bool ok = false;
    const double v = platform::GetSetting(kStartUp, key, defaultValue).trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? int(qBound(-1e6, std::round(v), 1e6)) : 0;
}

void saveTwips(const QString& key, int twips) {
    platform::SaveSetting(kStartUp, key, QString::number(float(twips)));
}

// "True" and "False" as written, or a number (non-zero is true).
bool settingBool(const QString& key, const QString& defaultValue) {
    const QString text = platform::GetSetting(kStartUp, key, defaultValue).trimmed();
    if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) return true;
    return text.toDouble() != 0;
}

void critical(QWidget* owner, const QString& text) {
    platform::criticalMessage(owner, platform::version::productName(), text);
}

// While alive: the wait cursor, and the text in the status bar. Painted at once, which sends
// the display the cursor too, since the event loop does not run meanwhile; from the start-up
// window, whose painting does the same, while the main window is still hidden.
class Waiting {
public:
    Waiting(QLabel& status, const QString& text) : m_status(status), m_before(status.text()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_status.setText(text);
        if (QWidget* shown = m_status.isVisible() ? &m_status : QApplication::activeWindow()) shown->repaint();
    }
    ~Waiting() {
        m_status.setText(m_before);
        QApplication::restoreOverrideCursor();
    }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

private:
    QLabel& m_status;
    const QString m_before;
};

}  // namespace

// What a gradebook shows once open, read before anything of the open one changes.
struct frmMain::TabModel {
    struct Class {
        qint32 key;
        QString name;
        QString shortName;
    };
    struct Subject {
        qint32 key;
        QString name;
    };
    QList<Class> classes;
    QList<Subject> subjects;
};

frmMain::frmMain() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Carnet de notes"));
    setWindowIcon(pictures::logo(64));
    resize(platform::twipsSize(kDesignWidth, kDesignHeight));
    connectStoreMessages();

    m_client = new QWidget(this);
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    vskTab = new ::vskTab(m_client);
    vskTab->setObjectName(QStringLiteral("vskTab"));
    connect(vskTab, &::vskTab::HeaderClick, this, &frmMain::vskTab_HeaderClick);
    connect(vskTab, &::vskTab::ItemClick, this, &frmMain::vskTab_ItemClick);
    connect(vskTab, &::vskTab::OnItemSelection, this, &frmMain::vskTab_OnItemSelection);

    picSplit = new QWidget(m_client);
    picSplit->setObjectName(QStringLiteral("picSplit"));
    picSplit->installEventFilter(this);

    lblPrincipal = windowparts::heading(m_client, QStringLiteral("lblPrincipal"));
    lblPrincipal->setText(QStringLiteral("Pas d'éléments à afficher."));

    flxNotes = new platform::FlexGrid(m_client);
    flxNotes->setObjectName(QStringLiteral("flxNotes"));
    windowparts::useGridFont(*flxNotes);

    txtNote = windowparts::cellEditor(*flxNotes, QStringLiteral("txtNote"));
    txtNote->installEventFilter(this);
    connect(txtNote, &QLineEdit::textChanged, this, &frmMain::txtNote_Change);
    connect(flxNotes, &platform::FlexGrid::DblClick, this, &frmMain::flxNotes_DblClick);
    connect(flxNotes, &platform::FlexGrid::KeyPress, this, &frmMain::flxNotes_KeyPress);
    connect(flxNotes, &platform::FlexGrid::GotFocus, this, &frmMain::flxNotes_GotFocus);
    connect(flxNotes, &platform::FlexGrid::LeaveCell, this, &frmMain::flxNotes_LeaveCell);
    // The editor stays where it was put: scrolling the grid under it takes the grade as
    // typed, as leaving its cell does.
    for (QScrollBar* bar : {flxNotes->verticalScrollBar(), flxNotes->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (txtNote->isHidden()) return;
            EndNoteEdit();
            flxNotes->SetFocus();
        });

    m_statusText = windowparts::statusText(*this);
    staBar = statusBar();

    mSubClass::SubclassWindow(this, this);
    CreateMenuBar();
    CreateToolBar();
    windowparts::setUpSplitter(mSplitter, *picSplit);
    restorePlacement();
    ArrangePanes();
}

frmMain::~frmMain() { mSubClass::UnsubclassWindow(this); }

// ---- tab bar ---------------------------------------------------------------------------------

frmMain::TabModel frmMain::readTabModel(const db::Database& database) {
    TabModel model;
    QSet<QString> names;
    db::Recordset classes = database.OpenRecordset(db::Query(QStringLiteral("Classes")), db::RecordsetType::ForwardOnly);
    // More classes or subjects than the tab bar holds cannot be shown: such a file is refused
    // as it is read, before rows beyond them are read at all.
    const auto beyond = [&](qsizetype count, int most) {
        if (count == most) throw db::DbError(db::DbErrc::Damaged, database.Name());
    };
    for (; !classes.Eof(); classes.MoveNext()) {
        beyond(model.classes.size(), ::vskTab::kMaxSections);
        const QString name = classes.Fields(QStringLiteral("Nom")).Value().toString();
        // The tab bar finds a class by its name. Two rows of one name can only come from a
        // damaged page behind the unique index, and are refused here, while reading, rather
        // than by the bar once the file has become the open one.
        if (names.contains(name)) throw db::DbError(db::DbErrc::Damaged, database.Name());
        names.insert(name);
        model.classes.append({classes.Fields(QStringLiteral("NumClass")).Value().toInt(), name,
                              classes.Fields(QStringLiteral("Nom abrégé")).Value().toString()});
    }
    db::Recordset subjects = database.OpenRecordset(db::Query(QStringLiteral("Matières")), db::RecordsetType::ForwardOnly);
    for (; !subjects.Eof(); subjects.MoveNext()) {
        beyond(model.subjects.size(), tabSection::kMaxItems);
        model.subjects.append({subjects.Fields(QStringLiteral("NumMat")).Value().toInt(),
                               subjects.Fields(QStringLiteral("Nom")).Value().toString()});
    }
    return model;
}

void frmMain::CreateSectionsAndItems() { fillTabBar(readTabModel(mUtilities::gDB)); }

// The bar ends as a bar built afresh from the model would be (first section active, no item
// selected, every list scrolled to its top), but keeps the sections and item widgets that
// still fit: making anew the widgets of 30 classes of 12 subjects costs ten times the write
// that asked for the rebuild, such as a new class. Every section is given the one list of
// subjects, which makes the widgets of an item only once it comes into view.
void frmMain::syncTabBar(::vskTab& bar, const TabModel& model) {
    const auto holds = [](const cTabSection& s, const TabModel::Class& c) {
        return s.Key() == c.name && s.Tag() == QString::number(c.key);
    };
    const auto inModel = [&](const cTabSection& s) {
        return std::any_of(model.classes.begin(), model.classes.end(), [&](const auto& c) { return holds(s, c); });
    };
    for (int p = bar.SectionCount(); p >= 1; --p)
        if (!inModel(bar.SectionAt(p))) bar.RemoveSectionAt(p);
    // The sections left keep their order (the classes'), or none is kept.
    for (int p = 1, c = 0; p <= bar.SectionCount(); ++p, ++c) {
        while (c < model.classes.size() && !holds(bar.SectionAt(p), model.classes[c])) ++c;
        if (c == model.classes.size()) {
            bar.Clear();
            break;
        }
    }

    const QPixmap icon = pictures::imaButton(2);
    tabSection::Items subjects;
    subjects.reserve(model.subjects.size());
    for (const TabModel::Subject& m : model.subjects) subjects.append({m.name, QString(), QString::number(m.key), icon, {}});
    const QSignalBlocker quiet(bar);
    for (int p = 1; p <= model.classes.size(); ++p) {
        const TabModel::Class& c = model.classes[p - 1];
        if (p > bar.SectionCount() || !holds(bar.SectionAt(p), c))
            bar.AddSection(c.shortName, c.name, QString::number(c.key), p > bar.SectionCount() ? 0 : p);
        const cTabSection section = bar.SectionAt(p);
        if (section.Caption() != c.shortName) section.setCaption(c.shortName);
        section.setItems(subjects);
    }
    if (bar.SectionCount() > 0) bar.setActiveSection(bar.SectionAt(1));
}

void frmMain::fillTabBar(const TabModel& model) {
    syncTabBar(*vskTab, model);
    mCurrentSection = 0;

    // Destroying the classes popup takes the subjects popup attached to it along.
    mMenu.DelMenu(hMenuClasses);
    mMenu.DelMenu(hMenuSubjects);
    hMenuClasses = hMenuSubjects = 0;
    if (vskTab->SectionCount() == 0) return;
    hMenuClasses = mMenu.AddMenu();
    for (int s = 1; s <= vskTab->SectionCount(); ++s)
        mMenu.AddMenuItem(hMenuClasses, vskTab->SectionAt(s).Caption(), 100 + s);
    mMenu.AttachSubMenu(hMainMenu, hMenuClasses, 2, false);
    const cTabSection active = vskTab->ActiveSection();
    if (active.ItemCount() < 1) return;
    hMenuSubjects = mMenu.AddMenu();
    for (int i = 1; i <= active.ItemCount(); ++i) mMenu.AddMenuItem(hMenuSubjects, active.ItemAt(i).Caption(), 200 + i);
    for (int s = 0; s < vskTab->SectionCount(); ++s) mMenu.AttachSubMenu(hMenuClasses, hMenuSubjects, s, true);
}

void frmMain::vskTab_HeaderClick(int Section) {
    if (EditModeRefuses() || Section < 1 || Section > vskTab->SectionCount()) return;
    vskTab->setActiveSection(vskTab->SectionAt(Section));
}

void frmMain::vskTab_ItemClick(int Section, int Index) {
    if (EditModeRefuses()) return;
    // The active section holds the item, whatever section the click came from.
    const cTabSection active = vskTab->ActiveSection();
    if (active.isNull() || Index < 1 || Index > active.ItemCount()) return;
    active.setSelectedItem(active.ItemAt(Index));
}

void frmMain::vskTab_OnItemSelection(int Section, const cTabItem& Item) {
    if (Item.isNull()) return;
    SaveColumnWidths();
    if (mCurrentSection >= 1 && mCurrentSection != Section && mCurrentSection <= vskTab->SectionCount())
        vskTab->SectionAt(mCurrentSection).setSelectedItem(cTabItem());
    mCurrentSection = qint16(Section);
    ShowItem();
}

// ---- grade grid ------------------------------------------------------------------------------

void frmMain::ShowItem() {
    if (mCurrentSection < 1 || mCurrentSection > vskTab->SectionCount()) return;
    const cTabSection section = vskTab->SectionAt(mCurrentSection);
    const cTabItem item = section.SelectedItem();
    if (item.isNull()) return;
    const qint32 numClass = section.Tag().toInt();
    const qint32 numMat = item.Tag().toInt();
    gradegrid::GridData data;
    std::optional<QString> readFailure;
    if (m_firstGrid && m_firstGrid->numClass == numClass && m_firstGrid->numMat == numMat) {
        data = std::move(m_firstGrid->data);
    } else {
        try {
            data = gradegrid::readGrid(mUtilities::gDB, numClass, numMat);
        } catch (const db::DbError& e) {
            readFailure = storeerrors::gridReadMessage(e);
        }
    }
    m_firstGrid.reset();
    gradegrid::fillGrid(*flxNotes, data, mAveragePos, mUtilities::gAverageFormat);
    lblPrincipal->setText(section.Caption() + QStringLiteral(" - ") + item.Caption());
    // Said once the heading shows what could not be read, under an empty grid.
    if (readFailure) critical(isVisible() ? this : nullptr, *readFailure);
}

void frmMain::SaveColumnWidths() {
    if (mCurrentSection < 1 || mCurrentSection > vskTab->SectionCount() || !mUtilities::gDB.isOpen()) return;
    try {
        gradegrid::saveColumnWidths(mUtilities::gDB, *flxNotes, vskTab->SectionAt(mCurrentSection).Tag().toInt());
    } catch (const std::exception&) {
        // Widths are a comfort: failing to keep them is no reason to stop the user.
    }
}

void frmMain::showNothing(const QString& heading) {
    flxNotes->setVisible(false);
    lblPrincipal->setText(heading);
}

void frmMain::showFirstClassAndSubject() {
    if (vskTab->SectionCount() == 0) {
        showNothing(QStringLiteral("Aucune donnée à afficher."));
    } else if (const cTabSection active = vskTab->ActiveSection(); active.ItemCount() >= 1) {
        active.setSelectedItem(active.ItemAt(1));
    } else {
        showNothing(active.Caption() + QStringLiteral(": aucune donnée à afficher."));
    }
}

QString frmMain::heading() const { return lblPrincipal->text(); }

void frmMain::selectClassAndSubject(int section, int item) {
    vskTab_HeaderClick(section);
    vskTab_ItemClick(section, item);
}

// ---- grade entry -----------------------------------------------------------------------------

bool frmMain::currentCellEditable() const {
    return flxNotes->Rows() > 0 && flxNotes->Cols() > 0 && flxNotes->CellBackColor() != flxNotes->BackColorFixed();
}

void frmMain::openEditor(const QString& text, bool changed) {
    txtNote->setText(text);
    // Set after the text, whose change would set it: a digit typed over a cell changes it
    // even when the editor's last text was that same digit.
    mNoteChanged = changed;
    StartNoteEdit();
}

void frmMain::flxNotes_DblClick() {
    if (currentCellEditable()) openEditor(flxNotes->Text(), false);
}

void frmMain::flxNotes_KeyPress(int& KeyAscii) {
    if (!currentCellEditable()) return;
    if (KeyAscii >= '0' && KeyAscii <= '9')
        openEditor(QString(QChar(KeyAscii)), true);
    else if (KeyAscii == ',' || KeyAscii == '.')
        openEditor(QStringLiteral("0,"), true);
    else if (KeyAscii == platform::key::Return)
        openEditor(flxNotes->Text(), false);
    else
        return;
    KeyAscii = 0;
}

void frmMain::flxNotes_GotFocus() {
    if (!txtNote->isHidden()) EndNoteEdit();
}

void frmMain::flxNotes_LeaveCell() {
    if (!txtNote->isHidden()) EndNoteEdit();
}

void frmMain::StartNoteEdit() {
    setStatusText(QStringLiteral("Edition de notes"));
    windowparts::showOverCell(*txtNote, *flxNotes);
}

void frmMain::EndNoteEdit() {
    // Out of edit mode first: the focus that hiding moves, and the message list below, must
    // find the window out of it.
    txtNote->hide();
    setStatusText(QString());
    if (!mNoteChanged) return;
    QStringList refused;
    std::optional<QString> storeFailure;
    try {
        refused = gradeentry::CommitSelection(*flxNotes, txtNote->text(), mUtilities::gDB, mUtilities::gRsNotes);
    } catch (const db::DbError& e) {
        storeFailure = storeerrors::writeMessage(e);
    }
    gradegrid::ComputeAverages(*flxNotes, mAveragePos, mUtilities::gAverageFormat);
    if (storeFailure) critical(this, *storeFailure);
    if (!refused.isEmpty()) messages::messageList(this, gradeentry::refusalHeading(), refused, pictures::imaButton(3));
}

void frmMain::txtNote_Change() { mNoteChanged = true; }

void frmMain::txtNote_KeyDown(int& KeyCode, int Shift) {
    Q_UNUSED(Shift);
    switch (KeyCode) {
    case platform::key::Return:
        EndNoteEdit();
        break;
    case platform::key::Escape:
        txtNote->hide();
        setStatusText(QString());
        break;
    case platform::key::Up:
    case platform::key::Down:
        // The commit lands on the cells the editor was opened on, then the cell moves.
        EndNoteEdit();
        if (KeyCode == platform::key::Up && flxNotes->Row() > flxNotes->FixedRows())
            flxNotes->setRow(flxNotes->Row() - 1);
        else if (KeyCode == platform::key::Down && flxNotes->Row() < flxNotes->Rows() - 1)
            flxNotes->setRow(flxNotes->Row() + 1);
        flxNotes->CellTop();  // brings the new cell into view
        break;
    default:
        return;
    }
    flxNotes->SetFocus();
    KeyCode = 0;
}

QString frmMain::StatusText() const { return m_statusText->text(); }

void frmMain::setStatusText(const QString& text) { m_statusText->setText(text); }

// ---- opening ---------------------------------------------------------------------------------

std::optional<QString> frmMain::askPassword(const QString& passe) {
    frmPwdAsk& ask = platform::Form<frmPwdAsk>::get();
    platform::showModal(ask, isVisible() ? this : nullptr);
    const bool answered = !ask.Tag().isEmpty();
    const QString typed = ask.txtPwd->text();
    platform::Form<frmPwdAsk>::unload();
    if (!answered) return std::nullopt;
    if (gradebookpassword::matches(passe, typed)) return typed;
    critical(isVisible() ? this : nullptr, QStringLiteral("Mot de passe incorrect.\nAccès au carnet de notes refusé."));
    return std::nullopt;
}

bool frmMain::OpenAFile(const QString& file) {
    if (file.isEmpty()) return false;
    QWidget* owner = isVisible() ? this : nullptr;
    db::Database database;
    db::Recordset notes;
    QString format;
    TabModel model;
    std::optional<FirstGrid> first;
    try {
        {
            // A journal left beside the file is tried first on copies of both, which takes
            // seconds for a large file.
            const Waiting waiting(
                *m_statusText, QFileInfo::exists(db::Database::FilePath(file) + QStringLiteral("-journal"))
                                   ? QStringLiteral("Vérification du carnet de notes après une interruption…")
                                   : QStringLiteral("Ouverture du carnet de notes…"));
            // The walk of the whole file takes as long as the file is large: it runs meanwhile,
            // and every write waits for its verdict.
            database = db::Database::OpenDatabase(file, gradebook::databasePassword(), db::Integrity::CheckInBackground,
                                                  mUtilities::IsWholeFile);
        }
        switch (mUtilities::GetFileKind(database)) {
        case 1: break;
        case 2:
            critical(owner, QStringLiteral("Vous essayez d'ouvrir un carnet de notes exporté.\n"
                                           "Ouvrez ou créez d'abord un carnet de notes avant d'y importer des notes."));
            return false;
        default: critical(owner, QStringLiteral("Ce fichier n'est pas un carnet de notes valide.")); return false;
        }
        // The questions first, then the checks: a file refused at any step is left as it was.
        const std::optional<int> version = mUtilities::AskGradebookConversion(database);
        if (!version) return false;
        const QString passe = database.Properties(QStringLiteral("Passe")).Value().toString();
        std::optional<QString> password;
        if (passe != gradebook::noPassword() && !(password = askPassword(passe))) return false;

        // The grid on screen keeps its widths, whether the new file opens or not; done
        // first so that reopening the same file shows them.
        SaveColumnWidths();
        // Everything the switch needs is read here, so that nothing can fail after it. A
        // conversion is written in the same transaction, undone with it when a read fails.
        format = mUtilities::AverageFormat(database.Properties(QStringLiteral("Moyenne")).Value().toInt());
        db::Transaction opening(database);
        mUtilities::ConvertGradebook(database, *version);
        model = readTabModel(database);
        if (!model.classes.isEmpty() && !model.subjects.isEmpty()) {
            const qint32 numClass = model.classes.first().key, numMat = model.subjects.first().key;
            first = FirstGrid{numClass, numMat, gradegrid::readGrid(database, numClass, numMat)};
        }
        notes = database.OpenRecordset(db::Query(QStringLiteral("Notes")));
        // Last, so that a file refused for any other reason is left as it was.
        if (password) gradebookpassword::upgrade(database, passe, *password);
        opening.commit();
    } catch (const std::exception& e) {
        critical(owner, storeerrors::openingMessage(e));
        return false;
    }

    mUtilities::gDB = database;
    mUtilities::gRsNotes = std::move(notes);
    mUtilities::gAverageFormat = format;
    fillTabBar(model);
    m_firstGrid = std::move(first);
    showFirstClassAndSubject();
    m_firstGrid.reset();
    const QString lastFile = LastFile();
    platform::SaveSetting(kStartUp, kLastFile, file);
    setWindowTitle(QStringLiteral("Carnet de notes - ") + mUtilities::RemoveExtension(mUtilities::GetFileName(file)));
    database.onIntegrityFailure(qApp, [opening = ++m_openings, lastFile](const db::DbError& failure) {
        integrityFailed(opening, lastFile, failure);
    });
    return true;
}

void frmMain::integrityFailed(quint32 opening, const QString& lastFile, const db::DbError& failure) {
    if (opening != m_openings || !mUtilities::gDB.isOpen()) return;
    // Not under a dialog or a menu, nor while the table of averages stands in for this
    // window: they may be using the file. Its writes are refused meanwhile.
    frmMain* main = platform::Form<frmMain>::instance();
    if (!main || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        QTimer::singleShot(250, qApp, [=] { integrityFailed(opening, lastFile, failure); });
        return;
    }
    main->closeRefusedGradebook(storeerrors::openingMessage(failure), lastFile);
}

void frmMain::closeRefusedGradebook(const QString& message, const QString& lastFile) {
    // A grade being typed has nowhere to go.
    txtNote->hide();
    setStatusText(QString());
    mUtilities::gRsNotes = db::Recordset();
    mUtilities::gDB.Close();
    mUtilities::gDB = db::Database();
    mUtilities::gAverageFormat.clear();
    fillTabBar({});
    showNothing(QStringLiteral("Pas d'éléments à afficher."));
    setWindowTitle(QStringLiteral("Carnet de notes"));
    // The start-up window offers the file it offered before this one.
    platform::SaveSetting(kStartUp, kLastFile, lastFile);
    critical(isVisible() ? this : nullptr, message);
}

QString frmMain::LastFile() { return platform::GetSetting(kStartUp, kLastFile); }

// ---- frame -----------------------------------------------------------------------------------

void frmMain::restorePlacement() {
    if (settingBool(QStringLiteral("Maximized"), QStringLiteral("False"))) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else if (const int height = settingTwips(QStringLiteral("Height"), QStringLiteral("0")); height != 0) {
        // As stored: shown, it is brought onto the screen if it stands beyond it (a size
        // stored at another scale factor, a screen gone since).
        setGeometry(twipsToPixels(settingTwips(QStringLiteral("Left"), QStringLiteral("0"))),
                    twipsToPixels(settingTwips(QStringLiteral("Top"), QStringLiteral("0"))),
                    twipsToPixels(settingTwips(QStringLiteral("Width"), QStringLiteral("0"))), twipsToPixels(height));
    }
    // The placement is a place on the screen; the splitter's is the width of the tab bar,
    // which holds text, so it follows the layout's font.
    picSplit->move(qMax(0, platform::layoutX(settingTwips(QStringLiteral("Pos1"), QStringLiteral("2290")))), 0);
}

void frmMain::savePlacement() {
    if (isMinimized()) return;
    platform::SaveSetting(kStartUp, QStringLiteral("Maximized"), isMaximized() ? QStringLiteral("True") : QStringLiteral("False"));
    if (isMaximized()) return;
    const QRect r = geometry();
    saveTwips(QStringLiteral("Height"), pixelsToTwips(r.height()));
    saveTwips(QStringLiteral("Width"), pixelsToTwips(r.width()));
    saveTwips(QStringLiteral("Left"), pixelsToTwips(r.x()));
    saveTwips(QStringLiteral("Top"), pixelsToTwips(r.y()));
    saveTwips(QStringLiteral("Pos1"), platform::layoutTwipsX(picSplit->x()));
}

void frmMain::ArrangePanes() {
    const int width = m_client->width(), height = m_client->height();
    const int split = picSplit->x();
    vskTab->setGeometry(0, 0, split, height);
    picSplit->setGeometry(split, 0, kSplitWidth, height);
    const int left = split + kSplitWidth;
    const int heading = qMax(kHeadingHeight, lblPrincipal->sizeHint().height());
    lblPrincipal->setGeometry(left, 0, qMax(0, width - left), heading);
    flxNotes->setGeometry(left, heading, qMax(0, width - left), qMax(0, height - heading));
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (EditModeRefuses()) {
        event->ignore();
        return;
    }
    SaveColumnWidths();
    savePlacement();
    mSubClass::UnsubclassWindow(this);
    event->accept();
    if (platform::Form<frmMain>::instance() == this) platform::Form<frmMain>::unload();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // The client area is watched from its creation, before the splitter bar exists.
    if (picSplit && windowparts::splitterEvent(mSplitter, *m_client, *picSplit, watched, event, [this] { ArrangePanes(); }))
        return true;
    if (watched == txtNote && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (int code = platform::keyCode(*key)) {
            txtNote_KeyDown(code, platform::shiftState(key->modifiers()));
            if (code == 0) return true;
        }
        // The filter may turn the character into another one, typed in its place.
        return numberkeys::TypeFiltered(*txtNote, *key);
    }
    return QMainWindow::eventFilter(watched, event);
}
