// `mavrel song`: the song of a chart from the command line. Without changes
// it prints the song and every bar as the keyboard entry types it; with
// them it writes the chart changed.
#pragma once

#include "document/chart.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mavrel {

struct SongCommand {
    QByteArray chart;
    QByteArray output;    // -o; empty: print the song
    std::optional<std::string> title, composer, style;   // UTF-8
    std::optional<Key> key;                              // empty: not set
    std::optional<int> tempo;                            // 0: not set
    std::optional<TimeSignature> time;                   // empty: not set
    std::vector<std::pair<int, QByteArray>> bars;        // --bar N TEXT, in order

    bool changes() const { return title || composer || style || key || tempo || time || !bars.empty(); }
};

// The arguments after "song"; nothing, with what was wrong in `error`, when
// they make no command.
std::optional<SongCommand> readSongCommand(const QByteArrayList& args, QString& error);

// 0 done, 1 the chart could not be read or written, or a bar typed that it
// cannot take (nothing written then); its message on standard error.
int runSongCommand(const SongCommand& command);

} // namespace mavrel
