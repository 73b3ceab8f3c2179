// Any text at all given to the readers of typed text: iReal Pro links and
// chords typed from the keyboard. Each either refuses the text with a
// message or gives what it promises: a chart the file format can hold, which
// comes back with the same bars through its own iReal link, and in which no
// text, nor any message, carries a control character; a bar that reads back
// the same from its text; a set list that reads back the same from the text
// it writes.
#include "document/chartfile.h"
#include "document/chordtext.h"
#include "document/ireal.h"
#include "document/lilypond.h"
#include "document/musicxml.h"
#include "document/setlist.h"
#include "document/text.h"
#include "document/win1252.h"

#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string_view>

using namespace mavrel;

namespace {

// A promise broken: the line that says which, then the crash the fuzzer
// keeps the input of.
void checkAt(bool condition, int line)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz_text.cpp:%d: check failed\n", line);
    std::abort();
}
#define check(condition) checkAt((condition), __LINE__)

bool sameBars(const Chart& a, const Chart& b)
{
    if (a.info.count != b.info.count)
        return false;
    for (int i = 1; i <= a.info.count; ++i) {
        const Bar& x = a.bar(i);
        const Bar& y = b.bar(i);
        if (x.division != y.division || x.left != y.left || x.right != y.right || x.shown != y.shown)
            return false;
        for (int s = 0; s < 4; ++s)
            if (x.chords[s].root != y.chords[s].root || x.chords[s].quality.view() != y.chords[s].quality.view())
                return false;
    }
    return true;
}

// Windows-1252 bytes with no control character among them.
bool printable(std::string_view win1252)
{
    for (const unsigned char b : win1252)
        if (b < 0x20 || b == 0x7F)
            return false;
    return true;
}

bool printable(const Message& m) { return !text::hasControl(m.text()); }

void readLinks(std::string_view text)
{
    const ireal::Playlist playlist = ireal::readPlaylist(text);
    check(!text::hasControl(playlist.name));
    for (const Message& w : playlist.warnings)
        check(printable(w));
    for (const ireal::Song& song : playlist.songs) {
        const ireal::Conversion c = ireal::toChart(song);
        check(printable(c.error));
        for (const Message& w : c.warnings)
            check(printable(w));
        if (!c.chart) {
            check(!c.error.empty());
            continue;
        }
        for (int j = 1; j <= c.chart->info.labelCount; ++j)
            check(printable(c.chart->label(j).text.view()));
        for (const Bar& bar : c.chart->bars)
            for (const Chord& chord : bar.chords)
                check(printable(chord.quality.view()));
        check(checkLayout(c.chart->info) == LayoutProblem::None);
        check(!encodeChart(*c.chart).empty());
        const ireal::Playlist again = ireal::readPlaylist(ireal::toLink(*c.chart));
        check(again.songs.size() == 1);
        const ireal::Conversion back = ireal::toChart(again.songs.front());
        check(back.chart && sameBars(*c.chart, *back.chart));
        check(!musicxml::write(*c.chart).empty());
        check(!lilypond::write(*c.chart).empty());
    }
}

void readTypedBar(std::string_view text)
{
    const TypedBar bar = readBar(text);
    if (!bar.error.empty())
        return;
    check(bar.count >= 1 && bar.count <= 4 && bar.division >= 1 && bar.division <= 5);
    Bar stored = blankBar();
    BarMarks marks{};
    storeTypedBar(stored, marks, bar);
    // What the typing box shows of the bar reads back to the same bytes.
    const TypedBar again = readBar(barText(stored, marks));
    check(again.error.empty() && again.division == bar.division && again.count == bar.count);
    Bar storedAgain = blankBar();
    BarMarks marksAgain{};
    storeTypedBar(storedAgain, marksAgain, again);
    // A bar stored otherwise than typed ("Fb" is E, its flat kept for the
    // spelling of later moves) reads back to the same text; any other to
    // the same bytes.
    if (bar.notice.empty())
        check(std::memcmp(&stored, &storedAgain, sizeof stored) == 0
              && std::memcmp(&marks, &marksAgain, sizeof marks) == 0);
    else
        check(barText(storedAgain, marksAgain) == barText(stored, marks));
    check(text::isUtf8(marks.section.view()) && !text::hasControl(marks.section.view()));
    for (int k = 0; k < bar.count; ++k)
        check(!text::hasControl(win1252::toUtf8(bar.chords[k].quality.view())));
}

void readSetList(std::string_view text)
{
    const SetListReading r = readSetListText(text);
    if (!r.error.empty())
        return;
    check(!text::hasControl(r.list.name));
    for (const Message& w : r.warnings)
        check(printable(w));
    const SetListReading again = readSetListText(setListText(r.list));
    check(again.error.empty() && again.warnings.empty() && again.list == r.list);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    readLinks(text);
    readSetList(text);
    if (size < 64)
        readTypedBar(text);
    return 0;
}
