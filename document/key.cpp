#include "key.h"

#include "leadsheet.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace mavrel {

namespace {

// What a chord does in a key, as far as its quality tells.
enum Kind { Major, Dominant, Minor, HalfDiminished, Diminished, KindCount };

struct Reading {
    Kind kind = Major;
    bool tonicMinor = false;   // m6, mM7, m69: a minor chord that sounds like home
};

Reading readKind(std::string_view quality)
{
    const leadsheet::Quality q = leadsheet::readQuality(quality);
    const bool flatFive = std::any_of(q.alterations.begin(), q.alterations.end(),
                                      [](leadsheet::Quality::Degree d) { return d.value == 5 && d.alter < 0; });
    if (q.diminished)
        return {Diminished};
    if (q.halfDiminished || (q.minor && flatFive && q.extension >= 7))
        return {HalfDiminished};
    if (q.minor && flatFive)
        return {Diminished};
    if (q.minor)
        return {Minor, q.majorSeventh || q.extension == 6 || q.sixNine};
    if (q.majorSeventh)
        return {Major};
    // "7", "9", "13", "7sus4", "alt", and the augmented triad, which leads on
    // like a dominant.
    if (q.extension >= 7 || q.altered || q.augmented)
        return {Dominant};
    return {Major};
}

// How well a chord of each kind fits a key, by its root's distance above the
// tonic in semitones: the diatonic chords first, then the borrowed and the
// secondary ones. A dominant's work shows in its cadences; here it only
// counts for being in the key.
using Row = std::array<double, 12>;
//                                 0    b2   2    b3   3    4    #4   5    b6   6    b7   7
constexpr Row MajorKey[KindCount] = {
    Row{1.0, 0.1, 0.1, 0.1, 0.0, 0.7, 0.0, 0.7, 0.2, 0.1, 0.1, 0.0},   // I IV V, bVI
    Row{0.4, 0.3, 0.4, 0.2, 0.4, 0.4, 0.1, 1.0, 0.3, 0.4, 0.4, 0.2},   // V7, secondary, subV, backdoor
    Row{0.1, 0.0, 0.8, 0.1, 0.5, 0.3, 0.1, 0.2, 0.0, 0.7, 0.1, 0.1},   // ii iii vi, iv
    Row{0.0, 0.1, 0.3, 0.0, 0.3, 0.0, 0.4, 0.1, 0.0, 0.2, 0.0, 0.6},   // viiø, #ivø
    Row{0.2, 0.3, 0.1, 0.2, 0.1, 0.1, 0.3, 0.1, 0.2, 0.1, 0.1, 0.4},   // passing diminished
};
constexpr Row MinorKey[KindCount] = {
    Row{0.1, 0.3, 0.0, 0.6, 0.0, 0.2, 0.0, 0.3, 0.6, 0.0, 0.4, 0.0},   // bIII bVI bVII, bII
    Row{0.3, 0.3, 0.3, 0.2, 0.0, 0.3, 0.1, 1.0, 0.4, 0.1, 0.4, 0.2},   // V7, bVI7, bVII7
    Row{1.0, 0.0, 0.2, 0.1, 0.0, 0.7, 0.0, 0.3, 0.0, 0.1, 0.1, 0.0},   // i iv v
    Row{0.0, 0.0, 0.8, 0.0, 0.0, 0.1, 0.1, 0.1, 0.0, 0.4, 0.0, 0.3},   // iiø, viø
    Row{0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.2, 0.1, 0.1, 0.1, 0.1, 0.5},   // vii°7
};

// What the other signs weigh, in bars of a chord that fits its key fully.
constexpr double CadenceWeight = 1.0;     // a dominant landing on a chord at rest
constexpr double TwoFiveWeight = 0.5;     // ... and the ii before it
constexpr double BackdoorWeight = 0.5;    // bVII7 to I
constexpr double EndingWeight = 1.0;      // the chord the chart comes to rest on
constexpr double CadenceEndingWeight = 2.0;   // ... reached by a cadence
constexpr double OpeningWeight = 1.0;     // the first chord, never alone

// A chord as long as it lasts; repeated chords make one.
struct Event {
    int pitch;         // 0..11 above C
    Reading reading;
    double length;     // in bars
};

// The beats of each slot a division shows, in quarters of the bar.
struct Division {
    int slots;
    int quarters[4];
};
constexpr Division Divisions[5] = {
    {1, {4}}, {2, {2, 2}}, {4, {1, 1, 1, 1}}, {3, {1, 1, 2}}, {3, {2, 1, 1}},
};

bool pitched(const Chord& c) { return c.root >= 1 && c.root <= 12; }
// "%", and a root no chart should hold, which draws like it.
bool repeatSign(const Chord& c) { return !pitched(c) && !isNoChord(c); }

int interval(int from, int to) { return (to - from + 12) % 12; }

// How a dominant moves to the next chord: down a fifth, down a semitone (its
// tritone substitute), or up a whole tone (the backdoor bVII7); 0 otherwise.
double resolution(const Event& from, const Event& to)
{
    if (from.reading.kind != Dominant)
        return 0;
    switch (interval(from.pitch, to.pitch)) {
    case 5:
    case 11: return 1;
    case 2: return BackdoorWeight;
    default: return 0;
    }
}

// The chords of the shown bars in reading order, with what is known of their
// spelling on the way.
class ChordReader {
public:
    std::vector<Event> events;
    int flats[12] = {};
    int sharps[12] = {};

    void read(const Chart& chart)
    {
        const int count = std::clamp(chart.info.count, 0, MaxBars);
        // The untouched bars of a grid larger than the song hold "%" and
        // repeat nothing anybody wrote: the song ends with its last written
        // bar.
        int last = 0;
        for (int i = 1; i <= count; ++i)
            if (const Bar& b = chart.bar(i); b.shown && b.division >= 1 && b.division <= 5)
                for (int s = 0; s < Divisions[b.division - 1].slots; ++s)
                    if (!repeatSign(b.chords[s]))
                        last = i;
        events.reserve(static_cast<std::size_t>(last) * 2);
        for (int i = 1; i <= last; ++i)
            readBar(chart.bar(i));
    }

private:
    struct Slot {
        bool sounds;   // false for N.C.
        int pitch;
        Reading reading;
        double length;
    };
    Slot m_previous[4]{};
    int m_previousCount = 0;
    std::vector<std::pair<std::string_view, Reading>> m_readings;

    Reading reading(const Chord& c)
    {
        const std::string_view quality = c.quality.view();
        for (const auto& [text, r] : m_readings)
            if (text == quality)
                return r;
        m_readings.emplace_back(quality, readKind(quality));
        return m_readings.back().second;
    }

    void readBar(const Bar& bar)
    {
        if (!bar.shown || bar.division < 1 || bar.division > 5) {
            m_previousCount = 0;   // silence: a "%" after it repeats nothing
            return;
        }
        const Division& d = Divisions[bar.division - 1];
        if (d.slots == 1 && repeatSign(bar.chords[0])) {
            for (int k = 0; k < m_previousCount; ++k)
                add(m_previous[k]);
            return;
        }
        Slot slots[4];
        int n = 0;
        for (int s = 0; s < d.slots; ++s) {
            const Chord& c = bar.chords[s];
            const double length = d.quarters[s] / 4.0;
            if (pitched(c)) {
                slots[n++] = {true, c.root - 1, reading(c), length};
                (c.flat ? flats : sharps)[c.root - 1]++;
            } else if (isNoChord(c)) {
                slots[n++] = {false, 0, {}, length};
            } else if (n > 0 || m_previousCount > 0) {
                // "%" in a slot: the chord before it goes on.
                slots[n] = n > 0 ? slots[n - 1] : m_previous[m_previousCount - 1];
                slots[n++].length = length;
            }
        }
        for (int k = 0; k < n; ++k)
            add(slots[k]);
        std::copy(slots, slots + n, m_previous);
        m_previousCount = n;
    }

    void add(const Slot& s)
    {
        if (!s.sounds)
            return;
        if (!events.empty()) {
            Event& back = events.back();
            if (back.pitch == s.pitch && back.reading.kind == s.reading.kind
                && back.reading.tonicMinor == s.reading.tonicMinor) {
                back.length += s.length;
                return;
            }
        }
        events.push_back({s.pitch, s.reading, s.length});
    }
};

// Keys by mode and tonic: [0] major, [1] minor; tonic 0..11 above C.
using Scores = std::array<std::array<double, 12>, 2>;

// The key a chord at rest stands for: its root, major or minor by its kind.
// A dominant seventh at rest is the blues' tonic.
bool restingKey(const Event& e, int& mode)
{
    switch (e.reading.kind) {
    case Major:
    case Dominant: mode = 0; return true;
    case Minor: mode = 1; return true;
    default: return false;
    }
}

void addFit(const std::vector<Event>& events, Scores& scores)
{
    // Where dominant sevenths fill most of the time (a blues), they are a
    // colour, not a function: they fit as the chords they stand on do.
    double total = 0, dominant = 0;
    for (const Event& e : events) {
        total += e.length;
        if (e.reading.kind == Dominant)
            dominant += e.length;
    }
    const bool blues = dominant > total / 2;

    // The time each kind of chord spends on each root, then every key at once.
    double time[KindCount + 1][12] = {};   // the last row: minor chords of a tonic's colour
    for (const Event& e : events) {
        const int row = e.reading.tonicMinor ? KindCount : blues && e.reading.kind == Dominant ? Major
                                                                                                : e.reading.kind;
        time[row][e.pitch] += e.length;
    }
    for (int tonic = 0; tonic < 12; ++tonic) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const int r = interval(tonic, pitch);
            for (int kind = 0; kind < KindCount; ++kind) {
                scores[0][tonic] += time[kind][pitch] * MajorKey[kind][r];
                scores[1][tonic] += time[kind][pitch] * MinorKey[kind][r];
            }
            // m6 or mM7 is rarely the ii, iii or vi of a major key.
            scores[0][tonic] += time[KindCount][pitch] * MajorKey[Minor][r] * (r == 0 ? 1.0 : 0.5);
            scores[1][tonic] += time[KindCount][pitch] * MinorKey[Minor][r];
        }
    }
}

void addCadences(const std::vector<Event>& events, Scores& scores)
{
    // The chart is played round: its last chord leads back to its first.
    const std::size_t n = events.size();
    if (n < 2)
        return;
    for (std::size_t i = 0; i < n; ++i) {
        const Event& v = events[i];
        const Event& target = events[(i + 1) % n];
        const double strength = resolution(v, target);
        int mode = 0;
        if (strength == 0 || target.reading.kind == Dominant || !restingKey(target, mode))
            continue;
        const Event& before = events[(i + n - 1) % n];
        const bool twoFive = n > 2 && (before.reading.kind == Minor || before.reading.kind == HalfDiminished)
            && interval(before.pitch, v.pitch) == 5;
        scores[mode][target.pitch] += strength * (CadenceWeight + (twoFive ? TwoFiveWeight : 0));
    }
}

// The chord the chart comes to rest on: its last, or, when it ends on a
// turnaround that leads back to the top, the chord before the turnaround.
// And, for less, the chord it opens with.
void addEnds(const std::vector<Event>& events, Scores& scores)
{
    const std::size_t n = events.size();
    auto moving = [&](std::size_t i) {
        const Event& e = events[i];
        const Event& next = events[(i + 1) % n];
        switch (e.reading.kind) {
        case Dominant: return resolution(e, next) > 0;
        case Minor:
        case HalfDiminished: return next.reading.kind == Dominant && interval(e.pitch, next.pitch) == 5;
        case Diminished: return true;
        default: return false;
        }
    };
    // A turnaround is a few chords at most.
    std::size_t last = n - 1;
    for (int k = 0; n > 1 && k < 4 && last > 0 && moving(last); ++k)
        --last;
    int mode = 0;
    if ((n == 1 || !moving(last)) && restingKey(events[last], mode)) {
        const bool cadence = n > 1 && resolution(events[(last + n - 1) % n], events[last]) > 0;
        scores[mode][events[last].pitch] += cadence ? CadenceEndingWeight : EndingWeight;
    }
    if (restingKey(events.front(), mode) && events.front().reading.kind != Dominant)
        scores[mode][events.front().pitch] += OpeningWeight;
}

bool isBlackKey(int tonic)
{
    return tonic == 2 || tonic == 4 || tonic == 7 || tonic == 9 || tonic == 11;
}

// How each key is usually written, tonic 1..12. C major goes with flats:
// the chords it borrows (Bb7, Ab, Eb, Db7) are written so.
constexpr bool UsualFlatMajor[13] = {false, true, true, false, true, false, true,
                                     true,  false, true, false, true, false};
constexpr bool UsualFlatMinor[13] = {false, true, false, true, true, false, true,
                                     false, true, false, false, true, false};
bool usuallyFlat(int tonic, bool minor) { return minor ? UsualFlatMinor[tonic] : UsualFlatMajor[tonic]; }

// C major and A minor have neither sharps nor flats to go by.
bool plainKey(int tonic, bool minor) { return minor ? tonic == 10 : tonic == 1; }

// Where the key's own flag says how it is spelled, not its signature.
bool freeSpelling(int tonic, bool minor) { return isBlackKey(tonic) || plainKey(tonic, minor); }

// Tonics written either way, seven accidentals at most on both sides: Db/C#,
// Gb/F#; Ebm/D#m, Abm/G#m, Bbm/A#m.
bool writtenEitherWay(int tonic, bool minor)
{
    return minor ? tonic == 4 || tonic == 9 || tonic == 11 : tonic == 2 || tonic == 7;
}

// ... and of those, the ones written as often one way as the other.
bool evenlyWritten(int tonic, bool minor) { return minor ? tonic == 4 : tonic == 7; }

} // namespace

Key detectKey(const Chart& chart)
{
    ChordReader reader;
    reader.read(chart);
    if (reader.events.empty())
        return {};
    Scores scores{};
    addFit(reader.events, scores);
    addCadences(reader.events, scores);
    addEnds(reader.events, scores);

    int mode = 0, tonic = 0;
    for (int m = 0; m < 2; ++m)
        for (int t = 0; t < 12; ++t)
            if (scores[m][t] > scores[mode][tonic])
                mode = m, tonic = t;

    Key key{static_cast<std::uint8_t>(tonic + 1), 0, static_cast<std::uint8_t>(mode)};
    const bool minor = mode == 1;
    bool flat = usuallyFlat(key.tonic, minor);
    int flats = 0, sharps = 0;
    if (plainKey(key.tonic, minor)) {
        for (int pitch = 0; pitch < 12; ++pitch)
            if (isBlackKey(pitch + 1)) {
                flats += reader.flats[pitch];
                sharps += reader.sharps[pitch];
            }
    } else if (writtenEitherWay(key.tonic, minor)) {
        flats = reader.flats[tonic];
        sharps = reader.sharps[tonic];
    }
    if (flats != sharps)
        flat = flats > sharps;
    key.flat = flat ? 1 : 0;
    return key;
}

Key songKey(const Chart& chart) { return chart.song.key.empty() ? detectKey(chart) : chart.song.key; }

Key transposeKey(Key key, int steps, Spelling spelling)
{
    if (key.empty())
        return key;
    const int shift = (steps % 12 + 12) % 12;
    const bool asWritten = spelling == Spelling::Keep || spelling == Spelling::Key;
    if (shift == 0 && asWritten)
        return key;
    const bool minor = key.minor != 0;
    Key moved{static_cast<std::uint8_t>((key.tonic - 1 + shift) % 12 + 1), 0, static_cast<std::uint8_t>(minor)};
    bool flat = usuallyFlat(moved.tonic, minor);
    if (!asWritten && freeSpelling(moved.tonic, minor))
        flat = spelling == Spelling::Flats;
    else if (asWritten && evenlyWritten(moved.tonic, minor))
        flat = spellsWithFlats(key);
    moved.flat = flat ? 1 : 0;
    return moved;
}

bool spellsWithFlats(Key key)
{
    if (key.empty())
        return false;
    const bool minor = key.minor != 0;
    return freeSpelling(key.tonic, minor) ? key.flat != 0 : usuallyFlat(key.tonic, minor);
}

} // namespace mavrel
