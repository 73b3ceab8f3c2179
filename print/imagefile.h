// Pictures and documents written to files. Each format encodes in memory;
// the bytes then go through the chart file layer's writeFile, so a picture is
// written whole or not at all, like a chart.
#pragma once

#include "document/chartfile.h"

#include <QByteArray>
#include <QImage>

#include <span>

namespace mavrel {

// One format a command writes, chosen by the extension of the output's name.
struct ImageFormat {
    const char* suffix;   // lower case, without the dot
    // False when there was not enough memory to make the bytes.
    bool (*encode)(const QImage& image, QByteArray& bytes);
};

// 24-bit PNG.
bool encodePng(const QImage& image, QByteArray& bytes);

// Whether the output is a stream rather than a file with a kind: standard
// output ("-"), or a device or a pipe that already exists. A stream takes a
// command's first format whatever its name.
bool isStream(const QByteArray& fileName);

// The extension of the last name of the path, in lower case, without the dot;
// empty when it has none.
QByteArray suffixOf(const QByteArray& path);

// The format among `formats` that the name's extension asks for, the first
// one for a stream; null when none does.
const ImageFormat* formatFor(const QByteArray& fileName, std::span<const ImageFormat> formats);

// The extensions of the formats, for a message: ".png ou .pdf".
QString suffixList(std::span<const ImageFormat> formats);

// What a command says when it does not write the kind of file asked for;
// `expected` lists the extensions it writes.
QString unknownFormatMessage(const QByteArray& fileName, const QString& expected);

// Encodes the image and writes it; a null image, which drawing leaves when
// memory runs out, is a failure like an encoder's.
FileResult writeImage(const QImage& image, const ImageFormat& format, const QByteArray& fileName);

} // namespace mavrel
