#include "bytedelta.h"

#include <cstring>

namespace mavrel {

namespace {
// Runs closer than this are kept as one: a run's bookkeeping costs as much.
constexpr std::size_t JoinGap = sizeof(std::uint32_t) * 2;
} // namespace

ByteDelta ByteDelta::between(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after)
{
    ByteDelta d;
    const std::size_t n = before.size() < after.size() ? before.size() : after.size();
    std::size_t i = 0;
    while (i < n) {
        // Equal stretches are skipped eight bytes at a time.
        while (i + 8 <= n && std::memcmp(before.data() + i, after.data() + i, 8) == 0)
            i += 8;
        while (i < n && before[i] == after[i])
            ++i;
        if (i == n)
            break;
        std::size_t end = i + 1;
        for (std::size_t same = 0; end < n && same < JoinGap; ++end)
            same = before[end] == after[end] ? same + 1 : 0;
        while (before[end - 1] == after[end - 1])   // the run ends on a change
            --end;
        const bool joins = !d.m_runs.empty()
            && d.m_runs.back().offset + d.m_runs.back().size + JoinGap >= i;
        if (joins) {
            Run& last = d.m_runs.back();
            for (std::size_t k = last.offset + last.size; k < i; ++k)
                d.m_xor.push_back(0);
            last.size = static_cast<std::uint32_t>(end - last.offset);
        } else {
            d.m_runs.push_back({static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(end - i)});
        }
        for (std::size_t k = i; k < end; ++k)
            d.m_xor.push_back(before[k] ^ after[k]);
        i = end;
    }
    d.m_runs.shrink_to_fit();
    d.m_xor.shrink_to_fit();
    return d;
}

void ByteDelta::apply(std::span<std::uint8_t> bytes) const
{
    const std::uint8_t* x = m_xor.data();
    for (const Run& r : m_runs) {
        if (r.offset + std::size_t(r.size) > bytes.size())
            return;   // a delta of another block: nothing sensible to do
        std::uint8_t* p = bytes.data() + r.offset;
        for (std::uint32_t k = 0; k < r.size; ++k)
            p[k] ^= x[k];
        x += r.size;
    }
}

std::size_t ByteDelta::memoryUse() const
{
    return sizeof *this + m_runs.capacity() * sizeof(Run) + m_xor.capacity();
}

} // namespace mavrel
