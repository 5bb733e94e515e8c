#pragma once
// The import of a received exchange file, without a window: the gradebook's students to
// match against, the automatic matching by name, the name a created student gets, the
// counts and texts of the wizard's progress and summary, the checks of a plan, and the
// import itself, in one transaction.
#include "ExchangeFile.h"
#include "platform/db/Database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <stdexcept>

namespace importgrades {

// A student of the receiving gradebook, with the name of its class.
struct GradebookStudent {
    qint32 numElv = 0;
    QString nom;
    QString prénom;
    qint32 numClass = 0;
    QString className;
    QString name() const { return nom + u' ' + prénom; }
    // "Nom Prénom - Classe", as the decision dialog lists it.
    QString entry() const { return name() + QStringLiteral(" - ") + className; }
};
// Every student of every class, by surname then first name in French order.
QList<GradebookStudent> readStudents(const db::Database& gradebook);

enum class Match { Untreated, Associated, Create, Rejected };

// What becomes of one student of the file.
struct Decision {
    Match state = Match::Untreated;
    qint32 numElv = 0;    // Associated: the gradebook's student
    qint32 numClass = 0;  // Associated and Create: the class
    QString nom;          // Associated: the gradebook student's names; Create: the new student's
    QString prénom;
    QString className;
    QString name() const { return state == Match::Associated || state == Match::Create ? nom + u' ' + prénom : QString(); }
    // As the file keeps it: Null untreated, the gradebook "NumElv", 0 rejected, minus the
    // "NumClass" of the class to create the student in.
    QVariant numElvIn() const;
};

Decision associate(const GradebookStudent& student);
Decision reject();

// For each student of the file, in order: the first gradebook student, in list order,
// whose "Nom Prénom" is the same, letter case aside; otherwise untreated.
QList<Decision> autoMatch(const QList<exchangefile::Student>& file, const QList<GradebookStudent>& gradebook);

// The student `self` of the file, to be created in a class: under its own name when no
// gradebook student and no other student marked for creation has it, otherwise with its
// first name followed by 2, 3 and so on, the first number that frees it.
struct NewName {
    QString nom;
    QString prénom;
    bool changed = false;
    QString name() const { return nom + u' ' + prénom; }
};
NewName freeName(const QList<exchangefile::Student>& file, int self, const QList<GradebookStudent>& gradebook,
                 const QList<Decision>& decisions);
Decision create(const NewName& name, qint32 numClass, const QString& className);

// Students decided, and the progress text under the matching list.
int processed(const QList<Decision>& decisions);
QString progressText(int done, int total);

// What the import will do: the classes involved in first-seen order, the students kept,
// created and rejected.
struct Summary {
    QStringList classes;
    int imported = 0;
    int created = 0;
    int rejected = 0;
};
Summary summarize(const QList<Decision>& decisions);
QString summaryText(const Summary& summary, const QString& subject);
// Whether the import has anything to do.
inline bool nothingToImport(const Summary& summary) { return summary.imported == 0; }

// Why the plan cannot be imported as it stands, one line per fault: a student not yet
// decided, two students of the file given one gradebook student or one new name, a
// gradebook student or a class that no longer exists, a new name taken meanwhile. Empty
// when it can be imported.
QStringList refusals(const db::Database& gradebook, const QList<exchangefile::Student>& file,
                     const QList<Decision>& decisions);

// A failure of the import, after which nothing of it stays in the gradebook.
class Failure : public std::runtime_error {
public:
    enum Step { Marking, Students, Grades };
    Failure(Step step, const std::string& what) : std::runtime_error(what), m_step(step) {}
    Step step() const { return m_step; }

private:
    Step m_step;
};

struct Result {
    // File "NumElv" and the key of the gradebook student created for it.
    QList<std::pair<qint32, QVariant>> createdKeys;
    int series = 0;
    int grades = 0;
};

// Creates the students marked for creation, then, for every series of the file, one series
// in the subject `numMat` in each class of a student kept, and the grades of the students
// kept into the series of their class. All in one transaction on the gradebook: on any
// failure it is rolled back and Failure says at which step. Grades of students that are not
// in the file's list, or are rejected, are skipped. The file itself is not written.
Result importGrades(const db::Database& gradebook, const exchangefile::Contents& file, const QList<Decision>& decisions,
                    qint32 numMat);

// The same import, the file marked "Importé" and given the keys of the students created,
// all in one transaction over the gradebook and the file attached to it: a failure, or the
// program killed at any moment, leaves both files as they were or both written, never a
// file marked with nothing imported nor grades imported from a file that does not say so.
// A file that cannot be attached or marked is not imported (Failure at step Marking).
Result importMarked(const db::Database& gradebook, const db::Database& file, const exchangefile::Contents& contents,
                    const QList<Decision>& decisions, qint32 numMat);

}  // namespace importgrades
