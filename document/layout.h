// The grid's layout: bar size from the page, margins and grid size, and each
// laid-out bar's place on the page.
#pragma once

#include "chart.h"

namespace mavrel {

// Gives every bar of the grid its place and writes the bar size and the
// laid-out count into the layout block. Sizes are truncated toward zero, and
// neighbouring bars share one pixel of frame.
void layoutChart(Chart& chart);

// The layout block as layoutChart() leaves it (bar size and laid-out count),
// for readers that need the grid's measures and not the bars' places.
GridInfo laidOutGrid(GridInfo info);

} // namespace mavrel
