// The editing decisions as plain functions: slots, signs, chords, labels,
// the lasso, the bar clipboard and transposition.
#include "document/editing.h"
#include "document/layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace mavrel {
namespace {

bool sameBytes(const Bar& a, const Bar& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Chord chord(int root, const char* quality = "", bool flat = false)
{
    Chord a{};
    a.root = static_cast<std::uint8_t>(root);
    a.quality.assign(quality);
    a.flat = flat ? 1 : 0;
    return a;
}

// Owns a chart laid out by hand the way the page layout places it, so the
// tests do not depend on the drawing code.
class EditingTest : public ::testing::Test {
protected:
    Chart chart{};
    Selection sel;
    Clipboard clip;

    void SetUp() override
    {
        for (Bar& b : chart.bars) {
            b.division = 1;
            b.shown = 1;
        }
        chart.info.pageWidth = 565;
        chart.info.pageHeight = 800;
        chart.info.topMargin = 150;
        chart.info.bottomMargin = 70;
        chart.info.sideMargin = 70;
        layOut(4, 8);
    }

    void layOut(int columns, int rows)
    {
        chart.info.columns = columns;
        chart.info.rows = rows;
        layoutChart(chart);
    }

    // Gives bar i a recognisable content of its own.
    void mark(int i)
    {
        Bar& b = chart.bar(i);
        b.division = static_cast<std::uint8_t>(1 + i % 5);
        for (int s = 1; s <= 4; ++s)
            b.slot(s) = chord(1 + (i + s) % 12, "m7", (i + s) % 2 != 0);
        b.left = static_cast<std::int16_t>(i % 3);
        b.right = static_cast<std::int16_t>((i + 1) % 3);
        b.top = static_cast<std::int16_t>(i % 2);
        b.bottom = static_cast<std::int16_t>((i + 1) % 2);
    }

    void select(std::initializer_list<int> bars)
    {
        sel.count = 0;
        for (int b : bars)
            sel.entries[sel.count++] = static_cast<std::int16_t>(b);
    }
};

// --- bars ------------------------------------------------------------------------

TEST(SlotFor, EveryDivisionAndRegion)
{
    const int expected[5][4] = {
        {1, 1, 1, 1},
        {1, 1, 2, 2},
        {1, 2, 3, 4},
        {1, 2, 3, 3},
        {1, 1, 2, 3},
    };
    for (int d = 1; d <= 5; ++d)
        for (int r = 1; r <= 4; ++r) {
            SCOPED_TRACE("division " + std::to_string(d) + " region " + std::to_string(r));
            EXPECT_EQ(slotFor(d, r, 4), expected[d - 1][r - 1]);
        }
    // A division type from a file keeps the current choice, "none" included.
    for (int d : {0, 6, 7, 255})
        for (int r = 1; r <= 4; ++r) {
            EXPECT_EQ(slotFor(d, r, 3), 3);
            EXPECT_EQ(slotFor(d, r, 0), 0);
        }
}

TEST(CycleSign, EachRegionRunsItsOwnCycle)
{
    struct Row {
        int region;
        std::int16_t Bar::*field;
        std::vector<int> values;
    };
    const Row rows[] = {
        {1, &Bar::left, {1, 2, 0, 1}},
        {2, &Bar::top, {1, 0, 1}},
        {3, &Bar::bottom, {1, 0, 1}},
        {4, &Bar::right, {1, 2, 0, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("region " + std::to_string(row.region));
        Bar bar{};
        for (int v : row.values) {
            cycleSign(bar, row.region);
            EXPECT_EQ(bar.*row.field, v);
        }
        // Only the field of that region moves.
        int moved = (bar.left != 0) + (bar.top != 0) + (bar.bottom != 0) + (bar.right != 0);
        EXPECT_EQ(moved, 1);
    }

    // Values from a file move up until they reach the reset.
    Bar bar{};
    bar.left = 5;
    bar.top = -1;
    cycleSign(bar, 1);
    cycleSign(bar, 2);
    EXPECT_EQ(bar.left, 6);
    EXPECT_EQ(bar.top, 0);

    Bar untouched{};
    untouched.left = 1;
    const Bar before = untouched;
    cycleSign(untouched, 0);
    cycleSign(untouched, 5);
    EXPECT_TRUE(sameBytes(untouched, before));
}

TEST(CycleDivision, WrapsAfterFiveAndLiftsZero)
{
    Bar bar{};
    bar.slot(2) = chord(4, "7");
    const Chord slotBefore = bar.slot(2);
    bar.division = 1;
    for (int expected : {2, 3, 4, 5, 1}) {
        cycleDivision(bar);
        EXPECT_EQ(bar.division, expected);
    }
    EXPECT_EQ(std::memcmp(&bar.slot(2), &slotBefore, sizeof slotBefore), 0);

    bar.division = 0;
    cycleDivision(bar);
    EXPECT_EQ(bar.division, 1);
    bar.division = 6;   // past the reset: moves on like any other value
    cycleDivision(bar);
    EXPECT_EQ(bar.division, 7);
}

TEST(ToggleShown, TwiceRestoresTheBar)
{
    Bar bar{};
    bar.shown = 1;
    bar.division = 3;
    bar.slot(1) = chord(11, "7", true);
    const Bar before = bar;
    toggleShown(bar);
    EXPECT_EQ(bar.shown, 0);
    toggleShown(bar);
    EXPECT_TRUE(sameBytes(bar, before));

    bar.shown = 7;   // any non-zero byte counts as shown
    toggleShown(bar);
    EXPECT_EQ(bar.shown, 0);
}

// --- chord dialog ------------------------------------------------------------------

TEST(BuildChord, WhatOkStores)
{
    struct Row {
        const char* name;
        int root, item;
        bool flat, other;
        const char* freeText;
        bool stored;
        int storedRoot;
        const char* storedQuality;
    };
    const Row rows[] = {
        {"list quality, flat", 11, 4, true, false, "", true, 11, "m7"},
        {"no quality selected", 3, -1, false, false, "", true, 3, ""},
        {"\"%\" drops a list quality", 0, 4, false, false, "", true, 0, ""},
        {"\"Autre\" comes after the \"%\" rule", 0, 4, false, true, "sus4", true, 0, "sus4"},
        {"empty free text wins over the list", 5, 2, false, true, "", true, 5, ""},
        {"free text cut to 24", 5, 0, false, true, "7sus4(b9)add13 no3 b5#5b9", true, 5, "7sus4(b9)add13 no3 b5#5b"},
        {"half-diminished is the byte F8", 3, 5, false, false, "", true, 3, "\xF8"},
        {"no root selected", -1, 1, false, false, "", false, 0, ""},
        {"root out of range", 13, 1, false, false, "", false, 0, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ChordEntry e;
        e.root = r.root;
        e.qualityItem = r.item;
        e.flat = r.flat;
        e.other = r.other;
        e.freeText = r.freeText;
        const auto a = buildChord(e, chord(7, "dim", !r.flat));
        ASSERT_EQ(a.has_value(), r.stored);
        if (!a)
            continue;
        EXPECT_EQ(a->root, r.storedRoot);
        EXPECT_EQ(a->quality.view(), r.storedQuality);
        EXPECT_EQ(a->flat != 0, r.flat);
    }
}

// --- text labels --------------------------------------------------------------------

TEST_F(EditingTest, FindTextHotZoneIsStrictlyInside)
{
    ASSERT_TRUE(commitLabel(chart, "Titre", 100, 50, 12, false));
    struct Row {
        int x, y, expected;
    };
    const Row rows[] = {
        {101, 51, 1}, {115, 65, 1}, {108, 58, 1},
        {100, 51, -1}, {116, 51, -1}, {101, 50, -1}, {101, 66, -1}, {116, 66, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.x) + "," + std::to_string(r.y));
        EXPECT_EQ(labelAt(chart, r.x, r.y), r.expected);
    }
}

TEST_F(EditingTest, FindTextPrefersTheLaterLabel)
{
    ASSERT_TRUE(commitLabel(chart, "a", 10, 10, 10, false));
    ASSERT_TRUE(commitLabel(chart, "b", 200, 10, 10, false));
    ASSERT_TRUE(commitLabel(chart, "c", 10, 10, 10, true));
    EXPECT_EQ(labelAt(chart, 12, 12), 3);
    chart.info.labelCount = 2;   // labels past the count are not live
    EXPECT_EQ(labelAt(chart, 12, 12), 1);
}

TEST_F(EditingTest, TakeLabelMovesTheLastIntoItsPlace)
{
    ASSERT_TRUE(commitLabel(chart, "un", 10, 10, 10, false));
    ASSERT_TRUE(commitLabel(chart, "deux", 20, 20, 12, true));
    ASSERT_TRUE(commitLabel(chart, "trois", 30, 30, 14, false));

    const TextLabel taken = takeLabel(chart, 1);
    EXPECT_EQ(taken.text.view(), "un");
    EXPECT_EQ(chart.info.labelCount, 2);
    EXPECT_EQ(chart.label(1).text.view(), "trois");
    EXPECT_EQ(chart.label(1).x, 30);
    EXPECT_EQ(chart.label(1).size, 14);
    EXPECT_EQ(chart.label(2).text.view(), "deux");

    takeLabel(chart, 2);   // the last one: copied onto itself
    EXPECT_EQ(chart.info.labelCount, 1);
    EXPECT_EQ(chart.label(1).text.view(), "trois");
}

TEST_F(EditingTest, CommitLabelStoresAndRefusesTheHundredAndFirst)
{
    ASSERT_TRUE(commitLabel(chart, std::string(120, 'x'), 5, 6, 24, true));
    const TextLabel& t = chart.label(1);
    EXPECT_EQ(t.text.size(), 100u);
    EXPECT_EQ(t.x, 5);
    EXPECT_EQ(t.y, 6);
    EXPECT_EQ(t.size, 24);
    EXPECT_EQ(t.bold, 1);

    for (int i = 2; i <= MaxLabels; ++i)
        ASSERT_TRUE(commitLabel(chart, "n", i, i, 10, false));
    EXPECT_FALSE(commitLabel(chart, "trop", 1, 1, 10, false));
    EXPECT_EQ(chart.info.labelCount, MaxLabels);
    EXPECT_EQ(chart.label(MaxLabels).text.view(), "n");
}

// --- lasso -----------------------------------------------------------------------------
// On the 4 x 8 page bars are 106 x 72: centres at x = 123 + 105 (c - 1),
// y = 186 + 71 (r - 1).

TEST_F(EditingTest, ShortOrBackwardReleaseSelectsTheBarUnderIt)
{
    finishLasso(chart, sel, 200, 200, 209, 209, 6);
    ASSERT_EQ(sel.count, 1);
    EXPECT_EQ(sel.entries[0], 6);

    // Ten pixels right and none down: a rectangle without height.
    finishLasso(chart, sel, 200, 200, 210, 200, 6);
    EXPECT_EQ(sel.count, 0);

    // Far up and left still counts as a click, at the release point.
    finishLasso(chart, sel, 400, 400, 200, 200, 2);
    ASSERT_EQ(sel.count, 1);
    EXPECT_EQ(sel.entries[0], 2);

    // A drag right and up selects nothing; the anchor stays.
    finishLasso(chart, sel, 100, 400, 300, 350, 5);
    EXPECT_EQ(sel.count, 0);
    EXPECT_EQ(sel.anchor(), 2);
}

TEST_F(EditingTest, RectangleSelectsCentresInIndexOrder)
{
    chart.bar(6).shown = 0;   // hidden bars are taken too
    finishLasso(chart, sel, 340, 260, 200, 180, -1);   // dragged backwards: a click on nothing
    EXPECT_EQ(sel.count, 0);
    finishLasso(chart, sel, 200, 180, 340, 260, -1);
    ASSERT_EQ(sel.count, 4);
    EXPECT_EQ(sel.entries[0], 2);
    EXPECT_EQ(sel.entries[1], 3);
    EXPECT_EQ(sel.entries[2], 6);
    EXPECT_EQ(sel.entries[3], 7);
}

TEST_F(EditingTest, RectangleEdgesAreStrictAndHalfPixelsCount)
{
    // A centre exactly on the edge is outside.
    finishLasso(chart, sel, 123, 100, 200, 200, -1);
    EXPECT_EQ(sel.count, 0);
    finishLasso(chart, sel, 122, 100, 200, 200, -1);
    EXPECT_EQ(sel.count, 1);

    // Five columns make bars 85 wide: the first centre lies at x = 112.5.
    layOut(5, 8);
    finishLasso(chart, sel, 112, 100, 150, 200, -1);
    ASSERT_EQ(sel.count, 1);
    EXPECT_EQ(sel.entries[0], 1);
    finishLasso(chart, sel, 113, 100, 150, 200, -1);
    EXPECT_EQ(sel.count, 0);
}

TEST_F(EditingTest, RectangleIgnoresBarsPastTheLaidOutCount)
{
    layOut(4, 2);   // bars 9.. keep the positions of the taller grid
    finishLasso(chart, sel, 0, 0, 565, 800, -1);
    EXPECT_EQ(sel.count, 8);
}

TEST_F(EditingTest, ClickOnNothingRemovesTheAnchorSoPasteDoesNothing)
{
    mark(1);
    select({5});
    finishLasso(chart, sel, 10, 10, 11, 11, -1);
    EXPECT_EQ(sel.count, 0);
    EXPECT_LT(sel.anchor(), 1);

    Clipboard one;
    one.count = 1;
    one.bars[0] = chart.bar(1);
    const Chart before = chart;
    pasteBars(chart, sel, one);
    EXPECT_EQ(std::memcmp(chart.bars.data(), before.bars.data(), sizeof chart.bars), 0);
}

// --- bar clipboard -------------------------------------------------------------------------

TEST_F(EditingTest, CopyFiveSixPasteAtNineTwice)
{
    mark(5);
    mark(6);
    setText(chart.song.bar(5).section, "A");   // the marks go with their bars
    chart.song.bar(6).ending = 1;
    const Bar five = chart.bar(5);
    const Bar six = chart.bar(6);

    select({5, 6});
    copyBars(chart, sel, clip);
    EXPECT_EQ(clip.count, 2);
    EXPECT_EQ(sel.count, 0);

    finishLasso(chart, sel, 130, 330, 131, 331, 9);
    pasteBars(chart, sel, clip);
    EXPECT_TRUE(sameBytes(chart.bar(9), five));
    EXPECT_TRUE(sameBytes(chart.bar(10), six));
    EXPECT_EQ(chart.song.bar(9).section.view(), "A");
    EXPECT_EQ(chart.song.bar(10).ending, 1);
    EXPECT_EQ(sel.count, 0);

    chart.bar(9).division = 4;
    chart.bar(10).slot(1) = chord(0);
    pasteBars(chart, sel, clip);   // the anchor and the clipboard survive
    EXPECT_TRUE(sameBytes(chart.bar(9), five));
    EXPECT_TRUE(sameBytes(chart.bar(10), six));
    EXPECT_EQ(clip.count, 2);
}

TEST_F(EditingTest, PasteOntoItselfChangesNothing)
{
    mark(5);
    mark(6);
    const Chart before = chart;
    select({5, 6});
    copyBars(chart, sel, clip);
    pasteBars(chart, sel, clip);
    EXPECT_EQ(std::memcmp(chart.bars.data(), before.bars.data(), sizeof chart.bars), 0);
}

TEST_F(EditingTest, BlockPastesIntoConsecutiveBars)
{
    for (int i : {2, 3, 6, 7})
        mark(i);
    const Chart before = chart;
    select({2, 3, 6, 7});
    copyBars(chart, sel, clip);
    select({9});
    pasteBars(chart, sel, clip);
    EXPECT_TRUE(sameBytes(chart.bar(9), before.bar(2)));
    EXPECT_TRUE(sameBytes(chart.bar(10), before.bar(3)));
    EXPECT_TRUE(sameBytes(chart.bar(11), before.bar(6)));
    EXPECT_TRUE(sameBytes(chart.bar(12), before.bar(7)));
    EXPECT_TRUE(sameBytes(chart.bar(13), before.bar(13)));
}

TEST_F(EditingTest, PasteNearTheEndDropsWhatDoesNotFit)
{
    for (int i = 1; i <= 8; ++i)
        mark(i);
    const Chart before = chart;
    select({1, 2, 3, 4, 5, 6, 7, 8});
    copyBars(chart, sel, clip);
    select({497});
    pasteBars(chart, sel, clip);
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(sameBytes(chart.bar(497 + k), before.bar(1 + k))) << 497 + k;
    for (int i = 1; i <= 496; ++i)
        ASSERT_TRUE(sameBytes(chart.bar(i), before.bar(i))) << i;
}

TEST_F(EditingTest, SuprimerClearsButKeepsShownFlagAndSpelling)
{
    Bar& b = chart.bar(5);
    b.division = 3;
    for (int s = 1; s <= 4; ++s)
        b.slot(s) = chord(s + 2, "m7", true);
    b.left = 2;
    b.right = 1;
    b.top = 1;
    b.bottom = 1;
    b.shown = 0;
    chart.song.bar(5).flags = SegnoFlag;
    const int x = b.x, y = b.y;

    select({5});
    clearBars(chart, sel);
    EXPECT_TRUE(chart.song.bar(5).empty());
    EXPECT_EQ(sel.count, 0);
    EXPECT_EQ(b.division, 1);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(b.slot(s).root, 0);
        EXPECT_EQ(b.slot(s).quality.size(), 0u);
        EXPECT_EQ(b.slot(s).flat, 1);
    }
    EXPECT_EQ(b.left + b.right + b.top + b.bottom, 0);
    EXPECT_EQ(b.shown, 0);
    EXPECT_EQ(b.x, x);
    EXPECT_EQ(b.y, y);
}

// --- transpose dialog ------------------------------------------------------------------------------

TEST_F(EditingTest, TransposeWrapsAndKeepsSpellingAndQuality)
{
    chart.bar(1).slot(1) = chord(12, "7");
    chart.bar(1).slot(4) = chord(1, "", true);   // not shown by division 1, moved anyway
    chart.bar(2).slot(1) = chord(10, "m7", true);
    chart.bar(2).slot(2) = chord(0, "sus");
    chart.bar(3).shown = 0;
    chart.bar(3).slot(1) = chord(5);

    transpose(chart, +1);
    EXPECT_EQ(chart.bar(1).slot(1).root, 1);
    EXPECT_EQ(chart.bar(1).slot(4).root, 2);
    EXPECT_EQ(chart.bar(2).slot(1).root, 11);
    EXPECT_EQ(chart.bar(2).slot(1).quality.view(), "m7");
    EXPECT_EQ(chart.bar(2).slot(1).flat, 1);
    EXPECT_STREQ(rootName(chart.bar(2).slot(1).root, true), "Bb");
    EXPECT_EQ(chart.bar(2).slot(2).root, 0);
    EXPECT_EQ(chart.bar(3).slot(1).root, 6);

    transpose(chart, -1);
    transpose(chart, -1);
    EXPECT_EQ(chart.bar(1).slot(1).root, 11);
    EXPECT_EQ(chart.bar(1).slot(4).root, 12);   // C down to B
    EXPECT_EQ(chart.bar(2).slot(2).root, 0);

    // Bars past the laid-out count keep their roots.
    chart.bar(32).slot(1) = chord(3);
    chart.bar(33).slot(1) = chord(3);
    transpose(chart, +1);
    EXPECT_EQ(chart.bar(32).slot(1).root, 4);
    EXPECT_EQ(chart.bar(33).slot(1).root, 3);
}

TEST_F(EditingTest, TwelveSemitonesGiveBackTheChart)
{
    for (int i = 1; i <= 40; ++i)
        mark(i);
    const Chart before = chart;
    for (int k = 0; k < 12; ++k)
        transpose(chart, +1);
    EXPECT_EQ(std::memcmp(chart.bars.data(), before.bars.data(), sizeof chart.bars), 0);
    for (int k = 0; k < 12; ++k)
        transpose(chart, -1);
    EXPECT_EQ(std::memcmp(chart.bars.data(), before.bars.data(), sizeof chart.bars), 0);
}

} // namespace
} // namespace mavrel
