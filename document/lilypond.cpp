#include "lilypond.h"

#include "leadsheet.h"
#include "text.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace mavrel::lilypond {

namespace {

using leadsheet::Quality;
using leadsheet::Sign;

// A LilyPond string: quotes and backslashes escaped, control characters
// dropped (a line break or a NUL would end the string, or the file).
std::string string(std::string_view utf8)
{
    std::string out = "\"";
    for (char c : text::withoutControls(utf8)) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// Dutch note names, LilyPond's default: "bes" is B flat, "es" E flat.
std::string noteName(leadsheet::Spelling s)
{
    std::string name(1, static_cast<char>(std::tolower(s.step)));
    if (s.alter > 0)
        name += "is";
    else if (s.alter < 0)
        name += s.step == 'E' || s.step == 'A' ? "s" : "es";
    return name;
}

// chordmode's modifiers: "m7.5-", "maj9", "7sus4", "6.9"...
std::string modifiers(const Quality& q)
{
    const int ext = q.extension;
    const std::string number = ext >= 7 ? std::to_string(ext) : "";
    std::string m;
    if (q.halfDiminished)
        m = ext > 7 ? "m" + number + ".5-" : "m7.5-";
    else if (q.diminished)
        m = ext >= 7 ? "dim7" : "dim";
    else if (q.augmented)
        m = ext > 7 ? "aug7." + number : ext == 7 ? "aug7" : "aug";
    else if (q.minor && q.majorSeventh)
        m = ext > 7 ? "m7+." + number : "m7+";
    else if (q.minor)
        m = "m" + (ext == 6 ? "6" : number);
    else if (q.majorSeventh)
        m = "maj" + number;
    else if (ext == 5)
        m = "1.5";
    else if (ext == 2)
        m = "sus2";
    else if (ext == 6)
        m = "6";
    else
        m = number;
    if (q.sixNine)
        m += ".9";
    if (q.altered)
        m += m.empty() ? "7.5+.9+" : ".5+.9+";
    for (const Quality::Degree& d : q.alterations)
        m += (m.empty() ? "5." : ".") + std::to_string(d.value) + (d.alter < 0 ? "-" : "+");
    for (const Quality::Degree& d : q.additions)
        m += (m.empty() ? "5." : ".") + std::to_string(d.value)
            + (d.alter < 0 ? "-" : d.alter > 0 ? "+" : "");
    if (q.suspended)
        m += q.suspended == 2 ? "sus2" : "sus4";
    return m;
}

int gcd(int a, int b) { return b == 0 ? a : gcd(b, a % b); }

// The length of `weight` quarters of a bar of `meter` as the page divides it:
// a chord grid parts its square by the fraction of the bar each chord takes.
std::string duration(int weight, TimeSignature meter)
{
    int n = meter.beats * weight, d = meter.unit * 4;
    const int g = gcd(n, d);
    n /= g;
    d /= g;
    auto power = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    if (n == 1 && power(d))
        return std::to_string(d);
    if (n == 3 && power(d) && d >= 2)
        return std::to_string(d / 2) + ".";
    if (n == 7 && power(d) && d >= 4)
        return std::to_string(d / 4) + "..";
    return "1*" + std::to_string(n) + "/" + std::to_string(d);
}

// "N.C." is a rest, which a chord grid shows as LilyPond's no-chord symbol.
std::string chord(const leadsheet::ChordSymbol& c, TimeSignature meter)
{
    if (c.noChord)
        return "r" + duration(c.beats, meter);
    const Quality q = leadsheet::readQuality(c.quality);
    std::string out = noteName(leadsheet::spell(c.root, c.flat)) + duration(c.beats, meter);
    if (const std::string m = modifiers(q); !m.empty())
        out += ":" + m;
    if (!q.bass.empty())
        out += "/" + noteName(leadsheet::spell(q.bass));
    return out;
}

// The bar line between two bars, from the first one's right sign and the
// second one's left sign.
std::string barLine(Sign right, Sign left)
{
    if (right == Sign::Repeat && left == Sign::Repeat)
        return ":|.|:";
    if (right == Sign::Repeat)
        return ":|.";
    if (left == Sign::Repeat)
        return right == Sign::Double ? ".|:-||" : ".|:";
    if (right == Sign::Double || left == Sign::Double)
        return "||";
    return "";
}

// A repeated stretch of bars [begin, end), and its endings, each a stretch
// of its own at the end.
struct Repeat {
    std::size_t begin, end;
    std::vector<std::pair<std::size_t, std::size_t>> endings;
};

// The repeats a chart's signs and endings make: from a start-repeat sign, or
// from the end of the repeat before, to an end-repeat sign; when its last bars
// are the first ending, the next endings that follow it are its own.
std::vector<Repeat> repeatsOf(const std::vector<leadsheet::Measure>& bars)
{
    std::vector<Repeat> repeats;
    const std::size_t n = bars.size();
    std::size_t from = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (bars[i].left == Sign::Repeat)
            from = i;
        if (bars[i].right != Sign::Repeat)
            continue;
        Repeat r{from, i + 1, {}};
        std::size_t first = i;
        while (first > from && bars[first - 1].ending == bars[i].ending)
            --first;
        if (bars[i].ending == 1 && first > from) {
            r.endings.push_back({first, i + 1});
            std::size_t j = i + 1;
            for (int next = 2; j < n && bars[j].ending == next && bars[j].left != Sign::Repeat; ++next) {
                std::size_t k = j;
                while (k + 1 < n && bars[k].right != Sign::Repeat && bars[k + 1].ending == next
                       && bars[k + 1].left != Sign::Repeat)
                    ++k;
                r.endings.push_back({j, k + 1});
                j = k + 1;
            }
            r.end = j;
        }
        repeats.push_back(r);
        from = r.end;
        i = r.end - 1;
    }
    return repeats;
}

// Segno and coda marks, shown at the start of a line rather than at the end
// of the line before, and at the start of the piece too.
constexpr std::string_view Helpers =
    "markSegno = {\n"
    "  \\once \\override Score.SegnoMark.break-visibility = ##(#f #t #t)\n"
    "  \\segnoMark 1\n"
    "}\n"
    "markCoda = {\n"
    "  \\once \\override Score.CodaMark.break-visibility = ##(#f #t #t)\n"
    "  \\codaMark 1\n"
    "}\n\n";

std::string directionMarkup(Direction d)
{
    if (d == Direction::ToCoda)
        return "\\markup { " + string(directionText(d)) + " \\coda }";
    return string(directionText(d));
}

} // namespace

std::string write(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
    const std::vector<leadsheet::Measure>& bars = sheet.measures;
    std::string out = "\\version \"2.24.0\"\n\n\\header {\n";
    if (!sheet.title.empty())
        out += "  title = " + string(sheet.title) + "\n";
    if (!sheet.composer.empty())
        out += "  composer = " + string(sheet.composer) + "\n";
    if (!sheet.style.empty())
        out += "  meter = " + string(sheet.style) + "\n";
    out += "  tagline = ##f\n}\n\n"
           "\\paper {\n  indent = 0\n  ragged-right = ##f\n}\n\n"
           // A percent sign for one bar, apart from any repeated music.
           "makePercent =\n"
           "#(define-music-function (music) (ly:music?)\n"
           "   (make-music 'PercentEvent 'length (ly:music-length music)))\n\n";
    out += Helpers;
    out += "\\new ChordGrid \\chordmode {\n  \\autoLineBreaksOff\n";
    if (!sheet.key.empty())
        out += "  \\key " + noteName(leadsheet::tonic(sheet.key)) + (sheet.key.minor ? " \\minor\n" : " \\major\n");
    if (sheet.tempo > 0)
        out += "  \\tempo 4 = " + std::to_string(sheet.tempo) + "\n";
    const TimeSignature first = bars.empty() ? TimeSignature{4, 4} : bars.front().meter;
    out += "  \\time " + std::to_string(first.beats) + "/" + std::to_string(first.unit) + "\n";

    // What the repeats draw themselves: their repeat signs and the brackets
    // of their endings. Other endings get their brackets one by one.
    const std::vector<Repeat> repeats = repeatsOf(bars);
    std::vector<char> drawn(bars.size() + 1), bracketed(bars.size());
    std::vector<const Repeat*> opens(bars.size());
    for (const Repeat& r : repeats) {
        drawn[r.begin] = 1;
        opens[r.begin] = &r;
        if (r.endings.empty())
            drawn[r.end] = 1;
        for (const auto& [b, e] : r.endings) {
            // The bar line after the last ending is the chart's own.
            if (e != r.end)
                drawn[e] = 1;
            std::fill(bracketed.begin() + std::ptrdiff_t(b), bracketed.begin() + std::ptrdiff_t(e), 1);
        }
    }
    // The braces that close and open before the bar `at`: the repeat or
    // the ending that ends there, the endings that start there.
    auto braces = [&](std::size_t at) {
        for (const Repeat& r : repeats) {
            if (r.endings.empty()) {
                if (r.end == at)
                    out += "  }\n";
                continue;
            }
            for (const auto& [b, e] : r.endings)
                if (e == at)
                    out += "  }\n";
            if (r.end == at)
                out += "  }\n  }\n";
            if (r.endings.front().first == at)
                out += "  \\alternative {\n";
            for (const auto& [b, e] : r.endings)
                if (b == at)
                    out += "  {\n";
        }
    };

    TimeSignature meter = first;
    Sign right = Sign::None;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const leadsheet::Measure& bar = bars[i];
        braces(i);
        if (i > 0 && bar.rowStart)
            out += "  \\break\n";
        if (opens[i])
            out += "  \\repeat volta "
                + std::to_string(std::max<std::size_t>(opens[i]->endings.size(), 2)) + " {\n";
        std::string line = "  ";
        if (const std::string sign = barLine(right, bar.left); !sign.empty() && !drawn[i])
            line += "\\bar " + string(sign) + " ";
        if (i > 0 && bar.meterShown)
            line += "\\time " + std::to_string(bar.meter.beats) + "/" + std::to_string(bar.meter.unit) + " ";
        meter = bar.meter;
        if (bar.ending && !bracketed[i] && (i == 0 || bars[i - 1].ending != bar.ending || bracketed[i - 1]))
            line += "\\set Score.repeatCommands = #'((volta \"" + std::to_string(bar.ending) + ".\")) ";
        for (const std::string& mark : bar.marks)
            line += "\\mark " + string(mark) + " ";
        if (bar.flags & SegnoFlag)
            line += "\\markSegno ";
        if (bar.flags & CodaFlag)
            line += "\\markCoda ";
        for (const std::string& words : bar.words)
            line += "\\textMark " + string(words) + " ";
        const std::string fermata = "\\textMark \\markup \\musicglyph \"scripts.ufermata\" ";
        const bool held = (bar.flags & FermataFlag) != 0;
        if (bar.repeat && i > 0) {
            line += (held ? fermata : "") + "\\makePercent s" + duration(4, meter);
        } else if (bar.chords.empty()) {
            line += (held ? fermata : "") + "s" + duration(4, meter);
        } else {
            int beats = 0;
            for (const leadsheet::ChordSymbol& c : bar.chords)
                beats += c.beats;
            // A "%" with nothing before it to repeat leaves its place blank.
            if (beats < 4)
                line += "s" + duration(4 - beats, meter) + " ";
            for (std::size_t k = 0; k < bar.chords.size(); ++k)
                line += (k ? " " : "") + (held && k + 1 == bar.chords.size() ? fermata : "")
                    + chord(bar.chords[k], meter);
        }
        if (bar.direction != Direction::None)
            line += " \\textEndMark " + directionMarkup(bar.direction);
        if (bar.ending && !bracketed[i] && (i + 1 == bars.size() || bars[i + 1].ending != bar.ending || bracketed[i + 1]))
            line += " \\set Score.repeatCommands = #'((volta #f))";
        out += line + " |\n";
        right = bar.right;
    }
    braces(bars.size());
    // A short last row keeps the squares of the others: hidden squares fill it.
    const std::string sign = drawn[bars.size()] ? "" : barLine(right, Sign::None);
    const std::size_t inLastRow = bars.size() % static_cast<std::size_t>(sheet.columns);
    if (inLastRow != 0)
        out += "  " + (drawn[bars.size()] ? "" : "\\bar " + string(sign.empty() ? "|" : sign) + " ")
            + "\\stopStaff s" + duration(4, meter) + "*"
            + std::to_string(static_cast<std::size_t>(sheet.columns) - inLastRow) + "\n";
    else if (!sign.empty())
        out += "  \\bar " + string(sign) + "\n";
    out += "}\n";
    return out;
}

} // namespace mavrel::lilypond
