#include "arranger.h"

#include "form.h"
#include "harmony.h"
#include "random.h"
#include "style.h"
#include "voicing.h"

#include "document/editing.h"
#include "document/text.h"
#include "document/win1252.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mavrel::accompaniment {

namespace {

// However many choruses are asked for, no performance is longer.
constexpr int MaxPlayedBars = MaxPlaysPerBar * MaxBars;
constexpr int MaxCountInBars = 16;

// General MIDI drum keys, channel 10.
enum Drum : std::uint8_t {
    Kick = 36,
    SideStick = 37,
    Snare = 38,
    ClosedHat = 42,
    FloorTom = 43,
    PedalHat = 44,
    LowTom = 45,
    MidTom = 47,
    Crash = 49,
    HighTom = 50,
    Ride = 51,
    Cowbell = 56,
    MuteConga = 62,
    OpenConga = 63,
    Claves = 75,
    HighBlock = 76,   // the click; no style's drums use it
    LowBlock = 77,
};

constexpr int PianoChannel = 0;
constexpr int BassChannel = 1;
constexpr int DrumChannel = 9;

// What a style plays with.
struct Traits {
    int swing;                    // where the second eighth of a beat falls, in hundredths of the beat
    int bassProgram;              // General MIDI, 0-based
    int pianoProgram;
    const char* pianoName;
    VoicingKind voicing;
    Register range;
};

constexpr Traits StyleTraits[StyleCount] = {
    {67, 32, 0, "Piano", VoicingKind::Rootless, {50, 76, 62}},    // swing: acoustic bass
    {62, 32, 0, "Piano", VoicingKind::Rootless, {48, 79, 62}},    // ballad
    {50, 32, 24, "Guitar", VoicingKind::Rootless, {50, 74, 61}},  // bossa nova: nylon guitar
    {50, 33, 0, "Piano", VoicingKind::Close, {53, 79, 65}},       // latin: finger bass
    {50, 33, 0, "Piano", VoicingKind::Close, {52, 77, 64}},       // pop
    {50, 33, 4, "Piano", VoicingKind::Upper, {57, 82, 69}},       // funk: electric piano
    {67, 32, 0, "Piano", VoicingKind::Rootless, {50, 76, 62}},    // waltz
    {67, 33, 0, "Piano", VoicingKind::Shell, {48, 74, 59}},       // shuffle
};

// --- rhythms ----------------------------------------------------------------
//
// A rhythm is written in sixteenths, four to a beat: "X" starts a note that
// lasts through the "-" after it, "." is silence. In swung styles the third
// sixteenth of a beat is the swung "and", the others fall halfway between.

// The piano's (or guitar's) rhythms, by style: those of four beats, then
// three, two and one. A chord longer than four beats takes several.
struct Comping {
    std::array<std::string_view, 5> four, three, two, one;
};

constexpr Comping Compings[StyleCount] = {
    // swing: the Charleston, the two and four, pushes on the "and"s
    {{"X.....X-----....", "....X.......X...", "X-------..X-----", "......X-....X-..", "X-----......X..."},
     {"X.....X-----", "....X-..X-..", "X-------...."},
     {"X.....X.", "X-------", "..X...X-"},
     {"X-..", "X---"}},
    // ballad: held chords
    {{"X---------------", "X-------X-------", "X-----------X---"},
     {"X-----------", "X-------X---"},
     {"X-------"},
     {"X---"}},
    // bossa nova: the guitar's two bars, one after the other
    {{"X-....X-....X-..", "....X-....X-----"}, {"X-....X-....", "....X-....X-"}, {"X-....X-", "....X-.."}, {"X-.."}},
    // latin: a montuno's syncopations
    {{"X-..X-.X..X-.X..", "..X-..X-X-..X-..", "X-....X-..X-..X-"},
     {"X-..X-.X..X-", "..X-..X-X-.."},
     {"X-..X-.X", "..X-..X-"},
     {"X-.."}},
    // pop: quarters, the 3-3-2, long and short
    {{"X---X---X---X---", "X-----X-----X---", "X-------X---X---"},
     {"X---X---X---"},
     {"X---X---", "X-------"},
     {"X---"}},
    // funk: short stabs on the sixteenths
    {{"X..X..X...X.X...", "X.X...X.X.....X.", "..X.X...X..X..X."},
     {"X..X..X...X.", "..X.X...X..."},
     {"X..X..X.", "..X.X..."},
     {"X...", "..X."}},
    // waltz: the two and three
    {{"X-......X-..X---", "X-----X-----X---"},
     {"....X---X---", "X-....X-X---", "....X-....X-"},
     {"....X---", "X---X---"},
     {"X---"}},
    // shuffle
    {{"X-....X-X-....X-", "....X-......X-..", "..X-..X-..X-..X-"},
     {"X-....X-X-..", "....X-..X-.."},
     {"X-....X-", "....X-.."},
     {"X-.."}},
};

// One drum of a style's groove: the sixteenths of even beats (the first,
// third...) and of odd ones. "X" is accented, "x" plain, "g" a ghost note,
// "?" played now and then.
struct DrumPart {
    Drum drum;
    int velocity;
    std::string_view even, odd;
};

// One drum whose rhythm spans two bars (a clave): the sixteenths of the
// first bar and of the second, as a bar of four beats holds them.
struct DrumLine {
    Drum drum;
    int velocity;
    std::string_view first, second;
};

struct Groove {
    std::array<DrumPart, 5> parts;
    std::array<DrumLine, 4> lines;
    bool triplets;                // fills in triplets rather than sixteenths
};

constexpr Groove Grooves[StyleCount] = {
    // swing: the ride's "ding ding-a ding", the hi-hat on two and four, the
    // bass drum feathered
    {{{{Ride, 70, "x...", "X.x."}, {PedalHat, 60, "....", "x..."}, {Kick, 30, "x...", "x..."},
       {Snare, 45, "..?.", "..?."}}},
     {},
     true},
    // ballad: brushes
    {{{{Snare, 30, "x.g.", "x.g."}, {Ride, 45, "x...", "x..."}, {PedalHat, 45, "....", "x..."},
       {Kick, 40, "x...", "...."}}},
     {},
     true},
    // bossa nova: the hi-hat's eighths, the surdo's bass drum, the rim on the
    // bossa clave
    {{{{ClosedHat, 50, "x.X.", "x.X."}, {Kick, 70, "x...", "..x."}}},
     {{{SideStick, 75, "X.....X.....X...", "....X.....X....."}}},
     false},
    // latin: cowbell, son clave, the tumbao's bass drum and congas
    {{{{Cowbell, 70, "X...", "x..."}, {PedalHat, 55, "....", "x..."}}},
     {{{Claves, 80, "X.....X.....X...", "....X...X......."},
       {Kick, 75, "......x.....x...", "......x.....x..."},
       {OpenConga, 75, "............x.x.", "............x.x."},
       {MuteConga, 65, "....x...........", "....x..........."}}},
     false},
    // pop: eighths on the hi-hat, the backbeat
    {{{{ClosedHat, 65, "X.x.", "X.x."}, {Kick, 95, "x.?.", "...."}, {Snare, 100, "....", "x..."}}}, {}, false},
    // funk: sixteenths, a syncopated bass drum, ghost notes
    {{{{ClosedHat, 60, "Xgxg", "Xgxg"}, {Kick, 95, "x..?", "..x."}, {Snare, 105, "....", "x..."},
       {Snare, 30, ".?.?", "...?"}}},
     {},
     false},
    // waltz: the jazz waltz's ride
    {{{{Ride, 70, "x...", "x.x."}, {PedalHat, 55, "....", "x..."}, {Kick, 40, "x...", "...."}}}, {}, true},
    // shuffle
    {{{{ClosedHat, 70, "X.x.", "X.x."}, {Snare, 95, "....", "x..."}, {Kick, 85, "x...", "...."}}}, {}, true},
};

constexpr std::array<std::array<Drum, 4>, 3> Fills = {{
    {Snare, Snare, Snare, Snare},
    {HighTom, MidTom, LowTom, FloorTom},
    {Snare, Snare, MidTom, FloorTom},
}};

// --- bars and chords ----------------------------------------------------------

// A meter the MIDI file can write: a unit that is a power of two.
TimeSignature playable(TimeSignature t)
{
    if (t.unit < 1 || t.unit > 32 || (t.unit & (t.unit - 1)) != 0)
        t.unit = 4;
    if (t.beats < 1 || t.beats > 16)
        t.beats = 4;
    return t;
}

// A chord's place in a bar: the slot's chord, or silence.
struct Slot {
    int shape = -1;               // the quality's reading; -1: nothing is played
    int root = 0;                 // 1..12
    int weight = 4;               // quarters of the bar the place takes on the page
};

struct BarChords {
    int count = 1;
    std::array<Slot, 4> slots{};
    std::array<int, 4> start{};   // ticks from the bar's start
    std::array<int, 4> length{};
};

constexpr int SlotCounts[5] = {1, 2, 4, 3, 3};
constexpr int Weights[5][4] = {{4}, {2, 2}, {1, 1, 1, 1}, {1, 1, 2}, {2, 1, 1}};

// The chords of a bar share it as the page divides it.
void share(BarChords& c, const Pulse& pulse)
{
    std::array<int, 4> weights{};
    for (int i = 0; i < c.count; ++i)
        weights[i] = c.slots[i].weight;
    const std::vector<int> lengths = shareBar(std::span(weights).first(c.count), pulse);
    int at = 0;
    for (int i = 0; i < c.count; ++i) {
        c.start[i] = at;
        c.length[i] = lengths[i];
        at += lengths[i];
    }
}

bool isRepeatSign(const Chord& a) { return (a.root == 0 || a.root > 12) && !isNoChord(a); }

// By start, then pitch; of two notes struck together, the longer first.
constexpr auto earlier = [](const Note& a, const Note& b) {
    return std::tie(a.start, a.pitch, b.length, a.velocity) < std::tie(b.start, b.pitch, a.length, b.velocity);
};

// Sorted by start, one pitch never sounding twice at once (of two struck
// together, the longer stays), nothing past the end. Each bar's notes were
// sorted as they were made, and no bar's notes reach into the next one's
// start: a whole sort is rarely needed.
void finish(std::vector<Note>& notes, std::int64_t end)
{
    if (!std::is_sorted(notes.begin(), notes.end(), earlier))
        std::sort(notes.begin(), notes.end(), earlier);
    std::array<std::ptrdiff_t, 128> sounding;
    sounding.fill(-1);
    std::size_t kept = 0;
    for (const Note& note : notes) {
        if (note.start >= end)
            break;
        if (const std::ptrdiff_t previous = sounding[note.pitch]; previous >= 0) {
            Note& before = notes[static_cast<std::size_t>(previous)];
            if (before.start == note.start)
                continue;
            if (before.start + before.length > note.start)
                before.length = static_cast<std::int32_t>(note.start - before.start);
        }
        Note n = note;
        n.length = static_cast<std::int32_t>(std::min<std::int64_t>(n.length, end - n.start));
        sounding[n.pitch] = static_cast<std::ptrdiff_t>(kept);
        notes[kept++] = n;
    }
    notes.resize(kept);
}

// --- the band -------------------------------------------------------------------

class Band {
public:
    Band(const Chart& chart, const Options& options, Performance& performance);
    void play();

private:
    struct PlayedPlace {
        int position;             // among the song's bars
        std::int64_t start;
        Pulse pulse;
    };

    void readChords();
    int shapeOf(const Chord& chord);
    Harmony harmony(const Slot& slot) const;
    bool startsSection(std::size_t j) const;
    const Slot* nextSlot(std::size_t j, int s) const;

    std::int64_t at(std::int64_t pulseStart, const Pulse& pulse, int sixteenth) const;
    void add(std::vector<Note>& notes, std::int64_t start, std::int64_t length, int pitch, int velocity);
    int bassNear(int pitchClass, int reference) const;

    void bass(const Pulse& pulse, std::int64_t start, int length, const Harmony& h, const Slot* next, bool held);
    void piano(std::int64_t start, int length, const Pulse& pulse, const Harmony& h, bool held, std::size_t j);
    void drums(std::size_t j, bool fill, bool crash, std::int64_t stop);
    void click(std::int64_t start, const Pulse& pulse, std::int64_t end);

    const Chart& m_chart;
    const Options& m_options;
    Performance& m_performance;
    Traits m_traits;
    Random m_random;
    Voicer m_voicer;

    std::vector<Harmony> m_shapes;
    std::unordered_map<std::string_view, int> m_shapeOf;
    std::array<int, MaxBars + 1> m_position{};   // by chart bar: its place among the song's bars, or -1
    std::vector<BarChords> m_chords;              // by place among the song's bars
    std::vector<PlayedPlace> m_played;

    std::vector<Note> m_bass, m_piano, m_drums, m_click;
    int m_lastBass = 40;
};

Band::Band(const Chart& chart, const Options& options, Performance& performance)
    : m_chart(chart),
      m_options(options),
      m_performance(performance),
      m_traits(StyleTraits[static_cast<int>(performance.style)]),
      m_random(options.seed),
      m_voicer(m_traits.voicing, m_traits.range)
{
}

int Band::shapeOf(const Chord& chord)
{
    const std::string_view quality = chord.quality.view();
    if (const auto found = m_shapeOf.find(quality); found != m_shapeOf.end())
        return found->second;
    Harmony h = readHarmony(1, quality);
    if (!h.understood)
        m_performance.warnings.emplace_back(
            QT_TRANSLATE_NOOP("Message", "« %1 » : accord incompris, joué comme un accord parfait."),
            std::vector<std::string>{text::withoutControls(win1252::toUtf8(chordText(chord)))});
    m_shapes.push_back(h);
    m_shapeOf.emplace(quality, static_cast<int>(m_shapes.size() - 1));
    return static_cast<int>(m_shapes.size() - 1);
}

Harmony Band::harmony(const Slot& slot) const
{
    // A quality is read once, whatever its root: the root is set here, and
    // the bass with it unless the quality names one.
    Harmony h = m_shapes[static_cast<std::size_t>(slot.shape)];
    h.root = slot.root - 1;
    if (!h.slash)
        h.bass = h.root;
    return h;
}

// Every bar of the song once, "%" read as what it repeats on the page: the
// chord before it, or the whole bar before.
void Band::readChords()
{
    m_position.fill(-1);
    const int count = std::clamp(m_chart.info.count, 0, MaxBars);
    const BarChords silence;
    for (int i = 1; i <= count; ++i) {
        const Bar& b = m_chart.bar(i);
        if (!isPlayed(b))
            continue;
        const BarChords* before = m_chords.empty() ? nullptr : &m_chords.back();
        BarChords c;
        if (b.shown && b.division >= 1 && b.division <= 5) {
            const int d = b.division - 1;
            if (SlotCounts[d] == 1 && isRepeatSign(b.slot(1))) {
                c = before ? *before : silence;
            } else {
                c.count = SlotCounts[d];
                for (int s = 0; s < c.count; ++s) {
                    const Chord& a = b.chords[s];
                    Slot& slot = c.slots[s];
                    if (isRepeatSign(a))
                        slot = s > 0 ? c.slots[s - 1] : before ? before->slots[before->count - 1] : Slot{};
                    else if (!isNoChord(a))
                        slot = {shapeOf(a), a.root, 4};
                    else
                        slot = Slot{};
                    slot.weight = Weights[d][s];
                }
            }
        }
        m_position[i] = static_cast<int>(m_chords.size());
        m_chords.push_back(c);
    }
}

// A new part of the song begins: a section's name, a segno or a coda, a
// repeat sign or a double bar, or a jump of the form.
bool Band::startsSection(std::size_t j) const
{
    if (j == 0 || j >= m_played.size())
        return j == 0;
    const int bar = m_played[j].position, before = m_played[j - 1].position;
    if (bar != before + 1)
        return true;
    const int i = m_performance.bars[j].bar;
    const BarMarks& m = m_chart.song.bar(i);
    return m.section.size() > 0 || (m.flags & (SegnoFlag | CodaFlag)) || m_chart.bar(i).left != 0
        || m_chart.bar(m_performance.bars[j - 1].bar).right != 0;
}

// The chord that follows slot `s` of played bar `j`, or null at the end.
const Slot* Band::nextSlot(std::size_t j, int s) const
{
    const BarChords& c = m_chords[static_cast<std::size_t>(m_played[j].position)];
    if (s + 1 < c.count)
        return &c.slots[s + 1];
    if (j + 1 < m_played.size())
        return &m_chords[static_cast<std::size_t>(m_played[j + 1].position)].slots[0];
    return nullptr;
}

// The tick of a sixteenth counted from a beat's start.
std::int64_t Band::at(std::int64_t pulseStart, const Pulse& pulse, int sixteenth) const
{
    const int p = pulse.ticks;
    const int beat = sixteenth / 4, sub = sixteenth % 4;
    // A dotted quarter's "and" is its third eighth.
    const int swung = pulse.compound ? 2 * p / 3 : p * m_traits.swing / 100;
    const int offset = sub == 0 ? 0 : sub == 1 ? swung / 2 : sub == 2 ? swung : swung + (p - swung) / 2;
    return pulseStart + std::int64_t(beat) * p + offset;
}

void Band::add(std::vector<Note>& notes, std::int64_t start, std::int64_t length, int pitch, int velocity)
{
    if (length < 1 || pitch < 0 || pitch > 127)
        return;
    notes.push_back({std::max<std::int64_t>(start, 0), static_cast<std::int32_t>(length),
                     static_cast<std::uint8_t>(pitch), static_cast<std::uint8_t>(std::clamp(velocity, 1, 127))});
}

// The bass's pitch of a pitch class nearest the reference, in the bass's
// middle octaves.
int Band::bassNear(int pitchClass, int reference) const
{
    constexpr int Low = 31, High = 52;
    int best = -1;
    for (int p = Low + ((pitchClass - Low) % 12 + 12) % 12; p <= High; p += 12)
        if (best < 0 || std::abs(p - reference) < std::abs(best - reference))
            best = p;
    return best;
}

void Band::bass(const Pulse& pulse, std::int64_t start, int length, const Harmony& h, const Slot* next, bool held)
{
    const int P = pulse.ticks;
    const int beats = std::max(1, length / P);
    const std::int64_t end = start + length;
    const Style style = m_performance.style;
    int root = bassNear(h.bass, m_lastBass);
    // Funk jumps to the octave: it needs room above the root.
    if (style == Style::Funk && root + 12 > 55 && root - 12 >= 28)
        root -= 12;
    const int fifth = root + (h.fifth >= 0 ? h.fifth : 7) - (root + 7 > 50 ? 12 : 0);
    // Only the first note of a chord is exactly on its beat. Every note
    // stays in the bass's register, an octave lower or higher if need be.
    auto note = [&](std::int64_t t, std::int64_t len, int pitch, int velocity) {
        if (t >= end)
            return;
        while (pitch > 55)
            pitch -= 12;
        while (pitch < 28)
            pitch += 12;
        if (t != start)
            t = std::max(t + m_random.around(4), start + 1);
        add(m_bass, t, std::min(len, end - t - 8), pitch, velocity + m_random.around(6));
    };
    if (held || length < P) {
        note(start, length, root, 95);
        m_lastBass = root;
        return;
    }

    // The next chord's bass, and a note leading to it: a half step above or
    // below, a step, or its fifth.
    const bool changes = next && next->shape >= 0;
    const int target = changes ? bassNear(harmony(*next).bass, root) : root;
    int lead = fifth;
    if (changes) {
        const int r = m_random.below(10);
        lead = r < 5 ? target + (m_random.chance(50) ? 1 : -1)
            : r < 8  ? target + (target > root ? -2 : 2)
                     : target + (target - 5 >= 28 ? -5 : 7);
        if (lead == root)
            lead = target + 1;
        lead = std::clamp(lead, 28, 55);
    }

    int last = root;
    switch (style) {
    case Style::Swing:
    case Style::Waltz:
    case Style::Ballad: {
        // Walking quarters in swing; half notes in a ballad's two-feel and
        // in a waltz (the second on three): each a chord tone moving toward
        // the note that leads into the next chord.
        const int step = style == Style::Swing ? 1 : 2;
        const int notes = (beats + step - 1) / step;
        std::array<int, 16> line{root};
        for (int k = 1; k < notes; ++k) {
            if (k == notes - 1) {
                line[k] = lead;
                break;
            }
            const int from = line[k - 1];
            const int goal = from + (lead - from) / (notes - k);
            int best = -1;
            for (const int i : {0, h.third, h.fifth, h.seventh, 12}) {
                if (i < 0)
                    continue;
                for (const int p : {root + i - 12, root + i, root + i + 12}) {
                    if (p < 28 || p > 55 || p == from || p == lead)
                        continue;
                    const int d = std::abs(p - goal), bestD = std::abs(best - goal);
                    if (best < 0 || d < bestD || (d == bestD && m_random.chance(50)))
                        best = p;
                }
            }
            line[k] = best < 0 ? fifth : best;
        }
        for (int k = 0; k < notes; ++k) {
            const std::int64_t t = start + std::int64_t(k) * step * P;
            note(t, k == notes - 1 ? end - t : std::int64_t(step) * P - 12, line[k], k == 0 ? 95 : 82);
        }
        last = line[notes - 1];
        break;
    }
    case Style::BossaNova:
    case Style::Latin: {
        // Root and fifth each half bar: in bossa a dotted quarter and an
        // eighth, in latin a quarter and a pushed eighth.
        const bool bossa = style == Style::BossaNova;
        for (int half = 0; half * 2 < beats; ++half) {
            const std::int64_t t = start + std::int64_t(half) * 2 * P;
            const int down = half % 2 == 0 ? root : fifth;
            const int up = (half + 1) * 2 >= beats ? lead : half % 2 == 0 ? fifth : root;
            note(t, bossa ? 3 * P / 2 - 10 : P - 10, down, half == 0 ? 95 : 85);
            if (half * 2 + 1 < beats) {
                note(at(t, pulse, 6), P / 2 - 10, up, 75);
                last = up;
            }
        }
        break;
    }
    case Style::Pop: {
        // Eighths on the root; the last ones move on.
        const int eighths = std::max(1, 2 * beats);
        for (int e = 0; e < eighths; ++e) {
            int pitch = root;
            if (e == eighths - 1 && eighths >= 4 && m_random.chance(60))
                pitch = lead;
            else if (e == eighths - 2 && eighths >= 8 && m_random.chance(30))
                pitch = root + 12 <= 55 ? root + 12 : fifth;
            note(at(start, pulse, 2 * e), P / 2 - 20, pitch, e % 2 == 0 ? 92 : 78);
            last = pitch;
        }
        break;
    }
    case Style::Funk: {
        // Sixteenths: the root, its octave, the seventh, and a note into
        // the next chord.
        struct Step {
            int at;               // sixteenth
            int length;
            int interval;         // -1: the note that leads on
        };
        const int seventh = h.seventh >= 0 ? h.seventh : 7;
        const Step steps[] = {{0, 2, 0}, {3, 1, 0}, {6, 1, 12}, {8, 2, 0}, {10, 1, seventh}, {11, 1, 12}, {14, 1, -1}};
        for (int group = 0; group * 4 < beats; ++group) {
            for (const Step& s : steps) {
                const int sixteenth = group * 16 + s.at;
                if (sixteenth / 4 >= beats)
                    break;
                if (s.interval < 0 && (group + 1) * 4 < beats)
                    continue;
                const int pitch = s.interval < 0 ? lead : root + s.interval;
                note(at(start, pulse, sixteenth), s.length * P / 4 - 10, pitch, s.at == 0 ? 100 : 80);
                last = pitch;
            }
        }
        break;
    }
    case Style::Shuffle: {
        // The boogie line up the chord and down, each beat long and short.
        const int third = h.third >= 0 ? h.third : 4;
        const int line[] = {0, third, 7, 9, 10, 9, 7, third};
        for (int k = 0; k < beats; ++k) {
            const int pitch = k == beats - 1 && beats >= 3 ? lead : root + line[k % 8];
            const std::int64_t t = start + std::int64_t(k) * P;
            note(t, at(t, pulse, 2) - t - 10, pitch, k == 0 ? 95 : 85);
            note(at(t, pulse, 2), t + P - at(t, pulse, 2) - 10, pitch, 65);
            last = pitch;
        }
        break;
    }
    }
    m_lastBass = std::clamp(last, 31, 52);
}

void Band::piano(std::int64_t start, int length, const Pulse& pulse, const Harmony& h, bool held, std::size_t j)
{
    const Voicing& voicing = m_voicer.next(h);
    const std::int64_t end = start + length;
    auto strike = [&](std::int64_t t, std::int64_t stop, int velocity) {
        t = t == start ? t + m_random.below(9) : t + m_random.around(8);
        t = std::max(t, start);
        stop = std::min(stop, end - 6);
        const int v = velocity + m_random.around(6);
        for (const int pitch : voicing)
            add(m_piano, t, stop - t, pitch, v);
    };
    const int beats = length / pulse.ticks;
    if (held || beats < 1) {
        strike(start, end, 80);
        return;
    }
    const Comping& comping = Compings[static_cast<int>(m_performance.style)];
    const bool waltz = m_performance.style == Style::Waltz;
    int beat = 0;
    while (beat < beats) {
        int chunk = std::min(beats - beat, 4);
        if (waltz && chunk == 4 && beats - beat != 4)
            chunk = 3;
        const auto& choices = chunk == 4 ? comping.four
            : chunk == 3                 ? comping.three
            : chunk == 2                 ? comping.two
                                         : comping.one;
        int variants = 0;
        while (variants < static_cast<int>(choices.size()) && !choices[static_cast<std::size_t>(variants)].empty())
            ++variants;
        // The bossa guitar keeps its two-bar rhythm; the others vary.
        const bool twoBar = m_performance.style == Style::BossaNova;
        const std::string_view rhythm =
            choices[static_cast<std::size_t>(twoBar ? static_cast<int>(j % 2) % variants : m_random.below(variants))];
        const std::int64_t chunkStart = start + std::int64_t(beat) * pulse.ticks;
        for (std::size_t k = 0; k < rhythm.size(); ++k) {
            if (rhythm[k] != 'X')
                continue;
            std::size_t stop = k + 1;
            while (stop < rhythm.size() && rhythm[stop] == '-')
                ++stop;
            const std::int64_t t = at(chunkStart, pulse, static_cast<int>(k));
            const std::int64_t until = beat + chunk >= beats && stop == rhythm.size()
                ? end
                : at(chunkStart, pulse, static_cast<int>(stop));
            strike(t, until - 10, k % 4 == 0 ? 78 : 70);
        }
        beat += chunk;
    }
}

void Band::drums(std::size_t j, bool fill, bool crash, std::int64_t stop)
{
    const PlayedPlace& place = m_played[j];
    const Pulse& pulse = place.pulse;
    const int P = pulse.ticks;
    const std::int64_t barEnd = place.start + pulse.bar;
    const int length = std::max(1, P / 4);
    auto hit = [&](std::int64_t t, Drum drum, int velocity, bool steady = false) {
        if (!steady)
            t += m_random.around(4);
        add(m_drums, t, length, drum, velocity + m_random.around(6));
    };
    if (crash) {
        hit(place.start, Crash, 100, true);
        hit(place.start, Kick, 95, true);
    }
    const std::int64_t fillFrom = fill && pulse.count >= 2 ? place.start + std::int64_t(pulse.count - 1) * P : barEnd;
    const std::int64_t until = std::min(fillFrom, stop);
    const Groove& groove = Grooves[static_cast<int>(m_performance.style)];
    const std::array<std::int64_t, 4> offsets{0, at(0, pulse, 1), at(0, pulse, 2), at(0, pulse, 3)};
    auto play = [&](int sixteenth, char c, Drum drum, int velocity) {
        if (c == '.')
            return;
        const std::int64_t t =
            place.start + std::int64_t(sixteenth / 4) * P + offsets[static_cast<std::size_t>(sixteenth % 4)];
        if (t >= until || (c == '?' && !m_random.chance(25)))
            return;
        if (crash && t == place.start && (drum == Kick || drum == Crash))
            return;
        hit(t, drum, c == 'X' ? velocity + 15 : c == 'g' ? velocity / 2 : velocity, t == place.start);
    };
    for (int p = 0; p < pulse.count; ++p) {
        for (const DrumPart& part : groove.parts) {
            if (part.even.empty())
                continue;
            const std::string_view rhythm = p % 2 == 0 ? part.even : part.odd;
            for (int s = 0; s < 4; ++s)
                play(4 * p + s, rhythm[static_cast<std::size_t>(s)], part.drum, part.velocity);
        }
    }
    for (const DrumLine& line : groove.lines) {
        if (line.first.empty())
            continue;
        const std::string_view rhythm = j % 2 == 0 ? line.first : line.second;
        for (int s = 0; s < pulse.count * 4; ++s)
            play(s, rhythm[static_cast<std::size_t>(s) % rhythm.size()], line.drum, line.velocity);
    }
    if (fillFrom < barEnd && fillFrom < stop) {
        const auto& drumsOfFill = Fills[static_cast<std::size_t>(m_random.below(static_cast<int>(Fills.size())))];
        const int strokes = groove.triplets || pulse.compound ? 3 : 4;
        for (int k = 0; k < strokes; ++k)
            hit(fillFrom + std::int64_t(k) * P / strokes, drumsOfFill[static_cast<std::size_t>(k + 4 - strokes)],
                70 + 10 * k);
    }
    if (stop < barEnd) {
        hit(stop, Crash, 90, true);
        hit(stop, Kick, 85, true);
    }
}

void Band::click(std::int64_t start, const Pulse& pulse, std::int64_t end)
{
    for (int p = 0; p < pulse.count; ++p) {
        const std::int64_t t = start + std::int64_t(p) * pulse.ticks;
        if (t < end)
            add(m_click, t, std::max(1, pulse.ticks / 4), p == 0 ? HighBlock : LowBlock, p == 0 ? 100 : 80);
    }
}

void Band::play()
{
    readChords();
    const Form form = unrollForm(m_chart);
    m_performance.warnings.insert(m_performance.warnings.end(), form.warnings.begin(), form.warnings.end());

    // The choruses, then the bar to start from.
    std::vector<int> bars;
    const int choruses = std::max(1, m_options.choruses);
    for (int c = 0; c < choruses && !form.bars.empty(); ++c) {
        if (bars.size() + form.bars.size() > static_cast<std::size_t>(MaxPlayedBars)) {
            m_performance.warnings.emplace_back(
                QT_TRANSLATE_NOOP("Message", "La forme ne finit pas : elle est coupée après %1 mesures."),
                std::vector<std::string>{std::to_string(bars.size())});
            break;
        }
        bars.insert(bars.end(), form.bars.begin(), form.bars.end());
    }
    std::size_t first = 0;
    if (m_options.fromBar > 0) {
        first = bars.size();
        for (std::size_t j = 0; j < bars.size(); ++j)
            if (bars[j] >= m_options.fromBar) {
                first = j;
                break;
            }
    }

    // Each bar's meter, in one pass: the song's changes hold until the next.
    std::array<TimeSignature, MaxBars + 1> meters{};
    const int count = std::clamp(m_chart.info.count, 0, MaxBars);
    for (int i = 1; i <= count; ++i)
        meters[static_cast<std::size_t>(i)] = i == 1 || !m_chart.song.bar(i).time.empty()
            ? playable(meterAt(m_chart.song, i))
            : meters[static_cast<std::size_t>(i - 1)];
    m_played.reserve(bars.size());
    m_performance.bars.reserve(bars.size());
    m_performance.chords.reserve(bars.size() * 2);
    m_bass.reserve(bars.size() * 8);
    m_piano.reserve(bars.size() * 16);
    m_drums.reserve(bars.size() * 16);
    // Everything is played from the start, so that a performance from a
    // bar sounds as that bar does in the whole; the bars before are cut
    // off at the end.
    std::int64_t t = 0;
    for (const int bar : bars) {
        const TimeSignature meter = meters[static_cast<std::size_t>(bar)];
        const PlayedPlace place{m_position[static_cast<std::size_t>(bar)], t, pulseOf(meter, TicksPerQuarter)};
        m_played.push_back(place);
        m_performance.bars.push_back({bar, t, meter});
        t += place.pulse.bar;
    }
    const std::int64_t musicEnd = t;
    std::vector<char> shared(m_chords.size());
    for (std::size_t j = 0; j < m_played.size(); ++j) {
        const std::size_t p = static_cast<std::size_t>(m_played[j].position);
        if (!shared[p]) {
            share(m_chords[p], m_played[j].pulse);
            shared[p] = 1;
        }
    }

    for (std::size_t j = 0; j < m_played.size(); ++j) {
        const PlayedPlace& place = m_played[j];
        const BarChords& c = m_chords[static_cast<std::size_t>(place.position)];
        const std::array<std::size_t, 4> before{m_bass.size(), m_piano.size(), m_drums.size(), m_click.size()};
        const bool lastBar = j + 1 == m_played.size();
        const bool fermata = (m_chart.song.bar(m_performance.bars[j].bar).flags & FermataFlag) != 0;
        // The drums stop where a held chord begins, with a crash.
        const std::int64_t stop = place.start + (lastBar || fermata ? c.start[c.count - 1] : place.pulse.bar);
        for (int s = 0; s < c.count; ++s) {
            const Slot& slot = c.slots[s];
            PlayedChord played{place.start + c.start[s], c.length[s], m_performance.bars[j].bar, s + 1, 0, 0, 0};
            if (slot.shape < 0) {
                m_performance.chords.push_back(played);
                continue;
            }
            const Harmony h = harmony(slot);
            played.root = h.root + 1;
            played.bass = h.bass + 1;
            for (int pc = 0; pc < 12; ++pc)
                if (h.allows(pc))
                    played.pitchClasses = static_cast<std::uint16_t>(played.pitchClasses | 1u << pc);
            m_performance.chords.push_back(played);
            const bool held = lastBar || (fermata && s == c.count - 1);
            const std::int64_t start = place.start + c.start[s];
            bass(place.pulse, start, c.length[s], h, nextSlot(j, s), held);
            piano(start, c.length[s], place.pulse, h, held, j);
        }
        drums(j, startsSection(j + 1) && !lastBar, startsSection(j), stop);
        if (m_options.click)
            click(place.start, place.pulse, musicEnd);
        std::size_t k = 0;
        for (std::vector<Note>* notes : {&m_bass, &m_piano, &m_drums, &m_click})
            std::sort(notes->begin() + static_cast<std::ptrdiff_t>(before[k++]), notes->end(), earlier);
    }

    // Cut off what comes before the bar to start from, and make room for
    // the count-in.
    const std::int64_t cut = first < m_played.size() ? m_played[first].start : musicEnd;
    const int countIn = first < m_played.size() ? std::clamp(m_options.countInBars, 0, MaxCountInBars) : 0;
    const Pulse countPulse = first < m_played.size() ? m_played[first].pulse : Pulse{4, TicksPerQuarter, false, 1920};
    const std::int64_t shift = std::int64_t(countIn) * countPulse.bar - cut;
    m_performance.bars.erase(m_performance.bars.begin(),
                             m_performance.bars.begin() + static_cast<std::ptrdiff_t>(first));
    for (PlayedBar& b : m_performance.bars)
        b.start += shift;
    std::erase_if(m_performance.chords, [cut](const PlayedChord& c) { return c.start < cut; });
    for (PlayedChord& c : m_performance.chords)
        c.start += shift;
    m_performance.end = musicEnd + shift;
    for (std::vector<Note>* notes : {&m_bass, &m_piano, &m_drums, &m_click}) {
        std::erase_if(*notes, [cut](const Note& n) { return n.start < cut; });
        for (Note& n : *notes)
            n.start += shift;
    }
    for (int k = 0; k < countIn; ++k)
        click(std::int64_t(k) * countPulse.bar, countPulse, m_performance.end);
    for (std::vector<Note>* notes : {&m_bass, &m_piano, &m_drums, &m_click})
        finish(*notes, m_performance.end);

    m_performance.tracks = {
        {Instrument::Bass, "Bass", BassChannel, m_traits.bassProgram, std::move(m_bass)},
        {Instrument::Piano, m_traits.pianoName, PianoChannel, m_traits.pianoProgram, std::move(m_piano)},
        {Instrument::Drums, "Drums", DrumChannel, 0, std::move(m_drums)},
        {Instrument::Click, "Click", DrumChannel, 0, std::move(m_click)},
    };
}

} // namespace

Performance arrange(const Chart& chart, const Options& options)
{
    Performance performance;
    const bool chosen = options.style >= 0 && options.style < StyleCount;
    performance.style = chosen ? static_cast<Style>(options.style) : styleOf(chart.song);
    performance.tempo = options.tempo > 0 ? options.tempo
        : chart.song.tempo > 0            ? chart.song.tempo
                                          : defaultTempo(performance.style, chart.song.style.view());
    performance.tempo = std::clamp(performance.tempo, 10, 999);
    Band(chart, options, performance).play();
    return performance;
}

} // namespace mavrel::accompaniment
