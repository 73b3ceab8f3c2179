#include "chart.h"

namespace mavrel {

Bar blankBar()
{
    Bar bar{};
    bar.division = 1;
    bar.shown = 1;
    return bar;
}

void newChart(Chart& chart, ChartView& view)
{
    // Accidental flags, positions and spare bytes are left as they were.
    for (Bar& c : chart.bars) {
        for (Chord& a : c.chords) {
            a.root = 0;
            a.quality.clear();
        }
        c.division = 1;
        c.left = c.right = c.top = c.bottom = 0;
        c.shown = 1;
    }
    // Label records keep their bytes; only the count forgets them.
    chart.info.count = 0;
    chart.info.labelCount = 0;
    chart.info.pageWidth = chart.defaultPageWidth;
    chart.info.pageHeight = chart.defaultPageHeight;
    chart.info.topMargin = 150;
    chart.info.bottomMargin = 70;
    chart.info.sideMargin = 70;
    chart.info.columns = 4;
    chart.info.rows = 8;
    view.setRowsSpinner(8);
    view.setColumnsSpinner(4);
    chart.info.fontSize = 10;
    chart.info.bold = 1;
    view.discardPage();
    view.pressChordTool();
    view.redraw();
}

} // namespace mavrel
