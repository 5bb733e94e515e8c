// The main window: the start-up window, creating and opening a gradebook, and every way opening
// can fail (files met on a USB stick or received from someone, damaged, read-only, held by
// another program or crafted, refused with a message that says why, nothing written to them), the
// grade grid of each period layout, what the window keeps between runs, its commands, the options
// and the grid exported to a workbook. Last, every window readable under any desktop: filled with
// long French names, each shows its texts whole in whatever interface font the desktop gives, and
// the colours its controls draw stand apart under the light palette and the desktops' dark ones.
#include "Answers.h"
#include "DbTestSupport.h"
#include "FileRights.h"
#include "FileSizeLimit.h"
#include "FileTraps.h"
#include "GradebookBuilder.h"
#include "GridTexts.h"
#include "PartialGradebook.h"
#include "TabBarTestKit.h"
#include "UiHelpers.h"
#include "WorkbookReader.h"
#include "controls/TabItemLabel.h"
#include "controls/frmMsgBox.h"
#include "controls/mOffice2000.h"
#include "controls/mSubClass.h"
#include "controls/tabSection.h"
#include "controls/vskAdvLabel.h"
#include "controls/vskCompteur.h"
#include "controls/vskTab.h"
#include "editing/Cascades.h"
#include "editing/ClassEdit.h"
#include "editing/SubjectEdit.h"
#include "editing/frmEleves.h"
#include "exchange/ExchangeFile.h"
#include "gradebook/GradebookPassword.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/Messages.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/Commands.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmOptions.h"
#include "mainwindow/frmPwdAsk.h"
#include "mainwindow/frmPwdGive.h"
#include "mainwindow/frmSplash.h"
#include "mainwindow/mExcelExport.h"
#include "platform/Desktop.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Numbers.h"
#include "platform/OleColor.h"
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "platform/db/Sqlite.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOption>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <openssl/evp.h>

using namespace Qt::StringLiterals;
using platform::contrastRatio;
using platform::FlexGrid;
using platform::Form;
using platform::ModalResponder;
using platform::ModalTestScope;
using namespace testsupport;

namespace {

// Cells whose colour differs from the fixed cells', as "row,col".
QStringList editableCells(FlexGrid& g) {
    QStringList cells;
    for (int r = 0; r < g.Rows(); ++r)
        for (int c = 0; c < g.Cols(); ++c) {
            g.setRow(r);
            g.setCol(c);
            if (g.CellBackColor() != g.BackColorFixed()) cells << u"%1,%2"_s.arg(r).arg(c);
        }
    return cells;
}

QString setting(const char* key) { return platform::GetSetting(u"StartUp"_s, QString::fromLatin1(key)); }

const QString kReadOnly = u"Impossible d'ouvrir ce carnet de notes.\nLe fichier ou son dossier est en lecture seule."_s;
const QString kDamaged = u"Impossible d'ouvrir ce carnet de notes.\nLe fichier est endommagé."_s;
const QString kBusy = u"Impossible d'ouvrir ce carnet de notes.\nLe fichier est utilisé par un autre programme."_s;
const QString kNotValid = u"Ce fichier n'est pas un carnet de notes valide."_s;
const QString kCannotOpen =
    u"Impossible d'ouvrir ce carnet de notes.\nIl ne s'agit sans doute pas d'un carnet de notes valide."_s;

constexpr int kPage = 1024;  // the page size of the files

const QString kLongName = u"Carnet de notes – Lycée Jean-Baptiste-Poquelin 2026-2027 (Terminales et BTS)"_s;

const QByteArray kKey = gradebook::databasePassword().toUtf8();

// The definition of "Séries" in the file, one text changed.
QByteArray changeDefinition(const char* from, const char* to) {
    return QByteArray("UPDATE __TableDefs SET Definition = replace(Definition, '") + from + "', '" + to
         + "') WHERE Name = 'Séries'";
}

// A second class renamed as the first behind the unique index of names: two classes read back
// with one name, as a damaged page leaves them.
const QByteArray kTwoClassesOfOneName =
    "INSERT INTO Classes VALUES (2, 'Sixième B', '6e B', 1800); "
    + behindIndex("Classes.Nom", "NumClass = 2", "UPDATE Classes SET Nom = 'Sixième A' WHERE NumClass = 2");

// Files that lie beside `file` and would show that something was written (a journal).
QStringList leftovers(const QString& file) {
    const QFileInfo info(file);
    return QDir(info.absolutePath()).entryList({info.fileName() + u"-*"_s}, QDir::Files | QDir::Hidden);
}

const QString kExcelQuestion = u"Le tableau actuellement affiché va être converti en un fichier Excel.\nContinuer ?"_s;
const QString kExcelFailed = u"L'exportation au format Excel a échoué."_s;
QString exported(const QString& path) { return u"Exportation au format Excel réussie, sous le fichier:\n"_s + path; }

// Queues a whole export to a workbook that types `typed` as the name of an existing file and
// replaces it, ending on the box that tells `outcome`.
void queueExport(ModalTestScope& scope, const QString& typed, const QString& outcome) {
    scope.push(msgBox(kExcelQuestion, u"OK"_s));
    scope.push([typed](QWidget& w) {
        QCOMPARE(static_cast<QFileDialog&>(w).nameFilters(), QStringList{u"Classeur Excel (*.xlsx)"_s});
        fileName(typed)(w);
    });
    scope.push([](QWidget& w) { clickButton(w, u"Oui"_s); });  // replace it
    scope.push(msgBox(outcome, u"OK"_s));
}

QVariant stored(const char* name) { return mUtilities::gDB.Properties(QString::fromLatin1(name)).Value(); }

// Shows the options as an opener does; returns how many times it was asked to refresh.
int useOptions(ModalTestScope& scope, const std::function<void(frmOptions&)>& act) {
    frmOptions& options = Form<frmOptions>::get();
    int refreshes = 0;
    QObject::connect(&options, &frmOptions::DecimalsChanged, [&] { ++refreshes; });
    scope.push([&](QWidget&) { act(options); });
    platform::showModal(options);
    return refreshes;
}

void typeAndConfirm(frmPwdGive& give, const QString& password, const QString& confirmation) {
    QTest::keyClicks(give.txtPwd, password);
    QTest::keyClicks(give.txtConfirm, confirmation);
    give.cmdOK->click();
}

// Whether a text fits a room, on one line or wrapped at its spaces.
bool fits(const QFontMetrics& fm, const QRect& room, const QString& text, bool wrap) {
    const QRectF space(0, 0, room.width(), 1 << 20);
    const QSizeF need = QFontMetricsF(fm).boundingRect(space, wrap ? Qt::TextWordWrap : 0, text).size();
    return need.width() <= room.width() && need.height() <= room.height();
}

// A caption as shown: "&" marks the next letter as a shortcut, "&&" is one "&".
QString shown(QString text) { return text.replace(u"&&"_s, u"\x01"_s).remove(u'&').replace(u'\x01', u'&'); }

// The texts of an item view that its cells, its headings or its width cut.
void checkView(QAbstractItemView& v, const std::function<void(const QString&, bool)>& check) {
    QStyle& s = *v.style();
    check(u"(scroll bar)"_s, !v.horizontalScrollBar()->isVisible());
    if (auto* tree = qobject_cast<QTreeView*>(&v); tree && !tree->header()->isHidden()) {
        const QHeaderView& h = *tree->header();
        for (int c = 0; c < h.count(); ++c) {
            const QString text = v.model()->headerData(c, Qt::Horizontal).toString();
            const int margin = s.pixelMetric(QStyle::PM_HeaderMargin, nullptr, &h);
            const bool wrap = h.defaultAlignment() & Qt::TextWordWrap;
            check(text, fits(h.fontMetrics(), QRect(0, 0, h.sectionSize(c) - 2 * margin, h.height()), text, wrap));
        }
    }
    const int margin = s.pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &v) + 1;
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int r = 0; r < v.model()->rowCount(parent); ++r)
            for (int c = 0; c < v.model()->columnCount(parent); ++c) {
                const QModelIndex i = v.model()->index(r, c, parent);
                if (c == 0 && v.model()->hasChildren(i)) walk(i);
                const QRect rect = v.visualRect(i);
                const QString text = i.data().toString();
                if (text.isEmpty() || rect.isEmpty() || !v.viewport()->rect().intersects(rect)) continue;
                QStyleOptionViewItem o;
                o.initFrom(&v);
                o.rect = rect;
                o.text = text;
                const bool wrap = v.property("wordWrap").toBool();
                o.features = wrap ? QStyleOptionViewItem::WrapText : QStyleOptionViewItem::None;
                o.features |= QStyleOptionViewItem::HasDisplay;
                if (!i.data(Qt::DecorationRole).isNull()) o.features |= QStyleOptionViewItem::HasDecoration;
                if (i.data(Qt::CheckStateRole).isValid()) o.features |= QStyleOptionViewItem::HasCheckIndicator;
                o.decorationSize = v.iconSize().isValid() ? v.iconSize() : QSize(16, 16);
                QRect room = s.subElementRect(QStyle::SE_ItemViewItemText, &o, &v).adjusted(margin, 0, -margin, 0);
                room.setRight(std::min(room.right(), v.viewport()->width() - 1 - margin));
                // A name wrapped over more than three lines is no longer read as one.
                const QRect threeLines(0, 0, room.width(), 3 * v.fontMetrics().lineSpacing());
                check(text, fits(v.fontMetrics(), room, text, wrap) && fits(v.fontMetrics(), threeLines, text, wrap));
            }
    };
    walk(v.rootIndex());
}

// The texts of a grid that its cells cut, as the grid paints them: wrapped in a row tall
// enough for two lines, a run of equal texts merged in a merging row; and a font smaller than
// the desktop's.
void checkGrid(const platform::FlexGrid& g, const std::function<void(const QString&, bool)>& check) {
    // Its figures as large as the desktop's other texts.
    check(u"(%1 points)"_s.arg(g.font().pointSizeF()), g.font().pointSizeF() == QApplication::font().pointSizeF());
    const QFontMetrics fm = g.fontMetrics();
    int y = 0;
    for (int r = 0; r < g.Rows() && y < g.viewport()->height(); y += platform::layoutY(g.RowHeight(r++))) {
        int x = 0;
        for (int c = 0; c < g.Cols() && x < g.viewport()->width();) {
            const QString text = g.TextMatrix(r, c);
            int width = platform::layoutX(g.ColWidth(c++));
            while (g.MergeCells() && g.MergeRow(r) && !text.isEmpty() && c < g.Cols() && g.TextMatrix(r, c) == text)
                width += platform::layoutX(g.ColWidth(c++));
            const QRect box = QRect(x, y, width, platform::layoutY(g.RowHeight(r))).adjusted(3, 1, -4, -2);
            if (!text.isEmpty() && width > 0) check(text, fits(fm, box, text, box.height() >= 2 * fm.lineSpacing()));
            x += width;
        }
    }
}

// The four edges of a text box stand apart from the window around it.
bool edged(QWidget& box) {
    const QImage image = box.grab().toImage();
    const QColor window = box.parentWidget()->palette().color(QPalette::Window);
    const int x = image.width() / 2, y = image.height() / 2, right = image.width() - 1, bottom = image.height() - 1;
    for (const QPoint& p : {QPoint(x, 0), QPoint(x, bottom), QPoint(0, y), QPoint(right, y)})
        if (contrastRatio(image.pixelColor(p), window) < 1.5) return false;
    return true;
}

// "window/object: text" for every text of a shown window that its place cuts.
QStringList cutTexts(QWidget& window) {
    QStringList cut;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        const QString where = window.objectName() + u'/' + w->objectName() + u": "_s;
        const auto check = [&](const QString& text, bool ok) {
            if (!ok) cut << where + text;
        };
        const QFontMetrics fm = w->fontMetrics();
        QStyle& s = *w->style();
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) check(u"(edges)"_s, edged(*w));
        if (auto* b = qobject_cast<QPushButton*>(w); b && !b->text().isEmpty()) {
            QStyleOptionButton o;
            o.initFrom(b);
            if (b->autoDefault() || b->isDefault()) o.features |= QStyleOptionButton::AutoDefaultButton;
            // A caption that touches its button's edges reads as cut: it keeps a character clear of either.
            const int margin = fm.averageCharWidth();
            const QRect room = s.subElementRect(QStyle::SE_PushButtonContents, &o, b).adjusted(margin, 0, -margin, 0);
            check(b->text(), fits(fm, room, shown(b->text()), false));
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            const QSize need = w->sizeHint();
            const QString text = static_cast<QAbstractButton*>(w)->text();
            check(text, need.width() <= w->width() && need.height() <= w->height());
            // Its box or dot stands as tall as the letters beside it.
            QStyleOptionButton o;
            o.initFrom(w);
            const auto box = qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator;
            check(text, s.subElementRect(box, &o, w).height() >= fm.ascent());
        } else if (qobject_cast<vskCompteur*>(w)) {
            // Each arrow half as tall as the number's letters at least.
            for (QAbstractButton* arrow : w->findChildren<QAbstractButton*>()) {
                const QImage image = arrow->grab().toImage();
                const QColor face = image.pixelColor(image.width() / 2, 2);
                int inked = 0;
                for (int y = 2; y < image.height() - 2; ++y)
                    for (int x = 2; x < image.width() - 2; ++x)
                        if (contrastRatio(image.pixelColor(x, y), face) >= 3) {
                            ++inked;
                            break;
                        }
                check(u"(arrows)"_s, 2 * inked >= fm.ascent());
            }
        } else if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
            const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            if (l->textFormat() == Qt::RichText || Qt::mightBeRichText(l->text()))
                check(l->text(), l->wordWrap() ? l->heightForWidth(l->width()) <= l->height() : l->sizeHint().width() <= l->width());
            else
                check(l->text(), fits(fm, room, l->text(), l->wordWrap()));
        } else if (auto* box = qobject_cast<QGroupBox*>(w); box && !box->title().isEmpty()) {
            QStyleOptionGroupBox o;
            o.initFrom(box);
            o.text = box->title();
            o.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title = s.subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, box);
            check(box->title(), box->rect().contains(title));
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox o;
            o.initFrom(combo);
            o.editable = combo->isEditable();
            const QRect room = s.subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, combo);
            for (int i = 0; i < combo->count(); ++i)
                check(combo->itemText(i), fits(fm, room.adjusted(1, 0, -1, 0), combo->itemText(i), false));
        } else if (auto* edit = qobject_cast<QLineEdit*>(w); edit && edit->echoMode() == QLineEdit::Normal
                                                            && !qobject_cast<QComboBox*>(edit->parentWidget())) {
            // Inside the frame and the box's own margin, 2 pixels each on either side.
            const QMargins m = edit->textMargins();
            check(edit->text(), fm.horizontalAdvance(edit->text()) <= edit->width() - 2 * 4 - m.left() - m.right());
        } else if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
            checkView(*v, check);
        } else if (auto* g = qobject_cast<platform::FlexGrid*>(w)) {
            checkGrid(*g, check);
        } else if (auto* list = qobject_cast<vskAdvLabel*>(w); list && list->ItemCount() > 0) {
            // Its lines may scroll only in a window that the screen has no more room for.
            const int lines = std::min(list->renderedHeight(), list->Size());
            check(list->ItemText(list->ItemCount()), list->contentsRect().height() >= lines
                                                         || window.height() + 3 * fm.height()
                                                                >= window.screen()->availableGeometry().height());
        } else if (auto* section = qobject_cast<tabSection*>(w)) {
            const QRect header(3, 0, section->width() - 6, section->HeaderHeight());
            check(section->Caption(), fits(fm, header, section->Caption(), false));
        } else if (auto* item = qobject_cast<TabItemLabel*>(w); item && w->parentWidget()->rect().intersects(w->geometry())) {
            const QRect room = item->geometry().adjusted(2, 0, -2, 0);
            check(item->Caption(), room.left() >= 0 && room.right() < item->parentWidget()->width()
                                       && fits(fm, room, item->Caption(), true));
        }
    }
    return cut;
}

// A palette as a desktop gave it, read once under Xvfb: the colours of the roles in their
// enum's order, active (and inactive) then disabled.
QPalette captured(const char* active, const char* disabled) {
    QPalette p;
    const QStringList colours[2] = {QString::fromLatin1(active).split(u' '), QString::fromLatin1(disabled).split(u' ')};
    for (int role = 0; role < colours[0].size(); ++role)
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, QPalette::ColorRole(role), QColor(u'#' + colours[group == QPalette::Disabled][role]));
    return p;
}

// The strongest contrast between the widget's background (its corner pixel unless given) and
// anything drawn on it: for a widget that shows text, the contrast of the text.
double drawnContrast(QWidget& w, QColor back = {}, const QRect& area = QRect(QPoint(0, 0), QSize(-1, -1))) {
    const QImage image = w.grab(area).toImage();
    if (!back.isValid()) back = image.pixelColor(1, 1);
    double best = 1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) best = std::max(best, contrastRatio(back, image.pixelColor(x, y)));
    return best;
}

QColor cellColour(platform::FlexGrid& g, int row, int col) {
    g.setRow(row);
    g.setCol(col);
    return platform::oleColor(g.CellBackColor());
}

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString m_base, m_readable, m_sent, m_received;
    int m_rows = 0;

    // A fresh copy of the sound gradebook in a folder of its own.
    QString copyOfBase(const QString& name) {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        const QString file = folder + u"/carnet.dat"_s;
        QFile::remove(file);
        QFile::copy(m_base, file);
        return file;
    }

    // A copy of the sound gradebook whose two classes read back with one name.
    QString twoClassesOfOneName(const QString& name) {
        const QString file = copyOfBase(name);
        return rawExecSteps(file, kKey, kTwoClassesOfOneName) == SQLITE_OK ? file : QString();
    }

    // Opens the file through the main window, answering the one message it may show.
    // Returns the message ("" when the file opened).
    QString open(frmMain& main, const QString& file) {
        ModalTestScope scope;
        QString message;
        scope.push([&](QWidget& w) {
            auto* box = qobject_cast<QMessageBox*>(&w);
            QVERIFY(box && box->icon() == QMessageBox::Critical);
            message = box->text();
            clickButton(w, u"OK"_s);
        });
        bool opened = main.OpenAFile(file);
        // A file damaged where opening does not read is refused once the walk of the whole file is over.
        if (opened && dbError([] { mUtilities::gDB.awaitIntegrity(); }) >= 0)
            opened = !QTest::qWaitFor([] { return !mUtilities::gDB.isOpen(); });
        if (opened != message.isEmpty()) qWarning("opened %d with message %s", opened, qPrintable(message));
        return opened ? QString() : message;
    }

    // As the options find it: a new gradebook open, its averages shown with one decimal.
    void openNewGradebook() {
        const QString file = m_dir.filePath(u"%1.dat"_s.arg(QTest::currentTestFunction()));
        mUtilities::CreateGradebookFile(file);
        mUtilities::gDB = db::Database::OpenDatabase(file, gradebook::databasePassword());
        mUtilities::gAverageFormat = u"0.0"_s;
    }

    // What the readability checks found: the texts cut, how many windows were checked.
    QStringList m_cut;
    int m_windows = 0;
    ModalTestScope* m_scope = nullptr;

    void check(QWidget& window) {
        ++m_windows;
        if (auto* tabs = window.findChild<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i) tabs->setCurrentIndex(i), m_cut << cutTexts(window);
        else
            m_cut << cutTexts(window);
    }

    // Checks a window, then takes its steps: "Caption" presses that button and checks the window
    // again, "*Caption" checks the window it opens too, "+Caption" takes the steps left in that
    // window; "tick" ticks the first line of every list with boxes; "file" answers the next file
    // dialog with the exchange file received; "enter:a,b" opens the list's first line and takes
    // a, b there.
    ModalResponder visit(const QStringList& steps = {}) {
        return [this, steps](QWidget& w) {
            check(w);
            for (int i = 0; i < steps.size(); ++i) {
                const QString& step = steps[i];
                if (step == u"tick"_s) {
                    for (QListWidget* list : w.findChildren<QListWidget*>())
                        if (list->isVisible() && list->count() > 0) list->item(0)->setCheckState(Qt::Checked);
                    continue;
                }
                if (step == u"file"_s) {
                    m_scope->push(fileName(m_received));
                    continue;
                }
                if (step.startsWith(u"enter:"_s)) {
                    m_scope->push(visit(step.mid(6).split(u',')));
                    auto* list = w.findChild<QTreeWidget*>(u"lstElèves"_s);
                    list->setCurrentItem(list->topLevelItem(0));
                    QTest::keyClick(list, Qt::Key_Return);
                } else {
                    const bool opens = step.startsWith(u'+') || step.startsWith(u'*');
                    if (opens) m_scope->push(visit(step.startsWith(u'+') ? steps.mid(i + 1) : QStringList()));
                    clickButton(w, step.mid(opens ? 1 : 0));
                    if (step.startsWith(u'+')) return;
                }
                if (w.isVisible()) check(w);
            }
        };
    }

private slots:
    void initTestCase() {
        platform::installDesktopRules(*qApp);
        m_base = m_dir.filePath(u"base.dat"_s);
        m_readable = m_dir.filePath(u"lisible.dat"_s);
        GradebookBuilder b(m_base);
        const int cls = b.addClass(u"Sixième A"_s, u"6e A"_s);
        const int maths = b.addSubject(u"Mathématiques"_s), french = b.addSubject(u"Français"_s);
        QList<int> students;
        for (int i = 0; i < 12; ++i) students << b.addStudent(cls, u"Élève %1"_s.arg(i), u"Prénom"_s);
        for (int s = 0; s < 6; ++s) {
            const int series = b.addSeries(cls, s % 2 ? maths : french, u"Contrôle %1"_s.arg(s), 20, 1, 1 + s % 3);
            for (int e = 0; e < students.size(); ++e) b.addGrade(series, students[e], (e * 7 + s) % 21);
        }
        b.close();
        m_rows = int(QFileInfo(m_base).size() / kPage);

        // Long French names, as real schools give them, for the readability of every window.
        GradebookBuilder r(m_readable);
        const int euro = r.addClass(u"2nde Euro All. — section européenne allemand"_s, u"2nde Euro All."_s);
        const int sixth = r.addClass(u"6e A"_s, u"6e A"_s);
        const int svt = r.addSubject(u"Sciences de la vie et de la Terre"_s);
        r.addSubject(u"Éducation physique et sportive"_s);
        const int hg = r.addSubject(u"Histoire-géographie, enseignement moral et civique"_s);
        const QList<int> pupils = {r.addStudent(euro, u"de La Rochefoucauld-Ségur"_s, u"Marie"_s),
                                   r.addStudent(euro, u"Müller-Lüdenscheid"_s, u"Héloïse-Ségolène"_s),
                                   r.addStudent(sixth, u"Lefèvre-Desmoulins de Saint-Exupéry"_s, u"Anne-Charlotte"_s)};
        // Graded series in two subjects, so that both show in the class averages.
        const struct {
            int subject;
            QString name;
            int period;
        } series[] = {{svt, u"Contrôle n°1 : équations"_s, 1}, {svt, u"Devoir maison — fonctions"_s, 1},
                      {svt, u"Interrogation écrite"_s, 2}, {hg, u"Contrôle n°1 : équations"_s, 1}};
        for (int i = 0; i < 4; ++i) {
            const int s = r.addSeries(euro, series[i].subject, series[i].name, 20, 1, series[i].period);
            for (int e = 0; e < 2; ++e) r.addGrade(s, pupils[e], 9.5 + 3 * i + e);
        }
        // The exchange file that a colleague sends of the class of long names.
        const QString euroName = u"2nde Euro All. — section européenne allemand"_s;
        const QString hgName = u"Histoire-géographie, enseignement moral et civique"_s;
        GradebookBuilder colleague(m_dir.filePath(u"collègue.dat"_s));
        const int sent = colleague.addClass(euroName, u"2nde Euro All."_s), subject = colleague.addSubject(hgName);
        const int test = colleague.addSeries(sent, subject, u"Devoir maison — fonctions"_s, 20, 1, 1);
        for (const auto& [surname, firstName] : {std::pair{u"de La Rochefoucauld-Ségur"_s, u"Marie"_s},
                                                 std::pair{u"Müller-Lüdenscheid"_s, u"Héloïse-Ségolène"_s}})
            colleague.addGrade(test, colleague.addStudent(sent, surname, firstName), 14);
        colleague.close();
        m_sent = exchangefile::write(openGradebook(colleague.path()), {sent, subject, euroName, hgName, {test}, {}},
                                     m_dir.filePath(u"reçus"_s));
    }

    void cleanup() {
        Form<frmSplash>::unload();
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        mUtilities::gRsNotes = db::Recordset();
        mUtilities::gDB = db::Database();
    }

    void createsOpensAndOffersTheLastFile() {
        ModalTestScope scope;
        frmSplash* splash = &Form<frmSplash>::get();
        QVERIFY(splash->optChoix[0]->isHidden());  // no last file yet
        QVERIFY(splash->optChoix[1]->isChecked());

        const QString folder = platform::paths::notesFolder();
        const QString name = mUtilities::DefaultGradebookName();
        const QString created = folder + u'/' + name + u".dat"_s;
        // Cancelling the explanation creates nothing and keeps the window.
        scope.push(msgBox(u"L'étape suivante"_s, u"Annuler"_s));
        splash->cmdAction_Click(0);
        QVERIFY(Form<frmSplash>::isLoaded() && splash->optChoix[1]->isChecked());

        scope.push(msgBox(u"L'étape suivante va vous permettre de créer un nouveau carnet de notes.\n"
                          "Par défaut, l'application vous propose l'emplacement suivant:\n          "_s
                              + folder + u"\net le nom suivant:\n          "_s + name,
                          u"OK"_s));
        scope.push([&](QWidget& w) {
            QCOMPARE(w.findChild<QLineEdit*>(u"fileNameEdit"_s)->text(), name);
            fileName(QString())(w);
        });
        QStringList nextSteps;
        scope.push(messageList(u"Nouveau carnet de notes créé."_s, &nextSteps));
        splash->cmdAction_Click(0);
        QCOMPARE(nextSteps.size(), 7);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Form<frmSplash>::isLoaded());
        frmMain* main = Form<frmMain>::instance();
        QVERIFY(main && main->isVisible());
        QCOMPARE(main->windowTitle(), u"Carnet de notes - "_s + name);
        QCOMPARE(setting("File"), created);
        main->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // The next start offers the last file, and Enter opens it, even on another choice and a
        // GNOME desktop.
        splash = &Form<frmSplash>::get();
        QCOMPARE(splash->optChoix[0]->text(), u"Ouvrir "_s + name);
        QVERIFY(!splash->optChoix[0]->isHidden() && splash->optChoix[0]->isChecked());
        splash->show();
        QVERIFY(typeEnterAsGnome(*splash->optChoix[1]));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Form<frmSplash>::isLoaded());
        QVERIFY(Form<frmMain>::instance()->isVisible());
        QCOMPARE(scope.pending(), 0);
    }

    void aLongLastNameIsCutWhereTheScreenEnds() {
        const QString file = m_dir.filePath(kLongName + u".dat"_s);
        QVERIFY(QFile::copy(m_readable, file));
        platform::SaveSetting(u"StartUp"_s, u"File"_s, file);
        // A font so large that the window as designed is taller than the screen: the name has
        // one line, cut with "…", and the choice holds that line whole.
        const QFont desktop = QApplication::font();
        QFont large = desktop;
        while (platform::layoutY(4500) <= QGuiApplication::primaryScreen()->availableGeometry().height()) {
            large.setPointSizeF(large.pointSizeF() * 1.25);
            QApplication::setFont(large);
        }
        const QRadioButton& option = *Form<frmSplash>::get().optChoix[0];
        const QString text = option.text();
        const QSize need = option.sizeHint(), size = option.size();
        QApplication::setFont(desktop);
        QVERIFY2(text.startsWith(u"Ouvrir Carnet"_s) && text.endsWith(u'…') && !text.contains(u'\n'), qPrintable(text));
        QVERIFY(need.width() <= size.width() && need.height() <= size.height());
    }

    void failedAttemptsKeepTheWindowAndItsChoice() {
        // As on a first run: no folder of gradebooks yet; the open dialog starts where it will be.
        QDir(platform::paths::userFolder()).removeRecursively();
        ModalTestScope scope;
        frmSplash& splash = Form<frmSplash>::get();
        splash.optChoix[2]->setChecked(true);
        scope.push([&](QWidget& w) {
            QCOMPARE(static_cast<QFileDialog&>(w).directory().absolutePath(), platform::paths::notesFolder());
            fileName(m_dir.filePath(u"absent.dat"_s))(w);
        });
        scope.push(msgBox(u"Ce carnet de notes n'existe pas.\nPour le créer, choisissez"_s, u"OK"_s));
        splash.cmdAction_Click(0);
        QVERIFY(Form<frmSplash>::isLoaded() && splash.optChoix[2]->isChecked());
        QVERIFY(!Form<frmMain>::instance()->isVisible());
        // A damaged file is refused before the main window shows, and left as it was.
        const QString damaged = twoClassesOfOneName(u"deux noms au démarrage"_s);
        const QByteArray before = fileBytes(damaged);
        scope.push(fileName(damaged));
        scope.push(systemMessage(kDamaged));
        splash.cmdAction_Click(0);
        QVERIFY(Form<frmSplash>::isLoaded() && splash.optChoix[2]->isChecked());
        QVERIFY(!Form<frmMain>::instance()->isVisible() && !mUtilities::gDB.isOpen());
        QCOMPARE(fileBytes(damaged), before);

        // "Annuler" takes the hidden main window along, so that nothing keeps the program alive.
        splash.cmdAction_Click(1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Form<frmSplash>::isLoaded() && !Form<frmMain>::isLoaded());
        QCOMPARE(scope.pending(), 0);
    }

    void openingFailuresKeepThePreviousGradebook() {
        const QString first = copyOfBase(u"premier"_s);
        ModalTestScope scope;
        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(first));
        const db::Database opened = mUtilities::gDB;
        const auto unchanged = [&] {
            QVERIFY(mUtilities::gDB.sameDatabase(opened) && mUtilities::gRsNotes.isOpen());
            QCOMPARE(main.windowTitle(), u"Carnet de notes - carnet"_s);
            QCOMPARE(setting("File"), first);
            QCOMPARE(main.lblPrincipal->text(), u"6e A - Mathématiques"_s);
            QCOMPARE(main.flxNotes->TextMatrix(4, 0), u"Élève 0 Prénom"_s);
        };

        const QString junk = path(u"junk.dat"_s), bare = path(u"bare.dat"_s), exchange = path(u"Notes Export 0001.dat"_s),
                      old = path(u"old.dat"_s), slow = path(u"slow.dat"_s), longer = path(u"longer.dat"_s),
                      noNotes = path(u"sans notes.dat"_s);
        QVERIFY(writeFile(junk, QByteArray(4096, 'x')));
        db::Database::CreateDatabase(bare, gradebook::databasePassword()).Close();
        gradebookWithout(exchange, {}, {}, gradebook::exportApp());
        gradebookWithout(old, {u"Colonne"_s}, u"1.1.9"_s);  // before the column widths
        // A hash that would keep the program busy for minutes is checked against nothing.
        const QString slowHash = u"pbkdf2-sha256$2000000000$AAAA$"_s + QString(43, u'A') + u'=';
        gradebookWithout(slow, {}).Properties(u"Passe"_s).setValue(slowHash);
        // The right password's hash, made to ask for one iteration more than the program writes.
        const int iterations = gradebookpassword::stored(u"x"_s).section(u'$', 1, 1).toInt() + 1;
        const QByteArray salt(16, 's');
        QByteArray hash(32, '\0');
        QCOMPARE(PKCS5_PBKDF2_HMAC("Secret", 6, reinterpret_cast<const unsigned char*>(salt.constData()), 16, iterations,
                                   EVP_sha256(), 32, reinterpret_cast<unsigned char*>(hash.data())), 1);
        gradebookWithout(longer, {}).Properties(u"Passe"_s).setValue(u"pbkdf2-sha256$%1$%2$%3"_s.arg(iterations).arg(
            QString::fromLatin1(salt.toBase64()), QString::fromLatin1(hash.toBase64())));
        gradebookWithout(noNotes, {u"Notes"_s});  // fails only once its classes are read
        GradebookBuilder locked(path(u"locked.dat"_s));
        locked.addClass(u"Cinquième B"_s, u"5e B"_s);
        locked.setProperty(u"Passe"_s, u"Secret"_s);
        locked.close();

        const auto incorrect = systemMessage(u"Mot de passe incorrect.\nAccès au carnet de notes refusé."_s);
        const auto cannotOpen = systemMessage(kCannotOpen);
        const QString question = u"Le carnet de notes que vous tentez d'ouvrir a été créé avec une version antérieure."_s;
        const QList<std::pair<QString, QList<ModalResponder>>> failures = {
            {junk, {cannotOpen}},
            {bare, {systemMessage(kNotValid)}},
            {exchange, {systemMessage(u"Vous essayez d'ouvrir un carnet de notes exporté.\nOuvrez ou créez d'abord "
                                      "un carnet de notes avant d'y importer des notes."_s)}},
            {old, {msgBox(question, u"Annuler"_s)}},  // conversion refused
            {locked.path(), {password(u"Secret"_s, true)}},        // password cancelled
            {locked.path(), {password(u"secret"_s), incorrect}},
            {slow, {password(u"Secret"_s), incorrect}},
            {longer, {password(u"Secret"_s), incorrect}},
            {noNotes, {cannotOpen}},
        };
        for (const auto& [file, answers] : failures) {
            for (const ModalResponder& answer : answers) scope.push(answer);
            QVERIFY2(!main.OpenAFile(file), qPrintable(file));
            QCOMPARE(scope.pending(), 0);
            unchanged();
        }
        // Chosen through the menu, a damaged file is refused alike, and left as it was.
        const QString damaged = twoClassesOfOneName(u"deux noms"_s);
        const QByteArray before = fileBytes(damaged);
        scope.push(fileName(damaged));
        scope.push(systemMessage(kDamaged));
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, commands::OpenGradebook, 0);
        QCOMPARE(scope.pending(), 0);
        unchanged();
        QCOMPARE(fileBytes(damaged), before);

        scope.push(password(u"Secret"_s));
        QVERIFY(main.OpenAFile(locked.path()));
        // The password that an older version kept in clear is now kept as its hash, which
        // the right password alone matches.
        const QByteArray content = decryptedContent(locked.path());
        QVERIFY(content.contains("pbkdf2-sha256$") && !content.contains("Secret"));
        scope.push(password(u"secret"_s));
        scope.push(incorrect);
        QVERIFY(!main.OpenAFile(locked.path()));
        scope.push(password(u"Secret"_s));
        QVERIFY(main.OpenAFile(locked.path()));
        QCOMPARE(main.windowTitle(), u"Carnet de notes - locked"_s);
        QCOMPARE(main.lblPrincipal->text(), u"5e B: aucune donnée à afficher."_s);

        // Converted, its width fields added after its tables were made, it opens again as it is.
        scope.push(msgBox(question, u"OK"_s));
        QVERIFY(main.OpenAFile(old));
        QVERIFY(main.OpenAFile(old));
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(mUtilities::gDB.Properties(u"VersionID"_s).Value().toString(), u"1.2.2"_s);
        QCOMPARE(main.lblPrincipal->text(), u"Aucune donnée à afficher."_s);
        QCOMPARE(main.vskTab->SectionCount(), 0);
    }

    void refusedFiles_data() {
        QTest::addColumn<QByteArray>("damage");  // SQL steps run on the file, or a change of its bytes or rights
        QTest::addColumn<bool>("older");         // the SQL compares texts as an older engine did
        QTest::addColumn<QString>("message");
        const auto row = [](const char* tag, const QByteArray& damage, const QString& message, bool older = false) {
            QTest::newRow(tag) << damage << older << message;
        };
        row("read-only file", "chmod file", kReadOnly);
        row("read-only folder", "chmod folder", kReadOnly);
        row("another program writing it", "lock", kBusy);
        row("a byte flipped in a page of grades", "flip", kDamaged);
        row("a page zeroed", "zero", kDamaged);
        row("truncated", "truncate", kDamaged);
        // A header that SQLCipher cannot read safely (a page size of 512: past its buffer).
        row("a page size of 512", "page size", kDamaged);
        row("no reserved space", "reserved space", kDamaged);
        row("a journal cutting it", "journal", kDamaged);
        row("a trigger deleting every grade", "CREATE TRIGGER t AFTER INSERT ON Notes BEGIN DELETE FROM Notes; END", kNotValid);
        row("a view", "CREATE VIEW v AS SELECT * FROM Notes", kNotValid);
        row("a table of its own", "CREATE TABLE Journal (x)", kNotValid);
        row("an index of its own", "CREATE INDEX \"Notes.Note\" ON Notes (Note)", kNotValid);
        row("a unique index dropped", "DROP INDEX \"Classes.Nom abrégé\"", kNotValid);
        row("grades rebuilt without their rules",
            "DROP TABLE Notes; CREATE TABLE \"Notes\" (\"Note\" FLOAT, \"NumSérie\" INTEGER, \"NumElv\" INTEGER, "
            "PRIMARY KEY (\"NumSérie\", \"NumElv\")); CREATE INDEX \"Notes.NumSérie\" ON \"Notes\" (\"NumSérie\");"
            "CREATE INDEX \"Notes.NumElv\" ON \"Notes\" (\"NumElv\")",
            kNotValid);
        row("a period rule up to 1e300", changeDefinition("\"between\":[1,3]", "\"between\":[1,1e300]"), kNotValid);
        row("a field of no known type", changeDefinition("\"type\":2", "\"type\":99"), kNotValid);
        row("a definition cut short", changeDefinition("]}", ""), kNotValid);
        row("a text field of 100000 characters", changeDefinition("\"size\":30", "\"size\":100000"), kNotValid);
        row("decimals of 1e300", "UPDATE __Properties SET Value = 1e300 WHERE Name = 'Moyenne'", kNotValid);
        // Names indexed by an older comparison that told a combining accent from a precomposed one.
        row("a name out of its index's order", "INSERT INTO Elèves (Nom, Prénom, NumClass) VALUES ('E\u0301mile', 'A', 1)",
            kDamaged, true);
        row("a subject twice in a unique index", "INSERT INTO Matières VALUES (0, 'Mathe\u0301matiques')", kDamaged, true);
        // Rows changed behind an index, as a damaged page leaves them: two classes read back with one name,
        // a series out of its place among the periods, a student whose index still holds the first name.
        row("a class renamed behind its unique index", kTwoClassesOfOneName, kDamaged);
        row("a series moved behind its index",
            behindIndex("Séries.PériodeDate", "NumSérie = 3", "UPDATE Séries SET Période = 1 + Période % 3 WHERE NumSérie = 3"),
            kDamaged);
        row("a student renamed behind the index of names",
            behindIndex("Elèves.NomPrénom", "NumElv = 1", "UPDATE Elèves SET Prénom = 'Prénoms' WHERE NumElv = 1"), kDamaged);
        // Sound rows, but more of them than any class holds: the first grid could not be laid out.
        row("a first grid beyond what a grid holds",
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
            "INSERT INTO Elèves (Nom, Prénom, NumClass) SELECT 'Élève', 'N' || i, 1 FROM n; "
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
            "INSERT INTO Séries (Nom, Sur, Coefficient, Date, Période, NumMat, NumClass, Colonne) "
            "SELECT 'Série ' || i, Sur, Coefficient, Date, Période, NumMat, NumClass, Colonne FROM Séries, n WHERE NumSérie <= 2",
            kDamaged);
        // Sound rows, but more classes or subjects than the tab bar holds: they could not all be shown.
        row("more classes than the tab bar holds",
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1927) "
            "INSERT INTO Classes (Nom, \"Nom abrégé\", Colonne) SELECT 'Classe ' || i, 'C' || i, 1800 FROM n",
            kDamaged);
        row("more subjects than a section holds",
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32766) "
            "INSERT INTO Matières (Nom) SELECT 'Matière ' || i FROM n",
            kDamaged);
        // A grade added twice while its key was a plain index, then made the key again.
        const QByteArray key = ", PRIMARY KEY (\"NumSérie\", \"NumElv\")";
        row("a grade twice in its primary key",
            "PRAGMA writable_schema = 1; UPDATE sqlite_master SET sql = replace(sql, '" + key + "', '') WHERE name = 'Notes';"
            "UPDATE sqlite_master SET type = 'index', name = 'k', sql = 'CREATE INDEX k ON Notes (\"NumSérie\", \"NumElv\")' "
            "WHERE name = 'sqlite_autoindex_Notes_1'\nINSERT INTO Notes VALUES (12, 1, 1)\n"
            "PRAGMA writable_schema = 1; UPDATE sqlite_master SET sql = substr(sql, 1, length(sql) - 1) || '" + key + ")' "
            "WHERE name = 'Notes'; UPDATE sqlite_master SET name = 'sqlite_autoindex_Notes_1', sql = NULL WHERE name = 'k'",
            kDamaged);
        // Refused once the conversion that a version 1.2 asks for was accepted.
        const QByteArray version12 = "; UPDATE __Properties SET Value = '1.2' WHERE Name = 'VersionID'";
        row("version 1.2 without its decimals", "DELETE FROM __Properties WHERE Name = 'Moyenne'" + version12, kCannotOpen);
        row("version 1.2 without its password", "DELETE FROM __Properties WHERE Name = 'Passe'" + version12, kCannotOpen);
        row("version 1.2 with a period 7",
            "PRAGMA ignore_check_constraints = 1; UPDATE Séries SET Période = 7 WHERE rowid = 3" + version12, kCannotOpen);
    }

    void refusedFiles() {
        QFETCH(QByteArray, damage);
        QFETCH(bool, older);
        QFETCH(QString, message);
        const QString file = copyOfBase(QString::fromLatin1(QTest::currentDataTag()));
        const QString folder = QFileInfo(file).absolutePath();
        const qint64 size = QFileInfo(file).size();
        sqlite3* locker = nullptr;
        if (damage == "chmod file") {
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        } else if (damage == "chmod folder") {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (damage == "lock") {
            // Another program in the middle of writing: it holds the file for itself.
            sqlite3_open(QFile::encodeName(file).constData(), &locker);
            sqlite3_key(locker, kKey.constData(), int(kKey.size()));
            QCOMPARE(sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else if (damage == "flip") {
            // Changed, whatever it was: the bytes of a page are new at every write of it.
            QByteArray bytes = fileBytes(file);
            bytes[size - kPage / 2] = char(bytes[size - kPage / 2] ^ 0x5a);
            QVERIFY(writeFile(file, bytes));
        } else if (damage == "zero") {
            QVERIFY(writeFile(file, fileBytes(file).replace(4 * kPage, kPage, QByteArray(kPage, '\0'))));
        } else if (damage == "truncate") {
            QVERIFY(QFile::resize(file, size / 2));
        } else if (damage == "page size") {
            QVERIFY(rewriteFirstPage(file, [](QByteArray& page) { page.replace(16, 2, QByteArray::fromHex("0200")); }));
        } else if (damage == "reserved space") {
            QVERIFY(rewriteFirstPage(file, [](QByteArray& page) { page[20] = 0; }));
        } else if (damage == "journal") {
            QVERIFY(writeFile(file + u"-journal"_s, journalCuttingTo(2)));
        } else {
            QCOMPARE(rawExecSteps(file, kKey, damage, older), SQLITE_OK);
        }
        const QByteArray before = fileBytes(file);
        frmMain& main = Form<frmMain>::get();
        mUtilities::setConversionQuestion([](const QString&, const QString&) { return u"1"_s; });
        QString shown;
        {
            FileRightsEnforced rights;
            shown = open(main, file);
        }
        if (locker) {
            sqlite3_exec(locker, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(locker);
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(shown, message);
        QVERIFY(!mUtilities::gDB.isOpen());
        QCOMPARE(main.windowTitle(), u"Carnet de notes"_s);
        // With no gradebook open, what needs one does nothing.
        main.Message(&main, mSubClass::WM_COMMAND, commands::RenameSubject, 0);
        QCOMPARE(fileBytes(file), before);
        if (damage == "journal") {
            QCOMPARE(leftovers(file), QStringList{u"carnet.dat-journal"_s});
            QCOMPARE(fileBytes(file + u"-journal"_s), journalCuttingTo(2));
        } else {
            QCOMPARE(leftovers(file), QStringList());
        }
    }

    // What is not a file where a gradebook or its journal is expected, a file or a journal that
    // may not be read or written, a temporary folder where a journal cannot be tried: each is
    // refused at once with a message that says so, never that the file is not valid or is
    // damaged, and nothing waits on a FIFO. No wait cursor stays behind.
    void filesThatCannotBeOpenedSayWhy() {
        frmMain& main = Form<frmMain>::get();
        const QString file = copyOfBase(u"chemins"_s), journal = file + u"-journal"_s;
        const QString cannot = u"Impossible d'ouvrir ce carnet de notes.\n"_s;
        const QString besideIt = u"Le journal « carnet.dat-journal » qui se trouve à côté de lui"_s;
        const QString notAFile =
            u" n'est pas un fichier que le programme peut ouvrir (c'est un dossier, un tube ou un périphérique)."_s;
        {
            WatchedFifo fifo(path(u"tube.dat"_s)), fifoJournal(journal);
            QCOMPARE(open(main, path(u"tube.dat"_s)), cannot + u"Ce"_s + notAFile);
            QCOMPARE(open(main, file), cannot + besideIt + notAFile);
            QVERIFY(!fifo.hung() && !fifoJournal.hung());
        }
        QVERIFY(QFile::remove(journal) && QDir().mkdir(journal));
        QCOMPARE(open(main, file), cannot + besideIt + notAFile);
        QVERIFY(QDir().rmdir(journal));

        QVERIFY(writeFile(journal, journalCuttingTo(2)));
        const QString temporary = path(u"temporaire"_s);
        QVERIFY(QDir().mkdir(temporary));
        const QList<std::tuple<QString, QFile::Permissions, QString>> refusals = {
            {file, {}, cannot + u"Vous n'avez pas le droit de lire ce fichier."_s},
            {journal, {}, cannot + u"Vous n'avez pas le droit de lire le journal « carnet.dat-journal » qui se trouve à "
                                   "côté de lui."_s},
            {journal, QFile::ReadOwner, cannot + besideIt + u" est en lecture seule : le programme ne peut pas s'en servir "
                                                            "pour remettre le fichier en état."_s},
            {temporary, QFile::ReadOwner | QFile::ExeOwner,
             cannot + u"Le programme doit d'abord essayer sur une copie le journal laissé à côté de lui par une "
                      "interruption, mais vous n'avez pas le droit d'écrire dans le dossier temporaire « %1 »."_s.arg(temporary)},
        };
        const QByteArray tmpdir = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temporary));
        for (const auto& [at, rights, message] : refusals) {
            const QFile::Permissions before = QFileInfo(at).permissions();
            QVERIFY(QFile::setPermissions(at, rights));
            QString shown;
            {
                FileRightsEnforced enforced;
                shown = open(main, file);
            }
            QVERIFY(QFile::setPermissions(at, before));
            QCOMPARE(shown, message);
        }
        qputenv("TMPDIR", tmpdir);
        QCOMPARE(fileBytes(journal), journalCuttingTo(2));
        QVERIFY(!QApplication::overrideCursor());
    }

    // A gradebook open in another copy of the program is refused with a message that says so,
    // and opens once that copy is gone, even killed; opening again the file open here is no
    // second copy. Once it is open, a journal that another program leaves beside it is said to
    // be that program's, by every grade typed and every grid shown, never damage.
    void aSecondCopyOfTheProgramIsKeptAway() {
        frmMain& main = Form<frmMain>::get();
        const QString file = copyOfBase(u"deux copies"_s);
        {
            OtherCopy other(file);
            QVERIFY(other.holds());
            QCOMPARE(open(main, file), u"Ce carnet de notes est déjà ouvert dans une autre fenêtre de Quibolet."_s);
        }
        QCOMPARE(open(main, file), QString());
        QCOMPARE(open(main, file), QString());
        QVERIFY(!OtherCopy(file).holds());

        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QByteArray before = fileBytes(file);
        QVERIFY(writeFile(file + u"-journal"_s, journalCuttingTo(2)));
        const QString inUse = u"Le fichier est utilisé par un autre programme."_s;
        ModalTestScope scope;
        scope.push(systemMessage(u"Votre saisie n'a pas pu être enregistrée dans le carnet de notes.\n"_s + inUse));
        main.flxNotes->setRow(4);
        main.flxNotes->setCol(1);
        QTest::keyClick(main.flxNotes, '7');
        QTest::keyClick(main.txtNote, Qt::Key_Return);
        QCOMPARE(scope.pending(), 0);
        scope.push(systemMessage(u"Les notes de cette classe dans cette matière n'ont pas pu être lues.\n"_s + inUse));
        main.selectClassAndSubject(1, 2);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Français"_s);
        QCOMPARE(fileBytes(file), before);
    }

    // A few hundred files damaged at random (with a fixed seed, so that a failure comes back):
    // each is refused with a message, writing nothing, or opens and shows every grid.
    void damagedCorpus() {
        QRandomGenerator random(20261207);
        const QByteArray sound = fileBytes(m_base);
        const QStringList refusals{kDamaged, kNotValid, kCannotOpen};
        const QString file = copyOfBase(u"corpus"_s);
        frmMain& main = Form<frmMain>::get();
        QCOMPARE(open(main, copyOfBase(u"sound"_s)), QString());  // the sound file opens
        for (int n = 0; n < 200; ++n) {
            QByteArray bytes = sound;
            switch (n % 3) {
            case 0:  // cut anywhere
                bytes.truncate(random.bounded(bytes.size()));
                break;
            case 1:  // up to four bytes flipped
                for (int i = 0, count = 1 + random.bounded(4); i < count; ++i)
                    bytes[random.bounded(bytes.size())] ^= char(1 + random.bounded(255));
                break;
            case 2:  // a page zeroed
                bytes.replace(random.bounded(m_rows) * kPage, kPage, QByteArray(kPage, '\0'));
                break;
            }
            QVERIFY(writeFile(file, bytes));
            const QString shown = open(main, file);
            const QString what = u"file %1: %2"_s.arg(n).arg(shown);
            if (shown.isEmpty()) {  // every class and subject shown in turn
                for (int s = 1; s <= main.vskTab->SectionCount(); ++s)
                    for (int i = 1; i <= main.vskTab->SectionAt(s).ItemCount(); ++i) main.selectClassAndSubject(s, i);
                mUtilities::gRsNotes = db::Recordset();
                mUtilities::gDB = db::Database();
            } else {
                QVERIFY2(refusals.contains(shown), qPrintable(what));
                QVERIFY2(fileBytes(file) == bytes, qPrintable(what));
            }
            QVERIFY2(leftovers(file).isEmpty(), qPrintable(what));
        }
    }

    void gridShapePerPeriodLayout() {
        GradebookBuilder b(path(u"shapes.dat"_s));
        const int a = b.addClass(u"Cinquième A"_s, u"5A"_s);
        const int empty = b.addClass(u"Cinquième B"_s, u"5B"_s);
        const int maths = b.addSubject(u"Maths"_s), french = b.addSubject(u"Français"_s);
        b.addSubject(u"Anglais"_s);
        const int zoe = b.addStudent(a, u"Zola"_s, u"Zoé"_s);
        const int eric = b.addStudent(a, u"Éluard"_s, u"Paul"_s);
        const int m2 = b.addSeries(a, maths, u"M2"_s, 20, 1, 2, QDate(2025, 1, 10));
        const int m1 = b.addSeries(a, maths, u"M1"_s, 20, 2, 2, QDate(2025, 1, 5));
        b.addSeries(a, french, u"F3"_s, 10, 1, 3);
        b.addSeries(a, french, u"F1"_s, 10, 1, 1);
        b.addSeries(empty, maths, u"B1"_s, 20, 1, 1);
        b.addGrade(m1, zoe, 12.5);
        b.addGrade(m2, eric, 15);
        b.setProperty(u"Moyenne"_s, 2);  // averages with two decimals
        b.close();

        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(b.path()));
        FlexGrid& g = *main.flxNotes;
        // The first series is in period 2: an empty "Moyenne 1" comes first, no "Moyenne 3".
        QCOMPARE(main.lblPrincipal->text(), u"5A - Maths"_s);
        const QList<QStringList> rows = gridTexts(g);
        QCOMPARE(rows.size(), 8);  // students sorted in French order, between two bands
        QCOMPARE(rows[0], (QStringList{"", "Moyenne 1", "M1", "M2", "Moyenne 2", "Moyenne générale"}));
        QCOMPARE(rows[1], (QStringList{"Note/", "", "20", "20", "", ""}));
        QCOMPARE(rows[2], (QStringList{"Coefficient", "", "2", "1", "", ""}));
        QCOMPARE(rows[4].first(), u"Éluard Paul"_s);
        QCOMPARE(rows[5], (QStringList{"Zola Zoé", "", "12,5", "", "12,50", "12,50"}));
        QCOMPARE(rows[7].first(), u" Moyenne"_s);
        QCOMPARE(g.RowData(4), eric);
        QCOMPARE(g.ColData(2), m1);
        QCOMPARE(main.propAveragePos(), (gradegrid::AveragePositions{0, 1, 4, 0, 5}));
        QCOMPARE(QPoint(g.Col(), g.Row()), QPoint(1, 4));
        QCOMPARE(editableCells(g), (QStringList{"1,2", "1,3", "2,2", "2,3", "4,2", "4,3", "5,2", "5,3"}));

        // Periods 1 and 3 only: "Moyenne 2" stands empty between them.
        main.vskTab_ItemClick(1, 2);
        QCOMPARE(gridTexts(g)[0],
                 (QStringList{"", "F1", "Moyenne 1", "Moyenne 2", "F3", "Moyenne 3", "Moyenne générale"}));
        QCOMPARE(main.propAveragePos(), (gradegrid::AveragePositions{0, 2, 3, 5, 6}));

        // No series: the names and an empty general average, nothing editable.
        main.vskTab_ItemClick(1, 3);
        QCOMPARE(gridTexts(g)[0], (QStringList{"", "Moyenne générale"}));
        QCOMPARE(editableCells(g), QStringList());
        QCOMPARE(main.propAveragePos(), (gradegrid::AveragePositions{0, 0, 0, 0, 1}));

        // A class without students hides the grid; only one section keeps a selected item. The
        // screen is read, not a flag: what was last painted where the grid stands must be blank
        // (of one colour), not the students of the class shown before, whether the class is
        // chosen or is the first of a gradebook opened next.
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const auto gridOnScreen = [&] {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            const QImage area =
                main.screen()->grabWindow(main.winId()).toImage().copy(QRect(g.mapTo(&main, QPoint()), g.size()));
            for (int y = 0; y < area.height(); ++y)
                for (int x = 0; x < area.width(); ++x)
                    if (area.pixel(x, y) != area.pixel(0, 0)) return true;
            return false;
        };
        QVERIFY(gridOnScreen());
        main.selectClassAndSubject(2, 1);
        QCOMPARE(main.lblPrincipal->text(), u"5B - Maths"_s);
        QVERIFY(!g.isVisibleTo(&main));
        QVERIFY(!gridOnScreen());
        QCOMPARE(frmMain::mCurrentSection, 2);
        QVERIFY(main.vskTab->SectionAt(1).SelectedItem().isNull());
        QCOMPARE(main.vskTab->SectionAt(2).SelectedItem().Index(), 1);

        main.selectClassAndSubject(1, 1);
        QVERIFY(gridOnScreen());
        GradebookBuilder second(path(u"sans élèves.dat"_s));
        second.addSubject(u"Histoire-géographie"_s);
        second.addClass(u"Sixième A"_s, u"6e A"_s);
        second.close();
        QVERIFY(main.OpenAFile(second.path()));
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Histoire-géographie"_s);
        QVERIFY(!gridOnScreen());
    }

    void helpNamesEveryCommandAndOuvrirRoutesClassesAndSubjects() {
        GradebookBuilder b(path(u"menu.dat"_s));
        QList<int> classes;
        for (int i = 1; i <= 3; ++i) classes << b.addClass(u"Classe %1"_s.arg(i), u"C%1"_s.arg(i));
        const int maths = b.addSubject(u"Maths"_s), history = b.addSubject(u"Histoire"_s);
        b.close();
        frmMain& main = Form<frmMain>::get();
        // The help names every command of the menus and the toolbar.
        QFile helpFile(platform::paths::helpFile());
        QVERIFY(helpFile.open(QIODevice::ReadOnly));
        const QString help = QString::fromUtf8(helpFile.readAll()).simplified();
        QList<QAction*> commands = main.menuBar()->actions() + main.tooBar->actions();
        for (const QMenu* menu : main.findChildren<QMenu*>()) commands += menu->actions();  // popups, drop-downs
        for (const QAction* command : commands) QVERIFY2(help.contains(command->text().remove(u'&')), qPrintable(command->text()));
        QVERIFY(main.OpenAFile(b.path()));
        // The subjects popup opened from the third class entry, then its second subject chosen.
        mSubClass::SendMessage(&main, mSubClass::WM_INITMENUPOPUP, 0, 2);
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 202, 0);
        QCOMPARE(main.lblPrincipal->text(), u"C3 - Histoire"_s);
        QCOMPARE(frmMain::mCurrentSection, 3);

        // Rebuilt after changes, the bar is as one built afresh (first section open, nothing
        // selected), but what did not change keeps its widgets.
        const auto firstButton = [&] { return tabkit::itemButton(*main.vskTab->findChildren<tabSection*>().first(), 1); };
        const QPointer<tooCommand> kept = firstButton();
        QVERIFY(cascades::deleteClass(mUtilities::gDB, classes[1]));
        classes[1] = classedit::create(mUtilities::gDB, {u"Classe 4"_s, u"C4"_s});
        subjectedit::rename(mUtilities::gDB, maths, u"Mathématiques"_s);
        const int english = subjectedit::create(mUtilities::gDB, u"Anglais"_s);
        main.CreateSectionsAndItems();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList bar, expected;
        for (int s = 1; s <= main.vskTab->SectionCount(); ++s) {
            const cTabSection section = main.vskTab->SectionAt(s);
            bar << u"%1 %2 %3 %4"_s.arg(section.Caption(), section.Key(), section.Tag()).arg(section.SelectedItem().Index());
            for (int i = 1; i <= section.ItemCount(); ++i)
                bar.last() += u' ' + section.ItemAt(i).Caption() + u'=' + section.ItemAt(i).Tag();
        }
        for (const int c : {0, 2, 1})
            expected << u"C%1 Classe %1 %2 0 Mathématiques=%3 Histoire=%4 Anglais=%5"_s.arg(c == 1 ? 4 : c + 1)
                            .arg(classes[c]).arg(maths).arg(history).arg(english);
        QCOMPARE(bar, expected);
        QCOMPARE(main.vskTab->ActiveSection().Index(), 1);
        QCOMPARE(firstButton(), kept.data());

        // Without subjects, class entries give commands: the 101st class is 201.
        GradebookBuilder many(path(u"many.dat"_s));
        for (int i = 1; i <= 101; ++i) many.addClass(u"Classe %1"_s.arg(i), u"C%1"_s.arg(i));
        many.close();
        QVERIFY(main.OpenAFile(many.path()));
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 201, 0);
        QCOMPARE(main.vskTab->ActiveSection().Caption(), u"C101"_s);
    }

    // Hundreds of classes and subjects: every section holds every subject, but the tab bar
    // makes the widgets of the items in view only (none while its headers fill it).
    void hundredsOfClassesAndSubjects() {
        const QString file = copyOfBase(u"centaines"_s);
        QCOMPARE(rawExecSteps(file, kKey,
                              "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                              "INSERT INTO Classes (Nom, \"Nom abrégé\", Colonne) SELECT 'Classe ' || i, 'C' || i, 1800 FROM n; "
                              "WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
                              "INSERT INTO Matières (Nom) SELECT 'Matière ' || i FROM n"),
                 SQLITE_OK);
        frmMain& main = Form<frmMain>::get();
        main.show();
        QVERIFY(main.OpenAFile(file));
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Mathématiques"_s);
        const ::vskTab& bar = *main.vskTab;
        // No item is less than 20 pixels high.
        const auto fewMade = [&] { return bar.findChildren<TabItemLabel*>().size() * 20 <= bar.height(); };
        QVERIFY(fewMade());
        QCOMPARE(bar.SectionCount(), 300);
        const cTabSection last = bar.SectionAt(300);
        QCOMPARE(last.ItemCount(), 500);
        QCOMPARE(last.ItemAt(500).Caption() + u' ' + last.ItemAt(500).Tag(), u"Matière 500 500"_s);
        main.selectClassAndSubject(300, 500);
        QCOMPARE(main.lblPrincipal->text(), u"C300 - Matière 500"_s);
        QVERIFY(fewMade());
    }

    void widthsAndPlacementRoundTrip() {
        GradebookBuilder b(path(u"largeurs.dat"_s));
        const int a = b.addClass(u"Quatrième A"_s, u"4A"_s), c = b.addClass(u"Quatrième C"_s, u"4C"_s);
        const int mat = b.addSubject(u"SVT"_s);
        b.addSubject(u"Musique"_s);
        b.addStudent(a, u"Petit"_s, u"Jean"_s);
        b.addStudent(c, u"de La Rochefoucauld-Ségur"_s, u"Marie"_s);
        b.addSeries(a, mat, u"TP"_s, 20, 1, 1);
        b.addSeries(a, mat, u"Interrogation écrite"_s, 20, 1, 1);
        b.close();

        // The first time, nothing stored places it: it opens whole in the middle of the screen.
        platform::SaveSetting(u"StartUp"_s, u"Maximized"_s, u"False"_s);
        platform::SaveSetting(u"StartUp"_s, u"Height"_s, u"0"_s);
        frmMain* main = &Form<frmMain>::get();
        main->show();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(main->frameGeometry()));
        QVERIFY((main->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        QVERIFY(main->OpenAFile(b.path()));
        platform::FlexGrid& grid = *main->flxNotes;
        // Columns at the width they were created with grow to their texts: a heading longer
        // than a new series' column, a name longer than a new class's; the others keep it.
        QCOMPARE(grid.ColWidth(1), gradebook::kNewSeriesWidth);
        QVERIFY(grid.ColWidth(2) > gradebook::kNewSeriesWidth);
        grid.setColWidth(0, 2400);
        grid.setColWidth(1, 40000);  // wider than the 16-bit field
        const int grown = grid.ColWidth(2);
        main->selectClassAndSubject(2, 1);  // leaving the class stores the widths the teacher set
        QVERIFY(grid.ColWidth(0) > gradebook::kNewClassWidth);
        QCOMPARE(columnWidths(mUtilities::gDB, u"Classes"_s), (QList<int>{2400, 1800}));
        QCOMPARE(columnWidths(mUtilities::gDB, u"Séries"_s), (QList<int>{32767, 600}));
        // A width the teacher set narrower than the heading stays his.
        main->selectClassAndSubject(1, 1);
        QCOMPARE(grid.ColWidth(2), grown);
        grid.setColWidth(2, 700);
        main->selectClassAndSubject(2, 1);
        main->selectClassAndSubject(1, 1);
        QCOMPARE(grid.ColWidth(2), 700);
        main->selectClassAndSubject(2, 1);
        QCOMPARE(columnWidths(mUtilities::gDB, u"Séries"_s), (QList<int>{32767, 700}));
        grid.setColWidth(0, 3000);
        main->setGeometry(40, 50, 700, 540);
        // The placement is stored in screen twips, the splitter in twips of the layout.
        main->picSplit->move(200, 0);
        main->close();  // closing stores them too, and the placement
        QCOMPARE(columnWidths(mUtilities::gDB, u"Classes"_s), (QList<int>{2400, 3000}));
        QCOMPARE((QStringList{setting("Maximized"), setting("Left"), setting("Top"), setting("Width"), setting("Height"),
                              setting("Pos1")}),
                 (QStringList{"False", "600", "750", "10500", "8100", QString::number(platform::layoutTwipsX(200))}));
        QCOMPARE(Form<frmMain>::instance(), nullptr);
        cleanup();

        main = &Form<frmMain>::get();
        main->show();  // it fits: as it was
        QCOMPARE(main->geometry(), QRect(40, 50, 700, 540));
        QCOMPARE(main->picSplit->x(), 200);
        // Maximized: only the state is written; minimized: nothing.
        main->setWindowState(Qt::WindowMaximized);
        main->close();
        QCOMPARE(setting("Maximized") + setting("Width"), u"True10500"_s);
        cleanup();
        main = &Form<frmMain>::get();
        QVERIFY(main->isMaximized());
        platform::SaveSetting(u"StartUp"_s, u"Maximized"_s, u"False"_s);
        main->setWindowState(Qt::WindowMinimized);
        main->close();
        QCOMPARE(setting("Maximized"), u"False"_s);
        cleanup();

        // A window left on a screen that is gone comes back onto the screen.
        platform::SaveSetting(u"StartUp"_s, u"Left"_s, u"-450000"_s);
        Form<frmMain>::get().show();
        QVERIFY(screen.contains(Form<frmMain>::get().frameGeometry()));
        cleanup();

        // A placement stored at scale factor 1 on a screen that is now as small as it is at 2,
        // larger than it and at its top edge: it fills that screen, title bar in view.
        const QRect small = QGuiApplication::screens().at(1)->availableGeometry();
        for (const auto& [key, twips] : {std::pair{"Left", platform::pixelsToTwips(small.left() + 100)},
                                         {"Top", 0}, {"Width", 30000}, {"Height", 21000}})
            platform::SaveSetting(u"StartUp"_s, QString::fromLatin1(key), QString::number(twips));
        Form<frmMain>::get().show();
        QCOMPARE(Form<frmMain>::get().frameGeometry(), small);
    }

    void decimalsAreWrittenAtOnceAndRefreshTheOpenerWhenChanged() {
        openNewGradebook();
        ModalTestScope scope;
        QCOMPARE(useOptions(scope, [](frmOptions& o) {
                     o.optDécimale[2]->click();
                     QCOMPARE(stored("Moyenne").toInt(), 2);
                     QCOMPARE(mUtilities::gAverageFormat, u"0.0"_s);
                     o.cmdClose->click();
                 }), 1);
        QCOMPARE(mUtilities::gAverageFormat, u"0.00"_s);
        QVERIFY(!Form<frmOptions>::isLoaded());
        // Back where it was before closing: nothing to refresh.
        QCOMPARE(useOptions(scope, [](frmOptions& o) {
                     o.optDécimale[1]->click();
                     o.optDécimale[2]->click();
                 }), 0);
        // The close box refreshes as "Fermer" does.
        QCOMPARE(useOptions(scope, [](frmOptions& o) { o.optDécimale[1]->click(); }), 1);
        QCOMPARE(mUtilities::gAverageFormat, u"0.0"_s);
        // A value other than 1 or 2 shows two decimals, and looking changes nothing.
        mUtilities::gDB.Properties(u"Moyenne"_s).setValue(3);
        QCOMPARE(useOptions(scope, [](frmOptions& o) { QVERIFY(o.optDécimale[2]->isChecked()); }), 0);
        QCOMPARE(stored("Moyenne").toInt(), 3);
    }

    void passwordIsSetOrRemovedOnlyWhenConfirmed() {
        openNewGradebook();
        ModalTestScope scope;
        const QString unprotected = u"Vous pouvez choisir de protéger ce carnet de notes par un mot de passe."_s;
        const auto passwords = [](const QString& password, const QString& confirmation) -> ModalResponder {
            return [=](QWidget& w) { typeAndConfirm(static_cast<frmPwdGive&>(w), password, confirmation); };
        };
        useOptions(scope, [&](frmOptions& o) {
            scope.push(passwords(u"Secret"_s, u"Secret"_s));
            o.cmdPasse->click();
            // The file keeps a hash of the password, never the password.
            const QVariant hash = stored("Passe");
            QVERIFY(gradebookpassword::matches(hash.toString(), u"Secret"_s));
            const QByteArray content = decryptedContent(mUtilities::gDB.Name());
            QVERIFY(content.contains("pbkdf2-sha256$") && !content.contains("Secret"));
            QCOMPARE(o.cmdPasse->text(), u"Modifier le mot de passe"_s);
            QVERIFY(o.lblEti[1]->text().startsWith(u"Ce carnet de notes est protégé"_s));

            // Two different entries: typed again after "OK", given up after "Annuler".
            scope.push([&](QWidget& w) {
                auto& give = static_cast<frmPwdGive&>(w);
                QTest::keyClicks(give.txtPwd, u"abcdefghijkl"_s);
                QCOMPARE(give.txtPwd->displayText(), QString(10, u'*'));
                scope.push(msgBox(u"Mot de passe et sa confirmation différents.\nRecommencer ?"_s, u"OK"_s));
                typeAndConfirm(give, {}, u"abcdefghiJ"_s);
                QVERIFY(give.isVisible() && give.txtPwd->text().isEmpty() && give.txtConfirm->text().isEmpty());
                scope.push(msgBox(u"Mot de passe et sa confirmation différents."_s, u"Annuler"_s));
                typeAndConfirm(give, u"un"_s, u"deux"_s);
                QVERIFY(!give.isVisible());
            });
            o.cmdPasse->click();
            QCOMPARE(stored("Passe"), hash);

            for (const char* reply : {"Non", "Oui"}) {
                scope.push(passwords({}, {}));
                const QString empty = u"Mot de passe vide. Ceci équivaut à l'absence de mot de passe.\nConfirmer ?"_s;
                scope.push(msgBox(empty, QString::fromLatin1(reply)));
                o.cmdPasse->click();
                QCOMPARE(stored("Passe"), *reply == 'N' ? hash : u"Undefined"_s);
            }
            QCOMPARE(o.lblEti[1]->text(), unprotected);

            // The no-password marker typed as a password protects nothing, and says so.
            scope.push(passwords(u"Undefined"_s, u"Undefined"_s));
            o.cmdPasse->click();
            QCOMPARE(o.lblEti[1]->text(), unprotected);
            QCOMPARE(o.cmdPasse->text(), u"Définir un mot de passe"_s);
        });
        QCOMPARE(scope.pending(), 0);
    }

    void everyCellOfTheGridIsInItsSheetCell() {
        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(copyOfBase(u"excel"_s)));
        FlexGrid& grid = *main.flxNotes;
        grid.setTextMatrix(4, 0, u"BOULANGER-DUMOULIN "_s.repeated(5));
        grid.setTextMatrix(5, 1, QString());  // a grade missing
        grid.setTextMatrix(grid.Rows() - 1, 2, u"14,50"_s);  // two decimals
        ModalTestScope scope;
        QVERIFY(QFile(path(u"6A.xlsx"_s)).open(QIODevice::WriteOnly));
        queueExport(scope, path(u"6A"_s), exported(path(u"6A.xlsx"_s)));  // extension added
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, commands::ExcelExport, 0);

        const QJsonObject book = readWorkbook(path(u"6A.xlsx"_s));
        QCOMPARE(book.value(u"sheets"_s).toArray(), QJsonArray{u"6e A - Mathématiques"_s});
        const QJsonObject cells = book.value(u"cells"_s).toObject();
        int written = 0;
        for (int r = 0; r < grid.Rows(); ++r)
            for (int c = 0; c < grid.Cols(); ++c) {
                const QString text = grid.TextMatrix(r, c);
                const QJsonValue cell = cells.value(QChar(u'A' + c) + QString::number(r + 1));
                written += !text.isEmpty();
                if (text.isEmpty()) {
                    QVERIFY(cell.isUndefined());
                } else if (const auto number = platform::numbers::parse(text)) {
                    // Shown with the decimals the grid showed: "14,50" keeps two.
                    const qsizetype comma = text.indexOf(u',');
                    const QString format = comma < 0 ? QString() : u"0."_s + QString(text.size() - comma - 1, u'0');
                    QCOMPARE(cell.toArray(), (QJsonArray{*number, format}));
                } else {
                    QCOMPARE(cell.toString(), text);
                }
            }
        QCOMPARE(cells.size(), written);
        QCOMPARE(unfittedColumns(book), QStringList());
    }

    void cancellingOrFailingAnExportWritesNothing() {
        const mExcelExport::Cells cells{{u"Nom"_s, u"12,5"_s}};
        const QString file = path(u"refus.xlsx"_s);
        ModalTestScope scope;
        // "Annuler", the question closed without an answer, the save dialog cancelled.
        scope.push(msgBox(kExcelQuestion, u"Annuler"_s));
        scope.push([](QWidget& w) { w.close(); });
        scope.push(msgBox(kExcelQuestion, u"OK"_s));
        scope.push([](QWidget& w) { w.close(); });
        for (int i = 0; i < 3; ++i) mExcelExport::ExportToExcel(cells, u"6A"_s, nullptr);
        QCOMPARE(scope.pending(), 0);
        QVERIFY(!QFile::exists(file));

        // A heading that cannot name a sheet gives "Feuil1"; the existing file is replaced.
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        for (const QString& heading : {u"6A - Physique/Chimie"_s, QString(32, u'x')}) {
            queueExport(scope, file, exported(file));
            mExcelExport::ExportToExcel(cells, heading, nullptr);
            QCOMPARE(readWorkbook(file).value(u"sheets"_s).toArray(), QJsonArray{u"Feuil1"_s});
        }

        // A write that fails half-way says so and leaves the earlier workbook whole: the
        // workbook cut, or only its sheet's part, whose compressed copy still fits.
        const QByteArray before = fileBytes(file);
        mExcelExport::Cells large;
        for (int r = 0; r < 2000; ++r) large << QStringList{u"Élève %1"_s.arg(r), QString::number(r)};
        for (rlim_t limit : {rlim_t(before.size() + 1000), rlim_t(64 * 1024)}) {
            queueExport(scope, file, kExcelFailed);
            FileSizeLimit full(limit);
            mExcelExport::ExportToExcel(large, u"6A"_s, nullptr);
        }
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({u".*"_s}, QDir::Files | QDir::Hidden), QStringList());

        // The open gradebook is never replaced by a workbook.
        const QString gradebookFile = copyOfBase(u"excel-refus"_s);
        mUtilities::gDB = db::Database::OpenDatabase(gradebookFile, gradebook::databasePassword());
        const QByteArray gradebookBytes = fileBytes(gradebookFile);
        queueExport(scope, gradebookFile, kExcelFailed);
        mExcelExport::ExportToExcel(cells, u"6A"_s, nullptr);
        QCOMPARE(fileBytes(gradebookFile), gradebookBytes);
        // Nor one that another copy of the program has open.
        mUtilities::gDB = db::Database();
        {
            OtherCopy other(gradebookFile);
            QVERIFY(other.holds());
            queueExport(scope, gradebookFile, kExcelFailed);
            mExcelExport::ExportToExcel(cells, u"6A"_s, nullptr);
        }
        QCOMPARE(fileBytes(gradebookFile), gradebookBytes);
        QCOMPARE(scope.pending(), 0);
    }

    void textsAndCellsStandApart_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        // The GTK platform theme under Adwaita dark, which gives Fusion's own dark palette.
        QTest::newRow("Adwaita dark") << captured(
            "f0f0f0 323232 4b4b4b 2a2a2a 212121 262626 f0f0f0 4b4b4b f0f0f0 242424 323232 191919 308cc6 f0f0f0 "
            "308cc6 ff00ff 2b2b2b 000000 ffffdc 000000 80f0f0f0",
            "828282 323232 4b4b4b 2a2a2a bebebe 262626 828282 4b4b4b 828282 323232 323232 252525 919191 f0f0f0 "
            "308cc6 ff00ff 2b2b2b 000000 ffffdc 000000 80f0f0f0");
        // The KDE platform theme under Breeze Dark, with the Fusion style.
        QTest::newRow("Breeze dark") << captured(
            "fcfcfc 31363b 181b1d 25292c 626c76 41484e fcfcfc ffffff fcfcfc 1b1e20 2a2e32 767676 3daee9 fcfcfc "
            "1d99f3 9b59b6 232629 000000 31363b fcfcfc 80000000",
            "626c76 31363b 181b1d 25292c 626c76 41484e 626c76 ffffff 626c76 31363b 31363b b1b1b1 41484e 25292c "
            "1d99f3 9b59b6 232629 000000 31363b fcfcfc 80000000");
    }

    void textsAndCellsStandApart() {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".dat");
        QVERIFY(QFile::copy(m_readable, file));
        frmMain& main = Form<frmMain>::get();
        main.resize(900, 600);
        main.show();
        QVERIFY(main.OpenAFile(file));
        main.selectClassAndSubject(1, 1);

        // Subject names in the tab bar, the selected one and the others; dark text on grey, as
        // a dark palette makes them, needs more than white text does.
        const QColor window = palette.color(QPalette::Window), field = palette.color(QPalette::Base);
        const QList<TabItemLabel*> items = main.vskTab->findChildren<TabItemLabel*>();
        QVERIFY(!items.isEmpty());
        for (TabItemLabel* item : items)
            if (item->isVisible())
                QVERIFY2(drawnContrast(*item) >= (field.lightness() < 128 ? 7 : 4.5), qPrintable(item->Caption()));

        // Grid texts on editable and fixed cells; editable cells apart from fixed ones.
        platform::FlexGrid& g = main.gradeGrid();
        const QColor editable = cellColour(g, 4, 1), editableText = platform::oleColor(g.CellForeColor());
        const QColor fixed = cellColour(g, 0, 0);
        QVERIFY(contrastRatio(editableText, editable) >= 3);
        QVERIFY(contrastRatio(platform::oleColor(g.CellForeColor()), fixed) >= 3);
        QVERIFY(contrastRatio(platform::oleColor(g.ForeColorSel()), platform::oleColor(g.BackColorSel())) >= 3);
        QVERIFY(contrastRatio(editable, fixed) >= 1.25);

        frmMsgBox box;
        box.setMessage(u"Une question lisible ?"_s);
        box.show();
        QVERIFY(drawnContrast(*box.lblMessage) >= 3);

        // Option buttons and the lists' check boxes stand out from what they are drawn on, the
        // chosen option's dot from its field; a text box's thin edge from the window, all round.
        QWidget form;
        QRadioButton* options[2] = {new QRadioButton(&form), new QRadioButton(&form)};
        options[1]->setChecked(true);
        auto* list = new QListWidget(&form);
        (new QListWidgetItem(list))->setCheckState(Qt::Unchecked);
        auto* comment = new QPlainTextEdit(&form);
        mOffice2000::SetEdgeStyle(comment, true);
        form.show();
        QVERIFY(edged(*comment));
        QVERIFY(drawnContrast(*options[0], window) >= 3);
        QVERIFY(drawnContrast(*list->viewport(), field, list->visualItemRect(list->item(0))) >= 3);
        QStyleOptionButton o;
        o.initFrom(options[1]);
        const QPoint dot = options[1]->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &o, options[1]).center();
        QVERIFY(contrastRatio(options[1]->grab().toImage().pixelColor(dot), field) >= 7);
        Form<frmMain>::unload();
    }

    // In the desktop's font, and in a larger one: the layouts follow the font.
    void everyWindowShowsItsTextsWhole_data() {
        QTest::addColumn<double>("size");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger font") << 1.5;
    }

    void everyWindowShowsItsTextsWhole() {
        QFETCH(double, size);
        QApplication::setPalette(QApplication::style()->standardPalette());
        static const QFont desktop = QApplication::font();
        QFont font = desktop;
        font.setPointSizeF(desktop.pointSizeF() * size);
        QApplication::setFont(font);
        m_cut.clear();
        m_windows = 0;
        QDir(platform::paths::exportFolder()).removeRecursively();
        const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u'/' + kLongName + u".dat"_s);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && QFile::copy(m_readable, file));
        platform::SaveSetting(u"StartUp"_s, u"File"_s, file);
        m_received = m_dir.filePath(u"Notes Export %1.dat"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
        QVERIFY(QFile::copy(m_sent, m_received));

        ModalTestScope scope;
        m_scope = &scope;
        Form<frmSplash>::get().show();
        check(Form<frmSplash>::get());
        QVERIFY(!Form<frmSplash>::get().optChoix[0]->text().contains(u'…'));  // on lines enough
        Form<frmSplash>::unload();
        frmPwdAsk ask;
        ask.show();
        check(ask);

        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(file));
        main.setGeometry(0, 0, 1400, 900);  // on a screen as large as the font asks
        main.show();
        check(main);
        scope.push(visit());
        messages::msgBox(&main, u"Voulez-vous vraiment supprimer la classe 2nde Euro All. — section européenne allemand ?"_s, 4, 4);
        scope.push(visit());
        messages::messageList(&main, u"Votre saisie est incorrecte."_s,
                              {u"Le nom d'une série de notes doit être renseigné."_s}, {});
        scope.push(visit());  // the next steps after creating a gradebook
        QVERIFY(mUtilities::CreateGradebook(m_dir.filePath(u"Nouveau carnet %1.dat"_s.arg(QTest::currentDataTag()))));

        const QStringList next{u"Suivant >"_s};
        const QList<std::pair<commands::Command, QStringList>> dialogs = {
            {commands::Options, {u"+Définir un mot de passe"_s}}, {commands::About, {}}, {commands::RenameClass, {}},
            {commands::NewClass, {}}, {commands::RenameSubject, {}}, {commands::NewSubject, {}},
            {commands::ModifySeries, next}, {commands::NewSeries, next}, {commands::StudentList, next},
            {commands::DeleteClass, {}}, {commands::DeleteSubject, {}}, {commands::MergeSubjects, {u"Continuer"_s}},
            {commands::DeleteSeries, next}, {commands::ExportGrades, next + next + QStringList{u"tick"_s} + next},
            {commands::ImportGrades, {u"file"_s, u"Suivant >"_s, u"*Détails..."_s, u"Suivant >"_s, u"Suivant >"_s,
                                      u"Suivant >"_s, u"enter:Continuer"_s,
                                      u"enter:Créer cet élève dans votre carnet de notes,Continuer"_s, u"Suivant >"_s,
                                      u"Suivant >"_s}},
            {commands::Print, {u"+Continuer"_s, u"+Continuer"_s}},
        };
        for (const auto& [command, steps] : dialogs) {
            scope.push(visit(steps));
            mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, command, 0);
        }

        // The table of averages, on a class, on a student and on a student's civil status.
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, commands::AveragesTable, 0);
        frmElèves& averages = *Form<frmElèves>::instance();
        averages.treElv->expandAll();
        check(averages);
        QTreeWidgetItem* cls = averages.treElv->topLevelItem(0);
        averages.treElv->setCurrentItem(cls->child(0));
        check(averages);
        averages.optChoix[1]->click();
        check(averages);
        averages.mnuGen_Click(0);
        Form<frmMain>::unload();

        QVERIFY(m_windows > 20);
        // Each cut text once, and each on a line of its own: a long failure message is shortened.
        m_cut.removeDuplicates();
        for (const QString& cut : std::as_const(m_cut)) qWarning("cut: %s", qPrintable(cut));
        QVERIFY2(m_cut.isEmpty(), qPrintable(m_cut.join(u"\n"_s)));
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
