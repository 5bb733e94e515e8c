#include "frmSerie.h"

#include "EditSupport.h"
#include "controls/Calendar.h"
#include "controls/NumberKeys.h"
#include "controls/mOffice2000.h"
#include "controls/vskCompteur.h"
#include "gradebook/Messages.h"
#include "mainwindow/Commands.h"
#include "mainwindow/Pictures.h"
#include "platform/Dates.h"
#include "platform/FormInstance.h"
#include "platform/Twips.h"
#include "platform/VbKeys.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

using platform::layoutX;
using platform::layoutY;
namespace dates = platform::dates;

// Outer heights of the two pages and the top of their buttons, in twips. The heights
// count the caption and the borders (about 450 twips) that the window system adds here.
constexpr int kWidth = 4815;
constexpr int kFrame = 450;
constexpr int kHeight[2] = {3855, 5865};
constexpr int kButtonTop[2] = {2880, 4920};
constexpr int kMargin = 120;
constexpr int kButtonWidth = 1215, kButtonHeight = 375, kButtonGap = 120;

const QString kNext = QStringLiteral("Suivant >");
const QString kOk = QStringLiteral("OK");
const QString kCancel = QStringLiteral("Annuler");
const QString kDone = QStringLiteral("Terminer");

QLabel* label(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLineEdit* box(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QLineEdit(text, parent);
    b->setObjectName(name);
    mOffice2000::SetEdgeStyle(b, true);
    return b;
}

// A small calendar page: a red band over a grid of days.
QPixmap calendarPicture() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(200, 40, 40));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 12; x += 3) p.fillRect(x, y, 2, 1, QColor(64, 64, 64));
    return pm;
}

QComboBox* list(const QString& name, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(false);
    return c;
}

}  // namespace

QString frmSérie::ModifyCaption() { return QStringLiteral("Modifier une série de notes"); }
QString frmSérie::CreateCaption() { return QStringLiteral("Créer une série de notes"); }
bool frmSérie::modifyMode() const { return windowTitle() == ModifyCaption(); }

frmSérie::frmSérie() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmSérie"));
    setWindowTitle(QStringLiteral("Série de notes"));

    const int inner = layoutX(kWidth - 2 * kMargin);
    lblEti.resize(9);
    fraMat.resize(3);

    // Page 1: the class and the subject.
    fraPage1 = new QWidget(this);
    fraPage1->setObjectName(QStringLiteral("fraPage1"));
    auto* page1 = new QVBoxLayout(fraPage1);
    page1->setContentsMargins(0, 0, 0, 0);
    const auto chooser = [&](int frame, int eti, const QString& text, QComboBox*& combo, const QString& name,
                             QWidget* page, QVBoxLayout* layout) {
        fraMat[frame] = new QWidget(page);
        fraMat[frame]->setObjectName(QStringLiteral("fraMat%1").arg(frame));
        auto* l = new QVBoxLayout(fraMat[frame]);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(3);
        lblEti[eti] = label(text, fraMat[frame]);
        combo = list(name, fraMat[frame]);
        l->addWidget(lblEti[eti]);
        l->addWidget(combo);
        layout->addWidget(fraMat[frame]);
    };
    chooser(1, 0, QStringLiteral("Choisissez la classe pour laquelle vous voulez modifier une série de notes:"), cboClasse,
            QStringLiteral("cboClasse"), fraPage1, page1);
    page1->addSpacing(10);
    chooser(0, 1, QStringLiteral("Choisissez la matière pour laquelle vous voulez modifier une série de notes:"), cboMat,
            QStringLiteral("cboMat"), fraPage1, page1);
    page1->addStretch();

    // Page 2: the series (modify mode) or the text of the creation, then the properties.
    fraPage2 = new QWidget(this);
    fraPage2->setObjectName(QStringLiteral("fraPage2"));
    auto* page2 = new QVBoxLayout(fraPage2);
    page2->setContentsMargins(0, 0, 0, 0);
    page2->setSpacing(6);
    chooser(2, 2, QStringLiteral("Choisissez la série de notes que vous souhaitez modifier:"), cboSérie,
            QStringLiteral("cboSérie"), fraPage2, page2);
    lblEti[8] = label(QStringLiteral("Définissez toutes les propriétés de la nouvelle série de notes. Choisissez ensuite le "
                                     "bouton 'OK'. Choisissez 'Terminer' lorsque vous avez créé le nombre de séries désiré."),
                      fraPage2);
    QFont bold = lblEti[8]->font();
    bold.setBold(true);
    lblEti[8]->setFont(bold);
    lblEti[8]->hide();
    page2->addWidget(lblEti[8]);

    fraPropriétés = new QGroupBox(QStringLiteral("Propriétés de la série de notes:"), fraPage2);
    fraPropriétés->setObjectName(QStringLiteral("fraPropriétés"));
    page2->addWidget(fraPropriétés);
    page2->addStretch();
    auto* props = new QGridLayout(fraPropriétés);
    props->setContentsMargins(6, 4, 6, 6);
    props->setVerticalSpacing(3);
    lblEti[3] = label(QStringLiteral("Nom descriptif de la série de notes (exemple: DS ou DM etc...):"), fraPropriétés);
    txtNom = box(QStringLiteral("txtNom"), QString(), fraPropriétés);
    txtNom->setMaxLength(30);
    lblEti[4] = label(QStringLiteral("Notes sur (en général 20):"), fraPropriétés);
    TxtSur = box(QStringLiteral("TxtSur"), QStringLiteral("20"), fraPropriétés);
    lblEti[5] = label(QStringLiteral("Coefficient (1 par défaut):"), fraPropriétés);
    txtCoefficient = box(QStringLiteral("txtCoefficient"), QStringLiteral("1"), fraPropriétés);
    lblEti[6] = label(QStringLiteral("Date (utilisée pour ordonner les séries à l'intérieur d'une même période):"),
                      fraPropriétés);
    txtDate = box(QStringLiteral("txtDate"), QString(), fraPropriétés);
    imaDate = new QLabel(fraPropriétés);
    imaDate->setObjectName(QStringLiteral("imaDate"));
    imaDate->setPixmap(calendarPicture());
    imaDate->setCursor(Qt::PointingHandCursor);
    imaDate->setToolTip(QStringLiteral("Calendrier (Alt+Bas)"));
    lblEti[7] = label(QStringLiteral("Période (1 à 3):"), fraPropriétés);
    vskPériode = new vskCompteur(fraPropriétés);
    vskPériode->setObjectName(QStringLiteral("vskPériode"));
    vskPériode->setMax(3);
    vskPériode->setMin(1);
    vskPériode->setValue(1);

    const int small = layoutX(855);
    for (QWidget* w : {static_cast<QWidget*>(TxtSur), static_cast<QWidget*>(txtCoefficient),
                       static_cast<QWidget*>(vskPériode)})
        w->setFixedWidth(small);
    txtDate->setFixedWidth(layoutX(1455));
    auto* dateRow = new QHBoxLayout;
    dateRow->setSpacing(4);
    dateRow->addWidget(txtDate);
    dateRow->addWidget(imaDate);
    dateRow->addStretch();
    props->addWidget(lblEti[3], 0, 0, 1, 2);
    props->addWidget(txtNom, 1, 0, 1, 2);
    props->addWidget(lblEti[4], 2, 0);
    props->addWidget(TxtSur, 2, 1);
    props->addWidget(lblEti[5], 3, 0);
    props->addWidget(txtCoefficient, 3, 1);
    props->addWidget(lblEti[6], 4, 0, 1, 2);
    props->addLayout(dateRow, 5, 0, 1, 2);
    props->addWidget(lblEti[7], 6, 0);
    props->addWidget(vskPériode, 6, 1);
    props->setColumnStretch(0, 1);

    for (int i = 0; i < 9; ++i)
        if (lblEti[i]) lblEti[i]->setObjectName(QStringLiteral("lblEti%1").arg(i));

    // A drop-down of its own, so that it may reach past the dialog's edges rather than cover
    // the form; a click elsewhere closes it and only it.
    Calendrier = new Calendar(this);
    Calendrier->setWindowFlags(Qt::Popup);
    Calendrier->setAttribute(Qt::WA_NoMouseReplay);
    Calendrier->setObjectName(QStringLiteral("Calendrier"));
    Calendrier->setBorderStyle(1);
    Calendrier->hide();

    const QStringList captions{kNext, kCancel, QStringLiteral("< Précédent")};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(captions[i], this);
        b->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        b->resize(platform::twipsSize(kButtonWidth, kButtonHeight));
        connect(b, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        cmdAction.append(b);
    }
    cmdAction[0]->setDefault(true);
    cmdAction[2]->hide();

    fraPage1->setGeometry(layoutX(kMargin), layoutY(kMargin), inner, layoutY(kButtonTop[0] - 2 * kMargin));
    fraPage2->setGeometry(layoutX(kMargin), layoutY(kMargin), inner, layoutY(kButtonTop[1] - 2 * kMargin));
    showPage(1);

    for (QLineEdit* b : {txtNom, TxtSur, txtCoefficient, txtDate})
        connect(b, &QLineEdit::textChanged, this, [this] { cmdAction[1]->setText(kCancel); });
    connect(vskPériode, &vskCompteur::Change, this, [this] { cmdAction[1]->setText(kCancel); });
    connect(cboSérie, &QComboBox::currentIndexChanged, this, &frmSérie::cboSérie_Click);
    connect(Calendrier, &Calendar::DateClick, this, [this] { calendarDone(true); });
    connect(Calendrier, &Calendar::KeyDown, this, [this](int code, int) {
        if (code == platform::key::Return) calendarDone(true);
        else if (code == platform::key::Escape) calendarDone(false);
    });
    for (QObject* o : {static_cast<QObject*>(TxtSur), static_cast<QObject*>(txtCoefficient),
                       static_cast<QObject*>(txtDate), static_cast<QObject*>(imaDate), static_cast<QObject*>(Calendrier)})
        o->installEventFilter(this);
}

// ---- the lists ---------------------------------------------------------------------------------

bool frmSérie::PopulateCombos(commands::MainSurface& main, const db::Database& database) {
    m_main = &main;
    m_db = database;
    QStringList lines;
    const QString start = QStringLiteral("Pour créer ou modifier une série de notes, ");
    if (!editsupport::fillClasses(*cboClasse, main))
        lines << start + QStringLiteral("il faut avoir défini au moins une classe.\n"
                                        "Créez une ou plusieurs classes (menu Créer/Nouvelle classe).");
    try {
        if (!editsupport::fillSubjects(*cboMat, database, main))
            lines << start + QStringLiteral("il faut avoir défini au moins une matière.\n"
                                            "Créez une ou plusieurs matières (menu Créer/Nouvelle matière).");
    } catch (const db::DbError&) {
        editsupport::storeFailure(main.owner(), QStringLiteral("Impossible de lire les matières de ce carnet de notes."));
        return false;
    }
    if (lines.isEmpty()) return true;
    messages::messageList(main.owner(), QStringLiteral("Impossible de créer ou de modifier une série de notes."), lines,
                          pictures::imaButton(3));
    return false;
}

// ---- the buttons -------------------------------------------------------------------------------

void frmSérie::cmdAction_Click(int Index) {
    switch (Index) {
    case 0:
        if (cmdAction[0]->text() == kNext)
            goToPage2();
        else
            writeSeries();
        break;
    case 1: unloadSelf(); break;
    case 2:
        cmdAction[1]->setText(kCancel);
        showPage(1);
        break;
    default: break;
    }
}

void frmSérie::goToPage2() {
    if (!modifyMode()) {
        cmdAction[1]->setText(kDone);
    } else {
        const auto series =
            editsupport::fillSeries(*cboSérie, this, m_db, editsupport::chosenKey(*cboClasse), editsupport::chosenKey(*cboMat),
                                    QStringLiteral("Impossible de modifier une série de notes qui n'existe pas."));
        if (!series) return;
        m_series = *series;
        cboSérie_Click(0);
    }
    showPage(2);
    if (modifyMode())
        cboSérie->setFocus();
    else
        txtNom->setFocus();
}

void frmSérie::showPage(int page) {
    const int p = page - 1;
    fraPage1->setVisible(page == 1);
    fraPage2->setVisible(page == 2);
    cmdAction[0]->setText(page == 1 ? kNext : kOk);
    cmdAction[2]->setVisible(page == 2);
    const int top = layoutY(kButtonTop[p]);
    const int width = layoutX(kWidth);
    const int w = layoutX(kButtonWidth), gap = layoutX(kButtonGap), margin = layoutX(kMargin);
    cmdAction[1]->move(width - margin - w, top);
    cmdAction[0]->move(width - margin - 2 * w - gap, top);
    cmdAction[2]->move(margin, top);
    setFixedSize(width, layoutY(kHeight[p] - kFrame));
}

void frmSérie::cboSérie_Click(int entry) {
    if (entry < 0 || entry >= m_series.size()) return;
    const seriesedit::Series& s = m_series[entry];
    txtNom->setText(s.name);
    TxtSur->setText(QString::number(s.sur));
    txtCoefficient->setText(QString::number(s.coefficient));
    txtDate->setText(dates::formatShortDate(s.date.date()));
    // A file from elsewhere may hold any period: the counter shows the nearest it can.
    vskPériode->setValue(qBound(vskPériode->Min(), s.period, vskPériode->Max()));
}

bool frmSérie::ValidateSeries() {
    const QStringList lines =
        seriesedit::refusals({txtNom->text(), TxtSur->text(), txtCoefficient->text(), txtDate->text()});
    rewriteDate();
    if (lines.isEmpty()) return true;
    messages::messageList(this, seriesedit::refusalHeading(), lines, pictures::imaButton(3));
    return false;
}

void frmSérie::writeSeries() {
    if (!ValidateSeries()) return;
    seriesedit::Series series = seriesedit::accepted(
        {txtNom->text(), TxtSur->text(), txtCoefficient->text(), txtDate->text()}, vskPériode->Value());
    const qint32 numClass = editsupport::chosenKey(*cboClasse), numMat = editsupport::chosenKey(*cboMat);
    const bool modify = modifyMode();
    try {
        if (modify) {
            series.key = m_series.value(cboSérie->currentIndex()).key;
            seriesedit::modify(m_db, numClass, numMat, series);
        } else {
            seriesedit::create(m_db, numClass, numMat, series);
        }
    } catch (const db::DbError&) {
        editsupport::storeFailure(this, QStringLiteral("Impossible d'enregistrer cette série de notes dans le carnet de notes."));
        return;
    }
    if (m_main) editsupport::RefreshMainIfShown(*m_main, numClass, numMat);
    if (modify) {
        unloadSelf();
        return;
    }
    resetForm();
    txtNom->setFocus();
}

void frmSérie::resetForm() {
    txtNom->clear();
    TxtSur->setText(QStringLiteral("20"));
    txtCoefficient->setText(QStringLiteral("1"));
    txtDate->clear();
    vskPériode->setValue(1);
    // After the resets, whose changes said "Annuler": nothing typed is pending.
    cmdAction[1]->setText(kDone);
}

void frmSérie::reject() { unloadSelf(); }

void frmSérie::unloadSelf() { platform::Form<frmSérie>::unload(*this); }

void frmSérie::mousePressEvent(QMouseEvent* event) {
    // The dialog's own background, outside every control, closes it as "Annuler" does.
    if (!childAt(event->position().toPoint())) unloadSelf();
}

// ---- the date and its calendar ------------------------------------------------------------------

void frmSérie::rewriteDate() {
    if (const auto date = dates::parseShortDate(txtDate->text())) {
        const QString text = dates::formatShortDate(*date);
        if (text != txtDate->text()) txtDate->setText(text);
    }
}

void frmSérie::OpenCalendar() {
    Calendrier->setValue(dates::parseShortDate(txtDate->text()).value_or(QDate::currentDate()));
    // Under the date box, or above it where the screen ends below; wholly on the screen.
    const QScreen* screen = txtDate->screen() ? txtDate->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QSize size = Calendrier->size();
    const QPoint top = txtDate->mapToGlobal(QPoint(0, 0));
    int y = top.y() + txtDate->height();
    if (y + size.height() > area.bottom() + 1) y = top.y() - size.height();
    Calendrier->move(qBound(area.left(), top.x(), area.right() + 1 - size.width()),
                     qBound(area.top(), y, area.bottom() + 1 - size.height()));
    Calendrier->show();
    Calendrier->setFocus(Qt::OtherFocusReason);
}

void frmSérie::calendarDone(bool take) {
    if (take) txtDate->setText(dates::formatShortDate(Calendrier->Value()));
    Calendrier->hide();
}

void frmSérie::liftDefaults(bool lifted) {
    // Enter and Esc are the calendar's while it has the focus.
    cmdAction[0]->setDefault(!lifted);
    if (lifted) return;
    Calendrier->hide();
    txtDate->setFocus(Qt::OtherFocusReason);
}

bool frmSérie::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Calendrier) {
        if (type == QEvent::FocusIn) liftDefaults(true);
        else if (type == QEvent::FocusOut) liftDefaults(false);
    } else if (watched == imaDate) {
        if (type == QEvent::MouseButtonPress && isEnabled()) {
            OpenCalendar();
            return true;
        }
    } else if (watched == txtDate) {
        if (type == QEvent::FocusIn) {
            // After the click that gave the focus, which would place the caret.
            QMetaObject::invokeMethod(txtDate, &QLineEdit::selectAll, Qt::QueuedConnection);
        } else if (type == QEvent::FocusOut) {
            rewriteDate();
        } else if (type == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier) {
                OpenCalendar();
                return true;
            }
        }
    } else if (type == QEvent::KeyPress) {  // "Note sur" and the coefficient
        // Tab moves on to the next box, as everywhere in the dialog.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
        return numberkeys::TypeFiltered(*static_cast<QLineEdit*>(watched), *key);
    }
    return QDialog::eventFilter(watched, event);
}
