// The main window: opening a gradebook (and every way it can fail), the grade grid of each
// period layout, its averages, what the window keeps between runs, and its commands in the help.
#include "Answers.h"
#include "DbTestSupport.h"
#include "GradebookBuilder.h"
#include "TabBarTestKit.h"
#include "editing/Cascades.h"
#include "editing/ClassEdit.h"
#include "editing/SubjectEdit.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "platform/Twips.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using platform::FlexGrid;
using platform::Form;
using testsupport::GradebookBuilder;

namespace {

QStringList rowTexts(const FlexGrid& g, int row) {
    QStringList texts;
    for (int c = 0; c < g.Cols(); ++c) texts << g.TextMatrix(row, c);
    return texts;
}

// Cells whose colour differs from the fixed cells', as "row,col".
QStringList editableCells(FlexGrid& g) {
    QStringList cells;
    for (int r = 0; r < g.Rows(); ++r)
        for (int c = 0; c < g.Cols(); ++c) {
            g.setRow(r);
            g.setCol(c);
            if (g.CellBackColor() != g.BackColorFixed()) cells << QStringLiteral("%1,%2").arg(r).arg(c);
        }
    return cells;
}

QString setting(const char* key) { return platform::GetSetting(QStringLiteral("StartUp"), QString::fromLatin1(key)); }

int columnWidth(const QString& table, const QString& keyField, int key) {
    db::Recordset rs = mUtilities::gDB.OpenRecordset(db::Query(table).where(db::Field(keyField) == key),
                                                      db::RecordsetType::Snapshot);
    return rs.Fields(QStringLiteral("Colonne")).Value().toInt();
}

void select(frmMain& main, int section, int item) {
    main.vskTab_HeaderClick(section);
    main.vskTab_ItemClick(section, item);
}

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void cleanup() {
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void openingFailuresKeepThePreviousGradebook() {
        GradebookBuilder a(path(QStringLiteral("Année A.dat")));
        const int cls = a.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        const int s = a.addSeries(cls, a.addSubject(QStringLiteral("Maths")), QStringLiteral("DS"), 20, 1, 1);
        a.addGrade(s, a.addStudent(cls, QStringLiteral("Durand"), QStringLiteral("Léa")), 12);
        a.close();

        platform::ModalTestScope scope;
        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(a.path()));
        QCOMPARE(main.windowTitle(), QStringLiteral("Carnet de notes - Année A"));
        const db::Database opened = mUtilities::gDB;
        const auto unchanged = [&] {
            QVERIFY(mUtilities::gDB.sameDatabase(opened) && mUtilities::gRsNotes.isOpen());
            QCOMPARE(main.windowTitle(), QStringLiteral("Carnet de notes - Année A"));
            QCOMPARE(setting("File"), a.path());
            QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A - Maths"));
            QCOMPARE(main.flxNotes->TextMatrix(4, 1), QStringLiteral("12"));
        };

        QFile junk(path(QStringLiteral("junk.dat")));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) > 0);
        junk.close();
        const QString bare = path(QStringLiteral("bare.dat"));
        db::Database::CreateDatabase(bare, gradebook::databasePassword()).Close();
        GradebookBuilder exchange(path(QStringLiteral("Notes Export 0001.dat")));
        exchange.setProperty(QStringLiteral("App"), gradebook::exportApp());
        exchange.close();
        GradebookBuilder old(path(QStringLiteral("old.dat")));
        old.setProperty(QStringLiteral("VersionID"), QStringLiteral("1.1.9"));
        old.close();
        GradebookBuilder locked(path(QStringLiteral("locked.dat")));
        locked.addClass(QStringLiteral("Cinquième B"), QStringLiteral("5e B"));
        locked.setProperty(QStringLiteral("Passe"), QStringLiteral("Secret"));
        locked.close();
        // A hash that would keep the program busy for minutes is checked against nothing.
        GradebookBuilder slow(path(QStringLiteral("slow.dat")));
        slow.setProperty(QStringLiteral("Passe"), QStringLiteral("pbkdf2-sha256$2000000000$AAAA$") + QString(43, u'A') + u'=');
        slow.close();
        // A file that fails only once its classes are read.
        const QString noNotes = path(QStringLiteral("sans notes.dat"));
        {
            db::Database f = db::Database::CreateDatabase(noNotes, gradebook::databasePassword());
            for (const gradebook::PropertyDef& p : gradebook::gradebookProperties()) f.CreateProperty(p.name, p.type, p.value);
            for (const db::TableDef& t : gradebook::gradebookTables(QDateTime::currentDateTime()))
                if (t.Name() != u"Notes") f.CreateTable(t);
        }

        using testsupport::systemMessage;
        const auto incorrect = systemMessage(QStringLiteral("Mot de passe incorrect.\nAccès au carnet de notes refusé."));
        const auto cannotOpen = systemMessage(QStringLiteral("Impossible d'ouvrir ce carnet de notes.\n"
                                                             "Il ne s'agit sans doute pas d'un carnet de notes valide."));
        const QString question = QStringLiteral("Le carnet de notes que vous tentez d'ouvrir a été créé avec une version antérieure.");
        const QList<std::pair<QString, QList<platform::ModalResponder>>> failures = {
            {junk.fileName(), {cannotOpen}},
            {bare, {systemMessage(QStringLiteral("Ce fichier n'est pas un carnet de notes valide."))}},
            {exchange.path(), {systemMessage(QStringLiteral("Vous essayez d'ouvrir un carnet de notes exporté.\nOuvrez ou "
                                                            "créez d'abord un carnet de notes avant d'y importer des notes."))}},
            {old.path(), {testsupport::msgBox(question, QStringLiteral("Annuler"))}},  // conversion refused
            {locked.path(), {testsupport::password(QStringLiteral("Secret"), true)}},  // password cancelled
            {locked.path(), {testsupport::password(QStringLiteral("secret")), incorrect}},
            {slow.path(), {testsupport::password(QStringLiteral("Secret")), incorrect}},
            {noNotes, {cannotOpen}},
        };
        for (const auto& [file, answers] : failures) {
            for (const platform::ModalResponder& answer : answers) scope.push(answer);
            QVERIFY2(!main.OpenAFile(file), qPrintable(file));
            QCOMPARE(scope.pending(), 0);
            unchanged();
        }

        scope.push(testsupport::password(QStringLiteral("Secret")));
        QVERIFY(main.OpenAFile(locked.path()));
        // The password that an older version kept in clear is now kept as its hash, which
        // the right password alone matches.
        const QByteArray content = testsupport::decryptedContent(locked.path());
        QVERIFY(content.contains("pbkdf2-sha256$") && !content.contains("Secret"));
        scope.push(testsupport::password(QStringLiteral("secret")));
        scope.push(incorrect);
        QVERIFY(!main.OpenAFile(locked.path()));
        scope.push(testsupport::password(QStringLiteral("Secret")));
        QVERIFY(main.OpenAFile(locked.path()));
        QCOMPARE(main.windowTitle(), QStringLiteral("Carnet de notes - locked"));
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("5e B: aucune donnée à afficher."));
        QVERIFY(!main.flxNotes->isVisibleTo(&main));
        QCOMPARE(setting("File"), locked.path());

        scope.push(testsupport::msgBox(question, QStringLiteral("OK")));
        QVERIFY(main.OpenAFile(old.path()));
        QCOMPARE(mUtilities::gDB.Properties(QStringLiteral("VersionID")).Value().toString(), QStringLiteral("1.2.2"));
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("Aucune donnée à afficher."));
        QCOMPARE(main.vskTab->SectionCount(), 0);
    }

    void gridShapePerPeriodLayout() {
        GradebookBuilder b(path(QStringLiteral("shapes.dat")));
        const int a = b.addClass(QStringLiteral("Cinquième A"), QStringLiteral("5A"));
        const int empty = b.addClass(QStringLiteral("Cinquième B"), QStringLiteral("5B"));
        const int maths = b.addSubject(QStringLiteral("Maths"));
        const int french = b.addSubject(QStringLiteral("Français"));
        b.addSubject(QStringLiteral("Anglais"));
        const int zoe = b.addStudent(a, QStringLiteral("Zola"), QStringLiteral("Zoé"));
        const int eric = b.addStudent(a, QStringLiteral("Éluard"), QStringLiteral("Paul"));
        const int m2 = b.addSeries(a, maths, QStringLiteral("M2"), 20, 1, 2, QDate(2025, 1, 10));
        const int m1 = b.addSeries(a, maths, QStringLiteral("M1"), 20, 2, 2, QDate(2025, 1, 5));
        b.addSeries(a, french, QStringLiteral("F3"), 10, 1, 3);
        b.addSeries(a, french, QStringLiteral("F1"), 10, 1, 1);
        b.addSeries(empty, maths, QStringLiteral("B1"), 20, 1, 1);
        b.addGrade(m1, zoe, 12.5);
        b.addGrade(m2, eric, 15);
        b.close();

        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(b.path()));
        FlexGrid& g = *main.flxNotes;
        // The first series is in period 2: an empty "Moyenne 1" comes first, no "Moyenne 3".
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("5A - Maths"));
        QCOMPARE(rowTexts(g, 0), (QStringList{"", "Moyenne 1", "M1", "M2", "Moyenne 2", "Moyenne générale"}));
        QCOMPARE(g.Rows(), 8);  // students sorted in French order, between two bands
        QCOMPARE(rowTexts(g, 1), (QStringList{"Note/", "", "20", "20", "", ""}));
        QCOMPARE(rowTexts(g, 2), (QStringList{"Coefficient", "", "2", "1", "", ""}));
        QCOMPARE(rowTexts(g, 4).first(), QStringLiteral("Éluard Paul"));
        QCOMPARE(rowTexts(g, 5), (QStringList{"Zola Zoé", "", "12,5", "", "12,5", "12,5"}));
        QCOMPARE(rowTexts(g, 7).first(), QStringLiteral(" Moyenne"));
        QCOMPARE(g.RowData(4), eric);
        QCOMPARE(g.ColData(2), m1);
        QCOMPARE(main.propAveragePos(), (gradegrid::AveragePositions{0, 1, 4, 0, 5}));
        QCOMPARE(QPoint(g.Col(), g.Row()), QPoint(1, 4));
        QCOMPARE(editableCells(g), (QStringList{"1,2", "1,3", "2,2", "2,3", "4,2", "4,3", "5,2", "5,3"}));

        // Periods 1 and 3 only: "Moyenne 2" stands empty between them.
        main.vskTab_ItemClick(1, 2);
        QCOMPARE(rowTexts(g, 0),
                 (QStringList{"", "F1", "Moyenne 1", "Moyenne 2", "F3", "Moyenne 3", "Moyenne générale"}));
        QCOMPARE(main.propAveragePos(), (gradegrid::AveragePositions{0, 2, 3, 5, 6}));

        // No series: the names and an empty general average, nothing editable.
        main.vskTab_ItemClick(1, 3);
        QCOMPARE(rowTexts(g, 0), (QStringList{"", "Moyenne générale"}));
        QCOMPARE(editableCells(g), QStringList());
        QCOMPARE(main.propAveragePos(), (gradegrid::AveragePositions{0, 0, 0, 0, 1}));

        // A class without students hides the grid; only one section keeps a selected item.
        select(main, 2, 1);
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("5B - Maths"));
        QVERIFY(!g.isVisibleTo(&main));
        QCOMPARE(frmMain::mCurrentSection, 2);
        QVERIFY(main.vskTab->SectionAt(1).SelectedItem().isNull());
        QCOMPARE(main.vskTab->SectionAt(2).SelectedItem().Index(), 1);
    }

    void helpNamesEveryCommandAndOuvrirRoutesClassesAndSubjects() {
        GradebookBuilder b(path(QStringLiteral("menu.dat")));
        QList<int> classes;
        for (int i = 1; i <= 3; ++i) classes << b.addClass(QStringLiteral("Classe %1").arg(i), QStringLiteral("C%1").arg(i));
        const int maths = b.addSubject(QStringLiteral("Maths")), history = b.addSubject(QStringLiteral("Histoire"));
        b.close();
        frmMain& main = Form<frmMain>::get();
        // The help names every command of the menus and the toolbar.
        QFile helpFile(platform::paths::helpFile());
        QVERIFY(helpFile.open(QIODevice::ReadOnly));
        const QString help = QString::fromUtf8(helpFile.readAll()).simplified();
        QList<QAction*> commands = main.menuBar()->actions() + main.tooBar->actions();
        for (const QMenu* menu : main.findChildren<QMenu*>()) commands += menu->actions();  // popups, drop-downs
        for (const QAction* command : commands) QVERIFY2(help.contains(command->text().remove(u'&')), qPrintable(command->text()));
        QVERIFY(main.OpenAFile(b.path()));
        // The subjects popup opened from the third class entry, then its second subject chosen.
        mSubClass::SendMessage(&main, mSubClass::WM_INITMENUPOPUP, 0, 2);
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 202, 0);
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("C3 - Histoire"));
        QCOMPARE(frmMain::mCurrentSection, 3);

        // Rebuilt after changes, the bar is as one built afresh (first section open, nothing
        // selected), but what did not change keeps its widgets.
        const auto firstButton = [&] { return tabkit::itemButton(*main.vskTab->findChildren<tabSection*>().first(), 1); };
        const QPointer<tooCommand> kept = firstButton();
        QVERIFY(cascades::deleteClass(mUtilities::gDB, classes[1]));
        classes[1] = classedit::create(mUtilities::gDB, {QStringLiteral("Classe 4"), QStringLiteral("C4")});
        subjectedit::rename(mUtilities::gDB, maths, QStringLiteral("Mathématiques"));
        const int english = subjectedit::create(mUtilities::gDB, QStringLiteral("Anglais"));
        main.CreateSectionsAndItems();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList bar, expected;
        for (int s = 1; s <= main.vskTab->SectionCount(); ++s) {
            const cTabSection section = main.vskTab->SectionAt(s);
            bar << QStringLiteral("%1 %2 %3 %4").arg(section.Caption(), section.Key(), section.Tag())
                       .arg(section.SelectedItem().Index());
            for (int i = 1; i <= section.ItemCount(); ++i)
                bar.last() += u' ' + section.ItemAt(i).Caption() + u'=' + section.ItemAt(i).Tag();
        }
        for (const int c : {0, 2, 1})
            expected << QStringLiteral("C%1 Classe %1 %2 0 Mathématiques=%3 Histoire=%4 Anglais=%5")
                            .arg(c == 1 ? 4 : c + 1).arg(classes[c]).arg(maths).arg(history).arg(english);
        QCOMPARE(bar, expected);
        QCOMPARE(main.vskTab->ActiveSection().Index(), 1);
        QCOMPARE(firstButton(), kept.data());

        // Without subjects, class entries give commands: the 101st class is 201.
        GradebookBuilder many(path(QStringLiteral("many.dat")));
        for (int i = 1; i <= 101; ++i) many.addClass(QStringLiteral("Classe %1").arg(i), QStringLiteral("C%1").arg(i));
        many.close();
        QVERIFY(main.OpenAFile(many.path()));
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 201, 0);
        QCOMPARE(main.vskTab->ActiveSection().Caption(), QStringLiteral("C101"));
    }

    void averagesAtOneAndTwoDecimals() {
        GradebookBuilder b(path(QStringLiteral("moyennes.dat")));
        const int cls = b.addClass(QStringLiteral("Troisième"), QStringLiteral("3e"));
        const int mat = b.addSubject(QStringLiteral("Physique"));
        const int full = b.addStudent(cls, QStringLiteral("Aubert"), QStringLiteral("Anne"));
        b.addStudent(cls, QStringLiteral("Blanc"), QStringLiteral("Basile"));
        const int half = b.addStudent(cls, QStringLiteral("Colin"), QStringLiteral("Céline"));
        const int odd = b.addStudent(cls, QStringLiteral("Dumas"), QStringLiteral("Denis"));
        const int sa = b.addSeries(cls, mat, QStringLiteral("A"), 20, 1, 1);
        const int sb = b.addSeries(cls, mat, QStringLiteral("B"), 20, 2, 1);
        const int sc = b.addSeries(cls, mat, QStringLiteral("C"), 10, 1, 2);
        const int sd = b.addSeries(cls, mat, QStringLiteral("D"), 40, 1, 2);
        const int sz = b.addSeries(cls, mat, QStringLiteral("Z"), 20, 0, 2);
        const int sy = b.addSeries(cls, mat, QStringLiteral("Y"), 0, 1, 3);
        for (auto [series, grade] : {std::pair{sa, 12.0}, {sb, 15.0}, {sc, 8.0}, {sd, 25.0}}) b.addGrade(series, full, grade);
        b.addGrade(sa, half, 10.5);
        b.addGrade(sc, half, 5.5);
        b.addGrade(sa, odd, 16);
        b.addGrade(sz, odd, 18);  // only a coefficient 0 in period 2
        b.addGrade(sy, odd, 5);   // out of 0 in period 3
        b.close();

        frmMain& main = Form<frmMain>::get();
        QVERIFY(main.OpenAFile(b.path()));
        const FlexGrid& g = *main.flxNotes;
        QCOMPARE(rowTexts(g, 0), (QStringList{"", "A", "B", "Moyenne 1", "C", "D", "Z", "Moyenne 2", "Y", "Moyenne 3",
                                              "Moyenne générale"}));
        // Period 2 is 14,25: rounded before the general average, which gives 14,2 where
        // the exact 14,125 would give 14,1.
        QCOMPARE(rowTexts(g, 4), (QStringList{"Aubert Anne", "12", "15", "14,0", "8", "25", "", "14,3", "", "", "14,2"}));
        QCOMPARE(rowTexts(g, 5), (QStringList{"Blanc Basile", "", "", "", "", "", "", "", "", "", ""}));
        QCOMPARE(rowTexts(g, 6), (QStringList{"Colin Céline", "10,5", "", "10,5", "5,5", "", "", "11,0", "", "", "10,8"}));
        QCOMPARE(rowTexts(g, 7), (QStringList{"Dumas Denis", "16", "", "16,0", "", "", "18", "", "5", "", "16,0"}));
        QCOMPARE(rowTexts(g, 9), (QStringList{" Moyenne", "12,8", "15,0", "13,5", "6,8", "25,0", "18,0", "12,7", "5,0", "",
                                              "13,7"}));

        {
            db::Database file = db::Database::OpenDatabase(b.path(), gradebook::databasePassword());
            file.Properties(QStringLiteral("Moyenne")).setValue(2);
        }
        QVERIFY(main.OpenAFile(b.path()));
        QCOMPARE(mUtilities::gAverageFormat, QStringLiteral("0.00"));
        QCOMPARE(rowTexts(g, 4).mid(3), (QStringList{"14,00", "8", "25", "", "14,25", "", "", "14,13"}));
        QCOMPARE(g.TextMatrix(6, 10), QStringLiteral("10,75"));
        QCOMPARE(g.TextMatrix(9, 10), QStringLiteral("13,63"));
    }

    void widthsAndPlacementRoundTrip() {
        GradebookBuilder b(path(QStringLiteral("largeurs.dat")));
        const int a = b.addClass(QStringLiteral("Quatrième A"), QStringLiteral("4A"));
        const int c = b.addClass(QStringLiteral("Quatrième C"), QStringLiteral("4C"));
        const int mat = b.addSubject(QStringLiteral("SVT"));
        b.addSubject(QStringLiteral("Musique"));
        b.addStudent(a, QStringLiteral("Petit"), QStringLiteral("Jean"));
        b.addStudent(c, QStringLiteral("Grand"), QStringLiteral("Luc"));
        const int series = b.addSeries(a, mat, QStringLiteral("TP"), 20, 1, 1);
        b.close();

        frmMain* main = &Form<frmMain>::get();
        // Its designed size, in a larger font, still fits the screen.
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(QRect(QPoint(), main->size())));
        QVERIFY(main->OpenAFile(b.path()));
        main->flxNotes->setColWidth(0, 2400);
        main->flxNotes->setColWidth(1, 40000);  // wider than the 16-bit field
        select(*main, 2, 1);  // leaving the class stores its widths
        QCOMPARE(columnWidth(QStringLiteral("Classes"), QStringLiteral("NumClass"), a), 2400);
        QCOMPARE(columnWidth(QStringLiteral("Séries"), QStringLiteral("NumSérie"), series), 32767);
        main->flxNotes->setColWidth(0, 3000);
        main->setGeometry(40, 50, 700, 540);
        // The placement is stored in screen twips, the splitter in twips of the layout.
        main->picSplit->move(200, 0);
        main->close();  // closing stores them too, and the placement
        QCOMPARE(columnWidth(QStringLiteral("Classes"), QStringLiteral("NumClass"), c), 3000);
        QCOMPARE((QStringList{setting("Maximized"), setting("Left"), setting("Top"), setting("Width"), setting("Height"),
                              setting("Pos1")}),
                 (QStringList{"False", "600", "750", "10500", "8100", QString::number(platform::layoutTwipsX(200))}));
        QCOMPARE(Form<frmMain>::instance(), nullptr);
        cleanup();

        main = &Form<frmMain>::get();
        QCOMPARE(main->geometry(), QRect(40, 50, 700, 540));
        QCOMPARE(main->picSplit->x(), 200);
        // Maximized: only the state is written; minimized: nothing.
        main->setWindowState(Qt::WindowMaximized);
        main->close();
        QCOMPARE(setting("Maximized"), QStringLiteral("True"));
        QCOMPARE(setting("Width"), QStringLiteral("10500"));
        cleanup();
        main = &Form<frmMain>::get();
        QVERIFY(main->isMaximized());
        platform::SaveSetting(QStringLiteral("StartUp"), QStringLiteral("Maximized"), QStringLiteral("False"));
        main->setWindowState(Qt::WindowMinimized);
        main->close();
        QCOMPARE(setting("Maximized"), QStringLiteral("False"));
        cleanup();

        // A window left on a screen that is gone comes back onto the screen.
        platform::SaveSetting(QStringLiteral("StartUp"), QStringLiteral("Left"), QStringLiteral("-450000"));
        main = &Form<frmMain>::get();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(main->geometry()));
        cleanup();

        // A placement stored at another scale factor, larger than the screen, fits in it.
        for (const auto& [key, twips] : {std::pair{"Left", 1500}, {"Top", 1500}, {"Width", 30000}, {"Height", 21000}})
            platform::SaveSetting(QStringLiteral("StartUp"), QString::fromLatin1(key), QString::number(twips));
        main = &Form<frmMain>::get();
        QVERIFY(screen.contains(main->geometry()));
        QCOMPARE(main->size(), screen.size());
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
