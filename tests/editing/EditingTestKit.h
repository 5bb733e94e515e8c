#pragma once
// What the tests of the editing dialogs share: a gradebook opened in the main window,
// answers to the message list. Files are compared and failures injected through
// TableDump.h.
#include "DbTestSupport.h"
#include "TableDump.h"
#include "controls/frmMessages.h"
#include "controls/vskAdvLabel.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"

#include <QLabel>
#include <QTest>

namespace editkit {

// The main window with the gradebook at path open in it.
inline frmMain& openMain(const QString& path) {
    frmMain& main = platform::Form<frmMain>::get();
    if (!main.OpenAFile(path)) QTest::qFail("the gradebook does not open", __FILE__, __LINE__);
    return main;
}

inline void unloadAll() {
    platform::Form<frmMain>::unload();
    mUtilities::gRsNotes.Close();
    mUtilities::gDB.Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The dialog that a modal responder was handed.
template <class Dialog>
Dialog& dialogOf(QWidget& w) {
    auto* dialog = dynamic_cast<Dialog*>(&w);
    if (!dialog) qFatal("not the expected dialog: %s", qPrintable(w.objectName()));
    return *dialog;
}

// The message list: checks its heading and its lines, then closes it.
inline platform::ModalResponder list(const QString& heading, const QStringList& lines) {
    return [heading, lines](QWidget& w) {
        auto* messages = qobject_cast<frmMessages*>(&w);
        QVERIFY2(messages, qPrintable(w.objectName()));
        QCOMPARE(messages->lblInfo->text(), heading);
        QStringList shown;
        for (int i = 1; i <= messages->vskAL->ItemCount(); ++i) shown << messages->vskAL->ItemText(i);
        QCOMPARE(shown, lines);
        QVERIFY(!messages->vskAL->ItemPict(1).isNull());
        messages->reject();
    };
}

inline platform::ModalResponder writeFailed() {
    return list(QStringLiteral("Impossible d'enregistrer cette modification dans le carnet de notes."),
                {QStringLiteral("Le carnet de notes n'a pas été modifié.")});
}

inline QStringList sectionCaptions(const vskTab& bar) {
    QStringList captions;
    for (int s = 1; s <= bar.SectionCount(); ++s) captions << bar.SectionAt(s).Caption();
    return captions;
}

}  // namespace editkit
