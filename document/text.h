// Texts that come in from files, links, the command line and the keyboard:
// control characters mean nothing in a chart, and some of them (ESC, NUL)
// do harm on their way out to a terminal, an XML file or a LilyPond string.
#pragma once

#include <string>
#include <string_view>

namespace mavrel::text {

// C0 controls (U+0000..U+001F), DEL and the C1 controls (U+0080..U+009F).
bool isControl(char32_t c);

// Whether a UTF-8 text holds a control character.
bool hasControl(std::string_view utf8);

// Whether the bytes are UTF-8 throughout.
bool isUtf8(std::string_view bytes);

// The control characters of a text, each once, in the order they first come,
// written as visible() writes them and parted by ", ".
std::string controlsIn(std::string_view utf8);

// The UTF-8 text without its control characters.
std::string withoutControls(std::string_view utf8);

// The text as a terminal or a status bar may show it: each control character
// written out visibly ("^[" for ESC, "^?" for DEL, "\u009B" for a C1
// control), and each byte that is no UTF-8 as U+FFFD, so that nothing in it
// can act on the terminal.
std::string visible(std::string_view utf8);

// The text without the spaces at either end.
std::string_view trimmed(std::string_view text);

// The value of a hexadecimal digit, in either case; -1 for any other byte.
int hexValue(char c);

} // namespace mavrel::text
