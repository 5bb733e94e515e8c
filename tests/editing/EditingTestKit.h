#pragma once
#include <QFile>
#include <QTemporaryDir>
// What the tests of the editing dialogs share: a gradebook opened in the main window,
// answers to the message list, a readable copy of every table to tell whether a file
// changed, and a failure injected into the store.
#include "DbTestSupport.h"
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

inline int injected = 0;

// Every row of every table of the gradebook, read through a connection of its own. The
// program refuses to open a file holding triggers, so the failures injected (see failOn)
// are dropped from a copy, which is read instead.
inline QString contents(const QString& path) {
    const QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("contents.dat"));
    QFile::copy(path, copy);
    for (int i = 1; i <= injected; ++i) {
        const QByteArray sql = "DROP TRIGGER IF EXISTS injected" + QByteArray::number(i);
        testsupport::rawExec(copy, gradebook::databasePassword().toUtf8(), sql.constData());
    }
    const db::Database file = testsupport::openGradebook(copy);
    QString text;
    for (const db::TableDef& table : gradebook::gradebookTables({})) {
        db::Recordset rows = file.OpenRecordset(db::Query(table.Name()), db::RecordsetType::Snapshot);
        text += table.Name() + u'\n';
        for (; !rows.Eof(); rows.MoveNext()) {
            for (const db::FieldDef& field : table.Fields()) text += rows.Fields(field.Name()).Value().toString() + u'|';
            text += u'\n';
        }
    }
    return text;
}

// From now on the store refuses `when` (such as "BEFORE INSERT ON Coefficients") half-way
// through the work, as a disk or a damaged file would.
inline void failOn(const QString& path, const char* when) {
    const QByteArray sql = "CREATE TRIGGER injected" + QByteArray::number(++injected) + ' ' + when + " BEGIN SELECT RAISE(ABORT, 'injected'); END;";
    QCOMPARE(testsupport::rawExec(path, gradebook::databasePassword().toUtf8(), sql.constData()), 0);
}

inline void dropFailures(const QString& path) {
    for (int i = 1; i <= injected; ++i) {
        const QByteArray sql = "DROP TRIGGER IF EXISTS injected" + QByteArray::number(i);
        QCOMPARE(testsupport::rawExec(path, gradebook::databasePassword().toUtf8(), sql.constData()), 0);
    }
}

inline QStringList sectionCaptions(const vskTab& bar) {
    QStringList captions;
    for (int s = 1; s <= bar.SectionCount(); ++s) captions << bar.SectionAt(s).Caption();
    return captions;
}

}  // namespace editkit
