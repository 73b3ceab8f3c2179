// What the band plays: chords placed in the bar by the meter, and for every
// style the properties a musician listens for.
#include "accompaniment/arranger.h"
#include "accompaniment/style.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace mavrel::accompaniment {
namespace {

using test::ChartBuilder;

const Track& track(const Performance& p, Instrument instrument)
{
    return p.tracks[static_cast<std::size_t>(instrument)];
}

Options with(Style style, std::uint32_t seed = 1)
{
    Options o;
    o.style = static_cast<int>(style);
    o.seed = seed;
    return o;
}

TEST(Arranger, ChordsShareTheBarByTheMeter)
{
    struct Case {
        int beats, unit;
        const char* bar;
        const char* places;       // start+length of each chord, in ticks
    };
    const Case cases[] = {
        {4, 4, "C", "0+1920"},
        {4, 4, "C F", "0+960 960+960"},
        {4, 4, "C F G", "0+480 480+480 960+960"},
        {4, 4, "C. F G", "0+960 960+480 1440+480"},
        {4, 4, "C F G A", "0+480 480+480 960+480 1440+480"},
        {3, 4, "C", "0+1440"},
        {3, 4, "C F", "0+960 960+480"},
        {3, 4, "C F G", "0+480 480+480 960+480"},
        {3, 4, "C. F G", "0+480 480+480 960+480"},
        {3, 4, "C F G A", "0+480 480+480 960+240 1200+240"},
        {6, 8, "C", "0+1440"},
        {6, 8, "C F", "0+720 720+720"},
        {6, 8, "C F G", "0+480 480+240 720+720"},
        {6, 8, "C. F G", "0+720 720+480 1200+240"},
        {6, 8, "C F G A", "0+480 480+480 960+240 1200+240"},
        {5, 4, "C", "0+2400"},
        {5, 4, "C F", "0+1440 1440+960"},
        {5, 4, "C F G", "0+480 480+480 960+1440"},
        {5, 4, "C. F G", "0+1440 1440+480 1920+480"},
        {5, 4, "C F G A", "0+960 960+480 1440+480 1920+480"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.beats) + "/" + std::to_string(c.unit) + " " + c.bar);
        const auto chart = ChartBuilder(1, 1).bar(1, c.bar).meter(0, c.beats, c.unit).build();
        const Performance p = arrange(*chart, with(Style::Pop));
        std::string places;
        for (const PlayedChord& chord : p.chords)
            places += (places.empty() ? "" : " ") + std::to_string(chord.start) + "+" + std::to_string(chord.length);
        EXPECT_EQ(places, c.places);
        EXPECT_EQ(p.end, 1920 * c.beats / c.unit);
    }
}

// Every kind of chord, two and three to a bar, "%", N.C., a slash bass.
std::unique_ptr<Chart> songChart(int beats = 4)
{
    return ChartBuilder(4, 4)
        .bars({"Dm7 G7", "CM7", "Am7b5 D7b9", "Gm7. C7alt F", "FM7#11", "Bb13 Eb7/G", "N.C.", "Ab69 Db7#9 Gb6 B+7",
               "C7sus", "%", "Em9 A13", "Dm11", "Ddim7 N.C.", "C/E Bb/C", "Fm6 Bb9", "C"})
        .meter(0, beats, 4)
        .build();
}

// The voicings the piano moves through: the notes struck together.
std::vector<std::vector<int>> voicings(const Track& piano)
{
    std::map<std::int64_t, std::set<int>> byStart;
    for (const Note& n : piano.notes)
        byStart[n.start].insert(n.pitch);
    std::vector<std::vector<int>> out;
    for (const auto& [start, pitches] : byStart)
        out.emplace_back(pitches.begin(), pitches.end());
    return out;
}

TEST(Arranger, EveryStylePlaysTheChords)
{
    for (int s = 0; s < StyleCount; ++s) {
        const Style style = static_cast<Style>(s);
        SCOPED_TRACE(std::string(styleName(style)));
        const auto chart = songChart(style == Style::Waltz ? 3 : 4);
        const Performance p = arrange(*chart, with(style));
        const Track& bass = track(p, Instrument::Bass);
        const Track& piano = track(p, Instrument::Piano);
        const Track& drums = track(p, Instrument::Drums);
        ASSERT_EQ(p.chords.size(), 28u);
        EXPECT_EQ(p.chords[23].bass, 5);    // C/E
        EXPECT_EQ(p.chords[24].bass, 1);    // Bb/C
        EXPECT_EQ(p.end, 16 * p.bars.front().meter.beats * TicksPerQuarter);

        for (const PlayedChord& c : p.chords) {
            const std::int64_t end = c.start + c.length;
            auto within = [&](const Note& n) { return n.start < end && n.start + n.length > c.start; };
            if (c.root == 0) {
                EXPECT_EQ(std::count_if(bass.notes.begin(), bass.notes.end(), within), 0) << "N.C. at " << c.start;
                EXPECT_EQ(std::count_if(piano.notes.begin(), piano.notes.end(), within), 0) << "N.C. at " << c.start;
                continue;
            }
            const bool onBeat = std::any_of(bass.notes.begin(), bass.notes.end(), [&](const Note& n) {
                return n.start == c.start && n.pitch % 12 == c.bass - 1;
            });
            EXPECT_TRUE(onBeat) << "bar " << c.bar << " slot " << c.slot;
            for (const Note& n : piano.notes) {
                if (!within(n))
                    continue;
                EXPECT_TRUE(n.start >= c.start && n.start + n.length <= end) << "bar " << c.bar;
                EXPECT_TRUE(c.pitchClasses >> (n.pitch % 12) & 1) << "bar " << c.bar << " pitch " << int(n.pitch);
                EXPECT_TRUE(n.pitch >= 48 && n.pitch <= 84) << int(n.pitch);
            }
        }
        for (const Note& n : bass.notes)
            EXPECT_TRUE(n.pitch >= 28 && n.pitch <= 55) << int(n.pitch);

        // Each voicing is close to the one before: no voice leaps, on the
        // whole, more than a third.
        const auto v = voicings(piano);
        for (std::size_t k = 1; k < v.size(); ++k) {
            int moved = 0;
            for (const int a : v[k]) {
                int nearest = 127;
                for (const int b : v[k - 1])
                    nearest = std::min(nearest, std::abs(a - b));
                moved += nearest;
            }
            EXPECT_LE(moved, 4 * static_cast<int>(v[k].size())) << "voicing " << k;
        }

        EXPECT_EQ(drums.channel, 9);
        EXPECT_NE(bass.channel, 9);
        EXPECT_NE(piano.channel, 9);
        EXPECT_GT(drums.notes.size(), 16u * 3);
        EXPECT_TRUE(track(p, Instrument::Click).notes.empty());
    }
}

// Sorted, within the performance, and never one pitch twice at once on a
// channel: what a synthesizer and a MIDI file need.
void expectPlayable(const Performance& p)
{
    std::map<int, std::vector<Note>> byChannel;
    for (const Track& t : p.tracks) {
        EXPECT_TRUE(std::is_sorted(t.notes.begin(), t.notes.end(),
                                   [](const Note& a, const Note& b) { return a.start < b.start; }));
        for (const Note& n : t.notes) {
            EXPECT_GE(n.start, 0);
            EXPECT_GE(n.length, 1);
            EXPECT_LE(n.start + n.length, p.end);
            EXPECT_TRUE(n.velocity >= 1 && n.velocity <= 127 && n.pitch <= 127);
            byChannel[t.channel].push_back(n);
        }
    }
    for (auto& [channel, notes] : byChannel) {
        std::sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
            return a.pitch != b.pitch ? a.pitch < b.pitch : a.start < b.start;
        });
        for (std::size_t k = 1; k < notes.size(); ++k)
            if (notes[k].pitch == notes[k - 1].pitch) {
                EXPECT_LE(notes[k - 1].start + notes[k - 1].length, notes[k].start) << "channel " << channel;
            }
    }
}

TEST(Arranger, SameSeedSameNotesAndPlayable)
{
    const auto chart = songChart();
    for (int s = 0; s < StyleCount; ++s) {
        const Performance a = arrange(*chart, with(static_cast<Style>(s), 7));
        const Performance b = arrange(*chart, with(static_cast<Style>(s), 7));
        const Performance c = arrange(*chart, with(static_cast<Style>(s), 8));
        bool same = true, differs = false;
        for (int i = 0; i < InstrumentCount; ++i) {
            const auto& x = a.tracks[static_cast<std::size_t>(i)].notes;
            const auto& y = b.tracks[static_cast<std::size_t>(i)].notes;
            const auto& z = c.tracks[static_cast<std::size_t>(i)].notes;
            auto equal = [](const std::vector<Note>& u, const std::vector<Note>& v) {
                auto same = [](const Note& m, const Note& n) {
                    return m.start == n.start && m.length == n.length && m.pitch == n.pitch && m.velocity == n.velocity;
                };
                return u.size() == v.size() && std::equal(u.begin(), u.end(), v.begin(), same);
            };
            same = same && equal(x, y);
            differs = differs || !equal(x, z);
        }
        EXPECT_TRUE(same) << styleName(static_cast<Style>(s));
        EXPECT_TRUE(differs) << styleName(static_cast<Style>(s));
        expectPlayable(a);
    }
}

TEST(Arranger, CountInChorusesAndStartBar)
{
    const auto chart = ChartBuilder(4, 1).bars({"C", "F", "G7", "C"}).signs(2, 1, 0).signs(3, 0, 1).build();
    const Performance whole = arrange(*chart);
    ASSERT_EQ(whole.bars.size(), 6u);   // 1 2 3 2 3 4
    EXPECT_EQ(whole.end, 6 * 1920);

    Options o;
    o.countInBars = 2;
    o.choruses = 2;
    const Performance counted = arrange(*chart, o);
    ASSERT_EQ(counted.bars.size(), 12u);
    EXPECT_EQ(counted.bars.front().start, 2 * 1920);
    EXPECT_EQ(counted.end, 14 * 1920);
    const Track& click = track(counted, Instrument::Click);
    ASSERT_EQ(click.notes.size(), 8u);
    EXPECT_EQ(click.notes.back().start, 7 * 480);
    EXPECT_EQ(click.channel, 9);

    // From bar 3: its first place, and the notes the whole performance
    // plays from there.
    o = {};
    o.fromBar = 3;
    const Performance from = arrange(*chart, o);
    ASSERT_EQ(from.bars.size(), 4u);
    EXPECT_EQ(from.bars.front().bar, 3);
    EXPECT_EQ(from.bars.front().start, 0);
    const std::int64_t cut = whole.bars[2].start;
    for (int i = 0; i < 3; ++i) {
        std::vector<Note> expected;
        for (const Note& n : whole.tracks[static_cast<std::size_t>(i)].notes)
            if (n.start >= cut)
                expected.push_back({n.start - cut, n.length, n.pitch, n.velocity});
        const auto& got = from.tracks[static_cast<std::size_t>(i)].notes;
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_TRUE(got[k].start == expected[k].start && got[k].pitch == expected[k].pitch);
    }

    o.click = true;
    o.fromBar = 0;
    EXPECT_EQ(track(arrange(*chart, o), Instrument::Click).notes.size(), 24u);
}

TEST(Arranger, StyleAndTempoFromTheSong)
{
    struct Case {
        const char* style;        // UTF-8
        int beats;
        Style expected;
        int tempo;                // when the song gives none
    };
    const Case cases[] = {
        {"Medium Swing", 4, Style::Swing, 140},
        {"Up Tempo Swing", 4, Style::Swing, 238},
        {"Medium Up Swing", 4, Style::Swing, 182},
        {"Slow Swing", 4, Style::Swing, 93},
        {"Ballad", 4, Style::Ballad, 70},
        {"Bossa Nova", 4, Style::BossaNova, 130},
        {"Latin", 4, Style::Latin, 180},
        {"Samba", 4, Style::Latin, 180},
        {"Brazil: Samba", 4, Style::Latin, 180},
        {"Afro 12/8", 4, Style::Latin, 180},
        {"Rock", 4, Style::Pop, 110},
        {"Pop", 4, Style::Pop, 110},
        {"Even 8ths", 4, Style::Pop, 110},
        {"Funk", 4, Style::Funk, 100},
        {"Waltz", 3, Style::Waltz, 150},
        {"Jazz Waltz", 3, Style::Waltz, 150},
        {"Valse", 3, Style::Waltz, 150},
        {"Shuffle", 4, Style::Shuffle, 120},
        {"Blues", 4, Style::Shuffle, 120},
        {"Swing", 3, Style::Waltz, 150},
        {"", 3, Style::Waltz, 150},
        {"", 4, Style::Swing, 140},
        {"Chanson", 4, Style::Swing, 140},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const auto chart = ChartBuilder(1, 1).bar(1, "C").style(c.style).meter(0, c.beats, 4).build();
        const Performance p = arrange(*chart);
        EXPECT_EQ(p.style, c.expected);
        EXPECT_EQ(p.tempo, c.tempo);
    }
    const auto chart = ChartBuilder(1, 1).bar(1, "C").style("Ballad", 66).build();
    EXPECT_EQ(arrange(*chart).tempo, 66);
    Options fast;
    fast.tempo = 200;
    EXPECT_EQ(arrange(*chart, fast).tempo, 200);

    for (int s = 0; s < StyleCount; ++s)
        EXPECT_EQ(styleNamed(styleName(static_cast<Style>(s))), static_cast<Style>(s));
    EXPECT_EQ(styleNamed("rock"), Style::Pop);
    EXPECT_EQ(styleNamed("polka"), std::nullopt);
}

TEST(Arranger, ChordNotUnderstoodIsNamedOnce)
{
    const auto chart = ChartBuilder(4, 1).bars({"CBlues", "FBlues", "Cxyz", "C"}).build();
    const Performance p = arrange(*chart);
    ASSERT_EQ(p.warnings.size(), 2u);
    EXPECT_EQ(p.warnings[0].text(), "« CBlues » : accord incompris, joué comme un accord parfait.");
    EXPECT_EQ(p.warnings[1].text(), "« Cxyz » : accord incompris, joué comme un accord parfait.");
    for (const Note& n : track(p, Instrument::Piano).notes)
        if (n.start < 1920) {
            EXPECT_TRUE(n.pitch % 12 == 0 || n.pitch % 12 == 4 || n.pitch % 12 == 7) << int(n.pitch);
        }
}

} // namespace
} // namespace mavrel::accompaniment
