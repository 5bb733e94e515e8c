#pragma once
// The averages of every grid: a student's period average in a subject, the yearly mean of
// the periods, the means weighted by the subjects' coefficients, and the class average of
// a column. One rule holds at every level: a level reads the level below as it is shown,
// that is rounded to the gradebook's decimals, so that a teacher checking a cell by hand
// from the cells on screen finds the same figure.
//
// Values pass between levels as the texts the grids show ("12,3", "" for none).
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

namespace averages {

// A weighted mean built one value at a time: Σ weight × value / Σ weight, nothing when
// the weights add up to 0. A plain mean is the same with every weight 1.
class Mean {
public:
    void add(double value, double weight = 1) {
        m_sum += weight * value;
        m_weights += weight;
    }
    // A grade of a series out of `sur`, brought to 20, weighing the series' coefficient.
    // A series out of 0 gives no mark on 20: it is left out, as if it held no grade.
    void addGrade(double grade, double sur, double coefficient) {
        if (sur > 0) add((grade * 20.0) / sur, coefficient);
    }
    // A value as a grid shows it; an empty cell (or one that holds no number) is left out.
    void addShown(const QString& shown, double weight = 1);

    std::optional<double> value() const;
    // The value with the decimals of `format` ("0.0" or "0.00"), or "".
    QString shown(const QString& format) const;

private:
    double m_sum = 0;
    double m_weights = 0;
};

// A subject's averages for one student, as shown: the periods 1 to 3, then the year.
using Group = std::array<QString, 4>;
inline constexpr int kYear = 3;  // the index of the yearly average in a Group

// The grades of one student in one subject, period by period (Mean::addGrade).
using PeriodMarks = std::array<Mean, 3>;

// The periods as shown, and the year as the plain mean of the periods shown: every
// period weighs the same, whatever its number of series.
Group subjectGroup(const PeriodMarks& marks, const QString& format);

// Period by period and for the year, the mean of the subjects' shown values weighted by
// their coefficients (one per subject). A subject without a value there, or with
// coefficient 0, counts for nothing.
Group weightedGroup(std::span<const Group> subjects, std::span<const double> coefficients, const QString& format);

// One class: marks[student * subjects + subject] holds a student's grades in a subject.
struct ClassMarks {
    int students = 0;
    int subjects = 0;
    std::vector<PeriodMarks> marks;

    ClassMarks() = default;
    ClassMarks(int studentCount, int subjectCount)
        : students(studentCount), subjects(subjectCount), marks(size_t(studentCount) * size_t(subjectCount)) {}
    PeriodMarks& at(int student, int subject) { return marks[size_t(student) * size_t(subjects) + size_t(subject)]; }
    const PeriodMarks& at(int student, int subject) const {
        return marks[size_t(student) * size_t(subjects) + size_t(subject)];
    }
};

// The table of a class: each student's group per subject followed by the general group
// (the subjects weighted by their coefficients), and under them the class average of
// every column (the plain mean of the students' shown values).
struct ClassTable {
    std::vector<std::vector<Group>> rows;  // [student][subject], the general group last
    std::vector<Group> bottom;             // [subject], the general group last
};

ClassTable classTable(const ClassMarks& marks, std::span<const double> coefficients, const QString& format);

// The class average of each column of a group: the plain mean of the rows' shown values.
Group columnMeans(std::span<const Group> rows, const QString& format);

}  // namespace averages
