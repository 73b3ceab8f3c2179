// Pictures and documents written to files. Each format encodes in memory;
// the bytes then go through the chart file layer's writeFile, so a picture is
// written whole or not at all, like a chart.
#pragma once

#include "document/chart.h"
#include "document/chartfile.h"
#include "document/parts.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstddef>

namespace mavrel {

// 24-bit PNG.
bool encodePng(const QImage& image, QByteArray& bytes);

// The page of a chart as a PDF document of the page's size, and as SVG, one
// page pixel a 96th of an inch: lines as lines, texts as text.
// A part for a transposing instrument (a chart already transposed) is marked
// with its instrument.
bool encodePagePdf(const Chart& chart, QByteArray& bytes, Instrument instrument = Instrument::Concert);
bool encodePageSvg(const Chart& chart, QByteArray& bytes, Instrument instrument = Instrument::Concert);

// Whether the output is a stream rather than a file with a kind: standard
// output ("-"), or a device or a pipe that already exists. A stream takes a
// command's first format whatever its name.
bool isStream(const QByteArray& fileName);

// The extension of the last name of the path, in lower case, without the dot;
// empty when it has none.
QByteArray suffixOf(const QByteArray& path);

// The format among a command's `formats` (anything with a `suffix`, lower
// case, without the dot) that the name's extension asks for, the first one
// for a stream; null when none does.
template <class Format, std::size_t N>
const Format* formatFor(const QByteArray& fileName, const Format (&formats)[N])
{
    if (isStream(fileName))
        return &formats[0];
    const QByteArray suffix = suffixOf(fileName);
    for (const Format& format : formats)
        if (suffix == format.suffix)
            return &format;
    return nullptr;
}

// The extensions of the formats, for a message: ".png ou .pdf".
template <class Format, std::size_t N>
QString suffixList(const Format (&formats)[N])
{
    QStringList suffixes;
    for (const Format& format : formats)
        suffixes << QLatin1Char('.') + QLatin1String(format.suffix);
    return suffixes.join(QCoreApplication::translate("CommandLine", " ou "));
}

// What a command says when it does not write the kind of file asked for;
// `expected` lists the extensions it writes.
QString unknownFormatMessage(const QByteArray& fileName, const QString& expected);

// Writes the bytes through writeFile.
FileResult writeBytes(const QByteArray& bytes, const QByteArray& fileName);

// Encodes the image as PNG and writes it; a null image, which drawing leaves
// when memory runs out, is a failure like an encoder's.
FileResult writePng(const QImage& image, const QByteArray& fileName);

} // namespace mavrel
