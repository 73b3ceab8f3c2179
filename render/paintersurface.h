// The page drawn as vectors on a QPainter, in page coordinates: one unit is
// one page pixel (1/96 inch at 100 %), whatever the painter's device and
// transform. Lines stay lines and text stays text, so a printer or a PDF gets
// them at its own resolution, in the places the Canvas gives their pixels: a
// pixel of the canvas is the unit square to its lower right, and each shape
// covers the squares of the pixels the canvas sets.
#pragma once

#include "pagesurface.h"

#include <QPen>
#include <QRawFont>
#include <QRectF>
#include <QSize>

#include <cstdint>
#include <memory>
#include <unordered_map>

class QPainter;

namespace mavrel {

class GlyphCache;

class PainterSurface final : public PageSurface {
public:
    PainterSurface();
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    // Draws on `painter` until end(), inside the page's rectangle (0, 0) to
    // `page`: nothing reaches past it. The painter's state is saved here and
    // restored by end(). Antialiasing is the painter's to choose: pictures
    // look smoother with it, and a page redraws faster without it. Text
    // layouts are kept from one drawing to the next.
    void begin(QPainter& painter, QSize page);
    void end();

    void setBrushColor(QRgb c) override { m_brush = c | 0xFF000000u; }
    void setPenStyle(PenStyle s) override { m_dashed = s == PenStyle::DashDot; }
    void setFontSize(int points) override { m_fontSize = points; }
    void setBold(bool bold) override { m_bold = bold; }

    void rectangle(int x1, int y1, int x2, int y2) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    void line(int x1, int y1, int x2, int y2) override;
    void dot(int x1, int y1, int x2, int y2) override;
    void textOut(int x, int y, std::string_view win1252) override;
    void inkText(int x, int y, std::string_view win1252) override;
    QSize textExtent(std::string_view win1252) override;
    int textAscent() override;
    void polygon(std::span<const QPointF> points, std::span<const int> sizes) override;
    void glyphRun(QPointF origin, const GlyphRun& run) override;

private:
    void drawText(int x, int y, std::string_view win1252, bool onCell);
    // Fills wait for the next shape: a rectangle of the same area and brush
    // covers them, and then they are not drawn.
    void fill(const QRectF& r, QRgb colour);
    void drawPendingFill();
    void setBrush(QRgb colour);
    // A line of the current pen from the middle of one pixel to the middle of
    // another, both covered whole.
    void stroke(QPointF first, QPointF last);
    const QRawFont& rawFont(int pixels, bool bold);

    QPainter* m_painter = nullptr;
    QRectF m_page;
    // The page and a margin: shapes are cut to it before the painter sees
    // them, so that a hostile chart's coordinates never reach a rasteriser's
    // fixed-point range, and the cut edges lie outside the page.
    QRectF m_bounds;
    // The SVG engine writes <text> only for text given as characters; it
    // turns positioned glyphs into paths.
    bool m_textAsCharacters = false;
    // The raster engine fills fastest without a pen. The PDF engine restarts
    // its whole graphics state at each change between a pen and none, a
    // hundred bytes each time: on any engine but the raster one every shape
    // keeps a pen, and a fill is outlined with one of its own colour.
    bool m_penlessFills = true;
    QPen m_solidPen;
    QPen m_dashPen;
    bool m_dashed = false;
    QRgb m_brush = 0xFFFFFFFFu;
    int m_fontSize = 8;
    bool m_bold = false;
    QRectF m_pendingFill;
    QRgb m_pendingColour = 0;
    std::unique_ptr<GlyphCache> m_layouts;
    std::unordered_map<std::uint32_t, QRawFont> m_fonts;
};

} // namespace mavrel
