#pragma once
#include "platform/FlexGrid.h"

#include <QList>
#include <QStringList>

namespace testsupport {

// Every cell of a grid, row by row.
inline QList<QStringList> gridTexts(const platform::FlexGrid& grid) {
    QList<QStringList> rows;
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.Cols(); ++c) row << grid.TextMatrix(r, c);
        rows << row;
    }
    return rows;
}

}  // namespace testsupport
