// Any chart file played by the band in every style: whatever its bars,
// signs, marks and meters, the performance is bounded and every note is one
// a synthesizer and a MIDI file can take; its MIDI file is well formed.
#include "accompaniment/arranger.h"
#include "accompaniment/form.h"
#include "accompaniment/midifile.h"
#include "document/chartfile.h"
#include "document/layout.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace mavrel;
using namespace mavrel::accompaniment;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkPerformance(const Performance& p, int countIn)
{
    // The longest bar is 16 whole notes.
    constexpr std::int64_t LongestBar = 16 * 4 * TicksPerQuarter;
    check(p.end >= 0 && p.end <= (countIn + MaxPlaysPerBar * MaxBars) * LongestBar);
    check(p.tempo >= 1 && p.tempo <= 999);
    check(p.tracks.size() == InstrumentCount);
    std::int64_t previous = -1;
    for (const PlayedBar& b : p.bars) {
        check(b.start > previous && b.start < p.end);
        check(b.meter.beats >= 1 && b.meter.beats <= 16 && b.meter.unit >= 1 && b.meter.unit <= 32);
        previous = b.start;
    }
    for (const PlayedChord& c : p.chords)
        check(c.start >= 0 && c.length >= 1 && c.start + c.length <= p.end && c.root >= 0 && c.root <= 12);
    for (const Track& t : p.tracks) {
        check(t.channel >= 0 && t.channel <= 15 && t.program >= 0 && t.program <= 127);
        std::int64_t last = 0;
        for (const Note& n : t.notes) {
            check(n.start >= last);
            last = n.start;
            check(n.length >= 1 && n.start + n.length <= p.end);
            check(n.pitch <= 127 && n.velocity >= 1 && n.velocity <= 127);
        }
    }
    // No pitch sounds twice at once on a channel: within a track, each note
    // ends before the next of its pitch begins; tracks that share a channel
    // (drums and click) share no pitch.
    std::array<std::array<int, 128>, 16> owner{};   // by channel and pitch: the track using it, + 1
    for (std::size_t k = 0; k < p.tracks.size(); ++k) {
        const Track& t = p.tracks[k];
        std::array<std::int64_t, 128> free{};
        for (const Note& n : t.notes) {
            check(n.start >= free[n.pitch]);
            free[n.pitch] = n.start + n.length;
            int& user = owner[static_cast<std::size_t>(t.channel)][n.pitch];
            check(user == 0 || user == static_cast<int>(k) + 1);
            user = static_cast<int>(k) + 1;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto chart = std::make_unique<Chart>();
    resetChart(*chart);
    if (!decodeChart({data, size}, *chart, "chart.bab").ok)
        return 0;
    layoutChart(*chart);

    // The options from the last bytes, so that the fuzzer varies them too.
    const std::uint8_t tail = size ? data[size - 1] : 0;
    Options options;
    options.seed = static_cast<std::uint32_t>(size);
    options.choruses = 1 + tail % 2;
    options.countInBars = tail / 3 % 3;
    options.click = (tail & 0x40) != 0;
    options.fromBar = tail & 0x80 ? (size > 1 ? data[size - 2] : 0) : 0;
    for (int style = 0; style < StyleCount; ++style) {
        options.style = style;
        const Performance p = arrange(*chart, options);
        checkPerformance(p, options.countInBars);
        if (style == tail % StyleCount) {
            const std::vector<std::uint8_t> midi = midiFile(p, chart->song.title.view());
            check(midi.size() >= 14 && std::memcmp(midi.data(), "MThd", 4) == 0);
        }
    }
    return 0;
}
