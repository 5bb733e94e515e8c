// Merging two subjects: the checks before anything is written, what the merge leaves in
// every table, and a failure at any step; the dialog as the teacher meets it, its two steps,
// each refusal, the report, and the main window shown again from the open gradebook without
// its password asked again.
#include "EditingTestKit.h"
#include "controls/mSubClass.h"
#include "editing/SubjectMerge.h"
#include "editing/frmFusMat.h"

#include <QGroupBox>
#include <memory>

using namespace Qt::StringLiterals;
using namespace editkit;
using namespace testsupport;
using platform::Form;

namespace {

const QString kNotes = u"Notes"_s, kSeries = u"Séries"_s, kCoefficients = u"Coefficients"_s, kSubjects = u"Matières"_s;

}  // namespace

class tst_SubjectMerge : public QObject {
    Q_OBJECT
    std::unique_ptr<editkit::Copies> m_copies;  // made once the application runs
    subjectmerge::Input input(const QString& name) const { return {m_copies->sample.subjects[0], m_copies->sample.subjects[1], name}; }

private slots:
    void cleanup() { editkit::unloadAll(); }
    void initTestCase() { m_copies = std::make_unique<editkit::Copies>(); }

    void checksCompareNamesAsTheGradebookDoes() {
        const db::Database file = testsupport::openGradebook(m_copies->base);
        const auto heading = [&](const subjectmerge::Input& in) {
            const auto refusal = subjectmerge::refusal(file, in);
            return refusal ? refusal->heading : QString();
        };
        QCOMPARE(heading({m_copies->sample.subjects[1], m_copies->sample.subjects[1], u"X"_s}), u"Impossible de continuer."_s);
        QCOMPARE(subjectmerge::refusal(file, {m_copies->sample.subjects[1], m_copies->sample.subjects[1], {}})->focus,
                 subjectmerge::Refusal::Lists);
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

    void aFailureAtAnyStepLeavesEveryTableAsItWas_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("when");
        const QString m1 = QString::number(m_copies->sample.subjects[0]), m2 = QString::number(m_copies->sample.subjects[1]);
        QTest::newRow("deleting the first subject") << "DELETE" << kSubjects << "OLD.NumMat = " + m1;
        QTest::newRow("deleting the second subject") << "DELETE" << kSubjects << "OLD.NumMat = " + m2;
        QTest::newRow("adding the new subject") << "INSERT" << kSubjects << "1";
        QTest::newRow("the first's coefficients") << "DELETE" << kCoefficients << "OLD.NumMat = " + m1;
        QTest::newRow("the second's coefficients") << "DELETE" << kCoefficients << "OLD.NumMat = " + m2;
        QTest::newRow("the last new coefficient")
            << "INSERT" << kCoefficients << "NEW.NumClass = " + QString::number(m_copies->sample.classes.last());
        QTest::newRow("the first's series") << "UPDATE" << kSeries << "OLD.NumMat = " + m1;
        QTest::newRow("the second's last series")
            << "UPDATE" << kSeries << "OLD.NumMat = " + m2 + " AND OLD.NumClass = " + QString::number(m_copies->sample.classes.last());
        // A name that the check did not see taken (another program added it since).
        QTest::newRow("a name the store refuses") << "" << QString() << QString();
    }

    void aFailureAtAnyStepLeavesEveryTableAsItWas() {
        QFETCH(QString, event);
        QFETCH(QString, table);
        QFETCH(QString, when);
        const QString path = m_copies->copy();
        if (!event.isEmpty()) testsupport::failOn(path, event.toLatin1().constData(), table, when);
        const QString name = event.isEmpty() ? u"l'anglais"_s : u"Mathématiques"_s;
        QVERIFY(testsupport::dbError([&] { subjectmerge::merge(testsupport::openGradebook(path), input(name)); }) != -1);
        QCOMPARE(dumpTables(path), m_copies->before);
    }

    void aSubjectGoneBeforeTheMergeStopsItBeforeAnyWrite() {
        const QString path = m_copies->copy();
        const subjectmerge::Input gone{m_copies->sample.subjects[0], m_copies->sample.subjects.last() + 1, u"X"_s};
        QCOMPARE(testsupport::dbError([&] { subjectmerge::merge(testsupport::openGradebook(path), gone); }),
                 testsupport::code(db::DbErrc::NoCurrentRecord));
        QCOMPARE(dumpTables(path), m_copies->before);
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
            QCOMPARE(dialog.windowTitle(), u"Fusionner des matières"_s);
            QVERIFY(dialog.fraFus->isVisible() && !dialog.fraMat[0]->isVisible() && !dialog.fraMat[1]->isVisible());
            QVERIFY(dialog.lblEti[1]->text().startsWith(u"Cette fonction vous permet de fusionner"_s));
            QCOMPARE(dialog.cmdAction[0]->text(), u"Continuer"_s);
            dialog.cmdAction[0]->click();
            QVERIFY(!dialog.fraFus->isVisible() && dialog.fraMat[0]->isVisible() && dialog.fraMat[1]->isVisible());
            QCOMPARE(dialog.cmdAction[0]->text(), u"OK"_s);
            QCOMPARE(dialog.cboMat[0]->currentText(), u"Maths"_s);
            QCOMPARE(dialog.cboMat[1]->count(), 4);
            QCOMPARE(dialog.txtNom->maxLength(), 50);

            scope.push(messageList(u"Impossible de continuer."_s));
            dialog.cmdAction[0]->click();
            dialog.cboMat[1]->setCurrentIndex(1);
            scope.push(messageList(u"Vous n'avez pas saisi un nom de matière valide."_s));
            dialog.cmdAction[0]->click();
            dialog.txtNom->setText(u"HISTOIRE \"GÉO\""_s);
            scope.push(messageList(u"Ce nom de matière est déjà attribué."_s));
            dialog.cmdAction[0]->click();
            QVERIFY(dialog.isVisible());
            dialog.txtNom->setText(u"Mathématiques"_s);
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
            QCOMPARE(itemCaptions(*main.vskTab, s),
                     QStringList({u"Histoire \"Géo\""_s, u"L'anglais"_s, u"Mathématiques"_s}));
        QCOMPARE(main.lblPrincipal->text(), u"6e A - Histoire \"Géo\""_s);
        main.selectClassAndSubject(2, 3);
        QCOMPARE(main.lblPrincipal->text(), u"5e \"B\" - Mathématiques"_s);
        QVERIFY(!Form<frmFusMat>::isLoaded());
    }

    void aFailedMergeSaysSoAndChangesNothing() {
        const QString path = m_copies->copy();
        platform::ModalTestScope scope;
        frmMain& main = editkit::openMain(path, 2, 2);
        // Once open: the program refuses a file that already holds a trigger.
        testsupport::failOn(path, "UPDATE", u"Séries"_s);
        scope.push([&](QWidget& w) {
            auto& dialog = dynamic_cast<frmFusMat&>(w);
            dialog.cmdAction[0]->click();
            dialog.cboMat[1]->setCurrentIndex(1);
            dialog.txtNom->setText(u"Mathématiques"_s);
            scope.push(testsupport::systemMessage(
                u"Impossible de fusionner ces matières.\nLe carnet de notes n'a pas été modifié."_s));
            dialog.cmdAction[0]->click();
            QVERIFY(dialog.isVisible());
            dialog.cmdAction[1]->click();
        });
        mSubClass::SendMessage(&main, mSubClass::WM_COMMAND, 27, 0);
        QCOMPARE(scope.pending(), 0);
        QCOMPARE(itemCaptions(*main.vskTab, 1).size(), 4);
        QCOMPARE(main.lblPrincipal->text(), u"5e \"B\" - Géométrie"_s);
    }
};

QTEST_MAIN(tst_SubjectMerge)
#include "tst_SubjectMerge.moc"
