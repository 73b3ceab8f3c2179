#include "layout.h"

namespace mavrel {

namespace {
int trunc(double v) { return static_cast<int>(v); }
} // namespace

void layoutChart(Chart& chart)
{
    GridInfo& g = chart.info;
    // Columns and rows are at least 1 in every chart the editor holds; a guard
    // all the same, so that nothing divides by zero.
    const int cols = g.columns > 0 ? g.columns : 1;
    const int rows = g.rows > 0 ? g.rows : 1;
    g.barWidth = trunc((double(g.pageWidth) - 2.0 * g.sideMargin) / cols);
    g.barHeight = trunc((double(g.pageHeight) - g.topMargin - double(g.bottomMargin)) / rows);
    g.count = 0;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            if (g.count >= MaxBars)
                return;
            ++g.count;
            Bar& b = chart.bar(g.count);
            b.x = g.sideMargin + (c - 1) * (g.barWidth - 1);
            b.y = g.topMargin + (r - 1) * (g.barHeight - 1);
        }
    }
}

} // namespace mavrel
