#include "chordtext.h"

#include "editing.h"
#include "text.h"
#include "win1252.h"

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

TypedBar readBar(std::string_view text)
{
    TypedBar bar;
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ')
            ++end;
        if (end > i)
            words.push_back(text.substr(i, end - i));
        i = end;
    }
    if (words.empty()) {
        bar.error = QT_TRANSLATE_NOOP("Message", "Une mesure tient au moins un accord (% pour la répéter).");
        return bar;
    }
    if (words.size() > 4) {
        bar.error = QT_TRANSLATE_NOOP("Message", "Une mesure tient au plus 4 accords.");
        return bar;
    }
    // "Dm7." in front of two more: the half-bar chord comes first.
    bool halfFirst = false;
    if (words.size() == 3 && words[0].size() > 1 && words[0].back() == '.') {
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

} // namespace mavrel
