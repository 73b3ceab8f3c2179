// Sentences for the user, worded in this layer and translated by the
// windows: a French pattern with %1, %2... where the names, numbers and texts
// it speaks of go, and those texts. No Qt here: patterns are string literals
// marked QT_TRANSLATE_NOOP("Message", ...) for Qt's translation tools, and
// the Qt side looks them up in that context.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Qt defines it the same way; lupdate only needs to see it.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace mavrel {

class Message {
public:
    // `pattern` outlives the message: a string literal, marked for translation.
    Message(const char* pattern = nullptr, std::vector<std::string> arguments = {})
        : m_pattern(pattern), m_arguments(std::move(arguments))
    {
    }

    bool empty() const { return m_pattern == nullptr; }
    // The French pattern, or null for no message.
    const char* pattern() const { return m_pattern; }
    // UTF-8, put in as they are.
    const std::vector<std::string>& arguments() const { return m_arguments; }

    // The French sentence (UTF-8); empty for no message.
    std::string text() const;

private:
    const char* m_pattern;
    std::vector<std::string> m_arguments;
};

// `pattern` (the French one or its translation) with %1 to %9 replaced by the
// arguments, all in one pass: a % before anything else, or an argument
// holding "%2", stays as it is.
std::string formatMessage(std::string_view pattern, const std::vector<std::string>& arguments);

} // namespace mavrel
