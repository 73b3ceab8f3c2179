// Any file at all given to Load: it either refuses it and changes nothing, or
// loads a chart within the arrays that the editing code handles and that Save
// writes back byte for byte (its song extension as the same information),
// that every export writes as clean text, and that the page lays out and
// draws.
#include "document/chartfile.h"
#include "document/editing.h"
#include "document/ireal.h"
#include "document/key.h"
#include "document/lilypond.h"
#include "document/musicxml.h"
#include "document/win1252.h"
#include "render/page.h"

#include <QGuiApplication>

#include <algorithm>
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
// quality, map regions to slots, cycle signs, hit labels, find the key,
// transpose.
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
    const Key key = songKey(chart);
    check(key.empty() || (key.tonic >= 1 && key.tonic <= 12));
    sink += transposeKey(key, 5, Spelling::Key).tonic;
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
    for (const std::string& text : {musicxml::write(chart), lilypond::write(chart), ireal::toLink(chart)})
        for (unsigned char c : text)
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

    // Load ignores the header's fixed parts and any bytes past the labels that
    // are no extension; the records come back exactly, but for a quality
    // length past what a record holds, which is written as the 8 characters
    // it always showed. The layout rewrote the bar size and positions, so save
    // the chart as the file held it.
    auto asRead = std::make_unique<Chart>(*before);
    MemoryFileSystem again(data, size);
    check(decodeChart({data, size}, *asRead, "chart.bab").ok);
    const FileResult saved = saveChart(*asRead, "copy.bab", again);
    check(saved.ok);
    const std::size_t records = HeaderSize + std::size_t(asRead->info.count) * BarRecordSize
        + std::size_t(asRead->info.labelCount) * LabelRecordSize;
    check(again.written.size() >= records);
    std::vector<std::uint8_t> expected(data, data + records);
    for (int i = 0; i < asRead->info.count; ++i)
        for (std::size_t slot = 0; slot < 4; ++slot) {
            std::uint8_t& length = expected[HeaderSize + std::size_t(i) * BarRecordSize + slot * 12 + 1];
            length = std::min<std::uint8_t>(length, RecordQualityLength);
        }
    check(std::memcmp(again.written.data() + 8, expected.data() + 8, 52) == 0);
    check(std::memcmp(again.written.data() + HeaderSize, expected.data() + HeaderSize, records - HeaderSize) == 0);
    // What was saved reads back as the same chart, song information
    // included, and saves again as the same bytes.
    auto reread = std::make_unique<Chart>(*before);
    const FileResult back = decodeChart(again.written, *reread, "copy.bab");
    check(back.ok && back.warning.empty());
    check(sameDocument(*reread, *asRead));
    check(encodeChart(*reread) == again.written);

    // The chunks behind the checksum: the same bytes, signed again.
    if (size > records) {
        std::vector<std::uint8_t> extension(data + records, data + size);
        if (signExtension(extension)) {
            auto signedChart = std::make_unique<Chart>(*asRead);
            decodeExtension(extension, *signedChart);
            // Whatever was read of it is written so that it reads back the same.
            auto reread = std::make_unique<Chart>(*before);
            const FileResult resaved = decodeChart(encodeChart(*signedChart), *reread, "signed.bab");
            check(resaved.ok && resaved.warning.empty() && sameDocument(*reread, *signedChart));
        }
    }

    exportCleanly(*chart);
    edit(*chart);
    // The largest pages take seconds each; their drawing is tested apart, and
    // here they would leave the fuzzer a few inputs a minute.
    if (std::int64_t(chart->info.pageWidth) * chart->info.pageHeight <= 2000 * 2000)
        draw(*chart);
    return 0;
}
