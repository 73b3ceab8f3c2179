#include "voicing.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

namespace mavrel::accompaniment {

namespace {

bool has(const Harmony& h, int interval) { return (h.tensions >> interval & 1) != 0; }

// The first of these intervals that the chord's tensions hold, or -1.
int firstTension(const Harmony& h, std::initializer_list<int> intervals)
{
    for (const int i : intervals)
        if (has(h, i))
            return i;
    return -1;
}

void addInterval(Voicing& v, int interval, int most)
{
    if (interval < 0 || v.count >= most)
        return;
    for (const int i : v)
        if (i % 12 == interval % 12)
            return;
    v.notes[static_cast<std::size_t>(v.count++)] = interval;
}

// How far one voicing is from another: the steps each voice takes, the
// voices paired low to high; between voicings of different sizes, each note
// to the nearest of the other.
int distance(const Voicing& a, const Voicing& b)
{
    int d = 0;
    if (a.count == b.count) {
        for (int i = 0; i < a.count; ++i)
            d += std::abs(a[i] - b[i]);
        return d;
    }
    auto nearest = [](int p, const Voicing& to) {
        int best = 127;
        for (const int q : to)
            best = std::min(best, std::abs(p - q));
        return best;
    };
    for (const int p : a)
        d += nearest(p, b);
    for (const int q : b)
        d += nearest(q, a);
    return d / 2;
}

} // namespace

Voicing voicingIntervals(const Harmony& h, VoicingKind kind)
{
    Voicing v;
    const int ninth = firstTension(h, {2, 1, 3});
    const int thirteenth = h.seventh == 9 ? -1 : firstTension(h, {9, 8});
    // A natural eleventh over a major third is the note to avoid.
    const int eleventh = h.third == 4 ? firstTension(h, {6}) : firstTension(h, {6, 5});
    switch (kind) {
    case VoicingKind::Rootless:
        if (h.seventh >= 0) {
            const int colour = thirteenth >= 0 ? thirteenth : eleventh;
            for (const int i : {h.third, h.seventh, ninth, colour, h.fifth, 0, eleventh})
                addInterval(v, i, 4);
            break;
        }
        [[fallthrough]];
    case VoicingKind::Close:
        addInterval(v, 0, 4);
        addInterval(v, h.third, 4);
        if (h.seventh >= 0 && ninth >= 0 && h.fifth == 7) {
            // Four notes hold the colour better than the plain fifth.
            addInterval(v, h.seventh, 4);
            addInterval(v, ninth, 4);
        }
        for (const int i : {h.fifth, h.seventh, ninth, thirteenth, eleventh})
            addInterval(v, i, 4);
        break;
    case VoicingKind::Shell:
        for (const int i : {0, h.third, h.seventh >= 0 ? h.seventh : h.fifth, h.fifth})
            addInterval(v, i, 3);
        break;
    case VoicingKind::Upper:
        if (h.seventh >= 0)
            for (const int i : {h.third, h.seventh, ninth >= 0 ? ninth : h.fifth})
                addInterval(v, i, 3);
        for (const int i : {0, h.third, h.fifth, h.seventh})
            addInterval(v, i, 3);
        break;
    }
    if (v.count == 0)
        addInterval(v, 0, 1);
    return v;
}

const Voicing& Voicer::next(const Harmony& harmony)
{
    // The same chord after the same voicing is voiced the same: songs come
    // back to their progressions, and each choice weighs many candidates.
    // The key holds both whole: 28 bits of the chord, 31 of the voicing.
    std::uint64_t key = static_cast<std::uint64_t>(harmony.root & 15)
        | static_cast<std::uint64_t>((harmony.third + 1) & 15) << 4
        | static_cast<std::uint64_t>((harmony.fifth + 1) & 15) << 8
        | static_cast<std::uint64_t>((harmony.seventh + 1) & 15) << 12
        | static_cast<std::uint64_t>(harmony.tensions & 0xFFF) << 16 | static_cast<std::uint64_t>(m_last.count) << 28;
    for (int k = 0; k < m_last.count; ++k)
        key |= static_cast<std::uint64_t>(m_last[k] & 127) << (31 + 7 * k);
    if (const auto found = m_known.find(key); found != m_known.end()) {
        m_last = found->second;
        return m_last;
    }
    Voicing intervals = voicingIntervals(harmony, m_kind);
    std::sort(intervals.notes.begin(), intervals.notes.begin() + intervals.count);
    const int n = intervals.count;
    int bestCost = -1;
    Voicing best;
    // Every inversion in close position at every height the register
    // allows, and for four notes its "drop 2" (the second voice from the
    // top an octave down) as well.
    for (int r = 0; r < n; ++r) {
        const int bottomClass = (harmony.root + intervals[r]) % 12;
        for (int bottom = m_range.low + ((bottomClass - m_range.low) % 12 + 12) % 12; bottom <= m_range.high;
             bottom += 12) {
            for (int drop = 0; drop < (n == 4 ? 2 : 1); ++drop) {
                Voicing candidate;
                candidate.count = n;
                int pitch = bottom;
                candidate.notes[0] = pitch;
                for (int k = 1; k < n; ++k) {
                    const int pc = (harmony.root + intervals[(r + k) % n]) % 12;
                    pitch += ((pc - pitch) % 12 + 12) % 12;
                    candidate.notes[static_cast<std::size_t>(k)] = pitch;
                }
                if (drop) {
                    // Close position spans less than an octave: the dropped
                    // voice goes to the bottom.
                    const std::array<int, 4> close = candidate.notes;
                    candidate.notes = {close[2] - 12, close[0], close[1], close[3]};
                }
                if (candidate[0] < m_range.low || candidate[n - 1] > m_range.high)
                    continue;
                int sum = 0;
                for (const int p : candidate)
                    sum += p;
                const int drift = std::abs(sum / n - m_range.centre);
                int cost = m_last.count == 0 ? 2 * drift : 2 * distance(candidate, m_last) + std::max(0, drift - 5);
                // Seconds low down sound muddy.
                if (n >= 2 && candidate[1] - candidate[0] <= 2 && candidate[0] < 52)
                    cost += 6;
                if (bestCost < 0 || cost < bestCost) {
                    bestCost = cost;
                    best = candidate;
                }
            }
        }
    }
    if (best.count == 0) {
        // A register narrower than the chord: its notes as near the centre
        // as they go.
        const int from = m_range.centre - 6;
        best.count = n;
        for (int k = 0; k < n; ++k)
            best.notes[static_cast<std::size_t>(k)] = from + ((harmony.root + intervals[k] - from) % 12 + 12) % 12;
        std::sort(best.notes.begin(), best.notes.begin() + n);
    }
    m_known.emplace(key, best);
    m_last = best;
    return m_last;
}

} // namespace mavrel::accompaniment
