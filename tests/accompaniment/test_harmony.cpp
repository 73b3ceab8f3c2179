// Chord symbols read into the notes a band may play: chord tones, tensions
// and the slash bass.
#include "accompaniment/harmony.h"

#include <gtest/gtest.h>

#include <string>

namespace mavrel::accompaniment {
namespace {

// "0 4 7 10": the intervals of the bits set.
std::string intervals(unsigned bits)
{
    std::string out;
    for (int i = 0; i < 12; ++i)
        if (bits >> i & 1)
            out += (out.empty() ? "" : " ") + std::to_string(i);
    return out;
}

TEST(Harmony, QualitiesBecomeTonesAndTensions)
{
    struct Case {
        const char* quality;      // Windows-1252
        const char* tones;        // intervals above the root
        const char* tensions;
    };
    const Case cases[] = {
        {"", "0 4 7", ""},
        {"m", "0 3 7", ""},
        {"7", "0 4 7 10", ""},
        {"M7", "0 4 7 11", ""},
        {"maj7", "0 4 7 11", ""},
        {"^7", "0 4 7 11", ""},
        {"m7", "0 3 7 10", ""},
        {"mi7", "0 3 7 10", ""},
        {"-7", "0 3 7 10", ""},
        {"\xF8", "0 3 6 10", ""},
        {"m7b5", "0 3 6 10", ""},
        {"h7", "0 3 6 10", ""},
        {"dim", "0 3 6", ""},
        {"o", "0 3 6", ""},
        {"dim7", "0 3 6 9", ""},
        {"\xB0" "7", "0 3 6 9", ""},
        {"aug", "0 4 8", ""},
        {"+", "0 4 8", ""},
        {"+7", "0 4 8 10", ""},
        {"7#5", "0 4 8 10", ""},
        {"sus2", "0 2 7", ""},
        {"sus4", "0 5 7", ""},
        {"sus", "0 5 7", ""},
        {"7sus", "0 5 7 10", ""},
        {"9sus4", "0 5 7 10", "2"},
        {"6", "0 4 7 9", ""},
        {"m6", "0 3 7 9", ""},
        {"69", "0 4 7 9", "2"},
        {"9", "0 4 7 10", "2"},
        {"m9", "0 3 7 10", "2"},
        {"M9", "0 4 7 11", "2"},
        {"11", "0 4 7 10", "2 5"},
        {"m11", "0 3 7 10", "2 5"},
        {"13", "0 4 7 10", "2 9"},
        {"m13", "0 3 7 10", "2 5 9"},
        {"13b9", "0 4 7 10", "1 9"},
        {"13#11", "0 4 7 10", "2 6 9"},
        {"7b9", "0 4 7 10", "1"},
        {"7(b9)", "0 4 7 10", "1"},
        {"7#9", "0 4 7 10", "3"},
        {"7#11", "0 4 7 10", "6"},
        {"M7#11", "0 4 7 11", "6"},
        {"7b13", "0 4 7 10", "8"},
        {"7(#9,b13)", "0 4 7 10", "3 8"},
        {"7alt", "0 4 10", "1 3 6 8"},
        {"alt", "0 4 10", "1 3 6 8"},
        {"add9", "0 4 7", "2"},
        {"madd9", "0 3 7", "2"},
        {"mM7", "0 3 7 11", ""},
        {"m(maj7)", "0 3 7 11", ""},
        {"5", "0 7", ""},
        {"2", "0 2 7", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quality);
        const Harmony h = readHarmony(3, c.quality);   // D
        EXPECT_TRUE(h.understood);
        EXPECT_EQ(h.root, 2);
        EXPECT_EQ(h.bass, 2);
        EXPECT_EQ(intervals(h.tones()), c.tones);
        EXPECT_EQ(intervals(h.tensions), c.tensions);
    }
}

TEST(Harmony, SlashBassAndChordsNotUnderstood)
{
    const Harmony slash = readHarmony(1, "7/Bb");
    EXPECT_EQ(slash.bass, 10);
    EXPECT_EQ(intervals(slash.tones()), "0 4 7 10");
    EXPECT_EQ(readHarmony(1, "/E").bass, 4);
    EXPECT_EQ(readHarmony(12, "m/F#").bass, 6);

    // Played as the triad that was read, the slash bass still under it.
    const Harmony blues = readHarmony(8, "Blues");
    EXPECT_FALSE(blues.understood);
    EXPECT_EQ(intervals(blues.tones() | blues.tensions), "0 4 7");
    const Harmony minor = readHarmony(8, "m7xyz/D");
    EXPECT_FALSE(minor.understood);
    EXPECT_EQ(intervals(minor.tones() | minor.tensions), "0 3 7");
    EXPECT_EQ(minor.bass, 2);

    EXPECT_TRUE(readHarmony(1, "7").allows(60 + 10));
    EXPECT_FALSE(readHarmony(1, "7").allows(60 + 11));
    EXPECT_TRUE(readHarmony(1, "7").allows(36));
}

} // namespace
} // namespace mavrel::accompaniment
