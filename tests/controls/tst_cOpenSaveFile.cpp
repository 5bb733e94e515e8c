// The open and save dialogs: filters, default extension, the must-exist and overwrite rules,
// what a cancel leaves behind.
#include "controls/cOpenSaveFile.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using platform::ModalResponder;

namespace {

// Types a name into the dialog's name box, the focus in it, and presses the accept button.
ModalResponder typeName(const QString& name) {
    return [name](QWidget& w) {
        auto* edit = w.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit && qobject_cast<QFileDialog*>(&w)->testOption(QFileDialog::DontUseNativeDialog));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
        edit->setText(name);
        auto* box = w.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        for (QAbstractButton* b : box->buttons())
            if (box->buttonRole(b) == QDialogButtonBox::AcceptRole) b->click();
        QVERIFY(!w.isVisible());
    };
}

const ModalResponder cancel = [](QWidget& w) { w.close(); };

ModalResponder message(const QString& text, const QString& button) {
    return [text, button](QWidget& w) {
        QCOMPARE(qobject_cast<QMessageBox*>(&w)->text(), text);
        testsupport::clickButton(w, button);
    };
}

}  // namespace

class tst_cOpenSaveFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase() {
        for (const char* name : {"a.dat", "b.dat"}) QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
    }

    void openTakesWhatTheRulesAllow() {
        platform::ModalTestScope scope;
        cOpenSaveFile f;
        f.setInitDir(m_dir.path());
        f.setDefaultExt(QStringLiteral("dat"));
        f.setFilter(QStringLiteral("Données (*.dat)|*.dat|Tableurs|*.xlsx;*.ods"));
        scope.push([](QWidget& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("Ouvrir"));
            QCOMPARE(qobject_cast<QFileDialog*>(&w)->nameFilters(),
                     (QStringList{QStringLiteral("Données (*.dat)"), QStringLiteral("Tableurs (*.xlsx *.ods)")}));
            typeName(QStringLiteral("nouveau"))(w);
        });
        QCOMPARE(f.ShowOpen(), 1);  // the name need not exist: the caller decides
        QCOMPARE(f.FileName(), path("nouveau.dat"));
        QCOMPARE(f.FileTitle(), QStringLiteral("nouveau.dat"));

        f.setFileMustExist(true);
        scope.push(typeName(QStringLiteral("absent")));
        scope.push(message(QStringLiteral("absent.dat\nFichier introuvable.\n"
                                          "Vérifiez que le nom de fichier correct a été indiqué."),
                           QStringLiteral("OK")));
        scope.push(typeName(QStringLiteral("a")));  // the dialog came back
        QCOMPARE(f.ShowOpen(), 1);
        QCOMPARE(f.FileName(), path("a.dat"));

        // Several files: the folder, then the names, NUL-separated; the next dialog opens
        // in that folder.
        f.setAllowMultiSelect(true);
        scope.push(typeName(QStringLiteral("\"a.dat\" \"b.dat\"")));
        QCOMPARE(f.ShowOpen(), 2);
        QCOMPARE(f.FileName(), QDir(m_dir.path()).absolutePath() + QChar(0) + "a.dat" + QChar(0) + "b.dat");
        scope.push(typeName(QStringLiteral("b.dat")));
        QCOMPARE(f.ShowOpen(), 1);
        QCOMPARE(f.FileName(), path("b.dat"));
        QCOMPARE(scope.pending(), 0);
    }

    void saveAsksBeforeReplacingAndKeepsTheNameOnCancel() {
        platform::ModalTestScope scope;
        cOpenSaveFile f;
        f.setAllowMultiSelect(true);
        f.setDefaultExt(QStringLiteral("dat"));
        f.setFileName(path("b.dat"));
        const ModalResponder replace =
            message(QStringLiteral("a.dat existe déjà.\nVoulez-vous le remplacer ?"), QStringLiteral("Non"));
        scope.push(typeName(QStringLiteral("a")));
        scope.push(replace);
        scope.push(typeName(QStringLiteral("c")));
        QVERIFY(f.ShowSave());
        QVERIFY(!f.AllowMultiSelect());
        QCOMPARE(f.FileName(), path("c.dat"));

        scope.push(cancel);
        QVERIFY(!f.ShowSave());
        QCOMPARE(f.FileName(), path("c.dat"));
        QCOMPARE(f.FileTitle(), QStringLiteral("c.dat"));

        f.setPathMustExist(true);
        scope.push(typeName(path("absent/x.dat")));
        scope.push(message(QStringLiteral("x.dat\nLe chemin n'existe pas.\nVérifiez que le chemin correct a été indiqué."),
                           QStringLiteral("OK")));
        scope.push(cancel);
        QVERIFY(!f.ShowSave());
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_cOpenSaveFile)
#include "tst_cOpenSaveFile.moc"
