#include "sheet.h"

#include "page.h"
#include "paintersurface.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace mavrel {

namespace {

constexpr int PixelBytes = 3;

// The turn goes tile by tile: a band of new rows crossed by a run of new
// columns reads a small block of old rows, so both the pixels read and the
// pixels written stay in the first-level cache.
constexpr int RowBlock = 16;
constexpr int ColumnRun = 256;

// One pixel moved with a 4-byte load and store: the extra byte written is
// the first byte of the next pixel of the row, which is written afterwards.
inline void movePixelWide(uchar* to, const uchar* from)
{
    std::uint32_t v;
    std::memcpy(&v, from, 4);
    std::memcpy(to, &v, 4);
}

inline void movePixel(uchar* to, const uchar* from)
{
    std::memcpy(to, from, PixelBytes);
}

void blankPage(QImage& page)
{
    page = QImage(DefaultPageWidth, DefaultPageHeight, SheetFormat);
    page.fill(Qt::white);
    const int w = page.width();
    const int h = page.height();
    std::memset(page.scanLine(0), 0, static_cast<std::size_t>(w) * PixelBytes);
    std::memset(page.scanLine(h - 1), 0, static_cast<std::size_t>(w) * PixelBytes);
    for (int y = 1; y < h - 1; ++y) {
        uchar* row = page.scanLine(y);
        std::memset(row, 0, PixelBytes);
        std::memset(row + (w - 1) * PixelBytes, 0, PixelBytes);
    }
}

// The source pixels one destination pixel covers in a row.
struct SourceSpan {
    int offset;   // bytes from the row's start
    int count;    // pixels, at least 1
};

// One destination row from one source row: each pixel takes the darkest of
// the pixels it covers, channel by channel.
template <int Bytes>
void reduceRow(uchar* out, const uchar* in, const std::vector<SourceSpan>& columns)
{
    for (const SourceSpan& span : columns) {
        const uchar* p = in + span.offset;
        uchar c0 = p[0], c1 = p[1], c2 = p[2], c3 = Bytes == 4 ? p[3 % Bytes] : 0;
        for (int k = 1; k < span.count; ++k) {
            p += Bytes;
            c0 = std::min(c0, p[0]);
            c1 = std::min(c1, p[1]);
            c2 = std::min(c2, p[2]);
            if constexpr (Bytes == 4)
                c3 = std::min(c3, p[3]);
        }
        out[0] = c0;
        out[1] = c1;
        out[2] = c2;
        if constexpr (Bytes == 4)
            out[3] = c3;
        out += Bytes;
    }
}

// The darkest of each byte of `row` and `band`, into `band`. In blocks of a
// fixed size, which the compiler turns into vector minimums.
void darkenBand(uchar* __restrict band, const uchar* __restrict row, std::size_t bytes)
{
    constexpr std::size_t Block = 32;
    std::size_t i = 0;
    for (; i + Block <= bytes; i += Block)
        for (std::size_t k = 0; k < Block; ++k)
            band[i + k] = std::min(band[i + k], row[i + k]);
    for (; i < bytes; ++i)
        band[i] = std::min(band[i], row[i]);
}

} // namespace

namespace {

// The quarter turn of a bitmap of `From` bytes per pixel whose first three
// bytes are blue, green and red, into a new 24-bit one.
template <int From>
void turn(const QImage& old, QImage& turned, bool clockwise)
{
    const int W = old.width();
    const int H = old.height();
    // New pixel (x, y) is old pixel (col(y), row(x)): clockwise col = y and
    // row = H - 1 - x; otherwise col = W - 1 - y and row = x.
    const qsizetype oldLine = old.bytesPerLine();
    const uchar* firstRow = old.constBits() + (clockwise ? (H - 1) * oldLine : 0);
    const qsizetype rowStep = clockwise ? -oldLine : oldLine;

    for (int y0 = 0; y0 < W; y0 += RowBlock) {
        const int y1 = std::min(W, y0 + RowBlock);
        // The last pixel of a row is moved byte-exact, as the wide moves
        // would reach past the row.
        for (int x0 = 0; x0 < H - 1; x0 += ColumnRun) {
            const int x1 = std::min(H - 1, x0 + ColumnRun);
            for (int y = y0; y < y1; ++y) {
                const int col = clockwise ? y : W - 1 - y;
                const uchar* from = firstRow + x0 * rowStep + col * From;
                uchar* to = turned.scanLine(y) + x0 * PixelBytes;
                if (From == PixelBytes && col == W - 1) {
                    // A wide read here would reach past the last old row.
                    for (int x = x0; x < x1; ++x, from += rowStep, to += PixelBytes)
                        movePixel(to, from);
                } else {
                    for (int x = x0; x < x1; ++x, from += rowStep, to += PixelBytes)
                        movePixelWide(to, from);
                }
            }
        }
        for (int y = y0; y < y1; ++y) {
            const int col = clockwise ? y : W - 1 - y;
            movePixel(turned.scanLine(y) + (H - 1) * PixelBytes,
                      firstRow + (H - 1) * rowStep + col * From);
        }
    }
}

} // namespace

bool rotateQuarterTurn(QImage& bitmap, int angle)
{
    if (bitmap.isNull())
        return true;
    // A page's pixels (blue, green, red, then an unused byte) are read as
    // they are; other depths are brought to 24 bits first.
    const bool page = bitmap.format() == QImage::Format_RGB32;
    // The old pixels are read from a copy that shares them, alive while the
    // turned bitmap is written; the caller's copies never change.
    const QImage old = page || bitmap.depth() == 24 ? bitmap : bitmap.convertToFormat(SheetFormat);
    QImage turned(old.height(), old.width(), SheetFormat);
    if (old.isNull() || turned.isNull())
        return false;
    if (page)
        turn<4>(old, turned, angle == 90);
    else
        turn<PixelBytes>(old, turned, angle == 90);
    bitmap = std::move(turned);
    return true;
}

bool stretchDraw(QImage& dest, const QRect& target, const QImage& source)
{
    if (source.isNull() || dest.isNull() || target.isEmpty())
        return true;
    const int bpp = dest.depth() / 8;
    if (bpp != 3 && bpp != 4)
        return true;
    const QRect clipped = target & dest.rect();
    if (clipped.isEmpty())
        return true;

    const int sw = source.width();
    const int sh = source.height();
    const int tw = target.width();
    const int th = target.height();
    const std::size_t spanBytes = static_cast<std::size_t>(clipped.width()) * bpp;
    // The first source pixel of destination pixel d along a side of n source
    // and m destination pixels, and the one after the last it covers.
    const auto first = [](int d, int n, int m) {
        return static_cast<int>(static_cast<long long>(d) * n / m);
    };
    const auto past = [&](int d, int n, int m) { return std::max(first(d, n, m) + 1, first(d + 1, n, m)); };

    std::vector<SourceSpan> columns(static_cast<std::size_t>(clipped.width()));
    for (int dx = clipped.left(); dx <= clipped.right(); ++dx) {
        const int x = dx - target.left();
        const int sx = first(x, sw, tw);
        columns[static_cast<std::size_t>(dx - clipped.left())] = {sx * bpp, past(x, sw, tw) - sx};
    }
    const bool sameWidth = sw == tw;

    // Source rows in the destination's format: as they are, or converted one
    // at a time, so that a large page is never copied whole.
    const std::size_t rowBytes = static_cast<std::size_t>(sw) * bpp;
    const bool sameFormat = source.format() == dest.format();
    const bool dropFourthByte = source.format() == QImage::Format_RGB32 && dest.format() == SheetFormat;
    std::vector<uchar> converted;
    const auto sourceRow = [&](int sy) -> const uchar* {
        const uchar* in = source.constScanLine(sy);
        if (sameFormat)
            return in;
        converted.resize(rowBytes);
        if (dropFourthByte) {
            for (int x = 0; x < sw; ++x)
                std::memcpy(converted.data() + 3 * x, in + 4 * x, 3);
            return converted.data();
        }
        const QImage row = QImage(in, sw, 1, source.bytesPerLine(), source.format())
                               .convertToFormat(dest.format());
        if (row.isNull())
            return nullptr;
        std::memcpy(converted.data(), row.constBits(), rowBytes);
        return converted.data();
    };

    // Several source rows per destination row are first brought down to one.
    std::vector<uchar> band;
    int previousRow = -1;
    const uchar* previousSpan = nullptr;
    for (int dy = clipped.top(); dy <= clipped.bottom(); ++dy) {
        const int y = dy - target.top();
        const int sy = first(y, sh, th);
        const int rows = past(y, sh, th) - sy;
        uchar* out = dest.scanLine(dy) + clipped.left() * bpp;
        if (rows == 1 && sy == previousRow) {
            std::memcpy(out, previousSpan, spanBytes);
        } else {
            const uchar* in = sourceRow(sy);
            if (!in)
                return false;
            if (rows > 1) {
                band.assign(in, in + rowBytes);
                for (int r = 1; r < rows; ++r) {
                    const uchar* next = sourceRow(sy + r);
                    if (!next)
                        return false;
                    darkenBand(band.data(), next, rowBytes);
                }
                in = band.data();
            }
            if (sameWidth)
                std::memcpy(out, in + columns[0].offset, spanBytes);
            else if (bpp == 3)
                reduceRow<3>(out, in, columns);
            else
                reduceRow<4>(out, in, columns);
        }
        previousRow = rows == 1 ? sy : -1;
        previousSpan = out;
    }
    return true;
}

int layoutPositionCount(int layout)
{
    switch (layout) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    case 3: return 8;
    default: return 0;
    }
}

int layoutFromCount(int chartsPerSheet)
{
    for (int layout = 0; layout < 4; ++layout)
        if (layoutPositionCount(layout) == chartsPerSheet)
            return layout;
    return -1;
}

QSize sheetSize(int layout)
{
    const int S = DefaultPageWidth;
    const int L = DefaultPageHeight;
    switch (layout) {
    case 0: return {S, L};
    case 1: return {L, 2 * S};
    case 2: return {2 * S, 2 * L};
    case 3: return {2 * L, 4 * S};
    default: return {};
    }
}

QRect sheetRect(int layout, int position, int W, int H)
{
    const auto box = [](int left, int top, int right, int bottom) {
        return QRect(left, top, right - left, bottom - top);
    };
    // Integer division truncates toward zero, as the sheet's divisions do.
    const int w2 = W / 2;
    const int h2 = H / 2;
    const int h4 = H / 4;
    const int h34 = (3 * H) / 4;
    switch (layout) {
    case 0:
        return position == 1 ? box(0, 0, W, H) : QRect();
    case 1:
        if (position == 1) return box(0, 0, W, h2);
        if (position == 2) return box(0, h2, W, H);
        return {};
    case 2:
        switch (position) {
        case 1: return box(0, 0, w2, h2);
        case 2: return box(w2, 0, W, h2);
        case 3: return box(0, h2, w2, H);
        case 4: return box(w2, h2, W, H);
        default: return {};
        }
    case 3: {
        if (position < 1 || position > 8)
            return {};
        const int tops[] = {0, h4, h2, h34};
        const int bottoms[] = {h4, h2, h34, H};
        const int row = (position - 1) / 2;
        const bool right = (position - 1) % 2 == 1;
        return right ? box(w2, tops[row], W, bottoms[row]) : box(0, tops[row], w2, bottoms[row]);
    }
    default:
        return {};
    }
}

int sheetPositionAt(int layout, int x, int y, int w, int h)
{
    const int w2 = w / 2;
    const int h2 = h / 2;
    const int h4 = h / 4;
    const int h34 = (3 * h) / 4;
    const bool left = x < w2;
    switch (layout) {
    case 0:
        return 1;
    case 1:
        return y < h2 ? 1 : 2;
    case 2:
        if (y < h2)
            return left ? 1 : 2;
        return left ? 3 : 4;
    case 3: {
        int position;
        if (y < h2)
            position = y < h4 ? 1 : 3;
        else
            position = y > h34 ? 7 : 5;   // y = 3h/4 itself stays in the third row
        return left ? position : position + 1;
    }
    default:
        return 0;
    }
}

void Sheet::reset()
{
    for (QImage& page : m_pages)
        blankPage(page);
    m_composed = QImage();
    m_preview = QImage(DefaultPageWidth, DefaultPageHeight, SheetFormat);
    m_preview.fill(Qt::white);
}

bool Sheet::copyPage(int position, const QImage& page)
{
    if (page.isNull())
        return true;
    // Shared with the caller when already 24-bit: nothing here ever writes
    // into a position's pixels, a rotation builds a new bitmap.
    QImage copy = page.convertToFormat(SheetFormat);
    if (copy.isNull())
        return false;
    pageAt(position) = std::move(copy);
    return true;
}

int pageTurn(int layout, QSize page)
{
    // Layouts 1 and 4 show their pages upright, 2 and 8 on their side.
    const bool upright = layout == 0 || layout == 2;
    if (upright && page.width() > page.height())
        return 270;
    if (!upright && page.width() < page.height())
        return 90;
    return 0;
}

void paintSheet(QPainter& painter, const QRectF& area, const SheetCharts& sheet)
{
    const int count = layoutPositionCount(sheet.layout);
    if (count == 0)
        return;
    const QSize size = sheetSize(sheet.layout);
    painter.save();
    painter.translate(area.topLeft());
    painter.scale(area.width() / size.width(), area.height() / size.height());
    Page drawing;   // one text layout cache for the whole sheet
    for (int p = 1; p <= count; ++p) {
        const Chart* chart = sheet.charts[std::size_t(p - 1)];
        const QSize page = chart ? pageSize(*chart) : QSize(DefaultPageWidth, DefaultPageHeight);
        const int w = page.width(), h = page.height();
        // rotateQuarterTurn's turns, for the page's area: clockwise, the
        // point (x, y) goes to (h - y, x); counterclockwise, to (y, w - x).
        QTransform turn;
        QSize turned = page;
        switch (pageTurn(sheet.layout, page)) {
        case 90:
            turn = QTransform(0, 1, -1, 0, h, 0);
            turned.transpose();
            break;
        case 270:
            turn = QTransform(0, -1, 1, 0, 0, w);
            turned.transpose();
            break;
        default:
            break;
        }
        const QRect target = sheetRect(sheet.layout, p, size.width(), size.height());
        QTransform place = QTransform::fromTranslate(target.x(), target.y());
        place.scale(double(target.width()) / turned.width(), double(target.height()) / turned.height());
        painter.save();
        painter.setTransform(turn * place, true);
        if (chart) {
            const Instrument part =
                sheet.instrument != Instrument::Concert ? sheet.instrument : sheet.parts[std::size_t(p - 1)];
            if (part == Instrument::Concert) {
                drawing.paint(painter, *chart, Selection{}, false);
            } else {
                drawing.paint(painter, partFor(*chart, part), Selection{}, false);
                paintPartMark(painter, page, part);
            }
        } else {
            PainterSurface blank;
            blank.begin(painter, page);
            blank.rectangle(0, 0, w, h);
            blank.end();
        }
        painter.restore();
    }
    painter.restore();
}

bool Sheet::compose(int layout)
{
    bool drawn = true;
    const int count = layoutPositionCount(layout);
    if (count > 0) {
        const QSize size = sheetSize(layout);
        if (m_composed.size() != size)
            m_composed = QImage(size, SheetFormat);
        if (m_composed.isNull())
            return false;
        for (int p = 1; p <= count; ++p) {
            QImage& page = pageAt(p);
            if (const int angle = pageTurn(layout, page.size()))
                drawn &= rotateQuarterTurn(page, angle);
        }
        // The rectangles tile the sheet exactly, so every pixel is redrawn.
        for (int p = 1; p <= count; ++p)
            drawn &= stretchDraw(m_composed, sheetRect(layout, p, size.width(), size.height()), pageAt(p));
    }
    if (m_preview.size() != QSize(DefaultPageWidth, DefaultPageHeight))
        m_preview = QImage(DefaultPageWidth, DefaultPageHeight, SheetFormat);
    if (m_preview.isNull())
        return false;
    return stretchDraw(m_preview, QRect(0, 0, DefaultPageWidth, DefaultPageHeight), m_composed) && drawn;
}

bool Sheet::placePage(int layout, int position, const QImage& page)
{
    const QSize size = sheetSize(layout);
    if (m_composed.size() != size || position < 1 || position > layoutPositionCount(layout))
        return true;
    const QRect target = sheetRect(layout, position, size.width(), size.height());
    const int angle = pageTurn(layout, page.size());
    if (angle == 0)
        return stretchDraw(m_composed, target, page);
    QImage turned = page;
    return rotateQuarterTurn(turned, angle) && stretchDraw(m_composed, target, turned);
}

} // namespace mavrel
