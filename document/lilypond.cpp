#include "lilypond.h"

#include "leadsheet.h"

#include <cctype>

namespace mavrel::lilypond {

namespace {

using leadsheet::Quality;
using leadsheet::Sign;

std::string string(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
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

std::string duration(int beats)
{
    return beats == 4 ? "1" : beats == 3 ? "2." : beats == 2 ? "2" : "4";
}

// "N.C." is a rest, which a chord grid shows as LilyPond's no-chord symbol.
std::string chord(const leadsheet::ChordSymbol& c)
{
    if (c.noChord)
        return "r" + duration(c.beats);
    const Quality q = leadsheet::readQuality(c.quality);
    std::string out = noteName(leadsheet::spell(c.root, c.flat)) + duration(c.beats);
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

} // namespace

std::string write(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
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
           "   (make-music 'PercentEvent 'length (ly:music-length music)))\n\n"
           "\\new ChordGrid \\chordmode {\n  \\autoLineBreaksOff\n";
    Sign right = Sign::None;
    for (std::size_t i = 0; i < sheet.measures.size(); ++i) {
        const leadsheet::Measure& bar = sheet.measures[i];
        if (i > 0 && bar.rowStart)
            out += "  \\break\n";
        std::string line = "  ";
        if (const std::string sign = barLine(right, bar.left); !sign.empty())
            line += "\\bar " + string(sign) + " ";
        for (const std::string& mark : bar.marks)
            line += "\\mark " + string(mark) + " ";
        for (const std::string& words : bar.words)
            line += "\\textMark " + string(words) + " ";
        if (bar.repeat && i > 0) {
            line += "\\makePercent s1";
        } else if (bar.chords.empty()) {
            line += "s1";
        } else {
            int beats = 0;
            for (const leadsheet::ChordSymbol& c : bar.chords)
                beats += c.beats;
            // A "%" with nothing before it to repeat leaves its place blank.
            if (beats < 4)
                line += "s" + duration(4 - beats) + " ";
            for (std::size_t k = 0; k < bar.chords.size(); ++k)
                line += (k ? " " : "") + chord(bar.chords[k]);
        }
        out += line + " |\n";
        right = bar.right;
    }
    // A short last row keeps the squares of the others: hidden squares fill it.
    const std::string sign = barLine(right, Sign::None);
    const std::size_t inLastRow = sheet.measures.size() % static_cast<std::size_t>(sheet.columns);
    if (inLastRow != 0)
        out += "  \\bar " + string(sign.empty() ? "|" : sign) + " \\stopStaff s1*"
            + std::to_string(static_cast<std::size_t>(sheet.columns) - inLastRow) + "\n";
    else if (!sign.empty())
        out += "  \\bar " + string(sign) + "\n";
    out += "}\n";
    return out;
}

} // namespace mavrel::lilypond
