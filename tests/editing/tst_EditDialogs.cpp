// The class and subject dialogs: their checks and messages in both modes, the rows they
// write, the tab bar they rebuild, and a failed write that leaves the file as it was. The
// student list: the capitalisation of names, the keys of its grid, the students it adds,
// corrects and deletes with their grades, the main grid refreshed however it closes.
#include "EditingTestKit.h"
#include "editing/StudentEdit.h"
#include "editing/frmClasse.h"
#include "editing/frmEleve.h"
#include "editing/frmMat.h"

using namespace Qt::StringLiterals;
using namespace editkit;
using namespace testsupport;
using platform::FlexGrid;

namespace {

const QString kTaken = u"Le nom ou le nom abrégé est (sont) déjà attribué(s)."_s;
const QStringList kTakenLines = {u"Vous devez attribuer un nom et un nom abrégé uniques à chaque classe."_s};
const QString kInvalid = u"Vous n'avez pas saisi un nom de matière valide."_s;
const QString kNameTaken = u"Ce nom de matière est déjà attribué."_s;
const QStringList kRule = {u"Le nom d'une matière doit être renseigné et unique."_s};

void fill(frmClasse& d, const QString& name, const QString& shortName) {
    d.txtNom->setText(name);
    d.txtNomAbrégé->setText(shortName);
}

QWidget* nextTabStop(QWidget* from) {
    QWidget* w = from->nextInFocusChain();
    while (w != from && !(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
    return w;
}

// A gradebook with the classes and the subjects named.
QString newGradebook(const QTemporaryDir& dir, const QStringList& classes, const QStringList& subjects) {
    GradebookBuilder b(dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u".dat"_s));
    for (const QString& c : classes) b.addClass(c, c);
    for (const QString& m : subjects) b.addSubject(m);
    return b.path();
}

const QString kCancelled = u"Une ou plusieurs de vos saisies sont incorrectes.\nElles ont été annulées."_s;

QStringList rows(const FlexGrid& g) {
    QStringList texts;
    for (int r = 0; r < g.Rows(); ++r) texts << g.TextMatrix(r, 0) + u'/' + g.TextMatrix(r, 1);
    return texts;
}

void key(QWidget* w, Qt::Key k) { QTest::keyClick(w, k); }

// Types into the boxes of an edit open on the current row, then presses `end`.
void type(frmElève& d, const QString& name, const QString& firstName, Qt::Key end = Qt::Key_Return) {
    QVERIFY(d.editing());
    d.txtNom->setText(name);
    d.txtPrénom->setText(firstName);
    key(d.txtNom, end);
}

}  // namespace

class tst_EditDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void cleanup() { editkit::unloadAll(); }

    void classCreateModeChecksWritesAndKeepsTheSelection() {
        const QString path = newGradebook(m_dir, {u"Sixième A"_s, u"6e B"_s}, {u"Maths"_s, u"Français"_s});
        frmMain& main = editkit::openMain(path, 2, 2);
        platform::ModalTestScope scope;
        scope.push([&](QWidget& w) {
            frmClasse& d = dialogOf<frmClasse>(w);
            // Tab from the name reaches the short name, not "OK" (a space typed there would create the class).
            QVERIFY(nextTabStop(d.txtNom) == d.txtNomAbrégé && nextTabStop(d.txtNomAbrégé) == d.cmdAction[0]);
            d.cmdAction_Click(0);  // both empty: two lines, name first
            d.txtNom->setText(u"Cinquième B"_s);
            QCOMPARE(d.cmdAction[1]->text(), u"Annuler"_s);

            // A short name is made from the name when the name box is left, unless one is
            // typed; cut to the field's 15 characters, with no space left at the end.
            const QList<std::array<QString, 3>> shortNames = {
                {u"Cinquième B"_s, u""_s, u"Cinquième B"_s},
                {u"Terminale Sciences et Technologies"_s, u"5e"_s, u"5e"_s},
                {u"Terminale Sciences et Technologies"_s, u""_s, u"Terminale Scien"_s},
                {u"Seconde d'Arts 2"_s, u""_s, u"Seconde d'Arts"_s}};
            for (const auto& [name, typed, made] : shortNames) {
                fill(d, name, typed);
                d.txtNom_LostFocus();
                QCOMPARE(d.txtNomAbrégé->text(), made);
            }
            fill(d, u"SIXIÈME a"_s, u"X"_s);  // the store ignores letter case
            d.cmdAction_Click(0);
            fill(d, u"Autre"_s, u"6E B"_s);
            d.cmdAction_Click(0);
            QCOMPARE(d.txtNom->text(), u"Autre"_s);  // the texts stay for a correction

            fill(d, u"Cinquième \"B\" 100% \\ l'autre"_s, u"5e B"_s);
            d.cmdAction_Click(0);
            QVERIFY(d.txtNom->text().isEmpty() && d.txtNomAbrégé->text().isEmpty());
            QCOMPARE(d.cmdAction[1]->text(), u"Terminer"_s);
            fill(d, u"Quatrième"_s, u"4e"_s);
            d.cmdAction_Click(0);
            d.close();  // the close box ends the series as "Terminer" does
        });
        scope.push(list(u"Une ou plusieurs de vos saisies sont incorrectes."_s,
                        {u"Vous devez attribuer un nom à la classe."_s, u"Vous devez attribuer un nom abrégé à la classe."_s}));
        scope.push(list(kTaken, kTakenLines));
        scope.push(list(kTaken, kTakenLines));
        scope.push(list(u"Création de classe effectuée."_s, {u"Cinquième \"B\" 100% \\ l'autre créée."_s}));
        scope.push(list(u"Création de classe effectuée."_s, {u"Quatrième créée."_s}));
        main.tooBar_ButtonMenuClick(1, 1);
        QCOMPARE(scope.pending(), 0);

        QCOMPARE(sectionCaptions(*main.vskTab), (QStringList{u"Sixième A"_s, u"6e B"_s, u"5e B"_s, u"4e"_s}));
        QCOMPARE(main.lblPrincipal->text(), u"6e B - Français"_s);
        // A names column of 1800, and one coefficient row at 1 per subject for each new class.
        QCOMPARE(fields(path, u"Classes"_s, {u"Nom"_s, u"Colonne"_s}).mid(2),
                 (QStringList{u"Cinquième \"B\" 100% \\ l'autre 1800"_s, u"Quatrième 1800"_s}));
        QCOMPARE(fields(path, u"Coefficients"_s, {u"NumClass"_s, u"Coefficient"_s}).mid(4),
                 (QStringList{u"3 1"_s, u"3 1"_s, u"4 1"_s, u"4 1"_s}));
    }

    void classModifyModeRenamesByKey() {
        frmMain& main = editkit::openMain(newGradebook(m_dir, {u"Sixième A"_s, u"Sixième B"_s}, {u"Maths"_s}));
        main.vskTab_HeaderClick(2);
        platform::ModalTestScope scope;
        const auto rename = [&](const QString& name, const QString& shortName, bool closes,
                                platform::ModalResponder message = {}) {
            scope.push([=](QWidget& w) {
                frmClasse& d = dialogOf<frmClasse>(w);
                fill(d, name, shortName);
                d.cmdAction_Click(0);
                QCOMPARE(d.isVisible(), !closes);
            });
            if (message) scope.push(message);
            main.tooBar_ButtonMenuClick(1, 2);
        };
        // The active class is chosen, its names in the boxes.
        scope.push([](QWidget& w) {
            frmClasse& d = dialogOf<frmClasse>(w);
            QVERIFY(d.cboClasse->currentText() == u"Sixième B"_s && d.txtNomAbrégé->text() == u"Sixième B"_s);
            // The keyboard starts on the choice of class, not on "OK" (Tab would then reach
            // "Annuler", and a name typed after it would close the window).
            QVERIFY(d.focusWidget() == d.cboClasse && nextTabStop(d.cboClasse) == d.txtNom);
            d.cboClasse->setCurrentIndex(0);
            QCOMPARE(d.txtNom->text(), u"Sixième A"_s);
            d.cmdAction_Click(0);  // unchanged: still written, and the dialog closes
            QVERIFY(!d.isVisible());
        });
        main.tooBar_ButtonMenuClick(1, 2);

        rename(u"sixième a"_s, u"6e B"_s, false, list(kTaken, kTakenLines));  // another's name in other letters
        rename(u"SIXIÈME B"_s, u"6E B"_s, true);                              // its own, in other letters
        rename(u"Sixième \"B\" 'bis' 50%"_s, u"6e \"B\""_s, true);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(sectionCaptions(*main.vskTab), (QStringList{u"Sixième A"_s, u"6e \"B\""_s}));
        QCOMPARE(main.vskTab->SectionAt(2).Key(), u"Sixième \"B\" 'bis' 50%"_s);
        QCOMPARE(main.vskTab->ActiveSection().Index(), 2);
        // ... and it can be renamed again from that name.
        rename(u"Sixième B"_s, u"6e B"_s, true);
        QCOMPARE(main.vskTab->SectionAt(2).Key(), u"Sixième B"_s);
    }

    void subjectCreateModeWritesARowPerClassAndShowsTheFirstSubject() {
        const QString path = newGradebook(m_dir, {u"6e A"_s, u"6e B"_s, u"6e C"_s}, {});
        frmMain& main = editkit::openMain(path);
        platform::ModalTestScope scope;
        scope.push([](QWidget& w) {
            frmMat& d = dialogOf<frmMat>(w);
            d.cmdAction_Click(0);  // empty
            d.txtNom->setText(u"Mathématiques"_s);
            QCOMPARE(d.cmdAction[1]->text(), u"Terminer"_s);  // typing does not change it
            d.cmdAction_Click(0);
            QVERIFY(d.txtNom->text().isEmpty());
            d.txtNom->setText(u"MATHÉMATIQUES"_s);
            d.cmdAction_Click(0);
            QCOMPARE(d.txtNom->text(), u"MATHÉMATIQUES"_s);
            d.txtNom->setText(u"Arts \"plastiques\""_s);
            d.cmdAction_Click(0);
            d.cmdAction_Click(1);
        });
        scope.push(list(kInvalid, kRule));
        scope.push(list(u"Création de matière effectuée."_s, {u"Mathématiques créée."_s}));
        scope.push(list(kNameTaken, kRule));
        scope.push(list(u"Création de matière effectuée."_s, {u"Arts \"plastiques\" créée."_s}));
        main.tooBar_ButtonMenuClick(2, 1);
        QCOMPARE(scope.pending(), 0);

        // The first subject of the gradebook is selected in the active class and shown.
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Mathématiques"_s);
        for (int s = 1; s <= 3; ++s)
            QCOMPARE(itemCaptions(*main.vskTab, s), (QStringList{u"Mathématiques"_s, u"Arts \"plastiques\""_s}));
        QCOMPARE(fields(path, u"Coefficients"_s, {u"Coefficient"_s}), QStringList(6, u"1"_s));
    }

    void subjectRenameModeByKey() {
        GradebookBuilder b(m_dir.filePath(u"rename.dat"_s));
        const int cls = b.addClass(u"Sixième A"_s, u"6e A"_s);
        b.addSubject(u"Maths"_s);
        b.addSeries(cls, b.addSubject(u"Histoire"_s), u"DS"_s, 20, 1, 1);
        b.close();
        frmMain& main = editkit::openMain(b.path(), 1, 2);
        platform::ModalTestScope scope;
        const auto rename = [&](const QString& name, bool closes, platform::ModalResponder message = {}) {
            scope.push([&main, name, closes](QWidget& w) {
                frmMat& d = dialogOf<frmMat>(w);
                QCOMPARE(d.cboMat->currentText(), main.vskTab->SectionAt(1).SelectedItem().Caption());  // the subject on screen
                d.txtNom->setText(name);
                d.cmdAction_Click(0);
                QCOMPARE(d.isVisible(), !closes);
            });
            if (message) scope.push(message);
            main.tooBar_ButtonMenuClick(2, 2);
        };
        const auto unchanged = testsupport::dumpTables(b.path());
        rename(u"Histoire"_s, true);  // the same name: closes, writes nothing
        QCOMPARE(testsupport::dumpTables(b.path()), unchanged);
        rename(u"maths"_s, false, list(kNameTaken, kRule));
        rename(u"HISTOIRE"_s, true);
        rename(u"Histoire \"géo\" 'EMC' 100%"_s, true);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(itemCaptions(*main.vskTab, 1), (QStringList{u"Maths"_s, u"Histoire \"géo\" 'EMC' 100%"_s}));
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Histoire \"géo\" 'EMC' 100%"_s);
        rename(u"Histoire"_s, true);
        QCOMPARE(main.vskTab->SectionAt(1).SelectedItem().Caption(), u"Histoire"_s);
    }

    // The record's row goes in, then the second coefficient row fails; or its change fails.
    void aFailedWriteChangesNothing_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("failure");
        QTest::newRow("a new class") << 1 << 1 << u"BEFORE INSERT ON Coefficients WHEN NEW.NumMat = 2"_s;
        QTest::newRow("a class changed") << 1 << 2 << u"BEFORE UPDATE ON Classes"_s;
        QTest::newRow("a new subject") << 2 << 1 << u"BEFORE INSERT ON Coefficients WHEN NEW.NumClass = 2"_s;
        QTest::newRow("a subject renamed") << 2 << 2 << u"BEFORE UPDATE ON \"Matières\""_s;
    }
    void aFailedWriteChangesNothing() {
        QFETCH(int, button);
        QFETCH(int, entry);
        QFETCH(QString, failure);
        const QString path = newGradebook(m_dir, {u"6e A"_s, u"6e B"_s}, {u"Maths"_s, u"Histoire"_s});
        frmMain& main = editkit::openMain(path);
        testsupport::injectFailure(path, failure);
        const auto before = testsupport::dumpTables(path);
        platform::ModalTestScope scope;
        scope.push([](QWidget& w) {
            auto& d = dialogOf<editing::RecordDialog>(w);
            d.txtNom->setText(u"Géométrie"_s);
            if (auto* c = dynamic_cast<frmClasse*>(&d)) c->txtNomAbrégé->setText(u"Géo"_s);
            d.cmdAction_Click(0);
            QVERIFY(d.isVisible() && d.txtNom->text() == u"Géométrie"_s);
            d.cmdAction_Click(1);
        });
        scope.push(editkit::writeFailed());  // not the message of a name already taken
        main.tooBar_ButtonMenuClick(button, entry);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(testsupport::dumpTables(path), before);
        QCOMPARE(sectionCaptions(*main.vskTab) + itemCaptions(*main.vskTab, 1),
                 (QStringList{u"6e A"_s, u"6e B"_s, u"Maths"_s, u"Histoire"_s}));
    }

    // A gradebook damaged once open: the subjects to rename, or the students of a class to
    // list, cannot be read, and the teacher is told so.
    void aGradebookThatCannotBeReadIsSaidSo() {
        const QString path = newGradebook(m_dir, {u"6e A"_s}, {u"Maths"_s});
        frmMain& main = editkit::openMain(path);
        mUtilities::gDB.awaitIntegrity();
        QCOMPARE(rawExec(path, gradebook::databasePassword().toUtf8(),
                         "PRAGMA writable_schema = 1; UPDATE sqlite_master SET rootpage = 100000 "
                         "WHERE tbl_name IN ('Matières', 'Elèves'); PRAGMA schema_version = 4242"),
                 0);
        const QString cannot = u"Impossible de lire le carnet de notes."_s;
        platform::ModalTestScope scope;
        scope.push(systemMessage(cannot));
        main.tooBar_ButtonMenuClick(2, 2);
        scope.push([](QWidget& w) {
            frmElève& d = dialogOf<frmElève>(w);
            d.cmdAction_Click(0);
            QVERIFY(d.isVisible() && d.cboClasse->isVisible());  // still on the choice of class
            d.cmdAction_Click(1);
        });
        scope.push(systemMessage(cannot));
        main.tooBar_ButtonClick(4);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(scope.shown(), (QStringList{u"systemMessage"_s, u"frmElève"_s, u"systemMessage"_s}));
    }

    // Up to as many classes as the tab bar has sections, or subjects as a section has items:
    // the last one is created, one more is refused with nothing written.
    void noMoreClassesOrSubjectsThanTheTabBarHolds() {
        struct Case {
            int button;
            QString file;
            QByteArray rows;  // over n(i), from 1
            int most;
            QString done, heading, line;
        };
        const QList<Case> cases = {
            {1, u"classes.dat"_s, "INSERT INTO Classes (Nom, \"Nom abrégé\", Colonne) SELECT 'Classe ' || i, 'C' || i, 1000 FROM n",
             vskTab::kMaxSections, u"Création de classe effectuée."_s, u"Impossible de créer une nouvelle classe."_s,
             u"Ce carnet de notes contient déjà %1 classes, le plus grand nombre que la liste des classes puisse afficher."_s},
            {2, u"matières.dat"_s, "INSERT INTO \"Matières\" (Nom) SELECT 'Matière ' || i FROM n", tabSection::kMaxItems,
             u"Création de matière effectuée."_s, u"Impossible de créer une nouvelle matière."_s,
             u"Ce carnet de notes contient déjà %1 matières, le plus grand nombre que la liste des matières puisse afficher."_s}};
        for (const Case& c : cases) {
            GradebookBuilder b(m_dir.filePath(c.file));
            b.close();
            const QByteArray sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                                 + QByteArray::number(c.most - 1) + ") " + c.rows;
            QCOMPARE(rawExec(b.path(), gradebook::databasePassword().toUtf8(), sql.constData()), 0);
            frmMain& main = editkit::openMain(b.path());
            QMap<QString, Rows> full;
            platform::ModalTestScope scope;
            scope.push([&](QWidget& w) {
                auto& d = dialogOf<editing::RecordDialog>(w);
                for (const QString& name : {u"Dernière"_s, u"Une de plus"_s}) {
                    d.txtNom->setText(name);
                    if (auto* c = dynamic_cast<frmClasse*>(&d)) c->txtNomAbrégé->setText(name);
                    d.cmdAction_Click(0);
                    if (full.isEmpty()) full = testsupport::dumpTables(b.path());
                }
                QVERIFY(d.isVisible() && d.txtNom->text() == u"Une de plus"_s);
                d.cmdAction_Click(1);
            });
            scope.push(editkit::list(c.done, {u"Dernière créée."_s}));
            scope.push(editkit::list(c.heading, {c.line.arg(c.most)}));
            main.tooBar_ButtonMenuClick(c.button, 1);
            QCOMPARE(scope.pending(), 0);
            QCOMPARE(full.value(c.button == 1 ? u"Classes"_s : u"Matières"_s).size(), c.most);
            QCOMPARE(testsupport::dumpTables(b.path()), full);
            editkit::unloadAll();
        }
    }

    void capitalizeName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const QList<std::pair<const char*, const char*>> rows = {
            {"  jean-pierre  ", "Jean-Pierre"}, {"de la fontaine", "De La Fontaine"}, {"mcDONALD", "McDONALD"},
            {"a  b", "A  b"}, {"dupont-", "Dupont-"}, {"jean--pierre", "Jean--pierre"}, {"élodie", "Élodie"},
            {"   ", ""}, {"", ""}, {"\tx", "\tx"}, {"d'artagnan", "D'artagnan"}, {"-a", "-a"}};
        for (const auto& [typed, stored] : rows) QTest::newRow(typed) << QString::fromUtf8(typed) << QString::fromUtf8(stored);
    }
    void capitalizeName() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(studentedit::CapitalizeName(typed), stored);
    }

    void addsCorrectsAndRefuses() {
        GradebookBuilder b(m_dir.filePath(u"list.dat"_s));
        const int a = b.addClass(u"Sixième A"_s, u"6e A"_s);
        const int bb = b.addClass(u"Sixième B"_s, u"6e B"_s);
        b.addSubject(u"Maths"_s);
        b.addStudent(a, u"Martin"_s, u"Paul"_s);
        b.addStudent(bb, u"Durand"_s, u"Léa"_s);
        b.addStudent(bb, u"Bernard"_s, u"Zoé"_s);
        b.close();
        frmMain& main = editkit::openMain(b.path());
        main.vskTab_HeaderClick(2);

        platform::ModalTestScope scope;
        scope.push([&](QWidget& w) {
            frmElève& d = editkit::dialogOf<frmElève>(w);
            QCOMPARE(d.cboClasse->currentText(), u"Sixième B"_s);  // the active class
            key(d.cboClasse, Qt::Key_Return);  // Enter on the choice of class goes on to the list
            QVERIFY(d.cmdAction[0]->text() == u"< Précédent"_s && !d.cmdAction[0]->isDefault());  // Enter is the grid's
            QCOMPARE(d.cmdAction[1]->text(), u"Terminer"_s);
            FlexGrid* g = d.flxElèves;
            QCOMPARE(rows(*g), (QStringList{u"Nom/Prénom"_s, u"Bernard/Zoé"_s, u"Durand/Léa"_s, u"/"_s}));

            // Enter on the blank row, then Enter at once: both lines.
            g->setRow(3);
            key(g, Qt::Key_Return);
            QVERIFY(d.editing() && !d.cmdAction[0]->isEnabled());
            key(d.txtNom, Qt::Key_Return);
            QVERIFY(!d.editing() && d.cmdAction[0]->isEnabled());

            // A letter starts a new name; digits do not start anything.
            key(g, Qt::Key_5);
            QVERIFY(!d.editing());
            QTest::keyClicks(g, u"d"_s);
            QVERIFY(d.txtNom->text() == u"d"_s && d.txtPrénom->text().isEmpty());
            type(d, u"  d'almeida-o'neil "_s, u"jean-marc"_s, Qt::Key_Down);
            // Stored at the bottom (not sorted), and the new blank row is current.
            QCOMPARE(rows(*g).mid(3), (QStringList{u"D'almeida-O'neil/Jean-Marc"_s, u"/"_s}));
            QVERIFY(g->Row() == 4 && g->RowData(3) > 0);

            // A name used in another class is refused; the row stays blank.
            // (An accented capital starts a name too: "Éluard" keeps its first letter.)
            QTest::keyClicks(g, u"É"_s);
            QCOMPARE(d.txtNom->text(), u"É"_s);
            type(d, u"martin"_s, u"paul"_s);
            QVERIFY(g->Rows() == 5 && g->RowData(4) == 0);

            // A correction is written; one without a first name is refused and changes nothing.
            g->setRow(1);
            key(g, Qt::Key_Return);
            QCOMPARE(d.txtNom->text(), u"Bernard"_s);
            type(d, u"Bernard"_s, u"zoé-élise"_s);
            QCOMPARE(g->TextMatrix(1, 1), u"Zoé-Élise"_s);
            QTest::keyClicks(g, u"X"_s);
            type(d, u"X"_s, QString());
            QCOMPARE(rows(*g).at(1), u"Bernard/Zoé-Élise"_s);
            // Esc drops an edit.
            key(g, Qt::Key_Return);
            d.txtNom->setText(u"Autre"_s);
            key(d.txtNom, Qt::Key_Escape);
            QVERIFY(!d.editing() && rows(*g).at(1) == u"Bernard/Zoé-Élise"_s);
            // Up commits and moves up, never onto the header.
            key(g, Qt::Key_Return);
            type(d, u"Bernard"_s, u"Zoé"_s, Qt::Key_Up);
            QCOMPARE(g->Row(), 1);

            d.cmdAction_Click(0);  // back to the choice of class
            QVERIFY(!d.cboClasse->isHidden() && d.flxElèves->isHidden());
            d.cmdAction_Click(1);
            QVERIFY(d.isHidden());
        });
        scope.push(list(kCancelled, {u"Vous devez saisir un nom."_s, u"Vous devez saisir un prénom."_s}));
        scope.push(list(kCancelled, {u"L'élève Martin Paul existe déjà.\n(En cas d'homonimie sur le nom et le prénom, "
                                     "employez un chiffre ou un symbole distinctif pour différencier les deux élèves.)"_s}));
        scope.push(list(kCancelled, {u"Vous devez saisir un prénom."_s}));
        main.tooBar_ButtonClick(4);
        QCOMPARE(scope.pending(), 0);

        QCOMPARE(editkit::fields(b.path(), u"Elèves"_s, {u"Nom"_s, u"Prénom"_s}),
                 (QStringList{u"Martin Paul"_s, u"Durand Léa"_s, u"Bernard Zoé"_s, u"D'almeida-O'neil Jean-Marc"_s}));
    }

    void deletesWithTheGradesAndRefreshesTheMainGrid() {
        GradebookBuilder b(m_dir.filePath(u"delete.dat"_s));
        const int cls = b.addClass(u"Sixième A"_s, u"6e A"_s), other = b.addClass(u"Sixième B"_s, u"6e B"_s);
        const int maths = b.addSubject(u"Maths"_s);
        const int paul = b.addStudent(cls, u"Martin"_s, u"Paul"_s), lea = b.addStudent(cls, u"Durand"_s, u"Léa"_s);
        for (int period : {1, 2}) {
            const int series = b.addSeries(cls, maths, u"DS %1"_s.arg(period), 20, 1, period);
            b.addGrade(series, paul, 12);
            b.addGrade(series, lea, 15);
        }
        b.addGrade(b.addSeries(other, maths, u"DS"_s, 20, 1, 1), paul, 8);  // his grade in another class's series
        b.close();
        frmMain& main = editkit::openMain(b.path());
        QCOMPARE(main.flxNotes->TextMatrix(5, 0), u"Martin Paul"_s);
        platform::ModalTestScope scope;

        const auto deleteRow = [&](int row, const QString& answer, bool closeBox, platform::ModalResponder message = {}) {
            scope.push([=](QWidget& w) {
                frmElève& d = editkit::dialogOf<frmElève>(w);
                d.cmdAction_Click(0);
                d.flxElèves->setRow(row);
                key(d.flxElèves, Qt::Key_Delete);
                if (closeBox) d.close(); else d.cmdAction_Click(1);
                QVERIFY(d.isHidden());  // the window really goes, whichever way it is closed
            });
            if (row < 3)
                scope.push(msgBox(u"La suppression de cet élève entraînera la suppression de toutes ses notes."_s, answer));
            if (message) scope.push(message);
            main.tooBar_ButtonClick(4);
        };
        const auto before = testsupport::dumpTables(b.path());
        deleteRow(3, {}, false);  // the blank row: nothing asked
        deleteRow(2, u"Non"_s, false);
        deleteRow(2, {}, false);  // the question closed without an answer
        QCOMPARE(testsupport::dumpTables(b.path()), before);

        testsupport::injectFailure(b.path(), "BEFORE DELETE ON \"Elèves\"");
        deleteRow(2, u"Oui"_s, false, editkit::writeFailed());  // the grades deleted first come back
        QCOMPARE(testsupport::dumpTables(b.path()), before);
        testsupport::dropFailures(b.path());

        deleteRow(2, u"Oui"_s, true);  // closed by its close box
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(editkit::fields(b.path(), u"Elèves"_s, {u"NumElv"_s}), QStringList{QString::number(lea)});
        QCOMPARE(editkit::fields(b.path(), u"Notes"_s, {u"NumElv"_s}), QStringList(2, QString::number(lea)));
        // The main grid no longer holds the student.
        QCOMPARE(main.flxNotes->TextMatrix(4, 0), u"Durand Léa"_s);
        QVERIFY(main.flxNotes->TextMatrix(5, 0) != u"Martin Paul"_s);
    }
};

QTEST_MAIN(tst_EditDialogs)
#include "tst_EditDialogs.moc"
