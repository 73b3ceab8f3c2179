// The page of a chart: layout, drawing and hit-testing.
#pragma once

#include "canvas.h"
#include "document/chart.h"
#include "document/chartfile.h"
#include "document/editing.h"
#include "document/layout.h"

#include <QImage>
#include <QString>

#include <memory>

namespace mavrel {

// The bar under a page point (1..laid-out count, or -1) and its region
// (1 left, 2 top, 3 bottom, 4 right, or -1).
void hitTest(const Chart& chart, int X, int Y, int& bar, int& region);

class Page {
public:
    // The page image, page width x page height, in Format_RGB32. Null until the
    // first draw after a discard.
    const QImage& image() const { return m_image; }
    void discard() { m_image = QImage(); }

    // Lays the chart out and redraws the whole page.
    void draw(Chart& chart, const Selection& selection, bool layoutMode);
    // One shown bar, at the place the layout gave it, on the current brush colour.
    void drawBar(const Bar bar, int fontSize, std::uint8_t bold, int W, int H);
    // Every live label, after the bars.
    void drawLabels(const Chart& chart);

    Canvas& canvas() { return m_canvas; }

private:
    QImage m_image;
    Canvas m_canvas;
};

// A chart shown on a page with no window: what the command line and the
// print preview use to draw a chart. It answers New and Load as the main
// window would, without controls.
class OffscreenChartView : public ChartView {
public:
    explicit OffscreenChartView(Chart& chart) : m_chart(chart) {}
    void setRowsSpinner(int) override {}
    void setColumnsSpinner(int) override {}
    void discardPage() override { m_page.discard(); }
    void pressChordTool() override;
    void redraw() override { m_page.draw(m_chart, m_selection, false); }

    Page& page() { return m_page; }
    const QImage& image() const { return m_page.image(); }

private:
    Chart& m_chart;
    Page m_page;
    Selection m_selection;
};

// A chart of its own with its page, apart from the editor's: a new chart, then
// whatever file is read into it, drawn as the editor would show it after
// start-up and "Ouvrir". The command line and the print preview use it.
class StandaloneChart {
public:
    StandaloneChart();
    FileResult load(const QString& fileName);
    FileResult save(const QString& fileName) const;
    Chart& chart() { return *m_chart; }
    OffscreenChartView& view() { return m_view; }
    const QImage& image() const { return m_view.image(); }

private:
    std::unique_ptr<Chart> m_chart;   // 48 KB: kept off the stack
    OffscreenChartView m_view;
};

} // namespace mavrel
