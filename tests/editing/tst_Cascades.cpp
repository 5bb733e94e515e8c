// Deleting a class or a subject: exactly the rows that depend on it go, in every table, a
// failure at any step leaves every table as it was, and the dialog asks first and shows the
// main window afterwards.
#include "EditingTestKit.h"
#include "controls/frmMsgBox.h"
#include "editing/Cascades.h"
#include "editing/frmDelCM.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace editkit;
using namespace testsupport;

namespace {

const QString kNotes = u"Notes"_s, kSeries = u"Séries"_s, kStudents = u"Elèves"_s,
              kCoefficients = u"Coefficients"_s, kClasses = u"Classes"_s,
              kSubjects = u"Matières"_s;

// The question before a deletion: checks it, then answers with the button captioned `button`.
platform::ModalResponder question(const QString& title, const QString& message, const QString& button) {
    return [=](QWidget& w) {
        auto& box = dynamic_cast<frmMsgBox&>(w);
        QCOMPARE(box.Title(), title);
        QCOMPARE(box.Message(), message);
        QVERIFY(box.PictureType() == 4 && box.FormType() == 3);
        if (button.isEmpty())
            box.close();
        else
            testsupport::clickButton(box, button);
    };
}

}  // namespace

class tst_Cascades : public QObject {
    Q_OBJECT
    std::unique_ptr<editkit::Copies> m_copies;  // made once the application runs

    // Deletes the first class, or the third subject (Histoire "Géo").
    bool remove(const db::Database& file, bool isClass) {
        return isClass ? cascades::deleteClass(file, m_copies->sample.classes[0]) : cascades::deleteSubject(file, m_copies->sample.subjects[2]);
    }

private slots:
    void initTestCase() { m_copies = std::make_unique<editkit::Copies>(); }

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
        QCOMPARE(expected[kCoefficients].size(), m_copies->before[kCoefficients].size() - (isClass ? 4 : 3));
        QCOMPARE(dumpTables(path), expected);

        // One that is no longer there: nothing to do, nothing written.
        QVERIFY(!remove(testsupport::openGradebook(path), isClass));
        QCOMPARE(dumpTables(path), expected);
    }

    void aFailureAtAnyStepLeavesEveryTableAsItWas_data() {
        QTest::addColumn<bool>("isClass");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("when");
        QTest::newRow("class: its series' grades") << true << kNotes << u"1"_s;
        QTest::newRow("class: its students' grades elsewhere")
            << true << kNotes << u"OLD.NumSérie = %1"_s.arg(m_copies->sample.crossSeries);
        QTest::newRow("class: its series") << true << kSeries << u"1"_s;
        QTest::newRow("class: its students") << true << kStudents << u"1"_s;
        QTest::newRow("class: its coefficients") << true << kCoefficients << u"1"_s;
        QTest::newRow("class: the class") << true << kClasses << u"1"_s;
        QTest::newRow("subject: its grades") << false << kNotes << u"1"_s;
        QTest::newRow("subject: its series in the last class")
            << false << kSeries << u"OLD.NumClass = %1"_s.arg(m_copies->sample.classes[2]);
        QTest::newRow("subject: its coefficients") << false << kCoefficients << u"1"_s;
        QTest::newRow("subject: the subject") << false << kSubjects << u"1"_s;
    }
    void aFailureAtAnyStepLeavesEveryTableAsItWas() {
        QFETCH(bool, isClass);
        QFETCH(QString, table);
        QFETCH(QString, when);
        const QString path = m_copies->copy();
        // Opened first: the program refuses a file that already holds a trigger.
        const db::Database file = testsupport::openGradebook(path);
        testsupport::failOn(path, "DELETE", table, when);
        QVERIFY(testsupport::dbError([&] { remove(file, isClass); }) != -1);
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
            QCOMPARE(dialog.cboClassMat->count(), isClass ? 3 : 4);
            const int shown = dialog.cboClassMat->currentIndex();  // the one on screen
            QCOMPARE(shown, isClass ? 1 : 2);
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
};

QTEST_MAIN(tst_Cascades)
#include "tst_Cascades.moc"
