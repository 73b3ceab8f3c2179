// Pixels of the page image: frames, signs, chord texts, division lines, the
// selection highlight, labels and the page-layout guides.
#include "pixels.h"
#include "document/layout.h"
#include "render/page.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace mavrel {
namespace {

using namespace test;

// The fresh chart: 4 x 8 bars of 106 x 72 pixels on a 565 x 800 page.
constexpr int W = 106;
constexpr int H = 72;

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetChart(chart);
        draw();
    }

    const QImage& draw(const Selection& selection = Selection{}, bool layoutMode = false)
    {
        layoutChart(chart);
        page.draw(chart, selection, layoutMode);
        return page.image();
    }
    static Selection selecting(std::initializer_list<int> bars)
    {
        Selection s;
        for (int b : bars)
            s.entries[s.count++] = static_cast<std::int16_t>(b);
        return s;
    }
    void setChord(int bar, int slot, int root, std::string_view quality, bool flat = false)
    {
        Chord& a = chart.bar(bar).slot(slot);
        a.root = static_cast<std::uint8_t>(root);
        a.quality.assign(quality);
        a.flat = flat;
    }
    void addLabel(std::string_view text, int x, int y, int size, bool bold)
    {
        TextLabel& t = chart.label(++chart.info.labelCount);
        t.text.assign(text);
        t.x = x;
        t.y = y;
        t.size = static_cast<std::int8_t>(size);
        t.bold = bold;
    }
    QRect interior(int bar) const
    {
        const Bar& b = chart.bar(bar);
        return area(b.x + 1, b.y + 1, b.x + W - 2, b.y + H - 2);
    }

    Chart chart{};
    Page page;
};

// A text drawn alone on a white page by the canvas, with its cell.
struct Reference {
    QImage image;
    QRect cell;
    int ink = 0;
};

Reference referenceText(std::string_view text, int x, int y, int points, bool bold)
{
    Reference r{whiteImage(565, 800), {}, 0};
    Canvas c;
    c.setImage(&r.image);
    c.setFontSize(points);
    c.setBold(bold);
    c.textOut(x, y, text);
    r.cell = QRect(QPoint(x, y), c.textExtent(text)) & r.image.rect();
    r.ink = count(r.image, r.cell, Black);
    return r;
}

// The page shows `text` with its cell's top-left corner at (x, y): inside the
// cell (and `within`, when given) every pixel is the reference's.
::testing::AssertionResult textAt(const QImage& page, std::string_view text, int x, int y,
                                  int points, bool bold, QRect within = {})
{
    const Reference r = referenceText(text, x, y, points, bold);
    if (r.ink == 0)
        return ::testing::AssertionFailure() << "the reference text has no ink";
    const QRect compared = within.isNull() ? r.cell : r.cell & within;
    return sameImages(page, r.image, compared) << " in the cell of \"" << std::string(text) << "\"";
}

// Some ink in column x within one row of y: where a sloped line crosses it.
bool inkNear(const QImage& img, int x, int y) { return count(img, area(x, y - 1, x, y + 1), Black) > 0; }

TEST_F(Drawing, PageBorderAndMargins)
{
    const QImage& img = page.image();
    ASSERT_EQ(img.size(), QSize(565, 800));
    EXPECT_EQ(img.format(), QImage::Format_RGB32);
    EXPECT_TRUE(allAre(img, area(0, 0, 564, 0), Black));
    EXPECT_TRUE(allAre(img, area(0, 799, 564, 799), Black));
    EXPECT_TRUE(allAre(img, area(0, 0, 0, 799), Black));
    EXPECT_TRUE(allAre(img, area(564, 0, 564, 799), Black));
    EXPECT_TRUE(allAre(img, area(1, 1, 563, 149), White));
    EXPECT_TRUE(allAre(img, area(1, 719, 563, 798), White));
    EXPECT_TRUE(allAre(img, area(1, 150, 69, 718), White));
    EXPECT_TRUE(allAre(img, area(491, 150, 563, 718), White));
}

// The grid covers x 70..490 and y 150..718; neighbours share one frame pixel,
// and each bar holds nothing but its "%".
TEST_F(Drawing, FramesAreSharedBetweenNeighbours)
{
    const QImage& img = page.image();
    for (int c = 0; c <= 4; ++c)
        EXPECT_TRUE(allAre(img, area(70 + c * 105, 150, 70 + c * 105, 718), Black)) << "column " << c;
    for (int r = 0; r <= 8; ++r)
        EXPECT_TRUE(allAre(img, area(70, 150 + r * 71, 490, 150 + r * 71), Black)) << "row " << r;
    const int percentInk = referenceText("%", 118, 179, 10, true).ink;
    for (int bar = 1; bar <= 32; ++bar)
        EXPECT_EQ(count(img, interior(bar), Black), percentInk) << "bar " << bar;
}

TEST_F(Drawing, EveryFreshBarShowsPercentCentred)
{
    const QImage& img = page.image();
    EXPECT_TRUE(textAt(img, "%", 118, 179, 10, true));
    EXPECT_TRUE(textAt(img, "%", 118 + 105, 179 + 71, 10, true));        // bar 6
    EXPECT_TRUE(textAt(img, "%", 118 + 3 * 105, 179 + 7 * 71, 10, true)); // bar 32
}

// A hidden bar stays white but for the frame pixels its neighbours draw.
TEST_F(Drawing, HiddenBarsKeepOnlyTheirNeighboursFrames)
{
    struct Row { int bar; QRect black[4]; QRect white[4]; };
    const Row rows[] = {
        // Inside the grid: all four sides come from the neighbours.
        {6, {area(175, 221, 175, 292), area(280, 221, 280, 292), area(175, 221, 280, 221),
             area(175, 292, 280, 292)},
         {area(176, 222, 279, 291)}},
        // Top row: nothing draws the top side.
        {2, {area(175, 150, 175, 221), area(280, 150, 280, 221), area(175, 221, 280, 221)},
         {area(176, 150, 279, 220)}},
        // Top-left corner: only the right and bottom sides remain.
        {1, {area(175, 150, 175, 221), area(70, 221, 175, 221)},
         {area(70, 150, 174, 220)}},
        // Bottom-right corner: only the left and top sides remain.
        {32, {area(385, 647, 385, 718), area(385, 647, 490, 647)},
         {area(386, 648, 490, 718)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "bar " << r.bar);
        resetChart(chart);
        chart.bar(r.bar).shown = 0;
        const QImage& img = draw();
        for (const QRect& b : r.black)
            if (!b.isNull()) {
                EXPECT_TRUE(allAre(img, b, Black));
            }
        for (const QRect& w : r.white)
            if (!w.isNull()) {
                EXPECT_TRUE(allAre(img, w, White));
            }
    }
}

// Repeat signs and double bars, column by column, on bar 6 (175, 221) and on
// bar 29 (70, 647) at the bottom of the grid, where the row past the bar shows.
TEST_F(Drawing, EdgeSignsColumnByColumn)
{
    enum Kind { Full, Blank, Dots };
    struct Column { int dx; Kind kind; };
    struct Row { const char* what; int left, right; std::vector<Column> columns; };
    const int R = W - 1;   // the right frame column
    const Row rows[] = {
        {"start repeat", 1, 0, {{0, Full}, {1, Full}, {2, Full}, {3, Blank}, {4, Full}, {5, Blank},
                                {6, Dots}, {7, Dots}, {8, Dots}, {9, Blank}}},
        {"end repeat", 0, 1, {{R, Full}, {R - 1, Full}, {R - 2, Full}, {R - 3, Blank}, {R - 4, Full},
                              {R - 5, Blank}, {R - 6, Dots}, {R - 7, Dots}, {R - 8, Dots},
                              {R - 9, Blank}}},
        {"double bar on the left", 2, 0, {{0, Full}, {1, Blank}, {2, Full}, {3, Blank}, {6, Blank}}},
        {"double bar on the right", 0, 2, {{R, Full}, {R - 1, Blank}, {R - 2, Full}, {R - 3, Blank},
                                           {R - 6, Blank}}},
        {"no sign", 0, 0, {{0, Full}, {1, Blank}, {2, Blank}, {4, Blank}, {6, Blank}, {R, Full},
                           {R - 2, Blank}, {R - 4, Blank}, {R - 6, Blank}}},
    };
    for (const int bar : {6, 29}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(testing::Message() << r.what << " on bar " << bar);
            resetChart(chart);
            chart.bar(bar).left = static_cast<std::int16_t>(r.left);
            chart.bar(bar).right = static_cast<std::int16_t>(r.right);
            const QImage& img = draw();
            const int x = chart.bar(bar).x, y = chart.bar(bar).y, cy = y + H / 2;
            for (const Column& c : r.columns) {
                SCOPED_TRACE(testing::Message() << "column x + " << c.dx);
                const int cx = x + c.dx;
                switch (c.kind) {
                case Full:
                    EXPECT_TRUE(allAre(img, area(cx, y, cx, y + H - 1), Black));
                    break;
                case Blank:
                    EXPECT_TRUE(allAre(img, area(cx, y + 1, cx, y + H - 2), White));
                    break;
                case Dots:
                    // Ink only in the two dots' boxes: rows cy + 3..cy + 5 and cy - 6..cy - 4.
                    EXPECT_TRUE(allAre(img, area(cx, y + 1, cx, cy - 7), White));
                    EXPECT_TRUE(allAre(img, area(cx, cy - 3, cx, cy + 2), White));
                    EXPECT_TRUE(allAre(img, area(cx, cy + 6, cx, y + H - 2), White));
                    break;
                }
            }
            if (r.left == 1 || r.right == 1) {
                const int d = r.left == 1 ? x + 6 : x + R - 8;   // leftmost column of the dots
                EXPECT_GT(count(img, area(d, cy + 3, d + 2, cy + 5), Black), 0);
                EXPECT_GT(count(img, area(d, cy - 6, d + 2, cy - 4), Black), 0);
                const int outer = r.left == 1 ? d : d + 2;        // the dots reach the blank column
                EXPECT_GT(count(img, area(outer, cy - 6, outer, cy + 5), Black), 0);
            }
            // The lines stop before y + H: the row past the grid stays white.
            if (bar == 29) {
                EXPECT_TRUE(allAre(img, area(x, y + H, x + R, y + H), White));
            }
        }
    }
}

// Second lines: two one-pixel lines with one blank row between them. Bar 8 is
// in the last column, so the line's excluded end shows in the margin.
TEST_F(Drawing, SecondLinesRowByRow)
{
    chart.bar(8).top = 1;
    chart.bar(8).bottom = 1;
    const QImage& img = draw();
    const int x = 385, y = 221;
    EXPECT_TRUE(allAre(img, area(x, y, x + W - 1, y), Black));
    EXPECT_TRUE(allAre(img, area(x + 1, y + 1, x + W - 2, y + 1), White));
    EXPECT_TRUE(allAre(img, area(x, y + 2, x + W - 1, y + 2), Black));
    EXPECT_TRUE(allAre(img, area(x + 1, y + 3, x + W - 2, y + 3), White));
    EXPECT_TRUE(allAre(img, area(x, y + H - 1, x + W - 1, y + H - 1), Black));
    EXPECT_TRUE(allAre(img, area(x + 1, y + H - 2, x + W - 2, y + H - 2), White));
    EXPECT_TRUE(allAre(img, area(x, y + H - 3, x + W - 1, y + H - 3), Black));
    EXPECT_TRUE(allAre(img, area(x + 1, y + H - 4, x + W - 2, y + H - 4), White));
    EXPECT_EQ(at(img, x + W, y + 2), White);
    EXPECT_EQ(at(img, x + W, y + H - 3), White);
    // A bar without them keeps a single row.
    EXPECT_TRUE(allAre(img, area(281, y + 2, 384, y + 2), White));
}

TEST_F(Drawing, SignsOutsideTheirTablesDrawNothing)
{
    const QImage fresh = page.image().copy();
    Bar& b = chart.bar(6);
    b.left = 3;
    b.right = -1;
    b.top = 2;
    b.bottom = -7;
    EXPECT_TRUE(sameImages(draw(), fresh));
}

TEST_F(Drawing, DivisionTypesOutsideOneToFiveDrawOnlyTheFrame)
{
    for (const int division : {0, 6, 255}) {
        SCOPED_TRACE(division);
        chart.bar(6).division = static_cast<std::uint8_t>(division);
        chart.bar(6).left = 2;
        const QImage& img = draw();
        EXPECT_TRUE(allAre(img, area(176, 222, 176, 291), White));
        EXPECT_TRUE(allAre(img, area(177, 221, 177, 292), Black));
        EXPECT_TRUE(allAre(img, area(178, 222, 279, 291), White));
    }
}

// Which halves of the two diagonals each division type draws, sampled 13
// columns in from each side of bar 6, where no chord text lies.
TEST_F(Drawing, DivisionLinesPerType)
{
    struct Row { int division; bool mainUpperLeft, mainLowerRight, antiLowerLeft, antiUpperRight; };
    const Row rows[] = {
        {1, false, false, false, false},
        {2, false, false, true, true},
        {3, true, true, true, true},
        {4, true, false, true, true},
        {5, false, true, true, true},
    };
    const int x = 175, y = 221;
    const int nearY = y + 13 * H / W, farY = y + H - 13 * H / W;   // 8 and 63 rows in
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "division " << r.division);
        chart.bar(6).division = static_cast<std::uint8_t>(r.division);
        const QImage& img = draw();
        EXPECT_EQ(inkNear(img, x + 13, nearY + 1), r.mainUpperLeft);
        EXPECT_EQ(inkNear(img, x + W - 13, farY), r.mainLowerRight);
        EXPECT_EQ(inkNear(img, x + 13, farY), r.antiLowerLeft);
        EXPECT_EQ(inkNear(img, x + W - 13, nearY + 1), r.antiUpperRight);
        // Lines of 106 x 72 cross the exact centre.
        if (r.division != 1) {
            EXPECT_EQ(at(img, x + 53, y + 36), Black);
        }
    }
}

// Division lines include their start point and not their end point: in the
// last column the anti-diagonal starts one pixel into the margin, and no line
// reaches the corner past the grid.
TEST_F(Drawing, DivisionLineEndPoints)
{
    for (const int division : {2, 3, 4, 5}) {
        SCOPED_TRACE(division);
        chart.bar(4).division = static_cast<std::uint8_t>(division);
        chart.bar(32).division = static_cast<std::uint8_t>(division);
        const QImage& img = draw();
        EXPECT_EQ(at(img, 491, 150), Black);
        EXPECT_EQ(at(img, 491, 719), White);
        EXPECT_EQ(at(img, 385, 719), White);
        EXPECT_TRUE(allAre(img, area(492, 150, 563, 150), White));
    }
}

// The lines come after the texts: a long chord in the top-left half of a
// type 2 bar is crossed by the anti-diagonal, every pixel of it.
TEST_F(Drawing, DivisionLinesAreDrawnOverTheTexts)
{
    chart.bar(6).division = 2;
    setChord(6, 1, 1, "WWWWWWWW");
    const QImage& img = draw();
    // Upper-left anchor (201, 239); nine characters of 10 points.
    ASSERT_TRUE(textAt(img, "CWWWWWWWW", 156, 232, 10, true, area(156, 222, 240, 291)));
    const Reference text = referenceText("CWWWWWWWW", 156, 232, 10, true);

    QImage line = whiteImage(565, 800);
    Canvas c;
    c.setImage(&line);
    c.line(175 + W, 221, 175, 221 + H);
    const int crossing = count(line, text.cell, Black);
    ASSERT_GT(crossing, 10);
    for (int yy = text.cell.top(); yy <= text.cell.bottom(); ++yy)
        for (int xx = text.cell.left(); xx <= text.cell.right(); ++xx)
            if (at(line, xx, yy) == Black) {
                EXPECT_EQ(at(img, xx, yy), Black) << xx << "," << yy;
            }
}

// Chord texts placed by the n x s rule on bar 1 (70, 150): the cell's top-left
// corner at (ax - n * s / 2, ay - 2 * s / 3), truncated.
TEST_F(Drawing, ChordTextPlacement)
{
    struct Row {
        const char* what;
        int division, slot, root;
        const char* quality;
        bool flat;
        const char* text;
        int x, y;
    };
    const Row rows[] = {
        {"fresh bar", 1, 1, 0, "", false, "%", 118, 179},
        {"sharp", 1, 1, 2, "m7", false, "C#m7", 103, 179},
        {"flat", 1, 1, 2, "m7", true, "Dbm7", 103, 179},
        {"left anchor", 3, 1, 11, "7", true, "Bb7", 76, 179},
        {"o-slash is one character", 1, 1, 1, "\xF8", false, "C\xF8", 113, 179},
        {"o-slash after a long root", 1, 1, 2, "m7\xF8", false, "C#m7\xF8", 98, 179},
        {"full quality", 1, 1, 1, "sus4add9", false, "Csus4add9", 78, 179},
        {"root past the table", 1, 1, 13, "", false, "?", 118, 179},
        {"root far past the table", 1, 1, 255, "m", true, "?m", 113, 179},
        {"upper left", 2, 1, 8, "", false, "G", 91, 161},
        {"lower right", 2, 2, 8, "", false, "G", 144, 197},
        {"type 3 top", 3, 2, 3, "", false, "D", 118, 157},
        {"type 3 bottom", 3, 3, 3, "", false, "D", 118, 200},
        {"type 3 right", 3, 4, 3, "", false, "D", 149, 179},
        {"type 4 left", 4, 1, 5, "", false, "E", 86, 179},
        {"type 4 top", 4, 2, 5, "", false, "E", 118, 157},
        {"type 4 lower right", 4, 3, 5, "", false, "E", 144, 197},
        {"type 5 upper left", 5, 1, 6, "", false, "F", 91, 161},
        {"type 5 bottom", 5, 2, 6, "", false, "F", 118, 200},
        {"type 5 right", 5, 3, 6, "", false, "F", 149, 179},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        resetChart(chart);
        chart.bar(1).division = static_cast<std::uint8_t>(r.division);
        setChord(1, r.slot, r.root, r.quality, r.flat);
        EXPECT_TRUE(textAt(draw(), r.text, r.x, r.y, 10, true));
    }
}

TEST_F(Drawing, ChordFontSizeAndBold)
{
    struct Row { int size; bool bold; int x, y; QRect within; };
    const Row rows[] = {
        {8, true, 119, 180, {}},
        {9, true, 118, 180, {}},       // 123 - 4.5
        {10, false, 118, 179, {}},
        {11, false, 117, 178, {}},     // 123 - 5.5, 186 - 7.33
        {14, true, 116, 176, {}},
        // 72 points reaches past the bar: bars 2 and 5 and the "%" of bar 5
        // are drawn over it.
        {72, true, 87, 138, area(0, 0, 174, 208)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.size << (r.bold ? " bold" : ""));
        chart.info.fontSize = r.size;
        chart.info.bold = r.bold;
        EXPECT_TRUE(textAt(draw(), "%", r.x, r.y, r.size, r.bold, r.within));
    }
}

// Chords are drawn smaller only when they could not be read: no larger in
// points than the bar's height in pixels, and the longest chord shown no
// wider, at n x size, than three bars.
TEST_F(Drawing, ChordsTooLargeForTheirBarsAreDrawnSmaller)
{
    struct Row { const char* what; int font, columns, rows; const char* quality; int division, slot; int points; };
    const Row rows[] = {
        {"fits", 72, 4, 8, "", 1, 1, 72},
        {"no taller than the bar", 500, 4, 8, "", 1, 1, 72},
        {"no font", 0, 4, 8, "", 1, 1, 8},
        {"seven characters over three bars", 72, 4, 8, "m7b5\xF8", 1, 1, 45},
        {"in a slot the division leaves out", 72, 4, 8, "m7b5\xF8", 1, 2, 72},
        {"twenty rows", 72, 4, 20, "", 1, 1, 29},
        {"no room at all", 10, 4, 1000, "", 1, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        resetChart(chart);
        chart.info.fontSize = r.font;
        chart.info.columns = r.columns;
        chart.info.rows = r.rows;
        chart.bar(3).division = static_cast<std::uint8_t>(r.division);
        setChord(3, r.slot, 2, r.quality);
        layoutChart(chart);
        EXPECT_EQ(chordPoints(chart), r.points);
    }

    // The page draws them at that size: the 72-point "%" of the last bar.
    resetChart(chart);
    chart.info.fontSize = 500;
    const QImage& img = draw();
    EXPECT_TRUE(textAt(img, "%", 438 - 36, 683 - 48, 72, true));
}

// A label anchored at the ends of the int range shows nothing and leaves the
// page as it was: no sum of its position and size wraps round onto the page.
TEST_F(Drawing, LabelsFarOffThePageLeaveItAlone)
{
    constexpr int Min = std::numeric_limits<int>::min();
    constexpr int Max = std::numeric_limits<int>::max();
    const QImage without = draw().copy();
    const QPoint anchors[] = {{Max, Max}, {Min, Min}, {Max, 100}, {100, Max}, {Min, 100}, {100, Min},
                              {Max - 20, Max - 20}};
    for (const QPoint a : anchors) {
        SCOPED_TRACE(testing::Message() << a.x() << ", " << a.y());
        chart.info.labelCount = 0;
        addLabel("Loin de la page", a.x(), a.y(), 127, true);
        EXPECT_TRUE(sameImages(draw(), without));
    }
}

// Fourteen columns without side margins: bar 1 is 40 pixels wide at x = 0,
// and a nine-character text at 9 points starts at 20 - 40.5, truncated to -20.
TEST_F(Drawing, TextPositionsAreTruncatedTowardZero)
{
    chart.info.sideMargin = 0;
    chart.info.columns = 14;
    chart.info.fontSize = 9;
    setChord(1, 1, 1, "WWWWWWWW");
    const QImage& img = draw();
    ASSERT_EQ(chart.info.barWidth, 40);
    EXPECT_TRUE(textAt(img, "CWWWWWWWW", -20, 180, 9, true, area(0, 0, 38, 799)));
}

// Only the five roots with two spellings change with the accidental flag.
TEST_F(Drawing, AccidentalFlagSwitchesOnlyTheRootsWithTwoNames)
{
    for (int root = 0; root <= 12; ++root) {
        SCOPED_TRACE(root);
        setChord(1, 1, root, "7", false);
        const QImage sharp = draw().copy();
        chart.bar(1).slot(1).flat = 1;
        const bool twoNames = root == 2 || root == 4 || root == 7 || root == 9 || root == 11;
        EXPECT_EQ(!sameImages(draw(), sharp), twoNames);
    }
}

TEST_F(Drawing, SlotsTheDivisionDoesNotUseAreNotDrawn)
{
    const int used[] = {0, 1, 2, 4, 3, 3};
    for (int division = 1; division <= 5; ++division) {
        SCOPED_TRACE(division);
        resetChart(chart);
        chart.bar(6).division = static_cast<std::uint8_t>(division);
        for (int slot = 1; slot <= used[division]; ++slot)
            setChord(6, slot, slot + 2, "m");
        const QImage onlyUsed = draw().copy();
        for (int slot = used[division] + 1; slot <= 4; ++slot)
            setChord(6, slot, 5, "WWWWWWWW");
        EXPECT_TRUE(sameImages(draw(), onlyUsed));
    }
}

// Texts are not clipped to their bar: bars drawn later cover them, bars drawn
// earlier, hidden bars and the margin do not.
TEST_F(Drawing, LongTextsReachPastTheirBar)
{
    const Reference inBar1 = referenceText("CWWWWWWWW", 78, 179, 10, true);
    ASSERT_GT(inBar1.cell.right(), 180);
    const QRect intoBar2 = area(176, 179, inBar1.cell.right(), inBar1.cell.bottom());
    ASSERT_GT(count(inBar1.image, intoBar2, Black), 0);

    setChord(1, 1, 1, "WWWWWWWW");
    const QImage& shown = draw();
    EXPECT_TRUE(textAt(shown, "CWWWWWWWW", 78, 179, 10, true, area(0, 0, 174, 799)));
    EXPECT_TRUE(allAre(shown, intoBar2, White));
    EXPECT_TRUE(allAre(shown, area(175, 150, 175, 221), Black));

    chart.bar(2).shown = 0;
    EXPECT_TRUE(textAt(draw(), "CWWWWWWWW", 78, 179, 10, true));

    // Bar 2's left anchor is (196, 186): the text runs back into bar 1.
    resetChart(chart);
    chart.bar(2).division = 3;
    setChord(2, 1, 1, "WWWWWWWW");
    EXPECT_TRUE(textAt(draw(), "CWWWWWWWW", 151, 179, 10, true, area(0, 0, 174, 799)));

    // Bar 4 is the last of its row: its text runs into the margin.
    resetChart(chart);
    setChord(4, 1, 1, "WWWWWWWW");
    const Reference inBar4 = referenceText("CWWWWWWWW", 393, 179, 10, true);
    ASSERT_GT(inBar4.cell.right(), 491);
    EXPECT_TRUE(textAt(draw(), "CWWWWWWWW", 393, 179, 10, true));
}

TEST_F(Drawing, SelectedBarIsCyanTextCellsAndDotsIncluded)
{
    chart.bar(6).left = 1;
    chart.bar(6).right = 1;
    chart.bar(6).division = 3;
    setChord(6, 1, 2, "m7");
    const QImage& img = draw(selecting({6}));
    const QRect inside = interior(6);
    EXPECT_EQ(count(img, inside, White), 0);
    EXPECT_GT(count(img, inside, Cyan), 5000);
    EXPECT_EQ(count(img, inside, Cyan) + count(img, inside, Black), inside.width() * inside.height());
    EXPECT_EQ(count(img, img.rect(), Cyan), count(img, inside, Cyan));
    // The frame stays black.
    EXPECT_TRUE(allAre(img, area(175, 221, 280, 221), Black));
    EXPECT_TRUE(allAre(img, area(280, 221, 280, 292), Black));
}

TEST_F(Drawing, SelectionEntriesThatAreNotShownBarsChangeNothing)
{
    const QImage fresh = page.image().copy();
    struct Row { const char* what; Selection selection; };
    Selection negativeCount = selecting({6});
    negativeCount.count = -3;
    Selection pastCount;
    pastCount.count = 0;
    pastCount.entries[0] = 6;   // the paste anchor of an emptied selection
    const Row rows[] = {
        {"no bar", selecting({-1})},
        {"bar 0", selecting({0})},
        {"past the laid-out count", selecting({33, 500, 32767})},
        {"negative count", negativeCount},
        {"entries past the count", pastCount},
    };
    for (const Row& r : rows)
        EXPECT_TRUE(sameImages(draw(r.selection), fresh)) << r.what;

    chart.bar(6).shown = 0;
    const QImage hidden = draw().copy();
    EXPECT_TRUE(sameImages(draw(selecting({6})), hidden)) << "hidden bar";
}

TEST_F(Drawing, TheBrushIsWhiteAgainAfterASelectedBar)
{
    addLabel("Fin", 420, 660, 12, false);
    const QImage& img = draw(selecting({5, 32, 5}));
    // Bar 6, drawn right after bar 5, is white.
    EXPECT_EQ(count(img, interior(6), Cyan), 0);
    EXPECT_GT(count(img, interior(5), Cyan), 5000);
    // The label over the selected last bar stands on white.
    EXPECT_TRUE(textAt(img, "Fin", 420, 660, 12, false));
    const Reference fin = referenceText("Fin", 420, 660, 12, false);
    EXPECT_EQ(count(img, fin.cell, Cyan), 0);
    EXPECT_EQ(count(img, img.rect(), Cyan), count(img, interior(5), Cyan) + count(img, interior(32), Cyan));
}

TEST_F(Drawing, LabelsLieOverTheBarsOnWhite)
{
    // Across bar 1's right frame and bar 2's "%".
    addLabel("Titre de la grille", 150, 175, 14, true);
    const QImage& img = draw();
    const Reference r = referenceText("Titre de la grille", 150, 175, 14, true);
    ASSERT_TRUE(r.cell.contains(175, 185));
    ASSERT_TRUE(r.cell.contains(228, 186));
    EXPECT_TRUE(textAt(img, "Titre de la grille", 150, 175, 14, true));
}

TEST_F(Drawing, HigherLabelIndexLiesOverLowerOnes)
{
    addLabel("MMMMMM", 100, 300, 12, false);
    addLabel("ii", 110, 302, 12, true);
    const QImage& img = draw();
    const Reference first = referenceText("MMMMMM", 100, 300, 12, false);
    const Reference second = referenceText("ii", 110, 302, 12, true);
    ASSERT_TRUE(first.cell.intersects(second.cell));
    EXPECT_TRUE(textAt(img, "ii", 110, 302, 12, true));
    EXPECT_TRUE(textAt(img, "MMMMMM", 100, 300, 12, false, area(0, 0, second.cell.left() - 1, 799)));
}

TEST_F(Drawing, LabelSizeAndBold)
{
    struct Row { int size; bool bold; };
    const Row rows[] = {{8, false}, {10, true}, {24, false}, {36, true}, {72, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.size << (r.bold ? " bold" : ""));
        chart.info.labelCount = 0;
        addLabel("Intro A", 80, 20, r.size, r.bold);
        EXPECT_TRUE(textAt(draw(), "Intro A", 80, 20, r.size, r.bold));
    }
}

// Labels leave the font regular: a chart whose chords are not bold draws them
// regular after a bold label.
TEST_F(Drawing, BoldLabelsDoNotLeakIntoTheChords)
{
    chart.info.bold = 0;
    addLabel("Titre", 80, 20, 20, true);
    draw();
    EXPECT_TRUE(textAt(draw(), "%", 118, 179, 10, false));
    EXPECT_FALSE(page.canvas().bold());
}

// A damaged file may hold control characters, which have no glyph: the page
// shows its texts without them, and a chord is centred on what it shows.
TEST_F(Drawing, ControlCharactersAreNotDrawn)
{
    setChord(1, 1, 1, "m7");
    setChord(2, 1, 8, "7");
    addLabel("Night Day", 100, 20, 14, true);
    const QImage clean = draw().copy();
    setChord(1, 1, 1, std::string_view("m\0\x01" "7\x1F\x7F", 6));
    setChord(2, 1, 8, "\t7\r\n");
    chart.label(1).text.assign(std::string_view("Night\0 \x1B\x7F" "Day\x07", 13));
    EXPECT_TRUE(sameImages(draw(), clean));
}

TEST_F(Drawing, LabelsPastTheCountAreNotDrawn)
{
    const QImage fresh = page.image().copy();
    addLabel("Coda", 80, 20, 20, true);
    chart.info.labelCount = 0;
    EXPECT_TRUE(sameImages(draw(), fresh));
}

TEST_F(Drawing, PageLayoutGuides)
{
    const QImage guided = draw(Selection{}, true).copy();
    struct Row { const char* what; QRect line; };
    const Row rows[] = {
        {"top, one row above the grid", area(1, 149, 563, 149)},
        {"bottom", area(1, 731, 563, 731)},
        {"left, one column left of the grid", area(69, 1, 69, 798)},
        {"right", area(496, 1, 496, 798)},
    };
    const QImage plain = draw().copy();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        // Dash-dot: some black and some white.
        EXPECT_GT(count(guided, r.line, Black), 20);
        EXPECT_GT(count(guided, r.line, White), 20);
        EXPECT_TRUE(allAre(plain, r.line, White));
    }
    // Nothing else changes.
    QImage withoutGuides = guided.copy();
    for (const Row& r : rows)
        for (int y = r.line.top(); y <= r.line.bottom(); ++y)
            for (int x = r.line.left(); x <= r.line.right(); ++x)
                withoutGuides.setPixel(x, y, White);
    EXPECT_TRUE(sameImages(withoutGuides, plain));
}

TEST_F(Drawing, ThePenIsSolidAgainAfterTheGuides)
{
    chart.bar(6).left = 1;
    draw(Selection{}, true);
    const QImage& img = draw();
    EXPECT_TRUE(allAre(img, area(175, 221, 177, 292), Black));
    EXPECT_TRUE(allAre(img, area(179, 221, 179, 292), Black));
}

TEST_F(Drawing, ThePageFollowsThePageSize)
{
    std::swap(chart.info.pageWidth, chart.info.pageHeight);
    EXPECT_EQ(draw().size(), QSize(800, 565));
    EXPECT_TRUE(allAre(page.image(), area(799, 0, 799, 564), Black));
    resetChart(chart);
    EXPECT_EQ(draw().size(), QSize(565, 800));
}

// The same chart gives the same pixels, on a new page and from the text cache.
TEST_F(Drawing, DrawingIsDeterministic)
{
    for (int i = 1; i <= 32; ++i) {
        Bar& b = chart.bar(i);
        b.division = static_cast<std::uint8_t>(1 + i % 5);
        b.left = static_cast<std::int16_t>(i % 3);
        b.right = static_cast<std::int16_t>((i / 3) % 3);
        b.top = static_cast<std::int16_t>(i % 2);
        b.bottom = static_cast<std::int16_t>((i / 2) % 2);
        for (int s = 1; s <= 4; ++s)
            setChord(i, s, (i + s) % 13, s % 2 ? "m7" : "\xF8", (i + s) % 2);
    }
    addLabel("Les feuilles mortes", 150, 40, 20, true);
    addLabel("\xC9t\xE9 \x80", 400, 760, 9, false);
    const QImage first = draw(selecting({3, 17})).copy();
    EXPECT_TRUE(sameImages(draw(selecting({3, 17})), first));

    Chart copy = chart;
    Page other;
    other.draw(copy, selecting({3, 17}), false);
    EXPECT_TRUE(sameImages(other.image(), first));
}

// Margins past the page, empty pages, huge fonts: drawn without a crash.
TEST_F(Drawing, AbsurdChartsDrawWithoutCrashing)
{
    struct Row { const char* what; int side, top, bottom, width, height, font, columns, rows; };
    const Row rows[] = {
        {"margins past the page", 300, 500, 400, 565, 800, 10, 4, 8},
        {"huge margins", 100000, -100000, 100000, 565, 800, 10, 4, 8},
        {"no page", 70, 150, 70, 0, 0, 10, 4, 8},
        {"huge font", 70, 150, 70, 565, 800, 127, 4, 8},
        {"no font", 70, 150, 70, 565, 800, 0, 4, 8},
        {"negative font", 70, 150, 70, 565, 800, -20, 4, 8},
        {"more bars than the chart holds", 70, 150, 70, 565, 800, 10, 100, 100},
        {"one bar", 0, 0, 0, 565, 800, 10, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        resetChart(chart);
        for (int i = 1; i <= MaxBars; ++i) {
            Bar& b = chart.bar(i);
            b.division = 3;
            b.left = b.right = b.top = b.bottom = 1;
            setChord(i, 1, 2, "m7b5\xF8");
            BarMarks& m = chart.song.bar(i);
            setText(m.section, "Introduction");
            m.flags = SegnoFlag | CodaFlag | FermataFlag;
            m.ending = std::uint8_t(1 + i % 3);
            m.time = {7, 8};
            m.direction = Direction::DalSegnoAlCoda;
        }
        addLabel("Titre", -50, -50, -128, true);
        addLabel("Fin", 500, 790, 127, false);
        chart.info.sideMargin = r.side;
        chart.info.topMargin = r.top;
        chart.info.bottomMargin = r.bottom;
        chart.info.pageWidth = r.width;
        chart.info.pageHeight = r.height;
        chart.info.fontSize = r.font;
        chart.info.columns = r.columns;
        chart.info.rows = r.rows;
        const QImage& img = draw(selecting({1, 2, 500}), true);
        EXPECT_FALSE(img.isNull());
        EXPECT_LE(chart.info.count, MaxBars);
    }
}

} // namespace
} // namespace mavrel
