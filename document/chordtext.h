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
//
// Before or after its chords, a bar may carry the signs of its edges and the
// marks of its place in the form, each a word of its own:
//   [A] [Intro] [Verse 2]   a section (15 bytes at most)
//   1. 2. 3.                 the bar is under that ending's bracket
//   S  Q                     segno, coda
//   |:  :|                   start repeat, end repeat
//   ||                       a double bar: on the left before the chords,
//                            on the right after them
//   3/4 6/8 12/8             the meter from this bar on
//   f                        a fermata (after the chords only: "f" before
//                            them would be read as a chord, and refused)
//   <D.S. al Coda> <Fine>    a direction (dots, spaces and letter case
//                            do not matter: <ds al coda>, <ToCoda>)
// Marks come before or after the chords, never between them, and a bar
// has at most one of each kind.
struct TypedBar {
    int division = 1;
    Chord chords[4]{};
    int count = 0;
    int left = 0;       // Bar::left: 0 none, 1 start repeat, 2 double bar
    int right = 0;      // Bar::right: 0 none, 1 end repeat, 2 double bar
    BarMarks marks{};   // all zero but what was typed
    Message error;      // empty when the bar is good
    Message notice;     // the chords' notices, in one sentence
};
TypedBar readBar(std::string_view utf8);

// Stores a typed bar: its division, the chords of its first `count` slots
// (the other slots keep theirs), its edge signs and marks. What the bar's
// text cannot show stays as it was unless something else was typed in its
// place: the second lines above and below, signs and marks of values this
// version does not know, a section that brackets could not hold.
void storeTypedBar(Bar& bar, BarMarks& marks, const TypedBar& typed);

// The bar's chords as they would be typed (UTF-8): what readBar reads back.
std::string barText(const Bar& bar);
// The bar as typed with its signs and marks, in this order: section,
// ending, segno, coda, left sign, meter, chords, fermata, right sign,
// direction. readBar reads it back, and storeTypedBar stores it as it is.
std::string barText(const Bar& bar, const BarMarks& marks);

// "3/4", "12/8": 1 to 16 beats of a 1, 2, 4, 8, 16 or 32 unit, as a bar's
// text writes a change of meter; nothing for a text that is no such meter.
std::optional<TimeSignature> readMeter(std::string_view text);

// A key as musicians write it: a tonic as a chord's root is typed ("Bb",
// "F#"), then "m" for minor ("Gm", "C#m"). Empty for a text that is no key.
Key readKey(std::string_view text);
// "Bb", "F#m"; "" for a key that is not set.
std::string keyText(Key key);

} // namespace mavrel
