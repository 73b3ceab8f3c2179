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
constexpr double Pi = std::numbers::pi;


// Pixels a font of `points` is drawn at, and the height of its capitals and
// digits (DejaVu Sans: 0.73 of the size).
int pixelsOf(int points) { return pointsToPixels(points); }
int capHeight(int points) { return int(std::lround(0.73 * pixelsOf(points))); }
// The largest size whose pixels do not pass `pixels`.
int pointsFor(double pixels) { return std::max(1, int(pixels * 72.0 / 96.0)); }

// A closed ellipse of `steps` points, clockwise on the page unless `back`.
void addEllipse(Outline& o, QPointF c, double rx, double ry, int steps, bool back = false)
{
    for (int i = 0; i <= steps; ++i) {
        const double t = 2 * Pi * (back ? steps - i : i) / steps;
        o.emplace_back(c.x() + rx * std::cos(t), c.y() + ry * std::sin(t));
    }
}

Outline disc(QPointF c, double r)
{
    Outline o;
    addEllipse(o, c, r, r, std::clamp(int(r * 4), 12, 48));
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

// The segno as engravers draw it, `h` tall around `c`: an S thin at its top
// and bottom, thick through its spine, with round ends; a slash from lower
// left to upper right; a dot in each hollow of the S.
void paintSegno(PageSurface& s, QPointF c, double h)
{
    const double rx = 0.25 * h, q = 0.2 * h;
    const double thick = std::max(1.6, 0.17 * h), thin = std::max(1.0, 0.06 * h);
    // Leaning a little right, as the letter's italic does.
    const double lean = 10 * Pi / 180, cl = std::cos(lean), sl = std::sin(lean);
    auto turned = [&](double x, double y) { return QPointF(c.x() + x * cl - y * sl, c.y() + x * sl + y * cl); };
    Outline spine;
    std::vector<double> width;
    constexpr int Steps = 40;
    constexpr double Open = 50;   // degrees of each bowl left open
    for (int i = 0; i <= 2 * Steps; ++i) {
        // The upper bowl from its right end over the top and down the left to
        // the middle, then the lower bowl from the middle round the right.
        const bool upper = i <= Steps;
        const double f = double(upper ? i : i - Steps) / Steps;
        const double t = (upper ? -Open - (270 - Open) * f : -90 + (270 - Open) * f) * Pi / 180;
        spine.push_back(turned(rx * std::cos(t), (upper ? -q : q) + q * std::sin(t)));
        const double u = double(i) / (2 * Steps);
        width.push_back(thin + (thick - thin) * std::pow(std::sin(Pi * u), 2));
    }
    s.polygon(stroke(spine, width));
    const double ball = std::max(1.0, 0.085 * h);
    s.polygon(disc(spine.front() + (c - spine.front()) * 0.04, ball));
    s.polygon(disc(spine.back() + (c - spine.back()) * 0.04, ball));
    s.polygon(bar(c + QPointF(-0.28 * h, 0.5 * h), c + QPointF(0.28 * h, -0.5 * h), std::max(1.0, 0.075 * h)));
    const double r = std::max(1.1, 0.075 * h);
    s.polygon(disc(c + QPointF(-0.36 * h, 0.16 * h), r));
    s.polygon(disc(c + QPointF(0.36 * h, -0.16 * h), r));
}
double segnoWidth(double h) { return 0.72 * h + 2 * std::max(1.1, 0.075 * h); }

// The coda, `h` tall around `c`: an oval thick at its sides, crossed by a
// vertical and a horizontal line that reach past it.
void paintCoda(PageSurface& s, QPointF c, double h)
{
    const double rx = 0.26 * h, ry = 0.36 * h;
    const double thick = std::max(1.6, 0.15 * h), thin = std::max(1.0, 0.06 * h);
    Outline ring;
    const int steps = std::clamp(int(h * 2), 24, 96);
    addEllipse(ring, c, rx, ry, steps);
    addEllipse(ring, c, rx - thick, ry - thin, steps, true);
    s.polygon(ring);
    // The cross on whole pixels, so that its lines stay sharp.
    const double line = std::max(1.0, std::round(0.07 * h));
    const double half = std::floor(line / 2);
    const double cx = std::floor(c.x()) - half, cy = std::floor(c.y()) - half;
    s.polygon(bar(QPointF(cx + line / 2, std::round(c.y() - h / 2)), QPointF(cx + line / 2, std::round(c.y() + h / 2)),
                  line));
    s.polygon(bar(QPointF(std::round(c.x() - 0.46 * h), cy + line / 2), QPointF(std::round(c.x() + 0.46 * h), cy + line / 2),
                  line));
}
double codaWidth(double h) { return 0.92 * h; }

// The fermata, `w` wide, standing on `base` at the middle `cx`: half an oval
// thick at its top and thin at its ends, over a dot.
void paintFermata(PageSurface& s, double cx, double base, double w)
{
    const double rx = w / 2, ry = 0.48 * w;
    const double thick = std::max(1.5, 0.13 * w), thin = std::max(0.8, 0.04 * w);
    Outline arc;
    const int steps = std::clamp(int(w * 1.5), 16, 72);
    for (int i = 0; i <= steps; ++i) {
        const double t = Pi * i / steps;
        arc.emplace_back(cx - rx * std::cos(t), base - ry * std::sin(t));
    }
    for (int i = steps; i >= 0; --i) {
        const double t = Pi * i / steps;
        arc.emplace_back(cx - (rx - thin) * std::cos(t), base - (ry - thick) * std::sin(t));
    }
    s.polygon(arc);
    const double r = std::max(1.2, 0.085 * w);
    s.polygon(disc(QPointF(cx, base - r), r));
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

FormMarks::FormMarks(PageSurface& surface, const Chart& chart, int chordPoints)
    : m_surface(surface), m_chart(chart), m_chordPoints(chordPoints)
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
    const double chordPixels = pixelsOf(chordPoints);
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

void FormMarks::fillBlack(int x1, int y1, int x2, int y2)
{
    const Outline box{QPointF(x1, y1), QPointF(x2, y1), QPointF(x2, y2), QPointF(x1, y2)};
    m_surface.polygon(box);
}

FormMarks::Ink FormMarks::chordInk(int n, int left, int right)
{
    const GridInfo& g = m_chart.info;
    const Bar& b = m_chart.bar(n);
    m_surface.setBold(g.bold != 0);
    m_surface.setFontSize(m_chordPoints);
    const int ascent = m_surface.textAscent();
    const int cap = capHeight(m_chordPoints);
    Ink ink{INT_MAX, INT_MIN};
    const ChordPlaces chords = chordPlaces(b, g.barWidth, g.barHeight, effectivePoints(m_chordPoints));
    for (int k = 0; k < chords.count; ++k) {
        const ChordPlace& p = chords.places[k];
        const int width = m_surface.textExtent(p.text).width();
        if (p.x + width <= left || p.x >= right)
            continue;
        ink.top = std::min(ink.top, p.y + ascent - cap);
        ink.bottom = std::max(ink.bottom, p.y + ascent);
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
    top = std::min(top, chordInk(n, left, right).top - 2 - h);
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
    const double middle = top + h / 2.0;
    auto sign = [&](int space, auto paint) {
        m_surface.fillRect(x, top - 1, x + space - 1, top + h + 1);
        paint(m_surface, QPointF(x + (space - 1) / 2.0, middle), double(h));
        x += space;
    };
    if (segno)
        sign(segnoSpace, paintSegno);
    if (coda)
        sign(codaSpace, paintCoda);
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
            under = baseline + 1 < chordInk(n, x, x + width).top;
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
    const ChordPlaces chords = chordPlaces(b, g.barWidth, g.barHeight, effectivePoints(m_chordPoints));
    double middle = b.x + g.barWidth / 2.0;
    int inkTop = int(b.y + g.barHeight / 2.0);
    if (chords.count > 0) {
        const ChordPlace& p = chords.places[chords.count - 1];
        m_surface.setBold(g.bold != 0);
        m_surface.setFontSize(m_chordPoints);
        const int width = m_surface.textExtent(p.text).width();
        middle = p.x + width / 2.0;
        inkTop = p.y + m_surface.textAscent() - capHeight(m_chordPoints);
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
    paintFermata(m_surface, middle, base, w);
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
            && chordInk(n, right - measure(points), right).bottom < baseline - ascender(points) - 2;
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
