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

// What a name stands for: kind() follows symbolic links, entryKind() looks at
// the folder's entry itself and is the only one that answers Link.
enum class FileKind { Missing, Regular, Folder, Special, Link };

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
    // Creates a file with no name yet in the folder, for writing, with the
    // permissions of `like` when that is an existing file; linkNew names it.
    // Fails (EOPNOTSUPP, EISDIR or EINVAL) where the file system has no such
    // files: writeFile then names its temporary file from the start.
    virtual int createUnnamed(const std::string& folder, const std::string& like, int& fd) = 0;
    // Creates a file that must not exist yet, for writing, as createUnnamed.
    // Both keep the file locked while it is open, so that removeLeftover
    // never takes a save under way for one that was interrupted.
    virtual int createNew(const std::string& path, const std::string& like, int& fd) = 0;
    // Gives the unnamed file open on `fd` a name that must not exist yet
    // (EEXIST otherwise).
    virtual int linkNew(int fd, const std::string& path) = 0;
    // Reads up to buffer.size() bytes, fewer only at the end of the file.
    virtual int read(int fd, std::span<std::uint8_t> buffer, std::size_t& got) = 0;
    // Writes every byte, or fails.
    virtual int write(int fd, std::span<const std::uint8_t> bytes) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    // Replaces `to` by `from` in one step; `to` itself is replaced, never
    // what it may point to.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // Renames `from` as `to` when `to` does not exist yet (EEXIST otherwise).
    virtual int renameNew(const std::string& from, const std::string& to) = 0;
    virtual int remove(const std::string& path) = 0;
    // Removes the temporary file of a save that was interrupted (killed,
    // cut off) before it could put the file in place: only a regular file,
    // never through a link, and never one that a save still has open
    // (EBUSY). 0 when removed or when nothing is there.
    virtual int removeLeftover(const std::string& path) = 0;
    // 0 when the file may be replaced by its owner's save (or does not exist),
    // else the code that writing to it would fail with.
    virtual int checkWritable(const std::string& path) = 0;
    // Missing also when the name cannot be looked at.
    virtual FileKind kind(const std::string& path) = 0;
    virtual FileKind entryKind(const std::string& path) = 0;
    // The absolute name of the file that `path` finally names once symbolic
    // links are followed, a link to nothing yet included: the file a save
    // creates or replaces. Empty when the links go round in a loop.
    virtual std::string resolve(const std::string& path) = 0;
};

// The real files of this machine.
FileSystem& systemFileSystem();

// The name that stands for standard output, as in most command-line tools.
inline constexpr std::string_view StandardOutputName = "-";

// What writeFile does with a name that exists.
enum class WriteMode {
    // What the user named: a symbolic link is followed and the file it points
    // to replaced (or made); a device or a pipe is written into.
    Follow,
    // The folder's own entry is replaced, whatever it is: a link is never
    // followed and nothing is ever written into.
    ReplaceEntry,
    // Only a name that does not exist yet; fails with « Le fichier existe
    // déjà. » otherwise, links to nothing included.
    CreateOnly,
};

// Writes the bytes to the file. A regular file (or a new one) is written
// whole before it takes the name, then put in place in one step: the old file
// is replaced only once every byte is on disk, and stays as it was after a
// failure. No temporary file is left, after a failure or a kill: one that a
// killed save left under the name's private temporary name is removed by the
// next save. Standard output, named "-", is written into.
FileResult writeFile(const std::string& fileName, std::span<const std::uint8_t> bytes,
                     FileSystem& fs = systemFileSystem(), WriteMode mode = WriteMode::Follow);

// Reads the file, whatever it is (a pipe or a device included), but never
// more than `limit` bytes and one: `bytes` longer than `limit` means that the
// file is, and that the rest was not read. Memory is taken only for what is
// read.
FileResult readFile(const std::string& fileName, std::size_t limit, std::string& bytes,
                    FileSystem& fs = systemFileSystem());

// The name a save of `fileName` gives its temporary file while putting it in
// place: hidden, beside the file, the same for every save of that file.
std::string temporaryFileName(const std::string& fileName);

// Writes the laid-out bars and the labels of the chart to the file, through
// writeFile.
FileResult saveChart(const Chart& chart, const std::string& fileName, FileSystem& fs = systemFileSystem(),
                     WriteMode mode = WriteMode::Follow);

// Replaces the layout block, bars 1..N, labels 1..M and the song information
// from the bytes of a chart file and makes bars past N blank; nothing is laid
// out. The bytes are checked whole first: on failure the chart has not
// changed. An extension that cannot be read leaves the chart without song
// information, and the result's warning says so.
FileResult decodeChart(std::span<const std::uint8_t> bytes, Chart& chart, const std::string& fileName);

// Reads the file into the chart as decodeChart does, then lays it out.
FileResult loadChart(Chart& chart, const std::string& fileName, FileSystem& fs = systemFileSystem());

// The bytes saveChart writes for this chart: the header, the records and, for
// a chart with song information or long qualities, the extension; empty when
// the chart breaks the limits that loading checks (checkLayout says which).
std::vector<std::uint8_t> encodeChart(const Chart& chart);

// Why a layout block cannot belong to a chart file.
enum class LayoutProblem { None, BarCount, LabelCount, Grid, PageSize, Margins };
LayoutProblem checkLayout(const GridInfo& info);

} // namespace mavrel
