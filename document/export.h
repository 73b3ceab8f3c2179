// The formats a chart can be exported to, chosen by the extension of the file
// to write. The text comes back to the caller, which writes it.
#pragma once

#include "chart.h"

#include <optional>
#include <string>
#include <string_view>

namespace mavrel {

enum class ExportFormat { MusicXml, LilyPond, IRealLink };

// ".musicxml" or ".xml", ".ly", ".txt" (in any case); nothing for another
// extension.
std::optional<ExportFormat> exportFormatFor(std::string_view fileName);

// The whole file, UTF-8. The iReal link is one line.
std::string exportChart(const Chart& chart, ExportFormat format);

} // namespace mavrel
