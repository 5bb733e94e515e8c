// The message list: where its item list draws lines, pictures and rules, the height it reports
// and its scrolling; the window's protocol, and closing that discards the lines.
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using platform::Form;

namespace {

const QString kLine = "La note de l'élève Dupont n'est pas comprise entre 0 et la note maximale de la série.";
const QColor kRed(255, 0, 0), kWhite(255, 255, 255);

// A list in red on white; `width` is the page, the control less the bar's room.
struct Fixture {
    vskAdvLabel list;
    int width;
    explicit Fixture(int h = 200) {
        list.resize(300, h);
        list.setBackColor(platform::rgb(255, 255, 255));
        list.setForeColor(platform::rgb(255, 0, 0));
        width = 300 - list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
    }
    int textHeight(const QString& text, int left) const {
        const QRect r(left, 0, width - 2 * left, 100000);
        return QFontMetrics(list.font(), &list).boundingRect(r, Qt::TextWordWrap, text).height();
    }
};

// The first column, from `left` on, where rows [0, bottom) are drawn on.
int firstInk(const QImage& img, int bottom, int left = 0) {
    for (int x = left; x < img.width(); ++x)
        for (int y = 0; y < bottom; ++y)
            if (img.pixelColor(x, y) != kWhite) return x;
    return -1;
}

}  // namespace

class tst_frmMessages : public QObject {
    Q_OBJECT
private slots:
    void linesRulesAndPicturesStackDownThePage() {
        Fixture f;
        QCOMPARE(f.list.Show(), 0);
        f.list.AddItem(kLine);
        const int h1 = f.textHeight(kLine, 5);
        QCOMPARE(f.list.Show(), h1);
        QCOMPARE(firstInk(f.list.grab().toImage(), h1), 5);

        // A rule 10 under the first line, from the rule margin to twice that margin short of
        // the right edge; the second line 20 under the first.
        f.list.AddItem("Deuxième\r\nligne");
        QCOMPARE(f.list.Show(), h1 + 20 + 2 * QFontMetrics(f.list.font(), &f.list).lineSpacing());
        QImage img = f.list.grab().toImage();
        QCOMPARE((QList<QColor>{img.pixelColor(5, h1 + 10), img.pixelColor(f.width - 10, h1 + 10),
                                img.pixelColor(f.width - 9, h1 + 10)}),
                 (QList<QColor>{kRed, kRed, kWhite}));

        // A picture taller than its text: the text moves right of it, the next line under it.
        f.list.ClearItem();
        QPixmap square(40, 40);
        square.fill(Qt::blue);
        f.list.AddItem("Court", square);
        f.list.AddItem("Suite");
        QCOMPARE(f.list.Show(), 40 + 20 + f.textHeight("Suite", 5));
        img = f.list.grab().toImage();
        QCOMPARE((QList<QColor>{img.pixelColor(5, 0), img.pixelColor(44, 39)}), (QList<QColor>{Qt::blue, Qt::blue}));
        QVERIFY(firstInk(img, 40, 45) >= 50 && firstInk(img, 40, 45) < 53);
    }

    void linesBelowThePageCountButAreNeverShown() {
        Fixture f(60);
        f.list.setSize(100);
        for (int i = 0; i < 8; ++i) f.list.AddItem(kLine);
        QVERIFY(f.list.Show() > 100);
        QScrollBar* bar = f.list.msb().bar(cScrollBar::Vertical);
        QVERIFY(bar->isVisibleTo(&f.list));
        QCOMPARE(bar->maximum(), 100 - 60);
        // Scrolling shows a lower part; the next Show starts at the top again.
        const QImage top = f.list.grab().toImage();
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QVERIFY(f.list.grab().toImage() != top);
        f.list.Show();
        QCOMPARE(bar->value(), 0);
        QCOMPARE(f.list.grab().toImage(), top);
    }

    void windowIsFilledShownAndClosed() {
        platform::ModalTestScope scope;
        const QList<std::function<void(QWidget&)>> ways = {
            [](QWidget& w) { testsupport::clickButton(w, "Fermer"); },
            [](QWidget& w) { QVERIFY(testsupport::typeKey(w, Qt::Key_Escape)); },
            [](QWidget& w) { w.close(); }};
        for (const auto& close : ways) {
            frmMessages& f = Form<frmMessages>::get();
            QCOMPARE(f.vskAL->ItemCount(), 0);  // each use starts empty
            f.lblInfo->setText("Une ou plusieurs de vos saisies sont incorrectes.");
            for (int i = 1; i <= 20; ++i) f.vskAL->AddItem(QStringLiteral("Ligne %1 : note refusée.").arg(i));
            const int height = f.vskAL->Show();
            scope.push([&](QWidget& w) {
                QVERIFY(f.lblInfo->heightForWidth(f.lblInfo->width()) <= f.lblInfo->height());
                QCOMPARE(f.vskAL->msb().bar(cScrollBar::Vertical)->maximum(), height - f.vskAL->height());
                QCOMPARE(f.vskAL->grab().toImage().pixelColor(0, 0), f.palette().color(QPalette::Window));
                close(w);
            });
            platform::showModal(f);
            QVERIFY(!Form<frmMessages>::isLoaded());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
};

QTEST_MAIN(tst_frmMessages)
#include "tst_frmMessages.moc"
