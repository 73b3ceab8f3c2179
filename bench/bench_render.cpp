// Page drawing and hit-testing beside a memset of the page buffer, measured in
// the same run: the counter "x_memset" is the ratio. Every edit redraws the
// whole page, hence the targets: the default chart within
// 10, a full page within 100 (with the marks of the form on every bar too), a page of 72-point chords within 2 x the same
// page at 48 points, and hitTest over 500 bars within 1. A chart sent by
// someone is drawn first when it is opened: the costliest charts the reader
// accepts draw for the first time within 1 s (about 30,000 x memset here).
// Both sides are timed on the thread's own CPU clock, so that other work on a
// shared machine does not tilt the ratio.
#include "document/layout.h"
#include "render/page.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace mavrel;

namespace {

constexpr std::size_t PageBytes = std::size_t(DefaultPageWidth) * DefaultPageHeight * 4;

void clearPage(std::vector<unsigned char>& page)
{
    std::memset(page.data(), 0xFF, page.size());
    benchmark::DoNotOptimize(page.data());
    benchmark::ClobberMemory();
}

// Mean time of one memset of the page buffer, warm caches.
double memsetSeconds()
{
    std::vector<unsigned char> page(PageBytes);
    constexpr int Rounds = 200;
    clearPage(page);
    const double start = cpuSeconds();
    for (int i = 0; i < Rounds; ++i)
        clearPage(page);
    return (cpuSeconds() - start) / Rounds;
}

// A new chart and its page, drawn once.
struct Drawn {
    Chart chart{};
    Page page;
    Selection selection;
    Drawn()
    {
        resetChart(chart);
        draw();
    }
    void draw() { page.draw(chart, selection, false); }
};

// 20 x 25 bars, each of division type 3 with four chords and every sign,
// and 100 labels.
std::unique_ptr<Drawn> fullPage(int chordPoints)
{
    auto d = std::make_unique<Drawn>();
    Chart& c = d->chart;
    c.info.columns = 20;
    c.info.rows = 25;
    c.info.fontSize = chordPoints;
    static const char* const Qualities[] = {"m7", "7", "M7", "m7\xF8", "dim", "6", "9", "m6"};
    for (int i = 1; i <= MaxBars; ++i) {
        Bar& b = c.bar(i);
        b.division = 3;
        b.left = b.right = 1;
        b.top = b.bottom = 1;
        for (int s = 1; s <= 4; ++s) {
            Chord& a = b.slot(s);
            a.root = static_cast<std::uint8_t>(1 + (i + 3 * s) % 12);
            a.quality.assign(Qualities[(i + s) % 8]);
            a.flat = static_cast<std::uint8_t>((i + s) % 2);
        }
    }
    for (int j = 1; j <= MaxLabels; ++j) {
        TextLabel& t = c.label(j);
        t.text.assign("Texte " + std::to_string(j));
        t.x = 20 + (j % 10) * 52;
        t.y = 10 + (j / 10) * 75;
        t.size = static_cast<std::int8_t>(8 + j % 5 * 4);
        t.bold = static_cast<std::uint8_t>(j % 2);
    }
    c.info.labelCount = MaxLabels;
    layoutChart(c);
    d->draw();   // fills the text cache, as the first redraw does
    return d;
}

// The 32 bars of a fresh chart, each of division type 3 with four chords of
// at most three characters, which no size up to 72 points has to shrink.
std::unique_ptr<Drawn> largeChords(int chordPoints)
{
    auto d = std::make_unique<Drawn>();
    Chart& c = d->chart;
    c.info.fontSize = chordPoints;
    static const char* const Qualities[] = {"", "m", "7", "6", "9", "\xF8"};
    for (int i = 1; i <= 32; ++i) {
        Bar& b = c.bar(i);
        b.division = 3;
        for (int s = 1; s <= 4; ++s) {
            Chord& a = b.slot(s);
            a.root = static_cast<std::uint8_t>(1 + (i + 3 * s) % 12);
            a.quality.assign(Qualities[(i + s) % 6]);
        }
    }
    layoutChart(c);
    d->draw();
    return d;
}

// Charts that cost the most to draw the first time.
enum class Hostile { Chords, Outlines, Labels, Page };

std::unique_ptr<Drawn> hostile(Hostile kind)
{
    auto d = std::make_unique<Drawn>();
    Chart& c = d->chart;
    int quality = 0;
    auto everyBarFourChords = [&] {
        c.info.columns = 20;
        c.info.rows = 25;
        for (Bar& b : c.bars) {
            b.division = 3;
            for (int s = 1; s <= 4; ++s, ++quality) {
                // Eight letters that vary at every position, so that glyphs
                // seldom stand where another chord has them.
                const int q = quality;
                const char letters[] = {char('a' + q % 26), char('A' + q / 26 % 26), char('0' + q % 10),
                                        char('a' + q * 7 % 26), char('A' + q * 3 % 26),
                                        char('a' + q * 11 % 26), char('A' + q * 13 % 26),
                                        char('a' + q * 17 % 26)};
                b.slot(s).root = static_cast<std::uint8_t>(1 + quality % 12);
                b.slot(s).flat = static_cast<std::uint8_t>(quality % 2);
                b.slot(s).quality.assign(std::string_view(letters, 8));
            }
        }
    };
    switch (kind) {
    case Hostile::Chords:
        // 500-point chords of 2,000 qualities on the default page.
        c.info.fontSize = 500;
        everyBarFourChords();
        break;
    case Hostile::Outlines:
        // 2,000 different chords at 72 points, which a page of 5000 x 4000
        // leaves at their size: each glyph an outline filled where it stands.
        c.info.fontSize = 72;
        c.info.pageWidth = 5000;
        c.info.pageHeight = 4000;
        everyBarFourChords();
        break;
    case Hostile::Labels:
        for (int j = 1; j <= MaxLabels; ++j) {
            TextLabel& t = c.label(j);
            std::string text;
            for (int k = 0; k < 100; ++k)
                text += static_cast<char>('A' + (j + k) % 26);
            t.text.assign(text);
            t.x = j;
            t.y = 7 * j;
            t.size = 127;
            t.bold = static_cast<std::uint8_t>(j % 2);
        }
        c.info.labelCount = MaxLabels;
        break;
    case Hostile::Page:
        c.info.pageWidth = 10000;
        c.info.pageHeight = 10000;
        break;
    }
    layoutChart(c);
    return d;
}

void reportRatio(benchmark::State& state, double elapsed, double reference)
{
    const double perIteration = elapsed / static_cast<double>(state.iterations());
    state.counters["x_memset"] = perIteration / reference;
}

void BM_MemsetPage(benchmark::State& state)
{
    std::vector<unsigned char> page(PageBytes);
    for (auto _ : state)
        clearPage(page);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * PageBytes));
}
BENCHMARK(BM_MemsetPage);

void drawRepeatedly(benchmark::State& state, Drawn& d)
{
    const double reference = memsetSeconds();
    const double start = cpuSeconds();
    for (auto _ : state) {
        d.draw();
        benchmark::DoNotOptimize(d.page.image().constBits());
    }
    reportRatio(state, cpuSeconds() - start, reference);
}

// Target: 10 x memset.
void BM_DrawPageDefault(benchmark::State& state)
{
    Drawn d;
    drawRepeatedly(state, d);
}
BENCHMARK(BM_DrawPageDefault);

// Target: 100 x memset. Its chords are too many for more than 12 points.
void BM_DrawPageFullPage(benchmark::State& state)
{
    auto d = fullPage(10);
    drawRepeatedly(state, *d);
}
BENCHMARK(BM_DrawPageFullPage);

// The full page with every mark of the form on every bar: a section, segno,
// coda and fermata, endings, a direction and a meter. The counter "x_plain"
// is the ratio to the same page without its marks, timed in turns.
void BM_DrawPageFullPageMarks(benchmark::State& state)
{
    auto marked = fullPage(10);
    static const char* const Sections[] = {"A", "B", "Intro", "Coda"};
    for (int i = 1; i <= MaxBars; ++i) {
        BarMarks& m = marked->chart.song.bar(i);
        setText(m.section, Sections[i % 4]);
        m.flags = SegnoFlag | CodaFlag | FermataFlag;
        m.ending = static_cast<std::uint8_t>(i / 2 % 4);
        m.direction = static_cast<Direction>(1 + i % (DirectionCount - 1));
        if (i % 4 == 1)
            m.time = {static_cast<std::uint8_t>(2 + i % 5), 4};
    }
    marked->draw();
    auto plain = fullPage(10);
    const double reference = memsetSeconds();
    double markedSeconds = 0, plainSeconds = 0;
    for (auto _ : state) {
        double start = cpuSeconds();
        marked->draw();
        markedSeconds += cpuSeconds() - start;
        start = cpuSeconds();
        plain->draw();
        plainSeconds += cpuSeconds() - start;
        benchmark::DoNotOptimize(marked->page.image().constBits());
        benchmark::DoNotOptimize(plain->page.image().constBits());
    }
    state.counters["x_plain"] = markedSeconds / plainSeconds;
    reportRatio(state, markedSeconds, reference);
}
BENCHMARK(BM_DrawPageFullPageMarks);

void BM_DrawPageLargeChords(benchmark::State& state)
{
    auto d = largeChords(static_cast<int>(state.range(0)));
    drawRepeatedly(state, *d);
}
BENCHMARK(BM_DrawPageLargeChords)->ArgName("points")->Arg(48)->Arg(72);

// Target: 2. The same page of large chords drawn at 72 and at 48 points in
// turns; the counter "x_48pt" is the ratio of their times.
void BM_DrawPageFullPage72Over48(benchmark::State& state)
{
    auto big = largeChords(72);
    auto small = largeChords(48);
    const double reference = memsetSeconds();
    double bigSeconds = 0, smallSeconds = 0;
    for (auto _ : state) {
        double start = cpuSeconds();
        big->draw();
        bigSeconds += cpuSeconds() - start;
        start = cpuSeconds();
        small->draw();
        smallSeconds += cpuSeconds() - start;
        benchmark::DoNotOptimize(big->page.image().constBits());
        benchmark::DoNotOptimize(small->page.image().constBits());
    }
    state.counters["x_48pt"] = bigSeconds / smallSeconds;
    reportRatio(state, bigSeconds, reference);
}
BENCHMARK(BM_DrawPageFullPage72Over48);

// Target: within 1 s. The first drawing of a hostile chart, on a page whose
// text cache is empty, as when the file is opened.
void BM_FirstDrawHostile(benchmark::State& state, Hostile kind)
{
    const double reference = memsetSeconds();
    double elapsed = 0;
    for (auto _ : state) {
        auto d = hostile(kind);
        const double start = cpuSeconds();
        d->draw();
        elapsed += cpuSeconds() - start;
        benchmark::DoNotOptimize(d->page.image().constBits());
    }
    reportRatio(state, elapsed, reference);
}
BENCHMARK_CAPTURE(BM_FirstDrawHostile, chords, Hostile::Chords)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstDrawHostile, outlines, Hostile::Outlines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstDrawHostile, labels, Hostile::Labels)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstDrawHostile, page, Hostile::Page)->Unit(benchmark::kMillisecond);

// Target: 1 x memset. The point lies in the last bar, so the scan sees all 500.
void BM_HitTest500(benchmark::State& state)
{
    auto d = fullPage(10);
    const Bar& last = d->chart.bar(MaxBars);
    const int x = last.x + d->chart.info.barWidth / 2;
    const int y = last.y + 2;
    const double reference = memsetSeconds();
    int bar = 0, region = 0;
    const double start = cpuSeconds();
    for (auto _ : state) {
        hitTest(d->chart, x, y, bar, region);
        benchmark::DoNotOptimize(bar);
        benchmark::DoNotOptimize(region);
    }
    reportRatio(state, cpuSeconds() - start, reference);
    if (bar != MaxBars)
        state.SkipWithError("the point is not in the last bar");
}
BENCHMARK(BM_HitTest500);

} // namespace

namespace {

// One mouse move of a lasso drag over the full page: the band over a copy of
// the page, as the page view paints it. Target: the full-page redraw's 100 x
// memset.
void BM_LassoDragMove(benchmark::State& state)
{
    auto d = fullPage(10);
    for (int k = 0; k < 40; ++k)
        d->selection.entries[k] = static_cast<std::int16_t>(1 + 3 * k);
    d->selection.count = 40;
    const double reference = memsetSeconds();
    int x = 100;
    const double start = cpuSeconds();
    d->draw();
    Canvas canvas;
    for (auto _ : state) {
        QImage banded = d->page.image().copy();
        canvas.setImage(&banded);
        canvas.focusRect(60, 140, x, 700);
        x = x < 500 ? x + 7 : 100;
        benchmark::DoNotOptimize(banded.constBits());
    }
    reportRatio(state, cpuSeconds() - start, reference);
}
BENCHMARK(BM_LassoDragMove);

} // namespace

namespace {

// The full page drawn as vectors on a picture at 200 %, as a zoomed editor
// redraws it. Target: 4 x the 100 % redraw; the counter "x_canvas" is the
// ratio to the canvas drawing the same page in the same run.
void BM_PaintFullPage200(benchmark::State& state)
{
    auto d = fullPage(10);
    const double reference = memsetSeconds();
    const double canvasStart = cpuSeconds();
    constexpr int CanvasRounds = 50;
    for (int i = 0; i < CanvasRounds; ++i)
        d->draw();
    const double canvasSeconds = (cpuSeconds() - canvasStart) / CanvasRounds;

    QImage zoomed(2 * DefaultPageWidth, 2 * DefaultPageHeight, QImage::Format_RGB32);
    Page page;
    {
        QPainter painter(&zoomed);
        painter.scale(2, 2);
        page.paint(painter, d->chart, d->selection, false);   // the text layouts, as the first repaint
    }
    const double start = cpuSeconds();
    for (auto _ : state) {
        QPainter painter(&zoomed);
        painter.scale(2, 2);
        page.paint(painter, d->chart, d->selection, false);
        painter.end();
        benchmark::DoNotOptimize(zoomed.constBits());
    }
    const double elapsed = cpuSeconds() - start;
    reportRatio(state, elapsed, reference);
    state.counters["x_canvas"] = elapsed / static_cast<double>(state.iterations()) / canvasSeconds;
}
BENCHMARK(BM_PaintFullPage200)->Unit(benchmark::kMillisecond);

// The full page drawn as vectors into a PDF in memory, as "PDF..." and
// `mavrel render -o page.pdf` write it; the counter "bytes" is the PDF's size.
void BM_PaintFullPagePdf(benchmark::State& state)
{
    auto d = fullPage(10);
    const double reference = memsetSeconds();
    double elapsed = 0;
    qsizetype bytes = 0;
    for (auto _ : state) {
        QByteArray pdf;
        const double start = cpuSeconds();
        {
            QBuffer buffer(&pdf);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setResolution(96);
            QPainter painter(&writer);
            paintPage(painter, d->chart, Selection{}, false);
        }
        elapsed += cpuSeconds() - start;
        bytes = pdf.size();
    }
    reportRatio(state, elapsed, reference);
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_PaintFullPagePdf)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The full page as the editor shows it: vectors, smoothed, at a zoom, in
// either style of chords. Targets: within 3 ms at 100 % (counter "ms"), and
// at 200 % within 4 x 100 % (counter "x_100", the two timed in turns).
void BM_ScreenFullPage(benchmark::State& state)
{
    const double scale = double(state.range(0)) / 100;
    auto d = fullPage(10);
    if (state.range(1))
        d->chart.song.chordStyle = ChordStyle::Jazz;
    Page page;
    QImage plain, zoomed;
    // The text layouts and typeset chords, as the first repaint makes them.
    page.paintScreen(plain, d->chart, d->selection, false, 0, 1.0);
    page.paintScreen(zoomed, d->chart, d->selection, false, 0, scale);
    double zoomedSeconds = 0, plainSeconds = 0;
    for (auto _ : state) {
        double start = cpuSeconds();
        page.paintScreen(zoomed, d->chart, d->selection, false, 0, scale);
        zoomedSeconds += cpuSeconds() - start;
        start = cpuSeconds();
        page.paintScreen(plain, d->chart, d->selection, false, 0, 1.0);
        plainSeconds += cpuSeconds() - start;
        benchmark::DoNotOptimize(zoomed.constBits());
        benchmark::DoNotOptimize(plain.constBits());
    }
    state.counters["ms"] = 1000 * zoomedSeconds / static_cast<double>(state.iterations());
    state.counters["x_100"] = zoomedSeconds / plainSeconds;
}
BENCHMARK(BM_ScreenFullPage)->ArgNames({"percent", "jazz"})->Args({100, 0})->Args({200, 0})->Args({100, 1})->Args({200, 1});

} // namespace
