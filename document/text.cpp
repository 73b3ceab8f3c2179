#include "text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace mavrel::text {

namespace {

// Stands for a byte that starts no character; above every code point.
constexpr char32_t Invalid = 0x110000;

// Calls `each(c, bytes)` for every character of a UTF-8 text; a byte that
// starts no character is given alone as Invalid.
template <class Each>
void forEachCharacter(std::string_view utf8, Each each)
{
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        std::size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        char32_t c = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
        bool ok = len != 0 && i + len <= utf8.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const unsigned char cb = static_cast<unsigned char>(utf8[i + k]);
            ok = (cb & 0xC0) == 0x80;
            c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) {
            len = 1;
            c = Invalid;
        }
        each(c, utf8.substr(i, len));
        i += len;
    }
}

std::string escaped(char32_t c, std::string_view bytes)
{
    switch (c) {
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: break;
    }
    char out[16];
    if (c == Invalid)
        std::snprintf(out, sizeof out, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(bytes[0])));
    else
        std::snprintf(out, sizeof out, "U+%04X", static_cast<unsigned>(c));
    return out;
}

} // namespace

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

bool hasControl(std::string_view utf8)
{
    bool found = false;
    forEachCharacter(utf8, [&](char32_t c, std::string_view) { found = found || isControl(c); });
    return found;
}

std::string withoutControls(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    forEachCharacter(utf8, [&](char32_t c, std::string_view bytes) {
        if (!isControl(c))
            out += bytes;
    });
    return out;
}

std::string visible(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    forEachCharacter(utf8, [&](char32_t c, std::string_view bytes) {
        if (isControl(c) || c == Invalid)
            out += escaped(c, bytes);
        else
            out += bytes;
    });
    return out;
}

std::string controlsIn(std::string_view utf8)
{
    std::vector<char32_t> seen;
    std::string out;
    forEachCharacter(utf8, [&](char32_t c, std::string_view bytes) {
        if (!isControl(c) || std::find(seen.begin(), seen.end(), c) != seen.end())
            return;
        seen.push_back(c);
        out += (out.empty() ? "" : ", ") + escaped(c, bytes);
    });
    return out;
}

} // namespace mavrel::text
