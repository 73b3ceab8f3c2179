// Set lists (".setlist"): an ordered list of charts with a name, and for each
// song the key to play it in, the instrument part and a note. A small UTF-8
// text file that a musician can read and mend in any text editor:
//
//     # Mavrel set list 1
//     Name: Friday at the Blue Note
//     Autumn Leaves.bab
//     ballads/Body and Soul.bab | key=Eb | part=Bb
//     ../standards/Solar.bab | note=count off fast%7C no intro
//
// The first line says what the file is and the version of its format. Then
// "Name: " and the set list's name, then one line per song, in order: the
// chart's path relative to the set list's folder, with "/" between folders,
// so that a folder of charts and its set lists can be copied anywhere; then,
// each after " | ", the optional fields "key=" (C, Eb, F#m, Bbm...), "part="
// (Bb, Eb or F) and "note=" (free text). In a path and in the texts, "%",
// "|", control characters, and a space at either end (or a "#" at the start
// of a path) are written as %XX, the byte's two hexadecimal digits, so that
// any file name and any note come back as they were; everything else,
// spaces, "=" and accents included, is written as it is.
//
// Reading is tolerant: blank lines and lines starting with "#" are skipped,
// CRLF line ends and a byte-order mark are accepted, and a line that cannot be
// read is skipped with a warning naming it. The file and its lines are
// bounded: a set list is never more than MaxSetListSize bytes, a line
// MaxSetListLine, a path longer than MaxSetListText is skipped, a note or a
// name cut there, and no more than MaxSetListSongs songs are read.
#pragma once

#include "chartfile.h"
#include "message.h"
#include "parts.h"
#include "song.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mavrel {

inline constexpr std::size_t MaxSetListSize = 1024 * 1024;
inline constexpr std::size_t MaxSetListLine = 32 * 1024;
// A path, a note or a name holds at most this many bytes (a path, as Linux
// allows it): any song's line, written, stays well under MaxSetListLine.
inline constexpr std::size_t MaxSetListText = 4096;
inline constexpr int MaxSetListSongs = 2000;
inline constexpr int SetListVersion = 1;

struct SetListSong {
    // As the file holds it: relative to the set list's folder, "/" between
    // folders (an absolute path is kept as it is). Bytes, as file names are.
    std::string path;
    Key key{};                                  // the key to play it in; empty: as written
    Instrument part = Instrument::Concert;      // the part to give
    std::string note;                           // UTF-8, may hold line breaks
    // The chart was not found where the path says when the set list was
    // read or checked: the song stays in the list, shown as missing.
    bool missing = false;

    bool operator==(const SetListSong&) const = default;
};

struct SetList {
    std::string name;                           // UTF-8, on one line
    std::vector<SetListSong> songs;

    bool operator==(const SetList&) const = default;
};

// The text of the file, as described above.
std::string setListText(const SetList& list);

// What a set list's text holds. `error` is set only when the text is not a
// set list at all; otherwise every song that could be read is there, and
// each line that could not is a warning naming it. No song is marked missing:
// that needs the files (loadSetList).
struct SetListReading {
    SetList list;
    Message error;
    std::vector<Message> warnings;
};
SetListReading readSetListText(std::string_view text);

// Reads the file and marks each song whose chart is not a file where its path
// says. The warnings of lines skipped come in `warnings`.
FileResult loadSetList(SetList& list, const std::string& fileName, std::vector<Message>& warnings,
                       FileSystem& fs = systemFileSystem());

// Writes the set list through writeFile.
FileResult saveSetList(const SetList& list, const std::string& fileName, FileSystem& fs = systemFileSystem());

// The chart file a song's path names, for a set list stored as
// `setListFile`: the path joined to the set list's folder.
std::string songFileName(const std::string& setListFile, const SetListSong& song);

// The path a set list stored as `setListFile` keeps for `chartFile`: relative
// to the set list's folder, with "/" between folders; absolute only when the
// two share no folder at all.
std::string relativeSongPath(const std::string& setListFile, const std::string& chartFile);

// Marks each song missing or not, by looking at the files now.
void checkSongFiles(SetList& list, const std::string& setListFile, FileSystem& fs = systemFileSystem());

// The chart moved from its key (the one set, else the one heard) to `key`
// the nearer way, up to a tritone, and spelled as that key is; the key is
// then set. A key of the other mode stands for its relative: "Eb" for a song
// in C minor leaves it where it is. Nothing moves for an empty key or a chart
// without a pitched chord; what transpose() refuses is refused the same way.
Message transposeToKey(Chart& chart, Key key);

// The song's title (UTF-8): the one set, else the largest text above the
// grid, as the exports read it; empty when there is none.
std::string chartTitle(const Chart& chart);

// iReal Pro playlists of a set list: each song's chart and the title the
// page shows of it (UTF-8).
struct PlaylistSong {
    const Chart* chart;
    std::string title;
};

// The "irealb://" link of a playlist holding the songs in order, named so.
std::string playlistLink(const std::vector<PlaylistSong>& songs, std::string_view name);

// A page for iReal Pro and web browsers (UTF-8 HTML): the name, the
// playlist's link, then one link per song. Importing it gives each song once.
std::string playlistPage(const std::vector<PlaylistSong>& songs, std::string_view name);

// The key as musicians write it: "C", "Eb", "F#m", "Bbm"; empty for no key.
std::string keyName(Key key);
// The key written so (a root C to B with "b" or "#", then "m" or "-" for
// minor); nothing for another text.
std::optional<Key> keyNamed(std::string_view text);

// The part's name on the command line and in a set list: "Bb", "Eb", "F",
// empty for concert pitch.
std::string_view partName(Instrument part);

} // namespace mavrel
