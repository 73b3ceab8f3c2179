// Pictures and documents of pages: PNG, PDF and SVG. Each encodes in memory,
// then writes through the chart file layer's writeFile, so that a picture is
// written whole or not at all, like a chart.
#pragma once

#include "document/fileformat.h"

#include <QByteArray>
#include <QString>

#include <string>

namespace mavrel {

// Adds them in that order: PNG is what a stream takes.
//
// PNG: 24 bits, a page pixel for pixel at 96 dots per inch as the editor
// shows it; one sheet composed as the print preview composes it.
// PDF: the page at its own size, or the sheets on A4 pages as they print.
// SVG: the page, one unit a page pixel.
// PDF and SVG draw lines as lines and texts as text.
void addPictureFormats(FormatRegistry& formats);

// Writes the bytes through writeFile.
FileResult writeBytes(const QByteArray& bytes, const std::string& fileName);

} // namespace mavrel
