// The main window's commands: menu entries and toolbar buttons reaching the dispatcher, and
// everything refused while a grade is being typed.
#include "Answers.h"
#include "GradebookBuilder.h"
#include "UiHelpers.h"
#include "controls/frmMessages.h"
#include "controls/mSubClass.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using platform::Form;

namespace {

// The message list: checks its heading, then closes it.
platform::ModalResponder messageList(const QString& heading) {
    return [heading](QWidget& w) {
        auto* list = qobject_cast<frmMessages*>(&w);
        QVERIFY(list);
        QCOMPARE(list->lblInfo->text(), heading);
        list->close();
    };
}

platform::ModalResponder closeWindow(const char* name) {
    return [name](QWidget& w) {
        QCOMPARE(w.objectName(), QLatin1String(name));
        w.close();
    };
}

QAction* menuEntry(QMainWindow& main, const QString& caption) {
    for (QAction* bar : main.menuBar()->actions())
        if (bar->menu())
            for (QAction* a : bar->menu()->actions())
                if (a->text() == caption) return a;
    return nullptr;
}

// A menu entry chosen: its command is posted, then handled.
void choose(QMainWindow& main, const QString& caption) {
    QAction* entry = menuEntry(main, caption);
    QVERIFY2(entry, qPrintable(caption));
    entry->trigger();
    QCoreApplication::sendPostedEvents();
}

QAction* toolButton(frmMain& main, int button) { return main.tooBar->actions().at(button - 1); }

QAction* dropDownEntry(frmMain& main, int button, int entry) {
    auto* tool = qobject_cast<QToolButton*>(main.tooBar->widgetForAction(toolButton(main, button)));
    return tool->menu()->actions().at(entry - 1);
}

}  // namespace

class tst_frmMainCommands : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QStringList m_opened;

private slots:
    void init() {
        m_opened.clear();
        platform::setShellOpenHandler([this](const QString& target) {
            m_opened << target;
            return true;
        });
    }
    void cleanup() {
        platform::setShellOpenHandler({});
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void menuAndToolbarReachTheirCommands() {
        // The help file is looked for beside the program.
        const QString help = platform::paths::helpFile();
        const bool made = !QFile::exists(help);
        if (made) QVERIFY(QFile(help).open(QIODevice::WriteOnly));
        const auto removeHelp = qScopeGuard([&] { if (made) QFile::remove(help); });

        testsupport::GradebookBuilder b(m_dir.filePath(QStringLiteral("vide.dat")));
        b.close();
        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(b.path()));
        QStringList bar;
        for (QAction* a : main.menuBar()->actions()) bar << a->text();
        QCOMPARE(bar, (QStringList{"&Fichier", "&Ouvrir", "&Modifier", "&Créer", "&Supprimer", "O&utils", "&?"}));

        platform::ModalTestScope scope;
        const QString noClass = QStringLiteral("Ce carnet de notes ne contient pas encore de classes.");
        const QString noPrint = QStringLiteral("Il n'y a aucune donnée à imprimer.");
        const QString noExport = QStringLiteral("Il n'y a aucune donnée à exporter.");
        const QList<std::tuple<QString, int, platform::ModalResponder>> commands = {
            {"&Tableau des moyennes", 6, messageList(noClass)},
            {"I&mprimer", 8, messageList(noPrint)},
            {"Exporter au format E&xcel", 15, messageList(noExport)},
            {"&Options", 17, closeWindow("frmOptions")},
            {"&Aide sur Quibolet", 19, nullptr},
        };
        for (const auto& [caption, button, answer] : commands) {
            for (int twice = 0; twice < 2; ++twice)
                if (answer) scope.push(answer);
            choose(main, caption);
            toolButton(main, button)->trigger();
            QCOMPARE(scope.pending(), 0);
        }
        QCOMPARE(m_opened, (QStringList{help, help}));
        scope.push(closeWindow("frmAbout"));
        choose(main, QStringLiteral("A &propos de..."));

        // Buttons of windows still to come, the main part of a drop-down button and its
        // entries do nothing yet; any window shown would fail the test.
        for (int button : {1, 2, 3, 4, 10, 11, 13}) toolButton(main, button)->trigger();
        for (int button = 1; button <= 3; ++button)
            for (int entry = 1; entry <= 3; ++entry) dropDownEntry(main, button, entry)->trigger();
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(main.tooBar->actions().size(), 19);
        QCOMPARE(toolButton(main, 19)->text(), QStringLiteral("Aide"));
    }

    void editModeRefusesAllButHelpAndAbout() {
        testsupport::GradebookBuilder b(m_dir.filePath(QStringLiteral("saisie.dat")));
        const int a = b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6A"));
        b.addClass(QStringLiteral("Sixième B"), QStringLiteral("6B"));
        const int maths = b.addSubject(QStringLiteral("Maths"));
        b.addSubject(QStringLiteral("Histoire"));
        b.addStudent(a, QStringLiteral("Aubert"), QStringLiteral("Anne"));
        b.addSeries(a, maths, QStringLiteral("S1"), 20, 1, 1);
        b.close();
        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(b.path()));
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.flxNotes->SetFocus();
        QTest::keyClick(main.flxNotes, Qt::Key_5);
        QVERIFY(!main.txtNote->isHidden());

        platform::ModalTestScope scope;
        const auto refused = [&](const std::function<void()>& action, const QString& what) {
            scope.push(testsupport::msgBox(QStringLiteral("Vous êtes en mode d'Edition de notes.\n"
                                                          "Terminez votre saisie avant de continuer."),
                                           QStringLiteral("OK")));
            action();
            QVERIFY2(scope.pending() == 0, qPrintable(what));
            QVERIFY(!main.txtNote->isHidden());
            QCOMPARE(main.txtNote->text(), QStringLiteral("5"));
            QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6A - Maths"));
        };
        for (int id = 10; id <= 36; ++id)
            if (id != 30 && id != 31)
                refused([&] { mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, id, 0); }, QString::number(id));
        refused([&] { mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 201, 0); }, QStringLiteral("subject"));
        refused([&] { main.vskTab_HeaderClick(2); }, QStringLiteral("tab bar"));
        for (int button : {4, 6, 8, 10, 11, 13, 15, 17})
            refused([&] { toolButton(main, button)->trigger(); }, QStringLiteral("button %1").arg(button));
        for (int button = 1; button <= 3; ++button)
            refused([&] { dropDownEntry(main, button, 2)->trigger(); }, QStringLiteral("entry of %1").arg(button));
        refused([&] { QVERIFY(!main.close()); }, QStringLiteral("close"));

        // Help and about leave the grade being typed as it is.
        scope.push(closeWindow("frmAbout"));
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 31, 0);
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 30, 0);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(main.txtNote->text(), QStringLiteral("5"));
        QVERIFY(!main.txtNote->isHidden());

        QTest::keyClick(main.txtNote, Qt::Key_Escape);
        QVERIFY(main.close());
        QCOMPARE(Form<frmMain>::instance(), nullptr);
    }
};

QTEST_MAIN(tst_frmMainCommands)
#include "tst_frmMainCommands.moc"
