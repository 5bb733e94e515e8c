// Every window readable under any desktop: filled with long French names, each shows its texts
// whole (captions, headings, names, list lines and button texts fit their places in whatever
// interface font the desktop gives), and the colours its controls draw stand apart under the
// light palette and under the dark palettes that desktops give.
#include "Answers.h"
#include "GradebookBuilder.h"
#include "UiHelpers.h"
#include "controls/TabItemLabel.h"
#include "controls/frmMsgBox.h"
#include "controls/mSubClass.h"
#include "controls/tabSection.h"
#include "controls/vskTab.h"
#include "editing/frmEleves.h"
#include "gradebook/Messages.h"
#include "mainwindow/Commands.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmPwdAsk.h"
#include "mainwindow/frmSplash.h"
#include "platform/Desktop.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/OleColor.h"
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOption>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using platform::contrastRatio;
using platform::Form;
using platform::ModalResponder;

namespace {

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
            check(text, fits(h.fontMetrics(), QRect(0, 0, h.sectionSize(c) - 2 * margin, h.height()), text, false));
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
                check(text, fits(v.fontMetrics(), room, text, wrap));
            }
    };
    walk(v.rootIndex());
}

// The texts of a grid that its cells cut, as the grid paints them: wrapped in a row tall
// enough for two lines, a run of equal texts merged in a merging row.
void checkGrid(const platform::FlexGrid& g, const std::function<void(const QString&, bool)>& check) {
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
        if (auto* b = qobject_cast<QPushButton*>(w); b && !b->text().isEmpty()) {
            QStyleOptionButton o;
            o.initFrom(b);
            if (b->autoDefault() || b->isDefault()) o.features |= QStyleOptionButton::AutoDefaultButton;
            const int margin = s.pixelMetric(QStyle::PM_ButtonMargin, &o, b) / 2;
            const QRect room = s.subElementRect(QStyle::SE_PushButtonContents, &o, b).adjusted(margin, 0, -margin, 0);
            check(b->text(), fits(fm, room, shown(b->text()), false));
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            const QSize need = w->sizeHint();
            check(static_cast<QAbstractButton*>(w)->text(), need.width() <= w->width() && need.height() <= w->height());
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

class tst_Readability : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QStringList m_cut;
    int m_windows = 0;
    platform::ModalTestScope* m_scope = nullptr;

    void check(QWidget& window) {
        ++m_windows;
        if (auto* tabs = window.findChild<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i) tabs->setCurrentIndex(i), m_cut << cutTexts(window);
        else
            m_cut << cutTexts(window);
    }

    // Checks a window, then takes its steps: the caption of a button to press, after which
    // the window is checked again; "*" before it when the button opens a window that is
    // checked in turn, "+" when the steps left are that window's; "tick" ticks the first
    // line of every list with boxes; "file" answers the next file dialog with the exchange
    // file; "enter:" opens the first line of the list, in a window visited with the
    // steps that follow, separated by commas.
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
                    m_scope->push(testsupport::fileName(platform::paths::exportFolder() + u"/Notes Export 0001.dat"_s));
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
                    testsupport::clickButton(w, step.mid(opens ? 1 : 0));
                    if (step.startsWith(u'+')) return;
                }
                if (w.isVisible()) check(w);
            }
        };
    }

private slots:
    void initTestCase() {
        platform::installDesktopRules(*qApp);
        testsupport::GradebookBuilder b(m_dir.filePath(u"base.dat"_s));
        const int stl = b.addClass(u"Seconde Sciences et Technologies 2"_s, u"2nde STL 2"_s);
        const int si = b.addClass(u"Première Sciences de l'ingénieur"_s, u"1re SI"_s);
        const int svt = b.addSubject(u"Sciences de la vie et de la Terre"_s);
        b.addSubject(u"Education physique et sportive"_s);
        b.addSubject(u"Histoire-Géographie"_s);
        const QList<int> students = {b.addStudent(stl, u"Martin-Lefèvre"_s, u"Anne-Charlotte"_s),
                                     b.addStudent(stl, u"Dubois-Lambert"_s, u"Jean-Baptiste"_s),
                                     b.addStudent(si, u"Fontaine"_s, u"Marie-Hélène"_s)};
        const QStringList series = {u"Contrôle 1"_s, u"Contrôle de connaissances 1"_s, u"DS n°2"_s};
        for (int i = 0; i < series.size(); ++i) {
            const int s = b.addSeries(stl, svt, series[i], 20, 1, 1 + i / 2);
            for (int e = 0; e < 2; ++e) b.addGrade(s, students[e], 9.5 + 3 * i + e);
        }
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
        QVERIFY(QFile::copy(m_dir.filePath(u"base.dat"_s), file));
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
        // chosen option's dot from its field.
        QWidget form;
        QRadioButton* options[2] = {new QRadioButton(&form), new QRadioButton(&form)};
        options[1]->setChecked(true);
        auto* list = new QListWidget(&form);
        (new QListWidgetItem(list))->setCheckState(Qt::Unchecked);
        form.show();
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
        static const QFont desktop = QApplication::font();
        QFont font = desktop;
        font.setPointSizeF(desktop.pointSizeF() * size);
        QApplication::setFont(font);
        m_cut.clear();
        m_windows = 0;
        QDir(platform::paths::exportFolder()).removeRecursively();
        const QString file = m_dir.filePath(u"Carnet du lycée %1.dat"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
        QVERIFY(QFile::copy(m_dir.filePath(u"base.dat"_s), file));
        platform::SaveSetting(u"StartUp"_s, u"File"_s, file);

        platform::ModalTestScope scope;
        m_scope = &scope;
        Form<frmSplash>::get().show();
        check(Form<frmSplash>::get());
        Form<frmSplash>::unload();
        frmPwdAsk ask;
        ask.show();
        check(ask);

        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(file));
        main.setGeometry(0, 0, 1400, 900);  // on a screen as large as the font asks
        main.show();
        // The teacher widened the column of the series with a long name.
        main.gradeGrid().setColWidth(2, 1500);
        check(main);
        scope.push(visit());
        messages::msgBox(&main, u"Voulez-vous vraiment supprimer la classe Seconde Sciences et Technologies 2 ?"_s, 4, 4);
        scope.push(visit());
        messages::messageList(&main, u"Votre saisie est incorrecte."_s,
                              {u"Le nom d'une série de notes doit être renseigné."_s}, {});

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
        QTreeWidgetItem* cls = averages.treElv->topLevelItem(0);
        cls->setExpanded(true);
        check(averages);
        averages.treElv->setCurrentItem(cls->child(0));
        check(averages);
        averages.optChoix[1]->click();
        check(averages);
        averages.mnuGen_Click(0);
        Form<frmMain>::unload();

        QVERIFY(m_windows > 20);
        QVERIFY2(m_cut.isEmpty(), qPrintable(m_cut.join(u"\n"_s)));
    }
};

QTEST_MAIN(tst_Readability)
#include "tst_Readability.moc"
