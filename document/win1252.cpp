#include "win1252.h"

namespace mavrel::win1252 {

namespace {
// 0x80..0x9F; 0 marks the bytes with no character.
constexpr char32_t High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};
} // namespace

char32_t decode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) {
        const char32_t c = High[byte - 0x80];
        return c ? c : 0xFFFD;
    }
    return byte;
}

int encode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (High[i] && High[i] == c)
            return 0x80 + i;
    return -1;
}

bool canEncode(char32_t c) { return encode(c) >= 0; }

std::string toUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        const char32_t c = decode(b);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string fromUtf8(std::string_view utf8)
{
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        char32_t c;
        std::size_t len;
        if (b < 0x80) { c = b; len = 1; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; len = 2; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; len = 3; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; len = 4; }
        else { ++i; continue; }
        if (i + len > utf8.size())
            break;
        bool ok = true;
        for (std::size_t k = 1; k < len; ++k) {
            const unsigned char cb = static_cast<unsigned char>(utf8[i + k]);
            if ((cb & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (cb & 0x3F);
        }
        i += ok ? len : 1;
        if (!ok)
            continue;
        const int e = encode(c);
        if (e >= 0)
            out += static_cast<char>(e);
    }
    return out;
}

std::string withoutControls(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x20 && b != 0x7F)
            out += b;
    return out;
}

} // namespace mavrel::win1252
