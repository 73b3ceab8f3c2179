// The registry of this layer's formats: which format a name, a stream or an
// input is taken as, for each operation; what the chart formats write; the
// iReal Pro lists read song by song.
#include "document/chartformats.h"
#include "document/fileformat.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace mavrel {
namespace {

namespace fs = std::filesystem;
using Op = FileOperation;

const FormatRegistry& chartFormats()
{
    static const FormatRegistry formats = [] {
        FormatRegistry r;
        addChartFormats(r);
        return r;
    }();
    return formats;
}

class FileFormatTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path()
        / ("mavrel-fileformat-" + std::to_string(::getpid()) + "-"
           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::string contents(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

TEST_F(FileFormatTest, TakesEachNameAsItsOperationsFormat)
{
    enum Lookup { File, Output, Input };
    struct Row {
        Lookup lookup;
        const char* name;
        Op operation;
        const char* expected;   // short name, empty for none
    };
    const Row rows[] = {
        // The extension of the last part of the name, in any case.
        {File, "grille.musicxml", Op::ExportChart, "musicxml"},
        {File, "GRILLE.XML", Op::ExportChart, "musicxml"},
        {File, "a/b.c/grille.ly", Op::ExportChart, "lilypond"},
        {File, "lien.Txt", Op::ExportChart, "ireal"},
        {File, "grille.BAB", Op::WriteChart, "bab"},
        {File, "dossier.ly/grille", Op::ExportChart, ""},
        {File, "ly", Op::ExportChart, ""},
        {File, ".ly", Op::ExportChart, ""},
        {File, "grille.ly.bak", Op::ExportChart, ""},
        // Only the formats that do what is asked.
        {File, "grille.bab", Op::ExportChart, ""},
        {File, "grille.txt", Op::WriteChart, ""},
        {File, "liste.txt", Op::ImportCharts, "ireal-list"},
        {File, "liste.html", Op::ExportChart, ""},
        {File, "page.png", Op::WritePage, ""},
        // A stream takes the operation's first format; a device is a stream.
        {Output, "-", Op::ExportChart, "musicxml"},
        {Output, "-", Op::WriteChart, "bab"},
        {Output, "/dev/null", Op::WriteChart, "bab"},
        {Output, "-", Op::WritePage, ""},
        {Output, "/dev/null.ly", Op::ExportChart, "lilypond"},
        // A file is read for what it holds, whatever its name.
        {Input, "grille", Op::ReadChart, "bab"},
        {Input, "grille.ly", Op::ReadChart, "bab"},
        {Input, "irealb://T=C==S=C==1r34LbKcu7[C]==0=0", Op::ImportCharts, "ireal-list"},
        {Input, "liste.htm", Op::ImportCharts, "ireal-list"},
    };
    const FormatRegistry& formats = chartFormats();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const FileFormat* format = r.lookup == File ? formats.forFile(r.name, r.operation)
            : r.lookup == Output                    ? formats.forOutput(r.name, r.operation)
                                                    : formats.forInput(r.name, r.operation);
        EXPECT_EQ(format ? format->shortName() : std::string(), r.expected);
    }
    // A pipe named for a format is written in it.
    ASSERT_EQ(::mkfifo(path("tube.ly").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(path("tube").c_str(), 0600), 0);
    EXPECT_EQ(formats.forOutput(path("tube.ly"), Op::ExportChart), formats.named("lilypond"));
    EXPECT_EQ(formats.forOutput(path("tube"), Op::ExportChart), formats.named("musicxml"));
    EXPECT_EQ(formats.named("lilypond"), formats.forFile("x.ly", Op::ExportChart));
    EXPECT_EQ(formats.named("ly"), nullptr);
}

// Every format that writes a chart writes it through writeFile: the whole
// file, or nothing and a message naming it.
TEST_F(FileFormatTest, ChartFormatsWriteTheirFilesWhole)
{
    const auto chart = test::ChartBuilder(4, 2).bars({"Dm7 G7", "Cmaj7"}).build();
    struct Row {
        const char* format;
        const char* file;
        std::string_view holds;
    };
    const Row rows[] = {
        {"bab", "a.bab", "C est pas bien de fouiner"},
        {"musicxml", "a.musicxml", "<?xml version=\"1.0\" encoding=\"UTF-8\""},
        {"lilypond", "a.ly", "\\version"},
        {"ireal", "a.txt", "irealb://"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.format);
        const FileFormat& format = *chartFormats().named(r.format);
        ASSERT_TRUE(format.write(*chart, {}, path(r.file)).ok);
        EXPECT_NE(contents(path(r.file)).find(r.holds), std::string::npos);
        const FileResult missing = format.write(*chart, {}, path("nulle/part"));
        EXPECT_FALSE(missing.ok);
        EXPECT_EQ(missing.fileName, path("nulle/part"));
        EXPECT_EQ(missing.message.text(), "Dossier « " + path("nulle") + " » introuvable.");
    }
    // What the chart file format writes, it reads back.
    auto read = std::make_unique<Chart>();
    ASSERT_TRUE(chartFormats().named("bab")->read(path("a.bab"), *read).ok);
    EXPECT_EQ(read->bar(1).slot(1).quality.view(), "m7");

    // An operation the format does not do fails and writes nothing.
    const FileResult refused = chartFormats().named("musicxml")->writePage(*chart, {}, path("b.musicxml"));
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(fs::exists(path("b.musicxml")));
}

// A list's songs are titled at once and made into charts one at a time;
// the list that holds none, or more than may be read, says so.
TEST_F(FileFormatTest, IRealListsAreReadSongBySong)
{
    const FileFormat& list = *chartFormats().named("ireal-list");
    const std::string twoSongs = "<a href=\"irealb://Ok=C==S=C==1r34LbKcu7[C]==0=0===Bad%G1=C==S=C==1r34LbKcu7"
                                 "[C]==0=0===\">x</a>";
    std::ofstream(path("liste.html")) << twoSongs;
    std::ofstream(path("vide.txt")) << "rien";
    std::string many = "irealb://";
    for (int i = 0; i < 10001; ++i)
        many += "S=C==S=C==1r34LbKcu7[C]==0=0===";

    SongList songs;
    FileResult r = list.readSongs(path("liste.html"), songs);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.warning.empty());
    ASSERT_EQ(songs.titles, (std::vector<std::string>{"Ok", "Bad%G1"}));
    EXPECT_TRUE(songs.chart(0).chart);
    const ImportedChart bad = songs.chart(1);
    EXPECT_FALSE(bad.chart);
    EXPECT_FALSE(bad.error.empty());

    // The link itself, when no file has that name.
    r = list.readSongs("irealb://Ok=C==S=C==1r34LbKcu7[C]==0=0", songs);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(songs.titles, std::vector<std::string>{"Ok"});

    r = list.readSongs(path("vide.txt"), songs);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message.text(), "Aucun lien iReal Pro.");
    EXPECT_EQ(r.fileName, path("vide.txt"));

    // A page that links its playlist, then each song again, gives each once;
    // the same tunes twice in one link stay twice.
    const std::string a = "A=C==S=C==1r34LbKcu7[C]==0=0", b = "B=C==S=C==1r34LbKcu7[D]==0=0";
    const std::pair<std::string, std::vector<std::string>> pages[] = {
        {"irealb://" + a + "===" + b + "===Set irealb://" + a + " irealb://" + b, {"A", "B"}},
        {"irealb://" + a + "===" + b + "===" + a + "===" + b + "===Set", {"A", "B", "A", "B"}},
        {"irealb://" + a + " irealb://" + b + " irealb://" + a + " irealb://" + b, {"A", "B", "A", "B"}},
    };
    for (const auto& [page, titles] : pages) {
        ASSERT_TRUE(list.readSongs(page, songs).ok) << page;
        EXPECT_EQ(songs.titles, titles) << page;
    }

    r = list.readSongs(many, songs);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(songs.titles.size(), 10000u);
    EXPECT_EQ(r.warning.text(), "Plus de 10000 chansons : les suivantes ne sont pas lues.");
}

} // namespace
} // namespace mavrel
