// A chart read as a lead sheet, for the exporters: the bars that carry the
// song in playing order with their chords, how long each lasts in the bar's
// meter, their bar-line signs, the marks of the form and the texts placed
// beside them; the song's title, composer, style, key and tempo. Also the
// reading of a quality text into the parts of a chord that MusicXML and
// LilyPond spell out.
#pragma once

#include "chart.h"

#include <string>
#include <string_view>
#include <vector>

namespace mavrel::leadsheet {

// What a bar of silence holds in its first slot: it is hidden, so the text
// never shows, but the bar stays one of the song.
inline constexpr std::string_view NoChordText = "N.C.";

// Lengths are counted in ticks, this many to a quarter note: enough to part
// a bar of 1/32 in four.
inline constexpr int TicksPerQuarter = 64;

struct ChordSymbol {
    int root = 1;                // 1..12, C..B
    bool flat = false;           // spelled with a flat
    std::string quality;         // Windows-1252, as the chart stores it ("7/G" keeps its bass),
                                 // without control characters
    int beats = 4;               // its place in the bar as the page divides it, in quarters of
                                 // the bar: 4, 2 or 1
    int length = 0;              // how long it is played, in ticks
    bool noChord = false;        // "N.C.": nothing is played for its beats
};

enum class Sign { None, Repeat, Double };

struct Measure {
    // "%" replaced by the chord or bar it repeats; a hidden bar, a bar of
    // silence, holds one "N.C." for the whole bar.
    std::vector<ChordSymbol> chords;
    bool repeat = false;         // a lone "%": the previous bar again (chords holds it)
    Sign left = Sign::None;
    Sign right = Sign::None;
    bool rowStart = false;       // first bar of a grid row
    // UTF-8 section names: the texts in the margin before its row, and a
    // "[B]" that opens a text on the bar. Texts here and in the sheet are
    // the labels' without their control characters.
    std::vector<std::string> marks;
    std::vector<std::string> words;   // UTF-8 texts on or beside the bar

    // The song's marks of the bar: its section goes first among `marks`.
    TimeSignature meter{4, 4};   // a meter that can be written: a unit that is a power of two
    bool meterShown = false;     // the meter is written here: the song's at the first bar, a
                                 // bar's own, or where it changes
    int length = 4 * TicksPerQuarter;   // ticks of the bar
    int lead = 0;                // ticks before the first chord: a "%" with nothing to repeat
    int ending = 0;              // 0, or 1..3: under the bracket of that ending
    std::uint8_t flags = 0;      // BarFlag
    Direction direction = Direction::None;
};

// The title, composer and style are the song's; where the song gives none,
// its labels' (the label that shows one the song gives is not a text of the
// bars either).
struct Sheet {
    std::string title;           // UTF-8; the largest label above the grid, else the first label
    std::string composer;        // the first other label above the grid in the right half
    std::string style;           // the first other label above the grid in the left half
    Key key;                     // set, else heard in the chords; empty when neither
    int tempo = 0;               // quarter notes a minute; 0: not given
    std::vector<Measure> measures;    // the laid-out bars up to the last shown one
    int columns = 1;             // bars across the grid
};

Sheet read(const Chart& chart);

// The parts of a chord that a quality text names, as far as they can be read:
// "m7b5", "M7", "ø", "h7", "dim7", "mi7", "7sus", "13#11", "mM7", "69", "7alt",
// "add9", "7(b9)"...
struct Quality {
    bool minor = false;
    bool diminished = false;
    bool halfDiminished = false;
    bool augmented = false;
    bool majorSeventh = false;   // "M7", "maj7", "^7", "M9"...
    int extension = 0;           // 0, 2, 5 (power chord), 6, 7, 9, 11 or 13
    bool sixNine = false;
    int suspended = 0;           // 0, 2 or 4
    bool altered = false;        // "alt"
    struct Degree {
        int value;
        int alter;               // -1, 0 or +1
    };
    std::vector<Degree> alterations;  // "b5", "#9", "#11"...
    std::vector<Degree> additions;    // "add9", "addb9"
    std::string bass;            // "G", "Bb", "F#" when the text ends with "/G"...
    bool understood = true;      // false when some of the text meant nothing here
};

Quality readQuality(std::string_view win1252);

// The letter and alteration of a root (1..12) in the chord's spelling.
struct Spelling {
    char step;                   // 'A'..'G'
    int alter;                   // -1, 0 or +1
};
Spelling spell(int root, bool flat);
Spelling spell(std::string_view note);   // "Bb", "F#", "G"

// The key's signature: sharps (> 0) or flats (< 0), spelled as the key is.
// 0 for an empty key.
int fifths(Key key);
// The tonic of a key as it is spelled.
Spelling tonic(Key key);

} // namespace mavrel::leadsheet
