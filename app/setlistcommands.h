// The command line's set list commands: each a function of its own, called
// from the command table.
#pragma once

#include "document/parts.h"

#include <QByteArray>
#include <QByteArrayList>

#include <optional>

namespace mavrel {

// `mavrel songbook SETLIST|CHART... -o BOOK.pdf [--per N] [--for Bb|Eb|F]
// [--chord-style classic|jazz]`. One set list (".setlist"): its name on the
// title page, each song in its key and part (--for gives every song that
// part instead); a chart the set list names that is not on disk is listed as
// missing in the contents, said on standard error, and the book is still
// written. Charts named on the command line must all be read. Returns 0 when
// written, 1 when a file cannot be read or written (a chart that is there but
// cannot be read, transposed or made into its part included: nothing is
// written), 2 for wrong arguments. `chordStyle` is a ChordStyle, -1 for each
// chart's own.
int runSongbook(const QByteArrayList& inputs, const QByteArray& output, int per,
                std::optional<Instrument> instrument, int chordStyle);

// `mavrel export SETLIST -o PLAYLIST.html|FOLDER/`: an iReal Pro playlist
// page of the songs in order, or one MusicXML file per song in the folder
// (made when needed, a name ending with "/" or a folder that exists), named
// from the song's title. Each song in the key the set list gives it. A missing
// chart is said on standard error and left out; any other chart that cannot
// be read stops the export before anything is written. The files written
// are listed on standard output. Returns 0, 1 or 2 as runSongbook.
int exportSetList(const QByteArray& setList, const QByteArray& output);

// Whether the name is a set list's, by its extension.
bool isSetListName(const QByteArray& name);

} // namespace mavrel
