// The student list dialog: the capitalisation of names, the keys of its grid, the students
// it adds, corrects and deletes with their grades, the refusals, the main grid refreshed
// however it closes, and a failed write that leaves the file as it was.
#include "Answers.h"
#include "EditingTestKit.h"
#include "GradebookBuilder.h"
#include "editing/StudentEdit.h"
#include "editing/frmEleve.h"
#include "gradebook/mUtilities.h"
#include "platform/FlexGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using editkit::list;
using platform::FlexGrid;
using testsupport::GradebookBuilder;

namespace {

const QString kCancelled = QStringLiteral("Une ou plusieurs de vos saisies sont incorrectes.\nElles ont été annulées.");

QStringList rows(const FlexGrid& g) {
    QStringList texts;
    for (int r = 0; r < g.Rows(); ++r) texts << g.TextMatrix(r, 0) + u'/' + g.TextMatrix(r, 1);
    return texts;
}

void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(w, k, m); }

// Types into the boxes of an edit open on the current row, then presses `end`.
void type(frmElève& d, const QString& name, const QString& firstName, Qt::Key end = Qt::Key_Return) {
    QVERIFY(d.editing());
    d.txtNom->setText(name);
    d.txtPrénom->setText(firstName);
    key(d.txtNom, end);
}

}  // namespace

class tst_frmEleve : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void cleanup() { editkit::unloadAll(); }

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
        GradebookBuilder b(path("list.dat"));
        const int a = b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        const int bb = b.addClass(QStringLiteral("Sixième B"), QStringLiteral("6e B"));
        b.addSubject(QStringLiteral("Maths"));
        b.addStudent(a, QStringLiteral("Martin"), QStringLiteral("Paul"));
        b.addStudent(bb, QStringLiteral("Durand"), QStringLiteral("Léa"));
        b.addStudent(bb, QStringLiteral("Bernard"), QStringLiteral("Zoé"));
        b.close();
        frmMain& main = editkit::openMain(b.path());
        main.vskTab_HeaderClick(2);

        platform::ModalTestScope scope;
        scope.push([&](QWidget& w) {
            frmElève& d = editkit::dialogOf<frmElève>(w);
            QCOMPARE(d.cboClasse->currentText(), QStringLiteral("Sixième B"));  // the active class
            QCOMPARE(d.cmdAction[0]->text(), QStringLiteral("Suivant >"));
            key(d.cboClasse, Qt::Key_Return);  // Enter on the choice of class goes on to the list
            QCOMPARE(d.cmdAction[0]->text(), QStringLiteral("< Précédent"));
            QVERIFY(!d.cmdAction[0]->isDefault());  // there, Enter belongs to the grid
            QCOMPARE(d.cmdAction[1]->text(), QStringLiteral("Terminer"));
            FlexGrid* g = d.flxElèves;
            QCOMPARE(rows(*g), (QStringList{QStringLiteral("Nom/Prénom"), QStringLiteral("Bernard/Zoé"),
                                            QStringLiteral("Durand/Léa"), QStringLiteral("/")}));
            QCOMPARE(g->FixedRows(), 1);

            // Enter on the blank row, then Enter at once: both lines.
            g->setRow(3);
            key(g, Qt::Key_Return);
            QVERIFY(d.editing() && !d.cmdAction[0]->isEnabled());
            key(d.txtNom, Qt::Key_Return);
            QVERIFY(!d.editing() && d.cmdAction[0]->isEnabled());

            // A letter starts a new name; digits do not start anything.
            key(g, Qt::Key_5);
            QVERIFY(!d.editing());
            QTest::keyClicks(g, QStringLiteral("d"));
            QCOMPARE(d.txtNom->text(), QStringLiteral("d"));
            QVERIFY(d.txtPrénom->text().isEmpty());
            type(d, QStringLiteral("  d'almeida-o'neil "), QStringLiteral("jean-marc"), Qt::Key_Down);
            // Stored at the bottom (not sorted), and the new blank row is current.
            QCOMPARE(rows(*g).mid(3), (QStringList{QStringLiteral("D'almeida-O'neil/Jean-Marc"), QStringLiteral("/")}));
            QCOMPARE(g->Row(), 4);
            QVERIFY(g->RowData(3) > 0);

            // A name used in another class is refused; the row stays blank.
            // (An accented capital starts a name too: "Éluard" keeps its first letter.)
            QTest::keyClicks(g, QStringLiteral("É"));
            QCOMPARE(d.txtNom->text(), QStringLiteral("É"));
            type(d, QStringLiteral("martin"), QStringLiteral("paul"));
            QCOMPARE(g->Rows(), 5);
            QCOMPARE(g->RowData(4), 0);

            // A correction is written; one without a first name is refused and changes nothing.
            g->setRow(1);
            key(g, Qt::Key_Return);
            QCOMPARE(d.txtNom->text(), QStringLiteral("Bernard"));
            type(d, QStringLiteral("Bernard"), QStringLiteral("zoé-élise"));
            QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("Zoé-Élise"));
            QTest::keyClicks(g, QStringLiteral("X"));
            type(d, QStringLiteral("X"), QString());
            QCOMPARE(rows(*g).at(1), QStringLiteral("Bernard/Zoé-Élise"));
            // Esc drops an edit.
            key(g, Qt::Key_Return);
            d.txtNom->setText(QStringLiteral("Autre"));
            key(d.txtNom, Qt::Key_Escape);
            QVERIFY(!d.editing());
            QCOMPARE(rows(*g).at(1), QStringLiteral("Bernard/Zoé-Élise"));
            // Up commits and moves up, never onto the header.
            key(g, Qt::Key_Return);
            type(d, QStringLiteral("Bernard"), QStringLiteral("Zoé"), Qt::Key_Up);
            QCOMPARE(g->Row(), 1);

            d.cmdAction_Click(0);  // back to the choice of class
            QVERIFY(!d.cboClasse->isHidden() && d.flxElèves->isHidden());
            d.cmdAction_Click(1);
            QVERIFY(d.isHidden());
        });
        scope.push(list(kCancelled, {QStringLiteral("Vous devez saisir un nom."), QStringLiteral("Vous devez saisir un prénom.")}));
        scope.push(list(kCancelled, {QStringLiteral("L'élève Martin Paul existe déjà.\n(En cas d'homonimie sur le nom et le prénom, employez "
                                                      "un chiffre ou un symbole distinctif pour différencier les deux élèves.)")}));
        scope.push(list(kCancelled, {QStringLiteral("Vous devez saisir un prénom.")}));
        main.tooBar_ButtonClick(4);
        QCOMPARE(scope.pending(), 0);

        const QList<studentedit::Student> stored = studentedit::students(testsupport::openGradebook(b.path()), bb);
        QStringList names;
        for (const auto& s : stored) names << s.name + u' ' + s.firstName;
        QCOMPARE(names, (QStringList{QStringLiteral("Bernard Zoé"), QStringLiteral("D'almeida-O'neil Jean-Marc"),
                                     QStringLiteral("Durand Léa")}));
    }

    void deletesWithTheGradesAndRefreshesTheMainGrid() {
        GradebookBuilder b(path("delete.dat"));
        const int cls = b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        const int other = b.addClass(QStringLiteral("Sixième B"), QStringLiteral("6e B"));
        const int maths = b.addSubject(QStringLiteral("Maths"));
        const int s1 = b.addSeries(cls, maths, QStringLiteral("DS 1"), 20, 1, 1);
        const int s2 = b.addSeries(cls, maths, QStringLiteral("DS 2"), 20, 1, 2);
        const int s3 = b.addSeries(other, maths, QStringLiteral("DS"), 20, 1, 1);
        const int paul = b.addStudent(cls, QStringLiteral("Martin"), QStringLiteral("Paul"));
        const int lea = b.addStudent(cls, QStringLiteral("Durand"), QStringLiteral("Léa"));
        for (int s : {s1, s2}) {
            b.addGrade(s, paul, 12);
            b.addGrade(s, lea, 15);
        }
        b.addGrade(s3, paul, 8);  // a grade of the same student kept in another class's series
        b.close();
        frmMain& main = editkit::openMain(b.path());
        QCOMPARE(main.flxNotes->TextMatrix(5, 0), QStringLiteral("Martin Paul"));
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
                scope.push(testsupport::msgBox(QStringLiteral("La suppression de cet élève entraînera la suppression de toutes "
                                                              "ses notes.\nEtes-vous sûr de vouloir supprimer définitivement "),
                                               answer));
            if (message) scope.push(message);
            main.tooBar_ButtonClick(4);
        };
        const auto before = testsupport::dumpTables(b.path());
        deleteRow(3, {}, false);  // the blank row: nothing asked
        deleteRow(2, QStringLiteral("Non"), false);
        deleteRow(2, {}, false);  // the question closed without an answer
        QCOMPARE(testsupport::dumpTables(b.path()), before);

        testsupport::injectFailure(b.path(), "BEFORE DELETE ON \"Elèves\"");
        deleteRow(2, QStringLiteral("Oui"), false, editkit::writeFailed());  // the grades deleted first come back
        QCOMPARE(testsupport::dumpTables(b.path()), before);
        testsupport::dropFailures(b.path());

        deleteRow(2, QStringLiteral("Oui"), true);  // closed by its close box
        QCOMPARE(scope.pending(), 0);
        const db::Database file = testsupport::openGradebook(b.path());
        QCOMPARE(testsupport::rowCount(file, QStringLiteral("Elèves")), 1);
        db::Recordset grades = file.OpenRecordset(db::Query(QStringLiteral("Notes")), db::RecordsetType::Snapshot);
        QCOMPARE(grades.RecordCount(), 2);
        for (; !grades.Eof(); grades.MoveNext()) QCOMPARE(grades.Fields(QStringLiteral("NumElv")).Value().toInt(), lea);
        // The main grid no longer holds the student.
        QStringList shown;
        for (int r = main.flxNotes->FixedRows(); r < main.flxNotes->Rows(); ++r) shown << main.flxNotes->TextMatrix(r, 0);
        QVERIFY2(shown.contains(QStringLiteral("Durand Léa")) && !shown.contains(QStringLiteral("Martin Paul")),
                 qPrintable(shown.join(u',')));
    }

};

QTEST_MAIN(tst_frmEleve)
#include "tst_frmEleve.moc"
