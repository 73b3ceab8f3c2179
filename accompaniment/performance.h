// What a band plays for a chart: timed note events for bass, piano and
// drums (and a click), made from the chart's chords, its form and its song
// information. No Qt and no sound here: the sound back-end plays these
// events through a synthesizer, and the MIDI writer writes them to a file.
#pragma once

#include "document/chart.h"
#include "document/message.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mavrel::accompaniment {

// Ticks a quarter note; every time below is in ticks from the start.
inline constexpr int TicksPerQuarter = 480;

struct Note {
    std::int64_t start;           // ticks
    std::int32_t length;          // ticks, at least 1
    std::uint8_t pitch;           // MIDI note number
    std::uint8_t velocity;        // 1..127
};

enum class Instrument { Bass, Piano, Drums, Click };
inline constexpr int InstrumentCount = 4;

struct Track {
    Instrument instrument;
    std::string name;             // "Bass", "Piano" (or "Guitar"), "Drums", "Click"
    int channel;                  // 0..15; drums and click on 9 (General MIDI channel 10)
    int program;                  // General MIDI program, 0-based; ignored on channel 9
    std::vector<Note> notes;      // sorted by start
};

// One bar as it is played, in the order of the unrolled form.
struct PlayedBar {
    int bar;                      // the chart's bar, 1-based
    std::int64_t start;           // ticks
    TimeSignature meter;
};

// One chord as it is played: where the music is on the page, and what the
// notes played under it may be.
struct PlayedChord {
    std::int64_t start;           // ticks
    std::int32_t length;          // ticks
    int bar;                      // the chart's bar, 1-based
    int slot;                     // 1..4: its place among the bar's chords ("%" for a whole bar: those it repeats)
    int root;                     // 1..12, C..B; 0 for "N.C.": only the drums play
    int bass;                     // 1..12: the slash bass, else the root
    std::uint16_t pitchClasses;   // bit k (k = 0 for C .. 11 for B): a tone or tension of the chord
};

enum class Style { Swing, Ballad, BossaNova, Latin, Pop, Funk, Waltz, Shuffle };
inline constexpr int StyleCount = 8;

struct Options {
    int tempo = 0;                // quarter notes a minute; 0: the chart's, else the style's
    int style = -1;               // a Style; -1: from the chart's style text and meter
    int choruses = 1;             // times through the whole form
    int countInBars = 0;          // bars of click before the music, in the first bar's meter
    bool click = false;           // the click on every beat of the music too
    std::uint32_t seed = 1;       // the small variations of timing and velocity
    int fromBar = 0;              // play from this chart bar (its first place in the form); 0: the start
};

struct Performance {
    int tempo = 120;              // quarter notes a minute
    Style style = Style::Swing;
    std::vector<Track> tracks;    // bass, piano, drums, click, in that order (a track may be empty)
    std::vector<PlayedBar> bars;  // the count-in excluded
    std::vector<PlayedChord> chords;   // in playing order
    std::int64_t end = 0;         // ticks: when the last bar ends
    std::vector<Message> warnings;   // a form cut short, chords played as their triad...
};

} // namespace mavrel::accompaniment
