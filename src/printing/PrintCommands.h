#pragma once
#include <QString>
#include <array>

class QWidget;
namespace platform {
class FlexGrid;
}

namespace printing {

// The print command of the table of averages: the page setup over `owner`, then the
// preview of its class grid ("flxClass", whose period columns `periodsShown` tells) or of
// one student's grid ("flxMoy"), under `title`. Cancelling the page setup prints nothing.
void printAveragesGrid(QWidget* owner, const QString& gridName, const platform::FlexGrid& grid, const QString& title,
                       std::array<bool, 3> periodsShown = {true, true, true});

}  // namespace printing
