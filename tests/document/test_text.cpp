// Control characters in texts that come in.
#include "document/text.h"

#include <gtest/gtest.h>

namespace mavrel {
namespace {

TEST(Text, ControlCharactersAreNamedOnceEach)
{
    EXPECT_EQ(text::controlsIn("caf\xC3\xA9"), "");
    EXPECT_EQ(text::controlsIn(std::string_view("a\nb\0c\n\x01\xC2\x9B", 9)), "^J, ^@, ^A, \\u009B");
}

TEST(Text, ControlCharactersAreFoundAndDropped)
{
    struct Row {
        std::string_view in, out;
    };
    const Row rows[] = {
        {"Night Day", "Night Day"},
        {std::string_view("Night\0Day", 9), "NightDay"},
        {"A\x01" "B", "AB"},
        {"\x1b]0;pwned\x07\x1b[2J", "]0;pwned[2J"},
        {"caf\xC3\xA9 \xE2\x99\xAD", "caf\xC3\xA9 \xE2\x99\xAD"},   // é and ♭ stay
        {"x\xC2\x9By", "xy"},                                      // U+009B, a C1 control
        {"x\x7Fy\tz\n", "xyz"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(text::withoutControls(r.in), r.out);
        EXPECT_EQ(text::hasControl(r.in), r.in != r.out);
    }
}

TEST(Text, Utf8IsToldFromOtherBytes)
{
    for (std::string_view good : {"", "abc", "caf\xC3\xA9", "\xE2\x99\xAD", "\xF0\x9D\x84\x8B"})
        EXPECT_TRUE(text::isUtf8(good)) << good;
    // Latin-1, a cut character, an overlong "/", a surrogate, past U+10FFFF.
    for (std::string_view bad : {"caf\xE9", "\xE2\x99", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(text::isUtf8(bad)) << bad;
}

// What reaches a terminal: nothing in it can act there, and the user sees
// that something was.
TEST(Text, ControlCharactersAreShownVisibly)
{
    struct Row {
        std::string_view in, out;
    };
    const Row rows[] = {
        {"\x1b]0;pwned\x07\x1b[2J", "^[]0;pwned^G^[[2J"},
        {"a\tb\nc\x7F", "a^Ib^Jc^?"},
        {"x\xC2\x9By \xC3\xA9", "x\\u009By \xC3\xA9"},
        {"bad\xFF\xC2", "bad\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\x9B", "\xEF\xBF\xBD\xEF\xBF\xBD"},   // an overlong ESC is no UTF-8
    };
    for (const Row& r : rows)
        EXPECT_EQ(text::visible(r.in), r.out) << r.in;
}

} // namespace
} // namespace mavrel
