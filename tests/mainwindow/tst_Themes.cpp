// The colours the program's controls draw stay readable under a light and a dark palette.
#include "GradebookBuilder.h"
#include "controls/TabItemLabel.h"
#include "controls/frmMsgBox.h"
#include "controls/vskTab.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/OleColor.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using platform::contrastRatio;
using platform::Form;

namespace {

// A dark Fusion palette as dark desktop themes set it.
QPalette darkPalette() {
    QPalette p(QColor(53, 53, 53), QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(53, 53, 53));
    p.setColor(QPalette::ToolTipText, Qt::white);
    return p;
}

// The strongest contrast between the widget's background (its corner pixel) and anything
// drawn on it: for a widget that shows text, the contrast of the text.
double drawnContrast(QWidget& w) {
    const QImage image = w.grab().toImage();
    const QColor back = image.pixelColor(1, 1);
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
    void textsAndCellsStandApart_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        QTest::newRow("dark") << darkPalette();
    }

    void textsAndCellsStandApart() {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".dat");
        testsupport::GradebookBuilder b(file);
        const int c = b.addClass(QStringLiteral("Sixième B"), QStringLiteral("6B"));
        const int m = b.addSubject(QStringLiteral("Mathématiques"));
        b.addSubject(QStringLiteral("Histoire"));
        const int e = b.addStudent(c, QStringLiteral("Martin"), QStringLiteral("Léa"));
        b.addGrade(b.addSeries(c, m, QStringLiteral("Contrôle"), 20, 1, 1), e, 12.5);
        b.close();

        frmMain& main = Form<frmMain>::get();
        main.resize(900, 600);
        main.show();
        QVERIFY(main.OpenAFile(file));
        main.selectClassAndSubject(1, 1);

        // Subject names in the tab bar, the selected one and the others.
        const QList<TabItemLabel*> items = main.vskTab->findChildren<TabItemLabel*>();
        QVERIFY(!items.isEmpty());
        for (TabItemLabel* item : items)
            if (item->isVisible()) QVERIFY2(drawnContrast(*item) >= 3, qPrintable(item->Caption()));

        // Grid texts on editable and fixed cells; editable cells apart from fixed ones.
        platform::FlexGrid& g = main.gradeGrid();
        QColor editable, editableText;
        for (int r = 0; r < g.Rows() && !editable.isValid(); ++r)
            for (int col = 0; col < g.Cols() && !editable.isValid(); ++col)
                if (g.setRow(r), g.setCol(col), g.CellBackColor() != g.BackColorFixed()) {
                    editable = cellColour(g, r, col);
                    editableText = platform::oleColor(g.CellForeColor());
                }
        QVERIFY(editable.isValid());
        const QColor fixed = cellColour(g, 0, 0);
        QVERIFY(contrastRatio(editableText, editable) >= 3);
        QVERIFY(contrastRatio(platform::oleColor(g.CellForeColor()), fixed) >= 3);
        QVERIFY(contrastRatio(platform::oleColor(g.ForeColorSel()), platform::oleColor(g.BackColorSel())) >= 3);
        QVERIFY(contrastRatio(editable, fixed) >= 1.2);

        // For a look by eye: QUIBOLET_SHOTS=folder keeps a picture of the window.
        if (const QString shots = qEnvironmentVariable("QUIBOLET_SHOTS"); !shots.isEmpty())
            main.grab().save(shots + QStringLiteral("/main-%1.png").arg(QString::fromLatin1(QTest::currentDataTag())));
        frmMsgBox box;
        box.setMessage(QStringLiteral("Une question lisible ?"));
        box.show();
        QVERIFY(drawnContrast(*box.lblMessage) >= 3);
        Form<frmMain>::unload();
    }
};

QTEST_MAIN(tst_Themes)
#include "tst_Themes.moc"
