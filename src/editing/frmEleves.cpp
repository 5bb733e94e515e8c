#include "frmEleves.h"
#include "printing/PrintCommands.h"

#include "AveragesGrids.h"
#include "EditingMessages.h"
#include "controls/NumberKeys.h"
#include "controls/cTabItem.h"
#include "controls/cTabSection.h"
#include "controls/mShellExecute.h"
#include "controls/vskTab.h"
#include "gradebook/Messages.h"
#include "gradebook/StoreErrors.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/Commands.h"
#include "mainwindow/Pictures.h"
#include "mainwindow/WindowParts.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmOptions.h"
#include "mainwindow/mExcelExport.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Paths.h"
#include "platform/SystemMessage.h"
#include "platform/Twips.h"
#include "platform/VbKeys.h"
#include "VersionInfo.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <memory>
#include <utility>

namespace {

using platform::FlexGrid;
using platform::layoutX;

constexpr int kSplitWidth = 4;        // pixels
constexpr int kFrameHeight = 44;      // pixels
constexpr int kHeadingHeight = 28;    // pixels, at least: more when the font needs it
constexpr int kTreeWidth = 2600;      // twips
constexpr int kDesignWidth = 15000, kDesignHeight = 10500;  // twips

// Tree keys: "X" and a NumClass, "Y" and a NumElv.
QString nodeKey(const QTreeWidgetItem* node) { return node ? node->data(0, Qt::UserRole).toString() : QString(); }
bool isClassNode(const QTreeWidgetItem* node) { return nodeKey(node).startsWith(u'X'); }
qint32 recordKey(const QTreeWidgetItem* node) { return nodeKey(node).mid(1).toInt(); }

QIcon nodeIcon(int image, int selectedImage) {
    QIcon icon(pictures::imaTre(image));
    icon.addPixmap(pictures::imaTre(selectedImage), QIcon::Selected);
    return icon;
}

// The toolbar's positions (from 1): text, picture of the main window's toolbar, and the
// command; separators have no text.
struct ToolButton {
    const char16_t* text;
    int picture;
};
const ToolButton kTools[9] = {{u"Tableau des notes", 3}, {nullptr, 0}, {u"Imprimer", 8},
                              {nullptr, 0},              {u"Exporter au format Excel", 15},
                              {nullptr, 0},              {u"Options", 17},
                              {nullptr, 0},              {u"Aide", 19}};

}  // namespace

frmElèves::frmElèves() {
    setObjectName(QStringLiteral("frmElèves"));
    setWindowIcon(pictures::logo(64));
    resize(platform::twipsSize(kDesignWidth, kDesignHeight));

    m_client = new QWidget(this);
    setCentralWidget(m_client);

    treElv = new QTreeWidget(m_client);
    treElv->setObjectName(QStringLiteral("treElv"));
    treElv->setHeaderHidden(true);
    treElv->setIconSize(QSize(20, 20));
    connect(treElv, &QTreeWidget::currentItemChanged, this, &frmElèves::treElv_NodeClick);
    connect(treElv, &QTreeWidget::itemExpanded, this, &frmElèves::addStudents);
    connect(treElv, &QTreeWidget::itemCollapsed, this, &frmElèves::treElv_Collapse);

    picSplit = new QWidget(m_client);
    picSplit->setObjectName(QStringLiteral("picSplit"));
    picSplit->installEventFilter(this);

    fraChoix = {new QGroupBox(m_client), new QGroupBox(m_client)};
    optChoix = {new QRadioButton(QStringLiteral("Moyennes"), fraChoix[0]),
                new QRadioButton(QStringLiteral("Etat-civil"), fraChoix[0])};
    chkChoix = {nullptr, new QCheckBox(QStringLiteral("Pér. 1"), fraChoix[1]),
                new QCheckBox(QStringLiteral("Pér. 2"), fraChoix[1]), new QCheckBox(QStringLiteral("Pér. 3"), fraChoix[1])};
    for (int i = 0; i < 2; ++i) {
        fraChoix[i]->setObjectName(QStringLiteral("fraChoix%1").arg(i));
        auto* row = new QHBoxLayout(fraChoix[i]);
        row->setContentsMargins(8, 2, 8, 2);
        if (i == 0) {
            for (int o = 0; o < 2; ++o) {
                optChoix[o]->setObjectName(QStringLiteral("optChoix%1").arg(o));
                row->addWidget(optChoix[o]);
                connect(optChoix[o], &QRadioButton::clicked, this, [this, o] { optChoix_Click(o); });
            }
        } else {
            for (int p = 1; p <= 3; ++p) {
                chkChoix[p]->setObjectName(QStringLiteral("chkChoix%1").arg(p));
                chkChoix[p]->setChecked(true);
                row->addWidget(chkChoix[p]);
                connect(chkChoix[p], &QCheckBox::clicked, this, [this, p] { chkChoix_Click(p); });
            }
        }
        row->addStretch();
    }
    optChoix[0]->setChecked(true);

    lblClass = windowparts::heading(m_client, QStringLiteral("lblClass"));
    lblElève = windowparts::heading(m_client, QStringLiteral("lblElève"));

    const auto makeGrid = [this](const QString& name) {
        auto* grid = new FlexGrid(m_client);
        grid->setObjectName(name);
        windowparts::useGridFont(*grid);
        return grid;
    };
    flxClass = makeGrid(QStringLiteral("flxClass"));
    flxMoy = makeGrid(QStringLiteral("flxMoy"));
    txtCoef = windowparts::cellEditor(*flxMoy, QStringLiteral("txtCoef"));
    txtCoefClass = windowparts::cellEditor(*flxClass, QStringLiteral("txtCoefClass"));
    for (const bool cls : {false, true}) {
        FlexGrid* grid = cls ? flxClass : flxMoy;
        QLineEdit* editor = cls ? txtCoefClass : txtCoef;
        editor->installEventFilter(this);
        connect(editor, &QLineEdit::textChanged, this, [this] { mCoefChanged = true; });
        connect(grid, &FlexGrid::DblClick, this, [this, cls] { grid_DblClick(cls); });
        connect(grid, &FlexGrid::KeyPress, this, [this, cls](int& ascii) { grid_KeyPress(cls, ascii); });
        connect(grid, &FlexGrid::GotFocus, this, [this, cls] { grid_Commit(cls); });
        connect(grid, &FlexGrid::LeaveCell, this, [this, cls] { grid_Commit(cls); });
        // The editor stays where it was put: scrolling the grid under it takes the value.
        for (QScrollBar* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()})
            connect(bar, &QScrollBar::valueChanged, this, [this, cls, grid, editor] {
                if (editor->isHidden()) return;
                grid_Commit(cls);
                grid->SetFocus();
            });
    }

    txtEC = new QPlainTextEdit(m_client);
    txtEC->setObjectName(QStringLiteral("txtEC"));
    txtEC->installEventFilter(this);
    connect(txtEC, &QPlainTextEdit::textChanged, this, [this] { mEtatCivilChanged = true; });

    // The menu bar: four commands of its own and the help menu.
    static const char16_t* const kMenu[4] = {u"&Tableau de notes", u"&Imprimer", u"&Exporter au format Excel", u"&Options"};
    for (int i = 0; i < 4; ++i) {
        QAction* action = menuBar()->addAction(QStringView(kMenu[i]).toString());
        action->setObjectName(QStringLiteral("mnuGen%1").arg(i));
        connect(action, &QAction::triggered, this, [this, i] { mnuGen_Click(i); });
        mnuGen.append(action);
    }
    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    mnuGen.append(help->menuAction());
    for (const auto& [i, caption] : {std::pair{0, u"&Aide sur Quibolet"}, std::pair{1, u"A &propos de..."}}) {
        QAction* action = help->addAction(QStringView(caption).toString());
        action->setObjectName(QStringLiteral("mnuAide%1").arg(i));
        connect(action, &QAction::triggered, this, [this, i = i] { mnuAide_Click(i); });
        mnuAide.append(action);
    }

    tooBar = windowparts::toolBar(*this);
    for (int b = 1; b <= 9; ++b) {
        if (!kTools[b - 1].text) {
            tooBar->addSeparator();
            continue;
        }
        QAction* action = tooBar->addAction(QIcon(pictures::toolButton(kTools[b - 1].picture)),
                                            QStringView(kTools[b - 1].text).toString());
        action->setObjectName(QStringLiteral("tooBar_%1").arg(b));
        connect(action, &QAction::triggered, this, [this, b] { tooBar_ButtonClick(b); });
    }

    m_statusText = windowparts::statusText(*this);
    staBar = statusBar();

    windowparts::setUpSplitter(mSplitter, *picSplit);
    picSplit->move(layoutX(kTreeWidth), 0);
    for (QWidget* w : {static_cast<QWidget*>(fraChoix[0]), static_cast<QWidget*>(lblElève), static_cast<QWidget*>(flxMoy),
                       static_cast<QWidget*>(txtEC), static_cast<QWidget*>(fraChoix[1]), static_cast<QWidget*>(lblClass),
                       static_cast<QWidget*>(flxClass)})
        w->hide();
    ArrangePanes();
    // Watched only now: the children added above would reach eventFilter while the members it
    // reads (picSplit, txtEC...) were not set yet.
    m_client->installEventFilter(this);
}

frmElèves::~frmElèves() { delete m_destroyOnPaint; }

bool frmElèves::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // Posted from the paint, the deletion runs once the whole window is on screen.
    if (event->type() == QEvent::Paint && m_destroyOnPaint) {
        m_destroyOnPaint->deleteLater();
        m_destroyOnPaint = nullptr;
    }
    return handled;
}

// ---- opening and going back ------------------------------------------------------------------

bool frmElèves::Open(commands::MainSurface& main) {
    frmElèves& window = platform::Form<frmElèves>::get();
    try {
        window.load(main);
    } catch (const db::DbError&) {
        platform::Form<frmElèves>::unload();
        editing::readFailed(main.owner());
        return false;
    }
    QWidget& owner = *main.owner();
    window.setWindowTitle(owner.windowTitle());
    if (owner.isMaximized())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    else
        window.setGeometry(owner.geometry());
    window.show();
    // The main window keeps its widths and placement as it goes. Destroying it (its tab bar
    // alone holds hundreds of widgets) waits until this window has painted.
    owner.close();
    QCoreApplication::removePostedEvents(&owner, QEvent::DeferredDelete);
    window.m_destroyOnPaint = &owner;
    return true;
}

void frmElèves::load(commands::MainSurface& main) {
    m_subjects = averagestable::readSubjects(mUtilities::gDB);
    const QString widestStudent = FillTree();
    // The tree starts wide enough for its longest name, within half the window. The view
    // measures only the rows on show, and the students' nodes are made only as their class
    // opens: the widest student stands in for them all, under the first class, meanwhile.
    if (QTreeWidgetItem* first = treElv->topLevelItem(0)) {
        const QSignalBlocker quiet(treElv);
        std::unique_ptr<QTreeWidgetItem> stand;
        if (!widestStudent.isEmpty()) {
            stand = std::make_unique<QTreeWidgetItem>(QStringList{widestStudent});
            stand->setIcon(0, nodeIcon(3, 4));
            first->addChild(stand.get());
            first->setExpanded(true);
        }
        const QAbstractItemView& view = *treElv;  // where its measure is public
        const int names = view.sizeHintForColumn(0) + 2 * treElv->frameWidth()
                          + treElv->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, treElv);
        if (stand) {
            first->setExpanded(false);
            first->removeChild(stand.get());
        }
        picSplit->move(qBound(layoutX(kTreeWidth), names, qMax(layoutX(kTreeWidth), width() / 2)), 0);
        ArrangePanes();
    }
    studentgrid::build(*flxMoy, m_subjects);
    classgrid::build(*flxClass, m_subjects);

    mSavedSection = qint16(main.currentSection());
    mSavedItem = 0;
    if (mSavedSection > 0 && mSavedSection <= main.tabBar().SectionCount())
        mSavedItem = qint16(qMax(0, main.tabBar().SectionAt(mSavedSection).SelectedItem().Index()));
    if (QTreeWidgetItem* first = treElv->topLevelItem(0)) {
        first->setExpanded(true);
        treElv->setCurrentItem(first);
        showNode(first);
    }
}

QString frmElèves::FillTree() {
    const QList<averagestable::TreeClass> tree = averagestable::readTree(mUtilities::gDB);
    const QSignalBlocker quiet(treElv);
    const QIcon classIcon = nodeIcon(1, 2);
    const QFontMetrics fm = treElv->fontMetrics();
    QString widest;
    int widestWidth = 0;
    treElv->clear();
    for (const averagestable::TreeClass& c : tree) {
        auto* node = new QTreeWidgetItem(treElv, {c.entry.name});
        node->setData(0, Qt::UserRole, QStringLiteral("X%1").arg(c.entry.key));
        node->setIcon(0, classIcon);
        // Its students are read and added when it opens: a thousand nodes made for
        // classes that mostly stay closed would hold up the window's opening.
        if (!c.students.isEmpty()) node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        for (const QString& name : c.students)
            if (const int width = fm.horizontalAdvance(name); width > widestWidth) widest = name, widestWidth = width;
    }
    return widest;
}

void frmElèves::addStudents(QTreeWidgetItem* node) {
    if (!isClassNode(node) || node->childCount() > 0) return;
    QList<averagestable::Entry> students;
    try {
        students = averagestable::readStudents(mUtilities::gDB, recordKey(node));
    } catch (const db::DbError&) {
        readFailed();
        return;
    }
    const QIcon studentIcon = nodeIcon(3, 4);
    QList<QTreeWidgetItem*> children;
    for (const averagestable::Entry& s : students) {
        auto* child = new QTreeWidgetItem({s.name});
        child->setData(0, Qt::UserRole, QStringLiteral("Y%1").arg(s.key));
        child->setIcon(0, studentIcon);
        children.append(child);
    }
    node->addChildren(children);
}

void frmElèves::mnuGen_Click(int Index) {
    if (coefEditing()) {
        WarnCoefEditMode();
        return;
    }
    switch (Index) {
    case 0: {
        if (!leaveEtatCivil()) return;
        commands::MainSurface& main = commands::loadMain();
        QWidget& window = *main.owner();
        window.setWindowTitle(windowTitle());
        main.CreateSectionsAndItems();
        if (mSavedSection > 0 && mSavedSection <= main.tabBar().SectionCount())
            main.selectClassAndSubject(mSavedSection, mSavedItem);
        if (isMaximized()) {
            window.setWindowState(window.windowState() | Qt::WindowMaximized);
        } else {
            // This window's rectangle, not the placement the main window read at loading.
            window.setWindowState(window.windowState() & ~Qt::WindowMaximized);
            window.setGeometry(geometry());
        }
        window.show();
        platform::Form<frmElèves>::unload(*this);
        break;
    }
    case 1:
        if (!flxClass->isHidden())
            printing::printAveragesGrid(this, QStringLiteral("flxClass"), *flxClass, lblClass->text(),
                                        {chkChoix[1]->isChecked(), chkChoix[2]->isChecked(), chkChoix[3]->isChecked()});
        else if (!flxMoy->isHidden())
            printing::printAveragesGrid(this, QStringLiteral("flxMoy"), *flxMoy, lblElève->text());
        break;
    case 2:
        ExportToExcel();
        break;
    case 3: {
        SaveEtatCivil();
        frmOptions& options = platform::Form<frmOptions>::get();
        options.setTag(QStringLiteral("frmElèves"));
        connect(&options, &frmOptions::DecimalsChanged, this, [this] {
            flxClass->setTag(QString());
            ActualiseElèves(treElv->currentItem());
        });
        platform::showModal(options, this);  // it unloads itself when closed
        break;
    }
    default:
        break;
    }
}

void frmElèves::mnuAide_Click(int Index) {
    if (Index == 0)
        mShellExecute::RunShellExecute(platform::paths::helpFile(), QStringLiteral("open"), {}, {}, 10, nullptr, false);
    else if (Index == 1)
        platform::showModal(platform::Form<frmAbout>::get(), this);  // unloads itself
}

void frmElèves::tooBar_ButtonClick(int Button) {
    switch (Button) {
    case 1: mnuGen_Click(0); break;
    case 3: mnuGen_Click(1); break;
    case 5: mnuGen_Click(2); break;
    case 7: mnuGen_Click(3); break;
    case 9: mnuAide_Click(0); break;
    default: break;
    }
}

void frmElèves::WarnCoefEditMode() {
    messages::msgBox(this,
                     QStringLiteral("Vous êtes en mode d'Edition de coefficient.\nTerminez votre saisie avant de continuer.\n\n"
                                    "(Echap (ou ESC) pour l'annuler, Entrée (ou Return) pour la valider.)"),
                     3, 1);
}

void frmElèves::closeEvent(QCloseEvent* event) {
    if (coefEditing()) {
        WarnCoefEditMode();
        event->ignore();
        return;
    }
    // A text that could not be written keeps the window open, unless the teacher drops it.
    if (!leaveEtatCivil()) {
        event->ignore();
        return;
    }
    event->accept();
    // No window is left: as the last one closes, the program ends.
    if (platform::Form<frmElèves>::instance() == this) platform::Form<frmElèves>::unload();
}

// ---- tree and views --------------------------------------------------------------------------

void frmElèves::treElv_NodeClick(QTreeWidgetItem* Node, QTreeWidgetItem* previous) {
    if (Node && !showNode(Node)) keepNode(previous);
}

void frmElèves::keepNode(QTreeWidgetItem* node) {
    if (!node) return;
    const auto select = [this](QTreeWidgetItem* n) {
        const QSignalBlocker quiet(treElv);
        treElv->setCurrentItem(n);
    };
    select(node);
    // Once more after the event that moved it: a click selects the row it pressed after the
    // change of current row that it caused.
    QMetaObject::invokeMethod(
        this,
        [this, select, key = nodeKey(node)] {
            if (QTreeWidgetItem* n = nodeOf(key); n && treElv->currentItem() == n) select(n);
        },
        Qt::QueuedConnection);
}

QTreeWidgetItem* frmElèves::nodeOf(const QString& key) const {
    for (QTreeWidgetItemIterator it(treElv); *it; ++it)
        if (nodeKey(*it) == key) return *it;
    return nullptr;
}

void frmElèves::treElv_Collapse(QTreeWidgetItem* Node) {
    QTreeWidgetItem* current = treElv->currentItem();
    if (current && current->parent() == Node) {
        // A student hidden in the collapsed class gives the selection to the class, whose
        // change of node then shows it: no command acts on a student no longer in view.
        // His text, kept by the teacher, keeps him in view.
        if (leaveEtatCivil())
            treElv->setCurrentItem(Node);
        else
            Node->setExpanded(true);
    } else if (current == Node) {
        showNode(Node);
    }
}

void frmElèves::ActualiseElèves(QTreeWidgetItem* Node) {
    if (Node) showNode(Node);
}

bool frmElèves::showNode(QTreeWidgetItem* Node) {
    // The text on screen goes to its own student before anything else is shown.
    if (!leaveEtatCivil()) return false;
    if (isClassNode(Node)) {
        fraChoix[0]->hide();
        flxMoy->hide();
        txtEC->hide();
        lblElève->hide();
        fraChoix[1]->show();
        lblClass->show();
        ShowClassAverages(Node);
    } else {
        fraChoix[1]->hide();
        flxClass->hide();
        lblClass->hide();
        fraChoix[0]->show();
        lblElève->show();
        if (optChoix[0]->isChecked())
            ShowStudentAverages(Node);
        else
            ShowEtatCivil(Node);
    }
    return true;
}

void frmElèves::optChoix_Click(int Index) {
    QTreeWidgetItem* node = treElv->currentItem();
    if (!node || isClassNode(node)) return;
    if (Index == 0)
        ShowStudentAverages(node);
    else
        ShowEtatCivil(node);
}

void frmElèves::chkChoix_Click(int Index) {
    Q_UNUSED(Index);
    classgrid::applyWidths(*flxClass, {chkChoix[1]->isChecked(), chkChoix[2]->isChecked(), chkChoix[3]->isChecked()});
}

void frmElèves::ShowClassAverages(QTreeWidgetItem* Node) {
    flxClass->show();
    lblClass->setText(Node->text(0));
    m_class = recordKey(Node);
    if (classgrid::subjectCount(*flxClass) == 0) return;
    if (nodeKey(Node) == flxClass->Tag()) return;
    try {
        const averagestable::ClassData data = averagestable::readClass(mUtilities::gDB, m_class, m_subjects);
        const averages::ClassTable table = averages::classTable(data.marks, data.coefficients, mUtilities::gAverageFormat);
        classgrid::fill(*flxClass, data, table,
                        {chkChoix[1]->isChecked(), chkChoix[2]->isChecked(), chkChoix[3]->isChecked()});
        flxClass->setTag(nodeKey(Node));
    } catch (const db::DbError&) {
        flxClass->setTag(QString());
        flxClass->hide();
        readFailed();
    }
}

void frmElèves::ShowStudentAverages(QTreeWidgetItem* Node) {
    if (!leaveEtatCivil()) {
        optChoix[1]->setChecked(true);  // the text is still what is shown
        return;
    }
    txtEC->hide();
    flxMoy->show();
    lblElève->setText(Node->text(0));
    m_student = recordKey(Node);
    m_class = recordKey(Node->parent());
    if (flxMoy->Rows() == 2) return;
    try {
        studentgrid::fill(*flxMoy, averagestable::readClass(mUtilities::gDB, m_class, m_subjects, m_student),
                          mUtilities::gAverageFormat);
    } catch (const db::DbError&) {
        flxMoy->hide();
        readFailed();
    }
}

void frmElèves::ShowEtatCivil(QTreeWidgetItem* Node) {
    if (!leaveEtatCivil()) return;
    flxMoy->hide();
    txtEC->show();
    lblElève->setText(Node->text(0));
    const qint32 student = recordKey(Node);
    QString text;
    try {
        text = averagestable::readCivilStatus(mUtilities::gDB, student);
    } catch (const db::DbError&) {
        txtEC->hide();
        m_civilStatusOf.reset();
        readFailed();
        return;
    }
    txtEC->setPlainText(text);
    m_civilStatusOf = student;
    mEtatCivilChanged = false;
}

std::optional<db::DbError> frmElèves::writeEtatCivil() {
    if (!mEtatCivilChanged || !m_civilStatusOf) return std::nullopt;
    try {
        averagestable::saveCivilStatus(mUtilities::gDB, *m_civilStatusOf, txtEC->toPlainText());
    } catch (const db::DbError& e) {
        // The text stays in the box, still marked as changed: the next leave tries again.
        return e;
    }
    mEtatCivilChanged = false;
    return std::nullopt;
}

bool frmElèves::SaveEtatCivil() {
    m_lostFocusFailure.reset();
    const std::optional<db::DbError> failure = writeEtatCivil();
    if (failure) writeFailed(*failure);
    return !failure;
}

bool frmElèves::leaveEtatCivil() {
    m_lostFocusFailure.reset();  // this question tells it
    const std::optional<db::DbError> failure = writeEtatCivil();
    if (!failure) return true;
    const QString answer = messages::msgBox(
        this,
        storeerrors::writeMessage(*failure)
            + QStringLiteral("\n\nAbandonner l'état civil saisi pour %1 ?\n(Non : il reste affiché.)").arg(lblElève->text()),
        2, 3, {}, 2);
    if (answer != u"1") return false;
    mEtatCivilChanged = false;
    return true;
}

void frmElèves::txtEC_LostFocus() {
    m_lostFocusFailure = writeEtatCivil();
    if (!m_lostFocusFailure) return;
    // Told once the event that moved the focus is over: a click on another node or view
    // leaves the text right after, and the question it then asks says it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (const std::optional<db::DbError> failure = std::exchange(m_lostFocusFailure, std::nullopt))
                writeFailed(*failure);
        },
        Qt::QueuedConnection);
}

// A damaged file fails at every class and student browsed, until the check of the whole
// file has spoken: once told, the teacher is not told again by this window, whose panes stay
// empty where they could not be read.
void frmElèves::readFailed() {
    if (m_readFailureTold) return;
    m_readFailureTold = true;
    editing::readFailed(this);
}

// Unlike a read, a write is what the teacher typed: each one that fails is told.
void frmElèves::writeFailed(const db::DbError& error) {
    platform::criticalMessage(this, platform::version::productName(), storeerrors::writeMessage(error));
}

void frmElèves::ExportToExcel() {
    if (!flxClass->isHidden()) {
        const mExcelExport::Cells cells = classgrid::visibleCells(*flxClass);
        mExcelExport::ExportToExcel(cells, lblClass->text(), this, mExcelExport::GridSpans(*flxClass, cells));
    } else if (!flxMoy->isHidden()) {
        mExcelExport::ExportToExcel(*flxMoy, lblElève->text(), this);
    }
}

// ---- coefficient editing ---------------------------------------------------------------------

bool frmElèves::coefEditing() const { return !txtCoef->isHidden() || !txtCoefClass->isHidden(); }

bool frmElèves::editableCell(bool cls) const {
    const FlexGrid& grid = cls ? *flxClass : *flxMoy;
    if (grid.Rows() <= grid.FixedRows() || grid.Cols() <= grid.FixedCols()) return false;
    return cls ? grid.CellBackColor() == grid.BackColor() : grid.CellBackColor() != grid.BackColorFixed();
}

void frmElèves::openCoefEditor(bool cls, const QString& text, bool changed) {
    QLineEdit* editor = cls ? txtCoefClass : txtCoef;
    editor->setText(text);
    editor->setCursorPosition(int(text.size()));
    mCoefChanged = changed;  // after the text, whose change sets it
    if (cls)
        StartCoefClassEdit();
    else
        StartCoefEdit();
}

void frmElèves::grid_DblClick(bool cls) {
    if (editableCell(cls)) openCoefEditor(cls, (cls ? flxClass : flxMoy)->Text(), false);
}

void frmElèves::grid_KeyPress(bool cls, int& KeyAscii) {
    if (!editableCell(cls)) return;
    if (KeyAscii >= '0' && KeyAscii <= '9')
        openCoefEditor(cls, QString(QChar(KeyAscii)), true);
    else if (KeyAscii == ',' || KeyAscii == '.')
        openCoefEditor(cls, QStringLiteral("0,"), true);
    else if (KeyAscii == platform::key::Return)
        openCoefEditor(cls, (cls ? flxClass : flxMoy)->Text(), false);
    else
        return;
    KeyAscii = 0;
}

void frmElèves::grid_Commit(bool cls) {
    if (cls ? !txtCoefClass->isHidden() : !txtCoef->isHidden()) {
        if (cls)
            EndCoefClassEdit();
        else
            EndCoefEdit();
    }
}

void frmElèves::StartCoefEdit() { startCoefEditing(false); }

void frmElèves::StartCoefClassEdit() { startCoefEditing(true); }

void frmElèves::startCoefEditing(bool cls) {
    setStatusText(QStringLiteral("Edition de coefficient"));
    tooBar->setEnabled(false);
    treElv->setEnabled(false);
    fraChoix[cls ? 1 : 0]->setEnabled(false);
    windowparts::showOverCell(cls ? *txtCoefClass : *txtCoef, cls ? *flxClass : *flxMoy);
}

void frmElèves::endCoefEditing(bool cls) {
    tooBar->setEnabled(true);
    treElv->setEnabled(true);
    fraChoix[cls ? 1 : 0]->setEnabled(true);
    setStatusText(QString());
}

std::optional<int> frmElèves::typedCoefficient(QLineEdit& editor) {
    QString text = editor.text();
    if (text.startsWith(u',')) text.prepend(u'0');
    if (text.endsWith(u',')) text.chop(1);
    const QStringList refused = averagestable::coefficientRefusals(text);
    if (!refused.isEmpty()) {
        messages::messageList(this, averagestable::coefficientHeading(), refused, pictures::imaTre(5));
        return std::nullopt;
    }
    return averagestable::parseCoefficient(text);
}

void frmElèves::EndCoefEdit() {
    // Out of edit mode first: the focus that hiding moves, and the message list, must find
    // the window out of it.
    txtCoef->hide();
    endCoefEditing(false);
    if (mCoefChanged) {
        if (const std::optional<int> coefficient = typedCoefficient(*txtCoef)) {
            // Every subject row of the selection, when it takes in the coefficient column.
            QList<qint32> subjects;
            QList<int> rows;
            const int subjectRows = flxMoy->Rows() - 3;
            if (qMin(flxMoy->Col(), flxMoy->ColSel()) <= studentgrid::kCoefficientCol
                && qMax(flxMoy->Col(), flxMoy->ColSel()) >= studentgrid::kCoefficientCol)
                for (int r = qMax(1, qMin(flxMoy->Row(), flxMoy->RowSel()));
                     r <= qMin(subjectRows, qMax(flxMoy->Row(), flxMoy->RowSel())); ++r) {
                    subjects.append(flxMoy->RowData(r));
                    rows.append(r);
                }
            try {
                averagestable::writeCoefficient(mUtilities::gDB, m_class, subjects, *coefficient);
                for (int r : rows) flxMoy->setTextMatrix(r, studentgrid::kCoefficientCol, QString::number(*coefficient));
                studentgrid::ComputeStudentMeanRow(*flxMoy, mUtilities::gAverageFormat);
                flxClass->setTag(QString());
            } catch (const db::DbError& e) {
                writeFailed(e);
            }
        }
    }
}

void frmElèves::EndCoefClassEdit() {
    txtCoefClass->hide();
    endCoefEditing(true);
    if (mCoefChanged) {
        if (const std::optional<int> coefficient = typedCoefficient(*txtCoefClass)) {
            try {
                averagestable::writeCoefficient(mUtilities::gDB, m_class, {flxClass->ColData(flxClass->Col())}, *coefficient);
                flxClass->setText(QString::number(*coefficient));
                classgrid::ComputeClassGeneralAverages(*flxClass, mUtilities::gAverageFormat);
            } catch (const db::DbError& e) {
                writeFailed(e);
            }
        }
    }
}

void frmElèves::coef_KeyDown(bool cls, int& KeyCode) {
    FlexGrid& grid = cls ? *flxClass : *flxMoy;
    switch (KeyCode) {
    case platform::key::Return:
        grid_Commit(cls);
        break;
    case platform::key::Escape:
        (cls ? txtCoefClass : txtCoef)->hide();
        endCoefEditing(cls);
        break;
    case platform::key::Up:
    case platform::key::Down:
        grid_Commit(cls);
        // In the class grid the cell stays: the coefficients lie in one row.
        if (!cls) {
            if (KeyCode == platform::key::Up && grid.Row() > grid.FixedRows())
                grid.setRow(grid.Row() - 1);
            else if (KeyCode == platform::key::Down && grid.Row() < grid.Rows() - 1)
                grid.setRow(grid.Row() + 1);
            grid.CellTop();  // brings the new cell into view
        }
        break;
    default:
        return;
    }
    grid.SetFocus();
    KeyCode = 0;
}

QString frmElèves::StatusText() const { return m_statusText->text(); }

void frmElèves::setStatusText(const QString& text) { m_statusText->setText(text); }

// ---- layout ----------------------------------------------------------------------------------

void frmElèves::ArrangePanes() {
    const int width = m_client->width(), height = m_client->height();
    const int split = picSplit->x();
    treElv->setGeometry(0, 0, split, height);
    picSplit->setGeometry(split, 0, kSplitWidth, height);
    const int left = split + kSplitWidth, right = qMax(0, width - left);
    const int headingHeight = qMax(kHeadingHeight, lblClass->sizeHint().height());
    for (QGroupBox* frame : fraChoix) frame->setGeometry(left, 0, right, kFrameHeight);
    for (QLabel* label : {lblClass, lblElève}) label->setGeometry(left, kFrameHeight, right, headingHeight);
    const QRect pane(left, kFrameHeight + headingHeight, right, qMax(0, height - kFrameHeight - headingHeight));
    for (QWidget* w : {static_cast<QWidget*>(flxMoy), static_cast<QWidget*>(flxClass), static_cast<QWidget*>(txtEC)})
        w->setGeometry(pane);
}

bool frmElèves::eventFilter(QObject* watched, QEvent* event) {
    if (windowparts::splitterEvent(mSplitter, *m_client, *picSplit, watched, event, [this] { ArrangePanes(); }))
        return true;
    if (watched == txtEC && event->type() == QEvent::FocusOut) {
        // A modal window of this program takes it after its caller dealt with the text.
        if (!QApplication::activeModalWidget()) txtEC_LostFocus();
    } else if ((watched == txtCoef || watched == txtCoefClass) && event->type() == QEvent::KeyPress) {
        const bool cls = watched == txtCoefClass;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (int code = platform::keyCode(*key)) {
            coef_KeyDown(cls, code);
            if (code == 0) return true;
        }
        return numberkeys::TypeFiltered(cls ? *txtCoefClass : *txtCoef, *key);
    }
    return QMainWindow::eventFilter(watched, event);
}
