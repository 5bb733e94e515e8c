// The student list dialog: the capitalisation of names, the keys of its grid, the students
// it adds, corrects and deletes with their grades, the refusals, the main grid refreshed
// however it closes, and a failed write that leaves the file as it was.
#include "EditingTestKit.h"
#include "editing/StudentEdit.h"
#include "editing/frmEleve.h"

using namespace Qt::StringLiterals;
using namespace editkit;
using namespace testsupport;
using platform::FlexGrid;

namespace {

const QString kCancelled = u"Une ou plusieurs de vos saisies sont incorrectes.\nElles ont été annulées."_s;

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
            QCOMPARE(d.cmdAction[0]->text(), u"Suivant >"_s);
            key(d.cboClasse, Qt::Key_Return);  // Enter on the choice of class goes on to the list
            QCOMPARE(d.cmdAction[0]->text(), u"< Précédent"_s);
            QVERIFY(!d.cmdAction[0]->isDefault());  // there, Enter belongs to the grid
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
        scope.push(list(kCancelled, {u"L'élève Martin Paul existe déjà.\n(En cas d'homonimie sur le nom et le prénom, employez "
                                                      "un chiffre ou un symbole distinctif pour différencier les deux élèves.)"_s}));
        scope.push(list(kCancelled, {u"Vous devez saisir un prénom."_s}));
        main.tooBar_ButtonClick(4);
        QCOMPARE(scope.pending(), 0);

        QCOMPARE(editkit::fields(b.path(), u"Elèves"_s, {u"Nom"_s, u"Prénom"_s}),
                 (QStringList{u"Martin Paul"_s, u"Durand Léa"_s, u"Bernard Zoé"_s, u"D'almeida-O'neil Jean-Marc"_s}));
    }

    void deletesWithTheGradesAndRefreshesTheMainGrid() {
        GradebookBuilder b(path("delete.dat"));
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
                scope.push(testsupport::msgBox(u"La suppression de cet élève entraînera la suppression de toutes ses notes."_s, answer));
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

QTEST_MAIN(tst_frmEleve)
#include "tst_frmEleve.moc"
