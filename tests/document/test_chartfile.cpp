// Chart files on disk: the exact bytes, what Load refuses and leaves alone,
// every message, and a save that never destroys the previous file.
#include "document/chartfile.h"
#include "document/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace mavrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Every byte of a chart, to prove a refused load touched nothing.
struct Snapshot {
    Bytes bytes;
    bool operator==(const Snapshot&) const = default;
    friend void PrintTo(const Snapshot&, std::ostream* os) { *os << "chart"; }
};

Snapshot snapshot(const Chart& c)
{
    const auto* b = reinterpret_cast<const std::uint8_t*>(&c);
    return {Bytes(b, b + sizeof c)};
}

// Every byte of every record, spare bytes and odd values included.
void scramble(Chart& c, unsigned seed)
{
    std::mt19937 random(seed);
    auto fill = [&](void* p, std::size_t n) {
        auto* b = static_cast<std::uint8_t*>(p);
        for (std::size_t i = 0; i < n; ++i)
            b[i] = static_cast<std::uint8_t>(random());
    };
    fill(c.bars.data(), sizeof c.bars);
    fill(c.labels.data(), sizeof c.labels);
    // A chord record holds 8 characters of a quality: what a file can say.
    for (Bar& bar : c.bars)
        for (Chord& chord : bar.chords) {
            chord.quality.len %= RecordQualityLength + 1;
            std::fill(chord.quality.chars + RecordQualityLength, std::end(chord.quality.chars), '\0');
        }
}

// A full chart: 5 x 100 bars, 100 labels, every record scrambled.
Chart* fullChart(Chart& c, unsigned seed)
{
    scramble(c, seed);
    c.info = GridInfo{500, 83, 7, 5, 100, 12, 0, {9, 8, 7}, 100, 565, 800, 40, 30, 20};
    return &c;
}

std::int32_t le32(const Bytes& b, std::size_t at)
{
    return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16
                                     | static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void put32(Bytes& b, std::size_t at, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}

class ChartFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("mavrel-chartfile-" + std::to_string(::getpid()) + "-"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    static Bytes read(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const std::string& p, const Bytes& b)
    {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                  static_cast<std::streamsize>(b.size()));
    }
    std::vector<std::string> listing(const std::string& folder = {}) const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir / folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void makeFresh(Chart& c) { resetChart(c); }

    // The file as read, without the layout loading adds.
    static FileResult decodeFile(Chart& c, const std::string& p)
    {
        const Bytes b = read(p);
        return decodeChart(b, c, p);
    }

    fs::path dir;
};

// --- bytes --------------------------------------------------------------------

TEST_F(ChartFileTest, FreshChartIsTheDocumentedFile)
{
    Chart c{};
    makeFresh(c);
    ASSERT_TRUE(saveChart(c, path("new.bab")).ok);
    const Bytes b = read(path("new.bab"));
    ASSERT_EQ(b.size(), 2456u);
    const std::int32_t header[] = {1, 0, 32, 106, 72, 4, 8, 10, 1, 0, 565, 800, 150, 70, 70};
    for (std::size_t i = 0; i < std::size(header); ++i)
        EXPECT_EQ(le32(b, 4 * i), header[i]) << "value " << i;
    EXPECT_EQ(Bytes(b.begin() + 60, b.begin() + 68), Bytes(8, 0));
    EXPECT_EQ(b[68], 29);
    EXPECT_EQ(std::string(b.begin() + 69, b.begin() + 98), " C est pas bien de fouiner !!");
    EXPECT_EQ(Bytes(b.begin() + 98, b.begin() + 152), Bytes(54, 0));
    // Bar 32: the last one, bottom right.
    const std::size_t bar32 = 152 + 72 * 31;
    EXPECT_EQ(b[bar32 + 48], 1);  // one chord
    EXPECT_EQ(le32(b, bar32 + 60), 385);
    EXPECT_EQ(le32(b, bar32 + 64), 647);
    EXPECT_EQ(b[bar32 + 68], 1);  // shown
}

TEST_F(ChartFileTest, ValuesAreLittleEndianAtTheirOffsets)
{
    Chart c{};
    makeFresh(c);
    c.info.fontSize = 0x01020304;
    c.bar(2).left = 0x0102;
    c.bar(2).bottom = -2;
    c.bar(2).x = -2;
    c.bar(2).slot(4).root = 11;
    c.bar(2).slot(4).quality.assign("m7b5");
    c.info.labelCount = 2;
    c.label(2).text.assign("Intro");
    c.label(2).y = 0x0A0B0C0D;
    c.label(2).size = -5;
    const Bytes b = encodeChart(c);
    ASSERT_EQ(b.size(), 2456u + 2 * 116);
    EXPECT_EQ(Bytes(b.begin() + 28, b.begin() + 32), (Bytes{4, 3, 2, 1}));
    const std::size_t bar2 = 152 + 72;
    EXPECT_EQ(Bytes(b.begin() + bar2 + 50, b.begin() + bar2 + 52), (Bytes{2, 1}));
    EXPECT_EQ(Bytes(b.begin() + bar2 + 56, b.begin() + bar2 + 58), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ(le32(b, bar2 + 60), -2);
    EXPECT_EQ(b[bar2 + 36], 11);
    EXPECT_EQ(b[bar2 + 37], 4);
    EXPECT_EQ(std::string(b.begin() + bar2 + 38, b.begin() + bar2 + 42), "m7b5");
    const std::size_t label2 = 2456 + 116;
    EXPECT_EQ(b[label2], 5);
    EXPECT_EQ(std::string(b.begin() + label2 + 1, b.begin() + label2 + 6), "Intro");
    EXPECT_EQ(Bytes(b.begin() + label2 + 108, b.begin() + label2 + 112), (Bytes{0x0D, 0x0C, 0x0B, 0x0A}));
    EXPECT_EQ(b[label2 + 113], 0xFB);
}

// Spare bytes, characters past a string's length and out-of-range values
// (roots past 12, label lengths past capacity, division 200, font size <= 0)
// all come back as they were.
TEST_F(ChartFileTest, SaveLoadSaveGivesBackEveryByte)
{
    auto original = std::make_unique<Chart>();
    fullChart(*original, 1);
    ASSERT_TRUE(saveChart(*original, path("a.bab")).ok);
    EXPECT_EQ(read(path("a.bab")).size(), HeaderSize + MaxBars * BarRecordSize + MaxLabels * LabelRecordSize);

    auto loaded = std::make_unique<Chart>();
    scramble(*loaded, 2);
    ASSERT_TRUE(decodeFile(*loaded, path("a.bab")).ok);
    EXPECT_EQ(snapshot(*loaded), snapshot(*original));

    ASSERT_TRUE(saveChart(*loaded, path("b.bab")).ok);
    EXPECT_EQ(read(path("b.bab")), read(path("a.bab")));
}

TEST_F(ChartFileTest, LongerFileLoadsAndTheExcessIsIgnored)
{
    Chart c{};
    makeFresh(c);
    Bytes b = encodeChart(c);
    b.insert(b.end(), 5000, 0xEE);
    write(path("long.bab"), b);
    Chart loaded{};
    makeFresh(loaded);
    loaded.bar(3).slot(1).root = 4;
    ASSERT_TRUE(loadChart(loaded, path("long.bab")).ok);
    EXPECT_EQ(snapshot(loaded), snapshot(c));
}

TEST_F(ChartFileTest, LandscapeChartLoadsInLandscape)
{
    Chart c{};
    makeFresh(c);
    c.info.pageWidth = 800;
    c.info.pageHeight = 565;
    c.info.topMargin = 100;
    c.info.bottomMargin = 50;
    c.info.sideMargin = 40;
    c.info.columns = 6;
    c.info.rows = 4;
    layoutChart(c);
    ASSERT_TRUE(saveChart(c, path("land.bab")).ok);

    Chart loaded{};
    makeFresh(loaded);
    ASSERT_TRUE(loadChart(loaded, path("land.bab")).ok);
    EXPECT_EQ(loaded.info.pageWidth, 800);
    EXPECT_EQ(loaded.info.pageHeight, 565);
    EXPECT_EQ(loaded.info.sideMargin, 40);
    EXPECT_EQ(loaded.info.count, 24);
    EXPECT_EQ(loaded.info.barWidth, 120);
    EXPECT_EQ(loaded.bar(24).x, 40 + 5 * 119);
}

// Bars past N start blank, so that the grid never shows the previous chart's
// chords; labels past M, the tool and the file name are not the file's.
TEST_F(ChartFileTest, LoadBlanksBarsPastTheFileAndLeavesTheRest)
{
    Chart small{};
    makeFresh(small);
    small.info.rows = 4;
    layoutChart(small);
    small.info.labelCount = 2;
    ASSERT_TRUE(saveChart(small, path("small.bab")).ok);

    Chart c{};
    makeFresh(c);
    for (int i = 17; i <= MaxBars; ++i) {
        c.bar(i).slot(1).root = static_cast<std::uint8_t>(i % 12 + 1);
        c.bar(i).slot(1).flat = 1;
        c.bar(i).shown = 0;
    }
    c.info.labelCount = 5;
    for (int j = 1; j <= 5; ++j)
        c.label(j).text.assign("label " + std::to_string(j));
    ASSERT_TRUE(loadChart(c, path("small.bab")).ok);
    EXPECT_EQ(c.info.count, 16);
    EXPECT_EQ(c.info.labelCount, 2);
    const Bar blank = blankBar();
    for (int i = 17; i <= MaxBars; ++i)
        ASSERT_EQ(std::memcmp(&c.bar(i), &blank, sizeof(Bar)), 0) << "bar " << i;
    for (int j = 3; j <= 5; ++j)
        EXPECT_EQ(c.label(j).text.str(), "label " + std::to_string(j));
}

// --- refusals -------------------------------------------------------------------

struct Damage {
    const char* what;
    std::size_t offset;
    std::int32_t value;
    const char* message;
};

const Damage damages[] = {
    {"bar count -1", 8, -1, "nombre de cases incorrect"},
    {"bar count 501", 8, 501, "nombre de cases incorrect"},
    {"bar count huge", 8, 0x7FFFFFFF, "nombre de cases incorrect"},
    {"label count -1", 36, -1, "nombre de textes incorrect"},
    {"label count 101", 36, 101, "nombre de textes incorrect"},
    {"columns 0", 20, 0, "nombre de colonnes ou de lignes incorrect"},
    {"columns -5", 20, -5, "nombre de colonnes ou de lignes incorrect"},
    {"rows 0", 24, 0, "nombre de colonnes ou de lignes incorrect"},
    {"5 x 101 bars", 24, 101, "nombre de colonnes ou de lignes incorrect"},
    {"product past 32 bits", 24, 0x40000000, "nombre de colonnes ou de lignes incorrect"},
    {"page width 0", 40, 0, "taille de page incorrecte"},
    {"page width 10001", 40, 10001, "taille de page incorrecte"},
    {"page height -800", 44, -800, "taille de page incorrecte"},
    {"page height 10001", 44, 10001, "taille de page incorrecte"},
    {"top margin -1", 48, -1, "marges incorrectes"},
    {"bottom margin 10001", 52, 10001, "marges incorrectes"},
    {"side margin -70", 56, -70, "marges incorrectes"},
};

TEST_F(ChartFileTest, DamagedLayoutIsRefusedAndNothingChanges)
{
    auto source = std::make_unique<Chart>();
    Bytes good = encodeChart(*fullChart(*source, 3));
    good.resize(good.size() + 100000, 0);  // so that only the check can refuse
    auto c = std::make_unique<Chart>();
    makeFresh(*c);
    const Snapshot before = snapshot(*c);
    for (const Damage& d : damages) {
        Bytes b = good;
        put32(b, d.offset, d.value);
        write(path("bad.bab"), b);
        const FileResult r = loadChart(*c, path("bad.bab"));
        EXPECT_FALSE(r.ok) << d.what;
        EXPECT_EQ(r.message.text(), std::string("Fichier de grille endommagé : ") + d.message + ".") << d.what;
        EXPECT_TRUE(snapshot(*c) == before) << d.what;
    }
}

TEST_F(ChartFileTest, LimitsThemselvesAreAccepted)
{
    const std::vector<std::pair<std::size_t, std::int32_t>> edges[] = {
        {{20, 1}, {24, 500}}, {{20, 500}, {24, 1}}, {{8, 0}, {36, 0}},
        {{40, 1}, {44, 10000}}, {{40, 10000}, {44, 1}},
        {{48, 0}, {52, 0}, {56, 0}}, {{48, 10000}, {52, 10000}, {56, 10000}},
    };
    auto source = std::make_unique<Chart>();
    const Bytes good = encodeChart(*fullChart(*source, 4));
    auto c = std::make_unique<Chart>();
    for (const auto& edge : edges) {
        Bytes b = good;
        for (auto [offset, value] : edge)
            put32(b, offset, value);
        write(path("edge.bab"), b);
        EXPECT_TRUE(decodeFile(*c, path("edge.bab")).ok) << edge[0].first << " = " << edge[0].second;
    }
}

TEST_F(ChartFileTest, ShortFilesEndBeforeTheirCounts)
{
    Chart c{};
    makeFresh(c);
    const Bytes good = encodeChart(c);
    const Snapshot before = snapshot(c);
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{151}, std::size_t{152},
                             good.size() - 72, good.size() - 1}) {
        write(path("short.bab"), Bytes(good.begin(), good.begin() + static_cast<long>(size)));
        const FileResult r = loadChart(c, path("short.bab"));
        EXPECT_FALSE(r.ok) << size;
        EXPECT_EQ(r.message.text(), "Lecture au-delà de la fin de fichier.") << size;
        EXPECT_TRUE(snapshot(c) == before) << size;
    }
}

TEST_F(ChartFileTest, SaveRefusesAChartBeyondTheArrays)
{
    Chart c{};
    makeFresh(c);
    c.info.count = 501;
    const FileResult r = saveChart(c, path("x.bab"));
    EXPECT_EQ(r.message.text(), "Grille incohérente : nombre de cases incorrect.");
    EXPECT_TRUE(listing().empty());
}

// --- file layer and messages ---------------------------------------------------------

// Real files, with one chosen call made to fail. A failing write writes half
// first, as a full disk does; a failing close still releases the file.
// `named`: a file system without unnamed files.
class FaultyFileSystem : public FileSystem {
public:
    FaultyFileSystem(std::string op, int code, bool named = false)
        : m_op(std::move(op)), m_code(code), m_named(named)
    {
    }

    int openRead(const std::string& p, int& fd) override
    {
        return fail("openRead") ? m_code : real().openRead(p, fd);
    }
    int openWrite(const std::string& p, int& fd) override
    {
        return fail("openWrite") ? m_code : real().openWrite(p, fd);
    }
    int openStandardOutput(int& fd) override
    {
        return fail("openStandardOutput") ? m_code : real().openStandardOutput(fd);
    }
    int createUnnamed(const std::string& folder, const std::string& like, int& fd) override
    {
        if (m_named)
            return EOPNOTSUPP;
        return fail("createUnnamed") ? m_code : real().createUnnamed(folder, like, fd);
    }
    int createNew(const std::string& p, const std::string& like, int& fd) override
    {
        return fail("createNew") ? m_code : real().createNew(p, like, fd);
    }
    int linkNew(int fd, const std::string& p) override { return fail("linkNew") ? m_code : real().linkNew(fd, p); }
    int read(int fd, std::span<std::uint8_t> b, std::size_t& got) override
    {
        return fail("read") ? m_code : real().read(fd, b, got);
    }
    int write(int fd, std::span<const std::uint8_t> b) override
    {
        if (!fail("write"))
            return real().write(fd, b);
        real().write(fd, b.first(b.size() / 2));
        return m_code;
    }
    int fsync(int fd) override { return fail("fsync") ? m_code : real().fsync(fd); }
    int close(int fd) override
    {
        const int err = real().close(fd);
        return fail("close") ? m_code : err;
    }
    int rename(const std::string& from, const std::string& to) override
    {
        return fail("rename") ? m_code : real().rename(from, to);
    }
    int renameNew(const std::string& from, const std::string& to) override
    {
        return fail("renameNew") ? m_code : real().renameNew(from, to);
    }
    int remove(const std::string& p) override { return fail("remove") ? m_code : real().remove(p); }
    int removeLeftover(const std::string& p) override { return real().removeLeftover(p); }
    int checkWritable(const std::string& p) override
    {
        return fail("checkWritable") ? m_code : real().checkWritable(p);
    }
    FileKind kind(const std::string& p) override { return real().kind(p); }
    FileKind entryKind(const std::string& p) override { return real().entryKind(p); }
    std::string resolve(const std::string& p) override { return real().resolve(p); }

    std::vector<std::string> calls;

private:
    static FileSystem& real() { return systemFileSystem(); }
    bool fail(const char* op)
    {
        calls.push_back(op);
        return m_op == op;
    }

    std::string m_op;
    int m_code;
    bool m_named;
};

struct Fault {
    const char* op;
    int code;
    const char* message;
};

TEST_F(ChartFileTest, LoadFailuresGiveTheirMessagesAndChangeNothing)
{
    const Fault faults[] = {
        {"openRead", ENOENT, "Fichier introuvable."},
        {"openRead", ENOTDIR, "Nom de fichier incorrect."},
        {"openRead", EACCES, "Accès au fichier refusé."},
        {"openRead", EMFILE, "Trop de fichiers ouverts."},
        {"openRead", ENFILE, "Trop de fichiers ouverts."},
        {"openRead", 1234, "Erreur E/S 1234."},
        {"read", EIO, "Erreur E/S 5."},
        {"close", EIO, "Erreur E/S 5."},
    };
    Chart c{};
    makeFresh(c);
    ASSERT_TRUE(saveChart(c, path("c.bab")).ok);
    c.bar(1).slot(1).root = 7;
    const Snapshot before = snapshot(c);
    for (const Fault& f : faults) {
        FaultyFileSystem faulty(f.op, f.code);
        const FileResult r = loadChart(c, path("c.bab"), faulty);
        EXPECT_EQ(r.message.text(), f.message) << f.op << " " << f.code;
        EXPECT_EQ(r.fileName, path("c.bab"));
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(snapshot(c) == before);
    }
}

TEST_F(ChartFileTest, MissingFileAndMissingFolderAreToldApart)
{
    Chart c{};
    makeFresh(c);
    EXPECT_EQ(loadChart(c, path("none.bab")).message.text(), "Fichier introuvable.");
    write(path("plain"), {1});
    const std::string missing = "Dossier « " + path("no/such") + " » introuvable.";
    const std::string notAFolder = "« " + path("plain") + " » n'est pas un dossier.";
    EXPECT_EQ(loadChart(c, path("no/such/folder.bab")).message.text(), missing);
    EXPECT_EQ(loadChart(c, path("plain/c.bab")).message.text(), notAFolder);
    EXPECT_EQ(loadChart(c, "").message.text(), "Nom de fichier incorrect.");
    EXPECT_EQ(loadChart(c, dir.string()).message.text(), "Accès au fichier refusé.");
    EXPECT_EQ(saveChart(c, path("no/such/folder.bab")).message.text(), missing);
    EXPECT_EQ(saveChart(c, path("plain/c.bab")).message.text(), notAFolder);
    EXPECT_EQ(saveChart(c, "").message.text(), "Nom de fichier incorrect.");
    EXPECT_EQ(listing(), std::vector<std::string>{"plain"});
}

// A chart the user may read but not write opens all the same.
TEST_F(ChartFileTest, LoadOnlyEverReads)
{
    Chart c{};
    makeFresh(c);
    ASSERT_TRUE(saveChart(c, path("ro.bab")).ok);
    fs::permissions(path("ro.bab"), fs::perms::owner_read | fs::perms::group_read);
    FaultyFileSystem watch("", 0);
    ASSERT_TRUE(loadChart(c, path("ro.bab"), watch).ok);
    EXPECT_EQ(watch.calls, (std::vector<std::string>{"openRead", "read", "close"}));
}

// Whatever step fails, the old chart is still there, whole, and no temporary
// file is left beside it, with unnamed temporary files or without. A folder
// that takes no new file is told apart from a file that may not be replaced.
TEST_F(ChartFileTest, FailedSaveKeepsTheOldFile)
{
    const std::string folderRefused = "Accès au dossier « " + dir.string() + " » refusé.";
    const Fault faults[] = {
        {"checkWritable", EACCES, "Accès au fichier refusé."},
        {"createUnnamed", EACCES, folderRefused.c_str()},
        {"createUnnamed", EMFILE, "Trop de fichiers ouverts."},
        {"linkNew", EROFS, folderRefused.c_str()},
        {"createNew", EACCES, folderRefused.c_str()},
        {"createNew", EROFS, folderRefused.c_str()},
        {"createNew", EMFILE, "Trop de fichiers ouverts."},
        {"write", ENOSPC, "Disque plein."},
        {"write", EDQUOT, "Disque plein."},
        {"write", EIO, "Erreur E/S 5."},
        {"fsync", EIO, "Erreur E/S 5."},
        {"fsync", ENOSPC, "Disque plein."},
        {"close", ENOSPC, "Disque plein."},
        {"rename", EXDEV, "Erreur E/S 18."},
    };
    const Bytes old = {'o', 'l', 'd'};
    Chart c{};
    makeFresh(c);
    for (const bool named : {false, true}) {
        for (const Fault& f : faults) {
            const std::string op = f.op;
            if (named ? op == "createUnnamed" || op == "linkNew" : op == "createNew")
                continue;
            SCOPED_TRACE(op + (named ? " named" : " unnamed"));
            write(path("chart.bab"), old);
            FaultyFileSystem faulty(f.op, f.code, named);
            const FileResult r = saveChart(c, path("chart.bab"), faulty);
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message.text(), f.message) << f.code;
            EXPECT_EQ(r.fileName, path("chart.bab"));
            EXPECT_EQ(read(path("chart.bab")), old);
            EXPECT_EQ(listing(), std::vector<std::string>{"chart.bab"});
        }
    }
}

// What a killed save left under the file's temporary name goes with the next
// save, but never a save under way, nor what is not a plain file.
TEST_F(ChartFileTest, TheNextSaveRemovesWhatAKilledSaveLeft)
{
    Chart c{};
    makeFresh(c);
    const std::string temp = temporaryFileName(path("c.bab"));
    EXPECT_EQ(temp, path(".c.bab.mavrel-save"));
    write(path("outside"), {1, 2});
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "unnamed");
        FaultyFileSystem files("", 0, named);

        write(temp, {9});
        ASSERT_TRUE(saveChart(c, path("c.bab"), files).ok);
        EXPECT_EQ(listing(), (std::vector<std::string>{"c.bab", "outside"}));

        // A save under way holds its temporary file open and locked.
        int busy = -1;
        ASSERT_EQ(systemFileSystem().createNew(temp, "", busy), 0);
        ASSERT_TRUE(saveChart(c, path("c.bab"), files).ok);
        EXPECT_EQ(systemFileSystem().removeLeftover(temp), EBUSY);
        ::close(busy);
        EXPECT_EQ(listing(), (std::vector<std::string>{".c.bab.mavrel-save", "c.bab", "outside"}));
        fs::remove(temp);

        fs::create_symlink("outside", temp);
        ASSERT_TRUE(saveChart(c, path("c.bab"), files).ok);
        EXPECT_TRUE(fs::is_symlink(temp));
        EXPECT_EQ(read(path("outside")), (Bytes{1, 2}));
        fs::remove(temp);
    }
    EXPECT_EQ(read(path("c.bab")), encodeChart(c));
    // A name as long as a folder entry may be still has a temporary name.
    const std::string longest = path(std::string(255, 'n'));
    EXPECT_TRUE(saveChart(c, longest).ok);
    EXPECT_EQ(fs::path(temporaryFileName(longest)).filename().string().size(), 255u);
}

// Where the folder's own entry is written, whatever it is: a link is replaced
// and never followed, a pipe replaced and never written into (nor waited on).
TEST_F(ChartFileTest, EntryModesNeverGoThroughWhatTheFolderHolds)
{
    enum Entry { None, File, Link, Dangling, Pipe, Folder };
    struct Row {
        Entry entry;
        WriteMode mode;
        const char* message;   // null when written
    };
    const Row rows[] = {
        {None, WriteMode::ReplaceEntry, nullptr},
        {File, WriteMode::ReplaceEntry, nullptr},
        {Link, WriteMode::ReplaceEntry, nullptr},
        {Dangling, WriteMode::ReplaceEntry, nullptr},
        {Pipe, WriteMode::ReplaceEntry, nullptr},
        {Folder, WriteMode::ReplaceEntry, "Accès au fichier refusé."},
        {None, WriteMode::CreateOnly, nullptr},
        {File, WriteMode::CreateOnly, "Le fichier existe déjà."},
        {Link, WriteMode::CreateOnly, "Le fichier existe déjà."},
        {Dangling, WriteMode::CreateOnly, "Le fichier existe déjà."},
        {Pipe, WriteMode::CreateOnly, "Le fichier existe déjà."},
    };
    const Bytes bytes(3000, 5);
    for (const bool named : {false, true}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(std::to_string(r.entry) + (r.mode == WriteMode::CreateOnly ? " create" : " replace")
                         + (named ? " named" : ""));
            fs::remove_all(dir);
            fs::create_directories(dir / "out");
            write(path("outside.bab"), {1});
            const std::string entry = path("out/song.bab");
            switch (r.entry) {
            case None: break;
            case File: write(entry, {2}); break;
            case Link: fs::create_symlink("../outside.bab", entry); break;
            case Dangling: fs::create_symlink("../later.bab", entry); break;
            case Pipe: ASSERT_EQ(::mkfifo(entry.c_str(), 0600), 0); break;
            case Folder: fs::create_directory(entry); break;
            }
            FaultyFileSystem files("", 0, named);
            const FileResult result = writeFile(entry, bytes, files, r.mode);
            EXPECT_EQ(result.ok, r.message == nullptr);
            if (r.message)
                EXPECT_EQ(result.message.text(), r.message);
            else
                EXPECT_EQ(read(entry), bytes);
            EXPECT_FALSE(r.message == nullptr && fs::is_symlink(entry));
            EXPECT_EQ(read(path("outside.bab")), Bytes{1});
            EXPECT_FALSE(fs::exists(path("later.bab")));
            EXPECT_EQ(listing("out"), std::vector<std::string>{"song.bab"});
        }
    }
}

// A file is read no further than one byte past the limit, whatever it is.
TEST_F(ChartFileTest, ReadingStopsPastTheLimit)
{
    write(path("five"), Bytes(5, 'x'));
    const std::tuple<std::string, std::size_t, std::size_t> rows[] = {
        {path("five"), 10, 5}, {path("five"), 5, 5}, {path("five"), 4, 5}, {"/dev/zero", 3 << 20, (3 << 20) + 1},
    };
    for (const auto& [name, limit, size] : rows) {
        std::string bytes;
        EXPECT_TRUE(readFile(name, limit, bytes).ok) << name;
        EXPECT_EQ(bytes.size(), size) << name << " " << limit;
    }
    std::string bytes;
    EXPECT_EQ(readFile(dir.string(), 10, bytes).message.text(), "Accès au fichier refusé.");
}

TEST_F(ChartFileTest, SaveReplacesTheFileAndKeepsItsPermissionsAndLinks)
{
    Chart c{};
    makeFresh(c);
    write(path("chart.bab"), Bytes(10000, 1));
    fs::permissions(path("chart.bab"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("chart.bab", dir / "link.bab");
    ASSERT_TRUE(saveChart(c, path("link.bab")).ok);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bab"));
    EXPECT_EQ(read(path("chart.bab")), encodeChart(c));
    EXPECT_EQ(fs::status(dir / "chart.bab").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(listing(), (std::vector<std::string>{"chart.bab", "link.bab"}));
}

// What is not a plain file is written into, never replaced: a device, a link
// to one, a pipe. A link to nothing yet makes the file it names.
TEST_F(ChartFileTest, SpecialTargetsAreWrittenIntoAndKept)
{
    const Bytes bytes(5000, 7);
    fs::create_symlink("/dev/null", dir / "null.bab");
    EXPECT_TRUE(writeFile(path("null.bab"), bytes).ok);
    EXPECT_TRUE(fs::is_symlink(dir / "null.bab"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    const FileResult full = writeFile("/dev/full", bytes);
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.message.text(), "Disque plein.");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    ASSERT_EQ(::mkfifo(path("pipe.bab").c_str(), 0600), 0);
    Bytes received;
    std::thread reader([&] { received = read(path("pipe.bab")); });
    EXPECT_TRUE(writeFile(path("pipe.bab"), bytes).ok);
    reader.join();
    EXPECT_EQ(received, bytes);
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.bab"));

    fs::create_directory(dir / "sub");
    fs::create_symlink("sub/later.bab", dir / "dangling.bab");
    EXPECT_TRUE(writeFile(path("dangling.bab"), bytes).ok);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.bab"));
    EXPECT_EQ(read(path("sub/later.bab")), bytes);

    fs::create_symlink("loop2.bab", dir / "loop1.bab");
    fs::create_symlink("loop1.bab", dir / "loop2.bab");
    EXPECT_EQ(writeFile(path("loop1.bab"), bytes).message.text(), "Nom de fichier incorrect.");
    EXPECT_EQ(writeFile(dir.string(), bytes).message.text(), "Accès au fichier refusé.");
    EXPECT_EQ(listing(), (std::vector<std::string>{"dangling.bab", "loop1.bab", "loop2.bab", "null.bab",
                                                   "pipe.bab", "sub"}));
}

} // namespace
} // namespace mavrel
