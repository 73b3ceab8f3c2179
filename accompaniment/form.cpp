#include "form.h"

#include <algorithm>
#include <string>

namespace mavrel::accompaniment {

namespace {

// Where the form may go at the end of a bar after a "D.C." or a "D.S.".
enum class Return { None, Plain, AlCoda, AlFine };

// One bar of the song, as the form reads it.
struct Place {
    int bar;                      // the chart's bar
    int ending;                   // 0, or the bracket's number
    int lastEnding;               // the highest ending of its bracket
    bool startRepeat;
    bool endRepeat;
    bool doubleBar;               // a double bar line before the bar
    Direction direction;
    int repeatTarget = 0;         // where its end repeat goes back to
    int nextCoda = -1;            // the first coda after it
    int segno = -1;               // the segno a "D.S." here goes back to
};

Return returnOf(Direction d)
{
    switch (d) {
    case Direction::DaCapo:
    case Direction::DalSegno: return Return::Plain;
    case Direction::DaCapoAlCoda:
    case Direction::DalSegnoAlCoda: return Return::AlCoda;
    case Direction::DaCapoAlFine:
    case Direction::DalSegnoAlFine: return Return::AlFine;
    default: return Return::None;
    }
}

bool isDalSegno(Direction d)
{
    return d == Direction::DalSegno || d == Direction::DalSegnoAlCoda || d == Direction::DalSegnoAlFine;
}

std::vector<Place> readPlaces(const Chart& chart)
{
    const int count = std::clamp(chart.info.count, 0, MaxBars);
    std::vector<Place> places;
    places.reserve(static_cast<std::size_t>(count));
    bool doubleAfter = false;
    for (int i = 1; i <= count; ++i) {
        const Bar& b = chart.bar(i);
        if (!isPlayed(b))
            continue;
        const BarMarks& m = chart.song.bar(i);
        const auto d = static_cast<int>(m.direction) < DirectionCount ? m.direction : Direction::None;
        places.push_back({i, m.ending, m.ending, b.left == 1, b.right == 1, b.left == 2 || doubleAfter, d});
        doubleAfter = b.right == 2;
    }
    const int n = static_cast<int>(places.size());

    // Brackets: runs of bars under an ending.
    for (int k = 0; k < n;) {
        int end = k;
        int highest = 0;
        while (end < n && places[end].ending) {
            highest = std::max(highest, places[end].ending);
            ++end;
        }
        for (int j = k; j < end; ++j)
            places[j].lastEnding = highest;
        k = std::max(end, k + 1);
    }

    // Where each end repeat goes back to. The end repeats of one bracket
    // share the target of its first one.
    int floor = 0, lastStart = -1, lastDouble = -1, bracketTarget = -1;
    for (int k = 0; k < n; ++k) {
        Place& p = places[k];
        if (!p.ending)
            bracketTarget = -1;
        if (p.startRepeat)
            lastStart = k;
        if (p.doubleBar)
            lastDouble = k;
        if (!p.endRepeat)
            continue;
        if (p.ending && bracketTarget >= 0)
            p.repeatTarget = bracketTarget;
        else
            p.repeatTarget = lastStart >= floor ? lastStart : lastDouble >= floor ? lastDouble : floor;
        if (p.ending)
            bracketTarget = p.repeatTarget;
        floor = k + 1;
    }

    int firstSegno = -1;
    for (int k = 0; k < n && firstSegno < 0; ++k)
        if (chart.song.bar(places[k].bar).flags & SegnoFlag)
            firstSegno = k;
    for (int k = 0, segno = firstSegno; k < n; ++k) {
        if (chart.song.bar(places[k].bar).flags & SegnoFlag)
            segno = k;
        places[k].segno = segno;
    }
    for (int k = n - 2, coda = -1; k >= 0; --k) {
        if (chart.song.bar(places[k + 1].bar).flags & CodaFlag)
            coda = k + 1;
        places[k].nextCoda = coda;
    }
    return places;
}

} // namespace

bool isPlayed(const Bar& bar) { return bar.shown || isNoChord(bar.slot(1)); }

Form unrollForm(const Chart& chart)
{
    Form form;
    const std::vector<Place> places = readPlaces(chart);
    const int n = static_cast<int>(places.size());
    const std::size_t limit = static_cast<std::size_t>(n) * MaxPlaysPerBar;
    std::vector<char> repeated(places.size()), returned(places.size()), warned(places.size());
    Return back = Return::None;
    int pass = 1;                 // the time through the current repeat
    bool byRepeat = false;        // this bar was reached by going back to it
    int k = 0;
    auto advance = [&] {
        if (places[k].ending && (k + 1 >= n || !places[k + 1].ending))
            pass = 1;
        ++k;
    };
    while (k < n) {
        const Place& p = places[k];
        if (form.bars.size() >= limit) {
            form.warnings.emplace_back(
                QT_TRANSLATE_NOOP("Message", "La forme ne finit pas : elle est coupée après %1 mesures."),
                std::vector<std::string>{std::to_string(limit)});
            break;
        }
        if (p.startRepeat && !byRepeat)
            pass = 1;
        byRepeat = false;
        if (p.ending && p.ending != (back == Return::None ? pass : p.lastEnding)) {
            advance();
            continue;
        }
        form.bars.push_back(p.bar);

        if (p.direction == Direction::Fine && (back == Return::Plain || back == Return::AlFine))
            break;
        if (p.direction == Direction::ToCoda && (back == Return::Plain || back == Return::AlCoda)) {
            if (p.nextCoda >= 0) {
                k = p.nextCoda;
                continue;
            }
            if (!warned[k]) {
                warned[k] = 1;
                form.warnings.emplace_back(QT_TRANSLATE_NOOP("Message", "Mesure %1 : « To Coda » sans coda après "
                                                                        "elle, le morceau continue."),
                                           std::vector<std::string>{std::to_string(p.bar)});
            }
        }
        if (p.endRepeat && back == Return::None && !repeated[k]) {
            repeated[k] = 1;
            ++pass;
            k = p.repeatTarget;
            byRepeat = true;
            continue;
        }
        if (const Return r = returnOf(p.direction); r != Return::None && !returned[k]) {
            returned[k] = 1;
            back = r;
            pass = 1;
            if (isDalSegno(p.direction) && p.segno < 0)
                form.warnings.emplace_back(
                    QT_TRANSLATE_NOOP("Message", "Mesure %1 : « %2 » sans segno, le morceau reprend au début."),
                    std::vector<std::string>{std::to_string(p.bar), std::string(directionText(p.direction))});
            k = isDalSegno(p.direction) ? std::max(p.segno, 0) : 0;
            continue;
        }
        if (p.endRepeat && !p.ending)
            pass = 1;
        advance();
    }
    return form;
}

} // namespace mavrel::accompaniment
