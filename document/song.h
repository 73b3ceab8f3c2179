// What a chart knows of its song beyond its bars and labels: title,
// composer, style, key, tempo and meter, how its chords are drawn, and for
// each bar the marks of the form (a section, an ending, segno, coda, a
// fermata, a direction, a change of meter). Plain records of fixed capacity,
// like the rest of the chart, so that a chart is still copied, compared and
// undone as bytes. A chart file keeps them in an extension after its labels;
// a chart that has none of them is written exactly as before.
#pragma once

#include "basics.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mavrel {

struct TimeSignature {
    std::uint8_t beats;           // 0: none given
    std::uint8_t unit;            // 2, 4, 8...

    bool empty() const { return beats == 0; }
    bool operator==(const TimeSignature&) const = default;
};

// The song's key. A key that is not set is detected from the chords where
// one is needed (document/key.h).
struct Key {
    std::uint8_t tonic;           // 0: not set; 1..12 C..B
    std::uint8_t flat;            // the tonic spelled with a flat (Bb, not A#)
    std::uint8_t minor;

    bool empty() const { return tonic < 1 || tonic > 12; }
    bool operator==(const Key&) const = default;
};

// Where the form goes at the end of a bar, or what is written there.
enum class Direction : std::uint8_t {
    None,
    DaCapo,            // "D.C."
    DaCapoAlCoda,      // "D.C. al Coda"
    DaCapoAlFine,      // "D.C. al Fine"
    DalSegno,          // "D.S."
    DalSegnoAlCoda,    // "D.S. al Coda"
    DalSegnoAlFine,    // "D.S. al Fine"
    Fine,              // "Fine"
    ToCoda,            // "To Coda"
};
inline constexpr int DirectionCount = 9;
// The words a direction is written with; "" for None and for a value out of range.
std::string_view directionText(Direction direction);
// The direction written so, in any letter case; None for another text.
Direction directionNamed(std::string_view text);

enum BarFlag : std::uint8_t {
    SegnoFlag = 1,     // 𝄋 at the bar's start
    CodaFlag = 2,      // 𝄌 at the bar's start: where "To Coda" jumps to
    FermataFlag = 4,   // the bar's last chord held
};

// The marks of one bar's place in the form.
struct BarMarks {
    ShortString<15> section;      // UTF-8: "A", "B", "Intro", "Verse"...; empty for none
    TimeSignature time;           // the meter from this bar on; empty when it does not change
    std::uint8_t ending;          // 0, or 1..3: the bar is under the bracket of that ending
    std::uint8_t flags;           // BarFlag
    Direction direction;
    std::uint8_t spare[3];

    bool empty() const
    {
        return section.size() == 0 && time.empty() && ending == 0 && flags == 0 && direction == Direction::None;
    }
};

enum class ChordStyle : std::uint8_t {
    Classic,           // the root and its quality on one line, as typed
    Jazz,              // real flat and sharp signs, the quality raised and smaller
};

struct SongInfo {
    std::uint16_t tempo;          // quarter notes a minute; 0: not set
    TimeSignature time;           // the meter of the first bar; empty: not set (4/4)
    Key key;
    ChordStyle chordStyle;
    std::uint8_t autoSize;        // chords sized to fill their places
    std::uint8_t spare[7];
    ShortString<127> title;       // UTF-8
    ShortString<127> composer;    // UTF-8
    ShortString<63> style;        // UTF-8: "Medium Swing", "Bossa Nova"...
    BarMarks marks[MaxBars];   // by bar, 1-based as bars are: marks[i - 1]

    BarMarks& bar(int i) { return marks[static_cast<std::size_t>(i - 1)]; }
    const BarMarks& bar(int i) const { return marks[static_cast<std::size_t>(i - 1)]; }
};

static_assert(sizeof(TimeSignature) == 2);
static_assert(sizeof(BarMarks) == 24);
static_assert(sizeof(SongInfo) == 16 + 128 + 128 + 64 + 24 * MaxBars,
              "no padding: song information is copied and compared as bytes");

// Whether the song information holds anything: a chart without any is
// written as a chart file always was, with no extension.
bool hasSongInfo(const SongInfo& song);

// The song's meter at bar `i` (1-based): the last change at or before it,
// else the song's own, else 4/4. A meter that makes no sense (0 units, more
// than 16 beats) counts as 4/4.
TimeSignature meterAt(const SongInfo& song, int i);

// The beats of a meter as a band counts them, in ticks of `ticksPerQuarter`:
// quarter notes, the dotted quarters of 6/8, 9/8 and 12/8, or each unit of
// 5/8 and 7/8.
struct Pulse {
    int count;                    // in a bar
    int ticks;                    // of one
    bool compound;                // three eighths each
    int bar;                      // ticks of the bar
};
Pulse pulseOf(TimeSignature t, int ticksPerQuarter);

// The bar shared among places that take `weights` quarters of it as the page
// divides it: in whole beats where the meter allows (3/4: two beats and
// one), the larger part to the larger place, then to the earlier one. The
// lengths, in ticks, make the whole bar.
std::vector<int> shareBar(std::span<const int> weights, const Pulse& pulse);

// A UTF-8 text without its control characters, cut to `capacity` bytes on a
// character boundary.
std::string cutUtf8(std::string_view utf8, std::size_t capacity);

// Stores the text so, and zeroes the bytes past it: two equal texts are
// equal bytes.
template <std::size_t N> void setText(ShortString<N>& s, std::string_view utf8)
{
    s = ShortString<N>{};
    s.assign(cutUtf8(utf8, N));
}

} // namespace mavrel
