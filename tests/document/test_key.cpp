// The song's key: heard in real tunes' changes as musicians type them, and
// moved with the chords.
#include "document/key.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace mavrel {
namespace {

using test::ChartBuilder;

std::string keyName(Key key)
{
    if (key.empty())
        return "";
    return std::string(rootName(key.tonic, key.flat != 0)) + (key.minor ? "m" : "");
}

// "Bb", "F#m", "C": the key so written.
Key keyNamed(std::string_view name)
{
    const TypedChord t = readChord(name);
    EXPECT_TRUE(t.error.empty()) << name;
    return {t.chord.root, t.chord.flat, static_cast<std::uint8_t>(t.chord.quality.view() == "m")};
}

std::unique_ptr<Chart> chartOf(const std::vector<std::string_view>& bars)
{
    ChartBuilder builder(4, static_cast<int>((bars.size() + 3) / 4));
    int i = 1;
    for (std::string_view typed : bars)
        builder.bar(i++, typed);
    return builder.build();
}

struct Tune {
    const char* name;
    std::vector<std::string_view> bars;
    std::vector<std::string> keys;   // the answers musicians accept, the usual one first
};

// Standards as their lead sheets give the changes, and two pop loops.
const std::vector<Tune>& tunes()
{
    static const std::vector<Tune> all = {
        {"Blue Bossa",
         {"Cm7", "%", "Fm7", "%", "Dm7b5", "G7b9", "Cm7", "%",
          "Ebm7", "Ab7", "Dbmaj7", "%", "Dm7b5", "G7b9", "Cm7", "Dm7b5 G7b9"},
         {"Cm"}},
        // A ii-V of the relative major first; G minor is where it rests.
        {"Autumn Leaves",
         {"Cm7", "F7", "Bbmaj7", "Ebmaj7", "Am7b5", "D7b9", "Gm6", "%",
          "Cm7", "F7", "Bbmaj7", "Ebmaj7", "Am7b5", "D7b9", "Gm6", "%",
          "Am7b5", "D7b9", "Gm6", "%", "Cm7", "F7", "Bbmaj7", "Ebmaj7",
          "Am7b5", "D7b9", "Gm7 C7", "Fm7 Bb7", "Ebmaj7", "Am7b5 D7b9", "Gm6", "%"},
         {"Gm", "Bb"}},
        {"Autumn Leaves in E minor",
         {"Am7", "D7", "Gmaj7", "Cmaj7", "F#m7b5", "B7b9", "Em", "%",
          "Am7", "D7", "Gmaj7", "Cmaj7", "F#m7b5", "B7b9", "Em", "%",
          "F#m7b5", "B7b9", "Em", "%", "Am7", "D7", "Gmaj7", "Cmaj7",
          "F#m7b5", "B7b9", "Em7 A7", "Dm7 G7", "Cmaj7", "F#m7b5 B7b9", "Em", "%"},
         {"Em", "G"}},
        {"There Will Never Be Another You",
         {"Ebmaj7", "%", "Dm7b5", "G7b9", "Cm7", "%", "Bbm7", "Eb7",
          "Abmaj7", "%", "Abm7", "Db7", "Ebmaj7", "Cm7", "F7", "%",
          "Fm7", "%", "Dm7b5", "G7b9", "Cm7", "%", "Bbm7", "Eb7",
          "Abmaj7", "Abm7 Db7", "Ebmaj7", "Cm7", "Fm7", "Bb7", "Eb6", "Fm7 Bb7"},
         {"Eb"}},
        {"Stella by Starlight",
         {"Em7b5", "A7b9", "Cm7", "F7", "Fm7", "Bb7", "Ebmaj7", "Ab7",
          "Bbmaj7", "Em7b5 A7", "Dm7", "Bbm7 Eb7", "Fmaj7", "Em7b5 A7", "Am7b5", "D7b9",
          "G7#5", "%", "Cm7", "%", "Ab7", "%", "Bbmaj7", "%",
          "Em7b5", "A7b9", "Dm7b5", "G7b9", "Cm7b5", "F7b9", "Bbmaj7", "%"},
         {"Bb"}},
        // Twelve bars that end on the ii-V back to the top.
        {"Solar",
         {"CmMaj7", "%", "Gm7", "C7", "Fmaj7", "%", "Fm7", "Bb7",
          "Ebmaj7", "Ebm7 Ab7", "Dbmaj7", "Dm7b5 G7"},
         {"Cm"}},
        {"All the Things You Are",
         {"Fm7", "Bbm7", "Eb7", "Abmaj7", "Dbmaj7", "G7", "Cmaj7", "%",
          "Cm7", "Fm7", "Bb7", "Ebmaj7", "Abmaj7", "D7", "Gmaj7", "%",
          "Am7", "D7", "Gmaj7", "%", "F#m7b5", "B7", "Emaj7", "C7b9",
          "Fm7", "Bbm7", "Eb7", "Abmaj7", "Dbmaj7", "Dbm7", "Cm7", "Bo7",
          "Bbm7", "Eb7", "Abmaj7", "Gm7b5 C7b9"},
         {"Ab"}},
        {"Blues in F",
         {"F7", "Bb7", "F7", "Cm7 F7", "Bb7", "Bdim7", "F7", "D7b9", "Gm7", "C7", "F7 D7", "Gm7 C7"},
         {"F"}},
        {"Minor blues in C",
         {"Cm7", "Fm7", "Cm7", "%", "Fm7", "%", "Cm7", "%", "Ab7", "G7", "Cm7", "Dm7b5 G7"},
         {"Cm"}},
        {"Take the A Train",
         {"C6", "%", "D7#11", "%", "Dm7", "G7", "C6", "Dm7 G7",
          "C6", "%", "D7#11", "%", "Dm7", "G7", "C6", "%",
          "Fmaj7", "%", "%", "%", "D7", "%", "Dm7", "G7",
          "C6", "%", "D7#11", "%", "Dm7", "G7", "C6", "Dm7 G7"},
         {"C"}},
        // Three tonics a major third apart. Eb major wins: its chord lasts
        // longest (3.5 of the 16 bars), the most cadences land on it, and it
        // is the chord the chart rests on before its last turnaround. B major,
        // the first chord, is only reached from the turnaround.
        {"Giant Steps",
         {"Bmaj7 D7", "Gmaj7 Bb7", "Ebmaj7", "Am7 D7", "Gmaj7 Bb7", "Ebmaj7 F#7", "Bmaj7", "Fm7 Bb7",
          "Ebmaj7", "Am7 D7", "Gmaj7", "C#m7 F#7", "Bmaj7", "Fm7 Bb7", "Ebmaj7", "C#m7 F#7"},
         {"Eb", "B", "G"}},
        {"Satin Doll",
         {"Dm7 G7", "Dm7 G7", "Em7 A7", "Em7 A7", "Am7 D7", "Abm7 Db7", "Cmaj7", "%",
          "Dm7 G7", "Dm7 G7", "Em7 A7", "Em7 A7", "Am7 D7", "Abm7 Db7", "Cmaj7", "%",
          "Gm7 C7", "Gm7 C7", "Fmaj7", "%", "Am7 D7", "Am7 D7", "Dm7", "G7",
          "Dm7 G7", "Dm7 G7", "Em7 A7", "Em7 A7", "Am7 D7", "Abm7 Db7", "Cmaj7", "%"},
         {"C"}},
        {"Pop I-V-vi-IV",
         {"G", "D/F#", "Em", "C", "G", "D/F#", "Em", "C", "G", "D", "Em", "C", "G", "D", "Em", "C"},
         {"G"}},
        {"Misty",
         {"Ebmaj7", "Bbm7 Eb7", "Abmaj7", "Abm7 Db7", "Ebmaj7 Cm7", "Fm7 Bb7", "Gm7 C7", "Fm7 Bb7",
          "Ebmaj7", "Bbm7 Eb7", "Abmaj7", "Abm7 Db7", "Ebmaj7 Cm7", "Fm7 Bb7", "Eb6", "%",
          "Bbm7", "Eb7", "Abmaj7", "%", "Am7", "D7", "Gm7 C7", "Fm7 Bb7",
          "Ebmaj7", "Bbm7 Eb7", "Abmaj7", "Abm7 Db7", "Ebmaj7 Cm7", "Fm7 Bb7", "Eb6", "Fm7 Bb7"},
         {"Eb"}},
        {"Out of Nowhere",
         {"Gmaj7", "%", "Bbm7", "Eb7", "Gmaj7", "%", "Bm7", "E7",
          "Am7", "%", "E7", "%", "Am7", "%", "Am7", "D7",
          "Gmaj7", "%", "Bbm7", "Eb7", "Gmaj7", "%", "Bm7b5", "E7",
          "Am7", "%", "Cm7", "F7", "Gmaj7 Em7", "Am7 D7", "G6", "Am7 D7"},
         {"G"}},
        // Opens on the ii-V of its tonic, then falls a tone twice.
        {"Tune Up",
         {"Em7", "A7", "Dmaj7", "%", "Dm7", "G7", "Cmaj7", "%",
          "Cm7", "F7", "Bbmaj7", "Eb7", "Em7", "A7", "Dmaj7", "Em7 A7"},
         {"D"}},
        // D dorian: a minor key for a chart's purposes.
        {"So What",
         {"Dm7", "%", "%", "%", "%", "%", "%", "%", "%", "%", "%", "%", "%", "%", "%", "%",
          "Ebm7", "%", "%", "%", "%", "%", "%", "%", "Dm7", "%", "%", "%", "%", "%", "%", "%"},
         {"Dm"}},
        {"Rhythm changes",
         {"Bbmaj7 G7", "Cm7 F7", "Bbmaj7 G7", "Cm7 F7", "Fm7 Bb7", "Ebmaj7 Ebm7", "Dm7 G7", "Cm7 F7",
          "Bbmaj7 G7", "Cm7 F7", "Bbmaj7 G7", "Cm7 F7", "Fm7 Bb7", "Ebmaj7 Ebm7", "Cm7 F7", "Bb6",
          "D7", "%", "G7", "%", "C7", "%", "F7", "%",
          "Bbmaj7 G7", "Cm7 F7", "Bbmaj7 G7", "Cm7 F7", "Fm7 Bb7", "Ebmaj7 Ebm7", "Cm7 F7", "Bb6"},
         {"Bb"}},
        // Relative minor and major in equal measure.
        {"Fly Me to the Moon",
         {"Am7", "Dm7", "G7", "Cmaj7", "Fmaj7", "Bm7b5", "E7", "Am7 A7",
          "Dm7", "G7", "Cmaj7", "A7", "Dm7", "G7", "Cmaj7", "Bm7b5 E7",
          "Am7", "Dm7", "G7", "Cmaj7", "Fmaj7", "Bm7b5", "E7", "Am7 A7",
          "Dm7", "G7", "Em7 A7", "Dm7 G7", "Cmaj7", "Bm7b5 E7", "Am7", "Bm7b5 E7"},
         {"Am", "C"}},
        {"Summertime",
         {"Am6", "E7", "Am6", "%", "Dm7", "%", "Bm7b5", "E7",
          "Am6", "E7", "Am6", "Bm7b5 E7", "Am6 F7", "Bm7b5 E7", "Am6", "Bm7b5 E7"},
         {"Am"}},
        {"Body and Soul",
         {"Ebm7 Bb7", "Ebm7 Ab7", "Dbmaj7 Gb7", "Fm7 E7", "Ebm7 Bb7", "Ebm7 Ab7", "Dbmaj7", "Ebm7 Ab7",
          "Ebm7 Bb7", "Ebm7 Ab7", "Dbmaj7 Gb7", "Fm7 E7", "Ebm7 Bb7", "Ebm7 Ab7", "Dbmaj7", "%",
          "Em7 A7", "Dmaj7", "Em7 A7", "Dmaj7", "Ebm7 Ab7", "Dbmaj7", "Dm7 G7", "Cm7 B7",
          "Ebm7 Bb7", "Ebm7 Ab7", "Dbmaj7 Gb7", "Fm7 E7", "Ebm7 Bb7", "Ebm7 Ab7", "Dbmaj7", "Fm7 E7"},
         {"Db"}},
        {"Cantaloupe Island",
         {"Fm7", "%", "%", "%", "Db7", "%", "%", "%", "Fm7", "%", "%", "%", "Dm7", "%", "%", "%"},
         {"Fm"}},
        {"The Girl from Ipanema",
         {"Fmaj7", "%", "G7", "%", "Gm7", "Gb7", "Fmaj7", "Gb7",
          "Fmaj7", "%", "G7", "%", "Gm7", "Gb7", "Fmaj7", "%",
          "Gbmaj7", "%", "B7", "%", "F#m7", "%", "D7", "%",
          "Gm7", "%", "Eb7", "%", "Am7", "D7b9", "Gm7", "C7b9",
          "Fmaj7", "%", "G7", "%", "Gm7", "Gb7", "Fmaj7", "Gb7"},
         {"F"}},
        // A vamp of i and v, which reads as well as iv and i: the first and
        // last chords and the bridge's way back decide.
        {"Take Five",
         {"Ebm", "Bbm7", "Ebm", "Bbm7", "Ebm", "Bbm7", "Ebm", "Bbm7",
          "Ebm", "Bbm7", "Ebm", "Bbm7", "Ebm", "Bbm7", "Ebm", "Bbm7",
          "Bmaj7", "G#m7", "C#m7", "F#7", "Bmaj7", "G#m7", "C#m7", "F#7",
          "Bmaj7", "G#m7", "C#m7", "F#7", "Abm7", "Db7", "Ebm7", "Bb7",
          "Ebm", "Bbm7", "Ebm", "Bbm7", "Ebm", "Bbm7", "Ebm", "Bbm7"},
         {"Ebm"}},
        // The vi-IV-I-V loop: the relative minor first.
        {"Pop vi-IV-I-V",
         {"Am", "F", "C", "G", "Am", "F", "C", "G", "Am", "F", "C", "G", "Am", "F", "C", "G"},
         {"C", "Am"}},
    };
    return all;
}

TEST(DetectKey, RealTunes)
{
    for (const Tune& tune : tunes()) {
        const std::string key = keyName(detectKey(*chartOf(tune.bars)));
        EXPECT_NE(std::find(tune.keys.begin(), tune.keys.end(), key), tune.keys.end())
            << tune.name << ": " << key << ", expected " << tune.keys.front();
    }
}

// Nothing in the detection favours a key: every tune moved by any interval
// is heard in its key moved as far.
TEST(DetectKey, MovesWithTheChords)
{
    for (const Tune& tune : tunes()) {
        auto chart = chartOf(tune.bars);
        const Key home = detectKey(*chart);
        for (int steps = 1; steps < 12; ++steps) {
            transpose(*chart, 1);
            const Key moved = detectKey(*chart);
            EXPECT_EQ(moved.tonic, (home.tonic - 1 + steps) % 12 + 1) << tune.name << " +" << steps;
            EXPECT_EQ(moved.minor, home.minor) << tune.name << " +" << steps;
        }
    }
}

// How the detected key is written: by its signature, and where a tonic is
// written either way, as the chart writes it.
TEST(DetectKey, SpelledAsTheChartIs)
{
    const struct {
        std::vector<std::string_view> bars;
        const char* key;
        bool flats;
    } rows[] = {
        {{"Gbmaj7", "Ebm7", "Abm7", "Db7", "Gbmaj7"}, "Gb", true},
        {{"F#maj7", "D#m7", "G#m7", "C#7", "F#maj7"}, "F#", false},
        {{"Ebm", "Bbm7", "Ebm", "Bbm7", "Ebm"}, "Ebm", true},
        {{"D#m", "A#m7", "D#m", "A#m7", "D#m"}, "D#m", false},
        {{"C#maj7", "A#m7", "D#m7", "G#7", "C#maj7"}, "C#", false},
        {{"Dbmaj7", "Bbm7", "Ebm7", "Ab7", "Dbmaj7"}, "Db", true},
        // Eb major is written so, however its chords are typed.
        {{"D#maj7", "Cm7", "Fm7", "A#7", "D#maj7"}, "Eb", true},
        {{"Dm7", "G7", "Fmaj7", "Bb7", "Fmaj7"}, "F", true},
        {{"Am7", "D7", "Gmaj7", "Gmaj7"}, "G", false},
        // C major leans the way its borrowed chords are written; by default flats.
        {{"Cmaj7", "Bb7", "Cmaj7", "Ab7", "Cmaj7"}, "C", true},
        {{"Cmaj7", "C#o7", "Dm7", "F#m7b5", "Cmaj7"}, "C", false},
        {{"Cmaj7", "Dm7", "G7", "Cmaj7"}, "C", true},
        {{"Am", "Dm", "E7", "Am"}, "Am", false},
    };
    for (const auto& row : rows) {
        const Key key = detectKey(*chartOf(row.bars));
        EXPECT_EQ(keyName(key), row.key) << row.bars.front();
        EXPECT_EQ(spellsWithFlats(key), row.flats) << row.bars.front();
    }
}

TEST(DetectKey, ReadsOnlyWhatThePageShows)
{
    EXPECT_TRUE(detectKey(*ChartBuilder(4, 2).build()).empty());
    EXPECT_TRUE(detectKey(*chartOf({"N.C.", "%", "N.C."})).empty());

    // Bars past the grid and hidden bars are not heard; a slash bass is not
    // the root.
    auto chart = ChartBuilder(3, 1).bars({"Dm7", "G7/B", "C/E", "F#m7b5", "B7", "Em", "%"}).build();
    EXPECT_EQ(keyName(detectKey(*chart)), "C");
    chart->info.rows = 3;
    layoutChart(*chart);
    EXPECT_EQ(keyName(detectKey(*chart)), "Em");
    for (int i = 4; i <= 7; ++i)
        chart->bar(i).shown = 0;
    EXPECT_EQ(keyName(detectKey(*chart)), "C");

    // A chord counts for as long as it lasts, "%" included: four bars of E
    // minor outweigh the quarter-bar chords of G major.
    EXPECT_EQ(keyName(detectKey(*chartOf({"Em", "%", "%", "%", "G D C D"}))), "Em");
}

TEST(SongKey, TheKeySetWins)
{
    auto chart = chartOf({"Dm7", "G7", "Cmaj7", "%"});
    EXPECT_EQ(keyName(songKey(*chart)), "C");
    chart->song.key = keyNamed("Am");
    EXPECT_EQ(keyName(songKey(*chart)), "Am");
}

TEST(TransposeKey, WrittenTheUsualWay)
{
    const struct {
        const char* from;
        int steps;
        Spelling spelling;
        const char* to;
        bool flats;
    } rows[] = {
        // The Bb tune moved up a tone is read in C, with Bb7, not A#7.
        {"Bb", 2, Spelling::Key, "C", true},
        {"B", 1, Spelling::Key, "C", true},
        {"C", 1, Spelling::Key, "Db", true},
        {"C", 1, Spelling::Keep, "Db", true},
        {"C", 1, Spelling::Sharps, "C#", false},
        {"Bb", 1, Spelling::Key, "B", false},
        {"F#m", -2, Spelling::Key, "Em", false},
        {"Dm", 6, Spelling::Key, "G#m", false},
        {"Fm", -1, Spelling::Key, "Em", false},
        {"Gm", 2, Spelling::Key, "Am", false},
        {"Gm", 2, Spelling::Flats, "Am", true},
        {"Eb", -3, Spelling::Sharps, "C", false},
        {"D", 1, Spelling::Flats, "Eb", true},
        {"D", 1, Spelling::Sharps, "D#", false},
        {"F", 2, Spelling::Flats, "G", false},
        {"G", -2, Spelling::Sharps, "F", true},
        // Gb/F# major and Ebm/D#m keep the direction they come from.
        {"Ab", -2, Spelling::Key, "Gb", true},
        {"E", 2, Spelling::Key, "F#", false},
        {"Cm", 3, Spelling::Key, "Ebm", true},
        {"Bm", 4, Spelling::Key, "D#m", false},
        // Octaves keep the key, but for the spelling asked.
        {"F#", 12, Spelling::Key, "F#", false},
        {"C#", -12, Spelling::Keep, "C#", false},
        {"F#", 0, Spelling::Flats, "Gb", true},
    };
    for (const auto& row : rows) {
        const Key moved = transposeKey(keyNamed(row.from), row.steps, row.spelling);
        EXPECT_EQ(keyName(moved), row.to) << row.from << " " << row.steps;
        EXPECT_EQ(spellsWithFlats(moved), row.flats) << row.from << " " << row.steps;
    }
    EXPECT_TRUE(transposeKey(Key{}, 3, Spelling::Key).empty());
}

} // namespace
} // namespace mavrel
