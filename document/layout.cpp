#include "layout.h"

#include <algorithm>
#include <cstdint>

namespace mavrel {

namespace {
int trunc(double v) { return static_cast<int>(v); }
} // namespace

GridInfo laidOutGrid(GridInfo g)
{
    // Columns and rows are at least 1 in every chart the editor holds; a guard
    // all the same, so that nothing divides by zero.
    const int cols = g.columns > 0 ? g.columns : 1;
    const int rows = g.rows > 0 ? g.rows : 1;
    g.barWidth = trunc((double(g.pageWidth) - 2.0 * g.sideMargin) / cols);
    g.barHeight = trunc((double(g.pageHeight) - g.topMargin - double(g.bottomMargin)) / rows);
    g.count = static_cast<int>(std::min<std::int64_t>(std::int64_t(cols) * rows, MaxBars));
    return g;
}

void layoutChart(Chart& chart)
{
    GridInfo& g = chart.info;
    g = laidOutGrid(g);
    const int cols = g.columns > 0 ? g.columns : 1;
    for (int i = 1; i <= g.count; ++i) {
        Bar& b = chart.bar(i);
        b.x = g.sideMargin + ((i - 1) % cols) * (g.barWidth - 1);
        b.y = g.topMargin + ((i - 1) / cols) * (g.barHeight - 1);
    }
}

} // namespace mavrel
