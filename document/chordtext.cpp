#include "chordtext.h"

#include "editing.h"
#include "text.h"
#include "win1252.h"

#include <cctype>
#include <optional>
#include <vector>

namespace mavrel {

namespace {

// Spellings musicians type for the chord dialog's qualities. UTF-8.
struct Synonym {
    std::string_view typed;
    std::string_view quality;   // Windows-1252
};
constexpr Synonym Synonyms[] = {
    {"M", ""},        {"maj", ""},       {"-", "m"},       {"min", "m"},
    {"maj7", "M7"},   {"Maj7", "M7"},    {"ma7", "M7"},    {"^", "M7"},     {"^7", "M7"},
    {"-7", "m7"},     {"min7", "m7"},
    {"m7b5", "\xF8"}, {"-7b5", "\xF8"},  {"min7b5", "\xF8"}, {"h", "\xF8"},  {"h7", "\xF8"},
    {"\xC3\xB8", "\xF8"}, {"\xC3\xB8" "7", "\xF8"},   // "ø"
    {"o", "dim"},
    {"-6", "m6"},     {"min6", "m6"},
};

constexpr std::string_view FlatSign = "\xE2\x99\xAD";    // ♭
constexpr std::string_view SharpSign = "\xE2\x99\xAF";   // ♯

// The music signs of a typed quality, as the chart's letters write them.
struct Sign {
    std::string_view typed;
    std::string_view written;
};
constexpr Sign Signs[] = {
    {FlatSign, "b"}, {SharpSign, "#"},
    {"\xE2\x88\x92", "-"},    // "−", the minus sign
    {"\xE2\x80\x93", "-"},    // "–"
    {"\xCE\x94", "^"},         // "Δ"
    {"\xE2\x88\x86", "^"},    // "∆", the increment sign
    {"\xC2\xB0", "o"},         // "°"
};

// Spellings that begin a longer quality ("maj7#11", "-9", "°7"), and what
// the chart writes for them.
struct Prefix {
    std::string_view typed;
    std::string_view written;
};
constexpr Prefix Prefixes[] = {
    {"maj", "M"}, {"Maj", "M"}, {"ma", "M"}, {"^", "M"}, {"-", "m"}, {"min", "m"}, {"o", "dim"},
};

int naturalRoot(char letter)
{
    switch (letter) {
    case 'C': return 1;
    case 'D': return 3;
    case 'E': return 5;
    case 'F': return 6;
    case 'G': return 8;
    case 'A': return 10;
    case 'B': return 12;
    default: return 0;
    }
}

} // namespace

std::optional<std::string> readQuality(std::string_view utf8)
{
    std::string typed;
    for (std::size_t i = 0; i < utf8.size();) {
        bool replaced = false;
        for (const Sign& sign : Signs)
            if (utf8.substr(i).starts_with(sign.typed)) {
                typed += sign.written;
                i += sign.typed.size();
                replaced = true;
                break;
            }
        if (!replaced)
            typed += utf8[i++];
    }
    auto synonym = [](std::string_view q) -> std::optional<std::string> {
        for (const Synonym& s : Synonyms)
            if (s.typed == q)
                return std::string(s.quality);
        return std::nullopt;
    };
    if (std::optional<std::string> known = synonym(typed))
        return known;
    // A spelling followed by a degree: the degree and what follows stay.
    for (const Prefix& p : Prefixes) {
        const std::string_view q = typed;
        if (q.size() > p.typed.size() && q.starts_with(p.typed)
            && std::string_view("6791").find(q[p.typed.size()]) != std::string_view::npos) {
            const std::string spelled = std::string(p.written) + std::string(q.substr(p.typed.size()));
            return synonym(spelled).value_or(spelled);
        }
    }
    std::string quality = win1252::fromUtf8(typed);
    if (win1252::toUtf8(quality) != typed)
        return std::nullopt;
    return quality;
}

TypedChord readChord(std::string_view text)
{
    TypedChord t;
    if (text::hasControl(text)) {
        t.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : un accord ne garde aucun caractère de contrôle."),
                   {text::withoutControls(text)}};
        return t;
    }
    if (text == "%")
        return t;   // root 0: the repeat sign
    if (text == NoChordQuality || text == "NC") {
        t.chord = noChord();
        return t;
    }
    const int natural = text.empty() ? 0 : naturalRoot(text[0]);
    if (!natural) {
        t.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : un accord commence par sa note, de A à G, ou par %."),
                   {std::string(text)}};
        return t;
    }
    int root = natural;
    std::size_t used = 1;
    // "b" and "#", or the music signs "♭" and "♯".
    const std::string_view after = text.substr(1);
    const bool flat = after.starts_with('b') || after.starts_with(FlatSign);
    if (flat || after.starts_with('#') || after.starts_with(SharpSign)) {
        root = (natural + (flat ? -1 : 1) + 11) % 12 + 1;
        t.chord.flat = flat;
        used = 1 + (after[0] == 'b' || after[0] == '#' ? 1 : FlatSign.size());
    }
    t.chord.root = static_cast<std::uint8_t>(root);
    const std::optional<std::string> read = readQuality(text.substr(used));
    if (!read) {
        t.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : caractère que la grille ne peut pas garder."),
                   {std::string(text)}};
        return t;
    }
    const std::string& quality = *read;
    if (quality.size() > MaxQualityLength) {
        t.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : la qualité d'un accord tient en 24 caractères."),
                   {std::string(text)}};
        return t;
    }
    t.chord.quality.assign(quality);
    // A bass that is no note would stay where it is when the chord moves.
    if (const std::size_t slash = quality.rfind('/');
        slash != std::string::npos && slash + 1 < quality.size() && naturalRoot(quality[slash + 1])
        && !slashBass(quality)) {
        t.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : la basse après « / » est une note de A à G, avec au "
                                                "plus un b ou un #."),
                   {std::string(text)}};
        return t;
    }
    // After the root's accidental, another one only alters a degree ("Ebb5",
    // "F#b9", "Bb#11"); "Bbb", "C##7" are double accidentals a chart cannot
    // write.
    if (quality.starts_with('b') || quality.starts_with('#')) {
        if (quality.size() < 2 || std::string_view("14569").find(quality[1]) == std::string_view::npos) {
            t.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : une grille n'écrit pas de double altération."),
                       {std::string(text)}};
            return t;
        }
        // "Fb#5" would show as "E#5", which reads as another chord.
        if (std::string_view(rootName(root, false)).size() == 1) {
            t.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : la grille l'écrirait « %2 », qui se lit autrement."),
                       {std::string(text), win1252::toUtf8(chordText(t.chord))}};
            return t;
        }
    }
    if (used == 1) {
        // A natural root shows the same either way; its flag keeps the
        // spelling of the bass, for the transpositions that keep spellings.
        if (const std::optional<SlashBass> bass = slashBass(quality); bass && bass->accidental != 0)
            t.chord.flat = bass->accidental < 0;
    } else if (std::string_view(rootName(root, false)).size() == 1) {
        // Fb, Cb, E# and B#: a chart's roots are the twelve semitones, each
        // with one natural name.
        t.notice = {QT_TRANSLATE_NOOP("Message", "Noté « %2 » pour « %1 » : une grille n'écrit pas %3."),
                    {std::string(text), win1252::toUtf8(chordText(t.chord)), std::string(text.substr(0, used))}};
    }
    return t;
}

namespace {

// The words of a typed bar: runs of characters between spaces, but for a
// section "[...]" and a direction "<...>", which may hold spaces. An opening
// bracket without its closing one runs to the end of the text.
std::vector<std::string_view> barWords(std::string_view text)
{
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i == text.size())
            break;
        std::size_t end = i;
        if (text[i] == '[' || text[i] == '<') {
            end = text.find(text[i] == '[' ? ']' : '>', i);
            end = end == std::string_view::npos ? text.size() : end + 1;
        } else {
            while (end < text.size() && text[end] != ' ')
                ++end;
        }
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

// A direction's words without their dots and spaces, in small letters:
// "D.S. al Coda", "DS al coda" and "dsalcoda" are one.
std::string directionKey(std::string_view text)
{
    std::string key;
    for (const char c : text)
        if (c != '.' && c != ' ')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

Direction directionTyped(std::string_view text)
{
    const std::string key = directionKey(text);
    for (int i = 1; i < DirectionCount; ++i)
        if (directionKey(directionText(static_cast<Direction>(i))) == key)
            return static_cast<Direction>(i);
    return Direction::None;
}

bool typableUnit(int unit) { return unit == 1 || unit == 2 || unit == 4 || unit == 8 || unit == 16 || unit == 32; }

bool typableMeter(TimeSignature t) { return t.beats >= 1 && t.beats <= 16 && typableUnit(t.unit); }

// "3/4": a meter of 1 to 16 beats of a whole, half, quarter... note; nullopt
// for a text that is no meter.
std::optional<TimeSignature> typedMeter(std::string_view word)
{
    const std::size_t slash = word.find('/');
    if (slash == std::string_view::npos || slash == 0 || slash > 2 || word.size() - slash - 1 < 1
        || word.size() - slash - 1 > 2)
        return std::nullopt;
    int beats = 0, unit = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (i == slash)
            continue;
        if (word[i] < '0' || word[i] > '9')
            return std::nullopt;
        int& n = i < slash ? beats : unit;
        n = n * 10 + (word[i] - '0');
    }
    const TimeSignature t{static_cast<std::uint8_t>(beats), static_cast<std::uint8_t>(unit)};
    return typableMeter(t) ? std::optional(t) : std::nullopt;
}

// A section the bar's text can show between brackets and read back as it is.
bool typableSection(std::string_view section)
{
    return !section.empty() && section.find(']') == std::string_view::npos && text::trimmed(section) == section
        && text::isUtf8(section) && !text::hasControl(section);
}

bool typableSign(int sign) { return sign >= 0 && sign <= 2; }

// One mark read into the bar; false when the word is no mark, and then the
// caller reads it as a chord.
bool readMark(std::string_view word, bool afterChords, TypedBar& bar)
{
    const Message twice{QT_TRANSLATE_NOOP("Message", "« %1 » : la mesure a déjà un signe de cette sorte."),
                        {std::string(word)}};
    BarMarks& m = bar.marks;
    auto flag = [&](BarFlag f) {
        if (m.flags & f)
            bar.error = twice;
        m.flags |= f;
    };
    if (word.front() == '[') {
        const std::string_view name = word.back() == ']' && word.size() > 1
            ? text::trimmed(word.substr(1, word.size() - 2)) : std::string_view();
        if (word.back() != ']' || word.size() == 1)
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : il manque le « ] » qui ferme la section."),
                         {std::string(word)}};
        else if (name.empty())
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : une section a un nom ([A], [Intro]...)."),
                         {std::string(word)}};
        else if (name.size() > sizeof m.section.chars)
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : le nom d'une section tient en 15 octets "
                                                      "(une lettre accentuée en compte deux)."),
                         {std::string(word)}};
        else if (!text::isUtf8(name) || text::hasControl(name))
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : caractère que la grille ne peut pas garder."),
                         {text::withoutControls(word)}};
        else if (m.section.size())
            bar.error = twice;
        else
            setText(m.section, name);
        return true;
    }
    if (word.front() == '<') {
        const Direction d = word.back() == '>' && word.size() > 1
            ? directionTyped(word.substr(1, word.size() - 2)) : Direction::None;
        if (d == Direction::None)
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : les indications sont <D.C.>, <D.C. al Coda>, "
                                                      "<D.C. al Fine>, <D.S.>, <D.S. al Coda>, <D.S. al Fine>, "
                                                      "<Fine> et <To Coda>."),
                         {text::withoutControls(word)}};
        else if (m.direction != Direction::None)
            bar.error = twice;
        else
            m.direction = d;
        return true;
    }
    if (word.size() == 2 && word[0] >= '0' && word[0] <= '9' && word[1] == '.') {
        if (word[0] < '1' || word[0] > '3')
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : une fin de reprise est 1., 2. ou 3."),
                         {std::string(word)}};
        else if (m.ending)
            bar.error = twice;
        else
            m.ending = static_cast<std::uint8_t>(word[0] - '0');
        return true;
    }
    if (word.front() >= '0' && word.front() <= '9' && word.find('/') != std::string_view::npos) {
        if (const std::optional<TimeSignature> t = typedMeter(word); !t)
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : un chiffrage s'écrit 3/4, 6/8, 12/8... : de 1 à 16 "
                                                      "temps, d'unité 1, 2, 4, 8, 16 ou 32."),
                         {text::withoutControls(word)}};
        else if (!m.time.empty())
            bar.error = twice;
        else
            m.time = *t;
        return true;
    }
    int* edge = nullptr;
    int sign = 0;
    if (word == "|:") {
        edge = &bar.left;
        sign = 1;
    } else if (word == ":|") {
        edge = &bar.right;
        sign = 1;
    } else if (word == "||") {
        edge = afterChords ? &bar.right : &bar.left;
        sign = 2;
    }
    if (edge) {
        if (*edge)
            bar.error = twice;
        *edge = sign;
        return true;
    }
    if (word == "S")
        flag(SegnoFlag);
    else if (word == "Q")
        flag(CodaFlag);
    else if (word == "f" && afterChords)
        flag(FermataFlag);
    else
        return false;
    return true;
}

} // namespace

TypedBar readBar(std::string_view text)
{
    TypedBar bar;
    if (text::hasControl(text)) {
        // Said once for the whole bar, whichever word holds it.
        bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : un accord ne garde aucun caractère de contrôle."),
                     {text::withoutControls(text)}};
        return bar;
    }
    std::vector<std::string_view> words;
    bool afterChords = false;
    for (const std::string_view word : barWords(text)) {
        if (readMark(word, !words.empty(), bar)) {
            if (!bar.error.empty())
                return bar;
            afterChords = !words.empty();
            continue;
        }
        if (afterChords) {
            bar.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : les signes se tapent avant ou après les accords "
                                                      "de la mesure, pas entre eux."),
                         {std::string(word)}};
            return bar;
        }
        words.push_back(word);
        if (words.size() > 4) {
            bar.error = QT_TRANSLATE_NOOP("Message", "Une mesure tient au plus 4 accords.");
            return bar;
        }
    }
    if (words.empty()) {
        bar.error = QT_TRANSLATE_NOOP("Message", "Une mesure tient au moins un accord (% pour la répéter).");
        return bar;
    }
    // "Dm7." in front of two more: the half-bar chord comes first ("N.C."
    // ends with its own dot: "N.C.." is the no chord taking half the bar).
    bool halfFirst = false;
    if (words.size() == 3 && words[0].size() > 1 && words[0].back() == '.' && words[0] != NoChordQuality) {
        words[0].remove_suffix(1);
        halfFirst = true;
    }
    for (std::size_t k = 0; k < words.size(); ++k) {
        const TypedChord c = readChord(words[k]);
        if (!c.error.empty()) {
            bar.error = c.error;
            return bar;
        }
        bar.chords[k] = c.chord;
        if (c.notice.empty())
            continue;
        if (bar.notice.empty()) {
            bar.notice = c.notice;
            continue;
        }
        // One sentence for the bar: each of its parts listed.
        std::vector<std::string> arguments = bar.notice.arguments();
        for (std::size_t a = 0; a < arguments.size(); ++a)
            arguments[a] += ", " + c.notice.arguments()[a];
        bar.notice = {bar.notice.pattern(), std::move(arguments)};
    }
    bar.count = static_cast<int>(words.size());
    static constexpr int Divisions[5] = {0, 1, 2, 4, 3};
    bar.division = halfFirst ? 5 : Divisions[bar.count];
    return bar;
}

std::string barText(const Bar& bar)
{
    static constexpr int Chords[6] = {0, 1, 2, 4, 3, 3};
    const int count = bar.division >= 1 && bar.division <= 5 ? Chords[bar.division] : 1;
    std::string text;
    for (int s = 1; s <= count; ++s) {
        const Chord& c = bar.slot(s);
        if (s > 1)
            text += ' ';
        if (isNoChord(c)) {
            text += NoChordQuality;
        } else {
            text += rootName(c.root, c.flat != 0);
            if (c.root != 0)
                text += win1252::toUtf8(c.quality.view());
        }
        if (s == 1 && bar.division == 5)
            text += '.';
    }
    return text;
}

std::string barText(const Bar& bar, const BarMarks& marks)
{
    std::string text;
    auto add = [&text](std::string_view word) {
        if (!text.empty())
            text += ' ';
        text += word;
    };
    if (typableSection(marks.section.view()))
        add("[" + marks.section.str() + "]");
    if (marks.ending >= 1 && marks.ending <= 3)
        add(std::to_string(marks.ending) + ".");
    if (marks.flags & SegnoFlag)
        add("S");
    if (marks.flags & CodaFlag)
        add("Q");
    if (bar.left == 1)
        add("|:");
    else if (bar.left == 2)
        add("||");
    if (typableMeter(marks.time))
        add(std::to_string(marks.time.beats) + "/" + std::to_string(marks.time.unit));
    add(barText(bar));
    if (marks.flags & FermataFlag)
        add("f");
    if (bar.right == 1)
        add(":|");
    else if (bar.right == 2)
        add("||");
    if (const std::string_view d = directionText(marks.direction); !d.empty())
        add("<" + std::string(d) + ">");
    return text;
}

void storeTypedBar(Bar& bar, BarMarks& marks, const TypedBar& typed)
{
    bar.division = static_cast<std::uint8_t>(typed.division);
    for (int k = 0; k < typed.count && k < 4; ++k)
        bar.chords[k] = typed.chords[k];
    if (typed.left || typableSign(bar.left))
        bar.left = static_cast<std::int16_t>(typed.left);
    if (typed.right || typableSign(bar.right))
        bar.right = static_cast<std::int16_t>(typed.right);

    const BarMarks& t = typed.marks;
    // A section typed as it was keeps its bytes, those past its end too.
    if ((t.section.size() || typableSection(marks.section.view())) && t.section.view() != marks.section.view())
        setText(marks.section, t.section.view());
    if (t.ending || marks.ending <= 3)
        marks.ending = t.ending;
    marks.flags = static_cast<std::uint8_t>((marks.flags & ~(SegnoFlag | CodaFlag | FermataFlag)) | t.flags);
    if (t.direction != Direction::None || directionText(marks.direction).size()
        || marks.direction == Direction::None)
        marks.direction = t.direction;
    if (!t.time.empty() || typableMeter(marks.time) || marks.time.empty())
        marks.time = t.time;
}

std::optional<TimeSignature> readMeter(std::string_view text) { return typedMeter(text); }

Key readKey(std::string_view text)
{
    text = text::trimmed(text);
    const int natural = text.empty() ? 0 : naturalRoot(text[0]);
    if (!natural)
        return {};
    Key key{};
    int tonic = natural;
    std::string_view rest = text.substr(1);
    auto accidental = [&rest](std::string_view ascii, std::string_view sign) {
        for (std::string_view a : {ascii, sign})
            if (rest.starts_with(a)) {
                rest.remove_prefix(a.size());
                return true;
            }
        return false;
    };
    bool altered = false;
    if (accidental("b", "\xE2\x99\xAD")) {   // "♭"
        tonic = (natural + 10) % 12 + 1;
        key.flat = 1;
        altered = true;
    } else if (accidental("#", "\xE2\x99\xAF")) {   // "♯"
        tonic = natural % 12 + 1;
        altered = true;
    }
    if (rest == "m")
        key.minor = 1;
    else if (!rest.empty())
        return {};
    // Fb, Cb, E# and B# are no tonic a chart writes.
    if (altered && std::string_view(rootName(tonic, key.flat)).size() == 1)
        return {};
    // C major and A minor take the spelling their keys usually have.
    if (!altered)
        key.flat = tonic == 1 && !key.minor;
    key.tonic = static_cast<std::uint8_t>(tonic);
    return key;
}

std::string keyText(Key key)
{
    if (key.empty())
        return {};
    return std::string(rootName(key.tonic, key.flat != 0)) + (key.minor ? "m" : "");
}

} // namespace mavrel
