// Set list files: what is written comes back, any file name included; what
// a person or another machine wrote is read as far as it can be; a chart
// that is not there stays in the list, marked missing.
#include "document/chartfile.h"
#include "document/ireal.h"
#include "document/setlist.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace mavrel {
namespace {

namespace fs = std::filesystem;

SetListSong at(std::string path)
{
    SetListSong song;
    song.path = std::move(path);
    return song;
}

SetList awkwardList()
{
    SetList list;
    list.name = "Vendredi au Caveau — 2ᵉ set | rappels";
    const char* paths[] = {
        "Autumn Leaves.bab",
        "ballades/Body and Soul.bab",
        "#1 hit = yes.bab",
        " leading and trailing .bab ",
        "100% pipe|d %41.bab",
        "Été/Noël ♭.bab",
        "../standards/Solar.bab",
        "/srv/charts/Nardis.bab",
        "bytes \xFF\xFE not utf-8.bab",
    };
    for (const char* p : paths)
        list.songs.push_back(at(p));
    list.songs[1].key = {4, 1, 0};   // Eb
    list.songs[1].part = Instrument::BFlat;
    list.songs[2].key = {7, 0, 1};   // F#m
    list.songs[3].part = Instrument::F;
    list.songs[4].note = "Intro: 8 bars | piano alone\nthen 100% band ";
    list.songs[5].note = "=key=C";
    return list;
}

TEST(SetListText, RoundTripsNamesKeysPartsAndNotes)
{
    const SetList list = awkwardList();
    const std::string text = setListText(list);
    const SetListReading back = readSetListText(text);
    EXPECT_TRUE(back.error.empty());
    EXPECT_TRUE(back.warnings.empty()) << back.warnings.front().text();
    EXPECT_EQ(back.list, list);

    // A person reads it in a text editor: ordinary names stay as they are.
    EXPECT_TRUE(text.starts_with("# Mavrel set list 1\nName: Vendredi au Caveau — 2ᵉ set %7C rappels\n"));
    EXPECT_NE(text.find("\nAutumn Leaves.bab\n"), std::string::npos);
    EXPECT_NE(text.find("\nballades/Body and Soul.bab | key=Eb | part=Bb\n"), std::string::npos);
    EXPECT_NE(text.find("\n%231 hit = yes.bab | key=F#m\n"), std::string::npos);
    EXPECT_NE(text.find("\nÉté/Noël ♭.bab | note==key=C\n"), std::string::npos);
}

struct Tolerated {
    const char* what;
    std::string text;
    std::vector<std::string> paths;
    std::vector<std::string> warnings;
};

TEST(SetListText, ReadsWhatPeopleWriteAndWarnsOfWhatItCannot)
{
    const std::string longLine(MaxSetListLine + 1, 'x');
    const std::string longPath(MaxSetListText + 1, 'x');
    const Tolerated cases[] = {
        {"CRLF, BOM, blank lines and comments",
         "\xEF\xBB\xBF# Mavrel set list 1\r\nName: Gig\r\n\r\n# the opener\r\nA.bab\r\n   \r\n  B.bab  \r\n",
         {"A.bab", "B.bab"}, {}},
        {"no name, no final line end", "# Mavrel set list 1\nA.bab", {"A.bab"}, {}},
        {"fields that cannot be read",
         "# Mavrel set list 1\nA.bab | key=H | part=G | tempo=120 | key\n | key=C\nB.bab\n",
         {"A.bab", "B.bab"},
         {"Ligne 2 : « H » n'est pas une tonalité.", "Ligne 2 : « G » n'est pas une partie (Bb, Eb ou F).",
          "Ligne 2 : champ inconnu « tempo=120 ».", "Ligne 2 : champ inconnu « key ».",
          "Ligne 3 : aucun fichier de grille."}},
        {"a line too long, a path too long", "# Mavrel set list 1\n" + longLine + "\n" + longPath + "\nB.bab\n",
         {"B.bab"}, {"Ligne 2 : trop longue, ignorée.", "Ligne 3 : trop longue, ignorée."}},
        {"a later version", "# Mavrel set list 12\nA.bab | colour=red\n", {"A.bab"},
         {"Cette liste vient d'une version plus récente : ce qui n'a pas pu être lu est ignoré.",
          "Ligne 2 : champ inconnu « colour=red »."}},
        {"a stray percent sign", "# Mavrel set list 1\n50% off.bab\n", {"50% off.bab"}, {}},
    };
    for (const Tolerated& c : cases) {
        SCOPED_TRACE(c.what);
        const SetListReading r = readSetListText(c.text);
        ASSERT_TRUE(r.error.empty());
        std::vector<std::string> paths, warnings;
        for (const SetListSong& s : r.list.songs)
            paths.push_back(s.path);
        for (const Message& m : r.warnings)
            warnings.push_back(m.text());
        EXPECT_EQ(paths, c.paths);
        EXPECT_EQ(warnings, c.warnings);
    }
    EXPECT_EQ(readSetListText("# Mavrel set list 1\nName: Gig\n").list.name, "Gig");
}

TEST(SetListText, RefusesWhatIsNoSetListAndStopsAtItsLimit)
{
    for (const char* text : {"", "A.bab\n", "# Mavrel set list\nA.bab\n", "# Mavrel set list x\n",
                             "\n# Mavrel set list 1\n", "<html>"})
        EXPECT_FALSE(readSetListText(text).error.empty()) << text;

    std::string many = "# Mavrel set list 1\n";
    for (int i = 0; i < MaxSetListSongs + 5; ++i)
        many += "song.bab\n";
    const SetListReading r = readSetListText(many);
    EXPECT_EQ(r.list.songs.size(), static_cast<std::size_t>(MaxSetListSongs));
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings.front().arguments().front(), std::to_string(MaxSetListSongs + 2));
}

TEST(SetListKeys, NamesAndReadsKeys)
{
    const std::pair<const char*, Key> keys[] = {
        {"C", {1, 0, 0}}, {"Eb", {4, 1, 0}}, {"F#m", {7, 0, 1}}, {"Bbm", {11, 1, 1}}, {"B", {12, 0, 0}}};
    for (const auto& [name, key] : keys) {
        EXPECT_EQ(keyNamed(name), key) << name;
        EXPECT_EQ(keyName(key), name);
    }
    EXPECT_EQ(keyNamed("D-"), (Key{3, 0, 1}));
    EXPECT_EQ(keyNamed("Cb"), (Key{12, 0, 0}));
    for (const char* wrong : {"", "H", "c", "Ebb", "Cmaj", "E# "})
        EXPECT_FALSE(keyNamed(wrong)) << wrong;
}

TEST(SetListKeys, MovesAChartToTheKeyToPlayItIn)
{
    struct Case {
        std::initializer_list<std::string_view> bars;
        const char* key;
        std::vector<std::string> moved;
        const char* keyAfter;
    };
    const Case cases[] = {
        {{"Gm7 C7", "FM7"}, "Eb", {"Fm7 Bb7", "EbM7"}, "Eb"},
        {{"Gm7 C7", "FM7"}, "F#", {"G#m7 C#7", "F#M7"}, "F#"},
        {{"Gm7 C7", "FM7"}, "Gb", {"Abm7 Db7", "GbM7"}, "Gb"},
        {{"Bm7b5 E7", "Am"}, "Cm", {"Dø G7", "Cm"}, "Cm"},
        // The other mode stands for the relative key.
        {{"Bm7b5 E7", "Am"}, "C", {"Bø E7", "Am"}, "Am"},
        {{"Gm7 C7", "FM7"}, "", {"Gm7 C7", "FM7"}, ""},
    };
    for (const Case& c : cases) {
        auto chart = test::ChartBuilder(4, 2).bars(c.bars).build();
        const Key key = keyNamed(c.key).value_or(Key{});
        EXPECT_TRUE(transposeToKey(*chart, key).empty());
        std::vector<std::string> moved;
        for (int i = 1; i <= static_cast<int>(c.moved.size()); ++i)
            moved.push_back(barText(chart->bar(i)));
        EXPECT_EQ(moved, c.moved) << c.key;
        EXPECT_EQ(keyName(chart->song.key), c.keyAfter) << c.key;
    }
}

TEST(SetListPlaylist, LinksTheSongsInOrderUnderTheListsName)
{
    auto first = test::ChartBuilder(4, 1).bars({"Dm7 G7", "Cmaj7"}).label("Tune & <Co>", 200, 40, 18, true).build();
    auto second = test::ChartBuilder(4, 1).bars({"F7", "Bb7"}).label("Blues = F", 200, 40, 18, true).build();
    const std::vector<PlaylistSong> songs = {{first.get(), "Tune & <Co>"}, {second.get(), "Blues = F"}};

    const ireal::Playlist link = ireal::readPlaylist(playlistLink(songs, "Gig = Friday"));
    EXPECT_EQ(link.name, "Gig - Friday");
    ASSERT_EQ(link.songs.size(), 2u);
    EXPECT_EQ(link.songs[0].title, "Tune & <Co>");
    EXPECT_EQ(link.songs[1].title, "Blues  F");   // "=" parts the fields of a link

    // The page: the playlist's link, then each song's, its texts escaped.
    const std::string page = playlistPage(songs, "Gig <1>");
    EXPECT_NE(page.find("<title>Gig &lt;1&gt;</title>"), std::string::npos);
    EXPECT_NE(page.find(">Tune &amp; &lt;Co&gt;</a>"), std::string::npos);
    const ireal::Playlist read = ireal::readPlaylist(page);
    EXPECT_EQ(read.name, "Gig <1>");
    EXPECT_EQ(read.songs.size(), 4u);
    EXPECT_EQ(chartTitle(*first), "Tune & <Co>");
}

class SetListFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("mavrel-setlist-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "charts");
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

TEST_F(SetListFileTest, KeepsAMissingChartInTheList)
{
    auto chart = test::ChartBuilder(4, 2).bars({"Dm7 G7", "Cmaj7"}).build();
    ASSERT_TRUE(saveChart(*chart, path("charts/Here é.bab")).ok);

    SetList list;
    list.name = "Gig";
    list.songs = {at(relativeSongPath(path("gig.setlist"), path("charts/Here é.bab"))),
                  at(relativeSongPath(path("gig.setlist"), path("charts/Gone.bab")))};
    EXPECT_EQ(list.songs[0].path, "charts/Here é.bab");
    ASSERT_TRUE(saveSetList(list, path("gig.setlist")).ok);

    // Copied elsewhere with its charts, it still finds them.
    fs::rename(dir, dir.string() + "-moved");
    fs::create_directories(dir);
    fs::rename(dir.string() + "-moved", dir / "copy");
    SetList back;
    std::vector<Message> warnings;
    ASSERT_TRUE(loadSetList(back, path("copy/gig.setlist"), warnings).ok);
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(back.songs.size(), 2u);
    EXPECT_FALSE(back.songs[0].missing);
    EXPECT_TRUE(back.songs[1].missing);
    EXPECT_EQ(songFileName(path("copy/gig.setlist"), back.songs[0]), path("copy/charts/Here é.bab"));

    // Saved again, the missing chart is still there.
    ASSERT_TRUE(saveSetList(back, path("copy/gig.setlist")).ok);
    ASSERT_TRUE(loadSetList(back, path("copy/gig.setlist"), warnings).ok);
    EXPECT_EQ(back.songs.size(), 2u);
}

TEST_F(SetListFileTest, RefusesFilesThatAreNoSetList)
{
    std::ofstream(path("chart.setlist")) << "RIFF....";
    std::ofstream(path("huge.setlist")) << "# Mavrel set list 1\n" << std::string(MaxSetListSize, '#');
    for (const char* name : {"chart.setlist", "huge.setlist", "absent.setlist"}) {
        SetList list;
        list.name = "kept";
        std::vector<Message> warnings;
        const FileResult r = loadSetList(list, path(name), warnings);
        EXPECT_FALSE(r.ok) << name;
        EXPECT_EQ(r.fileName, path(name));
        EXPECT_EQ(list.name, "kept");
    }
}

TEST(SetListPaths, AreRelativeToTheSetListsFolder)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/home/u/gigs/a.setlist", "/home/u/gigs/x.bab", "x.bab"},
        {"/home/u/gigs/a.setlist", "/home/u/charts/x y.bab", "../charts/x y.bab"},
        {"/home/u/gigs/a.setlist", "/srv/x.bab", "/srv/x.bab"},
        {"/home/u/gigs/a.setlist", "/home/u/gigs/./sub/../x.bab", "x.bab"},
    };
    for (const auto& [setList, chart, relative] : cases)
        EXPECT_EQ(relativeSongPath(setList, chart), relative) << chart;
    EXPECT_EQ(songFileName("/a/b.setlist", at("/c/d.bab")), "/c/d.bab");
    EXPECT_EQ(songFileName("b.setlist", at("d.bab")), "d.bab");
}

} // namespace
} // namespace mavrel
