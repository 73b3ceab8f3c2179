// Chords for the piano (or guitar): which of a chord's notes are played, and
// where, so that each voicing moves as little as it can from the last one.
#pragma once

#include "harmony.h"

#include <array>
#include <cstdint>
#include <unordered_map>

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

// Up to four notes: intervals above a root, or MIDI pitches low to high.
struct Voicing {
    int count = 0;
    std::array<int, 4> notes{};

    const int* begin() const { return notes.data(); }
    const int* end() const { return notes.data() + count; }
    int operator[](int i) const { return notes[static_cast<std::size_t>(i)]; }
};

// The intervals above the root that a voicing of this kind plays.
Voicing voicingIntervals(const Harmony& harmony, VoicingKind kind);

class Voicer {
public:
    Voicer(VoicingKind kind, Register range) : m_kind(kind), m_range(range) {}

    // The pitches for the chord, led from the previous voicing.
    const Voicing& next(const Harmony& harmony);

private:
    VoicingKind m_kind;
    Register m_range;
    Voicing m_last;
    std::unordered_map<std::uint64_t, Voicing> m_known;
};

} // namespace mavrel::accompaniment
