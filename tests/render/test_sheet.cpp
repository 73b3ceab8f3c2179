// The sheet: quarter turns, layouts, stretching and the click-to-position map.
#include "render/sheet.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace mavrel;

namespace {

// A 24-bit image in which every pixel names its own coordinates.
unsigned named(int x, int y)
{
    return unsigned((x >> 8) | ((y >> 8) << 4)) << 16 | unsigned(y & 0xFF) << 8 | unsigned(x & 0xFF);
}

QImage pattern(int w, int h)
{
    QImage img(w, h, SheetFormat);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned v = named(x, y);
            uchar* p = img.scanLine(y) + 3 * x;
            p[0] = uchar(v);   // blue, green, red
            p[1] = uchar(v >> 8);
            p[2] = uchar(v >> 16);
        }
    return img;
}

unsigned px(const QImage& img, int x, int y)
{
    const uchar* p = img.constScanLine(y) + 3 * x;
    return unsigned(p[2]) << 16 | unsigned(p[1]) << 8 | p[0];
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
    rotateQuarterTurn(img, angle);
    return img;
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

TEST(QuarterTurn, EveryPixelOfEveryShapeGoesWhereTheAngleSays)
{
    // A page (several tiles each way), odd sizes, one row, a square.
    const QSize sizes[] = {{565, 800}, {37, 21}, {50, 1}, {40, 40}};
    for (const QSize size : sizes) {
        const int W = size.width(), H = size.height();
        for (const int angle : {90, 270, 0, 180}) {
            const QImage img = turned(pattern(W, H), angle);
            ASSERT_EQ(img.size(), QSize(H, W)) << angle;
            for (int y = 0; y < W; ++y)
                for (int x = 0; x < H; ++x) {
                    // Clockwise for 90, counterclockwise for anything else.
                    const unsigned want = angle == 90 ? named(y, H - 1 - x) : named(W - 1 - y, x);
                    ASSERT_EQ(px(img, x, y), want) << W << "x" << H << " angle " << angle
                                                   << " at " << x << "," << y;
                }
        }
    }
}

TEST(QuarterTurn, OppositeTurnsRestoreThePage)
{
    const QImage page = pattern(565, 800);
    EXPECT_TRUE(samePixels(turned(turned(page, 90), 270), page));
    EXPECT_TRUE(samePixels(turned(turned(page, 270), 90), page));
    // Another copy of the image never changes with the one turned.
    QImage shared = page;
    rotateQuarterTurn(shared, 90);
    EXPECT_TRUE(samePixels(page, pattern(565, 800)));
}

// --- composition ---------------------------------------------------------------

TEST(Sheet, StartsWithBorderedBlankPages)
{
    const Sheet sheet;
    for (int p = 1; p <= SheetPositions; ++p) {
        const QImage& page = sheet.pageAt(p);
        ASSERT_EQ(page.size(), QSize(565, 800));
        EXPECT_EQ(px(page, 0, 400), Black);
        EXPECT_EQ(px(page, 564, 400), Black);
        EXPECT_EQ(px(page, 300, 799), Black);
        EXPECT_EQ(px(page, 1, 1), White);
        EXPECT_EQ(px(page, 563, 798), White);
    }
    EXPECT_TRUE(sheet.composed().isNull());
}

TEST(Sheet, LandscapePageInLayoutOneIsTurnedUprightAndFillsTheSheet)
{
    Sheet sheet;
    const QImage landscape = pattern(800, 565);
    sheet.copyPage(1, landscape);
    sheet.compose(0);
    EXPECT_TRUE(samePixels(sheet.pageAt(1), turned(landscape, 270)));
    EXPECT_TRUE(samePixels(sheet.composed(), turned(landscape, 270)));
}

TEST(Sheet, LayoutTwoTurnsBothPagesAndLayoutOneTurnsTheFirstBack)
{
    Sheet sheet;
    const QImage first = pattern(565, 800);
    const QImage second = solid(565, 800, qRgb(10, 20, 30));
    sheet.copyPage(1, first);
    sheet.copyPage(2, second);

    sheet.compose(1);
    const QImage& f = sheet.composed();
    ASSERT_EQ(f.size(), QSize(800, 1130));
    EXPECT_TRUE(samePixels(f.copy(0, 0, 800, 565), turned(first, 90)));
    EXPECT_TRUE(samePixels(f.copy(0, 565, 800, 565), turned(second, 90)));

    // Layouts of one orientation share the rotations: nothing is turned again.
    const qint64 onItsSide = sheet.pageAt(1).cacheKey();
    sheet.compose(3);
    EXPECT_EQ(sheet.pageAt(1).cacheKey(), onItsSide);

    sheet.compose(0);
    EXPECT_TRUE(samePixels(sheet.pageAt(1), first));
    EXPECT_TRUE(samePixels(sheet.composed(), first));
    EXPECT_EQ(sheet.pageAt(2).size(), QSize(800, 565));   // not part of "1"
}

TEST(Sheet, UnloadedPositionsAreTurnedWithLayoutEight)
{
    Sheet sheet;
    sheet.compose(3);
    const QImage& f = sheet.composed();
    ASSERT_EQ(f.size(), QSize(1600, 2260));
    for (int p = 1; p <= 8; ++p)
        EXPECT_EQ(sheet.pageAt(p).size(), QSize(800, 565)) << p;
    // Columns meet at x = 800, rows at y = 565, 1130 and 1695: a page border
    // on each side of every seam.
    for (int y : {10, 600, 1200, 2000}) {
        EXPECT_EQ(px(f, 799, y), Black);
        EXPECT_EQ(px(f, 800, y), Black);
        EXPECT_EQ(px(f, 801, y), White);
    }
    for (int seam : {565, 1130, 1695}) {
        EXPECT_EQ(px(f, 400, seam - 1), Black);
        EXPECT_EQ(px(f, 400, seam), Black);
        EXPECT_EQ(px(f, 1200, seam + 1), White);
    }
}

TEST(Sheet, OddSizedPageIsStretchedAndASquareOneNeverTurned)
{
    // 200 x 300, left half red, right half blue: stretched to 565 x 800.
    QImage page = solid(200, 300, qRgb(255, 0, 0));
    for (int y = 0; y < 300; ++y)
        for (int x = 100; x < 200; ++x)
            std::memcpy(page.scanLine(y) + 3 * x, "\xFF\x00\x00", 3);
    Sheet sheet;
    sheet.copyPage(1, page);
    sheet.compose(0);
    EXPECT_EQ(sheet.pageAt(1).size(), QSize(200, 300));
    for (int y : {0, 799}) {
        EXPECT_EQ(px(sheet.composed(), 280, y), 0xFF0000u);
        EXPECT_EQ(px(sheet.composed(), 284, y), 0x0000FFu);
    }

    const QImage square = pattern(300, 300);
    sheet.copyPage(1, square);
    for (int layout : {1, 0, 3, 2})
        sheet.compose(layout);
    EXPECT_TRUE(samePixels(sheet.pageAt(1), square));
    sheet.compose(1);   // stretched as it stands into the 800 x 565 upper half
    EXPECT_EQ(px(sheet.composed(), 799, 564), named(299, 299));
}

TEST(Sheet, PreviewIsTheSheetReducedWithItsLines)
{
    Sheet sheet;
    sheet.copyPage(8, solid(800, 565, qRgb(0, 0, 255)));
    sheet.compose(3);
    const QImage& preview = sheet.preview();
    ASSERT_EQ(preview.size(), QSize(565, 800));
    EXPECT_EQ(px(preview, 400, 700), 0x0000FFu);   // position 8
    EXPECT_EQ(px(preview, 200, 700), White);       // position 7
    // Each preview pixel takes the darkest it covers, so one-pixel borders
    // survive: the seams at x = 800 and y = 565 of the sheet stay black.
    EXPECT_EQ(px(preview, 282, 100), Black);
    EXPECT_EQ(px(preview, 100, 200), Black);
    EXPECT_EQ(px(preview, 281, 100), White);

    // Without a layout the sheet stays and is only redrawn into the preview.
    const QImage before = sheet.composed();
    sheet.copyPage(8, solid(800, 565, qRgb(9, 9, 9)));
    sheet.compose(-1);
    EXPECT_TRUE(samePixels(sheet.composed(), before));
}

// --- click to position ---------------------------------------------------------

TEST(SheetPositionAt, Thresholds)
{
    struct Row {
        int layout, x, y, position;
    };
    const Row rows[] = {
        // "8", left column: rows meet at 200 and 400, and strictly above 600.
        {3, 10, 199, 1}, {3, 10, 200, 3}, {3, 10, 399, 3},
        {3, 10, 400, 5}, {3, 10, 600, 5}, {3, 10, 601, 7},
        {3, 281, 0, 1}, {3, 282, 0, 2},
        // "8", right column.
        {3, 564, 199, 2}, {3, 300, 200, 4}, {3, 300, 600, 6}, {3, 300, 601, 8},
        // "2": x is not looked at.
        {1, 0, 399, 1}, {1, 564, 399, 1}, {1, 0, 400, 2}, {1, 564, 799, 2},
        // "4".
        {2, 281, 399, 1}, {2, 282, 399, 2}, {2, 281, 400, 3}, {2, 282, 400, 4},
        // "1" anywhere; nothing without a layout.
        {0, 564, 799, 1}, {-1, 10, 10, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(sheetPositionAt(r.layout, r.x, r.y), r.position)
            << "layout " << r.layout << " at " << r.x << "," << r.y;
}
