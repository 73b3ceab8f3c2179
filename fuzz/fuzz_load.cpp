// Any file at all given to Load: it either refuses it and changes nothing, or
// loads a chart within the arrays that the editing code handles and that Save
// writes back byte for byte, that every export writes as clean text, and that
// the page lays out and draws.
#include "document/chartfile.h"
#include "document/editing.h"
#include "document/export.h"
#include "document/win1252.h"
#include "render/page.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace mavrel;

namespace {

// One file to read, one file written: enough for a Load and a Save.
class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem(const std::uint8_t* data, std::size_t size) : m_in(data, size) {}

    int openRead(const std::string&, int& fd) override
    {
        fd = 3;
        m_pos = 0;
        return 0;
    }
    int openWrite(const std::string&, int&) override { return EROFS; }
    int openStandardOutput(int&) override { return EROFS; }
    int createUnnamed(const std::string&, const std::string&, int&) override { return EOPNOTSUPP; }
    int linkNew(int, const std::string&) override { return EOPNOTSUPP; }
    int createNew(const std::string&, const std::string&, int& fd) override
    {
        fd = 4;
        written.clear();
        return 0;
    }
    int read(int, std::span<std::uint8_t> buffer, std::size_t& got) override
    {
        got = std::min(buffer.size(), m_in.size() - m_pos);
        if (got)
            std::memcpy(buffer.data(), m_in.data() + m_pos, got);
        m_pos += got;
        return 0;
    }
    int write(int, std::span<const std::uint8_t> bytes) override
    {
        written.insert(written.end(), bytes.begin(), bytes.end());
        return 0;
    }
    int fsync(int) override { return 0; }
    int close(int) override { return 0; }
    int rename(const std::string&, const std::string&) override { return 0; }
    int renameNew(const std::string&, const std::string&) override { return 0; }
    int remove(const std::string&) override { return 0; }
    int removeLeftover(const std::string&) override { return 0; }
    int checkWritable(const std::string&) override { return 0; }
    FileKind kind(const std::string&) override { return FileKind::Missing; }
    FileKind entryKind(const std::string&) override { return FileKind::Missing; }
    std::string resolve(const std::string& path) override { return path; }

    std::vector<std::uint8_t> written;

private:
    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
};

bool sameDocument(const Chart& a, const Chart& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// What the editor does with odd values from a file: name the chords, find the
// quality, map regions to slots, cycle signs, transpose, hit labels.
void edit(Chart& chart)
{
    std::size_t sink = 0;
    for (int i = 1; i <= chart.info.count; ++i) {
        Bar bar = chart.bar(i);
        for (int s = 1; s <= 4; ++s) {
            const Chord& a = bar.slot(s);
            sink += std::strlen(rootName(a.root, a.flat != 0));
            sink += static_cast<std::size_t>(qualityIndex(a.quality.view()) + 1);
            sink += win1252::toUtf8(a.quality.view()).size();
        }
        for (int region = 1; region <= 4; ++region) {
            sink += static_cast<std::size_t>(slotFor(bar.division, region, 1));
            cycleSign(bar, region);
        }
        cycleDivision(bar);
    }
    for (int j = 1; j <= chart.info.labelCount; ++j) {
        const TextLabel& t = chart.label(j);
        sink += win1252::toUtf8(t.text.view()).size();
        sink += static_cast<std::size_t>(labelAt(chart, t.x, t.y) + 1);
    }
    // A transposition either moves the chart or, refused, leaves it as it was.
    const auto before = std::make_unique<Chart>(chart);
    if (!transpose(chart, 1, Spelling::Key).empty())
        check(sameDocument(chart, *before));
    transpose(chart, -1);
    check(sink != static_cast<std::size_t>(-1));
}

// The page as the editor draws it, with a selection and the layout guides,
// on one page kept from input to input as the window keeps it; then what the
// mouse asks of it.
void draw(Chart& chart)
{
    static Page page;
    Selection selection;
    for (const int bar : {1, chart.info.count, MaxBars, -1})
        selection.entries[selection.count++] = static_cast<std::int16_t>(bar);
    page.draw(chart, selection, true);
    const QImage& img = page.image();
    check(img.isNull() || img.size() == QSize(chart.info.pageWidth, chart.info.pageHeight));
    page.canvas().focusRect(chart.info.sideMargin, chart.info.topMargin, img.width(), img.height());

    int bar = 0, region = 0;
    for (int i = 1; i <= chart.info.count; i += 7) {
        const Bar& b = chart.bar(i);
        hitTest(chart, b.x + chart.info.barWidth / 2, b.y + chart.info.barHeight / 2, bar, region);
        check(bar >= -1 && bar <= chart.info.count && region >= -1 && region <= 4);
    }
}

// Whatever the file's texts hold, every export is lines of text: no control
// character but the line feeds.
void exportCleanly(const Chart& chart)
{
    for (ExportFormat format : {ExportFormat::MusicXml, ExportFormat::LilyPond, ExportFormat::IRealLink})
        for (unsigned char c : exportChart(chart, format))
            check(c == '\n' || (c >= 0x20 && c != 0x7F));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Texts need fonts, and fonts an application: on the offscreen platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A chart with content everywhere, so that any stray write shows.
    static const std::unique_ptr<Chart> before = [] {
        auto chart = std::make_unique<Chart>();
        resetChart(*chart);
        for (Bar& bar : chart->bars)
            bar.slot(1).root = 3;
        chart->info.labelCount = MaxLabels;
        for (TextLabel& t : chart->labels)
            t.text.assign("before");
        return chart;
    }();
    static auto chart = std::make_unique<Chart>();
    *chart = *before;

    MemoryFileSystem files(data, size);
    const FileResult loaded = loadChart(*chart, "chart.bab", files);
    if (!loaded.ok) {
        check(!loaded.message.empty() && loaded.message.text().back() == '.');
        check(sameDocument(*chart, *before));
        return 0;
    }
    check(checkLayout(chart->info) == LayoutProblem::None);

    // Load ignores the header's fixed parts and anything past the labels;
    // the rest comes back exactly. The layout rewrote the bar size and
    // positions, so save the chart as the file held it.
    auto asRead = std::make_unique<Chart>(*before);
    MemoryFileSystem again(data, size);
    check(decodeChart({data, size}, *asRead, "chart.bab").ok);
    const FileResult saved = saveChart(*asRead, "copy.bab", again);
    check(saved.ok);
    check(again.written.size() <= size);
    check(std::memcmp(again.written.data() + 8, data + 8, 52) == 0);
    check(std::memcmp(again.written.data() + HeaderSize, data + HeaderSize,
                      again.written.size() - HeaderSize)
          == 0);

    exportCleanly(*chart);
    edit(*chart);
    // The largest pages take seconds each; their drawing is tested apart, and
    // here they would leave the fuzzer a few inputs a minute.
    if (std::int64_t(chart->info.pageWidth) * chart->info.pageHeight <= 2000 * 2000)
        draw(*chart);
    return 0;
}
