#include "musicxml.h"

#include "leadsheet.h"
#include "win1252.h"
#include "xmlwriter.h"

#include <algorithm>

namespace mavrel::musicxml {

namespace {

using leadsheet::Quality;
using leadsheet::Sign;

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
    XmlWriter xml{"<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
                  "\"http://www.musicxml.org/dtds/partwise.dtd\">"};

    void harmony(const leadsheet::ChordSymbol& chord);
    void noChord();
    void note(int beats, bool rest);
    void barline(const char* location, Sign sign);
    void direction(std::string_view type, std::string_view text);
    void attributes();
};

void Writer::harmony(const leadsheet::ChordSymbol& chord)
{
    if (chord.noChord) {
        noChord();
        return;
    }
    const Quality q = leadsheet::readQuality(chord.quality);
    const Kind kind = kindOf(q);
    const leadsheet::Spelling root = leadsheet::spell(chord.root, chord.flat);
    std::string text = chord.quality;
    if (!q.bass.empty())
        text.resize(text.size() - q.bass.size() - 1);
    xml.writeStartElement("harmony");
    xml.writeStartElement("root");
    xml.writeTextElement("root-step", std::string(1, root.step));
    if (root.alter)
        xml.writeTextElement("root-alter", std::to_string(root.alter));
    xml.writeEndElement();
    xml.writeTextElement("kind", kind.value, {{"text", win1252::toUtf8(text)}, {"use-symbols", "no"}});
    if (!q.bass.empty()) {
        const leadsheet::Spelling bass = leadsheet::spell(q.bass);
        xml.writeStartElement("bass");
        xml.writeTextElement("bass-step", std::string(1, bass.step));
        if (bass.alter)
            xml.writeTextElement("bass-alter", std::to_string(bass.alter));
        xml.writeEndElement();
    }
    // The kind's text already shows the degrees.
    for (const Degree& d : kind.degrees) {
        xml.writeStartElement("degree", {{"print-object", "no"}});
        xml.writeTextElement("degree-value", std::to_string(d.value));
        xml.writeTextElement("degree-alter", std::to_string(d.alter));
        xml.writeTextElement("degree-type", d.type);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// A harmony must name a root, a numeral or a function, though none means
// anything for kind "none". An empty function is the one that readers
// neither print nor refuse: MuseScore prints a root beside "N.C." however
// its root-step's text asks it not to, and takes a numeral for an error.
void Writer::noChord()
{
    xml.writeStartElement("harmony");
    xml.writeEmptyElement("function");
    xml.writeTextElement("kind", "none", {{"text", leadsheet::NoChordText}});
    xml.writeEndElement();
}

void Writer::note(int beats, bool rest)
{
    xml.writeStartElement("note");
    if (rest) {
        xml.writeEmptyElement("rest");
    } else {
        xml.writeStartElement("pitch");
        xml.writeTextElement("step", "B");
        xml.writeTextElement("octave", "4");
        xml.writeEndElement();
    }
    xml.writeTextElement("duration", std::to_string(beats));
    xml.writeTextElement("voice", "1");
    xml.writeTextElement("type", beats == 4 ? "whole" : beats >= 2 ? "half" : "quarter");
    if (beats == 3)
        xml.writeEmptyElement("dot");
    if (!rest)
        xml.writeTextElement("notehead", "slash");
    xml.writeEndElement();
}

void Writer::barline(const char* location, Sign sign)
{
    if (sign == Sign::None)
        return;
    const bool left = location[0] == 'l';
    xml.writeStartElement("barline", {{"location", location}});
    xml.writeTextElement("bar-style", sign == Sign::Double ? "light-light" : left ? "heavy-light" : "light-heavy");
    if (sign == Sign::Repeat)
        xml.writeEmptyElement("repeat", {{"direction", left ? "forward" : "backward"}});
    xml.writeEndElement();
}

void Writer::direction(std::string_view type, std::string_view text)
{
    xml.writeStartElement("direction", {{"placement", "above"}});
    xml.writeStartElement("direction-type");
    xml.writeTextElement(type, text);
    xml.writeEndElement();
    xml.writeEndElement();
}

void Writer::attributes()
{
    xml.writeStartElement("attributes");
    xml.writeTextElement("divisions", "1");
    xml.writeStartElement("key");
    xml.writeTextElement("fifths", "0");
    xml.writeEndElement();
    xml.writeStartElement("time");
    xml.writeTextElement("beats", "4");
    xml.writeTextElement("beat-type", "4");
    xml.writeEndElement();
    xml.writeStartElement("clef");
    xml.writeTextElement("sign", "G");
    xml.writeTextElement("line", "2");
    xml.writeEndElement();
    xml.writeEndElement();
}

} // namespace

std::string write(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
    Writer w;
    XmlWriter& xml = w.xml;
    xml.writeStartElement("score-partwise", {{"version", "4.0"}});
    if (!sheet.title.empty()) {
        xml.writeStartElement("work");
        xml.writeTextElement("work-title", sheet.title);
        xml.writeEndElement();
    }
    xml.writeStartElement("identification");
    if (!sheet.composer.empty())
        xml.writeTextElement("creator", sheet.composer, {{"type", "composer"}});
    xml.writeStartElement("encoding");
    xml.writeTextElement("software", "Mavrel");
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement("part-list");
    xml.writeStartElement("score-part", {{"id", "P1"}});
    xml.writeTextElement("part-name", "Grille");
    xml.writeStartElement("score-instrument", {{"id", "P1-I1"}});
    xml.writeTextElement("instrument-name", "Grille");
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement("part", {{"id", "P1"}});
    // A score holds at least one measure, even for a chart with every bar hidden.
    const leadsheet::Measure empty;
    for (std::size_t i = 0; i < std::max<std::size_t>(sheet.measures.size(), 1); ++i) {
        const leadsheet::Measure& bar = i < sheet.measures.size() ? sheet.measures[i] : empty;
        xml.writeStartElement("measure", {{"number", std::to_string(i + 1)}});
        if (i == 0)
            w.attributes();
        else if (bar.rowStart)
            xml.writeEmptyElement("print", {{"new-system", "yes"}});
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
        // Nothing is played under "N.C.".
        for (const leadsheet::ChordSymbol& chord : bar.chords) {
            w.harmony(chord);
            w.note(chord.beats, chord.noChord);
        }
        w.barline("right", bar.right);
        xml.writeEndElement();
    }
    return xml.finish();
}

} // namespace mavrel::musicxml
