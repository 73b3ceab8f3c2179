#include "glyphcache.h"

#include "document/win1252.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <new>

namespace mavrel {

namespace {

// Cached texts, and glyph runs, kept before the caches start afresh: a few
// times what the fullest chart of everyday sizes needs.
constexpr std::size_t MaxTexts = 8192;
constexpr std::size_t MaxRuns = std::size_t(4) << 20;

// Qt draws glyphs up to this pixel size from bitmaps placed on whole pixels,
// and larger ones as outlines filled where the pen stands, to the sixty-fourth
// of a pixel.
int largestBitmapGlyph()
{
    static const int size = [] {
        const int env = qEnvironmentVariableIntValue("QT_MAX_CACHED_GLYPH_SIZE");
        return env > 0 ? env : 64;
    }();
    return size;
}

// An outline's pixels also depend, through rounding, on where on the page
// it is filled. Up to 72 points (96 pixels), the largest size the size list
// offers, each glyph of a text is filled where drawing the whole text in a
// picture of the cell and a margin of the font's size would fill it, so that
// a page keeps every pixel. Past that size a glyph is drawn once for all
// texts, from the whole pixel left of its pen position: otherwise a chord
// font of hundreds of points would cost an outline per glyph of every chord.
constexpr int LargestExactOutline = 96;

QRect glyphArea(const QRectF& box, int margin)
{
    return QRect(QPoint(int(std::floor(box.left())) - margin, int(std::floor(box.top())) - margin),
                 QPoint(int(std::ceil(box.right())) + margin, int(std::ceil(box.bottom())) + margin));
}

} // namespace

QFont pageFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoFontMerging);
    // Qt forms no ligatures in text that has letter spacing; spacing of 100 %
    // leaves every advance, kerning included, as it is.
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    return font;
}

GlyphCache::GlyphCache() = default;
GlyphCache::~GlyphCache() = default;

void GlyphCache::clear()
{
    m_texts.clear();
    m_glyphs.clear();
    m_runs = 0;
}

GlyphCache::Face& GlyphCache::face(std::uint32_t key, int pixels, bool bold)
{
    std::unique_ptr<Face>& f = m_faces[key];
    if (!f) {
        f = std::make_unique<Face>();
        f->font = pageFont(pixels, bold);
        f->font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
        f->ascent = QFontMetrics(f->font).ascent();
        f->outlines = pixels > largestBitmapGlyph();
    }
    return *f;
}

GlyphCache::Text& GlyphCache::text(int pixels, bool bold, std::string_view win1252)
{
    std::string key;
    key.reserve(win1252.size() + 8);
    key += std::to_string(pixels);
    key += bold ? 'b' : 'r';
    key += win1252;
    if (auto it = m_texts.find(key); it != m_texts.end())
        return *it->second;
    if (m_texts.size() >= MaxTexts || m_runs >= MaxRuns)
        clear();

    const std::uint32_t faceKey = std::uint32_t(pixels) << 1 | (bold ? 1u : 0u);
    Face& f = face(faceKey, pixels, bold);
    const QString string = QString::fromUtf8(win1252::toUtf8(win1252));
    const QFontMetrics fm(f.font);

    auto t = std::make_unique<Text>();
    t->width = fm.horizontalAdvance(string);
    t->height = fm.height();
    t->ascent = f.ascent;
    t->pixels = pixels;
    t->face = faceKey;

    // The glyphs and pen positions that QPainter::drawText uses.
    QTextLayout layout(string, f.font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e6);
    layout.endLayout();
    if (line.isValid()) {
        // A soft hyphen ending a line shows as a hyphen in a layout, and as
        // nothing in drawText, which breaks no lines.
        qsizetype shown = string.size();
        while (shown > 0 && string.at(shown - 1) == QChar(0x00AD))
            --shown;
        const QList<QGlyphRun> runs = shown > 0 ? line.glyphRuns(0, int(shown)) : QList<QGlyphRun>();
        for (const QGlyphRun& run : runs) {
            if (!f.raw.isValid())
                f.raw = run.rawFont();
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
                Placed p;
                p.exactX = positions[i].x();
                p.x = static_cast<int>(std::floor(p.exactX));
                p.y = f.ascent + qRound(positions[i].y() - line.ascent());
                p.index = indexes[i];
                t->glyphs.push_back(p);
            }
        }
    }
    return *m_texts.emplace(std::move(key), std::move(t)).first->second;
}

std::size_t GlyphCache::GlyphKeyHash::operator()(const GlyphKey& k) const
{
    std::uint64_t h = (std::uint64_t(k.face) << 32 | k.index) * 0x9E3779B97F4A7C15ull;
    h ^= (std::uint64_t(k.x) << 20 ^ std::uint32_t(k.y)) + 0x7F4A7C15ull + (h << 6) + (h >> 2);
    return std::size_t(h);
}

const GlyphCache::Glyph& GlyphCache::glyph(const Text& text, Placed& placed)
{
    if (placed.glyph)
        return *placed.glyph;
    const Face& f = *m_faces.at(text.face);
    const int p = text.pixels;
    // Where the whole text would be drawn at (p, p) in a picture of its cell
    // and a margin of p all round, or anywhere.
    const bool exact = f.outlines && p <= LargestExactOutline;
    GlyphKey key{text.face, placed.index};
    if (exact) {
        key.x = std::llround((p + placed.exactX) * 64);
        key.y = p + placed.y;
    }
    std::unique_ptr<Glyph>& g = m_glyphs[key];
    if (!g) {
        auto fresh = std::make_unique<Glyph>();
        constexpr int Far = 1 << 20;
        // That picture's edges are those of the ink canvas.cpp keeps.
        if (exact)
            rasterise(f, placed.index, QPointF(key.x / 64.0, key.y), QPoint(p + placed.x, key.y),
                      QRect(0, 0, Far, Far), *fresh);
        else
            rasterise(f, placed.index, QPointF(0, 0), QPoint(0, 0), QRect(-Far, -Far, 2 * Far, 2 * Far),
                      *fresh);
        m_runs += fresh->runs.size();
        g = std::move(fresh);
    }
    placed.glyph = g.get();
    return *g;
}

void GlyphCache::rasterise(const Face& f, std::uint32_t index, QPointF pen, QPoint origin, QRect limit,
                           Glyph& g)
{
    // Bitmap glyphs may reach a pixel or two past their outline's box: the
    // area looked at gets a margin, widened while ink touches its edge.
    const QRectF box = f.raw.boundingRect(index).translated(pen) | QRectF(pen, QSizeF(1, 1));
    const int pixels = f.font.pixelSize();
    for (int margin = 2 + pixels / 8;; margin *= 2) {
        const QRect wanted = glyphArea(box, margin);
        const QRect area = wanted & limit;
        g.runs.clear();
        g.left = g.top = g.right = g.bottom = 0;
        if (area.isEmpty())
            return;
        // The scratch starts at the area's corner when that lies before the
        // origin: a shift of whole pixels, which only glyphs drawn once for
        // all texts get.
        const QPoint shift(std::max(0, -area.left()), std::max(0, -area.top()));
        const QRect inScratch = area.translated(shift);
        if (m_scratch.width() <= inScratch.right() || m_scratch.height() <= inScratch.bottom()) {
            m_scratch = QImage(std::max(inScratch.right() + 1, m_scratch.width()),
                               std::max(inScratch.bottom() + 1, m_scratch.height()), QImage::Format_RGB32);
            if (m_scratch.isNull())
                throw std::bad_alloc();
        }
        for (int y = inScratch.top(); y <= inScratch.bottom(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(m_scratch.scanLine(y));
            std::fill(row + inScratch.left(), row + inScratch.right() + 1, 0xFFFFFFFFu);
        }
        {
            QPainter painter(&m_scratch);
            painter.setPen(Qt::black);
            painter.setClipRect(inScratch);
            QGlyphRun run;
            run.setRawFont(f.raw);
            run.setGlyphIndexes({index});
            run.setPositions({pen});
            painter.drawGlyphRun(QPointF(shift), run);
        }

        bool touchesEdge = false;
        bool any = false;
        for (int y = inScratch.top(); y <= inScratch.bottom(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(m_scratch.constScanLine(y));
            int x = inScratch.left();
            while (x <= inScratch.right()) {
                if (qGray(row[x]) >= 128) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x <= inScratch.right() && qGray(row[x]) < 128)
                    ++x;
                // Ink on an edge of the margin, where the limit did not cut it.
                const int ay = y - shift.y(), ax1 = start - shift.x(), ax2 = x - shift.x();
                touchesEdge |= ax1 == wanted.left() || ax2 == wanted.right() + 1 || ay == wanted.top()
                    || ay == wanted.bottom();
                const int gy = ay - origin.y(), gx1 = ax1 - origin.x(), gx2 = ax2 - origin.x();
                g.runs.push_back({std::int16_t(gy), std::int16_t(gx1), std::int16_t(gx2)});
                if (!any) {
                    g.left = gx1;
                    g.right = gx2;
                    g.top = gy;
                    any = true;
                }
                g.left = std::min(g.left, gx1);
                g.right = std::max(g.right, gx2);
                g.bottom = gy + 1;
            }
        }
        if (!touchesEdge || margin > 4 * pixels)
            break;
    }
    g.runs.shrink_to_fit();
}

} // namespace mavrel
