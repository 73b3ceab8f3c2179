#include "style.h"

#include <array>
#include <cctype>
#include <string>
#include <vector>

namespace mavrel::accompaniment {

namespace {

// The words of a text, in small letters: letters, digits and "&" (for
// "R&B"); accented letters are kept as their UTF-8 bytes.
std::vector<std::string> wordsOf(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '&' || u >= 0x80) {
            word += static_cast<char>(std::tolower(u));
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

// A key word stands for a style when it is a word of the text, or starts
// one and has four letters or more ("bossanova", "ballads").
bool says(const std::vector<std::string>& words, std::string_view key)
{
    for (const std::string& w : words)
        if (w == key || (key.size() >= 4 && std::string_view(w).starts_with(key)))
            return true;
    return false;
}

struct KeyWords {
    Style style;
    std::array<std::string_view, 14> words;
};

// In this order: "Jazz Waltz" is a waltz, "Latin Swing" latin, "Funk Rock"
// funk, "Swing Blues" a shuffle.
constexpr KeyWords Styles[] = {
    {Style::Waltz, {"waltz", "valse", "vals", "musette"}},
    {Style::BossaNova, {"bossa"}},
    {Style::Latin, {"latin", "latina", "latino", "latine", "samba", "salsa", "mambo", "cha", "rumba", "afro",
                    "calypso", "merengue", "son", "bolero"}},
    {Style::Latin, {"bol\xC3\xA9ro", "tango", "songo", "montuno", "guajira", "partido", "baiao", "bai\xC3\xA3o",
                    "beguine", "cumbia", "zouk"}},
    {Style::Funk, {"funk", "funky", "soul", "r&b", "rnb", "hip", "fusion"}},
    {Style::Ballad, {"ballad", "ballade"}},
    {Style::Shuffle, {"shuffle", "blues", "boogie"}},
    {Style::Pop, {"rock", "pop", "even", "country", "folk", "disco", "reggae", "gospel", "binaire",
                  "vari\xC3\xA9t\xC3\xA9"}},
    {Style::Swing, {"swing", "jazz", "bop", "bebop", "medium", "manouche", "gypsy", "ternaire", "dixie", "dixieland",
                    "trad"}},
};

constexpr std::string_view Names[StyleCount] = {"swing", "ballad", "bossa", "latin", "pop", "funk", "waltz",
                                                "shuffle"};
constexpr int Tempos[StyleCount] = {140, 70, 130, 180, 110, 100, 150, 120};

} // namespace

Style styleOf(const SongInfo& song)
{
    const std::vector<std::string> words = wordsOf(song.style.view());
    const TimeSignature meter = meterAt(song, 1);
    const bool inThree = meter.beats == 3 && meter.unit <= 4;
    for (const KeyWords& k : Styles)
        for (const std::string_view key : k.words)
            if (!key.empty() && says(words, key))
                return k.style == Style::Swing && inThree ? Style::Waltz : k.style;
    return inThree ? Style::Waltz : Style::Swing;
}

std::optional<Style> styleNamed(std::string_view name)
{
    if (name == "rock")
        return Style::Pop;
    for (int s = 0; s < StyleCount; ++s)
        if (name == Names[s])
            return static_cast<Style>(s);
    return std::nullopt;
}

std::string_view styleName(Style style)
{
    const auto s = static_cast<std::size_t>(style);
    return s < std::size(Names) ? Names[s] : std::string_view();
}

int defaultTempo(Style style, std::string_view styleText)
{
    const auto s = static_cast<std::size_t>(style);
    const int tempo = s < std::size(Tempos) ? Tempos[s] : 120;
    const std::vector<std::string> words = wordsOf(styleText);
    const bool up = says(words, "up") || says(words, "uptempo") || says(words, "fast") || says(words, "rapide")
        || says(words, "vif");
    if (says(words, "slow") || says(words, "lent") || says(words, "lente"))
        return tempo * 2 / 3;
    if (up && says(words, "medium"))
        return tempo * 13 / 10;
    if (up)
        return tempo * 17 / 10;
    return tempo;
}

} // namespace mavrel::accompaniment
