// Writes a few valid charts into a folder, as the starting corpus of the
// fuzz target: fresh, landscape with labels, the largest chart with odd
// values in every record, the smallest grid, and charts that cost the most
// to draw: 500-point chords of 2,000 different qualities, the largest page,
// a chart with song information of every kind in its extension,
// labels of 100 characters at 127 points, and labels at the ends of the int
// range.
//
// Given a second folder, writes there the starting texts of the text fuzz
// target: typed bars, and iReal Pro links of every kind the reader meets in
// real tunes, damaged ones, and ones that cost the most within 64 KB.
#include "document/chartfile.h"
#include "document/ireal.h"
#include "document/layout.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>

using namespace mavrel;

namespace {

bool save(const Chart& chart, const std::string& folder, const char* name)
{
    const FileResult r = saveChart(chart, folder + "/" + name);
    if (!r.ok)
        std::fprintf(stderr, "%s: %s\n", name, r.message.text().c_str());
    return r.ok;
}

bool saveText(const std::string& text, const std::string& folder, const std::string& name)
{
    const FileResult r = writeFile(folder + "/" + name,
                                   {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    if (!r.ok)
        std::fprintf(stderr, "%s: %s\n", name.c_str(), r.message.text().c_str());
    return r.ok;
}

std::string repeated(std::string_view piece, std::size_t bytes)
{
    std::string out;
    while (out.size() < bytes)
        out += piece;
    return out;
}

// One song of clear music in an "irealb" link.
std::string songLink(std::string_view music)
{
    return "irealb://T=Me==Swing=C==1r34LbKcu7" + ireal::scramble(music) + "==0=0";
}

bool saveTexts(const std::string& folder)
{
    const std::string song = "=Me=Swing=C=n=[C|Dm7 G7|C]";
    const std::pair<const char*, std::string> texts[] = {
        {"bar-two", "Dm7 G7"},
        {"bar-half-first", "Em7. A7 Dm7"},
        {"bar-basses", "Cm7/Bb Fb C/E#"},
        {"bar-marks", "[Intro] 1. S Q |: 3/4 Dm7. G7 N.C. f :| <D.S. al Coda>"},
        {"irealbook", "irealbook://Song" + song},
        {"irealbook-many", "irealbook://A" + song + "=B" + song + "=C" + song + "=Liste"},
        {"parts-without-name", songLink("[C]") + "===" + songLink("[D]").substr(9)},
        {"forum-post", "[url]" + songLink("[C|D]") + "[/url] <a href=\"irealbook://B" + song + "\">B</a>"},
        {"line-breaks", songLink("{*AC^7 |A-7 }\n[*BD-9 |G7#5 Z\r\n")},
        {"controls", "irealb://A%01B=Night%00Day==S%1F=C==1r34LbKcu7[C<F%07ine>]==0=0===Li%0Aste"},
        {"unreadable", songLink("[Fm9 D*m7 * G*m7*|W-|H7 ?|C/H]")},
        {"no-chord", songLink("|C|n p p|p|D,n,E,F|n,C]")},
        {"small-chords", songLink("|sAb^7,F-7,Bb7 |C^ sD-7,G7,|lC^|sC,D,E|")},
        {"custom-quality", songLink("[G* AABA*|C*maj 7*|D**]")},
        {"cut", "irealb://Cut=C==S=C==1r34LbKcu7" + ireal::scramble(repeated("|C7 F7", 120)).substr(0, 300)},
        {"cost-repeats", songLink(repeated("|x", 60000))},
        {"cost-chords", songLink("[" + repeated("C,", 60000) + "]")},
        {"cost-percents", "irealb://" + repeated("%", 60000)},
        {"cost-slashes", songLink("[C" + repeated("|x", 10000) + repeated("|pW/G", 8000) + "]")},
        {"cost-escapes", "irealb://" + repeated("Bad%G1=C==S=C==1r34LbKcu7[C]==0=0===", 60000)},
        {"cost-comments", songLink("[C" + repeated("<(*", 60000))},
        {"cost-songs", "irealbook://" + repeated("T=C=S=C=n=[C]=", 60000)},
    };
    bool ok = true;
    for (const auto& [name, text] : texts)
        ok &= saveText(text, folder, name);
    return ok;
}

void addLabels(Chart& chart, int count)
{
    for (int j = 1; j <= count; ++j) {
        TextLabel& t = chart.label(j);
        t.text.assign("Label " + std::to_string(j));
        t.x = 20 * j;
        t.y = 10 + j;
        t.bold = static_cast<std::uint8_t>(j % 2);
        t.size = static_cast<std::int8_t>(8 + j % 20);
    }
    chart.info.labelCount = count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER [TEXT_FOLDER]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    auto chart = std::make_unique<Chart>();
    bool ok = argc != 3 || saveTexts(argv[2]);

    resetChart(*chart);
    ok &= save(*chart, folder, "fresh.bab");

    chart->info.pageWidth = 800;
    chart->info.pageHeight = 565;
    chart->info.columns = 6;
    chart->info.rows = 4;
    chart->bar(3).division = 3;
    chart->bar(3).slot(2).root = 5;
    chart->bar(3).slot(2).quality.assign("m7");
    chart->bar(4).left = 1;
    chart->bar(4).right = 2;
    addLabels(*chart, 3);
    layoutChart(*chart);
    ok &= save(*chart, folder, "landscape.bab");

    std::mt19937 random(1);
    for (Bar& bar : chart->bars)
        for (std::size_t i = 0; i < sizeof bar; ++i)
            reinterpret_cast<unsigned char*>(&bar)[i] = static_cast<unsigned char>(random());
    for (Bar& bar : chart->bars)
        for (Chord& c : bar.chords)
            c.quality.len %= RecordQualityLength + 1;   // what a record can say
    chart->info.columns = 5;
    chart->info.rows = 100;
    addLabels(*chart, MaxLabels);
    chart->label(7).size = -3;
    chart->label(8).text.len = 255;
    layoutChart(*chart);
    ok &= save(*chart, folder, "full.bab");

    // Song information of every kind, and long qualities.
    resetChart(*chart);
    SongInfo& song = chart->song;
    song.tempo = 132;
    song.time = {3, 4};
    song.key = {4, 1, 1};
    song.chordStyle = ChordStyle::Jazz;
    song.autoSize = 1;
    setText(song.title, "Chanson \xC3\xA0 fuzzer");
    setText(song.composer, "Quelqu'un");
    setText(song.style, "Jazz Waltz");
    for (int i = 1; i <= 32; ++i) {
        BarMarks& m = song.bar(i);
        if (i % 8 == 1)
            setText(m.section, std::string(1, char('A' + i / 8)));
        m.ending = static_cast<std::uint8_t>(i % 4 == 3 ? 1 : i % 4 == 0 ? 2 : 0);
        m.flags = static_cast<std::uint8_t>(i % 7);
        m.direction = static_cast<Direction>(i % DirectionCount);
        if (i == 17)
            m.time = {5, 8};
        chart->bar(i).slot(1) = i % 2 ? Chord{static_cast<std::uint8_t>(1 + i % 12), {}, 1, 0} : noChord();
        if (i % 2)
            chart->bar(i).slot(1).quality.assign("7sus4(b9,#11)");
    }
    ok &= save(*chart, folder, "song.bab");

    resetChart(*chart);
    chart->info.columns = 1;
    chart->info.rows = 1;
    chart->info.topMargin = chart->info.bottomMargin = chart->info.sideMargin = 0;
    layoutChart(*chart);
    ok &= save(*chart, folder, "single.bab");

    resetChart(*chart);
    chart->info.fontSize = 500;
    chart->info.columns = 20;
    chart->info.rows = 25;
    layoutChart(*chart);
    int quality = 0;
    for (Bar& bar : chart->bars) {
        bar.division = 3;
        for (int s = 1; s <= 4; ++s, ++quality) {
            char name[16];
            std::snprintf(name, sizeof name, "q%07d", quality);
            bar.slot(s).root = static_cast<std::uint8_t>(1 + quality % 12);
            bar.slot(s).quality.assign(name);
        }
    }
    ok &= save(*chart, folder, "huge-chords.bab");

    resetChart(*chart);
    chart->info.pageWidth = 10000;
    chart->info.pageHeight = 10000;
    layoutChart(*chart);
    ok &= save(*chart, folder, "huge-page.bab");

    resetChart(*chart);
    for (int j = 1; j <= MaxLabels; ++j) {
        TextLabel& t = chart->label(j);
        std::string text;
        for (int k = 0; k < 100; ++k)
            text += static_cast<char>('A' + (j + k) % 26);
        t.text.assign(text);
        t.x = j;
        t.y = 7 * j;
        t.bold = static_cast<std::uint8_t>(j % 2);
        t.size = 127;
    }
    chart->info.labelCount = MaxLabels;
    ok &= save(*chart, folder, "huge-labels.bab");

    resetChart(*chart);
    addLabels(*chart, 4);
    constexpr int Min = std::numeric_limits<int>::min(), Max = std::numeric_limits<int>::max();
    const int far[4][2] = {{Max, Max}, {Min, Min}, {Max, 100}, {100, Min}};
    for (int j = 1; j <= 4; ++j) {
        chart->label(j).x = far[j - 1][0];
        chart->label(j).y = far[j - 1][1];
    }
    ok &= save(*chart, folder, "far-labels.bab");

    // A song the band plays: repeats with endings, a segno and a coda, a
    // change of meter, N.C., a slash bass and a long quality.
    resetChart(*chart);
    const char* const qualities[] = {"m7", "7", "M7", "7b9", "\xF8", "13#11", "7alt", "m6", "7(#9,b13)/E"};
    for (int i = 1; i <= 32; ++i) {
        Bar& bar = chart->bar(i);
        bar.division = static_cast<std::uint8_t>(1 + i % 5);
        for (int s = 1; s <= 4; ++s) {
            bar.slot(s).root = static_cast<std::uint8_t>(1 + (i * 5 + s * 7) % 12);
            bar.slot(s).quality.assign(qualities[(i + s) % 9]);
        }
    }
    chart->bar(7).slot(1) = noChord();
    chart->bar(1).left = 1;
    chart->bar(8).right = 1;
    chart->bar(7).right = 1;
    song.tempo = 132;
    setText(song.style, "Bossa Nova");
    song.bar(7).ending = 1;
    song.bar(8).ending = 2;
    song.bar(9).flags = SegnoFlag;
    song.bar(20).direction = Direction::ToCoda;
    song.bar(28).direction = Direction::DalSegnoAlCoda;
    song.bar(29).flags = CodaFlag | FermataFlag;
    song.bar(13).time = {3, 4};
    song.bar(17).time = {6, 8};
    song.bar(21).time = {4, 4};
    layoutChart(*chart);
    ok &= save(*chart, folder, "song-form.bab");
    return ok ? 0 : 1;
}
