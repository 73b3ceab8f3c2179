#include "ireal.h"

#include "editing.h"
#include "layout.h"
#include "leadsheet.h"
#include "text.h"
#include "win1252.h"

#include <algorithm>
#include <optional>

namespace mavrel::ireal {

namespace {

constexpr std::string_view MusicPrefix = "1r34LbKcu7";
// What iReal Pro files for a song without composer or style.
constexpr std::string_view UnknownComposer = "Composer Unknown";
constexpr std::string_view DefaultStyle = "Medium Swing";
constexpr int Columns = 4;
const char* const UnknownSign =
    QT_TRANSLATE_NOOP("Message", "« %1 » : signe « %4 » inconnu (mesure %2, caractère %3 de la musique).");

// --- links -------------------------------------------------------------------

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A damaged escape: where it stands in the link and in the decoded text.
struct BadEscape {
    std::size_t linkOffset;
    std::size_t textOffset;
    std::string escape;
};

// Percent-decodes, keeping a damaged escape as it stands so that only the
// song holding it is refused.
std::string percentDecode(std::string_view link, std::vector<BadEscape>& bad)
{
    std::string out;
    out.reserve(link.size());
    for (std::size_t i = 0; i < link.size(); ++i) {
        if (link[i] != '%') {
            out += link[i];
            continue;
        }
        const int hi = i + 1 < link.size() ? hexValue(link[i + 1]) : -1;
        const int lo = i + 2 < link.size() ? hexValue(link[i + 2]) : -1;
        if (hi < 0 || lo < 0) {
            bad.push_back({i, out.size(), std::string(link.substr(i, 3))});
            out += '%';
            continue;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

std::string percentEncode(std::string_view text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
            || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 15];
        }
    }
    return out;
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + separator.size();
    }
}

void replaceAll(std::string& s, std::string_view from, std::string_view to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

// iReal files titles as "Girl From Ipanema, The" and composers as "Jobim
// Antonio-Carlos"; the chart shows them the way they are read.
std::string displayTitle(std::string_view title)
{
    if (title.ends_with(", The"))
        return "The " + std::string(title.substr(0, title.size() - 5));
    return std::string(title);
}

std::string storedTitle(std::string_view title)
{
    if (title.starts_with("The ") && title.size() > 4)
        return std::string(title.substr(4)) + ", The";
    return std::string(title);
}

// Swaps the two words of a two-word name; any other name stays.
std::string swapNames(std::string_view name)
{
    const std::size_t space = name.find(' ');
    if (space == std::string_view::npos || space == 0 || space + 1 >= name.size()
        || name.find(' ', space + 1) != std::string_view::npos)
        return std::string(name);
    return std::string(name.substr(space + 1)) + ' ' + std::string(name.substr(0, space));
}

Song readSong(std::string_view text, bool book)
{
    Song song;
    const std::vector<std::string_view> fields = split(text, "=");
    song.title = displayTitle(fields[0]);
    // irealb: Title=Composer=(empty)=Style=Key=Transpose=Music=...
    // irealbook: Title=Composer=Style=Key=n=Music
    const std::size_t needed = book ? 6 : 7;
    if (fields.size() < needed) {
        song.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : %2 champs séparés par « = », "
                                                   "il en faut au moins %3."),
                      {song.title, std::to_string(fields.size()), std::to_string(needed)}};
        return song;
    }
    if (fields[1] != UnknownComposer)
        song.composer = swapNames(fields[1]);
    song.style = std::string(fields[book ? 2 : 3]);
    song.key = std::string(fields[book ? 3 : 4]);
    std::string_view music = fields[book ? 5 : 6];
    if (!book) {
        if (!music.starts_with(MusicPrefix)) {
            song.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : la musique ne commence pas par « %2 »."),
                          {song.title, std::string(MusicPrefix)}};
            return song;
        }
        song.music = scramble(music.substr(MusicPrefix.size()));
    } else {
        song.music = std::string(music);
    }
    replaceAll(song.music, "XyQ", "   ");
    replaceAll(song.music, "LZ", " |");
    replaceAll(song.music, "Kcl", "| x");
    return song;
}

void readLink(std::string_view link, bool book, Playlist& playlist)
{
    std::vector<BadEscape> bad;
    const std::string text = percentDecode(link, bad);
    std::vector<std::string_view> parts = split(text, "===");
    if (!book && parts.size() > 1) {
        if (playlist.name.empty())
            playlist.name = std::string(parts.back());
        parts.pop_back();
    }
    for (std::string_view part : parts) {
        if (part.empty())
            continue;
        Song song = readSong(part, book);
        const std::size_t begin = static_cast<std::size_t>(part.data() - text.data());
        for (const BadEscape& b : bad) {
            if (b.textOffset >= begin && b.textOffset < begin + part.size()) {
                song.error = {QT_TRANSLATE_NOOP("Message",
                                                "« %1 » : séquence « %2 » invalide au caractère %3 du lien."),
                              {song.title, b.escape, std::to_string(b.linkOffset + 1)}};
                break;
            }
        }
        playlist.songs.push_back(std::move(song));
    }
}

bool endsLink(char c)
{
    return c == '"' || c == '<' || c == '>' || c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// --- music -------------------------------------------------------------------

struct RawChord {
    int root;                  // 1..12
    bool flat;
    std::string quality;       // the chart's text, Windows-1252
    int beats = 1;
    bool small = false;
};

// What a bar says beside its chords.
struct Notes {
    std::string section;
    std::vector<int> endings;
    std::string time;          // "3/4" when the time changes here
    bool segno = false;
    bool coda = false;
    std::vector<std::string> comments;   // UTF-8

    bool empty() const
    {
        return section.empty() && endings.empty() && time.empty() && !segno && !coda
            && comments.empty();
    }
    void add(const Notes& o)
    {
        if (section.empty())
            section = o.section;
        endings.insert(endings.end(), o.endings.begin(), o.endings.end());
        if (time.empty())
            time = o.time;
        segno = segno || o.segno;
        coda = coda || o.coda;
        comments.insert(comments.end(), o.comments.begin(), o.comments.end());
    }
};

struct RawBar {
    std::vector<RawChord> chords;
    bool repeatOne = false;    // "x"
    bool repeatTwo = false;    // "r": this bar and the next repeat the two before
    bool secondOfTwo = false;  // the bar after an "r"
    bool noChord = false;      // "n"
    int left = 0;
    int right = 0;
    int beatsPerBar = 4;
    std::size_t at = 0;        // where it starts in the music
    Notes notes;

    bool hasMusic() const { return !chords.empty() || repeatOne || repeatTwo || noChord; }
};

std::string sectionName(char mark)
{
    if (mark == 'i')
        return "Intro";
    if (mark == 'v')
        return "Couplet";
    return std::string(1, mark);
}

char sectionMark(std::string_view name)
{
    if (name == "Intro")
        return 'i';
    if (name == "Couplet")
        return 'v';
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return name[0];
    return 0;
}

std::string timeName(char a, char b)
{
    if (a == '1' && b == '2')
        return "12/8";
    return std::string(1, a) + '/' + b;
}

// iReal quality spellings and the chord dialog's texts.
struct QualityPair {
    std::string_view ireal;
    std::string_view chart;
};
constexpr QualityPair Qualities[] = {
    {"", ""},       {"-", "m"},   {"7", "7"}, {"^7", "M7"}, {"-7", "m7"}, {"h7", "\xF8"},
    {"o", "dim"},   {"6", "6"},   {"9", "9"}, {"-6", "m6"}, {"h", "\xF8"}, {"^", ""},
};

std::string chartQuality(std::string_view ireal)
{
    for (const QualityPair& p : Qualities)
        if (p.ireal == ireal)
            return std::string(p.chart);
    std::string out;
    for (std::size_t i = 0; i < ireal.size(); ++i) {
        switch (ireal[i]) {
        case '-': out += 'm'; break;
        case '^': out += 'M'; break;
        case 'h': out += '\xF8'; break;
        case 'o': out += "dim"; break;
        case '\xC3':
            if (i + 1 < ireal.size() && ireal[i + 1] == '\xB8') {   // "ø" in UTF-8
                out += '\xF8';
                ++i;
                break;
            }
            [[fallthrough]];
        default: out += ireal[i]; break;
        }
    }
    return out;
}

bool isQualityChar(char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '^' || c == 'h' || c == 'o'
        || c == 'b' || c == '#';
}

// The length of the iReal quality at the start of `s`.
std::size_t qualityLength(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const std::string_view rest = s.substr(i);
        if (rest.starts_with("sus") || rest.starts_with("alt") || rest.starts_with("add"))
            i += 3;
        else if (rest.starts_with("\xC3\xB8"))
            i += 2;
        else if (isQualityChar(s[i]))
            ++i;
        else
            break;
    }
    return i;
}

// iReal gives each chord a beat and one more for each empty cell after it,
// then shares the beats left over from the first chord on; a small chord
// keeps one beat.
void spreadBeats(RawBar& bar)
{
    int total = 0;
    for (const RawChord& c : bar.chords)
        total += c.beats;
    for (bool changed = true; total > bar.beatsPerBar && changed;) {
        changed = false;
        for (RawChord& c : bar.chords) {
            if (total > bar.beatsPerBar && c.beats > 1) {
                --c.beats;
                --total;
                changed = true;
            }
        }
    }
    for (bool changed = true; total < bar.beatsPerBar && changed;) {
        changed = false;
        for (RawChord& c : bar.chords) {
            if (total < bar.beatsPerBar && !c.small) {
                ++c.beats;
                ++total;
                changed = true;
            }
        }
    }
}

int semitone(char letter)
{
    static constexpr int Semitones[7] = {9, 11, 0, 2, 4, 5, 7};   // A..G
    return Semitones[letter - 'A'];
}

class MusicReader {
public:
    explicit MusicReader(const Song& song) : m_song(song), m_m(song.music) {}

    // The bars, or nothing with `error` set.
    std::optional<std::vector<RawBar>> read(Message& error);

private:
    struct Fault {
        Message what;
    };

    // `pattern` puts the song's title as %1, the bar as %2, the character of
    // the music as %3 and `detail` as %4.
    [[noreturn]] void fail(const char* pattern, std::size_t at, std::string detail = {}) const
    {
        throw Fault{{pattern,
                     {m_song.title, std::to_string(m_bars.size() + 1), std::to_string(at + 1),
                      std::move(detail)}}};
    }
    char at(std::size_t i) const { return i < m_m.size() ? m_m[i] : '\0'; }

    void open(int left);
    void close(int right);
    void openForMusic()
    {
        if (!m_open)
            open(0);
    }
    Notes& notes() { return m_open ? m_bar.notes : m_pending; }
    const RawChord* previousChord() const;
    void addChord(RawChord chord);
    std::size_t readChord(std::size_t i);
    std::size_t skipAlternate(std::size_t i);
    std::size_t readBass(std::size_t i, std::string& bass);

    const Song& m_song;
    std::string_view m_m;
    std::vector<RawBar> m_bars;
    RawBar m_bar;
    bool m_open = false;
    Notes m_pending;
    int m_pendingLeft = 0;
    bool m_small = false;
    int m_beatsPerBar = 4;
    std::string m_time = "4/4";
    std::size_t m_here = 0;    // the token being read
};

void MusicReader::open(int left)
{
    if (m_open)
        close(0);
    m_bar = RawBar{};
    m_bar.left = left ? left : m_pendingLeft;
    m_bar.at = m_here;
    m_bar.beatsPerBar = m_beatsPerBar;
    m_bar.notes = std::move(m_pending);
    m_pending = Notes{};
    m_pendingLeft = 0;
    m_open = true;
}

void MusicReader::close(int right)
{
    if (!m_open) {
        if (right && !m_bars.empty() && m_bars.back().right == 0)
            m_bars.back().right = right;
        return;
    }
    m_open = false;
    m_bar.right = right;
    if (m_bar.hasMusic() || (!m_bars.empty() && m_bars.back().repeatTwo)) {
        m_bar.secondOfTwo = !m_bar.hasMusic();
        spreadBeats(m_bar);
        m_bars.push_back(std::move(m_bar));
        return;
    }
    // A bar of empty cells only lays the row out: it is no bar of the song.
    // What it carried goes to its neighbours.
    m_pending = std::move(m_bar.notes);
    if (!m_pendingLeft)
        m_pendingLeft = m_bar.left;
    if (right && !m_bars.empty() && m_bars.back().right == 0)
        m_bars.back().right = right;
}

const RawChord* MusicReader::previousChord() const
{
    if (m_open && !m_bar.chords.empty())
        return &m_bar.chords.back();
    for (auto it = m_bars.rbegin(); it != m_bars.rend(); ++it)
        if (!it->chords.empty())
            return &it->chords.back();
    return nullptr;
}

void MusicReader::addChord(RawChord chord)
{
    openForMusic();
    chord.small = m_small;
    m_bar.chords.push_back(std::move(chord));
}

std::size_t MusicReader::skipAlternate(std::size_t i)
{
    if (at(i) != '(')
        return i;
    const std::size_t end = m_m.find(')', i);
    if (end == std::string_view::npos)
        fail(QT_TRANSLATE_NOOP("Message", "« %1 » : accord entre parenthèses sans « ) » "
                                          "(mesure %2, caractère %3 de la musique)."),
             i);
    return end + 1;
}

std::size_t MusicReader::readBass(std::size_t i, std::string& bass)
{
    if (at(i) != '/')
        return i;
    if (at(i + 1) < 'A' || at(i + 1) > 'G')
        fail(QT_TRANSLATE_NOOP("Message", "« %1 » : basse « %4 » de fondamentale inconnue "
                                          "(mesure %2, caractère %3 de la musique)."),
             i, std::string(m_m.substr(i, 2)));
    bass = m_m.substr(i + 1, at(i + 2) == 'b' || at(i + 2) == '#' ? 2 : 1);
    return i + 1 + bass.size();
}

std::size_t MusicReader::readChord(std::size_t i)
{
    const char letter = m_m[i++];
    int root = semitone(letter);
    bool flat = false;
    if (at(i) == 'b' || at(i) == '#') {
        flat = at(i) == 'b';
        root += flat ? 11 : 1;
        ++i;
    }
    const std::size_t length = qualityLength(m_m.substr(i));
    std::string quality = chartQuality(m_m.substr(i, length));
    i += length;
    // A quality of iReal's own is written between stars: "D*m*".
    if (at(i) == '*') {
        const std::size_t end = m_m.find('*', i + 1);
        const std::string_view inside =
            m_m.substr(i + 1, end == std::string_view::npos ? 0 : end - i - 1);
        if (end != std::string_view::npos && inside.find_first_of(" |[]{},<") == std::string_view::npos) {
            quality += win1252::fromUtf8(inside);
            i = end + 1;
        }
    }
    std::string bass;
    i = skipAlternate(readBass(i, bass));
    if (!bass.empty())
        quality += '/' + bass;
    addChord({root % 12 + 1, flat, std::move(quality)});
    return i;
}

std::optional<std::vector<RawBar>> MusicReader::read(Message& error)
{
    try {
        std::size_t i = 0;
        while (i < m_m.size()) {
            const char c = m_m[i];
            const std::size_t here = m_here = i++;
            switch (c) {
            case ' ':
                if (m_open && !m_bar.chords.empty() && !m_bar.chords.back().small)
                    ++m_bar.chords.back().beats;
                break;
            case ',': break;
            case '|': open(0); break;
            case '[': open(2); break;
            case '{': open(1); break;
            case ']': case 'Z': close(2); break;
            case '}': close(1); break;
            case 'T': {
                const char a = at(i), b = at(i + 1);
                if (a < '1' || a > '9' || b < '1' || b > '9')
                    fail(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure « %4 » inconnue "
                                                      "(mesure %2, caractère %3 de la musique)."),
                         here, std::string(m_m.substr(here, 3)));
                i += 2;
                m_beatsPerBar = a == '1' && b == '2' ? 12 : a - '0';
                if (m_open && m_bar.chords.empty())
                    m_bar.beatsPerBar = m_beatsPerBar;
                const std::string name = timeName(a, b);
                if (name != m_time)
                    notes().time = name;
                m_time = name;
                break;
            }
            case '*':
                if (const char s = at(i); (s >= 'A' && s <= 'Z') || (s >= 'a' && s <= 'z')) {
                    notes().section = sectionName(s);
                    ++i;
                }
                break;
            case 'N':
                if (at(i) < '0' || at(i) > '9')
                    fail(UnknownSign, here, std::string(m_m.substr(here, 2)));
                if (at(i) != '0')
                    notes().endings.push_back(at(i) - '0');
                ++i;
                break;
            case 'S': notes().segno = true; break;
            case 'Q': notes().coda = true; break;
            case 'f': case 'U': case 'Y': break;
            case 's': m_small = true; break;
            case 'l': m_small = false; break;
            case '<': {
                const std::size_t end = m_m.find('>', i);
                if (end == std::string_view::npos)
                    fail(QT_TRANSLATE_NOOP("Message", "« %1 » : commentaire sans « > » "
                                                      "(mesure %2, caractère %3 de la musique)."),
                         here);
                std::string_view text = m_m.substr(i, end - i);
                // "<*74text>": the text drawn 74 units higher.
                if (text.size() >= 3 && text[0] == '*' && text[1] >= '0' && text[1] <= '9')
                    text.remove_prefix(3);
                while (!text.empty() && text.front() == ' ')
                    text.remove_prefix(1);
                while (!text.empty() && text.back() == ' ')
                    text.remove_suffix(1);
                if (!text.empty())
                    notes().comments.emplace_back(text);
                i = end + 1;
                break;
            }
            case '(': i = skipAlternate(here); break;
            case 'x': openForMusic(); m_bar.repeatOne = true; break;
            case 'r': openForMusic(); m_bar.repeatTwo = true; break;
            case 'n': openForMusic(); m_bar.noChord = true; break;
            case 'p':
                // A slash after a chord of the bar lengthens it; at the start
                // of a bar it plays the chord before again.
                if (m_open && !m_bar.chords.empty()) {
                    if (!m_bar.chords.back().small)
                        ++m_bar.chords.back().beats;
                } else if (const RawChord* before = previousChord()) {
                    RawChord copy = *before;
                    copy.beats = 1;
                    addChord(std::move(copy));
                }
                break;
            case 'W': {
                // An invisible root: the chord before, over a new bass.
                std::string bass;
                i = skipAlternate(readBass(i, bass));
                if (const RawChord* before = previousChord()) {
                    RawChord copy = *before;
                    copy.beats = 1;
                    if (!bass.empty()) {
                        copy.quality = copy.quality.substr(0, copy.quality.rfind('/'));
                        copy.quality += '/' + bass;
                    }
                    addChord(std::move(copy));
                }
                break;
            }
            default:
                if (c >= 'A' && c <= 'G') {
                    i = readChord(here);
                } else if (c >= 'A' && c <= 'Z') {
                    fail(QT_TRANSLATE_NOOP("Message", "« %1 » : accord « %4 » de fondamentale inconnue "
                                                      "(mesure %2, caractère %3 de la musique)."),
                         here, std::string(1, c));
                } else {
                    const std::size_t n = (static_cast<unsigned char>(c) & 0xE0) == 0xC0 ? 2
                        : (static_cast<unsigned char>(c) & 0xF0) == 0xE0                 ? 3
                                                                                          : 1;
                    fail(UnknownSign, here, std::string(m_m.substr(here, n)));
                }
                break;
            }
        }
        if (m_open)
            close(0);
        if (!m_pending.empty() && !m_bars.empty())
            m_bars.back().notes.add(m_pending);
        return std::move(m_bars);
    } catch (const Fault& f) {
        error = f.what;
        return std::nullopt;
    }
}

// --- charts ------------------------------------------------------------------

// Text widths are guessed from the label font's average advance: the layer
// below the drawing has no font metrics.
int textWidth(std::string_view win1252, int size)
{
    return static_cast<int>(win1252.size()) * size * 96 / 72 * 6 / 10;
}

// Label sizes and places: the title, then style (left) and composer (right)
// above the grid; section marks in the margin before their row; everything
// else a bar says in small type in its top-left corner.
constexpr int TitleSize = 18, HeaderSize = 10, SectionSize = 12, NoteSize = 7;
constexpr int TitleY = 40, HeaderY = 100;

class ChartWriter {
public:
    ChartWriter(const Song& song, Conversion& result) : m_song(song), m_result(result) {}
    bool write(const std::vector<RawBar>& bars);

private:
    // `pattern` puts the song's title as %1, then the arguments.
    void warn(const char* pattern, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), m_song.title);
        m_result.warnings.emplace_back(pattern, std::move(arguments));
    }
    void label(std::string_view utf8, int x, int y, int size, bool bold);
    void fillBar(int index, const std::vector<RawBar>& bars);
    void noteBar(int index, const RawBar& raw);

    const Song& m_song;
    Conversion& m_result;
    Chart* m_chart = nullptr;
    bool m_labelsFull = false;
};

void ChartWriter::label(std::string_view utf8, int x, int y, int size, bool bold)
{
    const std::string text = win1252::fromUtf8(utf8);
    if (text.empty())
        return;
    if (!commitLabel(*m_chart, text, x, y, size, bold) && !m_labelsFull) {
        m_labelsFull = true;
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : plus de %2 textes, les suivants sont omis."),
             {std::to_string(MaxLabels)});
    }
}

// The first bar at or before `index` (0-based) that is not a lone "%".
int playedBar(const Chart& chart, int index)
{
    while (index > 0) {
        const Bar& c = chart.bar(index + 1);
        if (c.division != 1 || c.slot(1).root != 0 || !c.shown)
            break;
        --index;
    }
    return index;
}

void ChartWriter::fillBar(int index, const std::vector<RawBar>& bars)
{
    const RawBar& raw = bars[static_cast<std::size_t>(index)];
    Bar& c = m_chart->bar(index + 1);
    c.left = static_cast<std::int16_t>(raw.left);
    c.right = static_cast<std::int16_t>(raw.right);
    const std::string bar = std::to_string(index + 1);
    if (raw.repeatTwo || raw.secondOfTwo) {
        // Both bars of the pair repeat the bar two before them.
        const int from = playedBar(*m_chart, index - 2);
        const Bar& source = m_chart->bar(from + 1);
        std::copy(std::begin(source.chords), std::end(source.chords), std::begin(c.chords));
        c.division = source.division;
        c.shown = source.shown;
        return;
    }
    if (raw.chords.empty()) {
        // "x" keeps the "%" of a new bar; a bar of "n" alone is hidden, and
        // says so in its first slot (a hidden bar shows nothing of it), so
        // that it stays a bar of the song where an empty hidden bar is the
        // grid's padding.
        if (raw.noChord && !raw.repeatOne) {
            c.shown = 0;
            c.slot(1).quality.assign(leadsheet::NoChordText);
        }
        return;
    }
    if (raw.noChord)
        warn(QT_TRANSLATE_NOOP("Message",
                               "« %1 » : mesure %2 : « N.C. » n'a pas de place parmi les accords, il est omis."),
             {bar});
    const std::size_t n = std::min<std::size_t>(raw.chords.size(), 4);
    if (raw.chords.size() > 4)
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : %3 accords, seuls les 4 premiers sont gardés."),
             {bar, std::to_string(raw.chords.size())});
    for (std::size_t k = 0; k < n; ++k) {
        const RawChord& rc = raw.chords[k];
        std::string quality = rc.quality;
        if (quality.size() > 8) {
            if (const std::size_t slash = quality.rfind('/'); slash != std::string::npos && slash <= 8) {
                warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : la basse de « %3 » "
                                                  "ne tient pas en 8 caractères, elle est omise."),
                     {bar, win1252::toUtf8(quality)});
                quality.resize(slash);
            } else {
                warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : « %3 » est coupé à 8 caractères."),
                     {bar, win1252::toUtf8(quality)});
                quality.resize(8);
            }
        }
        Chord& a = c.chords[k];
        a.root = static_cast<std::uint8_t>(rc.root);
        a.flat = rc.flat ? 1 : 0;
        a.quality.assign(quality);
    }
    static constexpr std::uint8_t DivisionByCount[5] = {1, 1, 2, 0, 3};
    c.division = DivisionByCount[n];
    if (n == 3)
        c.division = raw.chords[2].beats > raw.chords[0].beats ? 4 : 5;
}

void ChartWriter::noteBar(int index, const RawBar& raw)
{
    const GridInfo& g = m_chart->info;
    const Bar& c = m_chart->bar(index + 1);
    const Notes& n = raw.notes;
    std::string text;
    auto append = [&](std::string_view s) {
        if (!text.empty())
            text += ' ';
        text += s;
    };
    if (!n.section.empty()) {
        if (index % Columns == 0) {
            const int width = textWidth(n.section, SectionSize);
            label(n.section, std::max(2, g.sideMargin - 6 - width),
                  c.y + g.barHeight / 2 - SectionSize * 2 / 3, SectionSize, true);
        } else {
            append("[" + n.section + "]");
        }
    }
    for (int e : n.endings)
        append(std::to_string(e) + ".");
    if (!n.time.empty())
        append(n.time);
    if (n.segno)
        append("Segno");
    if (n.coda)
        append("Coda");
    for (const std::string& comment : n.comments)
        append(comment);
    if (text.empty())
        return;
    const int top = std::min(3, g.barHeight / 2 - NoteSize * 2 / 3);
    label(text, c.x + (c.left == 1 ? 11 : 4), c.y + top, NoteSize, false);
}

bool ChartWriter::write(const std::vector<RawBar>& bars)
{
    const int count = static_cast<int>(bars.size());
    for (int i = 0; i < count; ++i) {
        const RawBar& raw = bars[static_cast<std::size_t>(i)];
        if (raw.repeatTwo && i < 2) {
            m_result.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : « r » répète deux mesures "
                                                           "et n'en a que %2 avant lui "
                                                           "(mesure %3, caractère %4 de la musique)."),
                              {m_song.title, std::to_string(i), std::to_string(i + 1),
                               std::to_string(raw.at + 1)}};
            return false;
        }
    }
    m_result.chart = std::make_unique<Chart>();
    m_chart = m_result.chart.get();
    resetChart(*m_chart);
    m_chart->info.columns = Columns;
    m_chart->info.rows = (count + Columns - 1) / Columns;
    layoutChart(*m_chart);
    for (int i = 0; i < count; ++i)
        fillBar(i, bars);
    for (int i = count + 1; i <= m_chart->info.count; ++i)
        m_chart->bar(i).shown = 0;

    const GridInfo& g = m_chart->info;
    const std::string title = win1252::fromUtf8(m_song.title);
    label(m_song.title, std::max(2, (g.pageWidth - textWidth(title, TitleSize)) / 2), TitleY,
          TitleSize, true);
    label(m_song.style, g.sideMargin, HeaderY, HeaderSize, false);
    const int gridRight = g.sideMargin + Columns * (g.barWidth - 1) + 1;
    const std::string composer = win1252::fromUtf8(m_song.composer);
    label(m_song.composer,
          std::max(g.pageWidth / 2, gridRight - textWidth(composer, HeaderSize)), HeaderY,
          HeaderSize, false);
    for (int i = 0; i < count; ++i)
        noteBar(i, bars[static_cast<std::size_t>(i)]);
    return true;
}

// --- links from charts -------------------------------------------------------

// "=" separates the fields of a song, "<" and ">" enclose a comment, stars
// and bar lines end a quality: a text to put in a link goes without them.
std::string withoutAny(std::string_view text, std::string_view refused)
{
    std::string out;
    for (char c : text)
        if (refused.find(c) == std::string_view::npos)
            out += c;
    return out;
}

// The iReal spelling of a chart's quality: the dialog's texts by the table,
// others sign by sign; what iReal could not read goes between stars.
std::string irealQuality(std::string_view chart)
{
    std::string bass = leadsheet::readQuality(chart).bass;
    if (!bass.empty()) {
        chart.remove_suffix(bass.size() + 1);
        bass.insert(0, 1, '/');
    }
    for (const QualityPair& p : Qualities)
        if (p.chart == chart)
            return std::string(p.ireal) + bass;
    std::string out;
    for (std::size_t i = 0; i < chart.size();) {
        const std::string_view rest = chart.substr(i);
        auto take = [&](std::string_view word, std::string_view as) {
            if (!rest.starts_with(word))
                return false;
            out += as;
            i += word.size();
            return true;
        };
        if (take("dim", "o") || take("maj", "^") || take("min", "-") || take("aug", "+")
            || take("sus", "sus") || take("alt", "alt") || take("add", "add") || take("m", "-")
            || take("M", "^") || take("\xF8", "h") || take("\xB0", "o") || take("(", "")
            || take(")", "") || take(" ", "") || take(",", ""))
            continue;
        out += chart[i++];
    }
    if (qualityLength(out) != out.size())
        out = "*" + withoutAny(win1252::toUtf8(chart), "*=|[]{},<> ") + "*";
    return out + bass;
}

std::string chordName(const leadsheet::ChordSymbol& chord)
{
    return std::string(rootName(chord.root, chord.flat)) + irealQuality(chord.quality);
}

std::string comment(std::string_view text) { return "<" + withoutAny(text, "<>=") + ">"; }

// The tokens a bar's texts stand for: its sections, then the ending, time,
// segno and coda words that open a text, and the rest of the text as a
// comment.
std::string barNotes(const leadsheet::Measure& bar, bool first)
{
    std::string out;
    bool time = false;
    for (const std::string& mark : bar.marks) {
        if (const char s = sectionMark(mark))
            out += std::string("*") + s;
        else
            out += comment(mark);
    }
    for (const std::string& words : bar.words) {
        std::size_t i = 0;
        while (i < words.size()) {
            const std::size_t end = std::min(words.find(' ', i), words.size());
            const std::string_view w = std::string_view(words).substr(i, end - i);
            if (w.size() == 2 && w[0] >= '1' && w[0] <= '9' && w[1] == '.') {
                out += std::string("N") + w[0];
            } else if (w == "12/8") {
                out += "T12";
                time = true;
            } else if (w.size() == 3 && w[1] == '/' && w[0] >= '1' && w[0] <= '9' && w[2] >= '1'
                       && w[2] <= '9') {
                out += std::string("T") + w[0] + w[2];
                time = true;
            } else if (w == "Segno") {
                out += 'S';
            } else if (w == "Coda") {
                out += 'Q';
            } else {
                break;
            }
            i = end + 1;
        }
        if (i < words.size())
            out += comment(words.substr(i));
    }
    if (first && !time)
        out = "T44" + out;
    return out;
}

std::string barMusic(const leadsheet::Measure& bar)
{
    if (bar.repeat)
        return " x  ";
    if (bar.chords.empty())
        return "    ";
    std::string out;
    for (std::size_t k = 0; k < bar.chords.size(); ++k) {
        const leadsheet::ChordSymbol& c = bar.chords[k];
        if (k > 0 && bar.chords[k - 1].beats == 1)
            out += ',';
        out += c.noChord ? "n" : chordName(c);
        out.append(static_cast<std::size_t>(std::max(c.beats - 1, 0)), ' ');
    }
    return out;
}

std::string keyOf(const leadsheet::Sheet& sheet)
{
    for (const leadsheet::Measure& bar : sheet.measures) {
        for (const leadsheet::ChordSymbol& c : bar.chords) {
            if (c.noChord)
                continue;
            const leadsheet::Quality q = leadsheet::readQuality(c.quality);
            return std::string(rootName(c.root, c.flat)) + (q.minor || q.halfDiminished ? "-" : "");
        }
    }
    return "C";
}

} // namespace

Playlist readPlaylist(std::string_view text)
{
    Playlist playlist;
    std::size_t from = 0;
    for (std::size_t at = text.find("ireal"); at != std::string_view::npos; at = text.find("ireal", from)) {
        const std::string_view rest = text.substr(at);
        const bool book = rest.starts_with("irealbook://");
        const std::size_t scheme = book ? 12 : rest.starts_with("irealb://") ? 9 : 0;
        from = at + 5;
        if (scheme == 0)
            continue;
        std::size_t end = at + scheme;
        while (end < text.size() && !endsLink(text[end]))
            ++end;
        readLink(text.substr(at + scheme, end - at - scheme), book, playlist);
        from = end;
    }
    return playlist;
}

Conversion toChart(const Song& song)
{
    Conversion result;
    if (!song.error.empty()) {
        result.error = song.error;
        return result;
    }
    MusicReader reader(song);
    const std::optional<std::vector<RawBar>> bars = reader.read(result.error);
    if (!bars)
        return result;
    if (bars->empty()) {
        result.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : la chanson n'a aucune mesure."), {song.title}};
        return result;
    }
    if (bars->size() > static_cast<std::size_t>(MaxBars)) {
        result.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : %2 mesures, une grille en tient au plus %3."),
                        {song.title, std::to_string(bars->size()), std::to_string(MaxBars)}};
        return result;
    }
    ChartWriter writer(song, result);
    if (!writer.write(*bars))
        result.chart.reset();
    return result;
}

std::string toLink(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
    std::string music;
    const leadsheet::Measure* previous = nullptr;
    for (const leadsheet::Measure& bar : sheet.measures) {
        if (previous && previous->right != leadsheet::Sign::None)
            music += previous->right == leadsheet::Sign::Repeat ? '}' : ']';
        music += bar.left == leadsheet::Sign::Repeat ? '{' : bar.left == leadsheet::Sign::Double ? '[' : '|';
        music += barNotes(bar, previous == nullptr);
        music += barMusic(bar);
        previous = &bar;
    }
    if (previous && previous->right != leadsheet::Sign::None)
        music += previous->right == leadsheet::Sign::Repeat ? '}' : 'Z';
    // "=" separates the fields, and control characters have no place in any.
    auto field = [](std::string_view text) { return withoutAny(text::withoutControls(text), "="); };
    // Empty fields would make the "===" that parts songs.
    const std::string composer = field(sheet.composer);
    const std::string style = field(sheet.style);
    const std::string song = field(storedTitle(sheet.title)) + "="
        + (composer.empty() ? std::string(UnknownComposer) : swapNames(composer)) + "=="
        + (style.empty() ? std::string(DefaultStyle) : style) + "=" + keyOf(sheet) + "==" + std::string(MusicPrefix)
        + scramble(field(music)) + "==0=0";
    return "irealb://" + percentEncode(song);
}

std::string chartFileName(std::string_view title, int number)
{
    std::string base;
    for (std::size_t i = 0; i < title.size(); ++i) {
        const char c = title[i];
        const auto byte = static_cast<unsigned char>(c);
        // C1 controls are two bytes in UTF-8: 0xC2 then 0x80..0x9F.
        if (byte == 0xC2 && i + 1 < title.size()
            && (static_cast<unsigned char>(title[i + 1]) & 0xE0) == 0x80) {
            base += '_';
            ++i;
            continue;
        }
        const bool refused =
            byte < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        base += refused ? '_' : c;
    }
    // Leading dots would hide the file; trailing dots and spaces are dropped
    // by some file systems.
    while (!base.empty() && (base.front() == '.' || base.front() == ' '))
        base.erase(base.begin());
    while (!base.empty() && (base.back() == '.' || base.back() == ' '))
        base.pop_back();
    constexpr std::size_t MaxBytes = 120;
    if (base.size() > MaxBytes) {
        std::size_t cut = MaxBytes;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
            --cut;
        base.resize(cut);
    }
    if (base.empty())
        base = "Sans titre";
    return number > 1 ? base + " (" + std::to_string(number) + ").bab" : base + ".bab";
}

std::string scramble(std::string_view music)
{
    std::string out(music);
    // Only blocks of 50 followed by at least 2 more characters are permuted.
    for (std::size_t block = 0; block + 51 < music.size(); block += 50) {
        for (std::size_t i = 0; i < 24; ++i) {
            if (i >= 5 && i < 10)
                continue;
            out[block + i] = music[block + 49 - i];
            out[block + 49 - i] = music[block + i];
        }
    }
    return out;
}

} // namespace mavrel::ireal
