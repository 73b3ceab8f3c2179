#include "ireal.h"

#include "editing.h"
#include "key.h"
#include "layout.h"
#include "leadsheet.h"
#include "text.h"
#include "win1252.h"

#include <algorithm>
#include <optional>

namespace mavrel::ireal {

namespace {

constexpr std::string_view MusicPrefix = "1r34LbKcu7";
// What iReal Pro files for a song without a composer.
constexpr std::string_view UnknownComposer = "Composer Unknown";
constexpr int Columns = 4;
// The fields of a song. iReal Pro writes ten: title, composer, an empty one,
// style, key, transposition, music, accompaniment, tempo and repeats. The
// older "irealbook" links have six: title, composer, style, key, "n", music.
constexpr std::size_t SongFields = 10, MusicField = 6;
constexpr std::size_t TranspositionField = 5, GrooveField = 7, TempoField = 8, RepeatsField = 9;
constexpr std::size_t BookFields = 6, BookMusicField = 5;
// The largest playlists hold some 1,500 songs. Past this many the rest of the
// text is not read, so that a text of tiny songs cannot use up the memory.
constexpr std::size_t MaxSongs = 10000;
// Titles, names, styles and comments are cut at this many bytes: far more
// than a text label shows (100 characters), and messages stay short.
constexpr std::size_t MaxTextBytes = 1024;
// A chord's own text is cut at this many bytes before the chart cuts it at 8.
constexpr std::size_t MaxQualityBytes = 64;
// Unreadable signs warned of one by one; past this many, once for them all.
constexpr int MaxUnreadable = 20;

// The first `max` bytes of a UTF-8 text at most, never cutting a character.
std::string_view cut(std::string_view utf8, std::size_t max)
{
    if (utf8.size() <= max)
        return utf8;
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.substr(0, end);
}

// The bytes of the UTF-8 character at the start of `s`: one for a byte that
// starts no character.
std::size_t characterLength(std::string_view s)
{
    const unsigned char b = static_cast<unsigned char>(s[0]);
    const std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
    if (n > s.size())
        return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80)
            return 1;
    return n;
}

// --- links -------------------------------------------------------------------

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

// The fields of a text one after the other, parted by "=", without keeping
// them all: a part of a link may hold millions.
class Fields {
public:
    explicit Fields(std::string_view text) : m_text(text) {}
    bool done() const { return m_done; }
    std::string_view next()
    {
        const std::size_t at = m_text.find('=', m_from);
        const std::string_view field = m_text.substr(m_from, at == std::string_view::npos ? at : at - m_from);
        m_done = at == std::string_view::npos;
        m_from = m_done ? m_text.size() : at + 1;
        return field;
    }
    // Where the next field starts in the text.
    std::size_t offset() const { return m_from; }

private:
    std::string_view m_text;
    std::size_t m_from = 0;
    bool m_done = false;
};

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

// The block permutation of "irealb" music, in place. It is its own inverse.
void permute(std::string& music)
{
    // Only blocks of 50 followed by at least 2 more characters are permuted.
    for (std::size_t block = 0; block + 51 < music.size(); block += 50) {
        for (std::size_t i = 0; i < 24; ++i) {
            if (i >= 5 && i < 10)
                continue;
            std::swap(music[block + i], music[block + 49 - i]);
        }
    }
}

// iReal's abbreviations of "irealb" music spelled out, in place: each is as
// long as what it stands for.
void expandAbbreviations(std::string& music)
{
    constexpr std::pair<std::string_view, std::string_view> Abbreviations[] = {
        {"XyQ", "   "}, {"LZ", " |"}, {"Kcl", "| x"}};
    for (const auto& [from, to] : Abbreviations)
        for (std::size_t at = music.find(from); at != std::string::npos; at = music.find(from, at + to.size()))
            std::copy(to.begin(), to.end(), music.begin() + static_cast<std::ptrdiff_t>(at));
}

// Drops the control characters of a text that comes into the chart, with a
// warning naming them. `pattern` puts the song's title as %1 and the
// characters as %2.
void dropControls(std::string& text, Song& song, const char* pattern)
{
    if (!text::hasControl(text))
        return;
    const std::string found = text::controlsIn(text);
    text = text::withoutControls(text);
    song.warnings.emplace_back(pattern, std::vector<std::string>{text::visible(song.title), found});
}

// A damaged escape: where it stands in the link, and in which field of its
// part of the link.
struct BadEscape {
    std::size_t linkOffset;
    std::size_t field;
    std::string escape;
};

// A part of a link between "===", percent-decoded: one song, or in
// "irealbook" links any number of them. A damaged escape stays as it
// stands, so that only the song holding it is refused; the first one of each
// field is kept.
struct Part {
    std::string text;
    std::vector<BadEscape> bad;
};

// The songs of the links of a text, into a playlist, up to MaxSongs.
class LinkReader {
public:
    explicit LinkReader(Playlist& playlist) : m_playlist(playlist) {}

    // False once the playlist is full: the rest of the text is not read.
    bool read(std::string_view link, bool book);

private:
    bool readPart(Part& part, bool book, bool last);
    // The song of `fields`, the part's from its `first` on; `mayTake` lets
    // the music take the part's memory, which then ends the part.
    Song readSong(Part& part, std::size_t first, std::vector<std::string_view>& fields, bool book, bool mayTake);
    bool add(Song song);

    Playlist& m_playlist;
    std::size_t m_links = 0;     // links read so far
    std::size_t m_badFrom = 0;   // the first damaged escape of the part not yet given to a song
};

// Where the part of `link` that starts at `from` ends: just past its "==="
// (any mix of "=" and "%3D"), or at the end of the link. `decoded` is its
// size once decoded, separator included.
std::size_t partEnd(std::string_view link, std::size_t from, std::size_t& decoded, bool& separated)
{
    int equals = 0;
    decoded = 0;
    separated = false;
    for (std::size_t i = from; i < link.size(); ++i) {
        char c = link[i];
        if (c == '%' && i + 2 < link.size() && text::hexValue(link[i + 1]) >= 0 && text::hexValue(link[i + 2]) >= 0) {
            c = static_cast<char>(text::hexValue(link[i + 1]) * 16 + text::hexValue(link[i + 2]));
            i += 2;
        }
        ++decoded;
        equals = c == '=' ? equals + 1 : 0;
        if (equals == 3) {
            separated = true;
            return i + 1;
        }
    }
    return link.size();
}

// Percent-decodes link[from, end) into the part.
void decode(std::string_view link, std::size_t from, std::size_t end, Part& part)
{
    std::size_t field = 0;
    for (std::size_t i = from; i < end; ++i) {
        // Plain stretches go in whole.
        std::size_t plain = i;
        while (plain < end && link[plain] != '%' && link[plain] != '=')
            ++plain;
        if (plain > i) {
            part.text.append(link.substr(i, plain - i));
            i = plain - 1;
            continue;
        }
        char c = link[i];
        if (c == '%') {
            const int hi = i + 1 < link.size() ? text::hexValue(link[i + 1]) : -1;
            const int lo = i + 2 < link.size() ? text::hexValue(link[i + 2]) : -1;
            if (hi >= 0 && lo >= 0) {
                c = static_cast<char>(hi * 16 + lo);
                i += 2;
            } else if (field < MaxSongs * BookFields && (part.bad.empty() || part.bad.back().field != field)) {
                part.bad.push_back({i, field, std::string(link.substr(i, 3))});
            }
        }
        part.text += c;
        if (c == '=')
            ++field;
    }
}

bool LinkReader::read(std::string_view link, bool book)
{
    ++m_links;
    bool parted = false;
    for (std::size_t from = 0;;) {
        std::size_t size = 0;
        bool separated = false;
        const std::size_t end = partEnd(link, from, size, separated);
        Part part;
        part.text.reserve(size);
        decode(link, from, end, part);
        if (!separated) {
            // The last part, when it is no song, names the playlist.
            if (parted && part.text.find('=') == std::string::npos) {
                if (m_playlist.name.empty())
                    m_playlist.name = text::visible(text::withoutControls(cut(part.text, MaxTextBytes)));
                return true;
            }
            return readPart(part, book, true);
        }
        part.text.resize(part.text.size() - 3);
        if (!readPart(part, book, false))
            return false;
        parted = true;
        from = end;
    }
}

bool LinkReader::readPart(Part& part, bool book, bool last)
{
    if (part.text.empty())
        return true;
    m_badFrom = 0;
    const std::size_t perSong = book ? BookFields : SongFields;
    Fields reader(part.text);
    std::vector<std::string_view> fields;
    for (std::size_t first = 0; !reader.done(); first += perSong) {
        fields.clear();
        while (fields.size() < perSong && !reader.done())
            fields.push_back(reader.next());
        if (!book) {
            // One song to a part: what follows its ten fields is not read.
            return add(readSong(part, first, fields, false, true));
        }
        // "irealbook" links may end with the playlist's name.
        if (fields.size() == 1 && last && first > 0) {
            if (m_playlist.name.empty())
                m_playlist.name = text::visible(text::withoutControls(cut(fields[0], MaxTextBytes)));
            return true;
        }
        if (!add(readSong(part, first, fields, true, reader.done())))
            return false;
    }
    return true;
}

Song LinkReader::readSong(Part& part, std::size_t first, std::vector<std::string_view>& fields, bool book,
                          bool mayTake)
{
    Song song;
    song.title = displayTitle(text::trimmed(cut(fields[0], MaxTextBytes)));
    dropControls(song.title, song,
                 QT_TRANSLATE_NOOP("Message", "« %1 » : le titre contenait des caractères de contrôle (%2), "
                                              "ils sont retirés."));
    // Bytes that are no UTF-8 stand as U+FFFD, in the title and in every
    // message that names the song.
    song.title = text::visible(song.title);
    while (m_badFrom < part.bad.size() && part.bad[m_badFrom].field < first)
        ++m_badFrom;
    if (m_badFrom < part.bad.size() && part.bad[m_badFrom].field < first + fields.size()) {
        const BadEscape& b = part.bad[m_badFrom];
        song.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : séquence « %2 » invalide au caractère %3 du lien."),
                      {song.title, text::visible(b.escape), std::to_string(b.linkOffset + 1)}};
        return song;
    }
    const std::size_t musicField = book ? BookMusicField : MusicField;
    const std::size_t expected = book ? BookFields : SongFields;
    // The music ends where its field does: an "irealb" song whose music is
    // its last field was cut inside it.
    if (fields.size() == musicField + 1 && !book) {
        song.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : le lien est coupé dans la musique, "
                                                   "la fin de la chanson manque."),
                      {song.title}};
        return song;
    }
    if (fields.size() <= musicField) {
        song.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : le lien est coupé : la chanson s'arrête "
                                                   "au champ %2 sur %3."),
                      {song.title, std::to_string(fields.size()), std::to_string(expected)}};
        return song;
    }
    // Spaces around a text say nothing: a field filled with a space is one
    // left empty where an empty field would part the songs.
    if (const std::string_view composer = text::trimmed(cut(fields[1], MaxTextBytes)); composer != UnknownComposer)
        song.composer = swapNames(composer);
    dropControls(song.composer, song,
                 QT_TRANSLATE_NOOP("Message", "« %1 » : le nom du compositeur contenait des caractères de "
                                              "contrôle (%2), ils sont retirés."));
    song.style = std::string(text::trimmed(cut(fields[book ? 2 : 3], MaxTextBytes)));
    dropControls(song.style, song,
                 QT_TRANSLATE_NOOP("Message", "« %1 » : le style contenait des caractères de contrôle (%2), "
                                              "ils sont retirés."));
    song.key = text::withoutControls(text::trimmed(cut(fields[book ? 3 : 4], MaxTextBytes)));
    // The player's settings, read before the music may take the fields' memory.
    auto setting = [&](std::size_t field) {
        return !book && field < fields.size() ? text::withoutControls(text::trimmed(cut(fields[field], 64))) : std::string();
    };
    song.transposition = setting(TranspositionField);
    song.groove = setting(GrooveField);
    song.tempo = setting(TempoField);
    song.repeats = setting(RepeatsField);

    std::string_view music = fields[musicField];
    if (!book) {
        if (!music.starts_with(MusicPrefix)) {
            song.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : la musique ne commence pas par « %2 »."),
                          {song.title, std::string(MusicPrefix)}};
            return song;
        }
        music.remove_prefix(MusicPrefix.size());
    }
    // The music of one long song is most of its part: it takes the part's
    // memory rather than a copy.
    const std::size_t begin = static_cast<std::size_t>(music.data() - part.text.data());
    if (mayTake && music.size() > part.text.size() / 2) {
        const std::size_t size = music.size();
        fields.clear();
        song.music = std::move(part.text);
        song.music.resize(begin + size);
        song.music.erase(0, begin);
    } else {
        song.music = std::string(music);
    }
    if (!book)
        permute(song.music);
    expandAbbreviations(song.music);
    return song;
}

bool LinkReader::add(Song song)
{
    if (m_playlist.songs.size() == MaxSongs) {
        m_playlist.warnings.emplace_back(
            QT_TRANSLATE_NOOP("Message", "Plus de %1 chansons : les suivantes ne sont pas lues."),
            std::vector<std::string>{std::to_string(MaxSongs)});
        return false;
    }
    song.link = m_links - 1;
    m_playlist.songs.push_back(std::move(song));
    return true;
}

// Where a link that starts at `begin` ends. Within quotes, as in an HTML
// attribute, at the closing quote; otherwise at a closing tag ("</a>") or
// the ">" of a tag, but not at the ">" that closes a comment of the music.
// Anywhere at white space and at the "[/url]" of a forum post.
std::size_t linkEnd(std::string_view text, std::size_t begin)
{
    const char quote = begin > 0 && (text[begin - 1] == '"' || text[begin - 1] == '\'') ? text[begin - 1] : 0;
    bool comment = false;
    std::size_t i = begin;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || (c == '[' && next == '/'))
            break;
        if (quote) {
            if (c == quote)
                break;
            continue;
        }
        if (c == '"' || (c == '<' && next == '/') || (c == '>' && !comment))
            break;
        if (c == '<')
            comment = true;
        else if (c == '>')
            comment = false;
    }
    return i;
}

// --- music -------------------------------------------------------------------

struct RawChord {
    int root = 0;              // 1..12, or 0 for no chord ("n")
    bool flat = false;
    std::string quality;       // the chart's text, Windows-1252
    int beats = 1;
    int cells = 1;             // its cell and the empty ones after it
    bool small = false;
};

// What a bar says beside its chords: the marks of its place in the form,
// and its comments, which stop growing once they are more than a label can
// show.
struct Notes {
    std::string section;
    int ending = 0;            // 1..3: an ending's bracket starts here
    TimeSignature time{};      // the meter written here
    bool segno = false;
    bool coda = false;
    bool fermata = false;
    bool end = false;          // "U": iReal's "END"
    std::vector<std::string> comments;   // UTF-8
    std::size_t commentBytes = 0;

    bool empty() const
    {
        return section.empty() && ending == 0 && time.empty() && !segno && !coda && !fermata && !end
            && comments.empty();
    }
    void addComment(std::string comment)
    {
        if (commentBytes >= MaxTextBytes)
            return;
        commentBytes += comment.size();
        comments.push_back(std::move(comment));
    }
    // What follows the last bar goes to it, where its own marks leave room.
    void add(const Notes& o)
    {
        if (section.empty())
            section = o.section;
        if (ending == 0)
            ending = o.ending;
        if (time.empty())
            time = o.time;
        segno = segno || o.segno;
        coda = coda || o.coda;
        fermata = fermata || o.fermata;
        end = end || o.end;
        for (const std::string& c : o.comments)
            addComment(c);
    }
};

struct RawBar {
    std::vector<RawChord> chords;   // the first four: a chart holds no more
    std::size_t chordCount = 0;     // all of them
    bool repeatOne = false;    // "x"
    bool repeatTwo = false;    // "r": this bar and the next repeat the two before
    bool secondOfTwo = false;  // the bar after an "r"
    int left = 0;
    int right = 0;
    int beatsPerBar = 4;
    Notes notes;

    bool hasMusic() const { return chordCount > 0 || repeatOne || repeatTwo; }
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
    if (name == "Couplet" || name == "Verse")
        return 'v';
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return name[0];
    return 0;
}

std::string meterName(TimeSignature t) { return std::to_string(t.beats) + "/" + std::to_string(t.unit); }

// iReal quality spellings and the chord dialog's texts.
struct QualityPair {
    std::string_view ireal;
    std::string_view chart;
};
constexpr QualityPair Qualities[] = {
    {"", ""},       {"-", "m"},   {"7", "7"}, {"^7", "M7"}, {"-7", "m7"}, {"h7", "\xF8"},
    {"o", "dim"},   {"6", "6"},   {"9", "9"}, {"-6", "m6"}, {"h", "\xF8"}, {"^", "M7"},
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
        case '^':
            // iReal's triangle is a major seventh; before a number it only
            // says major ("^9").
            out += i + 1 < ireal.size() && ireal[i + 1] >= '0' && ireal[i + 1] <= '9' ? "M" : "M7";
            break;
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

// Whether a chart quality ends with a bass note: "7/G", "m/Bb".
bool hasBass(std::string_view quality)
{
    const std::size_t slash = quality.rfind('/');
    if (slash == std::string_view::npos)
        return false;
    const std::string_view note = quality.substr(slash + 1);
    return !note.empty() && note.size() <= 2 && note[0] >= 'A' && note[0] <= 'G'
        && (note.size() == 1 || note[1] == 'b' || note[1] == '#');
}

// A bar's chords each hold a cell, and a beat for it and for every empty
// cell after it, small chords as large ones. Beats past the bar's time are
// taken back from the first chord on; beats missing go to the large chords
// from the first on, or to every chord when all of them are small.
void spreadBeats(RawBar& bar)
{
    std::vector<RawChord>& chords = bar.chords;
    if (chords.empty())
        return;
    int total = 0;
    for (const RawChord& c : chords)
        total += c.beats;
    for (bool changed = true; total > bar.beatsPerBar && changed;) {
        changed = false;
        for (RawChord& c : chords) {
            if (total > bar.beatsPerBar && c.beats > 1) {
                --c.beats;
                --total;
                changed = true;
            }
        }
    }
    const bool large = std::any_of(chords.begin(), chords.end(), [](const RawChord& c) { return !c.small; });
    while (total < bar.beatsPerBar) {
        for (RawChord& c : chords) {
            if (total < bar.beatsPerBar && (!c.small || !large)) {
                ++c.beats;
                ++total;
            }
        }
    }
}

int semitone(char letter)
{
    static constexpr int Semitones[7] = {9, 11, 0, 2, 4, 5, 7};   // A..G
    return Semitones[letter - 'A'];
}

// Whether a character begins something the music's grammar reads: what
// does not is skipped with its neighbours as one unreadable sign.
bool startsSign(char c)
{
    constexpr std::string_view Signs = " \t\n\v\f\r,|[]{}ZT*NSQfUYsl<(xrnpW";
    return (c >= 'A' && c <= 'G') || Signs.find(c) != std::string_view::npos;
}

// A character that prints: no control character, in ASCII or in UTF-8.
bool printable(std::string_view s)
{
    const unsigned char b = static_cast<unsigned char>(s[0]);
    if (b < 0x20 || b == 0x7F)
        return false;
    return !(b == 0xC2 && s.size() > 1 && static_cast<unsigned char>(s[1]) >= 0x80
             && static_cast<unsigned char>(s[1]) < 0xA0);
}

class MusicReader {
public:
    MusicReader(const Song& song, std::vector<Message>& warnings)
        : m_song(song), m_m(song.music), m_warnings(warnings)
    {
    }

    // The bars, or nothing with `error` set.
    std::optional<std::vector<RawBar>> read(Message& error);

private:
    struct Fault {
        Message what;
    };

    // `pattern` puts the song's title as %1 and the bar being read as %2,
    // then the arguments.
    void warn(const char* pattern, std::vector<std::string> arguments = {})
    {
        arguments.insert(arguments.begin(), {m_song.title, std::to_string(m_bars.size() + 1)});
        m_warnings.emplace_back(pattern, std::move(arguments));
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
    void addChord(RawChord chord);
    // One beat more for the bar's last chord, if it has one.
    void lengthen();
    std::size_t readChord(std::size_t i);
    std::size_t readComment(std::size_t i);
    std::size_t skipAlternate(std::size_t i);
    std::size_t readBass(std::size_t i, std::string& bass);
    std::size_t skipUnreadable(std::size_t i);

    const Song& m_song;
    std::string_view m_m;
    std::vector<Message>& m_warnings;
    std::vector<RawBar> m_bars;
    RawBar m_bar;
    bool m_open = false;
    Notes m_pending;
    int m_pendingLeft = 0;
    bool m_small = false;
    int m_beatsPerBar = 4;
    std::optional<RawChord> m_lastChord;   // what "p" and "W" repeat
    bool m_noCommentEnd = false;   // no ">" follows: no "<" starts a comment any more
    int m_unreadable = 0;
};

void MusicReader::open(int left)
{
    if (m_open)
        close(0);
    m_bar = RawBar{};
    m_bar.left = left ? left : m_pendingLeft;
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
        if (m_bars.size() == static_cast<std::size_t>(MaxBars))
            throw Fault{{QT_TRANSLATE_NOOP("Message", "« %1 » : plus de %2 mesures, une grille n'en tient pas plus."),
                         {m_song.title, std::to_string(MaxBars)}}};
        m_bar.secondOfTwo = !m_bar.hasMusic();
        for (RawChord& c : m_bar.chords)
            c.cells = c.beats;
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

void MusicReader::addChord(RawChord chord)
{
    openForMusic();
    chord.small = m_small;
    m_lastChord = chord;
    if (m_bar.chords.size() < 4)
        m_bar.chords.push_back(std::move(chord));
    ++m_bar.chordCount;
}

void MusicReader::lengthen()
{
    // Past the fourth chord beats no longer matter: the chart shows four.
    if (m_open && m_bar.chordCount > 0 && m_bar.chordCount <= 4 && m_bar.chords.back().beats < 1000000)
        ++m_bar.chords.back().beats;
}

std::size_t MusicReader::skipUnreadable(std::size_t i)
{
    const std::size_t begin = i;
    const bool control = !printable(m_m.substr(i));
    i += characterLength(m_m.substr(i));
    // A letter right after an unreadable letter belongs to the same word:
    // the "n" of "ine" is no N.C.
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (!control) {
        while (i < m_m.size() && printable(m_m.substr(i))
               && (!startsSign(m_m[i]) || (letter(m_m[i]) && letter(m_m[i - 1]))))
            i += characterLength(m_m.substr(i));
    }
    if (m_unreadable < MaxUnreadable) {
        const std::string_view sign = m_m.substr(begin, i - begin);
        const std::string_view shown = cut(sign, 24);
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : « %3 » illisible, ignoré "
                                          "(caractère %4 de la musique)."),
             {text::visible(shown) + (shown.size() < sign.size() ? "…" : ""), std::to_string(begin + 1)});
    } else if (m_unreadable == MaxUnreadable) {
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : à partir de la mesure %2, d'autres signes illisibles "
                                          "sont ignorés."));
    }
    m_unreadable = std::min(m_unreadable + 1, MaxUnreadable + 1);
    return i;
}

std::size_t MusicReader::skipAlternate(std::size_t i)
{
    if (at(i) != '(')
        return i;
    // What stands between parentheses is drawn small above the chord and
    // not played. A "(" that no ")" closes before the next bar line or the
    // next "(" is no such chord.
    const std::size_t end = m_m.find_first_of("()|[]{}<", i + 1);
    if (end == std::string_view::npos || m_m[end] != ')')
        return i;
    // The chart holds one chord to a place.
    if (const std::string_view alternate = text::trimmed(m_m.substr(i + 1, end - i - 1)); !alternate.empty())
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : l'accord de remplacement « %3 » n'est pas gardé."),
             {text::visible(cut(alternate, 24))});
    return end + 1;
}

std::size_t MusicReader::readBass(std::size_t i, std::string& bass)
{
    if (at(i) != '/' || at(i + 1) < 'A' || at(i + 1) > 'G')
        return i;
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
    std::string quality = chartQuality(cut(m_m.substr(i, length), MaxQualityBytes));
    i += length;
    // A quality of iReal's own is written between stars: "D*m*", "G* AABA*".
    if (at(i) == '*') {
        const std::size_t end = m_m.find_first_of("*|[]{},<>", i + 1);
        if (end != std::string_view::npos && m_m[end] == '*') {
            std::string_view inside = m_m.substr(i + 1, end - i - 1);
            while (!inside.empty() && inside.front() == ' ')
                inside.remove_prefix(1);
            while (!inside.empty() && inside.back() == ' ')
                inside.remove_suffix(1);
            inside = cut(inside, MaxQualityBytes);
            if (text::hasControl(inside))
                warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : « %3 » illisible, ignoré "
                                                  "(caractère %4 de la musique)."),
                     {text::controlsIn(inside), std::to_string(i + 1)});
            quality += win1252::fromUtf8(text::withoutControls(inside));
            i = end + 1;
        }
    }
    std::string bass;
    i = skipAlternate(readBass(i, bass));
    if (!bass.empty())
        quality += '/' + bass;
    RawChord chord;
    chord.root = root % 12 + 1;
    chord.flat = flat;
    chord.quality = std::move(quality);
    addChord(std::move(chord));
    return i;
}

std::size_t MusicReader::readComment(std::size_t i)
{
    const std::size_t end = m_noCommentEnd ? std::string_view::npos : m_m.find('>', i + 1);
    if (end == std::string_view::npos) {
        m_noCommentEnd = true;
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : « < » sans « > » qui ferme le commentaire, "
                                          "ignoré (caractère %3 de la musique)."),
             {std::to_string(i + 1)});
        return i + 1;
    }
    std::string_view text = m_m.substr(i + 1, end - i - 1);
    // "<*74text>": the text drawn 74 units higher.
    if (text.size() >= 3 && text[0] == '*' && text[1] >= '0' && text[1] <= '9')
        text.remove_prefix(3);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::string comment(cut(text, MaxTextBytes));
    if (text::hasControl(comment)) {
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : un commentaire contenait des caractères de "
                                          "contrôle (%3), ils sont retirés."),
             {text::controlsIn(comment)});
        comment = text::withoutControls(comment);
    }
    if (!comment.empty())
        notes().addComment(std::move(comment));
    return end + 1;
}

std::optional<std::vector<RawBar>> MusicReader::read(Message& error)
{
    try {
        std::size_t i = 0;
        while (i < m_m.size()) {
            const char c = m_m[i];
            const std::size_t here = i++;
            switch (c) {
            case ' ': lengthen(); break;
            // White space the grammar does not use, such as the line breaks
            // that end many links of forum posts.
            case '\t': case '\n': case '\v': case '\f': case '\r': break;
            case ',': break;
            case '|': open(0); break;
            case '[': open(2); break;
            case '{': open(1); break;
            case ']': case 'Z': close(2); break;
            case '}': close(1); break;
            case 'T': {
                const char a = at(i), b = at(i + 1);
                const bool twelve = a == '1' && b == '2';
                if (a < '1' || a > '9' || (b != '2' && b != '4' && b != '8' && !twelve)) {
                    i = skipUnreadable(here);
                    break;
                }
                i += 2;
                const TimeSignature time = twelve ? TimeSignature{12, 8}
                                                  : TimeSignature{std::uint8_t(a - '0'), std::uint8_t(b - '0')};
                m_beatsPerBar = time.beats;
                // A meter written after the bar's chords counts from the next bar.
                const bool later = m_open && m_bar.chordCount > 0;
                if (m_open && !later)
                    m_bar.beatsPerBar = m_beatsPerBar;
                Notes& n = later ? m_pending : notes();
                if (!n.time.empty() && n.time != time)
                    warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : deux chiffrages de mesure, %3 puis %4 : "
                                                      "seul le second est gardé."),
                         {meterName(n.time), meterName(time)});
                n.time = time;
                break;
            }
            case '*':
                if (const char s = at(i); (s >= 'A' && s <= 'Z') || (s >= 'a' && s <= 'z')) {
                    notes().section = sectionName(s);
                    ++i;
                } else {
                    i = skipUnreadable(here);
                }
                break;
            case 'N':
                if (at(i) < '0' || at(i) > '9') {
                    i = skipUnreadable(here);
                    break;
                }
                if (at(i) >= '1' && at(i) <= '3' && notes().ending == 0)
                    notes().ending = at(i) - '0';
                else
                    warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : le crochet de fin « N%3 » n'est pas "
                                                      "gardé : une grille a les fins 1 à 3, une par mesure."),
                         {std::string(1, at(i))});
                ++i;
                break;
            case 'S': notes().segno = true; break;
            case 'Q': notes().coda = true; break;
            case 'f': notes().fermata = true; break;
            case 'U': notes().end = true; break;
            // Vertical space between rows: the chart's rows are evenly spaced.
            case 'Y': break;
            case 's': m_small = true; break;
            case 'l': m_small = false; break;
            case '<': i = readComment(here); break;
            case '(':
                i = skipAlternate(here);
                if (i == here)
                    i = skipUnreadable(here);
                break;
            case 'x': openForMusic(); m_bar.repeatOne = true; break;
            case 'r':
                openForMusic();
                if (m_bars.size() < 2) {
                    warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : « r » répète deux mesures et n'en a "
                                                      "que %3 avant lui, il répète la mesure d'avant."),
                         {std::to_string(m_bars.size())});
                    m_bar.repeatOne = true;
                } else {
                    m_bar.repeatTwo = true;
                }
                break;
            case 'n': addChord(RawChord{}); break;
            case 'p':
                // A slash after a chord of the bar lengthens it; at the start
                // of a bar it plays the chord before again.
                if (m_open && m_bar.chordCount > 0) {
                    lengthen();
                } else if (m_lastChord) {
                    RawChord copy = *m_lastChord;
                    copy.beats = 1;
                    addChord(std::move(copy));
                }
                break;
            case 'W': {
                // An invisible root: the chord before, over a new bass.
                std::string bass;
                i = skipAlternate(readBass(i, bass));
                if (m_lastChord) {
                    RawChord copy = *m_lastChord;
                    copy.beats = 1;
                    if (!bass.empty() && copy.root != 0) {
                        if (hasBass(copy.quality))
                            copy.quality.resize(copy.quality.rfind('/'));
                        copy.quality += '/' + bass;
                    }
                    addChord(std::move(copy));
                }
                break;
            }
            default:
                i = c >= 'A' && c <= 'G' ? readChord(here) : skipUnreadable(here);
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
// above the grid; the comments of a bar in small type in its top-left corner.
constexpr int TitleSize = 18, HeaderSize = 10, NoteSize = 7;
constexpr int TitleY = 40, HeaderY = 100;

// The key of the link's field, "Eb", "C-", "F#-", with the tonic spelled as
// written; nothing for a text that is no key. The flag of a white tonic says
// what its signature holds, as the key's own flag would; C major and A minor,
// which hold neither, take the chart's spelling.
std::optional<Key> readKey(std::string_view text, const Chart& chart)
{
    if (text.empty() || text[0] < 'A' || text[0] > 'G')
        return std::nullopt;
    int root = semitone(text[0]);
    std::size_t i = 1;
    bool flat = false, sharp = false;
    if (i < text.size() && (text[i] == 'b' || text[i] == '#')) {
        flat = text[i] == 'b';
        sharp = !flat;
        root += flat ? 11 : 1;
        ++i;
    }
    const bool minor = i < text.size() && text[i] == '-';
    if (i + (minor ? 1 : 0) != text.size())
        return std::nullopt;
    Key key{static_cast<std::uint8_t>(root % 12 + 1), 0, static_cast<std::uint8_t>(minor)};
    if (flat || sharp) {
        key.flat = flat;
    } else if ((key.tonic == 1 && !minor) || (key.tonic == 10 && minor)) {
        const Key heard = detectKey(chart);
        key.flat = heard.tonic == key.tonic && heard.minor == key.minor ? heard.flat : !minor;
    } else {
        key.flat = leadsheet::fifths(key) < 0;
    }
    return key;
}

class ChartWriter {
public:
    ChartWriter(const Song& song, Conversion& result) : m_song(song), m_result(result) {}
    void write(const std::vector<RawBar>& bars);

private:
    // `pattern` puts the song's title as %1, then the arguments.
    void warn(const char* pattern, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), m_song.title);
        m_result.warnings.emplace_back(pattern, std::move(arguments));
    }
    void label(std::string_view utf8, int x, int y, int size, bool bold);
    void fillBar(int index, const std::vector<RawBar>& bars);
    void markBars(const std::vector<RawBar>& bars);
    void noteBar(int index, const std::vector<std::string>& texts);
    void songInfo();

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
        if (c.division != 1 || c.slot(1).root != 0 || isNoChord(c.slot(1)) || !c.shown)
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
    if ((raw.repeatTwo || raw.secondOfTwo) && index >= 2) {
        // Both bars of the pair repeat the bar two before them.
        const int from = playedBar(*m_chart, index - 2);
        const Bar& source = m_chart->bar(from + 1);
        std::copy(std::begin(source.chords), std::end(source.chords), std::begin(c.chords));
        c.division = source.division;
        c.shown = source.shown;
        return;
    }
    // A bar of "x" keeps the "%" of a new bar.
    if (raw.chords.empty())
        return;
    const std::size_t n = raw.chords.size();
    if (raw.chordCount > 4)
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : %3 accords, seuls les 4 premiers sont gardés."),
             {bar, std::to_string(raw.chordCount)});
    for (std::size_t k = 0; k < n; ++k) {
        const RawChord& rc = raw.chords[k];
        Chord& a = c.chords[k];
        if (rc.root == 0) {
            a = noChord();
            continue;
        }
        std::string quality = rc.quality;
        if (quality.size() > MaxQualityLength) {
            if (const std::size_t slash = quality.rfind('/'); slash != std::string::npos && slash <= MaxQualityLength) {
                warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : la basse de « %3 » "
                                                  "ne tient pas en %4 caractères, elle est omise."),
                     {bar, win1252::toUtf8(quality), std::to_string(MaxQualityLength)});
                quality.resize(slash);
            } else {
                warn(QT_TRANSLATE_NOOP("Message", "« %1 » : mesure %2 : « %3 » est coupé à %4 caractères."),
                     {bar, win1252::toUtf8(quality), std::to_string(MaxQualityLength)});
                quality.resize(MaxQualityLength);
            }
        }
        a.root = static_cast<std::uint8_t>(rc.root);
        a.flat = rc.flat ? 1 : 0;
        a.quality.assign(quality);
    }
    // Three chords: two quarter bars then the half (4), or the half first
    // (5), by their beats; in a meter that gives them one each, by the cells
    // they take.
    static constexpr std::uint8_t DivisionByCount[5] = {1, 1, 2, 0, 3};
    c.division = DivisionByCount[n];
    if (n == 3) {
        const RawChord &first = raw.chords[0], &third = raw.chords[2];
        c.division = third.beats != first.beats ? (third.beats > first.beats ? 4 : 5) : third.cells > first.cells ? 4 : 5;
    }
}

// The marks of the form from what the bars say: the meter of the first bar
// is the song's; an ending's bracket runs from its bar to the first bar line
// that closes, or up to the next ending, section or opening bar line; of
// several coda signs the last is the coda and the others say "To Coda";
// comments that name a direction are that direction.
void ChartWriter::markBars(const std::vector<RawBar>& bars)
{
    SongInfo& song = m_chart->song;
    const int count = static_cast<int>(bars.size());
    int lastCoda = 0;
    for (int i = 1; i <= count; ++i)
        if (bars[std::size_t(i - 1)].notes.coda)
            lastCoda = i;
    for (int i = 1; i <= count; ++i) {
        const RawBar& raw = bars[std::size_t(i - 1)];
        const Notes& n = raw.notes;
        BarMarks& marks = song.bar(i);
        if (!n.section.empty())
            setText(marks.section, n.section);
        if (!n.time.empty())
            (i == 1 ? song.time : marks.time) = n.time;
        if (n.ending) {
            for (int j = i; j <= count; ++j) {
                const RawBar& b = bars[std::size_t(j - 1)];
                if (j > i && (b.notes.ending || !b.notes.section.empty() || b.left))
                    break;
                song.bar(j).ending = static_cast<std::uint8_t>(n.ending);
                if (b.right)
                    break;
            }
        }
        marks.flags = static_cast<std::uint8_t>((n.segno ? SegnoFlag : 0) | (n.fermata ? FermataFlag : 0)
                                                | (i == lastCoda ? CodaFlag : 0));
        // A bar holds one direction: a coda sign in a bar that says "D.S.
        // al Coda" is said in words, first, and so is iReal's "END".
        std::vector<std::string> texts;
        for (const std::string& comment : n.comments)
            if (const Direction d = directionNamed(comment); d != Direction::None && marks.direction == Direction::None)
                marks.direction = d;
        if (n.coda && i != lastCoda) {
            if (marks.direction == Direction::None)
                marks.direction = Direction::ToCoda;
            else
                texts.push_back(std::string(directionText(Direction::ToCoda)));
        }
        if (n.end)
            texts.push_back("END");
        bool kept = false;
        for (const std::string& comment : n.comments) {
            if (!kept && directionNamed(comment) == marks.direction && marks.direction != Direction::None)
                kept = true;
            else
                texts.push_back(comment);
        }
        noteBar(i - 1, texts);
    }
}

void ChartWriter::noteBar(int index, const std::vector<std::string>& texts)
{
    const GridInfo& g = m_chart->info;
    const Bar& c = m_chart->bar(index + 1);
    std::string text;
    for (const std::string& t : texts)
        text += (text.empty() ? "" : " ") + t;
    if (text.empty())
        return;
    const int top = std::min(3, g.barHeight / 2 - NoteSize * 2 / 3);
    label(text, c.x + (c.left == 1 ? 11 : 4), c.y + top, NoteSize, false);
}

// The song's texts, key and tempo; what iReal Pro's player alone uses is
// named as it is left behind.
void ChartWriter::songInfo()
{
    SongInfo& song = m_chart->song;
    // A link may hold bytes that are no UTF-8, which a chart file's song
    // information refuses: they stand as U+FFFD.
    setText(song.title, text::visible(m_song.title));
    setText(song.composer, text::visible(m_song.composer));
    setText(song.style, text::visible(m_song.style));
    if (!m_song.key.empty()) {
        if (const std::optional<Key> key = readKey(m_song.key, *m_chart))
            song.key = *key;
        else
            warn(QT_TRANSLATE_NOOP("Message", "« %1 » : la tonalité « %2 » n'est pas lue."), {m_song.key});
    }
    if (!m_song.tempo.empty() && m_song.tempo != "0") {
        const std::string_view t = m_song.tempo;
        const bool digits = t.size() <= 3 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (digits)
            song.tempo = static_cast<std::uint16_t>(std::stoi(m_song.tempo));
        else
            warn(QT_TRANSLATE_NOOP("Message", "« %1 » : le tempo « %2 » n'est pas lu."), {m_song.tempo});
    }
    if (!m_song.groove.empty())
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : l'accompagnement d'iReal Pro « %2 » n'est pas gardé."),
             {m_song.groove});
    if (!m_song.transposition.empty() && m_song.transposition != "0")
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : la transposition d'iReal Pro (%2) n'est pas gardée : "
                                          "la grille est dans la tonalité écrite."),
             {m_song.transposition});
    if (!m_song.repeats.empty() && m_song.repeats != "0" && m_song.repeats != "1")
        warn(QT_TRANSLATE_NOOP("Message", "« %1 » : le nombre de fois qu'iReal Pro joue la grille (%2) "
                                          "n'est pas gardé."),
             {m_song.repeats});
}

void ChartWriter::write(const std::vector<RawBar>& bars)
{
    const int count = static_cast<int>(bars.size());
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

    // The page draws no title, composer or style from the song's
    // information: labels show them.
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
    songInfo();
    markBars(bars);
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
    // What iReal's spelling would not read back the same goes between stars,
    // and so does a quality that starts like an accidental of the root.
    if (qualityLength(out) != out.size() || chartQuality(out) != chart || out.starts_with('b')
        || out.starts_with('#'))
        out = "*" + withoutAny(win1252::toUtf8(chart), "*=|[]{},<>") + "*";
    return out + bass;
}

std::string chordName(const leadsheet::ChordSymbol& chord)
{
    return std::string(rootName(chord.root, chord.flat)) + irealQuality(chord.quality);
}

std::string comment(std::string_view text) { return "<" + withoutAny(text, "<>=") + ">"; }

// "T34", "T12" for 12/8; nothing for a meter iReal Pro does not write.
std::string meterToken(TimeSignature t)
{
    if (t.beats == 12 && t.unit == 8)
        return "T12";
    if (t.beats < 1 || t.beats > 9 || (t.unit != 2 && t.unit != 4 && t.unit != 8))
        return {};
    return "T" + std::to_string(t.beats) + std::to_string(t.unit);
}

// The tokens of a bar beside its chords: its meter, sections, the start of
// an ending, segno and coda, its direction and its texts as comments. A text
// that opens with "END", or with "To Coda" before a coda, is that sign; in
// a chart whose song holds no marks, one that opens with an ending, a meter,
// "Segno" or "Coda" is that mark, as charts imported before the song held
// them keep them in labels.
std::string barNotes(const leadsheet::Measure& bar, bool endingStarts, bool codaSign, bool codaAfter,
                     bool marksInLabels)
{
    std::string marks, words;
    bool time = false;
    for (const std::string& mark : bar.marks) {
        if (const char s = sectionMark(mark))
            marks += std::string("*") + s;
        else
            words += comment(mark);
    }
    if (endingStarts)
        marks += "N" + std::to_string(bar.ending);
    if (bar.flags & SegnoFlag)
        marks += 'S';
    if (codaSign)
        marks += 'Q';
    for (const std::string& text : bar.words) {
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t end = std::min(text.find(' ', i), text.size());
            const std::string_view w = std::string_view(text).substr(i, end - i);
            if (w == "END") {
                words += 'U';
            } else if (w == "To" && codaAfter && std::string_view(text).substr(end).starts_with(" Coda")
                       && (end + 5 == text.size() || text[end + 5] == ' ')) {
                words += 'Q';
                end += 5;
            } else if (!marksInLabels) {
                break;
            } else if (w.size() == 2 && w[0] >= '1' && w[0] <= '3' && w[1] == '.') {
                words += std::string("N") + w[0];
            } else if (w == "12/8") {
                words += "T12";
                time = true;
            } else if (w.size() == 3 && w[1] == '/' && w[0] >= '1' && w[0] <= '9' && w[2] >= '1'
                       && w[2] <= '9') {
                words += std::string("T") + w[0] + w[2];
                time = true;
            } else if (w == "Segno") {
                words += 'S';
            } else if (w == "Coda") {
                words += 'Q';
            } else {
                break;
            }
            i = end + 1;
        }
        if (i < text.size())
            words += comment(text.substr(i));
    }
    const std::string meter = bar.meterShown && !time ? meterToken(bar.meter) : "";
    const bool toCoda = bar.direction == Direction::ToCoda && codaSign;
    return meter + marks + (bar.direction != Direction::None && !toCoda ? comment(directionText(bar.direction)) : "")
        + words;
}

std::string barMusic(const leadsheet::Measure& bar)
{
    const std::string fermata = bar.flags & FermataFlag ? "f" : "";
    if (bar.repeat)
        return fermata + " x  ";
    if (bar.chords.empty())
        return fermata + "    ";
    std::string out;
    for (std::size_t k = 0; k < bar.chords.size(); ++k) {
        const leadsheet::ChordSymbol& c = bar.chords[k];
        if (k > 0 && bar.chords[k - 1].beats == 1)
            out += ',';
        if (k + 1 == bar.chords.size())
            out += fermata;
        out += c.noChord ? "n" : chordName(c);
        out.append(static_cast<std::size_t>(std::max(c.beats - 1, 0)), ' ');
    }
    return out;
}

// The key as iReal Pro names it: each tonic has one name, "Gb" and "Eb-"
// whether the chart spells them so or as F# and D#m.
std::string keyName(Key key)
{
    static constexpr const char* Major[12] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
    static constexpr const char* Minor[12] = {"C-", "C#-", "D-", "Eb-", "E-", "F-",
                                              "F#-", "G-", "G#-", "A-", "Bb-", "B-"};
    if (key.empty())
        return {};
    return (key.minor ? Minor : Major)[key.tonic - 1];
}

} // namespace

Playlist readPlaylist(std::string_view text)
{
    Playlist playlist;
    LinkReader reader(playlist);
    std::size_t from = 0;
    for (std::size_t at = text.find("ireal"); at != std::string_view::npos; at = text.find("ireal", from)) {
        const std::string_view rest = text.substr(at);
        const bool book = rest.starts_with("irealbook://");
        const std::size_t scheme = book ? 12 : rest.starts_with("irealb://") ? 9 : 0;
        from = at + 5;
        if (scheme == 0)
            continue;
        const std::size_t end = linkEnd(text, at);
        if (!reader.read(text.substr(at + scheme, end - at - scheme), book))
            break;
        from = end;
    }
    return playlist;
}

Conversion toChart(const Song& song)
{
    Conversion result;
    result.warnings = song.warnings;
    if (!song.error.empty()) {
        result.error = song.error;
        return result;
    }
    MusicReader reader(song, result.warnings);
    const std::optional<std::vector<RawBar>> bars = reader.read(result.error);
    if (!bars)
        return result;
    if (bars->empty()) {
        result.error = {QT_TRANSLATE_NOOP("Message", "« %1 » : la chanson n'a aucune mesure."), {song.title}};
        return result;
    }
    ChartWriter(song, result).write(*bars);
    return result;
}

std::string toLink(const Chart& chart)
{
    const leadsheet::Sheet sheet = leadsheet::read(chart);
    const std::vector<leadsheet::Measure>& bars = sheet.measures;
    // The last coda sign is the coda; a "To Coda" before it is a coda sign
    // too, and one with no coda after it is written out.
    std::size_t coda = bars.size();
    for (std::size_t i = 0; i < bars.size(); ++i)
        if (bars[i].flags & CodaFlag)
            coda = i;
    const bool marksInLabels = !hasSongInfo(chart.song);
    std::string music;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const leadsheet::Measure& bar = bars[i];
        if (i > 0 && bars[i - 1].right != leadsheet::Sign::None)
            music += bars[i - 1].right == leadsheet::Sign::Repeat ? '}' : ']';
        music += bar.left == leadsheet::Sign::Repeat ? '{' : bar.left == leadsheet::Sign::Double ? '[' : '|';
        const bool codaAfter = coda < bars.size() && i < coda;
        const bool endingStarts = bar.ending && (i == 0 || bars[i - 1].ending != bar.ending);
        music += barNotes(bar, endingStarts, (bar.flags & CodaFlag) || (bar.direction == Direction::ToCoda && codaAfter),
                          codaAfter, marksInLabels);
        music += barMusic(bar);
    }
    if (!bars.empty() && bars.back().right != leadsheet::Sign::None)
        music += bars.back().right == leadsheet::Sign::Repeat ? '}' : 'Z';
    // "=" separates the fields, and control characters have no place in any.
    auto field = [](std::string_view text) { return withoutAny(text::withoutControls(text), "="); };
    // An empty field beside the empty third one would make the "===" that
    // parts songs: a song without a composer has iReal Pro's own "Composer
    // Unknown", one without a style a blank, and one whose chords give no
    // key a transposition of 0.
    const std::string composer = field(sheet.composer);
    const std::string style = field(sheet.style);
    const std::string key = keyName(sheet.key);
    const std::string song = field(storedTitle(sheet.title)) + "="
        + (composer.empty() ? std::string(UnknownComposer) : swapNames(composer)) + "=="
        + (style.empty() ? std::string(" ") : style) + "=" + key + "=" + (key.empty() ? "0" : "") + "="
        + std::string(MusicPrefix) + scramble(field(music)) + "==" + std::to_string(sheet.tempo) + "=0";
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
    permute(out);
    return out;
}

} // namespace mavrel::ireal
