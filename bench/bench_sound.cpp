// The band's sound, for a 32-bar chart at 120:
// - ExportMidiProcess: `mavrel export song.mid`, the whole process, against
//   MMA writing the same song (x_mma, target: at most 0.2);
// - ExportWavProcess: `mavrel export song.wav` with the default SoundFont, the
//   whole process (x_realtime: seconds of sound a second of CPU, target: at
//   least 40);
// - PlayLatency: from play() to the first block of sound handed to the
//   output, the SoundFont loaded (ms, target: under 50);
// - PlayCpu: the share of a core that playing takes (percent, target: under
//   10).
// Processes are timed on their own CPU clock (user and system), so that
// other work on a shared machine does not tilt the ratios.
#include "cputime.h"

#include "document/chartfile.h"
#include "document/chordtext.h"
#include "document/editing.h"
#include "document/layout.h"
#include "sound/player.h"
#include "sound/soundfont.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using namespace mavrel;

const char* const Bars[] = {"Dm7 G7", "Cmaj7", "Am7 D7", "G7", "Cm7 F7", "Bbmaj7", "Em7b5 A7", "Dm7"};

// The chart and the same song in MMA's language, in a folder of their own.
struct Song {
    QTemporaryDir dir;
    QString chart = dir.filePath(QStringLiteral("song.bab"));
    QString mma = dir.filePath(QStringLiteral("song.mma"));

    Song()
    {
        Chart c;
        resetChart(c);
        c.info.columns = 4;
        c.info.rows = 8;
        layoutChart(c);
        c.song.tempo = 120;
        QByteArray mmaText = "Tempo 120\nTime 4\nGroove Swing\n";
        for (int i = 1; i <= 32; ++i) {
            const TypedBar t = readBar(Bars[(i - 1) % 8]);
            Bar& b = c.bar(i);
            b.division = static_cast<std::uint8_t>(t.division);
            for (int k = 0; k < t.count; ++k)
                b.chords[k] = t.chords[k];
            const QByteArrayList chords = QByteArray(Bars[(i - 1) % 8]).split(' ');
            mmaText += chords.size() == 1 ? chords[0] + " / / /\n" : chords[0] + " / " + chords[1] + " /\n";
        }
        saveChart(c, QFile::encodeName(chart).toStdString());
        QFile f(mma);
        if (f.open(QIODevice::WriteOnly))
            f.write(mmaText);
    }
    QString out(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

// The CPU seconds (user and system) of a process run to its end; -1 when
// it fails.
double processCpu(const QStringList& args)
{
    std::vector<QByteArray> bytes;
    for (const QString& a : args)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_ExportMidiProcess(benchmark::State& state)
{
    const Song song;
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        ours += processCpu({QStringLiteral(MAVREL_EXE), QStringLiteral("export"), song.chart, QStringLiteral("-o"),
                            song.out("song.mid")});
        theirs += processCpu({QStringLiteral("mma"), song.mma, QStringLiteral("-f"), song.out("mma.mid")});
    }
    if (ours < 0 || theirs <= 0) {
        state.SkipWithError("mavrel or mma failed");
        return;
    }
    const double n = double(state.iterations());
    state.counters["ms_mavrel"] = ours / n * 1e3;
    state.counters["ms_mma"] = theirs / n * 1e3;
    state.counters["x_mma"] = ours / theirs;
}
BENCHMARK(BM_ExportMidiProcess)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_ExportWavProcess(benchmark::State& state)
{
    const Song song;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        cpu += processCpu({QStringLiteral(MAVREL_EXE), QStringLiteral("export"), song.chart, QStringLiteral("-o"),
                           song.out("song.wav")});
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (cpu < 0) {
        state.SkipWithError("mavrel failed");
        return;
    }
    // 32 bars of four beats at 120.
    const double audio = 32 * 4 * 60.0 / 120;
    const double n = double(state.iterations());
    state.counters["s_cpu"] = cpu / n;
    state.counters["x_realtime"] = audio / (cpu / n);
    state.counters["x_realtime_wall"] = audio / (wall / n);
}
BENCHMARK(BM_ExportWavProcess)->Iterations(3)->Unit(benchmark::kMillisecond);

// Hands the first block to whoever waits for it, then pulls when told to.
class BenchOutput : public sound::AudioOutput {
public:
    std::chrono::steady_clock::time_point firstBlock;
    void start(QIODevice* source) override
    {
        m_source = source;
        pull(2048);
        firstBlock = std::chrono::steady_clock::now();
    }
    void suspend() override {}
    void resume() override {}
    void stop() override { m_source = nullptr; }
    qint64 playedFrames() const override { return m_played; }
    void pull(qint64 frames)
    {
        m_buffer.resize(static_cast<std::size_t>(frames * 4));
        if (m_source)
            m_source->read(m_buffer.data(), frames * 4);
        m_played += frames;
    }

private:
    QIODevice* m_source = nullptr;
    QByteArray m_buffer;
    qint64 m_played = 0;
};

// A player with its SoundFont loaded, playing the song.
struct LoadedPlayer {
    BenchOutput* output = new BenchOutput;
    sound::Player player{std::unique_ptr<sound::AudioOutput>(output)};
    bool ready = false;

    LoadedPlayer()
    {
        const Song song;
        Chart c;
        loadChart(c, QFile::encodeName(song.chart).toStdString());
        player.setChart(c);
        QEventLoop loop;
        QObject::connect(&player, &sound::Player::ready, &loop, [&] { ready = true; loop.quit(); });
        QObject::connect(&player, &sound::Player::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        player.setSoundFont({});
        loop.exec();
    }
};

void BM_PlayLatency(benchmark::State& state)
{
    LoadedPlayer p;
    if (!p.ready) {
        state.SkipWithError("no SoundFont");
        return;
    }
    double latency = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        p.player.play();
        latency += std::chrono::duration<double>(p.output->firstBlock - start).count();
        p.player.stop();
    }
    state.counters["ms"] = latency / double(state.iterations()) * 1e3;
}
BENCHMARK(BM_PlayLatency)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_PlayCpu(benchmark::State& state)
{
    LoadedPlayer p;
    if (!p.ready) {
        state.SkipWithError("no SoundFont");
        return;
    }
    constexpr double Seconds = 30;
    double cpu = 0;
    for (auto _ : state) {
        p.player.play();
        const double start = cpuSeconds();
        for (qint64 done = 0; done < qint64(Seconds * sound::SampleRate); done += 1024) {
            p.output->pull(1024);
            p.player.update();
        }
        cpu += cpuSeconds() - start;
        p.player.stop();
    }
    state.counters["percent_of_a_core"] = cpu / double(state.iterations()) / Seconds * 100;
}
BENCHMARK(BM_PlayCpu)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
