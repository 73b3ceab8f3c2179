#include "paintersurface.h"

#include "canvas.h"
#include "chordtype.h"
#include "document/win1252.h"
#include "glyphcache.h"

#include <QFont>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace mavrel {

namespace {

constexpr QRgb Black = 0xFF000000u;
constexpr QRgb White = 0xFFFFFFFFu;
// Page pixels the bounds reach past the page.
constexpr double Margin = 2;

// The box of two opposite corners.
QRectF box(int x1, int y1, int x2, int y2)
{
    return QRectF(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2)));
}

// Cuts the segment to the rectangle (Liang-Barsky); false when nothing of it
// is inside.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& r)
{
    const QPointF d = b - a;
    const double p[] = {-d.x(), d.x(), -d.y(), d.y()};
    const double q[] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    double enter = 0, leave = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    const QPointF start = a;
    a = start + enter * d;
    b = start + leave * d;
    return true;
}

// The part of a polygon inside the rectangle (Sutherland-Hodgman): what a
// concave shape leaves along the rectangle's sides lies outside the page.
QPolygonF clipPolygon(const QPolygonF& shape, const QRectF& r)
{
    QPolygonF in = shape;
    QPolygonF out;
    auto clipSide = [&](auto inside, auto cross) {
        out.clear();
        for (qsizetype i = 0; i < in.size(); ++i) {
            const QPointF& a = in[i];
            const QPointF& b = in[(i + 1) % in.size()];
            if (inside(a)) {
                out.append(a);
                if (!inside(b))
                    out.append(cross(a, b));
            } else if (inside(b)) {
                out.append(cross(a, b));
            }
        }
        std::swap(in, out);
    };
    auto atX = [](double x) {
        return [x](QPointF a, QPointF b) { return QPointF(x, a.y() + (x - a.x()) * (b.y() - a.y()) / (b.x() - a.x())); };
    };
    auto atY = [](double y) {
        return [y](QPointF a, QPointF b) { return QPointF(a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()), y); };
    };
    clipSide([&](QPointF p) { return p.x() >= r.left(); }, atX(r.left()));
    clipSide([&](QPointF p) { return p.x() <= r.right(); }, atX(r.right()));
    clipSide([&](QPointF p) { return p.y() >= r.top(); }, atY(r.top()));
    clipSide([&](QPointF p) { return p.y() <= r.bottom(); }, atY(r.bottom()));
    return in;
}

} // namespace

PainterSurface::PainterSurface()
    : m_solidPen(QColor(Black), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin),
      m_dashPen(m_solidPen),
      m_layouts(std::make_unique<GlyphCache>())
{
    // The canvas's steps, 9 on, 6 off, 3 on, 6 off, less the half pixel the
    // square caps add at each end of a dash.
    m_dashPen.setDashPattern({8, 7, 2, 7});
}
PainterSurface::~PainterSurface() = default;

void PainterSurface::begin(QPainter& painter, QSize page)
{
    m_painter = &painter;
    painter.save();
    m_page = QRectF(QPointF(0, 0), QSizeF(page));
    m_bounds = m_page.adjusted(-Margin, -Margin, Margin, Margin);
    painter.setClipRect(m_page, Qt::IntersectClip);
    // From here on, shapes are given by the middles of the pixels they
    // cover, which lie on whole numbers: a PDF writes them shortest so.
    painter.translate(0.5, 0.5);
    const QPaintEngine* engine = painter.paintEngine();
    m_textAsCharacters = engine && engine->type() == QPaintEngine::SVG;
    m_penlessFills = engine && engine->type() == QPaintEngine::Raster;
    m_dashed = false;
    m_pendingFill = QRectF();
    m_brush = White;
    m_fontSize = 8;
    m_bold = false;
}

void PainterSurface::end()
{
    if (!m_painter)
        return;
    drawPendingFill();
    m_painter->restore();
    m_painter = nullptr;
}

void PainterSurface::setBrush(QRgb colour)
{
    // QPainter takes a new brush for a change even when it has the colour.
    const QBrush& current = m_painter->brush();
    if (current.style() != Qt::SolidPattern || current.color().rgb() != colour)
        m_painter->setBrush(QColor(colour));
}

void PainterSurface::fill(const QRectF& r, QRgb colour)
{
    const QRectF shown = r & m_bounds;
    if (shown.isEmpty())
        return;
    drawPendingFill();
    m_pendingFill = shown;
    m_pendingColour = colour;
}

void PainterSurface::drawPendingFill()
{
    if (m_pendingFill.isEmpty())
        return;
    const QRectF r = std::exchange(m_pendingFill, QRectF());
    setBrush(m_pendingColour);
    if (m_penlessFills) {
        m_painter->setPen(Qt::NoPen);
        m_painter->drawRect(r.translated(-0.5, -0.5));
    } else {
        // Outlined through the middles of its outermost pixels with a pen of
        // its own colour.
        m_painter->setPen(QPen(QColor(m_pendingColour), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void PainterSurface::stroke(QPointF first, QPointF last)
{
    drawPendingFill();
    if (m_penlessFills && !m_dashed && (first.x() == last.x() || first.y() == last.y())) {
        // Rasterised, a rectangle fills faster than a line is stroked.
        m_painter->setPen(Qt::NoPen);
        setBrush(Black);
        m_painter->drawRect(QRectF(first, last).normalized().adjusted(-0.5, -0.5, 0.5, 0.5));
        return;
    }
    m_painter->setPen(m_dashed ? m_dashPen : m_solidPen);
    m_painter->drawLine(first, last);
}

void PainterSurface::fillRect(int x1, int y1, int x2, int y2)
{
    fill(box(x1, y1, x2, y2), m_brush);
}

void PainterSurface::rectangle(int x1, int y1, int x2, int y2)
{
    const QRectF r = box(x1, y1, x2, y2) & m_bounds;
    if (r.isEmpty())
        return;
    // A bar's background, filled just before its frame, is drawn once.
    if (m_pendingFill == r && m_pendingColour == m_brush)
        m_pendingFill = QRectF();
    if (r.width() < 2 || r.height() < 2) {
        fill(r, Black);   // all outline
        return;
    }
    const QRectF middles = r.adjusted(0, 0, -1, -1);
    if (!m_penlessFills) {
        drawPendingFill();
        m_painter->setPen(m_solidPen);
        setBrush(m_brush);
        m_painter->drawRect(middles);
        return;
    }
    // Rasterised, four lines and a fill take a third of the time of one
    // outlined rectangle.
    fill(r.adjusted(1, 1, -1, -1), m_brush);
    const bool dashed = std::exchange(m_dashed, false);
    stroke(middles.topLeft(), middles.topRight());
    stroke(middles.bottomLeft(), middles.bottomRight());
    if (middles.height() > 1) {
        stroke(middles.topLeft() + QPointF(0, 1), middles.bottomLeft() - QPointF(0, 1));
        stroke(middles.topRight() + QPointF(0, 1), middles.bottomRight() - QPointF(0, 1));
    }
    m_dashed = dashed;
}

void PainterSurface::line(int x1, int y1, int x2, int y2)
{
    const QPointF d(double(x2) - x1, double(y2) - y1);
    const double steps = std::max(std::abs(d.x()), std::abs(d.y()));
    if (steps == 0)
        return;
    // The canvas sets one pixel a step along the longer side, from the start
    // up to the step before the end: the pen runs from the middle of the
    // first to the middle of the last, and its square caps cover their
    // halves beyond.
    const QPointF step = d / steps;
    QPointF first(x1, y1), last = QPointF(x2, y2) - step;
    if (steps == 1) {
        fill(QRectF(first, QSizeF(1, 1)), Black);
        return;
    }
    // Cut, if need be, on the line the pen covers, caps included.
    const QPointF cap = step / (2 * std::hypot(step.x(), step.y()));
    QPointF a = first - cap + QPointF(0.5, 0.5), b = last + cap + QPointF(0.5, 0.5);
    if (!m_bounds.contains(a) || !m_bounds.contains(b)) {
        if (!clipSegment(a, b, m_bounds))
            return;
        first = a + cap - QPointF(0.5, 0.5);
        last = b - cap - QPointF(0.5, 0.5);
    }
    stroke(first, last);
}

void PainterSurface::dot(int x1, int y1, int x2, int y2)
{
    const QRectF r = box(x1, y1, x2, y2);
    if (r.isEmpty() || !r.intersects(m_bounds))
        return;
    drawPendingFill();
    setBrush(Black);
    if (m_penlessFills) {
        m_painter->setPen(Qt::NoPen);
        m_painter->drawEllipse(r.translated(-0.5, -0.5));
    } else {
        // The pen through the middles of the outermost pixels reaches the
        // box's edges.
        m_painter->setPen(m_solidPen);
        m_painter->drawEllipse(r.adjusted(0, 0, -1, -1));
    }
}

void PainterSurface::polygon(std::span<const QPointF> points, std::span<const int> sizes)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    QRectF reach;
    std::size_t start = 0;
    for (std::size_t k = 0; k < std::max<std::size_t>(sizes.size(), 1); ++k) {
        const std::size_t n = sizes.empty() ? points.size() : std::size_t(std::max(sizes[k], 0));
        if (n < 3 || start + n > points.size())
            return;
        QPolygonF outline;
        outline.reserve(qsizetype(n));
        for (std::size_t i = start; i < start + n; ++i) {
            if (!std::isfinite(points[i].x()) || !std::isfinite(points[i].y()))
                return;
            outline.append(points[i]);
        }
        start += n;
        reach |= outline.boundingRect();
        if (!m_bounds.contains(outline.boundingRect()))
            outline = clipPolygon(outline, m_bounds);
        if (outline.size() < 3)
            continue;
        // Outlines are given on pixel edges, the painter works on pixel middles.
        path.addPolygon(outline.translated(-0.5, -0.5));
        path.closeSubpath();
    }
    if (start != points.size() || path.isEmpty() || !reach.intersects(m_bounds))
        return;
    drawPendingFill();
    m_painter->setPen(Qt::NoPen);
    setBrush(Black);
    m_painter->drawPath(path);
}

const QRawFont& PainterSurface::rawFont(int pixels, bool bold)
{
    QRawFont& raw = m_fonts[std::uint32_t(pixels) << 1 | (bold ? 1u : 0u)];
    if (!raw.isValid())
        raw = QRawFont::fromFont(pageFont(pixels, bold));
    return raw;
}

QSize PainterSurface::textExtent(std::string_view win1252)
{
    const GlyphCache::Text& t = m_layouts->text(pointsToPixels(m_fontSize), m_bold, win1252);
    return {t.width, t.height};
}

int PainterSurface::textAscent()
{
    return m_layouts->text(pointsToPixels(m_fontSize), m_bold, {}).ascent;
}

void PainterSurface::textOut(int x, int y, std::string_view win1252)
{
    drawText(x, y, win1252, true);
}

void PainterSurface::inkText(int x, int y, std::string_view win1252)
{
    drawText(x, y, win1252, false);
}

void PainterSurface::drawText(int x, int y, std::string_view win1252, bool onCell)
{
    const int pixels = pointsToPixels(m_fontSize);
    const GlyphCache::Text& t = m_layouts->text(pixels, m_bold, win1252);
    // No glyph reaches further than four times the font's size from its pen
    // position, as on the canvas.
    const double reach = 4.0 * pixels;
    const QRectF cell(x, y, t.width, t.height);
    if (!cell.adjusted(-reach, -reach, reach, reach).intersects(m_page))
        return;
    if (onCell)
        fill(cell, m_brush);
    if (t.glyphs.empty())
        return;
    drawPendingFill();
    m_painter->setPen(m_solidPen);

    if (m_textAsCharacters) {
        m_painter->setFont(pageFont(pixels, m_bold));
        m_painter->drawText(QPointF(x - 0.5, y + t.ascent - 0.5), QString::fromUtf8(win1252::toUtf8(win1252)));
        return;
    }
    // Each glyph where the canvas puts it, on the whole page pixel its pen
    // position falls in: at any resolution the text is the screen's, letter
    // for letter, and keeps the cell it stands on.
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(qsizetype(t.glyphs.size()));
    positions.reserve(qsizetype(t.glyphs.size()));
    for (const GlyphCache::Placed& p : t.glyphs) {
        const double pen = double(x) + p.x;
        if (pen + reach < m_page.left() || pen - reach > m_page.right())
            continue;
        indexes.push_back(p.index);
        positions.push_back(QPointF(p.x, p.y));
    }
    QGlyphRun run;
    run.setRawFont(rawFont(pixels, m_bold));
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    m_painter->drawGlyphRun(QPointF(x - 0.5, y - 0.5), run);
}

void PainterSurface::glyphRun(QPointF origin, const GlyphRun& run)
{
    const double reach = 4.0 * run.pixels;
    if (run.indexes.isEmpty() || !std::isfinite(origin.x()) || !std::isfinite(origin.y())
        || !QRectF(origin, QSizeF()).adjusted(-reach, -reach, reach, reach).intersects(m_page))
        return;
    drawPendingFill();
    m_painter->setPen(m_solidPen);
    // Page coordinates here are the pixels' middles.
    const QPointF at = origin - QPointF(0.5, 0.5);
    if (m_textAsCharacters) {
        m_painter->setFont(pageFont(run.pixels, run.bold));
        m_painter->drawText(at, run.text);
        return;
    }
    QGlyphRun glyphs;
    glyphs.setRawFont(rawPageFont(run.pixels, run.bold));
    glyphs.setGlyphIndexes(run.indexes);
    glyphs.setPositions(run.positions);
    m_painter->drawGlyphRun(at, glyphs);
}

} // namespace mavrel
