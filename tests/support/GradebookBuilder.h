#pragma once
#include "platform/db/Database.h"

#include <QDate>
#include <QString>

namespace testsupport {

// Builds a gradebook through the program's own store, as the editing dialogs would:
// classes and subjects keep a coefficient row for every pair, new classes and series get
// their usual column widths. Keys are returned as the program reads them back.
class GradebookBuilder {
public:
    explicit GradebookBuilder(const QString& path);

    const QString& path() const { return m_path; }

    int addClass(const QString& name, const QString& shortName);
    int addSubject(const QString& name);
    int addStudent(int numClass, const QString& surname, const QString& firstName);
    // Series of a period are shown in date order; by default each comes a day after the last.
    int addSeries(int numClass, int numMat, const QString& name, int sur, int coefficient, int period,
                  QDate date = {});
    void addGrade(int numSerie, int numElv, double grade);
    // The class's coefficient of the subject (every pair has one from the start).
    void setCoefficient(int numClass, int numMat, int coefficient);
    void setProperty(const QString& name, const QVariant& value);

    // Releases the file, so that the program opens it alone.
    void close() { m_db.Close(); }

private:
    int add(const QString& table, const QString& key, const QList<std::pair<QString, QVariant>>& fields);
    // Pairs the new class or subject whose field `key` is `value` with each row of `others`, in
    // a coefficient row each; returns value.
    int addCoefficients(const QString& key, int value, const QString& others, const QString& otherKey);

    QString m_path;
    db::Database m_db;
    QDate m_lastDate{2024, 9, 1};
};

}  // namespace testsupport
