#pragma once

class QWidget;

namespace mOffice2000 {

// Gives a text box the thin one-pixel edge (staticEdge) or the usual deeper one.
void SetEdgeStyle(QWidget* window, bool staticEdge);

}  // namespace mOffice2000
