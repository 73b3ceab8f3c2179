// What the page drawing needs of whatever it draws on. The page decides what
// goes where, in page pixels; a surface says how: the exact pixel Canvas for
// the screen and page images, or a QPainter for print, PDF, SVG and zoom.
//
// Conventions every surface keeps: rectangles cover columns x1..x2-1 and rows
// y1..y2-1, a line covers its start point and not its end point, boxes may be
// given by any two opposite corners, text cells stand on the brush colour.
// The pen is black and one page pixel wide; text is black.
#pragma once

#include <QPointF>
#include <QRgb>
#include <QSize>

#include <span>
#include <string_view>

namespace mavrel {

struct GlyphRun;

class PageSurface {
public:
    enum class PenStyle { Solid, DashDot };

    virtual ~PageSurface() = default;

    virtual void setBrushColor(QRgb c) = 0;
    virtual void setPenStyle(PenStyle s) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setBold(bool bold) = 0;

    // Outlined with the pen, filled with the brush.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    // The same area with the brush alone.
    virtual void fillRect(int x1, int y1, int x2, int y2) = 0;
    // From (x1, y1) included to (x2, y2) excluded.
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // A dot of a repeat sign, inside the box of two opposite corners. The
    // canvas draws the ellipse of the box, outlined with the pen and filled
    // with the brush: at the page's own resolution only its middle pixel is
    // inside, and takes a selected bar's cyan. Surfaces of finer resolution
    // fill the whole disc with the pen, where that pixel would open into a
    // ring.
    virtual void dot(int x1, int y1, int x2, int y2) = 0;
    // Windows-1252 text in DejaVu Sans, its cell's top-left corner at (x, y).
    virtual void textOut(int x, int y, std::string_view win1252) = 0;
    // The same glyphs without their cell: ink over whatever lies beneath.
    virtual void inkText(int x, int y, std::string_view win1252) = 0;
    // Width and height of the text's cell in the current font, and the
    // baseline's distance from the cell's top. Every surface lays a text out
    // alike, so that what is placed by them lands in the same place.
    virtual QSize textExtent(std::string_view win1252) = 0;
    virtual int textAscent() = 0;
    // A shape filled black, given at fractions of a pixel: the page pixel
    // (x, y) is the unit square from (x, y) to (x + 1, y + 1), and is inked
    // when its middle lies inside the shape. The shape is one or more closed
    // outlines, one after the other in `points`, `sizes` saying how many
    // points each has (all of them are one outline when it is empty); inside
    // is where they wind round a point other than zero times, so that an
    // outline turned the other way cuts a hole. Signs drawn as engraved,
    // thick and thin, are made of these.
    virtual void polygon(std::span<const QPointF> points, std::span<const int> sizes) = 0;
    // A run of a typeset chord's glyphs, its pen position at `origin` (page
    // pixels, fractions allowed), black and smoothed, over whatever lies
    // beneath.
    virtual void glyphRun(QPointF origin, const GlyphRun& run) = 0;

protected:
    PageSurface() = default;
    PageSurface(const PageSurface&) = default;
    PageSurface& operator=(const PageSurface&) = default;
};

} // namespace mavrel
