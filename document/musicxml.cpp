#include "musicxml.h"

#include "leadsheet.h"
#include "win1252.h"

#include <algorithm>

namespace mavrel::musicxml {

namespace {

using leadsheet::Quality;
using leadsheet::Sign;

std::string escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
    return out;
}

struct Degree {
    int value;
    int alter;
    const char* type;    // "add", "alter" or "subtract"
};

struct Kind {
    std::string value;
    std::vector<Degree> degrees;
};

// Whether a kind's name already holds the degree, so that an accidental on it
// alters it rather than adding it.
bool holds(const std::string& kind, int degree)
{
    const bool ninth = kind.ends_with("ninth"), eleventh = kind.ends_with("11th"),
               thirteenth = kind.ends_with("13th");
    return degree == 5 || (degree == 9 && (ninth || eleventh || thirteenth))
        || (degree == 11 && (eleventh || thirteenth)) || (degree == 13 && thirteenth);
}

// The MusicXML kind of a quality, with the degrees that the kind leaves out.
// A text that names no chord shows as it stands.
Kind kindOf(const Quality& q)
{
    Kind k;
    if (!q.understood) {
        k.value = "other";
        return k;
    }
    const int ext = q.extension;
    std::vector<Quality::Degree> alterations = q.alterations;
    bool extensionHeld = true;
    if (q.halfDiminished) {
        k.value = "half-diminished";
        extensionHeld = ext <= 7;
    } else if (q.diminished) {
        k.value = ext >= 7 ? "diminished-seventh" : "diminished";
        extensionHeld = ext <= 7;
    } else if (q.augmented) {
        k.value = ext >= 7 ? "augmented-seventh" : "augmented";
        extensionHeld = ext <= 7;
    } else if (q.minor && q.majorSeventh) {
        k.value = "major-minor";
        extensionHeld = ext <= 7;
    } else if (q.minor && ext == 7 && std::erase_if(alterations, [](const Quality::Degree& d) {
                   return d.value == 5 && d.alter < 0;
               })) {
        k.value = "half-diminished";   // "m7b5"
    } else if (q.minor) {
        k.value = ext == 6 ? "minor-sixth" : ext == 7 ? "minor-seventh" : ext == 9 ? "minor-ninth"
            : ext == 11 ? "minor-11th" : ext == 13 ? "minor-13th" : "minor";
    } else if (q.majorSeventh) {
        k.value = ext == 9 ? "major-ninth" : ext == 11 ? "major-11th" : ext == 13 ? "major-13th"
                                                                           : "major-seventh";
    } else {
        k.value = ext == 2 ? "suspended-second" : ext == 5 ? "power" : ext == 6 ? "major-sixth"
            : ext == 7 ? "dominant" : ext == 9 ? "dominant-ninth" : ext == 11 ? "dominant-11th"
            : ext == 13 ? "dominant-13th" : "major";
    }
    if (!extensionHeld)
        k.degrees.push_back({ext, 0, "add"});
    if (q.sixNine)
        k.degrees.push_back({9, 0, "add"});
    if (q.altered) {
        if (k.value == "major")
            k.value = "dominant";
        k.degrees.push_back({5, 1, "alter"});
        k.degrees.push_back({9, 1, "add"});
    }
    if (q.suspended) {
        if (k.value == "major") {
            k.value = q.suspended == 2 ? "suspended-second" : "suspended-fourth";
        } else {
            k.degrees.push_back({q.suspended, 0, "add"});
            k.degrees.push_back({3, 0, "subtract"});
        }
    }
    for (const Quality::Degree& d : alterations)
        k.degrees.push_back({d.value, d.alter, holds(k.value, d.value) ? "alter" : "add"});
    for (const Quality::Degree& d : q.additions)
        k.degrees.push_back({d.value, d.alter, "add"});
    return k;
}

class Writer {
public:
    std::string out;

    void line(int depth, std::string_view text)
    {
        out.append(static_cast<std::size_t>(depth) * 2, ' ');
        out += text;
        out += '\n';
    }
    void leaf(int depth, std::string_view tag, std::string_view text)
    {
        line(depth, "<" + std::string(tag) + ">" + escaped(text) + "</" + std::string(tag) + ">");
    }

    void harmony(const leadsheet::ChordSymbol& chord);
    void noChord();
    void note(int beats, bool rest);
    void barline(const char* location, Sign sign);
    void direction(std::string_view type, std::string_view text);
};

void Writer::harmony(const leadsheet::ChordSymbol& chord)
{
    const Quality q = leadsheet::readQuality(chord.quality);
    const Kind kind = kindOf(q);
    const leadsheet::Spelling root = leadsheet::spell(chord.root, chord.flat);
    std::string text = chord.quality;
    if (!q.bass.empty())
        text.resize(text.size() - q.bass.size() - 1);
    line(3, "<harmony>");
    line(4, "<root>");
    leaf(5, "root-step", std::string(1, root.step));
    if (root.alter)
        leaf(5, "root-alter", std::to_string(root.alter));
    line(4, "</root>");
    line(4, "<kind text=\"" + escaped(win1252::toUtf8(text)) + "\" use-symbols=\"no\">" + kind.value
              + "</kind>");
    if (!q.bass.empty()) {
        const leadsheet::Spelling bass = leadsheet::spell(q.bass);
        line(4, "<bass>");
        leaf(5, "bass-step", std::string(1, bass.step));
        if (bass.alter)
            leaf(5, "bass-alter", std::to_string(bass.alter));
        line(4, "</bass>");
    }
    // The kind's text already shows the degrees.
    for (const Degree& d : kind.degrees) {
        line(4, "<degree print-object=\"no\">");
        leaf(5, "degree-value", std::to_string(d.value));
        leaf(5, "degree-alter", std::to_string(d.alter));
        leaf(5, "degree-type", d.type);
        line(4, "</degree>");
    }
    line(3, "</harmony>");
}

void Writer::noChord()
{
    line(3, "<harmony>");
    line(4, "<root>");
    leaf(5, "root-step", "C");
    line(4, "</root>");
    line(4, "<kind text=\"N.C.\">none</kind>");
    line(3, "</harmony>");
}

void Writer::note(int beats, bool rest)
{
    line(3, "<note>");
    if (rest) {
        line(4, "<rest/>");
    } else {
        line(4, "<pitch>");
        leaf(5, "step", "B");
        leaf(5, "octave", "4");
        line(4, "</pitch>");
    }
    leaf(4, "duration", std::to_string(beats));
    leaf(4, "voice", "1");
    leaf(4, "type", beats == 4 ? "whole" : beats >= 2 ? "half" : "quarter");
    if (beats == 3)
        line(4, "<dot/>");
    if (!rest)
        leaf(4, "notehead", "slash");
    line(3, "</note>");
}

void Writer::barline(const char* location, Sign sign)
{
    if (sign == Sign::None)
        return;
    const bool left = location[0] == 'l';
    line(3, std::string("<barline location=\"") + location + "\">");
    leaf(4, "bar-style", sign == Sign::Double ? "light-light" : left ? "heavy-light" : "light-heavy");
    if (sign == Sign::Repeat)
        line(4, std::string("<repeat direction=\"") + (left ? "forward" : "backward") + "\"/>");
    line(3, "</barline>");
}

void Writer::direction(std::string_view type, std::string_view text)
{
    line(3, "<direction placement=\"above\">");
    line(4, "<direction-type>");
    leaf(5, type, text);
    line(4, "</direction-type>");
    line(3, "</direction>");
}

} // namespace

std::string write(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
    Writer w;
    w.line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>");
    w.line(0, "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
              "\"http://www.musicxml.org/dtds/partwise.dtd\">");
    w.line(0, "<score-partwise version=\"4.0\">");
    if (!sheet.title.empty()) {
        w.line(1, "<work>");
        w.leaf(2, "work-title", sheet.title);
        w.line(1, "</work>");
    }
    w.line(1, "<identification>");
    if (!sheet.composer.empty())
        w.line(2, "<creator type=\"composer\">" + escaped(sheet.composer) + "</creator>");
    w.line(2, "<encoding>");
    w.leaf(3, "software", "Mavrel");
    w.line(2, "</encoding>");
    w.line(1, "</identification>");
    w.line(1, "<part-list>");
    w.line(2, "<score-part id=\"P1\">");
    w.leaf(3, "part-name", "Grille");
    w.line(3, "<score-instrument id=\"P1-I1\">");
    w.leaf(4, "instrument-name", "Grille");
    w.line(3, "</score-instrument>");
    w.line(2, "</score-part>");
    w.line(1, "</part-list>");
    w.line(1, "<part id=\"P1\">");
    // A score holds at least one measure, even for a chart with every bar hidden.
    const leadsheet::Measure empty;
    for (std::size_t i = 0; i < std::max<std::size_t>(sheet.measures.size(), 1); ++i) {
        const leadsheet::Measure& bar = i < sheet.measures.size() ? sheet.measures[i] : empty;
        w.line(2, "<measure number=\"" + std::to_string(i + 1) + "\">");
        if (i == 0) {
            w.line(3, "<attributes>");
            w.leaf(4, "divisions", "1");
            w.line(4, "<key>");
            w.leaf(5, "fifths", "0");
            w.line(4, "</key>");
            w.line(4, "<time>");
            w.leaf(5, "beats", "4");
            w.leaf(5, "beat-type", "4");
            w.line(4, "</time>");
            w.line(4, "<clef>");
            w.leaf(5, "sign", "G");
            w.leaf(5, "line", "2");
            w.line(4, "</clef>");
            w.line(3, "</attributes>");
        } else if (bar.rowStart) {
            w.line(3, "<print new-system=\"yes\"/>");
        }
        w.barline("left", bar.left);
        if (i == 0 && !sheet.style.empty())
            w.direction("words", sheet.style);
        for (const std::string& mark : bar.marks)
            w.direction("rehearsal", mark);
        for (const std::string& words : bar.words)
            w.direction("words", words);
        // A "%" with nothing before it to repeat leaves its beats without a chord.
        int beats = 0;
        for (const leadsheet::ChordSymbol& chord : bar.chords)
            beats += chord.beats;
        if (beats < 4)
            w.note(4 - beats, false);
        for (const leadsheet::ChordSymbol& chord : bar.chords) {
            if (chord.noChord)
                w.noChord();
            else
                w.harmony(chord);
            w.note(chord.beats, chord.noChord);
        }
        w.barline("right", bar.right);
        w.line(2, "</measure>");
    }
    w.line(1, "</part>");
    w.line(0, "</score-partwise>");
    return std::move(w.out);
}

} // namespace mavrel::musicxml
