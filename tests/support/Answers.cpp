#include "Answers.h"

#include "UiHelpers.h"
#include "controls/frmMessages.h"
#include "controls/frmMsgBox.h"
#include "controls/vskAdvLabel.h"
#include "mainwindow/frmPwdAsk.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

namespace testsupport {

platform::ModalResponder systemMessage(const QString& text) {
    return [text](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        QVERIFY2(box, qPrintable(w.objectName()));
        QCOMPARE(box->text(), text);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        clickButton(w, QStringLiteral("OK"));
    };
}

platform::ModalResponder msgBox(const QString& start, const QString& button) {
    return [start, button](QWidget& w) {
        auto* box = qobject_cast<frmMsgBox*>(&w);
        auto* system = qobject_cast<QMessageBox*>(&w);
        QVERIFY2(box || system, qPrintable(w.objectName()));
        const QString message = box ? box->Message() : system->text();
        QVERIFY2(message.startsWith(start), qPrintable(message));
        if (button.isEmpty())
            w.close();
        else
            clickButton(w, button);
    };
}

platform::ModalResponder password(const QString& typed, bool escape) {
    return [typed, escape](QWidget& w) {
        auto* ask = qobject_cast<frmPwdAsk*>(&w);
        QVERIFY(ask);
        QTest::keyClicks(ask->txtPwd, typed);
        QTest::keyClick(ask->txtPwd, escape ? Qt::Key_Escape : Qt::Key_Return);
        QVERIFY(!w.isVisible());
    };
}

platform::ModalResponder fileName(const QString& name) {
    return [name](QWidget& w) {
        QVERIFY(qobject_cast<QFileDialog*>(&w));
        auto* edit = w.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
        if (!name.isEmpty()) edit->setText(name);
        auto* box = w.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        for (QAbstractButton* b : box->buttons())
            if (box->buttonRole(b) == QDialogButtonBox::AcceptRole) b->click();
        QVERIFY(!w.isVisible());
    };
}

platform::ModalResponder messageList(const QString& heading, QStringList* lines) {
    return [heading, lines](QWidget& w) {
        auto* list = qobject_cast<frmMessages*>(&w);
        QVERIFY2(list, qPrintable(w.objectName()));
        QCOMPARE(list->lblInfo->text(), heading);
        for (int i = 1; lines && i <= list->vskAL->ItemCount(); ++i) *lines << list->vskAL->ItemText(i);
        list->close();
    };
}

}  // namespace testsupport
