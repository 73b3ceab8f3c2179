#include "chordtype.h"

#include "glyphcache.h"

#include "document/editing.h"
#include "document/win1252.h"

#include <QPolygonF>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

namespace mavrel {

namespace {

// The application's choices, read by every thread that draws a page (the
// library draws its thumbnails on a worker) while the window's thread may
// change them: each read and write holds the lock, and readers get a copy.
struct Choices {
    std::mutex mutex;
    ChordSymbols symbols;
    std::optional<ChordStyle> styleOverride;
};

Choices& choices()
{
    static Choices c;
    return c;
}

constexpr std::string_view Flat = "\xE2\x99\xAD";    // ♭
constexpr std::string_view Sharp = "\xE2\x99\xAF";   // ♯
constexpr std::string_view Delta = "\xCE\x94";       // Δ
constexpr std::string_view Minus = "\xE2\x88\x92";   // − (minus sign)
constexpr std::string_view Slashed = "\xC3\xB8";     // ø
constexpr std::string_view Degree = "\xC2\xB0";      // °

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Takes the first of `prefixes` that `text` starts with.
bool take(std::string_view& text, std::initializer_list<std::string_view> prefixes)
{
    for (std::string_view p : prefixes)
        if (startsWith(text, p)) {
            text.remove_prefix(p.size());
            return true;
        }
    return false;
}

std::string digitsFrom(std::string_view& text)
{
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    std::string d(text.substr(0, n));
    text.remove_prefix(n);
    return d;
}

std::string accidentalSign(char c) { return std::string(c == '#' ? Sharp : Flat); }

// The family a quality starts with, and what follows it.
enum class Family { None, Major, Minor, MinorMajor, HalfDiminished, Diminished, Augmented };

Family family(std::string_view& q)
{
    // Longest spellings first: "maj" before "m", "m7b5" before "m".
    if (take(q, {"m7b5", "-7b5", "min7b5", "mi7b5", "\xF8" "7", "\xF8", "h7"}))
        return Family::HalfDiminished;
    if (q == "h") {
        q = {};
        return Family::HalfDiminished;
    }
    if (take(q, {"mmaj", "mMaj", "mM", "m^", "-maj", "-M", "-^", "minmaj", "m(maj", "-(maj"}))
        return Family::MinorMajor;
    if (take(q, {"maj", "Maj", "ma", "M", "^"}))
        return Family::Major;
    if (take(q, {"min", "mi", "m", "-"}))
        return Family::Minor;
    if (take(q, {"dim", "o", "\xB0"}))
        return Family::Diminished;
    if (take(q, {"aug", "+"}))
        return Family::Augmented;
    return Family::None;
}

} // namespace

ChordSymbols chordSymbols()
{
    const std::lock_guard lock(choices().mutex);
    return choices().symbols;
}

const QRawFont& rawPageFont(int pixels, bool bold)
{
    // Fonts are costly to open.
    thread_local std::map<std::pair<int, bool>, QRawFont> fonts;
    QRawFont& raw = fonts[{pixels, bold}];
    if (!raw.isValid())
        raw = QRawFont::fromFont(pageFont(pixels, bold));
    return raw;
}

void setChordSymbols(const ChordSymbols& symbols)
{
    const std::lock_guard lock(choices().mutex);
    choices().symbols = symbols;
}

void setChordStyleOverride(std::optional<ChordStyle> style)
{
    const std::lock_guard lock(choices().mutex);
    choices().styleOverride = style;
}

std::optional<ChordStyle> chordStyleOverride()
{
    const std::lock_guard lock(choices().mutex);
    return choices().styleOverride;
}

JazzChord jazzChord(const Chord& chord, const ChordSymbols& symbols)
{
    JazzChord j;
    if (isNoChord(chord)) {
        j.root = "N.C.";
        return j;
    }
    if (chord.root == 0) {
        j.repeat = true;
        return j;
    }
    const std::string name = rootName(chord.root, chord.flat != 0);
    j.root = name.substr(0, 1);
    if (name.size() > 1)
        j.accidental = accidentalSign(name[1]);

    const std::string full = win1252::withoutControls(chord.quality.view());
    std::string_view q = full;
    if (const std::optional<SlashBass> bass = slashBass(q)) {
        const std::string_view b = q.substr(bass->at);
        j.bass = std::string(b.substr(0, 1));
        if (b.size() > 1)
            j.bassAccidental = accidentalSign(b[1]);
        q = q.substr(0, bass->at - 1);
    }

    std::string& out = j.quality;
    const bool dash = symbols.minor == ChordSymbols::Minor::Dash;
    const std::string minor(dash ? Minus : std::string_view("m"));
    const std::string major(symbols.major == ChordSymbols::Major::Triangle ? Delta : std::string_view("maj"));
    switch (family(q)) {
    case Family::None:
        break;
    case Family::Major:
        // "M" or "maj" alone is the triad; "^" and "Δ" alone are the seventh.
        if (isDigit(q.empty() ? ' ' : q[0]))
            out = major + digitsFrom(q);
        else if (full.empty() || full[0] != '^')
            out = "";
        else
            out = major + "7";
        break;
    case Family::Minor:
        out = minor;
        break;
    case Family::MinorMajor:
        out = minor + major + digitsFrom(q);
        take(q, {")"});
        break;
    case Family::HalfDiminished:
        out = symbols.halfDiminished == ChordSymbols::HalfDiminished::Slashed
            ? std::string(Slashed)
            : minor + "7" + std::string(Flat) + "5";
        break;
    case Family::Diminished:
        out = symbols.diminished == ChordSymbols::Diminished::Circle ? std::string(Degree) : std::string("dim");
        break;
    case Family::Augmented:
        out = symbols.augmented == ChordSymbols::Augmented::Plus ? std::string("+") : std::string("aug");
        break;
    }

    // What follows: extensions, words, and alterations, in or out of
    // parentheses.
    while (!q.empty()) {
        const char c = q[0];
        if (c == '(' || c == ')' || c == ',' || c == ' ') {
            q.remove_prefix(1);
        } else if ((c == 'b' || c == '#' || c == '+' || c == '-') && q.size() > 1 && isDigit(q[1])) {
            q.remove_prefix(1);
            j.alterations.push_back(accidentalSign(c == 'b' || c == '-' ? 'b' : '#') + digitsFrom(q));
        } else if (take(q, {"add"})) {
            j.alterations.push_back("add" + digitsFrom(q));
        } else if (isDigit(c)) {
            out += digitsFrom(q);
            // "6/9", "69"
            if (startsWith(q, "/9")) {
                out += "/9";
                q.remove_prefix(2);
            }
        } else {
            // "sus4", "alt", and whatever else as typed.
            out += win1252::toUtf8(q.substr(0, 1));
            q.remove_prefix(1);
        }
    }
    return j;
}

namespace {

// Sizes and heights of the parts, in root sizes.
constexpr double AccidentalSize = 0.92;
constexpr double AccidentalRise = 0.24;
constexpr double QualitySize = 0.66;
constexpr double QualityRise = 0.34;
constexpr double StackSize = 0.50;
constexpr double BassSize = 0.86;

class Setter {
public:
    Setter(TypesetChord& out, int pixels, bool bold) : m_out(out), m_pixels(pixels), m_bold(bold) {}

    // Appends `utf8` at `scale` of the root's size, its baseline `rise` root
    // sizes up, at `x`; returns the pen position after it.
    double run(double x, double scale, double rise, std::string_view utf8)
    {
        if (utf8.empty())
            return x;
        GlyphRun r;
        r.pixels = std::max(1, int(std::lround(m_pixels * scale)));
        r.bold = m_bold;
        r.text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        r.origin = QPointF(x, -std::round(rise * m_pixels));
        const QRawFont& raw = font(r.pixels);
        r.indexes = raw.glyphIndexesForString(r.text);
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(r.indexes, QRawFont::KernedAdvances);
        double pen = 0;
        for (qsizetype i = 0; i < r.indexes.size(); ++i) {
            r.positions.push_back(QPointF(pen, 0));
            const QRectF box = raw.boundingRect(r.indexes[i]);
            if (!box.isEmpty())
                m_out.ink |= box.translated(r.origin + QPointF(pen, 0));
            pen += advances.value(i).x();
        }
        m_out.runs.push_back(std::move(r));
        return x + pen;
    }

    double width(double scale, std::string_view utf8)
    {
        const int px = std::max(1, int(std::lround(m_pixels * scale)));
        const QRawFont& raw = font(px);
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        double w = 0;
        for (const QPointF& a : raw.advancesForGlyphIndexes(raw.glyphIndexesForString(text), QRawFont::KernedAdvances))
            w += a.x();
        return w;
    }

    double capHeight() { return font(m_pixels).capHeight(); }

    void shape(std::vector<QPointF> outline)
    {
        m_out.ink |= QPolygonF(QList<QPointF>(outline.begin(), outline.end())).boundingRect();
        m_out.shapes.push_back(std::move(outline));
    }

private:
    const QRawFont& font(int px) { return rawPageFont(px, m_bold); }

    TypesetChord& m_out;
    int m_pixels;
    bool m_bold;
};

// The one-bar repeat: a slanted bar between two dots, as tall as capitals.
void simile(Setter& s, double pixels, double cap)
{
    const double w = 0.9 * pixels, h = cap, t = 0.16 * pixels;
    s.shape({{0, -h * 0.1}, {t, -h * 0.1}, {w, -h * 0.9}, {w - t, -h * 0.9}});
    auto disc = [&](QPointF c, double r) {
        std::vector<QPointF> o;
        for (int k = 0; k < 12; ++k) {
            const double a = k * M_PI / 6;
            o.push_back(c + QPointF(r * std::cos(a), -r * std::sin(a)));
        }
        s.shape(std::move(o));
    };
    disc({0.18 * w, -0.72 * h}, 0.09 * pixels);
    disc({0.82 * w, -0.28 * h}, 0.09 * pixels);
}

} // namespace

namespace {

TypesetChord typeset(const Chord& chord, ChordStyle style, const ChordSymbols& symbols, int pixels, bool bold)
{
    TypesetChord t;
    Setter s(t, pixels, bold);
    const double cap = s.capHeight();
    t.capTop = -cap;
    if (style == ChordStyle::Classic) {
        s.run(0, 1, 0, win1252::toUtf8(win1252::withoutControls(chordText(chord))));
        return t;
    }
    const JazzChord j = jazzChord(chord, symbols);
    if (j.repeat) {
        simile(s, pixels, cap);
        return t;
    }
    double x = s.run(0, 1, 0, j.root);
    const double rootEnd = x;
    x = s.run(x, AccidentalSize, AccidentalRise, j.accidental);
    x = s.run(x, QualitySize, QualityRise, j.quality);

    const bool stacked = symbols.alterations == ChordSymbols::Alterations::Stacked && j.alterations.size() > 1;
    if (stacked) {
        // A column, highest degree on top, centred on the quality's middle.
        std::vector<std::string> column = j.alterations;
        const auto degree = [](const std::string& a) {
            const std::size_t d = a.find_first_of("0123456789");
            return d == std::string::npos ? 0 : std::atoi(a.c_str() + d);
        };
        std::stable_sort(column.begin(), column.end(),
                         [&](const std::string& a, const std::string& b) { return degree(a) > degree(b); });
        const double size = column.size() > 2 ? 0.42 : StackSize;
        const double line = size * 0.92;
        const double middle = QualityRise + QualitySize * 0.36;
        double rise = middle - size * 0.36 + line * (double(column.size()) - 1) / 2;
        double right = x;
        for (const std::string& a : column) {
            right = std::max(right, s.run(x + 0.04 * pixels, size, rise, a));
            rise -= line;
        }
        x = right;
    } else if (!j.alterations.empty()) {
        std::string inline_;
        const bool parentheses = symbols.alterations == ChordSymbols::Alterations::Parentheses
            || (j.quality.empty() && j.alterations.front().starts_with("add"));
        for (const std::string& a : j.alterations)
            inline_ += a;
        x = s.run(x, QualitySize, QualityRise, parentheses ? "(" + inline_ + ")" : inline_);
    }

    if (!j.bass.empty()) {
        if (symbols.bass == ChordSymbols::Bass::Slash) {
            x = s.run(x + 0.02 * pixels, BassSize, 0, "/");
            x = s.run(x, BassSize, 0, j.bass);
            s.run(x, AccidentalSize * BassSize, AccidentalRise * BassSize, j.bassAccidental);
        } else {
            // Under a rule as wide as the chord, the bass centred.
            const double gap = std::max(1.0, 0.1 * pixels);
            const double thick = std::max(1.0, 0.07 * pixels);
            const double top = gap + 0.08 * pixels;
            const double width = std::max(x, rootEnd);
            s.shape({{0, top}, {width, top}, {width, top + thick}, {0, top + thick}});
            const double bassWidth = s.width(BassSize, j.bass) + s.width(AccidentalSize * BassSize, j.bassAccidental);
            const double baseline = top + thick + gap + cap * BassSize;
            double bx = (width - bassWidth) / 2;
            bx = s.run(bx, BassSize, -baseline / pixels, j.bass);
            s.run(bx, AccidentalSize * BassSize, AccidentalRise * BassSize - baseline / pixels, j.bassAccidental);
        }
    }
    return t;
}

} // namespace

std::shared_ptr<const TypesetChord> typesetChord(const Chord& chord, ChordStyle style, const ChordSymbols& symbols,
                                                int pixels, bool bold)
{
    // A page sets the same few chords again and again, at one or two sizes.
    thread_local std::unordered_map<std::string, std::shared_ptr<const TypesetChord>> cache;
    std::string key;
    key.reserve(48);
    const auto add = [&key](const auto& value) { key.append(reinterpret_cast<const char*>(&value), sizeof value); };
    add(style);
    add(symbols);
    add(pixels);
    add(bold);
    add(chord.root);
    add(chord.flat);
    key += chord.quality.view();
    if (const auto found = cache.find(key); found != cache.end())
        return found->second;
    if (cache.size() >= 4096)
        cache.clear();
    auto made = std::make_shared<const TypesetChord>(typeset(chord, style, symbols, pixels, bold));
    cache.emplace(std::move(key), made);
    return made;
}

} // namespace mavrel
