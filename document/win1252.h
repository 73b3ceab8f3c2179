// Windows-1252, the character set of chord qualities and labels in memory and
// in chart files.
#pragma once

#include <string>
#include <string_view>

namespace mavrel::win1252 {

// The character a byte stands for. The five bytes that Windows-1252 leaves
// undefined decode to U+FFFD.
char32_t decode(unsigned char byte);

// The byte for a character, or -1 when Windows-1252 cannot hold it.
int encode(char32_t c);

bool canEncode(char32_t c);

// UTF-8 <-> Windows-1252 for whole texts. toWin1252 drops what it cannot hold.
std::string toUtf8(std::string_view bytes);
std::string fromUtf8(std::string_view utf8);

// The text without its control characters: bytes 0x00..0x1F and 0x7F (the
// bytes 0x80..0x9F are printable characters here, or none at all).
std::string withoutControls(std::string_view bytes);

} // namespace mavrel::win1252
