// A bar's chords as a musician types them: "Dm7 G7", "F#ø", "Bbsus4", "C/E",
// "%". What the chart stores for such a text, and the text for a bar.
#pragma once

#include "chart.h"
#include "message.h"

#include <optional>
#include <string>
#include <string_view>

namespace mavrel {

// One typed chord: a root A-G with "#" or "b" ("♯", "♭") or "%", then its quality.
// The quality takes the chord dialog's text where one is meant ("maj7", "^"
// and "Δ" are "M7"; "-" is "m"; "m7b5" and "h" are "ø"; "o" is "dim"),
// otherwise the text as typed, of at most 24 characters; a slash bass stays as
// typed, and must be a note. Control characters and double accidentals
// ("Bbb") are refused.
// "Fb", "Cb", "E#" and "B#" are stored as the chart writes them (E, B, F, C),
// and the notice says so.
// A quality as typed (UTF-8), in the chart's Windows-1252 and the chord
// dialog's spelling: the music signs "♭", "♯", "Δ", "−" and "°" become the
// letters a chart writes ("b", "#", "M7", "m", "dim"), and a usual spelling
// followed by a degree takes the dialog's ("maj7#11" is "M7#11", "-9" is
// "m9", "°7" is "dim7"). Nothing when a character cannot be kept.
std::optional<std::string> readQuality(std::string_view utf8);

struct TypedChord {
    Chord chord{};
    Message error;    // empty when the chord is good
    Message notice;   // what was stored otherwise than typed; empty when nothing
};
TypedChord readChord(std::string_view utf8);

// A bar typed as chords separated by spaces: one gives division 1, two
// division 2, four division 3, three division 4 (two quarter-bar chords, then
// the half) or division 5 when the first ends with a full stop ("Dm7. G7 C7":
// the half first).
struct TypedBar {
    int division = 1;
    Chord chords[4]{};
    int count = 0;
    Message error;    // empty when the bar is good
    Message notice;   // the chords' notices, in one sentence
};
TypedBar readBar(std::string_view utf8);

// The bar's chords as they would be typed (UTF-8): what readBar reads back.
std::string barText(const Bar& bar);

} // namespace mavrel
