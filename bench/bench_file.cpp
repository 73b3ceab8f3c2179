// Save and Load of the largest chart beside plain I/O of the same bytes. Each
// case times its baseline in the same loop, interleaved, so the ratio is
// taken on the same machine state: ratio_write / ratio_read are the figures
// to watch (target: within 3).
#include "document/chartfile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

using namespace mavrel;
using Clock = std::chrono::steady_clock;

// 5 x 100 bars and 100 labels with every byte set.
std::unique_ptr<Chart> fullChart()
{
    auto chart = std::make_unique<Chart>();
    std::mt19937 random(7);
    for (Bar& bar : chart->bars)
        for (std::size_t i = 0; i < sizeof bar; ++i)
            reinterpret_cast<unsigned char*>(&bar)[i] = static_cast<unsigned char>(random());
    for (TextLabel& t : chart->labels)
        for (std::size_t i = 0; i < sizeof t; ++i)
            reinterpret_cast<unsigned char*>(&t)[i] = static_cast<unsigned char>(random());
    chart->info = GridInfo{500, 83, 7, 5, 100, 12, 1, {}, 100, 565, 800, 40, 30, 20};
    // What a chart record can hold of a quality: such a chart has no extension.
    for (Bar& bar : chart->bars)
        for (Chord& c : bar.chords)
            c.quality.len %= RecordQualityLength + 1;
    return chart;
}

// The same chart with the largest extension: song information, marks on
// every bar, a 24-character quality in every slot.
std::unique_ptr<Chart> fullSong()
{
    auto chart = fullChart();
    SongInfo& song = chart->song;
    song.tempo = 160;
    song.time = {3, 4};
    song.key = {11, 1, 1};
    setText(song.title, std::string(127, 'T'));
    setText(song.composer, std::string(127, 'C'));
    setText(song.style, std::string(63, 'S'));
    for (int i = 1; i <= MaxBars; ++i) {
        BarMarks& m = song.bar(i);
        setText(m.section, "Verse " + std::to_string(i));
        m.time = {5, 8};
        m.ending = static_cast<std::uint8_t>(i % 4);
        m.flags = SegnoFlag | FermataFlag;
        m.direction = Direction::DalSegnoAlCoda;
        for (Chord& c : chart->bar(i).chords) {
            c.quality = {};
            c.quality.assign("7sus4(b9,#11,b13) add6 x");
        }
    }
    return chart;
}

struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path()
        / ("mavrel-bench-" + std::to_string(::getpid()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() { std::filesystem::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

// The baselines: what the same bytes cost with nothing around them.
void plainWrite(const std::string& name, const std::vector<std::uint8_t>& bytes, bool sync)
{
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    if (sync)
        ::fsync(fd);
    ::close(fd);
}

void plainRead(const std::string& name, std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(name.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, bytes.data(), bytes.size()));
    ::close(fd);
    benchmark::ClobberMemory();
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Save against write + close, and against write + fsync + close, which is
// what keeping the old file safe costs at least.
void BM_SaveFullChart(benchmark::State& state)
{
    Folder folder;
    const auto chart = fullChart();
    const std::vector<std::uint8_t> bytes = encodeChart(*chart);
    const std::string target = folder.file("chart.bab"), plain = folder.file("plain.bin");
    Clock::duration saving{}, writing{}, syncing{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        if (!saveChart(*chart, target).ok)
            state.SkipWithError("Save failed");
        saving += Clock::now() - t0;
        state.PauseTiming();
        t0 = Clock::now();
        plainWrite(plain, bytes, false);
        writing += Clock::now() - t0;
        t0 = Clock::now();
        plainWrite(plain, bytes, true);
        syncing += Clock::now() - t0;
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["save_us"] = seconds(saving) / n * 1e6;
    state.counters["write_us"] = seconds(writing) / n * 1e6;
    state.counters["write_fsync_us"] = seconds(syncing) / n * 1e6;
    state.counters["ratio_write"] = seconds(saving) / seconds(writing);
    state.counters["ratio_write_fsync"] = seconds(saving) / seconds(syncing);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_SaveFullChart)->Unit(benchmark::kMicrosecond);

// Load: the file, the checks and the layout, without drawing.
void BM_LoadFullChart(benchmark::State& state)
{
    Folder folder;
    const auto chart = fullChart();
    const std::string target = folder.file("chart.bab");
    if (!saveChart(*chart, target).ok)
        state.SkipWithError("Save failed");
    std::vector<std::uint8_t> bytes(encodeChart(*chart).size());
    auto loaded = std::make_unique<Chart>();
    Clock::duration loading{}, reading{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        if (!loadChart(*loaded, target).ok)
            state.SkipWithError("Load failed");
        loading += Clock::now() - t0;
        state.PauseTiming();
        t0 = Clock::now();
        plainRead(target, bytes);
        reading += Clock::now() - t0;
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["load_us"] = seconds(loading) / n * 1e6;
    state.counters["read_us"] = seconds(reading) / n * 1e6;
    state.counters["ratio_read"] = seconds(loading) / seconds(reading);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadFullChart)->Unit(benchmark::kMicrosecond);

// The song extension's cost: saving and loading the largest chart with the
// largest extension against the same chart without one, interleaved.
void BM_SongExtension(benchmark::State& state)
{
    Folder folder;
    const auto plain = fullChart();
    const auto song = fullSong();
    const std::string plainFile = folder.file("plain.bab"), songFile = folder.file("song.bab");
    auto loaded = std::make_unique<Chart>();
    Clock::duration save[2]{}, load[2]{};
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            const Chart& chart = k ? *song : *plain;
            const std::string& file = k ? songFile : plainFile;
            auto t0 = Clock::now();
            if (!saveChart(chart, file).ok)
                state.SkipWithError("Save failed");
            save[k] += Clock::now() - t0;
            t0 = Clock::now();
            const FileResult r = loadChart(*loaded, file);
            if (!r.ok || !r.warning.empty())
                state.SkipWithError("Load failed");
            load[k] += Clock::now() - t0;
        }
    }
    state.counters["ratio_save"] = seconds(save[1]) / seconds(save[0]);
    state.counters["ratio_load"] = seconds(load[1]) / seconds(load[0]);
    state.counters["bytes_extended"] = static_cast<double>(encodeChart(*song).size());
}
BENCHMARK(BM_SongExtension)->Unit(benchmark::kMicrosecond);

} // namespace
