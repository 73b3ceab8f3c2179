// The small variations a band makes, the same for the same seed on every
// machine: a generator of its own (SplitMix64) with its own mapping to
// ranges, since the standard distributions differ from one library to the
// next.
#pragma once

#include <cstdint>

namespace mavrel::accompaniment {

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n - 1; 0 when n < 1. The bias of a 64-bit modulo is far below
    // anything a listener could hear.
    int below(int n) { return n < 1 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // -spread .. spread
    int around(int spread) { return below(2 * spread + 1) - spread; }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

} // namespace mavrel::accompaniment
