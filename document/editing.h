// What the editing handlers decide, as plain functions over the chart:
// signs and divisions, chord slots, labels, the lasso, the bar clipboard and
// transposition. The windows call these and then redraw.
#pragma once

#include "chart.h"
#include "message.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace mavrel {

// Selected bars in the order they were selected. Emptying sets the count to
// 0 and keeps the entries: entry 1 stays the paste anchor. An anchor of -1
// means there is none (start-up, or a click that hit no bar).
struct Selection {
    std::int16_t count = 0;
    std::int16_t entries[MaxBars] = {-1};

    void clear() { count = 0; }
    int anchor() const { return entries[0]; }
    bool contains(int bar) const;
};

// Copied bars with the marks of their place in the form (a section, an
// ending...), which go where the bars are pasted.
struct Clipboard {
    std::int16_t count = 0;
    Bar bars[MaxBars]{};
    BarMarks marks[MaxBars]{};
};

// --- bars (page mouse dispatch) ---------------------------------------------

// Right press with the chord tool: 1, 2, 3, 4, 5, 1, ... Any other stored value
// moves up by one until it reaches 6.
void cycleDivision(Bar& bar);
// Bar-line tool: the sign field of the region advances through its cycle.
void cycleSign(Bar& bar, int region);
// Eraser.
void toggleShown(Bar& bar);

// --- chord dialog -------------------------------------------------------------

// The slot that a press on `region` of a bar of `division` addresses; for a
// division type outside 1..5 the current choice stays.
int slotFor(int division, int region, int current);

// Root names by index; "?" for an index outside 0..12.
const char* rootName(int root, bool flat);
// What a slot shows on the page, in Windows-1252: its root's name and its
// quality, or "N.C." for no chord.
std::string chordText(const Chord& chord);
inline constexpr int QualityCount = 10;
// The quality list items, in Windows-1252 ("ø" is the byte 0xF8).
const char* qualityItem(int index);
// The list item holding this quality, or -1.
int qualityIndex(std::string_view quality);

// What the chord dialog shows when it is pressed "Ok".
struct ChordEntry {
    int root = -1;              // selected root item, -1 when none
    int qualityItem = -1;       // selected quality item, -1 when none
    bool flat = false;          // "b/#"
    bool other = false;         // "Autre"
    std::string freeText;       // Windows-1252
};
// The chord "Ok" stores, or nothing when no root is selected (or it lies
// outside 0..12).
std::optional<Chord> buildChord(const ChordEntry& entry, const Chord& previous);

// --- text labels ---------------------------------------------------------------

// The label whose 15 x 15 hot zone holds the point, the highest index winning,
// label `except` left out; -1 for none.
int labelAt(const Chart& chart, int x, int y, int except = 0);
// Appends a label; false (and nothing stored) when the chart already holds
// the most labels it can.
bool commitLabel(Chart& chart, std::string_view text, int x, int y, int size, bool bold);
// Takes label j out of the chart for editing: the last label moves into its
// index. Returns the label taken out.
TextLabel takeLabel(Chart& chart, int j);

// --- lasso and bar clipboard ---------------------------------------------------

// A release that ends a lasso drag. `barAtRelease` is hitTest at the release
// point. Fills the selection anew.
void finishLasso(const Chart& chart, Selection& sel, int startX, int startY, int endX, int endY,
                 int barAtRelease);
void copyBars(const Chart& chart, Selection& sel, Clipboard& clip);
void pasteBars(Chart& chart, Selection& sel, const Clipboard& clip);
void clearBars(Chart& chart, Selection& sel);

// --- transposition -------------------------------------------------------------

// A bass note written after the last slash of a quality ("m7/Bb", "/E"): a
// letter A-G with at most one "b" or "#", and nothing after it. "6/9" holds
// none.
struct SlashBass {
    std::size_t at;     // where its letter starts in the quality
    int pitch;          // 1..12, C..B
    int accidental;     // -1, 0 or +1, as written
};
std::optional<SlashBass> slashBass(std::string_view quality);

// How transposed chords are spelled: as each chord was, all in flats, all in
// sharps, or as the key wants it.
enum class Spelling { Keep, Flats, Sharps, Key };

// Moves every root of the laid-out bars by `steps` semitones, up or down, and
// a slash bass with it; "%" and damaged roots stay. The root is spelled by its
// flat flag, which only a spelling other than Spelling::Keep changes (by the
// key: the song's key, set or heard in its chords, once moved). A key the
// user set moves with the chords. A bass is spelled by the same choice; kept,
// it keeps its own accidental, and a natural one takes the chord's flag.
//
// A moved bass may need one character more ("/G" to "/Ab"), and a quality
// holds 24: when some chord's would not fit, nothing moves and the message
// names the first such chord. Empty when the chart was transposed.
Message transpose(Chart& chart, int steps, Spelling spelling = Spelling::Keep);

// What transpose() would refuse, with the chart left as it is; empty when it
// would move every chord.
Message transposeProblem(const Chart& chart, int steps, Spelling spelling = Spelling::Keep);

} // namespace mavrel
