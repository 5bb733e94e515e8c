// The subject dialog: its checks and messages in both modes, the subject and coefficient
// rows it writes, the tab bar it rebuilds, and a failed write that leaves the file as it was.
#include "EditingTestKit.h"
#include "GradebookBuilder.h"
#include "editing/frmMat.h"
#include "gradebook/mUtilities.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using editkit::list;
using testsupport::GradebookBuilder;

namespace {

const QString kRule = QStringLiteral("Le nom d'une matière doit être renseigné et unique.");

QStringList itemCaptions(const vskTab& bar, int section) {
    QStringList captions;
    for (int i = 1; i <= bar.SectionAt(section).ItemCount(); ++i) captions << bar.SectionAt(section).ItemAt(i).Caption();
    return captions;
}

}  // namespace

class tst_frmMat : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void cleanup() { editkit::unloadAll(); }

    void createModeWritesARowPerClassAndShowsTheFirstSubject() {
        GradebookBuilder b(path("create.dat"));
        for (const char* c : {"6e A", "6e B", "6e C"}) b.addClass(QString::fromUtf8(c), QString::fromUtf8(c));
        b.close();
        frmMain& main = editkit::openMain(b.path());
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A: aucune donnée à afficher."));

        platform::ModalTestScope scope;
        scope.push([](QWidget& w) {
            frmMat& d = editkit::dialogOf<frmMat>(w);
            d.cmdAction_Click(0);  // empty
            d.txtNom->setText(QStringLiteral("Mathématiques"));
            QCOMPARE(d.cmdAction[1]->text(), QStringLiteral("Terminer"));  // typing does not change it
            d.cmdAction_Click(0);
            QVERIFY(d.txtNom->text().isEmpty());
            d.txtNom->setText(QStringLiteral("MATHÉMATIQUES"));
            d.cmdAction_Click(0);
            QCOMPARE(d.txtNom->text(), QStringLiteral("MATHÉMATIQUES"));
            d.txtNom->setText(QStringLiteral("Arts \"plastiques\""));
            d.cmdAction_Click(0);
            d.cmdAction_Click(1);
        });
        scope.push(list(QStringLiteral("Vous n'avez pas saisi un nom de matière valide."), {kRule}));
        scope.push(list(QStringLiteral("Création de matière effectuée."), {QStringLiteral("Mathématiques créée.")}));
        scope.push(list(QStringLiteral("Ce nom de matière est déjà attribué."), {kRule}));
        scope.push(list(QStringLiteral("Création de matière effectuée."), {QStringLiteral("Arts \"plastiques\" créée.")}));
        main.tooBar_ButtonMenuClick(2, 1);
        QCOMPARE(scope.pending(), 0);

        // The first subject of the gradebook is selected in the active class and shown.
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A - Mathématiques"));
        for (int s = 1; s <= 3; ++s)
            QCOMPARE(itemCaptions(*main.vskTab, s), (QStringList{QStringLiteral("Mathématiques"), QStringLiteral("Arts \"plastiques\"")}));
        const db::Database file = testsupport::openGradebook(b.path());
        db::Recordset coefficients = file.OpenRecordset(db::Query(QStringLiteral("Coefficients")), db::RecordsetType::Snapshot);
        QCOMPARE(coefficients.RecordCount(), 6);
        for (; !coefficients.Eof(); coefficients.MoveNext())
            QCOMPARE(coefficients.Fields(QStringLiteral("Coefficient")).Value().toInt(), 1);
    }

    void renameModeByKey() {
        GradebookBuilder b(path("rename.dat"));
        const int cls = b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        b.addSubject(QStringLiteral("Maths"));
        b.addSubject(QStringLiteral("Histoire"));
        b.addSeries(cls, 2, QStringLiteral("DS"), 20, 1, 1);
        b.close();
        frmMain& main = editkit::openMain(b.path());
        main.vskTab_ItemClick(1, 2);
        platform::ModalTestScope scope;

        const auto rename = [&](const QString& name, bool closes, platform::ModalResponder message = {}) {
            scope.push([&main, name, closes](QWidget& w) {
                frmMat& d = editkit::dialogOf<frmMat>(w);
                QCOMPARE(d.cboMat->currentText(), main.vskTab->SectionAt(1).SelectedItem().Caption());  // the subject on screen
                d.txtNom->setText(name);
                d.cmdAction_Click(0);
                QCOMPARE(d.isVisible(), !closes);
            });
            if (message) scope.push(message);
            main.tooBar_ButtonMenuClick(2, 2);
        };
        const auto unchanged = testsupport::dumpTables(b.path());
        rename(QStringLiteral("Histoire"), true);  // the same name: closes, writes nothing
        QCOMPARE(testsupport::dumpTables(b.path()), unchanged);
        rename(QString(), false, list(QStringLiteral("Vous n'avez pas saisi un nom de matière valide."), {kRule}));
        rename(QStringLiteral("maths"), false, list(QStringLiteral("Ce nom de matière est déjà attribué."), {kRule}));
        rename(QStringLiteral("HISTOIRE"), true);
        rename(QStringLiteral("Histoire \"géo\" 'EMC' 100%"), true);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(itemCaptions(*main.vskTab, 1), (QStringList{QStringLiteral("Maths"), QStringLiteral("Histoire \"géo\" 'EMC' 100%")}));
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A - Histoire \"géo\" 'EMC' 100%"));
        rename(QStringLiteral("Histoire"), true);
        QCOMPARE(main.vskTab->SectionAt(1).SelectedItem().Caption(), QStringLiteral("Histoire"));
    }

    void aFailedWriteChangesNothing() {
        GradebookBuilder b(path("fail.dat"));
        b.addClass(QStringLiteral("6e A"), QStringLiteral("6e A"));
        b.addClass(QStringLiteral("6e B"), QStringLiteral("6e B"));
        b.addSubject(QStringLiteral("Maths"));
        b.close();
        frmMain& main = editkit::openMain(b.path());
        testsupport::injectFailure(b.path(), "BEFORE INSERT ON Coefficients WHEN NEW.NumClass = 2");
        testsupport::injectFailure(b.path(), "BEFORE UPDATE ON \"Matières\"");
        const auto before = testsupport::dumpTables(b.path());

        platform::ModalTestScope scope;
        scope.push([](QWidget& w) {
            frmMat& d = editkit::dialogOf<frmMat>(w);
            d.txtNom->setText(QStringLiteral("Histoire"));
            d.cmdAction_Click(0);
            QCOMPARE(d.txtNom->text(), QStringLiteral("Histoire"));
            d.cmdAction_Click(1);
        });
        scope.push(editkit::writeFailed());
        main.tooBar_ButtonMenuClick(2, 1);
        scope.push([](QWidget& w) {
            frmMat& d = editkit::dialogOf<frmMat>(w);
            d.txtNom->setText(QStringLiteral("Géométrie"));
            d.cmdAction_Click(0);
            QVERIFY(d.isVisible());
            d.cmdAction_Click(1);
        });
        scope.push(editkit::writeFailed());
        main.tooBar_ButtonMenuClick(2, 2);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(testsupport::dumpTables(b.path()), before);
        QCOMPARE(itemCaptions(*main.vskTab, 1), QStringList{QStringLiteral("Maths")});
    }
};

QTEST_MAIN(tst_frmMat)
#include "tst_frmMat.moc"
