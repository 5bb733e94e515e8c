// The colours the program's controls draw stay readable under the light palette and under the
// dark palettes that desktops give.
#include "GradebookBuilder.h"
#include "controls/TabItemLabel.h"
#include "controls/frmMsgBox.h"
#include "controls/vskTab.h"
#include "mainwindow/frmMain.h"
#include "platform/Desktop.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/OleColor.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::contrastRatio;
using platform::Form;

namespace {

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

class tst_Themes : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { platform::installDesktopRules(*qApp); }

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
        testsupport::GradebookBuilder b(file);
        const int c = b.addClass(u"Sixième B"_s, u"6B"_s);
        const int m = b.addSubject(u"Mathématiques"_s);
        b.addSubject(u"Histoire"_s);
        const int e = b.addStudent(c, u"Martin"_s, u"Léa"_s);
        b.addGrade(b.addSeries(c, m, u"Contrôle"_s, 20, 1, 1), e, 12.5);
        b.close();

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

        // For a look by eye: QUIBOLET_SHOTS=folder keeps a picture of the window.
        if (const QString shots = qEnvironmentVariable("QUIBOLET_SHOTS"); !shots.isEmpty())
            main.grab().save(shots + u"/main-%1.png"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
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
};

QTEST_MAIN(tst_Themes)
#include "tst_Themes.moc"
