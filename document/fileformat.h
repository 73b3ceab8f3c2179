// File formats as objects. Each format says what the user calls it, which
// extensions name its files and what it does with charts; a FormatRegistry
// holds the formats the program knows. The command line, the file dialogs'
// filters and the messages that list extensions are all made from the
// registry, so that a format more is a class more and one line where the
// formats are registered.
//
// The interface is plain C++: the formats of this layer implement it here,
// and those that need Qt to draw (pictures, PDF) implement it above.
#pragma once

#include "chart.h"
#include "chartfile.h"
#include "message.h"
#include "parts.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mavrel {

// What a format does with charts.
enum class FileOperation : unsigned {
    // Reads one chart, laid out, as the editor opens it.
    ReadChart = 1,
    // Writes the chart itself, read back as it was: what the editor saves.
    WriteChart = 2,
    // Reads the songs of another program's list, each made into a chart.
    ImportCharts = 4,
    // Writes the chart's music for another program.
    ExportChart = 8,
    // Writes a picture or a document of the chart's page.
    WritePage = 16,
    // Writes sheets of several charts' pages, as the print preview lays them.
    WriteSheets = 32,
};

// How a chart is written. Each format takes what concerns it and leaves the
// rest: a picture its size, a recording the band's playing, the chart file
// nothing.
struct WriteOptions {
    // Each chart drawn as this instrument's part, its page marked with it.
    Instrument instrument = Instrument::Concert;
    // Pictures made of pixels: dots per inch, 96 drawing a pixel a page
    // pixel; or, when `fit` is set, the longer side in pixels.
    int dpi = 96;
    int fit = 0;
    // Sheets: charts a sheet, 1, 2, 4 or 8.
    int perSheet = 1;
    // The band, for the formats that play the chart: its style's name and
    // its tempo in quarter notes a minute (the chart's when empty or 0), the
    // times it plays the chart through, and the SoundFont it sounds with
    // (the system's when empty).
    std::string style;
    int tempo = 0;
    int choruses = 1;
    std::string soundFont;
    // The file the chart was read from, for the messages; empty for a new
    // chart.
    std::string source;
};

// One song of a list made into a chart, or refused.
struct ImportedChart {
    std::unique_ptr<Chart> chart;     // null when refused
    Message error;                    // why, naming the song
    std::vector<Message> warnings;    // what the chart could not hold
};

// The songs a list holds. Each becomes a chart only when asked for: a list of
// thousands of songs costs its text, not thousands of charts.
struct SongList {
    std::string name;                                    // the list's own, UTF-8; may be empty
    std::vector<std::string> titles;                     // UTF-8
    std::function<ImportedChart(std::size_t)> chart;     // for 0..titles.size() - 1
};

class FileFormat {
public:
    // `name` is for the user, as file dialogs list kinds of files: a pattern
    // of the "Message" context. `shortName` is a lower-case name that code
    // and scripts may rely on ("png"). `extensions` are lower case, without
    // the dot; the first one is what a name typed without one is given.
    FileFormat(const char* name, std::string shortName, std::vector<std::string> extensions,
               std::initializer_list<FileOperation> operations);
    virtual ~FileFormat() = default;
    FileFormat(const FileFormat&) = delete;
    FileFormat& operator=(const FileFormat&) = delete;

    const char* name() const { return m_name; }
    const std::string& shortName() const { return m_shortName; }
    const std::vector<std::string>& extensions() const { return m_extensions; }
    bool supports(FileOperation operation) const { return m_operations & static_cast<unsigned>(operation); }
    // Whether the extension of the name's last part is one of the format's,
    // in any case.
    bool matches(std::string_view fileName) const;
    // Whether a file holds one page only: sheets then go one to a file.
    virtual bool onePage() const { return false; }
    // Whether the file is the band playing the chart, which takes the
    // options of its playing (style, tempo, choruses, SoundFont).
    virtual bool playsTheBand() const { return false; }

    // One method for each operation; the operations a format does not
    // support fail. Every file is written through writeFile, and every
    // failure names the file it is about.
    virtual FileResult read(const std::string& fileName, Chart& chart) const;
    virtual FileResult readSongs(const std::string& fileName, SongList& songs) const;
    // WriteChart and ExportChart.
    virtual FileResult write(const Chart& chart, const WriteOptions& options, const std::string& fileName) const;
    virtual FileResult writePage(const Chart& chart, const WriteOptions& options, const std::string& fileName) const;
    // The charts in order, a sheet for every options.perSheet of them; a
    // null chart leaves its position blank.
    virtual FileResult writeSheets(std::span<const Chart* const> charts, const WriteOptions& options,
                                   const std::string& fileName) const;

private:
    const char* m_name;
    std::string m_shortName;
    std::vector<std::string> m_extensions;
    unsigned m_operations = 0;
};

class FormatRegistry {
public:
    void add(std::unique_ptr<FileFormat> format);

    // The formats that do it, in the order they were added: the order of the
    // file dialogs' filters.
    std::vector<const FileFormat*> formats(FileOperation operation) const;
    // The first of them whose extension the name has; null when none.
    const FileFormat* forFile(std::string_view fileName, FileOperation operation) const;
    // What to write to that output: the format its extension names; else,
    // for a stream (standard output, a device, a pipe), which has no kind of
    // its own, the first format; else none.
    const FileFormat* forOutput(const std::string& fileName, FileOperation operation,
                                FileSystem& fs = systemFileSystem()) const;
    // What to read a file as: the format its extension names, else the
    // first, for a file is read for what it holds whatever it is called.
    // Null only when no format does it.
    const FileFormat* forInput(std::string_view fileName, FileOperation operation) const;
    const FileFormat* named(std::string_view shortName) const;

private:
    std::vector<std::unique_ptr<FileFormat>> m_formats;
};

// The extension of the path's last part, in lower case, without the dot;
// empty when it has none (a name that starts with its only dot included).
std::string extensionOf(std::string_view fileName);

// Whether writing to the name writes into a stream rather than making a file:
// standard output ("-"), or a device or a pipe that already exists.
bool isStream(const std::string& fileName, FileSystem& fs = systemFileSystem());

// Writes the bytes (a text, or what an encoder made) through writeFile.
FileResult writeBytes(std::string_view bytes, const std::string& fileName);

} // namespace mavrel
