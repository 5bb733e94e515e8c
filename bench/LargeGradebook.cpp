#include "LargeGradebook.h"

#include "BenchKit.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"

#include <QRandomGenerator>

namespace bench {
namespace {

using db::Query;
using db::Recordset;

// Adds the row being built and returns its new key, read back as the program does.
int addRow(Recordset& rs, const QString& key) {
    rs.Update();
    rs.MoveLast();
    return rs.Fields(key).Value().toInt();
}

const QStringList kSurnames = {"Martin", "Bernard", "Dubois", "Thomas", "Robert", "Richard", "Petit", "Durand",
                               "Leroy", "Moreau", "Simon", "Laurent", "Lefèvre", "Michel", "Garcia", "David",
                               "Bertrand", "Roux", "Vincent", "Fournier", "Morel", "Girard", "André", "Lefebvre",
                               "Mercier", "Dupont", "Lambert", "Bonnet", "François", "Martinez", "Le Goff",
                               "N'Diaye", "Ould-Ahmed", "Çelik", "Nguyen", "Ødegård", "Da Silva", "Zimmermann"};
const QStringList kFirstNames = {"Léa", "Hugo", "Chloé", "Lucas", "Inès", "Nathan", "Zoé", "Éloïse", "Mathéo",
                                 "Anaïs", "Jean-Baptiste", "Marie-Ange", "Noé", "Yasmine", "Aurélien", "Maëlys",
                                 "Gaëtan", "Sofia", "Théo", "Camille"};
const QStringList kSeriesNames = {"Contrôle", "Interrogation", "Devoir maison", "Exposé", "Dictée", "TP",
                                  "Évaluation", "Oral"};

}  // namespace

void generateGradebook(const QString& path, const GradebookSize& size) {
    mUtilities::CreateGradebookFile(path);
    QRandomGenerator random(20240902);
    struct SeriesRows {
        int key;
        int sur;
        QList<int> students;
    };
    QList<SeriesRows> allSeries;
    {
        db::Database file = db::Database::OpenDatabase(path, gradebook::databasePassword());
        db::Transaction transaction(file);
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
        int studentNumber = 0;
        for (int c = 1; c <= size.classes(); ++c) {
            classes.AddNew();
            classes.Fields(QStringLiteral("Nom")).setValue(QStringLiteral("Classe %1").arg(c));
            classes.Fields(QStringLiteral("Nom abrégé")).setValue(QStringLiteral("C%1").arg(c));
            classes.Fields(QStringLiteral("Colonne")).setValue(gradebook::kNewClassWidth);
            const int classKey = addRow(classes, QStringLiteral("NumClass"));
            for (int subject : subjects) {
                coefficients.AddNew();
                coefficients.Fields(QStringLiteral("NumClass")).setValue(classKey);
                coefficients.Fields(QStringLiteral("NumMat")).setValue(subject);
                coefficients.Fields(QStringLiteral("Coefficient")).setValue(1 + random.bounded(4));
                coefficients.Update();
            }
            QList<int> classStudents;
            const int count = size.maxStudentsPerClass - random.bounded(8);
            for (int s = 0; s < count; ++s, ++studentNumber) {
                // Names unique in the whole gradebook, as the store wants them.
                students.AddNew();
                students.Fields(QStringLiteral("Nom")).setValue(kSurnames[random.bounded(kSurnames.size())]);
                students.Fields(QStringLiteral("Prénom"))
                    .setValue(kFirstNames[random.bounded(kFirstNames.size())] + QStringLiteral(" %1").arg(studentNumber));
                students.Fields(QStringLiteral("NumClass")).setValue(classKey);
                classStudents << addRow(students, QStringLiteral("NumElv"));
            }
            for (int subject : subjects) {
                const int seriesCount = size.maxSeriesPerClassAndSubject - random.bounded(11);
                for (int k = 0; k < seriesCount; ++k) {
                    const int roll = int(random.bounded(100));
                    const int sur = roll < 1 ? 0 : roll < 20 ? 10 : roll < 85 ? 20 : 40;
                    series.AddNew();
                    series.Fields(QStringLiteral("Nom"))
                        .setValue(kSeriesNames[random.bounded(kSeriesNames.size())] + QStringLiteral(" %1").arg(k + 1));
                    series.Fields(QStringLiteral("Sur")).setValue(sur);
                    series.Fields(QStringLiteral("Coefficient")).setValue(random.bounded(5));
                    series.Fields(QStringLiteral("Date"))
                        .setValue(QDateTime(QDate(2024, 9, 2).addDays(k * 7 + random.bounded(5)), QTime(8, 0)));
                    series.Fields(QStringLiteral("Période")).setValue(1 + k * 3 / seriesCount);
                    series.Fields(QStringLiteral("NumMat")).setValue(subject);
                    series.Fields(QStringLiteral("NumClass")).setValue(classKey);
                    series.Fields(QStringLiteral("Colonne")).setValue(gradebook::kNewSeriesWidth + 15 * random.bounded(20));
                    allSeries.append({addRow(series, QStringLiteral("NumSérie")), sur, classStudents});
                }
            }
        }
        transaction.commit();
    }

    // Millions of grades: written the plain way, or generating would take longer than the
    // benchmarks.
    Plain plain(path);
    sqlite3_exec(plain.h, "BEGIN", nullptr, nullptr, nullptr);
    const db::sqlite::Statement insert =
        plain.prepare("INSERT INTO \"Notes\" (\"Note\", \"NumSérie\", \"NumElv\") VALUES (?, ?, ?)");
    for (const SeriesRows& s : allSeries)
        for (int student : s.students) {
            if (random.bounded(10) == 0) continue;  // absent
            const int top = s.sur > 0 ? s.sur : 20;
            sqlite3_bind_double(insert.get(), 1, double(float(random.bounded(top * 4 + 1) / 4.0)));
            sqlite3_bind_int(insert.get(), 2, s.key);
            sqlite3_bind_int(insert.get(), 3, student);
            sqlite3_step(insert.get());
            sqlite3_reset(insert.get());
        }
    sqlite3_exec(plain.h, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace bench
