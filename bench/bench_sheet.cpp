// The sheet's costs beside a plain memcpy of the same bytes, measured in the
// same run: the counter "x_memcpy" is the ratio (targets: a quarter turn of
// a page within 4, composing layout "8" under 15). Both sides are timed on
// the thread's own CPU clock, so that other work on a shared machine does not
// tilt the ratio.
#include "document/editing.h"
#include "document/layout.h"
#include "print/printing.h"
#include "render/sheet.h"

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <memory>

#include <cstring>
#include <ctime>
#include <vector>

using namespace mavrel;

namespace {

// Mean time of one memcpy of `bytes`, warm caches, as the benchmarks compare.
double memcpySeconds(std::size_t bytes)
{
    std::vector<unsigned char> from(bytes, 0x5A);
    std::vector<unsigned char> to(bytes);
    constexpr int Rounds = 200;
    std::memcpy(to.data(), from.data(), bytes);
    const double start = cpuSeconds();
    for (int i = 0; i < Rounds; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    return (cpuSeconds() - start) / Rounds;
}

QImage page()
{
    QImage img(DefaultPageWidth, DefaultPageHeight, SheetFormat);
    for (int y = 0; y < img.height(); ++y) {
        uchar* row = img.scanLine(y);
        for (int x = 0; x < img.width() * 3; ++x)
            row[x] = static_cast<uchar>(x * 7 + y);
    }
    return img;
}

void reportRatio(benchmark::State& state, double elapsed, double reference)
{
    const double perIteration = elapsed / static_cast<double>(state.iterations());
    state.counters["x_memcpy"] = perIteration / reference;
}

// The baselines: a memcpy of a 24-bit page, and of the sheet of "8".
void memcpyBaseline(benchmark::State& state, std::size_t bytes)
{
    std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_MemcpyPage(benchmark::State& state)
{
    memcpyBaseline(state, std::size_t(DefaultPageWidth) * DefaultPageHeight * 3);
}
BENCHMARK(BM_MemcpyPage);

void BM_RotatePage(benchmark::State& state)
{
    const double reference = memcpySeconds(std::size_t(DefaultPageWidth) * DefaultPageHeight * 3);
    QImage img = page();
    const int angle = static_cast<int>(state.range(0));
    double elapsed = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        rotateQuarterTurn(img, angle);
        elapsed += cpuSeconds() - start;
        benchmark::DoNotOptimize(img.constBits());
    }
    reportRatio(state, elapsed, reference);
}
BENCHMARK(BM_RotatePage)->Arg(90)->Arg(270);

void BM_MemcpySheet8(benchmark::State& state)
{
    const QSize size = sheetSize(3);
    memcpyBaseline(state, std::size_t(size.width()) * size.height() * 3);
}
BENCHMARK(BM_MemcpySheet8);

// Eight pages already on their side: what every composition after the first
// one costs.
void BM_Compose8(benchmark::State& state)
{
    const QSize size = sheetSize(3);
    const double reference = memcpySeconds(std::size_t(size.width()) * size.height() * 3);
    Sheet sheet;
    for (int p = 1; p <= SheetPositions; ++p)
        sheet.copyPage(p, page());
    sheet.compose(3);
    double elapsed = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        sheet.compose(3);
        elapsed += cpuSeconds() - start;
        benchmark::DoNotOptimize(sheet.composed().constBits());
    }
    reportRatio(state, elapsed, reference);
}
BENCHMARK(BM_Compose8)->Unit(benchmark::kMillisecond);

// Eight upright pages, each turned by the composition: the worst case, right
// after switching from "1" or "4".
void BM_Compose8Turning(benchmark::State& state)
{
    const QSize size = sheetSize(3);
    const double reference = memcpySeconds(std::size_t(size.width()) * size.height() * 3);
    const QImage upright = page();
    Sheet sheet;
    double elapsed = 0;
    for (auto _ : state) {
        for (int p = 1; p <= SheetPositions; ++p)
            sheet.copyPage(p, upright);
        const double start = cpuSeconds();
        sheet.compose(3);
        elapsed += cpuSeconds() - start;
        benchmark::DoNotOptimize(sheet.composed().constBits());
    }
    reportRatio(state, elapsed, reference);
}
BENCHMARK(BM_Compose8Turning)->Unit(benchmark::kMillisecond);

// A busy chart: 40 bars of every division, one to four chords each, two in
// three with repeat signs, and a title.
std::unique_ptr<Chart> busyChart()
{
    auto c = std::make_unique<Chart>();
    resetChart(*c);
    c->info.columns = 5;
    for (int i = 1; i <= 40; ++i) {
        Bar& b = c->bar(i);
        b.division = std::uint8_t(1 + i % 5);
        b.left = std::int16_t(i % 3);
        b.right = std::int16_t(i / 3 % 3);
        b.top = std::int16_t(i % 2);
        b.bottom = std::int16_t(i / 2 % 2);
        for (int s = 1; s <= 4; ++s) {
            b.slot(s).root = std::uint8_t((i + s) % 13);
            b.slot(s).flat = std::uint8_t(s % 2);
            b.slot(s).quality.assign(s == 2 ? "m7\xF8" : "7");
        }
    }
    commitLabel(*c, "Autumn Leaves", 120, 40, 24, true);
    commitLabel(*c, "Kosma", 400, 100, 10, false);
    layoutChart(*c);
    return c;
}

// A sheet of eight busy charts as "PDF..." writes it, beside a memcpy of the
// sheet's bitmap. The counter "bytes" is the PDF's size (aim: under 60 KB).
void BM_SheetPdf8(benchmark::State& state)
{
    const QSize size = sheetSize(3);
    const double reference = memcpySeconds(std::size_t(size.width()) * size.height() * 3);
    const auto chart = busyChart();
    SheetCharts sheet;
    sheet.layout = 3;
    sheet.charts.fill(chart.get());
    double elapsed = 0;
    QByteArray pdf;
    for (auto _ : state) {
        pdf.clear();
        const double start = cpuSeconds();
        encodeSheetsPdf({&sheet, 1}, pdf);
        elapsed += cpuSeconds() - start;
    }
    reportRatio(state, elapsed, reference);
    state.counters["bytes"] = double(pdf.size());
}
BENCHMARK(BM_SheetPdf8)->Unit(benchmark::kMillisecond);

} // namespace
