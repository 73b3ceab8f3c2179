#include "page.h"

#include "chordplaces.h"
#include "formmarks.h"
#include "paintersurface.h"

#include "document/win1252.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace mavrel {

namespace {
constexpr QRgb White = 0xFFFFFFFFu;
constexpr QRgb Cyan = 0xFF00FFFFu;

// Every fractional quantity of the page is truncated toward zero.
int trunc(double v) { return static_cast<int>(v); }

// Control characters have no glyph, and a damaged file may hold some: the
// page, and every picture or document drawn from it, shows the text without
// them.
std::string shown(std::string_view win1252) { return win1252::withoutControls(win1252); }
} // namespace

void hitTest(const Chart& chart, int X, int Y, int& bar, int& region)
{
    bar = -1;
    region = -1;
    const long W = chart.info.barWidth;
    const long H = chart.info.barHeight;
    const int n = chart.info.count;
    for (int i = 1; i <= n && i <= MaxBars; ++i) {
        const Bar& b = chart.bar(i);
        if (!(b.x < X && X < b.x + W && b.y < Y && Y < b.y + H))
            continue;
        bar = i;
        const long dx = long(X) - b.x;
        const long dy = long(Y) - b.y;
        const double d = double(dx * H) / double(W);
        const bool belowAnti = dy > H - d;
        const bool belowMain = dy > d;
        if (belowAnti && belowMain)
            region = 3;
        else if (belowAnti)
            region = 4;
        else if (belowMain)
            region = 1;
        else
            region = 2;
    }
}

QSize pageSize(const Chart& chart)
{
    const GridInfo& g = chart.info;
    return {g.pageWidth > 0 ? g.pageWidth : 1, g.pageHeight > 0 ? g.pageHeight : 1};
}

int chordPoints(const Chart& chart)
{
    const GridInfo& g = chart.info;
    long longest = 0;
    for (int i = 1; i <= g.count && i <= MaxBars; ++i) {
        const Bar& b = chart.bar(i);
        if (!b.shown)
            continue;
        static constexpr int SlotsShown[] = {0, 1, 2, 4, 3, 3};
        const int used = b.division < 6 ? SlotsShown[b.division] : 0;
        for (int s = 1; s <= used; ++s) {
            const Chord& a = b.slot(s);
            const long n = long(shown(chordText(a)).size());
            longest = std::max(longest, n);
        }
    }
    long points = effectivePoints(g.fontSize);
    points = std::min(points, std::max(1L, long(g.barHeight)));
    if (longest > 0)
        points = std::min(points, std::max(1L, 3L * g.barWidth / longest));
    return static_cast<int>(points);
}

namespace {

// One shown bar, at the place the layout gave it, on the current brush colour.
void drawBar(PageSurface& cv, const Bar& bar, const PageChords& type, int W, int H)
{
    if (type.bold)
        cv.setBold(true);
    cv.setFontSize(type.points);

    const int x = bar.x, y = bar.y;
    const int cx = trunc(x + W / 2.0), cy = trunc(y + H / 2.0);

    cv.fillRect(x, y, x + W, y + H);
    cv.rectangle(x, y, x + W, y + H);

    if (bar.left == 1) {
        for (int i = 0; i <= 2; ++i)
            cv.line(x + i, y, x + i, y + H);
        cv.dot(x + 6, cy + 3, x + 9, cy + 6);
        cv.dot(x + 6, cy - 3, x + 9, cy - 6);
        cv.line(x + 4, y, x + 4, y + H);
    } else if (bar.left == 2) {
        cv.line(x + 2, y, x + 2, y + H);
    }
    if (bar.right == 1) {
        for (int i = 1; i <= 3; ++i)
            cv.line(x + W - i, y, x + W - i, y + H);
        cv.dot(x + W - 6, cy + 3, x + W - 9, cy + 6);
        cv.dot(x + W - 6, cy - 3, x + W - 9, cy - 6);
        cv.line(x + W - 5, y, x + W - 5, y + H);
    } else if (bar.right == 2) {
        cv.line(x + W - 3, y, x + W - 3, y + H);
    }
    if (bar.top == 1)
        cv.line(x, y + 2, x + W, y + 2);
    if (bar.bottom == 1)
        cv.line(x, y + H - 3, x + W, y + H - 3);

    const ChordPlaces chords = chordPlaces(bar, W, H, type);
    for (int k = 0; k < chords.count; ++k) {
        const ChordPlace& p = chords.places[k];
        if (!p.typeset) {
            cv.textOut(p.x, p.y, p.text);
            continue;
        }
        for (const GlyphRun& run : p.typeset->runs)
            cv.glyphRun(p.origin + run.origin, run);
        for (const std::vector<QPointF>& shape : p.typeset->shapes) {
            std::vector<QPointF> placed(shape);
            for (QPointF& point : placed)
                point += p.origin;
            cv.polygon(placed, {});
        }
    }
    // The division's lines, over the chords.
    auto antiDiagonal = [&] { cv.line(x + W, y, x, y + H); };
    switch (bar.division) {
    case 2:
        antiDiagonal();
        break;
    case 3:
        antiDiagonal();
        cv.line(x, y, x + W, y + H);
        break;
    case 4:
        antiDiagonal();
        cv.line(cx, cy, x, y);
        break;
    case 5:
        antiDiagonal();
        cv.line(cx, cy, x + W, y + H);
        break;
    default:
        break;
    }

    cv.setBold(false);
    cv.setFontSize(8);
}

void drawLabels(PageSurface& surface, const Chart& chart, int hiddenLabel)
{
    const int n = chart.info.labelCount;
    for (int j = 1; j <= n && j <= MaxLabels; ++j) {
        if (j == hiddenLabel)
            continue;
        const TextLabel& t = chart.label(j);
        surface.setFontSize(t.size);
        surface.setBold(t.bold != 0);
        surface.textOut(t.x, t.y, shown(t.text.view()));
    }
    surface.setBold(false);
}

} // namespace

void drawPage(PageSurface& surface, const Chart& chart, const Selection& selection, bool guides, int hiddenLabel)
{
    const GridInfo& g = chart.info;
    const QSize size = pageSize(chart);
    const int pw = size.width();
    const int ph = size.height();
    surface.rectangle(0, 0, pw, ph);

    const PageChords chords = pageChords(chart);
    FormMarks marks(surface, chart, chords);
    const int cols = g.columns > 0 ? g.columns : 1;
    const int rows = g.rows > 0 ? g.rows : 1;
    int n = 0;
    for (int r = 1; r <= rows && n < MaxBars; ++r) {
        for (int c = 1; c <= cols && n < MaxBars; ++c) {
            ++n;
            const int count = selection.count < MaxBars ? selection.count : MaxBars;
            for (int k = 0; k < count; ++k)
                if (selection.entries[k] == n)
                    surface.setBrushColor(Cyan);
            if (chart.bar(n).shown) {
                drawBar(surface, chart.bar(n), chords, g.barWidth, g.barHeight);
                if (!marks.empty())
                    marks.draw(n, c);
            }
            surface.setBrushColor(White);
        }
    }

    drawLabels(surface, chart, hiddenLabel);

    if (guides) {
        surface.setPenStyle(PageSurface::PenStyle::DashDot);
        surface.line(0, g.topMargin - 1, pw, g.topMargin - 1);
        surface.line(0, ph - g.bottomMargin + 1, pw, ph - g.bottomMargin + 1);
        surface.line(g.sideMargin - 1, 0, g.sideMargin - 1, ph);
        surface.line(pw - g.sideMargin + 1, 0, pw - g.sideMargin + 1, ph);
        surface.setPenStyle(PageSurface::PenStyle::Solid);
    }
}

Page::Page() = default;
Page::~Page() = default;

void Page::draw(const Chart& chart, const Selection& selection, bool guides, int hiddenLabel)
{
    const QSize size = pageSize(chart);
    if (m_image.size() != size) {
        m_image = QImage(size, QImage::Format_RGB32);
        if (m_image.isNull())
            return;
        // 96 dots per inch, whatever the screen: the page is pixels.
        m_image.setDotsPerMeterX(3780);
        m_image.setDotsPerMeterY(3780);
        m_canvas.setBrushColor(White);
        m_canvas.setPenStyle(Canvas::PenStyle::Solid);
        m_canvas.setFontSize(8);
        m_canvas.setBold(false);
    }
    m_canvas.setImage(&m_image);
    // Half a page is no page: without the memory to finish it, there is none.
    try {
        drawPage(m_canvas, chart, selection, guides, hiddenLabel);
    } catch (const std::bad_alloc&) {
        m_image = QImage();
    }
}

void Page::paint(QPainter& painter, const Chart& chart, const Selection& selection, bool guides, int hiddenLabel)
{
    if (!m_vectors)
        m_vectors = std::make_unique<PainterSurface>();
    m_vectors->begin(painter, pageSize(chart));
    drawPage(*m_vectors, chart, selection, guides, hiddenLabel);
    m_vectors->end();
}

void Page::paintScreen(QImage& picture, const Chart& chart, const Selection& selection, bool guides, int hiddenLabel,
                       double scale, double ratio)
{
    const QSize size = (QSizeF(pageSize(chart)) * scale * ratio).toSize().expandedTo(QSize(1, 1));
    if (!pictureFits(size)) {
        picture = QImage();
        return;
    }
    if (picture.size() != size || picture.format() != QImage::Format_RGB32)
        picture = QImage(size, QImage::Format_RGB32);
    if (picture.isNull())
        return;
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    // Everything the page draws lies on whole page pixels: smoothing softens
    // only slants, curves and glyphs, as on paper.
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    try {
        paint(painter, chart, selection, guides, hiddenLabel);
    } catch (const std::bad_alloc&) {
        painter.end();
        picture = QImage();
    }
}

void paintPage(QPainter& painter, const Chart& chart, const Selection& selection, bool guides, int hiddenLabel)
{
    PainterSurface surface;
    surface.begin(painter, pageSize(chart));
    drawPage(surface, chart, selection, guides, hiddenLabel);
    surface.end();
}

QSize pageImageSize(const Chart& chart, int dpi)
{
    const QSize page = pageSize(chart);
    const double scale = dpi / 96.0;
    return {std::max(1, int(std::lround(page.width() * scale))), std::max(1, int(std::lround(page.height() * scale)))};
}

QImage paintPageImage(const Chart& chart, QSize size, Instrument instrument)
{
    if (size.isEmpty() || !pictureFits(size))
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    const QSize page = pageSize(chart);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The page fills the picture, whose sides are whole pixels.
    painter.scale(double(size.width()) / page.width(), double(size.height()) / page.height());
    paintPage(painter, chart, Selection{}, false);
    paintPartMark(painter, page, instrument);
    return image;
}

QImage paintPageImage(const Chart& chart, int dpi, Instrument instrument)
{
    QImage image = paintPageImage(chart, pageImageSize(chart, dpi), instrument);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

StandaloneChart::StandaloneChart() : m_chart(std::make_unique<Chart>())
{
    resetChart(*m_chart);
}

const QImage& StandaloneChart::image()
{
    m_page.draw(*m_chart, Selection{}, false);
    return m_page.image();
}

void paintPartMark(QPainter& painter, QSize page, Instrument instrument)
{
    if (instrument == Instrument::Concert)
        return;
    const std::string_view mark = instrumentMark(instrument);
    const QString text = QString::fromUtf8(mark.data(), qsizetype(mark.size()));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pointsToPixels(9));
    font.setItalic(true);
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font);
    // Inside the corner, clear of the page's border.
    const QPointF at(page.width() - 6 - metrics.horizontalAdvance(text), 4 + metrics.ascent());
    painter.drawText(at, text);
    painter.restore();
}

void markPart(QImage& page, Instrument instrument)
{
    if (instrument == Instrument::Concert || page.isNull())
        return;
    QPainter painter(&page);
    paintPartMark(painter, page.size(), instrument);
}

} // namespace mavrel
