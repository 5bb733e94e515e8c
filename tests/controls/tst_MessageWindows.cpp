// The program's message windows: the message box, its layout, its button sets and how keys
// and buttons answer; the message list, where its item list draws lines, pictures and rules,
// the height it reports and its scrolling, and closing that discards the lines.
#include "controls/frmMessages.h"
#include "controls/frmMsgBox.h"
#include "controls/vskAdvLabel.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using platform::Form;

namespace {

const QString kLong = QStringLiteral(
    "Le carnet de notes « Année 2024-2025 » a été enregistré dans une version plus ancienne du programme.\r\n"
    "Voulez-vous le convertir maintenant ? La conversion est définitive : l'ancien fichier ne pourra plus "
    "être ouvert par une version précédente.");

// Shows a fresh box of the given set and lets `act` answer it; returns Tag.
QString ask(int formType, const std::function<void(frmMsgBox&)>& act, int focused = 0) {
    platform::ModalTestScope scope;
    frmMsgBox& box = Form<frmMsgBox>::get();
    box.setMessage(kLong);
    box.setPictureType(4);
    box.setFormType(formType);
    box.setFocusedButton(focused);
    scope.push([&](QWidget&) { act(box); });
    platform::showModal(box);
    const QString answer = box.Tag();
    Form<frmMsgBox>::unload();
    return answer;
}

std::function<void(frmMsgBox&)> key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    return [k, m](frmMsgBox& box) {
        QVERIFY(testsupport::typeKey(box, k, m));
        QTRY_VERIFY(!box.isVisible());  // access keys press their button after a short delay
    };
}

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

class tst_MessageWindows : public QObject {
    Q_OBJECT
private slots:
    void layoutKeepsTheDesignedProportions() {
        MsgBoxMetrics m;
        m.buttonCount = 2;
        // One line under an icon: the designed width kept.
        MsgBoxLayout l = layoutMsgBox(m, [](int) { return 195; });
        QCOMPARE(l.clientWidth, 4695);
        // Many lines: widened by steps of 100 until three times as wide as high, or the limit.
        const auto text = [](int w) { return (270000 / w + 1) * 195; };
        l = layoutMsgBox(m, text);
        QVERIFY(3 * l.clientHeight <= l.clientWidth && (l.clientWidth - 4695) % 100 == 0);
        m.maxClientWidth = 6000;
        QCOMPARE(layoutMsgBox(m, [](int) { return 40 * 195; }).clientWidth, 5995);
        // A long unbreakable word (a file name) widens the box until it fits.
        m.minLabelWidth = 5000;
        QCOMPARE(layoutMsgBox(m, [](int) { return 195; }).labelWidth, 5795 - 780);
        m.minLabelWidth = 0;
        // A row wider than the box widens it, with the same margins as the message.
        m.buttonCount = 4;
        l = layoutMsgBox(m, [](int) { return 195; });
        QCOMPARE(l.buttonLefts.first(), 100);
        QCOMPARE(l.clientWidth, 4 * 1215 + 300 + 200);
    }

    void shownBoxFitsItsMessage() {
        const auto check = [](frmMsgBox& box) {
            const QLabel* label = box.lblMessage;
            QVERIFY(!label->text().contains(QLatin1Char('\r')));
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
            QVERIFY(label->geometry().right() < box.width());
            const QRect first = box.cmdAction.first()->geometry();
            const QRect last = box.cmdAction.last()->geometry();
            QVERIFY(first.top() >= label->geometry().bottom() + 13);
            QVERIFY(last.bottom() < box.height());
            QVERIFY(qAbs(first.left() - (box.width() - 1 - last.right())) <= 2);
            QVERIFY(!box.imaIcon->pixmap().isNull());
            box.close();
        };
        QCOMPARE(ask(4, check), QString());
    }

    void everyButtonAnswersItsPosition() {
        const QList<QStringList> sets = {
            {"OK"}, {"OK", "Annuler"}, {"&Oui", "&Non"}, {"&Oui", "&Non", "Annuler"},
            {"&Réessayer", "Annuler"}, {"&Abandon", "&Réessayer", "&Ignorer"}};
        for (int type = 1; type <= 6; ++type)
            for (int i = 1; i <= sets.at(type - 1).size(); ++i)
                QCOMPARE(ask(type,
                             [&](frmMsgBox& box) {
                                 QStringList captions;
                                 for (QPushButton* b : box.cmdAction) captions << b->text();
                                 QCOMPARE(captions, sets.at(type - 1));
                                 box.cmdAction.at(i - 1)->click();
                             }),
                         QString::number(i));
    }

    void keysPressTheButtonsOfTheSet() {
        QCOMPARE(ask(4, key(Qt::Key_Escape)), "3");
        QCOMPARE(ask(4, key(Qt::Key_Return)), "1");
        QCOMPARE(ask(6, key(Qt::Key_Escape)), "3");
        QCOMPARE(ask(5, key(Qt::Key_Escape)), "2");
        QCOMPARE(ask(4, key(Qt::Key_N, Qt::AltModifier)), "2");
        QCOMPARE(ask(3, key(Qt::Key_Return), 2), "2");
        QCOMPARE(ask(3, key(Qt::Key_Return), 3), "1");  // no third button: ignored
        QCOMPARE(ask(1, key(Qt::Key_Space)), "1");
        const auto escapeThenEnter = [](frmMsgBox& box) {
            QVERIFY(testsupport::typeKey(box, Qt::Key_Escape) && box.isVisible());
            QVERIFY(testsupport::typeKey(box, Qt::Key_Return));
        };
        QCOMPARE(ask(1, escapeThenEnter), "1");  // the single OK has no cancel button: Esc does nothing
    }

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

    void listWindowIsFilledShownAndClosed() {
        platform::ModalTestScope scope;
        const QList<std::function<void(QWidget&)>> ways = {
            [](QWidget& w) { testsupport::clickButton(w, "Fermer"); },
            [](QWidget& w) { QVERIFY(testsupport::typeKey(w, Qt::Key_Escape)); },
            [](QWidget& w) { w.close(); }};
        for (const auto& close : ways) {
            frmMessages& f = Form<frmMessages>::get();
            QCOMPARE(f.vskAL->ItemCount(), 0);  // each use starts empty
            f.lblInfo->setText("Une ou plusieurs de vos saisies sont incorrectes.");
            for (int i = 1; i <= 50; ++i) f.vskAL->AddItem(QStringLiteral("Ligne %1 : note refusée.").arg(i));
            const int height = f.vskAL->Show();
            scope.push([&](QWidget& w) {
                QVERIFY(f.lblInfo->heightForWidth(f.lblInfo->width()) <= f.lblInfo->height());
                // The list within a line of the heading's text, or of the icon beside it.
                const int heading = std::max(f.lblInfo->heightForWidth(f.lblInfo->width()), 32);
                QVERIFY(f.vskAL->y() <= f.lblInfo->y() + heading + f.fontMetrics().height());
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

QTEST_MAIN(tst_MessageWindows)
#include "tst_MessageWindows.moc"
