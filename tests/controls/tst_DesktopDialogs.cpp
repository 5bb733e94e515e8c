// What the desktop provides: the open, save and font dialogs and their place over the active
// window, and opening documents and addresses.
#include "controls/cOpenSaveFile.h"
#include "controls/mChooseFontDlg.h"
#include "controls/mDialogHook.h"
#include "controls/mShellExecute.h"
#include "platform/ShellOpen.h"
#include "Answers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using testsupport::fileName;
using testsupport::msgBox;

class tst_DesktopDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;  // holds a.dat and b.dat
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase() {
        for (const char* name : {"a.dat", "b.dat"}) QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
    }

    void openTakesWhatTheRulesAllow() {
        platform::ModalTestScope scope;
        cOpenSaveFile f;
        f.setInitDir(m_dir.path());
        f.setDefaultExt("dat");
        f.setFilter("Données (*.dat)|*.dat|Tableurs|*.xlsx;*.ods");
        scope.push([](QWidget& w) {
            QCOMPARE(qobject_cast<QFileDialog*>(&w)->nameFilters(), (QStringList{"Données (*.dat)", "Tableurs (*.xlsx *.ods)"}));
            fileName("nouveau")(w);
        });
        QCOMPARE(f.ShowOpen(), 1);  // the name need not exist: the caller decides
        QCOMPARE(f.FileName(), path("nouveau.dat"));

        f.setFileMustExist(true);
        scope.push(fileName("absent"));
        scope.push(msgBox("absent.dat\nFichier introuvable.\nVérifiez que le nom de fichier correct a été indiqué.", "OK"));
        scope.push(fileName("a"));  // the dialog came back
        QCOMPARE(f.ShowOpen(), 1);
        QCOMPARE(f.FileName(), path("a.dat"));
        QCOMPARE(scope.pending(), 0);
    }

    void saveAsksBeforeReplacingAndKeepsTheNameOnCancel() {
        platform::ModalTestScope scope;
        cOpenSaveFile f;
        f.setDefaultExt("dat");
        f.setFileName(path("b.dat"));
        scope.push(fileName("a"));
        scope.push(msgBox("a.dat existe déjà.\nVoulez-vous le remplacer ?", "Non"));
        scope.push(fileName("c"));
        QVERIFY(f.ShowSave());
        QCOMPARE(f.FileName(), path("c.dat"));

        scope.push([](QWidget& w) { w.close(); });
        QVERIFY(!f.ShowSave());
        QCOMPARE(f.FileName(), path("c.dat"));

        f.setPathMustExist(true);
        scope.push(fileName(path("absent/x.dat")));
        scope.push(msgBox("x.dat\nLe chemin n'existe pas.\nVérifiez que le chemin correct a été indiqué.", "OK"));
        scope.push([](QWidget& w) { w.close(); });
        QVERIFY(!f.ShowSave());
        QCOMPARE(scope.pending(), 0);
    }

    void fontChoiceKeepsWhatTheDialogDoesNotOffer() {
        platform::ModalTestScope scope;
        QFont font("DejaVu Sans", 10);
        font.setUnderline(true);
        platform::OleColor colour = 0x123456;
        const auto choose = [&](int size, bool ok) {
            scope.push([size, ok](QWidget& w) {
                for (QCheckBox* c : w.findChildren<QCheckBox*>()) QVERIFY(!c->isVisible());  // no effects
                for (QComboBox* c : w.findChildren<QComboBox*>()) QVERIFY(!c->isEnabled());  // no script
                auto* dialog = qobject_cast<QFontDialog*>(&w);
                dialog->setCurrentFont(QFont("DejaVu Serif", size, QFont::Bold));
                // The sample, in the row of the hidden effects, still shows a whole line of the font.
                const auto* sample = w.findChild<QLineEdit*>("qt_fontDialog_sampleEdit");
                QCOMPARE(sample->font().pointSize(), size);
                const int frame = 2 * sample->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, sample);
                QTRY_VERIFY(sample->height() - frame >= QFontMetrics(sample->font()).height());
                ok ? dialog->accept() : dialog->reject();
            });
            return mChooseFontDlg::ShowFont(font, 0, false, false, true, false, false, colour, 0, 0);
        };
        QVERIFY(choose(14, true));
        QCOMPARE(font.family(), "DejaVu Serif");
        QCOMPARE(font.pointSizeF(), 14.0);
        QVERIFY(font.bold() && font.underline() && colour == 0x123456u);  // effects not offered are kept
        const QFont before = font;
        const QFont desktop = QApplication::font();  // then under a larger desktop font
        QApplication::setFont(QFont(desktop.family(), 16));
        const bool chosen = choose(20, false);
        QApplication::setFont(desktop);
        QVERIFY(!chosen);
        QCOMPARE(font, before);
    }

    void dialogsAreCentredButNeverPushedOffScreen() {
        using mDialogHook::CentredPosition;
        const QRect active(100, 50, 600, 400);
        QCOMPARE(CentredPosition(QRect(0, 0, 201, 101), active), QPoint(299, 199));
        QCOMPARE(CentredPosition(QRect(0, 0, 700, 500), active), QPoint(50, 0));
        QCOMPARE(CentredPosition(QRect(0, 0, 900, 300), QRect(20, 10, 300, 200)), QPoint(0, 0));
        QCOMPARE(CentredPosition(QRect(0, 0, 10, 10), QRect(-300, 10, 300, 200)), std::nullopt);
    }

    // The program opens the help file and addresses, and says nothing when the desktop cannot.
    void documentsAndAddressesGoToTheDesktop() {
        platform::ModalTestScope scope;
        QStringList opened;
        bool desktopOpens = true;
        platform::setShellOpenHandler([&](const QString& t) { opened << t; return desktopOpens; });
        const auto open = [](const QString& target) {
            return mShellExecute::RunShellExecute(target, "open", {}, {}, 1, nullptr, false);
        };
        QVERIFY(open(path("a.dat")) > 32);
        QVERIFY(open("mailto: aide@example.org") > 32);
        QCOMPARE(opened, (QStringList{path("a.dat"), "mailto: aide@example.org"}));
        QCOMPARE(open(path("absent.html")), 2);
        desktopOpens = false;
        QCOMPARE(open(path("a.dat")), 31);
        QVERIFY(scope.shown().isEmpty());
        platform::setShellOpenHandler({});
    }
};

QTEST_MAIN(tst_DesktopDialogs)
#include "tst_DesktopDialogs.moc"
