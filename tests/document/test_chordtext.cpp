// Chords typed from the keyboard, and how transpositions move and spell them.
#include "document/chordtext.h"
#include "document/editing.h"
#include "document/parts.h"
#include "document/text.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace mavrel {
namespace {

std::string spelled(const Chord& c) { return chordText(c); }

Bar stored(const TypedBar& typed)
{
    Bar bar{};
    bar.division = static_cast<std::uint8_t>(typed.division);
    for (int k = 0; k < typed.count; ++k)
        bar.slot(k + 1) = typed.chords[k];
    return bar;
}

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
        {"Ebb5 F#b9", 2, {"Ebb5", "F#b9"}},
        {"N.C.", 1, {"N.C."}},
        {"NC G7", 2, {"N.C.", "G7"}},
        // Music signs, and longer qualities spelled as the dialog spells them.
        {"B\xE2\x99\xAD" "7 F\xE2\x99\xAF" "m7", 2, {"Bb7", "F#m7"}},
        {"C\xCE\x94" "7 D\xE2\x88\x92" "7 E\xC2\xB0" "7 F\xC3\xB8", 3, {"CM7", "Dm7", "Edim7", "F\xF8"}},
        {"Bbmaj7#11 C^9 D-9 G7\xE2\x99\xAD" "9", 3, {"BbM7#11", "CM9", "Dm9", "G7b9"}},
        {"E\xE2\x88\x92" "7\xE2\x99\xAD" "5 Ao7", 2, {"E\xF8", "Adim7"}},
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
        const TypedBar again = readBar(barText(stored(bar)));
        EXPECT_EQ(again.division, bar.division) << barText(stored(bar));
        for (int k = 0; k < bar.count; ++k)
            EXPECT_EQ(spelled(again.chords[k]), r.chords[std::size_t(k)]);
    }
}

TEST(ChordText, RefusesWhatAChartCannotHold)
{
    for (const char* typed : {"", "H7", "C7sus4(b9,#11,b13)add6add9", "C D E F G", "C\xE2\x99\xAE", "C7\xE2\x99\xAE" "5", "7", "Bbb", "C##7", "Fb#5", "C/Bbb", "D/F#m"}) {
        SCOPED_TRACE(typed);
        EXPECT_FALSE(readBar(typed).error.empty());
    }
}

// Fb, Cb, E# and B# are stored as the chart writes them, and the notice says
// so; a bass keeps the spelling typed. Control characters are refused.
TEST(ChordText, WhatIsStoredOtherwiseThanTypedIsSaid)
{
    struct Row {
        const char* typed;
        const char* stored;
        const char* notice;
    };
    const Row rows[] = {
        {"Fb", "E", "Noté « E » pour « Fb » : une grille n'écrit pas Fb."},
        {"Cb7 E#m", "B7 Fm",
         "Noté « B7, Fm » pour « Cb7, E#m » : une grille n'écrit pas Cb, E#."},
        {"B#7/D Db", "C7/D Db",
         "Noté « C7/D » pour « B#7/D » : une grille n'écrit pas B#."},
        {"C/Fb Gb/E#", "C/Fb Gb/E#", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const TypedBar bar = readBar(r.typed);
        ASSERT_TRUE(bar.error.empty()) << bar.error.text();
        EXPECT_EQ(barText(stored(bar)), r.stored);
        EXPECT_EQ(bar.notice.text(), r.notice);
    }
    for (const char* typed : {"C\t7", "Dm7\nG7", "C\x7F", "G7 C\xC2\x85", "\x1B[31mC"}) {
        SCOPED_TRACE(typed);
        const std::string error = readBar(typed).error.text();
        EXPECT_NE(error.find("contrôle"), std::string::npos) << error;
        EXPECT_FALSE(text::hasControl(error));
    }
}

// Bar 1 of a 4 x 8 chart typed as `before`, transposed: what bar 1 shows
// after, and what was refused.
struct Transposed {
    std::string after;
    Message refused;
};
Transposed transposed(const char* before, int steps, Spelling spelling)
{
    auto chart = test::ChartBuilder().bars({before, "%"}).build();
    const Message refused = transpose(*chart, steps, spelling);
    EXPECT_EQ(chart->bar(2).slot(1).root, 0);   // "%" stays
    return {barText(chart->bar(1)), refused};
}

// Roots and slash basses move together and are spelled by one choice: kept
// (a bass keeps its own accidental, a natural one takes the chord's), flats,
// sharps, or the chart's key once moved.
TEST(Transpose, RootsAndBassesMoveAndAreSpelledTogether)
{
    struct Row {
        const char* before;
        int steps;
        Spelling spelling;
        const char* after;
    };
    const Row rows[] = {
        {"C D", 1, Spelling::Flats, "Db Eb"},
        {"Db7 D7", 1, Spelling::Sharps, "D7 D#7"},
        {"Db D", 2, Spelling::Keep, "Eb E"},
        {"F D", 2, Spelling::Key, "G E"},             // G major
        {"EbM7 DM7", 1, Spelling::Key, "EM7 EbM7"},   // E-flat major: the chart rests on D
        {"C D", 3, Spelling::Key, "Eb F"},            // E-flat major
        {"Am7 Dm7", 1, Spelling::Key, "Bbm7 Ebm7"},   // B-flat minor
        {"Em Dm", 1, Spelling::Key, "Fm Ebm"},        // F minor
        {"Cm7/Bb", 2, Spelling::Keep, "Dm7/C"},
        {"Bb/D", 2, Spelling::Keep, "C/E"},
        {"Bb/D", 1, Spelling::Keep, "B/Eb"},
        {"F#/A#", 2, Spelling::Keep, "G#/C"},
        {"C/Bb", 1, Spelling::Keep, "Db/B"},          // a natural root keeps its bass's flats
        {"Ebm7/Db", -2, Spelling::Keep, "Dbm7/B"},
        {"C#7/G#", -13, Spelling::Keep, "C7/G"},
        {"C/Fb", 12, Spelling::Keep, "C/Fb"},         // not moved: as typed
        {"C/Fb", 2, Spelling::Keep, "D/Gb"},
        {"C#m7/G#", 2, Spelling::Flats, "Ebm7/Bb"},
        {"Gm/F C/E#", -1, Spelling::Flats, "Gbm/E B/E"},
        {"Bb/D", 1, Spelling::Sharps, "B/D#"},
        {"Eb7/Db", -1, Spelling::Sharps, "D7/C"},
        {"C/E D/F#", 1, Spelling::Key, "Db/F Eb/G"},  // D-flat major
        {"Bb/D Eb", 1, Spelling::Key, "B/D# E"},      // B major
        {"Am7/G C#", 1, Spelling::Key, "A#m7/G# D"},  // D major: the chart rests on C#
        {"C6/9 C/9", 2, Spelling::Flats, "D6/9 D/9"}, // no bass there
        {"Cm7(b9)/A", 2, Spelling::Keep, "Dm7(b9)/B"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.before) + " by " + std::to_string(r.steps));
        const Transposed t = transposed(r.before, r.steps, r.spelling);
        EXPECT_TRUE(t.refused.empty()) << t.refused.text();
        EXPECT_EQ(t.after, r.after);
    }
    // Kept spellings come back with the chords.
    for (const char* bar : {"Cm7/Bb", "Bb/D", "F#/A#", "C/Bb", "Ebm7/Db Db/F", "C#7/G#"})
        for (int steps : {1, 5, -7}) {
            SCOPED_TRACE(std::string(bar) + " by " + std::to_string(steps));
            auto chart = test::ChartBuilder().bars({bar}).build();
            transpose(*chart, steps);
            transpose(*chart, -steps);
            EXPECT_EQ(barText(chart->bar(1)), bar);
        }
}

// A bass one character longer would not fit a 24-character quality: nothing
// moves, and the first such chord is named.
TEST(Transpose, ABassThatWouldNotFitMovesNothing)
{
    for (const auto& [steps, spelling] : {std::pair{1, Spelling::Keep}, {-1, Spelling::Flats}, {3, Spelling::Key}}) {
        auto chart = test::ChartBuilder().bars({"Dm7", "Cm7(b9,#11,b13)add9,no5/G", "F/C"}).build();
        const Chart before = *chart;
        const Message refused = transpose(*chart, steps, spelling);
        EXPECT_EQ(refused.arguments(), (std::vector<std::string>{"2", "Cm7(b9,#11,b13)add9,no5/G"}));
        EXPECT_EQ(std::memcmp(chart.get(), &before, sizeof before), 0);
        EXPECT_EQ(transposeProblem(before, steps, spelling).arguments(), refused.arguments());
    }
}

// A part is the chart transposed for the instrument, basses too, and spelled
// by its key; the concert part is the chart itself.
TEST(Parts, EachInstrumentReadsItsInterval)
{
    const auto concert = test::ChartBuilder().bars({"Cm7/Bb F/A"}).build();
    struct Row {
        Instrument instrument;
        const char* bar;
    };
    const Row rows[] = {
        {Instrument::Concert, "Cm7/Bb F/A"},
        {Instrument::BFlat, "Dm7/C G/B"},
        {Instrument::EFlat, "Am7/G D/F#"},
        {Instrument::F, "Gm7/F C/E"},
    };
    for (const Row& r : rows) {
        EXPECT_TRUE(partProblem(*concert, r.instrument).empty());
        EXPECT_EQ(barText(partFor(*concert, r.instrument).bar(1)), r.bar);
        Chart part = *concert;
        EXPECT_TRUE(makePart(part, r.instrument).empty());
        EXPECT_EQ(barText(part.bar(1)), r.bar);
    }
    EXPECT_EQ(instrumentNamed("Eb"), Instrument::EFlat);
    EXPECT_FALSE(instrumentNamed("Sib"));

    // No part with a chord that cannot move: the chart stays as it is.
    auto tight = test::ChartBuilder().bars({"C", "Cm7(b9,#11,b13)add9,no5/A"}).build();   // F# for E-flat
    EXPECT_EQ(partProblem(*tight, Instrument::EFlat).arguments(),
              (std::vector<std::string>{"2", "Cm7(b9,#11,b13)add9,no5/A"}));
    EXPECT_TRUE(partProblem(*tight, Instrument::Concert).empty());
    EXPECT_FALSE(makePart(*tight, Instrument::EFlat).empty());
    EXPECT_EQ(barText(tight->bar(1)), "C");
}

} // namespace
} // namespace mavrel
