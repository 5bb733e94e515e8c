#include "LargeGradebook.h"

#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"

#include <QRandomGenerator>

namespace bench {
namespace {

using db::Field;
using db::Query;
using db::Recordset;

// Adds the row being built and returns its new key, read back as the program does.
int addRow(Recordset& rs, const QString& key) {
    rs.Update();
    rs.MoveLast();
    return rs.Fields(key).Value().toInt();
}

}  // namespace

void generateGradebook(const QString& path, const GradebookSize& size) {
    mUtilities::CreateGradebookFile(path);
    db::Database file = db::Database::OpenDatabase(path, gradebook::databasePassword());
    db::Transaction transaction(file);
    QRandomGenerator random(20240902);

    QList<int> subjects;
    Recordset matieres = file.OpenRecordset(Query(QStringLiteral("Matières")));
    for (int m = 1; m <= size.subjects; ++m) {
        matieres.AddNew();
        matieres.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("Matière %1").arg(m));
        subjects << addRow(matieres, QStringLiteral("NumMat"));
    }

    Recordset classes = file.OpenRecordset(Query(QStringLiteral("Classes")));
    Recordset coefficients = file.OpenRecordset(Query(QStringLiteral("Coefficients")));
    Recordset students = file.OpenRecordset(Query(QStringLiteral("Elèves")));
    Recordset series = file.OpenRecordset(Query(QStringLiteral("Séries")));
    Recordset notes = file.OpenRecordset(Query(QStringLiteral("Notes")));
    const QStringList surnames = {"Martin", "Bernard", "Dubois", "Thomas", "Robert", "Richard", "Petit",
                                  "Durand", "Leroy", "Moreau", "Simon", "Laurent", "Lefèvre", "Michel",
                                  "Garcia", "David", "Bertrand", "Roux", "Vincent", "Fournier", "Morel",
                                  "Girard", "André", "Lefebvre", "Mercier", "Dupont", "Lambert", "Bonnet",
                                  "François", "Martinez", "Legrand", "Garnier", "Faure", "Rousseau", "Blanc"};
    for (int c = 1; c <= size.classes; ++c) {
        classes.AddNew();
        classes.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("Classe %1").arg(c));
        classes.Fields(QStringLiteral("Nom abrégé")).setValue(QStringLiteral("C%1").arg(c));
        classes.Fields(QStringLiteral("Colonne")).setValue(gradebook::kNewClassWidth);
        const int classKey = addRow(classes, QStringLiteral("NumClass"));
        for (int subject : subjects) {
            coefficients.AddNew();
            coefficients.Fields(QStringLiteral("NumClass")).setValue(classKey);
            coefficients.Fields(QStringLiteral("NumMat")).setValue(subject);
            coefficients.Update();
        }
        QList<int> classStudents;
        for (int s = 0; s < size.studentsPerClass; ++s) {
            students.AddNew();
            students.Fields(QStringLiteral("Nom")).setValue(surnames[s % surnames.size()]);
            students.Fields(QStringLiteral("Prénom")).setValue(QStringLiteral("Élève %1-%2").arg(c).arg(s));
            students.Fields(QStringLiteral("NumClass")).setValue(classKey);
            classStudents << addRow(students, QStringLiteral("NumElv"));
        }
        for (int subject : subjects)
            for (int k = 0; k < size.seriesPerClassAndSubject; ++k) {
                series.AddNew();
                series.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("Contrôle %1").arg(k + 1));
                series.Fields(QStringLiteral("Sur")).setValue(20);
                series.Fields(QStringLiteral("Coefficient")).setValue(1 + k % 3);
                series.Fields(QStringLiteral("Date")).setValue(QDateTime(QDate(2024, 9, 2).addDays(k * 7), QTime(8, 0)));
                series.Fields(QStringLiteral("Période")).setValue(1 + k * 3 / size.seriesPerClassAndSubject);
                series.Fields(QStringLiteral("NumMat")).setValue(subject);
                series.Fields(QStringLiteral("NumClass")).setValue(classKey);
                series.Fields(QStringLiteral("Colonne")).setValue(gradebook::kNewSeriesWidth);
                const int seriesKey = addRow(series, QStringLiteral("NumSérie"));
                for (int student : classStudents) {
                    notes.AddNew();
                    notes.Fields(QStringLiteral("NumSérie")).setValue(seriesKey);
                    notes.Fields(QStringLiteral("NumElv")).setValue(student);
                    notes.Fields(QStringLiteral("Note")).setValue(random.bounded(41) / 2.0);
                    notes.Update();
                }
            }
    }
    transaction.commit();
}

}  // namespace bench
