#include "Averages.h"

#include "platform/Numbers.h"

namespace averages {

namespace numbers = platform::numbers;

void Mean::addShown(const QString& shown, double weight) {
    if (shown.isEmpty()) return;
    if (const std::optional<double> v = numbers::parse(shown)) add(*v, weight);
}

std::optional<double> Mean::value() const {
    if (m_weights == 0) return std::nullopt;
    return m_sum / m_weights;
}

QString Mean::shown(const QString& format) const {
    const std::optional<double> v = value();
    return v ? numbers::formatAverage(*v, format) : QString();
}

Group subjectGroup(const PeriodMarks& marks, const QString& format) {
    Group group;
    Mean year;
    for (int p = 0; p < 3; ++p) {
        group[size_t(p)] = marks[size_t(p)].shown(format);
        year.addShown(group[size_t(p)]);
    }
    group[kYear] = year.shown(format);
    return group;
}

Group weightedGroup(std::span<const Group> subjects, std::span<const double> coefficients, const QString& format) {
    Group group;
    for (size_t q = 0; q < group.size(); ++q) {
        Mean mean;
        for (size_t s = 0; s < subjects.size() && s < coefficients.size(); ++s)
            mean.addShown(subjects[s][q], coefficients[s]);
        group[q] = mean.shown(format);
    }
    return group;
}

Group columnMeans(std::span<const Group> rows, const QString& format) {
    Group group;
    for (size_t q = 0; q < group.size(); ++q) {
        Mean mean;
        for (const Group& row : rows) mean.addShown(row[q]);
        group[q] = mean.shown(format);
    }
    return group;
}

ClassTable classTable(const ClassMarks& marks, std::span<const double> coefficients, const QString& format) {
    ClassTable table;
    const int subjects = marks.subjects;
    table.rows.resize(size_t(marks.students));
    for (int s = 0; s < marks.students; ++s) {
        std::vector<Group>& row = table.rows[size_t(s)];
        row.reserve(size_t(subjects) + 1);
        for (int m = 0; m < subjects; ++m) row.push_back(subjectGroup(marks.at(s, m), format));
        row.push_back(weightedGroup(std::span(row).first(size_t(subjects)), coefficients, format));
    }
    std::vector<Group> column(table.rows.size());
    for (int g = 0; g <= subjects; ++g) {
        for (size_t s = 0; s < table.rows.size(); ++s) column[s] = table.rows[s][size_t(g)];
        table.bottom.push_back(columnMeans(column, format));
    }
    return table;
}

}  // namespace averages
