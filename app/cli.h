// The command line: `mavrel [CHART.bab]` opens the editor; the commands below
// write files and need no display.
#pragma once

#include <QString>
#include <QStringList>

namespace mavrel {

struct Command {
    enum Kind { Editor, New, Render, Transpose, Sheet, Help, Invalid };
    Kind kind = Editor;
    QStringList charts;     // input charts, in order
    QString output;         // -o
    int steps = 0;          // transpose
    int per = 1;            // sheet
};

// Reads the arguments after the program name.
Command parseCommandLine(const QStringList& args);

// The short usage printed for wrong arguments.
QString usageText();

// Runs a command that writes files (New, Render, Transpose, Sheet) and returns
// the exit status: 0 done, 1 a chart could not be read or written, 2 wrong
// arguments. Needs a QApplication.
int runCommand(const Command& command);

} // namespace mavrel
