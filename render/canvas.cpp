#include "canvas.h"

#include "document/win1252.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace mavrel {

namespace {
constexpr QRgb Black = 0xFF000000u;
// The largest text the page draws; bigger sizes from a file are drawn at it.
constexpr int MaxPoints = 500;
// Cached texts kept before the cache starts afresh.
constexpr std::size_t MaxCached = 8192;
// Cosmetic dash-dot pattern: 9 on, 6 off, 3 on, 6 off.
constexpr bool dashDotOn(int step)
{
    const int i = step % 24;
    return i < 9 || (i >= 15 && i < 18);
}
// Boxes may be given by any two opposite corners.
void normalize(int& x1, int& y1, int& x2, int& y2)
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

// A text laid out once: the cell size and the black pixels of its glyphs as
// horizontal runs relative to the cell's top-left corner.
struct Canvas::Glyphs {
    int width = 0;
    int height = 0;
    struct Run { int y, x1, x2; };
    std::vector<Run> runs;
};

Canvas::Canvas() = default;
Canvas::~Canvas() = default;

bool Canvas::begin()
{
    if (!m_image || m_image->isNull())
        return false;
    m_bits = m_image->bits();   // detaches a shared image, once
    m_stride = m_image->bytesPerLine();
    m_width = m_image->width();
    m_height = m_image->height();
    return true;
}

void Canvas::plot(int x, int y, QRgb c)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    row(y)[x] = c;
}

void Canvas::span(int y, int x1, int x2, QRgb c)
{
    if (y < 0 || y >= m_height)
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, m_width);
    if (x1 >= x2)
        return;
    QRgb* r = row(y);
    // White, the colour of nearly every fill, has four equal bytes: memset
    // is vectorised where the plain loop is not, and the loop made clearing
    // the page alone cost four memsets of it.
    const unsigned char b = c & 0xFF;
    if (c == b * 0x01010101u)
        std::memset(r + x1, b, std::size_t(x2 - x1) * sizeof(QRgb));
    else
        std::fill(r + x1, r + x2, c);
}

void Canvas::fillRect(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    normalize(x1, y1, x2, y2);
    const int top = std::max(y1, 0);
    const int bottom = std::min(y2, m_height);
    for (int y = top; y < bottom; ++y)
        span(y, x1, x2, m_brush);
}

void Canvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    normalize(x1, y1, x2, y2);
    if (x2 == x1 || y2 == y1)
        return;
    fillRect(x1 + 1, y1 + 1, x2 - 1, y2 - 1);
    span(y1, x1, x2, Black);
    span(y2 - 1, x1, x2, Black);
    for (int y = y1 + 1; y < y2 - 1; ++y) {
        plot(x1, y, Black);
        plot(x2 - 1, y, Black);
    }
}

void Canvas::line(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    // Bresenham from the start point, stopping before the end point.
    const long dx = std::labs(long(x2) - x1);
    const long dy = -std::labs(long(y2) - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    long err = dx + dy;
    long x = x1, y = y1;
    const bool dashed = m_penStyle == PenStyle::DashDot;
    const long w = m_width, h = m_height;
    for (int step = 0; !(x == x2 && y == y2); ++step) {
        if ((!dashed || dashDotOn(step)) && x >= 0 && y >= 0 && x < w && y < h)
            row(int(y))[x] = Black;
        const long e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void Canvas::ellipse(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    normalize(x1, y1, x2, y2);
    const int w = x2 - x1, h = y2 - y1;
    if (w <= 0 || h <= 0)
        return;
    // A pixel belongs to the ellipse when its centre lies inside the ellipse
    // inscribed in the box; those with a neighbour outside form the outline.
    const double rx = w / 2.0, ry = h / 2.0;
    auto inside = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= w || py >= h)
            return false;
        const double ex = (px + 0.5 - rx) / rx, ey = (py + 0.5 - ry) / ry;
        return ex * ex + ey * ey <= 1.0;
    };
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            if (!inside(px, py))
                continue;
            const bool edge = !inside(px - 1, py) || !inside(px + 1, py)
                || !inside(px, py - 1) || !inside(px, py + 1);
            plot(x1 + px, y1 + py, edge ? Black : m_brush);
        }
    }
}

const Canvas::Glyphs& Canvas::glyphs(std::string_view win1252)
{
    const int pixels = pointsToPixels(m_fontSize);
    std::string key;
    key.reserve(win1252.size() + 8);
    key += std::to_string(pixels);
    key += m_bold ? 'b' : 'r';
    key += win1252;
    if (auto it = m_cache.find(key); it != m_cache.end())
        return *it->second;
    if (m_cache.size() >= MaxCached)
        m_cache.clear();

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(m_bold);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    const QFontMetrics fm(font);
    const QString text = QString::fromUtf8(win1252::toUtf8(win1252));

    auto g = std::make_unique<Glyphs>();
    g->width = fm.horizontalAdvance(text);
    g->height = fm.height();
    // Glyphs may reach past their cell (overhangs, accents): draw them with
    // a margin and keep every black pixel.
    const int margin = pixels;
    QImage scratch(g->width + 2 * margin, g->height + 2 * margin, QImage::Format_RGB32);
    scratch.fill(Qt::white);
    {
        QPainter p(&scratch);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(margin, margin + fm.ascent(), text);
    }
    for (int y = 0; y < scratch.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        int x = 0;
        while (x < scratch.width()) {
            if (qGray(row[x]) < 128) {
                const int start = x;
                while (x < scratch.width() && qGray(row[x]) < 128)
                    ++x;
                g->runs.push_back({y - margin, start - margin, x - margin});
            } else {
                ++x;
            }
        }
    }
    return *m_cache.emplace(std::move(key), std::move(g)).first->second;
}

QSize Canvas::textExtent(std::string_view win1252)
{
    const Glyphs& g = glyphs(win1252);
    return {g.width, g.height};
}

void Canvas::textOut(int x, int y, std::string_view win1252)
{
    if (!begin())
        return;
    const Glyphs& g = glyphs(win1252);
    fillRect(x, y, x + g.width, y + g.height);
    for (const Glyphs::Run& r : g.runs)
        span(y + r.y, x + r.x1, x + r.x2, Black);
}

void Canvas::focusRect(int x1, int y1, int x2, int y2)
{
    if (!begin())
        return;
    normalize(x1, y1, x2, y2);
    if (x2 == x1 || y2 == y1)
        return;
    auto invert = [&](int x, int y) {
        if ((x + y) % 2 != 0 || x < 0 || y < 0 || x >= m_width || y >= m_height)
            return;
        QRgb& p = row(y)[x];
        p ^= 0x00FFFFFFu;
    };
    const int cx1 = std::max(x1, -1), cx2 = std::min(x2, m_width + 1);
    for (int x = cx1; x < cx2; ++x) {
        invert(x, y1);
        if (y2 - 1 != y1)
            invert(x, y2 - 1);
    }
    const int cy1 = std::max(y1 + 1, -1), cy2 = std::min(y2 - 1, m_height + 1);
    for (int y = cy1; y < cy2; ++y) {
        invert(x1, y);
        if (x2 - 1 != x1)
            invert(x2 - 1, y);
    }
}

} // namespace mavrel
