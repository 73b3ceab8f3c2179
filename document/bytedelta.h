// What an edit changed in a block of bytes, kept small: the runs of bytes that
// differ, as the XOR of their old and new values. Applying the delta to either
// state gives the other, so one delta serves both undo and redo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mavrel {

class ByteDelta {
public:
    // The delta from `before` to `after`, two blocks of one size.
    static ByteDelta between(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);

    // Turns the one state into the other, in place.
    void apply(std::span<std::uint8_t> bytes) const;

    bool empty() const { return m_runs.empty(); }
    // Bytes held, bookkeeping included.
    std::size_t memoryUse() const;

private:
    struct Run {
        std::uint32_t offset;
        std::uint32_t size;
    };
    std::vector<Run> m_runs;
    std::vector<std::uint8_t> m_xor;   // the runs' values, one after another
};

// The bytes of a plain record, for a delta.
template <class T> std::span<std::uint8_t> bytesOf(T& record)
{
    return {reinterpret_cast<std::uint8_t*>(&record), sizeof record};
}
template <class T> std::span<const std::uint8_t> bytesOf(const T& record)
{
    return {reinterpret_cast<const std::uint8_t*>(&record), sizeof record};
}

} // namespace mavrel
