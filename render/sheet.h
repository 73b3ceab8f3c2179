// The printed sheet: up to eight chart pages composed onto one bitmap, each
// page turned upright or on its side as the layout wants it. No window here:
// the print preview and the command line compose with the same code.
#pragma once

#include "document/chart.h"
#include "document/parts.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <array>

class QPainter;
class QRectF;

namespace mavrel {

// Every bitmap of the sheet: three bytes per pixel, blue, green, red.
inline constexpr QImage::Format SheetFormat = QImage::Format_BGR888;

// Turns a bitmap a quarter turn in place, swapping its width and height: 90
// clockwise, any other angle counterclockwise. The result has 24 bits: a page
// image is read as it is, a bitmap of another depth is converted first. False,
// and the bitmap unchanged, when there is not enough memory for the turn.
bool rotateQuarterTurn(QImage& bitmap, int angle);

// Copies the whole of `source` into `target` of `dest`, scaled to the
// rectangle's size without keeping proportions and without smoothing: a
// larger rectangle repeats pixels; a smaller one gives each pixel the darkest
// of the pixels it covers, channel by channel, so that one-pixel black lines
// and small chord symbols survive the reduction to the preview. A rectangle
// of the source's own size is copied row by row. The source is brought to
// the destination's format, which must be 24 or 32 bits, a row at a time.
// False when there was not enough memory to convert a row.
bool stretchDraw(QImage& dest, const QRect& target, const QImage& source);

// Layouts are the item indices of the "Par :" box: 0, 1, 2, 3 for 1, 2, 4
// and 8 charts per sheet; any other index means no item is selected.
inline constexpr int SheetPositions = 8;
int layoutPositionCount(int layout);            // 1, 2, 4, 8, or 0
int layoutFromCount(int chartsPerSheet);        // 1 -> 0, ..., 8 -> 3, or -1
QSize sheetSize(int layout);                    // empty for no layout
// Position 1..count of the layout on a sheet of width W and height H; right
// and bottom exclusive.
QRect sheetRect(int layout, int position, int W, int H);

// The quarter turn (90 clockwise, 270 counterclockwise) that a page of that
// size needs to lie as the layout shows its pages, upright or on their side;
// 0 when it already does or is square.
int pageTurn(int layout, QSize page);

// The position a click at (x, y) on the preview image of width w and height
// h addresses, or 0 when no layout is selected.
int sheetPositionAt(int layout, int x, int y,
                    int w = DefaultPageWidth, int h = DefaultPageHeight);

// The charts of one sheet: its layout, and for each position the layout
// uses, a chart, or null for a blank page.
struct SheetCharts {
    int layout = 0;
    std::array<const Chart*, SheetPositions> charts{};
    // Every chart drawn as this instrument's part.
    Instrument instrument = Instrument::Concert;
    // With a concert sheet, each position's own part: a songbook gives each
    // song the part its set list asks for.
    std::array<Instrument, SheetPositions> parts{};
};

// Draws the sheet as vectors over `area` of the painter: each chart's page,
// without selection or guides, turned and stretched into its position as
// Sheet::compose places its bitmap, so that paper shows what the preview
// shows. A blank page is white with a one-pixel black border.
void paintSheet(QPainter& painter, const QRectF& area, const SheetCharts& sheet);

class Sheet {
public:
    Sheet() { reset(); }

    // Eight blank pages (white, one-pixel black border) of the default page
    // size, an empty sheet and a white preview.
    void reset();

    // Positions 1..8. Each keeps the size of the page last copied into it and
    // every rotation the compositions gave it.
    QImage& pageAt(int position) { return m_pages[static_cast<std::size_t>(position - 1)]; }
    const QImage& pageAt(int position) const
    {
        return m_pages[static_cast<std::size_t>(position - 1)];
    }
    // Replaces a position by a copy of `page`, unscaled, converted to 24 bits.
    // False, and the position unchanged, when there is not enough memory.
    bool copyPage(int position, const QImage& page);

    // Composes the sheet for the layout and scales it into the preview. With
    // no layout the sheet keeps its size and content and is only redrawn into
    // the preview. False when memory ran short: the sheet or the preview is
    // then null or incomplete.
    bool compose(int layout);
    // Draws `page` into a position of the sheet composed last for `layout`,
    // turned and scaled as compose() would, without keeping it: a sheet composed
    // once from large pages holds one of them at a time. The preview is not
    // redrawn. False when there was not enough memory.
    bool placePage(int layout, int position, const QImage& page);

    const QImage& composed() const { return m_composed; }
    const QImage& preview() const { return m_preview; }

private:
    std::array<QImage, SheetPositions> m_pages;
    QImage m_composed;
    QImage m_preview;
};

} // namespace mavrel
