// The small seams every window stands on: colours, key codes, modal display, window instances.
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/OleColor.h"
#include "platform/VbKeys.h"
#include "UiHelpers.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace platform;

namespace {
class Probe : public QDialog {
public:
    Probe() {
        auto* l = new QVBoxLayout(this);
        auto* ok = new QPushButton(QStringLiteral("&Oui"), this);
        l->addWidget(ok);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        ++alive;
    }
    ~Probe() override { --alive; }
    static inline int alive = 0;
};
}  // namespace

class tst_Seams : public QObject {
    Q_OBJECT
private slots:
    void oleColoursAreBlueGreenRed() {
        QCOMPARE(oleColor(0xFF0000), QColor(0, 0, 255));
        QCOMPARE(toOleColor(QColor(10, 20, 30)), rgb(10, 20, 30));
        QCOMPARE(oleColor(sys::WindowBackground), QApplication::palette().color(QPalette::Base));
    }

    void keyCodesFollowTheOriginalPlatform() {
        QCOMPARE(keyAscii(QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"))), 13);
        QKeyEvent pad(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier, QStringLiteral("7"));
        QCOMPARE(keyCode(pad), 103);
        QKeyEvent e(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QStringLiteral("é"));
        QCOMPARE(keyAscii(e), 0xE9);
        for (int code : {8, 13, 27, 33, 34, 35, 36, 37, 38, 39, 40, 46, 48, 57, 65, 90})
            QCOMPARE(keyCode(qtKey(code)), code);
        QCOMPARE(shiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
        QCOMPARE(mouseButton(Qt::RightButton), 2);
    }

    void modalWindowsAreAnsweredByResponders() {
        ModalTestScope scope;
        Probe p;
        scope.push([](QWidget& w) { testsupport::clickButton(w, QStringLiteral("Oui")); });
        QCOMPARE(showModal(p), int(QDialog::Accepted));
        QVERIFY(!p.isVisible());
        // A responder that does nothing leaves the window as its close box would.
        scope.push([](QWidget&) {});
        QCOMPARE(showModal(p), int(QDialog::Rejected));
        QCOMPARE(scope.pending(), 0);
    }

    void formsAreSingleInstances() {
        QCOMPARE(Probe::alive, 0);
        Probe& a = Form<Probe>::get();
        QCOMPARE(&Form<Probe>::get(), &a);
        QVERIFY(Form<Probe>::isLoaded());
        Form<Probe>::unload();
        QVERIFY(!Form<Probe>::isLoaded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(Probe::alive, 0);
    }
};

QTEST_MAIN(tst_Seams)
#include "tst_Seams.moc"
