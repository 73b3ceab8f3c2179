// The band: what bass, piano (or guitar) and drums play for a chart, in the
// chart's style or another, as timed note events.
#pragma once

#include "performance.h"

namespace mavrel::accompaniment {

// The whole performance of the chart: its form unrolled (form.h), every
// chord read (harmony.h), the style from the options or the chart
// (style.h). The same chart, options and seed give the same notes.
//
// Each track's notes are sorted by start; no note begins before 0 or ends
// after `end`, and two notes of one pitch on one channel never sound at
// once. The bass plays the chord's root (or its slash bass) exactly on the
// first beat of every chord; the piano plays only the chord's tones and
// tensions, each note within its chord's time; nothing is played but drums
// under "N.C.".
Performance arrange(const Chart& chart, const Options& options = {});

} // namespace mavrel::accompaniment
