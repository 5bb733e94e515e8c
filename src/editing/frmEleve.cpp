#include "frmEleve.h"

#include "EditingMessages.h"
#include "StudentEdit.h"
#include "controls/vskTab.h"
#include "gradebook/Messages.h"
#include "mainwindow/Commands.h"
#include "mainwindow/WindowParts.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/OleColor.h"
#include "platform/Twips.h"
#include "platform/VbKeys.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using platform::twipsRect;
using platform::layoutX;
using platform::layoutY;
namespace key = platform::key;

namespace {

// Client sizes in twips: the window frame around them takes the rest of the heights that
// the dialog is designed with (2430 and 7710).
constexpr int kWidth = 4785;
constexpr int kFrame = 400;
constexpr int kPageHeight[3] = {0, 2430 - kFrame, 7710 - kFrame};
constexpr int kButtonsTop[3] = {0, 1500, 6840};
constexpr int kGridWidth = 4545;  // two 2000-twip columns beside a scroll bar
constexpr int kColumnWidth = 2000;  // at least

const QString kIdleHelp = QStringLiteral(
    "Pour créer un nouvel élève: sélectionnez la dernière ligne (vierge), puis tapez 'Entrée' ou commencez votre saisie.\n"
    "Pour modifier un élève: sélectionnez l'élève, puis tapez 'Entrée' ou commencez votre saisie.\n"
    "Pour supprimer un élève: sélectionnez l'élève, puis tapez Del (Suppr).");
const QString kEditHelp = QStringLiteral(
    "Saisissez un nom et un prénom.\n"
    "Passez de nom à prénom par Tab, et de prénom à nom par Shift-Tab.\n"
    "Tapez 'Entrée' pour valider, 'ESC' pour annuler.");

QLineEdit* overlayBox(const char* name, QWidget* parent, QObject* filter) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setMaxLength(50);
    box->setFrame(false);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, platform::oleColor(platform::sys::ButtonFace));
    palette.setColor(QPalette::Text, platform::oleColor(platform::sys::ButtonText));
    box->setPalette(palette);
    box->hide();
    box->installEventFilter(filter);
    return box;
}

}  // namespace

frmElève::frmElève() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmElève"));
    setWindowTitle(QStringLiteral("Modifier une liste d'élèves"));

    m_chooserLabel = new QLabel(
        QStringLiteral("Choisissez la classe dont vous voulez modifier la liste d'élèves dans la liste ci-dessous:"), this);
    m_chooserLabel->setWordWrap(true);
    m_chooserLabel->setGeometry(twipsRect(120, 120, 4545, 600));
    cboClasse = new QComboBox(this);
    cboClasse->setObjectName(QStringLiteral("cboClasse"));
    cboClasse->setGeometry(twipsRect(120, 780, 4545, 330));

    auto* help = new QLabel(kIdleHelp, this);
    help->setObjectName(QStringLiteral("lblAide"));
    help->setWordWrap(true);
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = help->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    help->setFont(small);
    help->setGeometry(twipsRect(120, 60, 4545, 1380));
    lblEti = {m_chooserLabel, help};

    flxElèves = new platform::FlexGrid(this);
    flxElèves->setObjectName(QStringLiteral("flxElèves"));
    flxElèves->setGeometry(twipsRect(120, 1500, kGridWidth, 5175));
    txtNom = overlayBox("txtNom", flxElèves, this);
    txtPrénom = overlayBox("txtPrénom", flxElèves, this);
    connect(flxElèves, &platform::FlexGrid::DblClick, this, [this] { StartStudentEdit(); });
    connect(flxElèves, &platform::FlexGrid::KeyPress, this, &frmElève::flxElèves_KeyPress);
    connect(flxElèves, &platform::FlexGrid::KeyDown, this, &frmElève::flxElèves_KeyDown);
    connect(flxElèves, &platform::FlexGrid::GotFocus, this, [this] {
        if (editing()) EndStudentEdit();
    });
    connect(flxElèves, &platform::FlexGrid::LeaveCell, this, [this] {
        if (editing()) EndStudentEdit();
    });
    // The boxes stay where they were put: scrolling the grid under them takes the names
    // as typed, as leaving the row does.
    for (QScrollBar* bar : {flxElèves->verticalScrollBar(), flxElèves->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (!editing()) return;
            EndStudentEdit();
            flxElèves->SetFocus();
        });

    cmdAction = {new QPushButton(QStringLiteral("Suivant >"), this), new QPushButton(QStringLiteral("Annuler"), this)};
    for (int i = 0; i < cmdAction.size(); ++i) {
        cmdAction[i]->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        // No button takes Enter on its own: on the list, Enter belongs to the grid.
        cmdAction[i]->setAutoDefault(false);
        connect(cmdAction[i], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
    showPage(1);
}

void frmElève::ShowList(const db::Database& database, db::Recordset& notes, commands::MainSurface& main) {
    frmElève& dialog = platform::Form<frmElève>::get();
    dialog.prepare(database, notes, main);
    if (dialog.PopulateClasse()) platform::showModal(dialog, main.owner());
    platform::Form<frmElève>::unload();
}

void frmElève::prepare(const db::Database& database, db::Recordset& notes, commands::MainSurface& main) {
    m_db = database;
    m_notes = &notes;
    m_main = &main;
    mListChanged = false;
}

bool frmElève::PopulateClasse() {
    const ::vskTab& bar = m_main->tabBar();
    if (bar.SectionCount() == 0) {
        commands::nothingTo(m_main->owner(), QStringLiteral("Ce carnet de notes ne contient pas encore de classes."),
                            QStringLiteral("Créez une ou plusieurs classes (menu Créer/Nouvelle classe)."));
        return false;
    }
    cboClasse->clear();
    for (int i = 1; i <= bar.SectionCount(); ++i) cboClasse->addItem(bar.SectionAt(i).Key(), bar.SectionAt(i).Tag().toInt());
    const cTabSection active = bar.ActiveSection();
    cboClasse->setCurrentIndex(active.isNull() ? 0 : active.Index() - 1);
    return true;
}

qint32 frmElève::numClass() const { return cboClasse->currentData().toInt(); }

void frmElève::showPage(int page) {
    m_page = page;
    const bool list = page == 2;
    m_chooserLabel->setVisible(!list);
    cboClasse->setVisible(!list);
    lblEti[1]->setVisible(list);
    flxElèves->setVisible(list);
    cmdAction[0]->setText(list ? QStringLiteral("< Précédent") : QStringLiteral("Suivant >"));
    cmdAction[1]->setText(list ? QStringLiteral("Terminer") : QStringLiteral("Annuler"));
    // Enter on the choice of class goes on; on the list it belongs to the grid.
    cmdAction[0]->setDefault(!list);
    for (int i = 0; i < 2; ++i) cmdAction[i]->setGeometry(twipsRect(1560 + i * 1560, kButtonsTop[page], 1455, 375));
    setFixedSize(twipsRect(0, 0, kWidth, kPageHeight[page]).size());
    // Each page is centred vertically on the screen; the left side stays where it is. The
    // first page is first shown where a dialog goes, over its owner.
    if (const QScreen* screen = this->screen(); screen && isVisible())
        move(x(), screen->availableGeometry().top() + (screen->availableGeometry().height() - frameGeometry().height()) / 2);
    if (list)
        flxElèves->SetFocus();
    else
        cboClasse->setFocus();
}

void frmElève::nextPage() {
    QList<studentedit::Student> students;
    try {
        students = studentedit::students(m_db, numClass());
    } catch (const db::DbError&) {
        editing::readFailed(this);
        return;
    }
    flxElèves->Clear();
    flxElèves->setFixedRows(0);
    flxElèves->setCols(2);
    flxElèves->setRows(1);
    flxElèves->setTextMatrix(0, 0, QStringLiteral("Nom"));
    flxElèves->setTextMatrix(0, 1, QStringLiteral("Prénom"));
    for (const studentedit::Student& s : students) {
        flxElèves->AddItem(s.name);
        const int row = flxElèves->Rows() - 1;
        flxElèves->setTextMatrix(row, 1, s.firstName);
        flxElèves->setRowData(row, s.key);
    }
    flxElèves->AddItem(QString());
    fitColumns();
    flxElèves->setFixedRows(1);
    flxElèves->setRow(1);
    flxElèves->setCol(0);
    showPage(2);
}

void frmElève::cmdAction_Click(int Index) {
    if (Index == 1) {
        reject();
    } else if (m_page == 1) {
        nextPage();
    } else {
        showPage(1);
    }
}

// ---- editing in the grid ----------------------------------------------------------------------

bool frmElève::editing() const { return !txtNom->isHidden(); }

void frmElève::flxElèves_KeyPress(int& KeyAscii) {
    if (editing()) return;
    if (KeyAscii == key::Return) {
        StartStudentEdit();
    } else if (QChar(KeyAscii).isLetter()) {  // É, Ç... start a name as well as A to z
        openEditor(QString(QChar(KeyAscii)), QString());
    } else {
        return;
    }
    KeyAscii = 0;
}

void frmElève::flxElèves_KeyDown(int& KeyCode, int Shift) {
    Q_UNUSED(Shift);
    if (KeyCode != key::Delete || editing()) return;
    KeyCode = 0;
    deleteStudent();
}

void frmElève::StartStudentEdit() {
    const int row = flxElèves->Row();
    openEditor(flxElèves->TextMatrix(row, 0), flxElèves->TextMatrix(row, 1));
}

void frmElève::openEditor(const QString& name, const QString& firstName) {
    if (flxElèves->Row() < flxElèves->FixedRows()) return;
    txtNom->setText(name);
    txtPrénom->setText(firstName);
    for (QPushButton* b : cmdAction) b->setEnabled(false);
    lblEti[1]->setText(kEditHelp);
    // The boxes cover the row's two cells; the first column's left edge is found from the
    // current cell's, whichever column that is.
    const int top = layoutY(flxElèves->CellTop());
    const int height = layoutY(flxElèves->CellHeight());
    int left = layoutX(flxElèves->CellLeft());
    for (int c = 0; c < flxElèves->Col(); ++c) left -= layoutX(flxElèves->ColWidth(c));
    const int width0 = layoutX(flxElèves->ColWidth(0));
    txtNom->setGeometry(left, top, width0, height);
    txtPrénom->setGeometry(left + width0, top, layoutX(flxElèves->ColWidth(1)), height);
    txtNom->show();
    txtPrénom->show();
    txtNom->setFocus(Qt::OtherFocusReason);
    txtNom->end(false);
}

void frmElève::idle() {
    txtNom->hide();
    txtPrénom->hide();
    for (QPushButton* b : cmdAction) b->setEnabled(true);
    lblEti[1]->setText(kIdleHelp);
}

void frmElève::CancelStudentEdit() {
    idle();
    flxElèves->SetFocus();
}

void frmElève::EndStudentEdit() {
    const QString name = studentedit::CapitalizeName(txtNom->text());
    const QString firstName = studentedit::CapitalizeName(txtPrénom->text());
    txtNom->setText(name);
    txtPrénom->setText(firstName);
    // Out of edit mode first: the message lists below move the focus, which must not find
    // the edit still open.
    idle();
    const QString heading = editing::refusedHeading() + QStringLiteral("\nElles ont été annulées.");
    if (const QStringList lines = studentedit::refusals(name, firstName); !lines.isEmpty()) {
        editing::showList(this, heading, lines);
        return;
    }
    const int row = flxElèves->Row();
    const bool added = row == flxElèves->Rows() - 1;
    studentedit::Student stored;
    try {
        stored = added ? studentedit::add(m_db, numClass(), name, firstName)
                       : studentedit::update(m_db, flxElèves->RowData(row), name, firstName);
    } catch (const db::DbError& e) {
        if (editing::nameTaken(e))
            editing::showList(this, heading, {studentedit::duplicate(name, firstName)});
        else
            editing::writeFailed(this);
        return;
    }
    flxElèves->setTextMatrix(row, 0, stored.name);
    flxElèves->setTextMatrix(row, 1, stored.firstName);
    flxElèves->setRowData(row, stored.key);
    if (added) flxElèves->AddItem(QString());
    fitColumns();
    mListChanged = true;
}

void frmElève::fitColumns() {
    for (int c = 0; c < 2; ++c) flxElèves->setColWidth(c, windowparts::namesWidth(*flxElèves, c, kColumnWidth));
}

void frmElève::boxKeyDown(int& KeyCode, int Shift) {
    switch (KeyCode) {
    case key::Return:
        EndStudentEdit();
        flxElèves->SetFocus();
        break;
    case key::Escape:
        CancelStudentEdit();
        break;
    case key::Up:
    case key::Down: {
        // The commit lands on the row the boxes were opened on, then the row moves.
        EndStudentEdit();
        const int row = flxElèves->Row();
        if (KeyCode == key::Up && row > flxElèves->FixedRows())
            flxElèves->setRow(row - 1);
        else if (KeyCode == key::Down && row < flxElèves->Rows() - 1)
            flxElèves->setRow(row + 1);
        flxElèves->CellTop();  // brings the new row into view
        flxElèves->SetFocus();
        break;
    }
    case key::Tab:
        // Tab and Shift+Tab go from one box to the other and nowhere else.
        (txtNom->hasFocus() ? txtPrénom : txtNom)->setFocus(Qt::TabFocusReason);
        Q_UNUSED(Shift);
        break;
    default:
        return;
    }
    KeyCode = 0;
}

void frmElève::deleteStudent() {
    const int row = flxElèves->Row();
    if (row < flxElèves->FixedRows() || row >= flxElèves->Rows() - 1) return;
    const QString answer = messages::msgBox(
        this,
        QStringLiteral("La suppression de cet élève entraînera la suppression de toutes ses notes.\n"
                       "Etes-vous sûr de vouloir supprimer définitivement ")
            + flxElèves->TextMatrix(row, 0) + u' ' + flxElèves->TextMatrix(row, 1) + QStringLiteral(" ?"),
        4, 3, QStringLiteral("Suppression d'un élève"), 2);
    if (answer != u"1") return;
    try {
        studentedit::remove(m_db, *m_notes, flxElèves->RowData(row));
    } catch (const db::DbError&) {
        editing::writeFailed(this);
        return;
    }
    flxElèves->RemoveItem(row);
    mListChanged = true;
}

// ---- closing ------------------------------------------------------------------------------------

void frmElève::RefreshMainIfChanged() {
    if (mListChanged && m_main && m_main->currentSection() >= 1) m_main->ShowItem();
    mListChanged = false;
}

// Every way out (its button, Esc, the close box through QDialog::closeEvent) comes here.
// It must end in QDialog::reject: a close() from here is refused as re-entrant, and the
// window would never go.
void frmElève::reject() {
    // The main grid must not keep a student who was deleted. An edit still open is dropped.
    idle();
    RefreshMainIfChanged();
    QDialog::reject();
}

bool frmElève::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == txtNom || watched == txtPrénom) && event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        int code = platform::keyCode(*keyEvent);
        if (keyEvent->key() == Qt::Key_Backtab) code = key::Tab;
        if (code != 0) {
            boxKeyDown(code, platform::shiftState(keyEvent->modifiers()));
            if (code == 0) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
