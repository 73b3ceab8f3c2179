// iReal Pro links ("irealb://" and "irealbook://"): the songs of a playlist
// page or a text holding links, each turned into a chart; and a chart turned
// back into a link. No Qt here, and no file is read or written: the callers
// hand over the text and write what comes back.
#pragma once

#include "chart.h"
#include "message.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mavrel::ireal {

// One song as a link holds it, before it becomes a chart. Texts are UTF-8.
struct Song {
    std::string title;
    std::string composer;      // first name first, as the chart shows it
    std::string style;
    std::string key;           // "Eb", "C-", "F#-"
    // The settings of iReal Pro's player, as the link gives them ("irealb"
    // links only).
    std::string tempo;         // beats a minute; "0" or empty: not given
    std::string groove;        // the accompaniment ("Jazz-Medium Swing"); empty: the style's
    std::string transposition; // empty or "0": none
    std::string repeats;       // times the player plays the song
    std::string music;         // in clear, with "XyQ", "LZ" and "Kcl" expanded
    std::size_t link = 0;      // which link of the text held it, from 0
    Message error;             // why the song cannot become a chart, or empty
    std::vector<Message> warnings;   // what was dropped from its texts
};

struct Playlist {
    std::string name;          // UTF-8, empty when the link gives none
    std::vector<Song> songs;   // in the order of the links and of the songs in them
    std::vector<Message> warnings;   // songs of the text left unread
};

// Every song of every link found in `text`: an HTML page as iReal Pro and its
// forums publish them, a text holding links, or a single link, in either
// format ("irealbook" links may hold many songs too). A song whose part of
// the link is damaged or cut comes back with its error set; the other songs
// are not affected. No link at all gives no song. Texts come without control
// characters. Time and memory grow in step with the text.
Playlist readPlaylist(std::string_view text);

// A song made into a chart, or refused: only when nothing of its music can
// be read, or when it has more bars than a chart holds. Signs that cannot be
// read are skipped with a warning naming the bar.
struct Conversion {
    std::unique_ptr<Chart> chart;        // null when refused
    Message error;                       // names the song and the place
    std::vector<Message> warnings;       // what the chart could not hold
};

// One iReal bar per bar, four bars across, as many rows as needed, the bars
// of the last row past the song hidden; "N.C." is a slot of its own. The
// song's information takes the title, composer, style, key and tempo, and
// the marks of the form: meters, sections, endings, segno, coda, fermatas
// and the directions that comments name. Title, composer and style are
// labels too, as are the other comments. What the chart cannot hold is named
// in a warning, but for what only lays iReal's rows out (empty cells,
// vertical space, small chords, the height of a comment).
Conversion toChart(const Song& song);

// The "irealb://" link of a one-song playlist holding the chart: what
// toChart reads back as the same bars, chords, labels and song information,
// but for what a link cannot say. A section named otherwise than iReal's (a
// letter, "Intro", "Couplet") comes back a label; a key that the chart leaves
// to its chords comes back set, and F#, C# major, D#m, A#m and Abm as iReal
// names them (Gb, Db, Ebm, Bbm, G#m); an ending runs to the next bar line
// that closes, or up to the next section, ending or opening bar line; of two
// coda signs the first says "To Coda"; how the chords are drawn is not kept.
std::string toLink(const Chart& chart);

// A file name for a chart of that title, with the ".bab" extension: the
// characters that file systems refuse and control characters replaced, never
// empty; a number past 1 is added as " (2)".
std::string chartFileName(std::string_view title, int number = 1);

// The block permutation of "irealb://" music. It is its own inverse.
std::string scramble(std::string_view music);

} // namespace mavrel::ireal
