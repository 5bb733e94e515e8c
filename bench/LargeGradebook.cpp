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

void generateWideGradebook(const QString& path, int classes, int subjects) {
    mUtilities::CreateGradebookFile(path);
    QRandomGenerator random(20251207);
    // A few hundred thousand coefficient rows: written the plain way, in one transaction.
    Plain plain(path);
    sqlite3_exec(plain.h, "BEGIN", nullptr, nullptr, nullptr);
    const auto run = [&](const db::sqlite::Statement& s, std::initializer_list<QVariant> values) {
        int i = 0;
        for (const QVariant& v : values) {
            if (v.typeId() == QMetaType::QString) {
                const QByteArray text = v.toString().toUtf8();
                sqlite3_bind_text(s.get(), ++i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(s.get(), ++i, v.toLongLong());
            }
        }
        sqlite3_step(s.get());
        sqlite3_reset(s.get());
        return sqlite3_last_insert_rowid(plain.h);
    };
    const auto addClass = plain.prepare("INSERT INTO \"Classes\" (\"Nom\", \"Nom abrégé\", \"Colonne\") VALUES (?, ?, ?)");
    const auto addSubject = plain.prepare("INSERT INTO \"Matières\" (\"Nom\") VALUES (?)");
    const auto addCoefficient =
        plain.prepare("INSERT INTO \"Coefficients\" (\"NumClass\", \"NumMat\", \"Coefficient\") VALUES (?, ?, ?)");
    const auto addStudent = plain.prepare("INSERT INTO \"Elèves\" (\"Nom\", \"Prénom\", \"NumClass\") VALUES (?, ?, ?)");
    const auto addSeries = plain.prepare(
        "INSERT INTO \"Séries\" (\"Nom\", \"Sur\", \"Coefficient\", \"Date\", \"Période\", \"NumMat\", \"NumClass\", "
        "\"Colonne\") VALUES (?, 20, 1, ?, ?, ?, ?, ?)");
    const auto addGrade = plain.prepare("INSERT INTO \"Notes\" (\"Note\", \"NumSérie\", \"NumElv\") VALUES (?, ?, ?)");
    QList<qint64> subjectKeys, classKeys;
    for (int m = 1; m <= subjects; ++m) subjectKeys << run(addSubject, {QStringLiteral("Matière %1").arg(m)});
    for (int c = 1; c <= classes; ++c) {
        classKeys << run(addClass, {QStringLiteral("Classe %1").arg(c), QStringLiteral("C%1").arg(c), gradebook::kNewClassWidth});
        for (const qint64 subject : subjectKeys) run(addCoefficient, {classKeys.last(), subject, 1 + random.bounded(4)});
    }
    QList<qint64> students;
    for (int s = 0; s < 30; ++s)
        students << run(addStudent, {kSurnames[s % kSurnames.size()], QStringLiteral("%1 %2").arg(kFirstNames[s % kFirstNames.size()]).arg(s),
                                     classKeys.first()});
    for (int k = 0; k < 30; ++k) {
        const QString date = QDateTime(QDate(2024, 9, 2).addDays(k * 7), QTime(8, 0)).toString(u"yyyy-MM-dd HH:mm:ss");
        const qint64 series = run(addSeries, {kSeriesNames[k % kSeriesNames.size()] + QStringLiteral(" %1").arg(k + 1), date,
                                              1 + k / 10, subjectKeys.first(), classKeys.first(), gradebook::kNewSeriesWidth});
        for (const qint64 student : students) {
            sqlite3_bind_double(addGrade.get(), 1, random.bounded(81) / 4.0);
            sqlite3_bind_int64(addGrade.get(), 2, series);
            sqlite3_bind_int64(addGrade.get(), 3, student);
            sqlite3_step(addGrade.get());
            sqlite3_reset(addGrade.get());
        }
    }
    sqlite3_exec(plain.h, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace bench
