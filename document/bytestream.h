// Little-endian values in and out of a block of bytes, with one sticky error
// flag checked once when the block is done: the chart file's records and its
// extension are read and written through these.
#pragma once

#include "basics.h"

#include <bit>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

namespace mavrel {

// The value with its bytes in file order (least significant first), and back:
// a no-op on little-endian hosts, a swap on the others.
template <std::unsigned_integral U> U littleEndian(U value)
{
    if constexpr (std::endian::native == std::endian::little) {
        return value;
    } else {
        U swapped = 0;
        for (std::size_t i = 0; i < sizeof(U); ++i, value = static_cast<U>(value >> 8))
            swapped = static_cast<U>(swapped << 8 | (value & 0xFF));
        return swapped;
    }
}

// Writes values little-endian into a buffer sized beforehand; the record
// layouts below say how many bytes that is, so running past it is a bug that
// the sticky flag reports instead of overrunning.
class ByteWriter {
public:
    explicit ByteWriter(std::span<std::uint8_t> out) : m_out(out) {}

    template <std::integral T> void field(T value)
    {
        const auto bits = littleEndian(static_cast<std::make_unsigned_t<T>>(value));
        if (std::uint8_t* p = take(sizeof(T)))
            std::memcpy(p, &bits, sizeof bits);
    }
    template <class T, std::size_t N> void raw(const T (&bytes)[N])
    {
        static_assert(sizeof(T) == 1);
        if (std::uint8_t* p = take(N))
            std::memcpy(p, bytes, N);
    }
    template <std::size_t N> void text(const ShortString<N>& s)
    {
        field(s.len);
        raw(s.chars);
    }
    void zeros(std::size_t n)
    {
        if (std::uint8_t* p = take(n))
            std::memset(p, 0, n);
    }
    bool failed() const { return m_failed; }
    std::size_t position() const { return m_pos; }

private:
    std::uint8_t* take(std::size_t n)
    {
        if (m_out.size() - m_pos < n) {
            m_failed = true;
            return nullptr;
        }
        std::uint8_t* p = m_out.data() + m_pos;
        m_pos += n;
        return p;
    }

    std::span<std::uint8_t> m_out;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

// Appends values little-endian to a growing buffer.
class ByteBuffer {
public:
    explicit ByteBuffer(std::size_t expected = 0) { m_bytes.reserve(expected); }

    template <std::integral T> void field(T value)
    {
        auto bits = static_cast<std::make_unsigned_t<T>>(value);
        for (std::size_t i = 0; i < sizeof bits; ++i, bits = static_cast<decltype(bits)>(bits >> 8))
            m_bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    }
    void bytes(std::span<const std::uint8_t> b) { m_bytes.insert(m_bytes.end(), b.begin(), b.end()); }
    void bytes(std::string_view b) { m_bytes.insert(m_bytes.end(), b.begin(), b.end()); }
    // Overwrites a 32-bit value written earlier at `offset`.
    void patch(std::size_t offset, std::uint32_t value)
    {
        const auto bits = littleEndian(value);
        std::memcpy(m_bytes.data() + offset, &bits, sizeof bits);
    }
    std::size_t size() const { return m_bytes.size(); }
    std::vector<std::uint8_t>& data() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Reads values little-endian; a value past the end reads as zero and sets one
// sticky flag, checked once when the block has been read.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> in) : m_in(in) {}

    template <std::integral T> void field(T& value)
    {
        std::make_unsigned_t<T> bits = 0;
        if (const std::uint8_t* p = take(sizeof(T)))
            std::memcpy(&bits, p, sizeof bits);
        value = static_cast<T>(littleEndian(bits));
    }
    template <class T, std::size_t N> void raw(T (&bytes)[N])
    {
        static_assert(sizeof(T) == 1);
        if (const std::uint8_t* p = take(N))
            std::memcpy(bytes, p, N);
        else
            std::memset(bytes, 0, N);
    }
    template <std::size_t N> void text(ShortString<N>& s)
    {
        field(s.len);
        raw(s.chars);
    }
    // The next n bytes; empty, and failed, when fewer are left.
    std::span<const std::uint8_t> bytes(std::size_t n)
    {
        const std::uint8_t* p = take(n);
        return p ? std::span<const std::uint8_t>(p, n) : std::span<const std::uint8_t>();
    }
    bool failed() const { return m_failed; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_in.size() - m_pos; }

private:
    const std::uint8_t* take(std::size_t n)
    {
        if (m_in.size() - m_pos < n) {
            m_failed = true;
            return nullptr;
        }
        const std::uint8_t* p = m_in.data() + m_pos;
        m_pos += n;
        return p;
    }

    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace mavrel
