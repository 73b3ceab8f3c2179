// The command line: `mavrel [CHART.bab...]` opens the editor; the commands
// below write files and need no display.
#pragma once

#include "document/editing.h"
#include "document/parts.h"
#include "document/song.h"
#include "songcommand.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>

namespace mavrel {

struct Command {
    enum Kind { Editor, New, Render, Thumbnail, Transpose, Sheet, Songbook, Import, Export, Play, Song, Help, Version, Invalid };
    Kind kind = Editor;
    QByteArrayList charts;  // input charts, in order
    QByteArray output;      // -o; "-" is standard output
    int steps = 0;          // transpose
    Spelling spelling = Spelling::Keep;
    Instrument instrument = Instrument::Concert;   // render, sheet: --for
    bool forInstrument = false;   // --for was given (songbook: over the set list's parts)
    int per = 1;            // sheet
    int size = 0;           // thumbnail: the longer side, in pixels
    int dpi = 96;           // render: dots per inch of a PNG
    bool force = false;     // import: replace existing charts
    // export to MIDI, WAV or FLAC, play: how the band plays the chart.
    bool band = false;      // one of the options below was given
    int style = -1;         // --style: an accompaniment::Style; -1 the chart's
    int tempo = 0;          // --tempo: quarter notes a minute; 0 the chart's
    int choruses = 1;       // --choruses: times through the form
    QByteArray soundFont;   // --soundfont: empty for the default one
    // render, thumbnail, sheet, songbook: --chord-style, over each chart's own
    std::optional<ChordStyle> chordStyle;
    SongCommand song;
    // Invalid: what was wrong, in one line, and the command it was given to
    // (Editor for none).
    QString error;
    Kind misused = Editor;
};

// Reads the arguments after the program name. File names stay the bytes the
// system gave: a name that is not UTF-8 would not survive a QString.
Command parseCommandLine(const QByteArrayList& args);

// The usage of one command, printed after what was wrong with its
// arguments; Help gives every command's.
QString usageText(Command::Kind command);

// Runs a command that writes files (New, Render, Thumbnail, Transpose, Sheet,
// Import, Export, Song), plays (Play) or prints (Help, Version), and returns
// the exit status: 0 done, 1 a file could not be read or written (its name
// and why on stderr) or, for Play, there is no sound device or SoundFont, 2
// wrong arguments, an output extension the command does not write included.
// Needs a QApplication.
int runCommand(const Command& command);

} // namespace mavrel
