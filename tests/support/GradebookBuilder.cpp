#include "GradebookBuilder.h"

#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"

namespace testsupport {

using db::Field;
using db::Query;

GradebookBuilder::GradebookBuilder(const QString& path) : m_path(path) {
    mUtilities::CreateGradebookFile(path);
    m_db = db::Database::OpenDatabase(path, gradebook::databasePassword());
}

int GradebookBuilder::add(const QString& table, const QString& key, const QList<std::pair<QString, QVariant>>& fields) {
    db::Recordset rs = m_db.OpenRecordset(Query(table));
    rs.AddNew();
    for (const auto& [name, value] : fields) rs.Fields(name).setValue(value);
    rs.Update();
    if (key.isEmpty()) return 0;
    rs.MoveLast();
    return rs.Fields(key).Value().toInt();
}

int GradebookBuilder::addClass(const QString& name, const QString& shortName) {
    const int key = add(QStringLiteral("Classes"), QStringLiteral("NumClass"),
                        {{QStringLiteral("Nom"), mUtilities::StoredName(name)},
                         {QStringLiteral("Nom abrégé"), mUtilities::StoredName(shortName)},
                         {QStringLiteral("Colonne"), gradebook::kNewClassWidth}});
    db::Recordset subjects = m_db.OpenRecordset(Query(QStringLiteral("Matières")), db::RecordsetType::Snapshot);
    for (; !subjects.Eof(); subjects.MoveNext())
        add(QStringLiteral("Coefficients"), {},
            {{QStringLiteral("NumClass"), key}, {QStringLiteral("NumMat"), subjects.Fields(QStringLiteral("NumMat")).Value()}});
    return key;
}

int GradebookBuilder::addSubject(const QString& name) {
    const int key =
        add(QStringLiteral("Matières"), QStringLiteral("NumMat"), {{QStringLiteral("Nom"), mUtilities::StoredName(name)}});
    db::Recordset classes = m_db.OpenRecordset(Query(QStringLiteral("Classes")), db::RecordsetType::Snapshot);
    for (; !classes.Eof(); classes.MoveNext())
        add(QStringLiteral("Coefficients"), {},
            {{QStringLiteral("NumClass"), classes.Fields(QStringLiteral("NumClass")).Value()}, {QStringLiteral("NumMat"), key}});
    return key;
}

int GradebookBuilder::addStudent(int numClass, const QString& surname, const QString& firstName) {
    return add(QStringLiteral("Elèves"), QStringLiteral("NumElv"),
               {{QStringLiteral("Nom"), mUtilities::StoredName(surname)},
                {QStringLiteral("Prénom"), mUtilities::StoredName(firstName)},
                {QStringLiteral("NumClass"), numClass}});
}

int GradebookBuilder::addSeries(int numClass, int numMat, const QString& name, int sur, int coefficient, int period,
                                QDate date) {
    m_lastDate = date.isValid() ? date : m_lastDate.addDays(1);
    return add(QStringLiteral("Séries"), QStringLiteral("NumSérie"),
               {{QStringLiteral("Nom"), mUtilities::StoredName(name)}, {QStringLiteral("Sur"), sur},
                {QStringLiteral("Coefficient"), coefficient},
                {QStringLiteral("Date"), QDateTime(m_lastDate, QTime(8, 0))}, {QStringLiteral("Période"), period},
                {QStringLiteral("NumMat"), numMat}, {QStringLiteral("NumClass"), numClass},
                {QStringLiteral("Colonne"), gradebook::kNewSeriesWidth}});
}

void GradebookBuilder::addGrade(int numSerie, int numElv, double grade) {
    add(QStringLiteral("Notes"), {},
        {{QStringLiteral("NumSérie"), numSerie}, {QStringLiteral("NumElv"), numElv}, {QStringLiteral("Note"), grade}});
}

void GradebookBuilder::setCoefficient(int numClass, int numMat, int coefficient) {
    db::Recordset rs = m_db.OpenRecordset(Query(QStringLiteral("Coefficients")));
    rs.FindFirst(Field(QStringLiteral("NumClass")) == numClass && Field(QStringLiteral("NumMat")) == numMat);
    rs.Edit();
    rs.Fields(QStringLiteral("Coefficient")).setValue(coefficient);
    rs.Update();
}

void GradebookBuilder::setProperty(const QString& name, const QVariant& value) {
    m_db.Properties(name).setValue(value);
}

}  // namespace testsupport
