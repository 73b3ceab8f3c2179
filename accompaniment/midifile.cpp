#include "midifile.h"

#include "document/text.h"

#include <algorithm>

namespace mavrel::accompaniment {

namespace {

class TrackWriter {
public:
    // An event `tick` ticks from the start; events come in time order.
    void event(std::int64_t tick, std::initializer_list<std::uint8_t> bytes)
    {
        delta(tick);
        m_bytes.insert(m_bytes.end(), bytes);
    }
    void meta(std::int64_t tick, std::uint8_t type, std::string_view data)
    {
        delta(tick);
        m_bytes.push_back(0xFF);
        m_bytes.push_back(type);
        number(data.size());
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    }
    void end(std::int64_t tick) { meta(std::max(tick, m_now), 0x2F, {}); }

    void appendTo(std::vector<std::uint8_t>& file) const
    {
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        const auto size = static_cast<std::uint32_t>(m_bytes.size());
        for (int shift = 24; shift >= 0; shift -= 8)
            file.push_back(static_cast<std::uint8_t>(size >> shift));
        file.insert(file.end(), m_bytes.begin(), m_bytes.end());
    }

private:
    void delta(std::int64_t tick)
    {
        tick = std::max(tick, m_now);
        number(static_cast<std::uint64_t>(tick - m_now));
        m_now = tick;
    }
    // A variable-length quantity: seven bits a byte, the high bit on all but
    // the last. A delta never needs more than four bytes here, but a longer
    // one is still written right.
    void number(std::uint64_t value)
    {
        std::uint8_t groups[10];
        int n = 0;
        do {
            groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
            value >>= 7;
        } while (value);
        while (n > 1)
            m_bytes.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
        m_bytes.push_back(groups[0]);
    }

    std::vector<std::uint8_t> m_bytes;
    std::int64_t m_now = 0;
};

std::string bigEndian(std::uint32_t value, int bytes)
{
    std::string out;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift & 0xFF);
    return out;
}

std::string timeSignature(TimeSignature t)
{
    int power = 0;
    while ((1 << power) < t.unit && power < 7)
        ++power;
    // MIDI clocks (24 a quarter) in a beat: a dotted quarter in 6/8, 9/8, 12/8.
    const bool compound = t.unit == 8 && t.beats % 3 == 0 && t.beats >= 6;
    const int clocks = compound ? 36 : std::max(1, 96 / std::max<int>(t.unit, 1));
    return {static_cast<char>(t.beats), static_cast<char>(power), static_cast<char>(clocks), 8};
}

void writeNotes(TrackWriter& w, const Track& track, std::int64_t end)
{
    struct Event {
        std::int64_t tick;
        bool on;
        std::uint8_t pitch;
        std::uint8_t velocity;
    };
    std::vector<Event> events;
    events.reserve(track.notes.size() * 2);
    for (const Note& n : track.notes) {
        const std::int64_t start = std::clamp<std::int64_t>(n.start, 0, end);
        const std::int64_t stop = std::clamp<std::int64_t>(n.start + std::max(n.length, 1), start, end);
        const auto pitch = static_cast<std::uint8_t>(std::min<int>(n.pitch, 127));
        const auto velocity = static_cast<std::uint8_t>(std::clamp<int>(n.velocity, 1, 127));
        events.push_back({start, true, pitch, velocity});
        events.push_back({stop, false, pitch, 0});
    }
    // At one tick, notes end before others begin, so that a note struck
    // again right after itself is heard twice.
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.on < b.on;
    });
    const auto channel = static_cast<std::uint8_t>(std::clamp(track.channel, 0, 15));
    for (const Event& e : events)
        w.event(e.tick, {static_cast<std::uint8_t>((e.on ? 0x90 : 0x80) | channel), e.pitch,
                         e.on ? e.velocity : std::uint8_t{64}});
}

} // namespace

std::vector<std::uint8_t> midiFile(const Performance& performance, std::string_view title)
{
    const std::int64_t end = std::max<std::int64_t>(performance.end, 0);
    std::vector<TrackWriter> tracks;

    TrackWriter& conductor = tracks.emplace_back();
    if (const std::string name = text::withoutControls(title); !name.empty())
        conductor.meta(0, 0x03, name);
    const int tempo = std::clamp(performance.tempo, 1, 999);
    conductor.meta(0, 0x51, bigEndian(static_cast<std::uint32_t>(60'000'000 / tempo), 3));
    TimeSignature meter = performance.bars.empty() ? TimeSignature{4, 4} : performance.bars.front().meter;
    conductor.meta(0, 0x58, timeSignature(meter));
    for (const PlayedBar& bar : performance.bars)
        if (!(bar.meter == meter)) {
            meter = bar.meter;
            conductor.meta(bar.start, 0x58, timeSignature(meter));
        }
    conductor.end(end);

    for (const Track& track : performance.tracks) {
        if (track.instrument == Instrument::Click && track.notes.empty())
            continue;
        TrackWriter& w = tracks.emplace_back();
        w.meta(0, 0x03, track.name);
        const auto channel = static_cast<std::uint8_t>(std::clamp(track.channel, 0, 15));
        const auto program = static_cast<std::uint8_t>(std::clamp(track.program, 0, 127));
        w.event(0, {static_cast<std::uint8_t>(0xC0 | channel), program});
        writeNotes(w, track, end);
        w.end(end);
    }

    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    file.push_back(static_cast<std::uint8_t>(tracks.size() >> 8));
    file.push_back(static_cast<std::uint8_t>(tracks.size() & 0xFF));
    file.push_back(static_cast<std::uint8_t>(TicksPerQuarter >> 8));
    file.push_back(static_cast<std::uint8_t>(TicksPerQuarter & 0xFF));
    for (const TrackWriter& w : tracks)
        w.appendTo(file);
    return file;
}

} // namespace mavrel::accompaniment
