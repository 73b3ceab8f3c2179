#include "chartfile.h"

#include "bytestream.h"
#include "layout.h"
#include "songfile.h"

#include <bit>
#include <cerrno>
#include <climits>
#include <concepts>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <stdio.h>
#include <type_traits>
#include <unistd.h>

namespace mavrel {

namespace {

// The header's fixed text, behind its length byte 29.
constexpr std::string_view Signature = " C est pas bien de fouiner !!";
static_assert(Signature.size() == 29);

// Each record's fields in file order, once for both directions: the writer
// takes const records, the reader fills mutable ones.
// A chord record holds a quality's first 8 characters: a longer quality says
// 8 there, and the file's extension keeps it whole. A length byte past 8 read
// from a file (a damaged one) shows 8 characters, as it always did.
void transferQuality(ByteWriter& io, const ShortString<MaxQualityLength>& q)
{
    io.field(static_cast<std::uint8_t>(std::min<std::size_t>(q.len, RecordQualityLength)));
    for (std::size_t i = 0; i < RecordQualityLength; ++i)
        io.field(q.chars[i]);
}

void transferQuality(ByteReader& io, ShortString<MaxQualityLength>& q)
{
    q = {};
    io.field(q.len);
    q.len = static_cast<std::uint8_t>(std::min<std::size_t>(q.len, RecordQualityLength));
    for (std::size_t i = 0; i < RecordQualityLength; ++i)
        io.field(q.chars[i]);
}

template <class Io, class Accord> void transferAccord(Io& io, Accord& a)
{
    io.field(a.root);
    transferQuality(io, a.quality);
    io.field(a.flat);
    io.field(a.spare);
}

template <class Io, class Case> void transferCase(Io& io, Case& c)
{
    for (auto& a : c.chords)
        transferAccord(io, a);
    io.field(c.division);
    io.field(c.spare1);
    io.field(c.left);
    io.field(c.right);
    io.field(c.top);
    io.field(c.bottom);
    io.field(c.spare2);
    io.field(c.x);
    io.field(c.y);
    io.field(c.shown);
    io.raw(c.spare3);
}

template <class Io, class Texte> void transferTexte(Io& io, Texte& t)
{
    io.text(t.text);
    io.raw(t.spare1);
    io.field(t.x);
    io.field(t.y);
    io.field(t.bold);
    io.field(t.size);
    io.raw(t.spare2);
}

template <class Io, class Info> void transferInfo(Io& io, Info& g)
{
    io.field(g.count);
    io.field(g.barWidth);
    io.field(g.barHeight);
    io.field(g.columns);
    io.field(g.rows);
    io.field(g.fontSize);
    io.field(g.bold);
    io.raw(g.spare);
    io.field(g.labelCount);
    io.field(g.pageWidth);
    io.field(g.pageHeight);
    io.field(g.topMargin);
    io.field(g.bottomMargin);
    io.field(g.sideMargin);
}

constexpr std::size_t InfoOffset = 8;

std::size_t recordsSize(const GridInfo& info)
{
    return static_cast<std::size_t>(info.count) * BarRecordSize
        + static_cast<std::size_t>(info.labelCount) * LabelRecordSize;
}

// --- messages -------------------------------------------------------------

const char* const EndOfFile = QT_TRANSLATE_NOOP("Message", "Lecture au-delà de la fin de fichier.");
const char* const BadName = QT_TRANSLATE_NOOP("Message", "Nom de fichier incorrect.");

FileResult failure(Message message, const std::string& fileName)
{
    return FileResult::failure(std::move(message), fileName);
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Whether the failing call works on the file itself or on its folder: a
// temporary file is created and renamed in the folder, and a folder that
// refuses that must not be blamed on the file.
enum class Step { File, Folder };

// The system answers ENOENT both for a missing file and for a missing folder
// on its path; only the folder tells them apart.
Message ioMessage(int code, const std::string& path, Step step, FileSystem& fs)
{
    switch (code) {
    case ENOENT:
        switch (fs.kind(folderOf(path))) {
        case FileKind::Folder:
            return QT_TRANSLATE_NOOP("Message", "Fichier introuvable.");
        case FileKind::Missing:
            return {QT_TRANSLATE_NOOP("Message", "Dossier « %1 » introuvable."), {folderOf(path)}};
        default:
            return {QT_TRANSLATE_NOOP("Message", "« %1 » n'est pas un dossier."), {folderOf(path)}};
        }
    case ENOTDIR:
        if (const FileKind k = fs.kind(folderOf(path)); k == FileKind::Regular || k == FileKind::Special)
            return {QT_TRANSLATE_NOOP("Message", "« %1 » n'est pas un dossier."), {folderOf(path)}};
        return BadName;
    case EEXIST:
        return QT_TRANSLATE_NOOP("Message", "Le fichier existe déjà.");
    case ENAMETOOLONG:
    case ELOOP:
        return BadName;
    case EACCES:
    case EPERM:
    case EROFS:
        if (step == Step::Folder)
            return {QT_TRANSLATE_NOOP("Message", "Accès au dossier « %1 » refusé."), {folderOf(path)}};
        [[fallthrough]];
    case EISDIR:   // a folder chosen as a chart
        return QT_TRANSLATE_NOOP("Message", "Accès au fichier refusé.");
    case EMFILE:
    case ENFILE:
        return QT_TRANSLATE_NOOP("Message", "Trop de fichiers ouverts.");
    case ENOSPC:
    case EDQUOT:
        return QT_TRANSLATE_NOOP("Message", "Disque plein.");
    default:
        return {QT_TRANSLATE_NOOP("Message", "Erreur E/S %1."), {std::to_string(code)}};
    }
}

// Each problem of a layout block, in a chart file read and in a chart to be
// saved; in the order of LayoutProblem, None first.
constexpr const char* DamagedFile[] = {
    nullptr,
    QT_TRANSLATE_NOOP("Message", "Fichier de grille endommagé : nombre de cases incorrect."),
    QT_TRANSLATE_NOOP("Message", "Fichier de grille endommagé : nombre de textes incorrect."),
    QT_TRANSLATE_NOOP("Message", "Fichier de grille endommagé : nombre de colonnes ou de lignes incorrect."),
    QT_TRANSLATE_NOOP("Message", "Fichier de grille endommagé : taille de page incorrecte."),
    QT_TRANSLATE_NOOP("Message", "Fichier de grille endommagé : marges incorrectes."),
};
constexpr const char* InconsistentChart[] = {
    nullptr,
    QT_TRANSLATE_NOOP("Message", "Grille incohérente : nombre de cases incorrect."),
    QT_TRANSLATE_NOOP("Message", "Grille incohérente : nombre de textes incorrect."),
    QT_TRANSLATE_NOOP("Message", "Grille incohérente : nombre de colonnes ou de lignes incorrect."),
    QT_TRANSLATE_NOOP("Message", "Grille incohérente : taille de page incorrecte."),
    QT_TRANSLATE_NOOP("Message", "Grille incohérente : marges incorrectes."),
};

// --- files ----------------------------------------------------------------

// Closes the file on every early return; a failure there adds nothing to the
// failure being reported.
class OpenFile {
public:
    OpenFile(FileSystem& fs, int fd) : m_fs(fs), m_fd(fd) {}
    ~OpenFile()
    {
        if (m_fd >= 0)
            m_fs.close(m_fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return m_fs.close(fd);
    }

private:
    FileSystem& m_fs;
    int m_fd;
};

std::string baseOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The hidden name beside the file, cut to what a folder entry may hold.
std::string hiddenName(const std::string& target, std::string_view suffix)
{
    constexpr std::size_t MaxEntry = 255;
    std::string base = baseOf(target);
    base.resize(std::min(base.size(), MaxEntry - 1 - suffix.size()));
    const std::string folder = target.find('/') == std::string::npos ? std::string() : folderOf(target);
    return (folder.empty() ? "" : folder == "/" ? "/" : folder + "/") + "." + base + std::string(suffix);
}

constexpr std::string_view TemporarySuffix = ".mavrel-save";

// Another save of the same file holds its temporary name right now: this
// one takes a name of its own, which no later save looks for.
std::string uniqueTemporaryName(const std::string& target)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(Letters) - 2);
    std::string suffix = std::string(TemporarySuffix) + "-";
    for (int i = 0; i < 6; ++i)
        suffix += Letters[pick(random)];
    return hiddenName(target, suffix);
}

// Writes into a file that stays where it is. Pipes, terminals and most
// devices cannot be flushed, and need not be.
int writeInPlace(FileSystem& fs, int fd, std::span<const std::uint8_t> bytes)
{
    OpenFile file(fs, fd);
    if (int err = fs.write(fd, bytes))
        return err;
    if (int err = fs.fsync(fd); err && err != EINVAL && err != EROFS)
        return err;
    return file.close();
}

// Whether the file system has no unnamed files: anything else that stops
// one being made would stop a named one too.
bool unnamedUnsupported(int err)
{
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL;
}

// The outcome of putting the bytes under the target's name, and whether a
// failure is the folder's (the temporary file could not be made).
struct Placed {
    int err = 0;
    bool folder = false;
};

// The file is written and flushed before it has a name, then linked under
// the temporary name and renamed over the target (or linked under the target
// itself when it must be new). A kill leaves nothing, or for the instant
// between the link and the rename the temporary file, whole.
Placed placeUnnamed(FileSystem& fs, int fd, const std::string& target, std::span<const std::uint8_t> bytes,
                    bool createOnly)
{
    OpenFile file(fs, fd);
    if (int err = fs.write(fd, bytes))
        return {err};
    if (int err = fs.fsync(fd))
        return {err};
    if (createOnly) {
        if (int err = fs.linkNew(fd, target))
            return {err};
        if (int err = file.close()) {
            fs.remove(target);
            return {err};
        }
        return {};
    }
    std::string temp = temporaryFileName(target);
    int err = fs.linkNew(fd, temp);
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        temp = uniqueTemporaryName(target);
        err = fs.linkNew(fd, temp);
    }
    if (err)
        return {err, true};
    if ((err = file.close()) || (err = fs.rename(temp, target)))
        fs.remove(temp);
    return {err};
}

// The same where files cannot be made without a name: the temporary file is
// named from the start, and a kill while it is written leaves it behind.
Placed placeNamed(FileSystem& fs, const std::string& target, std::span<const std::uint8_t> bytes, bool createOnly)
{
    std::string temp = temporaryFileName(target);
    int fd = -1;
    int err = fs.createNew(temp, target, fd);
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        temp = uniqueTemporaryName(target);
        err = fs.createNew(temp, target, fd);
    }
    if (err)
        return {err, true};
    OpenFile file(fs, fd);
    if ((err = fs.write(fd, bytes)) || (err = fs.fsync(fd)) || (err = file.close())
        || (err = createOnly ? fs.renameNew(temp, target) : fs.rename(temp, target)))
        fs.remove(temp);
    return {err};
}

class SystemFileSystem final : public FileSystem {
public:
    int openRead(const std::string& path, int& fd) override
    {
        do
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        return fd < 0 ? errno : 0;
    }

    int openWrite(const std::string& path, int& fd) override
    {
        do
            fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        return fd < 0 ? errno : 0;
    }

    int openStandardOutput(int& fd) override
    {
        fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        return fd < 0 ? errno : 0;
    }

    int createUnnamed(const std::string& folder, const std::string& like, int& fd) override
    {
        return created(::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666), like, fd);
    }

    int createNew(const std::string& path, const std::string& like, int& fd) override
    {
        return created(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666), like, fd);
    }

    int linkNew(int fd, const std::string& path) override
    {
        // Through /proc, which any user may do; AT_EMPTY_PATH needs a
        // privilege, but works where /proc is not mounted.
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        const int err = errno;
        if (err == ENOENT && ::access("/proc/self/fd", F_OK) != 0)
            return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
        return err;
    }

    int read(int fd, std::span<std::uint8_t> buffer, std::size_t& got) override
    {
        got = 0;
        while (got < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return errno;
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        return 0;
    }

    int write(int fd, std::span<const std::uint8_t> bytes) override
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return errno;
            if (n == 0)
                return ENOSPC;
            done += static_cast<std::size_t>(n);
        }
        return 0;
    }

    int fsync(int fd) override { return ::fsync(fd) == 0 ? 0 : errno; }

    int close(int fd) override
    {
        // On Linux the descriptor is gone even when close reports EINTR.
        return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
    }

    // The folder is not flushed after the rename: the new file's bytes are
    // on disk before its name changes, so after a power cut the chart is the
    // old one or the new one, whole either way, at half the cost of a save.
    int rename(const std::string& from, const std::string& to) override
    {
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    int renameNew(const std::string& from, const std::string& to) override
    {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // A file system that cannot rename without replacing can link.
        if (::link(from.c_str(), to.c_str()) != 0)
            return errno;
        ::unlink(from.c_str());
        return 0;
    }

    int remove(const std::string& path) override { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

    int removeLeftover(const std::string& path) override
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return errno == ENOENT ? 0 : errno;
        struct stat opened {}, named {};
        int err = 0;
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode))
            err = EPERM;
        else if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            err = EBUSY;
        // Removed by name only while the name is still the file looked at.
        else if (::lstat(path.c_str(), &named) != 0)
            err = errno;
        else if (named.st_ino != opened.st_ino || named.st_dev != opened.st_dev)
            err = EBUSY;
        else if (::unlink(path.c_str()) != 0)
            err = errno;
        ::close(fd);
        return err == ENOENT ? 0 : err;
    }

    int checkWritable(const std::string& path) override
    {
        if (::access(path.c_str(), W_OK) == 0 || errno == ENOENT)
            return 0;
        return errno;
    }

    FileKind kind(const std::string& path) override
    {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return FileKind::Missing;
        if (S_ISREG(st.st_mode))
            return FileKind::Regular;
        return S_ISDIR(st.st_mode) ? FileKind::Folder : FileKind::Special;
    }

    FileKind entryKind(const std::string& path) override
    {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return FileKind::Missing;
        if (S_ISLNK(st.st_mode))
            return FileKind::Link;
        if (S_ISREG(st.st_mode))
            return FileKind::Regular;
        return S_ISDIR(st.st_mode) ? FileKind::Folder : FileKind::Special;
    }

    std::string resolve(const std::string& path) override
    {
        std::string name = path;
        for (int links = 0; links <= 40; ++links) {
            if (std::string real = realPath(name); !real.empty())
                return real;
            // Nothing there yet: a link to follow by hand, or the name of the
            // file to create, in a folder made absolute when it exists.
            std::string target(PATH_MAX, '\0');
            const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
            if (n < 0 || std::size_t(n) >= target.size()) {
                const std::string folder = realPath(folderOf(name));
                const auto slash = name.rfind('/');
                const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
                return folder.empty() ? name : (folder == "/" ? "" : folder) + "/" + base;
            }
            target.resize(std::size_t(n));
            name = target.front() == '/' ? target : folderOf(name) + "/" + target;
        }
        return {};
    }

private:
    // The file just opened (fd, or -1 and errno), locked, with the old file's
    // permissions; failing to take them is no reason to lose the save.
    static int created(int opened, const std::string& like, int& fd)
    {
        fd = opened;
        if (fd < 0)
            return errno;
        // A lock that cannot be taken only leaves the file unprotected.
        (void)::flock(fd, LOCK_EX | LOCK_NB);
        struct stat old {};
        if (::stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            (void)::fchmod(fd, old.st_mode & 07777);
        return 0;
    }

    static std::string realPath(const std::string& path)
    {
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real)
            return {};
        std::string result(real);
        std::free(real);
        return result;
    }
};

} // namespace

FileSystem& systemFileSystem()
{
    static SystemFileSystem fs;
    return fs;
}

LayoutProblem checkLayout(const GridInfo& g)
{
    if (g.count < 0 || g.count > MaxBars)
        return LayoutProblem::BarCount;
    if (g.labelCount < 0 || g.labelCount > MaxLabels)
        return LayoutProblem::LabelCount;
    if (g.columns < 1 || g.rows < 1
        || static_cast<std::int64_t>(g.columns) * g.rows > MaxBars)
        return LayoutProblem::Grid;
    if (g.pageWidth < 1 || g.pageWidth > 10000 || g.pageHeight < 1 || g.pageHeight > 10000)
        return LayoutProblem::PageSize;
    for (std::int32_t margin : {g.topMargin, g.bottomMargin, g.sideMargin})
        if (margin < 0 || margin > 10000)
            return LayoutProblem::Margins;
    return LayoutProblem::None;
}

std::vector<std::uint8_t> encodeChart(const Chart& chart)
{
    const GridInfo& info = chart.info;
    if (checkLayout(info) != LayoutProblem::None)
        return {};
    std::vector<std::uint8_t> bytes(HeaderSize + recordsSize(info));
    ByteWriter out(bytes);
    out.field(std::int32_t{1});
    out.field(std::int32_t{0});
    transferInfo(out, info);
    out.zeros(8);
    out.field(static_cast<std::uint8_t>(Signature.size()));
    for (char c : Signature)
        out.field(c);
    out.zeros(HeaderSize - out.position());
    for (int i = 1; i <= info.count; ++i)
        transferCase(out, chart.bar(i));
    for (int j = 1; j <= info.labelCount; ++j)
        transferTexte(out, chart.label(j));
    if (out.failed() || out.position() != bytes.size())
        return {};
    const std::vector<std::uint8_t> extension = encodeExtension(chart);
    bytes.insert(bytes.end(), extension.begin(), extension.end());
    return bytes;
}

std::string temporaryFileName(const std::string& fileName)
{
    return hiddenName(fileName, TemporarySuffix);
}

FileResult writeFile(const std::string& fileName, std::span<const std::uint8_t> bytes, FileSystem& fs,
                     WriteMode mode)
{
    auto fail = [&](int code, const std::string& path, Step step) {
        return failure(ioMessage(code, path, step, fs), fileName);
    };
    if (fileName.empty())
        return failure(BadName, fileName);

    int fd = -1;
    int err = 0;
    if (fileName == StandardOutputName) {
        if (!(err = fs.openStandardOutput(fd)))
            err = writeInPlace(fs, fd, bytes);
        return err ? fail(err, fileName, Step::File) : FileResult{};
    }

    std::string target = fileName;
    bool existing = true;
    if (mode == WriteMode::Follow) {
        switch (fs.kind(fileName)) {
        case FileKind::Special:
            // Renaming over a device or a pipe would put a plain file in its place.
            if (!(err = fs.openWrite(fileName, fd)))
                err = writeInPlace(fs, fd, bytes);
            return err ? fail(err, fileName, Step::File) : FileResult{};
        case FileKind::Folder:
            return fail(EISDIR, fileName, Step::File);
        default:
            break;
        }
        // Write beside the file that finally gets replaced, so that the rename
        // stays within one file system and a symbolic link keeps pointing at it.
        target = fs.resolve(fileName);
        if (target.empty())
            return fail(ELOOP, fileName, Step::File);
    } else {
        const FileKind entry = fs.entryKind(fileName);
        if (entry == FileKind::Folder)
            return fail(EISDIR, fileName, Step::File);
        if (mode == WriteMode::CreateOnly && entry != FileKind::Missing)
            return fail(EEXIST, fileName, Step::File);
        // Replacing a link or a pipe only asks the folder.
        existing = entry == FileKind::Regular;
    }
    if (existing && (err = fs.checkWritable(target)))
        return fail(err, target, Step::File);

    const bool createOnly = mode == WriteMode::CreateOnly;
    fs.removeLeftover(temporaryFileName(target));
    Placed placed;
    if (!(err = fs.createUnnamed(folderOf(target), target, fd)))
        placed = placeUnnamed(fs, fd, target, bytes, createOnly);
    else if (unnamedUnsupported(err))
        placed = placeNamed(fs, target, bytes, createOnly);
    else
        placed = {err, true};
    if (placed.err)
        return fail(placed.err, target, placed.folder ? Step::Folder : Step::File);
    return {};
}

FileResult saveChart(const Chart& chart, const std::string& fileName, FileSystem& fs, WriteMode mode)
{
    if (const LayoutProblem problem = checkLayout(chart.info); problem != LayoutProblem::None)
        return failure(InconsistentChart[static_cast<std::size_t>(problem)], fileName);
    return writeFile(fileName, encodeChart(chart), fs, mode);
}

FileResult decodeChart(std::span<const std::uint8_t> bytes, Chart& chart, const std::string& fileName)
{
    if (bytes.size() < HeaderSize)
        return failure(EndOfFile, fileName);
    GridInfo info{};
    ByteReader header(bytes.subspan(InfoOffset));
    transferInfo(header, info);
    if (header.failed())
        return failure(EndOfFile, fileName);
    if (const LayoutProblem problem = checkLayout(info); problem != LayoutProblem::None)
        return failure(DamagedFile[static_cast<std::size_t>(problem)], fileName);
    if (bytes.size() - HeaderSize < recordsSize(info))
        return failure(EndOfFile, fileName);

    // Every byte is in hand and the counts fit the arrays: nothing can fail
    // from here, so only now is the chart replaced. One reader per record,
    // of fixed size, so that the compiler drops the checks inside it.
    chart.info = info;
    const std::uint8_t* record = bytes.data() + HeaderSize;
    for (int i = 1; i <= info.count; ++i, record += BarRecordSize) {
        ByteReader in({record, BarRecordSize});
        transferCase(in, chart.bar(i));
    }
    // Bars the file does not hold start blank, whatever the chart held before:
    // the grid may show them, and they must not carry another chart's chords.
    for (int i = info.count + 1; i <= MaxBars; ++i)
        chart.bar(i) = blankBar();
    for (int j = 1; j <= info.labelCount; ++j, record += LabelRecordSize) {
        ByteReader in({record, LabelRecordSize});
        transferTexte(in, chart.label(j));
    }
    chart.song = {};
    FileResult r;
    r.fileName = fileName;
    r.warning = decodeExtension(bytes.subspan(HeaderSize + recordsSize(info)), chart);
    return r;
}

FileResult readFile(const std::string& fileName, std::size_t limit, std::string& bytes, FileSystem& fs)
{
    auto fail = [&](int code) { return failure(ioMessage(code, fileName, Step::File, fs), fileName); };
    bytes.clear();
    if (fileName.empty())
        return failure(BadName, fileName);
    int fd = -1;
    if (int err = fs.openRead(fileName, fd))
        return fail(err);
    OpenFile file(fs, fd);
    // Room for the most that is read, kept from the start: growing by
    // doubling would hold twice the limit for a moment.
    constexpr std::size_t Chunk = 1 << 20;
    bytes.reserve(limit + 1);
    std::size_t got = 0;
    do {
        const std::size_t before = bytes.size();
        const std::size_t want = std::min(Chunk, limit + 1 - before);
        bytes.resize(before + want);
        const int err = fs.read(fd, {reinterpret_cast<std::uint8_t*>(bytes.data()) + before, want}, got);
        bytes.resize(before + (err ? 0 : got));
        if (err)
            return fail(err);
        if (got < want)
            break;
    } while (bytes.size() <= limit);
    if (int err = file.close())
        return fail(err);
    bytes.shrink_to_fit();
    return {};
}

FileResult loadChart(Chart& chart, const std::string& fileName, FileSystem& fs)
{
    auto fail = [&](int code) { return failure(ioMessage(code, fileName, Step::File, fs), fileName); };
    if (fileName.empty())
        return failure(BadName, fileName);
    int fd = -1;
    if (int err = fs.openRead(fileName, fd))
        return fail(err);
    OpenFile file(fs, fd);

    // No chart is longer than the largest one: one read takes in the whole
    // of any file that can be valid, and never more than that.
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(MaxChartFileSize);
    std::size_t got = 0;
    if (int err = fs.read(fd, {buffer.get(), MaxChartFileSize}, got))
        return fail(err);
    if (int err = file.close())
        return fail(err);
    FileResult r = decodeChart({buffer.get(), got}, chart, fileName);
    if (r.ok)
        layoutChart(chart);
    return r;
}

} // namespace mavrel
