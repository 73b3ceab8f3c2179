// Messages: the arguments go where the pattern (French or translated) says.
#include "document/message.h"

#include <gtest/gtest.h>

namespace mavrel {
namespace {

TEST(Message, ArgumentsGoInOnePass)
{
    struct Row {
        const char* pattern;
        std::vector<std::string> arguments;
        const char* expected;
    };
    // A translation may put the arguments in another order, or leave one out.
    const Row rows[] = {
        {"bar %2 of “%1”", {"T", "3"}, "bar 3 of “T”"},
        {"(% pour la répéter) %1", {"x"}, "(% pour la répéter) x"},
        {"%1 %2", {"%2", "y"}, "%2 y"},
        {"%1 %4 %3", {"a", "b", "c"}, "a %4 c"},
        {"fin %", {}, "fin %"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(formatMessage(r.pattern, r.arguments), r.expected) << r.pattern;
}

} // namespace
} // namespace mavrel
