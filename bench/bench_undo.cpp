// Undo and redo beside a full-page redraw, measured in the same run: the
// counter "x_redraw" is the ratio, undo and its redraw over the redraw alone
// (target: within 2). And the memory a history of 1,000 full-page edits holds
// (target: under 64 MiB).
#include "document/layout.h"
#include "edit/chartdocument.h"
#include "render/page.h"

#include <QUndoStack>

#include "cputime.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <ctime>
#include <memory>

using namespace mavrel;

namespace {

// 20 x 25 bars of four chords, every sign, 100 labels: as full as a page gets.
std::unique_ptr<Chart> fullChart(int seed)
{
    auto c = std::make_unique<Chart>();
    resetChart(*c);
    c->info.columns = 20;
    c->info.rows = 25;
    static const char* const Qualities[] = {"m7", "7", "M7", "m7\xF8", "dim", "6", "9", "m6"};
    for (int i = 1; i <= MaxBars; ++i) {
        Bar& b = c->bar(i);
        b.division = 3;
        b.left = b.right = 1;
        b.top = b.bottom = 1;
        for (int s = 1; s <= 4; ++s) {
            Chord& a = b.slot(s);
            a.root = static_cast<std::uint8_t>(1 + (i + 3 * s + seed) % 12);
            a.quality.assign(Qualities[(i + s + seed) % 8]);
        }
    }
    for (int j = 1; j <= MaxLabels; ++j) {
        TextLabel& t = c->label(j);
        t.text.assign("Texte " + std::to_string(j));
        t.x = 20 + (j % 10) * 52;
        t.y = 10 + (j / 10) * 75;
        t.size = 10;
    }
    c->info.labelCount = MaxLabels;
    layoutChart(*c);
    return c;
}

// A document on a full page, redrawn as the window redraws it on every change.
struct Editor {
    ChartDocument document;
    Page page;
    std::unique_ptr<Clipboard> clipboard = std::make_unique<Clipboard>();

    Editor()
    {
        document.setChart(*fullChart(0));
        QObject::connect(&document, &ChartDocument::changed, [this] { redraw(); });
        // Another page's bars, all 500 copied.
        const auto other = fullChart(5);
        Selection all;
        for (int i = 1; i <= MaxBars; ++i)
            all.entries[all.count++] = static_cast<std::int16_t>(i);
        clipboard->count = MaxBars;
        for (int i = 0; i < MaxBars; ++i)
            clipboard->bars[i] = other->bars[std::size_t(i)];
        all.count = MaxBars;
        document.setSelection(all);
        redraw();
    }
    void redraw() { page.draw(document.chart(), document.selection(), false); }
};

double redrawSeconds(Editor& e)
{
    constexpr int Rounds = 20;
    e.redraw();
    const double start = cpuSeconds();
    for (int i = 0; i < Rounds; ++i) {
        e.redraw();
        benchmark::DoNotOptimize(e.page.image().constBits());
    }
    return (cpuSeconds() - start) / Rounds;
}

void undoRedo(benchmark::State& state, void (*edit)(Editor&))
{
    Editor e;
    edit(e);
    const double reference = redrawSeconds(e);
    QUndoStack& stack = *e.document.undoStack();
    const double start = cpuSeconds();
    for (auto _ : state) {
        if (stack.canUndo())
            stack.undo();
        else
            stack.redo();
        benchmark::DoNotOptimize(e.page.image().constBits());
    }
    state.counters["x_redraw"] = (cpuSeconds() - start) / double(state.iterations()) / reference;
}

void BM_UndoRedoPaste500(benchmark::State& state)
{
    undoRedo(state, [](Editor& e) { e.document.pasteBars(*e.clipboard); });
}
BENCHMARK(BM_UndoRedoPaste500);

void BM_UndoRedoTransposeFullPage(benchmark::State& state)
{
    undoRedo(state, [](Editor& e) { e.document.transpose(5); });
}
BENCHMARK(BM_UndoRedoTransposeFullPage);

// The heap a history of 1,000 full-page edits holds, in MiB.
void historyMemory(benchmark::State& state, void (*edit)(Editor&, int))
{
    for (auto _ : state) {
        Editor e;
        malloc_trim(0);
        const std::size_t before = mallinfo2().uordblks;
        for (int k = 0; k < 1000; ++k)
            edit(e, k);
        state.counters["history_MiB"] = double(mallinfo2().uordblks - before) / (1024.0 * 1024.0);
        state.counters["steps"] = e.document.undoStack()->count();
    }
}

void BM_HistoryOf1000Pastes(benchmark::State& state)
{
    historyMemory(state, [](Editor& e, int k) {
        // Every paste writes other chords into every slot of all 500 bars.
        static const char* const Qualities[] = {"m7", "7", "M7", "sus4", "dim", "6", "9", "m6"};
        for (int i = 0; i < MaxBars; ++i)
            for (int s = 1; s <= 4; ++s) {
                Chord& c = e.clipboard->bars[i].slot(s);
                c.root = static_cast<std::uint8_t>(1 + (i + k + s) % 12);
                c.quality.assign(Qualities[(i + k + s) % 8]);
            }
        Selection anchor;
        anchor.entries[anchor.count++] = 1;
        e.document.setSelection(anchor);
        e.document.pasteBars(*e.clipboard);
    });
}
BENCHMARK(BM_HistoryOf1000Pastes)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_HistoryOf1000Transpositions(benchmark::State& state)
{
    historyMemory(state, [](Editor& e, int) { e.document.transpose(1); });
}
BENCHMARK(BM_HistoryOf1000Transpositions)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
