#include "songfile.h"

#include "bytestream.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace mavrel {

namespace {

constexpr std::string_view Magic = "MAVREL";
constexpr std::size_t PreambleSize = 6 + 2 + 2 + 4;
constexpr std::size_t ChecksumSize = 4;

// CRC-32 (the polynomial of zip and PNG), eight bytes a step.
std::uint32_t crc32(std::span<const std::uint8_t> bytes)
{
    using Tables = std::array<std::array<std::uint32_t, 256>, 8>;
    static const Tables tables = [] {
        Tables t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (std::uint32_t n = 0; n < 256; ++n)
            for (std::size_t k = 1; k < 8; ++k)
                t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t lo = c ^ (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24);
        c = tables[7][lo & 0xFF] ^ tables[6][(lo >> 8) & 0xFF] ^ tables[5][(lo >> 16) & 0xFF]
            ^ tables[4][lo >> 24] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^ tables[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        c = tables[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

template <std::size_t N> void putText(ByteBuffer& out, const ShortString<N>& s)
{
    out.field(static_cast<std::uint8_t>(s.size()));
    out.bytes(s.view());
}

// A chunk's tag and length, the length patched once its bytes are written.
class Chunk {
public:
    Chunk(ByteBuffer& out, std::string_view tag) : m_out(out)
    {
        m_out.bytes(tag);
        m_at = m_out.size();
        m_out.field(std::uint32_t{0});
    }
    ~Chunk() { m_out.patch(m_at, static_cast<std::uint32_t>(m_out.size() - m_at - 4)); }
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;

private:
    ByteBuffer& m_out;
    std::size_t m_at;
};

const char* const Damaged = QT_TRANSLATE_NOOP(
    "Message", "Les informations du morceau (tonalité, tempo, sections, reprises) sont endommagées : elles ont "
               "été mises de côté, les mesures et les textes sont intacts. Enregistrer la grille les perdra.");
const char* const Later = QT_TRANSLATE_NOOP(
    "Message", "Les informations du morceau viennent d'une version plus récente de Mavrel : elles ont été mises "
               "de côté, les mesures et les textes sont intacts. Enregistrer la grille les perdra.");
const char* const Skipped = QT_TRANSLATE_NOOP(
    "Message", "Une partie des informations du morceau (« %1 ») vient d'une version plus récente de Mavrel : "
               "elle a été mise de côté. Enregistrer la grille la perdra.");

// Reads one chunk's values, all or nothing: a value that breaks its limits
// marks the chunk damaged.
class ChunkReader {
public:
    explicit ChunkReader(std::span<const std::uint8_t> bytes) : m_in(bytes) {}

    template <std::integral T> T number(T low, T high)
    {
        T value{};
        m_in.field(value);
        if (value < low || value > high)
            m_bad = true;
        return value;
    }
    // A UTF-8 text of at most N bytes, with no control character.
    template <std::size_t N> void utf8(ShortString<N>& s)
    {
        const std::uint8_t n = number<std::uint8_t>(0, N);
        const auto b = m_in.bytes(n);
        const std::string_view t(reinterpret_cast<const char*>(b.data()), b.size());
        if (text::hasControl(t) || !text::isUtf8(t))
            m_bad = true;
        s = {};
        s.assign(t);
    }
    // A Windows-1252 quality with no control character.
    void quality(ShortString<MaxQualityLength>& q)
    {
        const std::uint8_t n = number<std::uint8_t>(RecordQualityLength + 1, MaxQualityLength);
        const auto b = m_in.bytes(n);
        const std::string_view t(reinterpret_cast<const char*>(b.data()), b.size());
        for (char c : t)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                m_bad = true;
        q = {};
        q.assign(t);
    }
    TimeSignature meter()
    {
        TimeSignature t{};
        t.beats = number<std::uint8_t>(0, 32);
        t.unit = number<std::uint8_t>(0, 32);
        if ((t.beats == 0) != (t.unit == 0) || (t.unit & (t.unit - 1)) != 0)
            m_bad = true;
        return t;
    }
    bool ok() const { return !m_bad && !m_in.failed(); }
    // Every value within its limits, and nothing left over.
    bool good() const { return ok() && m_in.remaining() == 0; }

private:
    ByteReader m_in;
    bool m_bad = false;
};

bool readSong(std::span<const std::uint8_t> bytes, SongInfo& song)
{
    ChunkReader in(bytes);
    song.tempo = in.number<std::uint16_t>(0, 999);
    song.time = in.meter();
    song.key.tonic = in.number<std::uint8_t>(0, 12);
    song.key.flat = in.number<std::uint8_t>(0, 1);
    song.key.minor = in.number<std::uint8_t>(0, 1);
    song.chordStyle = static_cast<ChordStyle>(in.number<std::uint8_t>(0, 1));
    song.autoSize = in.number<std::uint8_t>(0, 1);
    in.utf8(song.title);
    in.utf8(song.composer);
    in.utf8(song.style);
    return in.good();
}

bool readMarks(std::span<const std::uint8_t> bytes, SongInfo& song, int barCount)
{
    ChunkReader in(bytes);
    const int count = in.number<std::uint16_t>(1, static_cast<std::uint16_t>(barCount));
    int previous = 0;
    for (int k = 0; k < count && in.ok(); ++k) {
        const int bar = in.number<std::uint16_t>(static_cast<std::uint16_t>(previous + 1),
                                                 static_cast<std::uint16_t>(barCount));
        if (bar <= previous || bar > barCount)
            return false;
        previous = bar;
        BarMarks& m = song.bar(bar);
        m.time = in.meter();
        m.ending = in.number<std::uint8_t>(0, 3);
        m.flags = in.number<std::uint8_t>(0, SegnoFlag | CodaFlag | FermataFlag);
        m.direction = static_cast<Direction>(in.number<std::uint8_t>(0, DirectionCount - 1));
        in.utf8(m.section);
    }
    return in.good();
}

struct LongQuality {
    int bar, slot;
    ShortString<MaxQualityLength> quality;
};

bool readQualities(std::span<const std::uint8_t> bytes, const Chart& chart, int barCount,
                   std::vector<LongQuality>& qualities)
{
    ChunkReader in(bytes);
    const int count = in.number<std::uint16_t>(1, static_cast<std::uint16_t>(barCount * 4));
    int previous = 0;
    for (int k = 0; k < count && in.ok(); ++k) {
        const int bar = in.number<std::uint16_t>(1, static_cast<std::uint16_t>(barCount));
        const int slot = in.number<std::uint8_t>(1, 4);
        // In order, each slot once.
        const int place = bar * 4 + slot;
        if (bar < 1 || bar > barCount || slot < 1 || slot > 4 || place <= previous)
            return false;
        previous = place;
        LongQuality& q = qualities.emplace_back(LongQuality{bar, slot, {}});
        in.quality(q.quality);
        // The record holds the first 8 characters of it, or the two were not
        // written together.
        if (chart.bar(bar).slot(slot).quality.view() != q.quality.view().substr(0, RecordQualityLength))
            return false;
    }
    return in.good();
}

} // namespace

std::vector<std::uint8_t> encodeExtension(const Chart& chart)
{
    const int bars = std::min(chart.info.count, MaxBars);
    const SongInfo& song = chart.song;
    int marks = 0, longQualities = 0;
    for (int i = 1; i <= bars; ++i) {
        marks += !song.bar(i).empty();
        for (const Chord& c : chart.bar(i).chords)
            longQualities += c.quality.size() > RecordQualityLength;
    }
    const bool songHeld = song.tempo || !song.time.empty() || !song.key.empty()
        || song.chordStyle != ChordStyle::Classic || song.autoSize || song.title.size() || song.composer.size()
        || song.style.size();
    if (!songHeld && !marks && !longQualities)
        return {};

    ByteBuffer out(MaxExtensionSize);
    out.bytes(Magic);
    out.field(ExtensionVersion);
    out.field(std::uint16_t{1});
    out.field(std::uint32_t{0});
    if (songHeld) {
        Chunk chunk(out, "SONG");
        out.field(song.tempo);
        out.field(song.time.beats);
        out.field(song.time.unit);
        out.field(song.key.tonic);
        out.field(static_cast<std::uint8_t>(song.key.flat != 0));
        out.field(static_cast<std::uint8_t>(song.key.minor != 0));
        out.field(static_cast<std::uint8_t>(song.chordStyle));
        out.field(static_cast<std::uint8_t>(song.autoSize != 0));
        putText(out, song.title);
        putText(out, song.composer);
        putText(out, song.style);
    }
    if (marks) {
        Chunk chunk(out, "MARK");
        out.field(static_cast<std::uint16_t>(marks));
        for (int i = 1; i <= bars; ++i) {
            const BarMarks& m = song.bar(i);
            if (m.empty())
                continue;
            out.field(static_cast<std::uint16_t>(i));
            out.field(m.time.beats);
            out.field(m.time.unit);
            out.field(m.ending);
            out.field(m.flags);
            out.field(static_cast<std::uint8_t>(m.direction));
            putText(out, m.section);
        }
    }
    if (longQualities) {
        Chunk chunk(out, "QUAL");
        out.field(static_cast<std::uint16_t>(longQualities));
        for (int i = 1; i <= bars; ++i)
            for (int s = 1; s <= 4; ++s)
                if (const Chord& c = chart.bar(i).slot(s); c.quality.size() > RecordQualityLength) {
                    out.field(static_cast<std::uint16_t>(i));
                    out.field(static_cast<std::uint8_t>(s));
                    putText(out, c.quality);
                }
    }
    out.patch(10, static_cast<std::uint32_t>(out.size() - PreambleSize));
    out.field(crc32(out.data()));
    return std::move(out.data());
}

bool signExtension(std::vector<std::uint8_t>& extension)
{
    if (extension.size() < PreambleSize
        || std::string_view(reinterpret_cast<const char*>(extension.data()), Magic.size()) != Magic)
        return false;
    std::uint32_t length = 0;
    ByteReader preamble(std::span<const std::uint8_t>(extension).subspan(10, 4));
    preamble.field(length);
    if (length > extension.size() - PreambleSize)
        return false;
    extension.resize(PreambleSize + length);
    const std::uint32_t sum = crc32(extension);
    for (int k = 0; k < 4; ++k)
        extension.push_back(static_cast<std::uint8_t>(sum >> (8 * k)));
    return true;
}

Message decodeExtension(std::span<const std::uint8_t> bytes, Chart& chart)
{
    if (bytes.size() < Magic.size()
        || std::string_view(reinterpret_cast<const char*>(bytes.data()), Magic.size()) != Magic)
        return {};
    ByteReader preamble(bytes.subspan(Magic.size()));
    std::uint16_t version = 0, readable = 0;
    std::uint32_t length = 0;
    preamble.field(version);
    preamble.field(readable);
    preamble.field(length);
    if (preamble.failed() || length > bytes.size() - PreambleSize
        || bytes.size() - PreambleSize - length < ChecksumSize)
        return Damaged;
    const auto covered = bytes.first(PreambleSize + length);
    ByteReader trailer(bytes.subspan(PreambleSize + length));
    std::uint32_t checksum = 0;
    trailer.field(checksum);
    if (checksum != crc32(covered))
        return Damaged;
    if (readable > ExtensionVersion || readable == 0 || version < readable)
        return Later;

    // Read into copies: the chart takes them only once everything is read.
    const int bars = std::min(chart.info.count, MaxBars);
    auto song = std::make_unique<SongInfo>();
    std::vector<LongQuality> qualities;
    std::string skipped;
    ByteReader chunks(covered.subspan(PreambleSize));
    bool seen[3] = {};
    while (chunks.remaining() > 0) {
        const auto tag = chunks.bytes(4);
        std::uint32_t size = 0;
        chunks.field(size);
        if (chunks.failed() || size > chunks.remaining())
            return Damaged;
        const auto body = chunks.bytes(size);
        const std::string_view name(reinterpret_cast<const char*>(tag.data()), 4);
        bool ok = true;
        if (name == "SONG" && !seen[0]) {
            seen[0] = true;
            ok = readSong(body, *song);
        } else if (name == "MARK" && !seen[1]) {
            seen[1] = true;
            ok = readMarks(body, *song, bars);
        } else if (name == "QUAL" && !seen[2]) {
            seen[2] = true;
            ok = readQualities(body, chart, bars, qualities);
        } else if (name[0] >= 'a' && name[0] <= 'z') {
            skipped += skipped.empty() ? "" : ", ";
            skipped += text::withoutControls(name);
        } else if (name[0] >= 'A' && name[0] <= 'Z' && name != "SONG" && name != "MARK" && name != "QUAL") {
            return Later;
        } else {
            ok = false;
        }
        if (!ok)
            return Damaged;
    }
    for (const LongQuality& q : qualities)
        chart.bar(q.bar).slot(q.slot).quality = q.quality;
    chart.song = *song;
    if (!skipped.empty())
        return {Skipped, {skipped}};
    return {};
}

} // namespace mavrel
