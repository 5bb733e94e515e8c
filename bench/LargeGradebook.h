#pragma once
#include <QString>

namespace bench {

// The gradebook of the design, 30 classes of about 35 students, 12 subjects, about 40
// series per class and subject, times `scale` classes (0.25, 1 or 4): what grows with the
// file and what does not show as the scale changes.
struct GradebookSize {
    double scale = 1;
    int classes() const { return qMax(1, int(30 * scale + 0.5)); }
    int maxStudentsPerClass = 35;
    int subjects = 12;
    int maxSeriesPerClassAndSubject = 40;
};

// Builds a gradebook of that size at `path` (which must not exist): the file, its classes,
// students and series through the program's own store, the grades with plain statements
// in one transaction. The data is not uniform: classes of 28 to 35 students, 30 to 40
// series, scales of 10, 20 or 40 (a few of 0, which cannot be averaged), about one grade
// in ten missing, names with accents and compound names.
void generateGradebook(const QString& path, const GradebookSize& size = {});

// Builds a gradebook of many classes and subjects at `path` (which must not exist), as a
// whole school's timetable gives one: every class has a coefficient of every subject; the
// first class has 30 students graded in 30 series of its first subject, the others nothing.
void generateWideGradebook(const QString& path, int classes, int subjects);

}  // namespace bench
