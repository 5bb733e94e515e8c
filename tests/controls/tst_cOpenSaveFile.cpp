// The open and save dialogs: filters, default extension, the must-exist and overwrite rules,
// what a cancel leaves behind.
#include "controls/cOpenSaveFile.h"
#include "Answers.h"

#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

using testsupport::fileName;
using testsupport::msgBox;

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
            QCOMPARE(qobject_cast<QFileDialog*>(&w)->nameFilters(),
                     (QStringList{QStringLiteral("Données (*.dat)"), QStringLiteral("Tableurs (*.xlsx *.ods)")}));
            fileName(QStringLiteral("nouveau"))(w);
        });
        QCOMPARE(f.ShowOpen(), 1);  // the name need not exist: the caller decides
        QCOMPARE(f.FileName(), path("nouveau.dat"));

        f.setFileMustExist(true);
        scope.push(fileName(QStringLiteral("absent")));
        scope.push(msgBox(QStringLiteral("absent.dat\nFichier introuvable.\n"
                                         "Vérifiez que le nom de fichier correct a été indiqué."),
                          QStringLiteral("OK")));
        scope.push(fileName(QStringLiteral("a")));  // the dialog came back
        QCOMPARE(f.ShowOpen(), 1);
        QCOMPARE(f.FileName(), path("a.dat"));

        // Several files: the folder, then the names, NUL-separated; the next dialog opens
        // in that folder.
        f.setAllowMultiSelect(true);
        scope.push(fileName(QStringLiteral("\"a.dat\" \"b.dat\"")));
        QCOMPARE(f.ShowOpen(), 2);
        QCOMPARE(f.FileName(), QDir(m_dir.path()).absolutePath() + QChar(0) + "a.dat" + QChar(0) + "b.dat");
        scope.push(fileName(QStringLiteral("b.dat")));
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
        scope.push(fileName(QStringLiteral("a")));
        scope.push(msgBox(QStringLiteral("a.dat existe déjà.\nVoulez-vous le remplacer ?"), QStringLiteral("Non")));
        scope.push(fileName(QStringLiteral("c")));
        QVERIFY(f.ShowSave());
        QVERIFY(!f.AllowMultiSelect());
        QCOMPARE(f.FileName(), path("c.dat"));

        scope.push([](QWidget& w) { w.close(); });
        QVERIFY(!f.ShowSave());
        QCOMPARE(f.FileName(), path("c.dat"));
        QCOMPARE(f.FileTitle(), QStringLiteral("c.dat"));

        f.setPathMustExist(true);
        scope.push(fileName(path("absent/x.dat")));
        scope.push(msgBox(QStringLiteral("x.dat\nLe chemin n'existe pas.\nVérifiez que le chemin correct a été indiqué."),
                          QStringLiteral("OK")));
        scope.push([](QWidget& w) { w.close(); });
        QVERIFY(!f.ShowSave());
        QCOMPARE(scope.pending(), 0);
    }
};

QTEST_MAIN(tst_cOpenSaveFile)
#include "tst_cOpenSaveFile.moc"
