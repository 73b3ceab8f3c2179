// Deltas between two states of a block: applied once they give the other
// state, applied again the first, and they hold little more than what changed.
#include "document/bytedelta.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace mavrel {
namespace {

TEST(ByteDelta, TogglesBetweenTheTwoStatesAndKeepsOnlyTheChanges)
{
    std::mt19937 random(5);
    std::vector<std::uint8_t> before(47652);
    for (auto& b : before)
        b = static_cast<std::uint8_t>(random());
    struct Row {
        const char* what;
        std::vector<std::size_t> changed;
    };
    const Row rows[] = {
        {"nothing", {}},
        {"first and last byte", {0, 47651}},
        {"two bytes a gap apart", {100, 120}},
        {"a run", {200, 201, 202, 203, 204, 205, 206, 207, 208, 209}},
        {"bytes close enough to share a run", {300, 303, 306}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<std::uint8_t> after = before;
        for (std::size_t i : r.changed)
            after[i] ^= 0x5A;
        const ByteDelta d = ByteDelta::between(before, after);
        EXPECT_EQ(d.empty(), r.changed.empty());
        std::vector<std::uint8_t> state = before;
        d.apply(state);
        EXPECT_EQ(state, after);
        d.apply(state);
        EXPECT_EQ(state, before);
        EXPECT_LT(d.memoryUse(), sizeof d + 64 + r.changed.size() * 4);
    }
}

} // namespace
} // namespace mavrel
