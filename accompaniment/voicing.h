// Chords for the piano (or guitar): which of a chord's notes are played, and
// where, so that each voicing moves as little as it can from the last one.
#pragma once

#include "harmony.h"

#include <vector>

namespace mavrel::accompaniment {

enum class VoicingKind {
    Rootless,          // jazz: third and seventh with the ninth and thirteenth
    Shell,             // jazz: root, third and seventh
    Close,             // root, third, fifth (and seventh, ninth) in close position
    Upper,             // three notes high up: third, seventh, ninth
};

struct Register {
    int low;                      // the lowest note a voicing may use
    int high;                     // the highest
    int centre;                   // where voicings stay around
};

class Voicer {
public:
    Voicer(VoicingKind kind, Register range) : m_kind(kind), m_range(range) {}

    // The notes (MIDI pitches, low to high) for the chord, led from the
    // previous voicing.
    const std::vector<int>& next(const Harmony& harmony);

private:
    VoicingKind m_kind;
    Register m_range;
    std::vector<int> m_last;
    std::vector<int> m_candidate;
    std::vector<int> m_best;
};

// The intervals above the root that a voicing of this kind plays.
std::vector<int> voicingIntervals(const Harmony& harmony, VoicingKind kind);

} // namespace mavrel::accompaniment
