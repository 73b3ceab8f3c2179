// Chords typed from the keyboard, and transpositions spelled by key.
#include "document/chordtext.h"
#include "document/editing.h"
#include "document/parts.h"

#include <gtest/gtest.h>

#include <string>

namespace mavrel {
namespace {

std::string spelled(const Chord& c) { return chordText(c); }

TEST(ChordText, TypedBarsBecomeDivisionsAndChords)
{
    struct Row {
        const char* typed;
        int division;
        std::vector<std::string> chords;   // as the page spells them
    };
    const Row rows[] = {
        {"Dm7 G7", 2, {"Dm7", "G7"}},
        {"F#\xC3\xB8", 1, {"F#\xF8"}},
        {"Bbsus4", 1, {"Bbsus4"}},
        {"C/E", 1, {"C/E"}},
        {"  Ebdim  ", 1, {"Ebdim"}},
        {"Cmaj7 C\xCE\x94 C^ C-", 3, {"CM7", "CM7", "CM7", "Cm"}},
        {"Dm7b5 Dh Do", 4, {"D\xF8", "D\xF8", "Ddim"}},
        {"Dm7. G7 C7", 5, {"Dm7", "G7", "C7"}},
        {"%", 1, {"%"}},
        {"Db C#", 2, {"Db", "C#"}},
        {"N.C.", 1, {"N.C."}},
        {"NC G7", 2, {"N.C.", "G7"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const TypedBar bar = readBar(r.typed);
        ASSERT_TRUE(bar.error.empty()) << bar.error.text();
        EXPECT_EQ(bar.division, r.division);
        ASSERT_EQ(bar.count, int(r.chords.size()));
        for (int k = 0; k < bar.count; ++k)
            EXPECT_EQ(spelled(bar.chords[k]), r.chords[std::size_t(k)]);
        // What the bar shows as text reads back the same.
        Bar stored{};
        stored.division = static_cast<std::uint8_t>(bar.division);
        for (int k = 0; k < bar.count; ++k)
            stored.slot(k + 1) = bar.chords[k];
        const TypedBar again = readBar(barText(stored));
        EXPECT_EQ(again.division, bar.division) << barText(stored);
        for (int k = 0; k < bar.count; ++k)
            EXPECT_EQ(spelled(again.chords[k]), r.chords[std::size_t(k)]);
    }
}

TEST(ChordText, RefusesWhatAChartCannotHold)
{
    for (const char* typed : {"", "H7", "Csus4add9b13", "C D E F G", "C\xE2\x99\xAD", "7"}) {
        SCOPED_TRACE(typed);
        EXPECT_FALSE(readBar(typed).error.empty());
    }
}

Chart oneChord(int root, const char* quality, bool flat)
{
    Chart c{};
    resetChart(c);
    c.bar(1).slot(1).root = static_cast<std::uint8_t>(root);
    c.bar(1).slot(1).quality.assign(quality);
    c.bar(1).slot(1).flat = flat;
    c.bar(2).slot(1) = c.bar(1).slot(1);   // a D of the same quality and spelling
    c.bar(2).slot(1).root = 3;
    return c;
}

TEST(Spelling, FlagsFollowTheChoiceOrTheKey)
{
    struct Row {
        const char* what;
        int root;
        const char* quality;
        bool flat;
        int steps;
        Spelling spelling;
        const char* first;    // bar 1 after
        const char* second;   // bar 2 (a D before) after
    };
    const Row rows[] = {
        {"C up one in flats", 1, "", false, 1, Spelling::Flats, "Db", "Eb"},
        {"Db up one in sharps", 2, "7", true, 1, Spelling::Sharps, "D7", "D#7"},
        {"F major up two: G major", 6, "", true, 2, Spelling::Key, "G", "E"},
        {"Eb up one: E major", 4, "M7", true, 1, Spelling::Key, "EM7", "D#M7"},
        {"C up three: Eb major", 1, "", false, 3, Spelling::Key, "Eb", "F"},
        {"A minor up one: Bb minor", 10, "m7", false, 1, Spelling::Key, "Bbm7", "Ebm7"},
        {"E minor up one: F minor", 5, "m", false, 1, Spelling::Key, "Fm", "Ebm"},
        {"kept as it was", 2, "", true, 2, Spelling::Keep, "Eb", "E"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Chart c = oneChord(r.root, r.quality, r.flat);
        transpose(c, r.steps, r.spelling);
        EXPECT_EQ(spelled(c.bar(1).slot(1)), r.first);
        EXPECT_EQ(spelled(c.bar(2).slot(1)), r.second);
        EXPECT_EQ(c.bar(3).slot(1).root, 0);   // "%" stays
    }
}

// A part is the chart transposed for the instrument and spelled by its key;
// the concert part is the chart itself.
TEST(Parts, EachInstrumentReadsItsInterval)
{
    const Chart concert = oneChord(1, "m7", false);   // Cm7, then Dm7
    struct Row {
        Instrument instrument;
        const char* first;
        const char* second;
    };
    const Row rows[] = {
        {Instrument::Concert, "Cm7", "Dm7"},
        {Instrument::BFlat, "Dm7", "Em7"},
        {Instrument::EFlat, "Am7", "Bm7"},
        {Instrument::F, "Gm7", "Am7"},
    };
    for (const Row& r : rows) {
        const Chart part = partFor(concert, r.instrument);
        EXPECT_EQ(spelled(part.bar(1).slot(1)), r.first);
        EXPECT_EQ(spelled(part.bar(2).slot(1)), r.second);
    }
    EXPECT_EQ(instrumentNamed("Eb"), Instrument::EFlat);
    EXPECT_FALSE(instrumentNamed("Sib"));
}

} // namespace
} // namespace mavrel
