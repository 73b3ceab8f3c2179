// iReal Pro links: public playlists read into charts, the mapping of bars,
// chords and signs, damaged links refused with their place, and charts that
// come back the same through a link.
#include "document/editing.h"
#include "document/ireal.h"
#include "document/layout.h"
#include "document/leadsheet.h"
#include "document/win1252.h"
#include "support/formchart.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <vector>

namespace mavrel {
namespace {

std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(MAVREL_TEST_DATA) + "/ireal/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int slotCount(int division) { return division == 1 ? 1 : division == 2 ? 2 : division == 3 ? 4 : 3; }

// "{C7 F7 | % | Gm7 C7 F7 (5) | N.C. | _]": bars up to the last shown one,
// with their signs; "_" a hidden bar, "(4)"/"(5)" the two ways of three
// chords.
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
                out += (s > 1 ? " " : "") + win1252::toUtf8(chordText(b.slot(s)));
            if (b.division >= 4)
                out += " (" + std::to_string(b.division) + ")";
        }
        out += b.right == 1 ? "}" : b.right == 2 ? "]" : "";
    }
    return out;
}

// The song's marks bar by bar, much as a link writes them: "T34" (the song's
// meter), then "9:*AT44" for bar 9 with its section and meter, "N1" an
// ending, "S", "Q" (the coda), "f", "<D.S. al Coda>" a direction.
std::string form(const Chart& c)
{
    auto meter = [](TimeSignature t) { return "T" + std::to_string(t.beats) + std::to_string(t.unit); };
    std::string out = c.song.time.empty() ? "" : meter(c.song.time);
    for (int i = 1; i <= c.info.count; ++i) {
        const BarMarks& m = c.song.bar(i);
        if (m.empty())
            continue;
        out += (out.empty() ? "" : " ") + std::to_string(i) + ":";
        out += m.section.size() ? "*" + m.section.str() : "";
        out += m.time.empty() ? "" : meter(m.time);
        out += m.ending ? "N" + std::to_string(m.ending) : "";
        out += std::string(m.flags & SegnoFlag ? "S" : "") + (m.flags & CodaFlag ? "Q" : "")
            + (m.flags & FermataFlag ? "f" : "");
        out += m.direction == Direction::None ? "" : "<" + std::string(directionText(m.direction)) + ">";
    }
    return out;
}

// "Moanin'|Bobby Timmons|Medium Swing|Fm|0": title, composer, style, key
// ("-" when not set) and tempo.
std::string header(const Chart& c)
{
    const Key& k = c.song.key;
    const std::string key = k.empty() ? "-" : std::string(rootName(k.tonic, k.flat)) + (k.minor ? "m" : "");
    return c.song.title.str() + "|" + c.song.composer.str() + "|" + c.song.style.str() + "|" + key + "|"
        + std::to_string(c.song.tempo);
}

// The labels' texts, "Title/Style/Composer/Solos:".
std::string labels(const Chart& c)
{
    std::string out;
    for (int j = 1; j <= c.info.labelCount; ++j)
        out += (j > 1 ? "/" : "") + win1252::toUtf8(c.label(j).text.view());
    return out;
}

// Bars, signs, labels and the song's information, as a chart file would keep
// them.
void expectSameChart(const Chart& a, const Chart& b)
{
    EXPECT_EQ(bars(a), bars(b));
    EXPECT_EQ(a.info.columns, b.info.columns);
    EXPECT_EQ(a.info.rows, b.info.rows);
    ASSERT_EQ(labels(a), labels(b));
    for (int j = 1; j <= a.info.labelCount; ++j) {
        const TextLabel &x = a.label(j), &y = b.label(j);
        EXPECT_EQ(std::tie(x.x, x.y, x.size, x.bold), std::tie(y.x, y.y, y.size, y.bold)) << x.text.str();
    }
    EXPECT_EQ(header(a), header(b));
    EXPECT_EQ(form(a), form(b));
    EXPECT_EQ(std::memcmp(&a.song, &b.song, sizeof(SongInfo)), 0);
}

std::unique_ptr<Chart> viaLink(const Chart& chart)
{
    const ireal::Playlist back = ireal::readPlaylist(ireal::toLink(chart));
    EXPECT_EQ(back.songs.size(), 1u);
    ireal::Conversion c = ireal::toChart(back.songs.at(0));
    EXPECT_TRUE(c.error.empty());
    return std::move(c.chart);
}

// One song of clear music in a link, with white space, control characters
// and what ends a link in a page escaped.
std::string link(std::string_view title, std::string_view music)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out = "irealb://" + std::string(title) + "=Composer==Swing=C==1r34LbKcu7";
    for (const char c : ireal::scramble(music)) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F || c == '<' || c == '>' || c == '"')
            out += std::string("%") + Hex[b >> 4] + Hex[b & 15];
        else
            out += c;
    }
    return out + "==0=0";
}

ireal::Conversion convert(std::string_view music)
{
    const ireal::Playlist p = ireal::readPlaylist(link("T", music));
    EXPECT_EQ(p.songs.size(), 1u);
    return ireal::toChart(p.songs.at(0));
}

// The warnings, one a line.
std::string joined(const std::vector<Message>& messages)
{
    std::string out;
    for (const Message& m : messages)
        out += (out.empty() ? "" : "\n") + m.text();
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
    // Two-bar repeats, N.C. beside a chord.
    const ireal::Conversion moanin = ireal::toChart(p.songs[1]);
    EXPECT_EQ(bars(*moanin.chart),
              "{N.C. Bb | F N.C. | N.C. Bb | F N.C. | N.C. Bb | F N.C. | N.C. Bb | F N.C.} | [Bbm7 Ab9 | G7b9 C7#9 | Fm7 | F7b9 B7 | "
              "Bbm7 Ab9 | G7b9 | Gø | C7b9] | {Fm7 Ab7 | G7 C7b9 | Fm7 Ab7 | G7 C7b9 | Fm7 Ab7 | "
              "G7 C7b9 | Fm7 Ab7 | G7 C7b9} | [Bbm7 Ab9 | G7b9 C7#9 | Fm7 | F7b9 B7 | Bbm7 Ab9 | "
              "G7b9 | Gø | C7b9]");
    EXPECT_TRUE(moanin.warnings.empty()) << joined(moanin.warnings);
    // Bar repeats, and bars of empty cells that hold no bar.
    const ireal::Conversion ipanema = ireal::toChart(p.songs[3]);
    EXPECT_EQ(bars(*ipanema.chart),
              "{FM7 | % | G7#11 | % | Gm7 | Gb7#11 | FM7 | Gb7} | FM7 | %] | [F#M7 | % | B7 | % | "
              "F#m7 | % | D7 | % | Gm7 | % | Eb7 | % | Am7 | D7b9b5 | Gm7 | C7b9b5] | [FM7 | % | "
              "G7#11 | % | Gm7 | Gb7#11 | FM7 | Gb7]");
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
        const char* form;
    };
    const Case cases[] = {
        {"irealb://%54=%66==%41%66%72%6F=%43==%31%72%33%34%4C%62%4B%63%75%37,%37%47,%2D%20%3E%43,"
         "%44,%37%42,%2D%23%46,%47%7C,%37%44,%41%2D,%45,%2D%45%7C,%37%42,%2D%23%46,%45%2D,%7C%44%3C"
         "%34%33%54%7C%43,%44%2D%37,%7C%46,%47%37,%43%20%7C%20==%31%34%30=%33",
         "T", "C D F#m B7 | Em E Am D7 | G F#m B7 Em | Dm G7 C Dm7 | F G7 C (4)", "T34"},
        {"irealb://%43%72%61%69%67%73%6C%69%73%74%6C%69%65%64%65%72=%43%6F%6D%70%6F%73%65%72%20%55"
         "%6E%6B%6E%6F%77%6E==%4D%65%64%69%75%6D%20%53%77%69%6E%67=%43==%31%72%33%34%4C%62%4B%63%75"
         "%37%5B%54%33%34%44%2A%6D%2A%58%79%51%7C%43%2A%6D%2A,%45%20%4C%5A%44%37%58%79%51%7C%42%58"
         "%79%51%5A%20==%30=%30",
         "Craigslistlieder", "[Dm | Cm E | D7 | B]", "T34"},
        {"irealbook://Volare%3DModugno%20Domenico%3DMedium%20Swing%3DC%3Dn%3D%5B*AT44C%20%20%20%7CC"
         "%23o7%20%20%20%7CD-7%20%20%20%7CD-7%20G7%20%7CD-7%20%20%20%7CG7%20%20%20%7CC%20G7%20%7CC"
         "%20%20%20%5D%5B*BC/E%20%20%20%7CEbo7%20%20%20%7CD-7%20%20%20%7CD-7%20%20%20%7CD7%20%20"
         "%20%7CA-7%20D7%20%7CG7%20%20%20%7CG7%20A7b9%20%5D%5B*CD-7%20%20%20%7CD-7%20A7b9%20%7C"
         "D-7%20%20%20%7CD-7%20G7%20%7CC%20C%5E7%20%7CC6%20G7%20%7CA-7%20%20%20%7CA-7%20%20%20%5D",
         "Volare",
         "[C | C#dim7 | Dm7 | Dm7 G7 | Dm7 | G7 | C G7 | C] | [C/E | Ebdim7 | Dm7 | Dm7 | D7 | "
         "Am7 D7 | G7 | G7 A7b9] | [Dm7 | Dm7 A7b9 | Dm7 | Dm7 G7 | C CM7 | C6 G7 | Am7 | Am7]",
         "T44 1:*A 9:*B 17:*C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const ireal::Playlist p = ireal::readPlaylist(c.link);
        ASSERT_EQ(p.songs.size(), 1u);
        EXPECT_EQ(p.songs[0].title, c.title);
        const ireal::Conversion conv = ireal::toChart(p.songs[0]);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(bars(*conv.chart), c.bars);
        EXPECT_EQ(form(*conv.chart), c.form);
    }
}

// The song's information in real links, as read by hand in them: the
// header's fields, and the marks of the form bar by bar. Of two coda signs
// the first says "To Coda"; a bar holding "D.C. al Coda" says it in words.
TEST(IRealImport, SongInformationAsTheLinksGiveIt)
{
    struct Case {
        const char* file;
        const char* title;
        const char* header;
        const char* form;
        const char* labels;
        const char* warning;   // one of the warnings, or none
    };
    const Case cases[] = {
        {"jazz-combo.html", "Moanin'", "Moanin'|Bobby Timmons|Medium Swing|Fm|0",
         "T44 1:*A 8:<Fine> 9:*B 16:<D.C. al Fine> 17:*AS 24:<Fine> 25:*B 32:<D.S. al Fine>",
         "Moanin'/Medium Swing/Bobby Timmons/Solos:", ""},
        {"jazz-combo.html", "The Girl From Ipanema", "The Girl From Ipanema|Antonio-Carlos Jobim|Bossa Nova|F|0",
         "T44 1:*A 7:N1 8:N1 9:N2 10:N2 11:*B 27:*A", "The Girl From Ipanema/Bossa Nova/Antonio-Carlos Jobim", ""},
        // The meter is first written on bar 9.
        {"jazz-combo.html", "Bolivia", "Bolivia|Cedar Walton|Up Tempo Swing|D|0", "1:*Intro 9:*AT44 25:*B",
         "Bolivia/Up Tempo Swing/Cedar Walton",
         "« Bolivia » : mesure 8 : l'accord de remplacement « E^ » n'est pas gardé."},
        {"jazz-combo.html", "All Blues", "All Blues|Miles Davis|Waltz|G|0", "T34", "All Blues/Waltz/Miles Davis", ""},
        {"still-the-one.html", "You're Still The One", "You're Still The One|Shania Twain|Rock Ballad|C|155",
         "T44 1:*Intro 5:*A 13:S 21:*B 28:N1 29:N2<D.S. al Coda> 30:Q 33:f",
         "You're Still The One/Rock Ballad/Shania Twain", ""},
        {"pyrealparser.txt", "Test", "Test|Testy McTest|Up Tempo Swing|Eb|0",
         "T44 1:*A 15:N1 16:N1 17:N2 18:N2 19:*B 35:N3 36:N3",
         "Test/Up Tempo Swing/Testy McTest/D.C. al 3rd End.", ""},
        {"country.txt", "Jackson", "Jackson|Johnny Cash-June Carter (Leiber-Wheeler)|Country|C|235",
         "T44 1:*Intro 5:*AS 21:*B 26:<To Coda> 27:N1 28:N1 29:N1 30:N1 31:N1 32:N1 33:N1 34:N1 35:N2 36:N2 "
         "37:N2 38:N2 39:N2 40:N2 41:N2 42:N3 43:N3 44:N3 45:N3 46:N3 47:N3 48:N3 49:N3 58:<D.S. al Coda> 60:Q",
         "Jackson/Country/Johnny Cash-June Carter (Leiber-Wheeler)/4.",
         "« Jackson » : mesure 50 : le crochet de fin « N0 » n'est pas gardé : une grille a les fins 1 à 3, "
         "une par mesure."},
        {"country.txt", "I Fall To Pieces", "I Fall To Pieces|Patsy Cline (Cochran-Howard)|Slow Swing|Bb|116",
         "T44 1:*Intro 5:*A 13:*B 28:<D.C. al Coda> 29:Q",
         "I Fall To Pieces/Slow Swing/Patsy Cline (Cochran-Howard)/To Coda",
         "« I Fall To Pieces » : l'accompagnement d'iReal Pro « Jazz-Slow Swing » n'est pas gardé."},
        {"strange.html", "Strange Times", "Strange Times|infojunkie|Medium Swing|C|0", "T54",
         "Strange Times/Medium Swing/infojunkie/8x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const ireal::Playlist p = ireal::readPlaylist(fixture(c.file));
        const auto song = std::find_if(p.songs.begin(), p.songs.end(), [&](const ireal::Song& s) { return s.title == c.title; });
        ASSERT_NE(song, p.songs.end());
        const ireal::Conversion conv = ireal::toChart(*song);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(header(*conv.chart), c.header);
        EXPECT_EQ(form(*conv.chart), c.form);
        EXPECT_EQ(labels(*conv.chart), c.labels);
        const std::string warnings = joined(conv.warnings);
        EXPECT_NE(warnings.find(c.warning), std::string::npos) << warnings;
    }
}

// Real songs from public playlists and readers' tests (see data/ireal/README):
// none refused but the ones holding no chord, bar counts and chords as
// counted by hand in the links, and every chart back the same through its
// own link.
TEST(IRealImport, RealSongsAreAllRead)
{
    struct Check {
        const char* title;
        int bars;
        const char* has;   // a stretch of bars(), signs included
    };
    struct File {
        const char* name;
        std::size_t songs;
        const char* playlist;
        std::vector<const char*> empty;   // songs without a chord, refused
        std::vector<Check> checks;
    };
    const File files[] = {
        {"jazz-combo.html", 6, "Jazz Combo", {}, {}},
        {"country.txt", 50, "Country 50", {},
         {{"Blue Moon of Kentucky", 36, "[C | C7 | F7 | % | C | G7 | C | %] | {C | C7"},
          {"Crazy", 30, "Cm7 F13] | {Bb Ab7 | G7 |"},
          {"Crazy", 30, "| Bb A Bb B | C |"},
          {"Coal Miner's Daughter", 55, "[D | A7 A7/B A7/C# (5) | D | D D/A D/B D/C#]"},
          {"Cold Cold Heart", 25, "| D G G# (5) | A7 |"}}},
        {"brendan.html", 7, "",
         {"(Everything I Do) I Do It For You", "50 Ways to Leave Your Lover"},
         {{"24K Magic", 30, "Gm11 GbM9#11 | N.C. | N.C.] | {F9sus | Bbm7"},
          {"24K Magic", 30, "| Bbm7 DbM7 C+ (5) |"},
          {"24K Magic", 30, "| Bbm7 Cm7 DbM7 Eb | {N.C. Cm7 Bbm7 (5) | Bbm7} | DbM7 Bbsus/F |"}}},
        {"still-the-one.html", 1, "", {},
         {{"You're Still The One", 33, "{D | D/F# | G | A} | {D | D/F# | G | A} | D | D/F# |"}}},
        {"strange.html", 1, "", {},
         {{"Strange Times", 3, "{Dm7 A7 D7 G7 | D7 G7 G7/A CM7 | D7 G7 CM7 (5)}"}}},
        {"pyrealparser.txt", 2, "", {},
         {{"Test", 36, "[Bbm7 | Eb7 | Bbm7 | Eb7 | Bbm7 | Eb7 | Bbm6 |"},
          {"As Long As I Live", 26, "[FM7 | Eø A7b9 | D7 |"}}},
    };
    for (const File& f : files) {
        SCOPED_TRACE(f.name);
        const ireal::Playlist p = ireal::readPlaylist(fixture(f.name));
        EXPECT_EQ(p.songs.size(), f.songs);
        EXPECT_EQ(p.name, f.playlist);
        for (const ireal::Song& song : p.songs) {
            SCOPED_TRACE(song.title);
            const ireal::Conversion c = ireal::toChart(song);
            const bool empty = std::find(f.empty.begin(), f.empty.end(), song.title) != f.empty.end();
            if (empty) {
                EXPECT_EQ(c.error.text(), "« " + song.title + " » : la chanson n'a aucune mesure.");
                continue;
            }
            ASSERT_TRUE(c.chart) << c.error.text();
            const std::string read = bars(*c.chart);
            for (const Check& check : f.checks) {
                if (song.title != check.title)
                    continue;
                EXPECT_EQ(static_cast<int>(leadsheet::read(*c.chart).measures.size()), check.bars);
                EXPECT_NE(read.find(check.has), std::string::npos) << check.has << "\n" << read;
            }
            const auto back = viaLink(*c.chart);
            ASSERT_TRUE(back);
            expectSameChart(*c.chart, *back);
        }
    }
}

TEST(IRealImport, LinksHoldManySongs)
{
    const std::string song = "=Me=Swing=C=n=[C]";
    struct Case {
        std::string text;
        const char* titles;
        const char* playlist;
    };
    const Case cases[] = {
        // Older links: six fields a song, and maybe the playlist's name.
        {"irealbook://A" + song + "=B" + song + "=C" + song, "A B C", ""},
        {"irealbook://A" + song + "=B" + song + "=Mes%20morceaux", "A B", "Mes morceaux"},
        {"irealbook://A" + song + "===B" + song + "===Livre", "A B", "Livre"},
        // "===" between songs, the last part a name only when it is no song.
        {link("A", "[C]") + "===" + link("B", "[D]").substr(9), "A B", ""},
        {link("A", "[C]") + "===" + link("B", "[D]").substr(9) + "===Liste", "A B", "Liste"},
        // Links of a forum page, one of them closed by BBCode.
        {"<p>[url]" + link("A", "[C]") + "[/url] <a href=\"irealbook://B" + song + "\">B</a></p>", "A B", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ireal::Playlist p = ireal::readPlaylist(c.text);
        std::string titles;
        for (const ireal::Song& s : p.songs) {
            titles += (titles.empty() ? "" : " ") + s.title;
            const ireal::Conversion conv = ireal::toChart(s);
            EXPECT_TRUE(conv.chart && conv.warnings.empty()) << conv.error.text() << joined(conv.warnings);
        }
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(p.name, c.playlist);
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
        // Qualities by the chord dialog's list, flat and sharp roots; iReal's
        // triangle alone is a major seventh.
        {"[C|D-|E^7|F-7|Gh7|Ao|B6|Db9|Eb-6|Gh|A^|F#-7b5]",
         "[C | Dm | EM7 | Fm7 | Gø | Adim | B6 | Db9 | Ebm6 | Gø | AM7 | F#m7b5]"},
        {"[C^9|D-^|E^#11|F^/A]", "[CM9 | DmM7 | EM7#11 | FM7/A]"},
        // Three chords: a cell each and a beat for every empty cell after
        // it, small chords too; what is missing goes to the large chords from
        // the first on.
        {"|C7 F7,G7|C7,F7,G7 |sC7,F7,lG7|C7,F7,G7|sAb^7,F-7,Bb7 |sC,D,E|",
         "C7 F7 G7 (5) | C7 F7 G7 (4) | C7 F7 G7 (4) | C7 F7 G7 (5) | AbM7 Fm7 Bb7 (4) | C D E (5)"},
        // Repeats of one and two bars, slashes and an invisible root.
        {"[C |x |D |r | |pE |W/G |C7/E W/G]", "[C | % | D | C | D | D E | E/G | C7/E C7/G]"},
        // N.C. is a chord of its own: alone, beside chords, held by slashes.
        {"{C|n|D*m*}[E*maj*|F/Bb Z", "{C | N.C. | Dm} | [Emaj | F/Bb]"},
        {"|C|n p p|p|D,n,E,F|n,C]", "C | N.C. | N.C. | D N.C. E F | N.C. C]"},
        // Cells outside bars lay the row out; "||" holds no bar; white space
        // the grammar does not use is skipped.
        {"[C ]   |D ||E Z", "[C] | D | E]"},
        {"[C\n|D\r\n|\tE Z\n", "[C | D | E]"},
        // A quality of its own between stars, spaces and all.
        {"[G* AABA*|D*m7 * G*m7*]", "[GAABA | Dm7 Gm7]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.music);
        const ireal::Conversion conv = convert(c.music);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(bars(*conv.chart), c.bars);
        EXPECT_TRUE(conv.warnings.empty()) << joined(conv.warnings);
    }
}

// The marks of the form in a link's music: what the song's information
// holds goes there and not into labels; comments that are no direction and
// iReal's "END" stay labels.
TEST(IRealImport, MarksOfTheForm)
{
    struct Case {
        const char* music;
        const char* form;
        const char* labels;    // after the title, style and composer
        const char* warnings;
    };
    const Case cases[] = {
        // An ending runs to the first bar line that closes...
        {"{*AT34C|D|N1E|F}|N2G|A Z", "T34 1:*A 3:N1 4:N1 5:N2 6:N2", "", ""},
        // ...or up to a section or a bar line that opens.
        {"[N1C|D|*BE|N2F|G|{A}", "1:N1 2:N1 3:*B 4:N2 5:N2", "", ""},
        // A meter written after a bar's chords counts from the next bar.
        {"[T34C|D T44|E|T12F Z", "T34 3:T44 4:T128", "", ""},
        {"[T34T44C|D]", "T44", "",
         "« T » : mesure 1 : deux chiffrages de mesure, 3/4 puis 4/4 : seul le second est gardé."},
        // The last coda sign is the coda; one before it says "To Coda", in
        // words where the bar already holds a direction.
        {"[SC|QD<D.S. al Coda>|E<to coda>|Q F<Fine>|G Z", "1:S 2:<D.S. al Coda> 3:<To Coda> 4:Q<Fine>", "/To Coda",
         ""},
        // Vertical space only lays the rows out.
        {"[C|fD|Y|E<8x>|F U]", "2:f", "/8x/END", ""},
        {"[N4C|N0D|N1E]", "3:N1", "",
         "« T » : mesure 1 : le crochet de fin « N4 » n'est pas gardé : une grille a les fins 1 à 3, une par mesure.\n"
         "« T » : mesure 2 : le crochet de fin « N0 » n'est pas gardé : une grille a les fins 1 à 3, une par mesure."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.music);
        const ireal::Conversion conv = convert(c.music);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(form(*conv.chart), c.form);
        EXPECT_EQ(labels(*conv.chart), "T/Swing/Composer" + std::string(c.labels));
        EXPECT_EQ(joined(conv.warnings), c.warnings);
    }
}

// The fields of a song's header: composer given "Last First", iReal's
// "not given" values, and the player's settings that a chart does not keep.
TEST(IRealImport, HeaderFields)
{
    struct Case {
        const char* link;
        const char* header;
        const char* warnings;
    };
    const Case cases[] = {
        {"irealb://Blue=Davis%20Miles==Waltz=Bb-==1r34LbKcu7[C]==120=0", "Blue|Miles Davis|Waltz|Bbm|120", ""},
        {"irealb://Girl,%20The=Composer%20Unknown==%20=F#-=0=1r34LbKcu7[C]==0=1", "The Girl|||F#m|0", ""},
        {"irealb://Y=Me==Pop==0=1r34LbKcu7[C]==0=0", "Y|Me|Pop|-|0", ""},
        {"irealbook://Z=Me=Bossa=Eb=n=[C]", "Z|Me|Bossa|Eb|0", ""},
        // Bytes that are no UTF-8 would make the chart file refuse the song.
        {"irealbook://A%FFB=M%E9=S%C3=C=n=[C]", "A\uFFFDB|M\uFFFD|S\uFFFD|C|0", ""},
        {"irealb://X=Me==Pop=H=5=1r34LbKcu7[C]=Pop-Rock=fast=4", "X|Me|Pop|-|0",
         "« X » : la tonalité « H » n'est pas lue.\n"
         "« X » : le tempo « fast » n'est pas lu.\n"
         "« X » : l'accompagnement d'iReal Pro « Pop-Rock » n'est pas gardé.\n"
         "« X » : la transposition d'iReal Pro (5) n'est pas gardée : la grille est dans la tonalité écrite.\n"
         "« X » : le nombre de fois qu'iReal Pro joue la grille (4) n'est pas gardé."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        const ireal::Playlist p = ireal::readPlaylist(c.link);
        ASSERT_EQ(p.songs.size(), 1u);
        const ireal::Conversion conv = ireal::toChart(p.songs[0]);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(header(*conv.chart), c.header);
        EXPECT_EQ(joined(conv.warnings), c.warnings);
    }
}

TEST(IRealImport, WhatCannotBeReadIsSkippedAndSaid)
{
    struct Case {
        std::string music;
        const char* bars;
        const char* warnings;
    };
    const Case cases[] = {
        {"[C,D,E,F,G]", "[C D E F]", "« T » : mesure 1 : 5 accords, seuls les 4 premiers sont gardés."},
        {"[C-7b9b13#11b9#9#11b13#5/Bb]", "[Cm7b9b13#11b9#9#11b13#5]",
         "« T » : mesure 1 : la basse de « m7b9b13#11b9#9#11b13#5/Bb » ne tient pas en 24 caractères, "
         "elle est omise."},
        {"[C7b9#9#11b13b9#9#11b13b5#5]", "[C7b9#9#11b13b9#9#11b13b5#]",
         "« T » : mesure 1 : « 7b9#9#11b13b9#9#11b13b5#5 » est coupé à 24 caractères."},
        // A chord drawn small above another is not played, and the chart
        // holds one chord to a place.
        {"{C(Db7)|D}", "{C | D}", "« T » : mesure 1 : l'accord de remplacement « Db7 » n'est pas gardé."},
        {"[Fm9|H7 D|C W-|C/H]", "[F | D | C C | C]",
         "« T » : mesure 1 : « m9 » illisible, ignoré (caractère 3 de la musique).\n"
         "« T » : mesure 2 : « H7 » illisible, ignoré (caractère 6 de la musique).\n"
         "« T » : mesure 3 : « - » illisible, ignoré (caractère 14 de la musique).\n"
         "« T » : mesure 4 : « /H » illisible, ignoré (caractère 17 de la musique)."},
        {"[C\x01|D\x7F|E\xC2\x85]", "[C | D | E]",
         "« T » : mesure 1 : « ^A » illisible, ignoré (caractère 3 de la musique).\n"
         "« T » : mesure 2 : « ^? » illisible, ignoré (caractère 6 de la musique).\n"
         "« T » : mesure 3 : « \\u0085 » illisible, ignoré (caractère 9 de la musique)."},
        {"[C<Fi\x01ne\n>|D<Fine]", "[C | D F]",
         "« T » : mesure 1 : un commentaire contenait des caractères de contrôle (^A, ^J), ils sont retirés.\n"
         "« T » : mesure 2 : « < » sans « > » qui ferme le commentaire, ignoré (caractère 13 de la musique).\n"
         "« T » : mesure 2 : « ine » illisible, ignoré (caractère 15 de la musique)."},
        {"[C|r]", "[C | %]",
         "« T » : mesure 2 : « r » répète deux mesures et n'en a que 1 avant lui, il répète la mesure d'avant."},
        {"[C" + std::string(25, '?') + "]", "[C]",
         "« T » : mesure 1 : « ????????????????????????… » illisible, ignoré (caractère 3 de la musique)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.music);
        const ireal::Conversion conv = convert(c.music);
        ASSERT_TRUE(conv.chart) << conv.error.text();
        EXPECT_EQ(bars(*conv.chart), c.bars);
        EXPECT_EQ(joined(conv.warnings), c.warnings);
    }
    // Past twenty unreadable signs, one warning says there are more.
    std::string many = "[C";
    for (int i = 0; i < 30; ++i)
        many += "?|D";
    const ireal::Conversion conv = convert(many + "]");
    ASSERT_EQ(conv.warnings.size(), 21u);
    EXPECT_EQ(conv.warnings.back().text(),
              "« T » : à partir de la mesure 21, d'autres signes illisibles sont ignorés.");
}

TEST(IRealImport, ControlCharactersStayOutOfTheChart)
{
    const ireal::Playlist p =
        ireal::readPlaylist("irealb://A%01B=Night%00Day==St%1Fyle=C==1r34LbKcu7[C]==0=0===Li%0Aste");
    ASSERT_EQ(p.songs.size(), 1u);
    EXPECT_EQ(p.name, "Liste");
    const ireal::Conversion c = ireal::toChart(p.songs[0]);
    ASSERT_TRUE(c.chart);
    EXPECT_EQ(joined(c.warnings),
              "« AB » : le titre contenait des caractères de contrôle (^A), ils sont retirés.\n"
              "« AB » : le nom du compositeur contenait des caractères de contrôle (^@), ils sont retirés.\n"
              "« AB » : le style contenait des caractères de contrôle (^_), ils sont retirés.");
    const leadsheet::Sheet sheet = leadsheet::read(*c.chart);
    EXPECT_EQ(sheet.title + "/" + sheet.composer + "/" + sheet.style, "AB/NightDay/Style");
    // A damaged escape is named as a reader can see it.
    const ireal::Playlist bad = ireal::readPlaylist("irealb://T%\x01Z=C==S=C==1r34LbKcu7[C]==0=0");
    EXPECT_EQ(bad.songs.at(0).error.text(), "« T%Z » : séquence « %^AZ » invalide au caractère 2 du lien.");
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
        {"irealb://Short=C==Swing", "« Short » : le lien est coupé : la chanson s'arrête au champ 4 sur 10."},
        {"irealbook://Short=C=Swing", "« Short » : le lien est coupé : la chanson s'arrête au champ 3 sur 6."},
        {"irealb://Cut=C==S=C==1r34LbKcu7[C7|D7",
         "« Cut » : le lien est coupé dans la musique, la fin de la chanson manque."},
        {"irealb://Plain=C==S=C==[C|D]==0=0", "« Plain » : la musique ne commence pas par « 1r34LbKcu7 »."},
        {link("T", long_), "« T » : plus de 500 mesures, une grille n'en tient pas plus."},
        {link("T", ""), "« T » : la chanson n'a aucune mesure."},
        {link("T", "<Intro> ???"), "« T » : la chanson n'a aucune mesure."},
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

// Inputs far past the limits: what comes back, as soon as a limit is met (the
// time and memory they take are measured by the benchmark).
TEST(IRealImport, ReadingStopsAtTheLimits)
{
    std::string repeats;
    for (int i = 0; i < 100000; ++i)
        repeats += "|x";
    EXPECT_EQ(convert(repeats).error.text(), "« T » : plus de 500 mesures, une grille n'en tient pas plus.");

    std::string chords = "[";
    for (int i = 0; i < 100000; ++i)
        chords += "C,";
    const ireal::Conversion crowded = convert(chords + "]");
    ASSERT_TRUE(crowded.chart);
    EXPECT_EQ(bars(*crowded.chart), "[C C C C]");
    EXPECT_EQ(joined(crowded.warnings), "« T » : mesure 1 : 100000 accords, seuls les 4 premiers sont gardés.");

    const ireal::Playlist percents = ireal::readPlaylist("irealb://" + std::string(100000, '%'));
    ASSERT_EQ(percents.songs.size(), 1u);
    EXPECT_NE(percents.songs[0].error.text().find("invalide au caractère 1 du lien"), std::string::npos);

    std::string book = "irealbook://";
    for (int i = 0; i < 10001; ++i)
        book += "T=C=S=C=n=[C]=";
    const ireal::Playlist full = ireal::readPlaylist(book);
    EXPECT_EQ(full.songs.size(), 10000u);
    EXPECT_EQ(joined(full.warnings), "Plus de 10000 chansons : les suivantes ne sont pas lues.");
}

// --- round trips ---------------------------------------------------------------

TEST(IRealRoundTrip, ImportedSongsComeBackTheSame)
{
    std::vector<ireal::Song> songs;
    songs.push_back(ireal::readPlaylist(link("Signs", "{C D,E,F|x|G A7 }[*BD-7|N1 E7}|N2<Fine>F S Q Z")).songs[0]);
    // Bars of silence, also at the end of a row and of the song, and beside
    // chords; qualities iReal does not spell.
    songs.push_back(ireal::readPlaylist(link("Rests", "[C|n|D|E|n Z")).songs[0]);
    songs.push_back(ireal::readPlaylist(link("Silence", "[n Z")).songs[0]);
    songs.push_back(
        ireal::readPlaylist(link("Beside", "[C n|n,D,E|C* AABA*|D*maj7*|E*M*|Fh7|G\xC3\xB8\x37 Z")).songs[0]);
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
    chart.song = SongInfo{};
    layoutChart(chart);
    const char* qualities[] = {"", "m", "7", "M7", "m7", "\xF8", "dim", "6", "9", "m6", "7sus",
                               "m7b5", "13#11", "7/G", "mM7", "dim7", "+", "Blues", "b9", "#11", "maj7"};
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
    // The hidden bar is a bar of silence: it comes back as "N.C.".
    std::string expected = bars(chart);
    expected.replace(expected.find('_'), 1, "N.C.");
    EXPECT_EQ(bars(*back), expected);
    const leadsheet::Sheet sheet = leadsheet::read(*back);
    EXPECT_EQ(sheet.composer, "");
    EXPECT_EQ(sheet.style, "");
}

// The link's song in clear: percent escapes decoded, the music unscrambled.
std::string clear(const std::string& link)
{
    std::string out;
    for (std::size_t i = 0; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size()) {
            out += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += link[i];
        }
    }
    const std::size_t music = out.find("1r34LbKcu7") + 10, end = out.find('=', music);
    return out.substr(0, music) + ireal::scramble(out.substr(music, end - music)) + out.substr(end);
}

// The link holds the chart's own information, and the iReal Pro values that
// say "not given" where the chart has none: a key is always written, the one
// heard in the chords when the chart sets none.
TEST(IRealExport, TheChartsOwnInformation)
{
    const auto plain = test::ChartBuilder(4, 1).bars({"Dm7 G7", "Cmaj7", "C6", "C6"}).build();
    const auto silent = test::ChartBuilder(4, 1).bars({"N.C.", "N.C.", "N.C.", "N.C."}).build();
    struct Case {
        const Chart* chart;
        const char* header;   // up to the music
        const char* music;
        const char* tail;
    };
    const auto marked = test::formChart();
    const Case cases[] = {
        {marked.get(), "irealb://Form, The=Davis Miles==Waltz=Bb-==1r34LbKcu7",
         "{T34*AC   |SD   |N1E F |G   }|T44*iN2A   |QBb   ]|T12<Solo>C   |<D.S. al Coda>D-7,G7,fC |QE   |"
         "<Fine>f x  Z",
         "==120=0"},
        {plain.get(), "irealb://=Composer Unknown== =C==1r34LbKcu7", "|D-7 G7 |C^7   |C6   |C6   ", "==0=0"},
        {silent.get(), "irealb://=Composer Unknown== ==0=1r34LbKcu7", "|n   |n   |n   |n   ", "==0=0"},
    };
    for (const Case& c : cases) {
        const std::string link = clear(ireal::toLink(*c.chart));
        EXPECT_EQ(link, c.header + std::string(c.music) + c.tail);
    }
}

// Through a link and back, a chart keeps its song's information and marks:
// all that a link can hold (a section named otherwise than iReal Pro's comes
// back a label).
TEST(IRealRoundTrip, ChartKeepsItsForm)
{
    const auto chart = test::formChart();
    const auto back = viaLink(*chart);
    ASSERT_TRUE(back);
    EXPECT_EQ(bars(*back), bars(*chart));
    Chart expected = *chart;
    expected.song.bar(7).section = {};
    EXPECT_EQ(header(*back), header(expected));
    EXPECT_EQ(form(*back), form(expected));
    EXPECT_EQ(std::memcmp(&back->song, &expected.song, sizeof(SongInfo)), 0);
    EXPECT_EQ(labels(*back), "The Form/Waltz/Miles Davis/Solo");
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
