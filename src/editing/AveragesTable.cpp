#include "AveragesTable.h"

#include "gradebook/StoreNames.h"
#include "platform/Numbers.h"

#include <QHash>

namespace averagestable {
namespace {

using db::Field;
using db::Query;
using db::RecordsetType;
namespace numbers = platform::numbers;

using namespace storenames;
const QString kCoefficient = QStringLiteral("Coefficient");
const QString kEC = QStringLiteral("EC");

// A student as the table of averages names him: "Nom Prénom".
QString studentName(const db::RecordField& surname, const db::RecordField& firstName) {
    return surname.Value().toString() + u' ' + firstName.Value().toString();
}

QList<Entry> readEntries(const db::Database& database, const QString& table, const QString& key) {
    QList<Entry> entries;
    db::Recordset rs = database.OpenRecordset(Query(table).select({key, kNom}), RecordsetType::ForwardOnly);
    const db::RecordField k = rs.Fields(key), name = rs.Fields(kNom);
    for (; !rs.Eof(); rs.MoveNext()) entries.append({k.Value().toInt(), name.Value().toString()});
    return entries;
}

// The grade grid shows a stored grade with 7 significant digits and averages what it
// shows: the single-precision 14,45 is 14,4499998... stored, 14,45 on screen.
class GradeAsShown {
public:
    double operator()(double stored) {
        auto found = m_values.constFind(stored);
        if (found == m_values.cend())
            found = m_values.insert(stored, numbers::parse(numbers::formatGrade(stored)).value_or(stored));
        return *found;
    }

private:
    QHash<double, double> m_values;
};

}  // namespace

QList<TreeClass> readTree(const db::Database& database) {
    db::Transaction reading(database);
    QList<TreeClass> tree;
    for (const Entry& c : readEntries(database, QStringLiteral("Classes"), kNumClass)) tree.append({c, {}});
    // Only the names, without order: the students' nodes are made as their class opens.
    QHash<qint32, QStringList> names;
    db::Recordset students = database.OpenRecordset(Query(QStringLiteral("Elèves")).select({kNumClass, kNom, kPrenom}),
                                                    RecordsetType::ForwardOnly);
    const db::RecordField numClass = students.Fields(kNumClass), surname = students.Fields(kNom),
                          firstName = students.Fields(kPrenom);
    for (; !students.Eof(); students.MoveNext()) names[numClass.Value().toInt()].append(studentName(surname, firstName));
    for (TreeClass& c : tree) c.students = names.value(c.entry.key);
    reading.commit();  // ends the read without the reload that a rollback implies
    return tree;
}

QList<Entry> readStudents(const db::Database& database, qint32 numClass) {
    QList<Entry> list;
    db::Recordset students = database.OpenRecordset(Query(QStringLiteral("Elèves"))
                                                        .where(Field(kNumClass) == numClass)
                                                        .orderBy({kNom, kPrenom})
                                                        .select({kNumElv, kNom, kPrenom}),
                                                    RecordsetType::ForwardOnly);
    const db::RecordField key = students.Fields(kNumElv), surname = students.Fields(kNom),
                          firstName = students.Fields(kPrenom);
    for (; !students.Eof(); students.MoveNext()) list.append({key.Value().toInt(), studentName(surname, firstName)});
    return list;
}

QList<Entry> readSubjects(const db::Database& database) {
    return readEntries(database, QStringLiteral("Matières"), kNumMat);
}

ClassData readClass(const db::Database& database, qint32 numClass, const QList<Entry>& subjects,
                    std::optional<qint32> onlyStudent) {
    // One read transaction: the encrypted file's pages are then decrypted once for all. It
    // is committed: a rollback would read the table definitions again.
    db::Transaction reading(database);
    ClassData data;
    QHash<qint32, int> subjectIndex;
    for (int m = 0; m < subjects.size(); ++m) subjectIndex.insert(subjects[m].key, m);

    data.coefficients.assign(size_t(subjects.size()), kDefaultCoefficient);
    db::Recordset coefficients = database.OpenRecordset(
        Query(QStringLiteral("Coefficients")).where(Field(kNumClass) == numClass).select({kNumMat, kCoefficient}),
        RecordsetType::ForwardOnly);
    for (; !coefficients.Eof(); coefficients.MoveNext())
        if (const auto m = subjectIndex.constFind(coefficients.Fields(kNumMat).Value().toInt()); m != subjectIndex.cend())
            data.coefficients[size_t(*m)] = coefficients.Fields(kCoefficient).Value().toInt();

    Query studentQuery = Query(QStringLiteral("Elèves")).orderBy({kNom, kPrenom}).select({kNumElv, kNom, kPrenom});
    studentQuery.where(onlyStudent ? Field(kNumClass) == numClass && Field(kNumElv) == *onlyStudent
                                   : Field(kNumClass) == numClass);
    db::Recordset students = database.OpenRecordset(studentQuery, RecordsetType::ForwardOnly);
    QHash<qint32, int> studentIndex;
    for (; !students.Eof(); students.MoveNext()) {
        const qint32 key = students.Fields(kNumElv).Value().toInt();
        studentIndex.insert(key, int(data.students.size()));
        data.students.append({key, students.Fields(kNom).Value().toString() + u' ' + students.Fields(kPrenom).Value().toString()});
    }
    data.marks = averages::ClassMarks(int(data.students.size()), int(subjects.size()));
    if (data.students.isEmpty() || subjects.isEmpty()) {
        reading.commit();
        return data;
    }

    struct Scale {
        int subject;
        int period;  // 0..2
        double sur, coefficient;
    };
    QHash<qint32, Scale> scales;
    db::Recordset series = database.OpenRecordset(
        Query(QStringLiteral("Séries"))
            .where(Field(kNumClass) == numClass)
            .select({kNumSerie, kNumMat, QStringLiteral("Période"), QStringLiteral("Sur"), kCoefficient}),
        RecordsetType::ForwardOnly);
    for (; !series.Eof(); series.MoveNext()) {
        const auto m = subjectIndex.constFind(series.Fields(kNumMat).Value().toInt());
        if (m == subjectIndex.cend()) continue;
        // The period as the grade grid files it.
        scales.insert(series.Fields(kNumSerie).Value().toInt(),
                      {*m, qBound(1, series.Fields(QStringLiteral("Période")).Value().toInt(), 3) - 1,
                       series.Fields(QStringLiteral("Sur")).Value().toDouble(),
                       series.Fields(kCoefficient).Value().toDouble()});
    }

    // Added up whatever their order: sorting thousands of grades first would only cost.
    Query gradeQuery = Query(QStringLiteral("Notes"))
                           .innerJoin(QStringLiteral("Séries"), kNumSerie, kNumSerie)
                           .select({QStringLiteral("Notes.NumSérie"), QStringLiteral("Notes.NumElv"), QStringLiteral("Note")})
                           .inAnyOrder();
    gradeQuery.where(onlyStudent ? Field(QStringLiteral("Séries.NumClass")) == numClass
                                       && Field(QStringLiteral("Notes.NumElv")) == *onlyStudent
                                 : Field(QStringLiteral("Séries.NumClass")) == numClass);
    db::Recordset grades = database.OpenRecordset(gradeQuery, RecordsetType::ForwardOnly);
    const db::RecordField seriesKey = grades.Fields(QStringLiteral("Notes.NumSérie")),
                          studentKey = grades.Fields(QStringLiteral("Notes.NumElv")), grade = grades.Fields(QStringLiteral("Note"));
    GradeAsShown asShown;
    for (; !grades.Eof(); grades.MoveNext()) {
        const auto scale = scales.constFind(seriesKey.Value().toInt());
        const auto student = studentIndex.constFind(studentKey.Value().toInt());
        if (scale == scales.cend() || student == studentIndex.cend()) continue;  // another class's student
        data.marks.at(*student, scale->subject)[size_t(scale->period)].addGrade(asShown(grade.Value().toDouble()),
                                                                              scale->sur, scale->coefficient);
    }
    reading.commit();
    return data;
}

QString readCivilStatus(const db::Database& database, qint32 numElv) {
    db::Recordset rs = database.OpenRecordset(Query(QStringLiteral("Elèves")).where(Field(kNumElv) == numElv).select({kEC}),
                                              RecordsetType::Snapshot);
    return rs.Eof() ? QString() : rs.Fields(kEC).Value().toString();
}

void saveCivilStatus(const db::Database& database, qint32 numElv, const QString& text) {
    db::Recordset rs = database.OpenRecordset(Query(QStringLiteral("Elèves")));
    rs.FindFirst(Field(kNumElv) == numElv);
    if (rs.NoMatch()) return;
    rs.Edit();
    // An emptied text is kept as an empty text, not as none: a valid QVariant.
    rs.Fields(kEC).setValue(QVariant(text));
    rs.Update();
}

std::optional<int> parseCoefficient(const QString& text) {
    const std::optional<double> value = numbers::parse(text);
    if (!value) return std::nullopt;
    const double rounded = numbers::roundHalfEven(*value);
    if (rounded < 0 || rounded > 255) return std::nullopt;
    return int(rounded);
}

QString coefficientHeading() { return QStringLiteral("Votre saisie est incorrecte.\nElle a été annulée."); }

QStringList coefficientRefusals(const QString& text) {
    if (text.trimmed().isEmpty()) return {QStringLiteral("Le coefficient d'une matière doit être renseigné.")};
    if (!parseCoefficient(text)) return {QStringLiteral("Le coefficient d'une matière doit être un nombre de 0 à 255.")};
    return {};
}

void writeCoefficient(const db::Database& database, qint32 numClass, const QList<qint32>& subjects, int coefficient) {
    db::Transaction writing(database);
    db::Recordset rs = database.OpenRecordset(Query(QStringLiteral("Coefficients")));
    for (const qint32 numMat : subjects) {
        rs.FindFirst(Field(kNumClass) == numClass && Field(kNumMat) == numMat);
        if (rs.NoMatch()) {
            rs.AddNew();
            rs.Fields(kNumClass).setValue(numClass);
            rs.Fields(kNumMat).setValue(numMat);
        } else {
            rs.Edit();
        }
        rs.Fields(kCoefficient).setValue(coefficient);
        rs.Update();
    }
    writing.commit();
}

}  // namespace averagestable
