// What the fuzz target and its seed maker share: a view that lays the page
// out, as the page drawing does, without drawing it.
#pragma once

#include "document/chart.h"
#include "document/layout.h"

namespace mavrel::fuzz {

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
            layoutChart(m_chart);
    }

    int calls = 0;

private:
    Chart& m_chart;
    bool m_layOut;
};

} // namespace mavrel::fuzz
