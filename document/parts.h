// Parts for transposing instruments: the chart as a B-flat, E-flat or F
// instrument reads it, made for printing, never stored.
#pragma once

#include "chart.h"
#include "message.h"

#include <optional>
#include <string_view>

namespace mavrel {

enum class Instrument { Concert, BFlat, EFlat, F };

// The instrument a command-line name stands for: "C" (concert), "Bb", "Eb",
// "F"; nothing for another name.
std::optional<Instrument> instrumentNamed(std::string_view name);

// How the instrument is written on its part, in UTF-8: "Ut", "Si♭", "Mi♭", "Fa".
std::string_view instrumentMark(Instrument instrument);

// Semitones up from concert pitch to what the instrument reads: 0, a major
// second, a major sixth, a fifth.
int instrumentInterval(Instrument instrument);

// The chart as the instrument reads it: every chord moved by its interval and
// spelled by the key, slash basses with them. The concert part is the chart as
// it is.
//
// A chord whose moved bass would not fit its quality makes the part
// impossible: partProblem() says which, and partFor() then gives back the
// chart unmoved. Whoever makes a part checks first, or makes it in place with
// makePart(), which leaves the chart as it is and gives the reason.
Chart partFor(const Chart& chart, Instrument instrument);
Message partProblem(const Chart& chart, Instrument instrument);
Message makePart(Chart& chart, Instrument instrument);

} // namespace mavrel
