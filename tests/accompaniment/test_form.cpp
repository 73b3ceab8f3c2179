// The order a band plays a chart's bars in: repeats, endings, segno and
// coda, "D.C."/"D.S." and "Fine", and forms that would never end.
#include "accompaniment/form.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace mavrel::accompaniment {
namespace {

using test::ChartBuilder;

// A chart from a line of bars, one word each: "{" start repeat, "}" end
// repeat, "[" double bar before, "]" double bar after, "1" to "3" an
// ending, "S" segno, "C" coda, "h" hidden, "n" hidden bar of "N.C.",
// "@DS", "@DSC", "@DSF", "@DC", "@DCC", "@DCF", "@Fine", "@ToCoda" a
// direction; "-" for a bar with none of these.
std::unique_ptr<Chart> formChart(std::string_view form)
{
    std::istringstream words{std::string(form)};
    std::vector<std::string> bars;
    for (std::string w; words >> w;)
        bars.push_back(w);
    ChartBuilder b(4, static_cast<int>(bars.size() + 3) / 4);
    static const std::pair<std::string_view, Direction> Directions[] = {
        {"DSC", Direction::DalSegnoAlCoda}, {"DSF", Direction::DalSegnoAlFine}, {"DS", Direction::DalSegno},
        {"DCC", Direction::DaCapoAlCoda},   {"DCF", Direction::DaCapoAlFine},   {"DC", Direction::DaCapo},
        {"Fine", Direction::Fine},          {"ToCoda", Direction::ToCoda},
    };
    for (int i = 1; i <= static_cast<int>(bars.size()); ++i) {
        const std::string& w = bars[static_cast<std::size_t>(i - 1)];
        b.bar(i, "C");
        const std::string marks = w.substr(0, w.find('@'));
        b.signs(i, marks.find('{') != std::string::npos ? 1 : marks.find('[') != std::string::npos ? 2 : 0,
                marks.find('}') != std::string::npos ? 1 : marks.find(']') != std::string::npos ? 2 : 0);
        int flags = 0;
        for (const char c : marks) {
            if (c >= '1' && c <= '3')
                b.ending(i, c - '0');
            flags |= c == 'S' ? SegnoFlag : c == 'C' ? CodaFlag : 0;
            if (c == 'h' || c == 'n')
                b.hidden(i);
            if (c == 'n')
                b.chart().bar(i).slot(1) = noChord();
        }
        b.flags(i, flags);
        if (const std::size_t at = w.find('@'); at != std::string::npos)
            for (const auto& [name, direction] : Directions)
                if (w.substr(at + 1) == name) {
                    b.direction(i, direction);
                    break;
                }
    }
    for (int i = static_cast<int>(bars.size()) + 1; i <= b.chart().info.count; ++i)
        b.hidden(i);
    return b.build();
}

std::string played(const Form& form)
{
    std::string out;
    for (const int bar : form.bars)
        out += (out.empty() ? "" : " ") + std::to_string(bar);
    return out;
}

TEST(Form, BarsInPlayingOrder)
{
    struct Case {
        const char* name;
        const char* form;
        const char* bars;
        int warnings;
    };
    const Case cases[] = {
        {"straight", "- - -", "1 2 3", 0},
        {"repeat", "- {- -} -", "1 2 3 2 3 4", 0},
        {"end repeat alone goes to the start", "- -} -", "1 2 1 2 3", 0},
        {"end repeat alone goes to the double bar", "- [- -} -", "1 2 3 2 3 4", 0},
        {"end repeat alone after a repeat", "{-} - -} -", "1 1 2 3 2 3 4", 0},
        {"one bar repeated", "{-} -", "1 1 2", 0},
        {"two endings", "{- 1} 2 -", "1 2 1 3 4", 0},
        {"three endings", "{- 1} 2} 3", "1 2 1 3 1 4", 0},
        {"long endings", "{- 1 1} 2 2", "1 2 3 1 4 5", 0},
        {"two repeats with endings", "{- 1} 2 {- 1} 2", "1 2 1 3 4 5 4 6", 0},
        {"D.S. al Coda", "- S- -@ToCoda -@DSC C- -", "1 2 3 4 2 3 5 6", 0},
        {"D.C. al Fine", "- -@Fine - -@DCF", "1 2 3 4 1 2", 0},
        {"D.C. al Coda", "- -@ToCoda -@DCC C-", "1 2 3 1 2 4", 0},
        {"D.S. al Fine", "- S- -@Fine -@DSF", "1 2 3 4 2 3", 0},
        {"plain D.C. plays to the end", "- -@DC -", "1 2 1 2 3", 0},
        {"no repeat after D.C., last ending", "{- 1} 2@DC -", "1 2 1 3 1 3 4", 0},
        {"Fine before the jump is passed", "-@Fine - -@DCF", "1 2 3 1", 0},
        {"hidden bars are gaps, hidden N.C. is silence", "- h n -", "1 3 4", 0},
        {"signs of a hidden bar are not read", "- h} -", "1 3", 0},
        {"D.S. without segno", "- -@DS", "1 2 1 2", 1},
        {"To Coda without coda", "- -@ToCoda -@DCC", "1 2 3 1 2 3", 1},
        {"coda only before To Coda", "C- -@ToCoda -@DCC", "1 2 3 1 2 3", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Form form = unrollForm(*formChart(c.form));
        EXPECT_EQ(played(form), c.bars);
        EXPECT_EQ(static_cast<int>(form.warnings.size()), c.warnings);
    }
}

// Repeats inside one another, endings, D.S., D.C. and To Coda on every bar:
// bounded, and in time proportional to the bars. A D.S. on every bar back
// to the first: cut at the bound, with a warning.
TEST(Form, HostileFormIsCutQuickly)
{
    ChartBuilder b(5, 100);
    for (int i = 1; i <= MaxBars; ++i) {
        b.bar(i, "C").signs(i, i % 3 == 0 ? 1 : 0, i % 2 == 0 ? 1 : 0);
        b.direction(i, i % 5 == 0 ? Direction::DalSegno : i % 7 == 0 ? Direction::DaCapoAlCoda : Direction::ToCoda);
        b.flags(i, i % 2 ? SegnoFlag : CodaFlag).ending(i, i % 4);
    }
    const auto chart = b.build();
    const auto begin = std::chrono::steady_clock::now();
    const Form form = unrollForm(*chart);
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    EXPECT_LE(form.bars.size(), static_cast<std::size_t>(MaxBars * MaxPlaysPerBar));
    EXPECT_LT(elapsed, std::chrono::milliseconds(200));

    ChartBuilder loops(4, 125);
    for (int i = 1; i <= MaxBars; ++i)
        loops.bar(i, "C").signs(i, 1, 1).direction(i, Direction::DalSegno);
    loops.flags(1, SegnoFlag);
    const Form cut = unrollForm(*loops.build());
    EXPECT_EQ(cut.bars.size(), static_cast<std::size_t>(MaxBars * MaxPlaysPerBar));
    ASSERT_EQ(cut.warnings.size(), 1u);
    EXPECT_EQ(cut.warnings[0].text(), "La forme ne finit pas : elle est coupée après 4000 mesures.");
}

} // namespace
} // namespace mavrel::accompaniment
