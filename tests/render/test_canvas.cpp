// The drawing conventions of the page image, on small images.
#include "pixels.h"
#include "render/canvas.h"
#include "render/glyphcache.h"

#include "document/win1252.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

namespace mavrel {
namespace {

using namespace test;

struct Surface {
    QImage image;
    Canvas canvas;
    explicit Surface(int w = 12, int h = 12) : image(whiteImage(w, h)) { canvas.setImage(&image); }
};

std::vector<QPoint> blackPixels(const QImage& img)
{
    std::vector<QPoint> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(img, x, y) == Black)
                out.push_back({x, y});
    return out;
}

TEST(Canvas, RectangleExcludesRightAndBottomEdges)
{
    Surface s;
    s.canvas.setBrushColor(Red);
    s.canvas.rectangle(2, 3, 6, 8);
    EXPECT_TRUE(allAre(s.image, area(2, 3, 5, 3), Black));   // top row
    EXPECT_TRUE(allAre(s.image, area(2, 7, 5, 7), Black));   // bottom row is y2 - 1
    EXPECT_TRUE(allAre(s.image, area(2, 3, 2, 7), Black));   // left column
    EXPECT_TRUE(allAre(s.image, area(5, 3, 5, 7), Black));   // right column is x2 - 1
    EXPECT_TRUE(allAre(s.image, area(3, 4, 4, 6), Red));     // inside on the brush
    EXPECT_TRUE(allAre(s.image, area(6, 0, 6, 11), White));
    EXPECT_TRUE(allAre(s.image, area(0, 8, 11, 8), White));
    EXPECT_TRUE(allAre(s.image, area(1, 0, 1, 11), White));
    EXPECT_TRUE(allAre(s.image, area(0, 2, 11, 2), White));
}

TEST(Canvas, FillRectCoversTheSamePixelsWithTheBrushAlone)
{
    Surface s;
    s.canvas.setBrushColor(Red);
    s.canvas.fillRect(2, 3, 6, 8);
    EXPECT_TRUE(allAre(s.image, area(2, 3, 5, 7), Red));
    EXPECT_EQ(count(s.image, s.image.rect(), Red), 4 * 5);
}

TEST(Canvas, DrawingOffTheImageIsClipped)
{
    Surface s(6, 6);
    s.canvas.rectangle(-10, -10, 3, 3);
    s.canvas.fillRect(4, 4, 100, 100);
    s.canvas.ellipse(-3, -3, 2, 2);
    s.canvas.textOut(-30, 4, "Mavrel");
    s.canvas.textOut(5, -4, "Mavrel");
    s.canvas.focusRect(-2, -2, 9, 9);
    s.canvas.line(-5, 1, 20, 1);
    EXPECT_TRUE(allAre(s.image, area(0, 1, 5, 1), Black));
}

TEST(Canvas, LineIncludesItsStartAndNotItsEnd)
{
    struct Row { const char* name; int x1, y1, x2, y2; std::vector<QPoint> pixels; };
    const Row rows[] = {
        {"horizontal", 1, 1, 5, 1, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {"horizontal reversed", 5, 1, 1, 1, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
        {"vertical", 2, 0, 2, 3, {{2, 0}, {2, 1}, {2, 2}}},
        {"vertical reversed", 2, 3, 2, 0, {{2, 3}, {2, 2}, {2, 1}}},
        {"diagonal", 0, 0, 4, 4, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"diagonal reversed", 4, 4, 0, 0, {{4, 4}, {3, 3}, {2, 2}, {1, 1}}},
        {"anti-diagonal", 4, 0, 0, 4, {{4, 0}, {3, 1}, {2, 2}, {1, 3}}},
        {"single step", 3, 3, 4, 3, {{3, 3}}},
        {"no length", 3, 3, 3, 3, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Surface s(8, 8);
        s.canvas.line(r.x1, r.y1, r.x2, r.y2);
        std::vector<QPoint> expected = r.pixels;
        std::vector<QPoint> got = blackPixels(s.image);
        auto byRow = [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); };
        std::sort(expected.begin(), expected.end(), byRow);
        std::sort(got.begin(), got.end(), byRow);
        EXPECT_EQ(got, expected);
    }
}

// Lines that are neither straight nor at 45 degrees: one pixel per step of
// the longer axis, connected, the end point left out.
TEST(Canvas, SlopedLinesStepAlongTheLongerAxis)
{
    struct Row { int x1, y1, x2, y2; };
    const Row rows[] = {{0, 0, 10, 3}, {10, 3, 0, 0}, {1, 0, 3, 9}, {3, 9, 1, 0}, {11, 0, 0, 7}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x1 << "," << r.y1 << " -> " << r.x2 << "," << r.y2);
        Surface s;
        s.canvas.line(r.x1, r.y1, r.x2, r.y2);
        const int steps = std::max(std::abs(r.x2 - r.x1), std::abs(r.y2 - r.y1));
        EXPECT_EQ(int(blackPixels(s.image).size()), steps);
        EXPECT_EQ(at(s.image, r.x1, r.y1), Black);
        EXPECT_EQ(at(s.image, r.x2, r.y2), White);
        const bool steep = std::abs(r.y2 - r.y1) > std::abs(r.x2 - r.x1);
        const int from = steep ? std::min(r.y1, r.y2) : std::min(r.x1, r.x2);
        const int to = steep ? std::max(r.y1, r.y2) : std::max(r.x1, r.x2);
        for (int i = from; i <= to; ++i) {
            const bool isEnd = i == (steep ? r.y2 : r.x2);
            const QRect slice = steep ? area(0, i, 11, i) : area(i, 0, i, 11);
            EXPECT_EQ(count(s.image, slice, Black), isEnd ? 0 : 1) << "at " << i;
        }
    }
}

TEST(Canvas, EllipseFromCornersInEitherOrder)
{
    Surface reference;
    reference.canvas.setBrushColor(Red);
    reference.canvas.ellipse(2, 3, 9, 8);
    const QImage& ref = reference.image;
    // The box follows the rectangle rule: columns 2..8, rows 3..7.
    EXPECT_TRUE(noneAre(ref, area(0, 0, 1, 11), Black));
    EXPECT_TRUE(noneAre(ref, area(9, 0, 11, 11), Black));
    EXPECT_TRUE(noneAre(ref, area(0, 0, 11, 2), Black));
    EXPECT_TRUE(noneAre(ref, area(0, 8, 11, 11), Black));
    EXPECT_GT(count(ref, area(2, 3, 2, 7), Black), 0);
    EXPECT_GT(count(ref, area(8, 3, 8, 7), Black), 0);
    EXPECT_GT(count(ref, area(2, 3, 8, 3), Black), 0);
    EXPECT_GT(count(ref, area(2, 7, 8, 7), Black), 0);
    EXPECT_EQ(at(ref, 5, 5), Red);
    // Rounded: the corners of the box stay clear.
    EXPECT_EQ(at(ref, 2, 3), White);
    EXPECT_EQ(at(ref, 8, 7), White);

    const int orders[][4] = {{9, 8, 2, 3}, {2, 8, 9, 3}, {9, 3, 2, 8}};
    for (const auto& o : orders) {
        SCOPED_TRACE(testing::Message() << o[0] << "," << o[1] << " " << o[2] << "," << o[3]);
        Surface s;
        s.canvas.setBrushColor(Red);
        s.canvas.ellipse(o[0], o[1], o[2], o[3]);
        EXPECT_TRUE(sameImages(s.image, ref));
    }
}

// The dots of the repeat signs: a 3 x 3 box whose middle pixel is the brush,
// so that a selected bar's dots are cyan inside.
TEST(Canvas, SmallestEllipseKeepsTheBrushInside)
{
    Surface s(5, 5);
    s.canvas.setBrushColor(Cyan);
    s.canvas.ellipse(1, 1, 4, 4);
    EXPECT_EQ(at(s.image, 2, 2), Cyan);
    EXPECT_GT(count(s.image, area(1, 1, 3, 3), Black), 0);
    EXPECT_TRUE(noneAre(s.image, area(0, 0, 4, 0), Black));
    EXPECT_TRUE(noneAre(s.image, area(0, 4, 4, 4), Black));
    EXPECT_TRUE(noneAre(s.image, area(0, 0, 0, 4), Black));
    EXPECT_TRUE(noneAre(s.image, area(4, 0, 4, 4), Black));
}

// A polygon inks the pixels whose middle lies inside it, by the non-zero
// rule, at fractions of a pixel and at any distance.
TEST(Canvas, PolygonInksThePixelsWhoseMiddleItHolds)
{
    using Outline = std::vector<QPointF>;
    const Outline square{{1.5, 1.5}, {4.5, 1.5}, {4.5, 4.5}, {1.5, 4.5}};
    const Outline outer{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const Outline holeBack{outer[0], outer[1], outer[2], outer[3], {3, 3}, {3, 7}, {7, 7}, {7, 3}};
    const Outline holeSame{outer[0], outer[1], outer[2], outer[3], {3, 3}, {7, 3}, {7, 7}, {3, 7}};
    auto inSquare = [](int x, int y) { return x >= 1 && x <= 3 && y >= 1 && y <= 3; };
    struct Row {
        const char* what;
        Outline points;
        std::vector<int> sizes;
        std::function<bool(int, int)> inked;
    };
    const Row rows[] = {
        {"middles on the left and top edges are in", square, {}, inSquare},
        {"either way round", Outline(square.rbegin(), square.rend()), {4}, inSquare},
        {"a slope", {{0, 0}, {8, 0}, {0, 8}}, {}, [](int x, int y) { return x + y < 7; }},
        {"an outline turned the other way cuts a hole", holeBack, {4, 4},
         [](int x, int y) { return x < 10 && y < 10 && !(x >= 3 && x < 7 && y >= 3 && y < 7); }},
        {"turned the same way, none", holeSame, {4, 4}, [](int x, int y) { return x < 10 && y < 10; }},
        {"far past the image", {{-1e9, -1e9}, {1e9, -1e9}, {1e9, 1e9}, {-1e9, 1e9}}, {}, [](int, int) { return true; }},
        {"off the image", {{-50, 2}, {-20, 2}, {-20, 9}}, {}, [](int, int) { return false; }},
        {"sizes that do not add up", holeBack, {4, 3}, [](int, int) { return false; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Surface s;
        s.canvas.polygon(row.points, row.sizes);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(at(s.image, x, y) == Black, row.inked(x, y)) << "(" << x << ", " << y << ")";
    }
}

TEST(Canvas, PointsAreTakenAt96DotsPerInch)
{
    struct Row { int points, pixels; };
    const Row rows[] = {{8, 11}, {9, 12}, {10, 13}, {12, 16}, {14, 19}, {48, 64}, {72, 96}};
    for (const Row& r : rows)
        EXPECT_EQ(pointsToPixels(r.points), r.pixels) << r.points << " points";
}

TEST(Canvas, TheFaceIsDejaVuSans)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("DejaVu Sans"));
}

TEST(Canvas, TextCellStandsOnTheBrushWithItsCornerAtThePoint)
{
    Surface s(80, 40);
    s.canvas.setFontSize(10);
    s.canvas.setBrushColor(Red);
    s.canvas.textOut(5, 6, "Ab");
    const QSize cell = s.canvas.textExtent("Ab");
    ASSERT_GT(cell.width(), 0);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    const QFontMetrics fm(font);
    EXPECT_EQ(cell.width(), fm.horizontalAdvance(QStringLiteral("Ab")));
    EXPECT_EQ(cell.height(), fm.height());

    const QRect c(5, 6, cell.width(), cell.height());
    EXPECT_EQ(at(s.image, c.left(), c.top()), Red);
    EXPECT_EQ(at(s.image, c.right(), c.top()), Red);
    EXPECT_EQ(count(s.image, c, Red) + count(s.image, c, Black), c.width() * c.height());
    EXPECT_GT(count(s.image, c, Black), 10);
    // Nothing outside the cell: neither brush nor ink.
    EXPECT_EQ(count(s.image, s.image.rect(), Red) + count(s.image, s.image.rect(), Black),
              c.width() * c.height());

    // The same text elsewhere is the same picture moved.
    Surface moved(80, 40);
    moved.canvas.setFontSize(10);
    moved.canvas.setBrushColor(Red);
    moved.canvas.textOut(9, 3, "Ab");
    EXPECT_TRUE(sameImages(moved.image.copy(9, 3, c.width(), c.height()), s.image.copy(c)));
}

// Ink alone: the same glyphs, and what lay under the cell stays.
TEST(Canvas, InkTextLeavesWhatLiesBeneath)
{
    Surface cell(80, 40), ink(80, 40);
    for (Surface* s : {&cell, &ink}) {
        s->image.fill(Red);
        s->canvas.setFontSize(10);
        s->canvas.setBrushColor(White);
    }
    cell.canvas.textOut(5, 6, "Ab");
    ink.canvas.inkText(5, 6, "Ab");
    EXPECT_EQ(blackPixels(ink.image), blackPixels(cell.image));
    EXPECT_EQ(count(ink.image, ink.image.rect(), White), 0);
    EXPECT_EQ(ink.canvas.textAscent(), QFontMetrics([] {
                  QFont font(QStringLiteral("DejaVu Sans"));
                  font.setPixelSize(13);
                  return font;
              }()).ascent());
}

TEST(Canvas, TextFollowsSizeAndBold)
{
    auto draw = [](int points, bool bold) {
        Surface s(120, 60);
        s.canvas.setFontSize(points);
        s.canvas.setBold(bold);
        s.canvas.textOut(2, 2, "Gm7");
        return s.image;
    };
    const QImage regular = draw(10, false);
    EXPECT_FALSE(sameImages(regular, draw(10, true)));
    EXPECT_FALSE(sameImages(regular, draw(12, false)));
    Surface probe;
    probe.canvas.setFontSize(20);
    const QSize big = probe.canvas.textExtent("Gm7");
    probe.canvas.setFontSize(10);
    const QSize small = probe.canvas.textExtent("Gm7");
    EXPECT_GT(big.width(), small.width());
    EXPECT_GT(big.height(), small.height());
    EXPECT_GT(count(draw(20, false), QRect(0, 0, 120, 60), Black),
              count(regular, QRect(0, 0, 120, 60), Black));
}

// Texts are Windows-1252 bytes: 0xF8 is one character, "ø", not a broken
// UTF-8 sequence.
TEST(Canvas, TextIsDecodedFromWindows1252)
{
    Surface s;
    s.canvas.setFontSize(10);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    const QFontMetrics fm(font);
    EXPECT_EQ(s.canvas.textExtent("C\xF8").width(), fm.horizontalAdvance(QString::fromUtf8("Cø")));
    EXPECT_EQ(s.canvas.textExtent("\xE9t\xE9").width(), fm.horizontalAdvance(QString::fromUtf8("été")));
    EXPECT_EQ(s.canvas.textExtent("\x80").width(), fm.horizontalAdvance(QString::fromUtf8("€")));
}

// Texts are put together from glyphs rasterised apart: every pixel is the one
// QPainter gives the whole text drawn at (size, size) in a picture of its cell
// and a margin of its size, at the sizes Qt draws from bitmaps and at those it
// fills as outlines.
TEST(Canvas, GlyphsMakeTheTextQPainterDraws)
{
    const char* const texts[] = {"C#m7", "Dbm7b5\xF8", "AVATAR Tyj", "\xC9t\xE9 \x80\xC5",
                                 "fi ffl", "a\tb", "x\xAD", "Les feuilles mortes"};
    for (const int points : {8, 10, 14, 24, 48, 49, 60, 72}) {
        for (const bool bold : {false, true}) {
            QFont font = pageFont(pointsToPixels(points), bold);
            font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
            const QFontMetrics fm(font);
            const int margin = font.pixelSize();
            for (const char* text : texts) {
                SCOPED_TRACE(testing::Message() << points << (bold ? " bold " : " ") << text);
                const QString utf8 = QString::fromUtf8(win1252::toUtf8(text));
                const QSize size(fm.horizontalAdvance(utf8) + 2 * margin, fm.height() + 2 * margin);
                QImage reference = whiteImage(size.width(), size.height());
                {
                    QPainter p(&reference);
                    p.setFont(font);
                    p.setPen(Qt::black);
                    p.drawText(margin, margin + fm.ascent(), utf8);
                }
                Surface s(size.width(), size.height());
                s.canvas.setFontSize(points);
                s.canvas.setBold(bold);
                s.canvas.textOut(margin, margin, text);
                EXPECT_TRUE(sameImages(s.image, reference));
            }
        }
    }
}

// One glyph a character, whatever the size and weight: "fi" or "ffl" joined
// into a ligature would come out of a PDF as characters of their own.
TEST(Canvas, EveryCharacterIsAGlyphOfItsOwn)
{
    GlyphCache cache;
    for (const char* text : {"fine", "office", "fl\xFBte", "Gm7 fff"})
        for (const int pixels : {11, 13, 64, 96})
            for (const bool bold : {false, true})
                EXPECT_EQ(cache.text(pixels, bold, text).glyphs.size(), std::strlen(text))
                    << text << ", " << pixels << (bold ? " bold" : "");
}

// Coordinates at the ends of the int range, as files may hold them: what
// falls on the image is drawn, without overflow and without walking the
// pixels off it.
TEST(Canvas, ExtremeCoordinatesDrawWhatFallsOnTheImage)
{
    constexpr int Min = std::numeric_limits<int>::min();
    constexpr int Max = std::numeric_limits<int>::max();
    struct Row {
        const char* what;
        void (Canvas::*draw)(int, int, int, int);
        int x1, y1, x2, y2;
        int red, black;
    };
    const Row rows[] = {
        {"filled band", &Canvas::fillRect, Min, 2, Max, 4, 24, 0},
        {"filled rows from the far end", &Canvas::fillRect, Max, 10, Min, 12, 24, 0},
        {"rectangle round the image", &Canvas::rectangle, Min, Min, Max, Max, 144, 0},
        {"ellipse round the image", &Canvas::ellipse, Min, Min, Max, Max, 144, 0},
        {"focus rectangle round the image", &Canvas::focusRect, Min, Min, Max, Max, 0, 0},
        {"rectangle past the far corner", &Canvas::rectangle, Max - 1, Max - 1, Max, Max, 0, 0},
        {"ellipse before the near corner", &Canvas::ellipse, Min, Min, Min + 3, Min + 3, 0, 0},
        {"line across", &Canvas::line, Min, 5, Max, 5, 0, 12},
        {"line down", &Canvas::line, 7, Max, 7, Min, 0, 12},
        {"diagonal through the corner", &Canvas::line, Min, Min, Max, Max, 0, 12},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Surface s;
        s.canvas.setBrushColor(Red);
        (s.canvas.*r.draw)(r.x1, r.y1, r.x2, r.y2);
        EXPECT_EQ(count(s.image, s.image.rect(), Red), r.red);
        EXPECT_EQ(count(s.image, s.image.rect(), Black), r.black);
        EXPECT_EQ(count(s.image, s.image.rect(), White), 144 - r.red - r.black);
    }
}

TEST(Canvas, FocusRectInvertsADottedOutlineAndUndoesItself)
{
    QImage img(20, 16, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 12, y * 15, (x * y) % 256));
    const QImage before = img.copy();
    Canvas c;
    c.setImage(&img);
    c.focusRect(3, 2, 15, 12);

    int changed = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const bool onOutline = ((x == 3 || x == 14) && y >= 2 && y <= 11)
                || ((y == 2 || y == 11) && x >= 3 && x <= 14);
            if (at(img, x, y) == at(before, x, y))
                continue;
            ++changed;
            EXPECT_TRUE(onOutline) << x << "," << y;
            EXPECT_EQ(at(img, x, y), at(before, x, y) ^ 0x00FFFFFFu) << x << "," << y;
        }
    }
    // Dotted: about every other pixel of the 40-pixel outline.
    EXPECT_GE(changed, 16);
    EXPECT_LE(changed, 24);
    EXPECT_NE(at(img, 5, 2) == at(before, 5, 2), at(img, 6, 2) == at(before, 6, 2));

    c.focusRect(3, 2, 15, 12);
    EXPECT_TRUE(sameImages(img, before));
    // Corners given the other way round address the same outline.
    c.focusRect(15, 12, 3, 2);
    c.focusRect(3, 2, 15, 12);
    EXPECT_TRUE(sameImages(img, before));
}

TEST(Canvas, DashDotPenAlternatesDashesDotsAndGaps)
{
    Surface s(120, 3);
    s.canvas.setPenStyle(Canvas::PenStyle::DashDot);
    s.canvas.line(0, 1, 120, 1);
    EXPECT_EQ(at(s.image, 0, 1), Black);
    std::vector<int> runs;   // black runs along the line
    int run = 0;
    for (int x = 0; x < 120; ++x) {
        if (at(s.image, x, 1) == Black) {
            ++run;
        } else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    ASSERT_GE(runs.size(), 4u);
    const auto [shortest, longest] = std::minmax_element(runs.begin(), runs.end());
    EXPECT_LT(*shortest * 2, *longest);   // dashes and dots
    EXPECT_GT(count(s.image, area(0, 1, 119, 1), White), 20);

    s.canvas.setPenStyle(Canvas::PenStyle::Solid);
    s.canvas.line(0, 2, 120, 2);
    EXPECT_TRUE(allAre(s.image, area(0, 2, 119, 2), Black));
}

} // namespace
} // namespace mavrel
