// Where a bar's chords stand. The plain page centres each slot its division
// draws on an anchor of the bar, its text taken as n x size pixels wide and
// 4/3 x size tall for n characters, with no measuring: the place depends on
// the bar, the division and the chord alone. Typeset chords are measured and
// kept inside their slot's part of the bar, clear of its edges, bar-line
// signs and division lines, as near their anchor as they fit. The bar draws
// its chords there, and the marks drawn over it keep clear of them.
#pragma once

#include "chordtype.h"

#include "document/chart.h"

#include <QPointF>
#include <QRectF>

#include <memory>
#include <string>
#include <vector>

namespace mavrel {

// How a page draws its chords.
struct PageChords {
    // False: the plain text of the "Classique" page at its fixed size, placed
    // by counting characters. True: typeset chords, placed in their parts.
    bool typeset = false;
    ChordStyle style = ChordStyle::Classic;
    ChordSymbols symbols;
    bool bold = false;
    int points = 8;          // the plain text's size
    int pixels = 11;         // the typeset root's size
};

// For a laid-out chart: its style, its size (fitted to the bars when the
// chart asks for auto size), and the user's symbols.
PageChords pageChords(const Chart& chart, const ChordSymbols& symbols = chordSymbols());

struct ChordPlace {
    int slot;
    int x, y;                 // plain: the text cell's top-left corner
    std::string text;         // plain: Windows-1252
    std::shared_ptr<const TypesetChord> typeset;   // typeset: the chord
    QPointF origin;           // typeset: the left end of its baseline
};

struct ChordPlaces {
    ChordPlace places[4];     // in drawing order
    int count = 0;
};

// For a bar of W x H pixels whose plain chords are `size` points.
ChordPlaces chordPlaces(const Bar& bar, int W, int H, int size);
// For a bar of W x H pixels on a page whose chords are drawn as `chords` says.
ChordPlaces chordPlaces(const Bar& bar, int W, int H, const PageChords& chords);

// A slot's part of the bar, in page pixels, inside which its typeset chord
// stays: where a + b·p <= c for each side (a, b, c), clear of the edges,
// the signs on them and the division's lines.
struct ChordRoom {
    struct Side {
        double a, b, c;
    };
    std::vector<Side> sides;
    bool contains(QPointF p, double slack = 1e-6) const;
};
ChordRoom chordRoom(const Bar& bar, int W, int H, int slot);

} // namespace mavrel
