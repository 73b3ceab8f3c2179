#include "text.h"

#include <algorithm>
#include <vector>

namespace mavrel::text {

namespace {

// Calls `each(c, bytes, valid)` for every character of a UTF-8 text; a byte
// that starts no character is given alone as U+FFFD, not valid.
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
        // Overlong forms, surrogates and values past U+10FFFF are no UTF-8.
        static constexpr char32_t Least[5] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && c >= Least[len] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!ok) {
            len = 1;
            c = 0xFFFD;
        }
        each(c, utf8.substr(i, len), ok);
        i += len;
    }
}

} // namespace

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

bool hasControl(std::string_view utf8)
{
    bool found = false;
    forEachCharacter(utf8, [&](char32_t c, std::string_view, bool) { found = found || isControl(c); });
    return found;
}

bool isUtf8(std::string_view bytes)
{
    bool valid = true;
    forEachCharacter(bytes, [&](char32_t, std::string_view, bool ok) { valid = valid && ok; });
    return valid;
}

std::string controlsIn(std::string_view utf8)
{
    std::vector<char32_t> seen;
    std::string out;
    forEachCharacter(utf8, [&](char32_t c, std::string_view bytes, bool) {
        if (!isControl(c) || std::find(seen.begin(), seen.end(), c) != seen.end())
            return;
        seen.push_back(c);
        out += (out.empty() ? "" : ", ") + visible(bytes);
    });
    return out;
}

std::string withoutControls(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    forEachCharacter(utf8, [&](char32_t c, std::string_view bytes, bool) {
        if (!isControl(c))
            out += bytes;
    });
    return out;
}

std::string visible(std::string_view utf8)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    forEachCharacter(utf8, [&](char32_t c, std::string_view bytes, bool valid) {
        if (c < 0x20 || c == 0x7F) {
            out += '^';
            out += static_cast<char>(c ^ 0x40);
        } else if (isControl(c)) {
            out += "\\u00";
            out += Hex[c >> 4];
            out += Hex[c & 0xF];
        } else if (!valid) {
            out += "\xEF\xBF\xBD";
        } else {
            out += bytes;
        }
    });
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace mavrel::text
