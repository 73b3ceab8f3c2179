// File names between Qt and the system. A name is the bytes the system gave
// (argv, readdir); a QString only shows it, and loses the bytes of a name
// that is not UTF-8.
#pragma once

#include "document/chartfile.h"

#include <QByteArray>
#include <QString>

namespace mavrel {

// The system's bytes for a name a file dialog gave. Qt shows bytes it cannot
// decode as U+FFFD and gives that back; the file meant is found again in its
// folder, as the one entry shown under that name.
QByteArray localFileName(const QString& name);

// The message in the user's language: its pattern looked up in the
// "Message" context of the installed translators, the arguments put in.
QString messageText(const Message& message);

// "name : message", the way a window or the command line reports a failure
// (or, for a file read whole, what was set aside), in the user's language.
QString fileMessage(const FileResult& result);

// The text as a terminal or a status bar may show it, control characters
// written out (text::visible) but for the line breaks that part a message's
// sentences. Every message on its way to either goes through here: titles,
// file names and chords come from files.
QString visibleText(const QString& text);

// "mavrel : message" on standard error.
void printError(const QString& message);

} // namespace mavrel
