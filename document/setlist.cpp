#include "setlist.h"

#include "editing.h"
#include "ireal.h"
#include "key.h"
#include "leadsheet.h"
#include "text.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

namespace mavrel {

namespace {

constexpr std::string_view Magic = "# Mavrel set list ";
constexpr std::string_view NameField = "Name:";
constexpr std::string_view Separator = " | ";

bool isSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// `text` with the bytes a line cannot hold as they are written as %XX.
// `path` also protects a "#" at the start, which would make a comment.
std::string escaped(std::string_view text, bool path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool atEnd = i == 0 || i + 1 == text.size();
        const bool escape = byte == '%' || byte == '|' || byte < 0x20 || byte == 0x7F
            || (isSpace(text[i]) && atEnd) || (path && i == 0 && byte == '#');
        if (escape) {
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += text[i];
        }
    }
    return out;
}

// A "%" not followed by two hexadecimal digits is kept as it is: a file
// mended by hand still reads.
std::string unescaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && text::hexValue(text[i + 1]) >= 0 && text::hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(text::hexValue(text[i + 1]) * 16 + text::hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The text cut to MaxSetListText bytes, on a character boundary.
std::string cut(std::string text)
{
    if (text.size() > MaxSetListText) {
        std::size_t end = MaxSetListText;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        text.resize(end);
    }
    return text;
}

Message lineWarning(const char* pattern, std::size_t line, std::string_view detail = {})
{
    return Message(pattern, {std::to_string(line), std::string(detail)});
}

// One song's line; false, with the warning, when it cannot be read.
bool readSong(std::string_view line, std::size_t number, SetListSong& song, std::vector<Message>& warnings)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(trimmed(line.substr(start, bar == std::string_view::npos ? bar : bar - start)));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    song.path = unescaped(fields.front());
    if (song.path.empty()) {
        warnings.push_back(lineWarning(QT_TRANSLATE_NOOP("Message", "Ligne %1 : aucun fichier de grille."), number));
        return false;
    }
    if (song.path.size() > MaxSetListText) {
        warnings.push_back(lineWarning(QT_TRANSLATE_NOOP("Message", "Ligne %1 : trop longue, ignorée."), number));
        return false;
    }
    // A field that cannot be read is left out; the song itself is kept.
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const std::string_view field = fields[i];
        const std::size_t equals = field.find('=');
        const std::string_view name = trimmed(field.substr(0, equals));
        const std::string value =
            equals == std::string_view::npos ? std::string() : unescaped(trimmed(field.substr(equals + 1)));
        if (name == "key" && equals != std::string_view::npos) {
            if (const std::optional<Key> key = keyNamed(value))
                song.key = *key;
            else
                warnings.push_back(lineWarning(
                    QT_TRANSLATE_NOOP("Message", "Ligne %1 : « %2 » n'est pas une tonalité."), number,
                    text::withoutControls(value)));
        } else if (name == "part" && equals != std::string_view::npos) {
            const std::optional<Instrument> part = instrumentNamed(value);
            if (part)
                song.part = *part;
            else
                warnings.push_back(lineWarning(
                    QT_TRANSLATE_NOOP("Message", "Ligne %1 : « %2 » n'est pas une partie (Bb, Eb ou F)."), number,
                    text::withoutControls(value)));
        } else if (name == "note" && equals != std::string_view::npos) {
            song.note = cut(value);
        } else if (!field.empty()) {
            warnings.push_back(lineWarning(QT_TRANSLATE_NOOP("Message", "Ligne %1 : champ inconnu « %2 »."),
                                           number, text::withoutControls(unescaped(field))));
        }
    }
    return true;
}

} // namespace

std::string setListText(const SetList& list)
{
    std::string out(Magic);
    out += std::to_string(SetListVersion);
    out += '\n';
    out += NameField;
    out += ' ';
    out += escaped(cut(list.name), false);
    out += '\n';
    for (const SetListSong& song : list.songs) {
        out += escaped(song.path, true);
        if (!song.key.empty())
            out += std::string(Separator) + "key=" + keyName(song.key);
        if (song.part != Instrument::Concert)
            out += std::string(Separator) + "part=" + std::string(partName(song.part));
        if (!song.note.empty())
            out += std::string(Separator) + "note=" + escaped(cut(song.note), false);
        out += '\n';
    }
    return out;
}

SetListReading readSetListText(std::string_view text)
{
    SetListReading r;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::size_t number = 0;
    bool header = false;
    bool named = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!header) {
            // The first line, and only it, says what the file is.
            const std::string_view digits = line.starts_with(Magic) ? line.substr(Magic.size()) : std::string_view();
            const bool ours = !digits.empty() && digits.size() < 6
                && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (!ours) {
                r.error = Message(QT_TRANSLATE_NOOP("Message", "Ce fichier n'est pas une liste de morceaux."));
                return r;
            }
            if (std::stoi(std::string(digits)) > SetListVersion)
                r.warnings.push_back(Message(QT_TRANSLATE_NOOP(
                    "Message", "Cette liste vient d'une version plus récente : ce qui n'a pas pu être lu est ignoré.")));
            header = true;
            continue;
        }
        if (line.size() > MaxSetListLine) {
            r.warnings.push_back(
                lineWarning(QT_TRANSLATE_NOOP("Message", "Ligne %1 : trop longue, ignorée."), number));
            continue;
        }
        const std::string_view content = trimmed(line);
        if (content.empty() || content.front() == '#')
            continue;
        if (!named && content.starts_with(NameField)) {
            r.list.name = cut(text::withoutControls(unescaped(trimmed(content.substr(NameField.size())))));
            named = true;
            continue;
        }
        if (r.list.songs.size() >= static_cast<std::size_t>(MaxSetListSongs)) {
            r.warnings.push_back(lineWarning(
                QT_TRANSLATE_NOOP("Message", "Ligne %1 : une liste tient %2 morceaux au plus ; la suite est ignorée."),
                number, std::to_string(MaxSetListSongs)));
            break;
        }
        SetListSong song;
        if (readSong(content, number, song, r.warnings))
            r.list.songs.push_back(std::move(song));
    }
    if (!header)
        r.error = Message(QT_TRANSLATE_NOOP("Message", "Ce fichier n'est pas une liste de morceaux."));
    return r;
}

FileResult loadSetList(SetList& list, const std::string& fileName, std::vector<Message>& warnings, FileSystem& fs)
{
    std::string bytes;
    FileResult r = readFile(fileName, MaxSetListSize, bytes, fs);
    if (!r.ok)
        return r;
    if (bytes.size() > MaxSetListSize)
        return FileResult::failure(
            Message(QT_TRANSLATE_NOOP("Message", "Fichier trop grand pour une liste de morceaux (%1 Mo au plus)."),
                    {std::to_string(MaxSetListSize / (1024 * 1024))}),
            fileName);
    SetListReading reading = readSetListText(bytes);
    if (!reading.error.empty())
        return FileResult::failure(reading.error, fileName);
    list = std::move(reading.list);
    warnings = std::move(reading.warnings);
    checkSongFiles(list, fileName, fs);
    return r;
}

FileResult saveSetList(const SetList& list, const std::string& fileName, FileSystem& fs)
{
    const std::string text = setListText(list);
    return writeFile(fileName, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, fs);
}

std::string songFileName(const std::string& setListFile, const SetListSong& song)
{
    namespace fs = std::filesystem;
    const fs::path path(song.path);
    if (path.is_absolute())
        return song.path;
    const fs::path folder = fs::path(setListFile).parent_path();
    return folder.empty() ? song.path : (folder / path).generic_string();
}

std::string relativeSongPath(const std::string& setListFile, const std::string& chartFile)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::absolute(fs::path(setListFile), error).parent_path().lexically_normal();
    const fs::path chart = fs::absolute(fs::path(chartFile), error).lexically_normal();
    if (error)
        return chartFile;
    const fs::path relative = chart.lexically_relative(folder);
    // A path that climbs back to the root would not travel with the set list
    // anyway: the absolute one says more.
    std::ptrdiff_t up = 0, depth = 0;
    for (const fs::path& part : relative)
        up += part == "..";
    for (const fs::path& part : folder.relative_path())
        depth += !part.empty();
    if (relative.empty() || (up > 0 && up >= depth))
        return chart.generic_string();
    return relative.generic_string();
}

void checkSongFiles(SetList& list, const std::string& setListFile, FileSystem& fs)
{
    for (SetListSong& song : list.songs)
        song.missing = fs.kind(songFileName(setListFile, song)) != FileKind::Regular;
}

Message transposeToKey(Chart& chart, Key key)
{
    const Key from = songKey(chart);
    if (key.empty() || from.empty())
        return {};
    // The relative of the other mode: a minor tonic is a minor third below
    // its major one.
    const int tonic = key.minor == from.minor ? key.tonic : key.minor ? key.tonic + 3 : key.tonic + 9;
    int steps = ((tonic - from.tonic) % 12 + 12) % 12;
    if (steps > 6)
        steps -= 12;
    Key target = key;
    if (key.minor != from.minor) {
        target.tonic = static_cast<std::uint8_t>((tonic - 1) % 12 + 1);
        target.minor = from.minor;
        target.flat = key.flat;
    }
    const Key before = chart.song.key;
    chart.song.key = from;
    if (Message refused = transpose(chart, steps, Spelling::Key); !refused.empty()) {
        chart.song.key = before;
        return refused;
    }
    // Only the keys written either way (F# or Gb) may come out the other way
    // round: the chords follow the spelling asked for.
    if (spellsWithFlats(chart.song.key) != spellsWithFlats(target))
        transpose(chart, 0, spellsWithFlats(target) ? Spelling::Flats : Spelling::Sharps);
    chart.song.key = target;
    return {};
}

namespace {

constexpr std::string_view LinkScheme = "irealb://";

std::string htmlText(std::string_view text)
{
    std::string out;
    for (const char c : text::withoutControls(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::string chartTitle(const Chart& chart)
{
    if (chart.song.title.size() > 0)
        return std::string(chart.song.title.view());
    return leadsheet::read(chart).title;
}

std::string playlistLink(const std::vector<PlaylistSong>& songs, std::string_view name)
{
    // The songs parted by "===", then the playlist's name, which holds no "=".
    std::string link(LinkScheme);
    for (const PlaylistSong& song : songs)
        link += ireal::toLink(*song.chart).substr(LinkScheme.size()) + "%3D%3D%3D";
    std::string title = text::withoutControls(name);
    std::replace(title.begin(), title.end(), '=', '-');
    if (title.empty())
        title = "Playlist";
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (const unsigned char c : title) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
            || c == '.' || c == '~') {
            link += static_cast<char>(c);
        } else {
            link += '%';
            link += Hex[c >> 4];
            link += Hex[c & 15];
        }
    }
    return link;
}

std::string playlistPage(const std::vector<PlaylistSong>& songs, std::string_view name)
{
    const std::string title = htmlText(name.empty() ? std::string_view("Playlist") : name);
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + title
        + "</title>\n</head>\n<body>\n<h1><a href=\"" + playlistLink(songs, name) + "\">" + title
        + "</a></h1>\n<ol>\n";
    for (const PlaylistSong& song : songs)
        page += "<li><a href=\"" + ireal::toLink(*song.chart) + "\">" + htmlText(song.title) + "</a></li>\n";
    return page + "</ol>\n</body>\n</html>\n";
}

std::string keyName(Key key)
{
    if (key.empty())
        return {};
    return std::string(rootName(key.tonic, key.flat != 0)) + (key.minor ? "m" : "");
}

std::optional<Key> keyNamed(std::string_view text)
{
    static constexpr int Naturals[7] = {10, 12, 1, 3, 5, 6, 8};   // A B C D E F G, as roots 1..12
    if (text.empty() || text.front() < 'A' || text.front() > 'G')
        return std::nullopt;
    int tonic = Naturals[text.front() - 'A'];
    Key key{};
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == 'b' || text.front() == '#')) {
        key.flat = text.front() == 'b';
        tonic += key.flat ? -1 : 1;
        text.remove_prefix(1);
    }
    if (text == "m" || text == "-")
        key.minor = 1;
    else if (!text.empty())
        return std::nullopt;
    key.tonic = static_cast<std::uint8_t>((tonic + 11) % 12 + 1);
    // Cb, Fb, E# and B# are written as their white keys.
    if (rootName(key.tonic, false)[1] == '\0')
        key.flat = 0;
    return key;
}

std::string_view partName(Instrument part)
{
    switch (part) {
    case Instrument::BFlat:
        return "Bb";
    case Instrument::EFlat:
        return "Eb";
    case Instrument::F:
        return "F";
    case Instrument::Concert:
        break;
    }
    return {};
}

} // namespace mavrel
