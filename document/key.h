// The song's key: the one the user set, or one heard in the chords the way a
// musician reads a chart, and the key moved with the chords. The key says
// how chords are spelled "by the key".
#pragma once

#include "chart.h"
#include "editing.h"

namespace mavrel {

// The key of the chart's laid-out, shown bars, from all their chords: how long
// each lasts, the cadences that land on a chord (V-I, ii-V-I, the tritone
// substitute, the backdoor bVII7), where the chart comes to rest at its end
// and, for less, the chord it opens with. A slash bass is left out. Empty
// when no bar holds a pitched chord.
//
// The tonic is spelled as the key is usually written (Bb, Eb, F#m, G#m); a
// tonic written either way (Db or C#, Gb or F#, Ebm or D#m, Abm or G#m, Bbm or
// A#m) as the chart itself spells it. C major and A minor have neither flats
// nor sharps: their `flat` follows the chart's black-key roots, else C major
// takes flats and A minor sharps.
Key detectKey(const Chart& chart);

// The key the user set, else the one detected.
Key songKey(const Chart& chart);

// The key moved by `steps` semitones, as transposing the chords with that
// spelling moves it. By the key, or keeping each chord's spelling, the moved
// key is written the usual way: C# major becomes Db, and C major is written
// in flats (Bb7, not A#7); only Gb/F# major and Ebm/D#m, written as often
// one way as the other, keep the direction of the key they come from. Flats
// or sharps spell a black-key tonic (and C major or A minor) that way. A
// move by whole octaves keeps the key as it is, but for flats or sharps. An
// empty key stays empty.
Key transposeKey(Key key, int steps, Spelling spelling);

// Whether the chords of this key are spelled in flats: by its signature, or
// by `flat` for a black-key tonic and for C major and A minor.
bool spellsWithFlats(Key key);

} // namespace mavrel
