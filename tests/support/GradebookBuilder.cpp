#include "GradebookBuilder.h"

#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"

using namespace Qt::StringLiterals;
using mUtilities::StoredName;

namespace testsupport {

GradebookBuilder::GradebookBuilder(const QString& path) : m_path(path) {
    mUtilities::CreateGradebookFile(path);
    m_db = db::Database::OpenDatabase(path, gradebook::databasePassword());
}

int GradebookBuilder::add(const QString& table, const QString& key, const QList<std::pair<QString, QVariant>>& fields) {
    db::Recordset rs = m_db.OpenRecordset(db::Query(table));
    rs.AddNew();
    for (const auto& [name, value] : fields) rs.Fields(name).setValue(value);
    rs.Update();
    if (key.isEmpty()) return 0;
    rs.MoveLast();
    return rs.Fields(key).Value().toInt();
}

int GradebookBuilder::addCoefficients(const QString& key, int value, const QString& others, const QString& otherKey) {
    db::Recordset rs = m_db.OpenRecordset(db::Query(others), db::RecordsetType::Snapshot);
    for (; !rs.Eof(); rs.MoveNext()) add(u"Coefficients"_s, {}, {{key, value}, {otherKey, rs.Fields(otherKey).Value()}});
    return value;
}

int GradebookBuilder::addClass(const QString& name, const QString& shortName) {
    const int key = add(u"Classes"_s, u"NumClass"_s,
                        {{u"Nom"_s, StoredName(name)}, {u"Nom abrégé"_s, StoredName(shortName)},
                         {u"Colonne"_s, gradebook::kNewClassWidth}});
    return addCoefficients(u"NumClass"_s, key, u"Matières"_s, u"NumMat"_s);
}

int GradebookBuilder::addSubject(const QString& name) {
    const int key = add(u"Matières"_s, u"NumMat"_s, {{u"Nom"_s, StoredName(name)}});
    return addCoefficients(u"NumMat"_s, key, u"Classes"_s, u"NumClass"_s);
}

int GradebookBuilder::addStudent(int numClass, const QString& surname, const QString& firstName) {
    return add(u"Elèves"_s, u"NumElv"_s,
               {{u"Nom"_s, StoredName(surname)}, {u"Prénom"_s, StoredName(firstName)}, {u"NumClass"_s, numClass}});
}

int GradebookBuilder::addSeries(int numClass, int numMat, const QString& name, int sur, int coefficient, int period,
                                QDate date) {
    m_lastDate = date.isValid() ? date : m_lastDate.addDays(1);
    return add(u"Séries"_s, u"NumSérie"_s,
               {{u"Nom"_s, StoredName(name)}, {u"Sur"_s, sur}, {u"Coefficient"_s, coefficient},
                {u"Date"_s, QDateTime(m_lastDate, QTime(8, 0))}, {u"Période"_s, period}, {u"NumMat"_s, numMat},
                {u"NumClass"_s, numClass}, {u"Colonne"_s, gradebook::kNewSeriesWidth}});
}

void GradebookBuilder::addGrade(int numSerie, int numElv, double grade) {
    add(u"Notes"_s, {}, {{u"NumSérie"_s, numSerie}, {u"NumElv"_s, numElv}, {u"Note"_s, grade}});
}

void GradebookBuilder::setCoefficient(int numClass, int numMat, int coefficient) {
    db::Recordset rs = m_db.OpenRecordset(db::Query(u"Coefficients"_s));
    rs.FindFirst(db::Field(u"NumClass"_s) == numClass && db::Field(u"NumMat"_s) == numMat);
    rs.Edit();
    rs.Fields(u"Coefficient"_s).setValue(coefficient);
    rs.Update();
}

void GradebookBuilder::setProperty(const QString& name, const QVariant& value) { m_db.Properties(name).setValue(value); }

}  // namespace testsupport
