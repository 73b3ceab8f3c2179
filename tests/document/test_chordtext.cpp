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
        // N.C. ends with its own dot: a second one puts it on the half bar.
        {"N.C. N.C. C", 4, {"N.C.", "N.C.", "C"}},
        {"N.C.. G7 C7", 5, {"N.C.", "G7", "C7"}},
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

// A bar typed with its signs and marks is stored, then shown as the box
// shows it: written in one order, read back to the same bytes.
TEST(ChordText, MarksAroundTheChordsComeBackAsTyped)
{
    struct Row {
        const char* typed;
        const char* shown;
    };
    const Row rows[] = {
        {"[A] Dm7 G7", "[A] Dm7 G7"},
        {"[ Verse 2 ] C", "[Verse 2] C"},
        {"[Refrain] C", "[Refrain] C"},
        {"[\xC3\x89t\xC3\xA9] C", "[\xC3\x89t\xC3\xA9] C"},   // UTF-8, not the chords' character set
        {"|: C :|", "|: C :|"},
        {"|| C ||", "|| C ||"},
        {"C :| 2.", "2. C :|"},
        {"Q S 1. [B] C", "[B] 1. S Q C"},
        {"3/4 C", "3/4 C"},
        {"C 12/8", "12/8 C"},
        {"C f", "C f"},
        {"Dm7. G7 C7 f <D.S. al Coda>", "Dm7. G7 C7 f <D.S. al Coda>"},
        {"C <ds al coda>", "C <D.S. al Coda>"},
        {"C <tocoda>", "C <To Coda>"},
        {"<Fine> C", "C <Fine>"},
        {"N.C. <D.C. al Fine>", "N.C. <D.C. al Fine>"},
        {"[Intro] 1. S Q |: 5/4 A7sus4(b9) C7b9#11b13 f :| <D.C.>",
         "[Intro] 1. S Q |: 5/4 A7sus4(b9) C7b9#11b13 f :| <D.C.>"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const TypedBar typed = readBar(r.typed);
        ASSERT_TRUE(typed.error.empty()) << typed.error.text();
        Bar bar = blankBar();
        BarMarks marks{};
        storeTypedBar(bar, marks, typed);
        EXPECT_EQ(barText(bar, marks), r.shown);
        const TypedBar again = readBar(barText(bar, marks));
        ASSERT_TRUE(again.error.empty()) << again.error.text();
        Bar bar2 = blankBar();
        BarMarks marks2{};
        storeTypedBar(bar2, marks2, again);
        EXPECT_EQ(std::memcmp(&bar, &bar2, sizeof bar), 0);
        EXPECT_EQ(std::memcmp(&marks, &marks2, sizeof marks), 0);
    }

    // Where each mark goes.
    const TypedBar t = readBar("[A] 2. S || 3/4 Dm7 G7 f :| <To Coda>");
    ASSERT_TRUE(t.error.empty()) << t.error.text();
    EXPECT_EQ(t.marks.section.view(), "A");
    EXPECT_EQ(t.marks.ending, 2);
    EXPECT_EQ(t.marks.flags, SegnoFlag | FermataFlag);
    EXPECT_EQ(t.marks.time, (TimeSignature{3, 4}));
    EXPECT_EQ(t.marks.direction, Direction::ToCoda);
    EXPECT_EQ(t.left, 2);
    EXPECT_EQ(t.right, 1);
    EXPECT_EQ(t.count, 2);
}

TEST(ChordText, MarksThatMakeNoSenseAreRefused)
{
    struct Row {
        const char* typed;
        const char* says;
    };
    const Row rows[] = {
        {"[A]", "au moins un accord"},
        {"C [A] D", "pas entre eux"},
        {"[A] [B] C", "déjà"},
        {"|: || C", "déjà"},
        {"C :| ||", "déjà"},
        {"1. 2. C", "déjà"},
        {"S S C", "déjà"},
        {"3/4 C 4/4", "déjà"},
        {"[Intro C", "« ] »"},
        {"[ ] C", "un nom"},
        {"[Introduction longue] C", "15 octets"},
        {"C <Coda>", "<To Coda>"},
        {"C <D.S.", "<To Coda>"},
        {"4. C", "1., 2. ou 3."},
        {"3/5 C", "chiffrage"},
        {"17/4 C", "chiffrage"},
        {"f C", "de A à G"},
        {"C\x1B[A]", "contrôle"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const std::string error = readBar(r.typed).error.text();
        EXPECT_NE(error.find(r.says), std::string::npos) << error;
    }
}

// What the text cannot show stays; what it shows is replaced by what was typed.
TEST(ChordText, StoringATypedBarKeepsWhatItsTextCannotShow)
{
    Bar bar = blankBar();
    bar.left = 7;
    bar.right = 2;
    bar.top = 1;
    bar.bottom = 1;
    BarMarks marks{};
    setText(marks.section, "A]");
    marks.ending = 9;
    marks.flags = 0x30 | SegnoFlag;
    marks.direction = static_cast<Direction>(77);
    marks.time = {3, 0};
    EXPECT_EQ(barText(bar, marks), "S % ||");

    const Bar before = bar;
    const BarMarks marksBefore = marks;
    storeTypedBar(bar, marks, readBar("Dm7"));
    EXPECT_EQ(barText(bar), "Dm7");
    EXPECT_EQ(bar.left, 7);
    EXPECT_EQ(bar.right, 0);
    EXPECT_EQ(bar.top + bar.bottom, 2);
    EXPECT_EQ(marks.section.view(), "A]");
    EXPECT_EQ(marks.ending, 9);
    EXPECT_EQ(marks.flags, 0x30);
    EXPECT_EQ(int(marks.direction), 77);
    EXPECT_EQ(marks.time, (TimeSignature{3, 0}));

    bar = before;
    marks = marksBefore;
    storeTypedBar(bar, marks, readBar("[B] 1. |: 2/4 Dm7 <Fine>"));
    EXPECT_EQ(barText(bar, marks), "[B] 1. |: 2/4 Dm7 <Fine>");
    EXPECT_EQ(marks.flags, 0x30);
}

TEST(ChordText, KeysAsMusiciansWriteThem)
{
    struct Row {
        const char* typed;
        Key key;
        const char* shown;
    };
    const Row rows[] = {
        {"C", {1, 1, 0}, "C"},   // C major takes flats, A minor sharps
        {"Am", {10, 0, 1}, "Am"},
        {"Bb", {11, 1, 0}, "Bb"},
        {"F#m", {7, 0, 1}, "F#m"},
        {"Db", {2, 1, 0}, "Db"},
        {"E\xE2\x99\xAD" "m", {4, 1, 1}, "Ebm"},
        {" G ", {8, 0, 0}, "G"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        EXPECT_EQ(readKey(r.typed), r.key);
        EXPECT_EQ(keyText(r.key), r.shown);
        EXPECT_EQ(readKey(keyText(r.key)), r.key);
    }
    for (const char* typed : {"", "H", "Fb", "B#m", "Cmaj", "Gmm", "c"})
        EXPECT_TRUE(readKey(typed).empty()) << typed;
    EXPECT_EQ(keyText({}), "");
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
