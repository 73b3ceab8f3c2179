// iReal Pro links: public playlists read into charts, the mapping of bars,
// chords and signs, damaged links refused with their place, and charts that
// come back the same through a link.
#include "document/editing.h"
#include "document/ireal.h"
#include "document/layout.h"
#include "document/leadsheet.h"
#include "document/win1252.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <tuple>

namespace mavrel {
namespace {

std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(MAVREL_TEST_DATA) + "/ireal/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int slotCount(int division) { return division == 1 ? 1 : division == 2 ? 2 : division == 3 ? 4 : 3; }

// "{C7 F7 | % | Gm7 C7 F7 (5) | _]": bars up to the last shown one, with
// their signs; "_" a hidden bar, "(4)"/"(5)" the two ways of three chords.
std::string bars(const Chart& c)
{
    int last = 0;
    for (int i = 1; i <= c.info.count; ++i)
        if (c.bar(i).shown)
            last = i;
    std::string out;
    for (int i = 1; i <= last; ++i) {
        const Bar& b = c.bar(i);
        out += i > 1 ? " | " : "";
        out += b.left == 1 ? "{" : b.left == 2 ? "[" : "";
        if (!b.shown) {
            out += "_";
        } else {
            for (int s = 1; s <= slotCount(b.division); ++s)
                out += (s > 1 ? " " : "") + std::string(rootName(b.slot(s).root, b.slot(s).flat))
                    + win1252::toUtf8(b.slot(s).quality.view());
            if (b.division >= 4)
                out += " (" + std::to_string(b.division) + ")";
        }
        out += b.right == 1 ? "}" : b.right == 2 ? "]" : "";
    }
    return out;
}

// Bars, signs and labels, as a chart file would keep them.
void expectSameChart(const Chart& a, const Chart& b)
{
    EXPECT_EQ(bars(a), bars(b));
    EXPECT_EQ(a.info.columns, b.info.columns);
    EXPECT_EQ(a.info.rows, b.info.rows);
    ASSERT_EQ(a.info.labelCount, b.info.labelCount);
    for (int j = 1; j <= a.info.labelCount; ++j) {
        const TextLabel &x = a.label(j), &y = b.label(j);
        EXPECT_EQ(x.text.str(), y.text.str());
        EXPECT_EQ(std::tie(x.x, x.y, x.size, x.bold), std::tie(y.x, y.y, y.size, y.bold)) << x.text.str();
    }
}

std::unique_ptr<Chart> viaLink(const Chart& chart)
{
    const ireal::Playlist back = ireal::readPlaylist(ireal::toLink(chart));
    EXPECT_EQ(back.songs.size(), 1u);
    ireal::Conversion c = ireal::toChart(back.songs.at(0));
    EXPECT_TRUE(c.error.empty());
    return std::move(c.chart);
}

// One song of clear music in a link, with the characters that end a link
// in a page escaped.
std::string link(std::string_view title, std::string_view music)
{
    std::string out = "irealb://" + std::string(title) + "=Composer==Swing=C==1r34LbKcu7";
    for (char c : ireal::scramble(music))
        out += c == ' ' ? "%20" : c == '<' ? "%3C" : c == '>' ? "%3E" : std::string(1, c);
    return out + "==0=0";
}

ireal::Conversion convert(std::string_view music)
{
    const ireal::Playlist p = ireal::readPlaylist(link("T", music));
    EXPECT_EQ(p.songs.size(), 1u);
    return ireal::toChart(p.songs.at(0));
}

// The section names and words the exporters find beside each bar, "3:B/Fine".
std::string notes(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
    std::string out;
    for (std::size_t i = 0; i < sheet.measures.size(); ++i) {
        const leadsheet::Measure& b = sheet.measures[i];
        if (b.marks.empty() && b.words.empty())
            continue;
        out += (out.empty() ? "" : " ") + std::to_string(i + 1) + ":";
        for (const std::string& m : b.marks)
            out += m;
        for (const std::string& w : b.words)
            out += "/" + w;
    }
    return out;
}

// --- public playlists ----------------------------------------------------------

TEST(IRealImport, PlaylistPageGivesEverySong)
{
    const ireal::Playlist p = ireal::readPlaylist(fixture("jazz-combo.html"));
    EXPECT_EQ(p.name, "Jazz Combo");
    struct Expected {
        const char* title;
        const char* composer;
        const char* style;
        int bars;
    };
    const Expected expected[] = {
        {"Bolivia", "Cedar Walton", "Up Tempo Swing", 32},
        {"Moanin'", "Bobby Timmons", "Medium Swing", 32},
        {"New Bolero", "Jeremy Udden", "Slow Swing", 26},
        {"The Girl From Ipanema", "Antonio-Carlos Jobim", "Bossa Nova", 34},
        {"Song For My Father", "Horace Silver", "Latin", 16},
        {"All Blues", "Miles Davis", "Waltz", 24},
    };
    ASSERT_EQ(p.songs.size(), std::size(expected));
    for (std::size_t i = 0; i < p.songs.size(); ++i) {
        SCOPED_TRACE(expected[i].title);
        const ireal::Conversion c = ireal::toChart(p.songs[i]);
        ASSERT_TRUE(c.chart) << c.error.text();
        const leadsheet::Sheet sheet = leadsheet::read(*c.chart);
        EXPECT_EQ(sheet.title, expected[i].title);
        EXPECT_EQ(sheet.composer, expected[i].composer);
        EXPECT_EQ(sheet.style, expected[i].style);
        EXPECT_EQ(static_cast<int>(sheet.measures.size()), expected[i].bars);
        EXPECT_EQ(c.chart->info.columns, 4);
        EXPECT_EQ(c.chart->info.rows, (expected[i].bars + 3) / 4);
    }
    // Two-bar repeats, N.C. beside a chord, sections, comments and a segno.
    const ireal::Conversion moanin = ireal::toChart(p.songs[1]);
    EXPECT_EQ(bars(*moanin.chart),
              "{Bb | F | Bb | F | Bb | F | Bb | F} | [Bbm7 Ab9 | G7b9 C7#9 | Fm7 | F7b9 B7 | "
              "Bbm7 Ab9 | G7b9 | Gø | C7b9] | {Fm7 Ab7 | G7 C7b9 | Fm7 Ab7 | G7 C7b9 | Fm7 Ab7 | "
              "G7 C7b9 | Fm7 Ab7 | G7 C7b9} | [Bbm7 Ab9 | G7b9 C7#9 | Fm7 | F7b9 B7 | Bbm7 Ab9 | "
              "G7b9 | Gø | C7b9]");
    EXPECT_EQ(notes(*moanin.chart), "1:A 8:/Fine 9:B 16:/D.C. al Fine 17:A/Segno Solos: 24:/Fine "
                                    "25:B 32:/D.S. al Fine");
    EXPECT_EQ(moanin.warnings.size(), 2u);
    // Endings, bar repeats and a section that starts inside a row.
    const ireal::Conversion ipanema = ireal::toChart(p.songs[3]);
    EXPECT_EQ(bars(*ipanema.chart),
              "{FM7 | % | G7#11 | % | Gm7 | Gb7#11 | FM7 | Gb7} | FM7 | %] | [F#M7 | % | B7 | % | "
              "F#m7 | % | D7 | % | Gm7 | % | Eb7 | % | Am7 | D7b9b5 | Gm7 | C7b9b5] | [FM7 | % | "
              "G7#11 | % | Gm7 | Gb7#11 | FM7 | Gb7]");
    EXPECT_EQ(notes(*ipanema.chart), "1:A 7:/1. 9:/2. 11:B 27:A");
    EXPECT_EQ(notes(*ireal::toChart(p.songs[5]).chart), "1:/3/4");
}

// Links from the test data of the MIT-licensed ireal-reader
// (github.com/pianosnake/ireal-reader, spec/fixtures.js: "tiny" and "short")
// and ireal-musicxml (test/data/irealbook.txt).
TEST(IRealImport, PublicLinks)
{
    struct Case {
        const char* link;
        const char* title;
        const char* bars;
        const char* notes;
    };
    const Case cases[] = {
        {"irealb://%54=%66==%41%66%72%6F=%43==%31%72%33%34%4C%62%4B%63%75%37,%37%47,%2D%20%3E%43,"
         "%44,%37%42,%2D%23%46,%47%7C,%37%44,%41%2D,%45,%2D%45%7C,%37%42,%2D%23%46,%45%2D,%7C%44%3C"
         "%34%33%54%7C%43,%44%2D%37,%7C%46,%47%37,%43%20%7C%20==%31%34%30=%33",
         "T", "C D F#m B7 | Em E Am D7 | G F#m B7 Em | Dm G7 C Dm7 | F G7 C (5)", "1:/3/4"},
        {"irealb://%43%72%61%69%67%73%6C%69%73%74%6C%69%65%64%65%72=%43%6F%6D%70%6F%73%65%72%20%55"
         "%6E%6B%6E%6F%77%6E==%4D%65%64%69%75%6D%20%53%77%69%6E%67=%43==%31%72%33%34%4C%62%4B%63%75"
         "%37%5B%54%33%34%44%2A%6D%2A%58%79%51%7C%43%2A%6D%2A,%45%20%4C%5A%44%37%58%79%51%7C%42%58"
         "%79%51%5A%20==%30=%30",
         "Craigslistlieder", "[Dm | Cm E | D7 | B]", "1:/3/4"},
        {"irealbook://Volare%3DModugno%20Domenico%3DMedium%20Swing%3DC%3Dn%3D%5B*AT44C%20%20%20%7CC"
         "%23o7%20%20%20%7CD-7%20%20%20%7CD-7%20G7%20%7CD-7%20%20%20%7CG7%20%20%20%7CC%20G7%20%7CC"
         "%20%20%20%5D%5B*BC/E%20%20%20%7CEbo7%20%20%20%7CD-7%20%20%20%7CD-7%20%20%20%7CD7%20%20"
         "%20%7CA-7%20D7%20%7CG7%20%20%20%7CG7%20A7b9%20%5D%5B*CD-7%20%20%20%7CD-7%20A7b9%20%7C"
         "D-7%20%20%20%7CD-7%20G7%20%7CC%20C%5E7%20%7CC6%20G7%20%7CA-7%20%20%20%7CA-7%20%20%20%5D",
         "Volare",
         "[C | C#dim7 | Dm7 | Dm7 G7 | Dm7 | G7 | C G7 | C] | [C/E | Ebdim7 | Dm7 | Dm7 | D7 | "
         "Am7 D7 | G7 | G7 A7b9] | [Dm7 | Dm7 A7b9 | Dm7 | Dm7 G7 | C CM7 | C6 G7 | Am7 | Am7]",
         "1:A 9:B 17:C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const ireal::Playlist p = ireal::readPlaylist(c.link);
        ASSERT_EQ(p.songs.size(), 1u);
        EXPECT_EQ(p.songs[0].title, c.title);
        const ireal::Conversion conv = ireal::toChart(p.songs[0]);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(bars(*conv.chart), c.bars);
        EXPECT_EQ(notes(*conv.chart), c.notes);
    }
}

// --- mapping -------------------------------------------------------------------

TEST(IRealImport, MusicMapsOntoBars)
{
    struct Case {
        const char* music;
        const char* bars;
    };
    const Case cases[] = {
        // Qualities by the chord dialog's list, flat and sharp roots.
        {"[C|D-|E^7|F-7|Gh7|Ao|B6|Db9|Eb-6|Gh|A^|F#-7b5]",
         "[C | Dm | EM7 | Fm7 | Gø | Adim | B6 | Db9 | Ebm6 | Gø | A | F#m7b5]"},
        // Three chords: the longer one takes half the bar; empty cells count,
        // small chords keep one beat, the first large one takes what is left.
        {"|C7 F7,G7|C7,F7,G7 |sC7,F7,lG7|C7,F7,G7|", "C7 F7 G7 (5) | C7 F7 G7 (4) | C7 F7 G7 (4) | C7 F7 G7 (5)"},
        // Repeats of one and two bars, slashes and an invisible root.
        {"[C |x |D |r | |pE |W/G ]", "[C | % | D | C | D | D E | E/G]"},
        // N.C. alone leaves its bar blank; iReal's own quality text; signs.
        {"{C(Db7)|n|D*m*}[E*maj*|F/Bb Z", "{C | _ | Dm} | [Emaj | F/Bb]"},
        // Cells outside bars lay the row out; "||" holds no bar.
        {"[C ]   |D ||E Z", "[C] | D | E]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.music);
        const ireal::Conversion conv = convert(c.music);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(bars(*conv.chart), c.bars);
        EXPECT_TRUE(conv.warnings.empty()) << conv.warnings.front().text();
    }
}

TEST(IRealImport, WhatTheChartCannotHoldIsSaid)
{
    struct Case {
        const char* music;
        const char* bars;
        const char* warning;
    };
    const Case cases[] = {
        {"[C,D,E,F,G]", "[C D E F]", "« T » : mesure 1 : 5 accords, seuls les 4 premiers sont gardés."},
        {"[C-7b9b13/Bb]", "[Cm7b9b13]",
         "« T » : mesure 1 : la basse de « m7b9b13/Bb » ne tient pas en 8 caractères, elle est omise."},
        {"[C7b9#9#11b13]", "[C7b9#9#11]", "« T » : mesure 1 : « 7b9#9#11b13 » est coupé à 8 caractères."},
        {"|D|n,C]", "D | C]", "« T » : mesure 2 : « N.C. » n'a pas de place parmi les accords, il est omis."},
    };
    for (const Case& c : cases) {
        const ireal::Conversion conv = convert(c.music);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(bars(*conv.chart), c.bars);
        ASSERT_EQ(conv.warnings.size(), 1u);
        EXPECT_EQ(conv.warnings[0].text(), c.warning);
    }
}

TEST(IRealImport, DamagedLinksAreRefusedWithTheirPlace)
{
    std::string long_ = "[";
    for (int i = 0; i < 501; ++i)
        long_ += "C|";
    struct Case {
        std::string link;
        const char* error;
    };
    const Case cases[] = {
        {"irealb://Ok=C==S=C==1r34LbKcu7[C]==0=0===Bad%G1=C==S=C==1r34LbKcu7[C]==0=0===",
         "« Bad%G1 » : séquence « %G1 » invalide au caractère 36 du lien."},
        {"irealb://Short=C==Swing", "« Short » : 4 champs séparés par « = », il en faut au moins 7."},
        {"irealb://Plain=C==S=C==[C|D]==0=0", "« Plain » : la musique ne commence pas par « 1r34LbKcu7 »."},
        {link("T", "[C|?]"), "« T » : signe « ? » inconnu (mesure 2, caractère 4 de la musique)."},
        {link("T", "[C|H7]"),
         "« T » : accord « H » de fondamentale inconnue (mesure 2, caractère 4 de la musique)."},
        {link("T", "[C/H]"),
         "« T » : basse « /H » de fondamentale inconnue (mesure 1, caractère 3 de la musique)."},
        {link("T", "[C<Fine]"), "« T » : commentaire sans « > » (mesure 1, caractère 3 de la musique)."},
        {link("T", "[C|r]"),
         "« T » : « r » répète deux mesures et n'en a que 1 avant lui (mesure 2, caractère 3 de la musique)."},
        {link("T", long_), "« T » : 501 mesures, une grille en tient au plus 500."},
        {link("T", ""), "« T » : la chanson n'a aucune mesure."},
    };
    for (const Case& c : cases) {
        const ireal::Playlist p = ireal::readPlaylist(c.link);
        ASSERT_FALSE(p.songs.empty()) << c.link;
        const ireal::Conversion conv = ireal::toChart(p.songs.back());
        EXPECT_FALSE(conv.chart);
        EXPECT_EQ(conv.error.text(), c.error);
        // Other songs of the playlist are not affected.
        if (p.songs.size() > 1) {
            EXPECT_TRUE(ireal::toChart(p.songs.front()).chart);
        }
    }
    EXPECT_TRUE(ireal::readPlaylist("<html>no link here</html>").songs.empty());
}

// --- round trips ---------------------------------------------------------------

TEST(IRealRoundTrip, ImportedSongsComeBackTheSame)
{
    std::vector<ireal::Song> songs = ireal::readPlaylist(fixture("jazz-combo.html")).songs;
    songs.push_back(ireal::readPlaylist(link("Signs", "{C D,E,F|x|G A7 }[*BD-7|N1 E7}|N2<Fine>F S Q Z")).songs[0]);
    // Bars of silence, also at the end of a row and of the song.
    songs.push_back(ireal::readPlaylist(link("Rests", "[C|n|D|E|n Z")).songs[0]);
    songs.push_back(ireal::readPlaylist(link("Silence", "[n Z")).songs[0]);
    for (const ireal::Song& song : songs) {
        SCOPED_TRACE(song.title);
        const ireal::Conversion first = ireal::toChart(song);
        ASSERT_TRUE(first.chart) << first.error.text();
        const auto second = viaLink(*first.chart);
        ASSERT_TRUE(second);
        expectSameChart(*first.chart, *second);
    }
}

TEST(IRealRoundTrip, ChartKeepsEveryChordALinkCanHold)
{
    const ireal::Conversion made = convert("[C|x]");
    Chart chart = *made.chart;
    chart.info.rows = 3;   // 12 bars
    chart.info.labelCount = 1;   // the title alone: no composer, no style
    layoutChart(chart);
    const char* qualities[] = {"", "m", "7", "M7", "m7", "\xF8", "dim", "6", "9", "m6", "7sus",
                               "m7b5", "13#11", "7/G", "mM7", "dim7", "+", "Blues"};
    int q = 0;
    for (int i = 1; i <= 12; ++i) {
        Bar& b = chart.bar(i);
        b.shown = 1;
        b.division = static_cast<std::uint8_t>(i % 5 + 1);
        for (int s = 1; s <= slotCount(b.division); ++s, ++q) {
            b.slot(s).root = static_cast<std::uint8_t>(q % 12 + 1);
            b.slot(s).flat = q % 2;
            b.slot(s).quality.assign(qualities[q % std::size(qualities)]);
        }
    }
    chart.bar(1).left = 1;
    chart.bar(4).right = 1;
    chart.bar(5).left = 2;
    chart.bar(8).right = 2;
    chart.bar(9).shown = 0;
    chart.bar(10).division = 1;
    chart.bar(10).slot(1).root = 0;
    chart.bar(10).slot(1).quality.clear();
    const auto back = viaLink(chart);
    ASSERT_TRUE(back);
    EXPECT_EQ(bars(*back), bars(chart));
    const leadsheet::Sheet sheet = leadsheet::read(*back);
    EXPECT_EQ(sheet.composer, "");
    EXPECT_EQ(sheet.style, "Medium Swing");
}

// --- file names ------------------------------------------------------------------

TEST(IRealImport, ChartFileNames)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"Autumn Leaves", 1, "Autumn Leaves.bab"},
        {"AC/DC: Back? \"Live\" <1>|*", 1, "AC_DC_ Back_ _Live_ _1___.bab"},
        {"..hidden. ", 1, "hidden.bab"},
        {"", 1, "Sans titre.bab"},
        {"Été", 1, "Été.bab"},
        {"Blues", 3, "Blues (3).bab"},
        {"\x1b]0;T\x07\xc2\x9b" "2J", 1, "_]0;T__2J.bab"},
    };
    for (const auto& [title, number, name] : cases)
        EXPECT_EQ(ireal::chartFileName(title, number), name);
    EXPECT_EQ(ireal::chartFileName(std::string(200, 'a')).size(), 124u);
}

} // namespace
} // namespace mavrel
