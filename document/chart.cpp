#include "chart.h"

#include "layout.h"

namespace mavrel {

Bar blankBar()
{
    Bar bar{};
    bar.division = 1;
    bar.shown = 1;
    return bar;
}

void resetChart(Chart& chart)
{
    for (Bar& c : chart.bars) {
        for (Chord& a : c.chords) {
            a.root = 0;
            a.quality.clear();
        }
        c.division = 1;
        c.left = c.right = c.top = c.bottom = 0;
        c.shown = 1;
    }
    GridInfo& g = chart.info;
    g.labelCount = 0;
    g.pageWidth = DefaultPageWidth;
    g.pageHeight = DefaultPageHeight;
    g.topMargin = 150;
    g.bottomMargin = 70;
    g.sideMargin = 70;
    g.columns = 4;
    g.rows = 8;
    g.fontSize = 10;
    g.bold = 1;
    chart.song = {};
    layoutChart(chart);
}

} // namespace mavrel
