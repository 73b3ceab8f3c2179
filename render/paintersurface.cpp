#include "paintersurface.h"

#include "canvas.h"
#include "document/win1252.h"
#include "glyphcache.h"

#include <QFont>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>

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

} // namespace

PainterSurface::PainterSurface()
    : m_solidPen(QColor(Black), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin),
      m_dashPen(m_solidPen),
      m_layouts(std::make_unique<GlyphCache>())
{
    m_dashPen.setDashPattern({9, 6, 3, 6});   // the canvas's steps: 9 on, 6 off, 3 on, 6 off
}
PainterSurface::~PainterSurface() = default;

void PainterSurface::begin(QPainter& painter, QSize page)
{
    m_painter = &painter;
    painter.save();
    m_page = QRectF(QPointF(0, 0), QSizeF(page));
    m_bounds = m_page.adjusted(-Margin, -Margin, Margin, Margin);
    painter.setClipRect(m_page, Qt::IntersectClip);
    const QPaintEngine* engine = painter.paintEngine();
    m_textAsCharacters = engine && engine->type() == QPaintEngine::SVG;
    m_dashed = false;
    m_lastFill = QRectF();
    m_brush = White;
    m_fontSize = 8;
    m_bold = false;
}

void PainterSurface::end()
{
    if (m_painter)
        m_painter->restore();
    m_painter = nullptr;
}

void PainterSurface::fill(const QRectF& r, QRgb colour)
{
    const QRectF shown = r & m_bounds;
    if (shown.isEmpty())
        return;
    // A bar's frame fills again the area its background has just filled.
    if (colour == m_lastFillColour && m_lastFill.contains(shown))
        return;
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(QColor(colour));
    m_painter->drawRect(shown);
    m_lastFill = shown;
    m_lastFillColour = colour;
}

void PainterSurface::stroke(QPointF a, QPointF b)
{
    m_lastFill = QRectF();
    m_painter->setPen(m_dashed ? m_dashPen : m_solidPen);
    m_painter->drawLine(a, b);
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
    if (r.width() < 2 || r.height() < 2) {
        fill(r, Black);   // all outline
        return;
    }
    fill(r.adjusted(1, 1, -1, -1), m_brush);
    // The outline is the outermost rows and columns: four solid lines along
    // their middles, the columns between the rows.
    const bool dashed = std::exchange(m_dashed, false);
    const double l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    stroke({l, t + 0.5}, {rt, t + 0.5});
    stroke({l, b - 0.5}, {rt, b - 0.5});
    if (b - t > 2) {
        stroke({l + 0.5, t + 1}, {l + 0.5, b - 1});
        stroke({rt - 0.5, t + 1}, {rt - 0.5, b - 1});
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
    // up to the step before the end: the pen runs through the pixels' middles
    // and covers whole steps, half a step back from each end's middle.
    const QPointF back = d / (2 * steps);
    QPointF a = QPointF(x1 + 0.5, y1 + 0.5) - back;
    QPointF b = QPointF(x2 + 0.5, y2 + 0.5) - back;
    if (clipSegment(a, b, m_bounds))
        stroke(a, b);
}

void PainterSurface::ellipse(int x1, int y1, int x2, int y2)
{
    const QRectF r = box(x1, y1, x2, y2);
    if (r.isEmpty() || !r.intersects(m_bounds))
        return;
    // A disc of the pen's colour, and inside it, one pixel in, a disc of the
    // brush's: the outline without a stroke, which costs several fills.
    m_lastFill = QRectF();
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(QColor(Black));
    m_painter->drawEllipse(r);
    const QRectF inside = r.adjusted(1, 1, -1, -1);
    if (!inside.isEmpty()) {
        m_painter->setBrush(QColor(m_brush));
        m_painter->drawEllipse(inside);
    }
}

const QRawFont& PainterSurface::rawFont(int pixels, bool bold)
{
    QRawFont& raw = m_fonts[std::uint32_t(pixels) << 1 | (bold ? 1u : 0u)];
    if (!raw.isValid()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixels);
        font.setBold(bold);
        font.setStyleStrategy(QFont::NoFontMerging);
        raw = QRawFont::fromFont(font);
    }
    return raw;
}

void PainterSurface::textOut(int x, int y, std::string_view win1252)
{
    const int pixels = pointsToPixels(m_fontSize);
    const GlyphCache::Text& t = m_layouts->text(pixels, m_bold, win1252);
    // No glyph reaches further than four times the font's size from its pen
    // position, as on the canvas.
    const double reach = 4.0 * pixels;
    const QRectF cell(x, y, t.width, t.height);
    if (!cell.adjusted(-reach, -reach, reach, reach).intersects(m_page))
        return;
    fill(cell, m_brush);
    if (t.glyphs.empty())
        return;
    m_lastFill = QRectF();
    m_painter->setPen(QColor(Black));

    if (m_textAsCharacters) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixels);
        font.setBold(m_bold);
        font.setStyleStrategy(QFont::NoFontMerging);
        m_painter->setFont(font);
        m_painter->drawText(QPointF(x, y + t.ascent), QString::fromUtf8(win1252::toUtf8(win1252)));
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
    m_painter->drawGlyphRun(QPointF(x, y), run);
}

} // namespace mavrel
