// Layout of the grid on the page and hit-testing of bars and bar regions.
#include "document/layout.h"
#include "render/page.h"

#include <gtest/gtest.h>

#include <memory>

namespace mavrel {
namespace {

// A chart as the editor starts it: zero-filled, then reset.
class Layout : public ::testing::Test {
protected:
    void SetUp() override { resetChart(chart); }
    void redraw() { layoutChart(chart); }
    void setGrid(int columns, int rows)
    {
        chart.info.columns = columns;
        chart.info.rows = rows;
        redraw();
    }

    Chart chart{};
};

struct Hit { int bar, region; };
bool operator==(Hit a, Hit b) { return a.bar == b.bar && a.region == b.region; }
std::ostream& operator<<(std::ostream& os, Hit h) { return os << "bar " << h.bar << " region " << h.region; }

Hit findCase(const Chart& chart, int x, int y)
{
    Hit h{0, 0};
    hitTest(chart, x, y, h.bar, h.region);
    return h;
}

TEST_F(Layout, FreshChartGivesTheWorkedExample)
{
    EXPECT_EQ(chart.info.barWidth, 106);    // 425 / 4 = 106.25
    EXPECT_EQ(chart.info.barHeight, 72);    // 580 / 8 = 72.5
    EXPECT_EQ(chart.info.count, 32);
    struct Row { int bar, x, y; };
    const Row rows[] = {{1, 70, 150}, {2, 175, 150}, {4, 385, 150}, {5, 70, 221},
                        {6, 175, 221}, {29, 70, 647}, {32, 385, 647}};
    for (const Row& r : rows) {
        EXPECT_EQ(chart.bar(r.bar).x, r.x) << "bar " << r.bar;
        EXPECT_EQ(chart.bar(r.bar).y, r.y) << "bar " << r.bar;
    }
}

TEST_F(Layout, HitTestAnswersBarAndRegion)
{
    struct Row { const char* what; int x, y; Hit expected; };
    const Row rows[] = {
        {"centre of bar 6", 228, 257, {6, 2}},
        {"just inside the top-left corner", 176, 222, {6, 1}},
        {"below the centre", 228, 290, {6, 3}},
        {"right of the centre", 270, 257, {6, 4}},
        {"left of the centre", 185, 257, {6, 1}},
        {"above the centre", 228, 225, {6, 2}},
        {"border shared by bars 5 and 6", 175, 250, {5, 4}},
        {"left margin", 69, 250, {-1, -1}},
        // H - d = 72 - 6.79: a slope truncated to 6 would call this region 1.
        {"slope not truncated", 185, 287, {6, 3}},
        {"border shared by bars 2 and 3", 280, 180, {2, 4}},
        {"border shared by bars 1 and 5", 100, 221, {1, 3}},
        {"border shared by bars 6 and 10", 228, 292, {6, 3}},
        {"corner shared by bars 1, 2, 5 and 6", 175, 221, {1, 4}},
        {"outer left frame column", 70, 186, {-1, -1}},
        {"outer top frame row", 123, 150, {-1, -1}},
        {"top-left corner of the grid", 70, 150, {-1, -1}},
        {"outer right frame column", 490, 186, {4, 4}},
        {"outer bottom frame row", 100, 718, {29, 3}},
        {"bottom-right corner of the grid", 490, 718, {32, 4}},
        {"right of the grid", 491, 186, {-1, -1}},
        {"below the grid", 100, 719, {-1, -1}},
        {"page corner", 0, 0, {-1, -1}},
        {"far outside", -5000, 100000, {-1, -1}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(findCase(chart, r.x, r.y), r.expected) << r.what << " (" << r.x << ", " << r.y << ")";
}

// Points exactly on a diagonal count as above it. Bars of 100 x 50 pixels put
// a diagonal point on every even column.
TEST_F(Layout, PointsOnTheDiagonals)
{
    chart.info.pageWidth = 120;
    chart.info.pageHeight = 70;
    chart.info.sideMargin = 10;
    chart.info.topMargin = 10;
    chart.info.bottomMargin = 10;
    setGrid(1, 1);
    ASSERT_EQ(chart.info.barWidth, 100);
    ASSERT_EQ(chart.info.barHeight, 50);
    ASSERT_EQ(chart.bar(1).x, 10);
    ASSERT_EQ(chart.bar(1).y, 10);

    struct Row { const char* what; int dx, dy; int region; };
    const Row rows[] = {
        {"centre", 50, 25, 2},
        {"main diagonal, upper-left half", 20, 10, 2},
        {"main diagonal, upper-left half, near the corner", 2, 1, 2},
        {"main diagonal, lower-right half", 80, 40, 4},
        {"main diagonal, lower-right half, near the corner", 98, 49, 4},
        {"anti-diagonal, lower-left half", 20, 40, 1},
        {"anti-diagonal, lower-left half, near the corner", 2, 49, 1},
        {"anti-diagonal, upper-right half", 80, 10, 2},
        {"anti-diagonal, upper-right half, near the corner", 98, 1, 2},
        {"just below the main diagonal, upper-left half", 20, 11, 1},
        {"just below the main diagonal, lower-right half", 80, 41, 3},
        {"just below the anti-diagonal, lower-left half", 20, 41, 3},
        {"just below the anti-diagonal, upper-right half", 80, 11, 4},
        {"just below the centre", 50, 26, 3},
    };
    for (const Row& r : rows)
        EXPECT_EQ(findCase(chart, 10 + r.dx, 10 + r.dy), (Hit{1, r.region})) << r.what;
}

TEST_F(Layout, HiddenBarsAreHitLikeShownOnes)
{
    chart.bar(6).shown = 0;
    redraw();
    EXPECT_EQ(findCase(chart, 228, 257), (Hit{6, 2}));
    EXPECT_EQ(findCase(chart, 176, 222), (Hit{6, 1}));
}

TEST_F(Layout, BarsPastTheCountAreNeitherPlacedNorHit)
{
    setGrid(4, 4);
    EXPECT_EQ(chart.info.count, 16);
    EXPECT_EQ(chart.info.barHeight, 145);   // 580 / 4
    // Bar 20 keeps its place of the 4 x 8 grid, where bar 12 now lies: a
    // scan past the count would answer 20 there.
    EXPECT_EQ(chart.bar(20).x, 385);
    EXPECT_EQ(chart.bar(20).y, 434);
    EXPECT_EQ(findCase(chart, 400, 450).bar, 12);
}

TEST_F(Layout, FiveColumnsMoveBarFiveToTheEndOfRowOne)
{
    setGrid(5, 8);
    EXPECT_EQ(chart.info.barWidth, 85);     // 425 / 5
    EXPECT_EQ(chart.info.count, 40);
    EXPECT_EQ(chart.bar(5).x, 70 + 4 * 84);
    EXPECT_EQ(chart.bar(5).y, 150);
    EXPECT_EQ(chart.bar(6).x, 70);
    EXPECT_EQ(chart.bar(6).y, 221);
    EXPECT_EQ(findCase(chart, 70 + 4 * 84 + 42, 186).bar, 5);
}

TEST_F(Layout, GrowingTheGridShowsBarsThatTheResetCleared)
{
    // Bars 33..36 carry leftovers from an earlier chart; a reset clears all 500.
    for (int i = 33; i <= 36; ++i) {
        chart.bar(i).division = 3;
        chart.bar(i).slot(2).root = 7;
        chart.bar(i).right = 2;
        chart.bar(i).shown = 0;
    }
    resetChart(chart);
    setGrid(4, 9);
    EXPECT_EQ(chart.info.count, 36);
    EXPECT_EQ(chart.info.barHeight, 64);    // 580 / 9 = 64.4
    for (int i = 33; i <= 36; ++i) {
        SCOPED_TRACE(i);
        const Bar& b = chart.bar(i);
        EXPECT_EQ(b.division, 1);
        EXPECT_EQ(b.slot(2).root, 0);
        EXPECT_EQ(b.right, 0);
        EXPECT_EQ(b.shown, 1);
        EXPECT_EQ(b.y, 150 + 8 * 63);
        EXPECT_EQ(b.x, 70 + (i - 33) * 105);
    }
    EXPECT_EQ(findCase(chart, 100, 700).bar, 33);
}

TEST_F(Layout, GrowingAfterShrinkingBringsBackTheHiddenContents)
{
    chart.bar(30).division = 2;
    chart.bar(30).slot(1).root = 9;
    setGrid(4, 7);
    EXPECT_EQ(chart.info.count, 28);
    EXPECT_EQ(findCase(chart, 228, 690).bar, 26);
    setGrid(4, 8);
    EXPECT_EQ(chart.bar(30).division, 2);
    EXPECT_EQ(chart.bar(30).slot(1).root, 9);
    EXPECT_EQ(findCase(chart, 228, 690).bar, 30);
}

// Margins that leave no room: bar sizes are truncated toward zero, and such
// bars are never hit.
TEST_F(Layout, BarsWithoutRoom)
{
    struct Row { const char* what; int side, top, bottom; int W, H; };
    const Row rows[] = {
        {"width of 0", 282, 150, 70, 0, 72},           // 1 / 4
        {"width of 1", 279, 150, 70, 1, 72},           // 7 / 4
        {"negative width", 300, 150, 70, -8, 72},      // -35 / 4, not -9
        {"negative height", 70, 500, 400, 106, -12},   // -100 / 8
        {"both negative", 1000, 900, 900, -358, -125},
        {"height of 1", 70, 150, 642, 106, 1},         // 8 / 8
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        resetChart(chart);
        chart.info.sideMargin = r.side;
        chart.info.topMargin = r.top;
        chart.info.bottomMargin = r.bottom;
        redraw();
        EXPECT_EQ(chart.info.barWidth, r.W);
        EXPECT_EQ(chart.info.barHeight, r.H);
        EXPECT_EQ(chart.info.count, 32);
        EXPECT_EQ(chart.bar(2).x, r.side + r.W - 1);
        if (r.W <= 1 || r.H <= 1) {
            for (int x = -10; x < 600; x += 1)
                for (int y = -10; y < 820; y += 3)
                    ASSERT_EQ(findCase(chart, x, y).bar, -1) << x << "," << y;
        }
    }
}

TEST_F(Layout, TheGridNeverLaysOutMoreBarsThanTheChartHolds)
{
    setGrid(100, 100);
    EXPECT_LE(chart.info.count, MaxBars);
    int bar, region;
    hitTest(chart, 300, 400, bar, region);
    EXPECT_LE(bar, MaxBars);
}

TEST_F(Layout, ResetForgetsLabelsButKeepsTheirRecords)
{
    chart.label(1).text.assign("Titre");
    chart.label(1).x = 200;
    chart.label(1).size = 14;
    chart.label(2).text.assign("Coda");
    chart.info.labelCount = 2;
    redraw();
    resetChart(chart);
    EXPECT_EQ(chart.info.labelCount, 0);
    EXPECT_EQ(chart.label(1).text.view(), "Titre");
    EXPECT_EQ(chart.label(1).x, 200);
    EXPECT_EQ(chart.label(1).size, 14);
    EXPECT_EQ(chart.label(2).text.view(), "Coda");
}

} // namespace
} // namespace mavrel
