// The marks of the song's form on the page: each one inks where a musician
// looks for it and changes nothing else of the page.
#include "pixels.h"
#include "render/formmarks.h"
#include "render/page.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace mavrel {
namespace {

using namespace test;

// The fresh chart's grid: bars of 106 x 72, bar (r, c) at
// (70 + 105 (c - 1), 150 + 71 (r - 1)).
constexpr int W = 106;
constexpr int H = 72;
int barX(int column) { return 70 + 105 * (column - 1); }
int barY(int row) { return 150 + 71 * (row - 1); }

ChartBuilder songChart()
{
    ChartBuilder b(4, 8);
    b.bars({"Dm7 G7", "Cmaj7", "Dm7 G7", "C6", "Em7b5 A7", "Dm7", "G7", "C", "F", "Bb7"});
    return b;
}

QImage drawn(const Chart& chart)
{
    Page page;
    page.draw(chart, Selection{}, false);
    return page.image().copy();
}

// The rectangle holding every pixel that differs between the two pages.
QRect changes(const QImage& a, const QImage& b)
{
    QRect r;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (at(a, x, y) != at(b, x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}

// A row of `r` black from its left to its right end.
bool blackRow(const QImage& img, QRect r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        if (allAre(img, QRect(r.left(), y, r.width(), 1), Black))
            return true;
    return false;
}

TEST(FormMarks, EachMarkInksItsPlaceAndNothingElse)
{
    const int x2 = barX(2), y1 = barY(1), y2 = barY(2);
    struct Row {
        const char* what;
        std::function<void(ChartBuilder&)> mark;
        QRect allowed;                 // where the page may change
        std::vector<QRect> inked;      // each gets new ink
    };
    const Row rows[] = {
        {"section box astride the top-left corner", [](ChartBuilder& b) { b.section(6, "A"); },
         area(x2 - 3, y2 - 30, x2 + 40, y2 + 12), {area(x2 - 3, y2 - 30, x2 - 1, y2 - 1), area(x2 + 1, y2 + 1, x2 + 40, y2 + 12)}},
        {"segno at the corner", [](ChartBuilder& b) { b.flag(6, SegnoFlag); },
         area(x2 - 3, y2 - 30, x2 + 40, y2 + 12), {area(x2, y2 - 25, x2 + 30, y2 - 2), area(x2, y2 + 1, x2 + 30, y2 + 12)}},
        {"coda at the corner", [](ChartBuilder& b) { b.flag(6, CodaFlag); },
         area(x2 - 3, y2 - 30, x2 + 40, y2 + 12), {area(x2, y2 - 25, x2 + 30, y2 - 2), area(x2, y2 + 1, x2 + 30, y2 + 12)}},
        {"a long section name stays within its bar", [](ChartBuilder& b) { b.section(6, "Introduction lente"); },
         area(x2 - 3, y2 - 30, x2 + W - 2, y2 + 12), {area(x2 - 3, y2 - 30, x2 + W - 2, y2 + 12)}},
        {"a long section name before a row reaches into the margin", [](ChartBuilder& b) { b.section(5, "Introduction"); },
         area(1, y2 - 30, barX(1) + W - 2, y2 + 12), {area(1, y2 - 30, barX(1) - 1, y2 + 12)}},
        {"the song's meter in the margin before row 1", [](ChartBuilder& b) { b.meter(0, 3, 4); },
         area(1, y1, barX(1) - 1, y1 + H - 1), {area(1, y1, barX(1) - 1, y1 + H / 2 - 1), area(1, y1 + H / 2 + 1, barX(1) - 1, y1 + H - 1)}},
        {"a change before row 2 in its margin", [](ChartBuilder& b) { b.meter(5, 6, 8); },
         area(1, y2, barX(1) - 1, y2 + H - 1), {area(1, y2, barX(1) - 1, y2 + H / 2 - 1), area(1, y2 + H / 2 + 1, barX(1) - 1, y2 + H - 1)}},
        {"a change inside the bar's left edge", [](ChartBuilder& b) { b.meter(6, 5, 4); },
         area(x2 + 1, y2 + 10, x2 + 20, y2 + H - 10), {area(x2 + 1, y2 + 10, x2 + 20, y2 + H / 2 - 1), area(x2 + 1, y2 + H / 2 + 1, x2 + 20, y2 + H - 10)}},
        {"a meter that makes no sense is not drawn", [](ChartBuilder& b) { b.meter(6, 5, 0); }, QRect(), {}},
        {"fermata over the last chord", [](ChartBuilder& b) { b.flag(1, FermataFlag); },
         area(barX(1) + W / 2, y1 + 20, barX(1) + W - 2, y1 + 3 * H / 4 - 6), {area(barX(1) + W / 2, y1 + 20, barX(1) + W - 2, y1 + 3 * H / 4 - 6)}},
        {"direction under the bar's right end", [](ChartBuilder& b) { b.direction(4, Direction::DalSegnoAlCoda); },
         area(barX(4) + W / 4, y1 + H - 16, barX(4) + W - 2, y1 + H - 2), {area(barX(4) + W / 2, y1 + H - 16, barX(4) + W - 2, y1 + H - 2)}},
        {"nothing for a hidden bar", [](ChartBuilder& b) { b.hidden(6).section(6, "A").flag(6, FermataFlag).meter(6, 3, 4); },
         QRect(), {}},
    };
    // One page drawing every row in turn, as the editor redraws: what it
    // keeps from one drawing to the next changes no pixel.
    Page kept;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ChartBuilder b = songChart();
        row.mark(b);
        const auto chart = b.build();
        const QImage after = drawn(*chart);
        kept.draw(*chart, Selection{}, false);
        EXPECT_TRUE(sameImages(kept.image(), after));
        auto plain = std::make_unique<Chart>(*chart);
        plain->song = SongInfo{};
        const QImage reference = drawn(*plain);
        const QRect changed = changes(reference, after);
        EXPECT_TRUE(row.allowed.contains(changed) || changed.isNull())
            << "changed " << changed.x() << "," << changed.y() << " " << changed.width() << "x" << changed.height();
        for (const QRect& r : row.inked)
            EXPECT_GT(count(after, r, Black), count(reference, r, Black)) << "no ink at " << r.x() << "," << r.y();
    }
}

// The bracket of an ending runs over its bars with its number; it is closed
// where another ending follows and open at the last one.
TEST(FormMarks, EndingBrackets)
{
    auto chart = songChart().ending(5, 8, 1).ending(9, 10, 2).build();
    const QImage page = drawn(*chart);
    const QImage before = drawn(*songChart().build());
    const int y2 = barY(2), y3 = barY(3);
    EXPECT_TRUE(blackRow(page, area(barX(1) + 8, y2 + 3, barX(4) + W - 8, y2 + 12)));
    EXPECT_TRUE(blackRow(page, area(barX(1) + 8, y3 + 3, barX(2) + W - 8, y3 + 12)));
    // The numbers, right of their hooks.
    EXPECT_GT(count(page, area(barX(1) + 5, y2 + 6, barX(1) + 20, y2 + 22), Black),
              count(before, area(barX(1) + 5, y2 + 6, barX(1) + 20, y2 + 22), Black) + 10);
    // The first closed by a hook at its right end, the second open.
    auto hook = [&](int x, int y) { return count(page, area(x - 7, y + 12, x - 2, y + 16), Black); };
    EXPECT_GT(hook(barX(4) + W, y2), 0);
    EXPECT_EQ(hook(barX(2) + W, y3), 0);
    // Nothing of them in the bars that have no ending.
    EXPECT_TRUE(sameImages(page, before, area(barX(3), y3 + 1, barX(4) + W - 1, y3 + 20)));
}

TEST(FormMarks, SongTextsAsThePageDrawsThem)
{
    struct Row {
        const char* utf8;
        const char* win1252;
    };
    const Row rows[] = {
        {"Verse", "Verse"},
        {"Pont \xC3\xA9t\xC3\xA9", "Pont \xE9t\xE9"},
        {"Coda \xE2\x82\xAC", "Coda \x80"},
        {"\xF0\x9D\x84\x8B A", "? A"},           // a segno sign Windows-1252 lacks
        {"\xE3\x82\xA2", "?"},
        {"A\x01\tB", "AB"},                      // control characters dropped
        {"\xC3", "?"},                           // a cut sequence
        {"\xFF" "B", "?B"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(pageText(row.utf8), row.win1252) << row.utf8;
}

} // namespace
} // namespace mavrel
