// Import of a 300-song iReal Pro playlist page, as "mavrel import" does it
// short of the disk: the links read, every song made a chart and encoded as
// its chart file. "ms" is the figure to watch (target: under 1000); x_memcpy
// puts it beside a memcpy of the chart files it produces.
#include "document/chartfile.h"
#include "document/ireal.h"

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <fstream>
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

} // namespace
