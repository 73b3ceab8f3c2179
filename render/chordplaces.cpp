#include "chordplaces.h"

#include "canvas.h"
#include "page.h"

#include "document/editing.h"
#include "document/win1252.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace mavrel {

namespace {
// Every fractional quantity of the page is truncated toward zero.
int trunc(double v) { return static_cast<int>(v); }

struct Anchor {
    int x, y;
};

// The slotNumbers a division draws, with their anchors, in drawing order.
int anchors(const Bar& bar, int W, int H, int slotNumbers[4], Anchor at[4])
{
    const int x = bar.x, y = bar.y;
    const int cx = trunc(x + W / 2.0), cy = trunc(y + H / 2.0);
    const Anchor centre{cx, cy};
    const Anchor left{trunc(x + W / 5.0), cy};
    const Anchor right{trunc((x + W) - W / 5.0), cy};
    const Anchor top{cx, trunc(y + H / 5.0)};
    const Anchor bottom{cx, trunc((y + H) - H / 5.0)};
    const Anchor upperLeft{trunc(x + W / 4.0), trunc(y + H / 4.0)};
    const Anchor lowerRight{trunc((x + W) - W / 4.0), trunc((y + H) - H / 4.0)};
    int n = 0;
    auto place = [&](int slot, Anchor a) {
        slotNumbers[n] = slot;
        at[n++] = a;
    };
    switch (bar.division) {
    case 1:
        place(1, centre);
        break;
    case 2:
        place(1, upperLeft);
        place(2, lowerRight);
        break;
    case 3:
        place(1, left);
        place(2, top);
        place(3, bottom);
        place(4, right);
        break;
    case 4:
        place(1, left);
        place(2, top);
        place(3, lowerRight);
        break;
    case 5:
        place(1, upperLeft);
        place(2, bottom);
        place(3, right);
        break;
    default:
        break;
    }
    return n;
}

// The origin nearest `target` at which `ink` (from the origin) lies inside
// the room; nothing when it cannot.
std::optional<QPointF> fit(const ChordRoom& room, const QRectF& ink, QPointF target)
{
    // Each side bounds the box's farthest corner, so the origin itself.
    struct Line {
        double a, b, c;
    };
    std::vector<Line> lines;
    lines.reserve(room.sides.size());
    for (const ChordRoom::Side& s : room.sides) {
        const double reach = s.a * ink.left() + s.b * ink.top() + std::max(0.0, s.a) * ink.width()
            + std::max(0.0, s.b) * ink.height();
        lines.push_back({s.a, s.b, s.c - reach});
    }
    auto inside = [&](QPointF p) {
        return std::all_of(lines.begin(), lines.end(), [p](const Line& l) { return l.a * p.x() + l.b * p.y() <= l.c + 1e-6; });
    };
    if (inside(target))
        return target;
    std::optional<QPointF> best;
    double bestDistance = 0;
    auto consider = [&](QPointF p) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || !inside(p))
            return;
        const double d = std::hypot(p.x() - target.x(), p.y() - target.y());
        if (!best || d < bestDistance) {
            best = p;
            bestDistance = d;
        }
    };
    // The nearest point of a convex room lies on a side or at a corner.
    for (const Line& l : lines) {
        const double n2 = l.a * l.a + l.b * l.b;
        if (n2 == 0)
            continue;
        const double over = (l.a * target.x() + l.b * target.y() - l.c) / n2;
        consider(target - over * QPointF(l.a, l.b));
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (std::size_t k = i + 1; k < lines.size(); ++k) {
            const Line& p = lines[i];
            const Line& q = lines[k];
            const double det = p.a * q.b - p.b * q.a;
            if (std::abs(det) < 1e-12)
                continue;
            consider({(p.c * q.b - p.b * q.c) / det, (p.a * q.c - p.c * q.a) / det});
        }
    return best;
}

// Where a typeset chord aims: its capitals centred on the anchor.
QPointF aim(const TypesetChord& t, Anchor a)
{
    return {a.x - (t.ink.left() + t.ink.width() / 2), a.y - t.capTop / 2};
}

// Sizes are tried up to this: a page of repeat signs would grow without end.
int largestPixels(int H) { return std::clamp(int(0.6 * H), 6, 400); }
constexpr int SmallestPixels = 6;
// Typeset at this size, a chord's box is scaled to the sizes tried.
constexpr int ReferencePixels = 100;

bool pageFits(const Chart& chart, const PageChords& chords, int pixels, bool exact)
{
    const GridInfo& g = chart.info;
    for (int i = 1; i <= g.count && i <= MaxBars; ++i) {
        const Bar& b = chart.bar(i);
        if (!b.shown)
            continue;
        int slotNumbers[4];
        Anchor at[4];
        const int n = anchors(b, g.barWidth, g.barHeight, slotNumbers, at);
        for (int k = 0; k < n; ++k) {
            const int size = exact ? pixels : ReferencePixels;
            const auto t = typesetChord(b.slot(slotNumbers[k]), chords.style, chords.symbols, size, chords.bold);
            QRectF ink = t->ink;
            double capTop = t->capTop;
            if (!exact) {
                // Hinting moves a glyph by a pixel at most.
                const double scale = double(pixels) / ReferencePixels;
                ink = QRectF(ink.topLeft() * scale, ink.size() * scale).adjusted(-1, -1, 1, 1);
                capTop *= scale;
            }
            const ChordRoom room = chordRoom(b, g.barWidth, g.barHeight, slotNumbers[k]);
            TypesetChord scaled;
            scaled.ink = ink;
            scaled.capTop = capTop;
            if (!fit(room, ink, aim(scaled, at[k])))
                return false;
        }
    }
    return true;
}

int fittedPixels(const Chart& chart, const PageChords& chords)
{
    int low = SmallestPixels, high = largestPixels(chart.info.barHeight);
    if (!pageFits(chart, chords, low, false))
        return low;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (pageFits(chart, chords, middle, false))
            low = middle;
        else
            high = middle - 1;
    }
    // The scaled boxes are near enough to take a step or two back at most.
    for (int tries = 0; tries < 4 && low > SmallestPixels && !pageFits(chart, chords, low, true); ++tries)
        --low;
    return low;
}

} // namespace

bool ChordRoom::contains(QPointF p, double slack) const
{
    return std::all_of(sides.begin(), sides.end(), [&](const Side& s) { return s.a * p.x() + s.b * p.y() <= s.c + slack; });
}

ChordRoom chordRoom(const Bar& bar, int W, int H, int slot)
{
    ChordRoom room;
    const double x = bar.x, y = bar.y, w = std::max(W, 1), h = std::max(H, 1);
    const double unit = std::min(w, h);
    const double edge = std::max(2.0, std::round(0.05 * unit));
    const double left = edge + (bar.left == 1 ? 10 : bar.left == 2 ? 3 : 0);
    const double right = edge + (bar.right == 1 ? 10 : bar.right == 2 ? 4 : 0);
    const double top = edge + (bar.top == 1 ? 3 : 0);
    const double bottom = edge + (bar.bottom == 1 ? 4 : 0);
    room.sides = {{-1, 0, -(x + left)}, {1, 0, x + w - right}, {0, -1, -(y + top)}, {0, 1, y + h - bottom}};

    // The diagonals, through the bar's corners, kept `clear` away.
    const double clear = std::max(1.5, 0.035 * unit);
    const double n = std::hypot(w, h);
    // Below the main diagonal: (v·w - u·h) > 0, u and v from the bar's corner.
    const ChordRoom::Side belowMain{h, -w, h * x - w * y - clear * n};
    const ChordRoom::Side aboveMain{-h, w, -h * x + w * y - clear * n};
    const ChordRoom::Side aboveAnti{h, w, h * x + w * y + w * h - clear * n};
    const ChordRoom::Side belowAnti{-h, -w, -(h * x + w * y + w * h) - clear * n};
    auto add = [&room](std::initializer_list<ChordRoom::Side> sides) {
        room.sides.insert(room.sides.end(), sides);
    };
    switch (bar.division) {
    case 2:
        add({slot == 1 ? aboveAnti : belowAnti});
        break;
    case 3:
        if (slot == 1)
            add({belowMain, aboveAnti});
        else if (slot == 2)
            add({aboveMain, aboveAnti});
        else if (slot == 3)
            add({belowMain, belowAnti});
        else
            add({aboveMain, belowAnti});
        break;
    case 4:
        // The line from the centre to the top-left corner parts slotNumbers 1 and
        // 2; slot 3 has the lower half.
        if (slot == 1)
            add({belowMain, aboveAnti});
        else if (slot == 2)
            add({aboveMain, aboveAnti});
        else
            add({belowAnti});
        break;
    case 5:
        if (slot == 1)
            add({aboveAnti});
        else if (slot == 2)
            add({belowMain, belowAnti});
        else
            add({aboveMain, belowAnti});
        break;
    default:
        break;
    }
    return room;
}

ChordPlaces chordPlaces(const Bar& bar, int W, int H, int size)
{
    int slotNumbers[4];
    Anchor at[4];
    const int n = anchors(bar, W, H, slotNumbers, at);
    ChordPlaces p;
    for (int k = 0; k < n; ++k) {
        // One byte is one character in Windows-1252, "ø" included.
        // Control characters have no glyph: a damaged file may hold some.
        std::string text = win1252::withoutControls(chordText(bar.slot(slotNumbers[k])));
        const long chars = static_cast<long>(text.size());
        ChordPlace& place = p.places[p.count++];
        place.slot = slotNumbers[k];
        place.x = trunc(at[k].x - chars * size / 2.0);
        place.y = trunc(at[k].y - 2.0 * size / 3.0);
        place.text = std::move(text);
    }
    return p;
}

ChordPlaces chordPlaces(const Bar& bar, int W, int H, const PageChords& chords)
{
    if (!chords.typeset)
        return chordPlaces(bar, W, H, effectivePoints(chords.points));
    int slotNumbers[4];
    Anchor at[4];
    const int n = anchors(bar, W, H, slotNumbers, at);
    ChordPlaces p;
    for (int k = 0; k < n; ++k) {
        ChordPlace& place = p.places[p.count++];
        place.slot = slotNumbers[k];
        place.typeset = typesetChord(bar.slot(slotNumbers[k]), chords.style, chords.symbols, chords.pixels, chords.bold);
        const QPointF target = aim(*place.typeset, at[k]);
        const std::optional<QPointF> fitted = fit(chordRoom(bar, W, H, slotNumbers[k]), place.typeset->ink, target);
        // Whole pixels keep the baseline sharp on screen, where they still fit.
        const QPointF origin = fitted.value_or(target);
        place.origin = QPointF(std::round(origin.x()), std::round(origin.y()));
        if (fitted) {
            const ChordRoom room = chordRoom(bar, W, H, slotNumbers[k]);
            const QRectF& ink = place.typeset->ink;
            auto inside = [&](QPointF o) {
                const QRectF box = ink.translated(o);
                return room.contains(box.topLeft()) && room.contains(box.topRight())
                    && room.contains(box.bottomLeft()) && room.contains(box.bottomRight());
            };
            const QPointF candidates[] = {
                place.origin, {std::floor(origin.x()), std::floor(origin.y())}, {std::ceil(origin.x()), std::floor(origin.y())},
                {std::floor(origin.x()), std::ceil(origin.y())}, {std::ceil(origin.x()), std::ceil(origin.y())}, origin};
            place.origin = origin;
            for (const QPointF& o : candidates)
                if (inside(o)) {
                    place.origin = o;
                    break;
                }
        }
        place.x = int(place.origin.x());
        place.y = int(place.origin.y());
    }
    return p;
}

PageChords pageChords(const Chart& chart, const ChordSymbols& symbols)
{
    PageChords c;
    c.style = chordStyleOverride().value_or(chart.song.chordStyle) == ChordStyle::Jazz ? ChordStyle::Jazz
                                                                                       : ChordStyle::Classic;
    c.typeset = c.style == ChordStyle::Jazz || chart.song.autoSize != 0;
    c.symbols = symbols;
    c.bold = chart.info.bold != 0;
    c.points = chordPoints(chart);
    c.pixels = pointsToPixels(c.points);
    if (c.typeset && chart.song.autoSize) {
        // Every redraw asks again, mostly of the same bars: the size is
        // found again only when what it depends on has changed.
        thread_local std::string lastKey;
        thread_local int lastPixels = 0;
        std::string key;
        const auto add = [&key](const auto& value) { key.append(reinterpret_cast<const char*>(&value), sizeof value); };
        add(c.style);
        add(c.symbols);
        add(c.bold);
        add(chart.info.barWidth);
        add(chart.info.barHeight);
        for (int i = 1; i <= chart.info.count && i <= MaxBars; ++i) {
            const Bar& b = chart.bar(i);
            if (!b.shown)
                continue;
            add(b.x);
            add(b.y);
            add(b.division);
            add(b.left);
            add(b.right);
            add(b.top);
            add(b.bottom);
            for (const Chord& chord : b.chords) {
                add(chord.root);
                add(chord.flat);
                key += chord.quality.view();
                key += '\0';
            }
        }
        if (key != lastKey) {
            lastPixels = fittedPixels(chart, c);
            lastKey = std::move(key);
        }
        c.pixels = lastPixels;
    }
    return c;
}

} // namespace mavrel
