// LilyPond chord grids (the ChordGrid context of LilyPond 2.24) for a chart:
// one square per bar, its chords lasting as long as the bar's division says,
// the bar-line signs as \bar, a "%" bar as a percent sign, each grid row a
// line, the title, composer and style in the \header.
#pragma once

#include "chart.h"

#include <string>

namespace mavrel::lilypond {

// The whole file, UTF-8.
std::string write(const Chart& chart);

} // namespace mavrel::lilypond
