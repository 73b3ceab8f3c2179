// The chart file's extension: song information and long qualities kept after
// the labels, where earlier versions never read.
#include "document/chartfile.h"
#include "document/songfile.h"
#include "support/chartbuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace mavrel {
namespace {

using test::ChartBuilder;

bool sameBytes(const auto& a, const auto& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A song with every kind of information, on a chart whose bars and labels
// are those of an ordinary chart.
std::unique_ptr<Chart> fullSong()
{
    auto chart = ChartBuilder(4, 2)
                     .bars({"Cm7 F7", "BbM7", "Eb7", "Am7b5 D7", "Gm", "%", "N.C.", "G7"})
                     .signs(1, 1, 0)
                     .signs(8, 0, 1)
                     .label("Titre", 200, 40, 18, true)
                     .build();
    SongInfo& song = chart->song;
    song.tempo = 184;
    song.time = {4, 4};
    song.key = {11, 1, 0};   // B-flat major
    song.chordStyle = ChordStyle::Jazz;
    song.autoSize = 1;
    setText(song.title, "Blue in Gr\xC3\xA9\x65n \xE2\x99\xAD");
    setText(song.composer, "Miles Davis");
    setText(song.style, "Medium Swing");
    setText(song.bar(1).section, "A");
    song.bar(1).flags = SegnoFlag;
    song.bar(3).time = {3, 4};
    song.bar(5).section.assign("Bridge");
    song.bar(6).ending = 1;
    song.bar(7).ending = 2;
    song.bar(7).direction = Direction::DalSegnoAlCoda;
    song.bar(8).flags = CodaFlag | FermataFlag;
    chart->bar(2).slot(1).quality.assign("7sus4(b9)");
    chart->bar(4).slot(2).quality.assign("7b9#11b13");
    return chart;
}

std::unique_ptr<Chart> decoded(std::span<const std::uint8_t> bytes, Message* warning = nullptr)
{
    auto chart = std::make_unique<Chart>();
    const FileResult r = decodeChart(bytes, *chart, "x.bab");
    EXPECT_TRUE(r.ok) << r.message.text();
    if (warning)
        *warning = r.warning;
    else
        EXPECT_TRUE(r.warning.empty()) << r.warning.text();
    return chart;
}

TEST(SongFile, EverythingComesBackAndOlderReadersSeeTheSameBars)
{
    const auto chart = fullSong();
    const std::vector<std::uint8_t> bytes = encodeChart(*chart);
    const std::size_t records = HeaderSize + 8 * BarRecordSize + 1 * LabelRecordSize;
    ASSERT_GT(bytes.size(), records);

    const auto back = decoded(bytes);
    EXPECT_TRUE(sameBytes(back->song, chart->song));
    for (int i = 1; i <= 8; ++i)
        EXPECT_TRUE(sameBytes(back->bar(i), chart->bar(i))) << "bar " << i;
    EXPECT_EQ(encodeChart(*back), bytes);

    // What an earlier version reads: the records alone, every bar and label,
    // a long quality cut to the 8 characters a record holds.
    const auto older = decoded(std::span(bytes).first(records));
    EXPECT_FALSE(hasSongInfo(older->song));
    EXPECT_EQ(older->bar(2).slot(1).quality.view(), "7sus4(b9");
    EXPECT_EQ(older->bar(4).slot(2).quality.view(), "7b9#11b1");
    EXPECT_TRUE(sameBytes(older->bar(3), chart->bar(3)));
    EXPECT_TRUE(sameBytes(older->label(1), chart->label(1)));
}

TEST(SongFile, AChartWithoutSongInformationIsWrittenAsAlways)
{
    auto chart = ChartBuilder(4, 8).bars({"Dm7 G7", "CM7"}).build();
    const std::vector<std::uint8_t> bytes = encodeChart(*chart);
    EXPECT_EQ(bytes.size(), HeaderSize + 32 * BarRecordSize);
    // Marks on bars past the grid are not the song's.
    chart->song.bar(40).ending = 1;
    EXPECT_EQ(encodeChart(*chart), bytes);
}

TEST(SongFile, AnExtensionThatCannotBeReadIsSetAsideWithTheBarsIntact)
{
    const auto chart = fullSong();
    const std::vector<std::uint8_t> good = encodeChart(*chart);
    const std::size_t at = HeaderSize + 8 * BarRecordSize + LabelRecordSize;
    // Makes the checksum right, so that the damage is in the values alone.
    auto resign = [&](std::vector<std::uint8_t>& b) {
        std::vector<std::uint8_t> extension(b.begin() + static_cast<std::ptrdiff_t>(at), b.end());
        ASSERT_TRUE(signExtension(extension));
        b.resize(at);
        b.insert(b.end(), extension.begin(), extension.end());
    };
    struct Row {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
        bool songKept;   // an unknown optional chunk is skipped, the rest read
    };
    const Row rows[] = {
        {"a byte changed", [&](auto& b) { b[at + 30] ^= 0x40; }, false},
        {"cut short", [&](auto& b) { b.resize(b.size() - 5); }, false},
        {"checksum lost", [&](auto& b) { b.resize(b.size() - 4); }, false},
        {"a later version only", [&](auto& b) { b[at + 8] = 2; resign(b); }, false},
        {"a key out of range", [&](auto& b) { b[at + 14 + 8 + 4] = 13; resign(b); }, false},
        {"an unknown chunk that must be understood",
         [&](auto& b) { std::memcpy(&b[at + 14], "SONX", 4); resign(b); }, false},
        {"an unknown optional chunk", [&](auto& b) { std::memcpy(&b[at + 14], "sonx", 4); resign(b); }, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<std::uint8_t> bytes = good;
        r.damage(bytes);
        Message warning;
        const auto back = decoded(bytes, &warning);
        EXPECT_FALSE(warning.empty());
        for (int i = 1; i <= 8; ++i)
            EXPECT_EQ(back->bar(i).slot(1).root, chart->bar(i).slot(1).root);
        EXPECT_EQ(back->info.labelCount, 1);
        if (r.songKept) {
            EXPECT_EQ(back->song.bar(5).section.view(), "Bridge");
            EXPECT_TRUE(back->song.title.view().empty());
        } else {
            EXPECT_FALSE(hasSongInfo(back->song));
            EXPECT_EQ(back->bar(2).slot(1).quality.view(), "7sus4(b9");
        }
    }
    // Bytes after the labels that are no extension are what they always were:
    // ignored without a word.
    std::vector<std::uint8_t> trailing(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(at));
    trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
    decoded(trailing);
}

} // namespace
} // namespace mavrel
