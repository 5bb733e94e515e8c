// The open and save dialogs: filters, default extension, the must-exist and overwrite rules,
// what a cancel leaves behind.
#include "controls/cOpenSaveFile.h"
#include "platform/Modal.h"
#include "UiHelpers.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using platform::ModalTestScope;

namespace {

// Types a name into the dialog's name box and presses its accept button, as the user would.
platform::ModalResponder typeName(const QString& name) {
    return [name](QWidget& w) {
        auto* dialog = qobject_cast<QFileDialog*>(&w);
        QVERIFY(dialog);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        // Typed with the focus in the name box, which drops what the list had selected.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
        QVERIFY(edit->hasFocus());
        edit->setText(name);
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QVERIFY(buttons);
        QAbstractButton* accept = buttons->buttons().first();
        for (QAbstractButton* b : buttons->buttons())
            if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole) accept = b;
        QVERIFY(accept->isEnabled());
        accept->click();
        QVERIFY(!dialog->isVisible());
    };
}

platform::ModalResponder cancel() {
    return [](QWidget& w) { qobject_cast<QDialog*>(&w)->reject(); };
}

// Answers the dialog's own message, after checking its text.
platform::ModalResponder message(const QString& text, const QString& button) {
    return [text, button](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        testsupport::clickButton(w, button);
    };
}

void touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

}  // namespace

class tst_cOpenSaveFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        touch(path(QStringLiteral("a.dat")));
        touch(path(QStringLiteral("b.dat")));
        touch(path(QStringLiteral("notes.txt")));
    }

    void filtersBecomeDialogFilters() {
        QCOMPARE(cOpenSaveFile::NameFilters(QStringLiteral("Données (*.dat)|*.dat")),
                 QStringList{QStringLiteral("Données (*.dat)")});
        QCOMPARE(cOpenSaveFile::NameFilters(QStringLiteral("Classeur Excel (*.xlsx)|*.xlsx|Tous les fichiers|*.*")),
                 (QStringList{QStringLiteral("Classeur Excel (*.xlsx)"), QStringLiteral("Tous les fichiers (*.*)")}));
        QCOMPARE(cOpenSaveFile::NameFilters(QStringLiteral("Images|*.png;*.jpg|Reste")),
                 QStringList{QStringLiteral("Images (*.png *.jpg)")});
        QVERIFY(cOpenSaveFile::NameFilters(QString()).isEmpty());
    }

    void openReturnsTheChosenFile() {
        ModalTestScope scope;
        cOpenSaveFile f;
        QCOMPARE(f.hwndOwner(), nullptr);
        f.setInitDir(m_dir.path());
        f.setDefaultExt(QStringLiteral("dat"));
        f.setFilter(QStringLiteral("Données (*.dat)|*.dat|Texte (*.txt)|*.txt"));
        f.setFilterIndex(2);
        scope.push([&](QWidget& w) {
            auto* dialog = qobject_cast<QFileDialog*>(&w);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Ouvrir"));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(dialog->directory().absolutePath(), QDir(m_dir.path()).absolutePath());
            QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Texte (*.txt)"));
            dialog->selectNameFilter(QStringLiteral("Données (*.dat)"));
            typeName(QStringLiteral("a"))(w);
        });
        QCOMPARE(f.ShowOpen(), 1);
        QCOMPARE(f.FileName(), path(QStringLiteral("a.dat")));
        QCOMPARE(f.FileTitle(), QStringLiteral("a.dat"));
        QCOMPARE(f.FilterIndex(), 1);

        // Without the must-exist rule a new name goes through: the caller decides.
        scope.push(typeName(QStringLiteral("nouveau")));
        QCOMPARE(f.ShowOpen(), 1);
        QCOMPARE(f.FileName(), path(QStringLiteral("nouveau.dat")));

        // With it, the dialog says so and stays until a file is chosen or it is cancelled.
        f.setFileMustExist(true);
        scope.push(typeName(QStringLiteral("absent")));
        scope.push(message(QStringLiteral("absent.dat\nFichier introuvable.\nVérifiez que le nom de fichier correct a été indiqué."),
                           QStringLiteral("OK")));
        scope.push(cancel());
        QCOMPARE(f.ShowOpen(), 0);
        QCOMPARE(f.FileName(), path(QStringLiteral("nouveau.dat")));
        QCOMPARE(scope.pending(), 0);

        QString text;
        QCOMPARE(f.ErrCodeDlg(text), 0);
        QCOMPARE(text, QStringLiteral("L'utilisateur a annulé l'opération."));
    }

    void openCanChooseSeveralFiles() {
        ModalTestScope scope;
        cOpenSaveFile f;
        f.setInitDir(m_dir.path());
        f.setAllowMultiSelect(true);
        scope.push(typeName(QStringLiteral("\"a.dat\" \"b.dat\"")));
        QCOMPARE(f.ShowOpen(), 2);
        QCOMPARE(f.FileName(), QDir(m_dir.path()).absolutePath() + QChar(0) + "a.dat" + QChar(0) + "b.dat");
        scope.push(typeName(QStringLiteral("notes.txt")));
        QCOMPARE(f.ShowOpen(), 1);
        QCOMPARE(f.FileName(), path(QStringLiteral("notes.txt")));
    }

    void saveAsksBeforeReplacingAndKeepsTheNameOnCancel() {
        ModalTestScope scope;
        cOpenSaveFile f;
        QVERIFY(f.OverWritePrompt() && f.HideReadOnly() && !f.FileMustExist());
        f.setAllowMultiSelect(true);
        f.setDefaultExt(QStringLiteral("dat"));
        f.setDlgTitle(QStringLiteral("Nouveau carnet de notes"));
        f.setFileName(path(QStringLiteral("b.dat")));
        scope.push([&](QWidget& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("Nouveau carnet de notes"));
            QCOMPARE(qobject_cast<QFileDialog*>(&w)->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(qobject_cast<QFileDialog*>(&w)->fileMode(), QFileDialog::AnyFile);
            typeName(QStringLiteral("a"))(w);
        });
        scope.push(message(QStringLiteral("a.dat existe déjà.\nVoulez-vous le remplacer ?"), QStringLiteral("Non")));
        scope.push(typeName(QStringLiteral("c")));
        QVERIFY(f.ShowSave());
        QVERIFY(!f.AllowMultiSelect());
        QCOMPARE(f.FileName(), path(QStringLiteral("c.dat")));
        QCOMPARE(f.FileTitle(), QStringLiteral("c.dat"));

        scope.push(typeName(QStringLiteral("a")));
        scope.push(message(QStringLiteral("a.dat existe déjà.\nVoulez-vous le remplacer ?"), QStringLiteral("Oui")));
        QVERIFY(f.ShowSave());
        QCOMPARE(f.FileName(), path(QStringLiteral("a.dat")));

        // A cancel changes nothing.
        scope.push(cancel());
        QVERIFY(!f.ShowSave());
        QCOMPARE(f.FileName(), path(QStringLiteral("a.dat")));
        QCOMPARE(f.FileTitle(), QStringLiteral("a.dat"));

        // Without the prompt an existing file is simply taken; a missing folder is refused
        // when the path must exist.
        f.setOverWritePrompt(false);
        f.setPathMustExist(true);
        scope.push(typeName(QStringLiteral("b")));
        QVERIFY(f.ShowSave());
        QCOMPARE(f.FileName(), path(QStringLiteral("b.dat")));
        scope.push(typeName(path(QStringLiteral("absent/x.dat"))));
        scope.push(message(QStringLiteral("x.dat\nLe chemin n'existe pas.\nVérifiez que le chemin correct a été indiqué."),
                           QStringLiteral("OK")));
        scope.push(cancel());
        QVERIFY(!f.ShowSave());
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_cOpenSaveFile)
#include "tst_cOpenSaveFile.moc"
