#include "harmony.h"

#include "document/leadsheet.h"

namespace mavrel::accompaniment {

namespace {

int pitchClass(const leadsheet::Spelling& s)
{
    static constexpr int Naturals[7] = {9, 11, 0, 2, 4, 5, 7};   // A..G
    const int natural = s.step >= 'A' && s.step <= 'G' ? Naturals[s.step - 'A'] : 0;
    return (natural + s.alter + 12) % 12;
}

// The interval of a degree named in a quality ("b9", "#11", "add13"), or -1
// for one that colours nothing (a fifth is read apart).
int degreeInterval(int value, int alter)
{
    int natural;
    switch (value) {
    case 2: case 9: natural = 2; break;
    case 4: case 11: natural = 5; break;
    case 6: case 13: natural = 9; break;
    default: return -1;
    }
    return (natural + alter + 12) % 12;
}

} // namespace

Harmony readHarmony(int root, std::string_view quality)
{
    const leadsheet::Quality q = leadsheet::readQuality(quality);
    Harmony h;
    h.root = ((root - 1) % 12 + 12) % 12;
    h.slash = !q.bass.empty();
    h.bass = h.slash ? pitchClass(leadsheet::spell(q.bass)) : h.root;

    if (q.suspended == 2 || q.extension == 2)
        h.third = 2;
    else if (q.suspended == 4 || q.extension == 4)
        h.third = 5;
    else if (q.extension == 5)
        h.third = -1;
    else if (q.minor || q.diminished || q.halfDiminished)
        h.third = 3;
    h.fifth = q.diminished || q.halfDiminished ? 6 : q.augmented ? 8 : 7;
    for (const leadsheet::Quality::Degree& d : q.alterations)
        if (d.value == 5 && d.alter != 0)
            h.fifth = 7 + d.alter;
    if (!q.understood) {
        h.understood = false;
        return h;
    }

    if (q.halfDiminished)
        h.seventh = 10;
    else if (q.diminished && q.extension >= 7 && !q.majorSeventh)
        h.seventh = 9;
    else if (q.majorSeventh)
        h.seventh = 11;
    else if (q.extension == 6)
        h.seventh = 9;
    else if (q.extension >= 7 || q.altered)
        h.seventh = 10;

    std::uint16_t named = 0;   // the degrees the text spells out
    for (const auto* degrees : {&q.alterations, &q.additions})
        for (const leadsheet::Quality::Degree& d : *degrees)
            if (const int i = degreeInterval(d.value, d.alter); i >= 0)
                named = static_cast<std::uint16_t>(named | 1u << i);
    std::uint16_t implied = 0;   // what the extension brings with it
    if (q.extension >= 9 || q.sixNine)
        implied |= 1u << 2;
    if (q.extension == 11 || (q.extension == 13 && q.minor))
        implied |= 1u << 5;
    if (q.extension == 13)
        implied |= 1u << 9;
    if (q.altered) {
        // Both ninths, the sharp eleventh and the flat thirteenth stand for
        // the fifth.
        named |= 1u << 1 | 1u << 3 | 1u << 6 | 1u << 8;
        h.fifth = -1;
    }
    // An altered ninth replaces the natural one ("13b9"), a sharp eleventh
    // the natural one, a flat thirteenth the natural one.
    if (named & (1u << 1 | 1u << 3))
        implied &= ~(1u << 2);
    if (named & 1u << 6)
        implied &= ~(1u << 5);
    if (named & 1u << 8)
        implied &= ~(1u << 9);
    h.tensions = static_cast<std::uint16_t>(named | implied);
    return h;
}

} // namespace mavrel::accompaniment
