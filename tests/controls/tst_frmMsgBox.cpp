// The message box: its layout, its button sets and how keys and buttons answer.
#include "controls/frmMsgBox.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QLabel>
#include <QPushButton>
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

}  // namespace

class tst_frmMsgBox : public QObject {
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
        // The single OK has no cancel button: Esc does nothing.
        QCOMPARE(ask(1,
                     [](frmMsgBox& box) {
                         QVERIFY(testsupport::typeKey(box, Qt::Key_Escape));
                         QVERIFY(box.isVisible());
                         QVERIFY(testsupport::typeKey(box, Qt::Key_Return));
                     }),
                 "1");
    }

    void titleDoesNotCarryOver() {
        Form<frmMsgBox>::get().setTitle("Suppression");
        Form<frmMsgBox>::unload();
        QCOMPARE(Form<frmMsgBox>::get().Title(), "Quibolet");  // a fresh window
        Form<frmMsgBox>::unload();
    }
};

QTEST_MAIN(tst_frmMsgBox)
#include "tst_frmMsgBox.moc"
