// Control characters in texts that come in, and in the messages that name them.
#include "document/text.h"

#include <gtest/gtest.h>

namespace mavrel {
namespace {

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

TEST(Text, MessagesShowControlCharactersAsEscapes)
{
    struct Row {
        std::string_view in, visible, controls;
    };
    const Row rows[] = {
        {"caf\xC3\xA9", "caf\xC3\xA9", ""},
        {"a\nb\r\n\tc", "a\\nb\\r\\n\\tc", "\\n, \\r, \\t"},
        {std::string_view("\0\x01\x1F\x7F\xC2\x9B\x01", 7), "U+0000U+0001U+001FU+007FU+009BU+0001",
         "U+0000, U+0001, U+001F, U+007F, U+009B"},
        {"x\xFFy\xC3", "x\\xFFy\\xC3", ""},   // bytes that start no character
    };
    for (const Row& r : rows) {
        EXPECT_EQ(text::visible(r.in), r.visible);
        EXPECT_EQ(text::controlsIn(r.in), r.controls);
    }
}

} // namespace
} // namespace mavrel
