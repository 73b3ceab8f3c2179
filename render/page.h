// The page of a chart: layout, drawing and hit-testing.
#pragma once

#include "canvas.h"
#include "document/chart.h"
#include "document/parts.h"
#include "document/editing.h"
#include "document/layout.h"

#include <QImage>
#include <QSize>

#include <memory>

class QPainter;

namespace mavrel {

class PainterSurface;

// The bar under a page point (1..laid-out count, or -1) and its region
// (1 left, 2 top, 3 bottom, 4 right, or -1).
void hitTest(const Chart& chart, int X, int Y, int& bar, int& region);

// The page's size in pixels: the chart's, at least one pixel each way.
QSize pageSize(const Chart& chart);

// Draws the whole page of a chart on a surface of the page's size: the
// cleared page, every shown bar (cyan when selected) with the marks of the
// song's form over it (formmarks.h), then the labels but
// `hiddenLabel` (the one being edited in the box; 0 for none), then, with
// `guides`, the page-layout mode's margin guides. Drawing reads the chart and
// changes nothing: the chart comes laid out. Printed pages are drawn without
// a selection and without guides.
void drawPage(PageSurface& surface, const Chart& chart, const Selection& selection, bool guides,
              int hiddenLabel = 0);

// The page image of a chart, and the same page on any painter.
class Page {
public:
    Page();
    ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Page width x page height, in Format_RGB32; null before the first draw,
    // and after a draw that found not enough memory for the page.
    const QImage& image() const { return m_image; }

    // Redraws the page image, pixel for pixel on the canvas.
    void draw(const Chart& chart, const Selection& selection, bool guides, int hiddenLabel = 0);
    // Draws the page as vectors on `painter`, in page coordinates (one unit
    // a page pixel, whatever the painter's scale), inside the page's
    // rectangle. Keeps the text layouts for the next call: a view that
    // repaints at a zoom keeps one Page for it.
    void paint(QPainter& painter, const Chart& chart, const Selection& selection, bool guides,
               int hiddenLabel = 0);

    // The page as the editor shows it: drawn as vectors and smoothed, `scale`
    // times the page (1 at 100 %) on a screen of `ratio` device pixels a
    // pixel, into `picture`, whose memory is kept from one call to the next.
    // Null when there was not enough memory.
    void paintScreen(QImage& picture, const Chart& chart, const Selection& selection, bool guides, int hiddenLabel,
                     double scale, double ratio = 1.0);

    Canvas& canvas() { return m_canvas; }

private:
    QImage m_image;
    Canvas m_canvas;
    std::unique_ptr<PainterSurface> m_vectors;
};

// Page::paint on a page of its own, for a painter that draws a chart once.
void paintPage(QPainter& painter, const Chart& chart, const Selection& selection, bool guides,
               int hiddenLabel = 0);

// The instrument a part is for, written small in the page's top right-hand
// corner, in page coordinates; nothing for the concert part.
void paintPartMark(QPainter& painter, QSize page, Instrument instrument);
// The same, on a page image drawn at one pixel a page pixel.
void markPart(QImage& page, Instrument instrument);

// The most pixels of any picture drawn of a page: the largest page a chart
// file holds, one pixel a page pixel (400 MB).
inline constexpr qint64 MaxPicturePixels = qint64(10000) * 10000;

// The size of the picture of the page at `dpi` dots per inch (96 is one pixel
// a page pixel); no side falls below one pixel.
QSize pageImageSize(const Chart& chart, int dpi);

// Whether a picture of that size may be drawn at all.
inline bool pictureFits(QSize size) { return qint64(size.width()) * size.height() <= MaxPicturePixels; }

// The page drawn as vectors on a white picture of `dpi` dots per inch, without
// selection or guides, marked with the instrument of a part; null when the
// picture does not fit or there is not enough memory for it.
QImage paintPageImage(const Chart& chart, int dpi, Instrument instrument = Instrument::Concert);

// The same page drawn to fill a picture of `size` pixels: a thumbnail costs
// its own pixels, whatever the page's.
QImage paintPageImage(const Chart& chart, QSize size, Instrument instrument = Instrument::Concert);

// The chord size, in points, that a chart's bars are drawn at: the chart's
// own, unless its chords could not be read at it. Chords are drawn no larger
// in points than their bars are tall in pixels (capitals then about fill a
// bar), nor larger than makes the longest chord shown, reckoned n x size
// pixels wide for n characters, three bars wide.
int chordPoints(const Chart& chart);

// A chart of its own with its page, apart from the editor's: a new chart,
// drawn as the editor shows it once the caller has filled it. The page is
// drawn only when asked for.
class StandaloneChart {
public:
    StandaloneChart();
    Chart& chart() { return *m_chart; }
    // The page as the chart stands now; null when there was not enough
    // memory to draw it.
    const QImage& image();

private:
    std::unique_ptr<Chart> m_chart;   // 48 KB: kept off the stack
    Page m_page;
};

} // namespace mavrel
