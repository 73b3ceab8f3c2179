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

// The notes a length is written with, longest first: one when a plain,
// dotted or double-dotted value holds it, else a few.
struct NoteValue {
    const char* type;
    int dots;
    int ticks;
};

std::vector<NoteValue> noteValues(int ticks)
{
    static constexpr std::pair<const char*, int> Types[] = {
        {"breve", 8 * leadsheet::TicksPerQuarter}, {"whole", 4 * leadsheet::TicksPerQuarter},
        {"half", 2 * leadsheet::TicksPerQuarter},  {"quarter", leadsheet::TicksPerQuarter},
        {"eighth", leadsheet::TicksPerQuarter / 2}, {"16th", leadsheet::TicksPerQuarter / 4},
        {"32nd", leadsheet::TicksPerQuarter / 8},   {"64th", leadsheet::TicksPerQuarter / 16},
        {"128th", leadsheet::TicksPerQuarter / 32}, {"256th", leadsheet::TicksPerQuarter / 64},
    };
    std::vector<NoteValue> out;
    while (ticks > 0) {
        NoteValue best{nullptr, 0, 0};
        for (const auto& [type, base] : Types) {
            for (int dots = 2; dots >= 0; --dots) {
                if (base % (1 << dots) != 0)
                    continue;
                const int value = base * ((2 << dots) - 1) / (1 << dots);
                if (value <= ticks && value > best.ticks)
                    best = {type, dots, value};
            }
        }
        if (!best.type)
            break;
        out.push_back(best);
        ticks -= best.ticks;
    }
    return out;
}

int gcd(int a, int b) { return b == 0 ? a : gcd(b, a % b); }

class Writer {
public:
    XmlWriter xml{"<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
                  "\"http://www.musicxml.org/dtds/partwise.dtd\">"};
    int ticksPerDivision = leadsheet::TicksPerQuarter;
    // The slash notes stand on B, as the key signature has it: a B that the
    // key flattens written natural would show a natural sign before each.
    int slashAlter = 0;

    void harmony(const leadsheet::ChordSymbol& chord);
    void noChord();
    // Slash notes (rests for silence) as long as `ticks`; the last one holds
    // a fermata if asked.
    void notes(int ticks, bool rest, bool fermata = false);
    void barline(const char* location, Sign sign, int ending, const char* endingType);
    void direction(std::string_view type, std::string_view text);
    void jump(Direction direction);
    void sign(const char* type, const char* sound);
    void tempo(int perMinute);
    void attributes(const leadsheet::Sheet& sheet);
    void time(TimeSignature meter);
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

void Writer::notes(int ticks, bool rest, bool fermata)
{
    const std::vector<NoteValue> values = noteValues(ticks);
    for (std::size_t k = 0; k < values.size(); ++k) {
        const NoteValue& v = values[k];
        xml.writeStartElement("note");
        if (rest) {
            xml.writeEmptyElement("rest");
        } else {
            xml.writeStartElement("pitch");
            xml.writeTextElement("step", "B");
            if (slashAlter)
                xml.writeTextElement("alter", std::to_string(slashAlter));
            xml.writeTextElement("octave", "4");
            xml.writeEndElement();
        }
        xml.writeTextElement("duration", std::to_string(v.ticks / ticksPerDivision));
        xml.writeTextElement("voice", "1");
        xml.writeTextElement("type", v.type);
        for (int d = 0; d < v.dots; ++d)
            xml.writeEmptyElement("dot");
        if (!rest)
            xml.writeTextElement("notehead", "slash");
        if (fermata && k + 1 == values.size()) {
            xml.writeStartElement("notations");
            xml.writeEmptyElement("fermata", {{"type", "upright"}});
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
}

// A bar-line sign, and the bracket of an ending that starts or ends there.
void Writer::barline(const char* location, Sign sign, int ending, const char* endingType)
{
    if (sign == Sign::None && !endingType)
        return;
    const bool left = location[0] == 'l';
    xml.writeStartElement("barline", {{"location", location}});
    if (sign != Sign::None)
        xml.writeTextElement("bar-style",
                             sign == Sign::Double ? "light-light" : left ? "heavy-light" : "light-heavy");
    if (endingType) {
        const std::string number = std::to_string(ending);
        const std::string text = number + ".";
        // A bracket that ends with no hook says nothing more.
        if (left)
            xml.writeTextElement("ending", text, {{"number", number}, {"type", endingType}});
        else
            xml.writeEmptyElement("ending", {{"number", number}, {"type", endingType}});
    }
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

// Segno and coda signs, and where a jump lands: the names tie each "D.S."
// to the segno and each "To Coda" to the coda, for the readers that play
// the form.
void Writer::sign(const char* type, const char* sound)
{
    xml.writeStartElement("direction", {{"placement", "above"}});
    xml.writeStartElement("direction-type");
    xml.writeEmptyElement(type);
    xml.writeEndElement();
    xml.writeEmptyElement("sound", {{sound, sound}});
    xml.writeEndElement();
}

// The words of a direction at the end of the bar, and what they say to
// play.
void Writer::jump(Direction direction)
{
    std::pair<std::string_view, std::string_view> sound;
    switch (direction) {
    case Direction::DaCapo:
    case Direction::DaCapoAlCoda:
    case Direction::DaCapoAlFine: sound = {"dacapo", "yes"}; break;
    case Direction::DalSegno:
    case Direction::DalSegnoAlCoda:
    case Direction::DalSegnoAlFine: sound = {"dalsegno", "segno"}; break;
    case Direction::Fine: sound = {"fine", "yes"}; break;
    case Direction::ToCoda: sound = {"tocoda", "coda"}; break;
    case Direction::None: return;
    }
    xml.writeStartElement("direction", {{"placement", "above"}});
    xml.writeStartElement("direction-type");
    xml.writeTextElement("words", directionText(direction));
    xml.writeEndElement();
    xml.writeEmptyElement("sound", {sound});
    xml.writeEndElement();
}

void Writer::tempo(int perMinute)
{
    const std::string value = std::to_string(perMinute);
    xml.writeStartElement("direction", {{"placement", "above"}});
    xml.writeStartElement("direction-type");
    xml.writeStartElement("metronome", {{"parentheses", "no"}});
    xml.writeTextElement("beat-unit", "quarter");
    xml.writeTextElement("per-minute", value);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEmptyElement("sound", {{"tempo", value}});
    xml.writeEndElement();
}

void Writer::time(TimeSignature meter)
{
    xml.writeStartElement("time");
    xml.writeTextElement("beats", std::to_string(meter.beats));
    xml.writeTextElement("beat-type", std::to_string(meter.unit));
    xml.writeEndElement();
}

void Writer::attributes(const leadsheet::Sheet& sheet)
{
    xml.writeStartElement("attributes");
    xml.writeTextElement("divisions", std::to_string(leadsheet::TicksPerQuarter / ticksPerDivision));
    xml.writeStartElement("key");
    xml.writeTextElement("fifths", std::to_string(leadsheet::fifths(sheet.key)));
    if (!sheet.key.empty())
        xml.writeTextElement("mode", sheet.key.minor ? "minor" : "major");
    xml.writeEndElement();
    time(sheet.measures.empty() ? TimeSignature{4, 4} : sheet.measures.front().meter);
    xml.writeStartElement("clef");
    xml.writeTextElement("sign", "G");
    xml.writeTextElement("line", "2");
    xml.writeEndElement();
    xml.writeEndElement();
}

// The ticks of a division: the largest that every note of the score counts
// whole.
int ticksPerDivision(const leadsheet::Sheet& sheet)
{
    int g = leadsheet::TicksPerQuarter;
    auto add = [&](int ticks) {
        for (const NoteValue& v : noteValues(ticks))
            g = gcd(g, v.ticks);
    };
    for (const leadsheet::Measure& bar : sheet.measures) {
        add(bar.lead);
        for (const leadsheet::ChordSymbol& c : bar.chords)
            add(c.length);
    }
    return g;
}

// Where an ending's bracket starts and ends: it ends with a hook where the
// form goes back, or another ending follows; the last one is left open.
const char* endingStart(const std::vector<leadsheet::Measure>& bars, std::size_t i)
{
    return bars[i].ending && (i == 0 || bars[i - 1].ending != bars[i].ending) ? "start" : nullptr;
}

const char* endingEnd(const std::vector<leadsheet::Measure>& bars, std::size_t i)
{
    const bool last = i + 1 == bars.size();
    if (!bars[i].ending || (!last && bars[i + 1].ending == bars[i].ending))
        return nullptr;
    return bars[i].right == Sign::Repeat || (!last && bars[i + 1].ending) ? "stop" : "discontinue";
}

} // namespace

std::string write(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
    Writer w;
    w.ticksPerDivision = ticksPerDivision(sheet);
    const int fifths = leadsheet::fifths(sheet.key);
    w.slashAlter = fifths <= -1 ? -1 : fifths >= 7 ? 1 : 0;
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
    // The file is read in any language: the one part is named in the
    // language of chord symbols, and its name is not printed, as a lead
    // sheet of one part shows none.
    xml.writeStartElement("part-list");
    xml.writeStartElement("score-part", {{"id", "P1"}});
    xml.writeTextElement("part-name", "Chords", {{"print-object", "no"}});
    xml.writeStartElement("score-instrument", {{"id", "P1-I1"}});
    xml.writeTextElement("instrument-name", "Chords");
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement("part", {{"id", "P1"}});
    // A score holds at least one measure, even for a chart with every bar hidden.
    std::vector<leadsheet::Measure> one(1);
    one[0].lead = one[0].length;
    const std::vector<leadsheet::Measure>& bars = sheet.measures.empty() ? one : sheet.measures;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const leadsheet::Measure& bar = bars[i];
        xml.writeStartElement("measure", {{"number", std::to_string(i + 1)}});
        if (i > 0 && bar.rowStart)
            xml.writeEmptyElement("print", {{"new-system", "yes"}});
        if (i == 0) {
            w.attributes(sheet);
        } else if (bar.meterShown) {
            xml.writeStartElement("attributes");
            w.time(bar.meter);
            xml.writeEndElement();
        }
        const char* start = endingStart(bars, i);
        w.barline("left", bar.left, bar.ending, start);
        if (i == 0 && sheet.tempo > 0)
            w.tempo(sheet.tempo);
        if (i == 0 && !sheet.style.empty())
            w.direction("words", sheet.style);
        for (const std::string& mark : bar.marks)
            w.direction("rehearsal", mark);
        if (bar.flags & SegnoFlag)
            w.sign("segno", "segno");
        if (bar.flags & CodaFlag)
            w.sign("coda", "coda");
        for (const std::string& words : bar.words)
            w.direction("words", words);
        const bool fermata = (bar.flags & FermataFlag) != 0;
        // A "%" with nothing before it to repeat leaves its beats without a chord.
        w.notes(bar.lead, false, fermata && bar.chords.empty());
        // Nothing is played under "N.C.".
        for (std::size_t k = 0; k < bar.chords.size(); ++k) {
            const leadsheet::ChordSymbol& chord = bar.chords[k];
            w.harmony(chord);
            w.notes(chord.length, chord.noChord, fermata && k + 1 == bar.chords.size());
        }
        w.jump(bar.direction);
        w.barline("right", bar.right, bar.ending, endingEnd(bars, i));
        xml.writeEndElement();
    }
    return xml.finish();
}

} // namespace mavrel::musicxml
