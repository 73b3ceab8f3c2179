// Import of a 300-song iReal Pro playlist page, as "mavrel import" does it
// short of the disk: the links read, every song made a chart and encoded as
// its chart file. "ms" is the figure to watch (target: under 1000); x_memcpy
// puts it beside a memcpy of the chart files it produces.
//
// Then texts built to cost the most, each read whole and each song made a
// chart or refused: "ms" and "MB" (the most memory the reading took beyond
// the text itself) must stay under 1000 and 200, and x_memcpy, beside a
// memcpy of the text, shows that the time grows with the text alone.
#include "document/chartfile.h"
#include "document/ireal.h"

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace mavrel;

// The six songs of the test playlist, fifty times over, in one link of a page.
std::string bigPlaylist()
{
    std::ifstream in(std::string(MAVREL_TEST_DATA) + "/ireal/jazz-combo.html", std::ios::binary);
    const std::string page(std::istreambuf_iterator<char>(in), {});
    const std::size_t begin = page.find("irealb://");
    const std::size_t end = page.find('"', begin);
    if (begin == std::string::npos || end == std::string::npos)
        return {};
    const std::string link = page.substr(begin, end - begin);
    const std::string separator = "%3D%3D%3D";   // "===" between songs
    const std::size_t name = link.rfind(separator);
    const std::string songs = link.substr(0, name);
    std::string big = songs;
    for (int i = 1; i < 50; ++i)
        big += separator + songs.substr(std::strlen("irealb://"));
    return "<html><body><a href=\"" + big + link.substr(name) + "\">Jazz</a></body></html>";
}

void BM_ImportPlaylist300(benchmark::State& state)
{
    const std::string page = bigPlaylist();
    std::size_t songs = 0, bytes = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        const ireal::Playlist playlist = ireal::readPlaylist(page);
        songs = bytes = 0;
        for (const ireal::Song& song : playlist.songs) {
            const ireal::Conversion c = ireal::toChart(song);
            if (!c.chart) {
                state.SkipWithError("a song was refused");
                return;
            }
            const std::vector<std::uint8_t> file = encodeChart(*c.chart);
            benchmark::DoNotOptimize(file.data());
            bytes += file.size();
            ++songs;
        }
        cpu += cpuSeconds() - start;
    }
    if (songs != 300)
        state.SkipWithError("the playlist does not hold 300 songs");
    const double perImport = cpu / static_cast<double>(state.iterations());

    std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
    constexpr int Rounds = 200;
    const double start = cpuSeconds();
    for (int i = 0; i < Rounds; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    const double copy = (cpuSeconds() - start) / Rounds;

    state.counters["songs"] = static_cast<double>(songs);
    state.counters["ms"] = perImport * 1e3;
    state.counters["x_memcpy"] = perImport / copy;
}
BENCHMARK(BM_ImportPlaylist300)->Unit(benchmark::kMillisecond);

// One song of clear music in an "irealb" link.
std::string songLink(const std::string& music)
{
    return "irealb://Cost=Me==Swing=C==1r34LbKcu7" + ireal::scramble(music) + "==0=0";
}

std::string repeated(std::string_view piece, std::size_t bytes)
{
    std::string out;
    out.reserve(bytes + piece.size());
    while (out.size() < bytes)
        out += piece;
    return out;
}

// The resident memory of the process now and at its peak, in bytes, or -1.
long statusBytes(const char* field)
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    const std::size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0)
            kb = std::strtol(line + n, nullptr, 10);
    std::fclose(f);
    return kb < 0 ? -1 : kb * 1024;
}

// Lets the peak start again from the memory in use now.
bool resetPeak()
{
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

// 60 MB of one-bar repeats; one bar of ten million chords; 60 MB of lone "%";
// slashes and invisible roots after bars without a chord; songs each with a
// damaged escape; a page of tiny "irealbook" songs.
void BM_IRealCostlyText(benchmark::State& state, const std::function<std::string()>& make)
{
    const std::string text = make();
    double cpu = 0;
    long peak = -1;
    for (auto _ : state) {
        const bool measured = resetPeak();
        const long before = statusBytes("VmRSS:");
        const double start = cpuSeconds();
        const ireal::Playlist playlist = ireal::readPlaylist(text);
        std::size_t charts = 0;
        for (const ireal::Song& song : playlist.songs)
            charts += ireal::toChart(song).chart ? 1 : 0;
        benchmark::DoNotOptimize(charts);
        cpu += cpuSeconds() - start;
        if (measured && before >= 0)
            peak = std::max(peak, statusBytes("VmHWM:") - before);
    }
    const double perRead = cpu / static_cast<double>(state.iterations());
    std::vector<unsigned char> from(text.size(), 0x5A), to(text.size());
    constexpr int Rounds = 20;
    const double start = cpuSeconds();
    for (int i = 0; i < Rounds; ++i) {
        std::memcpy(to.data(), from.data(), text.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    const double copy = (cpuSeconds() - start) / Rounds;
    state.counters["ms"] = perRead * 1e3;
    state.counters["MB"] = static_cast<double>(peak) / 1e6;
    state.counters["x_memcpy"] = perRead / copy;
    state.counters["text_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK_CAPTURE(BM_IRealCostlyText, repeats_60MB, [] { return songLink(repeated("|x", 60'000'000)); })
    ->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_IRealCostlyText, chords_10M, [] { return songLink("[" + repeated("C,", 20'000'000) + "]"); })
    ->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_IRealCostlyText, percents_60MB, [] { return "irealb://" + repeated("%", 60'000'000); })
    ->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_IRealCostlyText, slashes_320KB,
                  [] { return songLink("[C" + repeated("|x", 160'000) + repeated("|pW/G", 160'000) + "]"); })
    ->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_IRealCostlyText, bad_escapes_4MB,
                  [] { return "irealb://" + repeated("Bad%G1=C==S=C==1r34LbKcu7[C]==0=0===", 4'500'000); })
    ->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_IRealCostlyText, tiny_songs_60MB,
                  [] { return "irealbook://" + repeated("T=C=S=C=n=[C]=", 60'000'000); })
    ->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
