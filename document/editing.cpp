#include "editing.h"

#include "key.h"
#include "win1252.h"

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

std::optional<SlashBass> slashBass(std::string_view quality)
{
    const std::size_t slash = quality.rfind('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view note = quality.substr(slash + 1);
    static constexpr std::string_view Letters = "C D EF G A B";   // by semitone
    const std::size_t natural = note.empty() ? std::string_view::npos : Letters.find(note[0]);
    if (natural == std::string_view::npos || note[0] == ' ' || note.size() > 2)
        return std::nullopt;
    int accidental = 0;
    if (note.size() == 2) {
        if (note[1] != 'b' && note[1] != '#')
            return std::nullopt;
        accidental = note[1] == 'b' ? -1 : 1;
    }
    const int pitch = (static_cast<int>(natural) + accidental + 12) % 12 + 1;
    return SlashBass{slash + 1, pitch, accidental};
}

namespace {

// One transposition as every chord takes it: a shift of 0..11 semitones, and
// the spelling given to roots and basses (nothing for each chord's own).
struct Move {
    int shift = 0;
    std::optional<bool> flats;
};

Move plan(const Chart& chart, int steps, Spelling spelling)
{
    Move m;
    m.shift = (steps % 12 + 12) % 12;
    if (spelling == Spelling::Flats || spelling == Spelling::Sharps) {
        m.flats = spelling == Spelling::Flats;
    } else if (spelling == Spelling::Key) {
        // The song's key once moved, whether set or heard in the chords.
        m.flats = spellsWithFlats(transposeKey(songKey(chart), steps, Spelling::Key));
    }
    return m;
}

bool pitched(const Chord& a) { return a.root >= 1 && a.root <= 12; }

// The chord moved, or nothing when its moved bass would not fit the quality.
std::optional<Chord> moved(const Chord& a, const Move& m)
{
    Chord b = a;
    b.root = static_cast<std::uint8_t>((a.root - 1 + m.shift) % 12 + 1);
    if (m.flats)
        b.flat = *m.flats ? 1 : 0;
    const std::optional<SlashBass> bass = slashBass(a.quality.view());
    // Kept and not moved, a bass stays as typed, "Fb" included.
    if (!bass || (m.shift == 0 && !m.flats))
        return b;
    const bool flat = m.flats ? *m.flats : bass->accidental != 0 ? bass->accidental < 0 : a.flat != 0;
    std::string quality(a.quality.view().substr(0, bass->at));
    quality += rootName((bass->pitch - 1 + m.shift) % 12 + 1, flat);
    if (quality.size() > sizeof a.quality.chars)
        return std::nullopt;
    b.quality.assign(quality);
    return b;
}

Message problem(const Chart& chart, const Move& m)
{
    const int n = std::min(chart.info.count, MaxBars);
    for (int i = 1; i <= n; ++i)
        for (const Chord& a : chart.bar(i).chords)
            if (pitched(a) && !moved(a, m))
                return {QT_TRANSLATE_NOOP("Message", "Rien n'a été transposé : à la mesure %1, « %2 » ne tiendrait "
                                                     "plus dans la grille avec sa basse transposée (24 caractères "
                                                     "après la note)."),
                        {std::to_string(i), win1252::toUtf8(chordText(a))}};
    return {};
}

} // namespace

Message transposeProblem(const Chart& chart, int steps, Spelling spelling)
{
    return problem(chart, plan(chart, steps, spelling));
}

Message transpose(Chart& chart, int steps, Spelling spelling)
{
    const Move m = plan(chart, steps, spelling);
    if (Message refused = problem(chart, m); !refused.empty())
        return refused;
    if (!chart.song.key.empty())
        chart.song.key = transposeKey(chart.song.key, steps, spelling);
    const int n = std::min(chart.info.count, MaxBars);
    for (int i = 1; i <= n; ++i)
        for (Chord& a : chart.bar(i).chords)
            if (pitched(a))   // "%" and damaged roots stay
                a = *moved(a, m);
    return {};
}

} // namespace mavrel
