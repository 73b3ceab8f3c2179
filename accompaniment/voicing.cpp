#include "voicing.h"

#include <algorithm>
#include <cstdlib>

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

void addInterval(std::vector<int>& set, int interval, std::size_t most)
{
    if (interval < 0 || set.size() >= most)
        return;
    for (const int i : set)
        if (i % 12 == interval % 12)
            return;
    set.push_back(interval);
}

// How far one voicing is from another: the steps each voice takes, the
// voices paired low to high; between voicings of different sizes, each note
// to the nearest of the other.
int distance(const std::vector<int>& a, const std::vector<int>& b)
{
    int d = 0;
    if (a.size() == b.size()) {
        for (std::size_t i = 0; i < a.size(); ++i)
            d += std::abs(a[i] - b[i]);
        return d;
    }
    auto nearest = [](int p, const std::vector<int>& to) {
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

std::vector<int> voicingIntervals(const Harmony& h, VoicingKind kind)
{
    std::vector<int> set;
    const int ninth = firstTension(h, {2, 1, 3});
    const int thirteenth = h.seventh == 9 ? -1 : firstTension(h, {9, 8});
    // A natural eleventh over a major third is the note to avoid.
    const int eleventh = h.third == 4 ? firstTension(h, {6}) : firstTension(h, {6, 5});
    switch (kind) {
    case VoicingKind::Rootless:
        if (h.seventh >= 0) {
            addInterval(set, h.third, 4);
            addInterval(set, h.seventh, 4);
            addInterval(set, ninth, 4);
            addInterval(set, thirteenth >= 0 ? thirteenth : eleventh, 4);
            addInterval(set, h.fifth, 4);
            addInterval(set, 0, 4);
            addInterval(set, eleventh, 4);
            break;
        }
        [[fallthrough]];
    case VoicingKind::Close:
        addInterval(set, 0, 4);
        addInterval(set, h.third, 4);
        if (h.seventh >= 0 && ninth >= 0 && h.fifth == 7) {
            // Four notes hold the colour better than the plain fifth.
            addInterval(set, h.seventh, 4);
            addInterval(set, ninth, 4);
        }
        addInterval(set, h.fifth, 4);
        addInterval(set, h.seventh, 4);
        addInterval(set, ninth, 4);
        addInterval(set, thirteenth, 4);
        addInterval(set, eleventh, 4);
        break;
    case VoicingKind::Shell:
        addInterval(set, 0, 3);
        addInterval(set, h.third, 3);
        addInterval(set, h.seventh >= 0 ? h.seventh : h.fifth, 3);
        addInterval(set, h.fifth, 3);
        break;
    case VoicingKind::Upper:
        if (h.seventh >= 0) {
            addInterval(set, h.third, 3);
            addInterval(set, h.seventh, 3);
            addInterval(set, ninth >= 0 ? ninth : h.fifth, 3);
        }
        addInterval(set, 0, 3);
        addInterval(set, h.third, 3);
        addInterval(set, h.fifth, 3);
        addInterval(set, h.seventh, 3);
        break;
    }
    if (set.empty())
        set.push_back(0);
    return set;
}

const std::vector<int>& Voicer::next(const Harmony& harmony)
{
    std::vector<int> intervals = voicingIntervals(harmony, m_kind);
    std::sort(intervals.begin(), intervals.end());
    const std::size_t n = intervals.size();
    int bestCost = -1;
    m_best.clear();
    // Every inversion in close position at every height the register
    // allows, and for four notes its "drop 2" (the second voice from the
    // top an octave down) as well.
    for (std::size_t r = 0; r < n; ++r) {
        const int bottomClass = (harmony.root + intervals[r]) % 12;
        for (int bottom = m_range.low + ((bottomClass - m_range.low) % 12 + 12) % 12; bottom <= m_range.high;
             bottom += 12) {
            for (int drop = 0; drop < (n == 4 ? 2 : 1); ++drop) {
                m_candidate.clear();
                int pitch = bottom;
                m_candidate.push_back(pitch);
                for (std::size_t k = 1; k < n; ++k) {
                    const int pc = (harmony.root + intervals[(r + k) % n]) % 12;
                    pitch += ((pc - pitch) % 12 + 12) % 12;
                    if (pitch == m_candidate.back())
                        pitch += 12;
                    m_candidate.push_back(pitch);
                }
                if (drop) {
                    m_candidate[n - 2] -= 12;
                    std::sort(m_candidate.begin(), m_candidate.end());
                }
                if (m_candidate.front() < m_range.low || m_candidate.back() > m_range.high)
                    continue;
                int sum = 0;
                for (const int p : m_candidate)
                    sum += p;
                const int drift = std::abs(sum / static_cast<int>(n) - m_range.centre);
                int cost = m_last.empty() ? 2 * drift : 2 * distance(m_candidate, m_last) + std::max(0, drift - 5);
                // Seconds low down sound muddy.
                if (n >= 2 && m_candidate[1] - m_candidate[0] <= 2 && m_candidate[0] < 52)
                    cost += 6;
                if (bestCost < 0 || cost < bestCost) {
                    bestCost = cost;
                    m_best = m_candidate;
                }
            }
        }
    }
    if (m_best.empty()) {
        // A register narrower than the chord: its notes as near the centre
        // as they go.
        for (const int i : intervals)
            m_best.push_back(m_range.centre - 6 + ((harmony.root + i - (m_range.centre - 6)) % 12 + 12) % 12);
        std::sort(m_best.begin(), m_best.end());
    }
    m_last = m_best;
    return m_last;
}

} // namespace mavrel::accompaniment
