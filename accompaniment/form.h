// The order in which a band plays a chart's bars: its repeats, endings,
// segno, coda, "D.C."/"D.S." and "Fine" followed, the way musicians read them.
#pragma once

#include "document/chart.h"
#include "document/message.h"

#include <vector>

namespace mavrel::accompaniment {

// The bars of one chorus, the most a band plays for each bar of the song: a
// form that would go on longer is damaged or hostile, and is cut there.
inline constexpr int MaxPlaysPerBar = 8;

struct Form {
    std::vector<int> bars;        // chart bars, 1-based, in playing order
    std::vector<Message> warnings;
};

// Whether a bar is one of the song's: a shown bar, or a hidden bar that
// holds "N.C." (a bar of silence); other hidden bars are gaps in the grid.
bool isPlayed(const Bar& bar);

// One time through the chart's laid-out bars, as they are played:
// - an end repeat goes back once to its start repeat; without one, to the
//   last double bar, or to the bar after the previous end repeat, or to the
//   start; a bar under ending n is played on the n-th time through;
// - "D.C." goes back to the start, "D.S." to the segno, each once; after
//   them no repeat is taken again, only the last ending of each bracket is
//   played, "Fine" ends the song (after "D.C."/"D.S." and their "al Fine")
//   and "To Coda" jumps to the next bar marked coda (after "D.C."/"D.S." and
//   their "al Coda").
// Linear in the bars played, which never exceed MaxPlaysPerBar times the
// song's bars.
Form unrollForm(const Chart& chart);

} // namespace mavrel::accompaniment
