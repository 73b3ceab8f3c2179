// A drawing surface over a QImage with the page's drawing conventions:
// rectangles exclude their right and bottom edges, a line includes its start
// point and not its end point, text cells stand on the brush colour, and the
// focus rectangle inverts a dotted outline. Everything is drawn here pixel by
// pixel (text from cached glyph runs), so a page comes out the same on every
// machine with the same fonts, whatever the screen. Any coordinates are
// accepted: sums are taken in 64 bits and everything is clipped to the image.
#pragma once

#include "pagesurface.h"

#include <QImage>
#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mavrel {

class GlyphCache;

// Pixel height of the font for a size in points, at 96 dots per inch as the
// page has always been drawn. Sizes of 0 or less (possible from a file) and
// absurdly large ones are brought into a drawable range.
int pointsToPixels(int points);
// The size in points that a font of `points` reports once drawable.
int effectivePoints(int points);

class Canvas final : public PageSurface {
public:
    Canvas();
    ~Canvas() override;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The image drawn on (Format_RGB32); the canvas does not own it.
    void setImage(QImage* image) { m_image = image; }
    QImage* image() const { return m_image; }

    void setBrushColor(QRgb c) override { m_brush = c | 0xFF000000u; }
    QRgb brushColor() const { return m_brush; }
    void setPenStyle(PenStyle s) override { m_penStyle = s; }
    PenStyle penStyle() const { return m_penStyle; }
    void setFontSize(int points) override { m_fontSize = points; }
    int fontSize() const { return m_fontSize; }
    void setBold(bool bold) override { m_bold = bold; }
    bool bold() const { return m_bold; }

    // Columns x1..x2-1, rows y1..y2-1; a pixel of the ellipse is one whose
    // centre lies inside the ellipse inscribed in the box.
    void rectangle(int x1, int y1, int x2, int y2) override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    void line(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2);
    void dot(int x1, int y1, int x2, int y2) override { ellipse(x1, y1, x2, y2); }
    void textOut(int x, int y, std::string_view win1252) override;
    void inkText(int x, int y, std::string_view win1252) override;
    QSize textExtent(std::string_view win1252) override;
    int textAscent() override;
    void polygon(std::span<const QPointF> points, std::span<const int> sizes) override;
    void glyphRun(QPointF origin, const GlyphRun& run) override;
    // A dotted outline drawn by inverting pixels: drawing it twice restores them.
    void focusRect(int x1, int y1, int x2, int y2);

private:
    // Takes the image's pixels for one drawing call: QImage::scanLine() checks
    // for sharing at every call, which cost a third of a full page when it
    // was asked per pixel and per row. False when there is nothing to draw on;
    // throws std::bad_alloc when a shared image cannot be copied.
    bool begin();
    QRgb* row(int y) const { return reinterpret_cast<QRgb*>(m_bits + std::ptrdiff_t(y) * m_stride); }
    void plot(std::int64_t x, std::int64_t y, QRgb c);
    // x1 included, x2 excluded, clipped.
    void span(std::int64_t y, std::int64_t x1, std::int64_t x2, QRgb c);
    // Columns x1..x2-1 of rows y1..y2-1, clipped; corners in either order.
    void fill(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, QRgb c);
    void drawText(int x, int y, std::string_view win1252, bool onCell);
    // Calls `fill` with the row and the span [from, to) of each run of the
    // shape moved by -`shift`, for rows firstRow..endRow-1.
    void scanPolygon(std::span<const QPointF> points, std::span<const int> sizes, QPointF shift,
                     std::int64_t firstRow, std::int64_t endRow,
                     const std::function<void(std::int64_t, double, double)>& fill);

    QImage* m_image = nullptr;
    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_width = 0;
    int m_height = 0;
    QRgb m_brush = 0xFFFFFFFFu;
    PenStyle m_penStyle = PenStyle::Solid;
    int m_fontSize = 8;
    bool m_bold = false;
    std::unique_ptr<GlyphCache> m_glyphs;
    // A polygon's edges, those that cross the row being filled and where,
    // kept from one polygon to the next.
    struct Edge {
        double top, bottom;
        double x;                 // at the top
        double slope;             // x a row further down
        int direction;            // 1 downwards, -1 upwards
    };
    std::vector<Edge> m_edges;
    std::vector<std::size_t> m_active;
    std::vector<std::pair<double, int>> m_crossings;
    // The runs of small shapes, by their outlines from the corner of their box.
    struct Run {
        std::int32_t y, x1, x2;
    };
    std::unordered_map<std::string, std::vector<Run>> m_shapes;
    std::string m_key;
};

} // namespace mavrel
