// The class and subject dialogs: their checks and messages in both modes, the rows they
// write, the tab bar they rebuild, and a failed write that leaves the file as it was.
#include "EditingTestKit.h"
#include "editing/frmClasse.h"
#include "editing/frmMat.h"

using namespace Qt::StringLiterals;
using namespace editkit;
using namespace testsupport;

namespace {

const QString kTaken = u"Le nom ou le nom abrégé est (sont) déjà attribué(s)."_s;
const QStringList kTakenLines = {u"Vous devez attribuer un nom et un nom abrégé uniques à chaque classe."_s};
const QString kInvalid = u"Vous n'avez pas saisi un nom de matière valide."_s, kNameTaken = u"Ce nom de matière est déjà attribué."_s;
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

}  // namespace

class tst_RecordDialog : public QObject {
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
            d.cmdAction_Click(0);  // both empty: two lines, name first
            d.txtNom->setText(u"Cinquième B"_s);
            QCOMPARE(d.cmdAction[1]->text(), u"Annuler"_s);

            // A short name is made from the name when the name box is left, unless one is
            // typed; cut to the field's 15 characters, with no space left at the end.
            const QList<std::array<QString, 3>> shortNames = {{u"Cinquième B"_s, u""_s, u"Cinquième B"_s},
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
            d.cmdAction_Click(1);
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

    void aClassWithoutSubjectsAndTheKeysReported() {
        frmMain& main = editkit::openMain(newGradebook(m_dir, {}, {}));
        platform::ModalTestScope scope;
        scope.push([](QWidget& w) {
            frmClasse& d = dialogOf<frmClasse>(w);
            // Tab from the name reaches the short name, not "OK" (a space typed there would create the class).
            QCOMPARE(nextTabStop(d.txtNom), d.txtNomAbrégé);
            QCOMPARE(nextTabStop(d.txtNomAbrégé), d.cmdAction[0]);
            fill(d, u"Seconde 1"_s, u"2nde 1"_s);
            d.cmdAction_Click(0);
            d.close();  // the close box ends the series as "Terminer" does
        });
        scope.push(list(u"Création de classe effectuée."_s, {u"Seconde 1 créée."_s}));
        const QList<qint32> created = frmClasse::ShowCreate(mUtilities::gDB, main, &main);
        QCOMPARE(created, QList<qint32>{main.vskTab->SectionAt(1).Tag().toInt()});
        QCOMPARE(main.vskTab->ActiveSection().Index(), 1);
        QCOMPARE(testsupport::rowCount(mUtilities::gDB, u"Coefficients"_s), 0);
    }

    void classModifyModeRenamesByKey() {
        frmMain& main = editkit::openMain(newGradebook(m_dir, {u"Sixième A"_s, u"Sixième B"_s}, {u"Maths"_s}));
        main.vskTab_HeaderClick(2);
        platform::ModalTestScope scope;
        const auto rename = [&](const QString& name, const QString& shortName, bool closes, platform::ModalResponder message = {}) {
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
            QCOMPARE(d.cboClasse->currentText(), u"Sixième B"_s);
            QCOMPARE(d.txtNomAbrégé->text(), u"Sixième B"_s);
            // The keyboard starts on the choice of class, not on "OK" (Tab would then reach
            // "Annuler", and a name typed after it would close the window).
            QCOMPARE(d.focusWidget(), d.cboClasse);
            QCOMPARE(nextTabStop(d.cboClasse), d.txtNom);
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
        QCOMPARE(main.lblPrincipal->text(), u"6e A: aucune donnée à afficher."_s);
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
        for (int s = 1; s <= 3; ++s) QCOMPARE(itemCaptions(*main.vskTab, s), (QStringList{u"Mathématiques"_s, u"Arts \"plastiques\""_s}));
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
        rename(QString(), false, list(kInvalid, kRule));
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
            QVERIFY(d.isVisible());
            QCOMPARE(d.txtNom->text(), u"Géométrie"_s);
            d.cmdAction_Click(1);
        });
        scope.push(editkit::writeFailed());  // not the message of a name already taken
        main.tooBar_ButtonMenuClick(button, entry);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(testsupport::dumpTables(path), before);
        QCOMPARE(sectionCaptions(*main.vskTab) + itemCaptions(*main.vskTab, 1),
                 (QStringList{u"6e A"_s, u"6e B"_s, u"Maths"_s, u"Histoire"_s}));
    }
};

QTEST_MAIN(tst_RecordDialog)
#include "tst_RecordDialog.moc"
