// Chart files (".bab"): a 152-byte header, then the laid-out bars and the
// labels as raw little-endian records. No Qt here: the window shows the
// messages, this layer only words them.
#pragma once

#include "chart.h"
#include "message.h"
#include "songfile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mavrel {

inline constexpr std::size_t HeaderSize = 152;
inline constexpr std::size_t BarRecordSize = 72;
inline constexpr std::size_t LabelRecordSize = 116;
inline constexpr std::size_t MaxChartFileSize =
    HeaderSize + MaxBars * BarRecordSize + MaxLabels * LabelRecordSize + MaxExtensionSize;

// The outcome of saveChart, loadChart or writeFile. On failure, message is the
// sentence (ending with a full stop) and fileName the file it is about, as the
// caller named it: whoever shows the message puts the name in front.
struct FileResult {
    bool ok = true;
    Message message;
    std::string fileName;
    // A chart read whole but for a part set aside (its song information,
    // damaged or of a later version): what the user must be told.
    Message warning;

    static FileResult failure(Message message, std::string fileName)
    {
        FileResult r;
        r.ok = false;
        r.message = std::move(message);
        r.fileName = std::move(fileName);
        return r;
    }
};

// What a name stands for once symbolic links are followed.
enum class FileKind { Missing, Regular, Folder, Special };

// The system calls that chart files go through. Every call returns 0 or an
// errno code, so that a test can make any step fail with any code.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens an existing file for reading only.
    virtual int openRead(const std::string& path, int& fd) = 0;
    // Opens an existing file for writing as it stands, without creating or
    // emptying it: a device, a pipe, a terminal.
    virtual int openWrite(const std::string& path, int& fd) = 0;
    // A descriptor of its own on the process's standard output.
    virtual int openStandardOutput(int& fd) = 0;
    // Creates a file that must not exist yet, for writing. When `like` names an
    // existing file, the new one takes its permissions.
    virtual int createNew(const std::string& path, const std::string& like, int& fd) = 0;
    // Reads up to buffer.size() bytes, fewer only at the end of the file.
    virtual int read(int fd, std::span<std::uint8_t> buffer, std::size_t& got) = 0;
    // Writes every byte, or fails.
    virtual int write(int fd, std::span<const std::uint8_t> bytes) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    // Replaces `to` by `from` in one step.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual int remove(const std::string& path) = 0;
    // 0 when the file may be replaced by its owner's save (or does not exist),
    // else the code that writing to it would fail with.
    virtual int checkWritable(const std::string& path) = 0;
    // Missing also when the name cannot be looked at.
    virtual FileKind kind(const std::string& path) = 0;
    // The absolute name of the file that `path` finally names once symbolic
    // links are followed, a link to nothing yet included: the file a save
    // creates or replaces. Empty when the links go round in a loop.
    virtual std::string resolve(const std::string& path) = 0;
};

// The real files of this machine.
FileSystem& systemFileSystem();

// The name that stands for standard output, as in most command-line tools.
inline constexpr std::string_view StandardOutputName = "-";

// Writes the bytes to the file. A regular file (or a new one) is written
// through a temporary file beside it, then renamed over it: the old file is
// replaced only once every byte is on disk, and stays as it was after a
// failure, with no temporary file left. Through a symbolic link, the file it
// points to is written, even one that does not exist yet. Anything else that
// exists (a device, a pipe, a link to one) is written straight into, never
// replaced; so is standard output, named "-".
FileResult writeFile(const std::string& fileName, std::span<const std::uint8_t> bytes);
FileResult writeFile(const std::string& fileName, std::span<const std::uint8_t> bytes, FileSystem& fs);

// Writes the laid-out bars and the labels of the chart to the file, through
// writeFile.
FileResult saveChart(const Chart& chart, const std::string& fileName);
FileResult saveChart(const Chart& chart, const std::string& fileName, FileSystem& fs);

// Replaces the layout block, bars 1..N, labels 1..M and the song information
// from the bytes of a chart file and makes bars past N blank; nothing is laid
// out. The bytes are checked whole first: on failure the chart has not
// changed. An extension that cannot be read leaves the chart without song
// information, and the result's warning says so.
FileResult decodeChart(std::span<const std::uint8_t> bytes, Chart& chart, const std::string& fileName);

// Reads the file into the chart as decodeChart does, then lays it out.
FileResult loadChart(Chart& chart, const std::string& fileName);
FileResult loadChart(Chart& chart, const std::string& fileName, FileSystem& fs);

// The bytes saveChart writes for this chart: the header, the records and, for
// a chart with song information or long qualities, the extension; empty when
// the chart breaks the limits that loading checks (checkLayout says which).
std::vector<std::uint8_t> encodeChart(const Chart& chart);

// Why a layout block cannot belong to a chart file.
enum class LayoutProblem { None, BarCount, LabelCount, Grid, PageSize, Margins };
LayoutProblem checkLayout(const GridInfo& info);

} // namespace mavrel
