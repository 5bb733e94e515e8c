// The small seams every window stands on: colours, modal display, window instances, the
// user's folders and settings.
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/OleColor.h"
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "DbTestSupport.h"
#include "UiHelpers.h"

#include <QDialog>
#include <QDir>
#include <QLockFile>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace platform;

class tst_Seams : public QObject {
    Q_OBJECT
private slots:
    void coloursFollowTheOriginalPlatform() {
        QCOMPARE(oleColor(0xFF0000), QColor(0, 0, 255));
        QCOMPARE(toOleColor(QColor(10, 20, 30)), rgb(10, 20, 30));
        QCOMPARE(oleColor(sys::WindowBackground), QApplication::palette().color(QPalette::Base));
    }

    // A window is one instance until unloaded, then destroyed; a modal window is answered by
    // the responder queued for it.
    void formsAndModalWindows() {
        ModalTestScope scope;
        QDialog& p = Form<QDialog>::get();
        QCOMPARE(&Form<QDialog>::get(), &p);
        connect(new QPushButton(u"&Oui"_s, &p), &QPushButton::clicked, &p, &QDialog::accept);
        bool destroyed = false;
        connect(&p, &QObject::destroyed, this, [&] { destroyed = true; });
        scope.push([](QWidget& w) { testsupport::clickButton(w, u"Oui"_s); });
        QCOMPARE(showModal(p), int(QDialog::Accepted));
        Form<QDialog>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(destroyed);
    }

    void foldersAndSettingsFollowTheUsersHome() {
        QCOMPARE(paths::notesFolder(), QDir::homePath() + u"/Documents/Quibolet/Notes"_s);
        QCOMPARE(paths::configFile(), qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Quibolet/Quibolet.cfg"_s);
        QCOMPARE(settingsFile(), paths::configFolder() + u"/Vorsk App Quibolet.ini"_s);

        SaveSetting(u"StartUp"_s, u"File"_s, u"/tmp/Année 2024-2025.dat"_s);
        QCOMPARE(GetSetting(u"StartUp"_s, u"File"_s), u"/tmp/Année 2024-2025.dat"_s);
        flushSettings();
        // Saving does not wait for the file, here held by another writer.
        QLockFile held(settingsFile() + u".lock"_s);
        QVERIFY(held.lock());
        SaveSetting(u"Autre"_s, u"File"_s, u"1"_s);
        QCOMPARE(GetSetting(u"Autre"_s, u"File"_s), u"1"_s);
        held.unlock();
        flushSettings();
        const QByteArray text = testsupport::fileBytes(settingsFile());
        QVERIFY2(text.contains("[StartUp]") && text.contains("[Autre]\nFile=1"), text.constData());
    }
};

QTEST_MAIN(tst_Seams)
#include "tst_Seams.moc"
