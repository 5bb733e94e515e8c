#pragma once
#include <QString>

namespace bench {

struct GradebookSize {
    int classes = 30;
    int studentsPerClass = 35;
    int subjects = 12;
    int seriesPerClassAndSubject = 40;
};

// Builds a gradebook of that size through the program's own store, every grade filled,
// at `path` (which must not exist).
void generateGradebook(const QString& path, const GradebookSize& size = {});

}  // namespace bench
