// Charts read as lead sheets, and written as MusicXML (checked by reading the
// XML back) and as LilyPond chord grids (checked for their tokens).
#include "document/editing.h"
#include "document/export.h"
#include "document/layout.h"
#include "document/leadsheet.h"
#include "document/lilypond.h"
#include "document/musicxml.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>

namespace mavrel {
namespace {

std::unique_ptr<Chart> newChart(int rows)
{
    auto c = std::make_unique<Chart>();
    resetChart(*c);
    c->info.rows = rows;
    layoutChart(*c);
    return c;
}

// Bar `i` gets these chords, "Bb:m7" meaning root Bb (flat spelling) and
// quality "m7"; "%" is the repeat sign.
void setBar(Chart& c, int i, int division, std::initializer_list<const char*> chords)
{
    static const char* Names[] = {"C", "C#", "Db", "D", "D#", "Eb", "E", "F", "F#", "Gb", "G", "G#", "Ab", "A", "A#", "Bb", "B"};
    static const int Roots[] = {1, 2, 2, 3, 4, 4, 5, 6, 7, 7, 8, 9, 9, 10, 11, 11, 12};
    Bar& b = c.bar(i);
    b.division = static_cast<std::uint8_t>(division);
    int s = 0;
    for (std::string_view chord : chords) {
        Chord& a = b.chords[s++];
        const std::string_view name = chord.substr(0, chord.find(':'));
        a.root = 0;
        a.quality.assign(chord.find(':') == std::string_view::npos ? "" : chord.substr(chord.find(':') + 1));
        for (std::size_t k = 0; k < std::size(Names); ++k)
            if (name == Names[k]) {
                a.root = static_cast<std::uint8_t>(Roots[k]);
                a.flat = name.size() == 2 && name[1] == 'b';
            }
    }
}

// Nine bars on three rows (the last three hidden), every division, signs, a
// "%" bar, a "%" slot, a hidden bar, and labels above, beside, on and below
// the grid.
std::unique_ptr<Chart> sampleChart()
{
    auto c = newChart(3);
    setBar(*c, 1, 1, {"C"});
    setBar(*c, 2, 2, {"Bb:m7", "F:7"});
    setBar(*c, 3, 3, {"C#:M7", "D:m7", "Eb:\xF8", "E:7/G#"});
    setBar(*c, 4, 4, {"F", "G", "A"});
    setBar(*c, 5, 5, {"Bb:6", "C:9", "D:m6"});
    setBar(*c, 6, 1, {"%"});
    setBar(*c, 7, 2, {"%", "G:7"});
    setBar(*c, 9, 1, {"C"});
    c->bar(1).left = 1;
    c->bar(4).right = 1;
    c->bar(5).left = 2;
    c->bar(9).right = 2;
    for (int i : {8, 10, 11, 12})
        c->bar(i).shown = 0;
    const Bar &b1 = c->bar(1), &b3 = c->bar(3), &b5 = c->bar(5);
    commitLabel(*c, "Mon titre", 150, 40, 18, true);
    commitLabel(*c, "Compositeur", 400, 100, 10, false);
    commitLabel(*c, "Swing", 70, 100, 10, false);
    commitLabel(*c, "En-t\xEAte", 300, 120, 8, false);
    commitLabel(*c, "A", 55, b1.y + 20, 12, true);
    commitLabel(*c, "B", 55, b5.y + 20, 12, true);
    commitLabel(*c, "[C] Fine", b3.x + 4, b3.y + 3, 7, false);
    commitLabel(*c, "droite", 500, b1.y + 10, 8, false);
    commitLabel(*c, "D.C.", 200, 760, 8, false);
    return c;
}

std::string describe(const leadsheet::Measure& b)
{
    std::string out = b.left == leadsheet::Sign::Repeat ? "{ " : b.left == leadsheet::Sign::Double ? "[ " : "";
    out += b.rest ? "rest " : b.repeat ? "% " : "";
    for (const leadsheet::ChordSymbol& c : b.chords)
        out += std::string(rootName(c.root, c.flat)) + c.quality + ":" + std::to_string(c.beats) + " ";
    for (const std::string& m : b.marks)
        out += "@" + m + " ";
    for (const std::string& w : b.words)
        out += "'" + w + "' ";
    out += b.right == leadsheet::Sign::Repeat ? "}" : b.right == leadsheet::Sign::Double ? "]" : "";
    return out;
}

TEST(LeadSheet, BarsChordsAndTextsInPlayingOrder)
{
    const leadsheet::Sheet sheet = leadsheet::read(*sampleChart());
    EXPECT_EQ(sheet.title, "Mon titre");
    EXPECT_EQ(sheet.composer, "Compositeur");
    EXPECT_EQ(sheet.style, "Swing");
    const char* expected[] = {
        "{ C:4 @A 'En-tête' ",
        "Bbm7:2 F7:2 ",
        "C#M7:1 Dm7:1 Eb\xF8:1 E7/G#:1 @C 'Fine' ",
        "F:1 G:1 A:2 'droite' }",
        "[ Bb6:2 C9:1 Dm6:1 @B ",
        "% Bb6:2 C9:1 Dm6:1 ",
        "Dm6:2 G7:2 ",
        "rest ",
        "C:4 'D.C.' ]",
    };
    ASSERT_EQ(sheet.measures.size(), std::size(expected));
    for (std::size_t i = 0; i < sheet.measures.size(); ++i)
        EXPECT_EQ(describe(sheet.measures[i]), expected[i]) << "bar " << i + 1;
    EXPECT_TRUE(sheet.measures[4].rowStart);
    EXPECT_FALSE(sheet.measures[5].rowStart);

    // Without a label above the grid the first label is the title; a "%" with
    // nothing before it has nothing to repeat.
    auto plain = newChart(1);
    setBar(*plain, 2, 2, {"%", "D"});
    commitLabel(*plain, "Dans la grille", plain->bar(3).x + 4, plain->bar(3).y + 3, 8, false);
    const leadsheet::Sheet p = leadsheet::read(*plain);
    EXPECT_EQ(p.title, "Dans la grille");
    ASSERT_EQ(p.measures.size(), 4u);
    EXPECT_EQ(describe(p.measures[0]) + "|" + describe(p.measures[1]) + "|" + describe(p.measures[2]), "% |D:2 |% D:2 ");
}

// --- MusicXML ------------------------------------------------------------------

// Every tag closed in order: the file is well-formed as far as tags go.
bool wellFormed(const std::string& xml)
{
    std::vector<std::string> open;
    const std::regex tag(R"(<(/?)([A-Za-z][-\w]*)[^>]*?(/?)>)");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[3].length())
            continue;
        if (!m[1].length())
            open.push_back(m[2]);
        else if (open.empty() || open.back() != m[2])
            return false;
        else
            open.pop_back();
    }
    return open.empty();
}

std::string inner(const std::string& xml, const std::string& tag)
{
    const std::regex r("<" + tag + "(?: [^>]*)?>([^<]*)</" + tag + ">");
    std::smatch m;
    return std::regex_search(xml, m, r) ? m[1].str() : "";
}

// Each measure as "|: Bb-1 minor-seventh[m7]:2 ...": barlines, harmonies
// (step, alter, kind, text, bass, degrees) each with the next note's
// duration, rehearsal marks "@A" and words 'x'.
std::vector<std::string> measures(const std::string& xml)
{
    std::vector<std::string> out;
    const std::regex measure(R"(<measure number="\d+">([\s\S]*?)</measure>)");
    const std::regex part(R"(<(harmony|note|barline|rehearsal|words)[\s\S]*?</\1>)");
    const std::regex degree(R"(<degree[^>]*>[\s\S]*?</degree>)");
    for (auto m = std::sregex_iterator(xml.begin(), xml.end(), measure); m != std::sregex_iterator(); ++m) {
        const std::string body = (*m)[1];
        std::string s;
        for (auto p = std::sregex_iterator(body.begin(), body.end(), part); p != std::sregex_iterator(); ++p) {
            const std::string e = (*p)[0];
            const std::string name = (*p)[1];
            if (name == "barline") {
                const std::string style = inner(e, "bar-style");
                s += style == "heavy-light" ? "|: " : style == "light-heavy" ? ":| " : "|| ";
            } else if (name == "rehearsal" || name == "words") {
                s += (name == "words" ? "'" + inner(e, "words") + "' " : "@" + inner(e, "rehearsal") + " ");
            } else if (name == "harmony") {
                std::smatch k;
                std::regex_search(e, k, std::regex(R"rx(<kind text="([^"]*)"[^>]*>([^<]*)</kind>)rx"));
                s += inner(e, "root-step") + inner(e, "root-alter") + " " + k[2].str() + "[" + k[1].str() + "]";
                if (!inner(e, "bass-step").empty())
                    s += "/" + inner(e, "bass-step") + inner(e, "bass-alter");
                for (auto d = std::sregex_iterator(e.begin(), e.end(), degree); d != std::sregex_iterator(); ++d)
                    s += " " + inner((*d)[0], "degree-type") + inner((*d)[0], "degree-value") + "("
                        + inner((*d)[0], "degree-alter") + ")";
            } else {
                s += (e.find("<rest/>") != std::string::npos ? "rest" : "") + std::string(":")
                    + inner(e, "duration") + " ";
            }
        }
        out.push_back(s);
    }
    return out;
}

TEST(MusicXml, MeasuresHoldTheBarsChordsSignsAndTexts)
{
    const std::string xml = musicxml::write(*sampleChart());
    ASSERT_TRUE(wellFormed(xml));
    EXPECT_NE(xml.find("<score-partwise version=\"4.0\">"), std::string::npos);
    EXPECT_EQ(inner(xml, "work-title"), "Mon titre");
    EXPECT_EQ(inner(xml, "creator"), "Compositeur");
    const std::vector<std::string> expected = {
        "|: 'Swing' @A 'En-tête' C major[]:4 ",
        "B-1 minor-seventh[m7]:2 F dominant[7]:2 ",
        "@C 'Fine' C1 major-seventh[M7]:1 D minor-seventh[m7]:1 E-1 half-diminished[ø]:1 "
        "E dominant[7]/G1:1 ",
        "'droite' F major[]:1 G major[]:1 A major[]:2 :| ",
        "|| @B B-1 major-sixth[6]:2 C dominant-ninth[9]:1 D minor-sixth[m6]:1 ",
        "B-1 major-sixth[6]:2 C dominant-ninth[9]:1 D minor-sixth[m6]:1 ",
        "D minor-sixth[m6]:2 G dominant[7]:2 ",
        "C none[N.C.]rest:4 ",
        "'D.C.' C major[]:4 || ",
    };
    EXPECT_EQ(measures(xml), expected);
    // Each grid row starts a new system.
    std::size_t systems = 0;
    for (std::size_t at = xml.find("new-system=\"yes\""); at != std::string::npos; at = xml.find("new-system", at + 1))
        ++systems;
    EXPECT_EQ(systems, 2u);

    auto hidden = newChart(1);
    for (int i = 1; i <= 4; ++i)
        hidden->bar(i).shown = 0;
    EXPECT_EQ(measures(musicxml::write(*hidden)), std::vector<std::string>{":4 "});
}

// --- qualities in both formats ---------------------------------------------------

TEST(ChordExport, QualitiesBecomeKindsAndChordModifiers)
{
    struct Case {
        const char* quality;
        const char* musicxml;   // kind and degrees
        const char* lilypond;
    };
    const Case cases[] = {
        {"", "major[]", "c1"},
        {"m", "minor[m]", "c1:m"},
        {"7", "dominant[7]", "c1:7"},
        {"M7", "major-seventh[M7]", "c1:maj7"},
        {"m7", "minor-seventh[m7]", "c1:m7"},
        {"\xF8", "half-diminished[ø]", "c1:m7.5-"},
        {"dim", "diminished[dim]", "c1:dim"},
        {"6", "major-sixth[6]", "c1:6"},
        {"9", "dominant-ninth[9]", "c1:9"},
        {"m6", "minor-sixth[m6]", "c1:m6"},
        {"m7b5", "half-diminished[m7b5]", "c1:m7.5-"},
        {"dim7", "diminished-seventh[dim7]", "c1:dim7"},
        {"7sus", "dominant[7sus] add4(0) subtract3(0)", "c1:7sus4"},
        {"sus", "suspended-fourth[sus]", "c1:sus4"},
        {"13#11", "dominant-13th[13#11] alter11(1)", "c1:13.11+"},
        {"h7", "half-diminished[h7]", "c1:m7.5-"},
        {"mi7", "minor-seventh[mi7]", "c1:m7"},
        {"-7", "minor-seventh[-7]", "c1:m7"},
        {"o", "diminished[o]", "c1:dim"},
        {"7b9", "dominant[7b9] add9(-1)", "c1:7.9-"},
        {"mM7", "major-minor[mM7]", "c1:m7+"},
        {"69", "major-sixth[69] add9(0)", "c1:6.9"},
        {"7alt", "dominant[7alt] alter5(1) add9(1)", "c1:7.5+.9+"},
        {"M9", "major-ninth[M9]", "c1:maj9"},
        {"+", "augmented[+]", "c1:aug"},
        {"add9", "major[add9] add9(0)", "c1:5.9"},
        {"7/Bb", "dominant[7]/B-1", "c1:7/bes"},
        {"Blues", "other[Blues]", "c1"},
    };
    const int n = static_cast<int>(std::size(cases));
    auto chart = newChart((n + 3) / 4);
    for (int i = 0; i < n; ++i) {
        setBar(*chart, i + 1, 1, {"C"});
        chart->bar(i + 1).slot(1).quality.assign(cases[i].quality);
    }
    const std::vector<std::string> xml = measures(musicxml::write(*chart));
    const std::string ly = lilypond::write(*chart);
    ASSERT_EQ(xml.size(), std::size(cases));
    std::size_t at = 0;
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(cases[i].quality);
        EXPECT_EQ(xml[i], "C " + std::string(cases[i].musicxml) + ":4 ");
        at = ly.find("  " + std::string(cases[i].lilypond) + " |\n", at);
        EXPECT_NE(at, std::string::npos);
    }
}

// --- LilyPond --------------------------------------------------------------------

TEST(LilyPond, ChordGridTokens)
{
    const std::string ly = lilypond::write(*sampleChart());
    const char* expected[] = {
        "\\version \"2.24.0\"",
        "title = \"Mon titre\"",
        "composer = \"Compositeur\"",
        "meter = \"Swing\"",
        "\\new ChordGrid \\chordmode {",
        "  \\bar \".|:\" \\mark \"A\" \\textMark \"En-tête\" c1 |\n",
        "  bes2:m7 f2:7 |\n",
        // The four places of a square are left, top, bottom, right in both.
        "  \\mark \"C\" \\textMark \"Fine\" cis4:maj7 d4:m7 es4:m7.5- e4:7/gis |\n",
        "  \\textMark \"droite\" f4 g4 a2 |\n",
        "  \\break\n",
        "  \\bar \":|.\" \\mark \"B\" bes2:6 c4:9 d4:m6 |\n",
        "  \\makePercent s1 |\n",
        "  d2:m6 g2:7 |\n",
        "  r1 |\n",
        "  \\break\n",
        "  \\textMark \"D.C.\" c1 |\n",
        // The short last row is filled with hidden squares.
        "  \\bar \"||\" \\stopStaff s1*3\n}\n",
    };
    std::size_t at = 0;
    for (const char* token : expected) {
        at = ly.find(token, at);
        ASSERT_NE(at, std::string::npos) << token << "\n" << ly;
    }
}

TEST(ExportFormat, FollowsTheExtension)
{
    const std::pair<const char*, std::optional<ExportFormat>> cases[] = {
        {"grille.musicxml", ExportFormat::MusicXml}, {"GRILLE.XML", ExportFormat::MusicXml},
        {"a/b.c/grille.ly", ExportFormat::LilyPond},  {"lien.Txt", ExportFormat::IRealLink},
        {"grille.bab", std::nullopt},                 {"dossier.ly/grille", std::nullopt},
        {"ly", std::nullopt},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(exportFormatFor(name), format) << name;
}

} // namespace
} // namespace mavrel
