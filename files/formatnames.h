// The registered formats as the user reads them: the kinds of files a file
// dialog offers, and the extensions a refusal says were expected.
#pragma once

#include "document/fileformat.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace mavrel {

using FormatList = std::vector<const FileFormat*>;

// The format's name in the user's language.
QString formatName(const FileFormat& format);

// A file dialog's filter: "MusicXML (*.musicxml *.xml)".
QString nameFilter(const FileFormat& format);
// Every format's filter, in order, as QFileDialog takes them.
QString nameFilters(const FormatList& formats);
// The format whose filter a file dialog says was chosen; null when none.
const FileFormat* formatOfFilter(const FormatList& formats, const QString& filter);

// ".png, .pdf ou .svg": every extension of the formats, in order.
QString extensionList(const FormatList& formats);
// "MusicXML, Grille LilyPond ou Lien iReal Pro".
QString nameList(const FormatList& formats);

// What a command says when it does not write the kind of file asked for;
// `expected` lists the extensions it writes.
QString unknownFormatMessage(const QByteArray& fileName, const QString& expected);

} // namespace mavrel
