// Charts read as lead sheets, and written as MusicXML (checked by reading the
// XML back) and as LilyPond chord grids (checked for their tokens).
#include "document/editing.h"
#include "document/ireal.h"
#include "document/layout.h"
#include "document/leadsheet.h"
#include "document/lilypond.h"
#include "document/musicxml.h"
#include "support/formchart.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <span>

namespace mavrel {
namespace {

using test::ChartBuilder;

// Nine bars on three rows (the last three hidden), every division, signs, a
// "%" bar, a "%" slot, a hidden bar, and labels above, beside, on and below
// the grid.
std::unique_ptr<Chart> sampleChart()
{
    ChartBuilder b(4, 3);
    b.bars({"C", "Bbm7 F7", "C#M7 Dm7 Eb\xC3\xB8 E7/G#", "F G A", "Bb6. C9 Dm6", "%", "% G7", "%", "C"})
        .signs(1, 1, 0)
        .signs(4, 0, 1)
        .signs(5, 2, 0)
        .signs(9, 0, 2);
    for (int i : {8, 10, 11, 12})
        b.hidden(i);
    const Bar &b1 = b.chart().bar(1), &b3 = b.chart().bar(3), &b5 = b.chart().bar(5);
    return b.label("Mon titre", 150, 40, 18, true)
        .label("Compositeur", 400, 100)
        .label("Swing", 70, 100)
        .label("En-t\xEAte", 300, 120, 8)
        .label("A", 55, b1.y + 20, 12, true)
        .label("B", 55, b5.y + 20, 12, true)
        .label("[C] Fine", b3.x + 4, b3.y + 3, 7)
        .label("droite", 500, b1.y + 10, 8)
        .label("D.C.", 200, 760, 8)
        .build();
}

// "N.C." beside a chord and alone, a "%" of it, and a hidden bar holding
// "N.C." (how older imports keep a bar of silence).
std::unique_ptr<Chart> noChordChart()
{
    ChartBuilder b(3, 2);
    return b.bars({"Dm7 N.C.", "N.C.", "%", "N.C.", "C"}).hidden(4).hidden(6).build();
}

// Each text found in `out`, one after the other.
void expectInOrder(const std::string& out, std::span<const char* const> texts)
{
    std::size_t at = 0;
    for (const char* text : texts) {
        at = out.find(text, at);
        ASSERT_NE(at, std::string::npos) << text << "\n" << out;
    }
}

std::string describe(const leadsheet::Measure& b)
{
    std::string out = b.left == leadsheet::Sign::Repeat ? "{ " : b.left == leadsheet::Sign::Double ? "[ " : "";
    out += b.repeat ? "% " : "";
    for (const leadsheet::ChordSymbol& c : b.chords)
        out += (c.noChord ? std::string("N.C.") : std::string(rootName(c.root, c.flat)) + c.quality) + ":"
            + std::to_string(c.beats) + " ";
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
        "N.C.:4 ",
        "C:4 'D.C.' ]",
    };
    ASSERT_EQ(sheet.measures.size(), std::size(expected));
    for (std::size_t i = 0; i < sheet.measures.size(); ++i)
        EXPECT_EQ(describe(sheet.measures[i]), expected[i]) << "bar " << i + 1;
    EXPECT_TRUE(sheet.measures[4].rowStart);
    EXPECT_FALSE(sheet.measures[5].rowStart);

    // Without a label above the grid the first label is the title; a "%" with
    // nothing before it has nothing to repeat.
    ChartBuilder plain(4, 1);
    plain.bar(2, "% D");
    const Bar& b3 = plain.chart().bar(3);
    const leadsheet::Sheet p = leadsheet::read(*plain.label("Dans la grille", b3.x + 4, b3.y + 3, 8).build());
    EXPECT_EQ(p.title, "Dans la grille");
    ASSERT_EQ(p.measures.size(), 4u);
    EXPECT_EQ(describe(p.measures[0]) + "|" + describe(p.measures[1]) + "|" + describe(p.measures[2]), "% |D:2 |% D:2 ");
}

// The chords of a bar share it as the accompaniment plays them: whole beats
// where the meter has them, the larger part to the larger place.
TEST(LeadSheet, BarsShareTheirMeter)
{
    struct Case {
        int beats, unit;
        const char* bar;
        const char* eighths;   // each chord's, "(n)" before them for a "%" with nothing to repeat
    };
    const Case cases[] = {
        {4, 4, "C D", "4 4"},         {3, 4, "C D", "4 2"},     {3, 4, "C D E F", "2 2 1 1"},
        {3, 4, "C. D E", "2 2 2"},    {6, 8, "C D", "3 3"},     {5, 4, "C D", "6 4"},
        {12, 8, "C D E F", "3 3 3 3"}, {7, 8, "C D", "4 3"},    {3, 4, "% D", "(4) 2"},
        {2, 2, "C D E F", "2 2 2 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bar);
        const auto chart = ChartBuilder(1, 1).bar(1, c.bar).meter(0, c.beats, c.unit).build();
        const leadsheet::Sheet sheet = leadsheet::read(*chart);
        const leadsheet::Measure& m = sheet.measures.at(0);
        std::string eighths = m.lead ? "(" + std::to_string(m.lead / 32) + ")" : "";
        for (const leadsheet::ChordSymbol& chord : m.chords)
            eighths += (eighths.empty() ? "" : " ") + std::to_string(chord.length / 32);
        EXPECT_EQ(eighths, c.eighths) << c.beats << "/" << c.unit;
        EXPECT_EQ(m.length, c.beats * 8 / c.unit * 32);
    }
}

// The song's title, composer and style come before the labels'; the label
// that shows one of them is no text of the bars, and a label that would have
// been the composer stays a text. A "[B]" opening a text names a section only
// in the charts whose song holds no marks.
TEST(LeadSheet, TheSongGivesItsTexts)
{
    ChartBuilder b(4, 1);
    const Bar& b3 = b.bars({"C", "D", "E", "F"}).chart().bar(3);
    b.label("Autumn", 150, 40, 18, true).label("Arr. Me", 400, 100).label("[B] Fine", b3.x + 4, b3.y + 3, 7);
    const auto old = std::make_unique<Chart>(b.chart());
    setText(b.chart().song.title, "Autumn");
    setText(b.chart().song.composer, "Kosma");
    const auto chart = b.build();
    const leadsheet::Sheet sheet = leadsheet::read(*chart);
    EXPECT_EQ(sheet.title + "|" + sheet.composer + "|" + sheet.style, "Autumn|Kosma|");
    EXPECT_EQ(describe(sheet.measures[0]) + "|" + describe(sheet.measures[2]), "C:4 'Arr. Me' |E:4 '[B] Fine' ");
    const leadsheet::Sheet before = leadsheet::read(*old);
    EXPECT_EQ(before.title + "|" + before.composer + "|" + before.style, "Autumn|Arr. Me|");
    EXPECT_EQ(describe(before.measures[2]), "E:4 @B 'Fine' ");
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
        " none[N.C.]rest:4 ",
        "'D.C.' C major[]:4 || ",
    };
    EXPECT_EQ(measures(xml), expected);
    // Each grid row starts a new system.
    std::size_t systems = 0;
    for (std::size_t at = xml.find("new-system=\"yes\""); at != std::string::npos; at = xml.find("new-system", at + 1))
        ++systems;
    EXPECT_EQ(systems, 2u);

    auto hidden = ChartBuilder(4, 1).hidden(1).hidden(2).hidden(3).hidden(4).build();
    EXPECT_EQ(measures(musicxml::write(*hidden)), std::vector<std::string>{":4 "});
}

// The marks of a measure: attributes, barlines, directions and what they
// say to play, in document order: "key-5minor", "3/4", "|:", "[1start",
// "@A" (rehearsal), "S" and "Q" (segno and coda signs), "'Fine'" (words),
// "dalsegno=segno" (sound), "f" (fermata).
std::vector<std::string> formOf(const std::string& xml)
{
    std::vector<std::string> out;
    const std::regex measure(R"(<measure number="\d+">([\s\S]*?)</measure>)");
    const std::regex mark(
        R"rx(<(key|time|repeat|ending|rehearsal|segno|coda|words|sound|fermata)\b([^>]*?)/?>(?:([^<]*)</\1>)?)rx");
    const std::regex attribute(R"rx(([-\w]+)="([^"]*)")rx");
    for (auto m = std::sregex_iterator(xml.begin(), xml.end(), measure); m != std::sregex_iterator(); ++m) {
        const std::string body = (*m)[1];
        std::string s;
        for (auto k = std::sregex_iterator(body.begin(), body.end(), mark); k != std::sregex_iterator(); ++k) {
            const std::string name = (*k)[1], attributes = (*k)[2];
            std::smatch a;
            std::string token;
            if (name == "key") {
                const std::size_t at = static_cast<std::size_t>(k->position(0));
                const std::string key = body.substr(at, body.find("</key>", at) - at);
                token = "key" + inner(key, "fifths") + inner(key, "mode");
            } else if (name == "time") {
                const std::size_t at = static_cast<std::size_t>(k->position(0));
                const std::string time = body.substr(at, body.find("</time>", at) - at);
                token = inner(time, "beats") + "/" + inner(time, "beat-type");
            } else if (name == "repeat") {
                token = attributes.find("forward") != std::string::npos ? "|:" : ":|";
            } else if (name == "ending") {
                std::regex_search(attributes, a, std::regex(R"rx(number="(\d)" type="(\w+)")rx"));
                token = "[" + a[1].str() + a[2].str();
            } else if (name == "rehearsal") {
                token = "@" + (*k)[3].str();
            } else if (name == "segno" || name == "coda") {
                token = name == "segno" ? "S" : "Q";
            } else if (name == "words") {
                token = "'" + (*k)[3].str() + "'";
            } else if (name == "fermata") {
                token = "f";
            } else {
                for (auto v = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
                     v != std::sregex_iterator(); ++v)
                    token += (token.empty() ? "" : ",") + (*v)[1].str() + "=" + (*v)[2].str();
            }
            s += (s.empty() ? "" : " ") + token;
        }
        out.push_back(s);
    }
    return out;
}

// The form as MuseScore reads it to draw and play it: key, meters, tempo,
// rehearsal marks, endings that start and stop (the last one left open),
// segno and coda signs, directions with what they say to play, fermatas. The
// part's name is no French word, and is not printed.
TEST(MusicXml, TheFormIsPlayable)
{
    const std::string xml = musicxml::write(*test::formChart());
    ASSERT_TRUE(wellFormed(xml));
    EXPECT_NE(xml.find("<part-name print-object=\"no\">Chords</part-name>"), std::string::npos);
    const std::vector<std::string> expected = {
        "key-5minor 3/4 |: tempo=120 'Waltz' @A",
        "S segno=segno",
        "[1start",
        "[1stop :|",
        "4/4 [2start @Intro",
        "'To Coda' tocoda=coda [2discontinue",
        "12/8 @Solo",
        "f 'D.S. al Coda' dalsegno=segno",
        "Q coda=coda",
        "f 'Fine' fine=yes",
    };
    EXPECT_EQ(formOf(xml), expected);
    // Slash notes on B flat, which the key holds: no natural signs.
    EXPECT_NE(xml.find("<step>B</step>\n          <alter>-1</alter>"), std::string::npos);
}

// Keys as the song sets them, or as its chords make them heard; a chart
// without a chord has none to write.
TEST(ChordExport, KeySignatures)
{
    struct Case {
        Key key;
        const char* bars;
        const char* musicxml;
        const char* lilypond;
    };
    const Case cases[] = {
        {{11, 1, 0}, "C", "key-2major", "  \\key bes \\major\n"},
        {{7, 0, 1}, "C", "key3minor", "  \\key fis \\minor\n"},
        {{4, 1, 1}, "C", "key-6minor", "  \\key es \\minor\n"},
        {{4, 0, 1}, "C", "key6minor", "  \\key dis \\minor\n"},
        {{}, "Dm7 G7", "key0major", "  \\key c \\major\n"},
        {{}, "N.C.", "key0", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lilypond);
        ChartBuilder b(2, 1);
        b.bars({c.bars, c.bars == std::string("Dm7 G7") ? "Cmaj7" : c.bars}).chart().song.key = c.key;
        const auto chart = b.build();
        const std::string first = formOf(musicxml::write(*chart)).at(0);
        EXPECT_EQ(first.substr(0, first.find(' ')), c.musicxml);
        const std::string ly = lilypond::write(*chart);
        if (*c.lilypond)
            EXPECT_NE(ly.find(c.lilypond), std::string::npos) << ly;
        else
            EXPECT_EQ(ly.find("\\key"), std::string::npos) << ly;
    }
}

// "N.C." alone, beside a chord, repeated by "%", and the hidden bar holding
// "N.C." that charts imported earlier have: silence in every output.
TEST(LeadSheet, NoChordIsSilence)
{
    test::ChartBuilder builder(4, 2);
    builder.bars({"N.C.", "C7 N.C.", "%", "D7 N.C. %"});
    builder.hidden(5).chart().bar(5).slot(1).quality.assign("N.C.");
    const auto chart = builder.bar(6, "G7").hidden(7).hidden(8).build();
    const leadsheet::Sheet sheet = leadsheet::read(*chart);
    std::string read;
    for (const leadsheet::Measure& m : sheet.measures)
        read += describe(m) + "|";
    EXPECT_EQ(read, "N.C.:4 |C7:2 N.C.:2 |% C7:2 N.C.:2 |D7:1 N.C.:1 N.C.:2 |N.C.:4 |G7:4 |");
    const std::vector<std::string> xml = measures(musicxml::write(*chart));
    ASSERT_EQ(xml.size(), 6u);
    EXPECT_NE(xml[1].find("dominant[7]:2 "), std::string::npos) << xml[1];
    EXPECT_NE(xml[1].find("none[N.C.]rest:2 "), std::string::npos) << xml[1];
    const std::string ly = lilypond::write(*chart);
    for (const char* bar : {"  r1 |\n", "  c2:7 r2 |\n", "  d4:7 r4 r2 |\n"})
        EXPECT_NE(ly.find(bar), std::string::npos) << bar << ly;
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
    ChartBuilder b(4, (n + 3) / 4);
    for (int i = 0; i < n; ++i)
        b.bar(i + 1, "C").chart().bar(i + 1).slot(1).quality.assign(cases[i].quality);
    const auto chart = b.build();
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
        "  \\time 4/4\n",
        // The repeat draws its signs.
        "  \\repeat volta 2 {\n  \\mark \"A\" \\textMark \"En-tête\" c1 |\n",
        "  bes2:m7 f2:7 |\n",
        // The four places of a square are left, top, bottom, right in both.
        "  \\mark \"C\" \\textMark \"Fine\" cis4:maj7 d4:m7 es4:m7.5- e4:7/gis |\n",
        "  \\textMark \"droite\" f4 g4 a2 |\n",
        "  }\n  \\break\n",
        "  \\mark \"B\" bes2:6 c4:9 d4:m6 |\n",
        "  \\makePercent s1 |\n",
        "  d2:m6 g2:7 |\n",
        "  r1 |\n",
        "  \\break\n",
        "  \\textMark \"D.C.\" c1 |\n",
        // The short last row is filled with hidden squares.
        "  \\bar \"||\" \\stopStaff s1*3\n}\n",
    };
    expectInOrder(ly, expected);
}

// Repeats with their endings as LilyPond's own, which draw the signs and
// the brackets; the marks of the form; chords lasting the fraction of their
// bar the page gives them, in its meter.
TEST(LilyPond, TheFormInTheGrid)
{
    const std::string ly = lilypond::write(*test::formChart());
    const char* expected[] = {
        "  \\key bes \\minor\n  \\tempo 4 = 120\n  \\time 3/4\n",
        "  \\repeat volta 2 {\n  \\mark \"A\" c2. |\n  \\markSegno d2. |\n",
        "  \\alternative {\n  {\n  e4. f4. |\n  g2. |\n  }\n  {\n",
        "  \\time 4/4 \\mark \"Intro\" a1 |\n  bes1 \\textEndMark \\markup { \"To Coda\" \\coda } |\n"
        "  }\n  }\n  }\n",
        "  \\bar \"||\" \\time 12/8 \\mark \"Solo\" c1. |\n",
        "  d4.:m7 g4.:7 \\textMark \\markup \\musicglyph \"scripts.ufermata\" c2. \\textEndMark \"D.S. al Coda\" |\n",
        "  \\markCoda e1. |\n",
        "\\makePercent s1. \\textEndMark \"Fine\" |\n  \\bar \"||\" \\stopStaff s1.*2\n",
    };
    expectInOrder(ly, expected);
    // An ending with no repeat sign to belong to gets its bracket alone.
    const auto loose = ChartBuilder(4, 1).bars({"C", "D", "E", "F"}).ending(3, 4, 1).build();
    EXPECT_NE(lilypond::write(*loose).find("  \\set Score.repeatCommands = #'((volta \"1.\")) e1 |\n"
                                           "  f1 \\set Score.repeatCommands = #'((volta #f)) |\n"),
              std::string::npos)
        << lilypond::write(*loose);
}

// --- what every format does with N.C. and with hostile texts -------------------------

// The link's song in clear: percent escapes decoded, music as written.
std::string decodedLink(std::string_view link)
{
    std::string out;
    for (std::size_t i = 0; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size()) {
            out += static_cast<char>(std::stoi(std::string(link.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += link[i];
        }
    }
    return out;
}

enum class ExportFormat { MusicXml, LilyPond, IRealLink };

std::string exported(const Chart& chart, ExportFormat format)
{
    switch (format) {
    case ExportFormat::MusicXml: return musicxml::write(chart);
    case ExportFormat::LilyPond: return lilypond::write(chart);
    case ExportFormat::IRealLink: return decodedLink(ireal::toLink(chart));
    }
    return {};
}

TEST(ChordExport, NoChordIsSilenceInEveryFormat)
{
    const auto chart = noChordChart();
    const leadsheet::Sheet sheet = leadsheet::read(*chart);
    ASSERT_EQ(sheet.measures.size(), 5u);
    EXPECT_EQ(describe(sheet.measures[0]) + "|" + describe(sheet.measures[2]), "Dm7:2 N.C.:2 |% N.C.:4 ");

    struct Case {
        ExportFormat format;
        std::string expected;
    };
    const Case cases[] = {
        // A harmony of kind "none" that shows no root, over a rest.
        {ExportFormat::MusicXml, "<harmony>\n        <function/>\n        <kind text=\"N.C.\">none</kind>\n"
                                 "      </harmony>\n      <note>\n        <rest/>\n        <duration>2</duration>"},
        {ExportFormat::LilyPond, "  d2:m7 r2 |\n  r1 |\n  \\makePercent s1 |\n  \\break\n  r1 |\n  c1 |\n"},
        {ExportFormat::IRealLink, "1r34LbKcu7|D-7 n |n   | x  |n   |C   ==0=0"},
    };
    for (const Case& c : cases) {
        const std::string out = exported(*chart, c.format);
        EXPECT_NE(out.find(c.expected), std::string::npos) << out;
    }
    const std::vector<std::string> expected = {
        "D minor-seventh[m7]:2  none[N.C.]rest:2 ", " none[N.C.]rest:4 ", " none[N.C.]rest:4 ",
        " none[N.C.]rest:4 ", "C major[]:4 ",
    };
    EXPECT_EQ(measures(musicxml::write(*chart)), expected);
}

// Texts from a damaged or hostile chart file: every control character, NUL
// included, in the title, composer, style, a section name, words on a bar and
// a chord's quality, beside the characters each format must escape.
TEST(ChordExport, ControlCharactersNeverReachAnyFormat)
{
    std::string controls;
    for (int c = 0; c < 0x20; ++c)
        controls += static_cast<char>(c);
    controls += '\x7F';
    auto hostile = [&](std::string_view text) {
        return std::string(text.substr(0, 1)) + controls + std::string(text.substr(1));
    };
    ChartBuilder b(4, 1);
    const Bar& b2 = b.bars({"C C C C", "F"}).chart().bar(2);
    auto chart = b.label("Title", 150, 40, 18, true)
                     .label("Composer", 400, 100)
                     .label("Style", 70, 100)
                     .label("A", 30, b2.y + 20, 12, true)
                     .label("Fine", b2.x + 4, b2.y + 3, 7)
                     .build();
    chart->label(1).text.assign(hostile("N&\"D\" <1> \\ = 'x'"));
    for (int j = 2; j <= 5; ++j)
        chart->label(j).text.assign(hostile(chart->label(j).text.view()));
    // Seven controls after the "7" of each quality, which holds 8 bytes.
    for (int k = 0; k < 5; ++k)
        chart->bar(k < 4 ? 1 : 2).chords[k % 4].quality.assign("7" + controls.substr(std::size_t(k) * 7, 7));

    struct Case {
        ExportFormat format;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {ExportFormat::MusicXml,
         {"<work-title>N&amp;&quot;D&quot; &lt;1&gt; \\ = &apos;x&apos;</work-title>",
          "<creator type=\"composer\">Composer</creator>", "<words>Style</words>", "<rehearsal>A</rehearsal>",
          "<kind text=\"7\" use-symbols=\"no\">dominant</kind>", "<words>Fine</words>"}},
        {ExportFormat::LilyPond,
         {"title = \"N&\\\"D\\\" <1> \\\\ = 'x'\"", "composer = \"Composer\"", "meter = \"Style\"",
          "\\mark \"A\" c4:7 c4:7 c4:7 c4:7 |", "\\textMark \"Fine\" f1:7 |"}},
        // "=" parts the fields: the title goes without it.
        {ExportFormat::IRealLink,
         {"irealb://N&\"D\" <1> \\  'x'=Composer==Style=F==1r34LbKcu7|*AC7,C7,C7,C7|<Fine>F7   |"}},
    };
    for (const Case& c : cases) {
        const std::string out = exported(*chart, c.format);
        SCOPED_TRACE(out);
        for (const std::string& e : c.expected)
            EXPECT_NE(out.find(e), std::string::npos) << e;
        // Line feeds end lines; nothing else below U+0020 and no DEL.
        EXPECT_EQ(out.find_first_of(controls.substr(0, 10) + controls.substr(11)), std::string::npos);
    }
}

} // namespace
} // namespace mavrel
