// A chord as the band hears it: the notes a chord symbol asks for, as
// intervals above its root, and the tensions it allows.
#pragma once

#include <cstdint>
#include <string_view>

namespace mavrel::accompaniment {

struct Harmony {
    int root = 0;                 // pitch class, 0 C .. 11 B
    int bass = 0;                 // the pitch class under it: the root, or the slash bass
    bool slash = false;           // the bass is a slash bass ("7/G"), whatever the root
    int third = 4;                // 3 or 4; 2 or 5 when suspended; -1 for none ("5")
    int fifth = 7;                // 6, 7 or 8; -1 for none (an altered dominant)
    int seventh = -1;             // 10 or 11; 9 for a sixth or a diminished seventh; -1 for none
    std::uint16_t tensions = 0;   // bit k: the interval k (0..11) above the root colours the chord
    bool understood = true;       // false: only its triad is played

    // Bits, by interval above the root, of the root, third, fifth and seventh.
    std::uint16_t tones() const
    {
        std::uint16_t bits = 1;
        for (const int i : {third, fifth, seventh})
            if (i >= 0)
                bits = static_cast<std::uint16_t>(bits | 1u << i);
        return bits;
    }
    // Whether a MIDI pitch is one of the chord's tones or tensions.
    bool allows(int pitch) const
    {
        const int interval = ((pitch - root) % 12 + 12) % 12;
        return ((tones() | tensions) >> interval & 1) != 0;
    }
};

// The chord of a root (1..12, C..B) and a quality as a chart stores it
// (Windows-1252): "m7b5", "13#11", "7(b9)", "7alt", "69", "sus2", "7/G"...
// A quality that cannot be read whole is its triad as far as it was read
// ("m7xyz" is a minor triad), with `understood` false.
Harmony readHarmony(int root, std::string_view quality);

} // namespace mavrel::accompaniment
