// The message box: its layout, its button sets and how keys and buttons answer.
#include "controls/frmMsgBox.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "DialogKeys.h"
#include "UiHelpers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using platform::Form;
using platform::ModalTestScope;

namespace {

const QString kLong = QStringLiteral(
    "Le carnet de notes « Année 2024-2025 » a été enregistré dans une version plus ancienne du programme.\r\n"
    "Voulez-vous le convertir maintenant ? La conversion est définitive : l'ancien fichier ne pourra plus "
    "être ouvert par une version précédente.");

// A label of the original font: 195 twips a line, about 90 twips a character.
int linesOf(int chars, int width) { return std::max(1, (chars * 90 + width - 1) / width) * 195; }

QStringList captions(const frmMsgBox& box) {
    QStringList list;
    for (const QPushButton* b : box.cmdAction) list << b->text();
    return list;
}

// Shows a fresh box and lets `act` answer it; returns the answer read from Tag.
QString ask(int formType, const std::function<void(frmMsgBox&)>& act, int focused = 0) {
    ModalTestScope scope;
    frmMsgBox& box = Form<frmMsgBox>::get();
    box.setMessage(kLong);
    box.setPictureType(4);
    box.setFormType(formType);
    if (focused) box.setFocusedButton(focused);
    scope.push([&](QWidget&) { act(box); });
    platform::showModal(box);
    const QString answer = box.Tag();
    Form<frmMsgBox>::unload();
    return answer;
}

std::function<void(frmMsgBox&)> key(Qt::Key k) {
    return [k](frmMsgBox& box) { QVERIFY(testsupport::typeKey(box, k)); };
}

}  // namespace

class tst_frmMsgBox : public QObject {
    Q_OBJECT
private slots:
    void layoutKeepsTheDesignedProportions() {
        MsgBoxMetrics m;
        m.buttonCount = 2;
        // One line under an icon: the buttons stand 200 under the icon and the box keeps
        // its designed width.
        MsgBoxLayout l = layoutMsgBox(m, [](int) { return 195; });
        QCOMPARE(l.labelLeft, 680);
        QCOMPARE(l.labelWidth, 4695 - 680 - 100);
        QCOMPARE(l.buttonsTop, 800);
        QCOMPARE(l.clientHeight, 1345);
        QCOMPARE(l.clientWidth, 4695);
        QCOMPARE(l.buttonLefts, (QVector<int>{4695 / 2 - 2530 / 2, 4695 / 2 - 2530 / 2 + 1315}));

        // A long text widens the box in steps of 100 until it is three times as wide as high,
        // and no further.
        const auto text = [](int w) { return linesOf(3000, w); };
        l = layoutMsgBox(m, text);
        QCOMPARE((l.clientWidth - 4695) % 100, 0);
        QVERIFY(3 * l.clientHeight <= l.clientWidth);
        const int narrower = l.clientWidth - 100;
        QVERIFY(3 * (std::max(600, 240 + text(narrower - 780)) + 200 + 545) > narrower);
        QCOMPARE(l.labelWidth, l.clientWidth - 780);

        // The widening stops at the widest box allowed.
        m.maxClientWidth = 6000;
        l = layoutMsgBox(m, [](int) { return 40 * 195; });
        QVERIFY(l.clientWidth <= 6000 && l.clientWidth > 5900);

        // Three buttons and help are wider than the box: it widens to hold them with a margin.
        m.maxClientWidth = 0;
        m.buttonCount = 4;
        l = layoutMsgBox(m, [](int) { return 195; });
        QVERIFY(l.buttonLefts.first() >= 100);
        QVERIFY(l.buttonLefts.last() + 1215 <= l.clientWidth - 100);

        // No button at all still gives a box.
        m.buttonCount = 0;
        l = layoutMsgBox(m, [](int) { return 195; });
        QVERIFY(l.buttonLefts.isEmpty());
        QCOMPARE(l.clientWidth, 4695);
    }

    void shownBoxFitsItsMessageAndButtons() {
        ModalTestScope scope;
        frmMsgBox& box = Form<frmMsgBox>::get();
        QCOMPARE(box.Title(), QStringLiteral("Quibolet"));
        box.setMessage(kLong);
        QCOMPARE(box.Message(), kLong);
        box.setPictureType(2);
        box.setFormType(4);
        scope.push([&](QWidget&) {
            const QLabel* label = box.lblMessage;
            QVERIFY(!label->text().contains(QLatin1Char('\r')));
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
            QVERIFY(label->geometry().right() < box.width());
            QVERIFY(label->x() >= box.imaIcon->geometry().right() + 6);
            const QRect first = box.cmdAction.first()->geometry();
            const QRect last = box.cmdAction.last()->geometry();
            QVERIFY(first.top() >= label->geometry().bottom() + 13);
            QVERIFY(last.bottom() < box.height());
            QVERIFY(qAbs(first.left() - (box.width() - 1 - last.right())) <= 2);
            QVERIFY(3 * box.height() <= box.width() + 45);
            QVERIFY(!box.imaIcon->pixmap().isNull());
            testsupport::clickButton(box, QStringLiteral("Non"));
        });
        platform::showModal(box);
        QCOMPARE(box.Tag(), QStringLiteral("2"));

        // Without a picture the message still starts right of the empty icon area.
        box.setPictureType(0);
        QCOMPARE(box.PictureType(), 0);
        QVERIFY(box.imaIcon->pixmap().isNull());
        scope.push([&](QWidget&) { QCOMPARE(box.lblMessage->x(), 45); });
        platform::showModal(box);
        Form<frmMsgBox>::unload();
    }

    void buttonSetsAnswerWithTheirPosition() {
        const QList<QStringList> sets = {
            {QStringLiteral("OK")},
            {QStringLiteral("OK"), QStringLiteral("Annuler")},
            {QStringLiteral("&Oui"), QStringLiteral("&Non")},
            {QStringLiteral("&Oui"), QStringLiteral("&Non"), QStringLiteral("Annuler")},
            {QStringLiteral("&Réessayer"), QStringLiteral("Annuler")},
            {QStringLiteral("&Abandon"), QStringLiteral("&Réessayer"), QStringLiteral("&Ignorer")},
        };
        for (int type = 1; type <= 6; ++type) {
            for (int i = 1; i <= sets.at(type - 1).size(); ++i) {
                const QString answer = ask(type, [&](frmMsgBox& box) {
                    QCOMPARE(box.FormType(), type);
                    QCOMPARE(captions(box), sets.at(type - 1));
                    box.cmdAction.at(i - 1)->click();
                    QVERIFY(!box.isVisible());
                });
                QCOMPARE(answer, QString::number(i));
            }
        }
        // The close box answers nothing.
        QCOMPARE(ask(3, [](frmMsgBox& box) { box.close(); }), QString());
    }

    void enterAndEscapePressTheFirstAndLastButtons() {
        QCOMPARE(ask(4, key(Qt::Key_Escape)), QStringLiteral("3"));
        QCOMPARE(ask(4, key(Qt::Key_Return)), QStringLiteral("1"));
        QCOMPARE(ask(6, key(Qt::Key_Escape)), QStringLiteral("3"));
        QCOMPARE(ask(2, key(Qt::Key_Escape)), QStringLiteral("2"));
        QCOMPARE(ask(5, key(Qt::Key_Escape)), QStringLiteral("2"));
        QCOMPARE(ask(3, key(Qt::Key_Escape)), QStringLiteral("2"));
        QCOMPARE(ask(3, key(Qt::Key_Return), 2), QStringLiteral("2"));
        QCOMPARE(ask(3, key(Qt::Key_Return), 3), QStringLiteral("1"));
        // Access keys press their button after its short pressed look.
        QCOMPARE(ask(4,
                     [](frmMsgBox& box) {
                         QVERIFY(testsupport::typeKey(box, Qt::Key_N, Qt::AltModifier));
                         QTRY_VERIFY(!box.isVisible());
                     }),
                 QStringLiteral("2"));

        // The single OK: Esc does nothing, Enter and Space press it.
        QCOMPARE(ask(1, [](frmMsgBox& box) {
                     QVERIFY(testsupport::typeKey(box, Qt::Key_Escape));
                     QVERIFY(box.isVisible());
                     QVERIFY(testsupport::typeKey(box, Qt::Key_Return));
                 }),
                 QStringLiteral("1"));
        QCOMPARE(ask(1, key(Qt::Key_Space)), QStringLiteral("1"));
    }

    void focusedButtonOnlyCountsAfterTheButtonsExist() {
        ModalTestScope scope;
        frmMsgBox& box = Form<frmMsgBox>::get();
        box.setFocusedButton(2);  // no button yet: ignored
        box.setFormType(3);
        scope.push([&](QWidget&) {
            QVERIFY(testsupport::typeKey(box, Qt::Key_Return));
        });
        platform::showModal(box);
        QCOMPARE(box.Tag(), QStringLiteral("1"));

        // Setting the form type again replaces the set.
        box.setFormType(4);
        box.setFormType(2);
        QCOMPARE(box.cmdAction.size(), 2);
        QCOMPARE(box.findChildren<QPushButton*>().size(), 2);

        // A new use starts from a fresh window.
        box.setTitle(QStringLiteral("Suppression"));
        box.setFocusedButton(2);
        Form<frmMsgBox>::unload();
        frmMsgBox& next = Form<frmMsgBox>::get();
        QCOMPARE(next.Title(), QStringLiteral("Quibolet"));
        QCOMPARE(next.Tag(), QString());
        next.setFormType(3);
        scope.push([&](QWidget&) { QVERIFY(testsupport::typeKey(next, Qt::Key_Return)); });
        platform::showModal(next);
        QCOMPARE(next.Tag(), QStringLiteral("1"));
        Form<frmMsgBox>::unload();
    }

    void helpButtonAsksForHelpAndKeepsTheBoxOpen() {
        struct F1Spy : QObject {
            int seen = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) ++seen;
                return false;
            }
        } spy;
        qApp->installEventFilter(&spy);
        ModalTestScope scope;
        frmMsgBox& box = Form<frmMsgBox>::get();
        box.HelpButton(40);
        box.setFormType(4);
        QCOMPARE(captions(box).last(), QStringLiteral("Aide"));
        scope.push([&](QWidget&) {
            testsupport::clickButton(box, QStringLiteral("Aide"));
            QCoreApplication::processEvents();
            QVERIFY(box.isVisible());
            QCOMPARE(box.Tag(), QString());
            QVERIFY(spy.seen >= 1);
            // Esc still belongs to the last button of the set, not to help.
            QVERIFY(testsupport::typeKey(box, Qt::Key_Escape));
        });
        platform::showModal(box);
        QCOMPARE(box.Tag(), QStringLiteral("3"));
        qApp->removeEventFilter(&spy);
        Form<frmMsgBox>::unload();
    }

    void valuesOutsideTheSetsLeaveAClosableBox() {
        ModalTestScope scope;
        frmMsgBox& box = Form<frmMsgBox>::get();
        box.setMessage(QStringLiteral("Texte"));
        box.setPictureType(9);
        QCOMPARE(box.PictureType(), 9);
        QVERIFY(box.imaIcon->pixmap().isNull());
        box.setFormType(7);
        QCOMPARE(box.FormType(), 7);
        QVERIFY(box.cmdAction.isEmpty());
        box.setFocusedButton(1);
        scope.push([&](QWidget&) {
            QVERIFY(testsupport::typeKey(box, Qt::Key_Escape));
            QVERIFY(testsupport::typeKey(box, Qt::Key_Return));
            box.close();
        });
        platform::showModal(box);
        QCOMPARE(box.Tag(), QString());
        box.ClearAllButtons();
        QCOMPARE(box.FormType(), 0);
        Form<frmMsgBox>::unload();
    }
};

QTEST_MAIN(tst_frmMsgBox)
#include "tst_frmMsgBox.moc"
