// Where a bar's chords stand. Each slot its division draws is centred on an
// anchor of the bar, its text taken as n x size pixels wide and 4/3 x size
// tall for n characters, with no measuring: the place depends on the bar, the
// division and the chord alone. The bar draws its chords there, and the marks
// drawn over it keep clear of them.
#pragma once

#include "document/chart.h"

#include <string>

namespace mavrel {

struct ChordPlace {
    int slot;
    int x, y;                 // the text cell's top-left corner
    std::string text;         // Windows-1252
};

struct ChordPlaces {
    ChordPlace places[4];     // in drawing order
    int count = 0;
};

// For a bar of W x H pixels whose chords are `size` points.
ChordPlaces chordPlaces(const Bar& bar, int W, int H, int size);

} // namespace mavrel
