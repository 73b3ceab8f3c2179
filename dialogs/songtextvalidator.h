// Takes what a text of the song can hold: no control character, and at most
// so many bytes of UTF-8, the capacity of its record.
#pragma once

#include "document/text.h"

#include <QValidator>

#include <string_view>

namespace mavrel {

class SongTextValidator : public QValidator {
public:
    SongTextValidator(int bytes, QObject* parent) : QValidator(parent), m_bytes(bytes) {}

    State validate(QString& input, int&) const override
    {
        const QByteArray utf8 = input.toUtf8();
        if (utf8.size() > m_bytes || text::hasControl(std::string_view(utf8.constData(), std::size_t(utf8.size()))))
            return Invalid;
        return Acceptable;
    }

private:
    int m_bytes;
};

} // namespace mavrel
