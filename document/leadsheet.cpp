#include "leadsheet.h"

#include "editing.h"
#include "key.h"
#include "layout.h"
#include "win1252.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace mavrel::leadsheet {

namespace {

// Slots in reading order and their beats, by division type.
struct Division {
    int slots;
    int beats[4];
};
constexpr Division Divisions[5] = {
    {1, {4}}, {2, {2, 2}}, {4, {1, 1, 1, 1}}, {3, {1, 1, 2}}, {3, {2, 1, 1}},
};

Sign sign(int value)
{
    return value == 1 ? Sign::Repeat : value == 2 ? Sign::Double : Sign::None;
}

bool isRepeatSign(const Chord& a) { return (a.root == 0 || a.root > 12) && !isNoChord(a); }

ChordSymbol silence(int beats) { return {0, false, {}, beats, 0, true}; }

// The bar's chords with "%" replaced by the chord before it. `previous` is the
// bar before, already read.
void readChords(const Bar& c, const Measure* previous, Measure& bar)
{
    if (!c.shown) {
        bar.chords.push_back(silence(4));
        return;
    }
    if (c.division < 1 || c.division > 5)
        return;
    const Division& d = Divisions[c.division - 1];
    if (d.slots == 1 && isRepeatSign(c.slot(1))) {
        bar.repeat = true;
        if (previous)
            bar.chords = previous->chords;
        return;
    }
    for (int s = 0; s < d.slots; ++s) {
        const Chord& a = c.chords[s];
        if (isNoChord(a)) {
            bar.chords.push_back(silence(d.beats[s]));
            continue;
        }
        if (!isRepeatSign(a)) {
            bar.chords.push_back({a.root, a.flat != 0, win1252::withoutControls(a.quality.view()), d.beats[s], 0});
            continue;
        }
        const ChordSymbol* before = !bar.chords.empty() ? &bar.chords.back()
            : previous && !previous->chords.empty() ? &previous->chords.back()
                                                     : nullptr;
        if (before) {
            ChordSymbol copy = *before;
            copy.beats = d.beats[s];
            bar.chords.push_back(std::move(copy));
        }
    }
}

struct Geometry {
    std::int64_t left, top, stepX, stepY;
    int columns, rows;
};

enum class Place { Header, Margin, Bar };

// Where a label belongs, judged by the middle of its first text line: above
// the grid, in the margin left of a row, or on a bar (one right of the grid
// or below it goes to the nearest bar). `bar` is 1-based.
Place placeOf(const TextLabel& t, const Geometry& g, int& bar)
{
    const std::int64_t x = t.x;
    const std::int64_t y = std::int64_t(t.y) + t.size * 2 / 3;
    if (y < g.top) {
        bar = 0;
        return Place::Header;
    }
    const std::int64_t row = std::min<std::int64_t>((y - g.top) / g.stepY, g.rows - 1);
    if (x < g.left) {
        bar = static_cast<int>(std::min<std::int64_t>(row * g.columns + 1, MaxBars));
        return Place::Margin;
    }
    const std::int64_t column = std::min<std::int64_t>((x - g.left) / g.stepX, g.columns - 1);
    bar = static_cast<int>(std::min<std::int64_t>(row * g.columns + column + 1, MaxBars));
    return Place::Bar;
}

// A meter the formats can write: the song's (meterAt), with a unit that is a
// power of two, else in quarters.
TimeSignature writable(TimeSignature t)
{
    if ((t.unit & (t.unit - 1)) != 0)
        t.unit = 4;
    return t;
}

// The lengths of the bar's chords in its meter, and what comes before them.
void measureOut(Measure& bar)
{
    const Pulse pulse = pulseOf(bar.meter, TicksPerQuarter);
    bar.length = pulse.bar;
    std::vector<int> weights;
    int beats = 0;
    for (const ChordSymbol& c : bar.chords)
        beats += c.beats;
    if (beats < 4)
        weights.push_back(4 - beats);
    for (const ChordSymbol& c : bar.chords)
        weights.push_back(c.beats);
    const std::vector<int> parts = shareBar(weights, pulse);
    const std::size_t first = beats < 4 ? 1 : 0;
    bar.lead = first ? parts[0] : 0;
    for (std::size_t k = 0; k < bar.chords.size(); ++k)
        bar.chords[k].length = parts[k + first];
}

} // namespace

Sheet read(const Chart& chart)
{
    // Labels are placed against a layout of the chart's own grid, whatever
    // its stored bar size says.
    const GridInfo info = laidOutGrid(chart.info);

    Sheet sheet;
    const int count = std::clamp(info.count, 0, MaxBars);
    // The song ends with its last shown bar, or a hidden one that holds
    // something: a bar erased, a bar of silence. Empty hidden bars after it
    // only fill the grid's last row.
    int last = 0;
    for (int i = 1; i <= count; ++i) {
        const Bar& b = chart.bar(i);
        bool holds = b.shown != 0;
        for (const Chord& c : b.chords)
            holds = holds || (c.root >= 1 && c.root <= 12) || c.quality.size() > 0;
        if (holds)
            last = i;
    }
    const int columns = std::max(info.columns, 1);
    sheet.columns = columns;
    sheet.measures.resize(static_cast<std::size_t>(last));
    const SongInfo& song = chart.song;
    for (int i = 1; i <= last; ++i) {
        const Bar& c = chart.bar(i);
        Measure& bar = sheet.measures[static_cast<std::size_t>(i - 1)];
        bar.left = sign(c.left);
        bar.right = sign(c.right);
        bar.rowStart = (i - 1) % columns == 0;
        readChords(c, i > 1 ? &sheet.measures[static_cast<std::size_t>(i - 2)] : nullptr, bar);
        const BarMarks& marks = song.bar(i);
        if (marks.section.size())
            bar.marks.push_back(marks.section.str());
        bar.meter = writable(meterAt(song, i));
        const TimeSignature before = i == 1 ? TimeSignature{4, 4} : sheet.measures[std::size_t(i - 2)].meter;
        bar.meterShown = !marks.time.empty() || (i == 1 && !song.time.empty()) || bar.meter != before;
        bar.ending = marks.ending <= 3 ? marks.ending : 0;
        bar.flags = marks.flags & (SegnoFlag | CodaFlag | FermataFlag);
        bar.direction = static_cast<int>(marks.direction) < DirectionCount ? marks.direction : Direction::None;
    }
    // Lengths once every "%" has its chords: a bar repeated in another
    // meter lasts as its own meter says.
    for (Measure& bar : sheet.measures)
        measureOut(bar);
    sheet.key = songKey(chart);
    sheet.tempo = song.tempo;

    const int labels = std::clamp(info.labelCount, 0, MaxLabels);
    const bool marksInLabels = !hasSongInfo(song);
    const Geometry g{info.sideMargin, info.topMargin, std::max(info.barWidth - 1, 1),
                     std::max(info.barHeight - 1, 1), columns, std::max(info.rows, 1)};
    std::vector<Place> places(static_cast<std::size_t>(labels) + 1);
    std::vector<int> bars(places.size());
    std::vector<std::string> texts(places.size());
    for (int j = 1; j <= labels; ++j) {
        places[j] = placeOf(chart.label(j), g, bars[j]);
        texts[j] = win1252::toUtf8(win1252::withoutControls(chart.label(j).text.view()));
    }
    // A text the song gives is shown by the header label that reads the
    // same, if any; otherwise the labels say it.
    auto showing = [&](std::string_view given) {
        const std::string shown = win1252::toUtf8(win1252::fromUtf8(given));
        for (int j = 1; j <= labels; ++j)
            if (places[j] == Place::Header && texts[j] == shown)
                return j;
        return 0;
    };
    const std::string songTitle = song.title.str(), songComposer = song.composer.str(), songStyle = song.style.str();
    int title = 0, composer = 0, style = 0;
    if (!songTitle.empty()) {
        title = showing(songTitle);
    } else {
        for (int j = 1; j <= labels; ++j)
            if (places[j] == Place::Header && (title == 0 || chart.label(j).size > chart.label(title).size))
                title = j;
        if (title == 0 && labels > 0)
            title = 1;
    }
    if (!songComposer.empty())
        composer = showing(songComposer);
    if (!songStyle.empty())
        style = showing(songStyle);
    for (int j = 1; j <= labels; ++j) {
        if (j == title || j == composer || j == style || places[j] != Place::Header)
            continue;
        const bool right = chart.label(j).x >= info.pageWidth / 2;
        if (right && songComposer.empty() && composer == 0)
            composer = j;
        else if (!right && songStyle.empty() && style == 0)
            style = j;
    }
    sheet.title = !songTitle.empty() ? songTitle : title ? texts[title] : "";
    sheet.composer = !songComposer.empty() ? songComposer : composer ? texts[composer] : "";
    sheet.style = !songStyle.empty() ? songStyle : style ? texts[style] : "";
    for (int j = 1; j <= labels; ++j) {
        std::string text = std::move(texts[j]);
        if (j == title || j == composer || j == style) {
            continue;
        } else if (last > 0) {
            Measure& target = sheet.measures[static_cast<std::size_t>(std::clamp(bars[j], 1, last) - 1)];
            if (places[j] == Place::Margin) {
                target.marks.push_back(std::move(text));
                continue;
            }
            // "[B] Fine": a section named inside the bar, then words, in the
            // charts whose song holds no marks.
            if (const std::size_t close = text.find(']');
                marksInLabels && text.starts_with('[') && close != std::string::npos) {
                target.marks.push_back(text.substr(1, close - 1));
                text.erase(0, text.find_first_not_of(' ', close + 1));
            }
            if (!text.empty())
                target.words.push_back(std::move(text));
        }
    }
    return sheet;
}

Spelling spell(std::string_view note)
{
    Spelling s{note.empty() ? 'C' : note[0], 0};
    if (note.size() > 1)
        s.alter = note[1] == 'b' ? -1 : note[1] == '#' ? 1 : 0;
    return s;
}

Spelling spell(int root, bool flat) { return spell(rootName(root, flat)); }

int fifths(Key key)
{
    if (key.empty())
        return 0;
    // The major key of the same signature, by fifths from C: 0..11, then
    // the side of the circle that the key's spelling takes.
    const int major = (key.tonic - 1 + (key.minor ? 3 : 0)) % 12;
    const int sharps = major * 7 % 12;
    if (spellsWithFlats(key))
        return sharps - 12 >= -7 ? sharps - 12 : sharps;
    return sharps <= 7 ? sharps : sharps - 12;
}

Spelling tonic(Key key)
{
    if (key.empty())
        return {'C', 0};
    // Black keys by the key's spelling; the white ones have a single name.
    return spell(key.tonic, spellsWithFlats(key));
}

namespace {

class QualityReader {
public:
    explicit QualityReader(std::string_view s) : m_s(s) {}
    bool done() const { return m_i >= m_s.size(); }
    char peek(std::size_t ahead = 0) const
    {
        return m_i + ahead < m_s.size() ? m_s[m_i + ahead] : '\0';
    }
    void skip() { ++m_i; }
    bool eat(std::string_view word)
    {
        if (m_s.substr(m_i).starts_with(word)) {
            m_i += word.size();
            return true;
        }
        return false;
    }
    // 2, 4, 5, 6, 7, 9, 11, 13, or 0 when no number comes next.
    int number()
    {
        for (std::string_view n : {"13", "11", "2", "4", "5", "6", "7", "9"})
            if (eat(n))
                return n[0] == '1' ? 10 + (n[1] - '0') : n[0] - '0';
        return 0;
    }

private:
    std::string_view m_s;
    std::size_t m_i = 0;
};

} // namespace

Quality readQuality(std::string_view text)
{
    Quality q;
    if (const std::optional<SlashBass> bass = slashBass(text)) {
        q.bass = std::string(text.substr(bass->at));
        text = text.substr(0, bass->at - 1);
    }
    QualityReader r(text);
    bool major = false;
    if (r.eat("maj") || r.eat("Maj") || r.eat("M") || r.eat("^"))
        major = true;
    else if (r.eat("min") || r.eat("mi") || r.eat("m") || r.eat("-"))
        q.minor = true;
    else if (r.eat("dim") || r.eat("o") || r.eat("\xB0"))
        q.diminished = true;
    else if (r.eat("\xF8") || r.eat("h"))
        q.halfDiminished = true;
    else if (r.eat("aug") || r.eat("+"))
        q.augmented = true;
    if (q.minor && (r.eat("maj") || r.eat("Maj") || r.eat("M") || r.eat("^")))
        major = true;
    if (r.eat("69") || r.eat("6/9")) {
        q.extension = 6;
        q.sixNine = true;
    } else {
        q.extension = r.number();
    }
    if (major && q.extension == 0 && q.minor)
        q.extension = 7;   // "mM": minor with a major seventh
    while (!r.done()) {
        const char c = r.peek();
        if (c == '(' || c == ')' || c == ',' || c == ' ') {
            r.skip();
        } else if (r.eat("sus")) {
            const int n = r.number();
            q.suspended = n == 2 ? 2 : 4;
        } else if (r.eat("alt")) {
            q.altered = true;
        } else if (r.eat("add")) {
            const int alter = r.eat("b") || r.eat("-") ? -1 : r.eat("#") || r.eat("+") ? 1 : 0;
            if (const int n = r.number())
                q.additions.push_back({n, alter});
            else
                q.understood = false;
        } else if ((c == 'b' || c == '#' || c == '-' || c == '+') && r.peek(1) >= '1' && r.peek(1) <= '9') {
            r.skip();
            if (const int n = r.number())
                q.alterations.push_back({n, c == 'b' || c == '-' ? -1 : 1});
            else
                q.understood = false;
        } else if (c == '+') {
            r.skip();
            q.augmented = true;
        } else if (r.eat("maj7") || r.eat("M7") || r.eat("^7")) {
            major = true;
            if (q.extension < 7)
                q.extension = 7;
        } else if (const int n = r.number()) {
            if (q.extension == 0 && n >= 7)
                q.extension = n;
            else
                q.additions.push_back({n, 0});
        } else {
            r.skip();
            q.understood = false;
        }
    }
    if (q.halfDiminished && q.extension == 0)
        q.extension = 7;
    q.majorSeventh = major && q.extension >= 7;
    return q;
}

} // namespace mavrel::leadsheet
