// The accompaniment of a 500-bar chart, as the player asks for it before
// sounding a note: the form unrolled, every chord read and voiced, the bass,
// piano and drums of one style. "ms" is the figure to watch (target: under
// 5 for every style); x_save puts it beside encoding the same chart as its
// file, measured in the same run.
#include "accompaniment/arranger.h"
#include "document/chartfile.h"
#include "document/layout.h"

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace mavrel;

// 500 bars in sections of 32 with repeats, endings and a D.S. al Coda; one
// to four chords a bar, of every common quality.
std::unique_ptr<Chart> longSong()
{
    auto c = std::make_unique<Chart>();
    resetChart(*c);
    c->info.columns = 20;
    c->info.rows = 25;
    static const char* const Qualities[] = {"m7", "7", "M7", "\xF8", "7b9", "13", "m9", "6", "7alt", "dim7", "9sus4",
                                            "M7#11", "m6", "7/G", "", "m"};
    static const int Divisions[] = {1, 2, 1, 3, 1, 2, 4, 5};
    for (int i = 1; i <= MaxBars; ++i) {
        Bar& b = c->bar(i);
        b.division = static_cast<std::uint8_t>(Divisions[i % 8]);
        for (int s = 1; s <= 4; ++s) {
            Chord& a = b.slot(s);
            a.root = static_cast<std::uint8_t>(1 + (i * 7 + 5 * s) % 12);
            a.quality.assign(Qualities[(i * 3 + s) % 16]);
        }
        if (i % 32 == 1)
            b.left = 1;
        if (i % 32 == 16)
            b.right = 1;
        if (i % 32 == 15)
            c->song.bar(i).ending = 1;
        if (i % 32 == 17)
            c->song.bar(i).ending = 2;
    }
    c->song.bar(3).flags = SegnoFlag;
    c->song.bar(450).direction = Direction::ToCoda;
    c->song.bar(480).direction = Direction::DalSegnoAlCoda;
    c->song.bar(481).flags = CodaFlag;
    layoutChart(*c);
    return c;
}

void BM_Accompaniment500(benchmark::State& state)
{
    const auto chart = longSong();
    accompaniment::Options options;
    options.style = static_cast<int>(state.range(0));
    std::size_t notes = 0, bars = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        const accompaniment::Performance p = accompaniment::arrange(*chart, options);
        cpu += cpuSeconds() - start;
        notes = 0;
        for (const accompaniment::Track& t : p.tracks)
            notes += t.notes.size();
        bars = p.bars.size();
        benchmark::DoNotOptimize(p.tracks.data());
    }
    const double perArrange = cpu / static_cast<double>(state.iterations());

    constexpr int Rounds = 50;
    const double start = cpuSeconds();
    for (int i = 0; i < Rounds; ++i) {
        const std::vector<std::uint8_t> file = encodeChart(*chart);
        benchmark::DoNotOptimize(file.data());
    }
    const double save = (cpuSeconds() - start) / Rounds;

    state.counters["bars"] = static_cast<double>(bars);
    state.counters["notes"] = static_cast<double>(notes);
    state.counters["ms"] = perArrange * 1e3;
    state.counters["x_save"] = perArrange / save;
}
BENCHMARK(BM_Accompaniment500)->DenseRange(0, accompaniment::StyleCount - 1)->Unit(benchmark::kMillisecond);

} // namespace
