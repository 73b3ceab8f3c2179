#include "song.h"

#include "text.h"

#include <algorithm>
#include <cctype>

namespace mavrel {

namespace {

constexpr std::string_view DirectionTexts[DirectionCount] = {
    "",
    "D.C.",
    "D.C. al Coda",
    "D.C. al Fine",
    "D.S.",
    "D.S. al Coda",
    "D.S. al Fine",
    "Fine",
    "To Coda",
};

bool sameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string_view directionText(Direction direction)
{
    const auto i = static_cast<std::size_t>(direction);
    return i < std::size(DirectionTexts) ? DirectionTexts[i] : std::string_view();
}

Direction directionNamed(std::string_view text)
{
    for (int i = 1; i < DirectionCount; ++i)
        if (sameLetters(text, DirectionTexts[i]))
            return static_cast<Direction>(i);
    return Direction::None;
}

bool hasSongInfo(const SongInfo& song)
{
    if (song.tempo || !song.time.empty() || !song.key.empty() || song.chordStyle != ChordStyle::Classic
        || song.autoSize || song.title.size() || song.composer.size() || song.style.size())
        return true;
    return std::any_of(std::begin(song.marks), std::end(song.marks), [](const BarMarks& m) { return !m.empty(); });
}

TimeSignature meterAt(const SongInfo& song, int i)
{
    auto sensible = [](TimeSignature t) { return t.beats >= 1 && t.beats <= 16 && t.unit >= 1 && t.unit <= 32; };
    for (int k = std::min(i, MaxBars); k >= 1; --k)
        if (sensible(song.bar(k).time))
            return song.bar(k).time;
    if (sensible(song.time))
        return song.time;
    return {4, 4};
}

Pulse pulseOf(TimeSignature t, int ticksPerQuarter)
{
    const int bar = t.beats * 4 * ticksPerQuarter / t.unit;
    if (t.unit == 8 && t.beats % 3 == 0 && t.beats >= 6)
        return {t.beats / 3, 3 * ticksPerQuarter / 2, true, bar};
    if (t.unit <= 4)
        return {bar / ticksPerQuarter, ticksPerQuarter, false, bar};
    return {t.beats, bar / t.beats, false, bar};
}

std::vector<int> shareBar(std::span<const int> weights, const Pulse& pulse)
{
    const int n = static_cast<int>(weights.size());
    std::vector<int> parts(weights.size());
    if (n == 0)
        return parts;
    int cell = pulse.ticks;
    if (pulse.count < n)
        cell = pulse.compound ? pulse.ticks / 3 : pulse.ticks / 2;
    while (cell > 1 && pulse.bar / cell < n)
        cell /= 2;
    const int cells = pulse.bar / cell;
    std::vector<int> order(weights.size());
    int given = 0;
    for (int i = 0; i < n; ++i) {
        parts[i] = cells * weights[i] / 4;
        given += parts[i];
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int ra = cells * weights[a] % 4, rb = cells * weights[b] % 4;
        return ra != rb ? ra > rb : weights[a] > weights[b];
    });
    for (int k = 0; given < cells; ++k, ++given)
        ++parts[order[k % n]];
    int at = 0;
    for (int i = 0; i < n; ++i) {
        parts[i] *= cell;
        at += parts[i];
    }
    parts.back() += pulse.bar - at;
    return parts;
}

std::string cutUtf8(std::string_view utf8, std::size_t capacity)
{
    std::string clean = text::withoutControls(utf8);
    if (clean.size() <= capacity)
        return clean;
    std::size_t end = capacity;
    // Back to the first byte of the character that would be cut.
    while (end > 0 && (static_cast<unsigned char>(clean[end]) & 0xC0) == 0x80)
        --end;
    clean.resize(end);
    return clean;
}

} // namespace mavrel
