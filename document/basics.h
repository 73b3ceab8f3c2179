// What every record of a chart is made of: fixed-capacity strings, and the
// limits of a chart. No Qt here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mavrel {

inline constexpr int MaxBars = 500;
inline constexpr int MaxLabels = 100;

// A fixed-capacity string: one length byte, then N bytes: Windows-1252
// characters in the records a chart file has always held, UTF-8 in the song
// information. The length byte may come from a file and exceed N, so every
// reader goes through size(), which never reports more than N.
template <std::size_t N>
struct ShortString {
    std::uint8_t len;
    char chars[N];

    std::size_t size() const { return len < N ? len : N; }
    std::string_view view() const { return {chars, size()}; }
    std::string str() const { return std::string(view()); }
    // Stores at most N bytes; the character positions past the new length
    // keep whatever they held (files carry them as they are).
    void assign(std::string_view s)
    {
        const std::size_t n = s.size() < N ? s.size() : N;
        for (std::size_t i = 0; i < n; ++i)
            chars[i] = s[i];
        len = static_cast<std::uint8_t>(n);
    }
    void clear() { len = 0; }
};

} // namespace mavrel
