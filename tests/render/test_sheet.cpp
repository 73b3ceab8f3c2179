// The sheet: quarter turns, layouts, stretching and the click-to-position map.
#include "render/sheet.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mavrel;

namespace {

// A 24-bit image in which every pixel names its own coordinates.
QImage pattern(int w, int h)
{
    QImage img(w, h, SheetFormat);
    for (int y = 0; y < h; ++y) {
        uchar* row = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<uchar>(x & 0xFF);
            row[3 * x + 1] = static_cast<uchar>(y & 0xFF);
            row[3 * x + 2] = static_cast<uchar>((x >> 8) | ((y >> 8) << 4));
        }
    }
    return img;
}

// Blue, green, red as 0xRRGGBB.
unsigned px(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
}

unsigned named(int x, int y)
{
    return unsigned((x >> 8) | ((y >> 8) << 4)) << 16 | unsigned(y & 0xFF) << 8 | unsigned(x & 0xFF);
}

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), std::size_t(a.width()) * 3) != 0)
            return false;
    return true;
}

QImage turned(QImage img, int angle)
{
    Bmprot90(img, angle);
    return img;
}

QImage region(const QImage& img, const QRect& r)
{
    return img.copy(r).convertToFormat(SheetFormat);
}

QImage solid(int w, int h, QRgb colour)
{
    QImage img(w, h, SheetFormat);
    img.fill(QColor(colour));
    return img;
}

constexpr unsigned Black = 0x000000;
constexpr unsigned White = 0xFFFFFF;

} // namespace

// --- quarter turns -------------------------------------------------------------

TEST(Bmprot90, ClockwiseMapsEveryPixel)
{
    const int W = 37, H = 21;   // odd, and not a multiple of the row block
    const QImage img = turned(pattern(W, H), 90);
    ASSERT_EQ(img.size(), QSize(H, W));
    for (int y = 0; y < W; ++y)
        for (int x = 0; x < H; ++x)
            ASSERT_EQ(px(img, x, y), named(y, H - 1 - x)) << x << "," << y;
}

TEST(Bmprot90, OtherAnglesTurnCounterclockwise)
{
    const int W = 37, H = 21;
    for (int angle : {270, 0, 180, -90}) {
        const QImage img = turned(pattern(W, H), angle);
        ASSERT_EQ(img.size(), QSize(H, W)) << angle;
        for (int y = 0; y < W; ++y)
            for (int x = 0; x < H; ++x)
                ASSERT_EQ(px(img, x, y), named(W - 1 - y, x)) << angle << ": " << x << "," << y;
    }
}

TEST(Bmprot90, PageCorners)
{
    const QImage page = pattern(565, 800);
    const QImage cw = turned(page, 90);
    ASSERT_EQ(cw.size(), QSize(800, 565));
    EXPECT_EQ(px(cw, 799, 0), named(0, 0));
    EXPECT_EQ(px(cw, 0, 0), named(0, 799));
    EXPECT_EQ(px(cw, 0, 564), named(564, 799));

    const QImage ccw = turned(page, 270);
    ASSERT_EQ(ccw.size(), QSize(800, 565));
    EXPECT_EQ(px(ccw, 0, 564), named(0, 0));
    EXPECT_EQ(px(ccw, 0, 0), named(564, 0));
    EXPECT_EQ(px(ccw, 799, 564), named(0, 799));
}

TEST(Bmprot90, RoundTripsRestoreEveryPixel)
{
    const QImage page = pattern(565, 800);
    EXPECT_TRUE(samePixels(turned(turned(page, 90), 270), page));
    EXPECT_TRUE(samePixels(turned(turned(page, 270), 90), page));
    // Four turns the same way come back too.
    EXPECT_TRUE(samePixels(turned(turned(turned(turned(page, 90), 90), 90), 90), page));
    // The caller's copy of the image is never written through.
    QImage shared = page;
    Bmprot90(shared, 90);
    EXPECT_TRUE(samePixels(page, pattern(565, 800)));
}

TEST(Bmprot90, OneRowBecomesOneColumn)
{
    const int W = 50;
    const QImage cw = turned(pattern(W, 1), 90);
    ASSERT_EQ(cw.size(), QSize(1, W));
    for (int y = 0; y < W; ++y)
        EXPECT_EQ(px(cw, 0, y), named(y, 0));
    const QImage ccw = turned(pattern(W, 1), 270);
    ASSERT_EQ(ccw.size(), QSize(1, W));
    for (int y = 0; y < W; ++y)
        EXPECT_EQ(px(ccw, 0, y), named(W - 1 - y, 0));
}

TEST(Bmprot90, SquareKeepsItsSizeAndTurns)
{
    const QImage img = turned(pattern(40, 40), 90);
    ASSERT_EQ(img.size(), QSize(40, 40));
    EXPECT_EQ(px(img, 39, 0), named(0, 0));
    EXPECT_EQ(px(img, 0, 0), named(0, 39));
}

TEST(Bmprot90, ThirtyTwoBitImageIsTurnedAt24Bits)
{
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setPixel(0, 0, qRgb(0x11, 0x22, 0x33));
    Bmprot90(img, 90);
    ASSERT_EQ(img.depth(), 24);
    ASSERT_EQ(img.size(), QSize(2, 3));
    EXPECT_EQ(px(img, 1, 0), 0x112233u);
}

// --- composition ---------------------------------------------------------------

TEST(Sheet, StartsWithBorderedBlankPages)
{
    const Sheet sheet;
    for (int p = 1; p <= SheetPositions; ++p) {
        const QImage& page = sheet.grille(p);
        ASSERT_EQ(page.size(), QSize(565, 800));
        ASSERT_EQ(page.depth(), 24);
        EXPECT_EQ(px(page, 0, 400), Black);
        EXPECT_EQ(px(page, 564, 400), Black);
        EXPECT_EQ(px(page, 300, 0), Black);
        EXPECT_EQ(px(page, 300, 799), Black);
        EXPECT_EQ(px(page, 1, 1), White);
        EXPECT_EQ(px(page, 563, 798), White);
    }
    EXPECT_TRUE(sheet.feuille().isNull());
}

TEST(Sheet, LandscapePageInLayoutOneIsTurnedUprightAndFillsTheSheet)
{
    Sheet sheet;
    const QImage landscape = pattern(800, 565);
    sheet.copyPage(1, landscape);
    sheet.Apercu(0);
    const QImage upright = turned(landscape, 270);
    EXPECT_TRUE(samePixels(sheet.grille(1), upright));
    EXPECT_TRUE(samePixels(sheet.feuille(), upright));
}

TEST(Sheet, LayoutTwoTurnsBothPagesAndLayoutOneTurnsTheFirstBack)
{
    Sheet sheet;
    const QImage first = pattern(565, 800);
    const QImage second = solid(565, 800, qRgb(10, 20, 30));
    sheet.copyPage(1, first);
    sheet.copyPage(2, second);

    sheet.Apercu(1);
    ASSERT_EQ(sheet.feuille().size(), QSize(800, 1130));
    EXPECT_TRUE(samePixels(region(sheet.feuille(), QRect(0, 0, 800, 565)), turned(first, 90)));
    EXPECT_TRUE(samePixels(region(sheet.feuille(), QRect(0, 565, 800, 565)), turned(second, 90)));

    sheet.Apercu(0);
    EXPECT_TRUE(samePixels(sheet.grille(1), first));
    EXPECT_TRUE(samePixels(sheet.feuille(), first));
    // Position 2 is not part of "1" and stays on its side.
    EXPECT_EQ(sheet.grille(2).size(), QSize(800, 565));
}

TEST(Sheet, RotationsPersistBetweenLayoutsOfOneOrientation)
{
    Sheet sheet;
    sheet.Apercu(1);
    const qint64 turnedOnce = sheet.grille(1).cacheKey();
    sheet.Apercu(3);
    EXPECT_EQ(sheet.grille(1).cacheKey(), turnedOnce);
    sheet.Apercu(2);
    sheet.Apercu(0);
    EXPECT_EQ(sheet.grille(1).size(), QSize(565, 800));
}

TEST(Sheet, UnloadedPositionsAreTurnedWithLayoutEight)
{
    Sheet sheet;
    sheet.Apercu(3);
    const QImage& f = sheet.feuille();
    ASSERT_EQ(f.size(), QSize(1600, 2260));
    for (int p = 1; p <= 8; ++p)
        EXPECT_EQ(sheet.grille(p).size(), QSize(800, 565)) << p;
    // Columns meet at x = 800, rows at y = 565, 1130 and 1695: each page's
    // border lies on both sides of every seam.
    for (int y : {10, 600, 1200, 2000}) {
        EXPECT_EQ(px(f, 799, y), Black);
        EXPECT_EQ(px(f, 800, y), Black);
        EXPECT_EQ(px(f, 798, y), White);
        EXPECT_EQ(px(f, 801, y), White);
    }
    for (int seam : {565, 1130, 1695}) {
        EXPECT_EQ(px(f, 400, seam - 1), Black);
        EXPECT_EQ(px(f, 400, seam), Black);
        EXPECT_EQ(px(f, 1200, seam - 2), White);
        EXPECT_EQ(px(f, 1200, seam + 1), White);
    }
    EXPECT_EQ(px(f, 1599, 2259), Black);
}

TEST(Sheet, OddSizedPageIsStretchedOverItsRectangle)
{
    // Left half red, right half blue, 200 x 300: scaled to 565 x 800 without
    // keeping proportions.
    QImage page = solid(200, 300, qRgb(255, 0, 0));
    for (int y = 0; y < 300; ++y)
        for (int x = 100; x < 200; ++x)
            std::memcpy(page.scanLine(y) + 3 * x, "\xFF\x00\x00", 3);
    Sheet sheet;
    sheet.copyPage(1, page);
    sheet.Apercu(0);
    const QImage& f = sheet.feuille();
    ASSERT_EQ(f.size(), QSize(565, 800));
    EXPECT_EQ(sheet.grille(1).size(), QSize(200, 300));
    for (int y : {0, 399, 799}) {
        EXPECT_EQ(px(f, 0, y), 0xFF0000u);
        EXPECT_EQ(px(f, 280, y), 0xFF0000u);
        EXPECT_EQ(px(f, 284, y), 0x0000FFu);
        EXPECT_EQ(px(f, 564, y), 0x0000FFu);
    }
}

TEST(Sheet, SquarePageIsNeverTurned)
{
    Sheet sheet;
    const QImage square = pattern(300, 300);
    sheet.copyPage(1, square);
    for (int layout : {1, 0, 3, 2}) {
        sheet.Apercu(layout);
        EXPECT_TRUE(samePixels(sheet.grille(1), square)) << layout;
    }
    // In "2" it is stretched into the 800 x 565 upper half as it stands.
    sheet.Apercu(1);
    EXPECT_EQ(px(sheet.feuille(), 0, 0), named(0, 0));
    EXPECT_EQ(px(sheet.feuille(), 799, 564), named(299, 299));
}

TEST(Sheet, NoLayoutKeepsTheSheetAndRedrawsThePreview)
{
    Sheet sheet;
    sheet.copyPage(1, solid(565, 800, qRgb(1, 2, 3)));
    sheet.Apercu(0);
    const QImage before = sheet.feuille();
    sheet.copyPage(1, solid(565, 800, qRgb(9, 9, 9)));
    sheet.Apercu(-1);
    EXPECT_TRUE(samePixels(sheet.feuille(), before));
    EXPECT_EQ(px(sheet.preview(), 10, 10), 0x010203u);
}

TEST(Sheet, PreviewIsTheWholeSheetScaled)
{
    Sheet sheet;
    sheet.copyPage(8, solid(800, 565, qRgb(0, 0, 255)));
    sheet.Apercu(3);
    const QImage& preview = sheet.preview();
    ASSERT_EQ(preview.size(), QSize(565, 800));
    EXPECT_EQ(px(preview, 100, 100), White);
    EXPECT_EQ(px(preview, 400, 700), 0x0000FFu);   // position 8, bottom right
    EXPECT_EQ(px(preview, 200, 700), White);       // position 7
    // The pages' one-pixel borders survive the reduction: the seams between
    // columns (x = 800 on the sheet) and between rows (y = 565) stay black.
    EXPECT_EQ(px(preview, 282, 100), Black);
    EXPECT_EQ(px(preview, 100, 200), Black);
    EXPECT_EQ(px(preview, 281, 100), White);
    EXPECT_EQ(px(preview, 100, 198), White);
}

TEST(StretchDraw, ReducingKeepsTheDarkestChannelAndEnlargingRepeats)
{
    // Four pixels into two: each takes the darkest of its pair, channel by channel.
    QImage row(4, 1, SheetFormat);
    const uchar bytes[] = {0xFF, 0xFF, 0xFF, 0x10, 0xFF, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0xFF};
    std::memcpy(row.scanLine(0), bytes, sizeof bytes);
    QImage small(2, 1, SheetFormat);
    stretchDraw(small, small.rect(), row);
    EXPECT_EQ(px(small, 0, 0), 0x80FF10u);
    EXPECT_EQ(px(small, 1, 0), 0xFF20FFu);

    // Two pixels into five: 0, 0, 0, 1, 1.
    QImage wide(5, 1, SheetFormat);
    stretchDraw(wide, wide.rect(), small);
    EXPECT_EQ(px(wide, 2, 0), 0x80FF10u);
    EXPECT_EQ(px(wide, 3, 0), 0xFF20FFu);

    // Drawing outside the destination is clipped.
    QImage dest = solid(3, 3, qRgb(255, 255, 255));
    stretchDraw(dest, QRect(2, 2, 4, 4), solid(2, 2, qRgb(0, 0, 0)));
    EXPECT_EQ(px(dest, 2, 2), Black);
    EXPECT_EQ(px(dest, 1, 1), White);
}

// --- click to position ---------------------------------------------------------

struct Click {
    int layout, x, y, position;
};

class ClickTable : public ::testing::TestWithParam<Click> {};

TEST_P(ClickTable, ChoosesThePosition)
{
    const Click c = GetParam();
    EXPECT_EQ(sheetPositionAt(c.layout, c.x, c.y), c.position)
        << "layout " << c.layout << " at " << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(Thresholds, ClickTable, ::testing::Values(
    // "8", left column: rows meet at 200 and 400, and strictly above 600.
    Click{3, 10, 199, 1}, Click{3, 10, 200, 3}, Click{3, 10, 399, 3},
    Click{3, 10, 400, 5}, Click{3, 10, 600, 5}, Click{3, 10, 601, 7},
    Click{3, 281, 0, 1}, Click{3, 282, 0, 2},
    // "8", right column.
    Click{3, 564, 199, 2}, Click{3, 300, 200, 4}, Click{3, 300, 400, 6},
    Click{3, 300, 600, 6}, Click{3, 300, 601, 8}, Click{3, 564, 799, 8},
    // "2": x is not looked at.
    Click{1, 0, 399, 1}, Click{1, 564, 399, 1}, Click{1, 0, 400, 2}, Click{1, 564, 799, 2},
    // "4".
    Click{2, 281, 399, 1}, Click{2, 282, 399, 2}, Click{2, 281, 400, 3}, Click{2, 282, 400, 4},
    // "1" anywhere, and nothing without a layout.
    Click{0, 564, 799, 1}, Click{0, 0, 0, 1}, Click{-1, 10, 10, 0}, Click{4, 10, 10, 0}));

TEST(SheetGeometry, RectanglesTileEverySheet)
{
    for (int layout = 0; layout < 4; ++layout) {
        const QSize size = sheetSize(layout);
        const int count = layoutPositionCount(layout);
        long long area = 0;
        for (int p = 1; p <= count; ++p) {
            const QRect r = sheetRect(layout, p, size.width(), size.height());
            // Every rectangle is one standard page, placed without scaling.
            EXPECT_TRUE(r.size() == QSize(565, 800) || r.size() == QSize(800, 565)) << layout << p;
            for (int q = 1; q < p; ++q)
                EXPECT_FALSE(r.intersects(sheetRect(layout, q, size.width(), size.height())));
            area += static_cast<long long>(r.width()) * r.height();
        }
        EXPECT_EQ(area, static_cast<long long>(size.width()) * size.height()) << layout;
    }
    EXPECT_EQ(sheetRect(3, 7, 1600, 2260), QRect(0, 1695, 800, 565));
    EXPECT_EQ(layoutFromCount(8), 3);
    EXPECT_EQ(layoutFromCount(3), -1);
}
