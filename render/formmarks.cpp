#include "formmarks.h"

#include "canvas.h"
#include "chordplaces.h"
#include "document/chart.h"
#include "document/editing.h"
#include "document/text.h"
#include "document/win1252.h"
#include "pagesurface.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

namespace mavrel {

namespace {

using Outline = std::vector<QPointF>;
using Shape = FormMarks::Shape;
constexpr double Pi = std::numbers::pi;

// Pixels a font of `points` is drawn at, and the height of its capitals and
// digits (DejaVu Sans: 0.73 of the size).
int pixelsOf(int points) { return pointsToPixels(points); }
int capHeight(int points) { return int(std::lround(0.73 * pixelsOf(points))); }
// The largest size whose pixels do not pass `pixels`.
int pointsFor(double pixels) { return std::max(1, int(pixels * 72.0 / 96.0)); }

// Points enough for a curve `length` pixels long to look round.
int stepsFor(double length) { return std::clamp(int(length / 1.5), 8, 64); }

// An ellipse.
void addEllipse(Outline& o, QPointF c, double rx, double ry)
{
    const int steps = stepsFor(2 * Pi * std::max(rx, ry));
    for (int i = 0; i < steps; ++i) {
        const double t = 2 * Pi * i / steps;
        o.emplace_back(c.x() + rx * std::cos(t), c.y() + ry * std::sin(t));
    }
}

Outline disc(QPointF c, double r)
{
    Outline o;
    addEllipse(o, c, r, r);
    return o;
}

// A pen stroke along `centre`, `width` wide at each point: one side out and
// the other back.
Outline stroke(const Outline& centre, const std::vector<double>& width)
{
    const std::size_t n = centre.size();
    Outline o(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF d = centre[std::min(i + 1, n - 1)] - centre[i == 0 ? 0 : i - 1];
        const double length = std::hypot(d.x(), d.y());
        const QPointF normal = length > 0 ? QPointF(-d.y(), d.x()) * (width[i] / 2 / length) : QPointF();
        o[i] = centre[i] + normal;
        o[2 * n - 1 - i] = centre[i] - normal;
    }
    return o;
}

// A straight stroke from a to b, `width` wide.
Outline bar(QPointF a, QPointF b, double width) { return stroke({a, b}, {width, width}); }

// The box from (x1, y1) to (x2, y2).
Outline box(double x1, double y1, double x2, double y2) { return {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}; }

// The segno as engravers draw it, `h` tall around the origin: an S thin at
// its top and bottom, thick through its spine, with round ends; a slash from
// lower left to upper right; a dot in each hollow of the S.
Shape segnoSign(double h)
{
    const double rx = 0.25 * h, q = 0.2 * h;
    const double thick = std::max(1.6, 0.17 * h), thin = std::max(1.0, 0.06 * h);
    // Leaning a little right, as the letter's italic does.
    const double lean = 10 * Pi / 180, cl = std::cos(lean), sl = std::sin(lean);
    auto turned = [&](double x, double y) { return QPointF(x * cl - y * sl, x * sl + y * cl); };
    Outline spine;
    std::vector<double> width;
    const int steps = stepsFor(Pi * (rx + q));
    constexpr double Open = 50;   // degrees of each bowl left open
    for (int i = 0; i <= 2 * steps; ++i) {
        // The upper bowl from its right end over the top and down the left to
        // the middle, then the lower bowl from the middle round the right.
        const bool upper = i <= steps;
        const double f = double(upper ? i : i - steps) / steps;
        const double t = (upper ? -Open - (270 - Open) * f : -90 + (270 - Open) * f) * Pi / 180;
        spine.push_back(turned(rx * std::cos(t), (upper ? -q : q) + q * std::sin(t)));
        const double u = double(i) / (2 * steps);
        width.push_back(thin + (thick - thin) * std::pow(std::sin(Pi * u), 2));
    }
    const double ball = std::max(1.0, 0.085 * h);
    const double dot = std::max(1.1, 0.075 * h);
    Shape sign;
    sign.add(stroke(spine, width));
    sign.add(disc(spine.front() * 0.96, ball));
    sign.add(disc(spine.back() * 0.96, ball));
    sign.add(bar(QPointF(-0.28 * h, 0.5 * h), QPointF(0.28 * h, -0.5 * h), std::max(1.0, 0.075 * h)));
    sign.add(disc(QPointF(-0.36 * h, 0.16 * h), dot));
    sign.add(disc(QPointF(0.36 * h, -0.16 * h), dot));
    return sign;
}
double segnoWidth(double h) { return 0.72 * h + 2 * std::max(1.1, 0.075 * h); }

// The width of the coda's cross lines: whole pixels, so that they stay sharp
// where signMiddle() puts the sign.
double codaLine(double h) { return std::max(1.0, std::round(0.07 * h)); }
// Where a sign `h` tall goes near `at`: the middle of a pixel when the coda's
// lines are an odd number of pixels wide, else a pixel's corner. Every sign
// of a size then lies alike on the pixels, wherever it is.
double signMiddle(double at, double h)
{
    return std::floor(at) + (int(codaLine(h)) % 2 ? 0.5 : 0.0);
}

// The coda, `h` tall around the origin: an oval thick at its sides, crossed
// by a vertical and a horizontal line that reach past it.
Shape codaSign(double h)
{
    const double rx = 0.26 * h, ry = 0.36 * h;
    const double thick = std::max(1.6, 0.15 * h), thin = std::max(1.0, 0.06 * h);
    Outline outer, inner;
    addEllipse(outer, QPointF(), rx, ry);
    addEllipse(inner, QPointF(), rx - thick, ry - thin);
    const double half = codaLine(h) / 2;
    const double reachY = std::round(h / 2), reachX = std::round(0.46 * h);
    Shape sign;
    sign.add(outer);
    sign.add(inner, true);
    sign.add(box(-half, -reachY, half, reachY));
    sign.add(box(-reachX, -half, reachX, half));
    return sign;
}
double codaWidth(double h) { return 0.92 * h; }

// The fermata, `w` wide, standing on the origin at its middle: half an oval
// thick at its top and thin at its ends, over a dot.
Shape fermataSign(double w)
{
    const double rx = w / 2, ry = 0.48 * w;
    const double thick = std::max(1.5, 0.13 * w), thin = std::max(0.8, 0.04 * w);
    Outline arc;
    const int steps = stepsFor(Pi * rx);
    for (int i = 0; i <= steps; ++i) {
        const double t = Pi * i / steps;
        arc.emplace_back(-rx * std::cos(t), -ry * std::sin(t));
    }
    for (int i = steps; i >= 0; --i) {
        const double t = Pi * i / steps;
        arc.emplace_back(-(rx - thin) * std::cos(t), -(ry - thick) * std::sin(t));
    }
    const double r = std::max(1.2, 0.085 * w);
    Shape sign;
    sign.add(arc);
    sign.add(disc(QPointF(0, -r), r));
    return sign;
}
double fermataHeight(double w) { return 0.48 * w; }

} // namespace

std::string pageText(std::string_view utf8)
{
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        std::size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        bool valid = length > 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        i += valid ? length : 1;
        if (valid && text::isControl(c))
            continue;
        const int byte = valid ? win1252::encode(c) : -1;
        out += byte >= 0 ? static_cast<char>(byte) : '?';
    }
    return out;
}

FormMarks::FormMarks(PageSurface& surface, const Chart& chart, const PageChords& chords)
    : m_surface(surface), m_chart(chart), m_pageChords(chords), m_chordPoints(chords.points)
{
    const GridInfo& g = chart.info;
    // Bars too small to hold a mark get none.
    if (g.barWidth < 12 || g.barHeight < 12)
        return;
    const int count = std::min(g.count, MaxBars);
    const SongInfo& song = chart.song;
    m_empty = song.time.empty()
        && std::all_of(song.marks, song.marks + std::max(count, 0), [](const BarMarks& m) { return m.empty(); });
    if (m_empty)
        return;

    const double H = g.barHeight;
    const double chordPixels = chords.typeset ? chords.pixels : pixelsOf(chords.points);
    m_markPoints = std::clamp(pointsFor(std::min(0.85 * chordPixels, 0.19 * H)), 6, 40);
    m_sectionPoints = std::clamp(pointsFor(std::min(1.4 * chordPixels, 0.28 * H)), 6, 48);
    m_meterPoints = std::clamp(pointsFor(std::min(1.3 * chordPixels, 0.41 * H)), 6, 72);
    surface.setBold(true);
    surface.setFontSize(m_sectionPoints);
    m_rowHeight = surface.textExtent("A").height() + 2;
    surface.setBold(false);
    surface.setFontSize(8);
    m_bracketRow = std::max(5, int(std::lround(0.08 * H)));
}

void FormMarks::Shape::add(const Outline& outline, bool hole)
{
    double area = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const QPointF& a = outline[i];
        const QPointF& b = outline[(i + 1) % outline.size()];
        area += a.x() * b.y() - b.x() * a.y();
    }
    const std::size_t from = points.size();
    points.insert(points.end(), outline.begin(), outline.end());
    if ((area < 0) != hole)
        std::reverse(points.begin() + std::ptrdiff_t(from), points.end());
    sizes.push_back(int(outline.size()));
}

void FormMarks::paint(const Shape& sign, QPointF at)
{
    m_placed.resize(sign.points.size());
    std::transform(sign.points.begin(), sign.points.end(), m_placed.begin(), [at](QPointF p) { return p + at; });
    m_surface.polygon(m_placed, sign.sizes);
}

void FormMarks::fillBlack(int x1, int y1, int x2, int y2)
{
    m_surface.polygon(box(x1, y1, x2, y2), {});
}

void FormMarks::measureChords(int n)
{
    const GridInfo& g = m_chart.info;
    m_chordCount = 0;
    const ChordPlaces chords = chordPlaces(m_chart.bar(n), g.barWidth, g.barHeight, m_pageChords);
    if (m_pageChords.typeset) {
        for (int k = 0; k < chords.count; ++k) {
            const ChordPlace& p = chords.places[k];
            const QRectF ink = p.typeset->ink.translated(p.origin);
            // A bass set below the chord is ink under the baseline.
            const double low = std::max(p.origin.y(), ink.bottom() - 0.3 * m_pageChords.pixels);
            m_chords[m_chordCount++] = {int(std::floor(ink.left())), int(std::ceil(ink.right())),
                                        int(std::floor(std::min(ink.top(), p.origin.y() + p.typeset->capTop))),
                                        int(std::ceil(low))};
        }
        return;
    }
    m_surface.setBold(g.bold != 0);
    m_surface.setFontSize(m_chordPoints);
    const int ascent = m_surface.textAscent();
    const int cap = capHeight(m_chordPoints);
    for (int k = 0; k < chords.count; ++k) {
        const ChordPlace& p = chords.places[k];
        m_chords[m_chordCount++] = {p.x, p.x + m_surface.textExtent(p.text).width(), p.y + ascent - cap, p.y + ascent};
    }
}

FormMarks::Ink FormMarks::chordInk(int left, int right) const
{
    Ink ink{INT_MAX, INT_MIN};
    for (int k = 0; k < m_chordCount; ++k) {
        const ChordBox& c = m_chords[k];
        if (c.right <= left || c.left >= right)
            continue;
        ink.top = std::min(ink.top, c.top);
        ink.bottom = std::max(ink.bottom, c.baseline);
    }
    return ink;
}

void FormMarks::draw(int n, int column)
{
    const BarMarks& marks = m_chart.song.bar(n);
    // The meter where it is set and makes sense, and at the start when the
    // song gives one.
    const bool meter = (!marks.time.empty() && meterAt(m_chart.song, n) == marks.time)
        || (n == 1 && !m_chart.song.time.empty());
    if (marks.empty() && !meter)
        return;
    measureChords(n);
    const Corner corner = drawCorner(n, column);
    int top = corner.bottom;
    if (marks.ending >= 1 && marks.ending <= 3)
        top = std::max(top, drawEnding(n, corner));
    if (meter)
        drawMeter(n, column);
    if (marks.flags & FermataFlag)
        drawFermata(n, top);
    if (marks.direction != Direction::None)
        drawDirection(n);
    m_surface.setBold(false);
    m_surface.setFontSize(8);
}

FormMarks::Corner FormMarks::drawCorner(int n, int column)
{
    const Bar& b = m_chart.bar(n);
    const BarMarks& marks = m_chart.song.bar(n);
    std::string section = pageText(marks.section.view());
    const bool segno = marks.flags & SegnoFlag, coda = marks.flags & CodaFlag;
    if (section.empty() && !segno && !coda)
        return {b.x, b.y};
    const int h = m_rowHeight;
    // Each sign stands on the brush, with a gap in the lines it lies across.
    const int segnoSpace = segno ? int(std::ceil(segnoWidth(h))) + 5 : 0;
    const int codaSpace = coda ? int(std::ceil(codaWidth(h))) + 5 : 0;
    const int W = m_chart.info.barWidth;
    // Within the bar: the bars to its right are drawn later. Before the first
    // bar of a row, the margin has room for a long name.
    const int end = b.x + W - 2;
    const int signs = segnoSpace + codaSpace;
    const int leftmost = column == 1 ? 2 : b.x - 3;
    int boxWidth = 0;
    int points = m_sectionPoints;
    if (!section.empty()) {
        m_surface.setBold(true);
        const int room = end - std::max(1, leftmost) - signs;
        for (;; --points) {
            m_surface.setFontSize(points);
            boxWidth = m_surface.textExtent(section).width() + 6;
            if (boxWidth <= room || points <= 6)
                break;
        }
        // Still too long: cut, and say so.
        while (boxWidth > room && section.size() > 1) {
            section.pop_back();
            boxWidth = m_surface.textExtent(section + "\x85").width() + 6;
            if (boxWidth <= room)
                section += "\x85";
        }
        boxWidth = std::max(boxWidth, h);
    }
    const int left = std::max({1, leftmost, std::min(b.x - 3, end - boxWidth - signs)});
    const int right = left + boxWidth + signs;
    // Astride the bar's top edge, most of it above so that the signs' middle
    // lines stand clear of the edge; higher where the chords below need it;
    // inside the page.
    int top = b.y - 3 * h / 4;
    top = std::min(top, chordInk(left, right).top - 2 - h);
    top = std::max({top, b.y - h, 1});

    int x = left;
    if (!section.empty()) {
        m_surface.setBold(true);
        m_surface.setFontSize(points);
        m_surface.rectangle(x, top, x + boxWidth, top + h);
        const QSize cell = m_surface.textExtent(section);
        m_surface.inkText(x + (boxWidth - cell.width()) / 2, top + 1 + (h - 2 - cell.height()) / 2, section);
        x += boxWidth;
    }
    // Each sign on the brush, with a gap in the lines it lies across.
    auto place = [&](int space, const Shape& sign) {
        m_surface.fillRect(x, top - 1, x + space, top + h + 1);
        paint(sign, QPointF(signMiddle(x + (space - 1) / 2.0, h), signMiddle(top + h / 2.0, h)));
        x += space;
    };
    if (segno) {
        if (m_segno.points.empty())
            m_segno = segnoSign(h);
        place(segnoSpace, m_segno);
    }
    if (coda) {
        if (m_coda.points.empty())
            m_coda = codaSign(h);
        place(codaSpace, m_coda);
    }
    return {x, top + h};
}

int FormMarks::drawEnding(int n, Corner corner)
{
    const GridInfo& g = m_chart.info;
    const Bar& b = m_chart.bar(n);
    const SongInfo& song = m_chart.song;
    const int ending = song.bar(n).ending;
    const int count = std::min(g.count, MaxBars);
    const bool first = n == 1 || song.bar(n - 1).ending != ending;
    const bool last = n == count || song.bar(n + 1).ending != ending;
    // The bracket is closed where another ending follows it; the last one
    // stays open.
    bool closed = false;
    if (last) {
        for (int k = n + 1; k <= count; ++k) {
            if (song.bar(k).ending != 0) {
                closed = song.bar(k).ending > ending;
                break;
            }
        }
    }
    const int W = g.barWidth, H = g.barHeight;
    const int lineY = b.y + m_bracketRow;
    const int weight = std::max(1, H / 60);
    int left = b.x;
    if (first)
        left = std::max(corner.right + 1, b.x + (b.left == 1 ? 7 : b.left == 2 ? 5 : 3));
    int right = b.x + W;
    if (last)
        right = b.x + W - (b.right == 1 ? 7 : b.right == 2 ? 5 : 3);
    if (right <= left)
        return lineY + weight;
    fillBlack(left, lineY, right, lineY + weight);
    int below = lineY + weight;
    if (first) {
        // The number under the line, right of the hook, as large as the chord
        // below it leaves room for; where there is none, astride the bar's
        // top edge on the brush.
        const std::string number = std::to_string(ending) + ".";
        const int x = left + weight + 2;
        bool under = false;
        int points = m_markPoints;
        int baseline = 0;
        int width = 0;
        for (; points >= 6 && !under; --points) {
            m_surface.setBold(true);
            m_surface.setFontSize(points);
            width = m_surface.textExtent(number).width();
            baseline = lineY + weight + 2 + capHeight(points);
            under = baseline + 1 < chordInk(x, x + width).top;
        }
        points = under ? points + 1 : m_markPoints;
        m_surface.setBold(true);
        m_surface.setFontSize(points);
        if (!under) {
            width = m_surface.textExtent(number).width();
            baseline = std::max(b.y + capHeight(points) / 2, capHeight(points) + 2);
            m_surface.fillRect(x - 1, baseline - capHeight(points) - 1, x + width + 1, baseline + 1);
        }
        m_surface.inkText(x, baseline - m_surface.textAscent(), number);
        fillBlack(left, lineY, left + weight, std::max(baseline, lineY + H / 5));
        below = std::max(baseline + 1, lineY + weight);
    }
    if (last && closed)
        fillBlack(right - weight, lineY, right, lineY + std::max(H / 5, capHeight(m_markPoints) + 3));
    return below;
}

void FormMarks::drawMeter(int n, int column)
{
    const GridInfo& g = m_chart.info;
    const Bar& b = m_chart.bar(n);
    const TimeSignature t = meterAt(m_chart.song, n);
    const std::string beats = std::to_string(t.beats), unit = std::to_string(t.unit);
    const int cy = int(b.y + g.barHeight / 2.0);
    m_surface.setBold(true);
    auto widest = [&] { return std::max(m_surface.textExtent(beats).width(), m_surface.textExtent(unit).width()); };
    // Before the row, in the side margin, as large as it leaves room for;
    // inside the bar's left edge where it changes, or where the margin is
    // too narrow.
    int points = m_meterPoints;
    int right = 0;
    bool inMargin = false;
    if (column == 1) {
        for (; points >= 6; points = points * 5 / 6) {
            m_surface.setFontSize(points);
            const int gap = std::max(3, pixelsOf(points) / 4);
            if (b.x - gap - widest() >= 2) {
                right = b.x - gap;
                inMargin = true;
                break;
            }
        }
    }
    if (!inMargin) {
        points = m_markPoints + 1;
        m_surface.setFontSize(points);
        right = b.x + (b.left == 1 ? 10 : b.left == 2 ? 4 : 3) + widest();
    }
    const int wBeats = m_surface.textExtent(beats).width(), wUnit = m_surface.textExtent(unit).width();
    const int width = std::max(wBeats, wUnit);
    const int ascent = m_surface.textAscent();
    const int gap = std::max(1, pixelsOf(points) / 12);
    const int cap = capHeight(points);
    // The digits stacked, one above and one below the bar's middle, each
    // centred on the column.
    m_surface.inkText(right - width + (width - wBeats) / 2, cy - gap - ascent, beats);
    m_surface.inkText(right - width + (width - wUnit) / 2, cy + gap + cap - ascent, unit);
}

void FormMarks::drawFermata(int n, int top)
{
    const GridInfo& g = m_chart.info;
    const Bar& b = m_chart.bar(n);
    // Over the bar's last chord; over the bar's middle when it shows none.
    double middle = b.x + g.barWidth / 2.0;
    int inkTop = int(b.y + g.barHeight / 2.0);
    if (m_chordCount > 0) {
        const ChordBox& last = m_chords[m_chordCount - 1];
        middle = (last.left + last.right) / 2.0;
        inkTop = last.top;
    }
    // As wide as the row of marks is tall, less where the bar leaves less
    // room above the chord.
    double w = m_rowHeight * 1.2;
    const int gap = std::max(2, m_rowHeight / 8);
    const int floor = std::max(top, b.y + 3);
    const double room = inkTop - gap - floor;
    if (fermataHeight(w) > room)
        w = std::max(8.0, room / fermataHeight(1.0));
    const double base = std::max(double(inkTop - gap), floor + fermataHeight(w));
    Shape& sign = m_fermatas[int(std::lround(w * 4))];
    if (sign.points.empty())
        sign = fermataSign(std::lround(w * 4) / 4.0);
    paint(sign, QPointF(middle, base));
}

void FormMarks::drawDirection(int n)
{
    const GridInfo& g = m_chart.info;
    const Bar& b = m_chart.bar(n);
    const std::string text(directionText(m_chart.song.bar(n).direction));
    if (text.empty())
        return;
    const int W = g.barWidth, H = g.barHeight;
    const int right = b.x + W - (b.right == 1 ? 7 : b.right == 2 ? 5 : 3);
    const int baseline = b.y + H - (b.bottom == 1 ? 4 : 3);
    // On one line, small enough to stay within the bar and clear of its
    // chords where it can; on two, "D.S." over "al Coda", where even the
    // smallest size is too wide for a narrow bar.
    const std::size_t space = text.find(' ');
    std::string_view lines[2] = {text, {}};
    int points = m_markPoints;
    bool fits = false;
    auto measure = [&](int size) {
        m_surface.setBold(true);
        m_surface.setFontSize(size);
        int width = 0;
        for (std::string_view line : lines)
            width = std::max(width, m_surface.textExtent(line).width());
        return width;
    };
    auto ascender = [](int size) { return int(std::lround(0.76 * pixelsOf(size))); };
    for (points = m_markPoints; points >= 6 && !fits; --points)
        fits = right - measure(points) >= b.x + 3
            && chordInk(right - measure(points), right).bottom < baseline - ascender(points) - 2;
    if (!fits && space != std::string::npos) {
        lines[0] = std::string_view(text).substr(space + 1);
        lines[1] = std::string_view(text).substr(0, space);
        for (points = m_markPoints; points >= 6 && !fits; --points)
            fits = right - measure(points) >= b.x + 3;
    }
    // The loops stepped once past the size that fits.
    points = fits ? points + 1 : 6;
    const int leading = pixelsOf(points);
    int lineBase = baseline;
    for (std::string_view line : lines) {
        if (line.empty())
            break;
        m_surface.setBold(true);
        m_surface.setFontSize(points);
        const int width = m_surface.textExtent(line).width();
        const int x = std::max(1, right - width);
        m_surface.fillRect(x - 1, lineBase - ascender(points) - 1, x + width + 1, lineBase + 1);
        m_surface.inkText(x, lineBase - m_surface.textAscent(), line);
        lineBase -= leading;
    }
}

} // namespace mavrel
