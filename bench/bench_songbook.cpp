// A songbook of 100 busy charts, one a page, as `mavrel songbook` makes it
// (title page, contents, outline and links), beside writing the same bytes
// to a file through writeFile, measured in the same run: the counter
// "x_write" is the ratio, "seconds" the book's own time (target: under 2 s),
// "bytes" the PDF's size.
#include "document/chartfile.h"
#include "document/setlist.h"
#include "print/songbook.h"

#include "cputime.h"
#include "standards.h"

#include <benchmark/benchmark.h>

#include <QDir>

#include <chrono>
#include <string>

using namespace mavrel;

namespace {

void BM_Songbook100(benchmark::State& state)
{
    Songbook book;
    book.name = QStringLiteral("Cent standards");
    book.per = 1;
    for (int n = 1; n <= 100; ++n) {
        SongbookSong s;
        s.fileName = QStringLiteral("song%1.bab").arg(n);
        s.chart = bench::standard(n, 8);
        s.part = n % 10 == 0 ? Instrument::BFlat : Instrument::Concert;
        book.songs.push_back(std::move(s));
    }
    const std::string file = QDir::temp().filePath(QStringLiteral("mavrel-bench-songbook.pdf")).toStdString();
    double bookSeconds = 0, writeSeconds = 0, wall = 0;
    QByteArray pdf;
    for (auto _ : state) {
        pdf.clear();
        const auto startWall = std::chrono::steady_clock::now();
        double start = cpuSeconds();
        encodeSongbookPdf(book, pdf);
        bookSeconds += cpuSeconds() - start;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - startWall).count();
        start = cpuSeconds();
        writeFile(file, {reinterpret_cast<const std::uint8_t*>(pdf.constData()), std::size_t(pdf.size())});
        writeSeconds += cpuSeconds() - start;
    }
    QFile::remove(QString::fromStdString(file));
    state.counters["x_write"] = bookSeconds / writeSeconds;
    state.counters["seconds"] = wall / double(state.iterations());
    state.counters["bytes"] = double(pdf.size());
}
BENCHMARK(BM_Songbook100)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
