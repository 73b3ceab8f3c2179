#include "export.h"

#include "ireal.h"
#include "lilypond.h"
#include "musicxml.h"

#include <cctype>

namespace mavrel {

std::optional<ExportFormat> exportFormatFor(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    std::string extension;
    for (char c : fileName.substr(dot + 1))
        extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "musicxml" || extension == "xml")
        return ExportFormat::MusicXml;
    if (extension == "ly")
        return ExportFormat::LilyPond;
    if (extension == "txt")
        return ExportFormat::IRealLink;
    return std::nullopt;
}

std::string exportChart(const Chart& chart, ExportFormat format)
{
    switch (format) {
    case ExportFormat::MusicXml: return musicxml::write(chart);
    case ExportFormat::LilyPond: return lilypond::write(chart);
    case ExportFormat::IRealLink: return ireal::toLink(chart) + "\n";
    }
    return {};
}

} // namespace mavrel
