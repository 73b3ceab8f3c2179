#include "canvas.h"

#include "chordtype.h"

#include "glyphcache.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <QGlyphRun>
#include <QPainter>
#include <new>
#include <string>

namespace mavrel {

namespace {
constexpr QRgb Black = 0xFF000000u;
// The largest text the page draws; bigger sizes from a file are drawn at it.
constexpr int MaxPoints = 500;
// Cosmetic dash-dot pattern: 9 on, 6 off, 3 on, 6 off.
constexpr bool dashDotOn(std::int64_t step)
{
    const std::int64_t i = step % 24;
    return i < 9 || (i >= 15 && i < 18);
}
// Outlines of three points at least, which the sizes, if given, share out
// exactly.
bool wellFormed(std::span<const QPointF> points, std::span<const int> sizes)
{
    if (sizes.empty())
        return points.size() >= 3;
    std::size_t total = 0;
    for (int n : sizes) {
        if (n < 3)
            return false;
        total += std::size_t(n);
    }
    return total == points.size();
}
// Shapes no larger than this, in pixels, have their runs kept; a few hundred
// kinds of them are as many as a page of signs needs.
constexpr double MaxCachedShape = 512;
constexpr std::size_t MaxCachedShapes = 1024;
// Boxes may be given by any two opposite corners.
void normalize(std::int64_t& x1, std::int64_t& y1, std::int64_t& x2, std::int64_t& y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
}
} // namespace

int effectivePoints(int points)
{
    // A size of 0 asks for the default face size; a negative one is taken as
    // its magnitude, as the font would.
    if (points == 0)
        return 8;
    const long p = std::labs(static_cast<long>(points));
    return static_cast<int>(std::min<long>(p, MaxPoints));
}

int pointsToPixels(int points)
{
    return (effectivePoints(points) * 96 + 36) / 72;
}

Canvas::Canvas() : m_glyphs(std::make_unique<GlyphCache>()) {}
Canvas::~Canvas() = default;

bool Canvas::begin()
{
    if (!m_image || m_image->isNull())
        return false;
    m_bits = m_image->bits();   // detaches a shared image, once
    if (!m_bits)
        throw std::bad_alloc();
    m_stride = m_image->bytesPerLine();
    m_width = m_image->width();
    m_height = m_image->height();
    return true;
}

void Canvas::plot(std::int64_t x, std::int64_t y, QRgb c)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    row(int(y))[x] = c;
}

void Canvas::span(std::int64_t y, std::int64_t x1, std::int64_t x2, QRgb c)
{
    if (y < 0 || y >= m_height)
        return;
    x1 = std::max<std::int64_t>(x1, 0);
    x2 = std::min<std::int64_t>(x2, m_width);
    if (x1 >= x2)
        return;
    QRgb* r = row(int(y));
    // White, the colour of nearly every fill, has four equal bytes: memset
    // is vectorised where the plain loop is not, and the loop made clearing
    // the page alone cost four memsets of it.
    const unsigned char b = c & 0xFF;
    if (c == b * 0x01010101u)
        std::memset(r + x1, b, std::size_t(x2 - x1) * sizeof(QRgb));
    else
        std::fill(r + x1, r + x2, c);
}

void Canvas::fill(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, QRgb c)
{
    normalize(x1, y1, x2, y2);
    const std::int64_t top = std::max<std::int64_t>(y1, 0);
    const std::int64_t bottom = std::min<std::int64_t>(y2, m_height);
    for (std::int64_t y = top; y < bottom; ++y)
        span(y, x1, x2, c);
}

void Canvas::fillRect(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    fill(x1, y1, x2, y2, m_brush);
}

void Canvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    std::int64_t l = x1, t = y1, r = x2, b = y2;
    normalize(l, t, r, b);
    if (r == l || b == t)
        return;
    fill(l + 1, t + 1, r - 1, b - 1, m_brush);
    span(t, l, r, Black);
    span(b - 1, l, r, Black);
    const std::int64_t top = std::max<std::int64_t>(t + 1, 0);
    const std::int64_t bottom = std::min<std::int64_t>(b - 1, m_height);
    for (std::int64_t y = top; y < bottom; ++y) {
        plot(l, y, Black);
        plot(r - 1, y, Black);
    }
}

void Canvas::line(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    const std::int64_t w = m_width, h = m_height;
    // Both ends on one outer side of the image: nothing between them shows.
    if ((x1 < 0 && x2 < 0) || (y1 < 0 && y2 < 0) || (x1 >= w && x2 >= w) || (y1 >= h && y2 >= h))
        return;
    // Bresenham from the start point, stopping before the end point.
    const std::int64_t dx = std::abs(std::int64_t(x2) - x1);
    const std::int64_t dy = -std::abs(std::int64_t(y2) - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;

    // Every step moves along the longer side, and the error term stays in a
    // window one side wide, which fixes the steps taken along the shorter
    // side: the walk can start at the first step whose position along the
    // longer side lies on the image, and end after the last.
    const bool alongX = dx >= -dy;
    const std::int64_t steps = alongX ? dx : -dy;
    const std::int64_t start = alongX ? x1 : y1;
    const std::int64_t size = alongX ? w : h;
    const int direction = alongX ? sx : sy;
    const std::int64_t first = std::max<std::int64_t>(0, direction > 0 ? -start : start - (size - 1));
    const std::int64_t last = std::min<std::int64_t>(steps, direction > 0 ? size - start : start + 1);
    if (first >= last)
        return;
    using Wide = __int128;
    std::int64_t alongXSteps, alongYSteps;
    if (alongX) {
        alongXSteps = first;
        alongYSteps = std::int64_t((Wide(dx) - 2 * Wide(first) * dy) / (2 * Wide(dx)));
    } else {
        alongYSteps = first;
        alongXSteps = std::int64_t((2 * Wide(first) * dx - dy) / (-2 * Wide(dy)));
    }
    std::int64_t x = x1 + sx * alongXSteps, y = y1 + sy * alongYSteps;
    std::int64_t err = std::int64_t(Wide(dx) + dy + Wide(alongXSteps) * dy + Wide(alongYSteps) * dx);

    const bool dashed = m_penStyle == PenStyle::DashDot;
    for (std::int64_t step = first; step < last; ++step) {
        if ((!dashed || dashDotOn(step)) && x >= 0 && y >= 0 && x < w && y < h)
            row(int(y))[x] = Black;
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void Canvas::ellipse(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    std::int64_t l = x1, t = y1, r = x2, b = y2;
    normalize(l, t, r, b);
    const std::int64_t w = r - l, h = b - t;
    if (w <= 0 || h <= 0)
        return;
    // A pixel belongs to the ellipse when its centre lies inside the ellipse
    // inscribed in the box; those with a neighbour outside form the outline.
    const double rx = double(w) / 2.0, ry = double(h) / 2.0;
    auto inside = [&](std::int64_t px, std::int64_t py) {
        if (px < 0 || py < 0 || px >= w || py >= h)
            return false;
        const double ex = (double(px) + 0.5 - rx) / rx, ey = (double(py) + 0.5 - ry) / ry;
        return ex * ex + ey * ey <= 1.0;
    };
    // Only the box's pixels that lie on the image are looked at.
    const std::int64_t firstRow = std::max<std::int64_t>(0, -t);
    const std::int64_t lastRow = std::min<std::int64_t>(h, m_height - t);
    const std::int64_t firstColumn = std::max<std::int64_t>(0, -l);
    const std::int64_t lastColumn = std::min<std::int64_t>(w, m_width - l);
    for (std::int64_t py = firstRow; py < lastRow; ++py) {
        for (std::int64_t px = firstColumn; px < lastColumn; ++px) {
            if (!inside(px, py))
                continue;
            const bool edge = !inside(px - 1, py) || !inside(px + 1, py)
                || !inside(px, py - 1) || !inside(px, py + 1);
            plot(l + px, t + py, edge ? Black : m_brush);
        }
    }
}

QSize Canvas::textExtent(std::string_view win1252)
{
    const GlyphCache::Text& t = m_glyphs->text(pointsToPixels(m_fontSize), m_bold, win1252);
    return {t.width, t.height};
}

int Canvas::textAscent()
{
    return m_glyphs->text(pointsToPixels(m_fontSize), m_bold, {}).ascent;
}

void Canvas::textOut(int x, int y, std::string_view win1252)
{
    drawText(x, y, win1252, true);
}

void Canvas::inkText(int x, int y, std::string_view win1252)
{
    drawText(x, y, win1252, false);
}

void Canvas::drawText(int x, int y, std::string_view win1252, bool onCell)
{
    if (!begin())
        return;
    const int pixels = pointsToPixels(m_fontSize);
    // No glyph reaches further than four times the font's size from its pen
    // position: a text starting that far past the image shows nothing, and a
    // glyph that far outside it is never rasterised.
    const std::int64_t reach = 4 * std::int64_t(pixels);
    if (x - reach >= m_width || y - reach >= m_height)
        return;
    GlyphCache::Text& t = m_glyphs->text(pixels, m_bold, win1252);
    const std::int64_t right = std::int64_t(x) + t.width, bottom = std::int64_t(y) + t.height;
    if (onCell)
        fill(x, y, right, bottom, m_brush);
    // Ink further than the font's size outside the cell is not drawn.
    const std::int64_t clipLeft = std::int64_t(x) - pixels, clipRight = right + pixels;
    const std::int64_t clipTop = std::int64_t(y) - pixels, clipBottom = bottom + pixels;
    for (GlyphCache::Placed& p : t.glyphs) {
        const std::int64_t gx = std::int64_t(x) + p.x;
        const std::int64_t gy = std::int64_t(y) + p.y;
        if (gx + reach <= 0 || gx - reach >= m_width || gy + reach <= 0 || gy - reach >= m_height)
            continue;
        const GlyphCache::Glyph& g = m_glyphs->glyph(t, p);
        if (gx + g.right <= 0 || gx + g.left >= m_width || gy + g.bottom <= 0 || gy + g.top >= m_height)
            continue;
        for (const GlyphCache::Glyph::Run& r : g.runs) {
            const std::int64_t ry = gy + r.y;
            if (ry >= clipTop && ry < clipBottom)
                span(ry, std::max(gx + r.x1, clipLeft), std::min(gx + r.x2, clipRight), Black);
        }
    }
}

void Canvas::scanPolygon(std::span<const QPointF> points, std::span<const int> sizes, QPointF shift,
                         std::int64_t firstRow, std::int64_t endRow,
                         const std::function<void(std::int64_t, double, double)>& fill)
{
    // The edges from top to bottom, each counting for the rows whose middle
    // lies from its top included to its bottom excluded, so that a vertex
    // is crossed once.
    m_edges.clear();
    std::size_t start = 0;
    for (std::size_t k = 0; k < std::max<std::size_t>(sizes.size(), 1); ++k) {
        const std::size_t n = sizes.empty() ? points.size() : std::size_t(sizes[k]);
        for (std::size_t i = 0; i < n; ++i) {
            const QPointF a = points[start + i] - shift;
            const QPointF b = points[start + (i + 1) % n] - shift;
            if (a.y() == b.y())
                continue;
            const bool down = a.y() < b.y();
            const QPointF& top = down ? a : b;
            const QPointF& bottom = down ? b : a;
            m_edges.push_back({top.y(), bottom.y(), top.x(), (bottom.x() - top.x()) / (bottom.y() - top.y()),
                               down ? 1 : -1});
        }
        start += n;
    }
    std::sort(m_edges.begin(), m_edges.end(), [](const Edge& l, const Edge& r) { return l.top < r.top; });
    std::size_t next = 0;
    m_active.clear();
    for (std::int64_t y = firstRow; y < endRow; ++y) {
        const double middle = double(y) + 0.5;
        while (next < m_edges.size() && m_edges[next].top <= middle)
            m_active.push_back(next++);
        std::erase_if(m_active, [&](std::size_t e) { return m_edges[e].bottom <= middle; });
        m_crossings.clear();
        for (std::size_t e : m_active) {
            const Edge& edge = m_edges[e];
            m_crossings.emplace_back(edge.x + (middle - edge.top) * edge.slope, edge.direction);
        }
        std::sort(m_crossings.begin(), m_crossings.end(),
                  [](const auto& l, const auto& r) { return l.first < r.first; });
        int winding = 0;
        double start = 0;
        for (const auto& [x, direction] : m_crossings) {
            const int before = winding;
            winding += direction;
            if (before == 0 && winding != 0)
                start = x;
            else if (before != 0 && winding == 0)
                fill(y, start, x);
        }
    }
}

void Canvas::polygon(std::span<const QPointF> points, std::span<const int> sizes)
{
    if (!wellFormed(points, sizes) || !begin())
        return;
    double left = points[0].x(), right = left, top = points[0].y(), bottom = top;
    for (const QPointF& p : points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return;
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    if (right < 0 || bottom < 0 || left > m_width || top > m_height)
        return;
    // Pixels whose middle lies in [from, to), on the image or next to it.
    auto pixels = [](double from, double to, double size) {
        return std::pair(std::int64_t(std::clamp(std::ceil(from - 0.5), -1.0, size + 1)),
                         std::int64_t(std::clamp(std::ceil(to - 0.5), -1.0, size + 1)));
    };
    if (right - left > MaxCachedShape || bottom - top > MaxCachedShape) {
        const auto [first, end] = pixels(top, bottom, m_height);
        scanPolygon(points, sizes, QPointF(), std::max<std::int64_t>(first, 0), std::min<std::int64_t>(end, m_height),
                    [&](std::int64_t y, double from, double to) {
                        const auto [x1, x2] = pixels(from, to, m_width);
                        span(y, x1, x2, Black);
                    });
        return;
    }
    // A sign drawn on many bars is the same outline moved by whole pixels:
    // its runs are found once, from the corner of its box.
    const QPointF corner(std::floor(left), std::floor(top));
    m_key.resize(points.size() * sizeof(QPointF) + sizes.size_bytes());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF p = points[i] - corner;
        std::memcpy(m_key.data() + i * sizeof(QPointF), &p, sizeof p);
    }
    if (!sizes.empty())
        std::memcpy(m_key.data() + points.size() * sizeof(QPointF), sizes.data(), sizes.size_bytes());
    auto found = m_shapes.find(m_key);
    if (found == m_shapes.end()) {
        if (m_shapes.size() >= MaxCachedShapes)
            m_shapes.clear();
        std::vector<Run> runs;
        const auto [first, end] = pixels(top - corner.y(), bottom - corner.y(), MaxCachedShape);
        scanPolygon(points, sizes, corner, first, end, [&](std::int64_t y, double from, double to) {
            const auto [x1, x2] = pixels(from, to, MaxCachedShape);
            if (x1 < x2)
                runs.push_back({std::int32_t(y), std::int32_t(x1), std::int32_t(x2)});
        });
        found = m_shapes.emplace(m_key, std::move(runs)).first;
    }
    const std::int64_t cx = std::int64_t(corner.x()), cy = std::int64_t(corner.y());
    for (const Run& r : found->second)
        span(cy + r.y, cx + r.x1, cx + r.x2, Black);
}

void Canvas::focusRect(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    std::int64_t l = x1, t = y1, r = x2, b = y2;
    normalize(l, t, r, b);
    if (r == l || b == t)
        return;
    auto invert = [&](std::int64_t x, std::int64_t y) {
        if ((x + y) % 2 != 0 || x < 0 || y < 0 || x >= m_width || y >= m_height)
            return;
        QRgb& p = row(int(y))[x];
        p ^= 0x00FFFFFFu;
    };
    const std::int64_t cx1 = std::max<std::int64_t>(l, -1), cx2 = std::min<std::int64_t>(r, m_width + 1);
    for (std::int64_t x = cx1; x < cx2; ++x) {
        invert(x, t);
        if (b - 1 != t)
            invert(x, b - 1);
    }
    const std::int64_t cy1 = std::max<std::int64_t>(t + 1, -1);
    const std::int64_t cy2 = std::min<std::int64_t>(b - 1, m_height + 1);
    for (std::int64_t y = cy1; y < cy2; ++y) {
        invert(l, y);
        if (r - 1 != l)
            invert(r - 1, y);
    }
}

void Canvas::glyphRun(QPointF origin, const GlyphRun& run)
{
    if (!m_image || m_image->isNull() || run.indexes.isEmpty())
        return;
    // As for text: no glyph reaches further than four times its size.
    const double reach = 4.0 * run.pixels;
    if (!std::isfinite(origin.x()) || !std::isfinite(origin.y()) || origin.x() + reach < 0 || origin.y() + reach < 0
        || origin.x() - reach > m_width || origin.y() - reach > m_height)
        return;
    QGlyphRun glyphs;
    glyphs.setRawFont(rawPageFont(run.pixels, run.bold));
    glyphs.setGlyphIndexes(run.indexes);
    glyphs.setPositions(run.positions);
    QPainter painter(m_image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.drawGlyphRun(origin, glyphs);
}

} // namespace mavrel
