#include "editing.h"

#include <algorithm>
#include <cstring>

namespace mavrel {

bool Selection::contains(int bar) const
{
    for (int i = 0; i < count && i < MaxBars; ++i)
        if (entries[i] == bar)
            return true;
    return false;
}

void cycleDivision(Bar& bar)
{
    ++bar.division;
    if (bar.division == 6)
        bar.division = 1;
}

namespace {
void advance(std::int16_t& field, int past)
{
    ++field;
    if (field == past)
        field = 0;
}
} // namespace

void cycleSign(Bar& bar, int region)
{
    switch (region) {
    case 1: advance(bar.left, 3); break;
    case 2: advance(bar.top, 2); break;
    case 3: advance(bar.bottom, 2); break;
    case 4: advance(bar.right, 3); break;
    default: break;
    }
}

void toggleShown(Bar& bar) { bar.shown = bar.shown ? 0 : 1; }

int slotFor(int division, int region, int current)
{
    static constexpr int Slots[5][4] = {
        {1, 1, 1, 1},
        {1, 1, 2, 2},
        {1, 2, 3, 4},
        {1, 2, 3, 3},
        {1, 1, 2, 3},
    };
    if (division < 1 || division > 5 || region < 1 || region > 4)
        return current;
    return Slots[division - 1][region - 1];
}

const char* rootName(int root, bool flat)
{
    static constexpr const char* Sharp[13] = {"%", "C", "C#", "D", "D#", "E", "F",
                                              "F#", "G", "G#", "A", "A#", "B"};
    static constexpr const char* Flat[13] = {"%", "C", "Db", "D", "Eb", "E", "F",
                                             "Gb", "G", "Ab", "A", "Bb", "B"};
    if (root < 0 || root > 12)
        return "?";
    return flat ? Flat[root] : Sharp[root];
}

std::string chordText(const Chord& chord)
{
    if (isNoChord(chord))
        return std::string(NoChordQuality);
    std::string text = rootName(chord.root, chord.flat != 0);
    text += chord.quality.view();
    return text;
}

const char* qualityItem(int index)
{
    static constexpr const char* Items[QualityCount] = {"", "m", "7", "M7", "m7",
                                                        "\xF8", "dim", "6", "9", "m6"};
    if (index < 0 || index >= QualityCount)
        return "";
    return Items[index];
}

int qualityIndex(std::string_view quality)
{
    for (int i = 0; i < QualityCount; ++i)
        if (quality == qualityItem(i))
            return i;
    return -1;
}

std::optional<Chord> buildChord(const ChordEntry& entry, const Chord& previous)
{
    if (entry.root < 0 || entry.root > 12)
        return std::nullopt;
    Chord a = previous;   // the spare byte and unused characters stay
    a.root = static_cast<std::uint8_t>(entry.root);
    a.quality.assign(entry.qualityItem >= 0 ? qualityItem(entry.qualityItem) : "");
    a.flat = entry.flat ? 1 : 0;
    if (a.root == 0)
        a.quality.clear();
    if (entry.other)
        a.quality.assign(entry.freeText);
    return a;
}

int labelAt(const Chart& chart, int x, int y, int except)
{
    int j = -1;
    const int n = chart.info.labelCount;
    for (int i = 1; i <= n && i <= MaxLabels; ++i) {
        if (i == except)
            continue;
        const TextLabel& t = chart.label(i);
        // 64-bit sums: anchors come from files and may sit at the int32 edge.
        if (t.x < x && x < std::int64_t(t.x) + 16 && t.y < y && y < std::int64_t(t.y) + 16)
            j = i;
    }
    return j;
}

bool commitLabel(Chart& chart, std::string_view text, int x, int y, int size, bool bold)
{
    if (chart.info.labelCount < 0 || chart.info.labelCount >= MaxLabels)
        return false;
    ++chart.info.labelCount;
    TextLabel& t = chart.label(chart.info.labelCount);
    t.text.assign(text);
    t.x = x;
    t.y = y;
    t.size = static_cast<std::int8_t>(size);
    t.bold = bold ? 1 : 0;
    return true;
}

TextLabel takeLabel(Chart& chart, int j)
{
    const TextLabel taken = chart.label(j);
    chart.label(j) = chart.label(chart.info.labelCount);
    --chart.info.labelCount;
    return taken;
}

void finishLasso(const Chart& chart, Selection& sel, int startX, int startY, int endX, int endY,
                 int barAtRelease)
{
    sel.clear();
    const long dx = long(endX) - startX;
    const long dy = long(endY) - startY;
    if (dx < 10 && dy < 10) {
        if (barAtRelease >= 1) {
            sel.entries[0] = static_cast<std::int16_t>(barAtRelease);
            sel.count = 1;
        } else {
            sel.entries[0] = -1;
        }
        return;
    }
    const double w = chart.info.barWidth;
    const double h = chart.info.barHeight;
    const int n = chart.info.count;
    for (int i = 1; i <= n && i <= MaxBars; ++i) {
        const Bar& b = chart.bar(i);
        const double cx = b.x + w / 2;
        const double cy = b.y + h / 2;
        if (startX < cx && cx < endX && startY < cy && cy < endY)
            sel.entries[sel.count++] = static_cast<std::int16_t>(i);
    }
}

void copyBars(const Chart& chart, Selection& sel, Clipboard& clip)
{
    clip.count = 0;
    for (int k = 0; k < sel.count && k < MaxBars; ++k) {
        const int b = sel.entries[k];
        if (b >= 1 && b <= MaxBars) {
            clip.marks[clip.count] = chart.song.bar(b);
            clip.bars[clip.count++] = chart.bar(b);
        }
    }
    sel.clear();
}

void pasteBars(Chart& chart, Selection& sel, const Clipboard& clip)
{
    const int anchor = sel.anchor();
    if (anchor >= 1) {
        for (int k = 0; k < clip.count; ++k) {
            const int target = anchor + k;
            if (target > MaxBars)
                break;
            chart.bar(target) = clip.bars[k];
            chart.song.bar(target) = clip.marks[k];
        }
    }
    sel.clear();
}

void clearBars(Chart& chart, Selection& sel)
{
    for (int k = 0; k < sel.count && k < MaxBars; ++k) {
        const int b = sel.entries[k];
        if (b < 1 || b > MaxBars)
            continue;
        Bar& c = chart.bar(b);
        for (Chord& a : c.chords) {
            a.root = 0;
            a.quality.clear();
        }
        c.left = c.right = c.top = c.bottom = 0;
        c.division = 1;
        chart.song.bar(b) = {};
    }
    sel.clear();
}

bool keyUsesFlats(int root, bool minor)
{
    // Major: F Bb Eb Ab Db Gb; minor: D G C F Bb Eb.
    static constexpr bool FlatMajor[13] = {false, false, true, false, true, false, true,
                                           true,  false, true, false, true, false};
    static constexpr bool FlatMinor[13] = {false, true, false, true, true, false, true,
                                           false, true, false, false, true, false};
    if (root < 1 || root > 12)
        return false;
    return minor ? FlatMinor[root] : FlatMajor[root];
}

bool chartKey(const Chart& chart, int& root, bool& minor)
{
    const int n = chart.info.count;
    for (int i = 1; i <= n && i <= MaxBars; ++i) {
        const Bar& bar = chart.bar(i);
        if (!bar.shown)
            continue;
        for (const Chord& c : bar.chords) {
            if (c.root < 1 || c.root > 12)
                continue;
            const std::string_view q = c.quality.view();
            root = c.root;
            minor = (q.starts_with('m') && !q.starts_with("ma")) || q.starts_with('-')
                || q.starts_with('\xF8') || q.starts_with("dim");
            return true;
        }
    }
    return false;
}

void transpose(Chart& chart, int steps, Spelling spelling)
{
    const int shift = (steps % 12 + 12) % 12;
    const int n = std::min(chart.info.count, MaxBars);
    auto pitched = [&](auto&& each) {
        for (int i = 1; i <= n; ++i)
            for (Chord& a : chart.bar(i).chords)
                if (a.root >= 1 && a.root <= 12)   // "%" and damaged roots stay
                    each(a);
    };
    pitched([&](Chord& a) { a.root = static_cast<std::uint8_t>((a.root - 1 + shift) % 12 + 1); });
    if (spelling == Spelling::Keep)
        return;
    bool flats = spelling == Spelling::Flats;
    if (spelling == Spelling::Key) {
        int root = 0;
        bool minor = false;
        flats = chartKey(chart, root, minor) && keyUsesFlats(root, minor);
    }
    pitched([&](Chord& a) { a.flat = flats ? 1 : 0; });
}

} // namespace mavrel
