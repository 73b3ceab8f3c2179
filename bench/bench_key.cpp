// Detecting the key of a full chart: 500 bars of standards' changes, some of
// four chords. "us" is the figure to watch (target: well under 1000);
// x_loop puts it beside a plain loop that reads every chord of the same bars.
#include "document/chordtext.h"
#include "document/key.h"
#include "document/layout.h"

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <iterator>
#include <memory>
#include <string_view>

using namespace mavrel;

namespace {

std::unique_ptr<Chart> fullChart()
{
    static constexpr std::string_view Bars[] = {
        "Em7b5", "A7b9", "Cm7", "F7", "Fm7", "Bb7", "Ebmaj7", "Ab7",
        "Bbmaj7", "Em7b5 A7", "Dm7", "Bbm7 Eb7", "Fmaj7", "Em7b5 A7", "Am7b5", "D7b9",
        "G7#5", "%", "Cm7 C#o7", "Dm7 G7 Cm7 F7", "Ab7sus4", "%", "Bbmaj7/D", "Dbo7",
        "Cm7 F7/C", "Dm7. G7 Gb7", "Cm7 Cm7/Bb Am7b5 Ab7", "F7alt", "Bb6", "N.C.", "Bbmaj7", "Cm7 F7",
    };
    auto c = std::make_unique<Chart>();
    resetChart(*c);
    c->info.columns = 20;
    c->info.rows = 25;
    layoutChart(*c);
    for (int i = 1; i <= MaxBars; ++i) {
        const TypedBar t = readBar(Bars[static_cast<std::size_t>(i - 1) % std::size(Bars)]);
        Bar& b = c->bar(i);
        b.division = static_cast<std::uint8_t>(t.division);
        for (int k = 0; k < t.count; ++k)
            b.chords[k] = t.chords[k];
    }
    return c;
}

// What any reading of the chords costs at least: every slot of every bar.
int plainLoop(const Chart& chart)
{
    int sum = 0;
    for (int i = 1; i <= chart.info.count; ++i)
        for (const Chord& c : chart.bar(i).chords)
            sum += c.root + static_cast<int>(c.quality.size()) + c.flat;
    return sum;
}

void BM_DetectKey500(benchmark::State& state)
{
    const auto chart = fullChart();
    if (detectKey(*chart).empty()) {
        state.SkipWithError("no key in the chart");
        return;
    }
    double cpu = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        const Key key = detectKey(*chart);
        benchmark::DoNotOptimize(key);
        cpu += cpuSeconds() - start;
    }
    const double perDetection = cpu / static_cast<double>(state.iterations());

    constexpr int Rounds = 20000;
    const double start = cpuSeconds();
    for (int i = 0; i < Rounds; ++i) {
        benchmark::DoNotOptimize(plainLoop(*chart));
        benchmark::ClobberMemory();
    }
    const double loop = (cpuSeconds() - start) / Rounds;

    state.counters["us"] = perDetection * 1e6;
    state.counters["x_loop"] = perDetection / loop;
}
BENCHMARK(BM_DetectKey500)->Unit(benchmark::kMicrosecond);

} // namespace
