// Deleting a class or a subject, and merging two subjects: exactly the rows that depend on
// them change, in every table, and a failure at any step leaves every table as it was; the
// merge's checks before anything is written; the dialogs as the teacher meets them, and the
// main window shown again from the open gradebook, without its password asked again.
#include "EditingTestKit.h"
#include "controls/frmMsgBox.h"
#include "editing/Cascades.h"
#include "editing/SubjectMerge.h"
#include "editing/frmDelCM.h"
#include "editing/frmFusMat.h"

#include <QGroupBox>
#include <memory>

using namespace Qt::StringLiterals;
using namespace editkit;
using namespace testsupport;
using platform::Form;

namespace {

const QString kNotes = u"Notes"_s, kSeries = u"Séries"_s, kStudents = u"Elèves"_s, kCoefficients = u"Coefficients"_s,
              kClasses = u"Classes"_s, kSubjects = u"Matières"_s;

// The question before a deletion: checks it, then answers with the button captioned `button`
// ("" closes it).
platform::ModalResponder question(const QString& title, const QString& message, const QString& button) {
    return [=](QWidget& w) {
        auto& box = dynamic_cast<frmMsgBox&>(w);
        QVERIFY(box.Title() == title && box.PictureType() == 4 && box.FormType() == 3);
        testsupport::msgBox(message, button)(w);
    };
}

}  // namespace

class tst_Cascades : public QObject {
    Q_OBJECT
    std::unique_ptr<editkit::Copies> m_copies;  // made once the application runs

    // Deletes the first class, or the third subject (Histoire "Géo").
    bool remove(const db::Database& file, bool isClass) {
        const Sample& s = m_copies->sample;
        return isClass ? cascades::deleteClass(file, s.classes[0]) : cascades::deleteSubject(file, s.subjects[2]);
    }
    // Merges the first two subjects (Maths, Géométrie) under that name.
    subjectmerge::Input input(const QString& name) const {
        return {m_copies->sample.subjects[0], m_copies->sample.subjects[1], name};
    }

private slots:
    void initTestCase() { m_copies = std::make_unique<editkit::Copies>(); }
    void cleanup() { editkit::unloadAll(); }

    void deletingTakesExactlyWhatDependsOnIt_data() {
        QTest::addColumn<bool>("isClass");
        QTest::addColumn<int>("gradesGone");
        // The class's grades, and the one its student had in another class's series.
        QTest::newRow("class") << true << 8 * 3 + 1;
        QTest::newRow("subject: its series in every class") << false << 6 * 3;
    }
    void deletingTakesExactlyWhatDependsOnIt() {
        QFETCH(bool, isClass);
        QFETCH(int, gradesGone);
        const QString path = m_copies->copy();
        const int gone = isClass ? m_copies->sample.classes[0] : m_copies->sample.subjects[2];
        const QString field = isClass ? u"NumClass"_s : u"NumMat"_s;
        QVERIFY(remove(testsupport::openGradebook(path), isClass));

        QMap<QString, Rows> expected = m_copies->before;
        const QList<int> series = keysOf(m_copies->before[kSeries], kSeries, field, {gone});
        expected[kNotes] = without(m_copies->before[kNotes], kNotes, u"NumSérie"_s, series);
        if (isClass)
            expected[kNotes] = without(expected[kNotes], kNotes, u"NumElv"_s,
                                       keysOf(m_copies->before[kStudents], kStudents, field, {gone}));
        QCOMPARE(expected[kNotes].size(), m_copies->before[kNotes].size() - gradesGone);
        for (const QString& table : isClass ? QStringList{kSeries, kStudents, kCoefficients, kClasses}
                                            : QStringList{kSeries, kCoefficients, kSubjects})
            expected[table] = without(m_copies->before[table], table, field, {gone});
        QCOMPARE(dumpTables(path), expected);

        // One that is no longer there: nothing to do, nothing written.
        QVERIFY(!remove(testsupport::openGradebook(path), isClass));
        QCOMPARE(dumpTables(path), expected);
    }

    // A failure at any step of a deletion or of the merge: every table as it was.
    void aFailureAtAnyStepLeavesEveryTableAsItWas_data() {
        QTest::addColumn<int>("operation");  // deletes the first class (0) or the third subject (1), or merges (2)
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("when");
        const Sample& s = m_copies->sample;
        const QString m1 = u"OLD.NumMat = %1"_s.arg(s.subjects[0]), m2 = u"OLD.NumMat = %1"_s.arg(s.subjects[1]);
        QTest::newRow("class: its series' grades") << 0 << "DELETE" << kNotes << u"1"_s;
        QTest::newRow("class: grades elsewhere") << 0 << "DELETE" << kNotes << u"OLD.NumSérie = %1"_s.arg(s.crossSeries);
        QTest::newRow("class: its series") << 0 << "DELETE" << kSeries << u"1"_s;
        QTest::newRow("class: its students") << 0 << "DELETE" << kStudents << u"1"_s;
        QTest::newRow("class: its coefficients") << 0 << "DELETE" << kCoefficients << u"1"_s;
        QTest::newRow("class: the class") << 0 << "DELETE" << kClasses << u"1"_s;
        QTest::newRow("subject: its grades") << 1 << "DELETE" << kNotes << u"1"_s;
        QTest::newRow("subject: its last series") << 1 << "DELETE" << kSeries << u"OLD.NumClass = %1"_s.arg(s.classes[2]);
        QTest::newRow("subject: its coefficients") << 1 << "DELETE" << kCoefficients << u"1"_s;
        QTest::newRow("subject: the subject") << 1 << "DELETE" << kSubjects << u"1"_s;
        QTest::newRow("merge: deleting the first subject") << 2 << "DELETE" << kSubjects << m1;
        QTest::newRow("merge: deleting the second subject") << 2 << "DELETE" << kSubjects << m2;
        QTest::newRow("merge: adding the new subject") << 2 << "INSERT" << kSubjects << u"1"_s;
        QTest::newRow("merge: the first's coefficients") << 2 << "DELETE" << kCoefficients << m1;
        QTest::newRow("merge: the second's coefficients") << 2 << "DELETE" << kCoefficients << m2;
        QTest::newRow("merge: the last coefficient") << 2 << "INSERT" << kCoefficients << u"NEW.NumClass = %1"_s.arg(s.classes[2]);
        QTest::newRow("merge: the first's series") << 2 << "UPDATE" << kSeries << m1;
        QTest::newRow("merge: the second's last series")
            << 2 << "UPDATE" << kSeries << m2 + u" AND OLD.NumClass = %1"_s.arg(s.classes[2]);
        // A name that the check did not see taken (another program added it since).
        QTest::newRow("merge: a name the store refuses") << 2 << "" << QString() << QString();
    }
    void aFailureAtAnyStepLeavesEveryTableAsItWas() {
        QFETCH(int, operation);
        QFETCH(QString, event);
        QFETCH(QString, table);
        QFETCH(QString, when);
        const QString path = m_copies->copy();
        // Opened first: the program refuses a file that already holds a trigger.
        const db::Database file = testsupport::openGradebook(path);
        if (!event.isEmpty()) testsupport::failOn(path, event.toLatin1().constData(), table, when);
        const QString name = event.isEmpty() ? u"l'anglais"_s : u"Mathématiques"_s;
        QVERIFY(dbError([&] {
            if (operation == 2)
                subjectmerge::merge(file, input(name));
            else
                remove(file, operation == 0);
        }) != -1);
        QCOMPARE(dumpTables(path), m_copies->before);
    }

    void theDialogAsksFirstThenShowsTheFirstClass_data() {
        QTest::addColumn<bool>("isClass");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("a class") << true
                                 << u"La suppression de cette classe entraînera la suppression de tous ses élèves et la "
                                    "suppression de leurs notes.\nEtes-vous sûr de vouloir supprimer Cinquième \"B\" ?"_s
                                 << QStringList{u"Sixième A"_s, u"L'atelier"_s};
        QTest::newRow("a subject with quotes") << false
                                               << u"La suppression de cette matière entraînera la suppression de toutes ses "
                                                  "séries de notes.\nEtes-vous sûr de vouloir supprimer Histoire \"Géo\" ?"_s
                                               << QStringList{u"Maths"_s, u"Géométrie"_s, u"L'anglais"_s};
    }
    void theDialogAsksFirstThenShowsTheFirstClass() {
        QFETCH(bool, isClass);
        QFETCH(QString, question);
        QFETCH(QStringList, left);
        const QString path = m_copies->copy();
        frmMain& main = editkit::openMain(path, isClass ? 2 : 3, 3);
        const QString title = isClass ? u"Suppression d'une classe"_s : u"Suppression d'une matière"_s;
        platform::ModalTestScope scope;
        scope.push([&](QWidget& w) {
            auto& dialog = dynamic_cast<frmDelCM&>(w);
            QCOMPARE(dialog.windowTitle(), isClass ? u"Supprimer une classe"_s : u"Supprimer une matière"_s);
            const int shown = dialog.cboClassMat->currentIndex();  // the one on screen
            QVERIFY(dialog.cboClassMat->count() == (isClass ? 3 : 4) && shown == (isClass ? 1 : 2));
            // "&Non", or closing the question, deletes nothing and keeps the choice.
            for (const QString& answer : {u"Non"_s, QString()}) {
                scope.push(::question(title, question, answer));
                dialog.cmdAction[0]->click();
            }
            QVERIFY(dialog.isVisible() && dialog.cboClassMat->currentIndex() == shown);
            QCOMPARE(dumpTables(path), m_copies->before);
            scope.push(::question(title, question, u"Oui"_s));
            dialog.cmdAction[0]->click();
            QVERIFY(!dialog.isVisible());
        });
        main.tooBar_ButtonMenuClick(isClass ? 1 : 2, 3);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(editkit::fields(path, isClass ? kClasses : kSubjects, {u"Nom"_s}), left);
        QCOMPARE(isClass ? editkit::sectionCaptions(*main.vskTab, true) : editkit::itemCaptions(*main.vskTab, 3), left);
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Maths"_s);
        QVERIFY(main.flxNotes->isVisible() && !platform::Form<frmDelCM>::isLoaded());
    }

    void mergeChecksNamesAsTheGradebookDoesBeforeAnyWrite() {
        const db::Database file = testsupport::openGradebook(m_copies->base);
        const QList<int>& subjects = m_copies->sample.subjects;
        const auto heading = [&](const subjectmerge::Input& in) {
            const auto refusal = subjectmerge::refusal(file, in);
            return refusal ? refusal->heading : QString();
        };
        QCOMPARE(heading({subjects[1], subjects[1], u"X"_s}), u"Impossible de continuer."_s);
        QCOMPARE(subjectmerge::refusal(file, {subjects[1], subjects[1], {}})->focus, subjectmerge::Refusal::Lists);
        QCOMPARE(heading(input({})), u"Vous n'avez pas saisi un nom de matière valide."_s);
        QCOMPARE(subjectmerge::refusal(file, input({}))->line, u"Veuillez saisir un nom pour la matière résultante."_s);
        const QString taken = u"Ce nom de matière est déjà attribué."_s;
        for (const char* name : {"Histoire \"Géo\"", "histoire \"GÉO\"", "L'ANGLAIS"})
            QCOMPARE(heading(input(QString::fromUtf8(name))), taken);
        // A name written in decomposed form is the same name once stored.
        QCOMPARE(heading(input(u"Histoire \"Ge\u0301o\""_s)), taken);
        // The two merged subjects' own names are free, in any case; accents make a new name.
        for (const char* name : {"Maths", "GÉOMÉTRIE", "Histoire \"Geo\"", "Sciences \"exactes\""})
            QCOMPARE(heading(input(QString::fromUtf8(name))), QString());
        // A subject gone since the lists were filled stops the merge before any write.
        QCOMPARE(dbError([&] { subjectmerge::merge(file, {subjects[0], subjects.last() + 1, u"X"_s}); }),
                 code(db::DbErrc::NoCurrentRecord));
        QCOMPARE(dumpTables(m_copies->base), m_copies->before);
    }

    void mergeMovesTheSeriesOfBothAndResetsTheCoefficients_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("a new name") << u"Mathématiques \"générales\""_s;
        QTest::newRow("the name of one of the two") << u"géométrie"_s;
    }

    void mergeMovesTheSeriesOfBothAndResetsTheCoefficients() {
        QFETCH(QString, name);
        const QString path = m_copies->copy();
        const int m1 = m_copies->sample.subjects[0], m2 = m_copies->sample.subjects[1];
        const int merged = subjectmerge::merge(testsupport::openGradebook(path), input(name));
        QVERIFY(merged > m_copies->sample.subjects.last());

        QMap<QString, Rows> expected = m_copies->before;
        expected[kSubjects] = without(m_copies->before[kSubjects], kSubjects, u"NumMat"_s, {m1, m2});
        expected[kSubjects] << QStringList{QString::number(merged), name};
        expected[kCoefficients] = without(m_copies->before[kCoefficients], kCoefficients, u"NumMat"_s, {m1, m2});
        for (const int numClass : m_copies->sample.classes)
            expected[kCoefficients] << QStringList{QString::number(numClass), QString::number(merged), u"1"_s};
        const int numMat = column(kSeries, u"NumMat"_s);
        for (QStringList& row : expected[kSeries])
            if (row[numMat].toInt() == m1 || row[numMat].toInt() == m2) row[numMat] = QString::number(merged);
        QCOMPARE(dumpTables(path), expected);
    }

    void mergingStepByStepOnAProtectedGradebook() {
        const QString path = m_copies->copy();
        {
            db::Database file = testsupport::openGradebook(path);
            file.Properties(u"Passe"_s).setValue(u"Secret"_s);
        }
        platform::ModalTestScope scope;
        scope.push(testsupport::password(u"Secret"_s));
        frmMain& main = editkit::openMain(path, 2, 2);
        QStringList report;
        scope.push([&](QWidget& w) {
            auto& dialog = dynamic_cast<frmFusMat&>(w);
            QVERIFY(dialog.fraFus->isVisible() && !dialog.fraMat[0]->isVisible() && !dialog.fraMat[1]->isVisible());
            QCOMPARE(dialog.cmdAction[0]->text(), u"Continuer"_s);
            dialog.cmdAction[0]->click();
            QVERIFY(!dialog.fraFus->isVisible() && dialog.fraMat[0]->isVisible() && dialog.fraMat[1]->isVisible());
            QCOMPARE(dialog.cmdAction[0]->text(), u"OK"_s);
            QCOMPARE(dialog.cboMat[0]->currentText(), u"Maths"_s);
            QCOMPARE(dialog.cboMat[1]->count(), 4);

            // A refusal keeps the dialog open (the checks are tested above).
            scope.push(messageList(u"Impossible de continuer."_s));
            dialog.cmdAction[0]->click();
            dialog.cboMat[1]->setCurrentIndex(1);
            QVERIFY(dialog.isVisible());
            dialog.txtNom->setText(u"Mathématiques"_s);
            // A failed write is said; the dialog and the window stay as they were.
            testsupport::failOn(path, "UPDATE", kSeries);
            scope.push(systemMessage(u"Impossible de fusionner ces matières.\nLe carnet de notes n'a pas été modifié."_s));
            dialog.cmdAction[0]->click();
            QVERIFY(dialog.isVisible() && itemCaptions(*main.vskTab, 1).size() == 4);
            QCOMPARE(main.lblPrincipal->text(), u"5e \"B\" - Géométrie"_s);
            testsupport::dropFailures(path);
            scope.push(messageList(u"Fusion terminée."_s, &report));
            dialog.cmdAction[0]->click();
            QVERIFY(!dialog.isVisible());
        });
        main.tooBar_ButtonClick(13);
        QCOMPARE(scope.pending(), 0);  // and no password asked: it would have been unanswered
        QCOMPARE(report, QStringList({u"Les matières Maths et Géométrie ont été fusionnées sous le nom Mathématiques."_s,
                                      u"Veuillez noter que le coefficient de cette matière a été ramené à 1 "
                                      "pour toutes les classes."_s}));
        for (int s = 1; s <= 3; ++s)
            QCOMPARE(itemCaptions(*main.vskTab, s), QStringList({u"Histoire \"Géo\""_s, u"L'anglais"_s, u"Mathématiques"_s}));
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Histoire \"Géo\""_s);
        main.selectClassAndSubject(2, 3);
        QCOMPARE(main.lblPrincipal->text(), u"5e \"B\" - Mathématiques"_s);
        QVERIFY(!Form<frmFusMat>::isLoaded());
    }
};

QTEST_MAIN(tst_Cascades)
#include "tst_Cascades.moc"
