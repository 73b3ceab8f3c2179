// What the fuzz target and its seed maker share: a view that lays the page
// out as the page drawing does, without Qt.
#pragma once

#include "document/chart.h"

namespace mavrel::fuzz {

// Bar size truncated, neighbours sharing a pixel of frame. Goes through at()
// so that a grid larger than the bar array stops the run at once.
inline void layOut(Chart& chart)
{
    TGrilleInfo& g = chart.info;
    g.barWidth = (g.pageWidth - 2 * g.sideMargin) / g.columns;
    g.barHeight = (g.pageHeight - g.topMargin - g.bottomMargin) / g.rows;
    g.count = g.columns * g.rows;
    for (int n = 1; n <= g.count; ++n) {
        const int r = (n - 1) / g.columns + 1, c = (n - 1) % g.columns + 1;
        TCase& bar = chart.bars.at(static_cast<std::size_t>(n - 1));
        bar.x = g.sideMargin + (c - 1) * (g.barWidth - 1);
        bar.y = g.topMargin + (r - 1) * (g.barHeight - 1);
    }
}

class LayoutView : public ChartView {
public:
    // Without layOut, the chart keeps the bar size and positions it was given.
    explicit LayoutView(Chart& chart, bool layOut = true) : m_chart(chart), m_layOut(layOut) {}
    void setRowsSpinner(int) override { ++calls; }
    void setColumnsSpinner(int) override { ++calls; }
    void discardPage() override { ++calls; }
    void pressChordTool() override { ++calls; }
    void redraw() override
    {
        ++calls;
        if (m_layOut)
            fuzz::layOut(m_chart);
    }

    int calls = 0;

private:
    Chart& m_chart;
    bool m_layOut;
};

} // namespace mavrel::fuzz
