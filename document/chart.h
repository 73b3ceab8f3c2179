// The chart document: plain records in fixed arrays, the records a chart
// file stores field by field, and beside them the song information that the
// file's extension keeps (song.h). No Qt here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "basics.h"
#include "song.h"

namespace mavrel {

// The characters of a quality that a chart file's chord record holds; a
// longer quality keeps the rest in the file's extension.
inline constexpr std::size_t RecordQualityLength = 8;
inline constexpr std::size_t MaxQualityLength = 24;

// One chord slot.
struct Chord {
    std::uint8_t root;            // 0 "%", 1..12 C..B in semitones
    ShortString<MaxQualityLength> quality;
    std::uint8_t flat;            // 0: sharp spelling, otherwise flat
    std::uint8_t spare;
};

// One bar.
struct Bar {
    Chord chords[4];            // slots 1..4 are chords[0..3]
    std::uint8_t division;        // 1..5
    std::uint8_t spare1;
    std::int16_t left;            // 0 none, 1 start repeat, 2 double bar
    std::int16_t right;           // 0 none, 1 end repeat, 2 double bar
    std::int16_t top;             // 1: second line
    std::int16_t bottom;          // 1: second line
    std::int16_t spare2;
    std::int32_t x;
    std::int32_t y;
    std::uint8_t shown;           // 0: hidden
    std::uint8_t spare3[3];

    Chord& slot(int n) { return chords[n - 1]; }
    const Chord& slot(int n) const { return chords[n - 1]; }
};

// One free text label.
struct TextLabel {
    ShortString<100> text;
    std::uint8_t spare1[3];
    std::int32_t x;
    std::int32_t y;
    std::uint8_t bold;
    std::int8_t size;             // points
    std::uint8_t spare2[2];
};

// The layout block, stored as is in the file header (offsets 8..59).
struct GridInfo {
    std::int32_t count;           // laid-out bars: columns x rows after a layout
    std::int32_t barWidth;
    std::int32_t barHeight;
    std::int32_t columns;
    std::int32_t rows;
    std::int32_t fontSize;        // chord font size, points
    std::uint8_t bold;            // chord bold
    std::uint8_t spare[3];
    std::int32_t labelCount;
    std::int32_t pageWidth;
    std::int32_t pageHeight;
    std::int32_t topMargin;
    std::int32_t bottomMargin;
    std::int32_t sideMargin;
};

// "No chord" (N.C.): a slot of root 0, like the repeat sign, whose quality
// reads "N.C.". The page shows "N.C." alone, and nothing is played there.
inline constexpr std::string_view NoChordQuality = "N.C.";
inline bool isNoChord(const Chord& chord)
{
    return chord.root == 0 && chord.quality.view() == NoChordQuality;
}
inline Chord noChord()
{
    Chord chord{};
    chord.quality.assign(NoChordQuality);
    return chord;
}

static_assert(sizeof(Chord) == 28);
static_assert(sizeof(Bar) == 136);
static_assert(sizeof(TextLabel) == 116);
static_assert(sizeof(GridInfo) == 52);

inline constexpr int DefaultPageWidth = 565;
inline constexpr int DefaultPageHeight = 800;

// A chart: the layout block, the bars and the labels a chart file carries
// (their spare bytes too), and the song information. Plain bytes through and
// through, so that a copy or a comparison is one memcpy or memcmp, and an
// undo step the bytes it changed. Bars and labels are 1-based, as the rest of
// the program counts them; bar(0) does not exist.
struct Chart {
    GridInfo info{};
    std::array<Bar, MaxBars> bars{};
    std::array<TextLabel, MaxLabels> labels{};
    SongInfo song{};

    Bar& bar(int i) { return bars[static_cast<std::size_t>(i - 1)]; }
    const Bar& bar(int i) const { return bars[static_cast<std::size_t>(i - 1)]; }
    TextLabel& label(int j) { return labels[static_cast<std::size_t>(j - 1)]; }
    const TextLabel& label(int j) const { return labels[static_cast<std::size_t>(j - 1)]; }
};
static_assert(std::is_trivially_copyable_v<Chart>);
static_assert(sizeof(Chart) == sizeof(GridInfo) + MaxBars * sizeof(Bar) + MaxLabels * sizeof(TextLabel)
                  + sizeof(SongInfo),
              "no padding: every byte of a chart is one of its records'");

// A bar as a chart that was never edited holds it: "%" in every slot, one
// chord, no signs, shown; every other byte zero.
Bar blankBar();

// Resets the chart to an empty 4 x 8 portrait page with no song information,
// laid out. Accidental flags, bar positions, spare bytes and the records of
// labels are left as they were: only the label count forgets the labels.
void resetChart(Chart& chart);

} // namespace mavrel
