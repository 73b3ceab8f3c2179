// The library over a folder of 2,000 varied charts, beside reading the same
// files' bytes in the same run. BM_LibraryFirstListing lists every row with
// an empty cache, thumbnails excluded: "x_bytes" is its ratio to reading the
// bytes (target: within 5), "seconds" its own time (target: under 1 s), and
// "draw_seconds" the time until every thumbnail is drawn too.
// BM_LibraryCachedListing lists them again from the cache by a new model:
// "seconds" (target: under 0.2 s).
#include "app/librarymodel.h"
#include "document/chartfile.h"

#include "standards.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <string>

using namespace mavrel;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Charts = 2000;

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A folder of the charts, in ten subfolders, and a cache of its own.
struct Library {
    QTemporaryDir folder;
    QTemporaryDir cache;
    QStringList files;
    QByteArray savedCacheHome;

    Library()
    {
        savedCacheHome = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        for (int n = 0; n < Charts; ++n) {
            const QString sub = folder.filePath(QStringLiteral("book%1").arg(n % 10));
            QDir().mkpath(sub);
            const QString file = sub + QStringLiteral("/chart%1.bab").arg(n);
            saveChart(*bench::standard(n, 1 + n % 12), QFile::encodeName(file).toStdString());
            files << file;
        }
    }
    ~Library()
    {
        if (savedCacheHome.isNull())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", savedCacheHome);
    }
    void emptyCache() const { QDir(LibraryModel::cacheFolder()).removeRecursively(); }
};

Library& library()
{
    static Library l;
    return l;
}

// Runs the event loop until the model emits `done`.
template <typename Signal> void waitFor(LibraryModel& model, Signal done)
{
    QEventLoop loop;
    QObject::connect(&model, done, &loop, &QEventLoop::quit);
    loop.exec();
}

double readBytes(const QStringList& files)
{
    const auto start = Clock::now();
    qint64 total = 0;
    for (const QString& name : files) {
        QFile file(name);
        if (file.open(QIODevice::ReadOnly))
            total += file.readAll().size();
    }
    benchmark::DoNotOptimize(total);
    return since(start);
}

void BM_LibraryFirstListing(benchmark::State& state)
{
    const Library& l = library();
    double bytesSeconds = 0, listSeconds = 0, drawSeconds = 0;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        l.emptyCache();
        state.ResumeTiming();
        bytesSeconds += readBytes(l.files);
        LibraryModel model;
        const auto start = Clock::now();
        model.setFolders({l.folder.path()});
        waitFor(model, &LibraryModel::loaded);
        listSeconds += since(start);
        rows = model.rowCount();
        state.PauseTiming();
        if (model.isDrawing())
            waitFor(model, &LibraryModel::thumbnailsDone);
        drawSeconds += since(start);
        state.ResumeTiming();
    }
    const double n = double(state.iterations());
    state.counters["x_bytes"] = listSeconds / bytesSeconds;
    state.counters["seconds"] = listSeconds / n;
    state.counters["draw_seconds"] = drawSeconds / n;
    state.counters["rows"] = rows;
}
BENCHMARK(BM_LibraryFirstListing)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_LibraryCachedListing(benchmark::State& state)
{
    const Library& l = library();
    {
        LibraryModel model;
        model.setFolders({l.folder.path()});
        waitFor(model, &LibraryModel::thumbnailsDone);
    }
    double seconds = 0;
    int rows = 0;
    for (auto _ : state) {
        LibraryModel model;
        const auto start = Clock::now();
        model.setFolders({l.folder.path()});
        waitFor(model, &LibraryModel::loaded);
        seconds += since(start);
        rows = model.rowCount();
        state.PauseTiming();
        if (model.isDrawing())
            waitFor(model, &LibraryModel::thumbnailsDone);
        state.ResumeTiming();
    }
    state.counters["seconds"] = seconds / double(state.iterations());
    state.counters["rows"] = rows;
}
BENCHMARK(BM_LibraryCachedListing)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace
