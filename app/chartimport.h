// Lists of songs imported into a folder of charts: what `mavrel import` and
// the editor's "Importer..." both do.
#pragma once

#include "document/chartfile.h"
#include "document/fileformat.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace mavrel {

// Texts are UTF-8; the error and the warnings are in the user's language.
struct ImportedSong {
    std::string title;
    QByteArray file;                     // the chart written, empty when none
    std::string error;                   // why the song was not imported
    std::vector<std::string> warnings;
};

// Writes one chart per song into the folder (made if it does not exist),
// named from its title. A name already taken, in the folder or by an earlier
// song, gets a number; existing charts (or symbolic links) are replaced only
// with `force`, and then as the folder's entry: what a link points to is
// never written, nor a pipe or a device, which always count as taken. A
// folder that cannot be made or written is reported in `failure`.
//
// A playlist that has a name, or more than one song, also becomes a set list
// (".setlist") in the same folder, named after the playlist, listing the
// charts written in the playlist's order; a set list already there is
// numbered past like a chart, or replaced with `force`.
struct ImportReport {
    std::vector<ImportedSong> songs;
    QByteArray setList;                  // the set list written, empty when none
    FileResult failure;
};
ImportReport importToFolder(const SongList& songs, const QByteArray& folder, bool force);

// « 2 chansons n'ont pas été importées : « A », « B ». », or empty.
QString failedSongsMessage(const ImportReport& report);

} // namespace mavrel
