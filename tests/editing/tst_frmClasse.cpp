// The class dialog: its checks and messages in both modes, the class and coefficient rows
// it writes, the tab bar it rebuilds, and a failed write that leaves the file as it was.
#include "EditingTestKit.h"
#include "GradebookBuilder.h"
#include "UiHelpers.h"
#include "editing/frmClasse.h"
#include "gradebook/mUtilities.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using editkit::list;
using platform::Form;
using testsupport::GradebookBuilder;

namespace {

const QString kTaken = QStringLiteral("Le nom ou le nom abrégé est (sont) déjà attribué(s).");
const QStringList kTakenLines = {QStringLiteral("Vous devez attribuer un nom et un nom abrégé uniques à chaque classe.")};

void fill(frmClasse& d, const QString& name, const QString& shortName) {
    d.txtNom->setText(name);
    d.txtNomAbrégé->setText(shortName);
}

QWidget* nextTabStop(QWidget* from) {
    QWidget* w = from->nextInFocusChain();
    while (w != from && !(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
    return w;
}

}  // namespace

class tst_frmClasse : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void cleanup() { editkit::unloadAll(); }

    void createModeChecksWritesAndKeepsTheSelection() {
        GradebookBuilder b(path("create.dat"));
        b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        b.addClass(QStringLiteral("Sixième B"), QStringLiteral("6e B"));
        b.addSubject(QStringLiteral("Maths"));
        b.addSubject(QStringLiteral("Français"));
        b.close();
        frmMain& main = editkit::openMain(b.path());
        main.vskTab_HeaderClick(2);
        main.vskTab_ItemClick(2, 2);
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e B - Français"));

        platform::ModalTestScope scope;
        scope.push([&](QWidget& w) {
            frmClasse& d = editkit::dialogOf<frmClasse>(w);
            QCOMPARE(d.cmdAction[1]->text(), QStringLiteral("Terminer"));
            d.cmdAction_Click(0);  // both empty: two lines, name first

            d.txtNom->setText(QStringLiteral("Cinquième B"));
            QCOMPARE(d.cmdAction[1]->text(), QStringLiteral("Annuler"));
            d.txtNom_LostFocus();
            QCOMPARE(d.txtNomAbrégé->text(), QStringLiteral("Cinquième B"));
            d.txtNom->setText(QStringLiteral("Terminale Sciences et Technologies"));
            d.txtNom_LostFocus();  // a short name already typed stays
            QCOMPARE(d.txtNomAbrégé->text(), QStringLiteral("Cinquième B"));
            d.txtNomAbrégé->clear();
            d.txtNom_LostFocus();  // a long name is cut to the field's 15 characters
            QCOMPARE(d.txtNomAbrégé->text(), QStringLiteral("Terminale Scien"));
            d.txtNom->setText(QStringLiteral("Seconde d'Arts 2"));
            d.txtNomAbrégé->clear();
            d.txtNom_LostFocus();  // a cut on a space keeps no space at the end
            QCOMPARE(d.txtNomAbrégé->text(), QStringLiteral("Seconde d'Arts"));

            fill(d, QStringLiteral("SIXIÈME a"), QStringLiteral("X"));  // the store ignores letter case
            d.cmdAction_Click(0);
            fill(d, QStringLiteral("Autre"), QStringLiteral("6E B"));
            d.cmdAction_Click(0);
            QCOMPARE(d.txtNom->text(), QStringLiteral("Autre"));  // the texts stay for a correction

            fill(d, QStringLiteral("Cinquième \"B\" 100% \\ l'autre"), QStringLiteral("5e B"));
            d.cmdAction_Click(0);
            QVERIFY(d.txtNom->text().isEmpty() && d.txtNomAbrégé->text().isEmpty());
            QCOMPARE(d.cmdAction[1]->text(), QStringLiteral("Terminer"));
            fill(d, QStringLiteral("Quatrième"), QStringLiteral("4e"));
            d.cmdAction_Click(0);
            d.cmdAction_Click(1);
        });
        scope.push(list(QStringLiteral("Une ou plusieurs de vos saisies sont incorrectes."), {QStringLiteral("Vous devez attribuer un nom à la classe."),
                                             QStringLiteral("Vous devez attribuer un nom abrégé à la classe.")}));
        scope.push(list(kTaken, kTakenLines));
        scope.push(list(kTaken, kTakenLines));
        scope.push(list(QStringLiteral("Création de classe effectuée."),
                        {QStringLiteral("Cinquième \"B\" 100% \\ l'autre créée.")}));
        scope.push(list(QStringLiteral("Création de classe effectuée."), {QStringLiteral("Quatrième créée.")}));
        main.tooBar_ButtonMenuClick(1, 1);
        QCOMPARE(scope.pending(), 0);

        QCOMPARE(editkit::sectionCaptions(*main.vskTab),
                 (QStringList{QStringLiteral("6e A"), QStringLiteral("6e B"), QStringLiteral("5e B"), QStringLiteral("4e")}));
        QCOMPARE(main.vskTab->ActiveSection().Index(), 2);
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e B - Français"));

        // One coefficient row at 1 per subject for each new class; a new names column of 1800.
        const db::Database file = testsupport::openGradebook(b.path());
        db::Recordset added = file.OpenRecordset(
            db::Query(QStringLiteral("Classes")).where(db::Field(QStringLiteral("Nom abrégé")) == QStringLiteral("5e B")),
            db::RecordsetType::Snapshot);
        QCOMPARE(added.Fields(QStringLiteral("Nom")).Value().toString(), QStringLiteral("Cinquième \"B\" 100% \\ l'autre"));
        QCOMPARE(added.Fields(QStringLiteral("Colonne")).Value().toInt(), 1800);
        db::Recordset coefficients = file.OpenRecordset(
            db::Query(QStringLiteral("Coefficients")).where(db::Field(QStringLiteral("NumClass")) == added.Fields(QStringLiteral("NumClass")).Value()),
            db::RecordsetType::Snapshot);
        QCOMPARE(coefficients.RecordCount(), 2);
        for (; !coefficients.Eof(); coefficients.MoveNext())
            QCOMPARE(coefficients.Fields(QStringLiteral("Coefficient")).Value().toInt(), 1);
        QCOMPARE(testsupport::rowCount(file, QStringLiteral("Coefficients")), 8);
    }

    void aClassWithoutSubjectsAndTheKeysReported() {
        GradebookBuilder b(path("empty.dat"));
        b.close();
        frmMain& main = editkit::openMain(b.path());
        platform::ModalTestScope scope;
        scope.push([](QWidget& w) {
            frmClasse& d = editkit::dialogOf<frmClasse>(w);
            // Tab from the name reaches the short name, not "OK" (a space typed there would create the class).
            QCOMPARE(nextTabStop(d.txtNom), d.txtNomAbrégé);
            QCOMPARE(nextTabStop(d.txtNomAbrégé), d.cmdAction[0]);
            fill(d, QStringLiteral("Seconde 1"), QStringLiteral("2nde 1"));
            d.cmdAction_Click(0);
            d.close();  // the close box ends the series as "Terminer" does
        });
        scope.push(list(QStringLiteral("Création de classe effectuée."), {QStringLiteral("Seconde 1 créée.")}));
        const QList<qint32> created = frmClasse::ShowCreate(mUtilities::gDB, main, &main);
        QCOMPARE(created.size(), 1);
        QCOMPARE(main.vskTab->SectionAt(1).Tag().toInt(), created.first());
        QCOMPARE(main.vskTab->ActiveSection().Index(), 1);
        QCOMPARE(testsupport::rowCount(testsupport::openGradebook(b.path()), QStringLiteral("Coefficients")), 0);
    }

    void modifyModeRenamesByKey() {
        GradebookBuilder b(path("modify.dat"));
        b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        b.addClass(QStringLiteral("Sixième B"), QStringLiteral("6e B"));
        b.addSubject(QStringLiteral("Maths"));
        b.close();
        frmMain& main = editkit::openMain(b.path());
        main.vskTab_HeaderClick(2);
        platform::ModalTestScope scope;

        const auto rename = [&](const QString& name, const QString& shortName, bool closes,
                                platform::ModalResponder message = {}) {
            scope.push([=](QWidget& w) {
                frmClasse& d = editkit::dialogOf<frmClasse>(w);
                fill(d, name, shortName);
                d.cmdAction_Click(0);
                QCOMPARE(d.isVisible(), !closes);
            });
            if (message) scope.push(message);
            main.tooBar_ButtonMenuClick(1, 2);
        };
        // The active class is chosen, its names in the boxes.
        scope.push([](QWidget& w) {
            frmClasse& d = editkit::dialogOf<frmClasse>(w);
            QCOMPARE(d.cboClasse->currentText(), QStringLiteral("Sixième B"));
            QCOMPARE(d.txtNomAbrégé->text(), QStringLiteral("6e B"));
            // The keyboard starts on the choice of class, not on "OK" (Tab would then reach
            // "Annuler", and a name typed after it would close the window).
            QCOMPARE(d.focusWidget(), d.cboClasse);
            QCOMPARE(nextTabStop(d.cboClasse), d.txtNom);
            d.cboClasse->setCurrentIndex(0);
            QCOMPARE(d.txtNom->text(), QStringLiteral("Sixième A"));
            QCOMPARE(d.txtNomAbrégé->text(), QStringLiteral("6e A"));
            d.cmdAction_Click(0);  // unchanged: still written, and the dialog closes
            QVERIFY(!d.isVisible());
        });
        main.tooBar_ButtonMenuClick(1, 2);

        // Another class's name in other letters.
        rename(QStringLiteral("sixième a"), QStringLiteral("6e B"), false, list(kTaken, kTakenLines));
        rename(QStringLiteral("SIXIÈME B"), QStringLiteral("6E B"), true);   // its own, in other letters
        rename(QStringLiteral("Sixième \"B\" 'bis' 50%"), QStringLiteral("6e \"B\""), true);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(editkit::sectionCaptions(*main.vskTab), (QStringList{QStringLiteral("6e A"), QStringLiteral("6e \"B\"")}));
        QCOMPARE(main.vskTab->SectionAt(2).Key(), QStringLiteral("Sixième \"B\" 'bis' 50%"));
        QCOMPARE(main.vskTab->ActiveSection().Index(), 2);
        // ... and it can be renamed again from that name.
        rename(QStringLiteral("Sixième B"), QStringLiteral("6e B"), true);
        QCOMPARE(main.vskTab->SectionAt(2).Key(), QStringLiteral("Sixième B"));
    }


    void aFailedWriteChangesNothing() {
        GradebookBuilder b(path("fail.dat"));
        b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        b.addSubject(QStringLiteral("Maths"));
        b.addSubject(QStringLiteral("Histoire"));
        b.close();
        frmMain& main = editkit::openMain(b.path());
        // The class row goes in, then the second coefficient row fails.
        testsupport::injectFailure(b.path(), "BEFORE INSERT ON Coefficients WHEN NEW.NumMat = 2");
        testsupport::injectFailure(b.path(), "BEFORE UPDATE ON Classes");
        auto before = testsupport::dumpTables(b.path());

        platform::ModalTestScope scope;
        scope.push([](QWidget& w) {
            frmClasse& d = editkit::dialogOf<frmClasse>(w);
            fill(d, QStringLiteral("Cinquième"), QStringLiteral("5e"));
            d.cmdAction_Click(0);
            QCOMPARE(d.txtNom->text(), QStringLiteral("Cinquième"));
            d.cmdAction_Click(1);
        });
        scope.push(editkit::writeFailed());  // not the message of a name already taken
        main.tooBar_ButtonMenuClick(1, 1);
        scope.push([](QWidget& w) {
            frmClasse& d = editkit::dialogOf<frmClasse>(w);
            fill(d, QStringLiteral("Autre"), QStringLiteral("Au"));
            d.cmdAction_Click(0);
            QVERIFY(d.isVisible());
            d.cmdAction_Click(1);
        });
        scope.push(editkit::writeFailed());
        main.tooBar_ButtonMenuClick(1, 2);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(testsupport::dumpTables(b.path()), before);
        QCOMPARE(editkit::sectionCaptions(*main.vskTab), QStringList{QStringLiteral("6e A")});
    }
};

QTEST_MAIN(tst_frmClasse)
#include "tst_frmClasse.moc"
