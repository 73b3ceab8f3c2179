#include "message.h"

namespace mavrel {

std::string Message::text() const
{
    return m_pattern ? formatMessage(m_pattern, m_arguments) : std::string();
}

std::string formatMessage(std::string_view pattern, const std::vector<std::string>& arguments)
{
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(next - '0');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && n <= arguments.size()) {
            out += arguments[n - 1];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace mavrel
