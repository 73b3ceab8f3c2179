// Hostile inputs to `mavrel import` and to the pictures: each is accepted or
// refused in under a second and 200 MB. "ms" and "MB" are the figures to
// watch; "x_per_song" compares a song of a 10,000-song import with one of a
// 1,000-song import (1 when naming the files stays linear).
#include "app/chartimport.h"
#include "app/fileformats.h"
#include "render/page.h"

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace mavrel;

// The process's peak resident memory since the last reset, in MB.
double peakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

double residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

// Memory taken by `work` beyond what the process held before it.
template <class Work> double extraMegabytes(Work work)
{
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = residentMegabytes();
    work();
    return peakMegabytes() - before;
}

// A folder in memory when there is one: the disk's flushes are not what is
// measured.
struct Folder {
    std::filesystem::path path = (std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                        : std::filesystem::temp_directory_path())
        / ("mavrel-bench-import-" + std::to_string(::getpid()));
    Folder() { std::filesystem::remove_all(path); }
    ~Folder() { std::filesystem::remove_all(path); }
};

const FileFormat& iRealList()
{
    return *fileFormats().named("ireal-list");
}

// The link itself is the name to import.
SongList songsTitledS(int count)
{
    std::string links = "irealb://";
    for (int i = 0; i < count; ++i)
        links += std::string("S=C==Ballad=C==1r34LbKcu7[C]==0=0===");
    SongList songs;
    iRealList().readSongs(links + "Playlist", songs);   // its name ends the link
    return songs;
}

// CPU seconds for one import of the playlist into a fresh folder.
double importSeconds(const SongList& songs, benchmark::State& state)
{
    Folder folder;
    const double start = cpuSeconds();
    const QByteArray name = QFile::encodeName(QString::fromStdString(folder.path.string()));
    const ImportReport report = importToFolder(songs, name, false);
    const double seconds = cpuSeconds() - start;
    if (!report.failure.ok || report.songs.size() != songs.titles.size())
        state.SkipWithError("the import failed");
    return seconds;
}

void BM_ImportTenThousandSongsOfOneTitle(benchmark::State& state)
{
    const SongList small = songsTitledS(1000);
    const SongList large = songsTitledS(10000);
    if (large.titles.size() != 10000) {
        state.SkipWithError("the playlist does not hold 10,000 songs");
        return;
    }
    double seconds = 0, ratio = 0, megabytes = 0;
    for (auto _ : state) {
        const double few = importSeconds(small, state);
        megabytes = extraMegabytes([&] { seconds = importSeconds(large, state); });
        ratio = (seconds / 10000) / (few / 1000);
    }
    state.counters["ms"] = seconds * 1e3;
    state.counters["MB"] = megabytes;
    state.counters["x_per_song"] = ratio;
}
BENCHMARK(BM_ImportTenThousandSongsOfOneTitle)->Unit(benchmark::kMillisecond)->Iterations(1);

// A device that never ends, read as a playlist.
void BM_EndlessLinksRefused(benchmark::State& state)
{
    double seconds = 0, megabytes = 0;
    for (auto _ : state) {
        megabytes = extraMegabytes([&] {
            SongList songs;
            const double start = cpuSeconds();
            if (iRealList().readSongs("/dev/zero", songs).ok)
                state.SkipWithError("an endless file was read");
            seconds = cpuSeconds() - start;
        });
    }
    state.counters["ms"] = seconds * 1e3;
    state.counters["MB"] = megabytes;
}
BENCHMARK(BM_EndlessLinksRefused)->Unit(benchmark::kMillisecond)->Iterations(3);

// The thumbnail of the largest page a chart file holds.
void BM_ThumbnailOfTheLargestPage(benchmark::State& state)
{
    StandaloneChart c;
    c.chart().info.pageWidth = 10000;
    c.chart().info.pageHeight = 10000;
    layoutChart(c.chart());
    double seconds = 0, megabytes = 0;
    for (auto _ : state) {
        megabytes = extraMegabytes([&] {
            const double start = cpuSeconds();
            const QImage thumbnail = paintPageImage(c.chart(), QSize(256, 256));
            seconds = cpuSeconds() - start;
            if (thumbnail.isNull())
                state.SkipWithError("no thumbnail");
        });
    }
    state.counters["ms"] = seconds * 1e3;
    state.counters["MB"] = megabytes;
}
BENCHMARK(BM_ThumbnailOfTheLargestPage)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
