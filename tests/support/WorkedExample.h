#pragma once
#include "GradebookBuilder.h"

#include <QStringList>

namespace testsupport {

// The worked example of the averages: class "3e A" with Maths (coefficient 3) and Histoire
// (coefficient 2), three students and six series, one of them with coefficient 0. Every
// expected cell is below, with one and with two decimals.
struct WorkedExample {
    int cls = 0;
    int maths = 0, histoire = 0;
    int lea = 0, paul = 0, hugo = 0;  // Durand Léa, Martin Paul, Petit Hugo
    int s1 = 0, s2 = 0, s3 = 0, s4 = 0, h1 = 0, h2 = 0;

    explicit WorkedExample(GradebookBuilder& book);

    // The class grid, row by row (13 columns), for 1 or 2 decimals.
    static QList<QStringList> classGrid(int decimals);
    // Martin Paul's grid, row by row (6 columns), with one decimal.
    static QList<QStringList> paulGrid();
};

}  // namespace testsupport
